#pragma once
// The contents of the application list (1003) and the window-title list (1004).
// The Win32 list views are owner-data views that only display these models, so
// everything the reports and the tick rely on (rows, texts, images, row
// parameters, selection, order) lives here.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "tracking/usage_records.h"

namespace horalis {

struct ListRow {
    String text0;            // column 0: path or window title
    String text1;            // column 1: the formatted time
    int image = 0;           // index into the list's image list
    intptr_t parameter = 0;  // meaningful only while a sort runs
    // What text1 was formatted from (seconds * 2 + seconds mode), or any
    // negative value when unknown. It lets a refresh skip formatting a count
    // that did not change and a sort skip parsing; whoever sets it must set it
    // to describe text1 exactly.
    int64_t timeSource = -1;

    const String& text(int column) const;
};

class ListModel {
public:
    static constexpr size_t npos = static_cast<size_t>(-1);
    static constexpr uint32_t kNoKey = UINT32_MAX;

    size_t rowCount() const { return rows_.size(); }
    bool empty() const { return rows_.empty(); }

    // Display rows count from the top (row 0). Columns other than 0 and 1
    // have no text.
    // An out-of-range row reads as an empty row.
    const ListRow& row(size_t row) const;
    const String& text(size_t row, int column) const { return this->row(row).text(column); }
    int image(size_t row) const { return this->row(row).image; }
    intptr_t parameter(size_t row) const { return this->row(row).parameter; }

    void setText(size_t row, int column, String text);
    // Sets the time text together with what it was formatted from.
    void setTimeText(size_t row, String text, int64_t timeSource);
    void setParameter(size_t row, intptr_t parameter);

    // Single selection: selecting a row deselects the previous one.
    void setSelected(size_t row, bool selected);
    bool isSelected(size_t row) const { return selected_ != npos && selected_ == storageOf(row); }
    // The selected row, or npos.
    size_t selectedRow() const { return selected_ == npos ? npos : storageOf(selected_); }

    // Inserts a row above all others. Constant time: rows are stored bottom
    // first, so the rows already present keep their storage places (and the
    // selection and key links stay valid).
    void insertAtTop(ListRow row, uint32_t key = kNoKey);
    // Replaces all rows; displayOrder[0] becomes the top row.
    void assignRows(std::vector<ListRow> displayOrder);
    void reserve(size_t rows) { rows_.reserve(rows); }
    void deleteAll();

    // Reorders the rows: newOrder[k] is the current display index of the row
    // that becomes row k. It must be a permutation of 0..rowCount()-1.
    void reorder(const std::vector<uint32_t>& newOrder);

    // Stable sort with a three-way comparison of two rows (negative: a first).
    template <class Compare>
    void sort(Compare compare);

    // Rows may carry a key, a small dense integer (the application list keys
    // its rows by the record's position). Lookup by key is constant time.
    size_t keyCount() const { return storageOfKey_.size(); }
    size_t rowOfKey(uint32_t key) const;
    size_t unkeyedRowCount() const { return rows_.size() - linkedRows_; }
    uint32_t keyOfRow(size_t row) const { return keyOf_[storageOf(row)]; }
    void linkKey(size_t row, uint32_t key);
    void clearKeys();

    // Increases whenever rows, texts, order or selection change.
    uint64_t generation() const { return generation_; }

    // Notes that the rows now show the records at version in the given mode;
    // it holds until anything changes the list (see refreshApplicationList).
    void markShowing(uint64_t version, int mode) { shown_ = {version, mode, generation_}; }
    bool isShowing(uint64_t version, int mode) const {
        return shown_.generation == generation_ && shown_.version == version && shown_.mode == mode;
    }

