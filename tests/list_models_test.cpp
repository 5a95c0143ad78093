#include "lists/list_models.h"

#include <gtest/gtest.h>

#include <random>

#include "storage/duration.h"

namespace horalis {
namespace {

// Behaves like an image list: indexes count up from 0 and start again after removeAll.
class FakeIcons : public IconSource {
public:
    int addApplicationIcon(StringView path) override {
        lookups.emplace_back(path);
        images.push_back(u"icon:" + String(path));
        return static_cast<int>(images.size()) - 1;
    }
    int addDefaultIcon() override {
        images.push_back(u"default");
        return static_cast<int>(images.size()) - 1;
    }
    void removeAll() override { images.clear(); }

    std::vector<String> images;
    std::vector<String> lookups;
};

ListRow makeRow(StringView text0, StringView text1) {
    ListRow r;
    r.text0 = String(text0);
    r.text1 = String(text1);
    return r;
}

std::vector<String> column(const ListModel& list, int c) {
    std::vector<String> out;
    for (size_t i = 0; i < list.rowCount(); ++i) out.push_back(list.text(i, c));
    return out;
}

void addSamples(UsageRecords& records, StringView path, StringView title, int n) {
    for (int i = 0; i < n; ++i) records.addSample(path, title);
}

class ListsTest : public ::testing::Test {
protected:
    void SetUp() override { sort.sortColumn = 0; }
    void refresh(bool secondsMode = false) { refreshApplicationList(apps, records, secondsMode, icons, &update); }

