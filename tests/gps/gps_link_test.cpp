// The receiver link over the scripted driver back end: fix state, usability rules, texts, the
// posted notifications, and the worker's life.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QObject>

#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <thread>
#include <utility>
#include <vector>

#include "gps/gps_link.h"
#include "gps/gps_sources.h"
#include "scripted_gps.h"
#include "temp_home.h"

namespace {

struct Note {
    int status;
    int detail;
    gps::GpsNotifyEvent copy{0, 0};
};

class Collector : public QObject {
public:
    std::vector<std::pair<int, int>> codes;
    std::vector<std::unique_ptr<gps::GpsNotifyEvent>> notes;

    // Processes posted events until `count` notifications arrived or timeoutMs passed.
    bool WaitFor(size_t count, int timeoutMs = 5000) {
        QElapsedTimer timer;
        timer.start();
        while (notes.size() < count && timer.elapsed() < timeoutMs) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return notes.size() >= count;
    }
    // Lets anything still in flight arrive.
    void Settle(int ms = 150) {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < ms) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
    }

protected:
    void customEvent(QEvent* event) override {
        const gps::GpsNotifyEvent* note = gps::GpsNotifyEvent::From(event);
        if (note == nullptr)
            return;
        codes.emplace_back(note->status, note->detail);
        auto copy = std::make_unique<gps::GpsNotifyEvent>(note->status, note->detail);
        copy->position = note->position;
        copy->horizontalAccuracy = note->horizontalAccuracy;
        copy->verticalAccuracy = note->verticalAccuracy;
        copy->satellitesUsed = note->satellitesUsed;
        copy->latitudeText = note->latitudeText;
        copy->longitudeText = note->longitudeText;
        copy->latitudeShortText = note->latitudeShortText;
        copy->longitudeShortText = note->longitudeShortText;
        notes.push_back(std::move(copy));
    }
};

using Codes = std::vector<std::pair<int, int>>;

class GpsLinkTest : public ::testing::Test {
protected:
    void SetUp() override { link.SetOwner(&collector); }

    std::shared_ptr<GpsScript> script = std::make_shared<GpsScript>();
    GpsScript::Installed installed{script};
    Collector collector;
    gps::GpsLink link;
};

TEST_F(GpsLinkTest, GainedFixThenUsablePositionsWithFiguresAndTexts) {
    ASSERT_EQ(link.Open(), 1);
    EXPECT_TRUE(link.IsOpen());
    script->Push(GoodFix(37.9, -122.4194));
    script->Push(GoodFix(-5.5, 23.725));
    ASSERT_TRUE(collector.WaitFor(3));
    EXPECT_EQ(collector.codes, (Codes{{1, 1}, {0, 0}, {0, 0}}));
    const gps::GpsNotifyEvent& first = *collector.notes[1];
    EXPECT_EQ(first.latitudeText, QString::fromUtf8("37°54.0001N"));
    EXPECT_EQ(first.longitudeText, QString::fromUtf8("122°25.1642W"));
    // PDOP 1.8 is 1.79999995 as a float: × 2.5 + 0.5 is 4.9999998, truncated to 4.
    EXPECT_EQ(first.horizontalAccuracy, 4);
    EXPECT_EQ(first.verticalAccuracy, 8);  // VDOP 1.5 × 5.0 + 0.5 = 8.0
    EXPECT_EQ(first.satellitesUsed, 8);
    EXPECT_DOUBLE_EQ(first.position.latitude, 37.9);
    const gps::GpsNotifyEvent& second = *collector.notes[2];
    EXPECT_EQ(second.latitudeShortText, QByteArray("0530.00S"));
    EXPECT_EQ(second.longitudeShortText, QByteArray("02343.50E"));
    // Each notification keeps its own copy: the second position did not overwrite the first.
    EXPECT_DOUBLE_EQ(second.position.latitude, -5.5);
}

