#include "ui/cursors_dlg.h"

#include <commctrl.h>

#include "resources/resource.h"
#include "storage/duration.h"
#include "tracking/pointer_table.h"
#include "base/string.h"
#include "ui/dpi_scale.h"
#include "ui/message_texts.h"

namespace horalis {

CDlgCursors::CDlgCursors() : CDialog(IDD_CURSORS) {}

void CDlgCursors::doDataExchange(wingui::DataExchange& dx) {
    CDialog::doDataExchange(dx);
    wingui::ddxControl(dx, IDC_CURSOR_LIST, list_);
}

BOOL CDlgCursors::onInitDialog() {
    CDialog::onInitDialog();
    // Sizes at 96 DPI, scaled to the dialog's.
    list_.setExtendedStyle(LVS_EX_FULLROWSELECT);
    list_.insertColumn(0, L"Cursor name", LVCFMT_LEFT, scaleToDpi(400, dpi()));
    list_.insertColumn(1, kTimeColumnTitle, LVCFMT_LEFT, scaleToDpi(150, dpi()));
    setPointerImages();

    const auto& table = PointerTable();
    for (size_t i = 0; i < table.size(); ++i) {
        const int row = static_cast<int>(i);
        list_.insertItem(row, horalis::toWide(table[i].displayName), row);
        const auto seconds = static_cast<int32_t>(table[i].sampleCount / 2u);
        list_.setItemText(row, 1, horalis::toWide(formatDuration(seconds, false)));
    }
    return TRUE;
}

void CDlgCursors::onDpiChanged(UINT fromDpi) {
    list_.rescaleColumns(fromDpi, dpi());
    setPointerImages();
    list_.invalidate(true);
}

void CDlgCursors::setPointerImages() {
    const int iconSize = scaleToDpi(16, dpi());
    horalis::ImageList images(ImageList_Create(iconSize, iconSize, ILC_COLOR32 | ILC_MASK, 0, 1));
    ImageList_SetBkColor(images.get(), GetSysColor(COLOR_BTNFACE));
    // The image list copies the pointer's bitmaps; the shared handles stay ours.
    for (const auto& entry : PointerTable())
        ImageList_ReplaceIcon(images.get(), -1, reinterpret_cast<HICON>(entry.handle));
    list_.setImageList(images.get(), LVSIL_SMALL);
    images_ = std::move(images);
}

}  // namespace horalis
