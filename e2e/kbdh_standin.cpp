// Stands in for kbdh.dll when Windows takes the hooks away. Built twice:
//  KBDH_DROPS_HOOKS: its hooks report input for three seconds, then are gone,
//    as when Windows removes a hook that answered too late;
//  otherwise: it never reports, as for input to an administrator's window.
// Each SetHooks call is noted as a line "on" or "off" in sethooks.log beside
// the library, so a case can count the reinstallations.
#include <windows.h>

#include "e2e/standin_log.h"

#include "tracking/input_hook.h"

namespace {

HINSTANCE library = nullptr;
HWND target = nullptr;
ULONGLONG lastPost = 0;
HANDLE thread = nullptr;
DWORD threadId = 0;

void logCall(const char* line) {
    e2e::appendBesideLibrary(library, L"sethooks.log", line);
}

LRESULT CALLBACK hookProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && GetTickCount64() - lastPost >= 1000) {
        lastPost = GetTickCount64();
        PostMessageW(target, horalis::kWmHookActivity, 0, 0);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

DWORD WINAPI hookThread(void* ready) {
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);  // the queue for WM_QUIT
    HHOOK keyboard = SetWindowsHookExW(WH_KEYBOARD_LL, hookProc, library, 0);
    HHOOK mouse = SetWindowsHookExW(WH_MOUSE_LL, hookProc, library, 0);
    SetEvent(static_cast<HANDLE>(ready));
    const UINT_PTR drop = SetTimer(nullptr, 0, 3000, nullptr);
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_TIMER && msg.wParam == drop) {
            KillTimer(nullptr, drop);
            if (keyboard) UnhookWindowsHookEx(keyboard);
            if (mouse) UnhookWindowsHookEx(mouse);
            keyboard = mouse = nullptr;
        }
    }
    if (keyboard) UnhookWindowsHookEx(keyboard);
    if (mouse) UnhookWindowsHookEx(mouse);
    return 0;
}

void stop() {
    if (thread == nullptr) return;
    PostThreadMessageW(threadId, WM_QUIT, 0, 0);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    thread = nullptr;
}

#ifdef KBDH_DROPS_HOOKS
constexpr bool kDropsHooks = true;
#else
constexpr bool kDropsHooks = false;
#endif

}  // namespace

extern "C" __declspec(dllexport) void SetHooks(int on, HWND window) {
    logCall(on ? "on\n" : "off\n");
    if (!kDropsHooks) return;
    stop();
    if (on == 0) return;
    target = window;
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    thread = CreateThread(nullptr, 0, hookThread, ready, 0, &threadId);
    if (thread) WaitForSingleObject(ready, 5000);
    CloseHandle(ready);
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) library = instance;
    return TRUE;
}
