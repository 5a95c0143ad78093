#include "tracking/journal.h"

#include <algorithm>
#include <cstdio>

namespace horalis {

namespace {

constexpr std::string_view kJournalMagic = "horalis-journal 1";
constexpr std::string_view kBlockLine = "b";
constexpr std::string_view kBlockEndLine = "e";

void appendUnitEscape(char16_t c, std::string& out) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    out += "\\u";
    for (int shift = 12; shift >= 0; shift -= 4) out.push_back(kHex[(c >> shift) & 0xF]);
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

}  // namespace

void appendJournalNumber(uint64_t value, std::string& out) {
    char digits[24];
    const int n = std::snprintf(digits, sizeof digits, "%llu", static_cast<unsigned long long>(value));
    out.append(digits, static_cast<size_t>(n));
}

bool parseJournalNumber(std::string_view text, uint64_t& value) {
    if (text.empty() || text.size() > 18 || (text.size() > 1 && text[0] == '0')) return false;
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + static_cast<uint64_t>(c - '0');
    }
    return true;
}

namespace {

bool parseDigits(std::string_view text, int& value) {
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    return !text.empty();
}

uint64_t fnv1a(std::string_view bytes) {
    uint64_t h = 0xcbf29ce484222325ULL;
    for (unsigned char c : bytes) h = (h ^ c) * 0x100000001b3ULL;
    return h;
}

void appendHex(uint64_t value, std::string& out) {
    char digits[24];
    const int n = std::snprintf(digits, sizeof digits, "%016llx", static_cast<unsigned long long>(value));
    out.append(digits, static_cast<size_t>(n));
}

}  // namespace

bool splitJournalField(std::string_view& line, std::string_view& field) {
    const size_t blank = line.find(' ');
    if (blank == std::string_view::npos) {
        field = line;
        line = {};
        return false;
    }
    field = line.substr(0, blank);
    line.remove_prefix(blank + 1);
    return true;
}

namespace {

bool parseCount(std::string_view& line, int64_t& samples, String& text) {
    std::string_view field;
    uint64_t value = 0;
    if (!splitJournalField(line, field) || !parseJournalNumber(field, value)) return false;
    samples = static_cast<int64_t>(value);
    return parseJournalText(line, text);
}

}  // namespace

void appendJournalDate(const LocalTime& day, std::string& out) {
    char text[24];
    const int n = std::snprintf(text, sizeof text, "%04d-%02d-%02d", day.year, day.month, day.day);
    out.append(text, static_cast<size_t>(n));
}

bool parseJournalDate(std::string_view text, LocalTime& day) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return false;
    LocalTime date;
    if (!parseDigits(text.substr(0, 4), date.year) || !parseDigits(text.substr(5, 2), date.month) ||
        !parseDigits(text.substr(8, 2), date.day))
        return false;
    if (date.year < 1601 || date.month < 1 || date.month > 12 || date.day < 1 ||
        date.day > daysInMonth(date.year, date.month))
        return false;
    day = date;
    return true;
}

void appendJournalMinute(int minuteOfDay, std::string& out) {
    char text[8];
    const int n = std::snprintf(text, sizeof text, "%02d:%02d", minuteOfDay / 60 % 24, minuteOfDay % 60);
    out.append(text, static_cast<size_t>(n));
}

bool parseJournalMinute(std::string_view text, int& minuteOfDay) {
    int hour = 0, minute = 0;
    if (text.size() != 5 || text[2] != ':' || !parseDigits(text.substr(0, 2), hour) ||
        !parseDigits(text.substr(3, 2), minute) || hour > 23 || minute > 59)
        return false;
    minuteOfDay = hour * 60 + minute;
    return true;
}

void appendJournalText(StringView text, std::string& out) {
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            appendUtf8(0x10000 + ((uint32_t{c} - 0xD800) << 10) + (uint32_t{text[i + 1]} - 0xDC00), out);
            ++i;
            continue;
        }
        switch (c) {
        case u'\\': out += "\\\\"; continue;
        case u'\n': out += "\\n"; continue;
        case u'\r': out += "\\r"; continue;
        case u'\t': out += "\\t"; continue;
        default: break;
        }
        // Unpaired surrogates have no UTF-8 form; control characters would break the lines.
        if (c < 0x20 || c == 0x7F || (c >= 0xD800 && c <= 0xDFFF))
            appendUnitEscape(c, out);
        else
            appendUtf8(c, out);
    }
}

