// Stands in for wtsapi32.dll at logon, before Remote Desktop Services have
// started: the first WTSRegisterSessionNotification fails with
// RPC_S_INVALID_BINDING, as Microsoft documents it may then; later ones
// work. Each call is noted as a line in wts.log beside the library
// ("register failed", "register", "unregister").
#include <windows.h>

#include "e2e/standin_log.h"

namespace {

HINSTANCE library = nullptr;
LONG registrations = 0;

void logCall(const char* line) {
    e2e::appendBesideLibrary(library, L"wts.log", line);
}

}  // namespace

extern "C" __declspec(dllexport) BOOL WINAPI WTSRegisterSessionNotification(HWND, DWORD) {
    if (InterlockedIncrement(&registrations) == 1) {
        logCall("register failed\n");
        SetLastError(RPC_S_INVALID_BINDING);
        return FALSE;
    }
    logCall("register\n");
    return TRUE;
}

extern "C" __declspec(dllexport) BOOL WINAPI WTSUnRegisterSessionNotification(HWND) {
    logCall("unregister\n");
    return TRUE;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void*) {
    if (reason == DLL_PROCESS_ATTACH) library = instance;
    return TRUE;
}
