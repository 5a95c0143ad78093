// The main window's dialogs and its part of the pointer accounting.
#include <windows.h>

#include "storage/data_folder.h"
#include "tracking/pointer_table.h"
#include "ui/conf_dlg.h"
#include "ui/cursors_dlg.h"
#include "ui/main_dlg.h"
#include "ui/message_texts.h"
#include "ui/service_dlg.h"

namespace horalis {

void CMainDlg::showOptions() {
    CConfDlg dialog;
    dialog.settings = settings_;
    if (dialog.doModal() != IDOK) return;
    const bool wasSavingDaily = settings_.saveDailyReports != 0;
    settings_ = dialog.settings;
    // The day so far becomes the journal's too, as it would have gone into the pair at 00:00.
    if (!wasSavingDaily && settings_.saveDailyReports != 0) tick_.journal().noteAll();
    if (!saveSettings(settings_, dataFolderPath()))
        MessageBoxW(handle(), L"Can't save configuration to a file!", kErrorCaption, MB_ICONERROR);
}

void CMainDlg::showPointerTimes() {
    CDlgCursors dialog;
    dialog.doModal();
}

void CMainDlg::showReporterManager() {
    ServiceDlg dialog;
    dialog.doModal();
}

void CMainDlg::loadPointerHandles() {
    // Shared system cursors: never destroyed.
    horalis::loadPointerHandles([](int32_t id) {
        return reinterpret_cast<CursorRef>(LoadCursorW(nullptr, MAKEINTRESOURCEW(id)));
    });
}

void CMainDlg::countPointer(const CursorState& cursor) {
    countPointerSample(cursor);
}

void CMainDlg::clearPointerTotals() {
    resetPointerCounts();
}

}  // namespace horalis
