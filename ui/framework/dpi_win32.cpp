#include "ui/framework/dpi.h"

#include <commctrl.h>

#include "ui/dpi_scale.h"
#include "ui/framework/window.h"

namespace wingui {
namespace {

// An entry point of a library the program has loaded already. Common Controls
// is the side-by-side version 6 that the manifest asks for, not the system
// folder's version 5, so it is taken by its handle, never loaded by path.
template <class Function>
Function loadedEntryPoint(const wchar_t* module, const char* name) {
    HMODULE loaded = GetModuleHandleW(module);
    return loaded ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(loaded, name))) : nullptr;
}

constexpr const wchar_t* kUser32 = L"user32.dll";

UINT systemDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen) ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : USER_DEFAULT_SCREEN_DPI;
}

}  // namespace

UINT windowDpi(HWND window) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = loadedEntryPoint<GetDpiForWindowFn>(kUser32, "GetDpiForWindow");
    if (getDpiForWindow && window) {
        if (const UINT dpi = getDpiForWindow(window)) return dpi;
    }
    return systemDpi();
}

// Under per-monitor v2 the dialog manager answers WM_DPICHANGED itself,
// re-laying out the controls and giving them a new font
// (DIALOG_DPI_CHANGE_BEHAVIORS, DDC_DEFAULT), but only when the dialog
// procedure leaves the message to it by returning FALSE, as for any message
// (DialogProc). The framework's dialogs handle it for every class (they must
// still scale what they size in code, and the dialog manager of per-monitor
// v1 does nothing), so the dialog manager is switched off for them, or
// rescaling would be half done, or done twice.
void takeOverDialogDpiChanges(HWND dialog) {
    using SetBehaviorFn = BOOL(WINAPI*)(HWND, int, int);
    static const auto setBehavior = loadedEntryPoint<SetBehaviorFn>(kUser32, "SetDialogDpiChangeBehavior");
    constexpr int kDisableAll = 0x0001;  // DDC_DISABLE_ALL; not in every winuser.h
    if (setBehavior) setBehavior(dialog, kDisableAll, kDisableAll);
}

void rescaleDialogControls(HWND dialog, HFONT font, UINT fromDpi, UINT toDpi) {
    const auto scale = [&](LONG value) { return horalis::rescaleDpi(value, fromDpi, toDpi); };
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const RECT r = rectInParent(child);
        SetWindowPos(child, nullptr, scale(r.left), scale(r.top), scale(r.right) - scale(r.left),
                     scale(r.bottom) - scale(r.top), SWP_NOZORDER | SWP_NOACTIVATE);
        // After the place: a control that fits itself to its text does so here.
        if (font) SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

HICON loadIconOfSize(int id, int size) {
    return static_cast<HICON>(LoadImageW(resourceInstance(), MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0));
}

HICON loadSmallIconMetric(int id) {
    using LoadIconMetricFn = HRESULT(WINAPI*)(HINSTANCE, PCWSTR, int, HICON*);
    static const auto loadIconMetric = loadedEntryPoint<LoadIconMetricFn>(L"comctl32.dll", "LoadIconMetric");
    if (loadIconMetric) {
        HICON icon = nullptr;
        if (SUCCEEDED(loadIconMetric(resourceInstance(), MAKEINTRESOURCEW(id), LIM_SMALL, &icon)) && icon)
            return icon;
    }
    return loadIconOfSize(id, GetSystemMetrics(SM_CXSMICON));
}

}  // namespace wingui
