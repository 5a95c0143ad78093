// HoralisReporter.exe: samples the desktop as Horalis.exe does, with no window
// to show, and writes the daily reports into the data folder named on its
// command line (see reporter_engine.h for who writes when both run).
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "base/handles.h"
#include "base/instance_names.h"
#include "base/named_mutex.h"
#include "base/string.h"
#include "reporter/reporter_arguments.h"
#include "reporter/reporter_engine.h"
#include "reports/daily_report_lock.h"
#include "storage/data_folder.h"
#include "storage/file_io.h"
#include "resources/resource.h"
#include "tracking/desktop_win32.h"
#include "tracking/hook_library_win32.h"
#include "tracking/session_notifications_win32.h"
#include "ui/framework/winapp.h"
#include "ui/framework/window.h"

namespace horalis {
namespace {

// The driver of the end-to-end tests finds the reporter by this class.
constexpr const wchar_t* kWindowClass = L"HoralisReporterWindow";

class Win32ReporterSession final : public ReporterSession {
public:
    explicit Win32ReporterSession(String dataFolder) : dataFolder_(std::move(dataFolder)) {}

    bool mainProgramRunning() override {
        return namedMutexExists(kMainProgramInstanceMutex);
    }

    bool withDailyReportLock(uint32_t waitMs, const std::function<bool()>& write) override {
        const DailyReportLock lock(dataFolder_, waitMs);
        return lock.held() && write();
    }

private:
    String dataFolder_;
};

// A hidden top-level window: it carries the timer and kbdh.dll's message, and,
// unlike a message-only window, it is told when the session ends.
class CReporterWnd final : public wingui::CWnd {
public:
    explicit CReporterWnd(const String& dataFolder) : session_(dataFolder), engine_(dataFolder, desktop_, session_) {}

    bool create() {
        if (!createWindow(WS_EX_TOOLWINDOW, kWindowClass, L"Horalis Reporter", WS_POPUP, RECT{}, nullptr))
            return false;
        hooks_.load();  // without it every sample after the away timeout is idle, as in Horalis.exe
        hooks_.install(handle());
        engine_.start(hooks_.installed(), [this] { hooks_.reinstall(); });
        sessionNotifications_.register_(handle(), HORALIS_SESSION_RETRY_TIMER_ID);
        SetTimer(handle(), HORALIS_TIMER_ID, HORALIS_TIMER_MS, nullptr);
        return true;
    }

protected:
    const wingui::MessageMap* messageMap() const override {
        static constexpr wingui::Handler<CReporterWnd> handlers[] = {
            wingui::onTimer(&CReporterWnd::onTimer),
            wingui::onMessage(kWmHookActivity, &CReporterWnd::onHookActivity),
            wingui::onMessage(WM_WTSSESSION_CHANGE, &CReporterWnd::onSessionChange),
            wingui::onMessage(WM_QUERYENDSESSION, &CReporterWnd::onQueryEndSession),
            wingui::onMessage(WM_ENDSESSION, &CReporterWnd::onEndSession),
            wingui::onMessage(WM_POWERBROADCAST, &CReporterWnd::onPowerBroadcast),
            wingui::onClose(&CReporterWnd::onClose),
            wingui::onMessage(WM_DESTROY, &CReporterWnd::onDestroy),
        };
        static const wingui::MessageMap map{handlers, CWnd::messageMap()};
        return &map;
    }

private:
    void onTimer(UINT_PTR id) {
        if (id == HORALIS_SESSION_RETRY_TIMER_ID)
            sessionNotifications_.retry();
        else
            engine_.tick();
    }

    LRESULT onHookActivity(WPARAM, LPARAM) {
        engine_.noteHookActivity();
        return 0;
    }

    LRESULT onSessionChange(WPARAM event, LPARAM) {
        engine_.sessionChanged(static_cast<uint32_t>(event));
        return 0;
    }

    // The reporter ends with the session. As in Horalis.exe, the question is
    // answered at once and the day is saved at WM_ENDSESSION: without a
    // window to show, the reporter is simply ended when it takes too long.
    LRESULT onQueryEndSession(WPARAM, LPARAM) { return TRUE; }

