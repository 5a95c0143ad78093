#include "e2e/commands.h"

#include <algorithm>
#include <cstdio>

#include "reports/daily_reports.h"
#include "reports/pair_reader.h"

namespace e2e {
namespace {

constexpr int kFileNameField = 1148;
// The icon's static control in a message box.
constexpr int kMessageBoxIcon = 0x0440;

}  // namespace

Window waitFileDialog(const Session& session) {
    Window found;
    waitUntil([&] {
        for (const Window& w : session.windows())
            if (w.isVisible() && w.className() == L"#32770" && w.control(kFileNameField)) {
                found = w;
                return true;
            }
        return false;
    });
    return found;
}

void exportTo(const Session& session, const Window& main, int command, const std::wstring& path) {
    main.postCommand(command);
    Window dialog = waitFileDialog(session);
    if (!dialog) fail(__FILE__, __LINE__, L"no save dialog for command " + show(command));
    SendMessageW(dialog.control(kFileNameField).handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    dialog.post(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    if (!dialog.waitClosed()) {
        screenshot(L"save-dialog-stayed-open");
        fail(__FILE__, __LINE__, L"the save dialog stayed open");
    }
}

Window waitShownDialog(Session& session, std::wstring_view caption) {
    Window dialog = session.waitWindow(L"#32770", caption);
    if (!waitUntil([&] { return dialog.isVisible(); })) fail(__FILE__, __LINE__, L"never showed: " + dialog.describe());
    return dialog;
}

Window openDialog(Session& session, const Window& main, int command, std::wstring_view caption) {
    main.postCommand(command);
    return waitShownDialog(session, caption);
}

void cancelDialog(const Window& dialog) {
    dialog.postCommand(IDCANCEL, BN_CLICKED);
    // Gone, not only hidden: the next opening must not find this one.
    if (!waitUntil([&] { return !dialog.exists(); })) fail(__FILE__, __LINE__, L"stayed open: " + dialog.describe());
}

bool showsErrorIcon(const MessageBoxWindow& box) {
    const Window icon = box.control(kMessageBoxIcon);
    if (!icon || !icon.isVisible()) return false;
    const RECT rect = icon.screenRect();
    HDC screen = GetDC(nullptr);
    int red = 0;
    for (int y = rect.top; y < rect.bottom; ++y)
        for (int x = rect.left; x < rect.right; ++x) {
            const COLORREF pixel = GetPixel(screen, x, y);
            if (GetRValue(pixel) > 150 && GetGValue(pixel) < 90 && GetBValue(pixel) < 90) ++red;
        }
    ReleaseDC(nullptr, screen);
    return red > 50;
}

std::string readBytes(const std::wstring& path) {
    std::string bytes;
    FILE* file = _wfopen(path.c_str(), L"rb");
    if (!file) return bytes;
    char chunk[65536];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, file)) > 0) bytes.append(chunk, n);
    fclose(file);
    return bytes;
}

bool writeBytes(const std::wstring& path, std::string_view bytes) {
    FILE* file = _wfopen(path.c_str(), L"wb");
    if (!file) return false;
    const bool written = fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return fclose(file) == 0 && written;
}

bool skipUnlessNearMidnight(bool shiftedClockOnly) {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    bool ready = (now.wHour == 23 && now.wMinute == 59) || (now.wHour == 0 && now.wMinute < 2);
    if (shiftedClockOnly)
        ready = GetEnvironmentVariableW(L"FAKETIME", nullptr, 0) != 0 && ((now.wHour == 23 && now.wMinute == 59) || now.wHour == 0);
    if (!ready) skip(L"needs a clock shortly before 00:00 (scripts/test-reports.sh)");
    return !ready;
}

std::wstring shiftedClockFile() {
    wchar_t unixPath[1024] = {};
    const DWORD n = GetEnvironmentVariableW(L"FAKETIME_TIMESTAMP_FILE", unixPath, 1024);
    if (n == 0 || n >= 1024) return {};
    std::wstring path = L"Z:" + std::wstring(unixPath);
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return path;
}

std::wstring startClockAt(std::string_view start) {
    const std::wstring clock = shiftedClockFile();
    if (clock.empty() || !writeBytes(clock, start)) {
        skip(L"needs the clock file of scripts/test-reports.sh");
        return {};
    }
    Sleep(1200);  // libfaketime reads the file again within a second
    return clock;
}

bool localTimeReached(int day, int hour, int minute, int second) {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    const long have = ((now.wDay * 24L + now.wHour) * 60 + now.wMinute) * 60 + now.wSecond;
    return have >= ((day * 24L + hour) * 60 + minute) * 60 + second;
}

void endSession(HWND window) {
    DWORD_PTR answer = 0;
    EXPECT_TRUE(SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 10000,
                                    &answer) != 0);
    EXPECT_EQ(answer, DWORD_PTR{TRUE});
    SendMessageTimeoutW(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 10000, &answer);
}

