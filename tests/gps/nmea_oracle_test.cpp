// Our NMEA decoder against gpsd: every shared log with what gpsd decoded from it (*.log.chk, one
// JSON report per line after the sentence that caused it). Reports are matched by their UTC time
// of day: gpsd 3.22 moves old receivers' dates forward by 1024 GPS weeks (a whole number of
// days), so dates are not compared.
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>
#include <vector>

#include "gps/nmea_parser.h"

namespace {

const QString kNmeaFolder = QStringLiteral(VELMORA_SHARED_DATA "/nmea");

struct Tpv {
    int mode = 0;
    bool hasLatLon = false;
    double lat = 0.0, lon = 0.0;
    bool hasSpeed = false, hasTrack = false, hasAlt = false;
    double speedMs = 0.0, track = 0.0, alt = 0.0;
};

// "2034-08-16T03:07:19.000Z" → milliseconds of the day.
int TimeOfDayMs(const QString& iso) {
    const int t = iso.indexOf('T');
    if (t < 0 || iso.size() < t + 9)
        return -1;
    const int h = iso.mid(t + 1, 2).toInt();
    const int m = iso.mid(t + 4, 2).toInt();
    const double s = iso.mid(t + 7).chopped(1).toDouble();
    return (h * 3600 + m * 60) * 1000 + int(std::lround(s * 1000.0));
}

// The last TPV gpsd reported for each time of day: the state at the end of that cycle.
std::map<int, Tpv> ReadOracle(const QString& path) {
    std::map<int, Tpv> byTime;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return byTime;
    while (!file.atEnd()) {
        const QByteArray line = file.readLine().trimmed();
        if (!line.startsWith('{'))
            continue;
        const QJsonObject o = QJsonDocument::fromJson(line).object();
        if (o.value("class").toString() != "TPV" || !o.contains("time"))
            continue;
        Tpv tpv;
        tpv.mode = o.value("mode").toInt();
        tpv.hasLatLon = o.contains("lat") && o.contains("lon");
        tpv.lat = o.value("lat").toDouble();
        tpv.lon = o.value("lon").toDouble();
        tpv.hasSpeed = o.contains("speed");
        tpv.speedMs = o.value("speed").toDouble();
        tpv.hasTrack = o.contains("track");
        tpv.track = o.value("track").toDouble();
        tpv.hasAlt = o.contains("altMSL");
        tpv.alt = o.value("altMSL").toDouble();
        byTime[TimeOfDayMs(o.value("time").toString())] = tpv;
    }
    return byTime;
}

std::vector<gps::NmeaFix> Decode(const QString& path) {
    std::vector<gps::NmeaFix> fixes;
    gps::NmeaParser parser([&](const gps::NmeaFix& fix) { fixes.push_back(fix); });
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        parser.Feed(file.readAll().toStdString());
        parser.Flush();
    }
    return fixes;
}

bool HasFix(const gps::NmeaFix& fix) {
    return fix.position.fixQuality != platform::kGpsFixQualityUnknown &&
           fix.position.Has(platform::kGpsValidLatitude | platform::kGpsValidLongitude);
}

constexpr double kKnotsToMs = 1852.0 / 3600.0;

TEST(NmeaOracleTest, EveryLogAgreesWithGpsd) {
    const QStringList logs = QDir(kNmeaFolder).entryList({"*.log"}, QDir::Files, QDir::Name);
    if (logs.isEmpty()) {
        GTEST_SKIP() << "no NMEA logs in " << kNmeaFolder.toStdString()
                     << " (the shared data is absent)";
    }
    int compared = 0;
    for (const QString& name : logs) {
        SCOPED_TRACE(name.toStdString());
        const std::map<int, Tpv> oracle = ReadOracle(kNmeaFolder + "/" + name + ".chk");
        const std::vector<gps::NmeaFix> fixes = Decode(kNmeaFolder + "/" + name);
        // The 2 Hz receiver of hemi.log sends GGA, VTG: gpsd reports each cycle at its GGA, before
        // the VTG with speed and track arrives, and fills them from earlier positions. We report
        // the whole cycle with the receiver's own speed and track, so they are not compared there.
        const bool reportsBeforeVtg = name == "hemi.log";
        std::set<int> ourFixTimes;
        for (const gps::NmeaFix& fix : fixes) {
            const auto it = oracle.find(fix.timeOfDayMs);
            if (fix.timeOfDayMs < 0 || it == oracle.end())
                continue;
            const Tpv& tpv = it->second;
            const platform::GpsPosition& p = fix.position;
            SCOPED_TRACE(fix.timeOfDayMs);
            if (!HasFix(fix)) {
                EXPECT_LT(tpv.mode, 2) << "gpsd has a fix where we have none";
                continue;
            }
            ourFixTimes.insert(fix.timeOfDayMs);
            ++compared;
            if (tpv.mode < 2 || !tpv.hasLatLon) {
                ADD_FAILURE() << "we have a fix where gpsd has none";
                continue;
            }
            EXPECT_NEAR(p.latitude, tpv.lat, 1e-6);
            EXPECT_NEAR(p.longitude, tpv.lon, 1e-6);
            // gpsd also derives speed and track from consecutive positions and keeps them from
            // earlier cycles; we report only what the receiver sent for this cycle.
            EXPECT_TRUE(!p.Has(platform::kGpsValidSpeed) || tpv.hasSpeed || reportsBeforeVtg);
            if (p.Has(platform::kGpsValidSpeed) && tpv.hasSpeed && !reportsBeforeVtg) {
                EXPECT_NEAR(p.speedKnots * kKnotsToMs, tpv.speedMs, 6e-4);
            }
            EXPECT_TRUE(!p.Has(platform::kGpsValidHeading) || tpv.hasTrack || reportsBeforeVtg);
            if (p.Has(platform::kGpsValidHeading) && tpv.hasTrack && !reportsBeforeVtg) {
                EXPECT_NEAR(p.headingDeg, tpv.track, 2e-4);
            }
            EXPECT_EQ(p.Has(platform::kGpsValidAltitudeWrtSeaLevel), tpv.hasAlt);
            if (p.Has(platform::kGpsValidAltitudeWrtSeaLevel) && tpv.hasAlt) {
                EXPECT_NEAR(p.altitudeWrtSeaLevelM, tpv.alt, 2e-3);
            }
        }
        for (const auto& [time, tpv] : oracle) {
            if (tpv.mode >= 2 && tpv.hasLatLon) {
                EXPECT_TRUE(ourFixTimes.count(time))
                    << "gpsd's fix at " << time << " ms is missing";
            }
        }
    }
    EXPECT_GT(compared, 1000);
}

}  // namespace
