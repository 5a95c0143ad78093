// The Options, pointer time and reporter manager dialogs, driven from the main
// window's menu and buttons, checked by what they write and show.
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "e2e/commands.h"
#include "e2e/framework.h"
#include "e2e/session.h"

#include <sddl.h>

namespace {

using e2e::ListView;
using e2e::Milliseconds;
using e2e::Session;
using e2e::Window;

constexpr int kOptionsCommand = 32780;
constexpr int kOptionsButton = 1021;
constexpr int kReporterCommand = 32787;
constexpr int kPointersCommand = 32788;
constexpr const wchar_t* kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const wchar_t* kReporterValue = L"HoralisReporter";

std::string fileBytes(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int checkState(const Window& dialog, int id) {
    return static_cast<int>(SendMessageW(dialog.control(id).handle(), BM_GETCHECK, 0, 0));
}

void setCheck(const Window& dialog, int id, bool on) {
    SendMessageW(dialog.control(id).handle(), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

void setText(const Window& dialog, int id, const wchar_t* text) {
    SendMessageW(dialog.control(id).handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

Window waitDialog(Session& app, const wchar_t* caption) {
    Window dialog = e2e::waitShownDialog(app, caption);
    Sleep(100);
    return dialog;
}

Window openOptions(Session& app, const Window& main, bool fromButton) {
    if (fromButton)
        main.postCommand(kOptionsButton, BN_CLICKED);
    else
        main.postCommand(kOptionsCommand);
    return waitDialog(app, L"Configuration");
}

// Pixels of this colour in the top strip of a control, where a group box draws its caption.
int captionPixels(const Window& dialog, int id, COLORREF colour) {
    RECT rect = dialog.controlRect(id);
    MapWindowPoints(dialog.handle(), nullptr, reinterpret_cast<POINT*>(&rect), 2);
    HDC screen = GetDC(nullptr);
    int count = 0;
    for (int y = rect.top; y < rect.top + 14; ++y)
        for (int x = rect.left; x < rect.right; ++x)
            if (GetPixel(screen, x, y) == colour) ++count;
    ReleaseDC(nullptr, screen);
    return count;
}

// The buttons change right after the notice box returns, so give them a moment.
bool buttonsAre(const Window& dialog, bool install, bool remove) {
    return e2e::waitUntil([&] {
        return dialog.control(1015).isEnabled() == install && dialog.control(1016).isEnabled() == remove;
    }, Milliseconds(2000));
}

bool onlyDigits(const std::wstring& text) {
    return !text.empty() && text.find_first_not_of(L"0123456789") == std::wstring::npos;
}

std::wstring systemText(DWORD code) {
    wchar_t* raw = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM, nullptr, code,
                   MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<wchar_t*>(&raw), 0, nullptr);
    std::wstring text = raw ? raw : L"";
    LocalFree(raw);
    return text;
}

// The reporter's value under HKLM Run (and its type), or nothing.
bool readReporterValue(std::wstring& value, DWORD* type = nullptr) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kRunKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    wchar_t data[1024] = {};
    DWORD size = sizeof data - sizeof(wchar_t);
    const LSTATUS status = RegQueryValueExW(key, kReporterValue, nullptr, type, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) return false;
    value = data;
    return true;
}

void writeReporterValue(DWORD type, const std::wstring& value) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kRunKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;
    RegSetValueExW(key, kReporterValue, 0, type, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

void deleteReporterValue() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kRunKey, 0, KEY_WRITE, &key) != ERROR_SUCCESS) return;
    RegDeleteValueW(key, kReporterValue);
    RegCloseKey(key);
}

// A real move, so that the window under the pointer sets its own cursor.
void movePointerTo(POINT screen) {
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = static_cast<LONG>((screen.x * 65535) / (width - 1));
    input.mi.dy = static_cast<LONG>((screen.y * 65535) / (height - 1));
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof input);
    SetCursorPos(screen.x, screen.y);
}

// A notice box of the dialog: captioned like the main window, so found by its owner.
e2e::MessageBoxWindow waitNotice(const Session& app, const Window& owner, std::set<HWND>& seen) {
    e2e::MessageBoxWindow box;
    e2e::waitUntil([&] {
        for (const Window& window : app.windows()) {
            if (window.className() == L"#32770" && window.isVisible() && window.caption() == L"Horalis" &&
                window.owner().handle() == owner.handle() && !seen.contains(window.handle())) {
                box = e2e::MessageBoxWindow(window.handle());
                return true;
            }
        }
        return false;
    });
    if (!box) FAIL(L"no notice box appeared over " + owner.describe());
    seen.insert(box.handle());
    return box;
}

}  // namespace

