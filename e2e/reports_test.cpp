// The export commands through the real save dialog: known driver windows in
// the foreground, then the bytes of each report on disk.
#include <windows.h>

#include <cstdio>
#include <string>

#include "e2e/commands.h"
#include "e2e/driver_window.h"
#include "e2e/framework.h"
#include "e2e/session.h"

namespace {

using e2e::DriverWindow;
using e2e::Milliseconds;
using e2e::Session;
using e2e::Window;

using e2e::exportTo;
using e2e::readBytes;

constexpr int kAppList = e2e::kAppListId;
constexpr int kExportCsv = e2e::kExportCsvCommand;
constexpr int kExportExcelCsv = e2e::kExportSpreadsheetCommand;
constexpr int kExportHtml = e2e::kExportHtmlCommand;

// A quote, a semicolon, markup that would run if it were not escaped, and a
// character Windows-1251 does not have.
constexpr const wchar_t* kHostileTitle =
    L"say \"hi\"; <script>document.body.setAttribute('data-pwned','1')</script> \u4E2D";
constexpr const wchar_t* kPlainTitle = L"Plain report title";

bool contains(const std::string& bytes, const std::string& part) {
    return bytes.find(part) != std::string::npos;
}

bool onlyCrLf(const std::string& bytes) {
    for (size_t i = 0; i < bytes.size(); ++i)
        if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r')) return false;
    return true;
}

std::string firstLines(const std::string& bytes, int lines) {
    size_t end = 0;
    for (int i = 0; i < lines && end != std::string::npos; ++i) {
        end = bytes.find('\n', end == 0 ? 0 : end + 1);
    }
    return bytes.substr(0, end == std::string::npos ? std::string::npos : end);
}

void waitFile(const std::wstring& path) {
    e2e::waitUntil([&] { return e2e::fileExists(path) && !readBytes(path).empty(); }, Milliseconds(5000));
}

// Both driver titles in the lists with some time each.
void collectTitles(Session& session, const Window& main) {
    DriverWindow driver(kPlainTitle);
    driver.bringToFront();
    Sleep(1500);
    driver.setTitle(kHostileTitle);
    driver.bringToFront();
    Sleep(1500);
    e2e::ListView apps(main.control(kAppList).handle());
    if (!e2e::waitUntil([&] { return apps.rowCount() > 0; }))
        e2e::fail(__FILE__, __LINE__, L"the application list stayed empty");
    (void)session;
}

}  // namespace

E2E_TEST_WITH_DEADLINE(reports_export_csv_spreadsheet_and_html_through_the_save_dialog, 90) {
    Session session(tmp);
    session.start();
    Window main = session.waitMainWindow();
    collectTitles(session, main);

    const std::wstring csv = tmp.file(L"report.csv");
    exportTo(session, main, kExportCsv, csv);
    waitFile(csv);
    const std::string csvBytes = readBytes(csv);
    e2e::note(L"CSV: " + e2e::widen(firstLines(csvBytes, 6)));
    EXPECT_FALSE(csvBytes.empty());
    EXPECT_TRUE(onlyCrLf(csvBytes));
    EXPECT_TRUE(contains(csvBytes, "\"Windows:\"") || contains(csvBytes, "Windows:"));
    // Quotes doubled inside the quoted cell, the missing character as '?'.
    EXPECT_TRUE(contains(csvBytes, "say \"\"hi\"\"; <script>document.body.setAttribute('data-pwned','1')</script> ?"));
    EXPECT_TRUE(contains(csvBytes, "Plain report title"));

    const std::wstring excel = tmp.file(L"excel.csv");
    exportTo(session, main, kExportExcelCsv, excel);
    waitFile(excel);
    const std::string excelBytes = readBytes(excel);
    e2e::note(L"spreadsheet CSV: " + e2e::widen(firstLines(excelBytes, 6)));
    EXPECT_TRUE(onlyCrLf(excelBytes));
    // A semicolon inside a field would split it: the field is quoted.
    EXPECT_TRUE(contains(excelBytes, "\"say \"\"hi\"\"; <script>"));
    EXPECT_TRUE(contains(excelBytes, "Plain report title;"));

    const std::wstring html = tmp.file(L"report.html");
    exportTo(session, main, kExportHtml, html);
    waitFile(html);
    const std::string htmlBytes = readBytes(html);
    e2e::note(L"HTML: " + e2e::widen(htmlBytes.substr(0, 400)));
    EXPECT_TRUE(contains(htmlBytes, "charset=windows-1251"));
    EXPECT_TRUE(contains(htmlBytes, "Generated on "));
    EXPECT_TRUE(contains(htmlBytes, "&lt;script&gt;"));
    EXPECT_FALSE(contains(htmlBytes, "<script>"));
    EXPECT_TRUE(contains(htmlBytes, "&#20013;"));
    EXPECT_TRUE(contains(htmlBytes, "Plain report title<br>"));
    EXPECT_TRUE(contains(htmlBytes, "</table></body></html>"));
    e2e::screenshot(L"after-exports");

    session.stop();
}

