// Stands in for the program the system associates with HTML files: appends
// the command line it was started with to the log named by its first
// argument (UTF-16 lines), so that a case can see what it was asked to open,
// and ends. The log is the driver's, not one beside this program: groups of
// cases run side by side from one build.
#include <windows.h>
#include <shellapi.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!arguments || count < 2) return 1;
    HANDLE file = CreateFileW(arguments[1], FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    std::wstring line = GetCommandLineW();
    line += L"\r\n";
    DWORD written = 0;
    WriteFile(file, line.data(), static_cast<DWORD>(line.size() * sizeof(wchar_t)), &written, nullptr);
    CloseHandle(file);
    LocalFree(arguments);
    return 0;
}
