// Faults a user's machine can throw at the program: missing or odd settings,
// a data folder that cannot be made, a full disk, planted libraries, a second
// start, windows and processes that vanish mid-tick, hostile titles. After
// each the program must still answer and keep what it had counted.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "e2e/commands.h"
#include "e2e/driver_window.h"
#include "e2e/framework.h"
#include "e2e/session.h"

namespace {

using e2e::DriverWindow;
using e2e::ListView;
using e2e::MessageBoxWindow;
using e2e::Milliseconds;
using e2e::Session;
using e2e::Window;

constexpr int kSaveDaily = 1008;
constexpr int kShowSeconds = 1009;
constexpr int kSaveTitles = 1010;
constexpr int kAwayTimeout = 1014;
constexpr const wchar_t* kCantSave = L"Can't save configuration to a file!";

int checkState(const Window& dialog, int id) {
    return static_cast<int>(SendMessageW(dialog.control(id).handle(), BM_GETCHECK, 0, 0));
}

// The Options dialog's four values as "daily seconds titles timeout".
std::wstring shownSettings(const Window& dialog) {
    return std::to_wstring(checkState(dialog, kSaveDaily)) + L" " + std::to_wstring(checkState(dialog, kShowSeconds)) +
           L" " + std::to_wstring(checkState(dialog, kSaveTitles)) + L" " + dialog.control(kAwayTimeout).text();
}

// Opens Options, types a timeout and presses OK.
void saveTimeout(Session& app, const Window& main, const wchar_t* timeout) {
    Window dialog = e2e::openDialog(app, main, e2e::kOptionsCommand, L"Configuration");
    SendMessageW(dialog.control(kAwayTimeout).handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(timeout));
    dialog.postCommand(IDOK, BN_CLICKED);
    if (!dialog.waitClosed()) FAIL(L"the Options dialog stayed open");
}

std::wstring optionsAsShown(Session& app, const Window& main) {
    Window dialog = e2e::openDialog(app, main, e2e::kOptionsCommand, L"Configuration");
    Sleep(100);
    const std::wstring shown = shownSettings(dialog);
    e2e::cancelDialog(dialog);
    return shown;
}

void expectCantSave(Session& app) {
    MessageBoxWindow box = app.waitMessageBox(L"Error");
    EXPECT_TEXT(box, kCantSave);
    Sleep(300);
    EXPECT_TRUE(e2e::showsErrorIcon(box));
    box.clickOk();
    EXPECT_TRUE(box.waitClosed());
}

// Full paths of the modules loaded in a process.
std::vector<std::wstring> loadedModules(DWORD processId) {
    std::vector<std::wstring> paths;
    horalis::KernelHandle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
    HMODULE modules[512];
    DWORD needed = 0;
    if (!process || !EnumProcessModules(process.get(), modules, sizeof modules, &needed)) return paths;
    for (DWORD i = 0; i < needed / sizeof(HMODULE) && i < 512; ++i) {
        wchar_t name[MAX_PATH] = {};
        if (GetModuleFileNameExW(process.get(), modules[i], name, MAX_PATH)) paths.emplace_back(name);
    }
    return paths;
}

std::wstring fileNameOf(const std::wstring& path) { return path.substr(path.rfind(L'\\') + 1); }

std::optional<std::wstring> moduleNamed(DWORD processId, const wchar_t* name) {
    for (const std::wstring& path : loadedModules(processId))
        if (_wcsicmp(fileNameOf(path).c_str(), name) == 0) return path;
    return std::nullopt;
}

// The application list holds only real executables: no empty or garbled rows.
void expectOnlyExecutableRows(const Window& main) {
    ListView apps(main.control(e2e::kAppListId).handle());
    for (int row = 0; row < apps.rowCount(); ++row) {
        const std::wstring path = apps.cellText(row, 0);
        if (path == L"Idle time") continue;
        if (path.size() < 4 || path[1] != L':') {
            e2e::recordFailure(__FILE__, __LINE__, L"application row " + e2e::show(row) + L" reads " + e2e::show(path));
        }
    }
}

// PATH with a folder in front, for the lifetime of the object.
class PathInFront {
public:
    explicit PathInFront(const std::wstring& folder) {
        wchar_t old[32767] = {};
        GetEnvironmentVariableW(L"PATH", old, 32767);
        old_ = old;
        SetEnvironmentVariableW(L"PATH", (folder + L";" + old_).c_str());
    }
    ~PathInFront() { SetEnvironmentVariableW(L"PATH", old_.c_str()); }

private:
    std::wstring old_;
};

// The small drive the test script mounts (HORALIS_FULL_DRIVE, e.g. "R:"), or nothing.
std::optional<std::wstring> smallDrive() {
    wchar_t drive[16] = {};
    const DWORD n = GetEnvironmentVariableW(L"HORALIS_FULL_DRIVE", drive, 16);
    if (n == 0 || n >= 16 || !e2e::folderExists(std::wstring(drive) + L"\\")) return std::nullopt;
    return std::wstring(drive);
}

// Fills the drive to the last byte while it lives; frees it again after.
class DiskFiller {
public:
    explicit DiskFiller(const std::wstring& folder) : path_(folder + L"\\filler.bin") {
        HANDLE file = CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) FAIL(L"cannot create " + path_);
        std::vector<char> chunk(1 << 16, 'x');
        for (DWORD size = static_cast<DWORD>(chunk.size()); size > 0; size /= 2) {
            DWORD written = 0;
            while (WriteFile(file, chunk.data(), size, &written, nullptr) && written == size) filled_ += written;
        }
        CloseHandle(file);
    }
    ~DiskFiller() { DeleteFileW(path_.c_str()); }
    ULONGLONG filled() const { return filled_; }

private:
    std::wstring path_;
    ULONGLONG filled_ = 0;
};

