#include "render/geo_math.h"

#include <algorithm>
#include <cmath>

namespace render {

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

}  // namespace render
