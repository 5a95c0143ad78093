#include "reports/history_cache.h"

namespace horalis {

void HistoryCache::beginScan(const String& folder) {
    if (folder != folder_) {
        entries_.clear();
        texts_ = HistoryTexts();
        folder_ = folder;
    }
    ++scan_;
}

const HistoryCache::Entry* HistoryCache::find(const String& name, const FileStamp& stamp) {
    const auto it = entries_.find(name);
    if (it == entries_.end() || it->second.stamp != stamp) return nullptr;
    it->second.scan = scan_;
    return &it->second;
}

const HistoryCache::Entry& HistoryCache::keep(const String& name, Entry entry) {
    entry.scan = scan_;
    Entry& kept = entries_[name];
    kept = std::move(entry);
    return kept;
}

void HistoryCache::endScan() {
    size_t titles = 0;
    for (auto it = entries_.begin(); it != entries_.end();) {
        if (it->second.scan != scan_) {
            it = entries_.erase(it);
        } else {
            titles += it->second.day.titles.size();
            ++it;
        }
    }
    // Texts are numbered for good, also those of days rewritten or gone. When
    // they are mostly such, the next scan starts afresh, so the cache stays
    // about the size of what the folder holds.
    if (texts_.titles() > 4 * titles + 100000) {
        entries_.clear();
        texts_ = HistoryTexts();
    }
}

}  // namespace horalis
