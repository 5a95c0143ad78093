#include "base/named_mutex.h"

#include <windows.h>

namespace horalis {

SingleInstance::~SingleInstance() {
    if (mutex_) CloseHandle(static_cast<HANDLE>(mutex_));
}

bool SingleInstance::claim(const wchar_t* name) {
    HANDLE mutex = CreateMutexW(nullptr, FALSE, name);
    const DWORD error = GetLastError();
    if (mutex_) CloseHandle(static_cast<HANDLE>(mutex_));
    mutex_ = mutex;
    // CreateMutexW asks for MUTEX_ALL_ACCESS, and fails with
    // ERROR_ACCESS_DENIED for an existing mutex whose DACL does not grant it:
    // the default DACL of an elevated copy ("Run as administrator") grants a
    // normal copy nothing, so that copy holds it.
    if (!mutex) return error != ERROR_ACCESS_DENIED;
    return error != ERROR_ALREADY_EXISTS;
}

bool namedMutexExists(const wchar_t* name) {
    HANDLE mutex = OpenMutexW(SYNCHRONIZE, FALSE, name);
    // Refused: it is there, made by a process that runs elevated.
    const bool exists = mutex || GetLastError() == ERROR_ACCESS_DENIED;
    if (mutex) CloseHandle(mutex);
    return exists;
}

NamedLock::NamedLock(const wchar_t* name, uint32_t waitMs) {
    HANDLE mutex = CreateMutexW(nullptr, FALSE, name);
    // Made by the other program running elevated: it may still be waited for.
    if (!mutex) mutex = OpenMutexW(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, name);
    mutex_ = mutex;
    if (!mutex) return;
    const DWORD waited = WaitForSingleObject(mutex, waitMs);
    // Abandoned: the other holder ended while holding it; what it guarded is redone.
    held_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
}

NamedLock::~NamedLock() {
    if (!mutex_) return;
    if (held_) ReleaseMutex(static_cast<HANDLE>(mutex_));
    CloseHandle(static_cast<HANDLE>(mutex_));
}

}  // namespace horalis
