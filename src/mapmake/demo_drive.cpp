#include "mapmake/demo_drive.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "mapmake/geometry.h"

namespace mapmake {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kKnotsPerMs = 1.0 / 0.514444;
// The profile is worked out every metre.
constexpr double kStepMetres = 1.0;
// The slowest speed the time along the profile is reckoned with, so that a start from rest
// takes a finite time.
constexpr double kCreepMs = 0.3;

struct Track {
    std::vector<LocalPoint> points;
    std::vector<double> along;  // metres from the start at each point
};

Track JoinLegs(const std::vector<DriveLeg>& legs, std::vector<double>& legEnds) {
    Track track;
    for (const DriveLeg& leg : legs) {
        for (const LocalPoint& point : leg.path) {
            if (!track.points.empty()) {
                const LocalPoint& last = track.points.back();
                const double step = std::hypot(point.x - last.x, point.y - last.y);
                if (step == 0.0) {
                    continue;
                }
                track.along.push_back(track.along.back() + step);
            } else {
                track.along.push_back(0.0);
            }
            track.points.push_back(point);
        }
        legEnds.push_back(track.along.empty() ? 0.0 : track.along.back());
    }
    return track;
}

// The point and the direction (degrees from north) at `metres` along the track.
void PlaceOn(const Track& track, double metres, LocalPoint& at, double& headingDeg) {
    const auto next = std::upper_bound(track.along.begin(), track.along.end(), metres);
    size_t i = size_t(std::max<std::ptrdiff_t>(1, next - track.along.begin()));
    i = std::min(i, track.points.size() - 1);
    const LocalPoint& a = track.points[i - 1];
    const LocalPoint& b = track.points[i];
    const double length = track.along[i] - track.along[i - 1];
    const double t =
        length > 0.0 ? std::clamp((metres - track.along[i - 1]) / length, 0.0, 1.0) : 0.0;
    at = LocalPoint{a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t};
    headingDeg = std::fmod(std::atan2(b.x - a.x, b.y - a.y) * 180.0 / kPi + 360.0, 360.0);
}

std::string Checksummed(const std::string& body) {
    unsigned char sum = 0;
    for (char c : body) {
        sum ^= static_cast<unsigned char>(c);
    }
    char tail[8];
    std::snprintf(tail, sizeof(tail), "*%02X\r\n", sum);
    return "$" + body + tail;
}

// ddmm.mmmmm or dddmm.mmmmm and the hemisphere.
std::string Angle(double degrees, int degreeDigits, char positive, char negative) {
    const char hemisphere = degrees < 0 ? negative : positive;
    degrees = std::abs(degrees);
    int whole = int(degrees);
    double minutes = (degrees - whole) * 60.0;
    if (std::lround(minutes * 100000.0) >= 6000000) {
        ++whole;
        minutes = 0.0;
    }
    char text[32];
    std::snprintf(text, sizeof(text), "%0*d%08.5f,%c", degreeDigits, whole, minutes, hemisphere);
    return text;
}

}  // namespace

