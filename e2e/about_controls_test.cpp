// The About dialog with its feedback link, and the owner-drawn image buttons
// of the main window with their hover border.
#include <windows.h>

#include <vector>

#include "e2e/commands.h"
#include "e2e/framework.h"
#include "e2e/in_process.h"
#include "e2e/session.h"
#include "base/handles.h"

namespace {

using e2e::InProcess;
using e2e::Milliseconds;
using e2e::Session;
using e2e::Window;

constexpr int kHelpAbout = 32774;
constexpr UINT kSystemMenuAbout = 0x0010;
constexpr int kFeedbackLink = 1013;
constexpr int kOptionsButton = 1021;
constexpr int kButtons[] = {1020, 1021, 1022};

Window openedAbout(Session& app) {
    return e2e::waitShownDialog(app, L"About Horalis");
}

bool hasStaticText(const Window& dialog, const std::wstring& text) {
    for (const Window& child : dialog.children())
        if (child.className() == L"Static" && child.text() == text) return true;
    return false;
}

Window staticWithText(const Window& dialog, const std::wstring& text) {
    for (const Window& child : dialog.children())
        if (child.className() == L"Static" && child.text() == text) return child;
    return Window();
}

// The width of a text in the dialogs' font, 8 pt "MS Shell Dlg", underlined
// as the link draws it or plain.
int dialogTextWidth(const std::wstring& text, bool underlined) {
    horalis::WindowDc screen(nullptr);
    const int height = -MulDiv(8, GetDeviceCaps(screen.get(), LOGPIXELSY), 72);
    horalis::Font font(CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, underlined, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                  CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"MS Shell Dlg"));
    if (!font) return 0;
    horalis::SelectObjectScope select(screen.get(), font.get());
    SIZE extent{};
    if (!GetTextExtentPoint32W(screen.get(), text.c_str(), static_cast<int>(text.size()), &extent)) return 0;
    return extent.cx;
}

// The main window opens at (0,0) under Wine's tray window; move it clear so
// the pointer reaches the buttons.
void moveClearOfTray(const Window& main) {
    SetWindowPos(main.handle(), nullptr, 200, 120, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_ASYNCWINDOWPOS);
    e2e::waitUntil([&] { return main.screenRect().left == 200; }, Milliseconds(3000));
}

// The screen's pixels of one rectangle, row by row, as 0x00RRGGBB.
std::vector<uint32_t> screenPixels(const RECT& r) {
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    std::vector<uint32_t> pixels;
    if (width <= 0 || height <= 0) return pixels;
    horalis::WindowDc screen(nullptr);
    horalis::MemoryDc memory(CreateCompatibleDC(screen.get()));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    horalis::Bitmap bitmap(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!memory || !bitmap || !bits) return pixels;
    {
        horalis::SelectObjectScope select(memory.get(), bitmap.get());
        if (!BitBlt(memory.get(), 0, 0, width, height, screen.get(), r.left, r.top, SRCCOPY)) return pixels;
    }
    GdiFlush();
    const auto* data = static_cast<const uint32_t*>(bits);
    pixels.assign(data, data + static_cast<size_t>(width) * height);
    for (uint32_t& pixel : pixels) pixel &= 0x00FFFFFF;
    return pixels;
}

// The button's top and bottom pixel rows, where the thin border shows.
std::vector<uint32_t> borderRows(const Window& button) {
    const RECT r = button.screenRect();
    std::vector<uint32_t> rows = screenPixels({r.left + 1, r.top, r.right - 1, r.top + 1});
    const std::vector<uint32_t> bottom = screenPixels({r.left + 1, r.bottom - 1, r.right - 1, r.bottom});
    rows.insert(rows.end(), bottom.begin(), bottom.end());
    return rows;
}

bool uniform(const std::vector<uint32_t>& pixels) {
    for (uint32_t pixel : pixels)
        if (pixel != pixels.front()) return false;
    return true;
}

void pointerTo(POINT point) {
    SetCursorPos(point.x, point.y);
    // A real motion event as well: the warp alone does not always produce one.
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = MOUSEEVENTF_MOVE;
    input.mi.dx = 1;
    SendInput(1, &input, sizeof input);
}

}  // namespace