    // Rows are stored bottom first: storage place s is display row
    // rowCount() - 1 - s (the mapping is its own inverse). A storage place
    // stays with its row across insertions at the top.
    size_t storageOf(size_t displayRow) const { return rows_.size() - 1 - displayRow; }

private:
    std::vector<ListRow> rows_;        // bottom row first
    std::vector<uint32_t> keyOf_;      // per storage place
    std::vector<size_t> storageOfKey_; // per key; npos when the key has no row
    size_t linkedRows_ = 0;
    size_t selected_ = npos;           // storage place of the selected row
    uint64_t generation_ = 0;
    struct Shown {
        uint64_t version = 0;  // no records have version 0
        int mode = -1;
        uint64_t generation = 0;
    } shown_;
};

template <class Compare>
void ListModel::sort(Compare compare) {
    std::vector<uint32_t> order(rows_.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<uint32_t>(i);
    std::stable_sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) {
        return compare(row(a), row(b)) < 0;
    });
    reorder(order);
}

// Appends row images to the application list's image list. The Win32 side
// extracts the executable's associated icon (or the default icon when it has
// none); tests count.
class IconSource {
public:
    virtual ~IconSource() = default;
    // The icon associated with the executable; returns the new image's index.
    virtual int addApplicationIcon(StringView executablePath) = 0;
    // The default application icon (used for "Idle time").
    virtual int addDefaultIcon() = 0;
    virtual void removeAll() = 0;
};

// For lists that are only walked to write a report: every row image 0.
class NoRowIcons final : public IconSource {
public:
    int addApplicationIcon(StringView) override { return 0; }
    int addDefaultIcon() override { return 0; }
    void removeAll() override {}
};

// What a refresh changed, so a virtual list view can redraw only that.
struct ListUpdate {
    size_t insertedRows = 0;          // new rows, all at the top (rows 0..insertedRows-1)
    std::vector<size_t> changedRows;  // other rows whose time text changed, display indexes after the inserts
    void clear() {
        insertedRows = 0;
        changedRows.clear();
    }
    bool any() const { return insertedRows != 0 || !changedRows.empty(); }
};

// The sort both lists and the report walk share: a header click on either
// list stores the clicked column, the report walk stores 1. Whoever shows the
// lists holds one for both and hands it to the walk.
struct ListSort {
    int sortColumn = 0;

    // Orders two rows by their texts in column sortColumn: column 1 by
    // duration, longest first; any other column ordinal UTF-16, ascending.
    int compareRows(const ListRow& a, const ListRow& b) const;

    // Sorts the list as a stable sort with compareRows would, with each
    // duration parsed once rather than once per comparison.
    void sortWithCompareRows(ListModel& list) const;

    // Header click on column c: stores c into sortColumn, gives every row its
    // index as parameter and sorts.
    void sortList(ListModel& list, int column);
};

// The order a list filled from these records shows once sorted by time, as
// positions into them: rows go in newest first and the sort keeps equal
// times in place, so longest first, equal times the later record first.
std::vector<uint32_t> applicationsByTime(const UsageRecords& records);
std::vector<uint32_t> titlesByTime(const ApplicationRecord& application);

// Brings the application list up to date with the records: a new application
// gets a row at the top (also in a sorted list), existing rows get their time
// rewritten in place when its text changes. update, when given, receives what
// changed. When the list is untouched since the last refresh and one sample
// came in since, only that sample's application is looked at, so a tick costs
// the same however many applications there are.
void refreshApplicationList(ListModel& applications, const UsageRecords& records, bool secondsMode,
                            IconSource& icons, ListUpdate* update = nullptr);

// Refills the title list with the titles of the selected application, newest
// first, as a snapshot. Empty when nothing is selected or the row's text
// matches no record.
void showSelectedApplicationTitles(const ListModel& applications, ListModel& titles, const UsageRecords& records,
                                   bool secondsMode);

// Drops all records, both lists' rows and all application images.
void clearLists(UsageRecords& records, ListModel& applications, ListModel& titles, IconSource& icons);

// Type-ahead in a list (what an owner-data list view asks its owner with
// LVN_ODFINDITEM): the first row from start on whose column-0 text begins with
// text (partial) or equals it, compared as a list view compares, without
// regard to case; with wrap the search goes on from the top up to start.
// npos when no row matches or text is empty.
size_t findRow(const ListModel& list, StringView text, size_t start, bool partial, bool wrap);

// The time text a row shows for a sample count.
String formatSampleTime(int32_t samples, bool secondsMode);

}  // namespace horalis