std::vector<DriveSample> SimulateDrive(const std::vector<DriveLeg>& legs) {
    std::vector<double> legEnds;
    const Track track = JoinLegs(legs, legEnds);
    std::vector<DriveSample> samples;
    if (track.points.size() < 2) {
        return samples;
    }
    const double total = track.along.back();
    const size_t steps = size_t(std::ceil(total / kStepMetres));
    // Speed limits along the track: each leg's cruise, the turns between legs, the stops.
    std::vector<double> limit(steps + 1, 0.0);
    std::vector<double> dwell(steps + 1, 0.0);
    size_t leg = 0;
    for (size_t i = 0; i <= steps; ++i) {
        const double metres = std::min(total, double(i) * kStepMetres);
        while (leg + 1 < legs.size() && metres > legEnds[leg]) {
            ++leg;
        }
        limit[i] = legs[leg].cruiseMs;
    }
    for (size_t l = 0; l + 1 < legs.size(); ++l) {
        const size_t i = std::min(steps, size_t(std::lround(legEnds[l] / kStepMetres)));
        limit[i] = legs[l].stopSeconds > 0.0 ? 0.0 : std::min(limit[i], kTurnSpeedMs);
        dwell[i] = legs[l].stopSeconds;
    }
    limit.front() = 0.0;
    limit.back() = 0.0;
    std::vector<double> speed = limit;
    for (size_t i = 1; i <= steps; ++i) {
        speed[i] = std::min(speed[i], std::sqrt(speed[i - 1] * speed[i - 1] +
                                                2.0 * kAccelerationMs2 * kStepMetres));
    }
    for (size_t i = steps; i-- > 0;) {
        speed[i] = std::min(
            speed[i], std::sqrt(speed[i + 1] * speed[i + 1] + 2.0 * kBrakingMs2 * kStepMetres));
    }
    // Time at each step; a stop adds its dwell after arriving.
    std::vector<double> arrive(steps + 1, 0.0);
    std::vector<double> leave(steps + 1, 0.0);
    for (size_t i = 0; i <= steps; ++i) {
        if (i > 0) {
            const double mean = std::max(kCreepMs, (speed[i - 1] + speed[i]) / 2.0);
            arrive[i] = leave[i - 1] + kStepMetres / mean;
        }
        leave[i] = arrive[i] + dwell[i];
    }
    double headingDeg = 0.0;
    LocalPoint start;
    PlaceOn(track, 0.0, start, headingDeg);
    for (double t = 0.0; t <= leave.back(); t += 1.0) {
        const auto next = std::upper_bound(arrive.begin(), arrive.end(), t);
        const size_t i = size_t(next - arrive.begin()) - 1;
        DriveSample sample;
        sample.seconds = t;
        double metres = double(i) * kStepMetres;
        if (t >= leave[i] && i < steps) {
            const double fraction = (t - leave[i]) / (arrive[i + 1] - leave[i]);
            metres += fraction * kStepMetres;
            sample.speedMs = speed[i] + (speed[i + 1] - speed[i]) * fraction;
        } else {
            sample.speedMs = t > arrive[i] ? 0.0 : speed[i];
        }
        double direction = headingDeg;
        PlaceOn(track, std::min(metres, total), sample.at, direction);
        if (sample.speedMs > 0.0) {
            headingDeg = direction;
        }
        sample.headingDeg = headingDeg;
        samples.push_back(sample);
    }
    return samples;
}

QByteArray NmeaLog(const std::vector<DriveSample>& samples, double originLat, double originLon,
                   const QDateTime& start) {
    std::string log;
    for (const DriveSample& sample : samples) {
        const QDateTime when = start.addMSecs(qint64(std::lround(sample.seconds * 1000.0)));
        const std::string time = when.toString("HHmmss.zzz").left(9).toStdString();
        const std::string date = when.toString("ddMMyy").toStdString();
        const GeoPoint geo = OffsetInMetres(originLat, originLon, sample.at.x, sample.at.y);
        const double lat = geo.y();
        const double lon = geo.x();
        const std::string position = Angle(lat, 2, 'N', 'S') + "," + Angle(lon, 3, 'E', 'W');
        // The road climbs gently along the valley.
        const double altitude = 121.0 + 6.0 * std::sin(sample.seconds / 45.0);
        char gga[160];
        std::snprintf(gga, sizeof(gga), "GPGGA,%s,%s,1,09,0.9,%.1f,M,37.4,M,,", time.c_str(),
                      position.c_str(), altitude);
        char rmc[160];
        std::snprintf(rmc, sizeof(rmc), "GPRMC,%s,A,%s,%.2f,%.1f,%s,,,A", time.c_str(),
                      position.c_str(), sample.speedMs * kKnotsPerMs, sample.headingDeg,
                      date.c_str());
        log += Checksummed(gga);
        log += Checksummed("GPGSA,A,3,02,05,07,09,12,13,15,18,21,,,,1.6,0.9,1.3");
        log += Checksummed(rmc);
    }
    return QByteArray::fromStdString(log);
}

}  // namespace mapmake
