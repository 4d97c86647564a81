#pragma once

// The position sources of the GPS layer, chosen by a URI:
//   gpsd://host:port                 gpsd through libgps (default gpsd://localhost:2947)
//   nmea:///dev/ttyUSB0?baud=4800    NMEA 0183 on a serial line
//   tcp://host:port                  NMEA 0183 over TCP
//   replay:FILE.nmea?speed=N&loop=1  an NMEA log at its recorded pace times N (0: as fast as the
//   replay:FILE.gpx?speed=N&loop=1   reader takes each position); a GPX track or route
// The driver in platform/ runs whichever back end the URI names once InstallGpsSources has
// handed it this layer's factory.

#include <memory>
#include <string>

#include "platform/gps_driver.h"

namespace gps {

// The back end for a source URI; null for a URI none of them takes. Nothing is opened yet.
std::unique_ptr<platform::GpsBackend> MakeGpsBackend(const std::string& uri);
std::unique_ptr<platform::GpsBackend> MakeSerialNmeaBackend(const std::string& device, int baud);
std::unique_ptr<platform::GpsBackend> MakeTcpNmeaBackend(const std::string& host, int port);
std::unique_ptr<platform::GpsBackend> MakeReplayBackend(const std::string& path, double speed,
                                                        bool loop);

// Makes the driver open its sources through MakeGpsBackend.
void InstallGpsSources();

// Installs the sources and makes uri the source of later opens; false, with nothing changed,
// for a URI that no back end takes.
bool SelectGpsSource(const std::string& uri);

}  // namespace gps