E2E_TEST_WITH_DEADLINE(reports_export_into_a_missing_folder_says_cant_create_file, 60) {
    Session session(tmp);
    session.start();
    Window main = session.waitMainWindow();
    const std::wstring path = tmp.file(L"no-such-folder\\report.csv");
    exportTo(session, main, kExportCsv, path);
    e2e::MessageBoxWindow box = session.waitMessageBox(L"Error");
    EXPECT_EQ(box.text(), std::wstring(L"Can't create file!"));
    box.clickOk();
    EXPECT_TRUE(box.waitClosed());
    EXPECT_FALSE(e2e::fileExists(path));
    session.stop();
}

namespace {

void writeDailySettings(const Session& session) {
    e2e::writeSettings(session.dataFolder(), "1 0 1 300");
}

}  // namespace

E2E_TEST_WITH_DEADLINE(daily_reports_at_midnight_are_written_and_clear_the_totals, 90) {
    if (e2e::skipUnlessNearMidnight()) return;
    Session session(tmp);
    writeDailySettings(session);
    const std::wstring base = session.dataFolder() + L"\\" + e2e::midnightBaseName();
    session.start();
    Window main = session.waitMainWindow();
    DriverWindow driver(kHostileTitle);
    driver.bringToFront();
    e2e::ListView apps(main.control(kAppList).handle());
    EXPECT_TRUE(e2e::waitUntil([&] { return apps.secondsOf(e2e::driverPath()) >= 3; }, Milliseconds(8000)));
    const int before = apps.secondsOf(e2e::driverPath());

    EXPECT_TRUE(e2e::waitUntil([&] { return e2e::fileExists(base + L".html"); }, Milliseconds(30000)));
    Sleep(500);
    const std::string csvBytes = readBytes(base + L".csv");
    const std::string htmlBytes = readBytes(base + L".html");
    e2e::note(L"daily CSV " + base + L".csv: " + e2e::widen(firstLines(csvBytes, 6)));
    e2e::note(L"daily HTML: " + e2e::widen(htmlBytes.substr(0, 300)));
    EXPECT_TRUE(onlyCrLf(csvBytes));
    EXPECT_TRUE(contains(csvBytes, "Windows:"));
    EXPECT_TRUE(contains(htmlBytes, "Generated on "));
    EXPECT_TRUE(contains(htmlBytes, "&lt;script&gt;"));
    // The totals started again from zero at 00:00.
    const int after = apps.secondsOf(e2e::driverPath());
    e2e::note(L"driver seconds before 00:00: " + e2e::show(before) + L", after: " + e2e::show(after));
    EXPECT_TRUE(after < before);
    session.stop();
}

