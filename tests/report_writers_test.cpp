#include "reports/report_writers.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "reports/daily_reports.h"

namespace horalis {
namespace {

class CountingIcons : public IconSource {
public:
    int addApplicationIcon(StringView) override { return next++; }
    int addDefaultIcon() override { return next++; }
    void removeAll() override { next = 0; }
    int next = 0;
};

const std::string kHtmlHead =
    "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1251\">"
    "<title>Horalis report</title></head><body bgcolor=white>"
    "<p align=center> <b> Generated on 2025:01:02 09:05:03</b></p><br>"
    "<table border=1 width='100%'><tr>"
    "<td bgcolor='#CCFFFF' width='80%'> Application </td>"
    "<td bgcolor='#CCFFFF'> Active time </td></tr>";
const std::string kHtmlTail = "</table></body></html>";
const LocalTime kMoment{2025, 2, 1, 9, 5, 3};  // 1 February 2025, 09:05:03

class ReportTest : public ::testing::Test {
protected:
    void SetUp() override { sort.sortColumn = 0; }

    void add(StringView path, StringView title, int samples) {
        for (int i = 0; i < samples; ++i) records.addSample(path, title);
    }
    // The worked example: titles A (1:00:00) and B (2:03), application 1:02:03.
    void addExample(StringView path = u"C:\\P.exe") {
        add(path, u"A", 1 + 7200);
        add(path, u"B", 1 + 246);
    }
    void refresh() { refreshApplicationList(apps, records, settings.showTimeInSeconds != 0, icons); }

    std::string write(ReportFormat format) {
        refresh();
        ReportStream out;
        out.openInMemory();
        ReportLists lists{apps, titles, sort, records, settings};
        switch (format) {
        case ReportFormat::Csv: writeCsvReport(out, lists); break;
        case ReportFormat::SpreadsheetCsv: writeSpreadsheetCsvReport(out, lists); break;
        case ReportFormat::Html: writeHtmlReport(out, lists, kMoment); break;
        }
        return out.bytes();
    }
    std::string writeDailyCsv() {
        refresh();
        ReportStream out;
        out.openInMemory();
        ReportLists lists{apps, titles, sort, records, settings};
        writeDailyCsvReport(out, lists);
        return out.bytes();
    }

