#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "app/about_dialog.h"
#include "app/resources.h"
#include "app/splash.h"
#include "pixels.h"

namespace app {
namespace {

TEST(Splash, BuildDayNumberGivesTheDate) {
    EXPECT_EQ(BuildDateText(2008, 112), QDate(2008, 1, 12).toString(QStringLiteral("dd")) +
                                            QLocale().monthName(1, QLocale::ShortFormat) + "2008");
    EXPECT_TRUE(BuildDateText(2008, 1231).startsWith("31"));
    EXPECT_TRUE(BuildDateText(2008, 1231).endsWith("2008"));
    EXPECT_EQ(BuildDateText(2008, 1231).mid(2, BuildDateText(2008, 1231).size() - 6),
              QLocale().monthName(12, QLocale::ShortFormat));
    EXPECT_EQ(BuildDateText(2026, 101).left(2), "01");
    EXPECT_TRUE(BuildDateText(2008, 1105).startsWith("05"));
    EXPECT_TRUE(BuildDateText(2008, 0).isEmpty());
}

TEST(Splash, SmallWorkAreaShowsThePictureAtItsSize) {
    const QImage picture = LoadBitmapResource(kSplashBitmapId);
    ASSERT_FALSE(picture.isNull());
    VlmSplashMFC small;
    ASSERT_EQ(small.Create(kSplashBitmapId, QSize(240, 320)), 1);
    EXPECT_FALSE(small.DoubleSize());
    EXPECT_EQ(small.geometry(), QRect(120 - picture.width() / 2, 160 - picture.height() / 2,
                                      picture.width(), picture.height()));
    VlmSplashMFC large;
    ASSERT_EQ(large.Create(kSplashBitmapId, QSize(480, 640)), 1);
    EXPECT_TRUE(large.DoubleSize());
    EXPECT_EQ(large.geometry(), QRect(240 - picture.width(), 320 - picture.height(),
                                      2 * picture.width(), 2 * picture.height()));
    EXPECT_EQ(large.windowTitle(), "Velmora initializing ...");
}

TEST(Splash, VersionTextIsDrawnInTealRightOfTheEmblem) {
    VlmSplashMFC splash;
    ASSERT_EQ(splash.Create(kSplashBitmapId, QSize(240, 320)), 1);
    const QImage before = splash.grab().toImage();
    splash.SetVersion(2008, 112);
    EXPECT_TRUE(splash.VersionText().startsWith("Version 2008.112\r\n"));
    const QImage after = splash.grab().toImage();
    // Text colour 0x00808000 is RGB (0, 128, 128); only new pixels count.
    QRect changed;
    for (int y = 0; y < after.height(); ++y) {
        for (int x = 0; x < after.width(); ++x) {
            if (after.pixel(x, y) != before.pixel(x, y)) {
                changed |= QRect(x, y, 1, 1);
            }
        }
    }
    ASSERT_FALSE(changed.isEmpty());
    EXPECT_GE(changed.left(), 90);
    EXPECT_GE(changed.top(), 17);
    EXPECT_GT(CountPixels(after, QColor(0, 128, 128)), 20);
}

TEST(Splash, MissingBitmapShowsNothing) {
    VlmSplashMFC splash;
    EXPECT_EQ(splash.Create(9999, QSize(240, 320)), 0);
    EXPECT_FALSE(splash.isVisible());
}

TEST(AboutDialog, LaysOutFromTheTemplateOfTheScreensShape) {
    AboutDialog portrait(QSize(240, 320));
    EXPECT_EQ(portrait.TemplateId(), kAboutPortraitTemplate);
    AboutDialog landscape(QSize(320, 240));
    EXPECT_EQ(landscape.TemplateId(), kAboutLandscapeTemplate);
    AboutDialog square(QSize(300, 300));
    EXPECT_EQ(square.TemplateId(), kAboutLandscapeTemplate) << "height not greater than width";

    for (AboutDialog* dialog : {&portrait, &landscape}) {
        dialog->show();
        const DialogTemplate& layout = AboutTemplate(dialog->TemplateId());
        EXPECT_EQ(dialog->size(), dialog->ToPixels(QRect(QPoint(), layout.sizeDlu)).size());
        for (const DialogItem& item : layout.items) {
            ASSERT_NE(dialog->Control(item.id), nullptr);
            EXPECT_EQ(dialog->Control(item.id)->geometry(), dialog->ToPixels(item.rectDlu));
        }
    }
    EXPECT_GT(landscape.width(), portrait.width());
    EXPECT_EQ(portrait.Control(12345), nullptr);
    EXPECT_EQ(static_cast<QLabel*>(portrait.Control(kAboutTextId))->text(), "Velmora Version 1.0");
}

TEST(AboutDialog, OkCloses) {
    AboutDialog dialog(QSize(240, 320));
    dialog.show();
    auto* ok = static_cast<QPushButton*>(dialog.Control(kAboutOkId));
    EXPECT_EQ(ok->text(), "Ok");
    QTest::mouseClick(ok, Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(dialog.isVisible());
}

}  // namespace
}  // namespace app
