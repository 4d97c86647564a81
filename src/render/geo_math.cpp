#include "render/geo_math.h"

#include <algorithm>
#include <cmath>

namespace render {
namespace {

// A coordinate on the grid of 1/360000 degree, rounded half up and then cut toward zero. Kept
// as a double holding a whole number, so that no input can overflow an integer conversion.
double GridCell(double degrees) {
    return std::trunc(degrees * 360000.0 + 0.5);
}

}  // namespace

double GeoMath::Distance(double lat1, double lon1, double lat2, double lon2) const {
    const double phi1 = lat1 * degToRad;
    const double phi2 = lat2 * degToRad;
    const double lambda1 = lon1 * degToRad;
    const double lambda2 = lon2 * degToRad;
    const double cosine = std::sin(phi1) * std::sin(phi2) +
                          std::cos(phi1) * std::cos(phi2) * std::cos(lambda1 - lambda2);
    // Two nearly equal points can round the cosine just above 1, which would make acos NaN and
    // the zoom scale of a very narrow window NaN with it; the distance is then 0.
    return meanRadiusKm * std::acos(std::clamp(cosine, -1.0, 1.0));
}

double GeoMath::Bearing(double lat1, double lon1, double lat2, double lon2) const {
    const double a1 = GridCell(lat1);
    const double o1 = GridCell(lon1);
    const double a2 = GridCell(lat2);
    const double o2 = GridCell(lon2);
    if (a1 == a2) {
        if (o1 == o2) {
            return 0.0;
        }
        return o1 < o2 ? 90.0 : 270.0;
    }
    if (o1 == o2) {
        return a1 > a2 ? 180.0 : 0.0;
    }
    const double phi1 = lat1 * degToRad;
    const double phi2 = lat2 * degToRad;
    const double deltaLambda = lon2 * degToRad - lon1 * degToRad;
    const double cosine =
        std::cos(deltaLambda) * std::cos(phi2) * std::cos(phi1) + std::sin(phi1) * std::sin(phi2);
    const double c = std::acos(std::clamp(cosine, -1.0, 1.0));
    // Rounding can carry the sine of a bearing near 90° or 270° just past ±1, where asin is NaN.
    const double sine = std::sin(deltaLambda) / std::sin(c) * std::cos(phi2);
    const double a = std::asin(std::clamp(sine, -1.0, 1.0)) * radToDeg;
    if (a2 < a1) {
        return 180.0 - a;
    }
    return o2 > o1 ? a : a + 360.0;
}

}  // namespace render
