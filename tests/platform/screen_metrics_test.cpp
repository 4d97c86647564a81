#include "platform/screen_metrics.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>

namespace platform {
namespace {

TEST(ScreenMetrics, ParsesAHandheldWithItsSize) {
    const std::optional<ScreenMetrics> small =
        ScreenMetrics::Parse(QStringLiteral("240x320@53x71"));
    ASSERT_TRUE(small);
    EXPECT_EQ(small->widthPx, 240);
    EXPECT_EQ(small->heightPx, 320);
    EXPECT_EQ(small->widthMm, 53);
    EXPECT_EQ(small->heightMm, 71);
    EXPECT_EQ(small->logPixelsY, 96);
    EXPECT_EQ(small->workArea, QSize(240, 320));

    const std::optional<ScreenMetrics> vga = ScreenMetrics::Parse(QStringLiteral("480x640@53x71"));
    ASSERT_TRUE(vga);
    EXPECT_EQ(vga->logPixelsY, 192);
}

TEST(ScreenMetrics, SizeWithoutMillimetresFollowsTheDensity) {
    const std::optional<ScreenMetrics> screen = ScreenMetrics::Parse(QStringLiteral("480x640"), 96);
    ASSERT_TRUE(screen);
    EXPECT_EQ(screen->widthMm, 127);
    EXPECT_EQ(screen->heightMm, 169);
    EXPECT_EQ(screen->logPixelsY, 96);
}

TEST(ScreenMetrics, RejectsMalformedSizes) {
    for (const char* text :
         {"", "240", "240x", "x320", "0x320", "240x0", "240x320@0x71", "240x320@53", "-240x320",
          "240*320", "240x320@53x71x2", "999999x320"}) {
        EXPECT_FALSE(ScreenMetrics::Parse(QString::fromLatin1(text))) << text;
    }
}

TEST(ScreenMetrics, ReadsTheQtScreen) {
    const ScreenMetrics metrics = ScreenMetrics::FromPrimaryScreen();
    const QScreen* screen = QGuiApplication::primaryScreen();
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(metrics.widthPx, screen->size().width());
    EXPECT_EQ(metrics.heightPx, screen->size().height());
    EXPECT_GT(metrics.widthMm, 0);
    EXPECT_GT(metrics.heightMm, 0);
    EXPECT_GT(metrics.logPixelsY, 0);
    EXPECT_FALSE(metrics.workArea.isEmpty());
}

}  // namespace
}  // namespace platform
