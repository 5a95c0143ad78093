#include "lists/list_models.h"

#include <algorithm>
#include <utility>

#include "storage/duration.h"

namespace horalis {

namespace {

const String kNoText;
const ListRow kNoRow;

constexpr int64_t kUnknownTimeSource = -1;

int64_t timeSourceOf(int32_t seconds, bool secondsMode) {
    return static_cast<int64_t>(seconds) * 2 + (secondsMode ? 1 : 0);
}

// A duration and a row index in one number whose ascending order is longest
// first, then lower index first (so ties keep their order).
uint64_t packLongestFirst(uint32_t seconds, uint32_t index) {
    return (static_cast<uint64_t>(~seconds) << 32) | index;
}

// Sorts packed keys ascending. A stable radix sort on the duration half keeps
// the cost linear for the long title lists of a report; it skips the byte
// positions in which all durations agree, usually all but one or two.
void sortPacked(std::vector<uint64_t>& keys) {
    const size_t n = keys.size();
    if (n < 64) {
        std::sort(keys.begin(), keys.end());
        return;
    }
    size_t counts[4][256] = {};
    for (uint64_t k : keys) {
        for (int d = 0; d < 4; ++d) ++counts[d][(k >> (32 + 8 * d)) & 0xFF];
    }
    std::vector<uint64_t> spare(n);
    for (int d = 0; d < 4; ++d) {
        const int shift = 32 + 8 * d;
        if (counts[d][(keys[0] >> shift) & 0xFF] == n) continue;
        size_t start = 0;
        for (size_t& c : counts[d]) {
            const size_t here = c;
            c = start;
            start += here;
        }
        for (uint64_t k : keys) spare[counts[d][(k >> shift) & 0xFF]++] = k;
        keys.swap(spare);
    }
}

// See applicationsByTime: the display row of record k is n - 1 - k.
template <class Record>
std::vector<uint32_t> newestFirstByTime(const std::vector<Record>& records) {
    const size_t n = records.size();
    std::vector<uint64_t> keyed(n);
    for (size_t row = 0; row < n; ++row) {
        const int32_t seconds = samplesToSeconds(records[n - 1 - row].sampleCount);
        keyed[row] = packLongestFirst(static_cast<uint32_t>(seconds), static_cast<uint32_t>(row));
    }
    sortPacked(keyed);
    std::vector<uint32_t> order(n);
    for (size_t i = 0; i < n; ++i) order[i] = static_cast<uint32_t>(n - 1 - static_cast<uint32_t>(keyed[i]));
    return order;
}

}  // namespace

std::vector<uint32_t> applicationsByTime(const UsageRecords& records) {
    return newestFirstByTime(records.applications());
}

std::vector<uint32_t> titlesByTime(const ApplicationRecord& application) {
    return newestFirstByTime(application.titles);
}

const String& ListRow::text(int column) const {
    if (column == 0) return text0;
    if (column == 1) return text1;
    return kNoText;
}

String formatSampleTime(int32_t samples, bool secondsMode) {
    return formatDuration(samplesToSeconds(samples), secondsMode);
}

// ---------------------------------------------------------------- ListModel

const ListRow& ListModel::row(size_t row) const {
    // A view may still ask for a row it counted before the model shrank.
    return row < rows_.size() ? rows_[storageOf(row)] : kNoRow;
}

void ListModel::setText(size_t row, int column, String text) {
    if (row >= rows_.size() || (column != 0 && column != 1)) return;
    ListRow& r = rows_[storageOf(row)];
    if (column == 0) {
        r.text0 = std::move(text);
    } else {
        r.text1 = std::move(text);
        r.timeSource = kUnknownTimeSource;
    }
    ++generation_;
}

void ListModel::setTimeText(size_t row, String text, int64_t timeSource) {
    if (row >= rows_.size()) return;
    ListRow& r = rows_[storageOf(row)];
    r.timeSource = timeSource;
    if (r.text1 != text) {
        r.text1 = std::move(text);
        ++generation_;
    }
}

void ListModel::setParameter(size_t row, intptr_t parameter) {
    if (row < rows_.size()) rows_[storageOf(row)].parameter = parameter;
}

void ListModel::setSelected(size_t row, bool selected) {
    if (row >= rows_.size()) return;
    const size_t s = storageOf(row);
    if (selected) {
        if (selected_ == s) return;
        selected_ = s;
    } else {
        if (selected_ != s) return;
        selected_ = npos;
    }
    ++generation_;
}

void ListModel::insertAtTop(ListRow row, uint32_t key) {
    rows_.push_back(std::move(row));
    keyOf_.push_back(kNoKey);
    ++generation_;
    if (key != kNoKey) linkKey(0, key);
}

void ListModel::assignRows(std::vector<ListRow> displayOrder) {
    std::reverse(displayOrder.begin(), displayOrder.end());
    rows_ = std::move(displayOrder);
    keyOf_.assign(rows_.size(), kNoKey);
    storageOfKey_.clear();
    linkedRows_ = 0;
    selected_ = npos;
    ++generation_;
}

void ListModel::deleteAll() {
    rows_.clear();
    keyOf_.clear();
    storageOfKey_.clear();
    linkedRows_ = 0;
    selected_ = npos;
    ++generation_;
}

void ListModel::reorder(const std::vector<uint32_t>& newOrder) {
    const size_t n = rows_.size();
    if (newOrder.size() != n) return;
    // source[to] is the storage place whose row moves to storage place to.
    std::vector<uint32_t> source(n);
    std::vector<bool> seen(n, false);
    for (size_t k = 0; k < n; ++k) {
        const uint32_t old = newOrder[k];
        if (old >= n || seen[old]) return;  // not a permutation: leave the rows alone
        seen[old] = true;
        source[n - 1 - k] = static_cast<uint32_t>(n - 1 - old);
    }
    // Rows move along the permutation's cycles, in place.
    std::fill(seen.begin(), seen.end(), false);
    size_t selected = npos;
    for (size_t start = 0; start < n; ++start) {
        if (seen[start]) continue;
        ListRow row = std::move(rows_[start]);
        const uint32_t key = keyOf_[start];
        size_t to = start;
        while (true) {
            seen[to] = true;
            const size_t from = source[to];
            if (from == selected_ && selected == npos) selected = to;
            if (from == start) break;
            rows_[to] = std::move(rows_[from]);
            keyOf_[to] = keyOf_[from];
            to = from;
        }
        rows_[to] = std::move(row);
        keyOf_[to] = key;
    }
    selected_ = selected;
    for (size_t s = 0; s < n; ++s) {
        if (keyOf_[s] != kNoKey) storageOfKey_[keyOf_[s]] = s;
    }
    ++generation_;
}

size_t ListModel::rowOfKey(uint32_t key) const {
    if (key >= storageOfKey_.size() || storageOfKey_[key] == npos) return npos;
    return storageOf(storageOfKey_[key]);
}

void ListModel::linkKey(size_t row, uint32_t key) {
    if (row >= rows_.size() || key == kNoKey) return;
    const size_t s = storageOf(row);
    if (keyOf_[s] == key) return;
    if (keyOf_[s] != kNoKey) {
        storageOfKey_[keyOf_[s]] = npos;
        --linkedRows_;
    }
    if (key >= storageOfKey_.size()) storageOfKey_.resize(size_t{key} + 1, npos);
    if (storageOfKey_[key] != npos) {
        keyOf_[storageOfKey_[key]] = kNoKey;
        --linkedRows_;
    }
    storageOfKey_[key] = s;
    keyOf_[s] = key;
    ++linkedRows_;
}

void ListModel::clearKeys() {
    std::fill(keyOf_.begin(), keyOf_.end(), kNoKey);
    storageOfKey_.clear();
    linkedRows_ = 0;
}

// ---------------------------------------------------------------- sorting

int ListSort::compareRows(const ListRow& a, const ListRow& b) const {
    const String& ta = a.text(sortColumn);
    const String& tb = b.text(sortColumn);
    if (sortColumn == 1) {
        const uint32_t sa = parseDuration(ta);
        const uint32_t sb = parseDuration(tb);
        if (sa > sb) return -1;
        if (sa < sb) return 1;
        return 0;
    }
    const int c = ta.compare(tb);
    return (c > 0) - (c < 0);
}

void ListSort::sortWithCompareRows(ListModel& list) const {
    const size_t n = list.rowCount();
    std::vector<uint32_t> order(n);
    if (sortColumn == 1) {
        // Each duration read once, from what the text was formatted from when
        // that is known (it parses back to the same seconds); ties keep their
        // order, as a stable sort would.
        std::vector<uint64_t> keyed(n);
        for (size_t i = 0; i < n; ++i) {
            const ListRow& r = list.row(i);
            const uint32_t seconds =
                r.timeSource >= 0 ? static_cast<uint32_t>(r.timeSource / 2) : parseDuration(r.text1);
            keyed[i] = packLongestFirst(seconds, static_cast<uint32_t>(i));
        }
        sortPacked(keyed);
        for (size_t i = 0; i < n; ++i) order[i] = static_cast<uint32_t>(keyed[i]);
    } else if (sortColumn == 0) {
        for (size_t i = 0; i < n; ++i) order[i] = static_cast<uint32_t>(i);
        std::sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) {
            const int c = list.text(a, 0).compare(list.text(b, 0));
            return c != 0 ? c < 0 : a < b;
        });
    } else {
        return;  // every pair compares equal
    }
    list.reorder(order);
}