TEST_F(GpsLinkTest, HdopLimitIsInclusiveAndMissingHdopIsUnusable) {
    ASSERT_EQ(link.Open(), 1);
    platform::GpsPosition eight = GoodFix(10.0, 10.0);
    eight.horizontalDilutionOfPrecision = 8.0f;
    platform::GpsPosition above = eight;
    above.horizontalDilutionOfPrecision = 8.01f;
    platform::GpsPosition none = eight;
    none.validFields &= ~platform::kGpsValidHorizontalDilutionOfPrecision;
    script->Push(eight);
    script->Push(above);
    script->Push(none);
    ASSERT_TRUE(collector.WaitFor(4));
    EXPECT_EQ(collector.codes, (Codes{{1, 1}, {0, 0}, {2, 0}, {2, 0}}));
}

TEST_F(GpsLinkTest, FourSatellitesAreUnusableWithTextsUpdatedFiveAreUsable) {
    ASSERT_EQ(link.Open(), 1);
    platform::GpsPosition four = GoodFix(37.9, 23.725);
    four.satelliteCount = 4;
    platform::GpsPosition five = GoodFix(37.9, 23.725);
    five.satelliteCount = 5;
    // No satellite count: the previous count (5) is kept.
    platform::GpsPosition unknown = GoodFix(1.0, 2.0);
    unknown.validFields &= ~platform::kGpsValidSatelliteCount;
    unknown.satelliteCount = 0;
    script->Push(four);
    script->Push(five);
    script->Push(unknown);
    ASSERT_TRUE(collector.WaitFor(4));
    EXPECT_EQ(collector.codes, (Codes{{1, 1}, {2, 0}, {0, 0}, {0, 0}}));
    EXPECT_EQ(collector.notes[1]->latitudeText, QString::fromUtf8("37°54.0001N"));
    EXPECT_EQ(collector.notes[1]->satellitesUsed, 4);
    EXPECT_EQ(collector.notes[3]->satellitesUsed, 5);
}

TEST_F(GpsLinkTest, ZeroLatitudeAndLongitudeTakeSouthAndWest) {
    ASSERT_EQ(link.Open(), 1);
    script->Push(GoodFix(0.0, 0.0));
    ASSERT_TRUE(collector.WaitFor(2));
    EXPECT_EQ(collector.notes[1]->latitudeText, QString::fromUtf8("00°0.0000S"));
    EXPECT_TRUE(collector.notes[1]->longitudeText.endsWith('W'));
    EXPECT_TRUE(collector.notes[1]->latitudeShortText.endsWith('S'));
}

TEST_F(GpsLinkTest, LostFixPostsOnceAndOtherQualityGainPostsDetailZero) {
    ASSERT_EQ(link.Open(), 1);
    script->Push(GoodFix(10.0, 10.0));
    script->Push(NoFix());
    script->Push(NoFix());
    platform::GpsPosition quality3 = GoodFix(10.0, 10.0);
    quality3.fixQuality = 3;
    script->Push(quality3);
    platform::GpsPosition dgps = GoodFix(10.0, 10.0);
    dgps.fixQuality = platform::kGpsFixQualityDgps;
    script->Push(NoFix());
    script->Push(dgps);
    ASSERT_TRUE(collector.WaitFor(7));
    collector.Settle();
    EXPECT_EQ(collector.codes,
              (Codes{{1, 1}, {0, 0}, {1, 0}, {1, 0}, {0, 0}, {1, 0}, {1, 1}, {0, 0}}));
}

TEST_F(GpsLinkTest, PositionWithoutLatitudePostsNothingAfterTheFixNote) {
    ASSERT_EQ(link.Open(), 1);
    platform::GpsPosition noLatitude = GoodFix(10.0, 10.0);
    noLatitude.validFields &= ~platform::kGpsValidLatitude;
    script->Push(noLatitude);
    script->Push(GoodFix(10.0, 10.0));
    ASSERT_TRUE(collector.WaitFor(2));
    collector.Settle();
    EXPECT_EQ(collector.codes, (Codes{{1, 1}, {0, 0}}));
}

