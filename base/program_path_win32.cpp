#include "base/program_path.h"

#include <windows.h>

namespace horalis {

std::wstring programPath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);  // cut off: try again with more room
    }
}

std::wstring programFolder() {
    return toWide(programFolderOf(toCore(programPath())));
}

}  // namespace horalis