// A folder of this case on the small drive, removed again after.
class FolderOnDrive {
public:
    FolderOnDrive(const std::wstring& drive) : path_(drive + L"\\" + e2e::config().caseName) {
        clear();
        CreateDirectoryW(path_.c_str(), nullptr);
    }
    ~FolderOnDrive() { clear(); }
    const std::wstring& path() const { return path_; }

private:
    void clear() {
        // Two levels are all the cases make: AppData\Horalis and reports.
        for (const wchar_t* sub : {L"\\AppData\\Horalis", L"\\AppData", L""}) {
            const std::wstring folder = path_ + sub;
            WIN32_FIND_DATAW found;
            HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
            if (search != INVALID_HANDLE_VALUE) {
                do {
                    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                        DeleteFileW((folder + L"\\" + found.cFileName).c_str());
                } while (FindNextFileW(search, &found));
                FindClose(search);
            }
            RemoveDirectoryW(folder.c_str());
        }
    }
    std::wstring path_;
};

bool contains(const std::string& bytes, const std::string& part) { return bytes.find(part) != std::string::npos; }

}  // namespace

E2E_TEST(faults_hook_library_planted_in_the_current_and_a_path_folder_is_never_loaded) {
    // The program's own folder has no kbdh.dll; the current folder (the
    // case's) and a folder in front of PATH have the real one.
    Session app(tmp, e2e::HookLibrary::Missing);
    const std::wstring installed = e2e::config().appFolder + L"\\kbdh.dll";
    const std::wstring onPath = tmp.file(L"on-path");
    CreateDirectoryW(onPath.c_str(), nullptr);
    ASSERT_TRUE(CopyFileW(installed.c_str(), tmp.file(L"kbdh.dll").c_str(), FALSE));
    ASSERT_TRUE(CopyFileW(installed.c_str(), (onPath + L"\\kbdh.dll").c_str(), FALSE));
    {
        PathInFront path(onPath);
        app.start();
    }
    MessageBoxWindow box = app.waitMessageBox(L"Error");
    EXPECT_TEXT(box, L"Can't load 'kbdh.dll'!");
    EXPECT_FALSE(moduleNamed(app.processId(), L"kbdh.dll").has_value());
    box.clickOk();
    MessageBoxWindow second = app.waitMessageBox(L"Error");
    EXPECT_TEXT(second, L"Can't find 'SetHooks' inside 'kbdh.dll'!");
    second.clickOk();
    app.waitMainWindow();
    const auto loaded = moduleNamed(app.processId(), L"kbdh.dll");
    if (loaded) e2e::note(L"loaded: " + *loaded);
    EXPECT_FALSE(loaded.has_value());
    app.stop();
}