std::wstring midnightBaseName() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    if (now.wHour == 23) {
        FILETIME file{};
        SystemTimeToFileTime(&now, &file);
        ULARGE_INTEGER value{{file.dwLowDateTime, file.dwHighDateTime}};
        value.QuadPart += 3600ULL * 10000000ULL;
        file = {value.LowPart, value.HighPart};
        FileTimeToSystemTime(&file, &now);
    }
    wchar_t name[32];
    swprintf(name, 32, L"%d_%02d_%02d", now.wYear, now.wDay, now.wMonth);
    return name;
}

int64_t pairSeconds(const std::wstring& csv) {
    horalis::DailyPairTotals pair;
    if (!fileExists(csv) || horalis::readDailyCsv(readBytes(csv), pair) != horalis::PairReadResult::Read) return -1;
    const std::wstring driver = driverPath();
    for (const auto& app : pair.applications)
        if (std::wstring(app.path.begin(), app.path.end()) == driver) return app.seconds;
    return -1;
}

int countSeconds(const Window& main, int atLeast) {
    ListView apps(main.control(kAppListId).handle());
    waitUntil([&] { return apps.secondsOf(driverPath()) >= atLeast; }, Milliseconds(8000));
    return apps.secondsOf(driverPath());
}

std::wstring todaysPair(const std::wstring& folder) {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    const horalis::LocalTime today{now.wYear, now.wMonth, now.wDay};
    return folder + horalis::toWide(horalis::dailyPairBaseName(today));
}

void writeSettings(const std::wstring& folder, std::string_view text) {
    CreateDirectoryW(folder.c_str(), nullptr);
    if (!writeBytes(folder + L"\\conf.dat", text)) fail(__FILE__, __LINE__, L"cannot write conf.dat in " + folder);
}

}  // namespace e2e

namespace e2e {

std::wstring shortLivedApplication(const std::wstring& folder, const std::wstring& fileName) {
    const std::wstring path = folder + L"\\" + fileName;
    if (!fileExists(path) && !CopyFileW((config().driverFolder + L"\\flash-window.exe").c_str(), path.c_str(), FALSE))
        fail(__FILE__, __LINE__, L"cannot copy flash-window.exe to " + path);
    return path;
}

DWORD startShortLived(const std::wstring& program, const std::wstring& title, Milliseconds lifetime,
                      horalis::KernelHandle* process) {
    std::wstring commandLine = L"\"" + program + L"\" \"" + title + L"\" " + std::to_wstring(lifetime.count());
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &started))
        return 0;
    CloseHandle(started.hThread);
    // It ends itself after its lifetime.
    horalis::KernelHandle handle(started.hProcess);
    if (process) *process = std::move(handle);
    return started.dwProcessId;
}

}  // namespace e2e

namespace e2e {
namespace {

bool setDefaultValue(HKEY root, const wchar_t* path, const std::wstring& value) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(root, path, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    const bool ok = RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
    RegCloseKey(key);
    return ok;
}

}  // namespace

// HKCU\Software\Classes is where a user's own association lives on Windows;
// Wine reads associations from the machine's classes only, so both are set.
StandInHtmlProgram::StandInHtmlProgram() {
    const std::wstring program = config().driverFolder + L"\\record-open.exe";
    log = config().workFolder + L"\\opened.txt";
    DeleteFileW(log.c_str());
    const std::wstring command = L"\"" + program + L"\" \"" + log + L"\" \"%1\"";
    for (int r = 0; r < 2; ++r) {
        wchar_t value[256] = {};
        DWORD size = sizeof value - sizeof(wchar_t);
        if (RegGetValueW(kRoots[r], L"Software\\Classes\\.html", nullptr, RRF_RT_REG_SZ, nullptr, value, &size) ==
            ERROR_SUCCESS)
            previous[r] = value;
        set = setDefaultValue(kRoots[r], L"Software\\Classes\\.html", L"Horalis.E2E.html") &&
              setDefaultValue(kRoots[r], L"Software\\Classes\\Horalis.E2E.html\\shell\\open\\command", command);
        if (!set) return;
    }
}

StandInHtmlProgram::~StandInHtmlProgram() {
    for (int r = 0; r < 2; ++r) {
        RegDeleteTreeW(kRoots[r], L"Software\\Classes\\Horalis.E2E.html");
        if (previous[r].empty())
            RegDeleteKeyValueW(kRoots[r], L"Software\\Classes\\.html", nullptr);
        else
            setDefaultValue(kRoots[r], L"Software\\Classes\\.html", previous[r]);
    }
}

std::wstring StandInHtmlProgram::opened() const {
    const std::string bytes = readBytes(log);
    return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
}

std::string openHistoryPage(const Window& main, const std::wstring& dataFolder) {
    StandInHtmlProgram browser;
    if (!browser.set) return {};
    main.postCommand(kOpenHistoryCommand);
    if (!waitUntil([&] { return !browser.opened().empty(); }, Milliseconds(10000))) return {};
    return readBytes(dataFolder + L"\\history.html");
}

}  // namespace e2e