E2E_TEST_WITH_DEADLINE(daily_reports_that_cannot_be_written_keep_the_totals, 90) {
    if (e2e::skipUnlessNearMidnight()) return;
    Session session(tmp);
    writeDailySettings(session);
    const std::wstring base = session.dataFolder() + L"\\" + e2e::midnightBaseName();
    // A folder where the CSV file should go: the file cannot be created.
    CreateDirectoryW((base + L".csv").c_str(), nullptr);
    session.start();
    Window main = session.waitMainWindow();
    DriverWindow driver(kPlainTitle);
    driver.bringToFront();
    e2e::ListView apps(main.control(kAppList).handle());
    EXPECT_TRUE(e2e::waitUntil([&] { return apps.secondsOf(e2e::driverPath()) >= 3; }, Milliseconds(8000)));
    // Past the program's 00:00: its shifted clock starts ten seconds before it.
    Sleep(16000);
    const int after = apps.secondsOf(e2e::driverPath());
    e2e::note(L"driver seconds after 00:00: " + e2e::show(after));
    EXPECT_TRUE(after >= 10);
    EXPECT_FALSE(e2e::fileExists(base + L".html"));
    EXPECT_TRUE(session.openMessageBoxes().empty());
    session.stop();
}

namespace {

Window helpViewer(const Session& session) {
    for (const Window& w : session.windows())
        if (w.className() == L"HH Parent" && w.isVisible()) return w;
    return Window();
}

}  // namespace

E2E_TEST_WITH_DEADLINE(help_opens_with_f1_as_help_does_and_closes_once_exit_is_confirmed, 60) {
    Session session(tmp);
    session.start();
    Window main = session.waitMainWindow();
    if (!e2e::fileExists(session.programPath().substr(0, session.programPath().rfind(L'\\')) + L"\\Horalis.chm")) {
        e2e::skip(L"no Horalis.chm beside the program (chmcmd missing at build time)");
        session.stop();
        return;
    }
    Sleep(1500);  // the splash picture closes after a second
    // F1 in the application list: Windows sends WM_HELP, the framework makes
    // it the help command, which runs "Help...".
    SetForegroundWindow(main.handle());
    e2e::waitUntil([&] { return GetForegroundWindow() == main.handle(); }, Milliseconds(2000));
    e2e::tapKey(VK_F1);
    // Wine's viewer shows an empty page (no engine), but its frame carries the help file's title.
    Window viewer;
    EXPECT_TRUE(e2e::waitUntil([&] { return static_cast<bool>(viewer = helpViewer(session)); }));
    if (viewer) e2e::note(L"help viewer: " + viewer.describe());
    // Wine's viewer keeps the calling thread busy for a moment while it starts.
    const ULONGLONG started = GetTickCount64();
    EXPECT_TRUE(e2e::waitUntil([&] { return main.isResponsive(Milliseconds(500)); }, Milliseconds(15000)));
    e2e::note(L"main window answers again after " + e2e::show(GetTickCount64() - started) + L" ms");
    EXPECT_TRUE(session.openMessageBoxes().empty());
    e2e::screenshot(L"help-viewer");

    // The help windows close as soon as the exit is confirmed: HTML Help must
    // not have a window left when its library is freed.
    main.postCommand(32773);
    auto question = session.waitMessageBox(L"Horalis");
    question.clickYes();
    auto feedback = session.waitMessageBox(L"Write us");
    EXPECT_FALSE(viewer.exists());
    feedback.clickNo();
    EXPECT_TRUE(session.waitExited());
}

