#include "ui/about_dlg.h"

#include "resources/resource.h"
#include "ui/main_dlg.h"

namespace horalis {

CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX) {}

void CAboutDlg::doDataExchange(wingui::DataExchange& dx) {
    CDialog::doDataExchange(dx);
    wingui::ddxControl(dx, IDC_FEEDBACK_LINK, feedbackLink_);
}

BOOL CAboutDlg::onInitDialog() {
    CDialog::onInitDialog();
    feedbackLink_.SetTarget(kFeedbackUrl);
    return TRUE;
}

}  // namespace horalis
