// The desktop activity of bench/whole-program.sh: three visible windows that
// take the foreground in turn every 3 s, one of them with a clock in its
// title that changes every second, as a browser tab with a clock makes.
// Runs for the number of seconds given as its first argument (default 130);
// with a second number N, it closes (hides) Horalis's main window N seconds
// after its start, as a user who sends it to the tray.
#include <windows.h>

#include <cwchar>
#include <cwctype>

namespace {

constexpr UINT_PTR kSwitchTimer = 1;
constexpr UINT_PTR kClockTimer = 2;
constexpr UINT_PTR kEndTimer = 3;
constexpr UINT_PTR kHideTimer = 4;
constexpr int kWindowCount = 3;

struct Windows {
    ~Windows() {
        for (HWND& w : handles) {
            if (w) DestroyWindow(w);
        }
    }
    HWND handles[kWindowCount] = {};
};

Windows gWindows;
int gForeground = 0;
unsigned gSeconds = 0;

void showClock() {
    wchar_t title[96];
    std::swprintf(title, 96, L"World clock - %02u:%02u:%02u - Web Browser", gSeconds / 3600 % 24, gSeconds / 60 % 60,
                  gSeconds % 60);
    SetWindowTextW(gWindows.handles[1], title);
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER && window == gWindows.handles[0]) {
        switch (wParam) {
        case kSwitchTimer:
            gForeground = (gForeground + 1) % kWindowCount;
            SetForegroundWindow(gWindows.handles[gForeground]);
            return 0;
        case kClockTimer:
            ++gSeconds;
            showClock();
            return 0;
        case kEndTimer: PostQuitMessage(0); return 0;
        case kHideTimer:
            KillTimer(window, kHideTimer);
            if (HWND horalis = FindWindowW(L"#32770", L"Horalis")) PostMessageW(horalis, WM_CLOSE, 0, 0);
            return 0;
        default: break;
        }
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// The n-th number (from 0) on the command line, or 0.
unsigned numberArgument(const wchar_t* commandLine, int n) {
    unsigned long value = 0;
    for (int i = 0; i <= n; ++i) {
        while (*commandLine && !std::iswdigit(*commandLine)) ++commandLine;
        if (!*commandLine) return 0;
        wchar_t* end = nullptr;
        value = std::wcstoul(commandLine, &end, 10);
        commandLine = end;
    }
    return static_cast<unsigned>(value);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = L"HoralisBenchWindow";
    if (!RegisterClassW(&windowClass)) return 1;
    const wchar_t* const titles[kWindowCount] = {L"notes.txt - Editor", L"World clock - Web Browser",
                                                 L"Terminal - build"};
    for (int i = 0; i < kWindowCount; ++i) {
        gWindows.handles[i] = CreateWindowExW(0, windowClass.lpszClassName, titles[i], WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                              700 + 40 * i, 300 + 40 * i, 400, 300, nullptr, nullptr, instance,
                                              nullptr);
        if (!gWindows.handles[i]) return 1;
    }
    showClock();
    SetForegroundWindow(gWindows.handles[0]);
    SetTimer(gWindows.handles[0], kSwitchTimer, 3000, nullptr);
    SetTimer(gWindows.handles[0], kClockTimer, 1000, nullptr);
    const unsigned seconds = numberArgument(commandLine, 0);
    SetTimer(gWindows.handles[0], kEndTimer, (seconds == 0 ? 130 : seconds) * 1000, nullptr);
    if (const unsigned hideAt = numberArgument(commandLine, 1))
        SetTimer(gWindows.handles[0], kHideTimer, hideAt * 1000, nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
