#include "reports/daily_report_lock.h"

#include <windows.h>

namespace horalis {
namespace {

constexpr const wchar_t* kDailyReportLockName = L"Local\\Horalis.DailyReports";
// Writing a pair takes well under a second; a holder this slow is stuck.
constexpr DWORD kWaitMs = 10000;

}  // namespace

DailyReportLock::DailyReportLock() {
    HANDLE mutex = CreateMutexW(nullptr, FALSE, kDailyReportLockName);
    // Made by the other program running elevated: it may still be waited for.
    if (!mutex) mutex = OpenMutexW(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, kDailyReportLockName);
    mutex_ = mutex;
    if (!mutex) return;
    const DWORD waited = WaitForSingleObject(mutex, kWaitMs);
    // Abandoned: the other program ended while writing; its pair is replaced.
    held_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
}

DailyReportLock::~DailyReportLock() {
    if (!mutex_) return;
    if (held_) ReleaseMutex(static_cast<HANDLE>(mutex_));
    CloseHandle(static_cast<HANDLE>(mutex_));
}

}  // namespace horalis
