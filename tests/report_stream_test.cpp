#include "storage/report_stream.h"

#include <gtest/gtest.h>

#include "temp_folder.h"

namespace horalis {
namespace {

using test::TempFolder;

std::string written(void (*fill)(ReportStream&)) {
    ReportStream s;
    s.openInMemory();
    fill(s);
    EXPECT_TRUE(s.close());
    return s.bytes();
}

TEST(ReportStream, GroupsIntegersTheRussianWay) {
    EXPECT_EQ(formatGroupedInt(0), u"0");
    EXPECT_EQ(formatGroupedInt(999), u"999");
    EXPECT_EQ(formatGroupedInt(1000), u"1\u00A0" u"000");
    EXPECT_EQ(formatGroupedInt(-1000), u"-1\u00A0" u"000");
    EXPECT_EQ(formatGroupedInt(-999), u"-999");
    EXPECT_EQ(formatGroupedInt(123456), u"123\u00A0" u"456");
    EXPECT_EQ(formatGroupedInt(1234567), u"1\u00A0" u"234\u00A0" u"567");
    EXPECT_EQ(formatGroupedInt(INT64_MIN), u"-9\u00A0" u"223\u00A0" u"372\u00A0" u"036\u00A0" u"854\u00A0" u"775\u00A0" u"808");
    EXPECT_EQ(written([](ReportStream& s) { s << int32_t{INT32_MIN} << "|" << int32_t{1800}; }),
              "-2\xA0" "147\xA0" "483\xA0" "648|1\xA0" "800");
}

TEST(ReportStream, LineFeedsBecomeCrLfWithoutByteOrderMark) {
    EXPECT_EQ(written([](ReportStream& s) { s << u"a\nb\n" << "c\n\nd" << u"\r\n"; }), "a\r\nb\r\nc\r\n\r\nd\r\r\n");
    EXPECT_EQ(written([](ReportStream& s) { s.writeEncoded("x\ny"); }), "x\r\ny");
    EXPECT_EQ(written([](ReportStream& s) { s << u"Ёлка"; }), "\xA8\xEB\xEA\xE0");
}

TEST(ReportStream, CharactersWithoutACodeBecomeQuestionMarks) {
    EXPECT_EQ(written([](ReportStream& s) { s << u"日本 \U0001F600" << "\xC3\xA9"; }), "?? ???");
}

TEST(ReportStream, WritesLargeFilesCompletely) {
    TempFolder dir;
    std::string expected;
    ReportStream s;
    ASSERT_TRUE(s.open(dir.file("big.csv")));
    for (int i = 0; i < 40000; ++i) {
        s << u"Строка " << int32_t{i} << "\n";
        expected += "\xD1\xF2\xF0\xEE\xEA\xE0 ";
        const std::string digits = std::to_string(i);
        expected += digits.size() > 3 ? digits.substr(0, digits.size() - 3) + "\xA0" + digits.substr(digits.size() - 3) : digits;
        expected += "\r\n";
    }
    ASSERT_TRUE(s.close());
    EXPECT_GT(expected.size(), 512u * 1024u);
    EXPECT_EQ(dir.read("big.csv"), expected);
}

TEST(ReportStream, OpenTruncatesAndFailsForAMissingFolder) {
    TempFolder dir;
    dir.write("r.html", "old contents that are longer");
    ReportStream s;
    ASSERT_TRUE(s.open(dir.file("r.html")));
    s << "new";
    ASSERT_TRUE(s.close());
    EXPECT_EQ(dir.read("r.html"), "new");
    EXPECT_FALSE(s.open(dir.file("missing\\r.html")));
    EXPECT_FALSE(s.isOpen());
    EXPECT_FALSE(s.close());
}

TEST(ReportStream, CloseReportsAFullDisk) {
    ReportStream s;
    if (!s.open(u"/dev/full")) GTEST_SKIP() << "no /dev/full";
    s << "short text, failing only when flushed";
    EXPECT_FALSE(s.close());

    ASSERT_TRUE(s.open(u"/dev/full"));
    for (int i = 0; i < 100000; ++i) s << u"a line of a long report\n";
    EXPECT_FALSE(s.close());
}

TEST(ReportStream, ReadFileBytesHonoursTheLimit) {
    TempFolder dir;
    dir.write("f", std::string(100000, 'x'));
    std::string bytes;
    ASSERT_TRUE(readFileBytes(dir.file("f"), bytes, 70000));
    EXPECT_EQ(bytes.size(), 70000u);
    ASSERT_TRUE(readFileBytes(dir.file("f"), bytes));
    EXPECT_EQ(bytes.size(), 100000u);
    EXPECT_FALSE(readFileBytes(dir.file("nothing"), bytes));
}

}  // namespace
}  // namespace horalis
