#include "ui/rules_dlg.h"

#include <commctrl.h>

#include <string>
#include <utility>

#include "base/string.h"
#include "resources/resource.h"
#include "ui/dpi_scale.h"
#include "ui/framework/dpi.h"

namespace horalis {
namespace {

constexpr const wchar_t* kTargetNames[] = {L"Program file name", L"Window title text"};
constexpr const wchar_t* kActionNames[] = {L"Hide the title", L"Don't record", L"Category"};
constexpr size_t kSkippedLinesShown = 200;

std::wstring actionText(const RecordingRule& rule) {
    switch (rule.action) {
    case RuleAction::HideTitle:
    case RuleAction::DontRecord: return kActionNames[static_cast<size_t>(rule.action)];
    case RuleAction::Category: return std::wstring(kActionNames[static_cast<size_t>(rule.action)]) + L": " + toWide(rule.category);
    }
    return {};
}

std::wstring skippedText(const std::vector<SkippedRuleLine>& skipped) {
    if (skipped.empty()) return L"(none)";
    std::wstring text;
    for (size_t i = 0; i < skipped.size() && i < kSkippedLinesShown; ++i) {
        if (!text.empty()) text += L"\r\n";
        if (skipped[i].number == 0) {
            text += L"the rest of the file, beyond 1 MB, was not read";
        } else {
            text += L"line " + std::to_wstring(skipped[i].number) + L": " + toWide(skipped[i].text);
        }
    }
    if (skipped.size() > kSkippedLinesShown) text += L"\r\n...";
    return text;
}

std::wstring itemText(HWND dialog, int id) {
    const int length = GetWindowTextLengthW(GetDlgItem(dialog, id));
    std::wstring text(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
    text.resize(static_cast<size_t>(GetDlgItemTextW(dialog, id, text.data(), length + 1)));
    return text;
}

String trimmedText(HWND dialog, int id) {
    String text = toCore(itemText(dialog, id));
    const size_t first = text.find_first_not_of(u" \t");
    if (first == String::npos) return {};
    return text.substr(first, text.find_last_not_of(u" \t") - first + 1);
}

int comboSelection(HWND dialog, int id) {
    return static_cast<int>(SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0));
}

}  // namespace

CRulesDlg::CRulesDlg() : CDialog(IDD_RULES) {}

const wingui::MessageMap* CRulesDlg::messageMap() const {
    static constexpr wingui::Handler<CRulesDlg> handlers[] = {
        wingui::onNotify(IDC_RULE_LIST, LVN_ITEMCHANGED, &CRulesDlg::onListItemChanged),
        wingui::onCommand(IDC_RULE_ADD, &CRulesDlg::onAdd),
        wingui::onCommand(IDC_RULE_REPLACE, &CRulesDlg::onReplace),
        wingui::onCommand(IDC_RULE_REMOVE, &CRulesDlg::onRemove),
        wingui::onCommand(IDC_RULE_UP, &CRulesDlg::onMoveUp),
        wingui::onCommand(IDC_RULE_DOWN, &CRulesDlg::onMoveDown),
        wingui::onCommand(IDC_RULE_ACTION, CBN_SELCHANGE, &CRulesDlg::onActionChanged),
    };
    static const wingui::MessageMap map{handlers, CDialog::messageMap()};
    return &map;
}

void CRulesDlg::doDataExchange(wingui::DataExchange& dx) {
    CDialog::doDataExchange(dx);
    wingui::ddxControl(dx, IDC_RULE_LIST, list_);
    int32_t presence = file.countPresence ? 1 : 0;
    wingui::ddxCheck(dx, IDC_COUNT_PRESENCE, presence);
    if (dx.saving()) file.countPresence = presence != 0;
}

BOOL CRulesDlg::onInitDialog() {
    CDialog::onInitDialog();
    const UINT dpi = wingui::windowDpi(handle());
    list_.setExtendedStyle(LVS_EX_FULLROWSELECT);
    list_.insertColumn(0, L"Match", LVCFMT_LEFT, scaleToDpi(62, dpi));
    list_.insertColumn(1, L"Text", LVCFMT_LEFT, scaleToDpi(200, dpi));
    list_.insertColumn(2, L"Action", LVCFMT_LEFT, scaleToDpi(120, dpi));
    for (const wchar_t* name : kTargetNames)
        SendDlgItemMessageW(handle(), IDC_RULE_TARGET, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    for (const wchar_t* name : kActionNames)
        SendDlgItemMessageW(handle(), IDC_RULE_ACTION, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    showInFields(RecordingRule{});
    SetDlgItemTextW(handle(), IDC_SKIPPED_LINES, skippedText(file.skipped).c_str());
    fillList(-1);
    return TRUE;
}

void CRulesDlg::onOK() {
    updateData(true);
    endDialog(IDOK);
}

void CRulesDlg::fillList(int select) {
    filling_ = true;
    list_.deleteAllItems();
    for (size_t i = 0; i < file.rules.size(); ++i) {
        const RecordingRule& rule = file.rules[i];
        const int row = list_.insertItem(static_cast<int>(i),
                                         rule.target == RuleTarget::Program ? L"Program" : L"Title", -1);
        list_.setItemText(row, 1, toWide(rule.pattern));
        list_.setItemText(row, 2, actionText(rule));
    }
    if (select >= 0 && select < list_.itemCount()) {
        list_.setItemState(select, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        list_.ensureVisible(select);
    }
    filling_ = false;
    updateButtons();
}

int CRulesDlg::selectedRow() const {
    const int row = list_.nextItem(-1, LVNI_SELECTED);
    return row >= 0 && static_cast<size_t>(row) < file.rules.size() ? row : -1;
}

LRESULT CRulesDlg::onListItemChanged(NMHDR* header) {
    const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
    if (filling_ || !(change->uChanged & LVIF_STATE)) return 0;
    // A rule chosen in the list is shown in the fields, to be changed and replaced.
    if ((change->uNewState & LVIS_SELECTED) && !(change->uOldState & LVIS_SELECTED) && change->iItem >= 0 &&
        static_cast<size_t>(change->iItem) < file.rules.size())
        showInFields(file.rules[static_cast<size_t>(change->iItem)]);
    updateButtons();
    return 0;
}

void CRulesDlg::showInFields(const RecordingRule& rule) {
    SendDlgItemMessageW(handle(), IDC_RULE_TARGET, CB_SETCURSEL, rule.target == RuleTarget::Program ? 0 : 1, 0);
    SendDlgItemMessageW(handle(), IDC_RULE_ACTION, CB_SETCURSEL, static_cast<WPARAM>(rule.action), 0);
    SetDlgItemTextW(handle(), IDC_RULE_PATTERN, toWide(rule.pattern).c_str());
    SetDlgItemTextW(handle(), IDC_RULE_CATEGORY, toWide(rule.category).c_str());
    onActionChanged();
}

void CRulesDlg::onActionChanged() {
    const bool category = comboSelection(handle(), IDC_RULE_ACTION) == static_cast<int>(RuleAction::Category);
    EnableWindow(GetDlgItem(handle(), IDC_RULE_CATEGORY), category);
}

void CRulesDlg::updateButtons() {
    const int row = selectedRow();
    const int last = static_cast<int>(file.rules.size()) - 1;
    EnableWindow(GetDlgItem(handle(), IDC_RULE_REPLACE), row >= 0);
    EnableWindow(GetDlgItem(handle(), IDC_RULE_REMOVE), row >= 0);
    EnableWindow(GetDlgItem(handle(), IDC_RULE_UP), row > 0);
    EnableWindow(GetDlgItem(handle(), IDC_RULE_DOWN), row >= 0 && row < last);
}

bool CRulesDlg::ruleFromFields(RecordingRule& rule) {
    rule.target = comboSelection(handle(), IDC_RULE_TARGET) == 0 ? RuleTarget::Program : RuleTarget::Title;
    const int action = comboSelection(handle(), IDC_RULE_ACTION);
    rule.action = action == 1 ? RuleAction::DontRecord : action == 2 ? RuleAction::Category : RuleAction::HideTitle;
    rule.pattern = trimmedText(handle(), IDC_RULE_PATTERN);
    rule.category = rule.action == RuleAction::Category ? trimmedText(handle(), IDC_RULE_CATEGORY) : String();
    if (ruleIsWritable(rule)) return true;
    MessageBoxW(handle(),
                L"A rule needs a text to match, and a category rule a category name (without \"->\"), "
                L"each on one line.",
                L"Recording rules", MB_ICONEXCLAMATION | MB_OK);
    return false;
}

void CRulesDlg::onAdd() {
    RecordingRule rule;
    if (!ruleFromFields(rule)) return;
    if (file.rules.size() >= kMaxRules) {
        MessageBeep(MB_ICONEXCLAMATION);
        return;
    }
    file.rules.push_back(std::move(rule));
    fillList(static_cast<int>(file.rules.size()) - 1);
}

void CRulesDlg::onReplace() {
    const int row = selectedRow();
    RecordingRule rule;
    if (row < 0 || !ruleFromFields(rule)) return;
    file.rules[static_cast<size_t>(row)] = std::move(rule);
    fillList(row);
}

void CRulesDlg::onRemove() {
    const int row = selectedRow();
    if (row < 0) return;
    file.rules.erase(file.rules.begin() + row);
    fillList(row < static_cast<int>(file.rules.size()) ? row : row - 1);
}

void CRulesDlg::onMoveUp() {
    const int row = selectedRow();
    if (row <= 0) return;
    std::swap(file.rules[static_cast<size_t>(row)], file.rules[static_cast<size_t>(row) - 1]);
    fillList(row - 1);
}

void CRulesDlg::onMoveDown() {
    const int row = selectedRow();
    if (row < 0 || static_cast<size_t>(row) + 1 >= file.rules.size()) return;
    std::swap(file.rules[static_cast<size_t>(row)], file.rules[static_cast<size_t>(row) + 1]);
    fillList(row + 1);
}

}  // namespace horalis
