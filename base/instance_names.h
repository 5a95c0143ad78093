#pragma once
// Names of the session-wide mutexes that keep one copy of each program running.

namespace horalis {

inline constexpr const wchar_t* kMainProgramInstanceMutex = L"Local\\Horalis.SingleInstance";
inline constexpr const wchar_t* kReporterInstanceMutex = L"Local\\Horalis.Reporter.SingleInstance";

}  // namespace horalis
