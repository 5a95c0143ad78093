#pragma once
// WM_WTSSESSION_CHANGE for one window: registered by register_, and
// unregistered while the window still exists (Windows requires it before the
// window is destroyed), so the owner calls unregister() from WM_DESTROY.
// At logon, which is when the reporter starts from the Run key, the
// registration can fail because Remote Desktop Services have not started
// yet; a timer of the window then tries again until it works, and the owner
// routes that timer to retry().
// Wine accepts the registration but never locks a session; the end-to-end
// cases post the notifications themselves.
#include <windows.h>

namespace horalis {

class SessionNotifications {
public:
    SessionNotifications() = default;
    ~SessionNotifications() { unregister(); }
    SessionNotifications(const SessionNotifications&) = delete;
    SessionNotifications& operator=(const SessionNotifications&) = delete;

    // retryTimer: the window's timer id for the tries after a failed one.
    void register_(HWND window, UINT_PTR retryTimer);
    // The retry timer fired.
    void retry();
    void unregister();

private:
    bool tryRegister();
    HWND window_ = nullptr;
    UINT_PTR retryTimer_ = 0;
    bool registered_ = false;
};

}  // namespace horalis
