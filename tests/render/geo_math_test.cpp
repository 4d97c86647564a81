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

}  // namespace
}  // namespace render
