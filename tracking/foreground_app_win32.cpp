#include "tracking/foreground_app.h"

#include <windows.h>
#include <psapi.h>

#include <cwchar>
#include <utility>
#include <vector>

#include "base/handles.h"
#include "base/string.h"

namespace horalis {
namespace {

// The first module of a process is its executable.
bool mainModulePath(DWORD processId, String& path) {
    horalis::KernelHandle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
    HMODULE modules[1024];
    DWORD needed = 0;
    if (!EnumProcessModules(process.get(), modules, sizeof(modules), &needed)) return false;
    wchar_t name[MAX_PATH];
    if (GetModuleFileNameExW(process.get(), modules[0], name, MAX_PATH) == 0) return false;
    path = horalis::toCore(std::wstring_view(name, wcsnlen(name, MAX_PATH)));
    return true;
}

// Elevated and protected processes refuse the rights above but still give
// their image name to a limited query.
bool imagePath(DWORD processId, String& path) {
    horalis::KernelHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process) return false;
    wchar_t name[MAX_PATH];
    DWORD length = MAX_PATH;
    if (!QueryFullProcessImageNameW(process.get(), 0, name, &length)) return false;
    path = horalis::toCore(std::wstring_view(name, length));
    return true;
}

bool processPath(DWORD processId, String& path) {
    return mainModulePath(processId, path) || imagePath(processId, path);
}

BOOL CALLBACK collectChildProcess(HWND child, LPARAM list) noexcept {
    DWORD processId = 0;
    GetWindowThreadProcessId(child, &processId);
    try {
        reinterpret_cast<std::vector<uint32_t>*>(list)->push_back(processId);
    } catch (...) {
        return FALSE;
    }
    return TRUE;
}

}  // namespace

bool identifyForegroundApplication(WindowRef window, String& path) {
    const HWND handle = reinterpret_cast<HWND>(window);
    DWORD processId = 0;
    GetWindowThreadProcessId(handle, &processId);
    String hostPath;
    if (!processPath(processId, hostPath)) return false;
    if (isApplicationFrameHost(hostPath)) {
        std::vector<uint32_t> children;
        EnumChildWindows(handle, collectChildProcess, reinterpret_cast<LPARAM>(&children));
        // A hosted application whose path cannot be had leaves the host counting.
        if (const auto hosted = hostedApplicationProcess(processId, children); hosted && processPath(*hosted, path))
            return true;
    }
    path = std::move(hostPath);
    return true;
}

}  // namespace horalis
