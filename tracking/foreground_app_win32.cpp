#include "tracking/foreground_app.h"

#include <windows.h>
#include <psapi.h>

#include <cwchar>

namespace horalis {
namespace {

class ProcessHandle {
public:
    explicit ProcessHandle(HANDLE handle) : handle_(handle) {}
    ~ProcessHandle() {
        if (handle_ != nullptr) CloseHandle(handle_);
    }
    ProcessHandle(const ProcessHandle&) = delete;
    ProcessHandle& operator=(const ProcessHandle&) = delete;
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

void assignPath(const wchar_t* text, size_t length, String& path) {
    path.assign(reinterpret_cast<const char16_t*>(text), length);
}

// The first module of a process is its executable.
bool mainModulePath(DWORD processId, String& path) {
    ProcessHandle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
    HMODULE modules[1024];
    DWORD needed = 0;
    if (!EnumProcessModules(process.get(), modules, sizeof(modules), &needed)) return false;
    wchar_t name[MAX_PATH];
    if (GetModuleFileNameExW(process.get(), modules[0], name, MAX_PATH) == 0) return false;
    assignPath(name, wcsnlen(name, MAX_PATH), path);
    return true;
}

// Elevated and protected processes refuse the rights above but still give
// their image name to a limited query.
bool imagePath(DWORD processId, String& path) {
    ProcessHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (process.get() == nullptr) return false;
    wchar_t name[MAX_PATH];
    DWORD length = MAX_PATH;
    if (!QueryFullProcessImageNameW(process.get(), 0, name, &length)) return false;
    assignPath(name, length, path);
    return true;
}

}  // namespace

bool identifyForegroundApplication(WindowRef window, String& path) {
    DWORD processId = 0;
    GetWindowThreadProcessId(reinterpret_cast<HWND>(window), &processId);
    return mainModulePath(processId, path) || imagePath(processId, path);
}

}  // namespace horalis
