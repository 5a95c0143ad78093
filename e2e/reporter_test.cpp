// HoralisReporter.exe as the system starts it at log-on: the command line the
// reporter manager writes, no window to see, the daily pair at 00:00.
#include <windows.h>
#include <sddl.h>

#include <cstdio>
#include <optional>
#include <string>

#include "e2e/commands.h"
#include "e2e/driver_window.h"
#include "e2e/framework.h"
#include "e2e/session.h"
#include "e2e/ui.h"
#include "base/handles.h"
#include "reports/pair_reader.h"

namespace {

using e2e::Milliseconds;
using e2e::Window;

constexpr const wchar_t* kCaption = L"Horalis Reporter";
constexpr const wchar_t* kWindowClass = L"HoralisReporterWindow";
constexpr const wchar_t* kTitle = L"Reporter's report; \"quoted\" title";

std::wstring reporterPath() { return e2e::config().appFolder + L"\\HoralisReporter.exe"; }

// One start of the reporter with the given text after the program's path.
class Reporter {
public:
    // appData: the APPDATA it gets instead of the driver's.
    Reporter(const e2e::TempDir& tmp, const std::wstring& arguments,
             const std::optional<std::wstring>& appData = std::nullopt) {
        const std::wstring program = reporterPath();
        if (!e2e::fileExists(program)) FAIL(L"no " + program);
        // Unquoted, as in the Run key: the data folder is the only quoted part.
        std::wstring commandLine = program + arguments;
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION started{};
        std::wstring environment = appData ? e2e::environmentWith(appData) : std::wstring();
        if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                            appData ? CREATE_UNICODE_ENVIRONMENT : 0, appData ? environment.data() : nullptr,
                            tmp.path().c_str(), &startup, &started))
            FAIL(L"cannot start " + program + L" (error " + std::to_wstring(GetLastError()) + L")");
        CloseHandle(started.hThread);
        process_.reset(started.hProcess);
        processId_ = started.dwProcessId;
        e2e::trackProcess(process_.get());
    }
    ~Reporter() {
        e2e::untrackProcess(process_.get());
        TerminateProcess(process_.get(), 1);
        WaitForSingleObject(process_.get(), 5000);
    }
    Reporter(const Reporter&) = delete;
    Reporter& operator=(const Reporter&) = delete;

    DWORD processId() const { return processId_; }
    bool waitExited(Milliseconds timeout = e2e::kDefaultWait) const {
        return WaitForSingleObject(process_.get(), static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0;
    }
    DWORD exitCode() const {
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(process_.get(), &code);
        return code;
    }
    Window waitWindow(std::wstring_view className, std::wstring_view caption) const {
        Window found;
        e2e::waitUntil([&] { return bool(found = e2e::findTopLevel(processId_, className, caption)); });
        return found;
    }
    std::vector<Window> visibleWindows() const {
        std::vector<Window> visible;
        for (const Window& window : e2e::topLevelWindows(processId_))
            if (window.isVisible()) visible.push_back(window);
        return visible;
    }

private:
    horalis::KernelHandle process_;
    DWORD processId_ = 0;
};

std::wstring quoted(const std::wstring& text) { return L" \"" + text + L"\""; }


std::string ansi(const std::wstring& text) {
    std::string bytes(text.size() * 2 + 1, '\0');
    const int n = WideCharToMultiByte(1251, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(),
                                      static_cast<int>(bytes.size()), nullptr, nullptr);
    bytes.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return bytes;
}

// The reporter's folder with conf.dat: by default daily reports off, which
// the reporter does not heed; titles on, away after 300 s.
std::wstring makeDataFolder(const e2e::TempDir& tmp, const char* settings = "0 0 1 300") {
    const std::wstring folder = tmp.file(L"Data Folder");
    e2e::writeSettings(folder, settings);
    return folder;
}

}  // namespace

