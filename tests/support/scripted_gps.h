#pragma once

// A GPS back end that tests drive: positions queued by the test are delivered one at a time, each
// only after the reader has fetched the one before, so every position reaches the link. The test
// can make the connection fail, or drop it to see the device reconnect.

#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/gps_driver.h"

class GpsScript {
public:
    void Push(const platform::GpsPosition& position) {
        std::lock_guard lock(mutex_);
        queue_.push_back(position);
        changed_.notify_all();
    }
    void SetConnectable(bool connectable) {
        std::lock_guard lock(mutex_);
        connectable_ = connectable;
    }
    // The running connection ends as if the peer went away.
    void DropConnection() {
        std::lock_guard lock(mutex_);
        drop_ = true;
        changed_.notify_all();
    }
    int Connects() const {
        std::lock_guard lock(mutex_);
        return int(connectTimes_.size());
    }
    // When each connection attempt was made.
    std::vector<std::chrono::steady_clock::time_point> ConnectTimes() const {
        std::lock_guard lock(mutex_);
        return connectTimes_;
    }
    bool Running() const {
        std::lock_guard lock(mutex_);
        return running_;
    }
    bool Empty() const {
        std::lock_guard lock(mutex_);
        return queue_.empty();
    }

    // Installs this script as the back end of every GPSOpenDevice, whatever its URI, until the
    // guard goes; then the factory installed before is back.
    struct Installed {
        explicit Installed(std::shared_ptr<GpsScript> script);
        ~Installed() { platform::SetGpsBackendFactory(std::move(previous)); }
        platform::GpsBackendFactory previous;
    };

private:
    friend class ScriptedBackend;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<platform::GpsPosition> queue_;
    bool connectable_ = true;
    bool drop_ = false;
    bool running_ = false;
    std::vector<std::chrono::steady_clock::time_point> connectTimes_;
};

class ScriptedBackend final : public platform::GpsBackend {
public:
    explicit ScriptedBackend(std::shared_ptr<GpsScript> script) : script_(std::move(script)) {}

    bool Connect() override {
        std::lock_guard lock(script_->mutex_);
        script_->connectTimes_.push_back(std::chrono::steady_clock::now());
        return script_->connectable_;
    }

    RunResult Run(platform::GpsSink& sink) override {
        SetRunning(true);
        while (!sink.Stopping()) {
            platform::GpsPosition next;
            {
                std::unique_lock lock(script_->mutex_);
                script_->changed_.wait_for(lock, std::chrono::milliseconds(20), [this] {
                    return script_->drop_ || !script_->queue_.empty();
                });
                if (script_->drop_) {
                    script_->drop_ = false;
                    script_->running_ = false;
                    return RunResult::kLost;
                }
                if (script_->queue_.empty())
                    continue;
                next = script_->queue_.front();
                script_->queue_.pop_front();
            }
            sink.Deliver(next, true);
        }
        SetRunning(false);
        return RunResult::kLost;
    }

    void Disconnect() override {}

private:
    void SetRunning(bool running) {
        std::lock_guard lock(script_->mutex_);
        script_->running_ = running;
    }
    std::shared_ptr<GpsScript> script_;
};

inline GpsScript::Installed::Installed(std::shared_ptr<GpsScript> script) {
    previous = platform::SetGpsBackendFactory(
        [script](const std::string&) -> std::unique_ptr<platform::GpsBackend> {
            return std::make_unique<ScriptedBackend>(script);
        });
}

// Short reconnection back-off for the devices one test opens.
struct RetryTimes {
    RetryTimes(int firstMs, int maxMs) { platform::SetGpsRetryTimes(firstMs, maxMs); }
    ~RetryTimes() {
        platform::SetGpsRetryTimes(platform::kGpsRetryFirstMs, platform::kGpsRetryMaxMs);
    }
};

// A good 3D GPS fix at the given place: HDOP 1.0, 8 satellites.
inline platform::GpsPosition GoodFix(double latitude, double longitude) {
    platform::GpsPosition p;
    p.validFields = platform::kGpsValidLatitude | platform::kGpsValidLongitude |
                    platform::kGpsValidHorizontalDilutionOfPrecision |
                    platform::kGpsValidPositionDilutionOfPrecision |
                    platform::kGpsValidVerticalDilutionOfPrecision |
                    platform::kGpsValidSatelliteCount | platform::kGpsValidSpeed |
                    platform::kGpsValidHeading | platform::kGpsValidAltitudeWrtSeaLevel;
    p.fixQuality = platform::kGpsFixQualityGps;
    p.fixType = platform::kGpsFix3D;
    p.latitude = latitude;
    p.longitude = longitude;
    p.horizontalDilutionOfPrecision = 1.0f;
    p.positionDilutionOfPrecision = 1.8f;
    p.verticalDilutionOfPrecision = 1.5f;
    p.satelliteCount = 8;
    p.speedKnots = 10.0f;
    p.headingDeg = 90.0f;
    p.altitudeWrtSeaLevelM = 120.0f;
    return p;
}

inline platform::GpsPosition NoFix() {
    platform::GpsPosition p;
    p.fixQuality = platform::kGpsFixQualityUnknown;
    return p;
}
