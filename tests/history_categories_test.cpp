#include "reports/history_categories.h"

#include <gtest/gtest.h>

#include "reports/daily_reports.h"
#include "temp_folder.h"

namespace horalis {
namespace {

const int64_t kNewest = dayNumberOf(LocalTime{2026, 12, 6, 0, 0, 0});

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

std::vector<RecordingRule> rules() {
    return parseRuleFile("title Private -> hide\n"
                         "program code.exe -> category Work\n"
                         "title YouTube -> category <Fun & games>\n"
                         "program firefox.exe -> category Web\n")
        .rules;
}

// The first matching rule decides each title; time the titles do not hold
// goes by the program; away time is no category's.
TEST(HistoryCategories, EachTitleByItsFirstRuleAndTheRestByItsProgram) {
    HistoryCategories categories(rules(), kNewest);
    ASSERT_TRUE(categories.any());
    const DailyPairTotals day{{
        {u"C:\\Dev\\code.exe", 100, {{u"a.cpp", 60}, {u"b.cpp", 30}}},
        {u"C:\\Web\\firefox.exe", 50, {{u"YouTube - cats", 20}, {u"Private window", 10}, {u"News", 20}}},
        {u"C:\\other.exe", 30, {}},
        {u"Idle time", 500, {{u"", 500}}},
    }};
    categories.addDay(kNewest, day);
    categories.addDay(kNewest - 10, day);  // in the last 30 days and all days only
    const auto week = categories.period(kLastWeek);
    ASSERT_EQ(week.size(), 4u);
    EXPECT_EQ(week[0].name, u"Work");
    EXPECT_EQ(week[0].seconds, 100);
    EXPECT_EQ(week[1].name, u"<Fun & games>");
    EXPECT_EQ(week[1].seconds, 20);
    EXPECT_EQ(week[2].name, u"Web");
    EXPECT_EQ(week[2].seconds, 20);
    EXPECT_EQ(week[3].name, u"");  // uncategorised, last: the hidden title and other.exe
    EXPECT_EQ(week[3].seconds, 40);
    EXPECT_EQ(categories.period(kLastMonth)[0].seconds, 200);

    std::string html;
    categories.appendTable(html, kLastWeek);
    EXPECT_TRUE(contains(html, "<th class=app>Category</th>"));
    EXPECT_TRUE(contains(html, "<b>&lt;Fun &amp; games&gt;</b></td><td class=n>20 sec</td><td class=n>11%</td>"));
    EXPECT_TRUE(contains(html, "<i>uncategorised</i></td><td class=n>40 sec</td><td class=n>22%</td>"));

    // Without a category rule there is no table at all.
    HistoryCategories none(builtInRuleFile().rules, kNewest);
    none.addDay(kNewest, day);
    EXPECT_FALSE(none.any());
    html.clear();
    none.appendTable(html, kLastWeek);
    EXPECT_TRUE(html.empty());
}

TEST(HistoryCategories, ThePageOfTheFolderTakesTheRulesOfItsRulesFile) {
    test::TempFolder tmp;
    tmp.write("rules.txt", "program editor.exe -> category Work\n");
    UsageRecords records;
    for (int s = 0; s <= 7200; ++s) records.addSample(u"C:\\Tools\\editor.exe", u"main.cpp");
    ASSERT_EQ(writeDailyReports(tmp.folder(), LocalTime{2026, 12, 5, 23, 0, 0}, LocalTime{2026, 12, 6, 0, 0, 5},
                                records, Settings()),
              DailyPairResult::Written);
    const std::string html = tmp.read("history.html");
    EXPECT_TRUE(contains(html, "<b>Work</b></td><td class=n>1:00:00</td><td class=n>100%</td>"));
}

}  // namespace
}  // namespace horalis
