// The link with real peers: a gpsd started by gpsfake on a loopback port and fed with a shared
// log, and the vlgps tool over a replayed log.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QXmlStreamReader>

#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "gps/gps_link.h"
#include "gps/gps_sources.h"
#include "gps/nmea_parser.h"
#include "loopback_port.h"
#include "platform/gps_driver.h"
#include "scripted_gps.h"
#include "temp_home.h"

namespace {

const QString kLog = QStringLiteral(VELMORA_SHARED_DATA "/nmea/bu353s4.log");

// The positions our decoder finds in the log: what the link must show, whichever way it reads it.
std::vector<platform::GpsPosition> LogPositions() {
    std::vector<platform::GpsPosition> positions;
    gps::NmeaParser parser([&](const gps::NmeaFix& fix) {
        if (fix.position.Has(platform::kGpsValidLatitude))
            positions.push_back(fix.position);
    });
    QFile file(kLog);
    if (file.open(QIODevice::ReadOnly)) {
        parser.Feed(file.readAll().toStdString());
        parser.Flush();
    }
    return positions;
}

bool InLog(const std::vector<platform::GpsPosition>& log, double lat, double lon) {
    for (const platform::GpsPosition& p : log) {
        if (std::fabs(p.latitude - lat) < 1e-6 && std::fabs(p.longitude - lon) < 1e-6) {
            return true;
        }
    }
    return false;
}

class Notes : public QObject {
public:
    std::vector<std::pair<int, int>> codes;
    std::vector<platform::GpsPosition> positions;
    int satellites = 0;

protected:
    void customEvent(QEvent* event) override {
        const gps::GpsNotifyEvent* note = gps::GpsNotifyEvent::From(event);
        if (note == nullptr)
            return;
        codes.emplace_back(note->status, note->detail);
        if (note->status == gps::kStatusPosition) {
            positions.push_back(note->position);
            satellites = note->satellitesUsed;
        }
    }
};

// gpsfake under `timeout`, stopped with SIGINT (which timeout passes on), so that gpsfake ends
// the gpsd it started; a plain SIGTERM leaves gpsd behind.
class GpsFake {
public:
    GpsFake(const QString& log, int port) {
        process_.setProgram("timeout");
        process_.setArguments({"-s", "INT", "-k", "5", "25", "gpsfake", "-q", "-P",
                               QString::number(port), "-c", "0.05", log});
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process_.setStandardOutputFile(QProcess::nullDevice());
        process_.start();
        process_.waitForStarted(3000);
    }
    ~GpsFake() {
        if (process_.state() != QProcess::NotRunning) {
            ::kill(pid_t(process_.processId()), SIGINT);
            if (!process_.waitForFinished(8000)) {
                process_.kill();
                process_.waitForFinished(2000);
            }
        }
    }

private:
    QProcess process_;
};

void ProcessEventsFor(int ms) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

// A link to a gpsd on a free loopback port; gpsd itself is started by each test's GpsFake.
class GpsdLinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (QStandardPaths::findExecutable("gpsfake").isEmpty() ||
            QStandardPaths::findExecutable("gpsd", {"/usr/sbin", "/usr/local/sbin", "/usr/bin"})
                .isEmpty() ||
            QStandardPaths::findExecutable("timeout").isEmpty()) {
            GTEST_SKIP() << "gpsd and gpsfake are not installed (Debian packages gpsd, "
                            "gpsd-clients)";
        }
        log = LogPositions();
        if (log.empty())
            GTEST_SKIP() << "no log at " << kLog.toStdString() << " (the shared data is absent)";
        ASSERT_TRUE(gps::SelectGpsSource("gpsd://127.0.0.1:" + std::to_string(port)));
        link.SetOwner(&notes);
        timer.start();
    }
    void TearDown() override { platform::SetGpsSource(platform::kDefaultGpsSource); }

    // Opens the link once gpsd answers (it takes a few seconds to start); false after 8 s.
    bool OpenWhenGpsdIsUp() {
        while (link.Open() != 1 && timer.elapsed() < 8000) {
            ProcessEventsFor(200);
        }
        return link.IsOpen();
    }

    std::vector<platform::GpsPosition> log;
    const int port = FreeLoopbackPort();
    Notes notes;
    gps::GpsLink link;
    QElapsedTimer timer;
};

TEST_F(GpsdLinkTest, RealGpsdFedByGpsfakePostsTheLogsPositions) {
    GpsFake fake(kLog, port);
    ASSERT_TRUE(OpenWhenGpsdIsUp()) << "gpsd did not come up on port " << port;
    while (notes.positions.size() < 5 && timer.elapsed() < 16000) {
        ProcessEventsFor(50);
    }
    link.Stop();

    ASSERT_GE(notes.positions.size(), 5u) << "too few positions from gpsd";
    EXPECT_EQ(notes.codes.front(), std::make_pair(1, 1));  // the fix, gained once
    for (const platform::GpsPosition& p : notes.positions) {
        EXPECT_TRUE(InLog(log, p.latitude, p.longitude)) << p.latitude << " " << p.longitude;
        EXPECT_TRUE(p.Has(platform::kGpsValidHorizontalDilutionOfPrecision));
    }
    EXPECT_EQ(notes.satellites, 8);
}

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

TEST_F(GpsdLinkTest, GpsdRestartedDuringARunIsReconnectedAndPositionsResume) {
    RetryTimes times(100, 400);
    {
        GpsFake fake(kLog, port);
        ASSERT_TRUE(OpenWhenGpsdIsUp()) << "gpsd did not come up on port " << port;
        while (notes.positions.size() < 3 && timer.elapsed() < 14000) {
            ProcessEventsFor(50);
        }
        ASSERT_GE(notes.positions.size(), 3u);
    }  // gpsd ends with its gpsfake
    ProcessEventsFor(300);
    const size_t before = notes.positions.size();
    ProcessEventsFor(700);
    EXPECT_EQ(notes.positions.size(), before) << "positions while gpsd was away";
    {
        GpsFake fake(kLog, port);
        timer.restart();
        while (notes.positions.size() < before + 3 && timer.elapsed() < 14000) {
            ProcessEventsFor(50);
        }
    }
    link.Stop();
    EXPECT_GE(notes.positions.size(), before + 3) << "no positions after gpsd came back";
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
