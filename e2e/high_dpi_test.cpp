// Horalis on a 150 % desktop (144 DPI): every size the program sets itself
// follows the DPI, as the dialog templates and fonts do, and a move to a
// monitor of another DPI (WM_DPICHANGED) rescales them again, every control's
// font and place included (the program does it, not the dialog manager,
// whose re-layout Wine does not have).
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "e2e/commands.h"
#include "e2e/driver_window.h"
#include "e2e/framework.h"
#include "e2e/in_process.h"
#include "e2e/session.h"
#include "e2e/stand_in_tray.h"

namespace {

using e2e::Milliseconds;
using e2e::Session;
using e2e::Window;

// The desktop's DPI as Wine reads it when a program starts; the old values
// come back at the end of the case, however it ends.
class DesktopDpi {
public:
    explicit DesktopDpi(DWORD dpi) {
        for (Place& place : places_) {
            HKEY key = nullptr;
            if (RegCreateKeyExW(place.root, place.path, 0, nullptr, 0, KEY_READ | KEY_SET_VALUE, nullptr, &key,
                                nullptr) != ERROR_SUCCESS)
                continue;
            DWORD size = sizeof place.old;
            place.had = RegQueryValueExW(key, L"LogPixels", nullptr, nullptr, reinterpret_cast<BYTE*>(&place.old),
                                         &size) == ERROR_SUCCESS;
            RegSetValueExW(key, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);
            RegCloseKey(key);
        }
    }
    ~DesktopDpi() {
        for (const Place& place : places_) {
            HKEY key = nullptr;
            if (RegOpenKeyExW(place.root, place.path, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) continue;
            if (place.had)
                RegSetValueExW(key, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&place.old),
                               sizeof place.old);
            else
                RegDeleteValueW(key, L"LogPixels");
            RegCloseKey(key);
        }
    }
    DesktopDpi(const DesktopDpi&) = delete;
    DesktopDpi& operator=(const DesktopDpi&) = delete;

private:
    struct Place {
        HKEY root;
        const wchar_t* path;
        bool had = false;
        DWORD old = 0;
    };
    Place places_[2] = {{HKEY_CURRENT_USER, L"Control Panel\\Desktop"},
                        {HKEY_LOCAL_MACHINE, L"System\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\Fonts"}};
};

// The four margins of the resize rule as the window shows them now.
struct Margins {
    LONG groupRight, groupBottom, listRight, listBottom;
};
Margins marginsOf(const Window& main) {
    const SIZE client = main.clientSize();
    const LONG middle = client.cy / 2;
    return {client.cx - main.controlRect(1018).right, middle - main.controlRect(1018).bottom,
            client.cx - main.controlRect(1003).right, middle - main.controlRect(1003).bottom};
}

// The window's own controls (its direct children), in z-order.
std::vector<Window> controlsOf(const Window& window) {
    std::vector<Window> controls;
    for (HWND child = GetWindow(window.handle(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        controls.emplace_back(child);
    return controls;
}

// Width in pixels of text in the dialogs' font face at that height.
LONG textWidth(const std::wstring& text, int height) {
    LOGFONTW font{};
    font.lfHeight = -height;
    font.lfUnderline = TRUE;
    font.lfCharSet = DEFAULT_CHARSET;
    wcscpy(font.lfFaceName, L"MS Shell Dlg");
    horalis::Font handle(CreateFontIndirectW(&font));
    horalis::WindowDc dc(nullptr);
    horalis::SelectObjectScope selected(dc.get(), handle.get());
    SIZE extent{};
    GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &extent);
    return extent.cx;
}

RECT rectIn(const Window& window, const Window& control) {
    return window.controlRect(GetDlgCtrlID(control.handle()));
}

// Opens a dialog by its command, takes a picture of the screen, closes it.
void photographDialog(Session& app, const Window& main, int command, const wchar_t* caption, const wchar_t* shot) {
    main.postCommand(command);
    Window dialog = app.waitWindow(L"#32770", caption);
    Sleep(300);
    e2e::screenshot(shot);
    dialog.postCommand(IDCANCEL);
    dialog.waitClosed();
}

}  // namespace

// 380 x 350 dialog units are 855 x 831 client pixels at 150 %: with the
// caption and the menu bar taller than the 800 rows of the screen.
E2E_TEST(high_dpi_main_window_first_fits_a_small_screen) {
    DesktopDpi desktop(144);
    Session app(tmp);
    app.start();
    Window main = app.waitMainWindow();
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ASSERT_TRUE(GetMonitorInfoW(MonitorFromWindow(main.handle(), MONITOR_DEFAULTTONEAREST), &monitor));
    const RECT work = monitor.rcWork;
    const RECT placed = main.screenRect();
    e2e::note(L"work area " + e2e::show(work.right - work.left) + L"x" + e2e::show(work.bottom - work.top) +
              L", window " + e2e::show(placed.right - placed.left) + L"x" + e2e::show(placed.bottom - placed.top));
    EXPECT_TRUE(placed.left >= work.left && placed.top >= work.top);
    EXPECT_TRUE(placed.right <= work.right && placed.bottom <= work.bottom);
    // Only the height had to give; the lists share what is left.
    EXPECT_EQ(main.clientSize().cx, 855L);
    const SIZE client = main.clientSize();
    EXPECT_EQ(main.controlRect(1004).bottom, client.cy - 23);
    EXPECT_EQ(main.controlRect(1019).top, client.cy / 2);
    Sleep(1500);  // past the start-up picture
    e2e::screenshot(L"main-window-144dpi-first");
    app.stop();
}

E2E_TEST(high_dpi_scales_columns_icons_margins_and_follows_a_dpi_change) {
    DesktopDpi desktop(144);
    e2e::StandInTray tray(true);
    Session app(tmp);
    app.start();
    Window main = app.waitMainWindow();
    // The tray icon at the shell's small-icon size for 144 DPI, 24 pixels,
    // not a larger one squeezed (LoadIconMetric, LIM_SMALL).
    ASSERT_TRUE(e2e::waitUntil([&] { return tray.lastIconWidth() != 0; }));
    EXPECT_EQ(tray.lastIconWidth(), 24);
    tray.close();
    e2e::ListView apps(main.control(1003).handle());
    e2e::ListView titles(main.control(1004).handle());
    e2e::DriverWindow front(L"High DPI front");
    ASSERT_TRUE(front.bringToFront());
    ASSERT_TRUE(e2e::waitUntil([&] { return apps.rowOf(e2e::driverPath()) >= 0; }));

    // 350 and 150 at 96 DPI; the first column keeps its 65 % of the list.
    EXPECT_EQ(apps.columnWidth(0), 525);
    EXPECT_EQ(apps.columnWidth(1), 225);
    EXPECT_EQ(titles.columnWidth(0), 525);
    const RECT icon = apps.iconRect(apps.rowOf(e2e::driverPath()));
    EXPECT_EQ(icon.right - icon.left, 24L);

    // After a resize the rule's margins are the 96-DPI 10, 7, 17, 15 scaled.
    ASSERT_TRUE(e2e::resizeClient(main, 900, 640));
    ASSERT_TRUE(e2e::waitUntil([&] { return main.controlRect(1004).bottom == 640 - 23; }, Milliseconds(3000)));
    Margins m = marginsOf(main);
    EXPECT_EQ(m.groupRight, 15L);
    EXPECT_EQ(m.groupBottom, 11L);
    EXPECT_EQ(m.listRight, 26L);
    EXPECT_EQ(m.listBottom, 23L);
    SetWindowPos(main.handle(), nullptr, 180, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_ASYNCWINDOWPOS);
    Sleep(500);
    e2e::screenshot(L"main-window-144dpi");
    photographDialog(app, main, 32780, L"Configuration", L"options-144dpi");
    photographDialog(app, main, 32774, L"About Horalis", L"about-144dpi");

    // Moved to a 200 % monitor: the window takes the suggested rectangle and
    // every size set in code is rescaled from 144 to 192 DPI.
    e2e::InProcess program(main);
    ASSERT_TRUE(program.ready());
    ASSERT_TRUE(program.readFonts(main));
    const std::vector<Window> controls = controlsOf(main);
    std::vector<RECT> at144;
    for (const Window& control : controls) {
        at144.push_back(rectIn(main, control));
        EXPECT_EQ(program.fontOf(control).height, 16);  // 8 points at 144 DPI
    }
    RECT suggested{100, 10, 100 + 1100, 10 + 760};
    ASSERT_TRUE(main.sendWithData(WM_DPICHANGED, MAKEWPARAM(192, 192), &suggested, sizeof suggested));
    ASSERT_TRUE(e2e::waitUntil([&] { return apps.columnWidth(0) == 700; }, Milliseconds(3000)));
    ASSERT_TRUE(program.readFonts(main));
    // Every control has the template's font made for 192 DPI and its place
    // scaled; what the resize rule places follows it (the margins below).
    const auto scaled = [](LONG value) { return static_cast<LONG>(MulDiv(value, 192, 144)); };
    for (size_t i = 0; i < controls.size(); ++i) {
        const int id = GetDlgCtrlID(controls[i].handle());
        const RECT r = rectIn(main, controls[i]);
        const RECT& was = at144[i];
        EXPECT_EQ(program.fontOf(controls[i]).height, 21);
        if (id != 1022) EXPECT_EQ(r.left, scaled(was.left));
        if (id != 1019 && id != 1004) EXPECT_EQ(r.top, scaled(was.top));
        if (id >= 1020 && id <= 1022) {  // the three buttons keep their scaled size
            EXPECT_EQ(r.right - r.left, scaled(was.right) - scaled(was.left));
            EXPECT_EQ(r.bottom - r.top, scaled(was.bottom) - scaled(was.top));
        }
    }
    EXPECT_EQ(apps.columnWidth(1), 300);
    EXPECT_EQ(titles.columnWidth(1), 300);
    const RECT placed = main.screenRect();
    EXPECT_EQ(placed.left, 100L);
    EXPECT_EQ(placed.right - placed.left, 1100L);
    const RECT bigger = apps.iconRect(apps.rowOf(e2e::driverPath()));
    EXPECT_EQ(bigger.right - bigger.left, 32L);
    m = marginsOf(main);
    EXPECT_EQ(m.groupRight, 20L);
    EXPECT_EQ(m.listRight, 34L);
    EXPECT_EQ(m.listBottom, 30L);

    // A dialog moved along: the same for its controls; the link keeps its
    // underline and fits its text again.
    main.postCommand(32774);
    Window about = e2e::waitShownDialog(app, L"About Horalis");
    ASSERT_TRUE(program.readFonts(about));
    std::vector<int> before;
    for (const Window& control : controlsOf(about)) before.push_back(program.fontOf(control).height);
    const LONG linkWidth = about.controlRect(1013).right - about.controlRect(1013).left;
    RECT aboutRect = about.screenRect();
    ASSERT_TRUE(about.sendWithData(WM_DPICHANGED, MAKEWPARAM(192, 192), &aboutRect, sizeof aboutRect));
    ASSERT_TRUE(program.readFonts(about));
    size_t i = 0;
    for (const Window& control : controlsOf(about))  // the icon's static has no font at all
        EXPECT_EQ(program.fontOf(control).height, before[i++] == 0 ? 0 : 21);
    EXPECT_TRUE(program.fontOf(about.control(1013)).underlined);
    // As wide as its text in the new font (the template's face, 21 pixels).
    const RECT link = about.controlRect(1013);
    EXPECT_EQ(link.right - link.left, textWidth(about.control(1013).text(), 21));
    EXPECT_TRUE(link.right - link.left > linkWidth);
    about.postCommand(IDOK);
    EXPECT_TRUE(about.waitClosed());
    app.stop();
}
