// The end of a run as Windows brings it: a log-off with a year of pairs in
// the folder or with the other writer busy, Restart Manager closing the
// program for an update and Windows bringing it back, a sleep, a pair that
// another program holds open, session notifications at logon. Windows gives
// each program about 5 s per session-end message and then ends it.
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include "base/handles.h"
#include "e2e/commands.h"
#include "e2e/driver_window.h"
#include "e2e/framework.h"
#include "e2e/session.h"
#include "reports/daily_reports.h"

namespace {

using e2e::DriverWindow;
using e2e::Milliseconds;
using e2e::Session;
using e2e::Window;

constexpr int kShowCommand = 32778;  // the tray's "Show application"
constexpr int kExitCommand = 32773;

struct Answer {
    bool answered = false;
    LRESULT value = 0;
    ULONGLONG ms = 0;
};

Answer timedSend(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Answer answer;
    DWORD_PTR result = 0;
    const ULONGLONG start = GetTickCount64();
    answer.answered = SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 10000, &result) != 0;
    answer.ms = GetTickCount64() - start;
    answer.value = static_cast<LRESULT>(result);
    return answer;
}

// The two messages of a session end, each answered in Windows' time.
void timedSessionEnd(HWND main, LPARAM flags, const std::wstring& what) {
    const Answer query = timedSend(main, WM_QUERYENDSESSION, 0, flags);
    const Answer end = timedSend(main, WM_ENDSESSION, TRUE, flags);
    e2e::note(what + L": WM_QUERYENDSESSION answered in " + e2e::show(query.ms) + L" ms, WM_ENDSESSION in " +
              e2e::show(end.ms) + L" ms");
    EXPECT_TRUE(query.answered && query.value == TRUE);
    EXPECT_TRUE(query.ms < 1000);
    EXPECT_TRUE(end.answered);
    EXPECT_TRUE(end.ms < 4000);
}

// A year of daily pairs before today, 100 programs of 10 titles each, written
// with the program's own writer.
void writeYearOfPairs(const std::wstring& folder) {
    horalis::UsageRecords records;
    for (int app = 0; app < 100; ++app) {
        const size_t at = records.addApplicationSamples(
            horalis::toCore(L"C:\\Programs\\Tool " + std::to_wstring(app) + L"\\tool.exe"), 7200);
        for (int title = 0; title < 10; ++title)
            records.addTitleSamples(at, horalis::toCore(L"Document " + std::to_wstring(title) + L" - Tool"), 720);
    }
    SYSTEMTIME now{};
    GetLocalTime(&now);
    const horalis::LocalTime today{now.wYear, now.wMonth, now.wDay};
    horalis::LocalTime day{today.year - 1, today.month, today.month == 2 && today.day == 29 ? 28 : today.day};
    const horalis::Settings settings;
    int written = 0;
    for (; horalis::compareDates(day, today) < 0; day = horalis::nextDay(day))
        written += horalis::writeDailyPair(horalis::toCore(folder), day, day, records, settings) ==
                   horalis::DailyPairResult::Written;
    e2e::note(L"pairs written before today: " + e2e::show(written));
}

// The lock of the two writers as the reporter holds it while it writes, on
// a thread of its own (a mutex belongs to the thread that takes it).
class HeldLock {
public:
    HeldLock() {
        thread_ = std::thread([this] {
            const horalis::KernelHandle mutex(CreateMutexW(nullptr, TRUE, L"Local\\Horalis.DailyReports"));
            SetEvent(taken_.get());
            WaitForSingleObject(release_.get(), INFINITE);
            ReleaseMutex(mutex.get());
        });
        WaitForSingleObject(taken_.get(), 5000);
    }
    ~HeldLock() {
        SetEvent(release_.get());
        thread_.join();
    }

private:
    horalis::KernelHandle taken_{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    horalis::KernelHandle release_{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    std::thread thread_;
};

// A file opened for reading without delete sharing, as a spreadsheet or a
// scanner keeps it: it cannot be replaced while open. Null when it cannot be opened.
horalis::KernelHandle holdOpen(const std::wstring& path, DWORD share) {
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, share, nullptr, OPEN_ALWAYS, 0, nullptr);
    return horalis::KernelHandle(file == INVALID_HANDLE_VALUE ? nullptr : file);
}

// Horalis with daily reports on, the driver's window in front once it runs.
struct DailyRun {
    DailyRun(const e2e::TempDir& tmp, std::wstring_view title) : app(tmp), driver(title) {
        e2e::writeSettings(app.dataFolder(), "1 0 1 300");
        pair = e2e::todaysPair(app.dataFolder()) + L".csv";
    }
    void start() {
        app.start();
        main = app.waitMainWindow();
        driver.bringToFront();
    }
    Session app;
    DriverWindow driver;
    std::wstring pair;  // the CSV that holds today
    Window main;
};

}  // namespace

