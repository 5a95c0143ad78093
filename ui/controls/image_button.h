#pragma once
// An owner-drawn push button with a bitmap (or icon) beside its caption, drawn
// flat with a thin raised border under the pointer, that keeps the dialog
// manager's default-button and keyboard behaviour.
#include <windows.h>

#include <array>
#include <string>

#include "ui/controls/image_button_rules.h"
#include "ui/framework/controls.h"
#include "base/handles.h"

namespace horalis {

class CImageButton : public wingui::CButton {
public:
    CImageButton();
    ~CImageButton() override;

    // Bitmaps from the program's resources. alternateId: 0 none, -3 a darker
    // copy of the normal bitmap, -2 a grey copy, otherwise a resource id.
    DWORD LoadButtonBitmaps(int normalId, COLORREF normalTransparent, int alternateId,
                            COLORREF alternateTransparent);
    // Takes ownership of the bitmaps. alternate: a bitmap, null, or the
    // values -3 (darker copy) / -2 (grey copy) cast to HBITMAP.
    // 0 on success, 1 when a size cannot be read, 2 when a mask cannot be built.
    DWORD SetButtonBitmaps(HBITMAP normal, COLORREF normalTransparent, HBITMAP alternate,
                           COLORREF alternateTransparent);

    // The image's margins and pressed shift are given for 96 DPI; this
    // scales them to the DPI the button is drawn at.
    void setDpi(UINT dpi);

    // Grows the button when the widest word of its caption does not fit beside
    // its image in the button's font: towards the left (right edge kept) or the
    // right, never past limit, a neighbour's edge in parent coordinates.
    void growToCaption(bool towardsLeft, LONG limit);

    bool hovered() const { return hover_; }
    int checkState() const { return checkState_; }

protected:
    const wingui::MessageMap* messageMap() const override;
    void onAttach() override;
    bool preTranslateMessage(MSG& msg) override;
    void drawItem(DRAWITEMSTRUCT& item) override;

    virtual void DrawBackground(HDC dc, RECT& rect);
    virtual void DrawBorder(HDC dc, RECT& rect);
    virtual void DrawIconImage(HDC dc, bool hasCaption, const RECT& item, RECT& caption, bool pressed,
                               bool disabled);
    virtual void DrawBitmapImage(HDC dc, bool hasCaption, const RECT& item, RECT& caption, bool pressed,
                                 bool disabled);
    virtual void DrawCaption(HDC dc, const std::wstring& text, RECT& caption, bool pressed, bool disabled);

private:
    struct Image {
        horalis::Bitmap bitmap;
        horalis::Bitmap mask;
        horalis::Icon icon;
        int width = 0;
        int height = 0;
        COLORREF transparent = 0;
    };
    struct Sound {
        std::wstring name;  // up to MAX_PATH characters
        const wchar_t* inUse = nullptr;
        HMODULE module = nullptr;
        DWORD flags = 0;
    };

    void releaseImages();
    void endHover();
    void playSound(const Sound& sound) const;
    ImageLayout layout() const;
    ImagePlacement place(bool hasCaption, const RECT& item, const RECT& caption, bool pressed, int width,
                         int height) const;
    void paintFaceSnapshot(HDC dc, const RECT& rect);
    void discardFaceSnapshot();

    bool onSetCursor(HWND, UINT, UINT);
    void onKillFocus(HWND);
    void onMouseMove(UINT keys, POINT point);
    void onSysColorChange();
    bool onClicked();
    void onActivate(UINT state, HWND other, bool minimised);
    void onEnable(bool enabled);
    void onCancelMode();
    LRESULT onGetDlgCode(WPARAM, LPARAM);
    HBRUSH onColor(HDC dc);
    LRESULT onSetStyle(WPARAM, LPARAM);
    LRESULT onMouseLeave(WPARAM, LPARAM);
    LRESULT onSetCheck(WPARAM, LPARAM);
    LRESULT onGetCheck(WPARAM, LPARAM);

    bool embossedDisabled_ = true;
    int xOffset_ = 3;
    int yOffset_ = 3;
    int pressedOffsetX_ = 1;
    int pressedOffsetY_ = 1;
    bool flat_ = true;
    bool hover_ = false;
    bool transparentFace_ = false;
    bool pressed_ = false;
    bool focused_ = false;
    bool disabled_ = false;
    bool default_ = false;
    bool checkBoxMode_ = false;
    ImageAlignment alignment_ = ImageAlignment::LeftOfCaption;
    bool drawBorder_ = true;
    bool focusWhenFlat_ = false;
    ButtonColours colours_;
    HWND menuOwner_ = nullptr;
    bool menuShowing_ = false;
    horalis::Menu menu_;
    horalis::Cursor hoverCursor_;
    wingui::CToolTipCtrl tooltip_;
    horalis::MemoryDc faceDc_;
    horalis::Bitmap faceBitmap_;
    HGDIOBJ faceOldBitmap_ = nullptr;
    bool alwaysTrack_ = true;
    int checkState_ = 0;
    uint32_t buttonType_ = 31;
    DWORD tooltipStyle_ = 0;
    std::wstring webAddress_;
    Image normal_;
    Image alternate_;
    HWND menuCallbackWindow_ = nullptr;
    UINT menuCallbackMessage_ = 0;
    LPARAM menuCallbackParam_ = 0;
    Sound hoverSound_;
    Sound clickSound_;
};

}  // namespace horalis
