#include "gps/nmea_parser.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

#include "platform/system_time.h"

namespace gps {

namespace {

constexpr size_t kMaxFields = 40;

constexpr double kPow10[] = {1e0, 1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,
                             1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17};

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// [+|-]digits[.digits] with at least one digit and nothing else. The digits are gathered as an
// integer and divided once by a power of ten, so up to 15 significant digits read exactly as the
// nearest double.
bool ParseNumber(std::string_view text, double& value) {
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    uint64_t mantissa = 0;
    int digits = 0;
    int fractionDigits = 0;
    bool point = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            if (digits < 17) {
                mantissa = mantissa * 10 + uint64_t(c - '0');
                ++digits;
                if (point)
                    ++fractionDigits;
            } else if (!point) {
                return false;  // more integer digits than any field of ours holds
            }
        } else if (c == '.' && !point) {
            point = true;
        } else {
            return false;
        }
    }
    if (digits == 0)
        return false;
    value = double(mantissa) / kPow10[fractionDigits];
    if (negative)
        value = -value;
    return true;
}

bool ParseFloat(std::string_view text, float& value) {
    double d = 0.0;
    if (!ParseNumber(text, d) || !std::isfinite(d))
        return false;
    value = float(d);
    return true;
}

bool ParseUnsigned(std::string_view text, uint32_t& value) {
    if (text.empty() || text.size() > 9)
        return false;
    uint32_t v = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        v = v * 10 + uint32_t(c - '0');
    }
    value = v;
    return true;
}

uint32_t TwoDigits(const char* p) {
    return uint32_t(p[0] - '0') * 10 + uint32_t(p[1] - '0');
}
bool IsDigits(std::string_view text, size_t count) {
    if (text.size() < count)
        return false;
    for (size_t i = 0; i < count; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
    }
    return true;
}

// hhmmss[.sss] → milliseconds of the day; -1 when empty or out of range.
int ParseTimeOfDay(std::string_view text) {
    if (!IsDigits(text, 6))
        return -1;
    const uint32_t hour = TwoDigits(text.data());
    const uint32_t minute = TwoDigits(text.data() + 2);
    const uint32_t second = TwoDigits(text.data() + 4);
    if (hour > 23 || minute > 59 || second > 60)
        return -1;  // 60: a leap second
    int ms = 0;
    if (text.size() > 6) {
        double fraction = 0.0;
        if (text[6] != '.' || !ParseNumber(text.substr(6), fraction))
            return -1;
        ms = int(std::lround(fraction * 1000.0));
        if (ms > 999)
            ms = 999;
    }
    return int((hour * 3600 + minute * 60 + second) * 1000) + ms;
}

// ddmm.mmmm (or dddmm.mmmm) and its hemisphere letter → signed degrees.
bool ParseAngle(std::string_view text, std::string_view hemisphere, double maxDegrees,
                char positive, char negative, double& value) {
    double raw = 0.0;
    if (hemisphere.size() != 1 || (hemisphere[0] != positive && hemisphere[0] != negative) ||
        !ParseNumber(text, raw) || raw < 0.0) {
        return false;
    }
    const double degrees = std::floor(raw / 100.0);
    const double minutes = raw - degrees * 100.0;
    if (minutes >= 60.0)
        return false;
    value = degrees + minutes / 60.0;
    if (value > maxDegrees)
        return false;
    if (hemisphere[0] == negative)
        value = -value;
    return true;
}

// Talker index for the satellite tables; -1 for talkers we do not read.
int TalkerIndex(char a, char b) {
    if (a == 'G') {
        switch (b) {
            case 'P':
                return 0;
            case 'N':
                return 1;
            case 'L':
                return 2;
            case 'A':
                return 3;
            case 'B':
                return 4;
        }
    } else if (a == 'B' && b == 'D') {
        return 5;
    }
    return -1;
}

