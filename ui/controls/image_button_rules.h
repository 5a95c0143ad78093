#pragma once
// The portable half of the owner-drawn image button CImageButton: where the
// picture and the caption go, the transparency mask, the style and
// dialog-code rules, hover, and which border each state draws.
#include <cstdint>
#include <span>

#include "ui/controls/control_types.h"

namespace horalis {

// Button style type values and masks.
inline constexpr uint32_t kButtonTypeMask = 0x1F;
inline constexpr uint32_t kBsPushButton = 0x00;
inline constexpr uint32_t kBsDefPushButton = 0x01;
inline constexpr uint32_t kBsOwnerDraw = 0x0B;
// WM_GETDLGCODE additions.
inline constexpr uint32_t kDlgcDefPushButton = 0x0010;
inline constexpr uint32_t kDlgcUndefPushButton = 0x0020;

// The picture's margins, given for 96 DPI: xOffset left of the picture and
// after it, and the shift of picture and caption while pressed.
struct ImageLayout {
    int32_t xOffset = 3;
    int32_t pressedOffsetX = 1;
    int32_t pressedOffsetY = 1;
};

struct ImagePlacement {
    // Starts as the item rectangle; only left and top are placed (the picture
    // is drawn there at its own size), and all four edges move when pressed.
    Rect image;
    Rect caption;  // the item, less the picture and its margin on the left
};

// The picture left of the caption, or centred without one; vertically centred.
ImagePlacement placeImage(const ImageLayout& layout, bool hasCaption, const Rect& item, bool pressed,
                          int32_t imageWidth, int32_t imageHeight);

// The caption rectangle moved by the pressed offsets when pressed.
Rect pressedCaptionRect(const ImageLayout& layout, Rect caption, bool pressed);

// DrawText with DT_CALCRECT keeps left/top and sets right/bottom; this moves
// the measured rectangle to the centre of the caption area it was measured in.
// A measured rectangle wider than the area starts at the area's left edge.
Rect centreMeasuredCaption(const Rect& captionArea, const Rect& measured);

// The button width at which the widest word of the caption fits beside the
// picture with the offset's margin on each side.
int32_t widthForCaption(const ImageLayout& layout, int32_t imageWidth, int32_t widestWord);

// Mask building: pixels of exactly the transparent colour (low 24 bits) get
// mask 1 and turn black in the colour bitmap (changed in place); all others
// get mask 0 and stay. The two spans have the same length.
void buildMask(std::span<ColorRef> colour, std::span<uint8_t> mask, ColorRef transparent);

// What a pixel shows after the mask (SRCAND, mask 1 = white) and the colour
// bitmap (SRCPAINT) went onto the face.
constexpr ColorRef compositePixel(ColorRef face, uint8_t maskBit, ColorRef colour) {
    return ((maskBit ? face : 0u) | colour) & 0x00FFFFFFu;
}

struct AttachResult {
    bool isDefault = false;  // created as BS_DEFPUSHBUTTON
    uint32_t newStyle = 0;   // type bits replaced by BS_OWNERDRAW (SWP_FRAMECHANGED)
};

AttachResult attachButton(uint32_t style);

struct SetStyleResult {
    bool isDefault = false;
    uint32_t style = 0;  // what goes on to the default BM_SETSTYLE processing
};

// BM_SETSTYLE: BS_DEFPUSHBUTTON sets the default flag, BS_PUSHBUTTON clears
// it, other types leave it; the style keeps the button owner-drawn.
SetStyleResult setStyleRule(uint32_t requestedStyle, bool isDefault);

// WM_GETDLGCODE: the default result with DLGC_DEFPUSHBUTTON or
// DLGC_UNDEFPUSHBUTTON added.
uint32_t dialogCodeFor(uint32_t defaultResult, bool isDefault);

enum class HoverStep {
    None,
    Enter,  // set hover, invalidate, TrackMouseEvent(TME_LEAVE)
    Leave,  // clear hover, invalidate
};

// WM_MOUSEMOVE. pointerOverSelf: WindowFromPoint gave this button.
HoverStep hoverStepOnMouseMove(bool pointerOverSelf, bool leftButtonDown, bool hover);

enum class BorderKind {
    None,
    SunkenThin,  // top/left COLOR_BTNSHADOW, bottom/right COLOR_BTNHIGHLIGHT
    RaisedThin,  // top/left COLOR_BTNHIGHLIGHT, bottom/right COLOR_BTNSHADOW
};

// Flat at rest, raised under the pointer, sunken while pressed.
BorderKind chooseBorder(bool pressed, bool hover);

}  // namespace horalis
