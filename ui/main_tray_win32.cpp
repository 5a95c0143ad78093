// The notification-area icon and the tray pop-up of the main window.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <cwchar>
#include <utility>

#include "resources/resource.h"
#include "ui/framework/dpi.h"
#include "ui/framework/icon_tint.h"
#include "ui/framework/winapp.h"
#include "ui/main_dlg.h"

namespace horalis {
namespace {

constexpr const wchar_t* kTrayTip = L"Tallimer";
constexpr const wchar_t* kPausedTrayTip = L"Tallimer (paused)";
constexpr const wchar_t* kCantLoadIcon = L"Can't load icon";
constexpr UINT_PTR kTaskbarSubclassId = 1;

enum class TrayResult { NoIcon, Refused, Done };

// Builds the icon record and hands it to the shell. The icon is loaded anew
// for every call, at the size the notification area draws it; the shell
// keeps a copy of its own. Paused, it is greyed and the tip says so.
TrayResult notifyTrayIcon(HWND window, DWORD action, bool paused) {
    Icon icon(wingui::loadSmallIconMetric(IDI_TRAY));
    if (!icon) {
        wingui::appMessageBox(kCantLoadIcon, MB_OK);
        return TrayResult::NoIcon;
    }
    if (paused)
        if (Icon greyed(wingui::greyedIcon(icon.get())); greyed) icon = std::move(greyed);
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = window;
    data.uID = HORALIS_TRAY_ID;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = WM_TRAY_CALLBACK;
    data.hIcon = icon.get();
    wcsncpy(data.szTip, paused ? kPausedTrayTip : kTrayTip, sizeof data.szTip / sizeof data.szTip[0] - 1);
    if (Shell_NotifyIconW(action, &data)) return TrayResult::Done;
    // NIM_ADD also fails for an icon the shell already shows: then it is there.
    if (action == NIM_ADD && Shell_NotifyIconW(NIM_MODIFY, &data)) return TrayResult::Done;
    return TrayResult::Refused;
}

}  // namespace

void CMainDlg::setupTrayMenu() {
    trayMenu_.reset(LoadMenuW(wingui::resourceInstance(), MAKEINTRESOURCEW(IDR_TRAYMENU)));
    if (!trayMenu_) return;
    if (HMENU popup = GetSubMenu(trayMenu_.get(), 0)) SetMenuDefaultItem(popup, 0, TRUE);
    // Unowned: an owned window brought to the front takes its owner along.
    trayMenuOwner_.createWindow(WS_EX_TOOLWINDOW, WC_STATICW, L"", WS_POPUP, RECT{}, nullptr);


    // A restarted shell forgets every icon and says so with a registered
    // message, whose number is only known at run time, so it is caught in a
    // subclass procedure rather than in the handler table.
    taskbarCreatedMessage_ = RegisterWindowMessageW(L"TaskbarCreated");
    if (taskbarCreatedMessage_ == 0) return;
    SetWindowSubclass(handle(), &CMainDlg::taskbarSubclassProc, kTaskbarSubclassId, reinterpret_cast<DWORD_PTR>(this));
    // User Interface Privilege Isolation drops messages from a process of
    // lower integrity: a copy started "as administrator" would never hear
    // Explorer's broadcast unless this window lets it through.
    ChangeWindowMessageFilterEx(handle(), taskbarCreatedMessage_, MSGFLT_ALLOW, nullptr);
}

LRESULT CALLBACK CMainDlg::taskbarSubclassProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                               DWORD_PTR data) noexcept {
    auto* self = reinterpret_cast<CMainDlg*>(data);
    if (msg == WM_NCDESTROY) {
        RemoveWindowSubclass(window, &CMainDlg::taskbarSubclassProc, kTaskbarSubclassId);
    } else if (self && msg == self->taskbarCreatedMessage_) {
        self->addTrayIcon();
    }
    return DefSubclassProc(window, msg, wParam, lParam);
}

// At logon Explorer may not be ready yet, and NIM_ADD then fails: it is tried
// again every second until the shell takes it, so that a window closed to
// the tray can always be brought back.
void CMainDlg::addTrayIcon() {
    if (notifyTrayIcon(handle(), NIM_ADD, tick_.state().paused) == TrayResult::Refused) {
        SetTimer(handle(), HORALIS_TRAY_RETRY_TIMER_ID, HORALIS_TRAY_RETRY_MS, nullptr);
    } else {
        KillTimer(handle(), HORALIS_TRAY_RETRY_TIMER_ID);
    }
}

void CMainDlg::removeTrayIcon() {
    KillTimer(handle(), HORALIS_TRAY_RETRY_TIMER_ID);
    notifyTrayIcon(handle(), NIM_DELETE, false);
}

// The pause shown as it changes; an icon the shell does not have yet gets the
// state when the retry adds it.
void CMainDlg::updateTrayIcon() {
    notifyTrayIcon(handle(), NIM_MODIFY, tick_.state().paused);
}

LRESULT CMainDlg::onTrayCallback(WPARAM, LPARAM event) {
    switch (static_cast<UINT>(event)) {
    case WM_LBUTTONDOWN:
        showApplication();
        break;
    case WM_RBUTTONDOWN: {
        HMENU popup = trayMenu_ ? GetSubMenu(trayMenu_.get(), 0) : nullptr;
        POINT at{};
        if (!popup || !trayMenuOwner_.handle() || !GetCursorPos(&at)) break;
        // Windows dismisses a pop-up menu on a click elsewhere or on Esc only
        // when its owner is the foreground window, and the next one opened
        // closes at once unless a message reaches the owner after the first
        // (TrackPopupMenu's documented remarks). The owner is a hidden window
        // of its own: making the main window the foreground one would also
        // activate it and raise it over every other window (under Wine over
        // the tray window itself, so that the next click missed the icon).
        // The chosen command goes to the main window as a menu command.
        SetForegroundWindow(trayMenuOwner_.handle());
        constexpr UINT kFlags = TPM_RIGHTALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY;
        const auto command =
            static_cast<UINT>(TrackPopupMenu(popup, kFlags, at.x, at.y, 0, trayMenuOwner_.handle(), nullptr));
        trayMenuOwner_.postMessage(WM_NULL);
        if (command != 0) postMessage(WM_COMMAND, MAKEWPARAM(command, 0), 0);
        break;
    }
    default:
        break;
    }
    return 0;
}

}  // namespace horalis
