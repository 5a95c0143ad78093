#include "reports/history.h"

#include <gtest/gtest.h>

#include "reports/daily_reports.h"
#include "temp_folder.h"

namespace horalis {
namespace {

const int64_t kSunday6Dec2026 = dayNumberOf(LocalTime{2026, 12, 6, 0, 0, 0});
const LocalTime kMadeAt{2026, 12, 8, 9, 15, 0};

PairApplicationTotal application(StringView path, int64_t seconds, std::vector<PairTitleTotal> titles = {}) {
    return PairApplicationTotal{String(path), seconds, std::move(titles)};
}

std::string page(const HistoryBuilder& builder) {
    std::string out;
    appendHistoryPage(builder.summarize(), kMadeAt, out);
    return out;
}

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(History, CalendarDaysRoundTripAcrossLeapYearsAndEras) {
    EXPECT_EQ(dayNumberOf(LocalTime{1970, 1, 1}), 0);
    EXPECT_EQ(dayNumberOf(LocalTime{2024, 3, 1}) - dayNumberOf(LocalTime{2024, 2, 28}), 2);
    EXPECT_EQ(dayNumberOf(LocalTime{2100, 3, 1}) - dayNumberOf(LocalTime{2100, 2, 28}), 1);
    for (int64_t day = -800000; day < 800000; day += 997) {
        const LocalTime date = dateOfDayNumber(day);
        EXPECT_EQ(dayNumberOf(date), day);
    }
}

// Eleven applications over 40 days: the periods, "others", idle apart and one
// colour per application everywhere.
TEST(History, AddsUpPeriodsKeepsAwayTimeApartAndGivesEachApplicationOneColour) {
    HistoryBuilder builder(kSunday6Dec2026);
    for (int64_t back = 0; back < 40; ++back) {
        if (back == 2) continue;  // Friday without a report
        DailyPairTotals day;
        day.applications.push_back(application(u"Idle time", 100, {{u"", 100}}));
        for (int a = 0; a < 11; ++a) {
            const String path = u"C:\\A\\app" + String(1, static_cast<char16_t>(u'a' + a)) + u".exe";
            day.applications.push_back(application(path, 1000 - a * 50, {{u"T1", 600 - a * 50}, {u"T2", 400}}));
        }
        builder.addDay(kSunday6Dec2026 - back, day);
    }
    builder.addDay(kSunday6Dec2026 - 45, DailyPairTotals{{application(u"C:\\old.exe", 7)}});
    const HistorySummary s = builder.summarize();

    EXPECT_EQ(s.days, 40);
    const int expectedDays[kHistoryPeriods] = {6, 29, 39};  // and the old day in all days
    for (int p = 0; p < kHistoryPeriods; ++p) {
        const HistoryPeriod& period = s.periods[p];
        EXPECT_EQ(period.daysWithReports, expectedDays[p] + (p == kAllDays));
        EXPECT_EQ(period.away, 100 * expectedDays[p]);
        ASSERT_FALSE(period.applications.empty());
        EXPECT_EQ(period.applications.front().path, u"C:\\A\\appa.exe");
        EXPECT_EQ(period.applications.front().seconds, 1000 * expectedDays[p]);
        ASSERT_EQ(period.applications.front().titles.size(), 2u);
        EXPECT_EQ(period.applications.front().titles[0].seconds, 600 * expectedDays[p]);
        for (const HistoryApplication& a : period.applications) EXPECT_NE(a.path, u"Idle time");
    }
    EXPECT_TRUE(s.periodShown[kLastMonth] && s.periodShown[kAllDays]);
    EXPECT_EQ(s.periods[kAllDays].applications.back().path, u"C:\\old.exe");
    EXPECT_EQ(s.periods[kAllDays].firstDay, kSunday6Dec2026 - 45);

    // Ten colours; the eleventh application and the old one are "others".
    ASSERT_EQ(s.colourPaths.size(), size_t{kHistoryColours});
    for (const HistoryPeriod& period : s.periods)
        for (const HistoryApplication& a : period.applications) {
            const auto it = std::find(s.colourPaths.begin(), s.colourPaths.end(), a.path);
            EXPECT_EQ(a.colour, it == s.colourPaths.end() ? kNoColour : it - s.colourPaths.begin());
        }

    // The day rows: a week ending with the newest day, the missing day shown as such.
    ASSERT_EQ(s.lastDays.size(), 7u);
    EXPECT_EQ(s.lastDays.back().day, kSunday6Dec2026);
    EXPECT_FALSE(s.lastDays[4].hasReport);
    const HistoryDayRow& sunday = s.lastDays.back();
    EXPECT_EQ(sunday.away, 100);
    EXPECT_EQ(sunday.segments.size(), size_t{kHistoryColours} + 1);
    EXPECT_EQ(sunday.segments.back().colour, kNoColour);
    EXPECT_EQ(sunday.segments.back().seconds, 1000 - 10 * 50);
    int64_t segments = 0;
    for (const HistorySegment& segment : sunday.segments) segments += segment.seconds;
    EXPECT_EQ(segments, sunday.active);

    const std::string html = page(builder);
    EXPECT_TRUE(contains(html, "<td class=day>Sun 6 Dec 2026</td>"));
    EXPECT_TRUE(contains(html, "<td class=day>Fri 4 Dec 2026</td><td class=n>&ndash;"));
    EXPECT_TRUE(contains(html, "Applications, all days"));
}

TEST(History, ShowsHostileTextAsTextInWindows1251AndNamesUnreadableFiles) {
    HistoryBuilder builder(kSunday6Dec2026);
    const String hostile = u"<script>alert(\"x\")</script> & \u041F\u0440\u0438\u0432\u0435\u0442 \u2713 \U0001F600";
    builder.addDay(kSunday6Dec2026,
                   DailyPairTotals{{application(u"C:\\<b>\\a&b.exe", 60, {{hostile, 60}, {u"", 1}})}});
    builder.addSkipped(u"2026_01_01.csv", HistorySkip::Damaged);
    builder.addSkipped(u"2026_<i>_01.csv", HistorySkip::NotADate);
    const std::string html = page(builder);

    EXPECT_TRUE(contains(html, "<meta charset=windows-1251>"));
    EXPECT_FALSE(contains(html, "<script>"));
    EXPECT_FALSE(contains(html, "<b>\\"));
    EXPECT_TRUE(contains(html, "&lt;script&gt;alert(&quot;x&quot;)&lt;/script&gt; &amp; \xCF\xF0\xE8\xE2\xE5\xF2 "
                               "&#10003; &#128512;"));
    EXPECT_TRUE(contains(html, "<b>a&amp;b.exe</b> <span class=dir>C:\\&lt;b&gt;\\</span>"));
    EXPECT_TRUE(contains(html, "<i>(no title)</i>"));
    EXPECT_TRUE(contains(html, "2026_01_01.csv &ndash; it is not a daily report"));
    EXPECT_TRUE(contains(html, "2026_&lt;i&gt;_01.csv &ndash; its name is no date"));
    // One week of reports: the longer periods would only repeat it.
    EXPECT_FALSE(contains(html, "the last 30 days"));
}

TEST(History, EmptyFolderExplainsHowToGetDailyReports) {
    test::TempFolder tmp;
    tmp.write("notes.csv", "a;b\r\n");
    ASSERT_TRUE(writeHistoryPage(tmp.folder(), kMadeAt));
    const std::string html = tmp.read("history.html");
    EXPECT_TRUE(contains(html, "No daily reports yet"));
    EXPECT_TRUE(contains(html, "Save daily reports (at 00:00)"));
    EXPECT_TRUE(contains(html, "Horalis Reporter"));
    EXPECT_FALSE(contains(html, "notes.csv"));
    EXPECT_FALSE(tmp.exists("history.html.tmp"));
    EXPECT_FALSE(writeHistoryPage(tmp.folder() + u"\\missing", kMadeAt));
}

class NoIcons : public IconSource {
public:
    int addApplicationIcon(StringView) override { return 0; }
    int addDefaultIcon() override { return 0; }
    void removeAll() override {}
};

// Pairs written by the daily writer, read back from the folder: each labelled
// by the day it holds; a damaged one named; other files left alone.
TEST(History, EveryDailyPairRebuildsThePageFromTheWholeFolder) {
    test::TempFolder tmp;
    tmp.write("2026_20_11.csv", "\"unclosed;1:00\r\n");
    tmp.write("2026_99_99.csv", "");
    tmp.write("report.csv", "C:\\x.exe;1:00\r\n");
    for (int named = 6; named <= 8; ++named) {
        UsageRecords records;
        // A record's first sample only creates it.
        for (int s = 0; s <= 7200 * named; ++s) records.addSample(u"C:\\Tools\\editor.exe", u"main.cpp");
        for (int s = 0; s <= 600; ++s) records.addSample(kIdleTimeKey, u"");
        ASSERT_EQ(writeDailyReports(tmp.folder(), LocalTime{2026, 12, named - 1, 23, 0, 0},
                                    LocalTime{2026, 12, named, 0, 0, 5}, records, Settings()),
                  DailyPairResult::Written);
    }
    const std::string html = tmp.read("history.html");
    EXPECT_TRUE(contains(html, "from 3 daily reports, Sat 5 Dec 2026 to Mon 7 Dec 2026."));
    EXPECT_TRUE(contains(html, "<td class=day>Mon 7 Dec 2026</td><td class=n>8:00:00</td><td class=n>5:00</td>"));
    EXPECT_TRUE(contains(html, "<b>editor.exe</b> <span class=dir>C:\\Tools\\</span>"));
    EXPECT_TRUE(contains(html, "<td class=n>21:00:00</td>"));  // 6 + 7 + 8 hours
    EXPECT_TRUE(contains(html, "2026_20_11.csv &ndash; it is not a daily report"));
    EXPECT_TRUE(contains(html, "2026_99_99.csv &ndash; its name is no date"));
    EXPECT_FALSE(contains(html, "report.csv"));
}

}  // namespace
}  // namespace horalis
