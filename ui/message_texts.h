#pragma once
// Texts that more than one of the program's windows shows.

namespace horalis {

// The main window's caption, and that of the questions it asks.
inline constexpr const wchar_t* kProgramName = L"Horalis";
// The title of the time column in every list of times.
inline constexpr const wchar_t* kTimeColumnTitle = L"Active time";
// The caption of every error message box.
inline constexpr const wchar_t* kErrorCaption = L"Error";

}  // namespace horalis
