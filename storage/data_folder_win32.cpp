#include <windows.h>

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

}  // namespace horalis
