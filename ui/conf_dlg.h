#pragma once
// The Options dialog (template 133): the four settings.
#include <windows.h>

#include "ui/conf_rules.h"
#include "ui/framework/window.h"

namespace horalis {

class CConfDlg : public wingui::CDialog {
public:
    CConfDlg();

    // The caller fills the four copies before doModal and reads them after IDOK.
    ConfDialogData data;

protected:
    const wingui::MessageMap* messageMap() const override;
    void doDataExchange(wingui::DataExchange& dx) override;
    BOOL onInitDialog() override;
    void onOK() override;

private:
    HBRUSH onCtlColor(HDC dc, HWND control);
};

}  // namespace horalis
