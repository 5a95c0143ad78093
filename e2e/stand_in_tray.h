#pragma once
// A stand-in for the shell's notification area: a window of the tray's class,
// found before Explorer's (newest and topmost), that answers the requests
// Shell_NotifyIconW sends it as WM_COPYDATA, either refusing them all (as
// Explorer still starting at logon does) or taking them, and notes each one.
#include <windows.h>

#include <atomic>

#include "base/handles.h"

namespace e2e {

class StandInTray {
public:
    explicit StandInTray(bool takesRequests);
    ~StandInTray() { close(); }
    StandInTray(const StandInTray&) = delete;
    StandInTray& operator=(const StandInTray&) = delete;

    int requests() const { return requests_; }
    // Width in pixels of the icon of the last request that carried one; 0 before.
    int lastIconWidth() const { return iconWidth_; }
    // Gone: the next request reaches Explorer again.
    void close();

private:
    static DWORD WINAPI run(void* parameter);
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    bool takes_;
    horalis::KernelHandle ready_;
    horalis::KernelHandle thread_;
    HWND window_ = nullptr;
    std::atomic<int> requests_{0};
    std::atomic<int> iconWidth_{0};
};

}  // namespace e2e
