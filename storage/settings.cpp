#include "storage/settings.h"

#include "storage/file_io.h"
#include "storage/report_stream.h"

namespace horalis {

namespace {

// More than four numbers ever need; a huge or garbage file costs no more.
constexpr size_t kReadLimit = 4096;

constexpr char kGroupSeparator = '\xA0';

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// One integer as the settings stream reads it. Separators are accepted only
// where the writer puts them: a first group of 1 to 3 digits, then groups of
// exactly 3, each after one 0xA0. Digits without any separator are fine too.
bool readInt(std::string_view bytes, size_t& pos, int32_t& value) {
    size_t i = pos;
    while (i < bytes.size() && isSpace(bytes[i])) ++i;
    bool negative = false;
    if (i < bytes.size() && (bytes[i] == '+' || bytes[i] == '-')) {
        negative = bytes[i] == '-';
        ++i;
    }
    int64_t magnitude = 0;
    const int64_t limit = negative ? int64_t{INT32_MAX} + 1 : int64_t{INT32_MAX};
    size_t groupDigits = 0;
    size_t digits = 0;
    bool grouped = false;
    for (;;) {
        if (i < bytes.size() && isDigit(bytes[i])) {
            magnitude = magnitude * 10 + (bytes[i] - '0');
            if (magnitude > limit) return false;
            ++digits;
            ++groupDigits;
            ++i;
            continue;
        }
        if (i < bytes.size() && bytes[i] == kGroupSeparator && digits > 0) {
            if (grouped ? groupDigits != 3 : groupDigits > 3) return false;
            grouped = true;
            groupDigits = 0;
            ++i;
            continue;
        }
        break;
    }
    if (digits == 0) return false;
    if (grouped && groupDigits != 3) return false;  // also a separator at the end
    value = static_cast<int32_t>(negative ? -magnitude : magnitude);
    pos = i;
    return true;
}

void writeSettings(ReportStream& stream, const Settings& settings) {
    stream << settings.saveDailyReports << " " << settings.showTimeInSeconds << " " << settings.saveWindowTitles << " "
           << settings.awayTimeoutSeconds;
}

}  // namespace

std::string formatSettingsFile(const Settings& settings) {
    ReportStream stream;
    stream.openInMemory();
    writeSettings(stream, settings);
    stream.close();
    return stream.bytes();
}

void parseSettingsFile(std::string_view bytes, Settings& settings) {
    int32_t* const fields[] = {&settings.saveDailyReports, &settings.showTimeInSeconds, &settings.saveWindowTitles,
                               &settings.awayTimeoutSeconds};
    size_t pos = 0;
    for (int32_t* field : fields) {
        // The first failed read leaves its field and stops all later ones.
        if (!readInt(bytes, pos, *field)) return;
    }
}

void loadSettings(Settings& settings, const String& dataFolder) {
    settings = Settings{};
    createDirectory(dataFolder);
    std::string bytes;
    if (!readFileBytes(dataFolder + String(kSettingsFileName), bytes, kReadLimit + 1)) return;
    if (bytes.size() > kReadLimit) {
        // Drop the token cut by the limit, so that it cannot be read as a
        // shorter number than the file holds.
        bytes.resize(kReadLimit);
        while (!bytes.empty() && !isSpace(bytes.back())) bytes.pop_back();
    }
    parseSettingsFile(bytes, settings);
}

bool saveSettings(const Settings& settings, const String& dataFolder) {
    // Written beside the file and moved over it, so that a failed write (a
    // full disk) never leaves conf.dat short or empty.
    const String target = dataFolder + String(kSettingsFileName);
    const String temp = target + u".tmp";
    ReportStream stream;
    if (!stream.open(temp)) return false;
    writeSettings(stream, settings);
    if (!stream.close() || !replaceFile(temp, target)) {
        removeFile(temp);
        return false;
    }
    return true;
}

}  // namespace horalis
