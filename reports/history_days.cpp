#include "reports/history_days.h"

#include <algorithm>

#include "base/calendar.h"

namespace horalis {

HistoryTexts::HistoryTexts() { application(kIdleTimeKey); }

uint32_t HistoryTexts::application(StringView path) {
    const auto keyOf = [this](size_t i) -> StringView { return paths_[i]; };
    const size_t found = pathIndex_.find(path, keyOf);
    if (found != KeyIndex::npos) return static_cast<uint32_t>(found);
    const auto id = static_cast<uint32_t>(paths_.size());
    paths_.emplace_back(path);
    applicationTitles_.emplace_back();
    pathIndex_.insert(path, id, keyOf);
    return id;
}

uint32_t HistoryTexts::title(uint32_t application, StringView text) {
    ApplicationTitles& own = applicationTitles_[application];
    const auto keyOf = [this](size_t i) -> StringView { return titles_[i].text; };
    const size_t found = own.index.find(text, keyOf);
    if (found != KeyIndex::npos) return static_cast<uint32_t>(found);
    const auto id = static_cast<uint32_t>(titles_.size());
    titles_.push_back(Title{String(text), application});
    own.ids.push_back(id);
    own.index.insert(text, id, keyOf);
    return id;
}

uint32_t HistoryTexts::owner(StringView computer, StringView user) {
    // A NUL cannot be in either name, so it keeps the two apart in one key.
    String key(computer);
    key += u'\0';
    key += user;
    const auto keyOf = [this](size_t i) -> StringView { return ownerKeys_[i]; };
    const size_t found = ownerIndex_.find(key, keyOf);
    if (found != KeyIndex::npos) return static_cast<uint32_t>(found);
    const auto id = static_cast<uint32_t>(owners_.size());
    owners_.push_back(RecordOwner{String(computer), String(user)});
    ownerKeys_.push_back(std::move(key));
    ownerIndex_.insert(ownerKeys_.back(), id, keyOf);
    return id;
}

HistoryDay historyDayOfRecord(const DayRecord& record, HistoryTexts& texts, bool keepMinutes) {
    HistoryDay out;
    out.day = dayNumberOf(record.day);
    out.owner = texts.owner(record.computer, record.user);
    out.hasTimes = !record.minutes.empty();
    out.minutesKept = keepMinutes;
    out.inSamples = true;
    std::vector<uint32_t> ids;
    ids.reserve(record.applications.size());
    out.applications.reserve(record.applications.size());
    for (const JournalApplication& application : record.applications) {
        const uint32_t id = texts.application(application.path);
        ids.push_back(id);
        if (id == HistoryTexts::kAway) {
            out.away += application.samples;
            continue;
        }
        if (application.samples <= 0 && application.titles.empty()) continue;
        out.applications.push_back(HistoryTotal{id, application.samples});
        for (const JournalTitle& title : application.titles)
            out.titles.push_back(HistoryTotal{texts.title(id, title.title), title.samples});
    }
    if (keepMinutes) {
        out.minutes.reserve(record.minutes.size());
        for (const DayMinute& minute : record.minutes)
            if (minute.application < ids.size())
                out.minutes.push_back(TimelineMinute{minute.minuteOfDay, ids[minute.application], minute.samples});
    }
    return out;
}

HistoryDay historyDayOfPair(int64_t day, const DailyPairTotals& totals, HistoryTexts& texts) {
    HistoryDay out;
    out.day = day;
    out.minutesKept = true;  // a pair has none to keep
    for (const PairApplicationTotal& application : totals.applications) {
        if (application.seconds <= 0 && application.titles.empty()) continue;
        const uint32_t id = texts.application(application.path);
        if (id == HistoryTexts::kAway) {
            out.away += application.seconds;
            continue;
        }
        out.applications.push_back(HistoryTotal{id, application.seconds});
        for (const PairTitleTotal& title : application.titles)
            out.titles.push_back(HistoryTotal{texts.title(id, title.title), title.seconds});
    }
    return out;
}

namespace {

void addTotals(std::vector<HistoryTotal>& into, const std::vector<HistoryTotal>& from, int64_t scale) {
    for (const HistoryTotal& total : from) into.push_back(HistoryTotal{total.id, total.amount * scale});
}

void sumById(std::vector<HistoryTotal>& totals) {
    std::sort(totals.begin(), totals.end(), [](const HistoryTotal& a, const HistoryTotal& b) { return a.id < b.id; });
    size_t kept = 0;
    for (size_t i = 0; i < totals.size(); ++i) {
        if (kept > 0 && totals[kept - 1].id == totals[i].id)
            totals[kept - 1].amount += totals[i].amount;
        else
            totals[kept++] = totals[i];
    }
    totals.resize(kept);
}

}  // namespace

HistoryDay mergeHistoryDays(const std::vector<const HistoryDay*>& files) {
    HistoryDay out;
    if (files.empty()) return out;
    out.day = files.front()->day;
    out.minutesKept = true;
    for (const HistoryDay* file : files) out.inSamples |= file->inSamples;
    for (const HistoryDay* file : files) {
        const int64_t scale = out.inSamples && !file->inSamples ? 2 : 1;
        out.hasTimes |= file->hasTimes;
        out.minutesKept &= file->minutesKept;
        out.away += file->away * scale;
        addTotals(out.applications, file->applications, scale);
        addTotals(out.titles, file->titles, scale);
        out.minutes.insert(out.minutes.end(), file->minutes.begin(), file->minutes.end());
    }
    sumById(out.applications);
    sumById(out.titles);
    return out;
}

}  // namespace horalis
