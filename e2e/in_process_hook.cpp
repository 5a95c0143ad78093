// A stand-in for what happens inside the program's own process: the driver
// hooks the program's thread with this library (WH_GETMESSAGE) and posts the
// registered message "horalis-e2e-in-process" to one of its windows.
//   wParam 1: the system's button face colour becomes lParam (a COLORREF), as
//             the Control Panel would change it: SetSysColors, then
//             WM_SYSCOLORCHANGE to the top-level window, which is all Windows
//             sends (each process of Wine keeps its own copy of the colours).
//   wParam 2: the window lParam is painted red, as stale pixels that only a
//             repaint of the background takes away.
//   wParam 3: WM_SYSCOLORCHANGE, WM_SETTINGCHANGE and WM_THEMECHANGED sent to
//             the (top-level) window alone, as Windows sends them; the number
//             of its descendants that each reached goes into the window's
//             properties "e2e.WM_..." (Wine's SetSysColors tells every window
//             itself, so wParam 1 cannot show what the program passes on).
//   wParam 4: the font each child of the window draws with (WM_GETFONT) goes
//             into the child's property "e2e.font": its height in pixels
//             times two, plus one when it is underlined; then lParam into the
//             window's property "e2e.fonts", to say the round is done.
#include <windows.h>

namespace {

HWND topLevel = nullptr;
UINT watched = 0;
int reached = 0;

LRESULT CALLBACK countDescendants(int code, WPARAM wParam, LPARAM lParam) {
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && sent->message == watched && sent->hwnd != topLevel && IsChild(topLevel, sent->hwnd))
        ++reached;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void sendToTopLevelOnly(HWND window) {
    HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, countDescendants, nullptr, GetCurrentThreadId());
    const struct {
        UINT message;
        const wchar_t* property;
    } messages[] = {{WM_SYSCOLORCHANGE, L"e2e.WM_SYSCOLORCHANGE"},
                    {WM_SETTINGCHANGE, L"e2e.WM_SETTINGCHANGE"},
                    {WM_THEMECHANGED, L"e2e.WM_THEMECHANGED"}};
    for (const auto& m : messages) {
        topLevel = window;
        watched = m.message;
        reached = 0;
        SendMessageW(window, m.message, 0, 0);
        SetPropW(window, m.property, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(reached + 1)));
    }
    if (hook) UnhookWindowsHookEx(hook);
}

void noteControlFonts(HWND window, LPARAM round) {
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        LOGFONTW font{};
        const auto handle = reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0));
        INT_PTR value = 0;
        if (handle && GetObjectW(handle, sizeof font, &font) == sizeof font)
            value = (font.lfHeight < 0 ? -font.lfHeight : font.lfHeight) * 2 + (font.lfUnderline ? 1 : 0);
        SetPropW(child, L"e2e.font", reinterpret_cast<HANDLE>(value));
    }
    SetPropW(window, L"e2e.fonts", reinterpret_cast<HANDLE>(round));
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK inProcessHook(int code, WPARAM wParam, LPARAM lParam) {
    static const UINT request = RegisterWindowMessageW(L"horalis-e2e-in-process");
    auto* msg = reinterpret_cast<MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && msg->message == request) {
        if (msg->wParam == 1) {
            const int element = COLOR_BTNFACE;
            const auto colour = static_cast<COLORREF>(msg->lParam);
            SetSysColors(1, &element, &colour);
            SendMessageW(msg->hwnd, WM_SYSCOLORCHANGE, 0, 0);
            RedrawWindow(msg->hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        } else if (msg->wParam == 2) {
            const auto window = reinterpret_cast<HWND>(msg->lParam);
            RECT all{};
            GetClientRect(window, &all);
            HDC dc = GetDC(window);
            HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
            FillRect(dc, &all, red);
            DeleteObject(red);
            ReleaseDC(window, dc);
            GdiFlush();
        }
        if (msg->wParam == 3) sendToTopLevelOnly(msg->hwnd);
        if (msg->wParam == 4) noteControlFonts(msg->hwnd, msg->lParam);
        msg->message = WM_NULL;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