E2E_TEST(faults_help_loads_the_viewer_from_the_system_folder_only) {
    // A library named hhctrl.ocx beside the program and in the current folder.
    Session app(tmp, e2e::HookLibrary::PresentInCopy);
    const std::wstring programFolder = app.programPath().substr(0, app.programPath().rfind(L'\\'));
    const std::wstring decoy = e2e::config().driverFolder + L"\\kbdh-without-sethooks.dll";
    ASSERT_TRUE(CopyFileW(decoy.c_str(), (programFolder + L"\\hhctrl.ocx").c_str(), FALSE));
    ASSERT_TRUE(CopyFileW(decoy.c_str(), tmp.file(L"hhctrl.ocx").c_str(), FALSE));
    app.start();
    Window main = app.waitMainWindow();
    // Its own kbdh.dll, by full path, beside the program.
    const auto hooks = moduleNamed(app.processId(), L"kbdh.dll");
    ASSERT_TRUE(hooks.has_value());
    EXPECT_EQ(*hooks, programFolder + L"\\kbdh.dll");

    main.postCommand(e2e::kHelpCommand);
    std::optional<std::wstring> viewer;
    EXPECT_TRUE(e2e::waitUntil([&] { return (viewer = moduleNamed(app.processId(), L"hhctrl.ocx")).has_value(); },
                               Milliseconds(10000)));
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    if (viewer) {
        e2e::note(L"hhctrl.ocx loaded from " + *viewer);
        EXPECT_EQ(_wcsicmp(viewer->c_str(), (std::wstring(system) + L"\\hhctrl.ocx").c_str()), 0);
    }
    EXPECT_TRUE(e2e::waitUntil([&] { return main.isResponsive(Milliseconds(500)); }, Milliseconds(15000)));
    app.stop();
}

E2E_TEST(faults_second_start_brings_the_running_window_forward_and_exits) {
    Session first(tmp);
    first.start();
    Window main = first.waitMainWindow();
    Sleep(1500);  // past the splash
    main.postCommand(e2e::kHideCommand);
    ASSERT_TRUE(e2e::waitUntil([&] { return !main.isVisible(); }));
    DriverWindow other(L"Something else in front");
    other.bringToFront();

    const e2e::TempDir secondFolder(tmp.file(L"second"));
    CreateDirectoryW(secondFolder.path().c_str(), nullptr);
    Session second(secondFolder);
    second.start();
    EXPECT_TRUE(second.waitExited(Milliseconds(10000)));
    // It stopped before reading settings: not even its data folder was made.
    EXPECT_FALSE(e2e::folderExists(second.dataFolder()));
    EXPECT_TRUE(e2e::waitUntil([&] { return main.isVisible() && GetForegroundWindow() == main.handle(); }));
    e2e::note(L"foreground after the second start: " + Window(GetForegroundWindow()).describe());
    EXPECT_TRUE(main.isResponsive());
    first.stop();
}

E2E_TEST_WITH_DEADLINE(faults_without_appdata_settings_live_in_the_root_of_drive_c, 90) {
    const std::wstring conf = L"C:\\conf.dat";
    DeleteFileW(conf.c_str());
    Session app(tmp);
    app.setAppData(std::nullopt);
    app.start();
    Window main = app.waitMainWindow();
    EXPECT_EQ(optionsAsShown(app, main), std::wstring(L"0 0 1 300"));
    saveTimeout(app, main, L"123");
    EXPECT_TRUE(e2e::waitUntil([&] { return e2e::readBytes(conf) == "0 0 1 123"; }, Milliseconds(3000)));
    EXPECT_TRUE(app.openMessageBoxes().empty());
    app.stop();

    // The next start reads it back from there.
    app.start();
    main = app.waitMainWindow();
    EXPECT_EQ(optionsAsShown(app, main), std::wstring(L"0 0 1 123"));
    app.stop();
    DeleteFileW(conf.c_str());
}

