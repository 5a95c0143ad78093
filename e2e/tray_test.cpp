// Hiding into the tray and coming back: the close box, the tray icon's
// callback and its pop-up menu, while sampling goes on.
#include <windows.h>
#include <shellapi.h>

#include <string>

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

using e2e::kTrayCallback;
using e2e::kTrayId;
constexpr int kAppList = e2e::kAppListId;

Window visiblePopupMenu(const Session& app) {
    for (const Window& window : app.windows())
        if (window.className() == L"#32768" && window.isVisible()) return window;
    return Window();
}

bool isHiddenWindowOf(const Session& app, HWND window) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return window && process == app.processId() && !IsWindowVisible(window);
}

// Whether the shell shows the program's icon: an empty NIM_MODIFY succeeds
// only for an icon it has.
bool shellHasIcon(const Window& main) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = main.handle();
    data.uID = kTrayId;
    return Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

}  // namespace

// Explorer still starting at logon refuses NIM_ADD; a restarted Explorer has
// forgotten every icon and says so with "TaskbarCreated". Either way the icon
// must come back, or a window closed to the tray could never be reopened.
E2E_TEST(tray_icon_is_added_once_the_shell_takes_it_and_again_after_taskbar_created) {
    e2e::StandInTray notReady(false);
    Session app(tmp);
    app.start();
    Window main = app.waitMainWindow();
    // The first request and at least one more a second later.
    ASSERT_TRUE(e2e::waitUntil([&] { return notReady.requests() >= 2; }, Milliseconds(4000)));
    notReady.close();
    EXPECT_TRUE(e2e::waitUntil([&] { return shellHasIcon(main); }, Milliseconds(3000)));
    // Retried no more once the shell has it.
    const int asked = notReady.requests();
    Sleep(1200);
    EXPECT_EQ(notReady.requests(), asked);

    NOTIFYICONDATAW gone{};
    gone.cbSize = sizeof gone;
    gone.hWnd = main.handle();
    gone.uID = kTrayId;
    ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &gone) != FALSE);
    EXPECT_FALSE(shellHasIcon(main));
    main.post(RegisterWindowMessageW(L"TaskbarCreated"));
    EXPECT_TRUE(e2e::waitUntil([&] { return shellHasIcon(main); }, Milliseconds(3000)));
    app.stop();
}

