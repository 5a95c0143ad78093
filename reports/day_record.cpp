#include "reports/day_record.h"

#include <algorithm>
#include <cstdio>

namespace horalis {

namespace {

constexpr std::string_view kDayMagic = "horalis-day 1 ";
// The record's own kinds of line; the others are the journal's.
constexpr std::string_view kPairPendingLine = "pair-pending";
constexpr std::string_view kMinuteLine = "m";
constexpr std::string_view kEndLine = "end";

int64_t saturatingAdd(int64_t a, int64_t b) {
    constexpr int64_t kMost = INT64_MAX / 4;
    return a > kMost - b ? kMost : a + b;
}

// Characters a file name may not hold, and the blank that parts the computer from the user.
String safeNamePart(StringView text, bool blankToo) {
    String out;
    for (char16_t c : text) {
        const bool bad = c < 0x20 || c == u'\\' || c == u'/' || c == u':' || c == u'*' || c == u'?' || c == u'"' ||
                         c == u'<' || c == u'>' || c == u'|' || (blankToo && c == u' ');
        out.push_back(bad ? u'_' : c);
    }
    if (out.empty()) out = u"_";
    return out;
}

String widen(std::string_view ascii) { return String(ascii.begin(), ascii.end()); }

}  // namespace

void DayRecord::add(const JournalBlock& block) {
    // Few applications, often a thousand titles: the titles are found by a map built once per record.
    if (titleIndex_.size() != applications.size()) {
        appIndex_.clear();
        titleIndex_.assign(applications.size(), {});
        for (uint32_t a = 0; a < applications.size(); ++a) {
            appIndex_.emplace(applications[a].path, a);
            for (uint32_t t = 0; t < applications[a].titles.size(); ++t)
                titleIndex_[a].emplace(applications[a].titles[t].title, t);
        }
    }
    for (const JournalApplication& from : block.applications) {
        auto [found, added] = appIndex_.try_emplace(from.path, static_cast<uint32_t>(applications.size()));
        if (added) {
            applications.push_back(JournalApplication{from.path, 0, {}});
            titleIndex_.emplace_back();
        }
        const uint32_t a = found->second;
        JournalApplication& into = applications[a];
        into.samples = saturatingAdd(into.samples, from.samples);
        for (const JournalTitle& title : from.titles) {
            auto [at, new_] = titleIndex_[a].try_emplace(title.title, static_cast<uint32_t>(into.titles.size()));
            if (new_) into.titles.push_back(JournalTitle{title.title, 0});
            into.titles[at->second].samples = saturatingAdd(into.titles[at->second].samples, title.samples);
        }
        if (block.minuteOfDay < 0 || from.samples <= 0) continue;
        // Blocks come minute after minute; a clock set back puts one in its place.
        auto before = [](const DayMinute& m, int minute, uint32_t application) {
            return m.minuteOfDay != minute ? m.minuteOfDay < minute : m.application < application;
        };
        auto place = minutes.end();
        while (place != minutes.begin() && !before(*(place - 1), block.minuteOfDay, a)) --place;
        if (place != minutes.end() && place->minuteOfDay == block.minuteOfDay && place->application == a)
            place->samples = saturatingAdd(place->samples, from.samples);
        else
            minutes.insert(place, DayMinute{block.minuteOfDay, a, from.samples});
    }
}

uint64_t DayRecord::heldSequence(StringView runId) const {
    for (const DayRun& run : runs)
        if (run.runId == runId) return run.sequence;
    return 0;
}

void DayRecord::noteHeld(StringView runId, uint64_t sequence) {
    for (DayRun& run : runs) {
        if (run.runId != runId) continue;
        run.sequence = std::max(run.sequence, sequence);
        return;
    }
    runs.push_back(DayRun{String(runId), sequence});
}

DayRecord dayRecordOf(const UsageRecords& records, const LocalTime& day, const RecordOwner& owner) {
    DayRecord record;
    record.day = dateOf(day);
    record.computer = owner.computer;
    record.user = owner.user;
    for (const ApplicationRecord& application : records.applications()) {
        JournalApplication into{application.executablePath, application.sampleCount, {}};
        for (const TitleRecord& title : application.titles) into.titles.push_back(JournalTitle{title.text, title.sampleCount});
        record.applications.push_back(std::move(into));
    }
    return record;
}

void appendDayRecord(const DayRecord& record, std::string& out) {
    size_t lines = 0;
    auto textLine = [&](std::string_view kind, int64_t number, StringView text) {
        appendJournalTextLine(kind, number, text, out);
        ++lines;
    };
    out += kDayMagic;
    appendJournalDate(record.day, out);
    out += '\n';
    ++lines;
    textLine(kComputerLine, -1, record.computer);
    textLine(kUserLine, -1, record.user);
    for (const DayRun& run : record.runs) textLine(kRunLine, static_cast<int64_t>(run.sequence), run.runId);
    if (record.pairPending) {
        out += kPairPendingLine;
        out += '\n';
        ++lines;
    }
    for (const JournalApplication& application : record.applications) {
        textLine(kApplicationLine, std::max<int64_t>(application.samples, 0), application.path);
        for (const JournalTitle& title : application.titles)
            textLine(kTitleLine, std::max<int64_t>(title.samples, 0), title.title);
    }
    for (const DayMinute& minute : record.minutes) {
        out += kMinuteLine;
        out += ' ';
        appendJournalMinute(minute.minuteOfDay, out);
        out += ' ';
        appendJournalNumber(minute.application, out);
        out += ' ';
        appendJournalNumber(static_cast<uint64_t>(std::max<int64_t>(minute.samples, 0)), out);
        out += '\n';
        ++lines;
    }
    out += kEndLine;
    out += ' ';
    appendJournalNumber(lines, out);
    out += '\n';
}

DayRecordRead readDayRecord(std::string_view bytes, DayRecord& out) {
    out = DayRecord{};
    DayRecord record;
    size_t position = 0;
    size_t lines = 0;
    bool ended = false;
    auto damaged = [&] { return DayRecordRead::Damaged; };
    while (position < bytes.size()) {
        const size_t end = bytes.find('\n', position);
        if (end == std::string_view::npos || ended) return damaged();
        std::string_view line = bytes.substr(position, end - position);
        position = end + 1;
        if (lines == 0) {
            if (line.substr(0, kDayMagic.size()) != kDayMagic ||
                !parseJournalDate(line.substr(kDayMagic.size()), record.day))
                return damaged();
            ++lines;
            continue;
        }
        std::string_view kind;
        const bool more = splitJournalField(line, kind);
        if (kind == kEndLine) {
            uint64_t count = 0;
            if (!more || !parseJournalNumber(line, count) || count != lines) return damaged();
            ended = true;
            continue;
        }
        ++lines;
        if (kind == kComputerLine && lines == 2) {
            if (!more || !parseJournalText(line, record.computer)) return damaged();
        } else if (kind == kUserLine && lines == 3) {
            if (!more || !parseJournalText(line, record.user)) return damaged();
        } else if (lines <= 3) {
            return damaged();
        } else if (kind == kPairPendingLine && !more) {
            record.pairPending = true;
        } else if (kind == kRunLine || kind == kApplicationLine || kind == kTitleLine) {
            std::string_view number;
            uint64_t value = 0;
            String text;
            if (!more || !splitJournalField(line, number) || !parseJournalNumber(number, value) || !parseJournalText(line, text))
                return damaged();
            if (kind == kRunLine) {
                record.runs.push_back(DayRun{std::move(text), value});
            } else if (kind == kApplicationLine) {
                record.applications.push_back(JournalApplication{std::move(text), static_cast<int64_t>(value), {}});
            } else {
                if (record.applications.empty()) return damaged();
                record.applications.back().titles.push_back(JournalTitle{std::move(text), static_cast<int64_t>(value)});
            }
        } else if (kind == kMinuteLine) {
            std::string_view minute, application;
            uint64_t index = 0, samples = 0;
            DayMinute entry;
            if (!more || !splitJournalField(line, minute) || !parseJournalMinute(minute, entry.minuteOfDay) ||
                !splitJournalField(line, application) || !parseJournalNumber(application, index) ||
                index >= record.applications.size() || !parseJournalNumber(line, samples))
                return damaged();
            entry.application = static_cast<uint32_t>(index);
            entry.samples = static_cast<int64_t>(samples);
            record.minutes.push_back(entry);
        } else {
            return damaged();
        }
    }
    if (!ended) return damaged();
    out = std::move(record);
    return DayRecordRead::Read;
}

String ownerFilePart(const RecordOwner& owner) {
    return safeNamePart(owner.computer, true) + u" " + safeNamePart(owner.user, false);
}

String journalFolder(const String& dataFolder) { return dataFolder + u"\\Journal"; }
String dayRecordFolder(const String& dataFolder) { return dataFolder + u"\\Days"; }

String journalFileName(const RecordOwner& owner, StringView runId) {
    return ownerFilePart(owner) + u" " + safeNamePart(runId, true) + u".txt";
}

String dayRecordFileName(const LocalTime& day, const RecordOwner& owner) {
    std::string date;
    appendJournalDate(day, date);
    return widen(date) + u" " + ownerFilePart(owner) + u".txt";
}

bool parseDayRecordFileName(StringView name, LocalTime& day, String& ownerPart) {
    if (name.size() < 16 || name[10] != u' ') return false;
    const StringView extension = name.substr(name.size() - 4);
    if (extension != u".txt" && extension != u".TXT") return false;
    std::string date;
    for (size_t i = 0; i < 10; ++i) {
        if (name[i] > 0x7F) return false;
        date.push_back(static_cast<char>(name[i]));
    }
    if (!parseJournalDate(date, day)) return false;
    ownerPart.assign(name.substr(11, name.size() - 15));
    return !ownerPart.empty();
}

}  // namespace horalis
