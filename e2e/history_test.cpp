// "Open history" over a data folder of three weeks of daily pairs: the page is
// built and handed to the program associated with HTML files, here a stand-in
// that notes what it was asked to open. scripts/test-reports.sh then loads the
// page in headless chromium.
#include <windows.h>

#include <algorithm>
#include <string>

#include "e2e/commands.h"
#include "e2e/driver_window.h"
#include "reports/report_writers.h"
#include "e2e/framework.h"
#include "e2e/session.h"

namespace {

using e2e::Milliseconds;
using e2e::StandInHtmlProgram;
using e2e::Session;
using e2e::Window;

using e2e::kOpenHistoryCommand;
constexpr const char* kHostileTitle = "<script>document.body.setAttribute('data-pwned','1')</script> Hostile page";

// year_day_month of a date.
std::wstring pairName(const SYSTEMTIME& date) {
    wchar_t name[32];
    swprintf(name, 32, L"%04u_%02u_%02u.csv", date.wYear, date.wDay, date.wMonth);
    return name;
}

SYSTEMTIME addDays(SYSTEMTIME date, int days) {
    FILETIME file;
    SystemTimeToFileTime(&date, &file);
    ULARGE_INTEGER value{{file.dwLowDateTime, file.dwHighDateTime}};
    value.QuadPart += static_cast<ULONGLONG>(days) * 864000000000ULL;
    file = FILETIME{value.LowPart, value.HighPart};
    FileTimeToSystemTime(&file, &date);
    return date;
}

// One day as the daily CSV with titles holds it: an editor for three hours,
// a browser for one (under the hostile title), half an hour away.
std::string dayWithTitles() {
    std::string csv;
    auto application = [&](const char* path, const char* time, std::initializer_list<std::pair<const char*, const char*>> titles) {
        csv += std::string(path) + "\r\n\r\nWindows:\r\n\r\n";
        for (const auto& title : titles) csv += std::string(title.first) + "\r\n";
        csv += std::string(";") + time + "\r\n\r\n\r\n\r\n";
        for (const auto& title : titles) csv += std::string(title.second) + "\r\n";
        csv += "\r\n";
    };
    application("C:\\Apps\\editor.exe", "3:00:00", {{"main.cpp - Editor", "2:00:00"}, {"notes.txt - Editor", "1:00:00"}});
    application("C:\\Apps\\browser.exe", "1:00:00", {{kHostileTitle, "1:00:00"}});
    application("Idle time", "30:00", {{"", "30:00"}});
    return csv;
}

}  // namespace

E2E_TEST(history_opened_from_the_file_menu_is_built_from_the_daily_pairs_and_handed_to_the_browser) {
    StandInHtmlProgram browser;
    ASSERT_TRUE(browser.set);
    Session app(tmp);
    const std::wstring folder = app.appDataFolder() + L"\\Horalis";
    e2e::writeSettings(folder, "0 0 1 300");
    // 21 days held, 17 November to 7 December 2026, each pair named after the day after it.
    const SYSTEMTIME firstName{2026, 11, 0, 18, 0, 0, 0, 0};
    for (int day = 0; day < 21; ++day)
        ASSERT_TRUE(e2e::writeBytes(folder + L"\\" + pairName(addDays(firstName, day)), dayWithTitles()));
    ASSERT_TRUE(e2e::writeBytes(folder + L"\\2025_01_12.csv", "no daily report\r\n\"unclosed"));

    app.start();
    Window main = app.waitMainWindow();
    main.postCommand(kOpenHistoryCommand);
    EXPECT_TRUE(e2e::waitUntil([&] { return !browser.opened().empty(); }, Milliseconds(10000)));
    const std::wstring opened = browser.opened();
    EXPECT_TRUE(opened.find(folder + L"\\history.html") != std::wstring::npos);
    e2e::note(L"the stand-in was asked to open: " + opened);

    const std::string page = e2e::readBytes(folder + L"\\history.html");
    EXPECT_TRUE(page.find("from 21 daily reports, Tue 17 Nov 2026 to Mon 7 Dec 2026") != std::string::npos);
    EXPECT_TRUE(page.find("2025_01_12.csv &ndash;") != std::string::npos);
    EXPECT_TRUE(page.find("<script>") == std::string::npos);
    EXPECT_TRUE(app.openMessageBoxes().empty());
    app.stop();
}