E2E_TEST(faults_data_folder_that_cannot_be_created_runs_on_defaults_and_says_so_on_save) {
    Session app(tmp);
    // A file where the data folder should be.
    const std::wstring blocker = app.dataFolder();
    ASSERT_TRUE(e2e::writeBytes(blocker, "not a folder"));
    app.start();
    Window main = app.waitMainWindow();
    Sleep(1500);
    // Reading the settings fails silently.
    EXPECT_TRUE(app.openMessageBoxes().empty());
    EXPECT_EQ(optionsAsShown(app, main), std::wstring(L"0 0 1 300"));
    saveTimeout(app, main, L"60");
    expectCantSave(app);
    EXPECT_TRUE(e2e::readBytes(blocker) == std::string("not a folder"));
    // Exports elsewhere still work.
    const std::wstring report = tmp.file(L"report.csv");
    e2e::exportTo(app, main, e2e::kExportCsvCommand, report);
    EXPECT_TRUE(e2e::waitUntil([&] { return e2e::fileExists(report); }, Milliseconds(5000)));
    EXPECT_TRUE(app.openMessageBoxes().empty());
    app.stop();
}

E2E_TEST(faults_read_only_settings_file_is_read_and_never_half_replaced) {
    Session app(tmp);
    CreateDirectoryW(app.dataFolder().c_str(), nullptr);
    const std::wstring conf = app.dataFolder() + L"\\conf.dat";
    ASSERT_TRUE(e2e::writeBytes(conf, "0 1 1 77"));
    ASSERT_TRUE(SetFileAttributesW(conf.c_str(), FILE_ATTRIBUTE_READONLY));
    app.start();
    Window main = app.waitMainWindow();
    EXPECT_EQ(optionsAsShown(app, main), std::wstring(L"0 1 1 77"));
    saveTimeout(app, main, L"88");
    // Windows refuses to replace a read-only file; Wine, run as root, does
    // not. Either way the box tells the truth about the file.
    std::vector<MessageBoxWindow> boxes;
    e2e::waitUntil([&] { return !(boxes = app.openMessageBoxes()).empty() || e2e::readBytes(conf) == "0 1 1 88"; },
                   Milliseconds(3000));
    if (!boxes.empty()) {
        e2e::note(L"the read-only file was not replaced");
        expectCantSave(app);
        EXPECT_TRUE(e2e::readBytes(conf) == std::string("0 1 1 77"));
    } else {
        e2e::note(L"the read-only file was replaced");
        EXPECT_TRUE(e2e::readBytes(conf) == std::string("0 1 1 88"));
    }
    EXPECT_FALSE(e2e::fileExists(conf + L".tmp"));
    // The dialog keeps what the user chose for this run.
    EXPECT_EQ(optionsAsShown(app, main), std::wstring(L"0 1 1 88"));
    app.stop();
    SetFileAttributesW(conf.c_str(), FILE_ATTRIBUTE_NORMAL);
}

E2E_TEST_WITH_DEADLINE(faults_garbage_and_ten_mebibyte_settings_files_are_survived, 90) {
    Session app(tmp);
    CreateDirectoryW(app.dataFolder().c_str(), nullptr);
    const std::wstring conf = app.dataFolder() + L"\\conf.dat";
    std::mt19937 random(8);
    auto garbage = [&](size_t size) {
        std::string bytes(size, '\0');
        for (char& c : bytes) c = static_cast<char>(random());
        return bytes;
    };

    // Binary noise from the first byte: nothing to read, the defaults hold.
    std::string noise = garbage(4097);
    noise[0] = '\xFF';
    ASSERT_TRUE(e2e::writeBytes(conf, noise));
    app.start();
    Window main = app.waitMainWindow();
    EXPECT_EQ(optionsAsShown(app, main), std::wstring(L"0 0 1 300"));
    EXPECT_TRUE(e2e::readBytes(conf) == noise);
    app.stop();

    // Ten MiB behind four good numbers: those are read, the rest costs nothing.
    std::string huge = "1 1 0 42 ";
    huge += garbage(10 << 20);
    ASSERT_TRUE(e2e::writeBytes(conf, huge));
    const ULONGLONG started = GetTickCount64();
    app.start();
    main = app.waitMainWindow();
    e2e::note(L"main window after " + e2e::show(GetTickCount64() - started) + L" ms with a 10 MiB conf.dat");
    EXPECT_EQ(optionsAsShown(app, main), std::wstring(L"1 1 0 42"));
    EXPECT_TRUE(e2e::readBytes(conf) == huge);
    // Saving replaces it with the four numbers.
    saveTimeout(app, main, L"43");
    EXPECT_TRUE(e2e::waitUntil([&] { return e2e::readBytes(conf) == "1 1 0 43"; }, Milliseconds(3000)));
    EXPECT_TRUE(app.openMessageBoxes().empty());
    app.stop();
}

