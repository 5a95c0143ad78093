#include "reports/daily_report_lock.h"

#include <windows.h>

#include "storage/held_file_win32.h"
#include "storage/long_path.h"

namespace horalis {
namespace {

constexpr const wchar_t* kDailyReportLockName = L"Local\\Horalis.DailyReports";
// Opened with no sharing, it cannot be opened again until its holder closes
// it, and it goes with its holder's last handle (also when the holder is
// ended or crashes), so a leftover never blocks anyone.
constexpr const char16_t* kLockFileName = u"\\Horalis.lock";

}  // namespace

DailyReportLock::DailyReportLock(const String& dataFolder, uint32_t waitMs)
    : deadline_(steadyMs() + waitMs), sessionLock_(kDailyReportLockName, waitMs) {
    if (!sessionLock_.held()) return;
    const uint64_t now = steadyMs();
    HeldFileBudget rest(deadline_ > now ? static_cast<uint32_t>(deadline_ - now) : 0);
    const std::wstring path = toWide(extendedLengthPath(dataFolder + kLockFileName));
    HANDLE file = INVALID_HANDLE_VALUE;
    retryWhileHeld([&] {
        // FILE_FLAG_DELETE_ON_CLOSE needs DELETE access.
        file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        return file != INVALID_HANDLE_VALUE ? Attempt::Done : attemptAfterFileError(GetLastError());
    });
    if (file != INVALID_HANDLE_VALUE) lockFile_.reset(file);
}

void DailyReportLock::CloseLockFile::operator()(void* handle) const {
    CloseHandle(static_cast<HANDLE>(handle));
}

}  // namespace horalis
