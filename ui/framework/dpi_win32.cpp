#include "ui/framework/dpi.h"

#include <commctrl.h>

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

UINT systemDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen) ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : USER_DEFAULT_SCREEN_DPI;
}

}  // namespace

UINT windowDpi(HWND window) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = loadedEntryPoint<GetDpiForWindowFn>(L"user32.dll", "GetDpiForWindow");
    if (getDpiForWindow && window) {
        if (const UINT dpi = getDpiForWindow(window)) return dpi;
    }
    return systemDpi();
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
