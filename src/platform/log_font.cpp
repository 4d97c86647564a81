#include "platform/log_font.h"

#include <QtEndian>

#include <algorithm>
#include <cmath>

#include "platform/mul_div.h"
#include "platform/screen_metrics.h"

namespace platform {
namespace {

constexpr int kNonAntialiasedQuality = 3;

void PutInt32(char* at, int32_t value) {
    qToLittleEndian<int32_t>(value, at);
}
int32_t GetInt32(const char* at) {
    return qFromLittleEndian<int32_t>(at);
}

}  // namespace

QString LogFont::Face() const {
    const auto end = std::find(faceName.begin(), faceName.end(), u'\0');
    return QString::fromUtf16(faceName.data(), end - faceName.begin());
}

void LogFont::SetFace(const QString& face) {
    faceName.fill(u'\0');
    const int count = std::min<int>(int(face.size()), kFaceChars - 1);
    for (int i = 0; i < count; ++i) {
        faceName[size_t(i)] = char16_t(face.at(i).unicode());
    }
}

QByteArray LogFont::ToBytes() const {
    QByteArray bytes(kByteSize, '\0');
    char* out = bytes.data();
    PutInt32(out + 0, height);
    PutInt32(out + 4, width);
    PutInt32(out + 8, escapement);
    PutInt32(out + 12, orientation);
    PutInt32(out + 16, weight);
    const uint8_t flags[8] = {italic,       underline,     strikeOut, charSet,
                              outPrecision, clipPrecision, quality,   pitchAndFamily};
    std::copy(std::begin(flags), std::end(flags), out + 20);
    for (int i = 0; i < kFaceChars; ++i) {
        qToLittleEndian<uint16_t>(uint16_t(faceName[size_t(i)]), out + 28 + 2 * i);
    }
    return bytes;
}

std::optional<LogFont> LogFont::FromBytes(const QByteArray& bytes) {
    if (bytes.size() != kByteSize) {
        return std::nullopt;
    }
    const char* in = bytes.constData();
    LogFont font;
    font.height = GetInt32(in + 0);
    font.width = GetInt32(in + 4);
    font.escapement = GetInt32(in + 8);
    font.orientation = GetInt32(in + 12);
    font.weight = GetInt32(in + 16);
    font.italic = uint8_t(in[20]);
    font.underline = uint8_t(in[21]);
    font.strikeOut = uint8_t(in[22]);
    font.charSet = uint8_t(in[23]);
    font.outPrecision = uint8_t(in[24]);
    font.clipPrecision = uint8_t(in[25]);
    font.quality = uint8_t(in[26]);
    font.pitchAndFamily = uint8_t(in[27]);
    for (int i = 0; i < kFaceChars; ++i) {
        font.faceName[size_t(i)] = char16_t(qFromLittleEndian<uint16_t>(in + 28 + 2 * i));
    }
    return font;
}

QFont ToQFont(const LogFont& font) {
    QFont result(font.Face());
    if (font.height != 0) {
        // Both signs become a pixel size: the em for negative heights, the cell for positive
        // ones, which the eye cannot tell apart at map label sizes.
        const int64_t magnitude = std::abs(int64_t{font.height});
        result.setPixelSize(int(std::clamp<int64_t>(magnitude, 1, 4096)));
    }
    // Weight 0 is "don't care"; heavier than 1000 (the position label asks for 1200) is the
    // heaviest face there is.
    const int weight = font.weight <= 0 ? 400 : std::clamp(font.weight, 1, 1000);
    result.setWeight(QFont::Weight(weight));
    result.setItalic(font.italic != 0);
    result.setUnderline(font.underline != 0);
    result.setStrikeOut(font.strikeOut != 0);
    if (font.quality == kNonAntialiasedQuality) {
        result.setStyleStrategy(QFont::NoAntialias);
    }
    return result;
}

LogFont FromQFont(const QFont& font) {
    LogFont result;
    const int pixels =
        font.pixelSize() > 0 ? font.pixelSize() : int(std::lround(font.pointSizeF() * 96.0 / 72.0));
    result.height = -pixels;
    result.weight = int32_t(font.weight());
    result.italic = font.italic() ? 1 : 0;
    result.underline = font.underline() ? 1 : 0;
    result.strikeOut = font.strikeOut() ? 1 : 0;
    if (font.styleStrategy() & QFont::NoAntialias) {
        result.quality = kNonAntialiasedQuality;
    }
    result.SetFace(font.family());
    return result;
}

LogFont BuiltInFont(int points, int weight, const ScreenMetrics& screen) {
    LogFont font;
    font.height = -MulDiv(points, screen.logPixelsY, 72);
    font.weight = weight;
    font.clipPrecision = 1;
    font.SetFace(QStringLiteral("Tahoma"));
    return font;
}

}  // namespace platform
