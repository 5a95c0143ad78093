#pragma once
// The portable half of the owner-drawn image button CImageButton: where the
// image goes, the generated alternate bitmaps and the transparency mask, the
// pressed and hover rules, the style and dialog-code rules, and which border
// and colours each state draws with.
#include <array>
#include <cstdint>
#include <span>

#include "ui/controls/control_types.h"

namespace horalis {

// Button style type values and masks.
inline constexpr uint32_t kButtonTypeMask = 0x1F;
inline constexpr uint32_t kBsPushButton = 0x00;
inline constexpr uint32_t kBsDefPushButton = 0x01;
inline constexpr uint32_t kBsOwnerDraw = 0x0B;
// Owner-draw item state bits.
inline constexpr uint32_t kOdsSelected = 0x0001;
inline constexpr uint32_t kOdsDisabled = 0x0004;
inline constexpr uint32_t kOdsFocus = 0x0010;
// WM_GETDLGCODE additions.
inline constexpr uint32_t kDlgcDefPushButton = 0x0010;
inline constexpr uint32_t kDlgcUndefPushButton = 0x0020;
// Alternate-bitmap arguments of LoadButtonBitmaps / SetButtonBitmaps.
inline constexpr int32_t kAlternateNone = 0;
inline constexpr int32_t kAlternateGrey = -2;
inline constexpr int32_t kAlternateDarker = -3;

enum class ImageAlignment : uint8_t {
    LeftOfCaption = 0,
    AboveCaption = 1,
    RightOfCaption = 2,
};

// The button's layout fields, with the class's initial values.
struct ImageLayout {
    ImageAlignment alignment = ImageAlignment::LeftOfCaption;
    int32_t xOffset = 3;
    int32_t yOffset = 3;  // absolute top of an image above the caption
    int32_t pressedOffsetX = 1;
    int32_t pressedOffsetY = 1;
    bool checkBoxMode = false;
};

struct ImagePlacement {
    // Starts as the item rectangle; only left and top are placed (the image is
    // drawn there at its own size), and all four edges move when pressed.
    Rect image;
    Rect caption;  // the caption area, shrunk beside or below the image
};

// clientWidth is the button's client width (alignment 2 places from it).
ImagePlacement placeImage(const ImageLayout& layout, bool hasCaption, const Rect& item,
                          const Rect& caption, bool pressed, int32_t imageWidth,
                          int32_t imageHeight, int32_t clientWidth);

// The caption rectangle moved by the pressed offsets when pressed outside
// check-box mode.
Rect pressedCaptionRect(const ImageLayout& layout, Rect caption, bool pressed);

// DrawText with DT_CALCRECT keeps left/top and sets right/bottom; this moves
// the measured rectangle to the centre of the caption area it was measured in.
// A measured rectangle wider than the area starts at the area's left edge.
Rect centreMeasuredCaption(const Rect& captionArea, const Rect& measured);

// The button width at which the widest word of the caption fits beside (or
// under) the image with the offset's margin on each side.
int32_t widthForCaption(const ImageLayout& layout, int32_t imageWidth, int32_t widestWord);

// Pixel transforms of the generated alternate bitmaps. Pixels are 0x00BBGGRR;
// only the low 24 bits take part in the comparison with the transparent
// colour, and the top byte is kept as it was.
ColorRef darkerPixel(ColorRef pixel, ColorRef transparent);
ColorRef greyPixel(ColorRef pixel, ColorRef transparent);
void makeDarker(std::span<ColorRef> pixels, ColorRef transparent);
void makeGrey(std::span<ColorRef> pixels, ColorRef transparent);

// A 32-bit DIB pixel (0x00RRGGBB in a uint32) to 0x00BBGGRR and back.
constexpr uint32_t swapRedBlue(uint32_t pixel) {
    return (pixel & 0xFF00FF00u) | ((pixel & 0xFFu) << 16) | ((pixel >> 16) & 0xFFu);
}

// Mask building: pixels of exactly the transparent colour get mask 1 and turn
// black in the colour bitmap (changed in place); all others get mask 0 and
// stay. The two spans have the same length.
void buildMask(std::span<ColorRef> colour, std::span<uint8_t> mask, ColorRef transparent);

// What a pixel shows after the mask (SRCAND, mask 1 = white) and the colour
// bitmap (SRCPAINT) went onto the face.
constexpr ColorRef compositePixel(ColorRef face, uint8_t maskBit, ColorRef colour) {
    return ((maskBit ? face : 0u) | colour) & 0x00FFFFFFu;
}

// The alternate image shows while not pressed and either in check-box mode or
// not hovered; otherwise (or without an alternate) the normal one.
bool showsAlternateImage(bool hasAlternate, bool pressed, bool checkBoxMode, bool hover);

struct ButtonDrawState {
    bool pressed = false;
    bool focused = false;
    bool disabled = false;
};

// From the owner-draw item state: in check-box mode pressed is ODS_SELECTED or
// check state 1, otherwise ODS_SELECTED or the menu being open.
ButtonDrawState drawStateFrom(uint32_t itemState, bool checkBoxMode, int32_t checkState,
                              bool menuShowing);

struct AttachResult {
    uint32_t buttonType = 0;  // style & 0x1F, BS_DEFPUSHBUTTON recorded as BS_PUSHBUTTON
    bool checkBoxMode = false;
    bool isDefault = false;
    uint32_t newStyle = 0;  // type bits replaced by BS_OWNERDRAW (SWP_FRAMECHANGED)
};

// The attach rule; check-box mode and the default flag are only ever switched
// on here, so their current values are passed in.
AttachResult attachButton(uint32_t style, bool checkBoxMode, bool isDefault);

struct SetStyleResult {
    bool isDefault = false;
    uint32_t style = 0;  // what goes on to the default BM_SETSTYLE processing
};

// BM_SETSTYLE: BS_DEFPUSHBUTTON sets the default flag, BS_PUSHBUTTON clears
// it, other types leave it; the style keeps the button owner-drawn.
SetStyleResult setStyleRule(uint32_t requestedStyle, bool isDefault);

// BM_SETCHECK in check-box mode: BST_CHECKED or BST_INDETERMINATE give 1,
// anything else 0. Outside check-box mode the state stays and nothing is redrawn.
int32_t checkStateAfterSetCheck(bool checkBoxMode, uint64_t requested, int32_t current);

// WM_GETDLGCODE: the default result with DLGC_DEFPUSHBUTTON or
// DLGC_UNDEFPUSHBUTTON added.
uint32_t dialogCodeFor(uint32_t defaultResult, bool isDefault);

enum class HoverStep {
    None,
    Enter,  // set hover, invalidate, hover sound, TrackMouseEvent(TME_LEAVE)
    Leave,  // clear hover, invalidate
};

// WM_MOUSEMOVE. pointerOverSelf: WindowFromPoint gave this button;
// haveReferenceWindow: always-track is on, or there is an active window.
HoverStep hoverStepOnMouseMove(bool pointerOverSelf, bool haveReferenceWindow, bool leftButtonDown,
                               bool hover, bool flat);

// WM_MOUSELEAVE, WM_KILLFOCUS, WM_CANCELMODE, deactivation, disabling.
constexpr bool hoverEnds(bool flat, bool hover) { return flat && hover; }

enum class BorderKind {
    None,
    SunkenThin,   // top/left COLOR_BTNSHADOW, bottom/right COLOR_BTNHIGHLIGHT
    ShadowFrame,  // 1-pixel frame in COLOR_BTNSHADOW
    Raised3D,     // the four lines of raised3DLines
    RaisedThin,   // top/left COLOR_BTNHIGHLIGHT, bottom/right COLOR_BTNSHADOW
};

BorderKind chooseBorder(bool pressed, bool flat, bool hover, bool drawBorder);

// System colour indexes the borders use (GetSysColor).
inline constexpr int32_t kColorBtnShadow = 16;
inline constexpr int32_t kColorBtnHighlight = 20;
inline constexpr int32_t kColor3DDkShadow = 21;
inline constexpr int32_t kColor3DLight = 22;

struct Point {
    int32_t x = 0;
    int32_t y = 0;
    friend constexpr bool operator==(const Point&, const Point&) = default;
};

// A two-segment line: MoveTo(points[0]), LineTo(points[1]), LineTo(points[2]).
struct BorderLine {
    int32_t sysColour = 0;
    std::array<Point, 3> points;
};

// The raised border of a button that is neither flat nor pressed, in drawing order.
std::array<BorderLine, 4> raised3DLines(const Rect& r);

// DrawBackground frames the face in black (and shrinks it by 1) only when not
// flat and focused or default.
constexpr bool backgroundFramed(bool flat, bool focused, bool isDefault) {
    return !flat && (focused || isDefault);
}

// The focus rectangle, 3 pixels inside the item, when focused and either not
// flat or focus-when-flat is on.
constexpr bool drawsFocusRect(bool focused, bool flat, bool focusWhenFlat) {
    return focused && (!flat || focusWhenFlat);
}

enum class ColourState { In, Out, Focus };

// Both the face fill and the caption colours: the in pair when hovered or
// pressed, else the focus pair when focused, else the out pair.
ColourState colourStateFor(bool hover, bool pressed, bool focused);

// The six colours in the class's order.
struct ButtonColours {
    ColorRef inFace = 0;
    ColorRef inText = 0;
    ColorRef outFace = 0;
    ColorRef outText = 0;
    ColorRef focusFace = 0;
    ColorRef focusText = 0;
};

ButtonColours systemButtonColours(ColorRef btnFace, ColorRef btnText);

struct ColourPair {
    ColorRef face = 0;  // fill, and the caption's background colour
    ColorRef text = 0;
};

ColourPair coloursFor(const ButtonColours& colours, ColourState state);

}  // namespace horalis
