// The main window's report commands: the three exports, opening a saved
// report and the history page.
#include <windows.h>
#include <commdlg.h>
#include <shellapi.h>

#include <string>

#include "base/libraries.h"
#include "base/string.h"
#include "reports/daily_report_lock.h"
#include "reports/daily_reports.h"
#include "reports/history.h"
#include "reports/report_writers.h"
#include "storage/data_folder.h"
#include "ui/framework/file_dialog.h"
#include "ui/framework/winapp.h"
#include "ui/main_dlg.h"
#include "ui/message_texts.h"

namespace horalis {
namespace {

constexpr const wchar_t* kCantCreateFile = L"Can't create file!";
constexpr const wchar_t* kCantWriteFile = L"Can't write file!";
constexpr const wchar_t* kCsvExtension = L"csv";
constexpr const wchar_t* kCsvFilter = L"CSV files(*.csv)|*.csv||";
constexpr const wchar_t* kHtmlExtension = L"html";
constexpr const wchar_t* kHtmlFilter = L"HTML files(*.html)|*.html||";

}  // namespace

LocalTime CMainDlg::localTimeNow() {
    LocalTime moment;
    desktop_.localTime(desktop_.currentTime(), moment);
    return moment;
}

ReportLists CMainDlg::reportLists() {
    return ReportLists{appModel_, titleModel_, listSort_, records_, settings_};
}

void CMainDlg::exportReportTo(const wchar_t* defaultExtension, const wchar_t* filter, ReportFormat format) {
    wingui::CFileDialog dialog(false, defaultExtension, nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, filter, this);
    if (dialog.doModal() != IDOK) return;

    ReportLists lists = reportLists();
    // The file is created before the walk sorts anything, so one that cannot be
    // created leaves the lists as they were.
    const ExportResult result = exportReport(toCore(dialog.pathName()), format, lists, localTimeNow());
    if (result == ExportResult::NotCreated) {
        MessageBoxW(handle(), kCantCreateFile, kErrorCaption, MB_ICONERROR | MB_OK);
        return;
    }
    // The walk sorted the application list and moved the selection.
    updateListViews();
    // A full disk shows up only while writing or closing; a silently truncated report would be taken for complete.
    if (result == ExportResult::NotWritten) MessageBoxW(handle(), kCantWriteFile, kErrorCaption, MB_ICONERROR | MB_OK);
}

void CMainDlg::exportCsv() {
    exportReportTo(kCsvExtension, kCsvFilter, ReportFormat::Csv);
}

void CMainDlg::exportExcelCsv() {
    exportReportTo(kCsvExtension, kCsvFilter, ReportFormat::SpreadsheetCsv);
}

void CMainDlg::exportHtml() {
    exportReportTo(kHtmlExtension, kHtmlFilter, ReportFormat::Html);
}

void CMainDlg::openReport() {
    wingui::CFileDialog dialog(true, kHtmlExtension, nullptr, OFN_FILEMUSTEXIST, kHtmlFilter, this);
    dialog.setInitialFolder(toWide(dataFolderPath()));
    if (dialog.doModal() != IDOK) return;
    ShellExecuteW(handle(), wingui::kOpenVerb, dialog.pathName().c_str(), nullptr, nullptr, SW_SHOW);
}

void CMainDlg::openHistory() {
    const String folder = dataFolderPath();
    // Today up to the last minute: what was counted goes through the journal
    // into today's record. Without daily reports there is no day to add it to.
    if (settings_.saveDailyReports != 0) {
        tick_.flushJournal();
        foldJournals(false);
    }
    {
        // The reporter rebuilds the page after its pair; the lock keeps the two from writing it at once.
        const DailyReportLock lock(folder);
        if (lock.held() && !writeHistoryPage(folder, localTimeNow())) {
            MessageBoxW(handle(), kCantCreateFile, kErrorCaption, MB_ICONERROR | MB_OK);
            return;
        }
    }
    // As "Open report...": the program associated with HTML files, silence when there is none.
    // ShellExecuteW may hand the file to a COM shell extension, so COM must be
    // initialised on this (the UI) thread; the application object does that at start.
    const std::wstring page = toWide(historyPagePath(folder));
    ShellExecuteW(handle(), wingui::kOpenVerb, page.c_str(), nullptr, nullptr, SW_SHOW);
}

}  // namespace horalis
