// Replay of a recorded NMEA log at its recorded pace, or of a GPX track or route (read by the
// formats library's GPX reader) with speed and heading derived from consecutive points.
#include <QDateTime>

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "formats/gpx_file.h"
#include "gps/gps_sources.h"
#include "gps/nmea_parser.h"
#include "platform/file_access.h"

namespace gps {

namespace {

// Logs and tracks are read whole; anything larger is not a recording of one trip.
constexpr qint64 kMaxReplayBytes = 256ll << 20;
// Pause between two points when the recording says nothing usable about it.
constexpr int kDefaultStepMs = 1000;
constexpr int kMaxStepMs = 10000;
constexpr int kMsPerDay = 86400000;
constexpr double kEarthRadiusM = 6371000.0;
constexpr double kMsToKnots = 3600.0 / 1852.0;
constexpr double kPi = 3.14159265358979323846;
// A dilution of precision outside this open range is no receiver's figure (the NMEA and gpsd
// sources take none either); the replay then marks that figure not valid.
constexpr double kMaxDilutionOfPrecision = 100.0;
// Points without times (routes, most of all) are travelled at this speed, 50 km/h.
constexpr double kTimelessSpeedMs = 50.0 / 3.6;

struct ReplayStep {
    platform::GpsPosition position;
    int delayMs = kDefaultStepMs;  // before this position, at speed 1
};

std::optional<platform::ByteBuffer> ReadWhole(const std::string& path) {
    platform::InputFile file;
    if (!file.Open(QString::fromLocal8Bit(path.c_str())) || file.Size() > kMaxReplayBytes)
        return std::nullopt;
    return file.Read(file.Size());
}

int StepBetween(int fromMs, int toMs) {
    if (fromMs < 0 || toMs < 0)
        return kDefaultStepMs;
    int step = toMs - fromMs;
    if (step < 0)
        step += kMsPerDay;  // past midnight
    return step > kMaxStepMs ? kDefaultStepMs : step;
}

std::vector<ReplayStep> StepsFromNmea(const platform::ByteBuffer& bytes) {
    std::vector<ReplayStep> steps;
    int previousMs = -1;
    NmeaParser parser([&](const NmeaFix& fix) {
        ReplayStep step;
        step.position = fix.position;
        step.delayMs = steps.empty() ? 0 : StepBetween(previousMs, fix.timeOfDayMs);
        if (fix.timeOfDayMs >= 0)
            previousMs = fix.timeOfDayMs;
        steps.push_back(step);
    });
    parser.Feed(bytes.Data(), bytes.Size());
    parser.Flush();
    return steps;
}

double Radians(double degrees) {
    return degrees * kPi / 180.0;
}

double DistanceM(const formats::GpxTrackPoint& a, const formats::GpxTrackPoint& b) {
    const double dLat = Radians(b.latitude - a.latitude);
    const double dLon = Radians(b.longitude - a.longitude);
    const double h = std::sin(dLat / 2) * std::sin(dLat / 2) +
                     std::cos(Radians(a.latitude)) * std::cos(Radians(b.latitude)) *
                         std::sin(dLon / 2) * std::sin(dLon / 2);
    return 2.0 * kEarthRadiusM * std::asin(std::min(1.0, std::sqrt(h)));
}

// Initial great-circle bearing from a to b, degrees clockwise from true north in [0, 360).
double BearingDeg(const formats::GpxTrackPoint& a, const formats::GpxTrackPoint& b) {
    const double y = std::sin(Radians(b.longitude - a.longitude)) * std::cos(Radians(b.latitude));
    const double x = std::cos(Radians(a.latitude)) * std::sin(Radians(b.latitude)) -
                     std::sin(Radians(a.latitude)) * std::cos(Radians(b.latitude)) *
                         std::cos(Radians(b.longitude - a.longitude));
    const double deg = std::atan2(y, x) * 180.0 / kPi;
    return deg < 0.0 ? deg + 360.0 : deg;
}

bool IsOnTheGlobe(const formats::GpxTrackPoint& point) {
    return std::isfinite(point.latitude) && std::isfinite(point.longitude) &&
           std::fabs(point.latitude) <= 90.0 && std::fabs(point.longitude) <= 180.0;
}

// The points of the tracks, or of the routes when there is no track, that lie on the globe.
std::vector<formats::GpxTrackPoint> ReadGpx(const platform::ByteBuffer& bytes) {
    std::optional<std::vector<formats::GpxTrackPoint>> points =
        formats::ReadGpxTrackPoints({bytes.Data(), bytes.Size()});
    if (!points) {
        return {};
    }
    std::erase_if(*points, [](const formats::GpxTrackPoint& p) { return !IsOnTheGlobe(p); });
    return std::move(*points);
}

// A dilution of precision the file gives (1.0, a good one, when it gives none) into `field`,
// marked valid only when it lies in (0, kMaxDilutionOfPrecision).
void TakeDilution(std::optional<double> given, float& field, uint32_t validBit,
                  platform::GpsPosition& p) {
    const double value = given.value_or(1.0);
    if (value > 0.0 && value < kMaxDilutionOfPrecision) {
        field = float(value);
        p.validFields |= validBit;
    }
}

// A track carries no receiver figures unless it has <hdop>, <sat> and the like: the replay then
// reports a good 3D fix, so that every point is shown.
platform::GpsPosition PositionOfPoint(const formats::GpxTrackPoint& point) {
    platform::GpsPosition p;
    p.fixQuality = platform::kGpsFixQualityGps;
    const bool hasEle = point.elevationM && std::isfinite(*point.elevationM);
    p.fixType = hasEle ? platform::kGpsFix3D : platform::kGpsFix2D;
    p.selectionType = platform::kGpsFixSelectionAuto;
    p.latitude = point.latitude;
    p.longitude = point.longitude;
    p.validFields = platform::kGpsValidLatitude | platform::kGpsValidLongitude |
                    platform::kGpsValidSatelliteCount;
    TakeDilution(point.horizontalDilutionOfPrecision, p.horizontalDilutionOfPrecision,
                 platform::kGpsValidHorizontalDilutionOfPrecision, p);
    TakeDilution(point.positionDilutionOfPrecision, p.positionDilutionOfPrecision,
                 platform::kGpsValidPositionDilutionOfPrecision, p);
    TakeDilution(point.verticalDilutionOfPrecision, p.verticalDilutionOfPrecision,
                 platform::kGpsValidVerticalDilutionOfPrecision, p);
    const bool hasSat = point.satellites && *point.satellites >= 0 && *point.satellites < 100;
    p.satelliteCount = hasSat ? uint32_t(*point.satellites) : 8;
    if (hasEle) {
        p.altitudeWrtSeaLevelM = float(*point.elevationM);
        p.validFields |= platform::kGpsValidAltitudeWrtSeaLevel;
    }
    if (point.time.isValid()) {
        const QDateTime utc = point.time.toUTC();
        const QDate date = utc.date();
        const QTime time = utc.time();
        p.utcTime.year = uint16_t(date.year());
        p.utcTime.month = uint16_t(date.month());
        p.utcTime.day = uint16_t(date.day());
        p.utcTime.dayOfWeek = uint16_t(date.dayOfWeek() % 7);
        p.utcTime.hour = uint16_t(time.hour());
        p.utcTime.minute = uint16_t(time.minute());
        p.utcTime.second = uint16_t(time.second());
        p.utcTime.milliseconds = uint16_t(time.msec());
        p.validFields |= platform::kGpsValidUtcTime;
    }
    return p;
}

std::vector<ReplayStep> StepsFromGpx(const platform::ByteBuffer& bytes) {
    const std::vector<formats::GpxTrackPoint> points = ReadGpx(bytes);
    std::vector<ReplayStep> steps;
    steps.reserve(points.size());
    for (size_t i = 0; i < points.size(); ++i) {
        ReplayStep step;
        step.position = PositionOfPoint(points[i]);
        // Speed and heading of the leg that ends here (the first point takes the first leg's).
        const size_t from = i == 0 ? 0 : i - 1;
        const size_t to = i == 0 ? std::min<size_t>(1, points.size() - 1) : i;
        const double metres = from == to ? 0.0 : DistanceM(points[from], points[to]);
        int legMs = kDefaultStepMs;
        if (points[from].time.isValid() && points[to].time.isValid()) {
            const qint64 ms = points[from].time.msecsTo(points[to].time);
            if (ms > 0 && ms <= kMaxStepMs)
                legMs = int(ms);
        } else if (metres > 0.0) {
            legMs = int(std::clamp(metres / kTimelessSpeedMs * 1000.0, 1.0, double(kMaxStepMs)));
        }
        step.delayMs = i == 0 ? 0 : legMs;
        if (from != to) {
            step.position.speedKnots = float(metres / (legMs / 1000.0) * kMsToKnots);
            step.position.validFields |= platform::kGpsValidSpeed;
            if (metres > 0.0) {
                step.position.headingDeg = float(BearingDeg(points[from], points[to]));
                step.position.validFields |= platform::kGpsValidHeading;
            }
        }
        steps.push_back(step);
    }
    return steps;
}

bool EndsWithGpx(const std::string& path) {
    if (path.size() < 4)
        return false;
    std::string tail = path.substr(path.size() - 4);
    for (char& c : tail) c = char(std::tolower(uint8_t(c)));
    return tail == ".gpx";
}

class ReplayBackend final : public platform::GpsBackend {
public:
    ReplayBackend(std::string path, double speed, bool loop)
        : path_(std::move(path)), speed_(speed), loop_(loop) {}

