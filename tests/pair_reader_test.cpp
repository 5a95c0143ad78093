#include "reports/pair_reader.h"

#include <gtest/gtest.h>

#include "reports/report_writers.h"

namespace horalis {
namespace {


// Records written as the daily CSV, in either layout and display mode.
class PairReaderTest : public ::testing::TestWithParam<std::tuple<bool, bool>> {
protected:
    // The sample that makes a title is not counted for it (but for an
    // application that already has a record).
    void add(StringView path, StringView title, int seconds) {
        for (int i = 0; i < 2 * seconds + 1; ++i) records.addSample(path, title);
    }
    std::string writeDaily() {
        settings.saveWindowTitles = std::get<0>(GetParam());
        settings.showTimeInSeconds = std::get<1>(GetParam());
        ListSort sort;
        ListModel apps, titles;
        NoRowIcons icons;
        refreshApplicationList(apps, records, settings.showTimeInSeconds != 0, icons);
        ReportLists lists{apps, titles, sort, records, settings};
        ReportStream out;
        out.openInMemory();
        writeDailyCsvReport(out, lists);
        return out.bytes();
    }
    UsageRecords records;
    Settings settings;
};

TEST_P(PairReaderTest, ReadsWhatTheWriterWrote) {
    const bool withTitles = std::get<0>(GetParam());
    add(u"C:\\a;b\\P.exe", u"=HYPERLINK(\"x\")", 3725);
    add(u"C:\\a;b\\P.exe", u"two\nlines; and \"quotes\"", 40);
    add(u"C:\\a;b\\P.exe", u"'-already guarded", 1);
    add(u"C:\\a;b\\P.exe", u"cr\r\nlf\r", 2);
    add(kIdleTimeKey, u"", 7200);
    add(u"C:\\Q.exe", u"@sum \u0416 \u4E2D", 59);

    DailyPairTotals read;
    ASSERT_EQ(readDailyCsv(writeDaily(), read), PairReadResult::Read);
    ASSERT_EQ(read.applications.size(), 3u);
    const auto& idle = read.applications[0];
    const auto& p = read.applications[1];
    const auto& q = read.applications[2];
    EXPECT_EQ(idle.path, kIdleTimeKey);
    EXPECT_EQ(idle.seconds, 7200);
    EXPECT_EQ(p.path, u"C:\\a;b\\P.exe");
    EXPECT_EQ(p.seconds, 3725 + 40 + 2 + 1 + 1);  // and three uncounted half-seconds
    EXPECT_EQ(q.seconds, 59);
    if (!withTitles) {
        for (const auto& app : read.applications) EXPECT_TRUE(app.titles.empty());
        return;
    }
    ASSERT_EQ(idle.titles.size(), 1u);
    EXPECT_EQ(idle.titles[0].title, u"");
    ASSERT_EQ(p.titles.size(), 4u);
    EXPECT_EQ(p.titles[0].title, u"=HYPERLINK(\"x\")");
    EXPECT_EQ(p.titles[0].seconds, 3725);
    EXPECT_EQ(p.titles[1].title, u"two\nlines; and \"quotes\"");
    EXPECT_EQ(p.titles[2].title, u"cr\r\nlf\r");
    EXPECT_EQ(p.titles[2].seconds, 2);
    EXPECT_EQ(p.titles[3].title, u"'-already guarded");
    ASSERT_EQ(q.titles.size(), 1u);
    EXPECT_EQ(q.titles[0].title, u"@sum \u0416 ?");  // as the file holds it
}

INSTANTIATE_TEST_SUITE_P(LayoutsAndModes, PairReaderTest,
                         ::testing::Combine(::testing::Bool(), ::testing::Bool()));

TEST(PairReader, EmptyFileIsADayWithoutApplications) {
    DailyPairTotals read;
    read.applications.resize(2);
    EXPECT_EQ(readDailyCsv("", read), PairReadResult::Read);
    EXPECT_TRUE(read.applications.empty());
}

TEST(PairReader, AnythingTheWriterCannotHaveWrittenIsDamaged) {
    const std::string good = "P.exe\r\n\r\nWindows:\r\n\r\nA\r\n;1:02\r\n\r\n\r\n\r\n1:02\r\n\r\n";
    DailyPairTotals read;
    ASSERT_EQ(readDailyCsv(good, read), PairReadResult::Read);
    for (const std::string& bad : {
             good.substr(0, good.size() - 2),                    // cut off
             good.substr(0, good.size() - 1),                    // last line without its line feed
             std::string("P.exe;1:02\r\nQ.exe\r\n"),             // layouts mixed
             std::string("P.exe;1:02;3\r\n"),                    // a third cell
             std::string("P.exe;1:2\r\n"),                       // no time as the lists show it
             std::string("P.exe; 5 sec\r\n"),
             std::string("P.exe;-5\r\n"),
             std::string("\"P.exe;1:02\r\n"),                    // quote never closed
             std::string("P\"x.exe;1:02\r\n"),                   // quote in an unquoted cell
             std::string("\"P\"x;1:02\r\n"),                     // text after a closing quote
             std::string("P.exe\r\n\r\nWindow:\r\n\r\nA\r\n;1:02\r\n\r\n\r\n\r\n1:02\r\n\r\n"),
             std::string("P.exe\r\n\r\nWindows:\r\n\r\nA\r\n;1:02\r\n\r\n\r\n\r\n\r\n"),  // a title time missing
         }) {
        read.applications.resize(1);
        EXPECT_EQ(readDailyCsv(bad, read), PairReadResult::Damaged) << bad;
        EXPECT_TRUE(read.applications.empty());
    }
}

TEST(PairReader, FormulaGuardIsUndoneExactly) {
    for (const StringView cell : {u"=1", u"+1", u"-1", u"@x", u"\tx", u"\rx", u"'=1", u"''+1"}) {
        EXPECT_TRUE(needsFormulaGuard(cell));
        String guarded = u"'" + String(cell);
        unguardCell(guarded);
        EXPECT_EQ(guarded, cell);
    }
    for (const StringView cell : {u"", u"'", u"'a", u"a=1", u"C:\\x"}) {
        EXPECT_FALSE(needsFormulaGuard(cell));
        String same(cell);
        unguardCell(same);
        EXPECT_EQ(same, cell);
    }
}

TEST(PairReader, DailyReportNames) {
    LocalTime date;
    ASSERT_TRUE(parseDailyReportBaseName(u"2026_07_12", date));
    EXPECT_EQ(date.year, 2026);
    EXPECT_EQ(date.day, 7);
    EXPECT_EQ(date.month, 12);
    ASSERT_TRUE(parseDailyReportBaseName(u"2024_29_02", date));
    for (const StringView bad : {u"2025_29_02", u"2026_32_01", u"2026_00_05", u"2026_07_13", u"2026_7_12",
                                 u"2026_07_12.csv", u"\\2026_07_12", u"2026-07-12", u"20a6_07_12"})
        EXPECT_FALSE(parseDailyReportBaseName(bad, date)) << std::string(bad.begin(), bad.end());
}

}  // namespace
}  // namespace horalis
