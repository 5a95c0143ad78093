#pragma once
// The modal About dialog: program icon, version and the feedback link.
#include "ui/controls/link_static.h"
#include "ui/framework/window.h"

namespace horalis {

class CAboutDlg : public wingui::CDialog {
public:
    CAboutDlg();

protected:
    void doDataExchange(wingui::DataExchange& dx) override;
    BOOL onInitDialog() override;

private:
    // Inner right edge of the group box around the feedback line, in dialog units.
    static constexpr LONG kGroupRightUnits = 171;
    void fitFeedbackLine();

    CLinkStatic feedbackLink_;
};

}  // namespace horalis
