#pragma once
// A top-level window of the driver itself, for cases that need a known
// application in the foreground (its path is this driver's, its title is ours).
#include <windows.h>

#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <string_view>

#include "base/handles.h"

namespace e2e {

class DriverWindow {
public:
    explicit DriverWindow(std::wstring_view title);
    ~DriverWindow();
    DriverWindow(const DriverWindow&) = delete;
    DriverWindow& operator=(const DriverWindow&) = delete;

    HWND handle() const { return window_; }
    void setTitle(std::wstring_view title);
    // Makes it the foreground window; true once the system says it is.
    bool bringToFront();
    // Runs work on the window's own thread (hooks, for one, belong to the
    // thread that sets them) and returns when it is done.
    void runOnWindowThread(const std::function<void()>& work);
    // How many messages of this number (WM_USER and above) the window has had.
    int received(UINT message) const;

private:
    static DWORD WINAPI threadMain(void* parameter);
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    mutable std::mutex mutex_;
    std::map<UINT, int> received_;
    std::wstring title_;
    HWND window_ = nullptr;
    horalis::KernelHandle ready_;
    horalis::KernelHandle thread_;
};

}  // namespace e2e
