#pragma once
// Common controls as framework windows: bind them to dialog items with
// ddxControl, or derive a custom control from them (with its own table).
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "ui/framework/window.h"

namespace wingui {

// A list view ("SysListView32").
class CListCtrl : public CWnd {
public:
    // Replaces all extended styles with these.
    DWORD setExtendedStyle(DWORD styles) const;
    // width -1 leaves the column's width to the control.
    int insertColumn(int column, const std::wstring& heading, int format = LVCFMT_LEFT, int width = -1) const;
    HIMAGELIST setImageList(HIMAGELIST images, int which) const;  // LVSIL_SMALL...
    // Every column's width, as it is now (the user may have changed it),
    // from fromDpi to toDpi.
    void rescaleColumns(UINT fromDpi, UINT toDpi) const;
    int itemCount() const;
    // Owner-data lists: the number of rows.
    bool setItemCount(int count, DWORD flags = LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL) const;
    // The whole text of a cell, however long.
    std::wstring itemText(int row, int column) const;
    // Returns the new row's index, or -1.
    int insertItem(int row, const std::wstring& text, int image) const;
    bool setItemText(int row, int column, const std::wstring& text) const;
    bool setItemData(int row, LPARAM data) const;
    LPARAM itemData(int row) const;
    bool setItemState(int row, UINT state, UINT mask) const;
    UINT itemState(int row, UINT mask) const;
    bool deleteAllItems() const;
    // The next row after start (-1: from the top) with the LVNI_ flags.
    int nextItem(int start, UINT flags) const;
    bool sortItems(PFNLVCOMPARE compare, LPARAM data) const;
    bool redrawItems(int first, int last) const;
    bool ensureVisible(int row) const;
};

// A static control.
class CStatic : public CWnd {
public:
    HICON setIcon(HICON icon) const;
    HBITMAP setBitmap(HBITMAP bitmap) const;
};

// A button. Owner-drawn buttons get their WM_DRAWITEM back as drawItem().
class CButton : public CWnd {
public:
    int check() const;
    void setCheck(int state) const;
    UINT buttonStyle() const;
    void setButtonStyle(UINT style, bool redraw = true) const;

protected:
    // The framework's owner-draw entry. Base: nothing.
    virtual void drawItem(DRAWITEMSTRUCT&) {}
    const MessageMap* messageMap() const override;

private:
    void reflectedDrawItem(DRAWITEMSTRUCT& item) { drawItem(item); }
};

// A tooltip window, owned by a control. Mouse messages reach it through
// relayEvent, typically from the owner's preTranslateMessage.
class CToolTipCtrl : public CWnd {
public:
    bool create(const CWnd& owner, DWORD style = 0);
    // id 0: the tool is the window itself; otherwise the tool is the given
    // rectangle of the window (its whole client area when rect is null).
    bool addTool(const CWnd& window, const std::wstring& text, const RECT* rect = nullptr, UINT id = 0) const;
    void updateTipText(const std::wstring& text, const CWnd& window, UINT id = 0) const;
    void relayEvent(MSG& msg) const;
    void activate(bool active) const;
    int setMaxTipWidth(int width) const;
};

}  // namespace wingui
