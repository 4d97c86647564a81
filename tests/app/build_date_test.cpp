#include "app/build_date.h"

#include <gtest/gtest.h>

namespace app {
namespace {

TEST(BuildDate, DayNumberIsMonthThenTwoDigitDay) {
    struct Case {
        const char* text;
        int year;
        int dayNumber;
    };
    for (const Case& c : {Case{"Jan 12 2008", 2008, 112}, Case{"Mar 9 2008", 2008, 309},
                          Case{"Mar  9 2026", 2026, 309}, Case{"Nov 5 2007", 2007, 1105},
                          Case{"Dec 31 1999", 1999, 1231}, Case{"Jan 1 2000", 2000, 101}}) {
        const BuildDate date = ParseBuildDate(c.text);
        EXPECT_EQ(date.year, c.year) << c.text;
        EXPECT_EQ(date.dayNumber, c.dayNumber) << c.text;
    }
}

TEST(BuildDate, UnknownMonthsAndMissingFields) {
    EXPECT_EQ(ParseBuildDate("jan 12 2008").dayNumber, 12) << "month names are case-sensitive";
    EXPECT_EQ(ParseBuildDate("Foo 12 2008").dayNumber, 12);
    EXPECT_EQ(ParseBuildDate("").dayNumber, 0);
    EXPECT_EQ(ParseBuildDate("").year, 0);
    EXPECT_EQ(ParseBuildDate("Dec").dayNumber, 1200);
}

TEST(BuildDate, TheCompiledDateParses) {
    const BuildDate date = ParseBuildDate(CompiledDate());
    EXPECT_GE(date.year, 2024);
    EXPECT_GE(date.dayNumber, 101);
    EXPECT_LE(date.dayNumber, 1231);
}

}  // namespace
}  // namespace app
