#include "reports/history.h"

#include <gtest/gtest.h>

#include "reports/daily_reports.h"
#include "reports/history_cache.h"
#include "storage/replacing_file.h"
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

// A record as the fold leaves it: each minute added as a journal block would be.
struct Use {
    int minute;
    const char16_t* path;
    const char16_t* title;
    int64_t samples;
};
DayRecord recordOf(int64_t day, StringView computer, StringView user, const std::vector<Use>& uses) {
    DayRecord record;
    record.day = dateOfDayNumber(day);
    record.computer = computer;
    record.user = user;
    for (const Use& use : uses) {
        JournalBlock block;
        block.day = record.day;
        block.minuteOfDay = use.minute;
        block.applications.push_back(JournalApplication{use.path, use.samples, {{use.title, use.samples}}});
        record.add(block);
    }
    return record;
}

void writeRecord(const test::TempFolder& tmp, const DayRecord& record) {
    std::string bytes;
    appendDayRecord(record, bytes);
    createDirectory(dayRecordFolder(tmp.folder()));
    ASSERT_TRUE(writeFileReplacing(
        dayRecordFolder(tmp.folder()) + u"\\" + dayRecordFileName(record.day, {record.computer, record.user}), bytes));
}


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

TEST(HistoryTimeline, CellsGoToTheMajorityAndJoinAcrossNeighboursNeverAcrossGaps) {
    const std::vector<TimelineSpan> spans = timelineSpans({
        {0, 1, 60}, {1, 2, 30},                 // 00:00: 1 holds most
        {5, 2, 40},                             // 00:05: 2
        {10, 3, 50}, {12, 2, 50},               // 00:10: a tie goes to the smaller number, joined to 00:05
        {20, 2, 10},                            // after an empty cell: a span of its own
        {600, 5, 30}, {601, 6, 40}, {600, 5, 30},  // 10:00 twice (a clock set back): 5 has 60
        {1439, 0, 1},                           // the last minute ends at 24:00
        {-1, 7, 100}, {1440, 7, 100}, {30, 7, 0},  // outside the day, or nothing
    });
    const std::vector<std::tuple<int, int, uint32_t>> expected = {
        {0, 5, 1}, {5, 15, 2}, {20, 25, 2}, {600, 605, 5}, {1435, 1440, 0}};
    ASSERT_EQ(spans.size(), expected.size());
    for (size_t i = 0; i < spans.size(); ++i)
        EXPECT_EQ(std::make_tuple(spans[i].firstMinute, spans[i].endMinute, spans[i].application), expected[i]) << i;

    EXPECT_EQ(timelineTooltip(17 * 60 + 5, 17 * 60 + 20, u"editor.exe", u"main.cpp"),
              u"17:05\u201317:20 editor.exe\nmain.cpp");
    EXPECT_EQ(timelineTooltip(1435, 1440, u"away", u""), u"23:55\u201324:00 away");
    // A long title is cut, never between the halves of a surrogate pair.
    const String longTitle = String(99, u'x') + u"\U0001F600" + String(50, u'y');
    EXPECT_EQ(timelineTooltip(0, 5, u"a.exe", longTitle), u"00:00\u201300:05 a.exe\n" + String(99, u'x') + u"\u2026");
}

// Two computers' records of one day: added up by samples, as the day's pair
// is written from them; titles apart by their exact texts; each computer's
// share; the timeline with its tooltips, escaped.
TEST(History, RecordsOfTwoComputersAddUpAsTheirPairWithEachShareAndTheTimeline) {
    const int64_t day = kSunday6Dec2026;
    const char16_t* editor = u"C:\\Tools\\ed<i>tor.exe";
    const DayRecord office = recordOf(day, u"OFFICE", u"ann", {{17 * 60 + 5, editor, u"\u6771\u4eac \U0001F600", 7},
                                                              {17 * 60 + 12, u"Idle time", u"", 600}});
    const DayRecord laptop = recordOf(day, u"LAPTOP", u"ann \"b\"", {{17 * 60 + 6, editor, u"\u5927\u962a \U0001F600", 7}});
    HistoryBuilder builder(day);
    const HistoryDay a = historyDayOfRecord(office, builder.texts());
    const HistoryDay b = historyDayOfRecord(laptop, builder.texts());
    builder.addDay({&a, &b});
    const HistorySummary s = builder.summarize();

    const HistoryDayRow& row = s.lastDays.back();
    EXPECT_EQ(row.active, 7);  // 14 samples; each record alone would give 3 + 3
    EXPECT_EQ(row.away, 300);
    ASSERT_EQ(s.periods[kLastWeek].applications.size(), 1u);
    EXPECT_EQ(s.periods[kLastWeek].applications[0].titles.size(), 2u);
    ASSERT_EQ(s.periods[kLastWeek].owners.size(), 2u);
    ASSERT_EQ(row.spans.size(), 2u);
    EXPECT_EQ(row.spans[0].firstMinute, 17 * 60 + 5);
    EXPECT_EQ(row.spans[0].endMinute, 17 * 60 + 10);
    EXPECT_TRUE(row.spans[1].away);

    const std::string html = page(builder);
    EXPECT_TRUE(contains(html, "&#26481;&#20140; &#128512;"));
    EXPECT_TRUE(contains(html, "&#22823;&#38442; &#128512;"));
    EXPECT_TRUE(contains(html, "<ul class=owners><li>LAPTOP / ann &quot;b&quot;: 3 sec active (43%)</li>"
                               "<li>OFFICE / ann: 3 sec active (43%), 5:00 away</li></ul>"));
    // Of the two titles alike in time, the first by text names the span.
    EXPECT_TRUE(contains(html, "title=\"17:05\x96" "17:10 ed&lt;i&gt;tor.exe\n&#22823;&#38442; &#128512;\""));
    EXPECT_TRUE(contains(html, "<span class=away style=\"left:71.53%;width:0.3472%\" title=\"17:10\x96" "17:15 away\"></span>"));
    EXPECT_FALSE(contains(html, "<i>tor"));
}

