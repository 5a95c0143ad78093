#pragma once
// One run of Horalis.exe as a user would start it, with a data folder of its own.
#include <windows.h>

#include <optional>
#include <set>
#include <source_location>
#include <string>
#include <string_view>

#include "e2e/framework.h"
#include "e2e/ui.h"
#include "base/handles.h"

namespace e2e {

enum class HookLibrary {
    Present,            // kbdh.dll beside the program, as installed
    Missing,            // no kbdh.dll anywhere the program looks
    WithoutSetHooks,    // a kbdh.dll that does not export SetHooks
    PresentInCopy,      // kbdh.dll beside a copy of the program in the case's folder
    DropsItsHooks,      // a kbdh.dll whose hooks go after 3 s, as Windows removes slow ones
    NeverReports,       // a kbdh.dll whose hooks see nothing, as at an administrator's window
};

class Session {
public:
    explicit Session(const TempDir& folder, HookLibrary hooks = HookLibrary::Present);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Starts the program with APPDATA set to a folder of this session (Wine
    // would otherwise hand it the prefix's own folder).
    void start();
    // APPDATA for the next start instead of the session's folder; nothing
    // leaves the variable out.
    void setAppData(std::optional<std::wstring> folder) { appData_ = std::move(folder); }
    // Text after the program's path on the next start's command line (" /tray").
    void setArguments(std::wstring arguments) { arguments_ = std::move(arguments); }

    // The main window, once visible; ends the case if it does not show.
    Window waitMainWindow(Milliseconds timeout = kDefaultWait,
                          std::source_location where = std::source_location::current());
    // The next message box with this caption that this session has not seen yet.
    MessageBoxWindow waitMessageBox(std::wstring_view caption, Milliseconds timeout = kDefaultWait,
                                    std::source_location where = std::source_location::current());
    // A top-level window of the program with this class and caption.
    Window waitWindow(std::wstring_view className, std::wstring_view caption, Milliseconds timeout = kDefaultWait,
                      std::source_location where = std::source_location::current());
    std::vector<Window> windows() const { return topLevelWindows(processId()); }
    // Message boxes ("#32770" owned by another window of the program) now open.
    std::vector<MessageBoxWindow> openMessageBoxes() const;

    DWORD processId() const { return processId_; }
    bool isRunning() const;
    bool waitExited(Milliseconds timeout = kDefaultWait) const;

    const std::wstring& appDataFolder() const { return appData_ ? *appData_ : ownAppData_; }
    // Without APPDATA the program keeps its files in the root of drive C.
    std::wstring dataFolder() const { return appData_ ? *appData_ + L"\\Horalis" : L"C:"; }
    const std::wstring& programPath() const { return program_; }
    // The SetHooks calls a stand-in kbdh.dll noted ("on", "off"), in order.
    std::vector<std::wstring> setHooksCalls() const;

    // Fails the case if the program stopped answering, then ends it.
    void stop(std::source_location where = std::source_location::current());

private:
    std::wstring prepareProgramFolder(const TempDir& folder, HookLibrary hooks) const;

    std::wstring folder_;
    std::wstring ownAppData_;
    std::optional<std::wstring> appData_;
    std::wstring arguments_;
    std::wstring program_;
    horalis::KernelHandle process_;
    DWORD processId_ = 0;
    std::set<HWND> seenBoxes_;
};

// This process's environment block with APPDATA replaced (or left out when
// there is none), sorted as Windows expects.
std::wstring environmentWith(const std::optional<std::wstring>& appData);

bool fileExists(const std::wstring& path);
bool folderExists(const std::wstring& path);

}  // namespace e2e
