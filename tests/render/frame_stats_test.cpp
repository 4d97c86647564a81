// The share of a picture that the icons of a frame cover.
#include <gtest/gtest.h>

#include <QImage>

#include "render/frame_stats.h"
#include "render/poi_icons.h"

namespace {

constexpr int kFuelType = 0x2F;
constexpr int kFuelSubtype = 0x01;

// Opaque pixels of the fuel icon as drawn on a high-resolution screen.
int FuelIconPixels() {
    const QImage* picture = render::ProgramPoiIconPicture(kFuelType, kFuelSubtype, true);
    int opaque = 0;
    for (int y = 0; picture && y < picture->height(); ++y) {
        for (int x = 0; x < picture->width(); ++x) {
            opaque += qAlpha(picture->pixel(x, y)) != 0 ? 1 : 0;
        }
    }
    return opaque;
}

render::DrawnIcon Fuel(int x, int y) {
    return render::DrawnIcon{QPoint(x, y), kFuelType, kFuelSubtype, true};
}

TEST(IconCover, CountsEachCoveredPixelOnceAndOnlyInsideThePicture) {
    ASSERT_TRUE(render::LoadBuiltInPoiIcons());
    const int opaque = FuelIconPixels();
    ASSERT_GT(opaque, 0);
    constexpr int kWidth = 200;
    constexpr int kHeight = 100;
    const double onePercent = 100.0 * opaque / (kWidth * kHeight);

    render::FrameStats frame;
    EXPECT_EQ(render::IconCoverPercent(frame, kWidth, kHeight), 0.0);
    frame.icons = {Fuel(10, 10)};
    EXPECT_DOUBLE_EQ(render::IconCoverPercent(frame, kWidth, kHeight), onePercent);
    frame.icons = {Fuel(10, 10), Fuel(10, 10)};
    EXPECT_DOUBLE_EQ(render::IconCoverPercent(frame, kWidth, kHeight), onePercent)
        << "one icon drawn over another covers nothing more";
    frame.icons = {Fuel(10, 10), Fuel(100, 10)};
    EXPECT_DOUBLE_EQ(render::IconCoverPercent(frame, kWidth, kHeight), 2.0 * onePercent);
    frame.icons = {Fuel(-1000, 10), Fuel(kWidth, 0), Fuel(0, kHeight)};
    EXPECT_EQ(render::IconCoverPercent(frame, kWidth, kHeight), 0.0) << "all off the picture";
    frame.icons = {Fuel(-24, 10)};
    const double half = render::IconCoverPercent(frame, kWidth, kHeight);
    EXPECT_GT(half, 0.0);
    EXPECT_LT(half, onePercent);

    frame.Clear();
    EXPECT_TRUE(frame.icons.empty());
    EXPECT_EQ(frame.points + frame.lines + frame.areas + frame.labelsPlaced + frame.shields, 0);
}

}  // namespace
