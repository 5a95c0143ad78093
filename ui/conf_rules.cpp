#include "ui/conf_rules.h"

#include <limits>
#include <string>

namespace horalis {

int32_t checkStateToControl(int32_t state) {
    return (state == 0 || state == 1 || state == 2) ? state : 0;
}

int32_t checkStateFromControl(int64_t bmGetCheckResult) {
    if (bmGetCheckResult == 1 || bmGetCheckResult == 2) {
        return static_cast<int32_t>(bmGetCheckResult);
    }
    return 0;
}

namespace {

// The white space that the C runtime's number conversion skips.
bool isBlank(char16_t c) {
    return c == u' ' || (c >= u'\t' && c <= u'\r');
}

}  // namespace

int32_t parseTimeoutText(StringView text) {
    size_t i = 0;
    while (i < text.size() && isBlank(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    // Accumulated as a magnitude that stops growing once it is past either
    // limit, so any number of digits is safe.
    constexpr int64_t kPastLimit = int64_t{std::numeric_limits<int32_t>::max()} + 2;
    int64_t magnitude = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        if (magnitude < kPastLimit) {
            magnitude = magnitude * 10 + (text[i] - u'0');
        }
    }
    const int64_t value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<int32_t>::max()) {
        return std::numeric_limits<int32_t>::max();
    }
    if (value < std::numeric_limits<int32_t>::min()) {
        return std::numeric_limits<int32_t>::min();
    }
    return static_cast<int32_t>(value);
}

String formatTimeoutText(int32_t seconds) {
    const std::string digits = std::to_string(seconds);
    return String(digits.begin(), digits.end());
}

void copySettingsToDialog(const Settings& settings, ConfDialogData& data) {
    data.saveDailyReports = settings.saveDailyReports;
    data.showTimeInSeconds = settings.showTimeInSeconds;
    data.saveWindowTitles = settings.saveWindowTitles;
    data.awayTimeoutSeconds = settings.awayTimeoutSeconds;
}

void copyDialogToSettings(const ConfDialogData& data, Settings& settings) {
    settings.saveDailyReports = data.saveDailyReports;
    settings.showTimeInSeconds = data.showTimeInSeconds;
    settings.saveWindowTitles = data.saveWindowTitles;
    settings.awayTimeoutSeconds = data.awayTimeoutSeconds;
}

void prepareDialogControls(ConfDialogData& data) {
    data.saveDailyReportsCheck = data.saveDailyReports;
    data.showTimeInSecondsCheck = data.showTimeInSeconds;
    data.saveWindowTitlesCheck = data.saveWindowTitles;
    data.awayTimeoutText = formatTimeoutText(data.awayTimeoutSeconds);
}

void takeDialogControls(ConfDialogData& data) {
    data.saveDailyReports = data.saveDailyReportsCheck;
    data.showTimeInSeconds = data.showTimeInSecondsCheck;
    data.saveWindowTitles = data.saveWindowTitlesCheck;
    data.awayTimeoutSeconds = parseTimeoutText(data.awayTimeoutText);
}

}  // namespace horalis
