// Long runs: windows that open, change their titles and close several times a
// second, new applications that come and go, every dialog opened and closed a
// hundred times. The totals must match what the driver did, and the program's
// GDI objects, USER objects and kernel handles must stay flat.
//
// The churn runs HORALIS_SOAK_SECONDS (60 by default; scripts/soak.sh: 600).
#include <windows.h>

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "e2e/commands.h"
#include "e2e/driver_window.h"
#include "e2e/framework.h"
#include "e2e/process_resources.h"
#include "e2e/session.h"

namespace {

using e2e::DriverWindow;
using e2e::Milliseconds;
using e2e::ProcessResources;
using e2e::Session;
using e2e::Window;

// More than the Wine-side noise of a few objects, far less than one per event.
constexpr long kFlatTolerance = 8;

int soakSeconds() {
    wchar_t text[16] = {};
    const DWORD n = GetEnvironmentVariableW(L"HORALIS_SOAK_SECONDS", text, 16);
    const int seconds = n > 0 && n < 16 ? _wtoi(text) : 0;
    return seconds > 0 ? seconds : 30;
}

// Seconds mode and a timeout no run reaches: every sample is a foreground sample.
void writeSoakSettings(const Session& app) {
    CreateDirectoryW(app.dataFolder().c_str(), nullptr);
    if (!e2e::writeBytes(app.dataFolder() + L"\\conf.dat", "0 1 1 1000000")) FAIL(L"cannot write conf.dat");
}

ProcessResources resourcesOf(const Session& app, const wchar_t* when) {
    // A moment for windows just closed to be gone from the tables.
    Sleep(600);
    const ProcessResources counts = e2e::readProcessResources(app.processId());
    e2e::note(std::wstring(when) + L": " + e2e::describe(counts));
    return counts;
}

// True once the window and every control in it have painted what they show.
bool paintedThrough(HWND window) {
    if (GetUpdateRect(window, nullptr, FALSE)) return false;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (!paintedThrough(child)) return false;
    return true;
}

// Each count may grow by the tolerance, no more, over events of one kind.
void expectFlat(const ProcessResources& before, const ProcessResources& after, const wchar_t* events, long count) {
    const long figures[3][2] = {{before.gdiObjects, after.gdiObjects},
                                {before.userObjects, after.userObjects},
                                {before.kernelHandles, after.kernelHandles}};
    const wchar_t* names[3] = {L"GDI objects", L"USER objects", L"kernel handles"};
    for (int i = 0; i < 3; ++i) {
        if (figures[i][0] < 0 || figures[i][1] < 0) {
            e2e::recordFailure(__FILE__, __LINE__, std::wstring(names[i]) + L" could not be read");
            continue;
        }
        if (figures[i][1] - figures[i][0] > kFlatTolerance)
            e2e::recordFailure(__FILE__, __LINE__,
                               std::wstring(names[i]) + L" grew from " + e2e::show(figures[i][0]) + L" to " +
                                   e2e::show(figures[i][1]) + L" over " + e2e::show(count) + L" " + events);
    }
}

// What the driver saw in front, by application and title: the time and how
// many separate spells it had.
struct Seen {
    double seconds = 0;
    int spells = 0;
};

class ForegroundLog {
public:
    ForegroundLog() : thread_([this] { watch(); }) {}
    ~ForegroundLog() { stop(); }

    void knowProcess(DWORD processId, const std::wstring& path) {
        std::lock_guard lock(mutex_);
        paths_[processId] = path;
    }
    void stop() {
        stopping_ = true;
        if (thread_.joinable()) thread_.join();
    }
    std::map<std::wstring, Seen> byApplication() const {
        std::lock_guard lock(mutex_);
        return applications_;
    }
    std::map<std::pair<std::wstring, std::wstring>, Seen> byTitle() const {
        std::lock_guard lock(mutex_);
        return titles_;
    }
    int switches() const { return switches_; }

private:
    void watch() {
        std::wstring lastPath, lastTitle;
        ULONGLONG last = GetTickCount64();
        while (!stopping_) {
            Sleep(5);
            const ULONGLONG now = GetTickCount64();
            std::wstring path, title;
            HWND front = GetForegroundWindow();
            if (front) {
                DWORD processId = 0;
                GetWindowThreadProcessId(front, &processId);
                wchar_t text[512] = {};
                GetWindowTextW(front, text, 512);
                title = text;
                std::lock_guard lock(mutex_);
                if (auto known = paths_.find(processId); known != paths_.end()) path = known->second;
            }
            std::lock_guard lock(mutex_);
            if (!lastPath.empty()) {
                const double elapsed = static_cast<double>(now - last) / 1000.0;
                applications_[lastPath].seconds += elapsed;
                titles_[{lastPath, lastTitle}].seconds += elapsed;
            }
            if (path != lastPath || title != lastTitle) {
                ++switches_;
                if (!path.empty()) {
                    if (path != lastPath) ++applications_[path].spells;
                    ++titles_[{path, title}].spells;
                }
            }
            lastPath = path;
            lastTitle = title;
            last = now;
        }
    }