int KindOf(const char* type) {
    switch (type[0]) {
        case 'G':
            if (type[1] == 'G' && type[2] == 'A')
                return NmeaParser::kGga;
            if (type[1] == 'S' && type[2] == 'A')
                return NmeaParser::kGsa;
            if (type[1] == 'S' && type[2] == 'V')
                return NmeaParser::kGsv;
            if (type[1] == 'L' && type[2] == 'L')
                return NmeaParser::kGll;
            break;
        case 'R':
            if (type[1] == 'M' && type[2] == 'C')
                return NmeaParser::kRmc;
            break;
        case 'V':
            if (type[1] == 'T' && type[2] == 'G')
                return NmeaParser::kVtg;
            break;
        case 'Z':
            if (type[1] == 'D' && type[2] == 'A')
                return NmeaParser::kZda;
            break;
    }
    return NmeaParser::kNoKind;
}

// GGA fix quality → the record's: RTK fixes are differential; manual input (7) and the
// simulator (8) are no measured position.
uint32_t QualityFromGga(int quality) {
    switch (quality) {
        case 1:
        case 3:
        case 6:
            return platform::kGpsFixQualityGps;
        case 2:
        case 4:
        case 5:
            return platform::kGpsFixQualityDgps;
        default:
            return platform::kGpsFixQualityUnknown;
    }
}

// Status A/V with the mode indicator of NMEA 2.3 (RMC, GLL) → the record's quality.
uint32_t QualityFromStatus(int valid, char mode) {
    if (valid != 1)
        return platform::kGpsFixQualityUnknown;
    switch (mode) {
        case 'N':
        case 'S':
        case 'M':
            return platform::kGpsFixQualityUnknown;
        case 'D':
        case 'F':
        case 'R':
        case 'P':
            return platform::kGpsFixQualityDgps;
        default:
            return platform::kGpsFixQualityGps;
    }
}

}  // namespace

struct NmeaParser::Fields {
    std::string_view field[kMaxFields];
    size_t count = 0;
    std::string_view operator[](size_t i) const {
        return i < count ? field[i] : std::string_view();
    }
};

NmeaParser::NmeaParser(FixHandler onFix) : onFix_(std::move(onFix)) {}

void NmeaParser::Feed(const char* data, size_t size) {
    for (size_t i = 0; i < size; ++i) {
        const char c = data[i];
        if (c == '\n' || c == '\r') {
            if (lineLength_ > 0 && !lineOverflow_) {
                ParseSentence(std::string_view(line_, lineLength_));
            }
            lineLength_ = 0;
            lineOverflow_ = false;
            continue;
        }
        if (c == '$' || c == '!') {
            // A new sentence inside a line: what came before was cut short.
            if (lineLength_ > 0 && !lineOverflow_) {
                ParseSentence(std::string_view(line_, lineLength_));
            }
            lineLength_ = 0;
            lineOverflow_ = false;
        }
        if (lineLength_ < kMaxLine) {
            line_[lineLength_++] = c;
        } else {
            lineOverflow_ = true;
        }
    }
}

