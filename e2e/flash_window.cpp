// A short-lived application for the fault and soak cases: shows one window
// with the title given, takes the foreground and ends the process abruptly
// after the given milliseconds, window and all, as a crashing program would.
//   flash-window.exe TITLE MILLISECONDS
#include <windows.h>
#include <shellapi.h>

#include <cwchar>

namespace {

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER) ExitProcess(0);
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argv == nullptr || argc < 3) return 2;
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = L"HoralisE2EFlashWindow";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, argv[1], WS_OVERLAPPEDWINDOW | WS_VISIBLE, 200, 200,
                                  300, 200, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) return 1;
    SetForegroundWindow(window);
    const UINT lifetime = static_cast<UINT>(wcstoul(argv[2], nullptr, 10));
    if (lifetime == 0) ExitProcess(0);
    SetTimer(window, 1, lifetime, nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
    return 0;
}