E2E_TEST_WITH_DEADLINE(reporter_with_a_bad_command_line_shows_one_box_and_exits, 90) {
    const std::wstring missingFolder = tmp.file(L"no such folder");
    const struct {
        std::wstring arguments;
        std::wstring firstLine;
    } cases[] = {
        {L"", L"No data folder was given."},
        {quoted(missingFolder), L"The data folder \"" + missingFolder + L"\" does not exist."},
        {quoted(tmp.path()) + quoted(tmp.path()), L"More than one argument was given."},
    };
    for (const auto& c : cases) {
        e2e::note(L"command line: HoralisReporter.exe" + c.arguments);
        Reporter reporter(tmp, c.arguments);
        e2e::MessageBoxWindow box(reporter.waitWindow(L"#32770", kCaption).handle());
        ASSERT_TRUE(box.exists());
        const std::wstring text = box.text();
        EXPECT_EQ(text.substr(0, c.firstLine.size()), c.firstLine);
        EXPECT_TRUE(text.find(L"HoralisReporter.exe \"C:\\Users\\Name\\AppData\\Roaming\\Horalis\"") !=
                    std::wstring::npos);
        EXPECT_TRUE(box.buttons() == std::vector<int>{IDOK});
        EXPECT_EQ(reporter.visibleWindows().size(), size_t{1});
        if (c.arguments.empty()) e2e::screenshot(L"bad-argument");
        box.clickOk();
        EXPECT_TRUE(reporter.waitExited());
        EXPECT_EQ(reporter.exitCode(), DWORD{0});
    }
}

E2E_TEST_WITH_DEADLINE(reporter_runs_once_per_session_unseen_and_ends_with_the_session, 60) {
    const std::wstring folder = makeDataFolder(tmp);
    Reporter reporter(tmp, quoted(folder));
    Window window = reporter.waitWindow(kWindowClass, kCaption);
    ASSERT_TRUE(window.exists());
    EXPECT_FALSE(window.isVisible());
    Sleep(1500);  // a few ticks
    EXPECT_TRUE(reporter.visibleWindows().empty());
    EXPECT_TRUE(window.isResponsive());

    // A second start, as after a second log-on entry, ends at once and quietly.
    {
        Reporter second(tmp, quoted(folder));
        EXPECT_TRUE(second.waitExited(Milliseconds(5000)));
        EXPECT_EQ(second.exitCode(), DWORD{0});
    }
    EXPECT_FALSE(reporter.waitExited(Milliseconds(0)));

    // Log-off: it agrees to end, writes the day so far into its pair (named
    // after the day after it) and, told the session ends, is gone.
    e2e::endSession(window.handle());
    EXPECT_TRUE(reporter.waitExited(Milliseconds(5000)));
    EXPECT_EQ(reporter.exitCode(), DWORD{0});
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*_*_*.csv").c_str(), &found);
    EXPECT_TRUE(search != INVALID_HANDLE_VALUE);
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
}

// The setup closes the reporter with WM_CLOSE before an upgrade, as taskkill
// without /f does: it saves its day as at a log-off and ends. A suspend
// before it changes nothing of that.
E2E_TEST_WITH_DEADLINE(reporter_closed_with_wm_close_keeps_its_day, 60) {
    const std::wstring folder = makeDataFolder(tmp);
    e2e::DriverWindow driver(kTitle);
    driver.bringToFront();
    Reporter reporter(tmp, quoted(folder));
    const Window window = reporter.waitWindow(kWindowClass, kCaption);
    ASSERT_TRUE(window.exists());
    DWORD_PTR answer = 0;
    EXPECT_TRUE(SendMessageTimeoutW(window.handle(), WM_POWERBROADCAST, PBT_APMSUSPEND, 0, SMTO_ABORTIFHUNG, 2000,
                                    &answer) != 0 &&
                answer == TRUE);
    window.post(WM_POWERBROADCAST, PBT_APMRESUMESUSPEND);
    Sleep(4000);
    driver.bringToFront();
    const ULONGLONG start = GetTickCount64();
    SendMessageTimeoutW(window.handle(), WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer);
    EXPECT_TRUE(reporter.waitExited(Milliseconds(5000)));
    e2e::note(L"WM_CLOSE to the end of the process: " + e2e::show(GetTickCount64() - start) + L" ms");
    EXPECT_EQ(reporter.exitCode(), DWORD{0});
    const int64_t seconds = e2e::pairSeconds(e2e::todaysPair(folder) + L".csv");
    e2e::note(L"the pair holds " + e2e::show(seconds) + L" s of the driver's window");
    EXPECT_TRUE(seconds >= 2);
}

