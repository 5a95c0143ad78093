#include "ui/controls/image_button_rules.h"

#include <algorithm>
#include <cassert>

namespace horalis {

ImagePlacement placeImage(const ImageLayout& layout, bool hasCaption, const Rect& item, bool pressed,
                          int32_t imageWidth, int32_t imageHeight) {
    ImagePlacement p{item, item};
    if (hasCaption) {
        p.image.left += layout.xOffset;
        p.caption.left += imageWidth + layout.xOffset;
    } else {
        p.image.left += (p.image.width() - imageWidth) / 2;
    }
    p.image.top += (p.image.height() - imageHeight) / 2;
    if (pressed) p.image = offsetRect(p.image, layout.pressedOffsetX, layout.pressedOffsetY);
    return p;
}

Rect pressedCaptionRect(const ImageLayout& layout, Rect caption, bool pressed) {
    return pressed ? offsetRect(caption, layout.pressedOffsetX, layout.pressedOffsetY) : caption;
}

Rect centreMeasuredCaption(const Rect& captionArea, const Rect& measured) {
    // A word wider than the area cannot wrap; centring it would push it left
    // over the image, so it starts at the area's edge instead.
    const int32_t dx = std::max<int32_t>(0, (captionArea.width() - measured.width()) / 2);
    return offsetRect(measured, dx, (captionArea.height() - measured.height()) / 2);
}

int32_t widthForCaption(const ImageLayout& layout, int32_t imageWidth, int32_t widestWord) {
    return imageWidth + widestWord + 3 * layout.xOffset;
}

void buildMask(std::span<ColorRef> colour, std::span<uint8_t> mask, ColorRef transparent) {
    constexpr ColorRef kRgbMask = 0x00FFFFFFu;
    assert(colour.size() == mask.size());
    for (size_t i = 0; i < colour.size() && i < mask.size(); ++i) {
        const bool clear = (colour[i] & kRgbMask) == (transparent & kRgbMask);
        mask[i] = clear ? 1 : 0;
        if (clear) colour[i] &= ~kRgbMask;
    }
}

AttachResult attachButton(uint32_t style) {
    return {(style & kButtonTypeMask) == kBsDefPushButton, (style & ~kButtonTypeMask) | kBsOwnerDraw};
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

uint32_t dialogCodeFor(uint32_t defaultResult, bool isDefault) {
    return defaultResult | (isDefault ? kDlgcDefPushButton : kDlgcUndefPushButton);
}

HoverStep hoverStepOnMouseMove(bool pointerOverSelf, bool leftButtonDown, bool hover) {
    // A drag that started elsewhere does not light the button.
    if (leftButtonDown && !hover) return HoverStep::None;
    if (pointerOverSelf) return hover ? HoverStep::None : HoverStep::Enter;
    return hover ? HoverStep::Leave : HoverStep::None;
}

BorderKind chooseBorder(bool pressed, bool hover) {
    if (pressed) return BorderKind::SunkenThin;
    return hover ? BorderKind::RaisedThin : BorderKind::None;
}

}  // namespace horalis
