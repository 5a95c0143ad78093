#include "ui/framework/winapp.h"

#include <objbase.h>

#include "base/program_path.h"
#include "ui/framework/window.h"

namespace wingui {
namespace {

CWinApp* theApp = nullptr;

// The user-interface thread is a single-threaded COM apartment for the whole
// run: the shell's calls (ShellExecute, the file dialogs) require it, and an
// apartment entered once at the start is left once at the end.
class ComApartment {
public:
    ComApartment() : entered_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {}
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    ~ComApartment() {
        if (entered_) CoUninitialize();
    }

private:
    bool entered_;
};

}  // namespace

CWinApp::CWinApp() {
    theApp = this;
}

CWinApp::~CWinApp() {
    if (theApp == this) theApp = nullptr;
}

CWinApp* CWinApp::current() {
    return theApp;
}

int CWinApp::run(HINSTANCE instance) {
    instance_ = instance;
    // Without a title string of its own the program is known by its file name.
    std::wstring path = horalis::programPath();
    size_t slash = path.find_last_of(L"\\/");
    appName_ = slash == std::wstring::npos ? path : path.substr(slash + 1);
    if (size_t dot = appName_.find_last_of(L'.'); dot != std::wstring::npos) appName_.resize(dot);

    ComApartment apartment;
    if (!initInstance()) return exitInstance();
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    exitInstance();
    return static_cast<int>(msg.wParam);
}

bool CWinApp::onCommand(UINT id) {
    if (id != kHelpCommand) return false;
    onHelp();
    return true;
}

int appMessageBox(const std::wstring& text, UINT type) {
    CWinApp* app = CWinApp::current();
    CWnd* main = app ? app->mainWindow() : nullptr;
    HWND owner = main && main->handle() ? GetLastActivePopup(main->handle()) : GetActiveWindow();
    std::wstring caption = app ? app->appName() : std::wstring();
    return MessageBoxW(owner, text.c_str(), caption.c_str(), type);
}

}  // namespace wingui
