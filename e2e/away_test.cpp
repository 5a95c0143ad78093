// Present or away, as the user lives it: hooks that Windows takes away or
// that never see the input, a locked session, a wall clock set back and forward.
#include <algorithm>

#include "e2e/commands.h"
#include "e2e/driver_window.h"
#include "e2e/framework.h"
#include "e2e/session.h"

namespace {

using e2e::DriverWindow;
using e2e::HookLibrary;
using e2e::ListView;
using e2e::Milliseconds;
using e2e::Session;
using e2e::Window;

constexpr const wchar_t* kIdleTime = L"Idle time";

long countOf(const std::vector<std::wstring>& calls, const wchar_t* call) {
    return static_cast<long>(std::count(calls.begin(), calls.end(), std::wstring(call)));
}

// Away timeout 3 s, times in seconds; the driver's window in front.
struct WorkingSession {
    Session app;
    Window main;
    DriverWindow driver{L"Working on"};
    WorkingSession(const e2e::TempDir& tmp, HookLibrary hooks) : app(tmp, hooks) {
        e2e::writeSettings(app.dataFolder(), "0 1 1 3");
        app.start();
        main = app.waitMainWindow();
        driver.bringToFront();
    }
    ListView apps() const { return ListView(main.control(e2e::kAppListId).handle()); }
};

}  // namespace

// Windows removes a hook that answered too late, and never says so.
E2E_TEST_WITH_DEADLINE(away_never_while_working_after_windows_drops_the_hooks_which_come_back_once_a_minute, 100) {
    WorkingSession session(tmp, HookLibrary::DropsItsHooks);
    e2e::workFor(Milliseconds(66000));
    const ListView apps = session.apps();
    EXPECT_EQ(apps.secondsOf(kIdleTime), -1);
    EXPECT_TRUE(apps.secondsOf(e2e::driverPath()) >= 60);
    // Quiet since about 3 s in: put back once, at about 63 s, and not again.
    const auto calls = session.app.setHooksCalls();
    EXPECT_EQ(countOf(calls, L"on"), 2L);
    EXPECT_EQ(countOf(calls, L"off"), 1L);
    session.app.stop();
}

// Input to an elevated window never reaches a normal program's hooks.
E2E_TEST(away_never_while_working_where_the_hooks_see_nothing) {
    WorkingSession session(tmp, HookLibrary::NeverReports);
    e2e::workFor(Milliseconds(8000));
    const ListView apps = session.apps();
    EXPECT_EQ(apps.secondsOf(kIdleTime), -1);
    EXPECT_TRUE(apps.secondsOf(e2e::driverPath()) >= 6);
    const auto calls = session.app.setHooksCalls();
    EXPECT_EQ(countOf(calls, L"on"), 1L);  // not a minute yet: nothing put back
    EXPECT_EQ(static_cast<long>(calls.size()), 1L);
    session.app.stop();
}

E2E_TEST(away_while_the_session_is_locked_and_back_at_the_unlock) {
    WorkingSession session(tmp, HookLibrary::Present);
    const ListView apps = session.apps();
    e2e::workFor(Milliseconds(2500));
    session.main.post(WM_WTSSESSION_CHANGE, 7 /* WTS_SESSION_LOCK */);
    Sleep(500);
    const int workedBefore = apps.secondsOf(e2e::driverPath());
    e2e::workFor(Milliseconds(3000));  // the hooks still see input: the lock screen's, not the user's work
    EXPECT_TRUE(apps.secondsOf(kIdleTime) >= 2);
    EXPECT_EQ(apps.secondsOf(e2e::driverPath()), workedBefore);

    session.main.post(WM_WTSSESSION_CHANGE, 8 /* WTS_SESSION_UNLOCK */);
    Sleep(500);
    const int idle = apps.secondsOf(kIdleTime);
    Sleep(2500);  // unlocking counts as input: present without touching anything
    EXPECT_EQ(apps.secondsOf(kIdleTime), idle);
    EXPECT_TRUE(apps.secondsOf(e2e::driverPath()) >= workedBefore + 2);
    session.app.stop();
}

// Run by scripts/test-reports.sh with a clock file after 19 January 2038
// (FAKETIME_TIMESTAMP_FILE); the wineserver keeps the real clock.
E2E_TEST(shifted_clock_set_back_and_forward_while_working_is_never_away) {
    const std::wstring clock = e2e::shiftedClockFile();
    SYSTEMTIME now{};
    GetLocalTime(&now);
    if (clock.empty() || now.wYear != 2039) {
        e2e::skip(L"needs the clock file from 2039 (scripts/test-reports.sh)");
        return;
    }
    WorkingSession session(tmp, HookLibrary::Present);
    e2e::workFor(Milliseconds(2500));
    ASSERT_TRUE(e2e::writeBytes(clock, "@2039-03-01 09:00:03\n"));  // back an hour
    e2e::workFor(Milliseconds(3000));
    ASSERT_TRUE(e2e::writeBytes(clock, "@2039-03-02 09:00:06\n"));  // forward a day
    e2e::workFor(Milliseconds(3000));
    const ListView apps = session.apps();
    EXPECT_EQ(apps.secondsOf(kIdleTime), -1);
    EXPECT_TRUE(apps.secondsOf(e2e::driverPath()) >= 7);

    // Dates after 2038 are converted like any other.
    const std::wstring html = tmp.file(L"in-2039.html");  // not report.html: the browser check looks for that
    e2e::exportTo(session.app, session.main, e2e::kExportHtmlCommand, html);
    EXPECT_TRUE(e2e::waitUntil([&] { return e2e::readBytes(html).find("Generated on 2039:02:03") != std::string::npos; },
                               Milliseconds(5000)));
    session.app.stop();
}