    UsageRecords records;
    ListModel apps;
    ListModel titles;
    ListSort sort;
    FakeIcons icons;
    ListUpdate update;
};

// ---------------------------------------------------------------- refresh

TEST_F(ListsTest, NewApplicationsGoOnTopAndExistingRowsUpdateInPlace) {
    records.addSample(u"C:\\a.exe", u"A");
    refresh();
    ASSERT_EQ(apps.rowCount(), 1u);
    EXPECT_EQ(apps.text(0, 0), u"C:\\a.exe");
    EXPECT_EQ(apps.text(0, 1), u"0 sec");  // the creating sample is not counted
    EXPECT_EQ(update.insertedRows, 1u);

    records.addSample(u"C:\\b.exe", u"B");
    refresh();
    EXPECT_EQ(column(apps, 0), (std::vector<String>{u"C:\\b.exe", u"C:\\a.exe"}));

    addSamples(records, u"C:\\a.exe", u"A", 4);
    refresh();
    EXPECT_EQ(update.insertedRows, 0u);
    EXPECT_EQ(update.changedRows, std::vector<size_t>{1});
    EXPECT_EQ(apps.text(1, 1), u"2 sec");
    EXPECT_EQ(apps.text(0, 1), u"0 sec");
}

TEST_F(ListsTest, UnchangedTextIsNotReportedOrRewritten) {
    records.addSample(u"p", u"t");
    refresh();
    records.addSample(u"p", u"t");  // count 1: still 0 sec
    const uint64_t before = apps.generation();
    refresh();
    EXPECT_FALSE(update.any());
    EXPECT_EQ(apps.generation(), before);
    records.addSample(u"p", u"t");  // count 2: 1 sec
    refresh();
    EXPECT_EQ(update.changedRows, std::vector<size_t>{0});
    EXPECT_EQ(apps.text(0, 1), u"1 sec");
}

TEST_F(ListsTest, InsertedRowsShiftChangedRowIndexes) {
    records.addSample(u"a", u"");
    refresh();
    addSamples(records, u"a", u"", 2);
    records.addSample(u"b", u"");  // a changes and b is new in the same refresh
    refresh();
    EXPECT_EQ(update.insertedRows, 1u);
    EXPECT_EQ(update.changedRows, std::vector<size_t>{1});
    EXPECT_EQ(apps.text(1, 0), u"a");
}

TEST_F(ListsTest, NewApplicationStaysOnTopOfASortedListAndSelectionKeepsItsRow) {
    for (StringView p : {u"m", u"z", u"b"}) records.addSample(p, u"");
    refresh();
    sort.sortList(apps, 0);
    EXPECT_EQ(column(apps, 0), (std::vector<String>{u"b", u"m", u"z"}));
    apps.setSelected(1, true);  // "m"

    records.addSample(u"a", u"");
    addSamples(records, u"z", u"", 2);
    refresh();
    EXPECT_EQ(column(apps, 0), (std::vector<String>{u"a", u"b", u"m", u"z"}));
    EXPECT_EQ(apps.text(apps.selectedRow(), 0), u"m");
    EXPECT_EQ(apps.text(3, 1), u"1 sec");  // the moved row still gets its time
    EXPECT_EQ(update.changedRows, std::vector<size_t>{3});
}

TEST_F(ListsTest, IdleTimeGetsTheDefaultIconWithoutLookup) {
    records.addSample(u"C:\\x.exe", u"");
    records.addSample(kIdleTimeKey, u"");
    refresh();
    EXPECT_EQ(icons.lookups, std::vector<String>{u"C:\\x.exe"});
    EXPECT_EQ(apps.text(0, 0), u"Idle time");
    EXPECT_EQ(icons.images[static_cast<size_t>(apps.image(0))], u"default");
    EXPECT_EQ(icons.images[static_cast<size_t>(apps.image(1))], u"icon:C:\\x.exe");
}

TEST_F(ListsTest, SwitchingSecondsModeRewritesEveryRowAtTheNextRefresh) {
    addSamples(records, u"a", u"", 1 + 144);  // 72 s
    addSamples(records, u"b", u"", 1 + 10);   // 5 s
    refresh(false);
    EXPECT_EQ(column(apps, 1), (std::vector<String>{u"5 sec", u"1:12"}));
    refresh(true);
    EXPECT_EQ(column(apps, 1), (std::vector<String>{u"5", u"72"}));
    EXPECT_EQ(update.changedRows.size(), 2u);
}

TEST_F(ListsTest, RecordsClearedBehindTheListAreMatchedByTextAgain) {
    records.addSample(u"a", u"");
    records.addSample(u"b", u"");
    refresh();
    records.clearAll();
    addSamples(records, u"b", u"", 5);
    refresh();
    EXPECT_EQ(column(apps, 0), (std::vector<String>{u"b", u"a"}));  // no second "b" row
    EXPECT_EQ(apps.text(0, 1), u"2 sec");
    records.addSample(u"c", u"");
    refresh();
    EXPECT_EQ(column(apps, 0), (std::vector<String>{u"c", u"b", u"a"}));
}

// A refresh after one sample looks only at that sample's application; whatever
// else happened in between (several samples, a sort, a selection, a mode
// switch, a clear, records swapped for a copy) must still leave every record's
// row showing its time.
TEST_F(ListsTest, EveryRecordShowsItsTimeWhateverHappensBetweenRefreshes) {
    std::mt19937 random(7);
    bool secondsMode = false;
    for (int step = 0; step < 3000; ++step) {
        const int what = static_cast<int>(random() % 100);
        const String path = u"app" + String(1, static_cast<char16_t>(u'A' + random() % 40));
        if (what < 80) {
            records.addSample(path, u"");
        } else if (what < 85) {
            records.addSample(path, u"");
            records.addSample(u"appZ", u"");
        } else if (what < 88) {
            sort.sortList(apps, static_cast<int>(random() % 2));
        } else if (what < 92) {
            if (apps.rowCount() != 0) apps.setSelected(random() % apps.rowCount(), true);
        } else if (what < 95) {
            secondsMode = !secondsMode;
        } else if (what < 97) {
            UsageRecords copy = records;
            copy.addSample(path, u"");
            records = copy;
        } else if (what < 98) {
            records.clearAll();
        }
        refresh(secondsMode);

        std::vector<int> rowsOfRecord(records.size(), 0);
        for (size_t i = 0; i < apps.rowCount(); ++i) {
            const ApplicationRecord* app = records.find(apps.text(i, 0));
            if (!app) continue;  // left over from before a clear
            ++rowsOfRecord[static_cast<size_t>(app - records.applications().data())];
            ASSERT_EQ(apps.text(i, 1), formatSampleTime(app->sampleCount, secondsMode)) << "step " << step;
        }
        for (int n : rowsOfRecord) ASSERT_EQ(n, 1) << "step " << step;
    }
}

// ---------------------------------------------------------------- sorting

TEST_F(ListsTest, NameColumnSortsOrdinalAndCaseSensitive) {
    for (StringView p : {u"c:\\b", u"C:\\z", u"a", u"Z", u"C:\\a"}) apps.insertAtTop(makeRow(p, u""));
    sort.sortList(apps, 0);
    EXPECT_EQ(column(apps, 0), (std::vector<String>{u"C:\\a", u"C:\\z", u"Z", u"a", u"c:\\b"}));
    EXPECT_EQ(sort.sortColumn, 0);
}

TEST_F(ListsTest, TimeColumnSortsByDurationLongestFirstInAnyMode) {
    for (StringView t : {u"59 sec", u"1:05", u"99", u"100", u"1:00:00", u"0 sec", u"2:00"}) {
        apps.insertAtTop(makeRow(t, t));
    }
    sort.sortList(apps, 1);
    EXPECT_EQ(column(apps, 1), (std::vector<String>{u"1:00:00", u"2:00", u"100", u"99", u"1:05", u"59 sec", u"0 sec"}));
    const auto once = column(apps, 0);
    sort.sortList(apps, 1);  // no toggling
    EXPECT_EQ(column(apps, 0), once);
}

TEST_F(ListsTest, SortGivesEveryRowItsIndexAndKeepsTheSelection) {
    for (StringView p : {u"a", u"b", u"c"}) apps.insertAtTop(makeRow(p, u""));
    apps.setSelected(0, true);  // "c"
    sort.sortList(apps, 0);
    EXPECT_EQ(apps.text(apps.selectedRow(), 0), u"c");
    EXPECT_EQ(apps.selectedRow(), 2u);
    // Parameters were set to the old display indexes before sorting.
    EXPECT_EQ(apps.parameter(0), 2);
    EXPECT_EQ(apps.parameter(2), 0);
}

TEST_F(ListsTest, HeaderClickOnEitherListSetsTheSharedColumn) {
    titles.insertAtTop(makeRow(u"b", u"1 sec"));
    titles.insertAtTop(makeRow(u"a", u"2 sec"));
    sort.sortList(titles, 1);
    EXPECT_EQ(sort.sortColumn, 1);
    apps.insertAtTop(makeRow(u"x", u"1 sec"));
    apps.insertAtTop(makeRow(u"y", u"5 sec"));
    EXPECT_LT(sort.compareRows(apps.row(0), apps.row(1)), 0);  // apps now compare by time too
}

TEST_F(ListsTest, FastSortMatchesAStableSortWithCompareRows) {
    std::mt19937 rng(7);
    const StringView names[] = {u"a", u"B", u"b", u"\u0416", u"", u"ab"};
    for (int round = 0; round < 40; ++round) {
        ListModel fast;
        // Short and long lists, few and many distinct durations.
        const int rows = 1 + static_cast<int>(rng() % 300);
        const uint32_t range = round % 2 ? 200 : 100000000;
        for (int i = 0; i < rows; ++i) {
            const int32_t seconds = static_cast<int32_t>(rng() % range);
            const bool secondsMode = rng() % 2 == 0;
            ListRow r = makeRow(names[rng() % 6], formatDuration(seconds, secondsMode));
            if (rng() % 2 == 0) r.timeSource = seconds * 2 + (secondsMode ? 1 : 0);  // else parsed
            r.parameter = i;  // identifies the row
            fast.insertAtTop(std::move(r));
        }
        fast.setSelected(rng() % static_cast<uint32_t>(rows), true);
        const intptr_t selected = fast.parameter(fast.selectedRow());
        ListModel slow = fast;
        sort.sortColumn = round % 3;  // column 2 has no text: nothing moves
        sort.sortWithCompareRows(fast);
        slow.sort([&](const ListRow& a, const ListRow& b) { return sort.compareRows(a, b); });
        for (size_t i = 0; i < fast.rowCount(); ++i) ASSERT_EQ(fast.parameter(i), slow.parameter(i)) << i;
        EXPECT_EQ(fast.parameter(fast.selectedRow()), selected);
    }
}

TEST_F(ListsTest, ByTimeIsTheOrderOfTheListsSortedByTime) {
    // a and c, z and t are as long as each other: the later one first.
    addSamples(records, u"a", u"x", 3);
    addSamples(records, u"b", u"y", 9);
    addSamples(records, u"b", u"z", 3);
    addSamples(records, u"b", u"t", 3);
    addSamples(records, u"c", u"w", 3);
    refresh();
    sort.sortList(apps, 1);
    std::vector<String> paths;
    for (uint32_t k : applicationsByTime(records)) paths.push_back(records.applications()[k].executablePath);
    EXPECT_EQ(paths, (std::vector<String>{u"b", u"c", u"a"}));
    EXPECT_EQ(paths, column(apps, 0));

    apps.setSelected(0, true);
    showSelectedApplicationTitles(apps, titles, records, false);
    sort.sortList(titles, 1);
    const ApplicationRecord& b = *records.find(u"b");
    std::vector<String> texts;
    for (uint32_t k : titlesByTime(b)) texts.push_back(b.titles[k].text);
    EXPECT_EQ(texts, (std::vector<String>{u"y", u"t", u"z"}));
    EXPECT_EQ(texts, column(titles, 0));
}

// ---------------------------------------------------------------- titles

TEST_F(ListsTest, TitlesOfTheSelectedApplicationNewestFirstAsASnapshot) {
    addSamples(records, u"p", u"first", 5);
    addSamples(records, u"p", u"second", 3);
    records.addSample(u"q", u"other");
    refresh();
    apps.setSelected(1, true);  // "p"
    showSelectedApplicationTitles(apps, titles, records, false);
    EXPECT_EQ(column(titles, 0), (std::vector<String>{u"second", u"first"}));
    EXPECT_EQ(column(titles, 1), (std::vector<String>{u"1 sec", u"2 sec"}));
    EXPECT_EQ(titles.image(0), 0);

    addSamples(records, u"p", u"second", 10);
    refresh();
    EXPECT_EQ(titles.text(0, 1), u"1 sec");  // not advanced until the next fill
    showSelectedApplicationTitles(apps, titles, records, true);
    EXPECT_EQ(titles.text(0, 1), u"6");
}

TEST_F(ListsTest, NoSelectionOrUnknownTextLeavesTheTitleListEmpty) {
    records.addSample(u"p", u"t");
    refresh();
    titles.insertAtTop(makeRow(u"stale", u""));
    showSelectedApplicationTitles(apps, titles, records, false);
    EXPECT_EQ(titles.rowCount(), 0u);

    apps.insertAtTop(makeRow(u"gone", u""));
    apps.setSelected(0, true);
    showSelectedApplicationTitles(apps, titles, records, false);
    EXPECT_EQ(titles.rowCount(), 0u);
}

TEST_F(ListsTest, IdleEntryShowsOneEmptyTitle) {
    addSamples(records, kIdleTimeKey, u"", 7);
    refresh();
    apps.setSelected(0, true);
    showSelectedApplicationTitles(apps, titles, records, false);
    ASSERT_EQ(titles.rowCount(), 1u);
    EXPECT_EQ(titles.text(0, 0), u"");
    EXPECT_EQ(titles.text(0, 1), u"3 sec");
}

// ---------------------------------------------------------------- clearing

TEST_F(ListsTest, ClearListsDropsEverythingAndRestartsImageIndexes) {
    records.addSample(u"a", u"x");
    records.addSample(u"b", u"y");
    refresh();
    apps.setSelected(0, true);
    showSelectedApplicationTitles(apps, titles, records, false);
    sort.sortColumn = 1;
    clearLists(records, apps, titles, icons);
    EXPECT_TRUE(records.empty());
    EXPECT_EQ(apps.rowCount(), 0u);
    EXPECT_EQ(titles.rowCount(), 0u);
    EXPECT_TRUE(icons.images.empty());
    EXPECT_EQ(apps.selectedRow(), ListModel::npos);
    EXPECT_EQ(sort.sortColumn, 1);

    records.addSample(u"a", u"x");
    refresh();
    ASSERT_EQ(apps.rowCount(), 1u);
    EXPECT_EQ(apps.image(0), 0);
    EXPECT_EQ(update.insertedRows, 1u);
}

// ---------------------------------------------------------------- the model itself

TEST(ListModelTest, SingleSelectionAndSafeAccess) {
    ListModel list;
    EXPECT_EQ(list.selectedRow(), ListModel::npos);
    list.insertAtTop(makeRow(u"a", u"1"));
    list.insertAtTop(makeRow(u"b", u"2"));
    list.setSelected(0, true);
    list.setSelected(1, true);
    EXPECT_EQ(list.selectedRow(), 1u);
    EXPECT_FALSE(list.isSelected(0));
    list.setSelected(0, false);  // not the selected one
    EXPECT_EQ(list.selectedRow(), 1u);
    list.setSelected(1, false);
    EXPECT_EQ(list.selectedRow(), ListModel::npos);
    list.setSelected(5, true);
    EXPECT_EQ(list.selectedRow(), ListModel::npos);
    EXPECT_EQ(list.text(9, 0), u"");
    EXPECT_EQ(list.text(0, 7), u"");
}

TEST(ListModelTest, TypeAheadFindsTheNextRowByPrefixIgnoringCaseAndWraps) {
    ListModel list;
    list.assignRows({makeRow(u"C:\\Windows\\explorer.exe", u""), makeRow(u"Idle time", u""),
                     makeRow(u"c:\\tools\\Calc.exe", u""), makeRow(u"\u0416\u0443\u0440\u043d\u0430\u043b", u""),
                     makeRow(u"C:", u"")});
    // From the row after the focused one on, wrapping to the top.
    EXPECT_EQ(findRow(list, u"c", 1, true, true), 2u);
    EXPECT_EQ(findRow(list, u"c", 3, true, true), 4u);
    EXPECT_EQ(findRow(list, u"C", 5, true, true), 0u);  // past the end: from the top
    EXPECT_EQ(findRow(list, u"c:\\w", 1, true, true), 0u);
    EXPECT_EQ(findRow(list, u"c:\\w", 1, true, false), ListModel::npos);
    EXPECT_EQ(findRow(list, u"IDLE", 0, true, true), 1u);
    EXPECT_EQ(findRow(list, u"\u0436\u0423\u0420", 0, true, true), 3u);  // Cyrillic in either case
    // A whole match, not a prefix; nothing typed or nothing there finds nothing.
    EXPECT_EQ(findRow(list, u"c:", 0, false, true), 4u);
    EXPECT_EQ(findRow(list, u"Idle time and more", 0, true, true), ListModel::npos);
    EXPECT_EQ(findRow(list, u"", 0, true, true), ListModel::npos);
    EXPECT_EQ(findRow(ListModel(), u"c", 0, true, true), ListModel::npos);
}

TEST(ListModelTest, ReorderRejectsWhatIsNotAPermutation) {
    ListModel list;
    for (StringView t : {u"a", u"b", u"c"}) list.insertAtTop(makeRow(t, u""));
    list.reorder({0, 0, 1});
    list.reorder({0, 1});
    EXPECT_EQ(column(list, 0), (std::vector<String>{u"c", u"b", u"a"}));
    list.reorder({2, 0, 1});
    EXPECT_EQ(column(list, 0), (std::vector<String>{u"a", u"c", u"b"}));
}

TEST(ListModelTest, KeysFollowTheirRowsThroughInsertsAndSorts) {
    ListModel list;
    list.insertAtTop(makeRow(u"z", u""), 0);
    list.insertAtTop(makeRow(u"a", u""), 1);
    list.insertAtTop(makeRow(u"m", u""));
    EXPECT_EQ(list.unkeyedRowCount(), 1u);
    ListSort sort;
    sort.sortWithCompareRows(list);
    EXPECT_EQ(list.text(list.rowOfKey(0), 0), u"z");
    EXPECT_EQ(list.text(list.rowOfKey(1), 0), u"a");
    EXPECT_EQ(list.rowOfKey(2), ListModel::npos);
    list.assignRows({makeRow(u"top", u""), makeRow(u"bottom", u"")});
    EXPECT_EQ(list.text(0, 0), u"top");
    EXPECT_EQ(list.keyCount(), 0u);
}

}  // namespace
}  // namespace horalis
