// kbdh.dll: tells one window that the user is at the keyboard or mouse.
//
// Windows calls a low-level hook on the thread that set it, by waking that
// thread's message loop, and silently removes the hook when it does not answer
// within LowLevelHooksTimeout (at most 1 s since Windows 10 1709); while it
// waits, the whole desktop's input stalls. The program's own thread is often
// busy (the splash pause, reports, icons), so the hooks live on a thread of
// their own here that does nothing but wait for messages. Its state is touched
// by that thread only; the caller's side keeps just the thread and its stop event.
#include <windows.h>

#include "base/handles.h"
#include "tracking/input_hook.h"
#include "tracking/input_throttle.h"

namespace {

using horalis::KernelHandle;

struct UnhookFn {
    void operator()(HHOOK hook) const { UnhookWindowsHookEx(hook); }
};
using Hook = horalis::UniqueHandle<HHOOK, UnhookFn>;

HINSTANCE libraryInstance = nullptr;

// The caller's side: the running hook thread and the event that ends it.
KernelHandle hookThread;
KernelHandle stopEvent;

// The hook thread's side.
HWND target = nullptr;
horalis::InputThrottle throttle;
KernelHandle trailingTimer;  // a waitable timer, signalled when the trailing report is due

void report() { PostMessageW(target, horalis::kWmHookActivity, 0, 0); }

// The hook procedures only note the time and post (or set the timer for the
// last input of a burst), so they always answer at once.
void noteActivity() {
    const ULONGLONG now = GetTickCount64();
    switch (throttle.onInput(now)) {
    case horalis::InputThrottle::Step::Post: report(); break;
    case horalis::InputThrottle::Step::Schedule: {
        LARGE_INTEGER due;
        due.QuadPart = -10000LL * throttle.delayFrom(now);  // relative, in 100 ns
        SetWaitableTimer(trailingTimer.get(), &due, 0, nullptr, nullptr, FALSE);
        break;
    }
    case horalis::InputThrottle::Step::Wait: break;
    }
}

LRESULT CALLBACK keyboardProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) noteActivity();
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK mouseProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) noteActivity();
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

struct StartRequest {
    HWND window;
    HANDLE stop;
    HANDLE ready;  // set once both hooks are in place (or failed)
    HMODULE self;  // the thread's own reference to this library
};

void runHooks(const StartRequest& request) {
    target = request.window;
    throttle = horalis::InputThrottle();
    trailingTimer.reset(CreateWaitableTimerW(nullptr, FALSE, nullptr));  // auto-reset: one wake per report
    Hook keyboard(SetWindowsHookExW(WH_KEYBOARD_LL, keyboardProc, libraryInstance, 0));
    Hook mouse(SetWindowsHookExW(WH_MOUSE_LL, mouseProc, libraryInstance, 0));
    SetEvent(request.ready);

    // The hook procedures run whenever this thread waits for messages, in the
    // wait or in PeekMessage, as Windows delivers them like sent messages.
    const HANDLE waits[] = {request.stop, trailingTimer.get()};
    const DWORD count = trailingTimer ? 2 : 1;
    for (;;) {
        const DWORD woken = MsgWaitForMultipleObjectsEx(count, waits, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (woken == WAIT_OBJECT_0 + 1 && count == 2) {
            if (throttle.onDue(GetTickCount64())) report();
        } else if (woken == WAIT_OBJECT_0 + count) {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            }
        } else {
            break;  // stopped, or the wait failed
        }
    }
    trailingTimer.reset();
}

DWORD WINAPI hookThreadMain(void* parameter) {
    const StartRequest request = *static_cast<StartRequest*>(parameter);
    runHooks(request);
    // The thread's reference kept the code alive even if the program freed the
    // library without SetHooks(0); it is dropped as the thread leaves it.
    FreeLibraryAndExitThread(request.self, 0);
}

void stopHookThread() {
    if (!hookThread) return;
    SetEvent(stopEvent.get());
    WaitForSingleObject(hookThread.get(), INFINITE);
    hookThread.reset();
    stopEvent.reset();
}

void startHookThread(HWND window) {
    KernelHandle stop(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    KernelHandle ready(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    StartRequest request{window, stop.get(), ready.get(), nullptr};
    if (!stop || !ready ||
        !GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCWSTR>(&hookThreadMain),
                            &request.self))
        return;
    // A few calls deep, never more: a small stack keeps the thread cheap.
    KernelHandle thread(
        CreateThread(nullptr, 64 * 1024, hookThreadMain, &request, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr));
    if (!thread) {
        FreeLibrary(request.self);
        return;
    }
    // Input is answered before anything else wants this process's time.
    SetThreadPriority(thread.get(), THREAD_PRIORITY_HIGHEST);
    // The hooks are in place when SetHooks returns; the request lives on this stack until then.
    const HANDLE waits[] = {ready.get(), thread.get()};
    WaitForMultipleObjects(2, waits, FALSE, INFINITE);
    hookThread = std::move(thread);
    stopEvent = std::move(stop);
}

}  // namespace

// Never called from DllMain: ending the thread waits for it, which the loader lock forbids.
extern "C" void SetHooks(int on, HWND window) {
    stopHookThread();
    if (on != 0) startHookThread(window);
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        libraryInstance = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}
