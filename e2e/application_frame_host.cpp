// A stand-in for the store applications' frame host, named
// ApplicationFrameHost.exe: one top-level frame window, titled by its
// argument, that comes to the front when asked. The driver puts a child
// window of its own process into it, as a hosted application's window is.
#include <windows.h>

namespace {

constexpr UINT kBringToFront = WM_APP + 1;

LRESULT CALLBACK frameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case kBringToFront:
        ShowWindow(window, SW_SHOWNORMAL);
        SetForegroundWindow(window);
        SetActiveWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR title, int) {
    WNDCLASSEXW frameClass{};
    frameClass.cbSize = sizeof(frameClass);
    frameClass.lpfnWndProc = frameProc;
    frameClass.hInstance = instance;
    frameClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    frameClass.lpszClassName = L"ApplicationFrameWindow";
    if (!RegisterClassExW(&frameClass)) return 1;
    HWND frame = CreateWindowExW(0, frameClass.lpszClassName, title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 400,
                                 300, nullptr, nullptr, instance, nullptr);
    if (!frame) return 1;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
