#include "poi/poi_announcement.h"

#include <gtest/gtest.h>

#include <QImage>

#include "fixed_time.h"
#include "paint/paint_context.h"
#include "pixels.h"
#include "poi/poi_store.h"
#include "poi_home.h"
#include "qt_print.h"

namespace poi {
namespace {

constexpr float kPoiLat = 41.0f;
constexpr float kPoiLon = 23.0f;
// About 111.2 m of ground per thousandth of a degree of latitude.
constexpr float kKmPerDegLat = 111.19f;

float LatAtKm(float km) {
    return kPoiLat - km / kKmPerDegLat;
}

class AnnouncementTest : public ::testing::Test {
protected:
    AnnouncementTest() : store_(home_.Path(), &home_.Settings()) {
        store_.SetSoundPlayer(&player_);
        home_.Settings().Set(platform::settings::kPoiAnnounceMaxDistance2, "0.2");
        store_.ReadAnnounceDistances(home_.Settings());  // the defaults: 1.0 and 0.2 km
        store_.Reload();
    }
    // Fixes heading north along the POI's meridian, at these distances (km, negative: past it).
    std::vector<size_t> Drive(std::initializer_list<float> kms) {
        std::vector<size_t> announcements;
        for (float km : kms) {
            store_.CheckAnnouncements(LatAtKm(km), kPoiLon, text_);
            announcements.push_back(player_.played.size());
        }
        return announcements;
    }

    PoiHome home_;
    RecordingSoundPlayer player_;
    PoiStore store_;
    PoiAnnouncement text_;
};

TEST_F(AnnouncementTest, OneApproachAnnouncesTwiceAndAgainOnlyAfterLeavingTheBox) {
    EXPECT_EQ(store_.announceDistance1, 1.0);
    EXPECT_EQ(store_.announceDistance2, double(0.2f));
    store_.ParseLine(u"41|23|Fuel|Open 24 h|fuel.bmp|fuel.wav");
    // Approach, pass and move on, staying inside 0.02° (2.2 km): two announcements only.
    EXPECT_EQ(Drive({1.5f, 1.1f, 0.95f, 0.5f, 0.19f, 0.05f, -0.3f, -1.5f, -2.0f}),
              (std::vector<size_t>{0, 0, 1, 1, 2, 2, 2, 2, 2}));
    EXPECT_EQ(text_.Line1(), "Fuel");
    EXPECT_EQ(text_.Line2(), "Open 24 h");
    EXPECT_EQ(player_.played.back(), home_.PoiFile("fuel.wav"));
    // Coming back without leaving the box announces nothing; leaving it (0.02° and more)
    // makes the POI new again.
    EXPECT_EQ(Drive({-0.1f, 0.5f}), (std::vector<size_t>{2, 2}));
    EXPECT_EQ(Drive({-2.3f, -0.9f, -0.1f}), (std::vector<size_t>{2, 3, 4}));
}

TEST_F(AnnouncementTest, AFirstFixInsideTheInnerDistanceAnnouncesOnTwoFixes) {
    store_.ParseLine(u"41|23|A|B|a.bmp|a.wav");
    EXPECT_EQ(Drive({0.1f, 0.1f, 0.1f}), (std::vector<size_t>{1, 2, 2}));
}

TEST_F(AnnouncementTest, TwoPoisOnOneFixAreAnnouncedInOrderAndTheLaterOneShows) {
    store_.ParseLine(u"41|23|First|one|a.bmp|first.wav");
    store_.ParseLine(u"41.001|23|Second|two|a.bmp|second.wav");
    store_.ParseLine(u"41.0005|23|Silent|no sound|a.bmp");
    Drive({0.5f});
    ASSERT_EQ(player_.played.size(), 2u);
    EXPECT_EQ(player_.played[0], home_.PoiFile("first.wav"));
    EXPECT_EQ(player_.played[1], home_.PoiFile("second.wav"));
    EXPECT_EQ(text_.Line1(), "Second");
    EXPECT_FALSE(store_.Record(2).announcedFar);
}

TEST_F(AnnouncementTest, FarPoisAndDistancesThatAreNoNumbersAnnounceNothing) {
    // An outer distance of 5 km does not reach beyond the 0.02° box.
    store_.announceDistance1 = 5.0;
    store_.ParseLine(u"41|23.03|East|x|a.bmp|a.wav");
    Drive({0.0f});
    EXPECT_TRUE(player_.played.empty());

    home_.Settings().Set(platform::settings::kPoiAnnounceMaxDistance1, "near");
    store_.ReadAnnounceDistances(home_.Settings());
    EXPECT_EQ(store_.announceDistance1, 0.0);
    store_.ParseLine(u"41|23|Here|x|a.bmp|a.wav");
    Drive({0.05f});
    EXPECT_TRUE(player_.played.empty());
}

// The announcement on a 300 × 200 window, by the program's clock.
class AnnouncementDrawTest : public ::testing::Test {
protected:
    static constexpr platform::FileTime kSetAt{133000000000000000ull};

    int RedPixelsAfter(int seconds) {
        FixedClock clock(platform::FileTime{kSetAt.ticks + uint64_t(seconds) * 10000000ull});
        QImage image(300, 200, QImage::Format_RGB32);
        image.fill(Qt::gray);
        {
            paint::PaintContext context(&image);
            announcement_.Draw(context, 300, 200);
        }
        last_ = image;
        return CountPixels(image, QColor(237, 28, 36));
    }

    PoiAnnouncement announcement_;
    QImage last_;
};

TEST_F(AnnouncementDrawTest, TextShowsForSixteenSecondsCentredInRedOverWhite) {
    EXPECT_EQ(RedPixelsAfter(0), 0);  // nothing set yet
    {
        FixedClock clock(kSetAt);
        announcement_.Set("Fuel", "Open 24 h");
    }
    EXPECT_GT(RedPixelsAfter(0), 50);
    const QRect ink = InkBounds(last_, Qt::gray);
    EXPECT_NEAR(ink.center().x(), 150, 3);
    EXPECT_NEAR(ink.center().y(), 100, 3);
    EXPECT_GT(ink.height(), 40);  // two lines of 18-point text
    EXPECT_GT(CountPixels(last_, Qt::white), 50);

    EXPECT_GT(RedPixelsAfter(15), 50);
    EXPECT_EQ(RedPixelsAfter(16), 0);
    EXPECT_TRUE(announcement_.IsEmpty());
}

TEST_F(AnnouncementDrawTest, AnEmptySecondLineGivesOneLine) {
    {
        FixedClock clock(kSetAt);
        announcement_.Set("Fuel", "");
    }
    RedPixelsAfter(1);
    const int oneLine = InkBounds(last_, Qt::gray).height();
    {
        FixedClock clock(kSetAt);
        announcement_.Set("Fuel", "Fuel");
    }
    RedPixelsAfter(1);
    EXPECT_GT(InkBounds(last_, Qt::gray).height(), oneLine * 3 / 2);
}

}  // namespace
}  // namespace poi
