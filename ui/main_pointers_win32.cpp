// The main window's part of the pointer accounting: the system's pointer
// handles, and the tick's counts into the pointer table.
#include <windows.h>

#include "tracking/pointer_table.h"
#include "ui/main_dlg.h"

namespace horalis {

void CMainDlg::loadPointerHandles() {
    // Shared system cursors: never destroyed.
    horalis::loadPointerHandles([](int32_t id) {
        return reinterpret_cast<CursorRef>(LoadCursorW(nullptr, MAKEINTRESOURCEW(id)));
    });
}

void CMainDlg::countPointer(const CursorState& cursor) {
    countPointerSample(cursor);
}

void CMainDlg::clearPointerTotals() {
    resetPointerCounts();
}

}  // namespace horalis