NmeaParser::Sentence NmeaParser::ParseSentence(std::string_view line) {
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) {
        line.remove_suffix(1);
    }
    if (line.empty())
        return Sentence::kMalformed;
    ++counts_.lines;
    if (line[0] != '$') {
        ++counts_.skipped;  // comments, AIS (!AIVDM) and noise
        return Sentence::kSkipped;
    }
    // One pass: checksum and field boundaries together.
    Fields f;
    unsigned sum = 0;
    size_t start = 1;
    size_t i = 1;
    for (; i < line.size() && line[i] != '*'; ++i) {
        const char c = line[i];
        sum ^= unsigned(uint8_t(c));
        if (c == ',') {
            if (f.count < kMaxFields)
                f.field[f.count++] = line.substr(start, i - start);
            start = i + 1;
        }
    }
    if (i >= line.size()) {
        ++counts_.noChecksum;
        return Sentence::kNoChecksum;
    }
    if (f.count < kMaxFields)
        f.field[f.count++] = line.substr(start, i - start);
    if (line.size() != i + 3) {
        ++counts_.badChecksum;
        return Sentence::kBadChecksum;
    }
    const int high = HexDigit(line[i + 1]);
    const int low = HexDigit(line[i + 2]);
    if (high < 0 || low < 0 || unsigned(high * 16 + low) != sum) {
        ++counts_.badChecksum;
        return Sentence::kBadChecksum;
    }
    const std::string_view address = f.field[0];
    if (address.size() != 5) {
        ++counts_.skipped;
        return Sentence::kSkipped;
    }
    const int talker = TalkerIndex(address[0], address[1]);
    const int kind = talker < 0 ? kNoKind : KindOf(address.data() + 2);
    if (kind == kNoKind) {
        ++counts_.skipped;
        return Sentence::kSkipped;
    }
    const uint64_t skippedBefore = counts_.skipped;
    switch (kind) {
        case kGga:
            HandleGga(f);
            break;
        case kRmc:
            HandleRmc(f);
            break;
        case kGsa:
            HandleGsa(f);
            break;
        case kGsv:
            HandleGsv(f, talker);
            break;
        case kVtg:
            HandleVtg(f);
            break;
        case kGll:
            HandleGll(f);
            break;
        case kZda:
            HandleZda(f);
            break;
    }
    if (counts_.skipped != skippedBefore) {
        return Sentence::kSkipped;
    }
    ++counts_.used;
    if (kind != kGsv || cycle_.lastKind == kGsv) {
        if (cycleEndKind_ == kind && !cycle_.emitted) {
            Emit();
        }
    }
    return Sentence::kUsed;
}

void NmeaParser::EnterCycle(int kind, int timeMs) {
    const bool isPositionKind = kind == kGga || kind == kRmc || kind == kGll;
    const unsigned positionKinds = (1u << kGga) | (1u << kRmc) | (1u << kGll);
    if (timeMs >= 0 && cycle_.timeOfDayMs >= 0 && timeMs != cycle_.timeOfDayMs) {
        EndCycle(true);
    } else if (timeMs >= 0 && cycle_.timeOfDayMs < 0 && (cycle_.seenKinds & positionKinds)) {
        EndCycle(false);  // a cycle of empty sentences (no fix, no time) is over
    } else if (isPositionKind && timeMs < 0 && (cycle_.seenKinds & (1u << kind))) {
        EndCycle(false);  // no times to go by: a position sentence again starts the next cycle
    }
    if (timeMs >= 0 && cycle_.timeOfDayMs < 0) {
        cycle_.timeOfDayMs = timeMs;
    }
    if (cycle_.emitted && isPositionKind) {
        cycle_.lateData = true;
    }
    cycle_.seenKinds |= 1u << kind;
    cycle_.lastKind = kind;
}

void NmeaParser::EndCycle(bool learnEnd) {
    if (cycle_.seenKinds != 0) {
        // A cycle that lacks some sentences (a dropped GGA) teaches nothing; one whose position
        // sentences went on after we reported it shows that the learnt end came too early.
        const int kinds = std::popcount(cycle_.seenKinds);
        if (learnEnd && cycle_.lastKind != kNoKind &&
            ((!cycle_.emitted && kinds >= cycleEndKinds_) || cycle_.lateData)) {
            cycleEndKind_ = cycle_.lastKind;
            cycleEndKinds_ = kinds;
        }
        if (!cycle_.emitted) {
            Emit();
        }
    }
    cycle_ = Cycle();
    sky_.viewTalkersThisCycle = 0;
}

void NmeaParser::Flush() {
    EndCycle(false);
}

void NmeaParser::Reset() {
    cycle_ = Cycle();
    sky_ = Sky();
    cycleEndKind_ = kNoKind;
    cycleEndKinds_ = 0;
    hasDate_ = false;
    lineLength_ = 0;
    lineOverflow_ = false;
}