// The session-end pair with 365 pairs in the folder, and with the other
// writer busy (the reporter, or this user's copy in another session): each
// answer comes in time. Where the pair cannot be written in time, the next
// ticks write it once the lock is free.
E2E_TEST_WITH_DEADLINE(log_off_answers_in_time_with_a_year_of_pairs_and_with_the_other_writer_busy, 180) {
    DailyRun run(tmp, L"A day that ends several times");
    writeYearOfPairs(run.app.dataFolder());
    const std::wstring history = run.app.dataFolder() + L"\\history.html";
    run.start();
    const std::wstring& pair = run.pair;
    const Window& main = run.main;

    // Another program refuses the log-off: WM_ENDSESSION(FALSE) after the
    // question. Nothing was saved or cleared; the run goes on with its time.
    int counted = e2e::countSeconds(main, 3);
    const Answer asked = timedSend(main.handle(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
    EXPECT_TRUE(asked.answered && asked.value == TRUE);
    EXPECT_TRUE(timedSend(main.handle(), WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF).answered);
    EXPECT_FALSE(e2e::fileExists(pair));
    EXPECT_TRUE(e2e::countSeconds(main, counted + 1) > counted);

    counted = e2e::countSeconds(main, 3);
    timedSessionEnd(main.handle(), ENDSESSION_LOGOFF, L"365 pairs in the folder");
    EXPECT_TRUE(e2e::pairSeconds(pair) >= counted);
    // The history of every pair is left to a later start.
    EXPECT_FALSE(e2e::fileExists(history));

    // Wine does not end the program after a log-off: the run goes on, as it
    // would after a log-off that another program cancelled at the last moment.
    const struct {
        const wchar_t* what;
        bool mutex;
    } busy[] = {{L"the lock held by the reporter", true}, {L"the lock file held by another session", false}};
    for (const auto& round : busy) {
        const int64_t before = e2e::pairSeconds(pair);
        counted = e2e::countSeconds(main, 3);
        {
            std::optional<HeldLock> mutex;
            horalis::KernelHandle file;
            if (round.mutex)
                mutex.emplace();
            else
                file = holdOpen(run.app.dataFolder() + L"\\Horalis.lock", 0);
            timedSessionEnd(main.handle(), ENDSESSION_LOGOFF, round.what);
            EXPECT_EQ(e2e::pairSeconds(pair), before);
        }
        // Freed: a later tick writes the day into its pair.
        EXPECT_TRUE(e2e::waitUntil([&] { return e2e::pairSeconds(pair) >= before + counted; }, Milliseconds(8000)));
        EXPECT_TRUE(main.isResponsive());
    }
    run.app.stop();
}

// Restart Manager closes the program for an update (ENDSESSION_CLOSEAPP): it
// saves and ends on its own. Windows then brings it back in the state it
// had; for a window hidden in the tray, with the argument it registered.
E2E_TEST_WITH_DEADLINE(restart_manager_closes_horalis_and_a_restart_brings_it_back_into_the_tray, 90) {
    DailyRun run(tmp, L"Closed for an update");
    run.start();
    const int counted = e2e::countSeconds(run.main, 3);
    timedSessionEnd(run.main.handle(), ENDSESSION_CLOSEAPP, L"ENDSESSION_CLOSEAPP");
    EXPECT_TRUE(run.app.waitExited(Milliseconds(5000)));
    EXPECT_TRUE(e2e::pairSeconds(run.pair) >= counted);

    Session restarted(tmp);
    restarted.setArguments(L" /tray");
    restarted.start();
    Window hidden;
    ASSERT_TRUE(e2e::waitUntil(
        [&] { return bool(hidden = e2e::findTopLevel(restarted.processId(), L"#32770", L"Horalis")); }));
    Sleep(3000);
    EXPECT_FALSE(hidden.isVisible());
    for (const Window& window : restarted.windows()) EXPECT_FALSE(window.isVisible());
    // It measures all the same, and the tray brings the window back.
    run.driver.bringToFront();
    EXPECT_TRUE(e2e::countSeconds(hidden, 2) >= 2);
    hidden.postCommand(kShowCommand);
    EXPECT_TRUE(e2e::waitUntil([&] { return hidden.isVisible(); }));
    restarted.stop();
}

// The computer goes to sleep and wakes: the journal is brought up to date
// at the suspend, and the day's time reaches the pair once, not twice.
E2E_TEST_WITH_DEADLINE(sleep_and_wake_count_the_time_once, 60) {
    DailyRun run(tmp, L"Asleep and awake");
    run.start();
    const Window& main = run.main;
    e2e::countSeconds(main, 2);
    const Answer suspend = timedSend(main.handle(), WM_POWERBROADCAST, PBT_APMSUSPEND, 0);
    EXPECT_TRUE(suspend.answered && suspend.value == TRUE);
    EXPECT_TRUE(suspend.ms < 2000);
    main.post(WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC);
    main.post(WM_POWERBROADCAST, PBT_APMRESUMESUSPEND);
    const int counted = e2e::countSeconds(main, 5);
    e2e::endSession(main.handle());
    const int64_t inPair = e2e::pairSeconds(run.pair);
    e2e::note(L"counted " + e2e::show(counted) + L" s; the pair holds " + e2e::show(inPair) + L" s");
    EXPECT_TRUE(inPair >= counted && inPair <= counted + 2);
    run.app.stop();
}

// A spreadsheet (or a scanner) has the day's CSV open without delete sharing
// for 300 ms across the log-off: the replace is tried again until it is
// closed, and the pair holds both the earlier run and this one.
E2E_TEST_WITH_DEADLINE(log_off_writes_a_pair_held_open_for_300_ms, 60) {
    DailyRun run(tmp, L"Held by a spreadsheet");
    // The earlier run's minute, as a pair without titles holds it.
    ASSERT_TRUE(e2e::writeBytes(run.pair, e2e::narrow(e2e::driverPath()) + ";1:00\r\n"));
    run.start();
    const int counted = e2e::countSeconds(run.main, 3);
    horalis::KernelHandle held = holdOpen(run.pair, FILE_SHARE_READ);
    ASSERT_TRUE(bool(held));
    std::thread release([&] {
        Sleep(300);
        held.reset();
    });
    timedSessionEnd(run.main.handle(), ENDSESSION_LOGOFF, L"the pair held open for 300 ms");
    release.join();
    const int64_t inPair = e2e::pairSeconds(run.pair);
    e2e::note(L"the pair holds " + e2e::show(inPair) + L" s: 60 s before and " + e2e::show(counted) + L" s counted");
    EXPECT_TRUE(inPair >= 60 + counted);
    run.app.stop();
}

// At logon, before Remote Desktop Services are ready, the registration for
// session notifications fails; it is made again once it can be, so that the
// session's locks are seen. A stand-in wtsapi32.dll beside a copy of the
// program fails the first registration.
E2E_TEST_WITH_DEADLINE(session_notifications_are_registered_again_after_a_failure_at_logon, 60) {
    Session app(tmp, e2e::HookLibrary::PresentInCopy);
    const std::wstring folder = app.programPath().substr(0, app.programPath().find_last_of(L'\\'));
    ASSERT_TRUE(CopyFileW((e2e::config().driverFolder + L"\\wtsapi32-first-fails.dll").c_str(),
                          (folder + L"\\wtsapi32.dll").c_str(), FALSE));
    // Wine takes its own wtsapi32 unless told to take the program's: a
    // setting for Horalis.exe, given back at the end of the case.
    const wchar_t* overridesKey = L"Software\\Wine\\AppDefaults\\Horalis.exe\\DllOverrides";
    HKEY key = nullptr;
    ASSERT_TRUE(RegCreateKeyExW(HKEY_CURRENT_USER, overridesKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                                nullptr) == ERROR_SUCCESS);
    const horalis::RegistryKey overrides(key);
    const wchar_t nativeFirst[] = L"native,builtin";
    RegSetValueExW(key, L"wtsapi32", 0, REG_SZ, reinterpret_cast<const BYTE*>(nativeFirst), sizeof nativeFirst);
    struct RemoveOverrides {
        ~RemoveOverrides() { RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Wine\\AppDefaults\\Horalis.exe"); }
    } removeOverrides;
    app.start();
    Window main = app.waitMainWindow();
    const std::wstring log = folder + L"\\wts.log";
    EXPECT_TRUE(e2e::waitUntil([&] { return e2e::readBytes(log) == "register failed\nregister\n"; },
                               Milliseconds(5000)));
    e2e::note(L"wts.log after the start: " + e2e::widen(e2e::readBytes(log)));
    // Registered once, and given back before the window goes.
    main.postCommand(kExitCommand);
    app.waitMessageBox(L"Horalis").clickYes();
    app.waitMessageBox(L"Write us").clickNo();
    EXPECT_TRUE(app.waitExited());
    EXPECT_EQ(e2e::widen(e2e::readBytes(log)), std::wstring(L"register failed\nregister\nunregister\n"));
}
