// How the run ends, and what is saved before it may: "Exit", the end of the
// session, a sleep, and the restart Windows is asked for.
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "ui/framework/winapp.h"
#include "ui/main_dlg.h"
#include "ui/message_texts.h"
#include "ui/start_options.h"

namespace horalis {
namespace {

constexpr const wchar_t* kExitQuestion = L"Exit from application?";
constexpr const wchar_t* kFeedbackQuestion =
    L"We would like to hear what you think about Horalis, so please send us your comments, "
    L"suggestions or problems you had using the program. Click 'Yes' to visit our Web site.";
constexpr const wchar_t* kFeedbackCaption = L"Write us";

}  // namespace

// Log-off, shutdown, or Restart Manager closing the program for an update
// (ENDSESSION_CLOSEAPP). Microsoft's rule: answer at once and save in
// WM_ENDSESSION. Windows may end a program that takes more than about 5 s
// here, and one that is hidden in the tray without asking the user. The
// state the window is in now is what a restart brings back.
LRESULT CMainDlg::onQueryEndSession(WPARAM, LPARAM) {
    registerRestart(!IsWindowVisible(handle()));
    return TRUE;
}

// TRUE: the session ends and the process may be ended as soon as this
// returns. FALSE: another program refused; nothing was saved or cleared at
// the question, so nothing is lost and the run goes on.
LRESULT CMainDlg::onEndSession(WPARAM ending, LPARAM flags) {
    if (!ending) return 0;
    saveBeforeEnd();
    // Restart Manager waits for the program to end on its own.
    if (flags & ENDSESSION_CLOSEAPP) endProgram();
    return 0;
}

// Suspend: a battery may die during the sleep. Windows gives about 2 s here.
LRESULT CMainDlg::onPowerBroadcast(WPARAM event, LPARAM) {
    if (event == PBT_APMSUSPEND) tick_.flushJournal();
    return TRUE;
}

void CMainDlg::exitApplication() {
    if (MessageBoxW(handle(), kExitQuestion, kProgramName, MB_YESNO | MB_ICONQUESTION) != IDYES) return;
    help_.closeAll();
    if (MessageBoxW(handle(), kFeedbackQuestion, kFeedbackCaption, MB_YESNO | MB_ICONQUESTION) == IDYES)
        ShellExecuteW(handle(), wingui::kOpenVerb, kFeedbackUrl, nullptr, nullptr, SW_SHOWNORMAL);
    // The day's time so far would be lost with the program.
    saveBeforeEnd();
    endProgram();
}

void CMainDlg::saveBeforeEnd() {
    const ShutdownBlockReason reason(handle(), toWide(kFinalSaveReason).c_str());
    finalSave_.run(tick_);
}

void CMainDlg::endProgram() {
    hooks_.unload();
    removeTrayIcon();
    endDialog(0);
}

// Windows brings the program back after Restart Manager closed it for an
// update and, where the user allows it, after a restart; not after a crash
// or a hang.
void CMainDlg::registerRestart(bool windowHidden) {
    const std::wstring arguments = toWide(restartArguments(windowHidden));
    RegisterApplicationRestart(arguments.c_str(), RESTART_NO_CRASH | RESTART_NO_HANG);
}

}  // namespace horalis