TEST_F(GpsLinkTest, OpenFailsWhenTheSourceCannotBeReached) {
    script->SetConnectable(false);
    EXPECT_EQ(link.Open(), 0);
    EXPECT_FALSE(link.IsOpen());
    link.Stop();  // harmless on a link that did not open
    script->SetConnectable(true);
    EXPECT_EQ(link.Open(), 1);
}

TEST_F(GpsLinkTest, StopClosesTheDeviceAndFixStateSurvivesAReopen) {
    ASSERT_EQ(link.Open(), 1);
    script->Push(GoodFix(10.0, 10.0));
    ASSERT_TRUE(collector.WaitFor(2));
    link.Stop();
    QElapsedTimer timer;
    timer.start();
    while (link.IsOpen() && timer.elapsed() < 3000) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_FALSE(link.IsOpen());
    ASSERT_EQ(link.Open(), 1);
    script->Push(GoodFix(11.0, 11.0));
    ASSERT_TRUE(collector.WaitFor(3));
    // The fix state was 1 when the link stopped: no second (1, 1).
    EXPECT_EQ(collector.codes, (Codes{{1, 1}, {0, 0}, {0, 0}}));
}

TEST_F(GpsLinkTest, OpenRightAfterStopLeavesTheLinkRunning) {
    ASSERT_EQ(link.Open(), 1);
    link.Stop();
    ASSERT_EQ(link.Open(), 1);
    script->Push(GoodFix(10.0, 10.0));
    ASSERT_TRUE(collector.WaitFor(2)) << "the reopened link reports nothing";
    EXPECT_TRUE(link.IsOpen());
}

TEST_F(GpsLinkTest, SourceLossReconnectsAndPositionsResume) {
    ASSERT_EQ(link.Open(), 1);
    script->Push(GoodFix(10.0, 10.0));
    ASSERT_TRUE(collector.WaitFor(2));
    script->DropConnection();
    script->Push(GoodFix(12.0, 12.0));
    ASSERT_TRUE(collector.WaitFor(5, 8000));
    EXPECT_GE(script->Connects(), 2);
    EXPECT_EQ(collector.codes, (Codes{{1, 1}, {0, 0}, {1, 0}, {1, 1}, {0, 0}}));
    EXPECT_DOUBLE_EQ(collector.notes[4]->position.latitude, 12.0);
}

TEST_F(GpsLinkTest, ASourceThatFallsSilentOrGoesAwayPostsTheFixLost) {
    ASSERT_EQ(link.Open(), 1);
    script->Push(GoodFix(10.0, 10.0));
    ASSERT_TRUE(collector.WaitFor(2));
    QElapsedTimer silence;
    silence.start();
    ASSERT_TRUE(collector.WaitFor(3, platform::kGpsSilenceNoticeMs + 3000))
        << "nothing posted for a source silent since";
    EXPECT_GE(silence.elapsed(), platform::kGpsSilenceNoticeMs - 200);

    script->Push(GoodFix(11.0, 10.0));
    ASSERT_TRUE(collector.WaitFor(5));
    script->SetConnectable(false);
    script->DropConnection();
    ASSERT_TRUE(collector.WaitFor(6, 2000)) << "nothing posted for a lost source";
    collector.Settle();
    EXPECT_EQ(collector.codes, (Codes{{1, 1}, {0, 0}, {1, 0}, {1, 1}, {0, 0}, {1, 0}}));
}

// Failing opens between good ones, stops at any point, and a source that goes away and stays away
// while the link stops: the device's retries and the worker's waits never outlive their events
// (this is what the thread checker runs over).
TEST_F(GpsLinkTest, OpenStopCyclesWithFailingOpensAndALostSource) {
    platform::SetGpsRetryTimes(1, 4);
    for (int round = 0; round < 30; ++round) {
        const bool reachable = round % 3 != 0;
        script->SetConnectable(reachable);
        ASSERT_EQ(link.Open(), reachable ? 1 : 0) << "round " << round;
        if (reachable && round % 2 == 0) {
            script->Push(GoodFix(10.0, 10.0));
            script->SetConnectable(false);
            script->DropConnection();  // the device now retries every few milliseconds
            std::this_thread::sleep_for(std::chrono::milliseconds(round % 5));
        }
        link.Stop();
    }
    platform::SetGpsRetryTimes(platform::kGpsRetryFirstMs, platform::kGpsRetryMaxMs);
    script->SetConnectable(true);
    ASSERT_EQ(link.Open(), 1);
    collector.Settle(50);
    const size_t before = collector.notes.size();
    script->Push(GoodFix(20.0, 20.0));
    ASSERT_TRUE(collector.WaitFor(before + 1)) << "the link reports nothing after the cycles";
    EXPECT_DOUBLE_EQ(collector.notes.back()->position.latitude, 20.0);
}

