#include "ui/conf_dlg.h"

#include <uxtheme.h>

#include <algorithm>
#include <string>

#include "resources/resource.h"
#include "base/handles.h"
#include "base/string.h"

namespace horalis {
namespace {

// The template's note texts are sized for the system's own dialog font; a wider
// substitute font (Wine's) would wrap their ends onto a line that is cut off.
// Each note grows to its text, up to the group box's edge or the next control
// on its line.
void fitNoteTexts(HWND dialog, HWND group) {
    const RECT groupRect = wingui::rectInParent(group);
    for (HWND note = GetWindow(dialog, GW_CHILD); note; note = GetWindow(note, GW_HWNDNEXT)) {
        wchar_t className[16] = {};
        GetClassNameW(note, className, 16);
        if (lstrcmpiW(className, L"Static") != 0) continue;
        const int needed = wingui::textWidth(note, wingui::windowText(note));
        if (needed == 0) continue;
        const RECT rect = wingui::rectInParent(note);
        LONG limit = groupRect.right - 4;
        for (HWND other = GetWindow(dialog, GW_CHILD); other; other = GetWindow(other, GW_HWNDNEXT)) {
            if (other == note || other == group) continue;
            const RECT o = wingui::rectInParent(other);
            if (o.left > rect.left && o.top < rect.bottom && o.bottom > rect.top) limit = std::min(limit, o.left - 2);
        }
        const LONG width = std::min<LONG>(needed + 2, limit - rect.left);
        if (width > rect.right - rect.left)
            SetWindowPos(note, nullptr, 0, 0, width, rect.bottom - rect.top,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

}  // namespace

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
    std::wstring timeout = horalis::toWide(data.awayTimeoutText);
    wingui::ddxText(dx, IDC_AWAY_TIMEOUT, timeout);
    if (dx.saving()) {
        data.saveDailyReportsCheck = checkStateFromControl(data.saveDailyReportsCheck);
        data.showTimeInSecondsCheck = checkStateFromControl(data.showTimeInSecondsCheck);
        data.saveWindowTitlesCheck = checkStateFromControl(data.saveWindowTitlesCheck);
        data.awayTimeoutText = horalis::toCore(timeout);
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
    fitNoteTexts(handle(), GetDlgItem(handle(), IDC_CONF_GROUP));
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
