// The vlgps tool run as a user runs it, over a replayed receiver's log.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QXmlStreamReader>

#include <signal.h>

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "nmea_log.h"
#include "temp_home.h"

namespace {

TEST(VlgpsTest, PrintsOneJsonObjectPerNotification) {
    const std::vector<platform::GpsPosition> log = LogPositions();
    if (log.empty())
        GTEST_SKIP() << "no log at " << kLog.toStdString() << " (the shared data is absent)";
    QProcess vlgps;
    vlgps.start(VLGPS_PATH, {"replay:" + kLog + "?speed=0", "--count", "6", "--json"});
    ASSERT_TRUE(vlgps.waitForFinished(10000));
    EXPECT_EQ(vlgps.exitCode(), 0);
    const QList<QByteArray> lines = vlgps.readAllStandardOutput().trimmed().split('\n');
    ASSERT_EQ(lines.size(), 6);
    EXPECT_EQ(QJsonDocument::fromJson(lines[0]).object(),
              (QJsonObject{{"status", 1}, {"detail", 1}}));
    for (int i = 1; i < 6; ++i) {
        const QJsonObject o = QJsonDocument::fromJson(lines[i]).object();
        EXPECT_EQ(o.keys(), (QStringList{"alt", "detail", "hacc", "heading", "lat", "latText",
                                         "lon", "lonText", "sats", "speedKmh", "status", "vacc"}));
        EXPECT_EQ(o.value("status").toInt(), 0);
        const platform::GpsPosition& p = log[size_t(i - 1)];
        EXPECT_NEAR(o.value("lat").toDouble(), p.latitude, 1e-6);
        EXPECT_NEAR(o.value("speedKmh").toDouble(), p.speedKnots * 1.852, 1e-3);
        EXPECT_EQ(o.value("sats").toInt(), 8);
        EXPECT_TRUE(o.value("latText").toString().endsWith('S'));
    }
}

// The route file of a --record run, whole: its route points as (latitude, longitude).
std::vector<std::pair<double, double>> RecordedPoints(const QString& home) {
    const QDir routes(home + "/Routes_POIs");
    const QStringList names = routes.entryList({"*.gpx"}, QDir::Files);
    EXPECT_EQ(names.size(), 1) << names.join(' ').toStdString();
    if (names.size() != 1)
        return {};
    QFile file(routes.filePath(names.front()));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_TRUE(bytes.endsWith("</rte>\r\n</gpx>\r\n")) << "route file not closed";
    std::vector<std::pair<double, double>> points;
    QXmlStreamReader xml(bytes);
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"rtept") {
            points.emplace_back(xml.attributes().value("lat").toDouble(),
                                xml.attributes().value("lon").toDouble());
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return points;
}

TEST(VlgpsTest, RecordsTheUsablePositionsIntoTheHomesRoutes) {
    const std::vector<platform::GpsPosition> log = LogPositions();
    if (log.empty())
        GTEST_SKIP() << "no log at " << kLog.toStdString() << " (the shared data is absent)";
    TempHome home;
    QProcess vlgps;
    vlgps.start(VLGPS_PATH, {"replay:" + kLog + "?speed=0", "--count", "20", "--json", "--record",
                             home.Path()});
    ASSERT_TRUE(vlgps.waitForFinished(10000));
    ASSERT_EQ(vlgps.exitCode(), 0) << vlgps.readAllStandardError().toStdString();
    std::vector<std::pair<double, double>> usable;
    for (const QByteArray& line : vlgps.readAllStandardOutput().trimmed().split('\n')) {
        const QJsonObject o = QJsonDocument::fromJson(line).object();
        if (o.value("status").toInt(-1) == 0)
            usable.emplace_back(o.value("lat").toDouble(), o.value("lon").toDouble());
    }
    ASSERT_FALSE(usable.empty());
    const auto points = RecordedPoints(home.Path());
    // The bearing filter drops points that keep the direction; each kept one is a usable
    // position, in order, and the first is always kept.
    ASSERT_FALSE(points.empty());
    ASSERT_LE(points.size(), usable.size());
    size_t next = 0;
    for (const auto& [lat, lon] : points) {
        while (next < usable.size() && (std::fabs(usable[next].first - lat) > 1e-5 ||
                                        std::fabs(usable[next].second - lon) > 1e-5)) {
            ++next;
        }
        ASSERT_LT(next, usable.size())
            << "recorded point " << lat << " " << lon << " is no usable position (or out of order)";
        ++next;
    }
    EXPECT_NEAR(points.front().first, usable.front().first, 1e-5);
}

TEST(VlgpsTest, InterruptedRecordingStillClosesItsRouteFile) {
    if (!QFile::exists(kLog))
        GTEST_SKIP() << "no log at " << kLog.toStdString() << " (the shared data is absent)";
    TempHome home;
    QProcess vlgps;
    vlgps.start(VLGPS_PATH, {"replay:" + kLog + "?speed=4&loop=1", "--record", home.Path()});
    ASSERT_TRUE(vlgps.waitForStarted(3000));
    // Wait for a few usable positions, then stop it as a user would.
    QByteArray out;
    QElapsedTimer timer;
    timer.start();
    while (out.count("status 0") < 3 && timer.elapsed() < 8000) {
        vlgps.waitForReadyRead(200);
        out += vlgps.readAllStandardOutput();
    }
    ::kill(pid_t(vlgps.processId()), SIGINT);
    ASSERT_TRUE(vlgps.waitForFinished(5000));
    EXPECT_EQ(vlgps.exitStatus(), QProcess::NormalExit);
    EXPECT_GE(out.count("status 0"), 3) << out.toStdString();
    EXPECT_FALSE(RecordedPoints(home.Path()).empty());
}

TEST(VlgpsTest, RefusesBadSourcesAndUnwritableHomesWithOneLine) {
    QProcess vlgps;
    vlgps.start(VLGPS_PATH, {"gpsd://127.0.0.1:1"});
    ASSERT_TRUE(vlgps.waitForFinished(5000));
    EXPECT_EQ(vlgps.exitCode(), 1);
    EXPECT_EQ(vlgps.readAllStandardError(), "vlgps: cannot open gpsd://127.0.0.1:1\n");

    vlgps.start(VLGPS_PATH, {"bogus://x"});
    ASSERT_TRUE(vlgps.waitForFinished(5000));
    EXPECT_EQ(vlgps.exitCode(), 2);
    EXPECT_EQ(vlgps.readAllStandardError(), "vlgps: not a source URI: bogus://x\n");

    // A home that is a plain file: no routes folder can be made in it.
    TempHome home;
    ASSERT_TRUE(home.Write("file", "x"));
    vlgps.start(VLGPS_PATH, {"replay:" + kLog, "--record", home.File("file")});
    ASSERT_TRUE(vlgps.waitForFinished(5000));
    EXPECT_EQ(vlgps.exitCode(), 1);
    EXPECT_TRUE(vlgps.readAllStandardError().startsWith("vlgps: cannot create a route file in "));
}

}  // namespace