E2E_TEST(tray_close_box_hides_while_sampling_goes_on_and_left_click_brings_back) {
    Session app(tmp);
    app.start();
    Window main = app.waitMainWindow();
    ListView apps(main.control(kAppList).handle());
    DriverWindow front(L"Tray front");
    ASSERT_TRUE(front.bringToFront());
    ASSERT_TRUE(e2e::waitUntil([&] { return apps.secondsOf(e2e::driverPath()) >= 1; }));

    // Enter and Esc do nothing.
    main.postCommand(IDOK);
    main.postCommand(IDCANCEL);
    Sleep(300);
    EXPECT_TRUE(main.isVisible());

    main.post(WM_CLOSE);
    EXPECT_TRUE(e2e::waitUntil([&] { return !main.isVisible(); }));
    const int hidden = apps.secondsOf(e2e::driverPath());
    Sleep(2500);
    EXPECT_TRUE(apps.secondsOf(e2e::driverPath()) >= hidden + 2);
    EXPECT_TRUE(app.isRunning());

    // Button releases and double clicks on the icon do nothing.
    main.post(kTrayCallback, kTrayId, WM_LBUTTONUP);
    main.post(kTrayCallback, kTrayId, WM_LBUTTONDBLCLK);
    main.post(kTrayCallback, kTrayId, WM_RBUTTONUP);
    Sleep(400);
    EXPECT_FALSE(main.isVisible());
    EXPECT_FALSE(visiblePopupMenu(app));

    main.post(kTrayCallback, kTrayId, WM_LBUTTONDOWN);
    EXPECT_TRUE(e2e::waitUntil([&] { return main.isVisible(); }));

    // The system menu's close does the same as the close box.
    main.post(WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(e2e::waitUntil([&] { return !main.isVisible(); }));
    main.post(kTrayCallback, kTrayId, WM_LBUTTONDOWN);
    EXPECT_TRUE(e2e::waitUntil([&] { return main.isVisible(); }));
    app.stop();
}

E2E_TEST(tray_right_click_opens_the_pop_up_and_show_application_brings_back) {
    Session app(tmp);
    app.start();
    Window main = app.waitMainWindow();
    // Past the start-up picture: the modal loop shows the window once more
    // when it first runs idle.
    Sleep(1500);
    main.postCommand(32783);  // File > Hide
    ASSERT_TRUE(e2e::waitUntil([&] { return !main.isVisible(); }));

    main.post(kTrayCallback, kTrayId, WM_RBUTTONDOWN);
    Window popup;
    ASSERT_TRUE(e2e::waitUntil([&] { return static_cast<bool>(popup = visiblePopupMenu(app)); }));
    e2e::screenshot(L"tray-popup");
    // Its owner is the foreground window, so that Windows closes the pop-up
    // on Esc or a click elsewhere: a hidden window of the program; the main
    // window stays hidden.
    EXPECT_TRUE(isHiddenWindowOf(app, GetForegroundWindow()));
    EXPECT_FALSE(main.isVisible());
    popup.post(WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(e2e::waitUntil([&] { return !popup.isVisible(); }));
    Sleep(300);
    EXPECT_FALSE(main.isVisible());
    // Opened again, it stays open.
    main.post(kTrayCallback, kTrayId, WM_RBUTTONDOWN);
    ASSERT_TRUE(e2e::waitUntil([&] { return static_cast<bool>(popup = visiblePopupMenu(app)); }));
    Sleep(300);
    EXPECT_TRUE(popup.isVisible());
    // The pop-up runs its own loop; sampling goes on meanwhile.
    EXPECT_TRUE(main.isResponsive());
    popup.post(WM_KEYDOWN, VK_DOWN, 0);
    popup.post(WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_TRUE(e2e::waitUntil([&] { return !popup.isVisible(); }));
    EXPECT_TRUE(e2e::waitUntil([&] { return main.isVisible(); }));

    // "Exit" from the tray asks the same question as File > Exit.
    main.post(kTrayCallback, kTrayId, WM_RBUTTONDOWN);
    ASSERT_TRUE(e2e::waitUntil([&] { return static_cast<bool>(popup = visiblePopupMenu(app)); }));
    popup.post(WM_KEYDOWN, VK_UP, 0);
    popup.post(WM_KEYDOWN, VK_RETURN, 0);
    // The main window's caption is "Horalis" too: the box is the one it owns.
    Window box;
    ASSERT_TRUE(e2e::waitUntil([&] {
        for (const Window& window : app.windows())
            if (window.className() == L"#32770" && window.caption() == L"Horalis" && window.isVisible() &&
                window.owner().handle() == main.handle())
                box = window;
        return static_cast<bool>(box);
    }));
    e2e::MessageBoxWindow question(box.handle());
    EXPECT_TEXT(question, L"Exit from application?");
    question.clickNo();
    EXPECT_TRUE(question.waitClosed());
    EXPECT_TRUE(app.isRunning());
    app.stop();
}

namespace {

// Wine's own notification area when no tray manager runs: a top-level window
// of Explorer at (0,0) with one child per icon.
Window wineTrayIcon() {
    HWND tray = FindWindowW(L"__winex11_standalone_tray", nullptr);
    return Window(tray ? FindWindowExW(tray, nullptr, L"__winex11_tray_icon", nullptr) : nullptr);
}

// A real right click: the system delivers it to Explorer's icon window,
// which tells the program with its callback message.
void rightClickOn(const Window& window) {
    const RECT r = window.screenRect();
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    INPUT clicks[2] = {};
    clicks[0].type = clicks[1].type = INPUT_MOUSE;
    clicks[0].mi.dwFlags = MOUSEEVENTF_RIGHTDOWN;
    clicks[1].mi.dwFlags = MOUSEEVENTF_RIGHTUP;
    SendInput(2, clicks, sizeof(INPUT));
}

// Whether upper is in front of lower in the z-order of top-level windows.
bool inFrontOf(HWND upper, HWND lower) {
    for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
        if (w == upper) return true;
        if (w == lower) return false;
    }
    return false;
}

}  // namespace

// The pop-up opens on a real click, and opening it leaves the windows where
// they are: the main window raised over Wine's tray window (both at (0,0))
// would take every later click on the icon.
E2E_TEST(tray_real_right_click_opens_the_pop_up_and_leaves_the_windows_where_they_are) {
    Session app(tmp);
    app.start();
    Window main = app.waitMainWindow();
    Sleep(1500);  // past the start-up picture
    // It opens at (0,0), over Wine's tray window.
    SetWindowPos(main.handle(), nullptr, 200, 120, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_ASYNCWINDOWPOS);
    ASSERT_TRUE(e2e::waitUntil([&] { return main.screenRect().left == 200; }, Milliseconds(3000)));
    Window icon;
    ASSERT_TRUE(e2e::waitUntil([&] { return static_cast<bool>(icon = wineTrayIcon()) && icon.isVisible(); }));
    DriverWindow front(L"Tray real click front");
    ASSERT_TRUE(front.bringToFront());

    for (int click = 0; click < 2; ++click) {
        rightClickOn(icon);
        Window popup;
        ASSERT_TRUE(e2e::waitUntil([&] { return static_cast<bool>(popup = visiblePopupMenu(app)); },
                                   Milliseconds(3000)));
        if (click == 0) e2e::screenshot(L"tray-real-click");
        EXPECT_TRUE(isHiddenWindowOf(app, GetForegroundWindow()));
        EXPECT_TRUE(inFrontOf(front.handle(), main.handle()));
        popup.post(WM_KEYDOWN, VK_ESCAPE, 0);
        EXPECT_TRUE(e2e::waitUntil([&] { return !popup.isVisible(); }));
        // A second press this soon would be a double click, which opens nothing.
        Sleep(GetDoubleClickTime() + 100);
    }
    app.stop();
}
