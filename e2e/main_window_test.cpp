// The main window as the user handles it: its caption and menu bar, how its
// controls follow a resize, and leaving through the two exit questions.
#include "e2e/framework.h"
#include "e2e/session.h"

#include <tlhelp32.h>

namespace {

using e2e::Milliseconds;
using e2e::Session;
using e2e::Window;

// Under Wine a web address opened through the shell starts winebrowser.exe.
bool browserRunning() {
    horalis::KernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
        if (_wcsicmp(entry.szExeFile, L"winebrowser.exe") == 0) return true;
    }
    return false;
}

}  // namespace

E2E_TEST(main_window_has_caption_menu_bar_and_follows_a_resize) {
    Session app(tmp);
    app.start();
    Window main = app.waitMainWindow();
    EXPECT_EQ(main.caption(), std::wstring(L"Horalis"));
    EXPECT_TRUE(GetMenu(main.handle()) != nullptr);
    EXPECT_FALSE(main.isMinimised());
    // The template's size where the screen has room for it.
    EXPECT_EQ(main.clientSize().cx, 570L);
    EXPECT_EQ(main.clientSize().cy, 569L);

    ASSERT_TRUE(e2e::resizeClient(main, 600, 400));
    // The controls are moved inside the size message; wait for the last one.
    EXPECT_TRUE(e2e::waitUntil([&] { return main.controlRect(1004).bottom == 385; }, Milliseconds(3000)));

    const RECT appGroup = main.controlRect(1018);
    EXPECT_EQ(appGroup.right, 590L);
    EXPECT_EQ(appGroup.bottom, 193L);
    const RECT appList = main.controlRect(1003);
    EXPECT_EQ(appList.right, 583L);
    EXPECT_EQ(appList.bottom, 185L);
    const RECT titleGroup = main.controlRect(1019);
    EXPECT_EQ(titleGroup.top, 200L);
    EXPECT_EQ(titleGroup.bottom, 393L);
    EXPECT_EQ(titleGroup.right, 590L);
    const RECT titleList = main.controlRect(1004);
    EXPECT_EQ(titleList.top, 215L);
    EXPECT_EQ(titleList.bottom, 385L);
    EXPECT_EQ(titleList.right, 583L);
    const RECT pointers = main.controlRect(1022);
    EXPECT_EQ(pointers.right, 590L);

    // An odd height halves the same way for the upper half.
    ASSERT_TRUE(e2e::resizeClient(main, 600, 401));
    EXPECT_TRUE(e2e::waitUntil([&] { return main.controlRect(1004).bottom == 386; }, Milliseconds(3000)));
    EXPECT_EQ(main.controlRect(1018).bottom, 193L);
    EXPECT_EQ(main.controlRect(1019).top, 200L);

    e2e::screenshot(L"main-window-600x400");
    app.stop();
}

E2E_TEST(enter_and_esc_leave_the_main_window_open) {
    Session app(tmp);
    app.start();
    Window main = app.waitMainWindow();
    Sleep(1500);  // the splash picture closes after a second
    SetForegroundWindow(main.handle());
    ASSERT_TRUE(e2e::waitUntil([&] { return GetForegroundWindow() == main.handle(); }, Milliseconds(3000)));

    // The keys as typed, and the commands the dialog manager makes of them.
    for (WORD key : {WORD{VK_RETURN}, WORD{VK_ESCAPE}}) {
        INPUT strokes[2] = {};
        strokes[0].type = strokes[1].type = INPUT_KEYBOARD;
        strokes[0].ki.wVk = strokes[1].ki.wVk = key;
        strokes[1].ki.dwFlags = KEYEVENTF_KEYUP;
        SendInput(2, strokes, sizeof(INPUT));
    }
    main.postCommand(IDOK);
    main.postCommand(IDCANCEL);
    Sleep(700);
    EXPECT_TRUE(main.exists());
    EXPECT_TRUE(main.isVisible());
    EXPECT_TRUE(main.isResponsive());
    EXPECT_FALSE(app.waitExited(Milliseconds(0)));
    EXPECT_TRUE(app.openMessageBoxes().empty());
    app.stop();
}

E2E_TEST(exit_asks_twice_and_no_keeps_the_program_running) {
    Session app(tmp);
    app.start();
    Window main = app.waitMainWindow();

    // File > Exit, answered No: nothing changes.
    main.postCommand(32773);
    auto question = app.waitMessageBox(L"Horalis");
    EXPECT_TEXT(question, L"Exit from application?");
    question.clickNo();
    EXPECT_TRUE(question.waitClosed());
    EXPECT_FALSE(app.waitExited(Milliseconds(1000)));
    EXPECT_TRUE(main.isVisible());
    EXPECT_TRUE(main.isResponsive());

    // Again, Yes, then No to the feedback question: the program ends.
    main.postCommand(32773);
    auto again = app.waitMessageBox(L"Horalis");
    EXPECT_TEXT(again, L"Exit from application?");
    again.clickYes();
    auto feedback = app.waitMessageBox(L"Write us");
    EXPECT_TEXT(feedback,
                L"We would like to hear what you think about Horalis, so please send us your comments, "
                L"suggestions or problems you had using the program. Click 'Yes' to visit our Web site.");
    feedback.clickNo();
    EXPECT_TRUE(app.waitExited());
    Sleep(500);
    EXPECT_FALSE(browserRunning());
}
