#pragma once

#include <cstdlib>
#include <ctime>
#include <string>

#include "platform/system_time.h"

// Runs a test in a fixed time zone (a POSIX TZ text) and puts the old one back.
class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* zone) {
        if (const char* old = std::getenv("TZ")) {
            old_ = old;
            hadOld_ = true;
        }
        setenv("TZ", zone, 1);
        tzset();
    }
    ~ScopedTimeZone() {
        if (hadOld_) {
            setenv("TZ", old_.c_str(), 1);
        } else {
            unsetenv("TZ");
        }
        tzset();
    }
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

private:
    std::string old_;
    bool hadOld_ = false;
};

// Holds the program's clock at one UTC instant for as long as it lives.
class FixedClock {
public:
    explicit FixedClock(platform::FileTime utc) { platform::Clock::SetFixed(utc); }
    ~FixedClock() { platform::Clock::UseSystem(); }
    FixedClock(const FixedClock&) = delete;
    FixedClock& operator=(const FixedClock&) = delete;
};
