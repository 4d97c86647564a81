#include "gps/gps_link.h"

#include <QCoreApplication>
#include <QObject>

#include <chrono>
#include <cmath>
#include <cstring>
#include <limits>

namespace gps {

namespace {

constexpr int kWorkerSleepMs = 10;
constexpr uint32_t kMaximumAgeMs = 500000;
constexpr float kMaxUsableHdop = 8.0f;
constexpr int kMinSatellitesForPosition = 5;  // 4 or fewer: not usable

// value × scale + 0.5, truncated to an integer. A figure beyond the integer's range stops at its
// ends and a value that is no number gives 0, whatever the source sent.
int32_t AccuracyFigure(float value, double scale) {
    const double figure = double(value) * scale + 0.5;
    if (std::isnan(figure)) {
        return 0;
    }
    if (figure >= double(std::numeric_limits<int32_t>::max())) {
        return std::numeric_limits<int32_t>::max();
    }
    if (figure <= double(std::numeric_limits<int32_t>::min())) {
        return std::numeric_limits<int32_t>::min();
    }
    return int32_t(figure);
}

void CopyShortText(const QByteArray& text, char (&buffer)[formats::kShortTextBufferSize]) {
    const size_t n = std::min<size_t>(size_t(text.size()), sizeof buffer - 1);
    std::memcpy(buffer, text.constData(), n);
    buffer[n] = '\0';
}

}  // namespace

GpsLink::GpsLink() = default;

GpsLink::~GpsLink() {
    Stop();
    // The worker closes the device on its way out; once it has ended nothing else uses the
    // handles, so what is left is closed here without a race.
    if (worker_.joinable()) {
        worker_.join();
    }
    CloseDevice();
    ReleaseEvents();
}

void GpsLink::SetOwner(QObject* owner) {
    owner_.store(owner);
}

int GpsLink::Open() {
    if (IsOpen() && !stopRequested_) {
        return 1;
    }
    if (worker_.joinable()) {
        // A stopped worker: it has let go of the device, or does so within one sleep, as its
        // stop event is set. Without this wait an Open right after a Stop would answer 1 for a
        // link that is about to close.
        worker_.join();
    }
    stopRequested_ = false;
    positionEvent_ = std::make_unique<platform::AutoResetEvent>();
    stateEvent_ = std::make_unique<platform::AutoResetEvent>();
    stopEvent_ = std::make_unique<platform::AutoResetEvent>();
    waitSet_[0] = positionEvent_.get();
    waitSet_[1] = stateEvent_.get();
    waitSet_[2] = stopEvent_.get();
    platform::GpsDevice* device =
        platform::GPSOpenDevice(positionEvent_.get(), stateEvent_.get(), nullptr, 0);
    if (device == nullptr) {
        return 0;
    }
    device_.store(device);
    // No idle priority: Linux threads of one process share a policy, and the worker sleeps
    // between waits anyway.
    worker_ = std::thread([this] { WorkerLoop(); });
    return 1;
}

void GpsLink::Stop() {
    if (stopEvent_) {
        stopEvent_->Set();
        stopRequested_ = true;
    }
}

void GpsLink::WorkerLoop() {
    for (;;) {
        std::this_thread::sleep_for(std::chrono::milliseconds(kWorkerSleepMs));
        const int result = platform::WaitForAny(waitSet_, 3, -1);
        if (result == 2 || result == platform::kWaitFailed) {
            break;
        }
        if (result == 0) {
            positionRecord_.version = 1;
            positionRecord_.size = platform::kGpsPositionSize;
            platform::GPSGetPosition(device_.load(), &positionRecord_, kMaximumAgeMs, 0);
            HandlePosition();
        } else if (result == 1) {
            deviceRecord_.version = 1;
            deviceRecord_.size = platform::kGpsDeviceSize;
            platform::GPSGetDeviceState(device_.load(), &deviceRecord_);
        }
    }
    // The wait set goes with the device. The event objects themselves are freed only on the
    // interface thread (the next Open, or destruction), so that a Stop() racing with this exit
    // never touches a freed event.
    for (platform::AutoResetEvent*& slot : waitSet_) {
        slot = nullptr;
    }
    CloseDevice();
}

void GpsLink::CloseDevice() {
    if (platform::GpsDevice* device = device_.exchange(nullptr)) {
        platform::GPSCloseDevice(device);
    }
}

void GpsLink::ReleaseEvents() {
    stopEvent_.reset();
    stateEvent_.reset();
    positionEvent_.reset();
}

void GpsLink::HandlePosition() {
    const platform::GpsPosition& p = positionRecord_;
    if (p.fixQuality == platform::kGpsFixQualityUnknown) {
        if (fixState_ == 1) {
            Post(kStatusFix, 0);
        }
        fixState_ = 0;
        return;
    }
    if (fixState_ == 0) {
        const bool good = p.fixQuality == platform::kGpsFixQualityGps ||
                          p.fixQuality == platform::kGpsFixQualityDgps;
        Post(kStatusFix, good ? 1 : 0);
    }
    fixState_ = 1;

    if (!p.Has(platform::kGpsValidHorizontalDilutionOfPrecision) ||
        p.horizontalDilutionOfPrecision > kMaxUsableHdop) {
        Post(kStatusUnusable, 0);
        return;
    }
    horizontalAccuracy_ = AccuracyFigure(p.positionDilutionOfPrecision, 2.5);
    if (p.Has(platform::kGpsValidVerticalDilutionOfPrecision)) {
        verticalAccuracy_ = AccuracyFigure(p.verticalDilutionOfPrecision, 5.0);
    }

    if (!p.Has(platform::kGpsValidLatitude)) {
        return;
    }
    const float latitude = float(p.latitude);
    latitudeText_ = formats::FormatDisplayLatitude(latitude);
    CopyShortText(formats::FormatShortLatitude(latitude), latitudeShortText_);

    if (!p.Has(platform::kGpsValidLongitude)) {
        return;
    }
    const float longitude = float(p.longitude);
    longitudeText_ = formats::FormatDisplayLongitude(longitude);
    CopyShortText(formats::FormatShortLongitude(longitude), longitudeShortText_);

    if (p.Has(platform::kGpsValidSatelliteCount)) {
        satellitesUsed_ = int32_t(p.satelliteCount);
    }
    Post(satellitesUsed_ < kMinSatellitesForPosition ? kStatusUnusable : kStatusPosition, 0);
}

void GpsLink::Post(int status, int detail) {
    QObject* owner = owner_.load();
    if (owner == nullptr) {
        return;
    }
    auto event = std::make_unique<GpsNotifyEvent>(status, detail);
    event->position = positionRecord_;
    event->horizontalAccuracy = horizontalAccuracy_;
    event->verticalAccuracy = verticalAccuracy_;
    event->satellitesUsed = satellitesUsed_;
    event->latitudeText = latitudeText_;
    event->longitudeText = longitudeText_;
    event->latitudeShortText = QByteArray(latitudeShortText_);
    event->longitudeShortText = QByteArray(longitudeShortText_);
    platform::HandOffRelease(event.get());
    QCoreApplication::postEvent(owner, event.release());
}

}  // namespace gps
