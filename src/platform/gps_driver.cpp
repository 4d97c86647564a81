// The device behind the four driver calls: one reader thread runs the source's back end, keeps
// the latest position under a lock, signals the caller's events and reconnects after a loss.
#include "platform/gps_driver.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "platform/system_time.h"

namespace platform {

namespace {

std::mutex gSourceMutex;
std::string gSource = kDefaultGpsSource;
GpsBackendFactory gFactory;
int gRetryFirstMs = kGpsRetryFirstMs;
int gRetryMaxMs = kGpsRetryMaxMs;

}  // namespace

class GpsDevice final : public GpsSink {
public:
    GpsDevice(std::unique_ptr<GpsBackend> backend, AutoResetEvent* positionEvent,
              AutoResetEvent* stateEvent, std::string name, int retryFirstMs, int retryMaxMs)
        : backend_(std::move(backend)),
          positionEvent_(positionEvent),
          stateEvent_(stateEvent),
          name_(std::move(name)),
          retryFirstMs_(retryFirstMs),
          retryMaxMs_(retryMaxMs) {}

    ~GpsDevice() override { Close(); }

    // The first connection is made here, so that an unreachable source fails the open.
    bool Start() {
        if (!backend_->Connect()) {
            return false;
        }
        connected_ = true;
        lastDeliveryAt_ = std::chrono::steady_clock::now();
        reader_ = std::thread([this] { ReadLoop(); });
        watcher_ = std::thread([this] { WatchSilence(); });
        SignalState();
        return true;
    }

    void Close() {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        changed_.notify_all();
        if (reader_.joinable()) {
            reader_.join();
        }
        if (watcher_.joinable()) {
            watcher_.join();
        }
    }

    void GetPosition(GpsPosition* position, uint32_t maximumAgeMs) {
        const uint32_t version = position->version;
        const uint32_t size = position->size;
        {
            std::lock_guard lock(mutex_);
            const auto ageMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                                   std::chrono::steady_clock::now() - latestAt_)
                                   .count();
            if (hasLatest_ && ageMs <= int64_t(maximumAgeMs)) {
                *position = latest_;
            } else {
                *position = GpsPosition{};  // no field valid and no fix
            }
            latestRead_ = true;
        }
        changed_.notify_all();
        position->version = version;
        position->size = size;
    }

    void GetState(GpsDeviceState* state) {
        std::lock_guard lock(mutex_);
        state->serviceState = kGpsStateOn;
        state->deviceState = connected_ ? kGpsStateOn : kGpsStateOff;
        state->lastDataReceived = lastDataTicks_;
        std::fill(std::begin(state->friendlyName), std::end(state->friendlyName), u'\0');
        const size_t n = std::min(name_.size(), std::size(state->friendlyName) - 1);
        for (size_t i = 0; i < n; ++i) {
            state->friendlyName[i] = char16_t(uint8_t(name_[i]));
        }
    }

    void Deliver(const GpsPosition& position, bool waitUntilRead) override {
        {
            std::unique_lock lock(mutex_);
            if (stopping_)
                return;
            latest_ = position;
            latest_.version = 1;
            latest_.size = kGpsPositionSize;
            hasLatest_ = true;
            latestRead_ = false;
            latestAt_ = std::chrono::steady_clock::now();
            lastDeliveryAt_ = latestAt_;
            noFixSent_ = false;
            lastDataTicks_ = Clock::NowUtc().ticks;
        }
        if (positionEvent_)
            positionEvent_->Set();
        if (waitUntilRead) {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return latestRead_ || stopping_; });
        }
    }

    bool Stopping() const override {
        std::lock_guard lock(mutex_);
        return stopping_;
    }

    bool SleepMs(int ms) override {
        std::unique_lock lock(mutex_);
        return !changed_.wait_for(lock, std::chrono::milliseconds(ms),
                                  [this] { return stopping_; });
    }

