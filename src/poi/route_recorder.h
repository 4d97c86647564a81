#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <memory>
#include <optional>

#include "platform/system_time.h"
#include "render/geo_math.h"

namespace poi {

// Records the route travelled as a GPX 1.0 file in the routes folder: one rtept for every GPS
// fix that changes the direction of travel. Every point is handed to the operating system
// before AddPoint returns, so a crash loses nothing that was recorded (the file then lacks its
// closing lines until CompleteUnfinishedRoutes mends it).
class RouteRecorder {
public:
    explicit RouteRecorder(QString routesFolder);
    // Closes an open recording properly, as Stop does.
    ~RouteRecorder();
    RouteRecorder(const RouteRecorder&) = delete;
    RouteRecorder& operator=(const RouteRecorder&) = delete;

    // Opens a new route file named after the local time now and writes its header. Does
    // nothing while recording; stays idle when no file can be created.
    void Start();
    // Writes the closing lines, pushes the file to storage and closes it. Nothing while idle.
    void Stop();
    bool IsRecording() const { return file_ != nullptr; }
    // Offers a fix (decimal degrees, altitude in metres above sea level) to the bearing filter
    // and writes it as a route point when the filter takes it.
    void AddPoint(float latitude, float longitude, float altitude);
    // The bearing-change filter: false only when the step from the previous fix has exactly
    // the bearing of the previous accepted step. Remembers the fix either way.
    bool Accept(float latitude, float longitude);

    // The open route file; empty while idle.
    QString FilePath() const { return file_ ? file_->fileName() : QString(); }

private:
    // Writes `bytes` with one call. A short write is cut back off the file so that it stays a
    // run of whole lines; false then.
    bool WriteWhole(const QByteArray& bytes);

    QString routesFolder_;
    std::unique_ptr<QFile> file_;  // open exactly while recording
    platform::SystemTime startTime_;
    // The last fix offered to the filter; latitude 0.0 means none. Kept across recordings.
    float lastLatitude_ = 0.0f;
    float lastLongitude_ = 0.0f;
    double lastBearing_ = 0.0;  // degrees; 0.0 means no bearing yet
    render::GeoMath geo_;
};

// Where a route file of ours that lacks its closing lines is to be cut before they are
// appended: after its last whole route point, or after the rte start line when it has none.
// Empty for a complete route file and for any file that does not start as our route files do.
std::optional<qsizetype> UnfinishedRouteEnd(const QByteArray& content);

// Completes every route file in `routesFolder` that a crash or power loss left without its
// closing lines, so that it loads as GPX again; a partly written last point is dropped. Files
// being recorded (locked by a recorder) and files not written by a recorder are left alone.
// Returns the number of files completed. The start-up calls it before recording begins.
int CompleteUnfinishedRoutes(const QString& routesFolder);

}  // namespace poi