bool parseJournalText(std::string_view bytes, String& out) {
    out.clear();
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const size_t n = bytes.size();
    for (size_t i = 0; i < n;) {
        const unsigned char b = p[i];
        if (b == '\\') {
            if (i + 1 >= n) return false;
            switch (p[i + 1]) {
            case '\\': out.push_back(u'\\'); break;
            case 'n': out.push_back(u'\n'); break;
            case 'r': out.push_back(u'\r'); break;
            case 't': out.push_back(u'\t'); break;
            case 'u': {
                if (i + 6 > n) return false;
                uint32_t unit = 0;
                for (size_t k = i + 2; k < i + 6; ++k) {
                    const int digit = hexValue(static_cast<char>(p[k]));
                    if (digit < 0) return false;
                    unit = unit * 16 + static_cast<uint32_t>(digit);
                }
                out.push_back(static_cast<char16_t>(unit));
                i += 6;
                continue;
            }
            default: return false;
            }
            i += 2;
            continue;
        }
        if (b < 0x20 || b == 0x7F) return false;
        if (b < 0x80) {
            out.push_back(b);
            ++i;
            continue;
        }
        // Strict UTF-8: no overlong forms, no surrogates, nothing past U+10FFFF.
        size_t length;
        uint32_t c;
        if (b >= 0xC2 && b <= 0xDF) {
            length = 2;
            c = b & 0x1F;
        } else if (b >= 0xE0 && b <= 0xEF) {
            length = 3;
            c = b & 0x0F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            length = 4;
            c = b & 0x07;
        } else {
            return false;
        }
        if (i + length > n) return false;
        for (size_t k = 1; k < length; ++k) {
            if ((p[i + k] & 0xC0) != 0x80) return false;
            c = (c << 6) | (p[i + k] & 0x3F);
        }
        if ((length == 3 && (c < 0x800 || (c >= 0xD800 && c <= 0xDFFF))) || (length == 4 && (c < 0x10000 || c > 0x10FFFF)))
            return false;
        if (c >= 0x10000) {
            out.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(c));
        }
        i += length;
    }
    return true;
}

namespace {

}  // namespace

void appendJournalTextLine(std::string_view kind, int64_t number, StringView text, std::string& out) {
    out += kind;
    out += ' ';
    if (number >= 0) {
        appendJournalNumber(static_cast<uint64_t>(number), out);
        out += ' ';
    }
    appendJournalText(text, out);
    out += '\n';
}

void appendJournalHeader(const JournalHeader& header, std::string& out) {
    out += kJournalMagic;
    out += '\n';
    appendJournalTextLine(kRunLine, -1, header.runId, out);
    appendJournalTextLine(kComputerLine, -1, header.computer, out);
    appendJournalTextLine(kUserLine, -1, header.user, out);
}

void appendJournalBlock(const JournalBlock& block, std::string& out) {
    const size_t start = out.size();
    size_t lines = 1;
    out += kBlockLine;
    out += ' ';
    appendJournalNumber(block.sequence, out);
    out += ' ';
    appendJournalDate(block.day, out);
    out += ' ';
    appendJournalMinute(block.minuteOfDay, out);
    out += '\n';
    // "a samples path" and "t samples title" lines.
    auto countLine = [&](std::string_view kind, int64_t samples, const String& text) {
        appendJournalTextLine(kind, std::max<int64_t>(samples, 0), text, out);
        ++lines;
    };
    for (const JournalApplication& application : block.applications) {
        countLine(kApplicationLine, application.samples, application.path);
        for (const JournalTitle& title : application.titles) countLine(kTitleLine, title.samples, title.title);
    }
    const uint64_t checksum = fnv1a(std::string_view(out).substr(start));
    out += kBlockEndLine;
    out += ' ';
    appendJournalNumber(block.sequence, out);
    out += ' ';
    appendJournalNumber(lines, out);
    out += ' ';
    appendHex(checksum, out);
    out += '\n';
}

