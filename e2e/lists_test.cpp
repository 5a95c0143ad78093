// The application and window-title lists as a user sees them: the driver's
// own windows come to the front under known titles, and the lists are read
// back, clicked, sorted and cleared.
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "e2e/driver_window.h"
#include "e2e/framework.h"
#include "e2e/session.h"

namespace {

using e2e::DriverWindow;
using e2e::ListView;
using e2e::Milliseconds;
using e2e::Session;
using e2e::Window;

constexpr int kAppList = 1003;
constexpr int kTitleList = 1004;
constexpr int kClearLists = 1020;
constexpr int kClearListCommand = 32775;

// A row's rectangle in the list's client coordinates, asked of the list in
// its own process (the message carries a pointer).
RECT rowRect(const Window& list, int row) {
    RECT rect{};
    DWORD processId = list.processId();
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (!process) return rect;
    void* remote = VirtualAllocEx(process, nullptr, sizeof rect, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (remote) {
        rect.left = LVIR_BOUNDS;
        WriteProcessMemory(process, remote, &rect, sizeof rect, nullptr);
        DWORD_PTR result = 0;
        SendMessageTimeoutW(list.handle(), LVM_GETITEMRECT, static_cast<WPARAM>(row),
                            reinterpret_cast<LPARAM>(remote), SMTO_ABORTIFHUNG, 2000, &result);
        ReadProcessMemory(process, remote, &rect, sizeof rect, nullptr);
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    CloseHandle(process);
    return rect;
}

// A left click as the window would get it from the mouse, at a client point.
void click(const Window& window, POINT at) {
    const LPARAM where = MAKELPARAM(at.x, at.y);
    window.post(WM_LBUTTONDOWN, MK_LBUTTON, where);
    window.post(WM_LBUTTONUP, 0, where);
}

void clickRow(const Window& list, int row) {
    const RECT rect = rowRect(list, row);
    click(list, POINT{rect.left + 40, (rect.top + rect.bottom) / 2});
}

// The header is the list's one child; its items are the two columns (350, 150).
void clickHeader(const Window& list, int column) {
    const std::vector<Window> children = list.children();
    ASSERT_TRUE(!children.empty());
    click(children.front(), POINT{column == 0 ? 175 : 425, 8});
}

bool sortedByPath(const ListView& list) {
    const auto rows = list.rows();
    for (size_t i = 1; i < rows.size(); ++i)
        if (rows[i - 1][0] > rows[i][0]) return false;
    return true;
}

bool sortedByTime(const ListView& list) {
    const auto rows = list.rows();
    for (size_t i = 1; i < rows.size(); ++i)
        if (e2e::timeTextSeconds(rows[i - 1][1]) < e2e::timeTextSeconds(rows[i][1])) return false;
    return true;
}

}  // namespace

E2E_TEST(lists_count_the_foreground_application_and_show_its_titles_newest_first) {
    Session app(tmp);
    app.start();
    Window main = app.waitMainWindow();
    ListView apps(main.control(kAppList).handle());
    ListView titles(main.control(kTitleList).handle());
    ASSERT_TRUE(apps.exists() && titles.exists());

    DriverWindow front(L"Lists alpha");
    ASSERT_TRUE(front.bringToFront());
    const std::wstring path = e2e::driverPath();
    ASSERT_TRUE(e2e::waitUntil([&] { return apps.rowOf(path) >= 0; }));
    const int first = apps.secondsOf(path);
    // The first sample counts zero seconds; the row then grows in place.
    EXPECT_TRUE(e2e::waitUntil([&] { return apps.secondsOf(path) >= first + 2; }));
    Sleep(500);
    front.setTitle(L"Lists beta");
    Sleep(2000);
    e2e::screenshot(L"lists-running");

    // A click on the row fills the lower list with its titles, newest first.
    EXPECT_EQ(titles.rowCount(), 0);
    clickRow(apps, apps.rowOf(path));
    EXPECT_TRUE(e2e::waitUntil([&] { return titles.rowCount() == 2; }));
    if (titles.rowCount() == 2) {
        EXPECT_EQ(titles.cellText(0, 0), std::wstring(L"Lists beta"));
        EXPECT_EQ(titles.cellText(1, 0), std::wstring(L"Lists alpha"));
        EXPECT_TRUE(e2e::timeTextSeconds(titles.cellText(1, 1)) >= 2);
    }
    e2e::screenshot(L"lists-titles");
    // The lower list is a snapshot: its times stay until the next click.
    const auto snapshot = titles.rows();
    Sleep(1500);
    EXPECT_TRUE(titles.rows() == snapshot);

    // A click below the rows leaves nothing selected and empties the lower list.
    const RECT last = rowRect(apps, apps.rowCount() - 1);
    click(apps, POINT{40, last.bottom + 30});
    EXPECT_TRUE(e2e::waitUntil([&] { return titles.rowCount() == 0; }));
    app.stop();
}

E2E_TEST(lists_sort_by_header_click_and_add_new_applications_on_top) {
    Session app(tmp);
    app.start();
    Window main = app.waitMainWindow();
    ListView apps(main.control(kAppList).handle());

    // Two applications: the program itself (foreground at start) and the driver.
    ASSERT_TRUE(e2e::waitUntil([&] { return apps.rowCount() >= 1; }));
    DriverWindow front(L"Sorting");
    ASSERT_TRUE(front.bringToFront());
    const std::wstring path = e2e::driverPath();
    ASSERT_TRUE(e2e::waitUntil([&] { return apps.rowOf(path) >= 0; }));
    // Newest first: the driver's row came in at the top.
    EXPECT_EQ(apps.rowOf(path), 0);
    ASSERT_TRUE(e2e::waitUntil([&] { return apps.rowCount() >= 2; }));
    Sleep(2000);

    clickHeader(apps, 0);
    EXPECT_TRUE(e2e::waitUntil([&] { return sortedByPath(apps); }, Milliseconds(3000)));
    clickHeader(apps, 1);
    EXPECT_TRUE(e2e::waitUntil([&] { return sortedByTime(apps); }, Milliseconds(3000)));
    // Again: the same (descending) order, no toggling.
    clickHeader(apps, 1);
    Sleep(600);
    EXPECT_TRUE(sortedByTime(apps));
    e2e::screenshot(L"lists-sorted");
    app.stop();
}

E2E_TEST(lists_clear_button_and_menu_command_empty_both_lists) {
    Session app(tmp);
    app.start();
    Window main = app.waitMainWindow();
    ListView apps(main.control(kAppList).handle());
    ListView titles(main.control(kTitleList).handle());

    DriverWindow front(L"Clearing");
    ASSERT_TRUE(front.bringToFront());
    const std::wstring path = e2e::driverPath();
    ASSERT_TRUE(e2e::waitUntil([&] { return apps.rowOf(path) >= 0; }));
    ASSERT_TRUE(e2e::waitUntil([&] { return apps.secondsOf(path) >= 3; }));
    clickRow(apps, apps.rowOf(path));
    ASSERT_TRUE(e2e::waitUntil([&] { return titles.rowCount() == 1; }));
    // The click focused the list, which activates the program's window.
    ASSERT_TRUE(front.bringToFront());

    for (int command : {kClearLists, kClearListCommand}) {
        main.postCommand(command);
        // The driver stays in front, so its row comes back, but from zero and alone.
        EXPECT_TRUE(e2e::waitUntil([&] {
            const int row = apps.rowOf(path);
            return titles.rowCount() == 0 && apps.rowCount() <= 1 &&
                   (row < 0 || e2e::timeTextSeconds(apps.cellText(row, 1)) <= 1);
        }, Milliseconds(3000)));
        ASSERT_TRUE(e2e::waitUntil([&] { return apps.secondsOf(path) >= 3; }));
    }
    EXPECT_TRUE(main.isResponsive());
    app.stop();
}
