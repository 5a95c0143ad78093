#pragma once
// The days the history page read before, each kept while its file is
// unchanged (same stamp), so that the page after one new day reads that day
// alone. It lives in memory only: nothing is written, so no two computers
// sharing a folder ever write the same file for it.
#include <mutex>
#include <unordered_map>

#include "reports/history.h"
#include "storage/file_io.h"

namespace horalis {

class HistoryCache {
public:
    // What a file held when it was read: its day, or why it was left out.
    struct Entry {
        FileStamp stamp;
        bool read = false;
        HistorySkip why = HistorySkip::Damaged;
        HistoryDay day;
        uint64_t scan = 0;  // the last scan that saw the file
    };

    // Starts a scan of folder; a cache of another folder starts empty.
    void beginScan(const String& folder);
    // The entry of a file, when its stamp is the one it was read with;
    // noted as seen by this scan.
    const Entry* find(const String& name, const FileStamp& stamp);
    const Entry& keep(const String& name, Entry entry);
    // Forgets the files this scan did not see.
    void endScan();

    HistoryTexts& texts() { return texts_; }
    std::mutex& lock() { return lock_; }
    size_t size() const { return entries_.size(); }

private:
    std::mutex lock_;  // the process's cache may be used by more than one thread
    String folder_;
    HistoryTexts texts_;
    std::unordered_map<String, Entry> entries_;
    uint64_t scan_ = 0;
};

}  // namespace horalis
