#pragma once

// A drive along a path as a GPS receiver reports it: a speed profile that keeps to each leg's
// speed, slows down for the turns between legs, stops where a leg says so and starts and ends
// at rest; sampled once a second and written as an NMEA 0183 log (GGA, GSA and RMC).

#include <QByteArray>
#include <QDateTime>

#include <vector>

namespace mapmake {

// Metres east and north of the place the drive is written for.
struct LocalPoint {
    double x = 0.0;
    double y = 0.0;
};

struct DriveLeg {
    std::vector<LocalPoint> path;
    double cruiseMs = 0.0;
    // A stop at the end of the leg for this long.
    double stopSeconds = 0.0;
};

struct DriveSample {
    double seconds = 0.0;
    LocalPoint at;
    double speedMs = 0.0;
    // Course over ground, degrees clockwise from north; kept while standing.
    double headingDeg = 0.0;
};

// Metres a second of the turns between legs, and the acceleration and braking in m/s².
inline constexpr double kTurnSpeedMs = 4.5;
inline constexpr double kAccelerationMs2 = 1.2;
inline constexpr double kBrakingMs2 = 1.8;

// One sample a second from the start to the end of the drive.
std::vector<DriveSample> SimulateDrive(const std::vector<DriveLeg>& legs);

// The samples as an NMEA log: a fix cycle (GGA, GSA, RMC) a second from `start` (UTC), the
// positions placed around (originLat, originLon) in degrees.
QByteArray NmeaLog(const std::vector<DriveSample>& samples, double originLat, double originLon,
                   const QDateTime& start);

}  // namespace mapmake
