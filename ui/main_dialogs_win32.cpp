// The main window's commands that open a window of their own: Options,
// Mouse pointers, the reporter manager, About and the help file.
#include <windows.h>

#include "base/program_path.h"
#include "storage/data_folder.h"
#include "ui/about_dlg.h"
#include "ui/conf_dlg.h"
#include "ui/cursors_dlg.h"
#include "ui/main_dlg.h"
#include "ui/message_texts.h"
#include "ui/service_dlg.h"

namespace horalis {
namespace {

constexpr const wchar_t* kHelpFileName = L"Horalis.chm";

}  // namespace

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

// A new dialog each time, so the link always starts unvisited.
void CMainDlg::showAbout() {
    CAboutDlg about;
    about.doModal();
}

void CMainDlg::showHelp() {
    help_.displayTopic(handle(), programFolder() + kHelpFileName);
}

}  // namespace horalis