void NmeaParser::Emit() {
    const Cycle& c = cycle_;
    const unsigned positionKinds = (1u << kGga) | (1u << kRmc) | (1u << kGll);
    if ((c.seenKinds & positionKinds) == 0) {
        return;  // satellites only: nothing to report yet
    }
    cycle_.emitted = true;
    NmeaFix fix;
    platform::GpsPosition& p = fix.position;
    p.version = 1;
    p.size = platform::kGpsPositionSize;
    fix.timeOfDayMs = c.timeOfDayMs;

    if (c.ggaQuality >= 0) {
        p.fixQuality = QualityFromGga(c.ggaQuality);
    } else if (c.rmcValid >= 0) {
        p.fixQuality = QualityFromStatus(c.rmcValid, c.rmcMode);
    } else {
        p.fixQuality = QualityFromStatus(c.gllValid, c.gllMode);
    }
    const bool fixed = p.fixQuality != platform::kGpsFixQualityUnknown;
    p.selectionType = platform::kGpsFixSelectionAuto;

    if (c.timeOfDayMs >= 0) {
        const int ms = c.timeOfDayMs;
        p.utcTime.hour = uint16_t(ms / 3600000);
        p.utcTime.minute = uint16_t(ms / 60000 % 60);
        p.utcTime.second = uint16_t(ms / 1000 % 60);
        p.utcTime.milliseconds = uint16_t(ms % 1000);
        if (hasDate_) {
            p.utcTime.year = uint16_t(year_);
            p.utcTime.month = uint16_t(month_);
            p.utcTime.day = uint16_t(day_);
            platform::SystemTime calendar;
            calendar.year = year_;
            calendar.month = month_;
            calendar.day = day_;
            if (const auto ticks = platform::ToFileTime(calendar)) {
                p.utcTime.dayOfWeek = uint16_t(platform::ToSystemTime(*ticks).dayOfWeek);
            }
            p.validFields |= platform::kGpsValidUtcTime;
        }
    }
    // A figure the cycle or the sky holds goes into the record with its valid bit.
    const auto take = [&p](bool has, auto value, auto& field, uint32_t bit) {
        if (has) {
            field = value;
            p.validFields |= bit;
        }
    };
    if (fixed) {
        take(c.hasLatLon, c.latitude, p.latitude, platform::kGpsValidLatitude);
        take(c.hasLatLon, c.longitude, p.longitude, platform::kGpsValidLongitude);
        take(c.hasSpeed, c.speedKnots, p.speedKnots, platform::kGpsValidSpeed);
        take(c.hasHeading, c.headingDeg, p.headingDeg, platform::kGpsValidHeading);
        take(c.hasAltitude, c.altitudeM, p.altitudeWrtSeaLevelM,
             platform::kGpsValidAltitudeWrtSeaLevel);
        take(c.hasAltitude && c.hasGeoid, c.altitudeM + c.geoidSeparationM, p.altitudeWrtEllipsoidM,
             platform::kGpsValidAltitudeWrtEllipsoid);
        take(c.hasMagVar, c.magVarDeg, p.magneticVariationDeg,
             platform::kGpsValidMagneticVariation);
        if (c.gsaMode == 2) {
            p.fixType = platform::kGpsFix2D;
        } else if (c.gsaMode == 3 || (c.gsaMode == 0 && c.hasAltitude)) {
            p.fixType = platform::kGpsFix3D;
        } else if (c.gsaMode == 0) {
            p.fixType = platform::kGpsFix2D;
        }
    }
    take(sky_.hasPdop, sky_.pdop, p.positionDilutionOfPrecision,
         platform::kGpsValidPositionDilutionOfPrecision);
    take(c.hasGgaHdop || sky_.hasHdop, c.hasGgaHdop ? c.ggaHdop : sky_.hdop,
         p.horizontalDilutionOfPrecision, platform::kGpsValidHorizontalDilutionOfPrecision);
    take(sky_.hasVdop, sky_.vdop, p.verticalDilutionOfPrecision,
         platform::kGpsValidVerticalDilutionOfPrecision);
    take(c.hasSatCount || c.gsaSeen, c.hasSatCount ? c.satCount : uint32_t(sky_.usedCount),
         p.satelliteCount, platform::kGpsValidSatelliteCount);
    if (sky_.usedCount > 0) {
        std::memcpy(p.satellitesUsedPrns, sky_.used, sizeof(p.satellitesUsedPrns));
        p.validFields |= platform::kGpsValidSatellitesUsedPrns;
    }
    if (sky_.hasView) {
        uint32_t total = 0;
        for (uint32_t n : sky_.inViewByTalker) total += n;
        p.satellitesInView = total;
        std::memcpy(p.satellitesInViewPrns, sky_.prn, sizeof(p.satellitesInViewPrns));
        std::memcpy(p.satellitesInViewElevationDeg, sky_.elevation,
                    sizeof(p.satellitesInViewElevationDeg));
        std::memcpy(p.satellitesInViewAzimuthDeg, sky_.azimuth,
                    sizeof(p.satellitesInViewAzimuthDeg));
        std::memcpy(p.satellitesInViewSnrDb, sky_.snr, sizeof(p.satellitesInViewSnrDb));
        p.validFields |=
            platform::kGpsValidSatellitesInView | platform::kGpsValidSatellitesInViewPrns |
            platform::kGpsValidSatellitesInViewElevation |
            platform::kGpsValidSatellitesInViewAzimuth | platform::kGpsValidSatellitesInViewSnr;
    }
    ++counts_.fixes;
    if (onFix_)
        onFix_(fix);
}

