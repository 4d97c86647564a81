#pragma once

// GPX 1.0 and 1.1 files (the XML exchange format of GPS programs) read into the shape model, so
// that their waypoints and routes are drawn like the objects of a map. Tracks are skipped.

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <optional>
#include <string_view>
#include <vector>

#include "formats/shape_model.h"

namespace formats {

// Type codes of what a GPX file holds.
inline constexpr int32_t kGpxWaypointType = 17;
inline constexpr int32_t kGpxRouteType = 65000;
// The one level of a GPX file.
inline constexpr uint32_t kGpxLevelCbits = 24;

// How the content of the root element is parsed: at most sliceBytes (whole elements) at a time,
// so that the parser's tree, about three times the size of the text it holds, stays small; or,
// with whole, the document in one go. Either way gives the same result; tests and fuzzing
// compare them.
struct GpxParseOptions {
    size_t sliceBytes = size_t(1) << 20;
    bool whole = false;
};

// A loaded GPX file. After a successful Load it holds exactly one level (cbits 24) with
//  - a ShapePoint per `wpt` child of the root `gpx` element: its position, the text of its last
//    `name` child (the element name compared without regard to case) as label, the anchor on
//    the position, type 17, subtype 0;
//  - a ShapePolyline per `rte` child: one vertex per `rtept` child (exact name) in document
//    order, no label, type 65000;
// in drawing order (the routes, then the waypoints in file order). The map name stays empty.
// Positions are read as the C library reads numbers (leading sign, trailing text ignored, 0 for
// text that is not a number) and kept as floats; a value that is no finite float reads as 0.
// An element without a lat or lon attribute has no position and is left out.
//
// The file is read as UTF-8 unless a byte-order mark or the layout of its first bytes says
// UTF-16 or UTF-32, or its declaration names ISO-8859-1 or windows-1252. A label that is not
// valid UTF-8 (files written in a Western code page without saying so) reads as windows-1252.
//
// Trace lines: "TickCounts at ShapeGPX::GPXFile::Open = <ms>" on every way out; for a file that
// cannot be read or parsed "ERROR 0x<code> on line <l>, position <p> Reason: <text>" (the code is
// the XML parser's status number, line and position count from 1); "No gpx node !" when the root
// element is not `gpx`; "Problem!" when the element lists cannot be had; "Telos found <n>
// objects" after a successful read; "Catch error" when the read ran out of memory.
class GPXFile : public ShapeFile {
public:
    // True when the file was read, even if it held no waypoints or routes. On false nothing of
    // the file is kept.
    bool Load(const QString& path) override;
    // The same on bytes already in memory.
    bool LoadFromBytes(const QByteArray& bytes, const GpxParseOptions& options = {});

private:
    bool ParseText(std::string_view text, const GpxParseOptions& options);
};

// The MapFile of GPX files: what the GPX layer and the overlay set draw through.
class GpxMapFile : public MapFile {
public:
    // Replaces any file held before by a new GPXFile and loads it. On failure false, and the
    // failed (empty) file stays held, so every query answers as for an empty file; on success
    // the bounding rectangle is copied.
    bool Load(const QString& path) override;
};

// A point of a track or route with what the receiver that recorded it may have written beside
// it. A figure is there when its element is and its text starts with a number; the values are
// as the file gives them, unchecked.
struct GpxTrackPoint {
    double latitude = 0.0;             // degrees, as the C library reads the attribute
    double longitude = 0.0;            // degrees
    std::optional<double> elevationM;  // <ele>
    QDateTime time;                    // <time>, ISO 8601; invalid when absent or unreadable
    std::optional<double> positionDilutionOfPrecision;    // <pdop>
    std::optional<double> horizontalDilutionOfPrecision;  // <hdop>
    std::optional<double> verticalDilutionOfPrecision;    // <vdop>
    std::optional<double> satellites;                     // <sat>
};

// The `trkpt` points of every `trkseg` of every `trk` child of the root `gpx` element, in
// document order; or, when there are none, the `rtept` points of its `rte` children. A point
// without a lat or lon attribute that starts with a number is left out. The text is read as
// GPXFile reads it (encodings, slices). Nullopt when the text is no GPX document.
std::optional<std::vector<GpxTrackPoint>> ReadGpxTrackPoints(std::string_view text,
                                                             const GpxParseOptions& options = {});

}  // namespace formats
