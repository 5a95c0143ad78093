#pragma once
// Menu commands of the main window as a user runs them, and the files they
// leave: exports through the save dialog, dialogs opened and closed again.
#include <windows.h>

#include <string>
#include <string_view>

#include "base/handles.h"
#include "e2e/session.h"
#include "e2e/ui.h"

namespace e2e {

inline constexpr int kAppListId = 1003;
inline constexpr int kTitleListId = 1004;
inline constexpr int kExportCsvCommand = 32776;
inline constexpr int kExportSpreadsheetCommand = 32777;
inline constexpr int kExportHtmlCommand = 32781;
inline constexpr int kOptionsCommand = 32780;
inline constexpr int kAboutCommand = 32774;
inline constexpr int kReporterCommand = 32787;
inline constexpr int kPointersCommand = 32788;
inline constexpr int kHelpCommand = 32784;
inline constexpr int kHideCommand = 32783;
inline constexpr int kPauseCommand = 32790;
inline constexpr int kRulesCommand = 32791;
inline constexpr int kOpenHistoryCommand = 32789;
// The tray icon's callback message and id, as the program registers them.
inline constexpr UINT kTrayCallback = 0xA123;
inline constexpr WPARAM kTrayId = 4662;

// The program's save or open dialog: a "#32770" with the file-name field.
Window waitFileDialog(const Session& session);
// Runs an export command and answers its save dialog with path.
void exportTo(const Session& session, const Window& main, int command, const std::wstring& path);

// Waits until the dialog of that caption has shown: it is found as soon as it
// exists, and filled in and shown only after its initialisation.
Window waitShownDialog(Session& session, std::wstring_view caption);
// Posts a command and waits until the dialog it opens has shown.
Window openDialog(Session& session, const Window& main, int command, std::wstring_view caption);
// Cancel, and wait until the dialog is destroyed.
void cancelDialog(const Window& dialog);

// The error icon of a message box, seen on the screen: red in the icon's place.
bool showsErrorIcon(const MessageBoxWindow& box);

std::string readBytes(const std::wstring& path);
bool writeBytes(const std::wstring& path, std::string_view bytes);
// The 00:00 cases need the program's clock started shortly before midnight;
// scripts/test-reports.sh runs the driver under faketime for them. True, with
// a note, when the clock is elsewhere and the case has nothing to check.
// shiftedClockOnly: only under faketime, and then any time up to 01:00.
bool skipUnlessNearMidnight(bool shiftedClockOnly = false);
// The file that libfaketime re-reads for the shifted clock (the runner sets
// FAKETIME_TIMESTAMP_FILE), as a Windows path; empty without one. Writing it
// moves the clock of the driver and its programs within about a second.
std::wstring shiftedClockFile();
// Every program started from now on begins at the given time ("@2026-12-06
// 23:59:35": libfaketime counts it from each program's own start). The clock
// file, or empty (the case is skipped) when the runner gave none.
std::wstring startClockAt(std::string_view start);
// The local clock reads this day of the month and time or later.
bool localTimeReached(int day, int hour, int minute, int second);
// year_day_month of the day the program's first 00:00 falls on.
std::wstring midnightBaseName();

// Log-off as the session sends it to a window: WM_QUERYENDSESSION (expected
// to be answered TRUE), then WM_ENDSESSION with TRUE.
void endSession(HWND window);

// The driver window's seconds in a daily CSV; -1 when it is not there or not a pair.
int64_t pairSeconds(const std::wstring& csv);
// The driver window's seconds in the main window's list, once at least atLeast (8 s at most).
int countSeconds(const Window& main, int atLeast);
// The daily pair that holds today in folder, without ".csv" or ".html".
std::wstring todaysPair(const std::wstring& folder);

// Creates the folder if needed and writes conf.dat there; ends the case on failure.
void writeSettings(const std::wstring& folder, std::string_view text);

}  // namespace e2e

namespace e2e {

// flash-window.exe (beside this driver) copied under this file name into the
// folder, so that each name is an application of its own.
std::wstring shortLivedApplication(const std::wstring& folder, const std::wstring& fileName);
// Starts it: a window with this title takes the foreground and the process
// ends after lifetime. The process id, or 0; given process, its handle is
// kept there, to wait for the end.
DWORD startShortLived(const std::wstring& program, const std::wstring& title, Milliseconds lifetime,
                      horalis::KernelHandle* process = nullptr);

// Classes\.html pointing at record-open.exe while it lives, as the program
// associated with HTML files: it notes what it was asked to open.
struct StandInHtmlProgram {
    StandInHtmlProgram();
    ~StandInHtmlProgram();
    StandInHtmlProgram(const StandInHtmlProgram&) = delete;
    StandInHtmlProgram& operator=(const StandInHtmlProgram&) = delete;
    std::wstring opened() const;
    const HKEY kRoots[2] = {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE};
    std::wstring previous[2];
    std::wstring log;
    bool set = false;
};

// "Open history" (File menu) with the stand-in above: the page as the program made it, "" when none came.
std::string openHistoryPage(const Window& main, const std::wstring& dataFolder);

}  // namespace e2e
