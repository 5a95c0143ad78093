#pragma once
// The calls a stand-in DLL was given, one line each in a file beside it, for
// the case to read back.
#include <windows.h>

namespace e2e {

inline void appendBesideLibrary(HINSTANCE library, const wchar_t* fileName, const char* line) {
    wchar_t path[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameW(library, path, MAX_PATH);
    wchar_t* slash = n > 0 ? wcsrchr(path, L'\\') : nullptr;
    if (slash == nullptr) return;
    lstrcpyW(slash + 1, fileName);
    HANDLE file = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, line, lstrlenA(line), &written, nullptr);
    CloseHandle(file);
}

}  // namespace e2e
