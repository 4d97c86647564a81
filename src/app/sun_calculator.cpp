#include "app/sun_calculator.h"

#include <cmath>
#include <cstdint>

#include "platform/trace.h"

namespace app {
namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kTwoPi = 2.0 * kPi;
constexpr double kDegreesToRadians = 0.017453292519943295;
constexpr double kRadiansToDegrees = 57.29577951308232;

// Seconds after 1970-01-01 00:00 UTC of the epoch, 1989 December 31, 00:00 UTC.
constexpr int64_t kEpochSeconds = 631065600;
constexpr double kDaysPerSecond = 1.0 / 86400.0;
// Radians per day of the mean sun: 360° ÷ 365.242191.
constexpr double kMeanMotion = 0.017202791632524146;
// Ecliptic longitude at the epoch and of the perigee.
constexpr double kEclipticLongitudeAtEpoch = 4.87650757829735;
constexpr double kPerigeeLongitude = 4.935239984568769;
constexpr double kEccentricity = 0.016713;
// √((1 + e) ÷ (1 − e)) of the eccentricity above.
constexpr double kTrueAnomalyFactorSquared = 1.033994144130859;
constexpr double kObliquity = 0.4091155090166426;
constexpr double kKeplerTolerance = 1e-10;

int64_t WholeSeconds(const platform::SystemTime& time) {
    const std::optional<platform::FileTime> ticks = platform::ToFileTime(time);
    return ticks ? int64_t(ticks->ticks / platform::kTicksPerSecond) : 0;
}

double PositiveModulo(double value, double modulus) {
    double result = std::fmod(value, modulus);
    if (result < 0.0) {
        result += modulus;
    }
    return result;
}

// Eccentric anomaly E of mean anomaly M: E − e sin E = M, by Newton's method from E = M.
double SolveKepler(double meanAnomaly) {
    double e = meanAnomaly;
    double error = e - kEccentricity * std::sin(e) - meanAnomaly;
    while (std::fabs(error) > kKeplerTolerance) {
        e -= error / (1.0 - kEccentricity * std::cos(e));
        error = e - kEccentricity * std::sin(e) - meanAnomaly;
    }
    return e;
}

// Greenwich sidereal time of `utc`, in hours.
double GreenwichSiderealHours(const platform::SystemTime& utc) {
    int year = utc.year;
    int month = utc.month;
    if (month == 1 || month == 2) {
        year -= 1;
        month += 12;
    }
    const int centuries = year / 100;
    const double julianDay = std::trunc(365.25 * year) + std::trunc(30.6001 * (month + 1)) +
                             utc.day + 2 - centuries + centuries / 4 + 1720994.5;
    const double t = (julianDay - 2451545.0) * (1.0 / 36525.0);
    const double t0 = PositiveModulo((2.5862e-5 * t + 2400.051336) * t + 6.697374558, 24.0);
    const double universalHours = utc.hour + (utc.minute + utc.second / 60.0) / 60.0;
    return PositiveModulo(universalHours * 1.002737909 + t0, 24.0);
}

}  // namespace

SunCalculator::SunCalculator(UtcClock clock) : clock_(std::move(clock)) {}

void SunCalculator::Compute(const platform::SystemTime& utc) {
    platform::SystemTime unixEpoch;
    unixEpoch.year = 1970;
    const int64_t seconds = WholeSeconds(utc) - WholeSeconds(unixEpoch);
    const double days = double(seconds - kEpochSeconds) * kDaysPerSecond;

    double meanAnomaly = PositiveModulo(days * kMeanMotion, kTwoPi);
    meanAnomaly = meanAnomaly + kEclipticLongitudeAtEpoch - kPerigeeLongitude;
    if (meanAnomaly < 0.0) {
        meanAnomaly += kTwoPi;
    }
    const double eccentric = SolveKepler(meanAnomaly);
    const double trueAnomaly =
        2.0 * std::atan(std::sqrt(kTrueAnomalyFactorSquared) * std::tan(eccentric / 2.0));
    const double longitude = trueAnomaly + kPerigeeLongitude;

    // Ecliptic latitude 0: the general forms lose their β terms.
    const double rightAscension =
        std::atan2(std::sin(longitude) * std::cos(kObliquity), std::cos(longitude));
    const double declination = std::asin(std::sin(longitude) * std::sin(kObliquity));

    double hourAngle = rightAscension - GreenwichSiderealHours(utc) * (kPi / 12.0);
    while (hourAngle > kPi) {
        hourAngle -= kTwoPi;
    }
    while (hourAngle < -kPi) {
        hourAngle += kTwoPi;
    }
    declinationDeg_ = declination * kRadiansToDegrees;
    hourAngleDeg_ = hourAngle * kRadiansToDegrees;
}

bool SunCalculator::IsNight(float latitudeDeg, float longitudeDeg) {
    const platform::SystemTime now = platform::ToSystemTime(clock_());
    if (!lastComputed_ || WholeSeconds(now) - WholeSeconds(*lastComputed_) >= kCacheSeconds) {
        Compute(now);
        lastComputed_ = now;
    }
    const double phi = double(latitudeDeg) * kDegreesToRadians;
    const double lambda = double(longitudeDeg) * kDegreesToRadians;
    const double delta = declinationDeg_ * kDegreesToRadians;
    const double h = hourAngleDeg_ * kDegreesToRadians;
    const double altitudeSine =
        std::sin(phi) * std::sin(delta) +
        std::cos(phi) * std::cos(delta) *
            (std::sin(lambda) * std::sin(h) + std::cos(lambda) * std::cos(h));
    const bool night = altitudeSine < 0.0;
    platform::Trace(night ? "isnight" : "isNOTnight");
    return night;
}

}  // namespace app
