#include "tracking/session_notifications_win32.h"

#include <wtsapi32.h>

#include "base/handles.h"

namespace horalis {
namespace {

constexpr UINT kRetryMs = 1000;

// Microsoft's rule for WTSRegisterSessionNotification: before the services
// it depends on have started it may fail (RPC_S_INVALID_BINDING), and it
// works once the event Global\TermSrvReadyEvent is set. Where there is no
// such event to look at, the next try tells.
bool remoteDesktopServicesReady() {
    const KernelHandle ready(OpenEventW(SYNCHRONIZE, FALSE, L"Global\\TermSrvReadyEvent"));
    return !ready || WaitForSingleObject(ready.get(), 0) == WAIT_OBJECT_0;
}

}  // namespace

void SessionNotifications::register_(HWND window, UINT_PTR retryTimer) {
    unregister();
    window_ = window;
    retryTimer_ = retryTimer;
    if (!tryRegister()) SetTimer(window_, retryTimer_, kRetryMs, nullptr);
}

bool SessionNotifications::tryRegister() {
    registered_ = WTSRegisterSessionNotification(window_, NOTIFY_FOR_THIS_SESSION) != FALSE;
    return registered_;
}

void SessionNotifications::retry() {
    if (window_ == nullptr) return;
    if (!registered_ && (!remoteDesktopServicesReady() || !tryRegister())) return;
    KillTimer(window_, retryTimer_);
}

void SessionNotifications::unregister() {
    if (window_ == nullptr) return;
    if (registered_) WTSUnRegisterSessionNotification(window_);
    else KillTimer(window_, retryTimer_);
    window_ = nullptr;
    registered_ = false;
}

}  // namespace horalis
