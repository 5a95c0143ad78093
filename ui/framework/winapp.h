#pragma once
// The application object and the framework's message box.
#include <windows.h>

#include <string>

namespace wingui {

class CWnd;

// The shell's verb that opens a file or an address with the program it belongs to.
inline constexpr const wchar_t* kOpenVerb = L"open";

// The framework's help command, sent to the main window for F1 (WM_HELP).
inline constexpr UINT kHelpCommand = 0xE146;

class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // The one application object of the process, or null.
    static CWinApp* current();

    // Called by wWinMain: initInstance, then either the message loop or,
    // when initInstance says no loop is to follow, exitInstance.
    int run(HINSTANCE instance);

    HINSTANCE instanceHandle() const { return instance_; }
    // The executable's file name without its extension.
    const std::wstring& appName() const { return appName_; }
    // Kept only as a name: nothing is written to the registry.
    void setRegistryKey(const wchar_t* key) { registryKey_ = key; }
    const std::wstring& registryKey() const { return registryKey_; }

    // Owner of dialogs and message boxes that name no parent of their own.
    CWnd* mainWindow() const { return mainWindow_; }
    void setMainWindow(CWnd* window) { mainWindow_ = window; }

    // Menu and accelerator commands that no window handled. Base: the help
    // command (F1) goes to onHelp.
    virtual bool onCommand(UINT id);

protected:
    // False: no message loop follows and the program ends.
    virtual bool initInstance() { return true; }
    virtual int exitInstance() { return 0; }
    // The framework's default help handler (F1). Base: nothing.
    virtual void onHelp() {}

private:
    HINSTANCE instance_ = nullptr;
    std::wstring appName_;
    std::wstring registryKey_;
    CWnd* mainWindow_ = nullptr;
};

// The framework's message box: captioned with the application's name, owned
// by the main window (its active pop-up) when there is one.
int appMessageBox(const std::wstring& text, UINT type = MB_OK);

// The whole of wWinMain: the one application object, run; no exception
// leaves the program's entry point (exit code 1).
template <class App>
int runApplication(HINSTANCE instance) noexcept {
    try {
        App app;
        return app.run(instance);
    } catch (...) {
        return 1;
    }
}

}  // namespace wingui
