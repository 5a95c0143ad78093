// The application and window-title lists as a user sees them: the driver's
// own windows come to the front under known titles, and the lists are read
// back, clicked, sorted and cleared.
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "e2e/commands.h"
#include "e2e/driver_window.h"
#include "e2e/framework.h"
#include "e2e/session.h"

namespace {

using e2e::DriverWindow;
using e2e::ListView;
using e2e::Milliseconds;
using e2e::Session;
using e2e::Window;

constexpr int kAppList = e2e::kAppListId;
constexpr int kTitleList = e2e::kTitleListId;
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

namespace {

int selectedRow(const Window& list) {
    DWORD_PTR row = static_cast<DWORD_PTR>(-1);
    SendMessageTimeoutW(list.handle(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED, SMTO_ABORTIFHUNG, 2000,
                        &row);
    return static_cast<int>(static_cast<LRESULT>(row));
}

// Letters as typed into the list; a pause first ends the list's incremental search.
void typeInto(const Window& list, const std::wstring& text) {
    Sleep(1200);
    for (wchar_t c : text) list.post(WM_CHAR, c, 1);
}

bool sharesImageLists(const Window& list) {
    return (GetWindowLongW(list.handle(), GWL_STYLE) & LVS_SHAREIMAGELISTS) != 0;
}

}  // namespace

E2E_TEST(lists_find_rows_by_typed_letters_and_leave_their_image_lists_to_the_window) {
    Session app(tmp);
    app.start();
    Window main = app.waitMainWindow();
    ListView apps(main.control(kAppList).handle());
    // The window's image-list members own the pictures: a list view without
    // LVS_SHAREIMAGELISTS would destroy them a second time.
    EXPECT_TRUE(sharesImageLists(apps));
    EXPECT_TRUE(sharesImageLists(main.control(kTitleList)));
    main.postCommand(32788);  // Tools > Show mouse pointers time
    Window pointers = app.waitWindow(L"#32770", L"Cursors time");
    EXPECT_TRUE(e2e::waitUntil([&] { return pointers.control(1017).exists(); }));
    EXPECT_TRUE(sharesImageLists(pointers.control(1017)));
    pointers.postCommand(IDOK);
    EXPECT_TRUE(pointers.waitClosed());

    // Three rows: two other applications from the case's folder, then the driver.
    for (const wchar_t* name : {L"typing-a.exe", L"typing-b.exe"}) {
        const std::wstring other = e2e::shortLivedApplication(tmp.path(), name);
        ASSERT_TRUE(e2e::startShortLived(other, L"Typing", Milliseconds(1000)) != 0);
        ASSERT_TRUE(e2e::waitUntil([&] { return apps.rowOf(other) >= 0; }));
    }
    DriverWindow front(L"Typing");
    ASSERT_TRUE(front.bringToFront());
    const std::wstring path = e2e::driverPath();
    ASSERT_TRUE(e2e::waitUntil([&] { return apps.rowOf(path) >= 0; }));
    const auto rows = apps.rows();
    const int driverRow = apps.rowOf(path);

    // A prefix in another case finds its row, from wherever the focus is.
    std::wstring typed = path;
    for (wchar_t& c : typed) c = static_cast<wchar_t>(towlower(c));
    typeInto(apps, typed);
    EXPECT_TRUE(e2e::waitUntil([&] { return selectedRow(apps) == driverRow; }, Milliseconds(3000)));
    // The first letter of the folder's rows, typed three times in either
    // case: each time the next such row after the focused one, round past the
    // end to the top.
    const wchar_t letter = tmp.path()[0];
    int expected = driverRow;
    for (int i = 0; i < 3; ++i) {
        do expected = (expected + 1) % static_cast<int>(rows.size());
        while (towlower(rows[static_cast<size_t>(expected)][0][0]) != towlower(letter));
        typeInto(apps, std::wstring(1, static_cast<wchar_t>(i % 2 ? towupper(letter) : towlower(letter))));
        EXPECT_TRUE(e2e::waitUntil([&] { return selectedRow(apps) == expected; }, Milliseconds(3000)));
    }
    EXPECT_TRUE(main.isResponsive());
    app.stop();
}
