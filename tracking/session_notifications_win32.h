#pragma once
// WM_WTSSESSION_CHANGE for one window: registered by register_, and
// unregistered while the window still exists (Windows requires it before the
// window is destroyed), so the owner calls unregister() from WM_DESTROY.
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

    void register_(HWND window);
    void unregister();

private:
    HWND window_ = nullptr;
};

}  // namespace horalis
