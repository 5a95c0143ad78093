#pragma once
// The session-wide lock that Horalis.exe and HoralisReporter.exe both hold
// while they write a daily pair, so that the two never write the same files
// at the same moment (who writes is settled in reporter/reporter_engine.h).

#include "base/named_mutex.h"

namespace horalis {

class DailyReportLock {
public:
    // Waits a few seconds for the other program to finish its pair.
    DailyReportLock();
    DailyReportLock(const DailyReportLock&) = delete;
    DailyReportLock& operator=(const DailyReportLock&) = delete;

    // False when the lock could not be had: the caller writes nothing then
    // and keeps its totals for the next pair.
    bool held() const { return lock_.held(); }

private:
    NamedLock lock_;
};

}  // namespace horalis
