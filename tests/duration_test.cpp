#include "storage/duration.h"

#include <gtest/gtest.h>

namespace horalis {
namespace {

struct Row {
    int32_t seconds;
    const char16_t* normal;
    const char16_t* plain;
};

constexpr Row kRows[] = {
    {0, u"0 sec", u"0"},          {1, u"1 sec", u"1"},           {59, u"59 sec", u"59"},
    {60, u"1:00", u"60"},         {72, u"1:12", u"72"},          {3599, u"59:59", u"3599"},
    {3600, u"1:00:00", u"3600"},  {3661, u"1:01:01", u"3661"},   {86400, u"24:00:00", u"86400"},
    {90000, u"25:00:00", u"90000"}, {12345, u"3:25:45", u"12345"},
};

TEST(Duration, FormatsBothModesAndParsesBack) {
    for (const Row& row : kRows) {
        EXPECT_EQ(formatDuration(row.seconds, false), row.normal) << row.seconds;
        EXPECT_EQ(formatDuration(row.seconds, true), row.plain) << row.seconds;
        EXPECT_EQ(parseDuration(row.normal), static_cast<uint32_t>(row.seconds)) << row.seconds;
        EXPECT_EQ(parseDuration(row.plain), static_cast<uint32_t>(row.seconds)) << row.seconds;
    }
}

TEST(Duration, LargestValuesStayWithinSixteenCharacters) {
    EXPECT_EQ(formatDuration(INT32_MAX, false), u"596523:14:07");
    EXPECT_EQ(parseDuration(formatDuration(INT32_MAX, false)), uint32_t{INT32_MAX});
    EXPECT_EQ(formatDuration(-1, true), u"4294967295");  // read as unsigned, like "%u"
    EXPECT_LE(formatDuration(-1, false).size(), 16u);
}

TEST(Duration, ParsesLikeTheScanFormats) {
    EXPECT_EQ(parseDuration(u"5 sec"), 5u);
    EXPECT_EQ(parseDuration(u"5"), 5u);
    EXPECT_EQ(parseDuration(u"0:05"), 5u);
    EXPECT_EQ(parseDuration(u"1:2:3:4"), 1u);  // three colons: leading number only
    EXPECT_EQ(parseDuration(u"12 secs"), 12u);
    EXPECT_EQ(parseDuration(u"  \t7 sec"), 7u);
    EXPECT_EQ(parseDuration(u"1:05 sec"), 1u);  // "sec" wins over the colons
    EXPECT_EQ(parseDuration(u" 1: 2"), 62u);    // blanks before a number are skipped
    EXPECT_EQ(parseDuration(u"1 :2"), 60u);     // but not before a ':'
    EXPECT_EQ(parseDuration(u"2:x:3"), 7200u);  // unread numbers are 0
    EXPECT_EQ(parseDuration(u"+3"), 3u);
    EXPECT_EQ(parseDuration(u"-1"), 4294967295u);
    EXPECT_EQ(parseDuration(u"4 Sec:30"), 240u);  // "Sec" is not "sec": read as m:s
}

TEST(Duration, UnreadableTextIsZeroAndArithmeticWraps) {
    EXPECT_EQ(parseDuration(u""), 0u);
    EXPECT_EQ(parseDuration(u"sec"), 0u);
    EXPECT_EQ(parseDuration(u"abc"), 0u);
    EXPECT_EQ(parseDuration(u"-"), 0u);
    EXPECT_EQ(parseDuration(u":"), 0u);
    EXPECT_EQ(parseDuration(u"\u0661\u0662"), 0u);  // digits of another script
    EXPECT_EQ(parseDuration(u"4294967296"), 0u);
    EXPECT_EQ(parseDuration(u"4294967297"), 1u);
    EXPECT_EQ(parseDuration(u"1193047:00:00"), 1193047u * 3600u);  // wraps past 2^32
}

}  // namespace
}  // namespace horalis
