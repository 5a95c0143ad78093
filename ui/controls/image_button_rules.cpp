#include "ui/controls/image_button_rules.h"

#include <algorithm>
#include <cassert>

namespace horalis {

ImagePlacement placeImage(const ImageLayout& layout, bool hasCaption, const Rect& item,
                          const Rect& caption, bool pressed, int32_t imageWidth,
                          int32_t imageHeight, int32_t clientWidth) {
    ImagePlacement p{item, caption};
    Rect& image = p.image;
    Rect& title = p.caption;
    const int32_t w = imageWidth;
    const int32_t h = imageHeight;
    switch (layout.alignment) {
        case ImageAlignment::LeftOfCaption:
            if (hasCaption) {
                image.left += layout.xOffset;
                title.left += w + layout.xOffset;
            } else {
                image.left += (image.width() - w) / 2;
            }
            image.top += (image.height() - h) / 2;
            break;
        case ImageAlignment::AboveCaption:
            image.left += (image.width() - w) / 2;
            if (hasCaption) {
                image.top = layout.yOffset;
                title.top += h;
            } else {
                image.top += (image.height() - h) / 2;
            }
            break;
        case ImageAlignment::RightOfCaption:
            if (hasCaption) {
                title.right -= title.left + layout.xOffset + w;
                title.left = layout.xOffset;
                image.left = clientWidth - layout.xOffset - w;
                image.top += (image.height() - h) / 2;
            } else {
                image.left += (image.width() - w) / 2;
            }
            break;
    }
    if (pressed && !layout.checkBoxMode) {
        image = offsetRect(image, layout.pressedOffsetX, layout.pressedOffsetY);
    }
    return p;
}

Rect pressedCaptionRect(const ImageLayout& layout, Rect caption, bool pressed) {
    if (pressed && !layout.checkBoxMode) {
        return offsetRect(caption, layout.pressedOffsetX, layout.pressedOffsetY);
    }
    return caption;
}

Rect centreMeasuredCaption(const Rect& captionArea, const Rect& measured) {
    // A word wider than the area cannot wrap; centring it would push it left
    // over the image, so it starts at the area's edge instead.
    const int32_t dx = std::max<int32_t>(0, (captionArea.width() - measured.width()) / 2);
    return offsetRect(measured, dx, (captionArea.height() - measured.height()) / 2);
}

int32_t widthForCaption(const ImageLayout& layout, int32_t imageWidth, int32_t widestWord) {
    if (layout.alignment == ImageAlignment::AboveCaption) return widestWord + 2 * layout.xOffset;
    return imageWidth + widestWord + 3 * layout.xOffset;
}

namespace {

constexpr ColorRef kRgbMask = 0x00FFFFFFu;

bool isTransparent(ColorRef pixel, ColorRef transparent) {
    return (pixel & kRgbMask) == (transparent & kRgbMask);
}

ColorRef withTopByteOf(ColorRef source, ColorRef colour) {
    return (source & ~kRgbMask) | colour;
}

uint8_t darker(uint8_t c) {
    // c - 0.25 * c, truncated; exact in integers since c * 3 / 4 floors.
    return static_cast<uint8_t>(c * 3 / 4);
}

}  // namespace

ColorRef darkerPixel(ColorRef pixel, ColorRef transparent) {
    if (isTransparent(pixel, transparent)) {
        return pixel;
    }
    return withTopByteOf(pixel, rgb(darker(redOf(pixel)), darker(greenOf(pixel)),
                                    darker(blueOf(pixel))));
}

ColorRef greyPixel(ColorRef pixel, ColorRef transparent) {
    if (isTransparent(pixel, transparent)) {
        return pixel;
    }
    // In double and in this order, so the truncation matches the weights as
    // written (white stays 255).
    const double value = 0.299 * redOf(pixel) + 0.587 * greenOf(pixel) + 0.114 * blueOf(pixel);
    const auto grey = static_cast<uint8_t>(value);
    return withTopByteOf(pixel, rgb(grey, grey, grey));
}

void makeDarker(std::span<ColorRef> pixels, ColorRef transparent) {
    for (ColorRef& p : pixels) {
        p = darkerPixel(p, transparent);
    }
}

void makeGrey(std::span<ColorRef> pixels, ColorRef transparent) {
    for (ColorRef& p : pixels) {
        p = greyPixel(p, transparent);
    }
}

void buildMask(std::span<ColorRef> colour, std::span<uint8_t> mask, ColorRef transparent) {
    assert(colour.size() == mask.size());
    for (size_t i = 0; i < colour.size() && i < mask.size(); ++i) {
        if (isTransparent(colour[i], transparent)) {
            mask[i] = 1;
            colour[i] &= ~kRgbMask;
        } else {
            mask[i] = 0;
        }
    }
}

bool showsAlternateImage(bool hasAlternate, bool pressed, bool checkBoxMode, bool hover) {
    return hasAlternate && !pressed && (checkBoxMode || !hover);
}

ButtonDrawState drawStateFrom(uint32_t itemState, bool checkBoxMode, int32_t checkState,
                              bool menuShowing) {
    const bool selected = (itemState & kOdsSelected) != 0;
    ButtonDrawState s;
    s.pressed = checkBoxMode ? (selected || checkState == 1) : (selected || menuShowing);
    s.focused = (itemState & kOdsFocus) != 0;
    s.disabled = (itemState & kOdsDisabled) != 0;
    return s;
}

AttachResult attachButton(uint32_t style, bool checkBoxMode, bool isDefault) {
    AttachResult r;
    r.buttonType = style & kButtonTypeMask;
    r.checkBoxMode = checkBoxMode || (style & 0x2) != 0;
    r.isDefault = isDefault;
    if (r.buttonType == kBsDefPushButton) {
        r.isDefault = true;
        r.buttonType = kBsPushButton;
    }
    r.newStyle = (style & ~kButtonTypeMask) | kBsOwnerDraw;
    return r;
}

SetStyleResult setStyleRule(uint32_t requestedStyle, bool isDefault) {
    SetStyleResult r;
    const uint32_t type = requestedStyle & kButtonTypeMask;
    if (type == kBsDefPushButton) {
        r.isDefault = true;
    } else if (type == kBsPushButton) {
        r.isDefault = false;
    } else {
        r.isDefault = isDefault;
    }
    // Clearing 0x10 and 0x04 and setting 0x0B leaves exactly BS_OWNERDRAW in
    // the type bits whatever type was asked for.
    r.style = (requestedStyle & ~uint32_t{0x10} & ~uint32_t{0x04}) | kBsOwnerDraw;
    return r;
}

int32_t checkStateAfterSetCheck(bool checkBoxMode, uint64_t requested, int32_t current) {
    if (!checkBoxMode) {
        return current;
    }
    return (requested == 1 || requested == 2) ? 1 : 0;
}

uint32_t dialogCodeFor(uint32_t defaultResult, bool isDefault) {
    return defaultResult | (isDefault ? kDlgcDefPushButton : kDlgcUndefPushButton);
}

HoverStep hoverStepOnMouseMove(bool pointerOverSelf, bool haveReferenceWindow, bool leftButtonDown,
                               bool hover, bool flat) {
    if ((leftButtonDown && !hover) || !flat) {
        return HoverStep::None;
    }
    if (pointerOverSelf && haveReferenceWindow) {
        return hover ? HoverStep::None : HoverStep::Enter;
    }
    return hover ? HoverStep::Leave : HoverStep::None;
}

BorderKind chooseBorder(bool pressed, bool flat, bool hover, bool drawBorder) {
    if (pressed) {
        if (!flat) {
            return BorderKind::ShadowFrame;
        }
        return drawBorder ? BorderKind::SunkenThin : BorderKind::None;
    }
    if (!flat) {
        return BorderKind::Raised3D;
    }
    return (hover && drawBorder) ? BorderKind::RaisedThin : BorderKind::None;
}

std::array<BorderLine, 4> raised3DLines(const Rect& r) {
    const int32_t L = r.left;
    const int32_t T = r.top;
    const int32_t R = r.right;
    const int32_t B = r.bottom;
    return {{
        {kColorBtnHighlight, {{{L, B - 1}, {L, T}, {R, T}}}},
        {kColor3DLight, {{{L + 1, B - 1}, {L + 1, T + 1}, {R, T + 1}}}},
        {kColor3DDkShadow, {{{L, B - 1}, {R - 1, B - 1}, {R - 1, T - 1}}}},
        {kColorBtnShadow, {{{L + 1, B - 2}, {R - 2, B - 2}, {R - 2, T}}}},
    }};
}

ColourState colourStateFor(bool hover, bool pressed, bool focused) {
    if (hover || pressed) {
        return ColourState::In;
    }
    return focused ? ColourState::Focus : ColourState::Out;
}

ButtonColours systemButtonColours(ColorRef btnFace, ColorRef btnText) {
    return {btnFace, btnText, btnFace, btnText, btnFace, btnText};
}

ColourPair coloursFor(const ButtonColours& colours, ColourState state) {
    switch (state) {
        case ColourState::In:
            return {colours.inFace, colours.inText};
        case ColourState::Focus:
            return {colours.focusFace, colours.focusText};
        case ColourState::Out:
            break;
    }
    return {colours.outFace, colours.outText};
}

}  // namespace horalis
