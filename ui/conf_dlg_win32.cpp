#include "ui/conf_dlg.h"

#include <commctrl.h>
#include <uxtheme.h>

#include <algorithm>
#include <string>

#include "resources/resource.h"
#include "base/handles.h"
#include "base/string.h"
#include "ui/conf_rules.h"

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
        if (lstrcmpiW(className, WC_STATICW) != 0) continue;
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

// A switch setting: a stored value other than 0, 1 or 2 opens unchecked and
// is saved as 0.
void exchangeSwitch(wingui::DataExchange& dx, int id, int32_t& setting) {
    int32_t state = dx.saving() ? 0 : checkStateToControl(setting);
    wingui::ddxCheck(dx, id, state);
    if (dx.saving()) setting = checkStateFromControl(state);
}

// The timeout field, written and read as a number (7-Zip's SetItemInt /
// GetItemInt, with the C runtime's reading of the text).
void exchangeSeconds(wingui::DataExchange& dx, int id, int32_t& seconds) {
    std::wstring text = dx.saving() ? std::wstring() : toWide(formatTimeoutText(seconds));
    wingui::ddxText(dx, id, text);
    if (dx.saving()) seconds = parseTimeoutText(toCore(text));
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
    exchangeSwitch(dx, IDC_SAVE_DAILY, settings.saveDailyReports);
    exchangeSwitch(dx, IDC_SHOW_SECONDS, settings.showTimeInSeconds);
    exchangeSwitch(dx, IDC_SAVE_TITLES, settings.saveWindowTitles);
    exchangeSeconds(dx, IDC_AWAY_TIMEOUT, settings.awayTimeoutSeconds);
}

BOOL CConfDlg::onInitDialog() {
    // The base runs the exchange that shows the settings.
    CDialog::onInitDialog();
    // A themed group box draws its caption in the theme's colour and ignores
    // the one set at WM_CTLCOLORSTATIC; the classic one honours it. A class
    // list that names no theme class turns theming off; Wine treats the usual
    // empty strings as "not set" and keeps the theme.
    SetWindowTheme(GetDlgItem(handle(), IDC_CONF_GROUP), L" ", L" ");
    fitNoteTexts(handle(), GetDlgItem(handle(), IDC_CONF_GROUP));
    return TRUE;
}

HBRUSH CConfDlg::onCtlColor(HDC dc, HWND control) {
    auto brush = reinterpret_cast<HBRUSH>(defaultProcessing());
    if (GetDlgCtrlID(control) == IDC_CONF_GROUP) SetTextColor(dc, static_cast<COLORREF>(kConfGroupTextColour));
    return brush;
}

}  // namespace horalis
