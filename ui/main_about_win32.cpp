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

    // The captions were sized for the system's own dialog font; in a wider
    // one (Wine's) a word would run over its picture. "Mouse pointers" sits
    // at the right edge, so it grows leftwards.
    const LONG gap = optionsButton_.rectInParent().left - clearListsButton_.rectInParent().right;
    clearListsButton_.growToCaption(false, optionsButton_.rectInParent().left - gap);
    optionsButton_.growToCaption(false, pointersButton_.rectInParent().left - gap);
    pointersButton_.growToCaption(true, optionsButton_.rectInParent().right + gap);
}

}  // namespace horalis
