// gpsd through libgps: each TPV report becomes a position; SKY reports give the dilutions of
// precision and the satellites that the following positions carry.
#include <gps.h>

#include <cmath>
#include <cstring>
#include <ctime>

#include "platform/gps_driver.h"

namespace platform {

namespace {

constexpr double kMsToKnots = 3600.0 / 1852.0;
constexpr int kWaitSliceUs = 100000;
// gpsd sends its reports at least once a second while a receiver is attached.
constexpr int kSilenceLimitMs = 5000;

bool Finite(double value) {
    return std::isfinite(value);
}

class GpsdBackend final : public GpsBackend {
public:
    GpsdBackend(std::string host, int port) : host_(std::move(host)), port_(std::to_string(port)) {}
    ~GpsdBackend() override { Disconnect(); }

    bool Connect() override {
        Disconnect();
        std::memset(&data_, 0, sizeof data_);
        if (::gps_open(host_.c_str(), port_.c_str(), &data_) != 0)
            return false;
        open_ = true;
        if (::gps_stream(&data_, WATCH_ENABLE | WATCH_JSON, nullptr) != 0) {
            Disconnect();
            return false;
        }
        return true;
    }

    RunResult Run(GpsSink& sink) override {
        int silentMs = 0;
        while (!sink.Stopping()) {
            if (!::gps_waiting(&data_, kWaitSliceUs)) {
                silentMs += kWaitSliceUs / 1000;
                if (silentMs >= kSilenceLimitMs)
                    return RunResult::kLost;
                continue;
            }
            silentMs = 0;
            data_.set = 0;
            if (::gps_read(&data_, nullptr, 0) < 0)
                return RunResult::kLost;  // gpsd went away
            if (data_.set & SATELLITE_SET) {
                TakeSky();
            }
            if (data_.set & MODE_SET) {
                sink.Deliver(FromTpv(), false);
            }
        }
        return RunResult::kLost;
    }

    void Disconnect() override {
        if (open_) {
            ::gps_close(&data_);
            open_ = false;
        }
    }

private:
    void TakeSky() {
        sky_ = GpsPosition();
        const gps_data_t& d = data_;
        auto setDop = [this](double value, uint32_t bit, float& field) {
            if (Finite(value) && value > 0.0 && value < 100.0) {
                field = float(value);
                sky_.validFields |= bit;
            }
        };
        setDop(d.dop.pdop, kGpsValidPositionDilutionOfPrecision, sky_.positionDilutionOfPrecision);
        setDop(d.dop.hdop, kGpsValidHorizontalDilutionOfPrecision,
               sky_.horizontalDilutionOfPrecision);
        setDop(d.dop.vdop, kGpsValidVerticalDilutionOfPrecision, sky_.verticalDilutionOfPrecision);
        int used = 0, inView = 0;
        const int visible = std::min(d.satellites_visible, MAXCHANNELS);
        for (int i = 0; i < visible; ++i) {
            const satellite_t& s = d.skyview[i];
            if (s.used && used < kGpsMaxSatellites) {
                sky_.satellitesUsedPrns[used++] = uint32_t(std::max<short>(s.PRN, 0));
            }
            if (inView < kGpsMaxSatellites) {
                sky_.satellitesInViewPrns[inView] = uint32_t(std::max<short>(s.PRN, 0));
                sky_.satellitesInViewElevationDeg[inView] =
                    Finite(s.elevation) && s.elevation > 0 ? uint32_t(s.elevation) : 0;
                sky_.satellitesInViewAzimuthDeg[inView] =
                    Finite(s.azimuth) && s.azimuth > 0 ? uint32_t(s.azimuth) % 360 : 0;
                sky_.satellitesInViewSnrDb[inView] = Finite(s.ss) && s.ss > 0 ? uint32_t(s.ss) : 0;
                ++inView;
            }
        }
        sky_.satelliteCount = uint32_t(std::max(d.satellites_used, 0));
        sky_.satellitesInView = uint32_t(std::max(visible, 0));
        sky_.validFields |= kGpsValidSatelliteCount | kGpsValidSatellitesInView;
        if (used > 0)
            sky_.validFields |= kGpsValidSatellitesUsedPrns;
        if (inView > 0) {
            sky_.validFields |= kGpsValidSatellitesInViewPrns | kGpsValidSatellitesInViewElevation |
                                kGpsValidSatellitesInViewAzimuth | kGpsValidSatellitesInViewSnr;
        }
    }

    GpsPosition FromTpv() const {
        GpsPosition p = sky_;
        const gps_fix_t& fix = data_.fix;
        const bool fixed = fix.mode >= MODE_2D;
        p.fixQuality = !fixed ? kGpsFixQualityUnknown
                       : fix.status == STATUS_DGPS_FIX || fix.status == STATUS_RTK_FIX ||
                               fix.status == STATUS_RTK_FLT
                           ? kGpsFixQualityDgps
                           : kGpsFixQualityGps;
        p.fixType = fix.mode == MODE_3D ? kGpsFix3D : fixed ? kGpsFix2D : kGpsFixUnknown;
        p.selectionType = kGpsFixSelectionAuto;
        if (fix.time.tv_sec > 0) {
            const time_t seconds = fix.time.tv_sec;
            tm utc{};
            if (::gmtime_r(&seconds, &utc) != nullptr) {
                p.utcTime.year = uint16_t(utc.tm_year + 1900);
                p.utcTime.month = uint16_t(utc.tm_mon + 1);
                p.utcTime.dayOfWeek = uint16_t(utc.tm_wday);
                p.utcTime.day = uint16_t(utc.tm_mday);
                p.utcTime.hour = uint16_t(utc.tm_hour);
                p.utcTime.minute = uint16_t(utc.tm_min);
                p.utcTime.second = uint16_t(utc.tm_sec);
                p.utcTime.milliseconds = uint16_t(fix.time.tv_nsec / 1000000);
                p.validFields |= kGpsValidUtcTime;
            }
        }
        if (!fixed) {
            return p;
        }
        if (Finite(fix.latitude) && Finite(fix.longitude) && std::fabs(fix.latitude) <= 90.0 &&
            std::fabs(fix.longitude) <= 180.0) {
            p.latitude = fix.latitude;
            p.longitude = fix.longitude;
            p.validFields |= kGpsValidLatitude | kGpsValidLongitude;
        }
        if (Finite(fix.speed) && fix.speed >= 0.0) {
            p.speedKnots = float(fix.speed * kMsToKnots);
            p.validFields |= kGpsValidSpeed;
        }
        if (Finite(fix.track)) {
            p.headingDeg = float(fix.track);
            p.validFields |= kGpsValidHeading;
        }
        if (fix.mode == MODE_3D && Finite(fix.altMSL)) {
            p.altitudeWrtSeaLevelM = float(fix.altMSL);
            p.validFields |= kGpsValidAltitudeWrtSeaLevel;
        }
        if (fix.mode == MODE_3D && Finite(fix.altHAE)) {
            p.altitudeWrtEllipsoidM = float(fix.altHAE);
            p.validFields |= kGpsValidAltitudeWrtEllipsoid;
        }
        if (Finite(fix.magnetic_var)) {
            p.magneticVariationDeg = fix.magnetic_var;
            p.validFields |= kGpsValidMagneticVariation;
        }
        return p;
    }

    std::string host_;
    std::string port_;
    gps_data_t data_{};
    bool open_ = false;
    GpsPosition sky_;
};

}  // namespace

std::unique_ptr<GpsBackend> MakeGpsdBackend(const std::string& host, int port) {
    return std::make_unique<GpsdBackend>(host, port);
}

}  // namespace platform
