#include "platform/system_time.h"

#include <atomic>
#include <chrono>
#include <ctime>

namespace platform {
namespace {

constexpr int64_t kSecondsPerDay = 86400;

// Fixed instant in ticks, or 0 for the real clock.
std::atomic<uint64_t> g_fixedTicks{0};

// Days since 1970-01-01 of a proleptic Gregorian date, and back (H. Hinnant's algorithms).
int64_t DaysFromCivil(int64_t y, int m, int d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, int& year, int& month, int& day) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    day = int(doy - (153 * mp + 2) / 5 + 1);
    month = int(mp < 10 ? mp + 3 : mp - 9);
    year = int(yoe + era * 400 + (month <= 2));
}

bool IsLeap(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeap(year) ? 29 : kDays[month - 1];
}

// Offset of local time from UTC at a given UTC instant, from the C library's zone rules.
int64_t LocalOffsetSeconds(int64_t unixSeconds) {
    const time_t t = time_t(unixSeconds);
    tm local{};
    if (localtime_r(&t, &local) == nullptr) {
        return 0;
    }
    return local.tm_gmtoff;
}

int64_t UnixSecondsOf(FileTime time) {
    return (int64_t(time.ticks) - int64_t(kUnixEpochTicks)) / int64_t(kTicksPerSecond);
}

}  // namespace

FileTime FileTimeFromUnix(int64_t seconds, int64_t nanoseconds) {
    const int64_t ticks =
        int64_t(kUnixEpochTicks) + seconds * int64_t(kTicksPerSecond) + nanoseconds / 100;
    return FileTime{ticks < 0 ? 0 : uint64_t(ticks)};
}

SystemTime ToSystemTime(FileTime time) {
    const uint64_t totalSeconds = time.ticks / kTicksPerSecond;
    const int64_t days = int64_t(totalSeconds / kSecondsPerDay);
    const int64_t secondOfDay = int64_t(totalSeconds % kSecondsPerDay);
    // 1601-01-01 is 134 774 days before 1970-01-01.
    const int64_t unixDays = days - 134774;
    SystemTime result;
    CivilFromDays(unixDays, result.year, result.month, result.day);
    result.dayOfWeek = int(((unixDays % 7) + 11) % 7);  // 1970-01-01 was a Thursday
    result.hour = int(secondOfDay / 3600);
    result.minute = int(secondOfDay / 60 % 60);
    result.second = int(secondOfDay % 60);
    result.milliseconds = int(time.ticks % kTicksPerSecond / 10000);
    return result;
}

std::optional<FileTime> ToFileTime(const SystemTime& time) {
    if (time.year < 1601 || time.year > 30827 || time.month < 1 || time.month > 12 ||
        time.day < 1 || time.day > DaysInMonth(time.year, time.month) || time.hour < 0 ||
        time.hour > 23 || time.minute < 0 || time.minute > 59 || time.second < 0 ||
        time.second > 59 || time.milliseconds < 0 || time.milliseconds > 999) {
        return std::nullopt;
    }
    const int64_t days = DaysFromCivil(time.year, time.month, time.day) + 134774;
    const int64_t seconds =
        days * kSecondsPerDay + time.hour * 3600 + time.minute * 60 + time.second;
    return FileTime{uint64_t(seconds) * kTicksPerSecond + uint64_t(time.milliseconds) * 10000};
}

FileTime Clock::NowUtc() {
    const uint64_t fixed = g_fixedTicks.load();
    if (fixed != 0) {
        return FileTime{fixed};
    }
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    const int64_t ns = std::chrono::duration_cast<std::chrono::nanoseconds>(now).count();
    return FileTimeFromUnix(ns / 1000000000, ns % 1000000000);
}

void Clock::SetFixed(FileTime utc) {
    g_fixedTicks.store(utc.ticks == 0 ? 1 : utc.ticks);
}

void Clock::UseSystem() {
    g_fixedTicks.store(0);
}

SystemTime GetSystemTime() {
    return ToSystemTime(Clock::NowUtc());
}

SystemTime GetLocalTime() {
    return ToSystemTime(UtcToLocal(Clock::NowUtc()));
}

FileTime UtcToLocal(FileTime utc) {
    const int64_t offset = LocalOffsetSeconds(UnixSecondsOf(utc));
    const int64_t ticks = int64_t(utc.ticks) + offset * int64_t(kTicksPerSecond);
    return FileTime{ticks < 0 ? 0 : uint64_t(ticks)};
}

FileTime LocalToUtc(FileTime local) {
    // The offset at the local reading taken as UTC, corrected once: exact except in the hour
    // a clock change repeats or skips.
    const int64_t guess = UnixSecondsOf(local) - LocalOffsetSeconds(UnixSecondsOf(local));
    const int64_t offset = LocalOffsetSeconds(guess);
    const int64_t ticks = int64_t(local.ticks) - offset * int64_t(kTicksPerSecond);
    return FileTime{ticks < 0 ? 0 : uint64_t(ticks)};
}

}  // namespace platform
