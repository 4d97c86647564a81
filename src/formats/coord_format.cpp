#include "formats/coord_format.h"

#include <climits>
#include <cmath>
#include <string>

#include "platform/c_format.h"

namespace formats {
namespace {

// 1/60 as the float the conversions have always used; results depend on this exact value.
constexpr float kDegreesPerMinute = 0.016666668f;

// The formats below carry the degree sign as UTF-8 bytes.
static_assert(sizeof("\u00B0") == 3, "narrow literals must be UTF-8");

// Whole degrees or minutes as unsigned; NaN and magnitudes beyond the unsigned range, which have
// no defined conversion, saturate to 0 and UINT_MAX.
unsigned SaturatingUnsigned(double whole) {
    if (!(whole > 0.0)) {
        return 0;
    }
    if (whole >= double(UINT_MAX)) {
        return UINT_MAX;
    }
    return unsigned(whole);
}

char LetterFromSign(int sign, char positive, char negative) {
    return sign < 0 ? negative : positive;
}

char PositiveLetterAboveZero(float value, char positive, char negative) {
    return value > 0.0f ? positive : negative;
}

QString FromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

void BlanksToZeros(QString& text) {
    text.replace(u' ', u'0');
}

bool IsDecimalDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

float DigitValue(QChar c) {
    return float(c.unicode() - u'0');
}

// The '0' flag with precision 0 ("%02.d") is ignored by the C library: the degrees are padded with
// blanks and 0 degrees print no digit. The texts rely on exactly that, so the compiler's warning
// about the ignored flag is silenced here.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat"

QString FormatDialogText(float value, int style, bool longitude) {
    const char positive = longitude ? 'E' : 'N';
    const char negative = longitude ? 'W' : 'S';
    switch (style) {
        case kCoordStyleDegreesMinutes: {
            const DegreesMinutes dm = SplitDegreesMinutes(value);
            const char letter = LetterFromSign(dm.sign, positive, negative);
            return FromUtf8(
                platform::FormatC(longitude ? "%c%03.d\u00B0%05.2lf'" : "%c%02.d\u00B0%05.2lf'",
                                  letter, int(dm.degrees), double(dm.minutes)));
        }
        case kCoordStyleDegreesMinutesSeconds: {
            const DegreesMinutesSeconds dms = SplitDegreesMinutesSeconds(value);
            const char letter = LetterFromSign(dms.sign, positive, negative);
            return FromUtf8(platform::FormatC("%c%d\u00B0%d'%2.3lf''", letter, int(dms.degrees),
                                              int(dms.minutes), double(dms.seconds)));
        }
        case kCoordStyleCompact: {
            const DegreesMinutes dm = SplitDegreesMinutes(value);
            const char letter = LetterFromSign(dm.sign, positive, negative);
            QString text =
                FromUtf8(platform::FormatC(longitude ? "%03.d%05.2lf%c" : "%02.d%05.2lf%c",
                                           int(dm.degrees), double(dm.minutes), letter));
            BlanksToZeros(text);
            return text;
        }
        case kCoordStyleMaskedEntry:
        case kCoordStyleMaskedEntryAlt: {
            const DegreesMinutes dm = SplitDegreesMinutes(value);
            const char letter = LetterFromSign(dm.sign, positive, negative);
            // The blank after the letter becomes '0' too: a latitude has three digit places
            // before the degree sign and a longitude four.
            QString text = FromUtf8(
                platform::FormatC(longitude ? "%c %03.d\u00B0%05.2lf'" : "%c %02.d\u00B0%05.02f'",
                                  letter, int(dm.degrees), double(dm.minutes)));
            BlanksToZeros(text);
            return text;
        }
        case kCoordStyleDecimal:
        default:
            return FromUtf8(platform::FormatC("%lf", double(value)));
    }
}

#pragma GCC diagnostic pop

QByteArray FitShortTextBuffer(const std::string& text) {
    const size_t capacity = size_t(kShortTextBufferSize - 1);
    return QByteArray(text.data(), qsizetype(text.size() < capacity ? text.size() : capacity));
}

}  // namespace

DegreesMinutes SplitDegreesMinutes(float value) {
    DegreesMinutes dm;
    dm.sign = value < 0.0f ? -1 : 1;
    double whole = 0.0;
    const double fraction = std::modf(std::fabs(double(value)), &whole);
    dm.degrees = SaturatingUnsigned(whole);
    dm.minutes = float(fraction * 60.0);
    return dm;
}

DegreesMinutesSeconds SplitDegreesMinutesSeconds(float value) {
    DegreesMinutesSeconds dms;
    dms.sign = value < 0.0f ? -1 : 1;
    const float magnitude = float(dms.sign) * value;
    const float wholeDegrees = std::trunc(magnitude);
    const float fraction = magnitude - wholeDegrees;
    const float wholeMinutes = std::trunc(fraction * 60.0f);
    dms.degrees = SaturatingUnsigned(wholeDegrees);
    dms.minutes = SaturatingUnsigned(wholeMinutes);
    dms.seconds = (fraction - wholeMinutes * kDegreesPerMinute) * 3600.0f;
    return dms;
}

void FormatLatitude(float value, QString& text, int style) {
    text = FormatDialogText(value, style, false);
}

void FormatLongitude(float value, QString& text, int style) {
    text = FormatDialogText(value, style, true);
}

QString FormatDisplayLatitude(float latitude) {
    const DegreesMinutes dm = SplitDegreesMinutes(latitude);
    return FromUtf8(platform::FormatC("%02d\u00B0%.4f%c", int(dm.degrees), double(dm.minutes),
                                      PositiveLetterAboveZero(latitude, 'N', 'S')));
}

QString FormatDisplayLongitude(float longitude) {
    const DegreesMinutes dm = SplitDegreesMinutes(longitude);
    return FromUtf8(platform::FormatC("%03d\u00B0%02.4f%c", int(dm.degrees), double(dm.minutes),
                                      PositiveLetterAboveZero(longitude, 'E', 'W')));
}

QByteArray FormatShortLatitude(float latitude) {
    const DegreesMinutes dm = SplitDegreesMinutes(latitude);
    return FitShortTextBuffer(platform::FormatC("%02d%05.02f%c", int(dm.degrees),
                                                double(dm.minutes),
                                                PositiveLetterAboveZero(latitude, 'N', 'S')));
}

QByteArray FormatShortLongitude(float longitude) {
    const DegreesMinutes dm = SplitDegreesMinutes(longitude);
    return FitShortTextBuffer(platform::FormatC("%03d%05.02f%c", int(dm.degrees),
                                                double(dm.minutes),
                                                PositiveLetterAboveZero(longitude, 'E', 'W')));
}

float DegreesFromMinutes(int degrees, float minutes, QChar letter) {
    const float value = minutes * kDegreesPerMinute + float(degrees);
    const bool negative = letter == u'S' || letter == u'W' || letter == u's' || letter == u'w';
    return negative ? -value : value;
}

void TrimLeadingSpace(QString& text) {
    qsizetype count = 0;
    while (count < text.size() && text[count].isSpace()) {
        ++count;
    }
    text.remove(0, count);
}

float ParseDecimal(const QString& text) {
    QString rest = text;
    TrimLeadingSpace(rest);
    if (rest.isEmpty()) {
        return 0.0f;
    }
    qsizetype i = 0;
    const bool negative = rest[0] == u'-';
    if (negative || rest[0] == u'+') {
        ++i;
    }

    bool anyDigit = false;
    float whole = 0.0f;
    for (; i < rest.size() && IsDecimalDigit(rest[i]); ++i) {
        whole = whole * 10.0f + DigitValue(rest[i]);
        anyDigit = true;
    }

    float fraction = 0.0f;
    if (i < rest.size() && rest[i] == u'.') {
        float factor = 0.1f;
        for (++i; i < rest.size() && IsDecimalDigit(rest[i]); ++i) {
            fraction += DigitValue(rest[i]) * factor;
            factor *= 0.1f;
            anyDigit = true;
        }
    }

    if (!anyDigit) {
        return 0.0f;
    }
    const float value = whole + fraction;
    return negative ? -value : value;
}

CoordValue::CoordValue() : CoordValue(0, 0.0f, u'N') {}

CoordValue::CoordValue(int degrees, float minutes, QChar letter)
    : value(DegreesFromMinutes(degrees, minutes, letter)),
      text(FromUtf8(platform::FormatC("%f", double(value)))) {}

}  // namespace formats
