// The NMEA decoder on arbitrary bytes, fed as a stream in uneven pieces: it must not crash, and
// whatever it reports must be in range.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "gps/nmea_parser.h"

namespace {

void Check(const gps::NmeaFix& fix) {
    const platform::GpsPosition& p = fix.position;
    if (p.Has(platform::kGpsValidLatitude) &&
        !(std::fabs(p.latitude) <= 90.0 && std::fabs(p.longitude) <= 180.0)) {
        std::abort();
    }
    if (p.Has(platform::kGpsValidSpeed) && !(std::isfinite(p.speedKnots) && p.speedKnots >= 0)) {
        std::abort();
    }
    if (p.Has(platform::kGpsValidUtcTime) &&
        (p.utcTime.month < 1 || p.utcTime.month > 12 || p.utcTime.day < 1 || p.utcTime.day > 31 ||
         p.utcTime.hour > 23 || p.utcTime.minute > 59)) {
        std::abort();
    }
    if (fix.timeOfDayMs >= 86400000 + 1000 || p.satellitesInView > 999) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    gps::NmeaParser parser(Check);
    const char* bytes = reinterpret_cast<const char*>(data);
    // Piece lengths from the data itself, so that line breaks fall everywhere.
    size_t offset = 0;
    size_t piece = size > 0 ? 1 + data[0] % 97 : 1;
    while (offset < size) {
        const size_t n = std::min(piece, size - offset);
        parser.Feed(bytes + offset, n);
        offset += n;
        piece = 1 + (piece * 31 + n) % 211;
    }
    parser.Flush();
    return 0;
}