E2E_TEST_WITH_DEADLINE(reporter_writes_daily_reports_at_midnight_under_a_shifted_clock, 90) {
    if (e2e::skipUnlessNearMidnight(true)) return;
    // Away after 3 s: only kbdh.dll's messages keep the user present.
    const std::wstring folder = makeDataFolder(tmp, "0 0 1 3");
    const std::wstring base = folder + L"\\" + e2e::midnightBaseName();
    e2e::DriverWindow driver(kTitle);
    driver.bringToFront();
    // As the reporter manager writes it, data folder with a blank included.
    Reporter reporter(tmp, quoted(folder));
    ASSERT_TRUE(reporter.waitWindow(kWindowClass, kCaption).exists());

    // The user types until 00:00.
    EXPECT_TRUE(e2e::waitUntil([&] {
        e2e::tapKey(VK_SHIFT);
        return e2e::fileExists(base + L".html");
    }, Milliseconds(30000), Milliseconds(300)));
    Sleep(500);
    const std::string csv = e2e::readBytes(base + L".csv");
    const std::string html = e2e::readBytes(base + L".html");
    EXPECT_TRUE(csv.find("Idle time") == std::string::npos);
    e2e::note(L"daily CSV " + base + L".csv: " + e2e::widen(csv.substr(0, 300)));
    e2e::note(L"daily HTML: " + e2e::widen(html.substr(0, 300)));
    // The daily layout with titles, the driver's window counted under its path.
    // The title holds ';' and '"', so it is quoted, its quotes doubled.
    const std::string title = "\"Reporter's report; \"\"quoted\"\" title\"";
    const std::string expectedStart = ansi(e2e::driverPath()) + "\r\n\r\nWindows:\r\n\r\n" + title + "\r\n;";
    EXPECT_EQ(e2e::widen(csv.substr(0, expectedStart.size())), e2e::widen(expectedStart));
    EXPECT_TRUE(html.find("Generated on ") != std::string::npos);
    EXPECT_TRUE(html.find("Reporter's report; &quot;quoted&quot; title") != std::string::npos);
    EXPECT_TRUE(reporter.visibleWindows().empty());
    EXPECT_FALSE(reporter.waitExited(Milliseconds(0)));
}

// Under faketime every program's clock starts ten seconds before 00:00 when
// it starts, so Horalis.exe, started four seconds after the reporter, reaches
// its 00:00 four seconds later: the time the pair appears tells who wrote it.
E2E_TEST_WITH_DEADLINE(reporter_leaves_daily_reports_to_a_running_horalis_that_writes_them, 120) {
    if (e2e::skipUnlessNearMidnight(true)) return;
    for (const bool horalisWrites : {true, false}) {
        e2e::TempDir round(tmp.file(horalisWrites ? L"daily-on" : L"daily-off"));
        CreateDirectoryW(round.path().c_str(), nullptr);
        e2e::Session horalis(round);
        e2e::writeSettings(horalis.dataFolder(), horalisWrites ? "1 0 1 300" : "0 0 1 300");
        const std::wstring base = horalis.dataFolder() + L"\\" + e2e::midnightBaseName();
        e2e::DriverWindow driver(kTitle);
        driver.bringToFront();

        Reporter reporter(round, quoted(horalis.dataFolder()));
        const ULONGLONG reporterStart = GetTickCount64();
        ASSERT_TRUE(reporter.waitWindow(kWindowClass, kCaption).exists());
        Sleep(4000);
        horalis.start();
        horalis.waitMainWindow();
        driver.bringToFront();

        // Two seconds past the reporter's 00:00, two before that of Horalis.exe.
        const ULONGLONG check = reporterStart + 12000;
        if (GetTickCount64() < check) Sleep(static_cast<DWORD>(check - GetTickCount64()));
        e2e::note(std::wstring(horalisWrites ? L"daily reports on" : L"daily reports off") +
                  L": pair there at the reporter's 00:00 + 2 s: " + e2e::show(e2e::fileExists(base + L".html")));
        EXPECT_EQ(e2e::fileExists(base + L".html"), !horalisWrites);
        EXPECT_TRUE(e2e::waitUntil([&] { return e2e::fileExists(base + L".html"); }, Milliseconds(15000)));
        Sleep(500);
        EXPECT_TRUE(e2e::readBytes(base + L".csv").find("Windows:") != std::string::npos);
        horalis.stop();
    }
}

