// The least a meter must do: a hidden window whose 500 ms timer makes the
// Win32 calls of Horalis's tick (clock, local time, pointer, foreground
// window, its title, the window test, the owning executable) and nothing
// else. bench/whole-program.sh runs it beside Horalis.exe to measure what
// the program costs on top of that floor.
#include <windows.h>
#include <psapi.h>

#include <ctime>
#include <string>

namespace {

constexpr UINT_PTR kTimerId = 291;
constexpr UINT kTimerPeriodMs = 500;

struct KernelHandle {
    explicit KernelHandle(HANDLE h) : handle(h) {}
    ~KernelHandle() {
        if (handle) CloseHandle(handle);
    }
    KernelHandle(const KernelHandle&) = delete;
    KernelHandle& operator=(const KernelHandle&) = delete;
    HANDLE handle;
};

struct Window {
    ~Window() {
        if (handle) DestroyWindow(handle);
    }
    HWND handle = nullptr;
};

// What the tick keeps, so that the calls cannot be optimised away.
volatile size_t gSink = 0;

bool executablePath(DWORD processId, std::wstring& path) {
    KernelHandle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
    HMODULE modules[1024];
    DWORD needed = 0;
    wchar_t name[MAX_PATH];
    if (EnumProcessModules(process.handle, modules, sizeof(modules), &needed) &&
        GetModuleFileNameExW(process.handle, modules[0], name, MAX_PATH) != 0) {
        path = name;
        return true;
    }
    KernelHandle limited(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    DWORD length = MAX_PATH;
    if (!limited.handle || !QueryFullProcessImageNameW(limited.handle, 0, name, &length)) return false;
    path.assign(name, length);
    return true;
}

void tick() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_s(&local, &now);

    CURSORINFO cursor{};
    cursor.cbSize = sizeof(cursor);
    if (GetCursorInfo(&cursor)) gSink = gSink + reinterpret_cast<size_t>(cursor.hCursor);

    HWND window = GetForegroundWindow();
    if (!window) return;
    std::wstring title;
    const int length = GetWindowTextLengthW(window);
    if (length > 0) {
        title.assign(static_cast<size_t>(length) + 1, L'\0');
        title.resize(static_cast<size_t>(GetWindowTextW(window, title.data(), length + 1)));
    }
    WINDOWINFO info{};
    info.cbSize = sizeof(info);
    if (!GetWindowInfo(window, &info)) return;
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    std::wstring path;
    if (executablePath(processId, path)) gSink = gSink + path.size() + title.size() + local.tm_min;
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TIMER: tick(); return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"HoralisReferenceMeter";
    if (!RegisterClassW(&windowClass)) return 1;
    Window window;
    // A top-level window that is never shown (not message-only, like the program's own).
    window.handle = CreateWindowExW(0, windowClass.lpszClassName, L"Reference meter", WS_OVERLAPPED, 0, 0, 100, 100,
                                    nullptr, nullptr, instance, nullptr);
    if (!window.handle) return 1;
    SetTimer(window.handle, kTimerId, kTimerPeriodMs, nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    window.handle = nullptr;  // destroyed by the time the loop ends
    return static_cast<int>(message.wParam);
}
