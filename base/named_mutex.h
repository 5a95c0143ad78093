#pragma once
// Session-wide named mutexes: one running copy of each program, and the lock
// both programs take around writing the daily pair. The names are in
// base/instance_names.h.
#include <cstdint>

namespace horalis {

// The single-instance rule: the first process to make the mutex keeps it for
// its whole run.
class SingleInstance {
public:
    SingleInstance() = default;
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // Makes (or opens) the mutex and keeps it. False when another process
    // made it first, also one whose mutex this process may not open (a copy
    // running elevated); a mutex that cannot be made for any other reason lets
    // this copy run.
    bool claim(const wchar_t* name);

private:
    void* mutex_ = nullptr;  // a HANDLE, closed by the destructor
};

// Whether some process holds the mutex, also one this process may not open
// (made by a copy running elevated).
bool namedMutexExists(const wchar_t* name);

// Owns the mutex while held(): waits up to waitMs for the other holder.
class NamedLock {
public:
    NamedLock(const wchar_t* name, uint32_t waitMs);
    ~NamedLock();
    NamedLock(const NamedLock&) = delete;
    NamedLock& operator=(const NamedLock&) = delete;

    bool held() const { return held_; }

private:
    void* mutex_ = nullptr;  // a HANDLE, closed by the destructor
    bool held_ = false;
};

}  // namespace horalis