    // TRUE: the process may be ended as soon as this returns, so the day is
    // saved and the hooks go now; also when Restart Manager closes it for an
    // update (ENDSESSION_CLOSEAPP), after which it is to end on its own.
    LRESULT onEndSession(WPARAM ending, LPARAM) {
        if (!ending) return 0;
        saveBeforeEnd();
        destroyWindow();
        return 0;
    }

    // The setup asks it to end before an upgrade or a removal, as taskkill
    // without /f does: the day so far is saved as at a log-off.
    void onClose() {
        saveBeforeEnd();
        destroyWindow();
    }

    LRESULT onPowerBroadcast(WPARAM event, LPARAM) {
        if (event == PBT_APMSUSPEND) engine_.flushJournal();
        return TRUE;
    }

    void saveBeforeEnd() {
        const ShutdownBlockReason reason(handle(), horalis::toWide(kFinalSaveReason).c_str());
        engine_.saveBeforeEnd();
    }

    void onDestroy() {
        KillTimer(handle(), HORALIS_TIMER_ID);
        sessionNotifications_.unregister();
        hooks_.unload();
        PostQuitMessage(0);
    }

    Win32Desktop desktop_;
    Win32ReporterSession session_;
    ReporterEngine engine_;
    HookLibrary hooks_;
    SessionNotifications sessionNotifications_;
};

bool registerWindowClass(HINSTANCE instance) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kWindowClass;
    return RegisterClassExW(&windowClass) != 0;
}

bool folderExists(const String& path) {
    const DWORD attributes = GetFileAttributesW(horalis::toWide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Windows expands a REG_EXPAND_SZ Run value before it starts the line; a
// line that still holds %APPDATA% (written as REG_SZ, or started by hand) is
// expanded here in the same way.
String expandedEnvironment(const String& text) {
    const std::wstring wide = horalis::toWide(text);
    const DWORD needed = ExpandEnvironmentStringsW(wide.c_str(), nullptr, 0);
    if (needed == 0) return text;
    std::wstring expanded(needed, L'\0');
    const DWORD written = ExpandEnvironmentStringsW(wide.c_str(), expanded.data(), needed);
    if (written == 0 || written > needed) return text;
    expanded.resize(written - 1);
    return horalis::toCore(expanded);
}

// The named data folder, or this user's own (made if missing) in its place;
// false when neither can be had.
bool chooseDataFolder(ReporterArguments& arguments) {
    arguments.dataFolder = expandedEnvironment(arguments.dataFolder);
    const String own = dataFolderPath();
    auto chosen = reporterDataFolder(arguments.dataFolder, folderExists(arguments.dataFolder), own);
    if (!chosen || (*chosen == own && !createDirectory(own))) return false;
    arguments.dataFolder = std::move(*chosen);
    return true;
}

class CReporterApp final : public wingui::CWinApp {
protected:
    bool initInstance() override {
        ReporterArguments arguments = parseReporterCommandLine(horalis::toCore(GetCommandLineW()));
        if (arguments.error == ReporterArgumentError::None && !chooseDataFolder(arguments))
            arguments.error = ReporterArgumentError::NoSuchFolder;
        if (arguments.error != ReporterArgumentError::None) {
            MessageBoxW(nullptr, horalis::toWide(reporterArgumentMessage(arguments)).c_str(),
                        horalis::toWide(kReporterCaption).c_str(), MB_ICONERROR | MB_OK);
            return false;
        }

        // One reporter per session; a second start at log-on ends quietly.
        if (!singleInstance_.claim(kReporterInstanceMutex)) return false;

        if (!registerWindowClass(instanceHandle())) return false;
        // Restart Manager closing it for an update brings it back with its
        // folder; after a restart of Windows the Run key starts it.
        const std::wstring restart = L"\"" + horalis::toWide(arguments.dataFolder) + L"\"";
        RegisterApplicationRestart(restart.c_str(), RESTART_NO_CRASH | RESTART_NO_HANG | RESTART_NO_REBOOT);
        window_ = std::make_unique<CReporterWnd>(arguments.dataFolder);
        return window_->create();
    }

    int exitInstance() override {
        window_.reset();
        return 0;
    }

private:
    SingleInstance singleInstance_;
    std::unique_ptr<CReporterWnd> window_;
};

}  // namespace
}  // namespace horalis

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    return wingui::runApplication<horalis::CReporterApp>(instance);
}
