#include "ui/controls/link_rules.h"

#include <gtest/gtest.h>

namespace horalis {
namespace {

constexpr Rect kWindow{100, 50, 200, 70};  // 100 x 20

TEST(LinkRulesTest, LeftAlignedShrinksToTheText) {
    EXPECT_EQ(fitToText(kWindow, 0, 48, 13), (Rect{100, 50, 148, 63}));
}

TEST(LinkRulesTest, RightAlignedKeepsItsRightEdge) {
    EXPECT_EQ(fitToText(kWindow, kStaticRight, 48, 13), (Rect{152, 50, 200, 63}));
}

TEST(LinkRulesTest, CentredShrinksEquallyTruncatingTowardZero) {
    EXPECT_EQ(fitToText(kWindow, kStaticCenter, 48, 13), (Rect{126, 50, 174, 63}));
    // Odd difference: 100 - 47 = 53, each side moves 26 and a pixel is left over.
    EXPECT_EQ(fitToText(kWindow, kStaticCenter, 47, 13), (Rect{126, 50, 174, 63}));
    // Text wider than the window: both sides move out, -7 / 2 = -3.
    EXPECT_EQ(fitToText(kWindow, kStaticCenter, 107, 13), (Rect{97, 50, 203, 63}));
    // SS_CENTER wins over SS_RIGHT when both bits are set.
    EXPECT_EQ(fitToText(kWindow, kStaticCenter | kStaticRight, 48, 13),
              fitToText(kWindow, kStaticCenter, 48, 13));
}

TEST(LinkRulesTest, CentreImageCentresVertically) {
    EXPECT_EQ(fitToText(kWindow, kStaticCenterImage, 48, 13), (Rect{100, 53, 148, 67}));
    EXPECT_EQ(fitToText(kWindow, kStaticCenterImage, 48, 25), (Rect{100, 48, 148, 72}));
}

TEST(LinkRulesTest, ColourFollowsTheLook) {
    const LinkColours c{kLinkColour, kLinkVisitedColour, rgb(1, 2, 3)};
    EXPECT_EQ(kLinkColour, 0x00EE0000u);
    EXPECT_EQ(kLinkVisitedColour, 0x008B1A55u);
    EXPECT_EQ(linkTextColour(c, false, false), kLinkColour);
    EXPECT_EQ(linkTextColour(c, false, true), kLinkVisitedColour);
    EXPECT_EQ(linkTextColour(c, true, false), rgb(1, 2, 3));
    EXPECT_EQ(linkTextColour(c, true, true), rgb(1, 2, 3));
}

TEST(LinkRulesTest, OpenSucceedsAbove32) {
    EXPECT_FALSE(linkOpenSucceeded(0));
    EXPECT_FALSE(linkOpenSucceeded(32));
    EXPECT_TRUE(linkOpenSucceeded(33));
    EXPECT_FALSE(linkOpenSucceeded(-1));
}

TEST(LinkRulesTest, OpenErrorTexts) {
    const String prefix = u"Unable to open hyperlink:\n\n";
    const std::pair<int32_t, StringView> table[] = {
        {0, u"The operating system is out\nof memory or resources."},
        {2, u"The specified file was not found."},
        {3, u"The specified path was not found."},
        {5, u"The operating system denied\naccess to the specified file."},
        {8, u"There was not enough memory to complete the operation."},
        {11, u"The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image)."},
        {26, u"A sharing violation occurred. "},
        {27, u"The filename association is\nincomplete or invalid."},
        {28, u"The DDE transaction could not\nbe completed because the request timed out."},
        {29, u"The DDE transaction failed."},
        {30, u"The DDE transaction could not\nbe completed because other DDE transactions\n"
             u"were being processed."},
        {31, u"There is no application associated\nwith the given filename extension."},
        {32, u"The specified dynamic-link library was not found."},
    };
    for (const auto& [code, reason] : table) {
        EXPECT_EQ(openErrorText(code), prefix + String(reason)) << code;
    }
    EXPECT_EQ(openErrorText(4), prefix + u"Unknown Error (4) occurred.");
    EXPECT_EQ(openErrorReason(33), u"Unknown Error (33) occurred.");
    EXPECT_EQ(openErrorReason(-7), u"Unknown Error (-7) occurred.");
    EXPECT_EQ(openErrorReason(INT32_MIN), u"Unknown Error (-2147483648) occurred.");
}

TEST(LinkRulesTest, AttachFillsTheEmptySide) {
    LinkTexts t = attachLinkTexts(u"Send feedback", u"");
    EXPECT_EQ(t.target, u"Send feedback");
    EXPECT_EQ(t.text, u"Send feedback");
    t = attachLinkTexts(u"", u"https://example.invalid/");
    EXPECT_EQ(t.text, u"https://example.invalid/");
    EXPECT_EQ(t.target, u"https://example.invalid/");
    t = attachLinkTexts(u"Send feedback", u"https://example.invalid/");
    EXPECT_EQ(t.text, u"Send feedback");
    EXPECT_EQ(t.target, u"https://example.invalid/");
    t = attachLinkTexts(u"", u"");
    EXPECT_TRUE(t.text.empty() && t.target.empty());
}

TEST(LinkRulesTest, HoverEntersOnAnyMoveAndLeavesOutside) {
    EXPECT_EQ(linkHoverStep(false, true), LinkHoverStep::Enter);
    EXPECT_EQ(linkHoverStep(true, true), LinkHoverStep::None);
    EXPECT_EQ(linkHoverStep(true, false), LinkHoverStep::Leave);
}

}  // namespace
}  // namespace horalis
