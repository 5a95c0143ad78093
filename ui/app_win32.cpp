// The application object and the program's entry point.
#include <windows.h>
#include <commctrl.h>

#include "base/instance_names.h"
#include "base/named_mutex.h"
#include "resources/resource.h"
#include "ui/framework/winapp.h"
#include "base/string.h"
#include "ui/main_dlg.h"
#include "ui/message_texts.h"
#include "ui/start_options.h"

namespace horalis {
namespace {

// The main window among the dialogs captioned "Horalis": the one with a menu
// bar, so that a message box with the same caption is passed over.
HWND findRunningMainWindow() {
    HWND fallback = nullptr;
    for (HWND window = nullptr; (window = FindWindowExW(nullptr, window, L"#32770", kProgramName));) {
        if (GetMenu(window)) return window;
        if (!fallback) fallback = window;
    }
    return fallback;
}

class CHoralisApp : public wingui::CWinApp {
protected:
    bool initInstance() override;
    void onHelp() override;

private:
    bool claimSingleInstance(bool intoTray);
    SingleInstance singleInstance_;
};

bool CHoralisApp::claimSingleInstance(bool intoTray) {
    // One running copy per session: a second start brings the first one
    // forward, unless it only asked for what is there (a restart into the tray).
    if (singleInstance_.claim(kMainProgramInstanceMutex)) return true;
    if (intoTray) return false;

    if (HWND running = findRunningMainWindow()) {
        ShowWindow(running, SW_SHOW);
        if (IsIconic(running)) ShowWindow(running, SW_RESTORE);
        SetForegroundWindow(running);
    }
    return false;
}

bool CHoralisApp::initInstance() {
    const bool intoTray = startsInTray(toCore(GetCommandLineW()));
    if (!claimSingleInstance(intoTray)) return false;

    INITCOMMONCONTROLSEX controls{sizeof(controls), 0xFF};
    InitCommonControlsEx(&controls);
    CWinApp::initInstance();
    setRegistryKey(L"Local AppWizard-Generated Applications");

    {
        CMainDlg dialog(intoTray);
        setMainWindow(&dialog);
        dialog.doModal();
        setMainWindow(nullptr);
    }
    // The modal run was the whole program: no message loop follows.
    return false;
}

// F1 opens the help file as "Help..." does.
void CHoralisApp::onHelp() {
    if (wingui::CWnd* main = mainWindow(); main && main->handle())
        main->postMessage(WM_COMMAND, MAKEWPARAM(ID_HELP_HELP, 0));
}

}  // namespace
}  // namespace horalis

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    return wingui::runApplication<horalis::CHoralisApp>(instance);
}