E2E_TEST_WITH_DEADLINE(options_dialog_saves_settings_from_menu_and_button, 90) {
    Session app(tmp);
    app.start();
    Window main = app.waitMainWindow();
    const std::wstring conf = app.dataFolder() + L"\\conf.dat";

    Window dialog = openOptions(app, main, false);
    EXPECT_EQ(checkState(dialog, 1008), 0);
    EXPECT_EQ(checkState(dialog, 1009), 0);
    EXPECT_EQ(checkState(dialog, 1010), 1);
    EXPECT_TEXT(dialog.control(1014), L"300");
    Sleep(400);
    e2e::screenshot(L"options");
    EXPECT_TRUE(captionPixels(dialog, 1007, RGB(50, 0, 225)) > 20);
    setCheck(dialog, 1008, true);
    setCheck(dialog, 1009, true);
    setCheck(dialog, 1010, false);
    setText(dialog, 1014, L"1800");
    dialog.postCommand(IDOK, BN_CLICKED);
    ASSERT_TRUE(dialog.waitClosed());
    if (!e2e::waitUntil([&] { return fileBytes(conf) == "1 1 0 1\xA0" "800"; }, Milliseconds(3000)))
        FAIL(L"conf.dat holds " + e2e::show(fileBytes(conf).size()) + L" bytes, not \"1 1 0 1<A0>800\"");

    // Seconds only: the application list's times turn into plain numbers at the next tick.
    ListView apps(main.control(1003).handle());
    Sleep(1200);
    if (apps.rowCount() == 0) {
        e2e::note(L"application list has no rows yet: seconds-only texts not checked");
    } else {
        for (int row = 0; row < apps.rowCount(); ++row) EXPECT_TRUE(onlyDigits(apps.cellText(row, 1)));
    }

    // The button opens the same dialog, showing the saved values.
    dialog = openOptions(app, main, true);
    EXPECT_EQ(checkState(dialog, 1008), 1);
    EXPECT_EQ(checkState(dialog, 1009), 1);
    EXPECT_EQ(checkState(dialog, 1010), 0);
    EXPECT_TEXT(dialog.control(1014), L"1800");
    // A timeout with trailing letters keeps its number; an unchanged OK rewrites the file.
    setText(dialog, 1014, L" 45s");
    dialog.postCommand(IDOK, BN_CLICKED);
    ASSERT_TRUE(dialog.waitClosed());
    EXPECT_TRUE(e2e::waitUntil([&] { return fileBytes(conf) == "1 1 0 45"; }, Milliseconds(3000)));

    // Cancel writes nothing, even after changes.
    DeleteFileW(conf.c_str());
    dialog = openOptions(app, main, false);
    setCheck(dialog, 1008, false);
    setText(dialog, 1014, L"5");
    dialog.postCommand(IDCANCEL, BN_CLICKED);
    ASSERT_TRUE(dialog.waitClosed());
    Sleep(300);
    EXPECT_FALSE(e2e::fileExists(conf));
    dialog = openOptions(app, main, true);
    EXPECT_EQ(checkState(dialog, 1008), 1);
    EXPECT_TEXT(dialog.control(1014), L"45");
    dialog.postCommand(IDCANCEL, BN_CLICKED);
    ASSERT_TRUE(dialog.waitClosed());
    app.stop();
}

E2E_TEST_WITH_DEADLINE(options_dialog_reports_a_failed_save_once_and_keeps_the_values, 60) {
    Session app(tmp);
    // A folder in the settings file's place: nothing can replace it.
    const std::wstring data = app.dataFolder();
    CreateDirectoryW(data.c_str(), nullptr);
    CreateDirectoryW((data + L"\\conf.dat").c_str(), nullptr);
    app.start();
    Window main = app.waitMainWindow();

    Window dialog = openOptions(app, main, false);
    setCheck(dialog, 1009, true);
    setText(dialog, 1014, L"-10");
    dialog.postCommand(IDOK, BN_CLICKED);
    auto box = app.waitMessageBox(L"Error");
    EXPECT_TEXT(box, L"Can't save configuration to a file!");
    EXPECT_EQ(box.owner().handle(), main.handle());
    Sleep(400);
    e2e::screenshot(L"options-save-failed");
    box.clickOk();
    EXPECT_TRUE(box.waitClosed());
    Sleep(500);
    EXPECT_TRUE(app.openMessageBoxes().empty());
    EXPECT_TRUE(e2e::folderExists(data + L"\\conf.dat"));

    dialog = openOptions(app, main, true);
    EXPECT_EQ(checkState(dialog, 1009), 1);
    EXPECT_TEXT(dialog.control(1014), L"-10");
    dialog.postCommand(IDCANCEL, BN_CLICKED);
    ASSERT_TRUE(dialog.waitClosed());
    app.stop();
}

