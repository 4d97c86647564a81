#include "poi/route_recorder.h"

#include <gtest/gtest.h>

#include <QFileInfo>

#include "gpx_peers.h"
#include "poi/gpx_writer.h"
#include "routes_home.h"

namespace poi {
namespace {

const platform::SystemTime kStart{2008, 1, 2, 15, 9, 5, 7, 0};

QByteArray HeaderAt9h05() {
    return GpxHeader(kStart) + kRouteStartLine;
}

class RouteRecorderTest : public RoutesTest {
protected:
    RouteRecorderTest() : RoutesTest(2008, 1, 15, 9, 5, 7) {}
};

TEST_F(RouteRecorderTest, StartNamesTheFileAfterTheLocalMinute) {
    ASSERT_TRUE(routes_.IsValid());
    RouteRecorder recorder(routes_.Folder());
    EXPECT_FALSE(recorder.IsRecording());
    recorder.Start();
    ASSERT_TRUE(recorder.IsRecording());
    EXPECT_EQ(recorder.FilePath(), routes_.Path(QStringLiteral("2008_1_15__9_5.gpx")));
    const QList<QByteArray> lines = routes_.Read(QStringLiteral("2008_1_15__9_5.gpx")).split('\n');
    ASSERT_GE(lines.size(), 9);
    EXPECT_EQ(lines[7], "<time>2008-1-15T9:5:7Z</time>\r");
    EXPECT_EQ(lines[8], "<rte>\r");
    // Starting again while recording changes nothing.
    recorder.Start();
    EXPECT_EQ(routes_.Names(), QStringList{QStringLiteral("2008_1_15__9_5.gpx")});
}

TEST_F(RouteRecorderTest, ARecordingWithNoPointIsStillGpx) {
    RouteRecorder recorder(routes_.Folder());
    recorder.Start();
    recorder.Stop();
    EXPECT_FALSE(recorder.IsRecording());
    EXPECT_EQ(routes_.Read(QStringLiteral("2008_1_15__9_5.gpx")),
              HeaderAt9h05() + "</rte>\r\n</gpx>\r\n");
    recorder.Stop();
    EXPECT_EQ(routes_.Read(QStringLiteral("2008_1_15__9_5.gpx")).size(),
              HeaderAt9h05().size() + 16);
}

TEST_F(RouteRecorderTest, EachPointReachesTheSystemBeforeAddPointReturns) {
    RouteRecorder recorder(routes_.Folder());
    recorder.Start();
    recorder.AddPoint(41.164673f, -8.123456f, 12.5f);
    // Read through another open of the file while the recording runs.
    EXPECT_EQ(routes_.Read(QStringLiteral("2008_1_15__9_5.gpx")),
              HeaderAt9h05() +
                  "<rtept lat=\"41.164673\" lon=\"-8.123456\">\r\n"
                  "<ele>12.500000</ele>\r\n"
                  "</rtept>\r\n");
    recorder.Stop();
    EXPECT_TRUE(routes_.Read(QStringLiteral("2008_1_15__9_5.gpx"))
                    .endsWith("</rtept>\r\n</rte>\r\n</gpx>\r\n"));
}

TEST_F(RouteRecorderTest, ASecondRouteInTheSameMinuteGetsItsOwnFile) {
    RouteRecorder recorder(routes_.Folder());
    recorder.Start();
    recorder.AddPoint(50.0f, 8.0f, 100.0f);
    recorder.Stop();
    const QByteArray first = routes_.Read(QStringLiteral("2008_1_15__9_5.gpx"));
    recorder.Start();
    EXPECT_EQ(recorder.FilePath(), routes_.Path(QStringLiteral("2008_1_15__9_5_2.gpx")));
    recorder.Stop();
    EXPECT_EQ(routes_.Read(QStringLiteral("2008_1_15__9_5.gpx")), first);
}

TEST_F(RouteRecorderTest, ExitWhileRecordingLeavesACompleteFile) {
    {
        RouteRecorder recorder(routes_.Folder());
        recorder.Start();
        recorder.AddPoint(50.0f, 8.0f, 100.0f);
        recorder.AddPoint(50.001f, 8.001f, 101.0f);
    }
    const QByteArray bytes = routes_.Read(QStringLiteral("2008_1_15__9_5.gpx"));
    EXPECT_TRUE(bytes.endsWith("</rtept>\r\n</rte>\r\n</gpx>\r\n"));
    EXPECT_EQ(bytes.count("<rtept "), 2);
}

TEST_F(RouteRecorderTest, AFullStoreCostsThePointButNotTheFile) {
    const QString name = QStringLiteral("2008_1_15__9_5.gpx");
    RouteRecorder recorder(routes_.Folder());
    recorder.Start();
    recorder.AddPoint(50.0f, 8.0f, 100.0f);
    const QByteArray before = routes_.Read(name);
    {
        FileSizeLimit full(rlim_t(before.size()) + 20);  // room for part of one point
        recorder.AddPoint(50.1f, 8.1f, 100.0f);
    }
    EXPECT_EQ(routes_.Read(name), before);
    recorder.AddPoint(50.2f, 8.3f, 100.0f);
    recorder.Stop();
    EXPECT_EQ(routes_.Read(name), before + RoutePointLines(50.2f, 8.3f, 100.0f) + kRouteEndLines);
}

TEST_F(RouteRecorderTest, WithoutARoutesFolderTheRecorderStaysIdle) {
    RouteRecorder recorder(routes_.Folder() + QStringLiteral("/missing"));
    recorder.Start();
    EXPECT_FALSE(recorder.IsRecording());
    recorder.AddPoint(50.0f, 8.0f, 100.0f);
    recorder.Stop();
    EXPECT_TRUE(routes_.Names().isEmpty());
}

// The bearing filter, fed along a meridian 1/1000 degree at a time.
std::vector<bool> Offer(RouteRecorder& recorder, float latitude, float step, int count) {
    std::vector<bool> accepted;
    for (int i = 0; i < count; ++i) {
        accepted.push_back(recorder.Accept(latitude + step * float(i), 8.5f));
    }
    return accepted;
}

TEST(RouteFilter, GoingNorthEveryFixIsTakenGoingSouthStraightStepsAreDropped) {
    RouteRecorder north(QString{});
    // Bearing 0 counts as no bearing yet, so nothing is ever dropped going due north.
    EXPECT_EQ(Offer(north, 47.0f, 0.001f, 4), std::vector<bool>({true, true, true, true}));
    RouteRecorder south(QString{});
    EXPECT_EQ(Offer(south, 47.0f, -0.001f, 4), std::vector<bool>({true, true, false, false}));
}

TEST(RouteFilter, IdenticalFixesAreTakenAndTurnsAreKept) {
    RouteRecorder recorder(QString{});
    EXPECT_TRUE(recorder.Accept(47.0f, 8.5f));
    EXPECT_TRUE(recorder.Accept(47.0f, 8.5f));   // bearing 0: no bearing yet
    EXPECT_TRUE(recorder.Accept(47.0f, 8.6f));   // east, 90
    EXPECT_FALSE(recorder.Accept(47.0f, 8.7f));  // east again
    EXPECT_TRUE(recorder.Accept(46.9f, 8.7f));   // turn south, 180
    EXPECT_TRUE(recorder.Accept(46.9f, 8.6f));   // turn west, 270
    EXPECT_FALSE(recorder.Accept(46.9f, 8.5f));
}

TEST_F(RouteRecorderTest, OnlyAcceptedPointsAreWrittenAndTheFilterOutlivesARecording) {
    RouteRecorder recorder(routes_.Folder());
    recorder.Start();
    for (int i = 0; i < 4; ++i) {
        recorder.AddPoint(47.0f - 0.001f * float(i), 8.5f, 400.0f);
    }
    recorder.Stop();
    EXPECT_EQ(routes_.Read(QStringLiteral("2008_1_15__9_5.gpx")).count("<rtept "), 2);
    // The next recording still compares with the last fix and bearing of the previous one.
    recorder.Start();
    recorder.AddPoint(47.0f - 0.004f, 8.5f, 400.0f);
    recorder.Stop();
    EXPECT_EQ(routes_.Read(QStringLiteral("2008_1_15__9_5_2.gpx")).count("<rtept "), 0);
}

TEST_F(RouteRecorderTest, PeersReadBackTheRecordedPoints) {
    SKIP_WITHOUT_PEER("xmllint");
    SKIP_WITHOUT_PEER("gpsbabel");
    struct Fix {
        float latitude, longitude, altitude;
    };
    // A walk that turns at every fix, so that the filter keeps all of them.
    std::vector<Fix> fixes;
    for (int i = 0; i < 50; ++i) {
        fixes.push_back(
            {-33.85f + 0.0001f * float(i), 151.2f + 0.0001f * float(i * i % 7), 12.5f + float(i)});
    }
    RouteRecorder recorder(routes_.Folder());
    recorder.Start();
    std::vector<Fix> kept;
    for (const Fix& fix : fixes) {
        const QByteArray before = routes_.Read(QStringLiteral("2008_1_15__9_5.gpx"));
        recorder.AddPoint(fix.latitude, fix.longitude, fix.altitude);
        if (routes_.Read(QStringLiteral("2008_1_15__9_5.gpx")).size() != before.size()) {
            kept.push_back(fix);
        }
    }
    recorder.Stop();
    ASSERT_GT(kept.size(), 40u);
    const QString path = routes_.Path(QStringLiteral("2008_1_15__9_5.gpx"));
    QString errors;
    EXPECT_TRUE(IsWellFormed(path, &errors)) << errors.toStdString();
    const auto points = ReadWithGpsbabel(path, true);
    ASSERT_TRUE(points);
    ASSERT_EQ(points->size(), kept.size());
    for (size_t i = 0; i < kept.size(); ++i) {
        EXPECT_NEAR((*points)[i].latitude, kept[i].latitude, 1e-6) << i;
        EXPECT_NEAR((*points)[i].longitude, kept[i].longitude, 1e-6) << i;
        EXPECT_NEAR((*points)[i].altitude, kept[i].altitude, 1e-3) << i;
    }
}

// Route files as a crash leaves them, with where the repair cuts them.
TEST(UnfinishedRoute, CutsAfterTheLastWholePoint) {
    const QByteArray header = HeaderAt9h05();
    const QByteArray point = RoutePointLines(50.0f, 8.0f, 100.0f);
    EXPECT_EQ(UnfinishedRouteEnd(header), header.size());
    EXPECT_EQ(UnfinishedRouteEnd(header + point), header.size() + point.size());
    EXPECT_EQ(UnfinishedRouteEnd(header + point + point.left(20)), header.size() + point.size());
    EXPECT_EQ(UnfinishedRouteEnd(header + "<rtept lat=\"5"), header.size());
    EXPECT_EQ(UnfinishedRouteEnd(header + point + "</rte>\r\n"), header.size() + point.size());
    EXPECT_EQ(UnfinishedRouteEnd(header + point + QByteArray(4096, '\0')),
              header.size() + point.size());
    // Complete files, waypoint files, other programs' files and cut headers are not ours to mend.
    EXPECT_FALSE(UnfinishedRouteEnd(header + point + kRouteEndLines));
    EXPECT_FALSE(UnfinishedRouteEnd(GpxHeader(kStart) + "<wpt lat=\"1\" lon=\"2\">\r\n"));
    EXPECT_FALSE(UnfinishedRouteEnd("<?xml version=\"1.0\"?>\n<gpx version=\"1.1\">\n<rte>\n"));
    EXPECT_FALSE(UnfinishedRouteEnd(header.left(header.size() - 3)));
    EXPECT_FALSE(UnfinishedRouteEnd(GpxHeaderStart()));
    EXPECT_FALSE(UnfinishedRouteEnd(QByteArray()));
}

TEST_F(RouteRecorderTest, CrashedRoutesAreCompletedAtTheNextStart) {
    const QByteArray header = HeaderAt9h05();
    const QByteArray point = RoutePointLines(50.0f, 8.0f, 100.0f);
    const QByteArray complete = header + point + kRouteEndLines;
    const QByteArray foreign = "<?xml version=\"1.0\"?>\n<gpx version=\"1.1\"><rte>\n";
    ASSERT_TRUE(routes_.Write(QStringLiteral("cut_mid_point.gpx"), header + point + "<rtept la"));
    ASSERT_TRUE(routes_.Write(QStringLiteral("no_points.GPX"), header));
    ASSERT_TRUE(routes_.Write(QStringLiteral("complete.gpx"), complete));
    ASSERT_TRUE(routes_.Write(QStringLiteral("foreign.gpx"), foreign));
    ASSERT_TRUE(routes_.Write(QStringLiteral("not_gpx.txt"), header));
    ASSERT_TRUE(QDir(routes_.Folder()).mkdir(QStringLiteral("folder.gpx")));

    EXPECT_EQ(CompleteUnfinishedRoutes(routes_.Folder()), 2);
    EXPECT_EQ(routes_.Read(QStringLiteral("cut_mid_point.gpx")), complete);
    EXPECT_EQ(routes_.Read(QStringLiteral("no_points.GPX")), header + kRouteEndLines);
    EXPECT_EQ(routes_.Read(QStringLiteral("complete.gpx")), complete);
    EXPECT_EQ(routes_.Read(QStringLiteral("foreign.gpx")), foreign);
    EXPECT_EQ(routes_.Read(QStringLiteral("not_gpx.txt")), header);
    EXPECT_EQ(CompleteUnfinishedRoutes(routes_.Folder()), 0);
    EXPECT_EQ(CompleteUnfinishedRoutes(routes_.Folder() + QStringLiteral("/missing")), 0);

    SKIP_WITHOUT_PEER("xmllint");
    EXPECT_TRUE(IsWellFormed(routes_.Path(QStringLiteral("cut_mid_point.gpx"))));
    EXPECT_TRUE(IsWellFormed(routes_.Path(QStringLiteral("no_points.GPX"))));
}

TEST_F(RouteRecorderTest, TheRepairLeavesARouteBeingRecordedAlone) {
    RouteRecorder recorder(routes_.Folder());
    recorder.Start();
    recorder.AddPoint(50.0f, 8.0f, 100.0f);
    EXPECT_EQ(CompleteUnfinishedRoutes(routes_.Folder()), 0);
    recorder.AddPoint(50.1f, 8.1f, 100.0f);
    recorder.Stop();
    const QByteArray bytes = routes_.Read(QStringLiteral("2008_1_15__9_5.gpx"));
    EXPECT_EQ(bytes.count("</rte>"), 1);
    EXPECT_EQ(bytes.count("<rtept "), 2);
}

}  // namespace
}  // namespace poi
