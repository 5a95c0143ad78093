// One pair per day under a shifted clock (scripts/test-reports.sh, a clock
// file that the cases write): each program's clock starts where the case
// puts it, on 6 December, so the pair that holds that day is 2026_07_12. A day of three runs, a start in the 00:00 minute,
// a clock set back across 00:00, and both programs at a log-off.
#include <windows.h>

#include <string>
#include <string_view>

#include "e2e/commands.h"
#include "e2e/driver_window.h"
#include "e2e/framework.h"
#include "e2e/session.h"

namespace {

using e2e::DriverWindow;
using e2e::Milliseconds;
using e2e::Session;
using e2e::Window;

constexpr const wchar_t* kSixth = L"2026_07_12";    // holds 6 December
constexpr const wchar_t* kSeventh = L"2026_08_12";  // holds 7 December
constexpr int kExitCommand = 32773;

using e2e::countSeconds;
using e2e::pairSeconds;

void exitByMenu(Session& app, const Window& main) {
    main.postCommand(kExitCommand);
    app.waitMessageBox(L"Horalis").clickYes();
    app.waitMessageBox(L"Write us").clickNo();
    EXPECT_TRUE(app.waitExited());
}

std::string firstLines(const std::string& bytes, int lines) {
    size_t end = 0;
    for (int i = 0; i < lines && end != std::string::npos; ++i) end = bytes.find('\n', end == 0 ? 0 : end + 1);
    return bytes.substr(0, end);
}

}  // namespace

// Ended by a log-off at 17:00, then by "Exit" at 18:00, then run through
// 00:00: one pair holding all three runs.
E2E_TEST_WITH_DEADLINE(clock_moves_through_three_runs_of_a_day_into_one_pair, 120) {
    if (e2e::startClockAt("@2026-12-06 17:00:00\n").empty()) return;
    const e2e::TempDir data(tmp.file(L"AppData"));
    CreateDirectoryW(data.path().c_str(), nullptr);
    const std::wstring folder = data.path() + L"\\Horalis";
    e2e::writeSettings(folder, "1 0 1 300");
    const std::wstring pair = folder + L"\\" + kSixth;
    DriverWindow driver(L"Three runs; one day");
    int counted = 0;

    Session first(tmp);
    first.setAppData(data.path());
    first.start();
    Window main = first.waitMainWindow();
    driver.bringToFront();
    counted += countSeconds(main, 3);
    e2e::endSession(main.handle());
    EXPECT_TRUE(e2e::fileExists(pair + L".html"));
    EXPECT_EQ(pairSeconds(pair + L".csv"), counted);
    first.stop();

    e2e::startClockAt("@2026-12-06 18:00:00\n");
    Session second(tmp);
    second.setAppData(data.path());
    second.start();
    main = second.waitMainWindow();
    driver.bringToFront();
    counted += countSeconds(main, 3);
    exitByMenu(second, main);
    const int64_t afterTwo = pairSeconds(pair + L".csv");
    EXPECT_TRUE(afterTwo >= counted && afterTwo <= counted + 2);

    // 20 s before 00:00: time enough for a slow start to see the old date.
    e2e::startClockAt("@2026-12-06 23:59:40\n");
    Session third(tmp);
    third.setAppData(data.path());
    third.start();
    main = third.waitMainWindow();
    driver.bringToFront();
    counted += countSeconds(main, 3);
    // Its 00:00 adds the rest and clears the lists.
    EXPECT_TRUE(e2e::waitUntil([&] { return pairSeconds(pair + L".csv") > afterTwo + 3; }, Milliseconds(40000)));
    Sleep(500);
    const std::string bytes = e2e::readBytes(pair + L".csv");
    e2e::note(L"the pair after three runs (" + e2e::show(counted) + L" s counted before its end), first lines:\n" +
              e2e::widen(firstLines(bytes, 8)));
    EXPECT_TRUE(pairSeconds(pair + L".csv") >= counted);
    EXPECT_TRUE(countSeconds(main, 0) < 8);
    EXPECT_FALSE(e2e::fileExists(folder + L"\\" + kSeventh + L".csv"));
    third.stop();
}

// The clock set back from 00:00:10 to 21:30 of the day before: the pairs
// already written keep their bytes, nothing is cleared, and the time goes
// into the pair of the later day.
E2E_TEST_WITH_DEADLINE(clock_moves_back_across_midnight_and_leaves_the_older_pairs, 120) {
    const std::wstring clock = e2e::startClockAt("@2026-12-06 23:59:40\n");
    if (clock.empty()) return;
    Session app(tmp);
    e2e::writeSettings(app.dataFolder(), "1 0 1 300");
    const std::wstring older = app.dataFolder() + L"\\2026_06_12.csv";
    const std::wstring sixth = app.dataFolder() + L"\\" + kSixth + L".csv";
    ASSERT_TRUE(e2e::writeBytes(older, "C:\\Fifth.exe;2:00:00\r\n"));
    app.start();
    Window main = app.waitMainWindow();
    DriverWindow driver(L"Set back across midnight");
    driver.bringToFront();
    ASSERT_TRUE(e2e::waitUntil([&] { return e2e::fileExists(sixth); }, Milliseconds(40000)));
    Sleep(500);
    const std::string sixthBytes = e2e::readBytes(sixth);
    const int afterMidnight = countSeconds(main, 2);

    ASSERT_TRUE(e2e::writeBytes(clock, "@2026-12-06 21:30:00\n"));
    EXPECT_TRUE(e2e::waitUntil([&] { return !e2e::localTimeReached(6, 22, 0, 0); }, Milliseconds(5000)));
    Sleep(3000);  // the program's ticks at 21:30
    EXPECT_TRUE(countSeconds(main, afterMidnight + 2) >= afterMidnight + 2);  // not cleared
    EXPECT_TRUE(e2e::readBytes(older) == "C:\\Fifth.exe;2:00:00\r\n");
    EXPECT_TRUE(e2e::readBytes(sixth) == sixthBytes);
    exitByMenu(app, main);
    EXPECT_TRUE(e2e::readBytes(sixth) == sixthBytes);
    EXPECT_TRUE(pairSeconds(app.dataFolder() + L"\\" + kSeventh + L".csv") >= afterMidnight + 2);
}

// Started at 00:00:20: the pair of the day before keeps its bytes; the run's
// own time goes into the pair of the new day at "Exit".
E2E_TEST_WITH_DEADLINE(clock_moves_to_a_start_in_the_midnight_minute_which_leaves_the_pair, 60) {
    if (e2e::startClockAt("@2026-12-07 00:00:20\n").empty()) return;
    Session app(tmp);
    e2e::writeSettings(app.dataFolder(), "1 0 1 300");
    const std::wstring pair = app.dataFolder() + L"\\" + kSixth;
    const std::string csv = "C:\\Earlier.exe;1:00:00\r\n", html = "<html>the sixth</html>";
    ASSERT_TRUE(e2e::writeBytes(pair + L".csv", csv) && e2e::writeBytes(pair + L".html", html));
    app.start();
    Window main = app.waitMainWindow();
    DriverWindow driver(L"Started at midnight");
    driver.bringToFront();
    countSeconds(main, 3);
    EXPECT_TRUE(e2e::readBytes(pair + L".csv") == csv);
    exitByMenu(app, main);
    EXPECT_TRUE(e2e::readBytes(pair + L".csv") == csv);
    EXPECT_TRUE(e2e::readBytes(pair + L".html") == html);
    EXPECT_TRUE(pairSeconds(app.dataFolder() + L"\\" + kSeventh + L".csv") >= 3);
}
