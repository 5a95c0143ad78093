#include "ui/about_dlg.h"

#include <algorithm>

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
    fitFeedbackLine();
    return TRUE;
}

// The template leaves the note just enough room in the system's own dialog
// font; in a wider substitute font (Wine's) its last word wraps onto a line
// that is cut off. The note then grows to its text and the link, already
// fitted to its own text, moves along behind it; when the two no longer fit
// side by side in the group box, the note moves up a line (the box is empty
// above it) and the link takes the note's place.
void CAboutDlg::fitFeedbackLine() {
    const RECT link = feedbackLink_.rectInParent();
    HWND note = nullptr;
    for (HWND child = GetWindow(handle(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const RECT r = wingui::rectInParent(child);
        if (child != feedbackLink_.handle() && r.top < link.bottom && r.bottom > link.top && r.right <= link.left)
            note = child;
    }
    if (!note) return;
    const RECT noteRect = wingui::rectInParent(note);
    const LONG noteHeight = noteRect.bottom - noteRect.top;
    const LONG needed = wingui::textWidth(note, wingui::windowText(note)) + 2;
    if (needed <= noteRect.right - noteRect.left) return;

    RECT edge{kGroupRightUnits, 0, kGroupRightUnits, 0};
    MapDialogRect(handle(), &edge);
    const LONG gap = link.left - noteRect.right;
    const LONG linkWidth = link.right - link.left;
    constexpr UINT kMoveOnly = SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;
    if (noteRect.left + needed + gap + linkWidth <= edge.right) {
        SetWindowPos(note, nullptr, 0, 0, needed, noteHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        SetWindowPos(feedbackLink_.handle(), nullptr, noteRect.left + needed + gap, link.top, 0, 0, kMoveOnly);
        return;
    }
    const LONG width = std::min<LONG>(needed, edge.right - noteRect.left);
    SetWindowPos(note, nullptr, noteRect.left, noteRect.top - noteHeight - 2, width, noteHeight,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(feedbackLink_.handle(), nullptr, noteRect.left, link.top, 0, 0, kMoveOnly);
}

}  // namespace horalis