E2E_TEST_WITH_DEADLINE(faults_full_disk_export_and_settings_say_so_and_lose_nothing, 90) {
    const auto drive = smallDrive();
    if (!drive) {
        e2e::skip(L"no small drive (HORALIS_FULL_DRIVE, mounted by scripts/test.sh)");
        return;
    }
    FolderOnDrive folder(*drive);
    Session app(tmp);
    const std::wstring appData = folder.path() + L"\\AppData";
    CreateDirectoryW(appData.c_str(), nullptr);
    e2e::writeSettings(appData + L"\\Horalis", "0 0 1 55");
    const std::wstring conf = appData + L"\\Horalis\\conf.dat";
    app.setAppData(appData);
    app.start();
    Window main = app.waitMainWindow();
    DriverWindow driver(L"Counted before the disk filled up");
    driver.bringToFront();
    Sleep(2000);

    const std::wstring report = folder.path() + L"\\report.csv";
    const std::wstring html = folder.path() + L"\\report.html";
    {
        DiskFiller filler(*drive);
        e2e::note(L"filled the drive with " + e2e::show(filler.filled()) + L" bytes");
        for (auto [command, path] : {std::pair{e2e::kExportCsvCommand, report}, std::pair{e2e::kExportHtmlCommand, html}}) {
            e2e::exportTo(app, main, command, path);
            MessageBoxWindow box = app.waitMessageBox(L"Error");
            EXPECT_TEXT(box, L"Can't write file!");
            Sleep(300);
            EXPECT_TRUE(e2e::showsErrorIcon(box));
            if (command == e2e::kExportCsvCommand) e2e::screenshot(L"full-disk-export");
            box.clickOk();
            EXPECT_TRUE(box.waitClosed());
        }
        // The settings file stays as it was, and no temporary file is left.
        saveTimeout(app, main, L"66");
        expectCantSave(app);
        EXPECT_TRUE(e2e::readBytes(conf) == std::string("0 0 1 55"));
        EXPECT_FALSE(e2e::fileExists(conf + L".tmp"));
        EXPECT_TRUE(main.isResponsive());
    }

    // With room again, an export holds what was counted all along.
    const std::wstring again = folder.path() + L"\\again.csv";
    e2e::exportTo(app, main, e2e::kExportCsvCommand, again);
    EXPECT_TRUE(e2e::waitUntil([&] { return contains(e2e::readBytes(again), "Counted before the disk filled up"); },
                               Milliseconds(5000)));
    saveTimeout(app, main, L"66");
    EXPECT_TRUE(e2e::waitUntil([&] { return e2e::readBytes(conf) == "0 0 1 66"; }, Milliseconds(3000)));
    EXPECT_TRUE(app.openMessageBoxes().empty());
    app.stop();
}

E2E_TEST_WITH_DEADLINE(daily_reports_on_a_full_disk_are_not_counted_as_written, 90) {
    if (e2e::skipUnlessNearMidnight()) return;
    const auto drive = smallDrive();
    if (!drive) {
        e2e::skip(L"no small drive (HORALIS_FULL_DRIVE, mounted by scripts/test-reports.sh)");
        return;
    }
    FolderOnDrive folder(*drive);
    Session app(tmp);
    const std::wstring appData = folder.path() + L"\\AppData";
    CreateDirectoryW(appData.c_str(), nullptr);
    e2e::writeSettings(appData + L"\\Horalis", "1 0 1 300");
    app.setAppData(appData);
    DiskFiller filler(*drive);
    app.start();
    Window main = app.waitMainWindow();
    DriverWindow driver(L"Kept over a full disk at midnight");
    driver.bringToFront();
    ListView apps(main.control(e2e::kAppListId).handle());
    EXPECT_TRUE(e2e::waitUntil([&] { return apps.secondsOf(e2e::driverPath()) >= 3; }, Milliseconds(8000)));
    // Past the program's 00:00: its shifted clock starts ten seconds before it.
    Sleep(16000);
    const int after = apps.secondsOf(e2e::driverPath());
    e2e::note(L"driver seconds after 00:00 on a full disk: " + e2e::show(after));
    // Not cleared: the reports did not get written, so the totals carry on.
    EXPECT_TRUE(after >= 10);
    EXPECT_TRUE(app.openMessageBoxes().empty());
    EXPECT_TRUE(main.isResponsive());
    app.stop();
}