    mutable std::mutex mutex_;
    std::map<DWORD, std::wstring> paths_;
    std::map<std::wstring, Seen> applications_;
    std::map<std::pair<std::wstring, std::wstring>, Seen> titles_;
    std::atomic<int> switches_ = 0;
    std::atomic<bool> stopping_ = false;
    std::thread thread_;
};

// The spreadsheet CSV read back: seconds per application and per title.
struct Totals {
    std::map<std::wstring, int> applications;
    std::map<std::pair<std::wstring, std::wstring>, int> titles;
};

int digitsOf(const std::string& text) {
    int value = 0;
    for (char c : text)
        if (c >= '0' && c <= '9') value = value * 10 + (c - '0');
    return value;
}

// Rows "path;time", then ";", "Windows:;", a blank line, "title;time" lines
// and a blank line. The driver's paths and titles are plain ASCII.
Totals readSpreadsheetTotals(const std::string& bytes) {
    Totals totals;
    std::wstring application;
    bool inTitles = false, sawTitle = false;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find("\r\n", start);
        if (end == std::string::npos) end = bytes.size();
        const std::string line = bytes.substr(start, end - start);
        start = end + 2;
        if (line == "Windows:;") {
            inTitles = true;
            sawTitle = false;
            continue;
        }
        if (line.empty()) {
            if (inTitles && sawTitle) inTitles = false;
            continue;
        }
        if (line == ";") continue;
        const size_t separator = line.rfind(';');
        if (separator == std::string::npos) continue;
        const std::wstring text = e2e::widen(line.substr(0, separator));
        const int seconds = digitsOf(line.substr(separator + 1));
        if (inTitles) {
            totals.titles[{application, text}] = seconds;
            sawTitle = true;
        } else {
            application = text;
            totals.applications[application] = seconds;
        }
    }
    return totals;
}

// One sample of 500 ms either way for each spell, and a second for the shown
// time being the count halved and cut.
bool withinSpells(int shown, const Seen& seen) {
    const double slack = 0.5 * seen.spells + 1.0;
    return shown >= seen.seconds - slack && shown <= seen.seconds + slack;
}

}  // namespace

E2E_TEST_WITH_DEADLINE(soak_window_churn_keeps_the_totals_and_the_handles_flat, 900) {
    const int churnSeconds = soakSeconds();
    Session app(tmp);
    writeSoakSettings(app);
    app.start();
    Window main = app.waitMainWindow();
    Sleep(2500);  // past the splash
    ForegroundLog log;
    log.knowProcess(GetCurrentProcessId(), e2e::driverPath());
    std::mt19937 random(11);
    int counter = 0;
    auto nextTitle = [&] { return L"Soak " + std::to_wstring(++counter); };

    auto window = std::make_unique<DriverWindow>(nextTitle());
    window->bringToFront();
    // The first of each kind of work sets up what stays: caches, the first icons.
    Sleep(3000);
    const ProcessResources started = resourcesOf(app, L"after start-up");

    // Ticks alone, one window in front.
    const int quietSeconds = std::max(10, churnSeconds / 6);
    Sleep(static_cast<DWORD>(quietSeconds) * 1000);
    const ProcessResources quiet = resourcesOf(app, L"after ticks alone");
    expectFlat(started, quiet, L"ticks", quietSeconds * 2);

    // Churn: retitle, replace the window, or let a new application flash up.
    const std::wstring apps = tmp.file(L"apps");
    CreateDirectoryW(apps.c_str(), nullptr);
    int retitles = 0, replaced = 0, newApplications = 0;
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(churnSeconds) * 1000;
    while (GetTickCount64() < end) {
        const unsigned pick = random() % 10;
        if (pick < 5) {
            window->setTitle(nextTitle());
            ++retitles;
        } else if (pick < 8) {
            window = std::make_unique<DriverWindow>(nextTitle());
            window->bringToFront();
            ++replaced;
        } else {
            const std::wstring program =
                e2e::shortLivedApplication(apps, L"soak-app-" + std::to_wstring(++newApplications) + L".exe");
            const DWORD processId = e2e::startShortLived(program, nextTitle(), Milliseconds(150 + random() % 300));
            if (processId) log.knowProcess(processId, program);
            Sleep(500);
            window->bringToFront();
        }
        Sleep(150 + random() % 150);
    }
    const ProcessResources churned = resourcesOf(app, L"after the churn");
    e2e::note(L"churn of " + e2e::show(churnSeconds) + L" s: " + e2e::show(retitles) + L" retitles, " +
              e2e::show(replaced) + L" new windows, " + e2e::show(newApplications) + L" new applications, " +
              e2e::show(log.switches()) + L" foreground switches");
    expectFlat(quiet, churned, L"new applications and windows", newApplications + replaced);
    log.stop();

    // What the program counted against what the driver saw.
    EXPECT_TRUE(main.isResponsive());
    const std::wstring report = tmp.file(L"soak.csv");
    e2e::exportTo(app, main, e2e::kExportSpreadsheetCommand, report);
    std::string bytes;
    EXPECT_TRUE(e2e::waitUntil([&] { return !(bytes = e2e::readBytes(report)).empty(); }, Milliseconds(10000)));
    Sleep(500);
    bytes = e2e::readBytes(report);
    const Totals totals = readSpreadsheetTotals(bytes);
    int titlesChecked = 0, titlesOff = 0;
    for (const auto& [key, seen] : log.byTitle()) {
        const auto found = totals.titles.find(key);
        const int shown = found == totals.titles.end() ? 0 : found->second;
        ++titlesChecked;
        if (!withinSpells(shown, seen)) {
            ++titlesOff;
            if (titlesOff <= 5)
                e2e::recordFailure(__FILE__, __LINE__,
                                   L"title " + e2e::show(key.second) + L": counted " + e2e::show(shown) + L" s, seen " +
                                       e2e::show(seen.seconds) + L" s in " + e2e::show(seen.spells) + L" spells");
        }
    }
    const auto applications = log.byApplication();
    const auto driver = applications.find(e2e::driverPath());
    ASSERT_TRUE(driver != applications.end());
    const int driverShown = totals.applications.count(e2e::driverPath()) ? totals.applications.at(e2e::driverPath()) : 0;
    e2e::note(L"driver: counted " + e2e::show(driverShown) + L" s, seen " + e2e::show(driver->second.seconds) +
              L" s in " + e2e::show(driver->second.spells) + L" spells; titles checked " + e2e::show(titlesChecked) +
              L", off " + e2e::show(titlesOff) + L"; report rows " + e2e::show(totals.applications.size()));
    EXPECT_TRUE(withinSpells(driverShown, driver->second));
    EXPECT_EQ(titlesOff, 0);
    EXPECT_TRUE(app.openMessageBoxes().empty());
    window.reset();
    app.stop();
}