bool NmeaParser::SetDate(int year, int month, int day) {
    platform::SystemTime calendar;
    calendar.year = year;
    calendar.month = month;
    calendar.day = day;
    if (!platform::ToFileTime(calendar))
        return false;  // month 13, 30 February, …
    hasDate_ = true;
    year_ = year;
    month_ = month;
    day_ = day;
    return true;
}

// $--GGA,time,lat,N,lon,E,quality,satellites,hdop,altitude,M,geoid separation,M,age,station
void NmeaParser::HandleGga(const Fields& f) {
    int quality = -1;
    uint32_t q = 0;
    if (ParseUnsigned(f[6], q) && q <= 9)
        quality = int(q);
    const int timeMs = ParseTimeOfDay(f[1]);
    if (quality < 0 || (timeMs < 0 && !f[1].empty())) {
        ++counts_.skipped;
        return;
    }
    EnterCycle(kGga, timeMs);
    Cycle& c = cycle_;
    if (c.ggaQuality >= 0) {
        return;  // a second constellation's GGA for the same instant (GPGGA, GLGGA) adds nothing
    }
    c.ggaQuality = quality;
    double lat = 0.0, lon = 0.0;
    if (quality > 0 && ParseAngle(f[2], f[3], 90.0, 'N', 'S', lat) &&
        ParseAngle(f[4], f[5], 180.0, 'E', 'W', lon)) {
        c.hasLatLon = true;
        c.latitude = lat;
        c.longitude = lon;
    } else if (quality > 0 && !c.hasLatLon) {
        c.ggaQuality = 0;  // a fix without a readable position is none
    }
    uint32_t sats = 0;
    if (ParseUnsigned(f[7], sats) && sats <= 99) {
        c.hasSatCount = true;
        c.satCount = sats;
        if (sats == 0) {
            c.ggaQuality = 0;  // receivers keep quality 1 on a held position with no satellite
        }
    }
    float hdop = 0.0f;
    if (ParseFloat(f[8], hdop) && hdop >= 0.0f && hdop < 100.0f) {
        c.hasGgaHdop = true;
        c.ggaHdop = hdop;
    }
    float altitude = 0.0f;
    if (ParseFloat(f[9], altitude) && std::fabs(altitude) < 1e6f) {
        c.hasAltitude = true;
        c.altitudeM = altitude;
        float geoid = 0.0f;
        if (ParseFloat(f[11], geoid) && std::fabs(geoid) < 1000.0f) {
            c.hasGeoid = true;
            c.geoidSeparationM = geoid;
        }
    }
}

bool NmeaParser::EnterStatusCycle(int kind, const Fields& f, StatusFields at, int Cycle::*valid,
                                  char Cycle::*mode) {
    const int timeMs = ParseTimeOfDay(f[at.time]);
    const std::string_view status = f[at.status];
    if ((timeMs < 0 && !f[at.time].empty()) || status.size() != 1 ||
        (status[0] != 'A' && status[0] != 'V')) {
        ++counts_.skipped;
        return false;
    }
    EnterCycle(kind, timeMs);
    cycle_.*valid = status[0] == 'A' ? 1 : 0;
    cycle_.*mode = f[at.mode].size() == 1 ? f[at.mode][0] : 0;
    return true;
}

