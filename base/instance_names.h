#pragma once
// Names of the session-wide mutexes that keep one copy of each program running.

namespace horalis {

inline constexpr const wchar_t* kMainProgramInstanceMutex = L"Local\\Horalis.SingleInstance";
inline constexpr const wchar_t* kReporterInstanceMutex = L"Local\\Horalis.Reporter.SingleInstance";
// Exists while Horalis.exe is paused ("Pause recording"); the reporter counts nothing then.
inline constexpr const wchar_t* kRecordingPausedMutex = L"Local\\Horalis.RecordingPaused";

}  // namespace horalis