E2E_TEST_WITH_DEADLINE(faults_foreground_windows_that_close_during_the_tick, 90) {
    Session app(tmp);
    app.start();
    Window main = app.waitMainWindow();
    std::mt19937 random(3);
    // Closed at every offset into the 500 ms tick, many times over.
    for (int i = 0; i < 60; ++i) {
        DriverWindow window(L"Closing soon " + std::to_wstring(i));
        window.bringToFront();
        Sleep(random() % 400);
    }
    DriverWindow last(L"Still here");
    last.bringToFront();
    Sleep(1500);
    EXPECT_TRUE(main.isResponsive());
    ListView apps(main.control(e2e::kAppListId).handle());
    EXPECT_TRUE(apps.secondsOf(e2e::driverPath()) >= 5);
    expectOnlyExecutableRows(main);
    app.stop();
}

E2E_TEST_WITH_DEADLINE(faults_processes_that_exit_while_their_window_is_in_front, 90) {
    Session app(tmp);
    app.start();
    Window main = app.waitMainWindow();
    const std::wstring program = e2e::shortLivedApplication(tmp.path(), L"short-lived.exe");
    std::mt19937 random(5);
    std::vector<horalis::KernelHandle> processes;
    // Gone within a few milliseconds of taking the foreground: some vanish
    // between the tick's window query and its module query.
    for (int i = 0; i < 80; ++i) {
        horalis::KernelHandle process;
        if (e2e::startShortLived(program, L"Short-lived " + std::to_wstring(i), Milliseconds(1 + random() % 150),
                                 &process))
            processes.push_back(std::move(process));
        Sleep(60 + random() % 120);
    }
    EXPECT_EQ(processes.size(), 80u);
    // Under load the last ones may still be starting; each would take the
    // foreground from the driver's window below as soon as it showed.
    const auto running = [&] {
        return std::count_if(processes.begin(), processes.end(),
                             [](const auto& p) { return WaitForSingleObject(p.get(), 0) == WAIT_TIMEOUT; });
    };
    e2e::note(L"still running after the last start: " + e2e::show(running()));
    EXPECT_TRUE(e2e::waitUntil([&] { return running() == 0; }, Milliseconds(30000)));
    DriverWindow last(L"After the short-lived ones");
    EXPECT_TRUE(last.bringToFront());
    Sleep(1500);
    EXPECT_TRUE(main.isResponsive());
    ListView apps(main.control(e2e::kAppListId).handle());
    EXPECT_TRUE(apps.secondsOf(e2e::driverPath()) >= 1);
    const int shortLivedRow = apps.rowOf(program);
    e2e::note(L"short-lived application " + std::wstring(shortLivedRow >= 0 ? L"counted" : L"never counted"));
    expectOnlyExecutableRows(main);
    app.stop();
}

E2E_TEST_WITH_DEADLINE(faults_titles_of_100000_characters_and_control_characters_are_kept_whole, 90) {
    Session app(tmp);
    app.start();
    Window main = app.waitMainWindow();
    const std::wstring longTitle = L"Long " + std::wstring(100000 - 10, L'x') + L" tail";
    const std::wstring controls = L"Tab\there\rCR\nLF\x01\x07\x1b\x7f end";
    DriverWindow driver(longTitle);
    driver.bringToFront();
    Sleep(1500);
    EXPECT_TRUE(main.isResponsive(Milliseconds(500)));
    driver.setTitle(controls);
    Sleep(1500);
    EXPECT_TRUE(main.isResponsive(Milliseconds(500)));

    const std::wstring report = tmp.file(L"titles.csv");
    e2e::exportTo(app, main, e2e::kExportSpreadsheetCommand, report);
    EXPECT_TRUE(e2e::waitUntil([&] { return e2e::fileExists(report) && !e2e::readBytes(report).empty(); },
                               Milliseconds(5000)));
    const std::string bytes = e2e::readBytes(report);
    e2e::note(L"spreadsheet CSV of " + e2e::show(bytes.size()) + L" bytes");
    // The whole long title, once.
    EXPECT_TRUE(contains(bytes, "\r\nLong " + std::string(100000 - 10, 'x') + " tail;"));
    // Quoted for its line breaks, each LF written as CR LF, the rest as is.
    EXPECT_TRUE(contains(bytes, "\r\n\"Tab\there\rCR\r\nLF\x01\x07\x1b\x7f end\";"));
    EXPECT_TRUE(app.openMessageBoxes().empty());
    expectOnlyExecutableRows(main);
    app.stop();
}

