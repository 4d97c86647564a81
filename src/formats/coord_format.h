#pragma once

// Conversions between latitudes and longitudes and their texts: the GPS link's display and short
// texts, the styles of the coordinate fields, degrees and minutes back to signed degrees, and the
// decimal-number reader of POI files. All arithmetic is single precision on purpose; its rounding
// errors show in the texts (37.9 prints as 37.900002).
//
// Angles are signed decimal degrees, north and east positive.

#include <QByteArray>
#include <QChar>
#include <QString>

namespace formats {

struct DegreesMinutes {
    int sign = 1;          // -1 for a value below 0, else +1: 0 and -0.0 count as north/east
    unsigned degrees = 0;  // whole degrees of the magnitude
    float minutes = 0.0f;  // fraction of a degree in minutes, [0, 60)
};

struct DegreesMinutesSeconds {
    int sign = 1;
    unsigned degrees = 0;
    unsigned minutes = 0;  // whole minutes
    float seconds = 0.0f;
};

// The fraction is split off and scaled to minutes in double precision, then stored as a float.
DegreesMinutes SplitDegreesMinutes(float value);
// Single precision throughout; the seconds keep the float error (37.9 has 0.005 seconds).
DegreesMinutesSeconds SplitDegreesMinutesSeconds(float value);

// Styles of FormatLatitude and FormatLongitude. Examples are for latitude 37.9 and longitude
// 23.725; any other style number formats as kCoordStyleDecimal.
inline constexpr int kCoordStyleDegreesMinutes = 0;         // N37°54.00'   E 23°43.50'
inline constexpr int kCoordStyleDecimal = 1;                // 37.900002    23.725000
inline constexpr int kCoordStyleDegreesMinutesSeconds = 2;  // N37°54'0.005''
inline constexpr int kCoordStyleCompact = 3;                // 3754.00N     02343.50E
inline constexpr int kCoordStyleMaskedEntry = 4;            // N037°54.00'  E0023°43.50'
inline constexpr int kCoordStyleMaskedEntryAlt = 5;         // same as kCoordStyleMaskedEntry

// Styles 0, 3, 4 and 5 pad the degrees with blanks and print no digit for 0 degrees (style 0 of
// 0.25 is "N  °15.00'"); styles 3 to 5 then turn every blank into '0'. The letter is 'S'/'W' only
// for values below 0.
void FormatLatitude(float value, QString& text, int style);
void FormatLongitude(float value, QString& text, int style);

// Texts the GPS link keeps for each position, 37°54.0001N and 122°25.1642W. Unlike the styles
// above, the letter is 'N'/'E' only for values above 0, so 0 is 00°0.0000S.
QString FormatDisplayLatitude(float latitude);
QString FormatDisplayLongitude(float longitude);

// Size of the GPS link's single-byte buffers for the short texts, terminator included.
inline constexpr int kShortTextBufferSize = 10;

// Short single-byte texts, 0530.00S and 02343.50E. Any coordinate within ±90/±180 takes at most
// 9 bytes (18000.00W); a text that would be longer is cut to kShortTextBufferSize - 1 bytes.
QByteArray FormatShortLatitude(float latitude);
QByteArray FormatShortLongitude(float longitude);

// degrees + minutes / 60 in single precision, negative for the letters S, W, s and w; any other
// letter gives a positive value. Minutes beyond 60 are not refused.
float DegreesFromMinutes(int degrees, float minutes, QChar letter);

// Reads an optionally signed decimal number with '.' as the decimal point, after leading white
// space; the first character that is not part of it ends the number. Text without a digit gives 0.
// Independent of the locale.
float ParseDecimal(const QString& text);

// Removes the leading characters that QChar::isSpace accepts.
void TrimLeadingSpace(QString& text);

// A coordinate confirmed in a masked field: the signed value and its six-decimal text, which is
// how the value is written to a file (S 33°52.00' is -33.866665).
struct CoordValue {
    CoordValue();
    CoordValue(int degrees, float minutes, QChar letter);

    float value = 0.0f;
    QString text;
};

}  // namespace formats
