#include "render/geo_math.h"

#include <gtest/gtest.h>

#include <cmath>

namespace render {
namespace {

TEST(GeoMathTest, DistanceOnTheMeanSphere) {
    const GeoMath geo;
    // 6371 km × 0.01745329252: one degree along a meridian or the equator.
    EXPECT_NEAR(geo.Distance(50.0, 8.0, 51.0, 8.0), 111.19493, 1e-4);
    EXPECT_NEAR(geo.Distance(0.0, 10.0, 0.0, 11.0), 111.19493, 1e-4);
    EXPECT_NEAR(geo.Distance(0.0, 0.0, 0.0, 180.0), 6371.0 * 3.14159265359, 0.01);
    // For many latitudes sin²φ + cos²φ rounds to just above 1, where acos would give NaN.
    for (int i = 0; i < 240; ++i) {
        const double lat = 0.5 + 0.37 * i;
        const double d = geo.Distance(lat, 10.0, lat, 10.0);
        ASSERT_FALSE(std::isnan(d)) << lat;
        ASSERT_LT(d, 1e-3) << lat;
    }
}

TEST(GeoMathTest, BearingOnTheGridOfOne360000thDegree) {
    const GeoMath geo;
    EXPECT_EQ(geo.Bearing(47.0, 8.0, 47.0, 8.0), 0.0);
    EXPECT_EQ(geo.Bearing(47.0, 8.0, 48.0, 8.0), 0.0);
    EXPECT_EQ(geo.Bearing(47.0, 8.0, 46.0, 8.0), 180.0);
    EXPECT_EQ(geo.Bearing(47.0, 8.0, 47.0, 9.0), 90.0);
    EXPECT_EQ(geo.Bearing(47.0, 8.0, 47.0, 7.0), 270.0);
    // Less than half a cell apart (1/720000 degree) is the same cell.
    EXPECT_EQ(geo.Bearing(47.0, 8.0, 47.000001, 8.000001), 0.0);
    EXPECT_EQ(geo.Bearing(-47.0, -8.0, -47.000001, -7.0), 90.0);
    // Cells are cut toward zero after adding a half: -0.4 and +0.4 cells share cell 0.
    EXPECT_EQ(geo.Bearing(-0.4 / 360000.0, 5.0, 0.4 / 360000.0, 6.0), 90.0);
}

TEST(GeoMathTest, BearingIsTheInitialGreatCircleCourseInEveryQuadrant) {
    const GeoMath geo;
    const double kDeg = 3.14159265358979323846 / 180.0;
    // Short steps, where the course hardly changes along the way, against the atan2 form.
    for (double lat : {-60.0, -10.0, 0.5, 41.2, 70.0}) {
        for (int k = 0; k < 36; ++k) {
            const double course = 5.0 + 10.0 * k;
            const double lat2 = lat + 0.01 * std::cos(course * kDeg);
            const double lon2 = 8.0 + 0.01 * std::sin(course * kDeg) / std::cos(lat * kDeg);
            const double p1 = lat * kDeg, p2 = lat2 * kDeg, dl = (lon2 - 8.0) * kDeg;
            double expected = std::atan2(std::sin(dl) * std::cos(p2),
                                         std::cos(p1) * std::sin(p2) -
                                             std::sin(p1) * std::cos(p2) * std::cos(dl)) /
                              kDeg;
            expected = expected < 0.0 ? expected + 360.0 : expected;
            const double bearing = geo.Bearing(lat, 8.0, lat2, lon2);
            EXPECT_NEAR(bearing, expected, 1e-3) << lat << " " << course;
            EXPECT_GE(bearing, 0.0);
            EXPECT_LT(bearing, 360.0);
        }
    }
    EXPECT_NEAR(geo.Bearing(0.0, 0.0, 1.0, 1.0), 44.9956, 1e-4);
    // Antipodes and pole-crossing steps stay numbers.
    EXPECT_FALSE(std::isnan(geo.Bearing(10.0, 20.0, -10.0, -160.0)));
    EXPECT_FALSE(std::isnan(geo.Bearing(89.9, 0.0, 89.9, 179.9)));
    EXPECT_FALSE(std::isnan(geo.Bearing(0.0, 0.0, 1e-5, 90.0)));
}

}  // namespace
}  // namespace render
