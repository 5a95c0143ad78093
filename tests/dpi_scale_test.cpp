#include "ui/dpi_scale.h"

#include <gtest/gtest.h>

namespace horalis {
namespace {

TEST(DpiScale, SizesAreExactAt96AndRoundHalfAwayFromZeroElsewhere) {
    for (int32_t value : {0, 1, 7, 16, 150, 350, -10}) EXPECT_EQ(scaleToDpi(value, 96), value);
    EXPECT_EQ(scaleToDpi(350, 144), 525);
    EXPECT_EQ(scaleToDpi(16, 144), 24);
    EXPECT_EQ(scaleToDpi(16, 120), 20);
    EXPECT_EQ(scaleToDpi(17, 144), 26);   // 25.5
    EXPECT_EQ(scaleToDpi(7, 144), 11);    // 10.5
    EXPECT_EQ(scaleToDpi(-7, 144), -11);
    EXPECT_EQ(scaleToDpi(32, 192), 64);
    EXPECT_EQ(scaleToDpi(350, 0), 350);   // DPI not known: as at 96
}

TEST(DpiScale, RescaleKeepsAWidthsShareAcrossMonitors) {
    EXPECT_EQ(rescaleDpi(525, 144, 96), 350);
    EXPECT_EQ(rescaleDpi(400, 96, 192), 800);
    EXPECT_EQ(rescaleDpi(401, 192, 96), 201);  // 200.5
    EXPECT_EQ(rescaleDpi(100, 144, 144), 100);
    // Large widths do not overflow on the way.
    EXPECT_EQ(rescaleDpi(20'000'000, 96, 480), 100'000'000);
}

TEST(DpiScale, PictureIsTheLargestDrawingThatFits) {
    EXPECT_EQ(pictureScaleFor(0), PictureScale::Percent100);
    EXPECT_EQ(pictureScaleFor(96), PictureScale::Percent100);
    EXPECT_EQ(pictureScaleFor(120), PictureScale::Percent100);
    EXPECT_EQ(pictureScaleFor(144), PictureScale::Percent150);
    EXPECT_EQ(pictureScaleFor(168), PictureScale::Percent150);
    EXPECT_EQ(pictureScaleFor(192), PictureScale::Percent200);
    EXPECT_EQ(pictureScaleFor(288), PictureScale::Percent200);
}

}  // namespace
}  // namespace horalis
