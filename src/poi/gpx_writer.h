#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <memory>

#include "platform/system_time.h"

namespace poi {

// The GPX 1.0 files the program writes: recorded routes and single waypoints. Both start with
// the same eight header lines; every line ends in CR LF and the text is in the locale's
// encoding (UTF-8), which is what an XML file without an encoding declaration must be.

// Lines 1 to 7 of the header: everything up to and including the end of the gpx start tag.
const QByteArray& GpxHeaderStart();
// Line 8: the given local time as <time>Y-M-DTh:m:sZ</time>, no field padded.
QByteArray GpxTimeLine(const platform::SystemTime& localTime);
// All eight lines.
QByteArray GpxHeader(const platform::SystemTime& localTime);

// `text` in the locale's encoding with & < > " ' as entity references. Characters that an XML
// 1.0 document cannot hold at all (control characters, U+FFFE, U+FFFF) and the line breaks and
// tabs that would split the one-line element become spaces.
QByteArray EscapeXmlText(const QString& text);

// `name` made fit to be part of a file name in the routes folder: path separators and the
// characters that the file systems of memory cards cannot hold (\ / : * ? " < > | and control
// characters) become '_', as does a leading '.', which would hide the file or name a folder.
// Cut at a character boundary to at most kMaxNamePartBytes bytes in UTF-8, so that the whole
// file name stays within the 255 bytes of a directory entry.
inline constexpr int kMaxNamePartBytes = 200;
QString FileNamePart(const QString& name);

// Creates and opens (read and write, plus `extraMode`) a file that did not exist before:
// folder/stem.gpx, or when that is taken folder/stem_2.gpx, folder/stem_3.gpx and so on. Null
// when the folder does not take a new file.
std::unique_ptr<QFile> CreateNewGpxFile(const QString& folder, const QString& stem,
                                        QIODevice::OpenMode extraMode = {});

// Route files: "Y_M_D__h_m" of the start time, then one rte element.
QString RouteFileStem(const platform::SystemTime& startTime);
inline constexpr char kRouteStartLine[] = "<rte>\r\n";
inline constexpr char kRouteEndLines[] = "</rte>\r\n</gpx>\r\n";
inline constexpr char kRoutePointEndLine[] = "</rtept>\r\n";
// The three lines of one route point, numbers as C "%f" (six decimals).
QByteArray RoutePointLines(float latitude, float longitude, float altitude);

// A point of interest as the Add-POI dialog saves it.
struct Waypoint {
    double latitude = 0.0;   // decimal degrees, north positive
    double longitude = 0.0;  // decimal degrees, east positive
    double altitude = 0.0;   // metres
    QString name;
    QString category;
};

// "<name>_Y_M_D__m" (the last number is the minute) of the time OK was pressed.
QString WaypointFileStem(const QString& name, const platform::SystemTime& localTime);

// Writes `waypoint` as a new file in `routesFolder`, named and dated by the local time now
// (platform::GetLocalTime). Returns the full path of the file written, or an empty string
// when no complete file could be written (nothing is left behind then).
QString WriteWaypointFile(const QString& routesFolder, const Waypoint& waypoint);

}  // namespace poi
