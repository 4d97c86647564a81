// Our GPX reader against other readers of the same files: gpsbabel and python3-gpxpy on the
// GPX files of the shared data, xmllint to say which files are malformed.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "formats/gpx_file.h"
#include "gpx_peers.h"
#include "qt_print.h"
#include "temp_home.h"

namespace formats {
namespace {

// gpsbabel prints six decimals; we keep floats.
constexpr double kCoordinateTolerance = 1e-5;

QStringList SharedGpxFiles() {
    const QDir folder(QStringLiteral(VELMORA_SHARED_DATA "/gpx"));
    QStringList paths;
    for (const QString& name :
         folder.entryList({QStringLiteral("*.gpx")}, QDir::Files, QDir::Name)) {
        paths.append(folder.filePath(name));
    }
    return paths;
}

#define SKIP_WITHOUT_SHARED_GPX(paths)                                                             \
    if ((paths).isEmpty()) {                                                                       \
        GTEST_SKIP() << "no GPX files in " VELMORA_SHARED_DATA "/gpx (the shared data is absent)"; \
    }

struct OurCounts {
    std::vector<const Shape*> waypoints;
    std::vector<const Shape*> routes;
    int routePoints = 0;
};

OurCounts Count(const GPXFile& file) {
    OurCounts counts;
    for (const auto& shape : file.levels.front()->shapes) {
        if (shape->Kind() == kShapeKindPoint) {
            counts.waypoints.push_back(shape.get());
        } else {
            counts.routes.push_back(shape.get());
            counts.routePoints += int(shape->VertexCount());
        }
    }
    return counts;
}

// Tracks are not compared: we skip them by design.
TEST(GpxPeers, SharedFilesReadAsGpsbabelAndGpxpyReadThem) {
    const QStringList paths = SharedGpxFiles();
    SKIP_WITHOUT_SHARED_GPX(paths);
    SKIP_WITHOUT_PEER("gpsbabel");
    SKIP_WITHOUT_GPXPY();
    const std::vector<std::optional<GpxpyCounts>> gpxpyCounts = CountWithGpxpy(paths);
    for (qsizetype p = 0; p < paths.size(); ++p) {
        const QString& path = paths[p];
        SCOPED_TRACE(path.toStdString());
        GPXFile file;
        ASSERT_TRUE(file.Load(path));
        const OurCounts ours = Count(file);

        const std::optional<GpxpyCounts>& gpxpy = gpxpyCounts[size_t(p)];
        ASSERT_TRUE(gpxpy.has_value());
        EXPECT_EQ(int(ours.waypoints.size()), gpxpy->waypoints);
        EXPECT_EQ(int(ours.routes.size()), gpxpy->routes);
        EXPECT_EQ(ours.routePoints, gpxpy->routePoints);

        const std::optional<std::vector<PeerPoint>> waypoints = ReadWithGpsbabel(path, false);
        ASSERT_TRUE(waypoints.has_value());
        ASSERT_EQ(ours.waypoints.size(), waypoints->size());
        for (size_t i = 0; i < waypoints->size(); ++i) {
            const PeerPoint& peer = (*waypoints)[i];
            EXPECT_NEAR(ours.waypoints[i]->Latitude(0), peer.latitude, kCoordinateTolerance);
            EXPECT_NEAR(ours.waypoints[i]->Longitude(0), peer.longitude, kCoordinateTolerance);
            if (!ours.waypoints[i]->Label().isEmpty()) {
                EXPECT_EQ(ours.waypoints[i]->Label().toString(), peer.name);
            }
        }

        const std::optional<std::vector<PeerPoint>> routePoints = ReadWithGpsbabel(path, true);
        ASSERT_TRUE(routePoints.has_value());
        ASSERT_EQ(size_t(ours.routePoints), routePoints->size());
        size_t next = 0;
        for (const Shape* route : ours.routes) {
            for (size_t v = 0; v < route->VertexCount(); ++v, ++next) {
                EXPECT_NEAR(route->Latitude(v), (*routePoints)[next].latitude,
                            kCoordinateTolerance);
                EXPECT_NEAR(route->Longitude(v), (*routePoints)[next].longitude,
                            kCoordinateTolerance);
            }
        }
    }
}

TEST(GpxPeers, MalformedCopiesOfTheSharedFilesFailCleanly) {
    const QStringList paths = SharedGpxFiles();
    SKIP_WITHOUT_SHARED_GPX(paths);
    SKIP_WITHOUT_PEER("xmllint");
    TempHome home;
    for (const QString& path : paths) {
        QFile source(path);
        ASSERT_TRUE(source.open(QIODevice::ReadOnly));
        const QByteArray bytes = source.readAll();
        QByteArray wrongEnd = bytes;
        wrongEnd.replace(wrongEnd.lastIndexOf("</gpx>"), 6, "</gpz>");
        for (const QByteArray& broken : {bytes.left(bytes.size() * 3 / 5), wrongEnd}) {
            SCOPED_TRACE(path.toStdString());
            ASSERT_TRUE(home.Write(QStringLiteral("broken.gpx"), broken));
            const QString copy = home.File(QStringLiteral("broken.gpx"));
            ASSERT_FALSE(IsWellFormed(copy)) << "xmllint takes it: not a malformed file";
            GPXFile file;
            EXPECT_FALSE(file.Load(copy));
            EXPECT_TRUE(file.levels.empty());
            EXPECT_EQ(file.bounds, GeoRect{});
        }
    }
}

// Where our reading differs from the peers', it does so on purpose: the waypoint name element
// is found in any case (files from some handhelds spell it NAME), and a point without a
// position is left out rather than placed at 0, 0 (gpsbabel) or failing the file (gpxpy).
TEST(GpxPeers, DeliberateDifferences) {
    SKIP_WITHOUT_PEER("gpsbabel");
    SKIP_WITHOUT_GPXPY();
    TempHome home;
    ASSERT_TRUE(home.Write(QStringLiteral("odd.gpx"),
                           "<?xml version=\"1.0\"?>\n<gpx version=\"1.1\" creator=\"t\" "
                           "xmlns=\"http://www.topografix.com/GPX/1/1\">\n"
                           "<wpt lat=\"46\" lon=\"14\"><NAME>Loud</NAME></wpt>\n"
                           "<wpt lon=\"15\"><name>nowhere</name></wpt>\n</gpx>\n"));
    const QString path = home.File(QStringLiteral("odd.gpx"));
    GPXFile file;
    ASSERT_TRUE(file.Load(path));
    const OurCounts ours = Count(file);
    ASSERT_EQ(ours.waypoints.size(), 1u);
    EXPECT_EQ(ours.waypoints.front()->Label().toString(), QStringLiteral("Loud"));

    const std::optional<std::vector<PeerPoint>> babel = ReadWithGpsbabel(path, false);
    ASSERT_TRUE(babel.has_value());
    ASSERT_EQ(babel->size(), 2u);
    EXPECT_NE(babel->front().name, QStringLiteral("Loud"));
    EXPECT_EQ(babel->back().latitude, 0.0);
    EXPECT_FALSE(CountWithGpxpy({path}).front().has_value());
}

}  // namespace
}  // namespace formats