// A day from 17:00 under two titles that differ only where Windows-1251 has
// '?': "Open history" during the run shows today, and after the program was
// ended without saving and started again, the page shows each title exactly
// with its own time, and the strip of the day a span from 17:00 naming the
// program in front.
E2E_TEST_WITH_DEADLINE(timeline_of_a_day_with_titles_outside_windows_1251_shows_each_exactly, 150) {
    if (e2e::startClockAt("@2026-12-06 17:00:00\n").empty()) return;
    StandInHtmlProgram browser;
    ASSERT_TRUE(browser.set);
    Session app(tmp);
    const std::wstring folder = app.dataFolder();
    e2e::writeSettings(folder, "1 0 1 300");
    const std::wstring tokyo = L"\u6771\u4eac \u2014 \u0395\u03bb\u03bb\u03b7\u03bd\u03b9\u03ba\u03ac \U0001F600";
    const std::wstring osaka = L"\u5927\u962a \u2014 \u0395\u03bb\u03bb\u03b7\u03bd\u03b9\u03ba\u03ac \U0001F600";
    e2e::DriverWindow driver(tokyo);
    app.start();
    Window main = app.waitMainWindow();
    driver.bringToFront();
    // The program's clock starts at 17:00 with it; the driver's may have run on since its own start.
    const ULONGLONG started = GetTickCount64();
    Sleep(20000);
    driver.setTitle(osaka);
    Sleep(20000);
    main.postCommand(kOpenHistoryCommand);
    const std::wstring history = folder + L"\\history.html";
    EXPECT_TRUE(e2e::waitUntil([&] { return !browser.opened().empty(); }, Milliseconds(10000)));
    const std::string live = e2e::readBytes(history);
    if (live.find("Sun 6 Dec 2026") == std::string::npos)
        e2e::note(L"history.html during the run, " + e2e::show(static_cast<int64_t>(live.size())) + L" bytes: " +
                  e2e::widen(live.substr(std::min(live.find("<body"), live.size()), 400)));
    EXPECT_TRUE(live.find("Sun 6 Dec 2026") != std::string::npos);  // today, live

    Sleep(static_cast<DWORD>(72000 - std::min<ULONGLONG>(GetTickCount64() - started, 72000)));  // past 17:01
    app.stop();  // ended without saving: the journal holds all but the last minute
    DeleteFileW(history.c_str());
    app.start();  // folds it into the day's record
    main = app.waitMainWindow();
    const std::string page = e2e::openHistoryPage(main, folder);
    std::string tokyoText, osakaText, span;
    horalis::appendHtmlBytes(horalis::toCore(tokyo), tokyoText);
    horalis::appendHtmlBytes(horalis::toCore(osaka), osakaText);
    horalis::appendHtmlBytes(u"17:00\u201317:", span);
    const size_t atTokyo = page.find(tokyoText), atOsaka = page.find(osakaText);
    e2e::note(L"history.html: Tokyo's title " + e2e::widen(atTokyo == std::string::npos ? "missing" : "found") +
              L", Osaka's " + e2e::widen(atOsaka == std::string::npos ? "missing" : "found") + L", as " +
              e2e::widen(osakaText));
    EXPECT_TRUE(atTokyo != std::string::npos && atOsaka != std::string::npos);
    const size_t atSpan = page.find(span);
    EXPECT_TRUE(atSpan != std::string::npos && page.find("horalis_e2e.exe", atSpan) < atSpan + 40);
    app.stop();
}
