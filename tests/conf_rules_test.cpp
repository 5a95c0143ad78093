#include "ui/conf_rules.h"

#include <gtest/gtest.h>

#include <limits>

#include "storage/settings.h"

namespace horalis {
namespace {

TEST(ConfRulesTest, CheckStateToControlKeepsOnlyTheThreeStates) {
    EXPECT_EQ(checkStateToControl(0), 0);
    EXPECT_EQ(checkStateToControl(1), 1);
    EXPECT_EQ(checkStateToControl(2), 2);
    EXPECT_EQ(checkStateToControl(3), 0);
    EXPECT_EQ(checkStateToControl(-1), 0);
    EXPECT_EQ(checkStateToControl(std::numeric_limits<int32_t>::max()), 0);
}

TEST(ConfRulesTest, CheckStateFromControl) {
    EXPECT_EQ(checkStateFromControl(0), 0);
    EXPECT_EQ(checkStateFromControl(1), 1);
    EXPECT_EQ(checkStateFromControl(2), 2);
    EXPECT_EQ(checkStateFromControl(0x100000001LL), 0);
}

TEST(ConfRulesTest, ParseTimeoutText) {
    EXPECT_EQ(parseTimeoutText(u" 45"), 45);
    EXPECT_EQ(parseTimeoutText(u"\t\r\n45"), 45);
    EXPECT_EQ(parseTimeoutText(u"45s"), 45);
    EXPECT_EQ(parseTimeoutText(u"-10"), -10);
    EXPECT_EQ(parseTimeoutText(u"+7"), 7);
    EXPECT_EQ(parseTimeoutText(u"0300"), 300);
    EXPECT_EQ(parseTimeoutText(u"4 5"), 4);
    EXPECT_EQ(parseTimeoutText(u"abc"), 0);
    EXPECT_EQ(parseTimeoutText(u""), 0);
    EXPECT_EQ(parseTimeoutText(u"-"), 0);
    EXPECT_EQ(parseTimeoutText(u"- 5"), 0);
    EXPECT_EQ(parseTimeoutText(u"+-5"), 0);
    // A no-break space is not white space for the conversion.
    EXPECT_EQ(parseTimeoutText(u"\u00A05"), 0);
    // Full-width digits are not decimal digits here.
    EXPECT_EQ(parseTimeoutText(u"\uFF15"), 0);
}

TEST(ConfRulesTest, ParseTimeoutTextClampsToTheIntRange) {
    constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
    constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
    EXPECT_EQ(parseTimeoutText(u"2147483647"), kMax);
    EXPECT_EQ(parseTimeoutText(u"2147483648"), kMax);
    EXPECT_EQ(parseTimeoutText(u"-2147483648"), kMin);
    EXPECT_EQ(parseTimeoutText(u"-2147483649"), kMin);
    EXPECT_EQ(parseTimeoutText(u"99999999999999999999999999999999"), kMax);
    EXPECT_EQ(parseTimeoutText(u"-99999999999999999999999999999999"), kMin);
}

TEST(ConfRulesTest, FormatTimeoutTextRoundTrips) {
    EXPECT_EQ(formatTimeoutText(300), u"300");
    EXPECT_EQ(formatTimeoutText(-5), u"-5");
    EXPECT_EQ(formatTimeoutText(1800), u"1800");  // no grouping in the field
    for (int32_t v : {0, 1, -1, 1000000, std::numeric_limits<int32_t>::min(),
                      std::numeric_limits<int32_t>::max()}) {
        EXPECT_EQ(parseTimeoutText(formatTimeoutText(v)), v);
    }
}

// The whole run of the dialog: settings in, exchange, OK, settings out.
// Unchanged controls report what they were set to.
Settings runDialog(const Settings& before, const String* editedTimeout = nullptr) {
    Settings after{9, 9, 9, 9};
    after.saveDailyReports = checkStateFromControl(checkStateToControl(before.saveDailyReports));
    after.showTimeInSeconds = checkStateFromControl(checkStateToControl(before.showTimeInSeconds));
    after.saveWindowTitles = checkStateFromControl(checkStateToControl(before.saveWindowTitles));
    after.awayTimeoutSeconds =
        parseTimeoutText(editedTimeout ? *editedTimeout : formatTimeoutText(before.awayTimeoutSeconds));
    return after;
}

TEST(ConfRulesTest, UnchangedDialogGivesTheSameSettings) {
    const Settings in{1, 0, 1, -5};
    const Settings out = runDialog(in);
    EXPECT_EQ(out.saveDailyReports, 1);
    EXPECT_EQ(out.showTimeInSeconds, 0);
    EXPECT_EQ(out.saveWindowTitles, 1);
    EXPECT_EQ(out.awayTimeoutSeconds, -5);
}

TEST(ConfRulesTest, OddSwitchValueOpensUncheckedAndIsSavedAsZero) {
    const Settings odd{7, 1, 2, 300};
    EXPECT_EQ(formatTimeoutText(odd.awayTimeoutSeconds), u"300");
    EXPECT_EQ(checkStateToControl(odd.saveDailyReports), 0);

    const Settings out = runDialog(Settings{7, 1, 2, 300});
    EXPECT_EQ(out.saveDailyReports, 0);
    EXPECT_EQ(out.showTimeInSeconds, 1);
    EXPECT_EQ(out.saveWindowTitles, 2);
}

TEST(ConfRulesTest, EditedTimeoutIsParsed) {
    const String text = u"  60 seconds";
    EXPECT_EQ(runDialog(Settings{}, &text).awayTimeoutSeconds, 60);
    const String letters = u"never";
    EXPECT_EQ(runDialog(Settings{}, &letters).awayTimeoutSeconds, 0);
}

}  // namespace
}  // namespace horalis