    UsageRecords records;
    Settings settings;
    ListModel apps;
    ListModel titles;
    ListSort sort;
    CountingIcons icons;
};

// ---------------------------------------------------------------- layouts

TEST_F(ReportTest, WorkedExampleWithTitles) {
    addExample();
    EXPECT_EQ(write(ReportFormat::Csv),
              "\"C:\\P.exe\r\n\r\nWindows:\r\n\r\nA\r\nB\r\n\",\"1:02:03\r\n\r\n\r\n\r\n1:00:00\r\n2:03\r\n\"\r\n");
    EXPECT_EQ(write(ReportFormat::SpreadsheetCsv),
              "C:\\P.exe;1:02:03 \r\n;\r\nWindows:;\r\n\r\nA;1:00:00\r\nB;2:03\r\n\r\n");
    EXPECT_EQ(writeDailyCsv(),
              "C:\\P.exe\r\n\r\nWindows:\r\n\r\nA\r\nB\r\n;1:02:03\r\n\r\n\r\n\r\n1:00:00\r\n2:03\r\n\r\n");
    EXPECT_EQ(write(ReportFormat::Html),
              kHtmlHead +
                  "<tr><td width='80%'>C:\\P.exe<br><br> Windows:<br><br>A<br>B<br></td>"
                  "<td>1:02:03<br><br><br><br>1:00:00<br>2:03<br></td></tr>" +
                  kHtmlTail);
}

TEST_F(ReportTest, WorkedExampleWithoutTitles) {
    settings.saveWindowTitles = 0;
    addExample();
    EXPECT_EQ(write(ReportFormat::Csv), "\"C:\\P.exe\",\"1:02:03\"\r\n");
    EXPECT_EQ(write(ReportFormat::SpreadsheetCsv), "C:\\P.exe;1:02:03\r\n");
    EXPECT_EQ(writeDailyCsv(), write(ReportFormat::SpreadsheetCsv));
    EXPECT_EQ(write(ReportFormat::Html), kHtmlHead + "<tr><td width='80%'>C:\\P.exe</td><td>1:02:03</td></tr>" + kHtmlTail);
}

TEST_F(ReportTest, EmptyTotals) {
    EXPECT_EQ(write(ReportFormat::Csv), "");
    EXPECT_EQ(write(ReportFormat::SpreadsheetCsv), "");
    EXPECT_EQ(writeDailyCsv(), "");
    EXPECT_EQ(write(ReportFormat::Html), kHtmlHead + kHtmlTail);
}

TEST_F(ReportTest, IdleEntryHasOneEmptyTitle) {
    add(kIdleTimeKey, u"", 1 + 10);
    EXPECT_EQ(write(ReportFormat::Csv), "\"Idle time\r\n\r\nWindows:\r\n\r\n\r\n\",\"5 sec\r\n\r\n\r\n\r\n5 sec\r\n\"\r\n");
    EXPECT_EQ(write(ReportFormat::SpreadsheetCsv), "Idle time;5 sec \r\n;\r\nWindows:;\r\n\r\n;5 sec\r\n\r\n");
    EXPECT_EQ(write(ReportFormat::Html), kHtmlHead +
                                             "<tr><td width='80%'>Idle time<br><br> Windows:<br><br><br></td>"
                                             "<td>5 sec<br><br><br><br>5 sec<br></td></tr>" +
                                             kHtmlTail);
}

TEST_F(ReportTest, SecondsModeWritesPlainNumbers) {
    settings.showTimeInSeconds = 1;
    addExample();
    EXPECT_EQ(write(ReportFormat::SpreadsheetCsv), "C:\\P.exe;3723 \r\n;\r\nWindows:;\r\n\r\nA;3600\r\nB;123\r\n\r\n");
}

TEST_F(ReportTest, ApplicationsLongestFirstAndTheWalkLeavesItsTraces) {
    add(u"short", u"s", 1 + 2);
    addExample(u"long");
    add(u"middle", u"m1", 1 + 100);
    add(u"middle", u"m2", 1 + 300);
    settings.saveWindowTitles = 0;
    EXPECT_EQ(write(ReportFormat::SpreadsheetCsv), "long;1:02:03\r\nmiddle;3:20\r\nshort;1 sec\r\n");
    EXPECT_EQ(sort.sortColumn, 1);
    EXPECT_EQ(apps.selectedRow(), ListModel::npos);  // titles off: nothing selected

    settings.saveWindowTitles = 1;
    write(ReportFormat::Csv);
    ASSERT_EQ(apps.rowCount(), 3u);
    EXPECT_EQ(apps.text(0, 0), u"long");
    EXPECT_EQ(apps.selectedRow(), 2u);
    ASSERT_EQ(titles.rowCount(), 1u);
    EXPECT_EQ(titles.text(0, 0), u"s");

    // Titles come sorted by time, not newest first.
    apps.setSelected(1, true);
    showSelectedApplicationTitles(apps, titles, records, false);
    EXPECT_EQ(titles.text(0, 0), u"m2");
}

TEST_F(ReportTest, MomentIsYearDayMonth) {
    EXPECT_EQ(formatReportMoment(LocalTime{2024, 3, 5, 14, 7, 9}), u"2024:05:03 14:07:09");
    EXPECT_EQ(formatReportMoment(kMoment), u"2025:01:02 09:05:03");
}

// ---------------------------------------------------------------- hostile texts

constexpr StringView kHostile = u"<script>alert(\"1\")</script>;\u4E2D\U0001F600&";

TEST_F(ReportTest, CsvDoublesQuotesAndReplacesWhatCp1251Lacks) {
    add(u"app", kHostile, 1 + 2);
    EXPECT_EQ(write(ReportFormat::Csv),
              "\"app\r\n\r\nWindows:\r\n\r\n<script>alert(\"\"1\"\")</script>;??&\r\n\",\"1 sec\r\n\r\n\r\n\r\n1 sec\r\n\"\r\n");
    settings.saveWindowTitles = 0;
    EXPECT_EQ(write(ReportFormat::Csv), "\"app\",\"1 sec\"\r\n");
}

TEST_F(ReportTest, SemicolonLayoutsQuoteFieldsThatWouldBreakThem) {
    add(u"app", kHostile, 1 + 2);
    add(u"app", u"plain \u0416", 1);
    add(u"app", u"two\nlines", 1);
    const std::string hostile = "\"<script>alert(\"\"1\"\")</script>;??&\"";
    EXPECT_EQ(write(ReportFormat::SpreadsheetCsv), "app;2 sec \r\n;\r\nWindows:;\r\n\r\n" + hostile +
                                                       ";1 sec\r\n\"two\r\nlines\";0 sec\r\nplain \xC6;0 sec\r\n\r\n");
    EXPECT_EQ(writeDailyCsv(), "app\r\n\r\nWindows:\r\n\r\n" + hostile +
                                   "\r\n\"two\r\nlines\"\r\nplain \xC6\r\n;2 sec\r\n\r\n\r\n\r\n1 sec\r\n0 sec\r\n0 sec\r\n\r\n");
}

TEST_F(ReportTest, SemicolonLayoutsGuardCellsThatSpreadsheetsTakeForFormulas) {
    add(u"app", u"=cmd|' /C calc'!A0", 1 + 4);
    add(u"app", u"-2;+3", 1 + 2);
    add(u"app", u"a=b", 1);
    settings.saveWindowTitles = 1;
    EXPECT_EQ(write(ReportFormat::SpreadsheetCsv),
              "app;4 sec \r\n;\r\nWindows:;\r\n\r\n'=cmd|' /C calc'!A0;2 sec\r\n\"'-2;+3\";1 sec\r\na=b;0 sec\r\n\r\n");
}

TEST_F(ReportTest, HtmlEscapesMarkupAndReferencesWhatCp1251Lacks) {
    add(u"app&co", kHostile, 1 + 2);
    add(u"app&co", u"\u0416", 1);
    EXPECT_EQ(write(ReportFormat::Html),
              kHtmlHead +
                  "<tr><td width='80%'>app&amp;co<br><br> Windows:<br><br>"
                  "&lt;script&gt;alert(&quot;1&quot;)&lt;/script&gt;;&#20013;&#128512;&amp;<br>\xC6<br></td>"
                  "<td>1 sec<br><br><br><br>1 sec<br>0 sec<br></td></tr>" +
                  kHtmlTail);
}

std::string htmlBytes(StringView text) {
    std::string out;
    appendHtmlBytes(text, out);
    return out;
}

TEST(HtmlTextTest, SurrogatesAndPlainText) {
    EXPECT_EQ(htmlBytes(u"plain \u0416"), "plain \xC6");
    EXPECT_EQ(htmlBytes(u"a\xD83D" u"b"), "a&#65533;b");  // lone high surrogate
    EXPECT_EQ(htmlBytes(u"\xDE00"), "&#65533;");
    EXPECT_EQ(htmlBytes(u"\U0010FFFF"), "&#1114111;");
    EXPECT_EQ(htmlBytes(u"\u20AC\u00A0"), "\x88\xA0");  // both are in Windows-1251
}

// ---------------------------------------------------------------- files

class ReportFilesTest : public ReportTest {
protected:
    void SetUp() override {
        ReportTest::SetUp();
        char pattern[] = "/tmp/horalis-reports-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
    }
    void TearDown() override { std::system(("rm -rf '" + dir + "'").c_str()); }
    String folder() const { return String(dir.begin(), dir.end()); }
    std::string read(const std::string& name) const {
        std::string bytes;
        if (!readFileBytes(folder() + String(name.begin(), name.end()), bytes)) return "<missing>";
        return bytes;
    }
    ReportLists lists() { return ReportLists{apps, titles, sort, records, settings}; }
    DailyPairResult writePair(const LocalTime& now = kMoment) {
        return writeDailyReports(folder(), kDayBefore, now, records, settings);
    }
    void put(const std::string& name, const std::string& bytes) {
        std::FILE* f = std::fopen((dir + "/" + name).c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }

    static constexpr LocalTime kDayBefore{2025, 1, 31, 0, 0, 0};  // its pair is 2025_01_02, named after kMoment
    std::string dir;
};

TEST(DailyNameTest, YearDayMonth) {
    EXPECT_EQ(dailyReportBaseName(LocalTime{2026, 12, 7, 0, 0, 0}), u"\\2026_07_12");
    EXPECT_EQ(dailyReportBaseName(LocalTime{2025, 3, 1, 0, 0, 0}), u"\\2025_01_03");
    EXPECT_EQ(dailyReportBaseName(LocalTime{2025, 3, 2, 0, 0, 0}), u"\\2025_02_03");
}

TEST_F(ReportFilesTest, DailyReportsWriteBothFiles) {
    addExample();
    refresh();
    const LocalTime midnight{2026, 12, 7, 0, 0, 12};
    EXPECT_EQ(writeDailyReports(folder(), LocalTime{2026, 12, 6, 23, 0, 0}, midnight, records, settings),
              DailyPairResult::Written);
    // The lists on screen are not walked.
    EXPECT_EQ(sort.sortColumn, 0);
    EXPECT_EQ(apps.selectedRow(), ListModel::npos);
    EXPECT_EQ(read("\\2026_07_12.csv"), writeDailyCsv());
    const std::string html = read("\\2026_07_12.html");
    EXPECT_NE(html.find("Generated on 2026:07:12 00:00:12</b>"), std::string::npos);
    EXPECT_NE(html.find("<td>1:02:03<br>"), std::string::npos);
}

TEST_F(ReportFilesTest, DailyReportsWithNoRows) {
    EXPECT_EQ(writePair(), DailyPairResult::Written);
    EXPECT_EQ(read("\\2025_01_02.csv"), "");
    EXPECT_EQ(read("\\2025_01_02.html"), kHtmlHead + kHtmlTail);
}

TEST_F(ReportFilesTest, DailyPairNamesTheDayAfterTheOneItHolds) {
    EXPECT_EQ(dailyPairBaseName(LocalTime{2026, 12, 6, 23, 59, 59}), u"\\2026_07_12");
    EXPECT_EQ(dailyPairBaseName(LocalTime{2024, 2, 28, 0, 0, 0}), u"\\2024_29_02");
    EXPECT_EQ(dailyPairBaseName(LocalTime{2025, 2, 28, 0, 0, 0}), u"\\2025_01_03");
    EXPECT_EQ(dailyPairBaseName(LocalTime{2026, 12, 31, 0, 0, 0}), u"\\2027_01_01");
}

TEST_F(ReportFilesTest, DailyReportsFailWhenEitherFileCannotBeCreated) {
    addExample();
    refresh();
    EXPECT_EQ(writeDailyReports(folder() + u"\\missing", kDayBefore, kMoment, records, settings),
              DailyPairResult::NotWritten);

    // A folder in the HTML file's place: the CSV file holds the totals, so they count as saved.
    ASSERT_EQ(mkdir((dir + "/2025_01_02.html").c_str(), 0700), 0);
    EXPECT_EQ(writePair(), DailyPairResult::CsvOnly);
    EXPECT_EQ(read("\\2025_01_02.csv"), writeDailyCsv());
    EXPECT_EQ(read("\\2025_01_02.html.tmp"), "<missing>");
}

// Three runs of a day, each ended by a write: one pair holding all three,
// titles matched exactly (or as the pair holds what Windows-1251 lacks).
TEST_F(ReportFilesTest, EachWriteAddsToThePairAlreadyThere) {
    for (const bool seconds : {false, true}) {
        settings.showTimeInSeconds = seconds;
        std::system(("rm -f '" + dir + "'/*").c_str());
        records.clearAll();
        add(u"C:\\P.exe", u"=A;\"x\"\nline", 1 + 7200);
        add(u"C:\\P.exe", u"\u4E2D", 1 + 20);
        add(kIdleTimeKey, u"", 1 + 600);
        ASSERT_EQ(writePair(), DailyPairResult::Written);
        const std::string first = read("\\2025_01_02.csv");

        records.clearAll();
        add(u"C:\\P.exe", u"\u4E2D", 1 + 10);
        add(u"C:\\Q.exe", u"new", 1 + 4);
        ASSERT_EQ(writePair(), DailyPairResult::Written);
        records.clearAll();
        add(kIdleTimeKey, u"", 1 + 60);
        ASSERT_EQ(writePair(), DailyPairResult::Written);

        DailyPairTotals sum;
        ASSERT_EQ(readDailyCsv(read("\\2025_01_02.csv"), sum), PairReadResult::Read);
        ASSERT_EQ(sum.applications.size(), 3u);
        EXPECT_EQ(sum.applications[0].path, u"C:\\P.exe");
        EXPECT_EQ(sum.applications[0].seconds, 3610 + 5);
        ASSERT_EQ(sum.applications[0].titles.size(), 2u);
        EXPECT_EQ(sum.applications[0].titles[0].title, u"=A;\"x\"\nline");
        EXPECT_EQ(sum.applications[0].titles[1].title, u"?");
        EXPECT_EQ(sum.applications[0].titles[1].seconds, 15);
        EXPECT_EQ(sum.applications[1].path, kIdleTimeKey);
        EXPECT_EQ(sum.applications[1].seconds, 330);
        EXPECT_EQ(sum.applications[2].seconds, 2);

        // Read back and written again from nothing more: the same bytes.
        UsageRecords again;
        DailyPairTotals firstTotals;
        ASSERT_EQ(readDailyCsv(first, firstTotals), PairReadResult::Read);
        addPairTotals(firstTotals, UsageRecords(), again);
        std::swap(records, again);
        EXPECT_EQ(writeDailyCsv(), first);
    }
}

TEST_F(ReportFilesTest, APairThatCannotBeReadBackIsKeptBesideTheNewOne) {
    put("2025_01_02.csv", "written by hand;soon\r\n");
    put("2025_01_02.html", "<html>by hand</html>");
    put("2025_01_02 (unreadable).csv", "an older one");
    add(u"C:\\P.exe", u"T", 1 + 2);
    EXPECT_EQ(writePair(), DailyPairResult::Written);
    EXPECT_EQ(read("\\2025_01_02 (unreadable 2).csv"), "written by hand;soon\r\n");
    EXPECT_EQ(read("\\2025_01_02 (unreadable 2).html"), "<html>by hand</html>");
    EXPECT_EQ(read("\\2025_01_02 (unreadable).csv"), "an older one");
    EXPECT_EQ(read("\\2025_01_02.csv"), writeDailyCsv());
}

TEST_F(ReportFilesTest, ExportLeavesTheListsAloneWhenTheFileCannotBeCreated) {
    add(u"a", u"", 1 + 20);
    add(u"b", u"", 1);
    refresh();
    auto l = lists();
    EXPECT_EQ(exportReport(folder() + u"\\no\\such.csv", ReportFormat::Csv, l, kMoment), ExportResult::NotCreated);
    EXPECT_EQ(apps.text(0, 0), u"b");  // still newest first, not sorted by time
    EXPECT_EQ(sort.sortColumn, 0);

    EXPECT_EQ(exportReport(folder() + u"\\out.html", ReportFormat::Html, l, kMoment), ExportResult::Written);
    EXPECT_EQ(read("\\out.html").substr(0, kHtmlHead.size()), kHtmlHead);
    EXPECT_EQ(exportReport(folder() + u"\\out.csv", ReportFormat::SpreadsheetCsv, l, kMoment), ExportResult::Written);
    EXPECT_EQ(read("\\out.csv"), "a;10 sec \r\n;\r\nWindows:;\r\n\r\n;10 sec\r\n\r\nb;0 sec \r\n;\r\nWindows:;\r\n\r\n;0 sec\r\n\r\n");
}

// An export is written beside the file and then replaces it; a name of the
// user's is never taken for that (the full disk is an end-to-end case: here
// the tests may run as root, who could replace /dev/full itself).
TEST_F(ReportFilesTest, ExportReplacesTheFileAndLeavesOtherFilesAlone) {
    addExample();
    refresh();
    auto l = lists();
    put("out.csv", "old");
    put("out.csv.tmp", "the user's");
    EXPECT_EQ(exportReport(folder() + u"\\out.csv", ReportFormat::Csv, l, kMoment), ExportResult::Written);
    EXPECT_EQ(read("\\out.csv"), write(ReportFormat::Csv));
    EXPECT_EQ(read("\\out.csv.tmp"), "the user's");
    EXPECT_EQ(read("\\out.csv.1.tmp"), "<missing>");
}

// A full disk while the new pair is written beside the old one: the old pair
// stays as it was and the totals are not taken for saved.
TEST_F(ReportFilesTest, DailyReportsOnAFullDiskAreNotWritten) {
    if (access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full";
    put("2025_01_02.csv", "");
    put("2025_01_02.html", "old");
    addExample();
    for (const char* temporary : {"/2025_01_02.csv.tmp", "/2025_01_02.html.tmp"}) {
        ASSERT_EQ(symlink("/dev/full", (dir + temporary).c_str()), 0);
        EXPECT_EQ(writePair(), DailyPairResult::NotWritten);
        EXPECT_EQ(read("\\2025_01_02.csv"), "");
        EXPECT_EQ(read("\\2025_01_02.html"), "old");
        unlink((dir + temporary).c_str());
    }
}

}  // namespace
}  // namespace horalis
