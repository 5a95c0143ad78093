#include "reports/daily_report_lock.h"

namespace horalis {
namespace {

constexpr const wchar_t* kDailyReportLockName = L"Local\\Horalis.DailyReports";
// Writing a pair takes well under a second; a holder this slow is stuck.
// Abandoned by the other program ending while writing: its pair is replaced.
constexpr uint32_t kWaitMs = 10000;

}  // namespace

DailyReportLock::DailyReportLock() : lock_(kDailyReportLockName, kWaitMs) {}

}  // namespace horalis
