// The export commands through the real save dialog: known driver windows in
// the foreground, then the bytes of each report on disk.
#include <windows.h>

#include <cstdio>
#include <string>

#include "e2e/driver_window.h"
#include "e2e/framework.h"
#include "e2e/session.h"

namespace {

using e2e::DriverWindow;
using e2e::Milliseconds;
using e2e::Session;
using e2e::Window;

constexpr int kAppList = 1003;
constexpr int kExportCsv = 32776;
constexpr int kExportExcelCsv = 32777;
constexpr int kExportHtml = 32781;
constexpr int kFileNameField = 1148;

// A quote, a semicolon, markup that would run if it were not escaped, and a
// character Windows-1251 does not have.
constexpr const wchar_t* kHostileTitle =
    L"say \"hi\"; <script>document.body.setAttribute('data-pwned','1')</script> \u4E2D";
constexpr const wchar_t* kPlainTitle = L"Plain report title";

std::string readBytes(const std::wstring& path) {
    std::string bytes;
    FILE* file = _wfopen(path.c_str(), L"rb");
    if (!file) return bytes;
    char chunk[4096];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, file)) > 0) bytes.append(chunk, n);
    fclose(file);
    return bytes;
}

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

// The program's file dialog: a "#32770" with the file-name field.
Window waitFileDialog(const Session& session) {
    Window found;
    e2e::waitUntil([&] {
        for (const Window& w : session.windows())
            if (w.isVisible() && w.className() == L"#32770" && w.control(kFileNameField)) {
                found = w;
                return true;
            }
        return false;
    });
    return found;
}

// Runs an export command and answers its save dialog with path.
void exportTo(const Session& session, const Window& main, int command, const std::wstring& path) {
    main.postCommand(command);
    Window dialog = waitFileDialog(session);
    if (!dialog) e2e::fail(__FILE__, __LINE__, L"no save dialog for command " + e2e::show(command));
    e2e::note(L"save dialog: " + dialog.describe());
    SendMessageW(dialog.control(kFileNameField).handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    dialog.post(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    if (!dialog.waitClosed()) e2e::fail(__FILE__, __LINE__, L"the save dialog stayed open");
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
