// What the route recorder and the waypoint writer write, read back by our own GPX reader.
#include <gtest/gtest.h>

#include "formats/gpx_file.h"
#include "poi/gpx_writer.h"
#include "poi/route_recorder.h"
#include "routes_home.h"

namespace poi {
namespace {

// Both sides keep floats; the file keeps six decimals.
constexpr double kWrittenPrecision = 1e-6;

// The one object of a loaded file; null, with a failure, when it holds another number.
const formats::Shape* OnlyObject(const formats::GPXFile& file) {
    if (file.levels.size() != 1 || file.levels.front()->shapes.size() != 1) {
        ADD_FAILURE() << "the file does not hold exactly one object";
        return nullptr;
    }
    return file.levels.front()->shapes.front().get();
}

class GpxRoundTripTest : public RoutesTest {
protected:
    GpxRoundTripTest() : RoutesTest(2011, 6, 4, 18, 30, 0) {}
};

TEST_F(GpxRoundTripTest, RecordedRouteLoadsWithItsPoints) {
    std::vector<std::pair<float, float>> fixes;
    for (int i = 0; i < 30; ++i) {
        // Turning at every fix, so that the filter keeps them all.
        fixes.emplace_back(-33.85f + 0.0001f * float(i), 151.2f + 0.0001f * float(i * i % 7));
    }
    RouteRecorder recorder(routes_.Folder());
    recorder.Start();
    for (const auto& [lat, lon] : fixes) {
        recorder.AddPoint(lat, lon, 20.0f);
    }
    const QString path = recorder.FilePath();

    formats::GPXFile whileRecording;
    EXPECT_FALSE(whileRecording.Load(path)) << "the closing lines come with Stop";
    recorder.Stop();

    formats::GPXFile file;
    ASSERT_TRUE(file.Load(path));
    const formats::Shape* route = OnlyObject(file);
    ASSERT_NE(route, nullptr);
    EXPECT_EQ(route->type, formats::kGpxRouteType);
    ASSERT_EQ(route->VertexCount(), fixes.size());
    for (size_t i = 0; i < fixes.size(); ++i) {
        EXPECT_NEAR(route->Latitude(i), fixes[i].first, kWrittenPrecision) << i;
        EXPECT_NEAR(route->Longitude(i), fixes[i].second, kWrittenPrecision) << i;
    }
}

TEST_F(GpxRoundTripTest, RouteMendedAfterACrashLoads) {
    const QByteArray point = RoutePointLines(50.5f, 8.25f, 100.0f);
    ASSERT_TRUE(routes_.Write(
        QStringLiteral("crashed.gpx"),
        GpxHeader(platform::GetLocalTime()) + kRouteStartLine + point + point.left(17)));
    formats::GPXFile file;
    EXPECT_FALSE(file.Load(routes_.Path(QStringLiteral("crashed.gpx"))));
    ASSERT_EQ(CompleteUnfinishedRoutes(routes_.Folder()), 1);
    ASSERT_TRUE(file.Load(routes_.Path(QStringLiteral("crashed.gpx"))));
    const formats::Shape* route = OnlyObject(file);
    ASSERT_NE(route, nullptr);
    ASSERT_EQ(route->VertexCount(), 1u);
    EXPECT_EQ(route->Latitude(0), 50.5f);
    EXPECT_EQ(route->Longitude(0), 8.25f);
}

TEST_F(GpxRoundTripTest, WaypointLoadsWithItsNameWhole) {
    const QString name =
        QStringLiteral("Fish & Chips <\"Joe's\"> – Café 東京 ") + QString(300, u'x');
    const QString path =
        WriteWaypointFile(routes_.Folder(), Waypoint{-8.123456, 115.5, 3.0, name, "Food & drink"});
    ASSERT_FALSE(path.isEmpty());
    formats::GPXFile file;
    ASSERT_TRUE(file.Load(path));
    const formats::Shape* point = OnlyObject(file);
    ASSERT_NE(point, nullptr);
    EXPECT_EQ(point->type, formats::kGpxWaypointType);
    EXPECT_EQ(point->Label().toString(), name);
    EXPECT_NEAR(point->Latitude(0), -8.123456, kWrittenPrecision);
    EXPECT_NEAR(point->Longitude(0), 115.5, kWrittenPrecision);
}

}  // namespace
}  // namespace poi
