#pragma once

// The link to the GPS receiver: opens the driver, runs one worker thread that waits for the
// driver's events, judges each position and tells the owner (the main frame) by posting a
// GpsNotifyEvent. The event carries a copy of the position record, the accuracy figures and the
// texts taken by the worker, so the owner never reads what the worker is writing.

#include <QByteArray>
#include <QEvent>
#include <QString>

#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>

#include "formats/coord_format.h"
#include "platform/gps_driver.h"
#include "platform/sync_event.h"

class QObject;

namespace gps {

// Status codes of the notification (the event's status; detail is 0 unless stated).
inline constexpr int kStatusPosition = 0;  // a usable position; texts up to date
inline constexpr int kStatusFix = 1;       // detail 1: fix gained with GPS or DGPS quality;
                                           // detail 0: fix lost, or gained with another quality
inline constexpr int kStatusUnusable = 2;  // no HDOP, HDOP above 8.0, or 4 satellites or fewer

inline constexpr int kGpsNotifyEventType = QEvent::User + 1203;

// What the worker posts to the owner.
class GpsNotifyEvent : public QEvent {
public:
    GpsNotifyEvent(int status, int detail) : QEvent(Type()), status(status), detail(detail) {}
    ~GpsNotifyEvent() override { platform::HandOffAcquire(this); }
    static QEvent::Type Type() { return QEvent::Type(kGpsNotifyEventType); }
    // The notification in a received event, or null for any other event. Receivers read the
    // worker's copy through this, so that thread checkers see it handed over.
    static const GpsNotifyEvent* From(const QEvent* event) {
        platform::HandOffAcquire(event);
        return event->type() == Type() ? static_cast<const GpsNotifyEvent*>(event) : nullptr;
    }

    int status;
    int detail;
    // The worker's state when it posted.
    platform::GpsPosition position;
    int horizontalAccuracy = 0;
    int verticalAccuracy = 0;
    int satellitesUsed = 0;
    QString latitudeText;
    QString longitudeText;
    QByteArray latitudeShortText;
    QByteArray longitudeShortText;
};

class GpsLink {
public:
    GpsLink();
    ~GpsLink();
    GpsLink(const GpsLink&) = delete;
    GpsLink& operator=(const GpsLink&) = delete;

    // The object that receives the notifications; null posts nothing.
    void SetOwner(QObject* owner);

    // 1 when the driver opened and the worker runs, 0 otherwise (nothing is shown to the user).
    // A link that is open already stays as it is and answers 1; one that is stopping is waited
    // for and opened afresh.
    int Open();
    // Asks the worker to close the device and end; returns at once.
    void Stop();
    // True while the link holds a device handle: from Open until the worker has closed it.
    bool IsOpen() const { return device_.load() != nullptr; }

private:
    void WorkerLoop();
    void HandlePosition();
    void Post(int status, int detail);
    void CloseDevice();
    void ReleaseEvents();

    // Fields in the order of the design; the worker alone writes the records, the texts and the
    // figures while it runs.
    uint32_t fixState_ = 0;
    std::atomic<platform::GpsDevice*> device_{nullptr};
    std::unique_ptr<platform::AutoResetEvent> positionEvent_;
    std::unique_ptr<platform::AutoResetEvent> stateEvent_;
    std::unique_ptr<platform::AutoResetEvent> stopEvent_;
    platform::AutoResetEvent* waitSet_[3] = {};
    platform::GpsDeviceState deviceRecord_;
    platform::GpsPosition positionRecord_;
    std::atomic<QObject*> owner_{nullptr};  // outlives the link (the frame owns it)
    QString latitudeText_;
    QString longitudeText_;
    char latitudeShortText_[formats::kShortTextBufferSize] = {};
    char longitudeShortText_[formats::kShortTextBufferSize] = {};
    int32_t satellitesUsed_ = 0;
    int32_t horizontalAccuracy_ = 0;
    int32_t verticalAccuracy_ = 0;

    bool stopRequested_ = false;  // since the last Open; interface thread only
    std::thread worker_;
};

}  // namespace gps
