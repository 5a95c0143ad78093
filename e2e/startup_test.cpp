// Start-up as the user sees it: the hook library's error boxes, the splash
// picture, the main window, and the data folder.
#include "e2e/framework.h"
#include "e2e/session.h"

namespace {

using e2e::HookLibrary;
using e2e::Milliseconds;
using e2e::Session;
using e2e::Window;

constexpr const wchar_t* kCantLoad = L"Can't load 'kbdh.dll'!";
constexpr const wchar_t* kCantFind = L"Can't find 'SetHooks' inside 'kbdh.dll'!";

bool anyErrorBox(const Session& app) {
    for (const Window& window : app.windows()) {
        if (window.className() == L"#32770" && window.caption() == L"Error" && window.isVisible()) return true;
    }
    return false;
}

// The start-up picture: a captionless dialog owned by the main window.
Window findSplash(const Session& app) {
    for (const Window& window : app.windows()) {
        const Window owner = window.owner();
        if (window.className() == L"#32770" && window.caption().empty() && window.isVisible() && owner &&
            owner.caption() == L"Horalis")
            return window;
    }
    return Window();
}

void expectOnlyOkButton(const e2e::MessageBoxWindow& box) {
    EXPECT_EQ(box.buttons().size(), size_t{1});
    if (!box.buttons().empty()) EXPECT_EQ(box.buttons().front(), IDOK);
}

}  // namespace

E2E_TEST(startup_without_hook_library_reports_both_errors_in_order) {
    Session app(tmp, HookLibrary::Missing);
    app.start();

    auto box = app.waitMessageBox(L"Error");
    EXPECT_TEXT(box, kCantLoad);
    expectOnlyOkButton(box);
    // The errors come before the main window and the splash picture show.
    Window main = e2e::findTopLevel(app.processId(), L"#32770", L"Horalis");
    EXPECT_FALSE(main && main.isVisible());
    e2e::screenshot(L"cant-load");
    box.clickOk();
    EXPECT_TRUE(box.waitClosed());

    auto second = app.waitMessageBox(L"Error");
    EXPECT_TEXT(second, kCantFind);
    expectOnlyOkButton(second);
    second.clickOk();
    EXPECT_TRUE(second.waitClosed());

    main = app.waitMainWindow();
    EXPECT_FALSE(main.isMinimised());
    EXPECT_FALSE(anyErrorBox(app));
    app.stop();
}

E2E_TEST(startup_with_library_lacking_sethooks_reports_only_the_missing_export) {
    Session app(tmp, HookLibrary::WithoutSetHooks);
    app.start();

    auto box = app.waitMessageBox(L"Error");
    EXPECT_TEXT(box, kCantFind);
    box.clickOk();
    EXPECT_TRUE(box.waitClosed());

    app.waitMainWindow();
    EXPECT_FALSE(anyErrorBox(app));
    app.stop();
}

E2E_TEST(startup_with_hook_library_shows_splash_then_main_window) {
    Session app(tmp);
    app.start();

    Window splash;
    ASSERT_TRUE(e2e::waitUntil([&] { return bool(splash = findSplash(app)); }));
    const ULONGLONG shown = GetTickCount64();
    EXPECT_FALSE(anyErrorBox(app));

    Window main = app.waitMainWindow();
    EXPECT_FALSE(main.isMinimised());
    EXPECT_TRUE(main.isResponsive());
    // Shown for the 1000 ms pause, closed by the second tick of the 500 ms timer.
    EXPECT_TRUE(e2e::waitUntil([&] { return !splash.exists() || !splash.isVisible(); }, Milliseconds(5000)));
    const ULONGLONG gone = GetTickCount64();
    EXPECT_TRUE(gone - shown >= 900);
    EXPECT_TRUE(gone - shown <= 3000);  // the pause, then two 500 ms ticks
    e2e::note(L"splash shown for " + e2e::show(static_cast<int>(gone - shown)) + L" ms");
    EXPECT_FALSE(anyErrorBox(app));
    e2e::screenshot(L"main-window");
    app.stop();
}

E2E_TEST(first_start_creates_data_folder_without_writing_settings) {
    Session app(tmp);
    EXPECT_FALSE(e2e::folderExists(app.dataFolder()));
    app.start();
    app.waitMainWindow();

    EXPECT_TRUE(e2e::folderExists(app.dataFolder()));
    EXPECT_FALSE(e2e::fileExists(app.dataFolder() + L"\\conf.dat"));
    app.stop();
}
