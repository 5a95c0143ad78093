#pragma once
// The lock that Horalis.exe and HoralisReporter.exe both hold while they
// write a daily pair or the history page, so that no two writers change the
// same files at the same moment (who writes is settled in
// reporter/reporter_engine.h). It is two locks taken in turn: a named mutex
// for the programs of this session, and a lock file in the data folder for
// everyone else who writes there, such as this user's copies in another
// session (console and Remote Desktop sharing one %APPDATA%) or on another
// computer that shares the folder.

#include <memory>

#include "base/named_mutex.h"
#include "base/string.h"
#include "storage/file_retry.h"

namespace horalis {

class DailyReportLock {
public:
    // Waits at most waitMs in all for the other writer. The user-interface
    // thread waits kUiWaitMs and tries again on a later tick.
    explicit DailyReportLock(const String& dataFolder, uint32_t waitMs = kUiWaitMs);
    DailyReportLock(const DailyReportLock&) = delete;
    DailyReportLock& operator=(const DailyReportLock&) = delete;

    // False when the lock could not be had: the caller writes nothing then
    // and keeps its totals for the next try.
    bool held() const { return lockFile_ != nullptr; }

private:
    struct CloseLockFile {
        void operator()(void* handle) const;  // CloseHandle, which also deletes the file
    };
    uint64_t deadline_;  // steadyMs()
    NamedLock sessionLock_;
    // Released before the mutex: members go in reverse order.
    std::unique_ptr<void, CloseLockFile> lockFile_;
};

}  // namespace horalis
