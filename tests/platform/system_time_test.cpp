#include "platform/system_time.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "fixed_time.h"

namespace platform {
namespace {

TEST(FileTime, CountsFrom1601) {
    EXPECT_EQ(FileTimeFromUnix(0).ticks, kUnixEpochTicks);
    const SystemTime epoch = ToSystemTime(FileTime{kUnixEpochTicks});
    EXPECT_EQ(epoch, (SystemTime{1970, 1, 4, 1, 0, 0, 0, 0}));
    EXPECT_EQ(ToSystemTime(FileTime{0}), (SystemTime{1601, 1, 1, 1, 0, 0, 0, 0}));
    const FileTime words = FileTime::FromWords(0x89ABCDEF, 0x01234567);
    EXPECT_EQ(words.ticks, 0x0123456789ABCDEFull);
    EXPECT_EQ(words.Low(), 0x89ABCDEFu);
    EXPECT_EQ(words.High(), 0x01234567u);
}

TEST(FileTime, RoundTripsCalendarFields) {
    const SystemTime leapDay{2008, 2, 5, 29, 23, 59, 58, 125};
    const std::optional<FileTime> time = ToFileTime(leapDay);
    ASSERT_TRUE(time);
    EXPECT_EQ(ToSystemTime(*time), leapDay);
    EXPECT_EQ(ToSystemTime(FileTimeFromUnix(1199145600)),  // 2008-01-01, a Tuesday
              (SystemTime{2008, 1, 2, 1, 0, 0, 0, 0}));
}

TEST(FileTime, RefusesDatesThatDoNotExist) {
    EXPECT_FALSE(ToFileTime(SystemTime{2007, 2, 0, 29, 0, 0, 0, 0}));
    EXPECT_FALSE(ToFileTime(SystemTime{2008, 13, 0, 1, 0, 0, 0, 0}));
    EXPECT_FALSE(ToFileTime(SystemTime{1600, 12, 0, 31, 0, 0, 0, 0}));
    EXPECT_FALSE(ToFileTime(SystemTime{2008, 1, 0, 1, 24, 0, 0, 0}));
    EXPECT_TRUE(ToFileTime(SystemTime{2000, 2, 0, 29, 0, 0, 0, 0}));
}

TEST(Clock, CanBeSetByTests) {
    const FileTime fixed = *ToFileTime(SystemTime{2008, 1, 0, 12, 10, 30, 0, 0});
    {
        FixedClock clock(fixed);
        EXPECT_EQ(Clock::NowUtc(), fixed);
        EXPECT_EQ(GetSystemTime().hour, 10);
    }
    const int64_t now = int64_t(std::time(nullptr));
    const int64_t clockSeconds =
        int64_t((Clock::NowUtc().ticks - kUnixEpochTicks) / kTicksPerSecond);
    EXPECT_LE(std::abs(clockSeconds - now), 2);
}

TEST(Clock, LocalTimeFollowsTheTimeZone) {
    ScopedTimeZone athens("EET-2EEST,M3.5.0/3,M10.5.0/4");
    FixedClock winter(*ToFileTime(SystemTime{2008, 1, 0, 12, 10, 30, 0, 0}));
    EXPECT_EQ(GetLocalTime().hour, 12);
    Clock::SetFixed(*ToFileTime(SystemTime{2008, 7, 0, 12, 22, 30, 0, 0}));
    const SystemTime summer = GetLocalTime();
    EXPECT_EQ(summer.day, 13);
    EXPECT_EQ(summer.hour, 1);

    const FileTime utc = *ToFileTime(SystemTime{2008, 7, 0, 12, 22, 30, 0, 0});
    EXPECT_EQ(LocalToUtc(UtcToLocal(utc)), utc);
}

}  // namespace
}  // namespace platform
