#include "ui/main_layout.h"

#include <gtest/gtest.h>

namespace horalis {
namespace {

// Roughly where template 102 puts the controls at 96 dpi.
MainWindowLayout startLayout() {
    MainWindowLayout layout;
    layout.appGroup = {10, 55, 559, 317};
    layout.appList = {16, 71, 552, 310};
    layout.titleGroup = {10, 321, 559, 555};
    layout.titleList = {16, 339, 552, 547};
    layout.pointersButton = {484, 6, 559, 48};
    return layout;
}

TEST(MainLayout, ClientOf600By400PlacesEveryEdge) {
    const MainWindowLayout start = startLayout();
    const MainWindowLayout next = layoutMainWindow(600, 400, start);

    EXPECT_EQ(next.appGroup, (Rect{10, 55, 590, 193}));
    EXPECT_EQ(next.appList, (Rect{16, 71, 583, 185}));
    EXPECT_EQ(next.titleGroup, (Rect{10, 200, 590, 393}));
    EXPECT_EQ(next.titleList, (Rect{16, 215, 583, 385}));
    // The button keeps its size and top, and moves to the right edge.
    EXPECT_EQ(next.pointersButton, (Rect{515, 6, 590, 48}));
}

TEST(MainLayout, OddHeightSplitsLikeTheEvenOneBelowIt) {
    const MainWindowLayout start = startLayout();
    const MainWindowLayout even = layoutMainWindow(600, 400, start);
    const MainWindowLayout odd = layoutMainWindow(600, 401, start);

    EXPECT_EQ(odd.appGroup, even.appGroup);
    EXPECT_EQ(odd.appList, even.appList);
    EXPECT_EQ(odd.titleGroup, (Rect{10, 200, 590, 394}));
    EXPECT_EQ(odd.titleList, (Rect{16, 215, 583, 386}));
}

TEST(MainLayout, ResultDependsOnlyOnTheUnnamedEdgesOfTheStart) {
    // A second resize from the first one's result lands where a direct one does.
    const MainWindowLayout start = startLayout();
    const MainWindowLayout viaSmall = layoutMainWindow(800, 600, layoutMainWindow(300, 250, start));
    EXPECT_EQ(viaSmall, layoutMainWindow(800, 600, start));
}

TEST(MainLayout, MarginsFollowTheWindowsDpi) {
    // At 144 DPI the 96-DPI margins 10, 7, 17 and 15 become 15, 11, 26 and 23.
    const MainWindowLayout start = startLayout();
    const MainWindowLayout next = layoutMainWindow(900, 600, start, 144);

    EXPECT_EQ(next.appGroup, (Rect{10, 55, 885, 289}));
    EXPECT_EQ(next.appList, (Rect{16, 71, 874, 277}));
    EXPECT_EQ(next.titleGroup, (Rect{10, 300, 885, 589}));
    EXPECT_EQ(next.titleList, (Rect{16, 323, 874, 577}));
    EXPECT_EQ(next.pointersButton, (Rect{810, 6, 885, 48}));
    EXPECT_EQ(layoutMainWindow(600, 400, start, 96), layoutMainWindow(600, 400, start));
}

TEST(MainLayout, MinimisedClientOfZeroGivesEmptyControlsNotNegativeOnes) {
    const MainWindowLayout start = startLayout();
    const MainWindowLayout next = layoutMainWindow(0, 0, start);

    EXPECT_EQ(next.appGroup, (Rect{10, 55, 10, 55}));
    EXPECT_EQ(next.appList, (Rect{16, 71, 16, 71}));
    EXPECT_EQ(next.titleGroup, (Rect{10, 0, 10, 0}));
    EXPECT_EQ(next.titleList, (Rect{16, 15, 16, 15}));
    // The button may leave the client area but keeps its size.
    EXPECT_EQ(next.pointersButton, (Rect{-85, 6, -10, 48}));
}

TEST(MainLayout, OnlyTheExtentThatWouldBeNegativeIsClamped) {
    const MainWindowLayout next = layoutMainWindow(20, 20, startLayout());

    EXPECT_EQ(next.titleGroup, (Rect{10, 10, 10, 13}));  // height 3 stays
    EXPECT_EQ(next.titleList, (Rect{16, 25, 16, 25}));   // 5 - 25 would be negative
    EXPECT_EQ(next.appGroup, (Rect{10, 55, 10, 55}));
}

TEST(MainLayout, FirstPlaceStaysWhereItFitsAndShrinksIntoASmallerArea) {
    const Rect screen{0, 0, 1280, 800};
    // 96 dpi: the template's size fits and nothing changes.
    EXPECT_EQ(fitIntoArea({0, 0, 584, 627}, screen), (Rect{0, 0, 584, 627}));
    // 144 dpi: too tall; as tall as the area, the width kept.
    EXPECT_EQ(fitIntoArea({0, 0, 869, 889}, screen), (Rect{0, 0, 869, 800}));
    // A work area off the origin (taskbar at the top or left, a second
    // monitor): moved in, by no more than needed.
    EXPECT_EQ(fitIntoArea({0, 0, 869, 889}, {-1280, 40, 0, 800}), (Rect{-869, 40, 0, 800}));
    EXPECT_EQ(fitIntoArea({1000, 100, 1500, 400}, screen), (Rect{780, 100, 1280, 400}));
    EXPECT_EQ(fitIntoArea({0, 0, 2000, 900}, screen), screen);
}

}  // namespace
}  // namespace horalis