// The folder: every computer's records, the pair of a day only when no
// record holds it, a damaged record named, today's counts added, and a file
// changed in place (same size) read again rather than taken from the cache.
TEST(History, TheFolderTakesRecordsOverPairsAndRereadsOnlyChangedFiles) {
    test::TempFolder tmp;
    const int64_t day = kSunday6Dec2026;
    for (int64_t held = day - 2; held <= day; ++held) {
        UsageRecords records;
        records.addApplicationSamples(u"C:\\old.exe", 7200);
        ASSERT_EQ(writeDailyPair(tmp.folder(), dateOfDayNumber(held), dateOfDayNumber(held + 1), records, Settings()),
                  DailyPairResult::Written);
    }
    writeRecord(tmp, recordOf(day - 1, u"PC", u"ann", {{9 * 60, u"C:\\new.exe", u"n", 14400}}));
    writeRecord(tmp, recordOf(day, u"PC", u"ann", {{10 * 60, u"C:\\new.exe", u"n", 2400}}));
    tmp.write("Days/2026-12-03 PC ann.txt", "horalis-day 1 2026-12-03\ncomputer PC\n");
    tmp.write("Days/2026-12-06 PC ann.txt.tmp", "half a record");
    const DayRecord today = recordOf(day, u"LAPTOP", u"ann", {{11 * 60, u"C:\\new.exe", u"n", 1200}});

    HistoryCache cache;
    ASSERT_TRUE(writeHistoryPage(tmp.folder(), kMadeAt, &today, cache));
    std::string html = tmp.read("history.html");
    EXPECT_TRUE(contains(html, "<td class=day>Fri 4 Dec 2026</td><td class=n>1:00:00</td>"));   // its pair
    EXPECT_TRUE(contains(html, "<td class=day>Sat 5 Dec 2026</td><td class=n>2:00:00</td>"));   // its record
    EXPECT_TRUE(contains(html, "<td class=day>Sun 6 Dec 2026</td><td class=n>30:00</td>"));     // record + today
    EXPECT_TRUE(contains(html, "Fri 4 Dec 2026</td><td>no times of day"));
    EXPECT_TRUE(contains(html, "Days\\2026-12-03 PC ann.txt &ndash; it is not a day record"));
    EXPECT_FALSE(contains(html, ".tmp"));
    EXPECT_TRUE(contains(html, "<ul class=owners><li>PC / ann: 2:20:00 active (67%)</li><li>LAPTOP / ann: 10:00 active "
                               "(5%)</li><li><i>daily reports from before Horalis named the computer</i>: 1:00:00 "
                               "active (29%)</li></ul>"));

    // The same bytes but one digit: same size, so only the stamp's time and identity tell.
    writeRecord(tmp, recordOf(day - 1, u"PC", u"ann", {{9 * 60, u"C:\\new.exe", u"n", 16400}}));
    ASSERT_TRUE(writeHistoryPage(tmp.folder(), kMadeAt, nullptr, cache));
    html = tmp.read("history.html");
    EXPECT_TRUE(contains(html, "<td class=day>Sat 5 Dec 2026</td><td class=n>2:16:40</td>"));
    EXPECT_TRUE(contains(html, "<td class=day>Sun 6 Dec 2026</td><td class=n>20:00</td>"));
    EXPECT_EQ(cache.size(), 4u);  // three records, the one pair in use
}

}  // namespace
}  // namespace horalis
