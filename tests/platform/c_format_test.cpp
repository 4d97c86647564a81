#include "platform/c_format.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace platform {
namespace {

// Switches the process to a locale with a decimal comma for one test, when the system has one.
class CommaLocale {
public:
    CommaLocale() {
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "C.UTF-8"}) {
            if (std::setlocale(LC_ALL, name) != nullptr &&
                std::string(std::localeconv()->decimal_point) == ",") {
                active_ = true;
                return;
            }
        }
        std::setlocale(LC_ALL, "C");
    }
    ~CommaLocale() { std::setlocale(LC_ALL, "C"); }
    bool active() const { return active_; }

private:
    bool active_ = false;
};

TEST(FormatC, FormatsLikePrintf) {
    EXPECT_EQ(FormatC("%f", 41.164673), "41.164673");
// The device's formats give a precision of 0 together with the 0 flag, which the C library
// ignores: padding with blanks and no digit at all for 0.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat"
    EXPECT_EQ(FormatC("%02.d|%03.d", 0, 7), "  |  7");
#pragma GCC diagnostic pop
    EXPECT_EQ(FormatC("%s=%d", "ZOOMRES", 12), "ZOOMRES=12");
    const std::string longText(1000, 'x');
    EXPECT_EQ(FormatC("%s!", longText.c_str()), longText + "!");
}

TEST(FormatC, IgnoresTheProcessLocale) {
    CommaLocale comma;
    if (!comma.active()) {
        GTEST_SKIP() << "no locale with a decimal comma installed";
    }
    EXPECT_EQ(FormatC("%.2f", 0.5), "0.50");
    EXPECT_DOUBLE_EQ(ParseCDouble("0.25"), 0.25);
}

TEST(ParseCDouble, ReadsTheLeadingNumber) {
    EXPECT_DOUBLE_EQ(ParseCDouble("0.485807"), 0.485807);
    EXPECT_DOUBLE_EQ(ParseCDouble("  -12.5e1xyz"), -125.0);
    EXPECT_DOUBLE_EQ(ParseCDouble("+3"), 3.0);
    EXPECT_DOUBLE_EQ(ParseCDouble("abc"), 0.0);
    EXPECT_DOUBLE_EQ(ParseCDouble(""), 0.0);
    EXPECT_DOUBLE_EQ(ParseCDouble("1,5"), 1.0);
}

}  // namespace
}  // namespace platform