private:
    void ReadLoop() {
        int retryMs = retryFirstMs_;
        bool connected = true;
        while (!Stopping()) {
            if (!connected) {
                if (!SleepMs(retryMs))
                    break;
                retryMs = std::min(retryMs * 2, retryMaxMs_);
                if (!backend_->Connect())
                    continue;
                connected = true;
                retryMs = retryFirstMs_;
                SetConnected(true);
            }
            const GpsBackend::RunResult result = backend_->Run(*this);
            backend_->Disconnect();
            connected = false;
            if (Stopping())
                break;
            // A lost source, or a replay at its end, leaves no position to read until it is
            // back, and the reader is told the fix is gone.
            SetConnected(false);
            DeliverNoFix();
            if (result == GpsBackend::RunResult::kEnded) {
                std::unique_lock lock(mutex_);
                changed_.wait(lock, [this] { return stopping_; });
                break;
            }
        }
    }

    void SetConnected(bool connected) {
        {
            std::lock_guard lock(mutex_);
            connected_ = connected;
            lastDeliveryAt_ = std::chrono::steady_clock::now();
        }
        SignalState();
    }

    // One position without a fix in place of the latest, once until the source delivers again.
    // The source's last position is read first, so that the end of a replay loses nothing.
    void DeliverNoFix() {
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return latestRead_ || stopping_; });
            if (!NoFixDueLocked()) {
                return;
            }
            SetNoFixLocked();
        }
        if (positionEvent_)
            positionEvent_->Set();
    }

    bool NoFixDueLocked() const { return !noFixSent_ && !stopping_; }

    void SetNoFixLocked() {
        latest_ = GpsPosition{};
        latest_.version = 1;
        latest_.size = kGpsPositionSize;
        hasLatest_ = true;
        latestRead_ = false;
        latestAt_ = std::chrono::steady_clock::now();
        noFixSent_ = true;
    }

    // Tells the reader of a connected source that has been silent for kGpsSilenceNoticeMs. A
    // position not yet read counts as recent: a slow reader is no silent source.
    void WatchSilence() {
        constexpr auto kCheckEvery = std::chrono::milliseconds(100);
        std::unique_lock lock(mutex_);
        while (!changed_.wait_for(lock, kCheckEvery, [this] { return stopping_; })) {
            const auto silentFor = std::chrono::steady_clock::now() - lastDeliveryAt_;
            if (!connected_ || !latestRead_ || !NoFixDueLocked() ||
                silentFor < std::chrono::milliseconds(kGpsSilenceNoticeMs)) {
                continue;
            }
            SetNoFixLocked();
            lock.unlock();
            if (positionEvent_)
                positionEvent_->Set();
            lock.lock();
        }
    }

    void SignalState() {
        if (stateEvent_)
            stateEvent_->Set();
    }

    std::unique_ptr<GpsBackend> backend_;
    AutoResetEvent* positionEvent_;
    AutoResetEvent* stateEvent_;
    const std::string name_;
    const int retryFirstMs_;
    const int retryMaxMs_;

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    bool stopping_ = false;
    bool connected_ = false;
    GpsPosition latest_;
    bool hasLatest_ = false;
    bool latestRead_ = true;
    std::chrono::steady_clock::time_point latestAt_;
    // The last position the source delivered (or the last connection change), and whether the
    // position without a fix was delivered since.
    std::chrono::steady_clock::time_point lastDeliveryAt_;
    bool noFixSent_ = false;
    uint64_t lastDataTicks_ = 0;
    std::thread reader_;
    std::thread watcher_;
};

GpsDevice* GPSOpenDevice(AutoResetEvent* newLocationData, AutoResetEvent* deviceStateChange,
                         const char* deviceName, uint32_t /*flags*/) {
    GpsBackendFactory factory;
    std::string name;
    int retryFirstMs = 0, retryMaxMs = 0;
    {
        std::lock_guard lock(gSourceMutex);
        name = deviceName ? std::string(deviceName) : gSource;
        retryFirstMs = gRetryFirstMs;
        retryMaxMs = gRetryMaxMs;
        factory = gFactory;
    }
    std::unique_ptr<GpsBackend> backend = factory ? factory(name) : nullptr;
    if (!backend) {
        return nullptr;
    }
    auto device = std::make_unique<GpsDevice>(std::move(backend), newLocationData,
                                              deviceStateChange, name, retryFirstMs, retryMaxMs);
    if (!device->Start()) {
        return nullptr;
    }
    return device.release();
}

uint32_t GPSGetPosition(GpsDevice* device, GpsPosition* position, uint32_t maximumAgeMs,
                        uint32_t /*flags*/) {
    if (device == nullptr || position == nullptr) {
        return kGpsErrorInvalidParameter;
    }
    device->GetPosition(position, maximumAgeMs);
    return kGpsErrorSuccess;
}

uint32_t GPSGetDeviceState(GpsDevice* device, GpsDeviceState* state) {
    if (device == nullptr || state == nullptr) {
        return kGpsErrorInvalidParameter;
    }
    device->GetState(state);
    return kGpsErrorSuccess;
}

uint32_t GPSCloseDevice(GpsDevice* device) {
    if (device == nullptr) {
        return kGpsErrorInvalidParameter;
    }
    delete device;  // joins the reader
    return kGpsErrorSuccess;
}

void SetGpsSource(const std::string& uri) {
    std::lock_guard lock(gSourceMutex);
    gSource = uri.empty() ? std::string(kDefaultGpsSource) : uri;
}

GpsBackendFactory SetGpsBackendFactory(GpsBackendFactory factory) {
    std::lock_guard lock(gSourceMutex);
    std::swap(gFactory, factory);
    return factory;
}

void SetGpsRetryTimes(int firstMs, int maxMs) {
    std::lock_guard lock(gSourceMutex);
    gRetryFirstMs = std::max(firstMs, 1);
    gRetryMaxMs = std::max(maxMs, gRetryFirstMs);
}

}  // namespace platform
