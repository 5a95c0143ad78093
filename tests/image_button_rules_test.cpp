#include "ui/controls/image_button_rules.h"

#include <gtest/gtest.h>

#include <vector>

namespace horalis {
namespace {

constexpr Rect kItem{0, 0, 120, 40};

ImagePlacement place(ImageAlignment alignment, bool caption, bool pressed, Rect item = kItem,
                     Rect title = kItem, bool checkBox = false) {
    ImageLayout layout;
    layout.alignment = alignment;
    layout.checkBoxMode = checkBox;
    return placeImage(layout, caption, item, title, pressed, 32, 32, item.width());
}

TEST(PlaceImageTest, LeftOfCaption) {
    ImagePlacement p = place(ImageAlignment::LeftOfCaption, true, false);
    EXPECT_EQ(p.image, (Rect{3, 4, 120, 40}));
    EXPECT_EQ(p.caption, (Rect{35, 0, 120, 40}));
    p = place(ImageAlignment::LeftOfCaption, true, true);
    EXPECT_EQ(p.image, (Rect{4, 5, 121, 41}));
    EXPECT_EQ(p.caption, (Rect{35, 0, 120, 40}));  // the caption moves when drawn
    p = place(ImageAlignment::LeftOfCaption, false, false);
    EXPECT_EQ(p.image, (Rect{44, 4, 120, 40}));
    EXPECT_EQ(p.caption, kItem);
}

TEST(PlaceImageTest, CentringTruncatesTowardZero) {
    // (21 - 32) / 2 is -5, not -6.
    const Rect low{0, 0, 120, 21};
    EXPECT_EQ(place(ImageAlignment::LeftOfCaption, true, false, low, low).image.top, -5);
    const Rect narrow{0, 0, 21, 41};
    EXPECT_EQ(place(ImageAlignment::LeftOfCaption, false, false, narrow, narrow).image,
              (Rect{-5, 4, 21, 41}));
}

TEST(PlaceImageTest, AboveCaption) {
    const Rect item{0, 10, 120, 90};
    ImagePlacement p = place(ImageAlignment::AboveCaption, true, false, item, item);
    EXPECT_EQ(p.image, (Rect{44, 3, 120, 90}));  // the y offset is absolute
    EXPECT_EQ(p.caption, (Rect{0, 42, 120, 90}));
    p = place(ImageAlignment::AboveCaption, false, true, item, item);
    EXPECT_EQ(p.image, (Rect{45, 35, 121, 91}));
    EXPECT_EQ(p.caption, item);
}

TEST(PlaceImageTest, RightOfCaption) {
    const Rect title{10, 0, 120, 40};
    ImagePlacement p = place(ImageAlignment::RightOfCaption, true, false, kItem, title);
    EXPECT_EQ(p.caption, (Rect{3, 0, 75, 40}));
    EXPECT_EQ(p.image, (Rect{85, 4, 120, 40}));
    p = place(ImageAlignment::RightOfCaption, true, true, kItem, kItem);
    EXPECT_EQ(p.caption, (Rect{3, 0, 85, 40}));
    EXPECT_EQ(p.image, (Rect{86, 5, 121, 41}));
    // Without a caption only the horizontal position changes.
    p = place(ImageAlignment::RightOfCaption, false, false);
    EXPECT_EQ(p.image, (Rect{44, 0, 120, 40}));
}

TEST(PlaceImageTest, CheckBoxModeNeverMovesWhenPressed) {
    EXPECT_EQ(place(ImageAlignment::LeftOfCaption, true, true, kItem, kItem, true).image,
              (Rect{3, 4, 120, 40}));
    ImageLayout layout;
    EXPECT_EQ(pressedCaptionRect(layout, kItem, true), (Rect{1, 1, 121, 41}));
    EXPECT_EQ(pressedCaptionRect(layout, kItem, false), kItem);
    layout.checkBoxMode = true;
    EXPECT_EQ(pressedCaptionRect(layout, kItem, true), kItem);
}

TEST(PlaceImageTest, MeasuredCaptionIsCentredButNeverLeftOfItsArea) {
    EXPECT_EQ(centreMeasuredCaption({35, 0, 120, 40}, {35, 0, 80, 13}), (Rect{55, 13, 100, 26}));
    // One word wider than the area: it would otherwise be drawn over the image.
    EXPECT_EQ(centreMeasuredCaption({35, 0, 75, 40}, {35, 0, 80, 13}), (Rect{35, 13, 80, 26}));
}

TEST(PlaceImageTest, WidthForCaptionLeavesTheOffsetOnEachSide) {
    ImageLayout layout;
    EXPECT_EQ(widthForCaption(layout, 32, 41), 82);
    layout.alignment = ImageAlignment::AboveCaption;
    EXPECT_EQ(widthForCaption(layout, 32, 41), 47);
}

constexpr ColorRef kWhite = rgb(255, 255, 255);

TEST(BitmapPixelTest, DarkerAndGreyLeaveTransparentPixels) {
    EXPECT_EQ(darkerPixel(rgb(255, 100, 3), 0), rgb(191, 75, 2));
    EXPECT_EQ(darkerPixel(rgb(1, 0, 4), kWhite), rgb(0, 0, 3));
    EXPECT_EQ(darkerPixel(kWhite, kWhite), kWhite);
    EXPECT_EQ(darkerPixel(kWhite, rgb(255, 255, 254)), rgb(191, 191, 191));

    EXPECT_EQ(greyPixel(rgb(255, 0, 0), kWhite), rgb(76, 76, 76));
    EXPECT_EQ(greyPixel(rgb(0, 255, 0), kWhite), rgb(149, 149, 149));
    EXPECT_EQ(greyPixel(rgb(0, 0, 255), kWhite), rgb(29, 29, 29));
    EXPECT_EQ(greyPixel(kWhite, 0), kWhite);
    EXPECT_EQ(greyPixel(kWhite, kWhite), kWhite);

    std::vector<ColorRef> pixels{kWhite, rgb(200, 40, 0), kWhite};
    makeDarker(pixels, kWhite);
    EXPECT_EQ(pixels, (std::vector<ColorRef>{kWhite, rgb(150, 30, 0), kWhite}));
    makeGrey(pixels, kWhite);
    EXPECT_EQ(pixels[1], rgb(62, 62, 62));  // 44.85 + 17.61
}

TEST(BitmapPixelTest, OnlyTheColourBitsAreCompared) {
    // 32-bit DIB pixels may carry alpha in the top byte.
    EXPECT_EQ(darkerPixel(0xFF00FFFFu, rgb(255, 255, 0)), 0xFF00FFFFu);
    EXPECT_EQ(darkerPixel(0xFF000004u, kWhite), 0xFF000003u);
    EXPECT_EQ(swapRedBlue(0xFF123456u), 0xFF563412u);
    EXPECT_EQ(swapRedBlue(swapRedBlue(0x00ABCDEFu)), 0x00ABCDEFu);
}

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
}

TEST(ImageButtonStateTest, AlternateImageChoice) {
    EXPECT_FALSE(showsAlternateImage(false, false, false, false));
    EXPECT_TRUE(showsAlternateImage(true, false, false, false));
    EXPECT_FALSE(showsAlternateImage(true, false, false, true));
    EXPECT_TRUE(showsAlternateImage(true, false, true, true));
    EXPECT_FALSE(showsAlternateImage(true, true, true, false));
}

TEST(ImageButtonStateTest, PressedFromItemState) {
    EXPECT_TRUE(drawStateFrom(kOdsSelected, false, 0, false).pressed);
    EXPECT_TRUE(drawStateFrom(0, false, 0, true).pressed);  // menu open
    EXPECT_FALSE(drawStateFrom(0, false, 1, false).pressed);
    EXPECT_TRUE(drawStateFrom(0, true, 1, false).pressed);
    EXPECT_FALSE(drawStateFrom(0, true, 0, true).pressed);
    const ButtonDrawState s = drawStateFrom(kOdsFocus | kOdsDisabled, false, 0, false);
    EXPECT_TRUE(s.focused && s.disabled && !s.pressed);
}

TEST(ImageButtonStateTest, AttachMakesTheButtonOwnerDrawn) {
    constexpr uint32_t kTabStop = 0x00010000;
    AttachResult a = attachButton(kTabStop | kBsDefPushButton, false, false);
    EXPECT_EQ(a.buttonType, kBsPushButton);
    EXPECT_TRUE(a.isDefault);
    EXPECT_FALSE(a.checkBoxMode);
    EXPECT_EQ(a.newStyle, kTabStop | kBsOwnerDraw);

    a = attachButton(0x3, false, false);  // BS_AUTOCHECKBOX
    EXPECT_EQ(a.buttonType, 0x3u);
    EXPECT_TRUE(a.checkBoxMode);
    EXPECT_FALSE(a.isDefault);
    EXPECT_EQ(a.newStyle, kBsOwnerDraw);

    a = attachButton(0x1F | 0x20, false, false);  // every type bit plus BS_LEFTTEXT
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

TEST(ImageButtonStateTest, SetCheckAndDialogCode) {
    EXPECT_EQ(checkStateAfterSetCheck(true, 1, 0), 1);
    EXPECT_EQ(checkStateAfterSetCheck(true, 2, 0), 1);
    EXPECT_EQ(checkStateAfterSetCheck(true, 0, 1), 0);
    EXPECT_EQ(checkStateAfterSetCheck(true, 3, 1), 0);
    EXPECT_EQ(checkStateAfterSetCheck(false, 1, 0), 0);
    EXPECT_EQ(checkStateAfterSetCheck(false, 0, 1), 1);

    constexpr uint32_t kDlgcButton = 0x2000;
    EXPECT_EQ(dialogCodeFor(kDlgcButton, true), kDlgcButton | kDlgcDefPushButton);
    EXPECT_EQ(dialogCodeFor(kDlgcButton, false), kDlgcButton | kDlgcUndefPushButton);
}

TEST(ImageButtonStateTest, HoverTracking) {
    // over, reference, left down, hover, flat
    EXPECT_EQ(hoverStepOnMouseMove(true, true, false, false, true), HoverStep::Enter);
    EXPECT_EQ(hoverStepOnMouseMove(true, true, false, true, true), HoverStep::None);
    EXPECT_EQ(hoverStepOnMouseMove(true, true, true, false, true), HoverStep::None);
    EXPECT_EQ(hoverStepOnMouseMove(true, true, true, true, true), HoverStep::None);
    EXPECT_EQ(hoverStepOnMouseMove(false, true, true, true, true), HoverStep::Leave);
    EXPECT_EQ(hoverStepOnMouseMove(true, false, false, true, true), HoverStep::Leave);
    EXPECT_EQ(hoverStepOnMouseMove(false, true, false, false, true), HoverStep::None);
    EXPECT_EQ(hoverStepOnMouseMove(true, true, false, false, false), HoverStep::None);
}

TEST(ImageButtonStateTest, BorderChoice) {
    // pressed, flat, hover, draw border
    EXPECT_EQ(chooseBorder(true, true, true, true), BorderKind::SunkenThin);
    EXPECT_EQ(chooseBorder(true, true, true, false), BorderKind::None);
    EXPECT_EQ(chooseBorder(true, false, false, false), BorderKind::ShadowFrame);
    EXPECT_EQ(chooseBorder(false, false, true, true), BorderKind::Raised3D);
    EXPECT_EQ(chooseBorder(false, true, true, true), BorderKind::RaisedThin);
    EXPECT_EQ(chooseBorder(false, true, true, false), BorderKind::None);
    EXPECT_EQ(chooseBorder(false, true, false, true), BorderKind::None);

    const auto lines = raised3DLines({10, 20, 110, 60});
    EXPECT_EQ(lines[0].sysColour, kColorBtnHighlight);
    EXPECT_EQ(lines[0].points, (std::array<Point, 3>{{{10, 59}, {10, 20}, {110, 20}}}));
    EXPECT_EQ(lines[2].sysColour, kColor3DDkShadow);
    EXPECT_EQ(lines[2].points, (std::array<Point, 3>{{{10, 59}, {109, 59}, {109, 19}}}));
    EXPECT_EQ(lines[3].points, (std::array<Point, 3>{{{11, 58}, {108, 58}, {108, 20}}}));
}

TEST(ImageButtonStateTest, ColourPairs) {
    const ButtonColours c{1, 2, 3, 4, 5, 6};
    EXPECT_EQ(colourStateFor(true, false, true), ColourState::In);
    EXPECT_EQ(colourStateFor(false, true, false), ColourState::In);
    EXPECT_EQ(colourStateFor(false, false, true), ColourState::Focus);
    EXPECT_EQ(colourStateFor(false, false, false), ColourState::Out);
    EXPECT_EQ(coloursFor(c, ColourState::In).face, 1u);
    EXPECT_EQ(coloursFor(c, ColourState::Out).text, 4u);
    EXPECT_EQ(coloursFor(c, ColourState::Focus).face, 5u);
    EXPECT_EQ(systemButtonColours(7, 8).focusText, 8u);

    EXPECT_TRUE(backgroundFramed(false, false, true));
    EXPECT_FALSE(backgroundFramed(true, true, true));
    EXPECT_FALSE(drawsFocusRect(true, true, false));
    EXPECT_TRUE(drawsFocusRect(true, true, true));
    EXPECT_TRUE(drawsFocusRect(true, false, false));
}

}  // namespace
}  // namespace horalis
