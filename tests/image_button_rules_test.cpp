#include "ui/controls/image_button_rules.h"

#include <gtest/gtest.h>

#include <vector>

namespace horalis {
namespace {

constexpr Rect kItem{0, 0, 120, 40};

ImagePlacement place(bool caption, bool pressed, Rect item = kItem) {
    return placeImage(ImageLayout{}, caption, item, pressed, 32, 32);
}

TEST(PlaceImageTest, LeftOfCaption) {
    ImagePlacement p = place(true, false);
    EXPECT_EQ(p.image, (Rect{3, 4, 120, 40}));
    EXPECT_EQ(p.caption, (Rect{35, 0, 120, 40}));
    p = place(true, true);
    EXPECT_EQ(p.image, (Rect{4, 5, 121, 41}));
    EXPECT_EQ(p.caption, (Rect{35, 0, 120, 40}));  // the caption moves when drawn
    p = place(false, false);
    EXPECT_EQ(p.image, (Rect{44, 4, 120, 40}));
    EXPECT_EQ(p.caption, kItem);
}

TEST(PlaceImageTest, CentringTruncatesTowardZero) {
    // (21 - 32) / 2 is -5, not -6.
    const Rect low{0, 0, 120, 21};
    EXPECT_EQ(place(true, false, low).image.top, -5);
    const Rect narrow{0, 0, 21, 41};
    EXPECT_EQ(place(false, false, narrow).image, (Rect{-5, 4, 21, 41}));
}

TEST(PlaceImageTest, PressedCaptionMovesByThePressedOffsets) {
    ImageLayout layout;
    EXPECT_EQ(pressedCaptionRect(layout, kItem, true), (Rect{1, 1, 121, 41}));
    EXPECT_EQ(pressedCaptionRect(layout, kItem, false), kItem);
}

TEST(PlaceImageTest, MeasuredCaptionIsCentredButNeverLeftOfItsArea) {
    EXPECT_EQ(centreMeasuredCaption({35, 0, 120, 40}, {35, 0, 80, 13}), (Rect{55, 13, 100, 26}));
    // One word wider than the area: it would otherwise be drawn over the image.
    EXPECT_EQ(centreMeasuredCaption({35, 0, 75, 40}, {35, 0, 80, 13}), (Rect{35, 13, 80, 26}));
}

TEST(PlaceImageTest, WidthForCaptionLeavesTheOffsetOnEachSide) {
    ImageLayout layout;
    EXPECT_EQ(widthForCaption(layout, 32, 41), 82);
}

constexpr ColorRef kWhite = rgb(255, 255, 255);

TEST(BitmapPixelTest, TransparentColourShowsTheFaceOthersAreDrawn) {
    const ColorRef face = rgb(240, 240, 240);
    std::vector<ColorRef> colour{kWhite, rgb(254, 255, 255), rgb(255, 255, 254), rgb(10, 20, 30)};
    std::vector<uint8_t> mask(colour.size(), 7);
    buildMask(colour, mask, kWhite);
    EXPECT_EQ(mask, (std::vector<uint8_t>{1, 0, 0, 0}));
    EXPECT_EQ(colour[0], 0u);
    EXPECT_EQ(compositePixel(face, mask[0], colour[0]), face);
    EXPECT_EQ(compositePixel(face, mask[1], colour[1]), rgb(254, 255, 255));
    EXPECT_EQ(compositePixel(face, mask[2], colour[2]), rgb(255, 255, 254));
    EXPECT_EQ(compositePixel(face, mask[3], colour[3]), rgb(10, 20, 30));
    // 32-bit pixels may carry alpha in the top byte: only the colour is compared and cleared.
    std::vector<ColorRef> alpha{0xFF000000u | kWhite};
    std::vector<uint8_t> alphaMask(1, 0);
    buildMask(alpha, alphaMask, kWhite);
    EXPECT_EQ(alphaMask[0], 1);
    EXPECT_EQ(alpha[0], 0xFF000000u);
}

TEST(ImageButtonStateTest, AttachMakesTheButtonOwnerDrawn) {
    constexpr uint32_t kTabStop = 0x00010000;
    AttachResult a = attachButton(kTabStop | kBsDefPushButton);
    EXPECT_TRUE(a.isDefault);
    EXPECT_EQ(a.newStyle, kTabStop | kBsOwnerDraw);

    a = attachButton(0x3);  // BS_AUTOCHECKBOX
    EXPECT_FALSE(a.isDefault);
    EXPECT_EQ(a.newStyle, kBsOwnerDraw);

    a = attachButton(0x1F | 0x20);  // every type bit plus BS_LEFTTEXT
    EXPECT_EQ(a.newStyle, 0x20u | kBsOwnerDraw);
}

TEST(ImageButtonStateTest, SetStyleKeepsOwnerDrawAndTracksDefault) {
    EXPECT_TRUE(setStyleRule(kBsDefPushButton, false).isDefault);
    EXPECT_FALSE(setStyleRule(kBsPushButton, true).isDefault);
    EXPECT_TRUE(setStyleRule(0x3, true).isDefault);
    EXPECT_FALSE(setStyleRule(0x3, false).isDefault);
    EXPECT_FALSE(setStyleRule(0x10 | kBsDefPushButton, false).isDefault);
    for (uint32_t type = 0; type <= 0x1F; ++type) {
        const uint32_t style = 0x00014000u | type;
        EXPECT_EQ(setStyleRule(style, false).style, 0x00014000u | kBsOwnerDraw) << type;
    }
}

TEST(ImageButtonStateTest, DialogCode) {
    constexpr uint32_t kDlgcButton = 0x2000;
    EXPECT_EQ(dialogCodeFor(kDlgcButton, true), kDlgcButton | kDlgcDefPushButton);
    EXPECT_EQ(dialogCodeFor(kDlgcButton, false), kDlgcButton | kDlgcUndefPushButton);
}

TEST(ImageButtonStateTest, HoverTracking) {
    // over, left down, hover
    EXPECT_EQ(hoverStepOnMouseMove(true, false, false), HoverStep::Enter);
    EXPECT_EQ(hoverStepOnMouseMove(true, false, true), HoverStep::None);
    EXPECT_EQ(hoverStepOnMouseMove(true, true, false), HoverStep::None);
    EXPECT_EQ(hoverStepOnMouseMove(true, true, true), HoverStep::None);
    EXPECT_EQ(hoverStepOnMouseMove(false, true, true), HoverStep::Leave);
    EXPECT_EQ(hoverStepOnMouseMove(false, false, false), HoverStep::None);
}

TEST(ImageButtonStateTest, BorderChoice) {
    // pressed, hover
    EXPECT_EQ(chooseBorder(true, true), BorderKind::SunkenThin);
    EXPECT_EQ(chooseBorder(false, true), BorderKind::RaisedThin);
    EXPECT_EQ(chooseBorder(false, false), BorderKind::None);
}

}  // namespace
}  // namespace horalis
