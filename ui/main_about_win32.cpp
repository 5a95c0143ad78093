// The main window's About command and the pictures of its three top buttons.
#include "resources/resource.h"
#include "ui/about_dlg.h"
#include "ui/main_dlg.h"

namespace horalis {

// A new dialog each time, so the link always starts unvisited.
void CMainDlg::showAbout() {
    CAboutDlg about;
    about.doModal();
}

void CMainDlg::loadButtonBitmaps() {
    constexpr COLORREF kTransparent = RGB(255, 255, 255);
    clearListsButton_.LoadButtonBitmaps(IDB_CLEAR_LISTS, kTransparent, kAlternateNone, 0);
    optionsButton_.LoadButtonBitmaps(IDB_OPTIONS, kTransparent, kAlternateNone, 0);
    pointersButton_.LoadButtonBitmaps(IDB_MOUSE_POINTERS, kTransparent, kAlternateNone, 0);
}

}  // namespace horalis
