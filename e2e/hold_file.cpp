// Keeps files open as a copy of Horalis in another user's session keeps its
// own: readable, but neither writable nor deletable, until this ends. No
// window, so the setup's search for a running copy does not see it.
//   hold-file.exe FILE...
#include <windows.h>
#include <shellapi.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argv == nullptr || argc < 2) return 2;
    for (int i = 1; i < argc; ++i) {
        if (CreateFileW(argv[i], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr) ==
            INVALID_HANDLE_VALUE)
            return 1;
    }
    Sleep(INFINITE);
    return 0;
}
