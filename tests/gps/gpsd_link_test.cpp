// The link with real peers: a gpsd started by gpsfake on a loopback port and fed with a shared
// log.
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
#include "nmea_log.h"
#include "platform/gps_driver.h"
#include "scripted_gps.h"
#include "temp_home.h"

namespace {

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
        // A new gpsd takes a few seconds to start, more on a loaded machine.
        while (notes.positions.size() < before + 3 && timer.elapsed() < 20000) {
            ProcessEventsFor(50);
        }
    }
    link.Stop();
    EXPECT_GE(notes.positions.size(), before + 3) << "no positions after gpsd came back";
}

}  // namespace
