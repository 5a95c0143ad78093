#include <windows.h>

#include <cwchar>

#include "storage/data_folder.h"

namespace horalis {

String dataFolderPath() {
    // Read afresh every time; a profile path can be longer than MAX_PATH.
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        SetLastError(ERROR_SUCCESS);
        const DWORD n = GetEnvironmentVariableW(L"APPDATA", buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) {
            if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) return dataFolderPathFor(std::nullopt);
            return dataFolderPathFor(String());
        }
        if (n < buffer.size()) {
            buffer.resize(n);
            break;
        }
        buffer.resize(n);  // n is the size needed, terminator included
    }
    return dataFolderPathFor(String(buffer.begin(), buffer.end()));
}

String thisComputerName() {
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1];
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    if (!GetComputerNameW(name, &size)) return u"computer";
    return String(name, name + size);
}

String thisUserName() {
    // UNLEN is 256; the name comes without its domain, as the profile folder has it.
    constexpr DWORD kLongestName = 256 + 1;
    wchar_t name[kLongestName];
    DWORD size = kLongestName;
    if (!GetUserNameW(name, &size) || size == 0) return u"user";
    return String(name, name + size - 1);  // size counts the terminator here
}

String newRunId() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const unsigned long long seconds = ((static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime) / 10000000ULL;
    wchar_t text[48];
    const int n = swprintf(text, 48, L"%llx-%lx", seconds, static_cast<unsigned long>(GetCurrentProcessId()));
    return n > 0 ? String(text, text + n) : String(u"run");
}

}  // namespace horalis
