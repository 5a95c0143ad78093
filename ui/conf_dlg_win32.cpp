#include "ui/conf_dlg.h"

#include <uxtheme.h>

#include <string>

#include "resources/resource.h"
#include "ui/framework/strings.h"

namespace horalis {

CConfDlg::CConfDlg() : CDialog(IDD_CONF) {}

const wingui::MessageMap* CConfDlg::messageMap() const {
    static constexpr wingui::Handler<CConfDlg> handlers[] = {
        wingui::onCtlColor(&CConfDlg::onCtlColor),
    };
    static const wingui::MessageMap map{handlers, CDialog::messageMap()};
    return &map;
}

void CConfDlg::doDataExchange(wingui::DataExchange& dx) {
    CDialog::doDataExchange(dx);
    if (!dx.saving()) {
        data.saveDailyReportsCheck = checkStateToControl(data.saveDailyReportsCheck);
        data.showTimeInSecondsCheck = checkStateToControl(data.showTimeInSecondsCheck);
        data.saveWindowTitlesCheck = checkStateToControl(data.saveWindowTitlesCheck);
    }
    wingui::ddxCheck(dx, IDC_SAVE_DAILY, data.saveDailyReportsCheck);
    wingui::ddxCheck(dx, IDC_SHOW_SECONDS, data.showTimeInSecondsCheck);
    wingui::ddxCheck(dx, IDC_SAVE_TITLES, data.saveWindowTitlesCheck);
    std::wstring timeout = wingui::toWide(data.awayTimeoutText);
    wingui::ddxText(dx, IDC_AWAY_TIMEOUT, timeout);
    if (dx.saving()) {
        data.saveDailyReportsCheck = checkStateFromControl(data.saveDailyReportsCheck);
        data.showTimeInSecondsCheck = checkStateFromControl(data.showTimeInSecondsCheck);
        data.saveWindowTitlesCheck = checkStateFromControl(data.saveWindowTitlesCheck);
        data.awayTimeoutText = wingui::toCore(timeout);
    }
}

BOOL CConfDlg::onInitDialog() {
    // The base exchange runs before the controls are filled in from the copies;
    // the second exchange below is the one that shows them.
    CDialog::onInitDialog();
    // A themed group box draws its caption in the theme's colour and ignores
    // the one set at WM_CTLCOLORSTATIC; the classic one honours it. A class
    // list that names no theme class turns theming off; Wine treats the usual
    // empty strings as "not set" and keeps the theme.
    SetWindowTheme(GetDlgItem(handle(), IDC_CONF_GROUP), L" ", L" ");
    prepareDialogControls(data);
    updateData(false);
    return TRUE;
}

void CConfDlg::onOK() {
    updateData(true);
    takeDialogControls(data);
    CDialog::onOK();
}

HBRUSH CConfDlg::onCtlColor(HDC dc, HWND control) {
    auto brush = reinterpret_cast<HBRUSH>(defaultProcessing());
    if (GetDlgCtrlID(control) == IDC_CONF_GROUP) SetTextColor(dc, static_cast<COLORREF>(kConfGroupTextColour));
    return brush;
}

}  // namespace horalis
