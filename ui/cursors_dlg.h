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
    void onDpiChanged(UINT fromDpi) override;

private:
    // The pointer pictures at 16 pixels scaled to the dialog's DPI, given to
    // the list before the old image list goes.
    void setPointerImages();

    wingui::CListCtrl list_;
    horalis::ImageList images_;
};

}  // namespace horalis
