#pragma once

// Where the sun stands, from a low-precision solar model (epoch 1989 December 31, 00:00 UTC),
// and whether it is below the horizon at a position: the switch between day and night colours.

#include <functional>
#include <optional>

#include "platform/system_time.h"

namespace app {

class SunCalculator {
public:
    // Reads the current UTC time; the platform clock unless a test gives its own.
    using UtcClock = std::function<platform::FileTime()>;

    // A computed sun position serves night tests for this many seconds less one.
    static constexpr int kCacheSeconds = 901;

    explicit SunCalculator(UtcClock clock = platform::Clock::NowUtc);

    // The sun's declination and hour-angle term for the moment `utc`.
    void Compute(const platform::SystemTime& utc);
    // True when the sun's geometric altitude at the position (degrees, north and east
    // positive) is below 0°; computes afresh once 901 seconds have passed since the last
    // computation, else uses its result.
    bool IsNight(float latitudeDeg, float longitudeDeg);

    double DeclinationDeg() const { return declinationDeg_; }
    // The sun's right ascension less Greenwich sidereal time, in (−180, 180].
    double HourAngleDeg() const { return hourAngleDeg_; }
    // When the sun was last computed; empty before the first time.
    std::optional<platform::SystemTime> LastComputed() const { return lastComputed_; }

private:
    double declinationDeg_ = 0.0;
    double hourAngleDeg_ = 0.0;
    std::optional<platform::SystemTime> lastComputed_;
    UtcClock clock_;
};

}  // namespace app