bool readJournal(std::string_view bytes, JournalHeader& header, std::vector<JournalBlock>& blocks) {
    blocks.clear();
    size_t position = 0;
    // The next whole line; a last line without its LF is torn and never read.
    auto nextLine = [&](std::string_view& line) {
        const size_t end = bytes.find('\n', position);
        if (end == std::string_view::npos) return false;
        line = bytes.substr(position, end - position);
        position = end + 1;
        return true;
    };
    auto headerField = [&](std::string_view name, String& value) {
        std::string_view line, field;
        return nextLine(line) && splitJournalField(line, field) && field == name && parseJournalText(line, value);
    };
    std::string_view line;
    JournalHeader read;
    if (!nextLine(line) || line != kJournalMagic || !headerField(kRunLine, read.runId) ||
        !headerField(kComputerLine, read.computer) || !headerField(kUserLine, read.user))
        return false;
    header = std::move(read);

    JournalBlock block;
    bool inBlock = false;
    size_t blockStart = 0;
    size_t lines = 0;
    while (true) {
        const size_t lineStart = position;
        if (!nextLine(line)) break;
        std::string_view rest = line, kind;
        splitJournalField(rest, kind);
        if (kind == kBlockLine) {
            // A block begins here, whatever came before: a torn block is left behind.
            std::string_view sequence, date;
            uint64_t number = 0;
            inBlock = splitJournalField(rest, sequence) && parseJournalNumber(sequence, number) && splitJournalField(rest, date) &&
                      parseJournalDate(date, block.day) && parseJournalMinute(rest, block.minuteOfDay);
            block.sequence = number;
            block.applications.clear();
            blockStart = lineStart;
            lines = 1;
            continue;
        }
        if (!inBlock) continue;
        if (kind == kApplicationLine) {
            JournalApplication application;
            inBlock = parseCount(rest, application.samples, application.path);
            if (inBlock) block.applications.push_back(std::move(application));
            ++lines;
        } else if (kind == kTitleLine) {
            JournalTitle title;
            inBlock = !block.applications.empty() && parseCount(rest, title.samples, title.title);
            if (inBlock) block.applications.back().titles.push_back(std::move(title));
            ++lines;
        } else if (kind == kBlockEndLine) {
            std::string_view sequence, count;
            uint64_t number = 0, lineCount = 0;
            const uint64_t checksum = fnv1a(bytes.substr(blockStart, lineStart - blockStart));
            std::string expected;
            appendHex(checksum, expected);
            if (splitJournalField(rest, sequence) && parseJournalNumber(sequence, number) && number == block.sequence &&
                splitJournalField(rest, count) && parseJournalNumber(count, lineCount) && lineCount == lines && rest == expected)
                blocks.push_back(std::move(block));
            block = JournalBlock{};
            inBlock = false;
        } else {
            inBlock = false;
        }
    }
    return true;
}

// ------------------------------------------------------------ the tracker

void JournalTracker::noteSample(const UsageRecords& records) {
    const size_t application = records.lastSampled();
    if (application == UsageRecords::npos || all_) return;
    const ApplicationRecord& app = records.applications()[application];
    // A record goes on the list with the first sample since the last take.
    if (app.sampleCount - app.journaledCount == 1)
        touched_.push_back(Touched{static_cast<uint32_t>(application), kNoTitle});
    const size_t title = records.lastSampledTitle();
    if (title < app.titles.size() && app.titles[title].sampleCount - app.titles[title].journaledCount == 1)
        touched_.push_back(Touched{static_cast<uint32_t>(application), static_cast<uint32_t>(title)});
}

void JournalTracker::forget() {
    touched_.clear();
    all_ = false;
}

bool JournalTracker::take(UsageRecords& records, const LocalTime& day, int minuteOfDay, uint64_t sequence,
                          JournalBlock& block) {
    block = JournalBlock{};
    block.sequence = sequence;
    block.day = dateOf(day);
    block.minuteOfDay = minuteOfDay;
    if (all_) {
        touched_.clear();
        const auto& applications = records.applications();
        for (uint32_t a = 0; a < applications.size(); ++a) {
            touched_.push_back(Touched{a, kNoTitle});
            for (uint32_t t = 0; t < applications[a].titles.size(); ++t) touched_.push_back(Touched{a, t});
        }
        all_ = false;
    }
    // The block lists each application once, in the order the minute touched them.
    std::vector<int32_t> placed(records.size(), -1);
    auto placeOf = [&](uint32_t application) -> JournalApplication& {
        int32_t& at = placed[application];
        if (at < 0) {
            at = static_cast<int32_t>(block.applications.size());
            block.applications.push_back(JournalApplication{records.applications()[application].executablePath, 0, {}});
        }
        return block.applications[static_cast<size_t>(at)];
    };
    bool any = false;
    for (const Touched& touched : touched_) {
        if (touched.application >= records.size()) continue;
        const ApplicationRecord& app = records.applications()[touched.application];
        if (touched.title == kNoTitle) {
            const int32_t samples = records.takeUnjournaled(touched.application);
            if (samples <= 0) continue;
            placeOf(touched.application).samples += samples;
        } else {
            if (touched.title >= app.titles.size()) continue;
            const int32_t samples = records.takeUnjournaled(touched.application, touched.title);
            if (samples <= 0) continue;
            placeOf(touched.application).titles.push_back(JournalTitle{app.titles[touched.title].text, samples});
        }
        any = true;
    }
    touched_.clear();
    return any;
}

void JournalTracker::drop(UsageRecords& records) {
    for (size_t a = 0; a < records.size(); ++a) {
        records.takeUnjournaled(a);
        for (size_t t = 0; t < records.applications()[a].titles.size(); ++t) records.takeUnjournaled(a, t);
    }
    forget();
}

}  // namespace horalis
