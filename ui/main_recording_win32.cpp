// The user's choice of what is recorded: the pause, and the rules dialog.
#include <windows.h>

#include "base/instance_names.h"
#include "resources/resource.h"
#include "storage/data_folder.h"
#include "ui/main_dlg.h"
#include "ui/message_texts.h"
#include "ui/rules_dlg.h"

namespace horalis {

void CMainDlg::togglePause() {
    tick_.state().paused = !tick_.state().paused;
    showPauseState();
}

void CMainDlg::showPauseState() {
    const bool paused = tick_.state().paused;
    if (!paused) {
        pauseMark_.reset();
    } else if (!pauseMark_) {
        pauseMark_.emplace();
        pauseMark_->claim(kRecordingPausedMutex);
    }
    // By command: the menu bar's item is found in its File pop-up.
    const UINT check = MF_BYCOMMAND | (paused ? MF_CHECKED : MF_UNCHECKED);
    if (HMENU bar = GetMenu(handle())) CheckMenuItem(bar, ID_PAUSE_RECORDING, check);
    if (HMENU popup = trayMenu_ ? GetSubMenu(trayMenu_.get(), 0) : nullptr)
        CheckMenuItem(popup, ID_PAUSE_RECORDING, check);
    updateTrayIcon();
}

void CMainDlg::loadRecordingRules() {
    const RuleFile file = loadRuleFile(dataFolderPath());
    recordingFilter_.setRules(file.rules);
    presence_.setEnabled(file.countPresence);
}

// The file is read when the dialog opens, so that it shows (and saves) a
// file edited by hand since, and again when it closes, whichever way.
void CMainDlg::showRecordingRules() {
    CRulesDlg dialog;
    dialog.file = loadRuleFile(dataFolderPath());
    if (dialog.doModal() == IDOK && !saveRuleFile(dataFolderPath(), dialog.file))
        MessageBoxW(handle(), L"Can't save rules to a file!", kErrorCaption, MB_ICONERROR);
    loadRecordingRules();
}

}  // namespace horalis
