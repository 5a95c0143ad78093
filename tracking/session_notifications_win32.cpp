#include "tracking/session_notifications_win32.h"

#include <wtsapi32.h>

namespace horalis {

void SessionNotifications::register_(HWND window) {
    unregister();
    // Fails only where there is no terminal service; the session is then never locked for us.
    if (WTSRegisterSessionNotification(window, NOTIFY_FOR_THIS_SESSION)) window_ = window;
}

void SessionNotifications::unregister() {
    if (window_ != nullptr) WTSUnRegisterSessionNotification(window_);
    window_ = nullptr;
}

}  // namespace horalis