// $--RMC,time,status,lat,N,lon,E,speed knots,track,ddmmyy,magnetic variation,E,mode
void NmeaParser::HandleRmc(const Fields& f) {
    if (!EnterStatusCycle(kRmc, f, {1, 2, 12}, &Cycle::rmcValid, &Cycle::rmcMode)) {
        return;
    }
    Cycle& c = cycle_;
    const std::string_view date = f[9];
    if (date.size() == 6 && IsDigits(date, 6)) {
        const int day = int(TwoDigits(date.data()));
        const int month = int(TwoDigits(date.data() + 2));
        const int yy = int(TwoDigits(date.data() + 4));
        SetDate(yy < 80 ? 2000 + yy : 1900 + yy, month, day);
    }
    if (c.rmcValid != 1)
        return;
    double lat = 0.0, lon = 0.0;
    if (!c.hasLatLon && ParseAngle(f[3], f[4], 90.0, 'N', 'S', lat) &&
        ParseAngle(f[5], f[6], 180.0, 'E', 'W', lon)) {
        c.hasLatLon = true;
        c.latitude = lat;
        c.longitude = lon;
    }
    float speed = 0.0f;
    if (ParseFloat(f[7], speed) && speed >= 0.0f && speed < 1e5f) {
        c.hasSpeed = true;
        c.speedKnots = speed;
    }
    float track = 0.0f;
    if (ParseFloat(f[8], track) && track >= 0.0f && track <= 360.0f) {
        c.hasHeading = true;
        c.headingDeg = track;
    }
    double variation = 0.0;
    if (ParseNumber(f[10], variation) && variation >= 0.0 && variation <= 180.0 &&
        f[11].size() == 1 && (f[11][0] == 'E' || f[11][0] == 'W')) {
        c.hasMagVar = true;
        c.magVarDeg = f[11][0] == 'W' ? -variation : variation;
    }
}

// $--GSA,selection,mode,12 × PRN,pdop,hdop,vdop[,system]
void NmeaParser::HandleGsa(const Fields& f) {
    uint32_t mode = 0;
    if (!ParseUnsigned(f[2], mode) || mode < 1 || mode > 3 || f.count < 18) {
        ++counts_.skipped;
        return;
    }
    EnterCycle(kGsa, -1);
    Cycle& c = cycle_;
    if (!c.gsaSeen) {
        sky_.usedCount = 0;  // first GSA of the cycle; more follow for other constellations
        std::memset(sky_.used, 0, sizeof(sky_.used));
    }
    c.gsaSeen = true;
    c.gsaMode = std::max(c.gsaMode, int(mode));
    for (size_t i = 3; i < 15; ++i) {
        uint32_t prn = 0;
        if (ParseUnsigned(f[i], prn) && prn > 0 && sky_.usedCount < platform::kGpsMaxSatellites) {
            sky_.used[sky_.usedCount++] = prn;
        }
    }
    float dop = 0.0f;
    if (ParseFloat(f[15], dop) && dop > 0.0f && dop < 100.0f) {
        sky_.hasPdop = true;
        sky_.pdop = dop;
    }
    if (ParseFloat(f[16], dop) && dop > 0.0f && dop < 100.0f) {
        sky_.hasHdop = true;
        sky_.hdop = dop;
    }
    if (ParseFloat(f[17], dop) && dop > 0.0f && dop < 100.0f) {
        sky_.hasVdop = true;
        sky_.vdop = dop;
    }
}

