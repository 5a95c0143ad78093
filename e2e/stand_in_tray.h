#pragma once
// A stand-in for the shell's notification area: a window of the tray's class,
// found before Explorer's (newest and topmost), that answers the requests
// Shell_NotifyIconW sends it as WM_COPYDATA, either refusing them all (as
// Explorer still starting at logon does) or taking them, and notes each one.
#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>

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
    // The tip of the last request that carried one; empty before.
    std::wstring lastTip() const;
    // The last icon's colours are all greys (a 32-bit icon; false before).
    bool lastIconGrey() const { return iconGrey_; }
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
    std::atomic<bool> iconGrey_{false};
    mutable std::mutex mutex_;
    std::wstring tip_;
};

}  // namespace e2e
