#include "base/libraries.h"

#include <string>

#include "base/program_path.h"

namespace horalis {

Module loadFromProgramFolder(const wchar_t* libraryName) {
    const std::wstring folder = programFolder();
    if (folder.empty()) return Module();
    const std::wstring path = folder + libraryName;
    return Module(LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
}

Module loadFromSystemFolder(const wchar_t* libraryName) {
    wchar_t path[MAX_PATH] = {};
    const UINT n = GetSystemDirectoryW(path, MAX_PATH);
    if (n == 0 || n + 1 + lstrlenW(libraryName) >= MAX_PATH) return Module();
    path[n] = L'\\';
    lstrcpyW(path + n + 1, libraryName);
    return Module(LoadLibraryExW(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
}

void* systemEntryPoint(Module& library, const wchar_t* libraryName, const char* entryName) {
    if (!library) {
        library = loadFromSystemFolder(libraryName);
        if (!library) return nullptr;
    }
    return reinterpret_cast<void*>(GetProcAddress(library.get(), entryName));
}

}  // namespace horalis
