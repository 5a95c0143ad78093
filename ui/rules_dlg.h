#pragma once
// The "Recording rules" dialog (template 148): the rules of rules.txt in
// order, to add, replace, remove and reorder; the presence switch; and the
// lines the file could not give, shown so that nothing is dropped unseen.
#include <windows.h>

#include "tracking/recording_rules.h"
#include "ui/framework/controls.h"
#include "ui/framework/window.h"

namespace horalis {

class CRulesDlg : public wingui::CDialog {
public:
    CRulesDlg();

    // Filled by the caller before doModal; after IDOK, what is to be saved.
    RuleFile file;

protected:
    const wingui::MessageMap* messageMap() const override;
    void doDataExchange(wingui::DataExchange& dx) override;
    BOOL onInitDialog() override;
    void onOK() override;

private:
    void fillList(int select);
    int selectedRow() const;
    LRESULT onListItemChanged(NMHDR* header);
    void onAdd();
    void onReplace();
    void onRemove();
    void onMoveUp();
    void onMoveDown();
    void onActionChanged();
    void updateButtons();
    // The rule the fields describe; false, with a message, when it cannot be one.
    bool ruleFromFields(RecordingRule& rule);
    void showInFields(const RecordingRule& rule);

    wingui::CListCtrl list_;
    bool filling_ = false;
};

}  // namespace horalis