// Horalis.exe and the reporter both at a log-off: the reporter drops what
// Horalis.exe counts, so whichever writes second adds nothing twice.
E2E_TEST_WITH_DEADLINE(clock_moves_to_a_log_off_at_17_00_where_horalis_and_the_reporter_count_the_time_once, 60) {
    if (e2e::startClockAt("@2026-12-06 17:00:00\n").empty()) return;
    e2e::Session horalis(tmp);
    e2e::writeSettings(horalis.dataFolder(), "1 0 1 300");
    const std::wstring pair = horalis.dataFolder() + L"\\2026_07_12.csv";  // holds 6 December
    horalis.start();
    Window main = horalis.waitMainWindow();
    e2e::DriverWindow driver(L"Counted by both");
    driver.bringToFront();
    Reporter reporter(tmp, quoted(horalis.dataFolder()));
    const Window hidden = reporter.waitWindow(kWindowClass, kCaption);
    e2e::ListView apps(main.control(e2e::kAppListId).handle());
    e2e::waitUntil([&] { return apps.secondsOf(e2e::driverPath()) >= 4; }, Milliseconds(8000));
    const int counted = apps.secondsOf(e2e::driverPath());
    e2e::endSession(main.handle());
    horalis.stop();  // as the session would
    e2e::endSession(hidden.handle());
    EXPECT_TRUE(reporter.waitExited(Milliseconds(5000)));
    horalis::DailyPairTotals totals;
    ASSERT_TRUE(horalis::readDailyCsv(e2e::readBytes(pair), totals) == horalis::PairReadResult::Read);
    int64_t inPair = -1;
    for (const auto& app : totals.applications)
        if (std::wstring(app.path.begin(), app.path.end()) == e2e::driverPath()) inPair = app.seconds;
    e2e::note(L"Horalis.exe counted " + e2e::show(counted) + L" s; the pair holds " + e2e::show(inPair) + L" s");
    EXPECT_TRUE(inPair >= counted && inPair <= counted + 2);
}

// The seconds of the driver window in a daily CSV; -1 when it is not there.
int64_t driverSecondsIn(const std::wstring& csv) {
    horalis::DailyPairTotals totals;
    if (!e2e::fileExists(csv) || horalis::readDailyCsv(e2e::readBytes(csv), totals) != horalis::PairReadResult::Read)
        return -1;
    for (const auto& app : totals.applications)
        if (std::wstring(app.path.begin(), app.path.end()) == e2e::driverPath()) return app.seconds;
    return -1;
}

// Task Manager's "End task", a crash, a battery that dies: Horalis.exe killed
// after 100 s, then the reporter killed after 70 s, then Horalis.exe again
// and a log-off. The journal kept all but the last minute of each.
E2E_TEST_WITH_DEADLINE(crash_kills_of_horalis_and_the_reporter_lose_at_most_their_last_minute, 240) {
    if (e2e::startClockAt("@2026-12-06 17:00:00\n").empty()) return;
    e2e::Session horalis(tmp);
    e2e::writeSettings(horalis.dataFolder(), "1 0 1 300");
    const std::wstring pair = horalis.dataFolder() + L"\\2026_07_12.csv";  // holds 6 December
    e2e::DriverWindow driver(L"Killed twice");
    horalis.start();
    Window main = horalis.waitMainWindow();
    driver.bringToFront();
    e2e::ListView apps(main.control(e2e::kAppListId).handle());
    EXPECT_TRUE(e2e::waitUntil([&] { return apps.secondsOf(e2e::driverPath()) >= 100; }, Milliseconds(115000)));
    const int killed = apps.secondsOf(e2e::driverPath());
    horalis.stop();  // TerminateProcess: no message, no save
    EXPECT_FALSE(e2e::fileExists(pair));

    const DWORD reporterStart = GetTickCount();
    {
        Reporter reporter(tmp, quoted(horalis.dataFolder()));
        reporter.waitWindow(kWindowClass, kCaption);
        driver.bringToFront();
        Sleep(70000);
    }  // TerminateProcess as well
    const int reporterRan = static_cast<int>((GetTickCount() - reporterStart) / 1000);

    horalis.start();  // folds both journals at its start
    main = horalis.waitMainWindow();
    driver.bringToFront();
    e2e::ListView again(main.control(e2e::kAppListId).handle());
    e2e::waitUntil([&] { return again.secondsOf(e2e::driverPath()) >= 3; }, Milliseconds(8000));
    const int last = again.secondsOf(e2e::driverPath());
    e2e::endSession(main.handle());
    const int64_t inPair = driverSecondsIn(pair);
    e2e::note(L"killed after " + e2e::show(killed) + L" s, the reporter killed after " + e2e::show(reporterRan) +
              L" s, then " + e2e::show(last) + L" s and a log-off: the pair holds " + e2e::show(inPair) + L" s");
    EXPECT_TRUE(inPair >= killed - 60 + (reporterRan - 60) + last);
    EXPECT_TRUE(inPair <= killed + reporterRan + last + 2);
    horalis.stop();
}

