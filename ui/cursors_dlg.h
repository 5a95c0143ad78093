#pragma once
// The pointer time dialog (template 138): a snapshot of the pointer table.
#include <windows.h>

#include "ui/framework/controls.h"
#include "base/handles.h"
#include "ui/framework/window.h"

namespace horalis {

class CDlgCursors : public wingui::CDialog {
public:
    CDlgCursors();

protected:
    void doDataExchange(wingui::DataExchange& dx) override;
    BOOL onInitDialog() override;

private:
    wingui::CListCtrl list_;
    horalis::ImageList images_;
};

}  // namespace horalis
