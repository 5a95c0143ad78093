// The pictures of the main window's three top buttons, drawn for its DPI.
#include "resources/resource.h"
#include "ui/dpi_scale.h"
#include "ui/main_dlg.h"

namespace horalis {

void CMainDlg::loadButtonBitmaps() {
    constexpr COLORREF kTransparent = RGB(255, 255, 255);
    // Each picture drawn at 100 %, 150 % and 200 %, in PictureScale's order.
    constexpr int kClearLists[] = {IDB_CLEAR_LISTS, IDB_CLEAR_LISTS_150, IDB_CLEAR_LISTS_200};
    constexpr int kOptions[] = {IDB_OPTIONS, IDB_OPTIONS_150, IDB_OPTIONS_200};
    constexpr int kMousePointers[] = {IDB_MOUSE_POINTERS, IDB_MOUSE_POINTERS_150, IDB_MOUSE_POINTERS_200};
    const auto scale = static_cast<size_t>(pictureScaleFor(dpi()));
    for (CImageButton* button : {&clearListsButton_, &optionsButton_, &pointersButton_}) button->setDpi(dpi());
    clearListsButton_.loadBitmap(kClearLists[scale], kTransparent);
    optionsButton_.loadBitmap(kOptions[scale], kTransparent);
    pointersButton_.loadBitmap(kMousePointers[scale], kTransparent);

    // The captions were sized for the system's own dialog font; in a wider
    // one (Wine's) a word would run over its picture. "Mouse pointers" sits
    // at the right edge, so it grows leftwards.
    const LONG gap = optionsButton_.rectInParent().left - clearListsButton_.rectInParent().right;
    clearListsButton_.growToCaption(false, optionsButton_.rectInParent().left - gap);
    optionsButton_.growToCaption(false, pointersButton_.rectInParent().left - gap);
    pointersButton_.growToCaption(true, optionsButton_.rectInParent().right + gap);
}

}  // namespace horalis