void ListSort::sortList(ListModel& list, int column) {
    sortColumn = column;
    for (size_t i = 0; i < list.rowCount(); ++i) list.setParameter(i, static_cast<intptr_t>(i));
    sortWithCompareRows(list);
}

// ---------------------------------------------------------------- the two lists

namespace {

size_t findUnkeyedRow(const ListModel& list, StringView text) {
    for (size_t i = 0; i < list.rowCount(); ++i) {
        if (list.keyOfRow(i) == ListModel::kNoKey && list.text(i, 0) == text) return i;
    }
    return ListModel::npos;
}

}  // namespace

void refreshApplicationList(ListModel& list, const UsageRecords& records, bool secondsMode, IconSource& icons,
                            ListUpdate* update) {
    if (update) update->clear();
    const std::vector<ApplicationRecord>& apps = records.applications();
    const int mode = secondsMode ? 1 : 0;
    const bool onlyLastSample =
        list.isShowing(records.previousVersion(), mode) && records.lastSampled() != UsageRecords::npos;
    // Records only grow between clears; fewer records than linked rows means
    // they were emptied while the rows stayed, so rows are matched by text again.
    if (!onlyLastSample && apps.size() < list.keyCount()) list.clearKeys();

    std::vector<size_t> changedPlaces;
    std::vector<size_t>& changed = update ? update->changedRows : changedPlaces;
    size_t inserted = 0;
    auto refreshRecord = [&](size_t k) {
        const ApplicationRecord& app = apps[k];
        const uint32_t key = static_cast<uint32_t>(k);
        const int32_t seconds = samplesToSeconds(app.sampleCount);
        const int64_t source = timeSourceOf(seconds, secondsMode);

        size_t row = list.rowOfKey(key);
        if (row == ListModel::npos && list.unkeyedRowCount() != 0) {
            row = findUnkeyedRow(list, app.executablePath);
            if (row != ListModel::npos) list.linkKey(row, key);
        }
        if (row == ListModel::npos) {
            ListRow fresh;
            fresh.text0 = app.executablePath;
            fresh.image = app.executablePath == kIdleTimeKey ? icons.addDefaultIcon()
                                                             : icons.addApplicationIcon(app.executablePath);
            fresh.text1 = formatDuration(seconds, secondsMode);
            fresh.timeSource = source;
            list.insertAtTop(std::move(fresh), key);
            ++inserted;
            return;
        }
        const ListRow& current = list.row(row);
        if (current.timeSource == source) return;
        String text = formatDuration(seconds, secondsMode);
        const bool differs = text != current.text1;
        list.setTimeText(row, std::move(text), source);
        if (differs && update) changed.push_back(list.storageOf(row));
    };
    if (onlyLastSample) {
        refreshRecord(records.lastSampled());
    } else {
        for (size_t k = 0; k < apps.size(); ++k) refreshRecord(k);
    }
    if (update) {
        update->insertedRows = inserted;
        for (size_t& place : changed) place = list.storageOf(place);  // storage place -> display row
    }
    list.markShowing(records.version(), mode);
}