// Windows starts the machine-wide Run value at every user's logon. Written by
// an older Horalis it names the data folder of the user who clicked Install,
// which others may not even see; written now it names %APPDATA%\Horalis.
// Either way each user's reporter works in that user's own folder, silently.
E2E_TEST(reporter_of_another_user_works_in_its_own_data_folder) {
    const std::wstring bob = tmp.file(L"Bob"), carol = tmp.file(L"Carol");
    ASSERT_TRUE(CreateDirectoryW(bob.c_str(), nullptr) && CreateDirectoryW(carol.c_str(), nullptr));
    const std::wstring anna = tmp.file(L"Anna\\Horalis");  // not there for Bob
    {
        Reporter old(tmp, quoted(anna), bob);
        Window window = old.waitWindow(kWindowClass, kCaption);
        ASSERT_TRUE(window.exists());
        EXPECT_TRUE(old.visibleWindows().empty());
        EXPECT_TRUE(e2e::folderExists(bob + L"\\Horalis"));
    }
    Reporter now(tmp, L" \"%APPDATA%\\Horalis\"", carol);
    EXPECT_TRUE(now.waitWindow(kWindowClass, kCaption).exists());
    EXPECT_TRUE(now.visibleWindows().empty());
    EXPECT_TRUE(e2e::folderExists(carol + L"\\Horalis"));
}

// A copy started "Run as administrator" made the single-instance mutexes with
// the default DACL of an elevated process, which grants a normal copy none of
// MUTEX_ALL_ACCESS: CreateMutexW then fails with ERROR_ACCESS_DENIED, and that
// means the elevated copy runs, for either program.
E2E_TEST(elevated_copies_keep_a_second_horalis_and_reporter_from_starting) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    // Everyone may wait on them (as the reporter does to see Horalis), no more.
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(A;;0x00100000;;;WD)", SDDL_REVISION_1,
                                                                     &descriptor, nullptr));
    SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor, FALSE};
    horalis::KernelHandle mainMutex(CreateMutexW(&attributes, FALSE, L"Local\\Horalis.SingleInstance"));
    horalis::KernelHandle reporterMutex(CreateMutexW(&attributes, FALSE, L"Local\\Horalis.Reporter.SingleInstance"));
    LocalFree(descriptor);
    ASSERT_TRUE(mainMutex && reporterMutex);
    ASSERT_TRUE(!CreateMutexW(nullptr, FALSE, L"Local\\Horalis.SingleInstance") &&
                GetLastError() == ERROR_ACCESS_DENIED);

    e2e::Session app(tmp);
    app.start();
    EXPECT_TRUE(app.waitExited(Milliseconds(8000)));
    EXPECT_TRUE(app.windows().empty());

    Reporter reporter(tmp, quoted(makeDataFolder(tmp)));
    EXPECT_TRUE(reporter.waitExited(Milliseconds(8000)));
    EXPECT_EQ(reporter.exitCode(), DWORD{0});
}
