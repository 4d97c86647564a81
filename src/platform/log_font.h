#pragma once

#include <QByteArray>
#include <QFont>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>

namespace platform {

struct ScreenMetrics;

// A font description as the settings store keeps it: the handheld's LOGFONTW record, 92 bytes
// little-endian — five 32-bit values, eight bytes, then 32 UTF-16 characters of face name.
struct LogFont {
    static constexpr int kByteSize = 92;
    static constexpr int kFaceChars = 32;

    int32_t height = 0;  // negative: em size in pixels; positive: cell height in pixels
    int32_t width = 0;
    int32_t escapement = 0;  // tenths of a degree, counter-clockwise
    int32_t orientation = 0;
    int32_t weight = 0;  // 0 (don't care) to 1000; 400 normal, 700 bold
    uint8_t italic = 0;
    uint8_t underline = 0;
    uint8_t strikeOut = 0;
    uint8_t charSet = 0;
    uint8_t outPrecision = 0;
    uint8_t clipPrecision = 0;
    uint8_t quality = 0;  // 3 non-antialiased, 4 antialiased, 5 ClearType
    uint8_t pitchAndFamily = 0;
    std::array<char16_t, kFaceChars> faceName{};  // NUL-terminated unless all 32 are used

    bool operator==(const LogFont&) const = default;

    QString Face() const;
    void SetFace(const QString& face);  // cut to 31 characters and terminated

    QByteArray ToBytes() const;
    // Empty unless `bytes` holds exactly 92 bytes.
    static std::optional<LogFont> FromBytes(const QByteArray& bytes);
};

// The QFont a LogFont describes. The escapement is not part of a QFont: who draws the text
// turns the painter by it.
QFont ToQFont(const LogFont& font);
LogFont FromQFont(const QFont& font);

// The program's built-in font of a point size and weight: height −MulDiv(points, LOGPIXELSY, 72),
// clip precision 1, face "Tahoma" (fontconfig picks the nearest installed face).
LogFont BuiltInFont(int points, int weight, const ScreenMetrics& screen);

}  // namespace platform