void showSelectedApplicationTitles(const ListModel& applications, ListModel& titles, const UsageRecords& records,
                                   bool secondsMode) {
    titles.deleteAll();
    const size_t selected = applications.selectedRow();
    if (selected == ListModel::npos) return;
    const ApplicationRecord* app = records.find(applications.text(selected, 0));
    if (!app) return;
    titles.reserve(app->titles.size());
    for (const TitleRecord& title : app->titles) {
        ListRow row;
        row.text0 = title.text;
        row.image = 0;
        const int32_t seconds = samplesToSeconds(title.sampleCount);
        row.text1 = formatDuration(seconds, secondsMode);
        row.timeSource = timeSourceOf(seconds, secondsMode);
        titles.insertAtTop(std::move(row));
    }
}

namespace {

// Simple case folding for the scripts a path or window title is mostly
// written in: Latin, Greek and Cyrillic.
char16_t foldCase(char16_t c) {
    if (c >= u'A' && c <= u'Z') return static_cast<char16_t>(c + 0x20);
    if (c < 0xC0) return c;
    if (c <= 0xDE) return c == 0xD7 ? c : static_cast<char16_t>(c + 0x20);  // Latin-1, not the multiplication sign
    if ((c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177))
        return static_cast<char16_t>(c | 1);  // Latin Extended-A pairs: capital even
    if (c >= 0x139 && c <= 0x148) return (c & 1) ? static_cast<char16_t>(c + 1) : c;
    if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return static_cast<char16_t>(c + 0x20);  // Greek
    if (c >= 0x400 && c <= 0x40F) return static_cast<char16_t>(c + 0x50);                // Cyrillic Ѐ..Џ
    if (c >= 0x410 && c <= 0x42F) return static_cast<char16_t>(c + 0x20);                // Cyrillic А..Я
    return c;
}

bool matchesTypedText(StringView rowText, StringView typed, bool partial) {
    if (rowText.size() < typed.size() || (!partial && rowText.size() != typed.size())) return false;
    for (size_t i = 0; i < typed.size(); ++i)
        if (foldCase(rowText[i]) != foldCase(typed[i])) return false;
    return true;
}

}  // namespace

size_t findRow(const ListModel& list, StringView text, size_t start, bool partial, bool wrap) {
    const size_t count = list.rowCount();
    if (text.empty() || count == 0) return ListModel::npos;
    if (start >= count) {
        if (!wrap) return ListModel::npos;
        start = 0;
    }
    const size_t end = wrap ? start + count : count;
    for (size_t i = start; i < end; ++i) {
        const size_t row = i % count;
        if (matchesTypedText(list.text(row, 0), text, partial)) return row;
    }
    return ListModel::npos;
}

void clearLists(UsageRecords& records, ListModel& applications, ListModel& titles, IconSource& icons) {
    records.clearAll();
    applications.deleteAll();
    titles.deleteAll();
    icons.removeAll();
}

}  // namespace horalis