E2E_TEST_WITH_DEADLINE(pointer_dialog_lists_the_fourteen_shapes_and_counts_the_arrow, 60) {
    Session app(tmp);
    app.start();
    Window main = app.waitMainWindow();
    // Somewhere else first, so that no time is counted yet.
    movePointerTo(POINT{1270, 790});

    main.postCommand(kPointersCommand);
    Window dialog = waitDialog(app, L"Cursors time");
    ListView list(dialog.control(1017).handle());
    auto rows = list.rows();
    ASSERT_EQ(rows.size(), size_t{14});
    EXPECT_EQ(list.columnCount(), 2);
    EXPECT_EQ(rows.front()[0], std::wstring(L"Standard arrow and small hourglass"));
    EXPECT_EQ(rows[1][0], std::wstring(L"Standard arrow"));
    EXPECT_EQ(rows.back()[0], std::wstring(L"Hourglass"));
    for (const auto& row : rows) EXPECT_EQ(row[1], std::wstring(L"0 sec"));
    Sleep(400);
    e2e::screenshot(L"pointers-at-start");
    dialog.postCommand(IDOK, BN_CLICKED);
    ASSERT_TRUE(dialog.waitClosed());

    // Rest the pointer over the program's own window, which sets the arrow itself.
    const RECT frame = main.screenRect();
    const POINT inside{(frame.left + frame.right) / 2, frame.top + 60};
    for (int i = 0; i < 8; ++i) {
        movePointerTo(POINT{inside.x + (i % 2), inside.y});
        Sleep(500);
    }
    main.postCommand(kPointersCommand);
    dialog = waitDialog(app, L"Cursors time");
    ListView again(dialog.control(1017).handle());
    const std::wstring arrow = again.cellText(1, 1);
    EXPECT_TRUE(arrow != L"0 sec" && !arrow.empty());
    if (arrow == L"0 sec") e2e::note(L"arrow time after resting over the main window: " + arrow);
    dialog.postCommand(IDCANCEL, BN_CLICKED);
    ASSERT_TRUE(dialog.waitClosed());
    app.stop();
}

E2E_TEST_WITH_DEADLINE(reporter_manager_installs_and_removes_the_autostart_value, 60) {
    // As an older Horalis wrote it: REG_SZ, the program unquoted, one user's folder.
    writeReporterValue(REG_SZ, L"C:\\Program Files\\Horalis\\HoralisReporter.exe \"C:\\Users\\Anna\\Horalis\"");
    Session app(tmp);
    app.start();
    Window main = app.waitMainWindow();

    main.postCommand(kReporterCommand);
    Window dialog = waitDialog(app, L"Reporter/Client manager");
    std::set<HWND> seen;
    EXPECT_TRUE(buttonsAre(dialog, false, true));  // installed, so it can be removed
    dialog.postCommand(1016, BN_CLICKED);
    auto removed = waitNotice(app, dialog, seen);
    EXPECT_TEXT(removed, L"Reporter uninstalled successfully");
    removed.clickOk();
    EXPECT_TRUE(removed.waitClosed());
    EXPECT_TRUE(buttonsAre(dialog, true, false));
    Sleep(400);
    e2e::screenshot(L"reporter-manager");

    dialog.postCommand(1015, BN_CLICKED);
    auto done = waitNotice(app, dialog, seen);
    EXPECT_TEXT(done, L"Reporter installed successfully");
    done.clickOk();
    EXPECT_TRUE(done.waitClosed());
    std::wstring value;
    DWORD type = 0;
    EXPECT_TRUE(readReporterValue(value, &type));
    // The program quoted (its folder may hold blanks), each user's own data
    // folder: expanded by Windows at each logon.
    const std::wstring program = app.programPath();
    const std::wstring expected =
        L"\"" + program.substr(0, program.rfind(L'\\') + 1) + L"HoralisReporter.exe\" \"%APPDATA%\\Horalis\"";
    EXPECT_EQ(value, expected);
    EXPECT_EQ(type, DWORD{REG_EXPAND_SZ});
    EXPECT_TRUE(buttonsAre(dialog, false, true));

    dialog.postCommand(1016, BN_CLICKED);
    done = waitNotice(app, dialog, seen);
    EXPECT_TEXT(done, L"Reporter uninstalled successfully");
    done.clickOk();
    EXPECT_TRUE(done.waitClosed());
    EXPECT_FALSE(readReporterValue(value));
    EXPECT_TRUE(buttonsAre(dialog, true, false));

    // Installed again, then the value vanishes behind the dialog's back.
    dialog.postCommand(1015, BN_CLICKED);
    done = waitNotice(app, dialog, seen);
    done.clickOk();
    EXPECT_TRUE(done.waitClosed());
    deleteReporterValue();
    dialog.postCommand(1016, BN_CLICKED);
    auto error = app.waitMessageBox(L"Error");
    EXPECT_TEXT(error, systemText(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(error.owner().handle(), dialog.handle());
    Sleep(400);
    e2e::screenshot(L"reporter-remove-vanished");
    error.clickOk();
    EXPECT_TRUE(error.waitClosed());
    EXPECT_TRUE(buttonsAre(dialog, false, true));

    dialog.postCommand(IDOK, BN_CLICKED);
    ASSERT_TRUE(dialog.waitClosed());
    EXPECT_FALSE(readReporterValue(value));
    app.stop();
}

namespace {

// Sets the HKLM Run key's security descriptor from SDDL text; true on success.
bool setRunKeySecurity(const wchar_t* sddl) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor, nullptr))
        return false;
    HKEY key = nullptr;
    LSTATUS status = RegOpenKeyExW(HKEY_LOCAL_MACHINE, kRunKey, 0, WRITE_DAC, &key);
    if (status == ERROR_SUCCESS) {
        status = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor);
        RegCloseKey(key);
    }
    LocalFree(descriptor);
    return status == ERROR_SUCCESS;
}