namespace {

// The current folder of another process, read from its process parameters
// (64-bit layout: PEB + 0x20 the parameters, + 0x38 the folder's DOS path).
std::wstring currentFolderOf(DWORD processId) {
    using QueryFn = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
    const auto query = reinterpret_cast<QueryFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
    horalis::KernelHandle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
    struct {
        void* reserved1;
        char* peb;
        void* reserved2[4];
    } basic{};
    if (!query || !process || query(process.get(), 0, &basic, sizeof basic, nullptr) != 0) return L"?";
    char* parameters = nullptr;
    struct {
        USHORT length, maximum;
        wchar_t* buffer;
    } dosPath{};
    if (!ReadProcessMemory(process.get(), basic.peb + 0x20, &parameters, sizeof parameters, nullptr) ||
        !ReadProcessMemory(process.get(), parameters + 0x38, &dosPath, sizeof dosPath, nullptr))
        return L"?";
    std::wstring folder(dosPath.length / sizeof(wchar_t), L'\0');
    if (!ReadProcessMemory(process.get(), dosPath.buffer, folder.data(), dosPath.length, nullptr)) return L"?";
    return folder;
}

bool existsLong(const std::wstring& path) {
    return GetFileAttributesW((L"\\\\?\\" + path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

E2E_TEST(files_in_a_folder_over_260_characters_are_written) {
    // Wine's own save dialog fails on a name over 260 characters, so the long
    // path comes in as the data folder; exports and settings go through the
    // same file functions.
    std::wstring appData = tmp.path();
    while (appData.size() <= 260) {
        appData += L"\\settings-of-a-user-with-a-long-folder-name";
        CreateDirectoryW((L"\\\\?\\" + appData).c_str(), nullptr);
    }
    Session session(tmp);
    session.setAppData(appData);
    session.start();
    Window main = session.waitMainWindow();
    EXPECT_TRUE(e2e::waitUntil([&] { return existsLong(session.dataFolder()); }, Milliseconds(3000)));
    e2e::cancelDialog(e2e::openDialog(session, main, e2e::kOptionsCommand, L"Configuration"));
    Window options = e2e::openDialog(session, main, e2e::kOptionsCommand, L"Configuration");
    options.postCommand(IDOK, BN_CLICKED);
    EXPECT_TRUE(options.waitClosed());
    EXPECT_TRUE(e2e::waitUntil([&] { return existsLong(session.dataFolder() + L"\\conf.dat"); }, Milliseconds(3000)));
    EXPECT_TRUE(session.openMessageBoxes().empty());
    session.stop();
}

E2E_TEST(open_report_starts_in_the_data_folder_and_no_dialog_keeps_a_folder_current) {
    Session session(tmp);
    session.start();
    Window main = session.waitMainWindow();
    // The folder saved into does not stay the program's current folder.
    const std::wstring current = currentFolderOf(session.processId());
    const std::wstring saved = tmp.file(L"saved");
    CreateDirectoryW(saved.c_str(), nullptr);
    exportTo(session, main, kExportCsv, saved + L"\\report.csv");
    EXPECT_TRUE(e2e::waitUntil([&] { return e2e::fileExists(saved + L"\\report.csv"); }, Milliseconds(5000)));
    EXPECT_EQ(currentFolderOf(session.processId()), current);

    // A report in the data folder, another elsewhere: the dialog shows the
    // data folder's, also after the user went elsewhere in it last time.
    e2e::writeBytes(session.dataFolder() + L"\\2026_01_01.html", "<p>daily</p>");
    e2e::writeBytes(saved + L"\\elsewhere.html", "<p>other</p>");
    const auto showsFile = [](const Window& dialog, const std::wstring& name) {
        e2e::ListView files;
        for (const Window& child : dialog.children())
            if (child.className() == L"SysListView32") files = e2e::ListView(child.handle());
        for (const auto& row : files.rows())
            if (!row.empty() && row[0].starts_with(name)) return true;
        return false;
    };
    for (int opening = 0; opening < 2; ++opening) {
        main.postCommand(32782);  // File > Open report...
        Window dialog;
        ASSERT_TRUE(e2e::waitUntil([&] {
            for (const Window& w : session.windows())
                if (w.isVisible() && w.className() == L"#32770" && w.owner().handle() == main.handle() &&
                    !w.caption().empty())
                    dialog = w;
            return static_cast<bool>(dialog);
        }));
        EXPECT_TRUE(e2e::waitUntil([&] { return showsFile(dialog, L"2026_01_01"); }, Milliseconds(5000)));
        if (opening == 0) {
            // Into the other folder, as a user would, then away without a choice.
            SendMessageW(dialog.control(1152).handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(saved.c_str()));
            dialog.post(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            EXPECT_TRUE(e2e::waitUntil([&] { return showsFile(dialog, L"elsewhere"); }, Milliseconds(5000)));
        }
        dialog.postCommand(IDCANCEL, BN_CLICKED);
        EXPECT_TRUE(dialog.waitClosed());
    }
    EXPECT_EQ(currentFolderOf(session.processId()), current);
    session.stop();
}
