#include "formats/coord_format.h"

#include <clocale>
#include <cmath>
#include <limits>
#include <string>

#include <gtest/gtest.h>

namespace formats {
namespace {

enum class Axis { Latitude, Longitude };

QString Format(Axis axis, float value, int style) {
    QString text = QStringLiteral("stale");
    if (axis == Axis::Latitude) {
        FormatLatitude(value, text, style);
    } else {
        FormatLongitude(value, text, style);
    }
    return text;
}

struct DialogCase {
    Axis axis;
    float value;
    int style;
    const char* expected;  // UTF-8
};

void PrintTo(const DialogCase& c, std::ostream* os) {
    *os << (c.axis == Axis::Latitude ? "latitude " : "longitude ") << c.value << " style "
        << c.style;
}

class DialogStyleTest : public ::testing::TestWithParam<DialogCase> {};

TEST_P(DialogStyleTest, FormatsExactText) {
    const DialogCase& c = GetParam();
    EXPECT_EQ(Format(c.axis, c.value, c.style), QString::fromUtf8(c.expected));
}

constexpr Axis kLat = Axis::Latitude;
constexpr Axis kLon = Axis::Longitude;

INSTANTIATE_TEST_SUITE_P(MaskedEntry, DialogStyleTest,
                         ::testing::Values(DialogCase{kLat, 37.9f, 4, "N037°54.00'"},
                                           DialogCase{kLat, -5.5f, 4, "S005°30.00'"},
                                           DialogCase{kLat, 0.0f, 4, "N000°00.00'"},
                                           DialogCase{kLat, -0.0f, 4, "N000°00.00'"},
                                           DialogCase{kLat, 90.0f, 4, "N090°00.00'"},
                                           DialogCase{kLat, -90.0f, 4, "S090°00.00'"},
                                           DialogCase{kLon, 23.725f, 4, "E0023°43.50'"},
                                           DialogCase{kLon, -122.4194f, 4, "W0122°25.16'"},
                                           DialogCase{kLon, 0.0f, 4, "E0000°00.00'"},
                                           DialogCase{kLon, 180.0f, 4, "E0180°00.00'"},
                                           DialogCase{kLon, -180.0f, 4, "W0180°00.00'"},
                                           DialogCase{kLat, 37.9f, 5, "N037°54.00'"},
                                           DialogCase{kLon, -122.4194f, 5, "W0122°25.16'"}));

INSTANTIATE_TEST_SUITE_P(
    DegreesMinutes, DialogStyleTest,
    ::testing::Values(
        DialogCase{kLat, 37.9f, 0, "N37°54.00'"}, DialogCase{kLat, 0.25f, 0, "N  °15.00'"},
        DialogCase{kLat, -0.25f, 0, "S  °15.00'"}, DialogCase{kLat, -5.5f, 0, "S 5°30.00'"},
        DialogCase{kLon, 23.725f, 0, "E 23°43.50'"}, DialogCase{kLon, 0.25f, 0, "E   °15.00'"},
        DialogCase{kLon, -180.0f, 0, "W180°00.00'"},
        // Minutes that round up to 60 are printed as such, not carried.
        DialogCase{kLat, 41.99999f, 0, "N41°60.00'"}));

INSTANTIATE_TEST_SUITE_P(DegreesMinutesSeconds, DialogStyleTest,
                         ::testing::Values(DialogCase{kLat, 37.9f, 2, "N37°54'0.005''"},
                                           DialogCase{kLon, 23.725f, 2, "E23°43'30.001''"},
                                           DialogCase{kLat, -5.5f, 2, "S5°30'0.000''"},
                                           DialogCase{kLat, -0.0f, 2, "N0°0'0.000''"},
                                           DialogCase{kLat, -90.0f, 2, "S90°0'0.000''"},
                                           DialogCase{kLon, 180.0f, 2, "E180°0'0.000''"}));

INSTANTIATE_TEST_SUITE_P(Compact, DialogStyleTest,
                         ::testing::Values(DialogCase{kLat, -5.5f, 3, "0530.00S"},
                                           DialogCase{kLat, 37.9f, 3, "3754.00N"},
                                           DialogCase{kLat, -0.0f, 3, "0000.00N"},
                                           DialogCase{kLon, 8.5f, 3, "00830.00E"},
                                           DialogCase{kLon, -180.0f, 3, "18000.00W"}));

INSTANTIATE_TEST_SUITE_P(Decimal, DialogStyleTest,
                         ::testing::Values(DialogCase{kLat, 37.9f, 1, "37.900002"},
                                           DialogCase{kLon, -122.4194f, 1, "-122.419403"},
                                           DialogCase{kLat, -0.0f, 1, "-0.000000"},
                                           // Unknown styles print the plain value.
                                           DialogCase{kLat, 37.9f, 6, "37.900002"},
                                           DialogCase{kLon, 23.725f, -1, "23.725000"}));

struct GpsCase {
    Axis axis;
    float value;
    const char* display;  // UTF-8
    const char* shortText;
};

void PrintTo(const GpsCase& c, std::ostream* os) {
    *os << (c.axis == Axis::Latitude ? "latitude " : "longitude ") << c.value;
}

class GpsTextTest : public ::testing::TestWithParam<GpsCase> {};

TEST_P(GpsTextTest, FormatsDisplayAndShortText) {
    const GpsCase& c = GetParam();
    const bool latitude = c.axis == Axis::Latitude;
    const QString display =
        latitude ? FormatDisplayLatitude(c.value) : FormatDisplayLongitude(c.value);
    const QByteArray shortText =
        latitude ? FormatShortLatitude(c.value) : FormatShortLongitude(c.value);
    EXPECT_EQ(display, QString::fromUtf8(c.display));
    EXPECT_EQ(shortText, QByteArray(c.shortText));
    EXPECT_LT(shortText.size(), kShortTextBufferSize);
}

// 0 and -0.0 take 'S'/'W' here, unlike the dialog styles. 90 and 180 are the widest texts of
// valid coordinates, and so are minutes that round up to 60.
INSTANTIATE_TEST_SUITE_P(Positions, GpsTextTest,
                         ::testing::Values(GpsCase{kLat, 37.9f, "37°54.0001N", "3754.00N"},
                                           GpsCase{kLat, -5.5f, "05°30.0000S", "0530.00S"},
                                           GpsCase{kLat, 0.0f, "00°0.0000S", "0000.00S"},
                                           GpsCase{kLat, -0.0f, "00°0.0000S", "0000.00S"},
                                           GpsCase{kLat, 0.5f, "00°30.0000N", "0030.00N"},
                                           GpsCase{kLat, 90.0f, "90°0.0000N", "9000.00N"},
                                           GpsCase{kLat, -90.0f, "90°0.0000S", "9000.00S"},
                                           GpsCase{kLat, -89.99999f, "89°59.9995S", "8960.00S"},
                                           GpsCase{kLon, -122.4194f, "122°25.1642W", "12225.16W"},
                                           GpsCase{kLon, 23.725f, "023°43.5000E", "02343.50E"},
                                           GpsCase{kLon, 0.0f, "000°0.0000W", "00000.00W"},
                                           GpsCase{kLon, 180.0f, "180°0.0000E", "18000.00E"},
                                           GpsCase{kLon, -180.0f, "180°0.0000W", "18000.00W"},
                                           GpsCase{kLon, -179.99999f, "179°59.9991W",
                                                   "17960.00W"}));

TEST(GpsShortTextTest, NeverOutgrowsTheLinkBuffer) {
    const float inf = std::numeric_limits<float>::infinity();
    for (const float value :
         {1000.5f, -123456.0f, 1e30f, -inf, inf, std::numeric_limits<float>::quiet_NaN()}) {
        SCOPED_TRACE(value);
        EXPECT_LT(FormatShortLatitude(value).size(), kShortTextBufferSize);
        EXPECT_LT(FormatShortLongitude(value).size(), kShortTextBufferSize);
    }
    EXPECT_EQ(FormatShortLongitude(1000.5f), QByteArray("100030.00"));
}

TEST(SplitTest, SignComesFromTheValueBelowZero) {
    const DegreesMinutes south = SplitDegreesMinutes(-5.5f);
    EXPECT_EQ(south.sign, -1);
    EXPECT_EQ(south.degrees, 5u);
    EXPECT_EQ(south.minutes, 30.0f);

    EXPECT_EQ(SplitDegreesMinutes(-0.0f).sign, 1);
    EXPECT_EQ(SplitDegreesMinutesSeconds(-0.0f).sign, 1);

    const DegreesMinutesSeconds west = SplitDegreesMinutesSeconds(-122.5f);
    EXPECT_EQ(west.sign, -1);
    EXPECT_EQ(west.degrees, 122u);
    EXPECT_EQ(west.minutes, 30u);
    EXPECT_EQ(west.seconds, 0.0f);
}

TEST(SplitTest, NonFiniteAndHugeValuesFormatWithoutFailing) {
    const float inf = std::numeric_limits<float>::infinity();
    for (const float value : {inf, -inf, std::numeric_limits<float>::quiet_NaN(), 3e38f}) {
        SCOPED_TRACE(value);
        for (int style = 0; style <= 5; ++style) {
            EXPECT_FALSE(Format(kLat, value, style).isEmpty());
            EXPECT_FALSE(Format(kLon, value, style).isEmpty());
        }
        EXPECT_FALSE(FormatDisplayLatitude(value).isEmpty());
        EXPECT_FALSE(FormatDisplayLongitude(value).isEmpty());
    }
    EXPECT_EQ(SplitDegreesMinutes(3e38f).degrees, std::numeric_limits<unsigned>::max());
    EXPECT_EQ(SplitDegreesMinutes(std::numeric_limits<float>::quiet_NaN()).degrees, 0u);
}

struct LetterCase {
    int degrees;
    float minutes;
    char16_t letter;
    float expected;
};

class DegreesFromMinutesTest : public ::testing::TestWithParam<LetterCase> {};

TEST_P(DegreesFromMinutesTest, AppliesTheHemisphere) {
    const LetterCase& c = GetParam();
    EXPECT_EQ(DegreesFromMinutes(c.degrees, c.minutes, QChar(c.letter)), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Letters, DegreesFromMinutesTest,
    ::testing::Values(LetterCase{5, 30.0f, u'S', -5.5f}, LetterCase{5, 30.0f, u's', -5.5f},
                      LetterCase{5, 30.0f, u'W', -5.5f}, LetterCase{5, 30.0f, u'w', -5.5f},
                      LetterCase{5, 30.0f, u'N', 5.5f}, LetterCase{5, 30.0f, u'E', 5.5f},
                      LetterCase{5, 30.0f, u'n', 5.5f}, LetterCase{5, 30.0f, u'_', 5.5f},
                      LetterCase{0, 0.0f, u'N', 0.0f},
                      // Out-of-range minutes are converted as they are.
                      LetterCase{95, 75.0f, u'N', 96.25f}));

TEST(CoordValueTest, TextIsTheSingleFloatValueWithSixDecimals) {
    // In double precision S 33°52.00' would be -33.866667.
    const CoordValue south(33, 52.0f, u'S');
    EXPECT_EQ(south.value, DegreesFromMinutes(33, 52.0f, u'S'));
    EXPECT_EQ(south.text, QStringLiteral("-33.866665"));

    const CoordValue east(23, 43.5f, u'E');
    EXPECT_EQ(east.text, QStringLiteral("23.725000"));

    const CoordValue none;
    EXPECT_EQ(none.value, 0.0f);
    EXPECT_EQ(none.text, QStringLiteral("0.000000"));
}

TEST(CoordValueTest, MaskedEntryTextReadsBackToTheSameMinutes) {
    // The dialog reads degrees and minutes back out of its style-4 text.
    QString text;
    FormatLatitude(-33.866665f, text, kCoordStyleMaskedEntry);
    ASSERT_EQ(text, QString::fromUtf8("S033°52.00'"));
    const CoordValue back(text.mid(1, 3).toInt(), text.mid(5, 5).toFloat(), text[0]);
    EXPECT_EQ(back.text, QStringLiteral("-33.866665"));
}

struct ParseCase {
    const char* text;  // UTF-8
    float expected;
};

void PrintTo(const ParseCase& c, std::ostream* os) {
    *os << '"' << c.text << '"';
}

class ParseDecimalTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseDecimalTest, ReadsLeadingNumber) {
    const ParseCase& c = GetParam();
    const float parsed = ParseDecimal(QString::fromUtf8(c.text));
    EXPECT_EQ(parsed, c.expected);
    EXPECT_EQ(std::signbit(parsed), std::signbit(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Numbers, ParseDecimalTest,
    ::testing::Values(ParseCase{"  12.50xyz", 12.5f}, ParseCase{"-0.25", -0.25f},
                      ParseCase{"abc", 0.0f}, ParseCase{".5", 0.5f}, ParseCase{"-.5", -0.5f},
                      ParseCase{"+7", 7.0f}, ParseCase{"5.", 5.0f}, ParseCase{"1.2.3", 1.2f},
                      ParseCase{"1e3", 1.0f}, ParseCase{"12,5", 12.0f},
                      ParseCase{"\t\n 8.25", 8.25f},
                      ParseCase{"\u00A0\u30003", 3.0f},  // no-break and ideographic space
                      // Each fraction digit is weighted in single precision: 9 × 0.1f rounds
                      // one step above 0.9f.
                      ParseCase{"0.9", std::nextafter(0.9f, 1.0f)}));

INSTANTIATE_TEST_SUITE_P(WithoutDigits, ParseDecimalTest,
                         ::testing::Values(ParseCase{"", 0.0f}, ParseCase{"   ", 0.0f},
                                           ParseCase{"+", 0.0f}, ParseCase{"-", 0.0f},
                                           ParseCase{"-.", 0.0f}, ParseCase{"- 5", 0.0f},
                                           ParseCase{"--5", 0.0f}, ParseCase{"x12", 0.0f}));

TEST(TrimLeadingSpaceTest, RemovesOnlyLeadingSpace) {
    const struct {
        const char* text;
        const char* expected;
    } cases[] = {
        {"  \t\r\n\v\fx y ", "x y "}, {"\u00A0\u3000x", "x"}, {"x  ", "x  "}, {"   ", ""}, {"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        QString text = QString::fromUtf8(c.text);
        TrimLeadingSpace(text);
        EXPECT_EQ(text, QString::fromUtf8(c.expected));
    }
}

// Restores the process locale, which QApplication has set from the environment.
class ScopedProcessLocale {
public:
    ScopedProcessLocale() : saved_(std::setlocale(LC_ALL, nullptr)) {}
    ~ScopedProcessLocale() { std::setlocale(LC_ALL, saved_.c_str()); }
    ScopedProcessLocale(const ScopedProcessLocale&) = delete;
    ScopedProcessLocale& operator=(const ScopedProcessLocale&) = delete;

private:
    std::string saved_;
};

TEST(CoordFormatLocaleTest, DecimalCommaLocaleDoesNotChangeTexts) {
    ScopedProcessLocale restore;
    bool commaLocale = false;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "fr_FR.UTF-8", "fr_FR"}) {
        if (std::setlocale(LC_ALL, name) != nullptr &&
            std::string(std::localeconv()->decimal_point) == ",") {
            commaLocale = true;
            break;
        }
    }
    if (!commaLocale) {
        GTEST_SKIP() << "no locale with a decimal comma is installed";
    }

    EXPECT_EQ(Format(kLat, 37.9f, kCoordStyleDecimal), QStringLiteral("37.900002"));
    EXPECT_EQ(Format(kLat, 37.9f, kCoordStyleMaskedEntry), QString::fromUtf8("N037°54.00'"));
    EXPECT_EQ(Format(kLat, 37.9f, kCoordStyleDegreesMinutesSeconds),
              QString::fromUtf8("N37°54'0.005''"));
    EXPECT_EQ(Format(kLon, 8.5f, kCoordStyleCompact), QStringLiteral("00830.00E"));
    EXPECT_EQ(FormatDisplayLongitude(-122.4194f), QString::fromUtf8("122°25.1642W"));
    EXPECT_EQ(FormatShortLongitude(23.725f), QByteArray("02343.50E"));
    EXPECT_EQ(CoordValue(33, 52.0f, u'S').text, QStringLiteral("-33.866665"));
    EXPECT_EQ(ParseDecimal(QStringLiteral("12.5")), 12.5f);
}

}  // namespace
}  // namespace formats
