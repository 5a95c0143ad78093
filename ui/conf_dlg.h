#pragma once
// The Options dialog (template 133): the four settings.
#include <windows.h>

#include "storage/settings.h"
#include "ui/framework/window.h"

namespace horalis {

class CConfDlg : public wingui::CDialog {
public:
    CConfDlg();

    // Shown when the dialog opens; after IDOK, what the user chose.
    Settings settings;

protected:
    const wingui::MessageMap* messageMap() const override;
    void doDataExchange(wingui::DataExchange& dx) override;
    BOOL onInitDialog() override;

private:
    HBRUSH onCtlColor(HDC dc, HWND control);
};

}  // namespace horalis
