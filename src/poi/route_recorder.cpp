#include "poi/route_recorder.h"

#include <QByteArrayView>
#include <QFileInfo>

#include "platform/file_access.h"
#include "platform/folder_listing.h"
#include "poi/gpx_writer.h"

namespace poi {

RouteRecorder::RouteRecorder(QString routesFolder) : routesFolder_(std::move(routesFolder)) {}

RouteRecorder::~RouteRecorder() {
    Stop();
}

void RouteRecorder::Start() {
    if (IsRecording()) {
        return;
    }
    startTime_ = platform::GetLocalTime();
    // Unbuffered: every write goes straight to the operating system.
    file_ = CreateNewGpxFile(routesFolder_, RouteFileStem(startTime_), QIODevice::Unbuffered);
    if (!file_) {
        return;
    }
    // Marks the file as being recorded, so that the repair at start-up of another instance
    // does not close it under us.
    platform::TryLockExclusive(*file_);
    if (!WriteWhole(GpxHeader(startTime_) + kRouteStartLine)) {
        // A file without its header could never be completed into GPX.
        const QString path = file_->fileName();
        file_.reset();
        QFile::remove(path);
    }
}

void RouteRecorder::Stop() {
    if (!IsRecording()) {
        return;
    }
    // A failure here leaves the file for CompleteUnfinishedRoutes at the next start.
    WriteWhole(kRouteEndLines);
    platform::SyncToStorage(*file_);
    file_.reset();
}

void RouteRecorder::AddPoint(float latitude, float longitude, float altitude) {
    if (!Accept(latitude, longitude)) {
        return;
    }
    if (IsRecording()) {
        // One write for the three lines, so that a crash cannot leave half a point behind
        // more often than the storage itself cuts a write.
        WriteWhole(RoutePointLines(latitude, longitude, altitude));
    }
}

bool RouteRecorder::Accept(float latitude, float longitude) {
    if (lastLatitude_ == 0.0f) {
        lastLatitude_ = latitude;
        lastLongitude_ = longitude;
        return true;
    }
    const double bearing = geo_.Bearing(lastLatitude_, lastLongitude_, latitude, longitude);
    lastLatitude_ = latitude;
    lastLongitude_ = longitude;
    // A bearing of exactly 0 (due north, or no movement) counts as no bearing yet.
    if (lastBearing_ == 0.0) {
        lastBearing_ = bearing;
        return true;
    }
    if (bearing == lastBearing_) {
        return false;
    }
    lastBearing_ = bearing;
    return true;
}

bool RouteRecorder::WriteWhole(const QByteArray& bytes) {
    const qint64 before = file_->pos();
    if (file_->write(bytes) == bytes.size()) {
        return true;
    }
    file_->resize(before);
    file_->seek(before);
    return false;
}

std::optional<qsizetype> UnfinishedRouteEnd(const QByteArray& content) {
    const QByteArrayView bytes(content);
    const QByteArray& start = GpxHeaderStart();
    if (!bytes.startsWith(start)) {
        return std::nullopt;
    }
    // Line 8 is the time line, then the rte start line ends the header.
    const qsizetype timeLine = start.size();
    const qsizetype timeEnd = bytes.indexOf(QByteArrayView("\r\n"), timeLine);
    if (timeEnd < 0 || !bytes.sliced(timeLine, timeEnd - timeLine).startsWith("<time>") ||
        !bytes.sliced(timeLine, timeEnd - timeLine).endsWith("</time>")) {
        return std::nullopt;
    }
    const qsizetype routeStart = timeEnd + 2;
    if (!bytes.sliced(routeStart).startsWith(QByteArrayView(kRouteStartLine))) {
        return std::nullopt;
    }
    if (bytes.endsWith(QByteArrayView(kRouteEndLines))) {
        return std::nullopt;
    }
    const qsizetype headerEnd = routeStart + qsizetype(sizeof kRouteStartLine) - 1;
    const qsizetype lastPoint = bytes.lastIndexOf(QByteArrayView(kRoutePointEndLine));
    if (lastPoint < headerEnd) {
        return headerEnd;
    }
    return lastPoint + qsizetype(sizeof kRoutePointEndLine) - 1;
}

namespace {

bool IsGpxFileName(const QString& name) {
    return name.endsWith(QLatin1String(".gpx"), Qt::CaseInsensitive);
}

// Completes one file; false when it needed nothing, is in use or could not be mended.
bool CompleteRouteFile(const QString& path) {
    if (!QFileInfo(path).isFile()) {
        return false;  // a pipe or device by that name would block the reads
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly) ||
        !platform::TryLockExclusive(file)) {
        return false;
    }
    // Most files are complete: their last bytes tell without reading the rest.
    const QByteArrayView endLines(kRouteEndLines);
    if (file.size() >= endLines.size()) {
        file.seek(file.size() - endLines.size());
        if (file.read(endLines.size()) == endLines) {
            return false;
        }
    }
    file.seek(0);
    const std::optional<qsizetype> end = UnfinishedRouteEnd(file.readAll());
    if (!end || !file.resize(*end) || !file.seek(*end) ||
        file.write(kRouteEndLines) != endLines.size()) {
        return false;
    }
    return platform::SyncToStorage(file);
}

}  // namespace

int CompleteUnfinishedRoutes(const QString& routesFolder) {
    const auto entries = platform::ListFolder(routesFolder);
    if (!entries) {
        return 0;
    }
    int completed = 0;
    for (const platform::FolderEntry& entry : *entries) {
        // Neither folders nor symbolic links (only files that live in the routes folder) nor
        // files the user made read-only.
        const uint32_t skipped =
            platform::kAttrDirectory | platform::kAttrReparsePoint | platform::kAttrReadOnly;
        const bool plainFile = (entry.attributes & skipped) == 0;
        if (plainFile && IsGpxFileName(entry.name) &&
            CompleteRouteFile(routesFolder + u'/' + entry.name)) {
            ++completed;
        }
    }
    return completed;
}

}  // namespace poi
