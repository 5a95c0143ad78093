#include "tracking/foreground_app.h"

#include <windows.h>
#include <psapi.h>

#include <cwchar>

#include "ui/framework/handles.h"
#include "ui/framework/strings.h"

namespace horalis {
namespace {

// The first module of a process is its executable.
bool mainModulePath(DWORD processId, String& path) {
    wingui::KernelHandle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
    HMODULE modules[1024];
    DWORD needed = 0;
    if (!EnumProcessModules(process.get(), modules, sizeof(modules), &needed)) return false;
    wchar_t name[MAX_PATH];
    if (GetModuleFileNameExW(process.get(), modules[0], name, MAX_PATH) == 0) return false;
    path = wingui::toCore(std::wstring_view(name, wcsnlen(name, MAX_PATH)));
    return true;
}

// Elevated and protected processes refuse the rights above but still give
// their image name to a limited query.
bool imagePath(DWORD processId, String& path) {
    wingui::KernelHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process) return false;
    wchar_t name[MAX_PATH];
    DWORD length = MAX_PATH;
    if (!QueryFullProcessImageNameW(process.get(), 0, name, &length)) return false;
    path = wingui::toCore(std::wstring_view(name, length));
    return true;
}

}  // namespace

bool identifyForegroundApplication(WindowRef window, String& path) {
    DWORD processId = 0;
    GetWindowThreadProcessId(reinterpret_cast<HWND>(window), &processId);
    return mainModulePath(processId, path) || imagePath(processId, path);
}

}  // namespace horalis