E2E_TEST_WITH_DEADLINE(soak_every_dialog_opened_and_closed_a_hundred_times_leaks_nothing, 300) {
    Session app(tmp);
    app.start();
    Window main = app.waitMainWindow();
    Sleep(2000);  // past the splash
    struct Dialog {
        int command;
        const wchar_t* caption;
    };
    const Dialog dialogs[] = {{e2e::kOptionsCommand, L"Configuration"},
                              {e2e::kPointersCommand, L"Cursors time"},
                              {e2e::kReporterCommand, L"Reporter/Client manager"},
                              {e2e::kAboutCommand, L"About Horalis"},
                              {e2e::kRulesCommand, L"Recording rules"}};
    // Each dialog once seen whole, as a user sees it, before counting. Wine
    // keeps a cache of up to 32 display DCs per process: one more for each
    // window that paints while the others keep theirs, handed on to later
    // windows once a window is gone. Dialogs closed before their controls
    // painted leave the cache short, and the first dialog that paints fully
    // then adds about 30 GDI objects (a DC and two objects of its own each)
    // that stay, flat however many dialogs follow.
    for (const Dialog& dialog : dialogs)
        for (int i = 0; i < 2; ++i) {
            const Window opened = e2e::openDialog(app, main, dialog.command, dialog.caption);
            EXPECT_TRUE(e2e::waitUntil([&] { return paintedThrough(opened.handle()); }));
            e2e::cancelDialog(opened);
        }
    ProcessResources before = resourcesOf(app, L"before the dialogs");
    const ProcessResources first = before;
    for (const Dialog& dialog : dialogs) {
        const ULONGLONG started = GetTickCount64();
        for (int i = 0; i < 100; ++i) e2e::cancelDialog(e2e::openDialog(app, main, dialog.command, dialog.caption));
        e2e::note(std::wstring(dialog.caption) + L" 100 times in " + e2e::show(GetTickCount64() - started) + L" ms");
        const ProcessResources after = resourcesOf(app, dialog.caption);
        expectFlat(before, after, dialog.caption, 100);
        before = after;
    }
    expectFlat(first, before, L"dialog openings", 500);
    // The pause and back, 50 times: a greyed tray icon made and dropped each time.
    for (int i = 0; i < 100; ++i) main.postCommand(e2e::kPauseCommand);
    Sleep(1000);  // posted: handled after any message sent meanwhile
    EXPECT_TRUE(main.isResponsive());
    expectFlat(before, resourcesOf(app, L"the pause"), L"the pause", 100);
    EXPECT_TRUE(main.isResponsive());
    EXPECT_TRUE(app.openMessageBoxes().empty());
    app.stop();
}
