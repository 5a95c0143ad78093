// The notification-area icon and the tray pop-up of the main window.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <cwchar>

#include "resources/resource.h"
#include "ui/framework/winapp.h"
#include "ui/main_dlg.h"

namespace horalis {
namespace {

constexpr const wchar_t* kTrayTip = L"Tallimer";
constexpr const wchar_t* kCantLoadIcon = L"Can't load icon";
constexpr UINT_PTR kTaskbarSubclassId = 1;

// Builds the icon record and hands it to the shell. The icon is loaded anew
// for every call; the shell keeps a copy of its own.
void notifyTrayIcon(HWND window, DWORD action) {
    horalis::Icon icon(static_cast<HICON>(LoadImageW(wingui::resourceInstance(), MAKEINTRESOURCEW(IDI_TRAY),
                                                    IMAGE_ICON, 0, 0, LR_DEFAULTSIZE)));
    if (!icon) {
        wingui::appMessageBox(kCantLoadIcon, MB_OK);
        return;
    }
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = window;
    data.uID = HORALIS_TRAY_ID;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = WM_TRAY_CALLBACK;
    data.hIcon = icon.get();
    wcsncpy(data.szTip, kTrayTip, sizeof data.szTip / sizeof data.szTip[0] - 1);
    Shell_NotifyIconW(action, &data);
}

}  // namespace

void CMainDlg::setupTrayMenu() {
    trayMenu_.reset(LoadMenuW(wingui::resourceInstance(), MAKEINTRESOURCEW(IDR_TRAYMENU)));
    if (!trayMenu_) return;
    if (HMENU popup = GetSubMenu(trayMenu_.get(), 0)) SetMenuDefaultItem(popup, 0, TRUE);

    // A restarted shell forgets every icon and says so with a registered
    // message, whose number is only known at run time, so it is caught in a
    // subclass procedure rather than in the handler table.
    taskbarCreatedMessage_ = RegisterWindowMessageW(L"TaskbarCreated");
    if (taskbarCreatedMessage_ != 0)
        SetWindowSubclass(handle(), &CMainDlg::taskbarSubclassProc, kTaskbarSubclassId,
                          reinterpret_cast<DWORD_PTR>(this));
}

LRESULT CALLBACK CMainDlg::taskbarSubclassProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                               DWORD_PTR data) noexcept {
    auto* self = reinterpret_cast<CMainDlg*>(data);
    if (msg == WM_NCDESTROY) {
        RemoveWindowSubclass(window, &CMainDlg::taskbarSubclassProc, kTaskbarSubclassId);
    } else if (self && msg == self->taskbarCreatedMessage_) {
        notifyTrayIcon(window, NIM_ADD);
    }
    return DefSubclassProc(window, msg, wParam, lParam);
}

void CMainDlg::addTrayIcon() {
    notifyTrayIcon(handle(), NIM_ADD);
}

void CMainDlg::removeTrayIcon() {
    notifyTrayIcon(handle(), NIM_DELETE);
}

LRESULT CMainDlg::onTrayCallback(WPARAM, LPARAM event) {
    switch (static_cast<UINT>(event)) {
    case WM_LBUTTONDOWN:
        showApplication();
        break;
    case WM_RBUTTONDOWN: {
        HMENU popup = trayMenu_ ? GetSubMenu(trayMenu_.get(), 0) : nullptr;
        POINT at{};
        if (popup && GetCursorPos(&at))
            TrackPopupMenu(popup, TPM_RIGHTALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, handle(), nullptr);
        break;
    }
    default:
        break;
    }
    return 0;
}

}  // namespace horalis
