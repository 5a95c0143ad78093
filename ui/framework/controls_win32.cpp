#include "ui/framework/controls.h"

#include "ui/dpi_scale.h"

namespace wingui {
namespace {

// The version-2 size works with every comctl32, with or without the v6
// manifest; the full size of the current headers is refused by version 5.
TTTOOLINFOW toolInfo(const CWnd& window, UINT id) {
    TTTOOLINFOW info{};
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    if (id == 0) {
        info.uFlags = TTF_IDISHWND;
        info.hwnd = GetParent(window.handle());
        info.uId = reinterpret_cast<UINT_PTR>(window.handle());
    } else {
        info.hwnd = window.handle();
        info.uId = id;
    }
    return info;
}

}  // namespace

// --- CListCtrl -------------------------------------------------------------

DWORD CListCtrl::setExtendedStyle(DWORD styles) const {
    return static_cast<DWORD>(sendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, static_cast<LPARAM>(styles)));
}

int CListCtrl::insertColumn(int column, const std::wstring& heading, int format, int width) const {
    LVCOLUMNW info{};
    info.mask = LVCF_TEXT | LVCF_FMT;
    info.fmt = format;
    info.pszText = const_cast<wchar_t*>(heading.c_str());
    if (width != -1) {
        info.mask |= LVCF_WIDTH;
        info.cx = width;
    }
    return static_cast<int>(sendMessage(LVM_INSERTCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&info)));
}

void CListCtrl::rescaleColumns(UINT fromDpi, UINT toDpi) const {
    const auto header = reinterpret_cast<HWND>(sendMessage(LVM_GETHEADER));
    const int columns = header ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
    for (int column = 0; column < columns; ++column) {
        const int width = static_cast<int>(sendMessage(LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column)));
        sendMessage(LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), horalis::rescaleDpi(width, fromDpi, toDpi));
    }
}

HIMAGELIST CListCtrl::setImageList(HIMAGELIST images, int which) const {
    return reinterpret_cast<HIMAGELIST>(sendMessage(LVM_SETIMAGELIST, static_cast<WPARAM>(which), reinterpret_cast<LPARAM>(images)));
}

int CListCtrl::itemCount() const {
    return static_cast<int>(sendMessage(LVM_GETITEMCOUNT));
}

bool CListCtrl::setItemCount(int count, DWORD flags) const {
    return sendMessage(LVM_SETITEMCOUNT, static_cast<WPARAM>(count), static_cast<LPARAM>(flags)) != 0;
}

std::wstring CListCtrl::itemText(int row, int column) const {
    // The control copies at most the buffer's size less one: grow until it fits.
    std::wstring text(256, L'\0');
    for (;;) {
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = text.data();
        item.cchTextMax = static_cast<int>(text.size());
        auto length = static_cast<size_t>(sendMessage(LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)));
        if (length + 1 < text.size()) {
            text.resize(length);
            return text;
        }
        text.resize(text.size() * 2);
    }
}

int CListCtrl::insertItem(int row, const std::wstring& text, int image) const {
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = row;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    item.iImage = image;
    return static_cast<int>(sendMessage(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

bool CListCtrl::setItemText(int row, int column, const std::wstring& text) const {
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    return sendMessage(LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)) != 0;
}

bool CListCtrl::setItemData(int row, LPARAM data) const {
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    item.lParam = data;
    return sendMessage(LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item)) != 0;
}

LPARAM CListCtrl::itemData(int row) const {
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    sendMessage(LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    return item.lParam;
}

bool CListCtrl::setItemState(int row, UINT state, UINT mask) const {
    LVITEMW item{};
    item.state = state;
    item.stateMask = mask;
    return sendMessage(LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)) != 0;
}

UINT CListCtrl::itemState(int row, UINT mask) const {
    return static_cast<UINT>(sendMessage(LVM_GETITEMSTATE, static_cast<WPARAM>(row), static_cast<LPARAM>(mask)));
}

bool CListCtrl::deleteAllItems() const {
    return sendMessage(LVM_DELETEALLITEMS) != 0;
}

int CListCtrl::nextItem(int start, UINT flags) const {
    return static_cast<int>(sendMessage(LVM_GETNEXTITEM, static_cast<WPARAM>(start), MAKELPARAM(flags, 0)));
}

bool CListCtrl::sortItems(PFNLVCOMPARE compare, LPARAM data) const {
    return sendMessage(LVM_SORTITEMS, static_cast<WPARAM>(data), reinterpret_cast<LPARAM>(compare)) != 0;
}

bool CListCtrl::redrawItems(int first, int last) const {
    return sendMessage(LVM_REDRAWITEMS, static_cast<WPARAM>(first), static_cast<LPARAM>(last)) != 0;
}

bool CListCtrl::ensureVisible(int row) const {
    return sendMessage(LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE) != 0;
}

// --- CStatic ---------------------------------------------------------------

HICON CStatic::setIcon(HICON icon) const {
    return reinterpret_cast<HICON>(sendMessage(STM_SETICON, reinterpret_cast<WPARAM>(icon)));
}

HBITMAP CStatic::setBitmap(HBITMAP bitmap) const {
    return reinterpret_cast<HBITMAP>(sendMessage(STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)));
}

// --- CButton ---------------------------------------------------------------

int CButton::check() const {
    return static_cast<int>(sendMessage(BM_GETCHECK));
}

void CButton::setCheck(int state) const {
    sendMessage(BM_SETCHECK, static_cast<WPARAM>(state));
}

UINT CButton::buttonStyle() const {
    return static_cast<UINT>(style() & 0xFFFF);
}

void CButton::setButtonStyle(UINT style, bool redraw) const {
    sendMessage(BM_SETSTYLE, style, redraw ? TRUE : FALSE);
}

const MessageMap* CButton::messageMap() const {
    static constexpr Handler<CButton> handlers[] = {
        wingui::onReflectedDrawItem(&CButton::reflectedDrawItem),
    };
    static const MessageMap map{handlers, CWnd::messageMap()};
    return &map;
}

// --- CToolTipCtrl ----------------------------------------------------------

bool CToolTipCtrl::create(const CWnd& owner, DWORD style) {
    RECT rect{CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT};
    return createWindow(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | style, rect, owner.handle());
}

bool CToolTipCtrl::addTool(const CWnd& window, const std::wstring& text, const RECT* rect, UINT id) const {
    TTTOOLINFOW info = toolInfo(window, id);
    info.lpszText = const_cast<wchar_t*>(text.c_str());
    if (rect)
        info.rect = *rect;
    else if (id != 0)
        GetClientRect(window.handle(), &info.rect);
    return sendMessage(TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info)) != 0;
}

void CToolTipCtrl::updateTipText(const std::wstring& text, const CWnd& window, UINT id) const {
    TTTOOLINFOW info = toolInfo(window, id);
    info.lpszText = const_cast<wchar_t*>(text.c_str());
    sendMessage(TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
}

void CToolTipCtrl::relayEvent(MSG& msg) const {
    if (handle()) sendMessage(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
}

void CToolTipCtrl::activate(bool active) const {
    sendMessage(TTM_ACTIVATE, active ? TRUE : FALSE);
}

int CToolTipCtrl::setMaxTipWidth(int width) const {
    return static_cast<int>(sendMessage(TTM_SETMAXTIPWIDTH, 0, width));
}

}  // namespace wingui
