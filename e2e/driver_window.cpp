#include "e2e/driver_window.h"

#include <exception>

#include "e2e/ui.h"

namespace e2e {
namespace {

constexpr const wchar_t* kClassName = L"HoralisE2EDriverWindow";
constexpr UINT kBringToFront = WM_APP + 1;
constexpr UINT kRunWork = WM_APP + 2;

}  // namespace

// The window lives on a thread of its own with its own message loop, so it
// answers the system (and the program under test) while a case waits.
DriverWindow::DriverWindow(std::wstring_view title)
    : title_(title), ready_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
    thread_.reset(CreateThread(nullptr, 0, threadMain, this, 0, nullptr));
    if (!thread_ || WaitForSingleObject(ready_.get(), 10000) != WAIT_OBJECT_0 || window_ == nullptr)
        FAIL(L"cannot create the driver's own window");
}

DriverWindow::~DriverWindow() {
    if (window_ != nullptr) PostMessageW(window_, WM_CLOSE, 0, 0);
    if (thread_) WaitForSingleObject(thread_.get(), 5000);
}

LRESULT CALLBACK DriverWindow::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<DriverWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
    case kBringToFront:
        // On the window's own thread, which owns the input state.
        ShowWindow(window, SW_SHOWNORMAL);
        SetForegroundWindow(window);
        SetActiveWindow(window);
        return 0;
    case kRunWork:
        // A failure in the work is handed back to the caller, not thrown through the system.
        try {
            (*reinterpret_cast<const std::function<void()>*>(lParam))();
        } catch (...) {
            *reinterpret_cast<std::exception_ptr*>(wParam) = std::current_exception();
        }
        return 0;
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        if (message >= WM_USER && self != nullptr) {
            std::lock_guard lock(self->mutex_);
            ++self->received_[message];
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

DWORD WINAPI DriverWindow::threadMain(void* parameter) {
    auto* self = static_cast<DriverWindow*>(parameter);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kClassName;
    RegisterClassExW(&windowClass);  // fails harmlessly when a previous window registered it
    self->window_ = CreateWindowExW(0, kClassName, self->title_.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 700, 400,
                                    400, 250, nullptr, nullptr, windowClass.hInstance, self);
    SetEvent(self->ready_.get());
    if (self->window_ == nullptr) return 1;
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}

void DriverWindow::setTitle(std::wstring_view title) {
    title_ = title;
    SendMessageW(window_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(title_.c_str()));
}

void DriverWindow::runOnWindowThread(const std::function<void()>& work) {
    std::exception_ptr failure;
    SendMessageW(window_, kRunWork, reinterpret_cast<WPARAM>(&failure), reinterpret_cast<LPARAM>(&work));
    if (failure) std::rethrow_exception(failure);
}

int DriverWindow::received(UINT message) const {
    std::lock_guard lock(mutex_);
    const auto found = received_.find(message);
    return found == received_.end() ? 0 : found->second;
}

bool DriverWindow::bringToFront() {
    return waitUntil([&] {
        SendMessageW(window_, kBringToFront, 0, 0);
        return GetForegroundWindow() == window_;
    }, Milliseconds(3000), Milliseconds(50));
}

}  // namespace e2e