namespace {

using SuspendFn = LONG(NTAPI*)(HANDLE);

// Stops or resumes every thread of a process at once, as a machine's sleep would.
bool suspendProcess(DWORD processId, bool suspend) {
    auto call = reinterpret_cast<SuspendFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), suspend ? "NtSuspendProcess" : "NtResumeProcess")));
    horalis::KernelHandle process(OpenProcess(PROCESS_SUSPEND_RESUME, FALSE, processId));
    return call && process && call(process.get()) == 0;
}

}  // namespace

// The shifted clock comes from a file that libfaketime re-reads, starting at
// 23:59:45 on 6 December. The program is stopped, the clock moved past the
// 00:00 minute, and the program let go again: to it, the machine slept through midnight.

E2E_TEST_WITH_DEADLINE(sleep_over_midnight_still_gets_its_reports_on_waking, 90) {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    const std::wstring clock = e2e::shiftedClockFile();
    if (clock.empty() || !(now.wMonth == 12 && now.wDay == 6 && now.wHour == 23 && now.wMinute == 59)) {
        e2e::skip(L"needs the clock file from 23:59:45 on 6 December (scripts/test-reports.sh)");
        return;
    }
    Session app(tmp);
    e2e::writeSettings(app.dataFolder(), "1 0 1 300");
    const std::wstring base = app.dataFolder() + L"\\2026_07_12";
    app.start();
    Window main = app.waitMainWindow();
    DriverWindow driver(L"Counted before the sleep");
    driver.bringToFront();
    ListView apps(main.control(e2e::kAppListId).handle());
    EXPECT_TRUE(e2e::waitUntil([&] { return apps.secondsOf(e2e::driverPath()) >= 3; }, Milliseconds(8000)));
    const int before = apps.secondsOf(e2e::driverPath());
    EXPECT_FALSE(e2e::fileExists(base + L".csv"));

    ASSERT_TRUE(suspendProcess(app.processId(), true));
    ASSERT_TRUE(e2e::writeBytes(clock, "@2026-12-07 00:01:00\n"));
    // Counted, not timed: the tick count jumps with the shifted clock.
    bool moved = false;
    for (int i = 0; i < 400 && !moved; ++i) {
        Sleep(50);
        moved = e2e::localTimeReached(7, 0, 1, 0);
    }
    Sleep(1500);  // past the program's cached reading of the clock
    ASSERT_TRUE(suspendProcess(app.processId(), false));
    GetLocalTime(&now);
    e2e::note(L"woke at " + e2e::show(now.wDay) + L" " + e2e::show(now.wHour) + L":" + e2e::show(now.wMinute) + L":" +
              e2e::show(now.wSecond));
    ASSERT_TRUE(moved);

    // The first tick of the new date rolls over.
    EXPECT_TRUE(e2e::waitUntil([&] { return e2e::fileExists(base + L".html"); }, Milliseconds(15000)));
    Sleep(500);
    EXPECT_TRUE(contains(e2e::readBytes(base + L".csv"), "Counted before the sleep"));
    EXPECT_TRUE(contains(e2e::readBytes(base + L".html"), "Counted before the sleep"));
    const int after = apps.secondsOf(e2e::driverPath());
    e2e::note(L"driver seconds before the sleep: " + e2e::show(before) + L", after waking: " + e2e::show(after));
    EXPECT_TRUE(after < before);
    EXPECT_TRUE(app.openMessageBoxes().empty());
    app.stop();
}
