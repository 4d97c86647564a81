#pragma once

namespace render {

// Geodesy constants in double precision, the great-circle distance on the mean sphere and the
// initial bearing between two points.
// The values are the program's own rounded ones (degToRad is not the full-precision π ÷ 180),
// so distances and scales agree with what the program has always stored and displayed.
struct GeoMath {
    double pi = 3.14159265359;
    double twoPi = 6.28318530718;
    double degToRad = 0.01745329252;
    double radToDeg = 57.2957795129;
    double equatorialRadiusKm = 6378.135;
    double equatorialRadiusM = 6378135.0;
    double meanRadiusKm = 6371.0;
    double flattening = 0.0033528106647474805;
    double epsilon = 5e-12;
    double kmToMiles = 0.621371;

    // Great-circle distance in kilometres between two points in decimal degrees, by the
    // spherical law of cosines on a sphere of radius meanRadiusKm.
    double Distance(double lat1, double lon1, double lat2, double lon2) const;

    // Initial great-circle bearing in degrees clockwise from north, in [0, 360), from point 1
    // to point 2 (decimal degrees). Points are compared on a grid of 1/360000 degree: the same
    // cell gives 0; the same row or column gives exactly 90, 270, 0 or 180.
    double Bearing(double lat1, double lon1, double lat2, double lon2) const;
};

}  // namespace render
