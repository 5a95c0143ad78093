#pragma once
// A top-level window of the driver itself, for cases that need a known
// application in the foreground (its path is this driver's, its title is ours).
#include <windows.h>

#include <string>
#include <string_view>

#include "ui/framework/handles.h"

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

private:
    static DWORD WINAPI threadMain(void* parameter);
    std::wstring title_;
    HWND window_ = nullptr;
    wingui::KernelHandle ready_;
    wingui::KernelHandle thread_;
};

}  // namespace e2e
