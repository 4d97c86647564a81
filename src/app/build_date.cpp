#include "app/build_date.h"

#include <charconv>
#include <string>

#include "platform/c_format.h"

namespace app {
namespace {

std::string_view NextToken(std::string_view& text) {
    const size_t start = text.find_first_not_of(" \t");
    if (start == std::string_view::npos) {
        text = {};
        return {};
    }
    text.remove_prefix(start);
    const size_t end = std::min(text.find_first_of(" \t"), text.size());
    const std::string_view token = text.substr(0, end);
    text.remove_prefix(end);
    return token;
}

// The leading decimal digits of a token, as the C library's integer conversion reads them.
int LeadingInt(std::string_view token) {
    int value = 0;
    const char* begin = token.data();
    if (!token.empty() && token.front() == '+') {
        ++begin;
    }
    std::from_chars(begin, token.data() + token.size(), value);
    return value;
}

}  // namespace

BuildDate ParseBuildDate(std::string_view text) {
    static constexpr std::string_view kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const std::string_view monthName = NextToken(text);
    int month = 0;
    for (int i = 0; i < 12; ++i) {
        if (monthName == kMonths[i]) {
            month = i + 1;
            break;
        }
    }
    const int day = LeadingInt(NextToken(text));
    BuildDate result;
    result.year = LeadingInt(NextToken(text));
    // The day number is the text of month and two-digit day read back as a number.
    result.dayNumber = LeadingInt(platform::FormatC("%d%.2d", month, day));
    return result;
}

const char* CompiledDate() {
    return __DATE__;
}

}  // namespace app