E2E_TEST(about_dialog_from_help_menu_shows_texts_and_fitted_link) {
    Session app(tmp);
    app.start();
    Window main = app.waitMainWindow();
    Sleep(1500);  // the splash picture closes after a second

    main.postCommand(kHelpAbout);
    Window about = openedAbout(app);
    EXPECT_EQ(about.caption(), std::wstring(L"About Horalis"));
    // The dialog can be found while its items are still being made.
    EXPECT_TRUE(e2e::waitUntil([&] { return about.isVisible() && hasStaticText(about, L"Horalis Version 2.0"); }));
    EXPECT_TRUE(e2e::waitUntil([&] { return hasStaticText(about, L"To send your feedback, click here:"); }));

    Window link = about.control(kFeedbackLink);
    ASSERT_TRUE(link.exists());
    EXPECT_EQ(link.text(), std::wstring(L"Send feedback"));
    // Clicks reach the control only with SS_NOTIFY, which the link adds.
    EXPECT_TRUE((GetWindowLongW(link.handle(), GWL_STYLE) & SS_NOTIFY) != 0);
    // Fitted to its text: as wide as "Send feedback" in the underlined dialog
    // font, no longer the template's 48 units (the OK button, 50 units wide,
    // gives the unit's size). Wine's fonts make the text wider than 48 units.
    const RECT linkRect = about.controlRect(kFeedbackLink);
    const RECT okRect = about.controlRect(IDOK);
    const int templateWidth = (okRect.right - okRect.left) * 48 / 50;
    const int linkWidth = linkRect.right - linkRect.left;
    const int textWidth = dialogTextWidth(L"Send feedback", true);
    e2e::note(L"link width " + e2e::show(linkWidth) + L" px, text " + e2e::show(textWidth) + L" px, template " +
              e2e::show(templateWidth) + L" px");
    EXPECT_TRUE(textWidth > 0);
    EXPECT_TRUE(linkWidth >= textWidth - 1 && linkWidth <= textWidth + 1);
    EXPECT_TRUE(linkWidth != templateWidth);
    EXPECT_TRUE(linkRect.bottom - linkRect.top > 0);
    // The note before the link shows whole on its one line, and the link
    // stays behind it (or below it, when the font is too wide for both on
    // one line) and inside the dialog.
    const Window note = staticWithText(about, L"To send your feedback, click here:");
    ASSERT_TRUE(note.exists());
    RECT noteRect = note.screenRect();
    MapWindowPoints(nullptr, about.handle(), reinterpret_cast<POINT*>(&noteRect), 2);
    e2e::note(L"note " + e2e::show(noteRect.left) + L".." + e2e::show(noteRect.right) + L" text " +
              e2e::show(dialogTextWidth(L"To send your feedback, click here:", false)) + L" link " +
              e2e::show(linkRect.left) + L".." + e2e::show(linkRect.right));
    EXPECT_TRUE(noteRect.right - noteRect.left >= dialogTextWidth(L"To send your feedback, click here:", false));
    EXPECT_TRUE(linkRect.left >= noteRect.right || linkRect.top >= noteRect.bottom);
    EXPECT_TRUE(linkRect.right <= static_cast<LONG>(about.clientSize().cx));
    e2e::screenshot(L"about");

    about.postCommand(IDOK);
    EXPECT_TRUE(about.waitClosed());
    EXPECT_TRUE(main.isResponsive());
    app.stop();
}

E2E_TEST(about_dialog_from_system_menu_opens_and_closes) {
    Session app(tmp);
    app.start();
    Window main = app.waitMainWindow();

    main.post(WM_SYSCOMMAND, kSystemMenuAbout, 0);
    Window about = openedAbout(app);
    EXPECT_EQ(about.control(kFeedbackLink).text(), std::wstring(L"Send feedback"));
    about.post(WM_CLOSE);
    EXPECT_TRUE(about.waitClosed());

    // A second opening works the same (a new dialog each time).
    main.postCommand(kHelpAbout);
    Window again = openedAbout(app);
    EXPECT_TRUE(again.exists());
    again.postCommand(IDCANCEL);
    EXPECT_TRUE(again.waitClosed());
    app.stop();
}