TEST(GpsLinkFiguresTest, DilutionsFarOutOfRangeGiveFiguresInRange) {
    {
        // A source that hands the link dilutions beyond any integer figure.
        auto script = std::make_shared<GpsScript>();
        GpsScript::Installed installed(script);
        Collector collector;
        gps::GpsLink link;
        link.SetOwner(&collector);
        ASSERT_EQ(link.Open(), 1);
        platform::GpsPosition huge = GoodFix(10.0, 10.0);
        huge.positionDilutionOfPrecision = 1e10f;
        huge.verticalDilutionOfPrecision = 1e10f;
        script->Push(huge);
        ASSERT_TRUE(collector.WaitFor(2));
        EXPECT_EQ(collector.notes[1]->horizontalAccuracy, std::numeric_limits<int32_t>::max());
        EXPECT_EQ(collector.notes[1]->verticalAccuracy, std::numeric_limits<int32_t>::max());
    }
    // A replayed track whose receiver wrote absurd dilutions: they are no figures at all.
    TempHome home;
    ASSERT_TRUE(home.Write("t.gpx", R"(<?xml version="1.0"?>
<gpx version="1.1" xmlns="http://www.topografix.com/GPX/1/1"><trk><trkseg>
<trkpt lat="45.0" lon="13.0"><hdop>1.2</hdop><pdop>1e9</pdop><vdop>1e9</vdop></trkpt>
</trkseg></trk></gpx>)"));
    const platform::GpsBackendFactory previous =
        platform::SetGpsBackendFactory(&gps::MakeGpsBackend);
    platform::SetGpsSource("replay:" + home.File("t.gpx").toStdString() + "?speed=0");
    Collector collector;
    {
        gps::GpsLink link;
        link.SetOwner(&collector);
        ASSERT_EQ(link.Open(), 1);
        ASSERT_TRUE(collector.WaitFor(2));
    }
    platform::SetGpsSource(platform::kDefaultGpsSource);
    platform::SetGpsBackendFactory(previous);
    ASSERT_EQ(collector.codes[1], std::make_pair(0, 0));
    const gps::GpsNotifyEvent& replayed = *collector.notes[1];
    EXPECT_FALSE(replayed.position.Has(platform::kGpsValidPositionDilutionOfPrecision));
    EXPECT_FALSE(replayed.position.Has(platform::kGpsValidVerticalDilutionOfPrecision));
    EXPECT_GE(replayed.horizontalAccuracy, 0);
    EXPECT_LE(replayed.horizontalAccuracy, 250);
    EXPECT_GE(replayed.verticalAccuracy, 0);
    EXPECT_LE(replayed.verticalAccuracy, 500);
}

TEST(GpsLinkLifeTest, DestructionWhileTheWorkerRunsIsSafe) {
    auto script = std::make_shared<GpsScript>();
    GpsScript::Installed installed(script);
    Collector collector;
    for (int round = 0; round < 20; ++round) {
        auto link = std::make_unique<gps::GpsLink>();
        link->SetOwner(&collector);
        ASSERT_EQ(link->Open(), 1);
        // Positions in flight, the worker reading or waiting: destroy it at any point.
        for (int i = 0; i < round % 4; ++i) {
            script->Push(GoodFix(10.0 + i, 10.0));
        }
        if (round % 2 == 0) {
            link->Stop();
        }
        link.reset();
    }
    collector.Settle(50);
    SUCCEED();
}

}  // namespace
