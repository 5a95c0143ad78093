// A stand-in for what happens inside the program's own process: the driver
// hooks the program's thread with this library (WH_GETMESSAGE) and posts the
// registered message "horalis-e2e-in-process" to one of its windows.
//   wParam 1: the system's button face colour becomes lParam (a COLORREF), as
//             the Control Panel would change it: SetSysColors, then
//             WM_SYSCOLORCHANGE to the top-level window, which is all Windows
//             sends (each process of Wine keeps its own copy of the colours).
//   wParam 2: the window lParam is painted red, as stale pixels that only a
//             repaint of the background takes away.
#include <windows.h>

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
        msg->message = WM_NULL;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
