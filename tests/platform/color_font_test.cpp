#include <gtest/gtest.h>

#include <QtEndian>

#include "platform/color.h"
#include "platform/log_font.h"
#include "platform/screen_metrics.h"

namespace platform {
namespace {

TEST(ColorRef, KeepsBlueGreenRedOrder) {
    const ColorRef cyan = 0x00FFFF00;  // the night label colour
    EXPECT_EQ(ToQColor(cyan), QColor(0, 255, 255));
    EXPECT_EQ(ToQColor(0x00241CED), QColor(237, 28, 36));
    EXPECT_EQ(Rgb(237, 28, 36), 0x00241CEDu);
    EXPECT_EQ(FromQColor(QColor(1, 2, 3)), 0x00030201u);
    EXPECT_EQ(ToQColor(0xFF000080), QColor(128, 0, 0)) << "the top byte is not a colour";
}

LogFont SampleFont() {
    LogFont font;
    font.height = -32;
    font.width = 3;
    font.escapement = 450;
    font.orientation = -7;
    font.weight = 800;
    font.italic = 1;
    font.underline = 0;
    font.strikeOut = 1;
    font.charSet = 2;
    font.outPrecision = 3;
    font.clipPrecision = 1;
    font.quality = 5;
    font.pitchAndFamily = 0x22;
    font.SetFace(QStringLiteral("Tahoma"));
    return font;
}

TEST(LogFont, HasTheDeviceByteLayout) {
    const QByteArray bytes = SampleFont().ToBytes();
    ASSERT_EQ(bytes.size(), 92);
    const char* raw = bytes.constData();
    EXPECT_EQ(qFromLittleEndian<int32_t>(raw + 0), -32);
    EXPECT_EQ(qFromLittleEndian<int32_t>(raw + 8), 450);
    EXPECT_EQ(qFromLittleEndian<int32_t>(raw + 12), -7);
    EXPECT_EQ(qFromLittleEndian<int32_t>(raw + 16), 800);
    EXPECT_EQ(raw[20], 1);
    EXPECT_EQ(raw[22], 1);
    EXPECT_EQ(raw[25], 1);
    EXPECT_EQ(raw[26], 5);
    EXPECT_EQ(uint8_t(raw[27]), 0x22);
    EXPECT_EQ(raw[28], 'T');
    EXPECT_EQ(raw[29], 0);
    EXPECT_EQ(raw[30], 'a');
    EXPECT_EQ(qFromLittleEndian<uint16_t>(raw + 28 + 2 * 6), 0) << "face name is terminated";
}

TEST(LogFont, RoundTripsThroughBytes) {
    const LogFont font = SampleFont();
    const std::optional<LogFont> back = LogFont::FromBytes(font.ToBytes());
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, font);
    EXPECT_EQ(back->Face(), QStringLiteral("Tahoma"));
}

TEST(LogFont, OnlyExactly92BytesAreAFont) {
    const QByteArray bytes = SampleFont().ToBytes();
    EXPECT_FALSE(LogFont::FromBytes(bytes.left(91)));
    EXPECT_FALSE(LogFont::FromBytes(bytes + '\0'));
    EXPECT_FALSE(LogFont::FromBytes(QByteArray()));
}

TEST(LogFont, FaceNamesAreCutToFit) {
    LogFont font;
    font.SetFace(QString(40, QLatin1Char('x')));
    EXPECT_EQ(font.Face().size(), 31);
    // A record from elsewhere may use all 32 characters without a terminator.
    QByteArray bytes = font.ToBytes();
    bytes[28 + 62] = 'y';
    const std::optional<LogFont> full = LogFont::FromBytes(bytes);
    ASSERT_TRUE(full);
    EXPECT_EQ(full->Face(), QString(31, QLatin1Char('x')) + QLatin1Char('y'));
}

TEST(LogFont, BecomesTheQFontItDescribes) {
    const QFont font = ToQFont(SampleFont());
    EXPECT_EQ(font.family(), QStringLiteral("Tahoma"));
    EXPECT_EQ(font.pixelSize(), 32);
    EXPECT_EQ(font.weight(), 800);
    EXPECT_TRUE(font.italic());
    EXPECT_TRUE(font.strikeOut());
    EXPECT_FALSE(font.underline());

    LogFont heavy = SampleFont();
    heavy.weight = 1200;
    EXPECT_EQ(ToQFont(heavy).weight(), 1000);
    heavy.weight = 0;
    EXPECT_EQ(ToQFont(heavy).weight(), QFont::Normal);
    heavy.quality = 3;
    EXPECT_TRUE(ToQFont(heavy).styleStrategy() & QFont::NoAntialias);

    const LogFont back = FromQFont(ToQFont(SampleFont()));
    EXPECT_EQ(back.height, -32);
    EXPECT_EQ(back.weight, 800);
    EXPECT_EQ(back.Face(), QStringLiteral("Tahoma"));
}

TEST(LogFont, BuiltInFontFollowsTheScreenDensity) {
    ScreenMetrics handheld;
    handheld.logPixelsY = 96;
    const LogFont speed = BuiltInFont(24, 800, handheld);
    EXPECT_EQ(speed.height, -32);
    EXPECT_EQ(speed.weight, 800);
    EXPECT_EQ(speed.clipPrecision, 1);
    EXPECT_EQ(speed.quality, 0);
    EXPECT_EQ(speed.charSet, 0);
    EXPECT_EQ(speed.Face(), QStringLiteral("Tahoma"));

    ScreenMetrics vga;
    vga.logPixelsY = 192;
    EXPECT_EQ(BuiltInFont(8, 400, vga).height, -21);
    EXPECT_EQ(BuiltInFont(12, 1200, handheld).height, -16);
}

}  // namespace
}  // namespace platform
