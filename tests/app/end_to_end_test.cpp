// The program as people run it: the velmora executable started on a temporary home, offscreen,
// ended by --quit-after or killed, its files read afterwards.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include "app/demo_home.h"
#include "loopback_port.h"
#include "platform/settings_keys.h"
#include "platform/settings_store.h"
#include "poi/dlg_poi_manager.h"
#include "temp_home.h"
#include "tool_run.h"

namespace app {
namespace {

namespace keys = platform::settings;

const QString kVelmora = QStringLiteral(VELMORA_BINARY);

QStringList HomeArguments(const TempHome& home) {
    return {"--home", home.Path(), "--screen", "480x640@53x71"};
}

QStringList RouteFiles(const TempHome& home) {
    return QDir(home.File("Routes_POIs")).entryList({"*.gpx"}, QDir::Files, QDir::Name);
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(EndToEnd, HelpAndVersionNeedNoDisplay) {
    const ToolRun version = RunTool(kVelmora, {"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_TRUE(version.out.startsWith("Velmora ")) << version.out.toStdString();
    const ToolRun help = RunTool(kVelmora, {"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains("--quit-after"));
    EXPECT_EQ(RunTool(kVelmora, {"--quit-after", "never"}).exitCode, 2);
}

TEST(EndToEnd, TheDemoDriveIsFollowedRecordedAndSaved) {
    TempHome home;
    QStringList arguments = HomeArguments(home);
    // Eight times the recorded pace, for six seconds: about 50 seconds of the drive.
    arguments << "--demo"
              << "--gps" << QStringLiteral("replay:%1?speed=8").arg(home.File("demo.nmea"))
              << "--quit-after"
              << "6"
              << "--screenshot" << home.File("shot.png");
    const ToolRun run = RunTool(kVelmora, arguments);
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(home.File("shot.png").toUtf8()));

    const QImage shot(home.File("shot.png"));
    EXPECT_EQ(shot.size(), QSize(480, 640)) << "full screen on the screen given";

    const QStringList routes = RouteFiles(home);
    ASSERT_EQ(routes.size(), 1);
    const QByteArray route = ReadAll(home.File("Routes_POIs/" + routes.first()));
    EXPECT_GE(route.count("<rtept"), 3) << "the turns of the drive are recorded";
    EXPECT_TRUE(route.trimmed().endsWith("</gpx>")) << "Exit closes the route";

    auto settings = platform::SettingsStore::OpenForHome(home.Path());
    const float latitude = settings->GetFloat(keys::kLastLat);
    const float longitude = settings->GetFloat(keys::kLastLon);
    EXPECT_NEAR(latitude, 41.1647f, 0.05f);
    EXPECT_NEAR(longitude, 23.2678f, 0.05f);
    EXPECT_FALSE(latitude == 41.164673f && longitude == 23.267757f) << "the map followed";
    EXPECT_GT(settings->GetFloat(keys::kLastZoom), 0.05f);
    EXPECT_EQ(settings->Get(keys::kEnabledPoiFiles, 0), "demo.poi");
}

TEST(EndToEnd, ARouteOfAKilledRunIsCompletedAndListed) {
    TempHome home;
    QString error;
    ASSERT_TRUE(PrepareDemoHome(home.Path(), error)) << error.toStdString();
    QProcess running;
    running.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    running.setStandardOutputFile(QProcess::nullDevice());
    QStringList arguments = HomeArguments(home);
    arguments << "--gps" << QStringLiteral("replay:%1?speed=8").arg(home.File("demo.nmea"))
              << "--quit-after"
              << "60";
    running.start(kVelmora, arguments);
    ASSERT_TRUE(running.waitForStarted(5000));
    // Until a few points are on disk.
    QElapsedTimer waited;
    waited.start();
    QString route;
    while (waited.elapsed() < 20000) {
        const QStringList routes = RouteFiles(home);
        if (!routes.isEmpty()) {
            route = home.File("Routes_POIs/" + routes.first());
            if (ReadAll(route).count("<rtept") >= 2) {
                break;
            }
        }
        QThread::msleep(100);
    }
    ::kill(pid_t(running.processId()), SIGKILL);
    running.waitForFinished(5000);
    ASSERT_FALSE(route.isEmpty());
    ASSERT_FALSE(ReadAll(route).trimmed().endsWith("</gpx>")) << "cut off while recording";

    const ToolRun next = RunTool(kVelmora, HomeArguments(home) << "--gps"
                                                               << "replay:/nonexistent.nmea"
                                                               << "--quit-after"
                                                               << "0.5");
    ASSERT_EQ(next.exitCode, 0) << next.err.toStdString();
    EXPECT_TRUE(ReadAll(route).trimmed().endsWith("</gpx>"));

    auto settings = platform::SettingsStore::OpenForHome(home.Path());
    poi::DlgGpxManager dialog(home.Path(), *settings);
    QStringList listed;
    for (int i = 0; i < dialog.ItemCount(); ++i) {
        listed << dialog.ItemText(i);
    }
    EXPECT_TRUE(listed.contains(QFileInfo(route).fileName())) << listed.join(',').toStdString();
}

TEST(EndToEnd, ARealGpsdFedByGpsfakeMovesTheMap) {
    const QString log = QStringLiteral(VELMORA_SHARED_DATA "/nmea/bu353s4.log");
    if (QStandardPaths::findExecutable("gpsfake").isEmpty() ||
        QStandardPaths::findExecutable("gpsd", {"/usr/sbin", "/sbin"}).isEmpty()) {
        GTEST_SKIP() << "gpsd and gpsfake are not installed";
    }
    if (!QFile::exists(log)) {
        GTEST_SKIP() << "no log at " << log.toStdString() << " (the shared data is absent)";
    }
    TempHome home;
    const int port = FreeLoopbackPort();
    // Under timeout with SIGINT, so that gpsfake takes its gpsd down with it.
    QProcess fake;
    fake.setProgram("timeout");
    fake.setArguments({"-s", "INT", "-k", "5", "30", "gpsfake", "-q", "-P", QString::number(port),
                       "-c", "0.2", log});
    fake.setStandardOutputFile(QProcess::nullDevice());
    fake.setStandardErrorFile(QProcess::nullDevice());
    fake.start();
    ASSERT_TRUE(fake.waitForStarted(3000));
    QThread::msleep(1500);
    const ToolRun run = RunTool(
        kVelmora, HomeArguments(home) << "--gps" << QStringLiteral("gpsd://127.0.0.1:%1").arg(port)
                                      << "--quit-after"
                                      << "6");
    ::kill(pid_t(fake.processId()), SIGINT);
    fake.waitForFinished(8000);
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    auto settings = platform::SettingsStore::OpenForHome(home.Path());
    // The log was recorded near 37.78 S, 175.31 E.
    EXPECT_NEAR(settings->GetFloat(keys::kLastLat), -37.785f, 0.01f);
    EXPECT_NEAR(settings->GetFloat(keys::kLastLon), 175.315f, 0.01f);
    const QStringList routes = RouteFiles(home);
    ASSERT_EQ(routes.size(), 1);
    EXPECT_GE(ReadAll(home.File("Routes_POIs/" + routes.first())).count("<rtept"), 1);
}

}  // namespace
}  // namespace app
