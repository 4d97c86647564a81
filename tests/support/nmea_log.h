#pragma once

#include <QFile>
#include <QString>

#include <vector>

#include "gps/nmea_parser.h"
#include "platform/gps_driver.h"

// A receiver's log from the shared data: NMEA from a BU-353S4, with gpsd's decoding beside it.
inline const QString kLog = QStringLiteral(VELMORA_SHARED_DATA "/nmea/bu353s4.log");

// The positions our decoder finds in the log: what a link or tool must show, whichever way it
// reads it. Empty when the shared data is absent.
inline std::vector<platform::GpsPosition> LogPositions() {
    std::vector<platform::GpsPosition> positions;
    gps::NmeaParser parser([&](const gps::NmeaFix& fix) {
        if (fix.position.Has(platform::kGpsValidLatitude))
            positions.push_back(fix.position);
    });
    QFile file(kLog);
    if (file.open(QIODevice::ReadOnly)) {
        parser.Feed(file.readAll().toStdString());
        parser.Flush();
    }
    return positions;
}
