#pragma once
// The reporter manager (template 137): the reporter's autostart entry under
// HKEY_LOCAL_MACHINE's Run key.
#include <windows.h>

#include "ui/framework/window.h"

namespace horalis {

class ServiceDlg : public wingui::CDialog {
public:
    ServiceDlg();

protected:
    const wingui::MessageMap* messageMap() const override;
    BOOL onInitDialog() override;

private:
    void install();
    void remove();
    void showButtons(bool installed) const;
    void showSystemError(LSTATUS code) const;
};

}  // namespace horalis
