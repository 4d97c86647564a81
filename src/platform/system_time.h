#pragma once

#include <cstdint>
#include <optional>

namespace platform {

// A point in time as 100-ns ticks since 1601-01-01 00:00 UTC (FILETIME). In files it is stored
// as two 32-bit words, low word first.
struct FileTime {
    uint64_t ticks = 0;

    uint32_t Low() const { return uint32_t(ticks & 0xFFFFFFFFu); }
    uint32_t High() const { return uint32_t(ticks >> 32); }
    static FileTime FromWords(uint32_t low, uint32_t high) {
        return FileTime{(uint64_t{high} << 32) | low};
    }
    auto operator<=>(const FileTime&) const = default;
};

// A calendar time broken into fields (SYSTEMTIME); month 1–12, day of week 0 = Sunday.
struct SystemTime {
    int year = 1601;
    int month = 1;
    int dayOfWeek = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int milliseconds = 0;

    bool operator==(const SystemTime&) const = default;
};

// FILETIME ticks of the Unix epoch, 1970-01-01 00:00 UTC.
constexpr uint64_t kUnixEpochTicks = 116444736000000000ull;
constexpr uint64_t kTicksPerSecond = 10000000ull;

FileTime FileTimeFromUnix(int64_t seconds, int64_t nanoseconds = 0);

// Calendar fields of a FileTime, taken as it stands (no time zone is applied).
SystemTime ToSystemTime(FileTime time);
// Empty for fields outside the calendar (month 13, 30 February, …) or before 1601.
std::optional<FileTime> ToFileTime(const SystemTime& time);

// The clock the whole program reads. Tests set it to a fixed instant; by default it is the
// system's real-time clock.
class Clock {
public:
    static FileTime NowUtc();
    static void SetFixed(FileTime utc);
    static void UseSystem();
};

// Now, in UTC and in the local time zone of the process (TZ), from Clock.
SystemTime GetSystemTime();
SystemTime GetLocalTime();

// A UTC instant in the local time zone, and back.
FileTime UtcToLocal(FileTime utc);
FileTime LocalToUtc(FileTime local);

}  // namespace platform