// Gives the Run key its usual rights back even when the case fails half-way.
struct RunKeyDeniedForWriting {
    bool denied = setRunKeySecurity(L"D:P(D;;0x2;;;WD)(A;;KA;;;WD)");
    ~RunKeyDeniedForWriting() { setRunKeySecurity(L"D:(A;CIIO;GR;;;BU)(A;;KA;;;BA)"); }
};

}  // namespace

E2E_TEST_WITH_DEADLINE(reporter_manager_reports_a_refused_run_key_and_an_over_long_line, 60) {
    deleteReporterValue();
    Session app(tmp);
    // A data folder deep enough that the reporter's command line would pass 260 characters.
    const std::wstring deep = tmp.path() + L"\\" + std::wstring(200, L'd');
    ASSERT_TRUE(CreateDirectoryW(deep.c_str(), nullptr) != 0);
    app.setAppData(deep);
    app.start();
    Window main = app.waitMainWindow();
    main.postCommand(kReporterCommand);
    Window dialog = waitDialog(app, L"Reporter/Client manager");
    EXPECT_TRUE(buttonsAre(dialog, true, false));

    // Refused rather than cut: nothing is written.
    dialog.postCommand(1015, BN_CLICKED);
    auto refused = app.waitMessageBox(L"Error");
    EXPECT_TEXT(refused,
                L"The reporter's command line would be longer than 260 characters, so the reporter was not installed.\n\n"
                L"Install Horalis in a folder with a shorter path and try again.");
    refused.clickOk();
    EXPECT_TRUE(refused.waitClosed());
    std::wstring value;
    EXPECT_FALSE(readReporterValue(value));
    EXPECT_TRUE(buttonsAre(dialog, true, false));
    dialog.postCommand(IDOK, BN_CLICKED);
    ASSERT_TRUE(dialog.waitClosed());
    app.stop();

    // A Run key the user may not write to: the system's own words.
    Session shallow(tmp);
    shallow.start();
    Window second = shallow.waitMainWindow();
    second.postCommand(kReporterCommand);
    Window manager = waitDialog(shallow, L"Reporter/Client manager");
    RunKeyDeniedForWriting guard;
    ASSERT_TRUE(guard.denied);
    manager.postCommand(1015, BN_CLICKED);
    auto denied = shallow.waitMessageBox(L"Error");
    EXPECT_TEXT(denied, systemText(ERROR_ACCESS_DENIED));
    denied.clickOk();
    EXPECT_TRUE(denied.waitClosed());
    EXPECT_FALSE(readReporterValue(value));
    EXPECT_TRUE(buttonsAre(manager, true, false));
    manager.postCommand(IDOK, BN_CLICKED);
    ASSERT_TRUE(manager.waitClosed());
    shallow.stop();
}