E2E_TEST(image_buttons_are_owner_drawn_and_show_a_border_under_the_pointer) {
    Session app(tmp);
    app.start();
    Window main = app.waitMainWindow();
    for (int id : kButtons) {
        Window button = main.control(id);
        ASSERT_TRUE(button.exists());
        EXPECT_EQ(GetWindowLongW(button.handle(), GWL_STYLE) & 0x1F, LONG{BS_OWNERDRAW});
    }
    moveClearOfTray(main);
    Sleep(1500);  // the splash picture closes after a second

    Window button = main.control(kOptionsButton);
    const RECT r = button.screenRect();
    // Away from every button first, then let the window settle.
    pointerTo({r.left + 60, r.bottom + 120});
    Sleep(600);
    const std::vector<uint32_t> atRest = borderRows(button);
    ASSERT_TRUE(!atRest.empty());
    // Flat at rest: the edge rows are all face colour.
    EXPECT_TRUE(uniform(atRest));
    e2e::screenshot(L"buttons-rest");

    pointerTo({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    const bool raised = e2e::waitUntil([&] { return borderRows(button) != atRest; }, Milliseconds(3000));
    EXPECT_TRUE(raised);
    const std::vector<uint32_t> hovered = borderRows(button);
    EXPECT_FALSE(uniform(hovered));  // highlight on top, shadow at the bottom
    e2e::screenshot(L"buttons-hover");

    // Leaving takes the border away again.
    pointerTo({r.left + 60, r.bottom + 120});
    EXPECT_TRUE(e2e::waitUntil([&] { return borderRows(button) == atRest; }, Milliseconds(3000)));
    EXPECT_TRUE(main.isResponsive());
    app.stop();
}

namespace {

size_t countColour(const std::vector<uint32_t>& pixels, uint32_t colour) {
    size_t count = 0;
    for (uint32_t pixel : pixels) count += pixel == colour;
    return count;
}

// Wine opens web addresses through winebrowser, which runs the first program
// of this list that exists; the harmless "true" stands in for a browser.
struct StandInBrowser {
    StandInBrowser() {
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\WineBrowser", 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                            &key, nullptr) != ERROR_SUCCESS)
            return;
        const wchar_t browsers[] = L"true";
        set = RegSetValueExW(key, L"Browsers", 0, REG_SZ, reinterpret_cast<const BYTE*>(browsers),
                             sizeof browsers) == ERROR_SUCCESS;
        RegCloseKey(key);
    }
    ~StandInBrowser() {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\WineBrowser", 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
            return;
        RegDeleteValueW(key, L"Browsers");
        RegCloseKey(key);
    }
    bool set = false;
};

void clickAt(POINT point) {
    pointerTo(point);
    INPUT clicks[2] = {};
    clicks[0].type = clicks[1].type = INPUT_MOUSE;
    clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, clicks, sizeof(INPUT));
}

}  // namespace

namespace {

// The screen's 0x00RRGGBB form of a COLORREF.
uint32_t screenColour(COLORREF colour) {
    return (static_cast<uint32_t>(GetRValue(colour)) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
}


}  // namespace

E2E_TEST(feedback_link_lights_under_the_pointer_and_turns_visited_once_opened) {
    StandInBrowser browser;
    ASSERT_TRUE(browser.set);
    Session app(tmp);
    app.start();
    Window main = app.waitMainWindow();
    Sleep(1500);  // the splash picture closes after a second
    main.postCommand(kHelpAbout);
    Window about = openedAbout(app);
    EXPECT_TRUE(e2e::waitUntil([&] { return about.isVisible() && about.control(kFeedbackLink).exists(); }));
    moveClearOfTray(about);
    Sleep(400);

    const Window link = about.control(kFeedbackLink);
    const RECT r = link.screenRect();
    const POINT centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    constexpr uint32_t kLinkBlue = 0x0000EE, kVisitedPurple = 0x551A8B;
    pointerTo({r.left, r.bottom + 60});
    EXPECT_TRUE(e2e::waitUntil([&] { return countColour(screenPixels(r), kLinkBlue) > 0; }, Milliseconds(3000)));
    EXPECT_EQ(countColour(screenPixels(r), kVisitedPurple), size_t{0});

    // Under the pointer it takes the highlight colour, on a background
    // painted afresh: stale pixels (here red) would stay between the letters
    // of a text redrawn alone on its null brush.
    InProcess program(about);
    ASSERT_TRUE(program.ready());
    program.request(about, 2, reinterpret_cast<LPARAM>(link.handle()));
    EXPECT_TRUE(e2e::waitUntil([&] { return countColour(screenPixels(r), 0xFF0000) > 0; }, Milliseconds(2000)));
    pointerTo(centre);
    EXPECT_TRUE(e2e::waitUntil([&] {
        const std::vector<uint32_t> pixels = screenPixels(r);
        return countColour(pixels, kLinkBlue) == 0 && countColour(pixels, 0xFF0000) == 0;
    }, Milliseconds(3000)));
    // The capture taken away without a move (Alt+Tab, a window coming up in
    // front) ends the hover.
    SendMessageW(link.handle(), WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(about.handle()));
    EXPECT_TRUE(e2e::waitUntil([&] { return countColour(screenPixels(r), kLinkBlue) > 0; }, Milliseconds(3000)));

    // Opened: no error box, and once the pointer leaves it shows as visited.
    clickAt(centre);
    Sleep(500);
    pointerTo({r.left, r.bottom + 60});
    EXPECT_TRUE(e2e::waitUntil([&] { return countColour(screenPixels(r), kVisitedPurple) > 0; }, Milliseconds(5000)));
    for (const auto& box : app.openMessageBoxes())
        EXPECT_TRUE(box.handle() == about.handle());  // no open error reported
    e2e::screenshot(L"about-visited");

    about.postCommand(IDOK);
    EXPECT_TRUE(about.waitClosed());
    app.stop();
}

E2E_TEST(controls_take_system_colour_and_setting_changes) {
    Session app(tmp);
    app.start();
    Window main = app.waitMainWindow();
    moveClearOfTray(main);
    Sleep(1500);  // the splash picture closes after a second
    const Window button = main.control(kOptionsButton);
    const RECT r = button.screenRect();
    pointerTo({r.left + 60, r.bottom + 120});
    // A corner of the face, clear of the picture, the caption and the hover border.
    const RECT face{r.right - 5, r.top + 3, r.right - 3, r.top + 5};
    ASSERT_TRUE(e2e::waitUntil([&] { return uniform(screenPixels(face)) && screenPixels(face).front() ==
                                                                              screenColour(GetSysColor(COLOR_BTNFACE)); },
                               Milliseconds(3000)));

    // Windows tells only top-level windows; the main window passes it on.
    InProcess program(main);
    ASSERT_TRUE(program.ready());
    const COLORREF tan = RGB(210, 180, 140);
    const COLORREF before = GetSysColor(COLOR_BTNFACE);
    program.request(main, 1, static_cast<LPARAM>(tan));
    EXPECT_TRUE(e2e::waitUntil([&] { return screenPixels(face).front() == screenColour(tan); }, Milliseconds(3000)));
    e2e::screenshot(L"buttons-new-face");
    // Wine tells every window of a colour change itself; sent to the main
    // window alone, as Windows does, each message reaches all its controls.
    const int controls = static_cast<int>(main.children().size());
    program.request(main, 3, 0);
    for (const wchar_t* message : {L"e2e.WM_SYSCOLORCHANGE", L"e2e.WM_SETTINGCHANGE", L"e2e.WM_THEMECHANGED"}) {
        const std::wstring property = message;
        EXPECT_TRUE(e2e::waitUntil([&] { return GetPropW(main.handle(), property.c_str()) != nullptr; }, Milliseconds(3000)));
        const auto reached = reinterpret_cast<INT_PTR>(GetPropW(main.handle(), property.c_str())) - 1;
        if (reached < controls) e2e::note(property + L" reached " + e2e::show(reached) + L" of " + e2e::show(controls));
        EXPECT_TRUE(reached >= controls);
    }
    program.request(main, 1, static_cast<LPARAM>(before));  // Wine may keep the colour in the prefix
    EXPECT_TRUE(e2e::waitUntil([&] { return screenPixels(face).front() == screenColour(before); }, Milliseconds(3000)));
    app.stop();
}
