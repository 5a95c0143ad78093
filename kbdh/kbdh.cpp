// kbdh.dll: tells one window that the user is at the keyboard or mouse.
//
// Low-level hooks run in the context of the thread that installed them (the
// program's UI thread, through its own message loop), so this library keeps its
// state in ordinary statics and needs no shared data section.
#include <windows.h>

#include "tracking/input_hook.h"

namespace {

// The receiver only keeps whole seconds, so one message a second is plenty and
// spares its queue a flood during mouse moves.
constexpr ULONGLONG kMinimumIntervalMs = 1000;

HINSTANCE libraryInstance = nullptr;
HHOOK keyboardHook = nullptr;
HHOOK mouseHook = nullptr;
HWND target = nullptr;
ULONGLONG lastPostTick = 0;
bool posted = false;

void noteActivity() {
    const ULONGLONG now = GetTickCount64();
    if (target == nullptr || (posted && now - lastPostTick < kMinimumIntervalMs)) return;
    posted = true;
    lastPostTick = now;
    PostMessageW(target, horalis::kWmHookActivity, 0, 0);
}

LRESULT CALLBACK keyboardProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) noteActivity();
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK mouseProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) noteActivity();
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void removeHooks() {
    if (keyboardHook != nullptr) UnhookWindowsHookEx(keyboardHook);
    if (mouseHook != nullptr) UnhookWindowsHookEx(mouseHook);
    keyboardHook = nullptr;
    mouseHook = nullptr;
    target = nullptr;
}

}  // namespace

extern "C" void SetHooks(int on, HWND window) {
    removeHooks();
    if (on == 0) return;
    target = window;
    posted = false;
    keyboardHook = SetWindowsHookExW(WH_KEYBOARD_LL, keyboardProc, libraryInstance, 0);
    mouseHook = SetWindowsHookExW(WH_MOUSE_LL, mouseProc, libraryInstance, 0);
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        libraryInstance = instance;
        DisableThreadLibraryCalls(instance);
    } else if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
        // Freed while hooks are still set: they must not outlive their code.
        removeHooks();
    }
    return TRUE;
}
