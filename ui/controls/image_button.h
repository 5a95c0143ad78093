#pragma once
// An owner-drawn push button with a picture beside its caption, drawn flat
// with a thin raised border under the pointer, that keeps the dialog
// manager's default-button and keyboard behaviour.
#include <windows.h>

#include <string>

#include "base/handles.h"
#include "ui/controls/image_button_rules.h"
#include "ui/framework/controls.h"

namespace horalis {

class CImageButton : public wingui::CButton {
public:
    CImageButton();

    // A bitmap of the program's resources; its pixels of the transparent
    // colour show the button's face.
    void loadBitmap(int id, COLORREF transparent);

    // The picture's margins and pressed shift are given for 96 DPI; this
    // scales them to the DPI the button is drawn at.
    void setDpi(UINT dpi);

    // Grows the button when the widest word of its caption does not fit beside
    // its picture in the button's font: towards the left (right edge kept) or
    // the right, never past limit, a neighbour's edge in parent coordinates.
    void growToCaption(bool towardsLeft, LONG limit);

protected:
    const wingui::MessageMap* messageMap() const override;
    void onAttach() override;
    bool preTranslateMessage(MSG& msg) override;
    void drawItem(DRAWITEMSTRUCT& item) override;

private:
    struct Image {
        horalis::Bitmap bitmap;
        horalis::Bitmap mask;
        int width = 0;
        int height = 0;
    };

    void drawBorder(HDC dc, const RECT& rect, bool pressed) const;
    void drawImage(HDC dc, const Rect& at) const;
    void drawCaption(HDC dc, const std::wstring& text, const RECT& caption, bool pressed) const;
    void endHover();

    void onKillFocus(HWND);
    void onMouseMove(UINT keys, POINT point);
    void onSysColorChange();
    bool onClicked();
    void onCancelMode();
    LRESULT onGetDlgCode(WPARAM, LPARAM);
    HBRUSH onColor(HDC dc);
    LRESULT onSetStyle(WPARAM, LPARAM);
    LRESULT onMouseLeave(WPARAM, LPARAM);

    ImageLayout layout_;
    Image image_;
    COLORREF face_ = 0;
    COLORREF text_ = 0;
    bool hover_ = false;
    bool default_ = false;
    wingui::CToolTipCtrl tooltip_;
};

}  // namespace horalis