    bool Connect() override {
        if (loaded_)
            return true;
        const std::optional<platform::ByteBuffer> bytes = ReadWhole(path_);
        if (!bytes)
            return false;
        steps_ = EndsWithGpx(path_) ? StepsFromGpx(*bytes) : StepsFromNmea(*bytes);
        loaded_ = !steps_.empty();
        return loaded_;
    }

    RunResult Run(platform::GpsSink& sink) override {
        do {
            for (const ReplayStep& step : steps_) {
                if (speed_ > 0.0 && step.delayMs > 0 &&
                    !sink.SleepMs(int(std::lround(step.delayMs / speed_)))) {
                    return RunResult::kEnded;
                }
                if (sink.Stopping())
                    return RunResult::kEnded;
                sink.Deliver(step.position, speed_ == 0.0);
            }
        } while (loop_ && !sink.Stopping());
        return RunResult::kEnded;
    }

    void Disconnect() override {}

private:
    std::string path_;
    double speed_;
    bool loop_;
    bool loaded_ = false;
    std::vector<ReplayStep> steps_;
};

}  // namespace

std::unique_ptr<platform::GpsBackend> MakeReplayBackend(const std::string& path, double speed,
                                                        bool loop) {
    return std::make_unique<ReplayBackend>(path, speed, loop);
}

}  // namespace gps
