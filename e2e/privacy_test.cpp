// What is recorded is the user's choice: the pause from the menus, a private
// browser window counted without its title, and the rules dialog with the
// rules.txt it writes.
#include <windows.h>
#include <commctrl.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "e2e/commands.h"
#include "e2e/driver_window.h"
#include "e2e/framework.h"
#include "e2e/session.h"
#include "e2e/stand_in_tray.h"

namespace {

using e2e::DriverWindow;
using e2e::ListView;
using e2e::Milliseconds;
using e2e::Session;
using e2e::Window;

using e2e::kPauseCommand;
using e2e::kRulesCommand;
using e2e::kTrayCallback;
using e2e::kTrayId;
constexpr const wchar_t* kIdleTime = L"Idle time";

// The rules dialog's controls.
constexpr int kRuleList = 1030;
constexpr int kRuleTarget = 1031;
constexpr int kRulePattern = 1032;
constexpr int kRuleAction = 1033;
constexpr int kRuleCategory = 1034;
constexpr int kRuleAdd = 1035;
constexpr int kRuleRemove = 1037;
constexpr int kCountPresence = 1040;
constexpr int kSkippedLines = 1041;

// The pause's check mark in the File menu; nothing where another process's
// menus cannot be read (Wine keeps menus per process).
std::optional<bool> pauseChecked(const Window& main) {
    const UINT state = GetMenuState(GetMenu(main.handle()), kPauseCommand, MF_BYCOMMAND);
    if (state == static_cast<UINT>(-1)) return std::nullopt;
    return (state & MF_CHECKED) != 0;
}

Window visiblePopupMenu(const Session& app) {
    for (const Window& window : app.windows())
        if (window.className() == L"#32768" && window.isVisible()) return window;
    return Window();
}

// Every file of the folder and its subfolders (the journal's, the day
// records'), as bytes, with its path below the folder.
void folderFiles(const std::wstring& folder, const std::wstring& below,
                 std::vector<std::pair<std::wstring, std::string>>& files) {
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            folderFiles(folder + L"\\" + name, below + name + L"\\", files);
        else
            files.emplace_back(below + name, e2e::readBytes(folder + L"\\" + name));
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

std::vector<std::pair<std::wstring, std::string>> folderFiles(const std::wstring& folder) {
    std::vector<std::pair<std::wstring, std::string>> files;
    folderFiles(folder, L"", files);
    return files;
}

bool holdsText(const std::string& bytes, const std::string& ascii) {
    std::string utf16;
    for (char c : ascii) utf16 += {c, '\0'};
    return bytes.find(ascii) != std::string::npos || bytes.find(utf16) != std::string::npos;
}

}  // namespace

E2E_TEST_WITH_DEADLINE(pause_from_the_file_menu_counts_nothing_not_even_idle_and_the_tray_says_so, 90) {
    e2e::StandInTray tray(true);
    Session app(tmp);
    e2e::writeSettings(app.dataFolder(), "0 1 1 3");  // seconds, away after 3 s
    app.start();
    Window main = app.waitMainWindow();
    ListView apps(main.control(e2e::kAppListId).handle());
    DriverWindow front(L"Working, then paused");
    ASSERT_TRUE(front.bringToFront());
    e2e::workFor(Milliseconds(2500));
    ASSERT_TRUE(apps.secondsOf(e2e::driverPath()) >= 1);
    EXPECT_TRUE(e2e::waitUntil([&] { return tray.lastTip() == L"Tallimer"; }));
    EXPECT_FALSE(tray.lastIconGrey());
    if (const auto checked = pauseChecked(main)) EXPECT_FALSE(*checked);

    main.postCommand(kPauseCommand);
    EXPECT_TRUE(e2e::waitUntil([&] { return tray.lastTip() == L"Tallimer (paused)"; }));
    EXPECT_TRUE(tray.lastIconGrey());
    if (const auto checked = pauseChecked(main)) EXPECT_TRUE(*checked);
    else e2e::note(L"menus of another process cannot be read here: the check mark is not looked at");
    Sleep(600);
    const int before = apps.secondsOf(e2e::driverPath());
    e2e::workFor(Milliseconds(2000));  // working, but paused
    Sleep(5000);                        // and then away past the timeout
    e2e::screenshot(L"paused");
    EXPECT_EQ(apps.secondsOf(e2e::driverPath()), before);
    EXPECT_EQ(apps.secondsOf(kIdleTime), -1);

    // Resumed from the tray's pop-up: "Pause recording" is just above "Exit".
    main.post(kTrayCallback, kTrayId, WM_RBUTTONDOWN);
    Window popup;
    ASSERT_TRUE(e2e::waitUntil([&] { return static_cast<bool>(popup = visiblePopupMenu(app)); }));
    popup.post(WM_KEYDOWN, VK_UP, 0);
    popup.post(WM_KEYDOWN, VK_UP, 0);
    popup.post(WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_TRUE(e2e::waitUntil([&] { return tray.lastTip() == L"Tallimer"; }));
    EXPECT_FALSE(tray.lastIconGrey());
    ASSERT_TRUE(front.bringToFront());
    e2e::workFor(Milliseconds(2500));
    EXPECT_TRUE(apps.secondsOf(e2e::driverPath()) >= before + 1);
    app.stop();
}

// Firefox's private windows by a built-in rule: the time is the program's,
// the title is in no list, export, journal, daily pair, day record, history
// page or any other file.
E2E_TEST_WITH_DEADLINE(private_browsing_window_is_counted_as_private_window_and_its_title_is_written_nowhere, 150) {
    Session app(tmp);
    e2e::writeSettings(app.dataFolder(), "1 1 1 300");
    app.start();
    Window main = app.waitMainWindow();
    ListView apps(main.control(e2e::kAppListId).handle());
    DriverWindow browser(L"Bank statement - Mozilla Firefox Private Browsing");
    ASSERT_TRUE(browser.bringToFront());
    ASSERT_TRUE(e2e::waitUntil([&] { return apps.secondsOf(e2e::driverPath()) >= 3; }));

    const std::wstring csv = tmp.file(L"export.csv");
    e2e::exportTo(app, main, e2e::kExportCsvCommand, csv);
    ASSERT_TRUE(e2e::waitUntil([&] { return e2e::fileExists(csv); }));
    Sleep(300);
    const std::string exported = e2e::readBytes(csv);
    EXPECT_TRUE(holdsText(exported, "Private window"));
    EXPECT_FALSE(holdsText(exported, "Bank statement"));

    // The journal, appended at least once a minute.
    const auto journalHolds = [&] {
        for (const auto& [name, bytes] : folderFiles(app.dataFolder()))
            if (name.starts_with(L"Journal\\") && holdsText(bytes, "Private window")) return true;
        return false;
    };
    EXPECT_TRUE(e2e::waitUntil(journalHolds, Milliseconds(70000), Milliseconds(500)));
    const auto expectNowhere = [&](const wchar_t* when) {
        for (const auto& [name, bytes] : folderFiles(app.dataFolder()))
            if (holdsText(bytes, "Bank statement"))
                e2e::recordFailure(__FILE__, __LINE__, std::wstring(L"the title is in ") + name + L" " + when);
    };
    expectNowhere(L"while running");

    e2e::endSession(main.handle());  // the day's pair and its day record
    EXPECT_FALSE(e2e::openHistoryPage(main, app.dataFolder()).empty());
    expectNowhere(L"after the log-off and Open history");
    bool pair = false, history = false;
    for (const auto& [name, bytes] : folderFiles(app.dataFolder())) {
        pair = pair || (name.ends_with(L".csv") && holdsText(bytes, "Private window"));
        history = history || (name == L"history.html" && holdsText(bytes, "Private window"));
    }
    EXPECT_TRUE(pair);
    EXPECT_TRUE(history);
    app.stop();
}

// A rules.txt with garbage in it: the readable rule is listed, the rest shown
// as skipped; a rule added and one removed again, and the presence switch,
// reach the file; the garbage stays in it as a comment. The category rule's
// time is then in the history page.
E2E_TEST_WITH_DEADLINE(rules_dialog_shows_skipped_lines_and_adds_and_removes_rules_in_rules_txt, 90) {
    Session app(tmp);
    const std::wstring rules = app.dataFolder() + L"\\rules.txt";
    e2e::writeSettings(app.dataFolder(), "1 0 1 300");
    ASSERT_TRUE(e2e::writeBytes(rules, "program KeePass.exe -> hide\r\nplease hide my bank\r\n\xFF\xFE garbage\r\n"));
    app.start();
    Window main = app.waitMainWindow();

    Window dialog = e2e::openDialog(app, main, kRulesCommand, L"Recording rules");
    ListView list(dialog.control(kRuleList).handle());
    EXPECT_EQ(list.rowCount(), 1);
    EXPECT_EQ(list.cellText(0, 1), std::wstring(L"KeePass.exe"));
    const std::wstring skipped = dialog.control(kSkippedLines).text();
    EXPECT_TRUE(skipped.find(L"line 2: please hide my bank") != std::wstring::npos);
    EXPECT_TRUE(skipped.find(L"line 3: ") != std::wstring::npos);

    const auto fill = [&](int target, const wchar_t* pattern, int action, const wchar_t* category) {
        SendMessageW(dialog.control(kRuleTarget).handle(), CB_SETCURSEL, target, 0);
        SendMessageW(dialog.control(kRuleAction).handle(), CB_SETCURSEL, action, 0);
        SendMessageW(dialog.control(kRulePattern).handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(pattern));
        SendMessageW(dialog.control(kRuleCategory).handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(category));
        dialog.postCommand(kRuleAdd, BN_CLICKED);
    };
    fill(1, L"  Project X ", 2, L"Work");
    ASSERT_TRUE(e2e::waitUntil([&] { return list.rowCount() == 2; }));
    fill(0, L"game*.exe", 1, L"");
    ASSERT_TRUE(e2e::waitUntil([&] { return list.rowCount() == 3; }));
    EXPECT_EQ(list.cellText(1, 2), std::wstring(L"Category: Work"));
    EXPECT_EQ(list.cellText(2, 2), std::wstring(L"Don't record"));
    e2e::screenshot(L"rules-dialog");
    // The rule just added is the one chosen: removed again.
    dialog.postCommand(kRuleRemove, BN_CLICKED);
    ASSERT_TRUE(e2e::waitUntil([&] { return list.rowCount() == 2; }));
    SendMessageW(dialog.control(kCountPresence).handle(), BM_SETCHECK, BST_CHECKED, 0);
    dialog.postCommand(IDOK, BN_CLICKED);
    ASSERT_TRUE(dialog.waitClosed());

    ASSERT_TRUE(e2e::waitUntil([&] { return e2e::readBytes(rules).find("Project X") != std::string::npos; },
                               Milliseconds(3000)));
    const std::string written = e2e::readBytes(rules);
    EXPECT_TRUE(written.find("\r\nprogram KeePass.exe -> hide\r\ntitle Project X -> category Work\r\npresence on\r\n") !=
                std::string::npos);
    EXPECT_TRUE(written.find("\r\n# please hide my bank\r\n") != std::string::npos);
    EXPECT_TRUE(written.find("game") == std::string::npos);

    // Opened again, it shows what the file now holds.
    dialog = e2e::openDialog(app, main, kRulesCommand, L"Recording rules");
    list = ListView(dialog.control(kRuleList).handle());
    EXPECT_EQ(list.rowCount(), 2);
    EXPECT_EQ(static_cast<int>(SendMessageW(dialog.control(kCountPresence).handle(), BM_GETCHECK, 0, 0)),
              BST_CHECKED);
    EXPECT_EQ(dialog.control(kSkippedLines).text(), std::wstring(L"(none)"));
    e2e::cancelDialog(dialog);

    ListView apps(main.control(e2e::kAppListId).handle());
    DriverWindow planning(L"Project X plan - Editor");
    ASSERT_TRUE(planning.bringToFront());
    ASSERT_TRUE(e2e::waitUntil([&] { return apps.secondsOf(e2e::driverPath()) >= 2; }));
    e2e::endSession(main.handle());
    const std::string history = e2e::openHistoryPage(main, app.dataFolder());
    EXPECT_TRUE(history.find("<th class=app>Category</th>") != std::string::npos);
    EXPECT_TRUE(history.find("<b>Work</b>") != std::string::npos);
    app.stop();
}
