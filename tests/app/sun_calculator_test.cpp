#include "app/sun_calculator.h"

#include <gtest/gtest.h>

namespace app {
namespace {

platform::FileTime Utc(int year, int month, int day, int hour, int minute, int second = 0) {
    platform::SystemTime time;
    time.year = year;
    time.month = month;
    time.day = day;
    time.hour = hour;
    time.minute = minute;
    time.second = second;
    return *platform::ToFileTime(time);
}

// A clock the test moves.
struct StepClock {
    platform::FileTime now;
    SunCalculator::UtcClock Reader() {
        return [this] { return now; };
    }
};

constexpr float kLat = 41.164673f;
constexpr float kLon = 23.267757f;

TEST(SunCalculator, DayAtMiddayInJuneAndNightAtMidnightInDecember) {
    StepClock clock{Utc(2025, 6, 21, 12, 0)};
    SunCalculator june(clock.Reader());
    EXPECT_FALSE(june.IsNight(kLat, kLon));
    EXPECT_NEAR(june.DeclinationDeg(), 23.44, 0.05);

    clock.now = Utc(2025, 12, 21, 0, 0);
    SunCalculator december(clock.Reader());
    EXPECT_TRUE(december.IsNight(kLat, kLon));
    EXPECT_NEAR(december.DeclinationDeg(), -23.44, 0.05);
    EXPECT_GT(december.HourAngleDeg(), -180.0);
    EXPECT_LE(december.HourAngleDeg(), 180.0);
}

TEST(SunCalculator, AtTheEquinoxTheEquatorTurnsNearSixAndEighteen) {
    StepClock clock{Utc(2025, 3, 20, 5, 30)};
    auto night = [&](int hour, int minute) {
        clock.now = Utc(2025, 3, 20, hour, minute);
        SunCalculator sun(clock.Reader());
        return sun.IsNight(0.0f, 0.0f);
    };
    EXPECT_TRUE(night(5, 40));
    EXPECT_FALSE(night(6, 30));
    EXPECT_FALSE(night(17, 40));
    EXPECT_TRUE(night(18, 30));
    // Local solar time: 90° east is six hours ahead.
    clock.now = Utc(2025, 3, 20, 0, 30);
    SunCalculator east(clock.Reader());
    EXPECT_FALSE(east.IsNight(0.0f, 90.0f));
}

TEST(SunCalculator, ASunPositionServesNineHundredSecondsAndIsComputedAgainAtNineHundredOne) {
    StepClock clock{Utc(2025, 6, 21, 18, 0)};
    SunCalculator sun(clock.Reader());
    EXPECT_FALSE(sun.LastComputed().has_value());
    sun.IsNight(kLat, kLon);
    const platform::SystemTime first = *sun.LastComputed();
    const double hourAngle = sun.HourAngleDeg();

    clock.now.ticks += 900 * platform::kTicksPerSecond;
    sun.IsNight(kLat, kLon);
    EXPECT_EQ(*sun.LastComputed(), first);
    EXPECT_EQ(sun.HourAngleDeg(), hourAngle);

    clock.now.ticks += 1 * platform::kTicksPerSecond;
    sun.IsNight(kLat, kLon);
    EXPECT_NE(*sun.LastComputed(), first);
    // The sun moves about 15° an hour: 901 seconds turn it by close to 3.75°.
    EXPECT_NEAR(hourAngle - sun.HourAngleDeg(), 901.0 / 3600.0 * 15.04, 0.05);
}

}  // namespace
}  // namespace app
