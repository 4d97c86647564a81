#pragma once

#include <string_view>

namespace app {

// Version figures taken from a build date such as "Jan 12 2008".
struct BuildDate {
    int year = 0;
    int dayNumber = 0;  // month × 100 + day: 112 for 12 January, 1105 for 5 November
};

// Month from the English three-letter name (0 when it is none of them), day and year as
// integers, blanks between them (the compiler pads a one-digit day with a second blank).
BuildDate ParseBuildDate(std::string_view text);

// The date this program was compiled, in the compiler's "Mmm dd yyyy" form.
const char* CompiledDate();

}  // namespace app