// $--GSV,messages,message number,satellites in view,4 × (PRN,elevation,azimuth,SNR)
void NmeaParser::HandleGsv(const Fields& f, int talker) {
    uint32_t messages = 0, number = 0, inView = 0;
    if (!ParseUnsigned(f[1], messages) || !ParseUnsigned(f[2], number) ||
        !ParseUnsigned(f[3], inView) || messages == 0 || number == 0 || number > messages ||
        messages > 9 || inView > 99) {
        ++counts_.skipped;
        return;
    }
    EnterCycle(kGsv, -1);
    // Only the last message of a group may end a cycle.
    cycle_.lastKind = number == messages ? kGsv : kNoKind;
    if (!sky_.hasView || sky_.viewTalkersThisCycle == 0) {
        sky_.viewCount = 0;
        std::memset(sky_.inViewByTalker, 0, sizeof(sky_.inViewByTalker));
    }
    sky_.hasView = true;
    sky_.viewTalkersThisCycle |= 1u << talker;
    sky_.inViewByTalker[talker] = inView;
    for (size_t i = 4; i < f.count && i < 20; i += 4) {
        uint32_t prn = 0, elevation = 0, azimuth = 0, snr = 0;
        if (!ParseUnsigned(f[i], prn) || prn == 0 ||
            sky_.viewCount >= platform::kGpsMaxSatellites) {
            continue;
        }
        ParseUnsigned(f[i + 1], elevation);
        ParseUnsigned(f[i + 2], azimuth);
        ParseUnsigned(f[i + 3], snr);
        const int k = sky_.viewCount++;
        sky_.prn[k] = prn;
        sky_.elevation[k] = elevation <= 90 ? elevation : 0;
        sky_.azimuth[k] = azimuth < 360 ? azimuth : 0;
        sky_.snr[k] = snr <= 99 ? snr : 0;
    }
}

// $--VTG,track,T,magnetic track,M,speed knots,N,speed km/h,K[,mode]
void NmeaParser::HandleVtg(const Fields& f) {
    if (f.count < 9) {
        ++counts_.skipped;
        return;
    }
    EnterCycle(kVtg, -1);
    Cycle& c = cycle_;
    if (f[9].size() == 1 && f[9][0] == 'N')
        return;
    float value = 0.0f;
    if (!c.hasHeading && ParseFloat(f[1], value) && value >= 0.0f && value <= 360.0f) {
        c.hasHeading = true;
        c.headingDeg = value;
    }
    if (!c.hasSpeed) {
        if (ParseFloat(f[5], value) && value >= 0.0f && value < 1e5f) {
            c.hasSpeed = true;
            c.speedKnots = value;
        } else if (ParseFloat(f[7], value) && value >= 0.0f && value < 2e5f) {
            c.hasSpeed = true;
            c.speedKnots = float(double(value) / 1.852);
        }
    }
}

// $--GLL,lat,N,lon,E,time,status[,mode]
void NmeaParser::HandleGll(const Fields& f) {
    if (!EnterStatusCycle(kGll, f, {5, 6, 7}, &Cycle::gllValid, &Cycle::gllMode)) {
        return;
    }
    Cycle& c = cycle_;
    double lat = 0.0, lon = 0.0;
    if (c.gllValid == 1 && !c.hasLatLon && ParseAngle(f[1], f[2], 90.0, 'N', 'S', lat) &&
        ParseAngle(f[3], f[4], 180.0, 'E', 'W', lon)) {
        c.hasLatLon = true;
        c.latitude = lat;
        c.longitude = lon;
    }
}

// $--ZDA,time,day,month,year,zone hours,zone minutes: the date for receivers without RMC.
void NmeaParser::HandleZda(const Fields& f) {
    uint32_t day = 0, month = 0, year = 0;
    const int timeMs = ParseTimeOfDay(f[1]);
    if (!ParseUnsigned(f[2], day) || !ParseUnsigned(f[3], month) || !ParseUnsigned(f[4], year) ||
        f[4].size() != 4 || timeMs < 0 ||
        !platform::ToFileTime(
            platform::SystemTime{int(year), int(month), 0, int(day), 0, 0, 0, 0})) {
        ++counts_.skipped;
        return;
    }
    EnterCycle(kZda, timeMs);
    SetDate(int(year), int(month), int(day));
}

}  // namespace gps
