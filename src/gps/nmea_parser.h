#pragma once

// NMEA 0183 decoder for the serial, TCP and replay sources. It reads GGA, RMC, GSA, GSV, VTG and
// GLL (and the date of ZDA) from the talkers GP, GN, GL, GA, GB and BD, checks every checksum,
// and makes one position per fix cycle: the sentences a receiver sends for one instant. A cycle
// ends with the sentence type that ended the previous cycles (learnt from the first change of
// time), or when the time changes, or when a position sentence repeats. Everything else (other
// sentences and talkers, proprietary $P… and AIS sentences, sentences without a checksum, bad
// checksums, cut or overlong lines, binary noise, fields out of range) is skipped.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>

#include "platform/gps_driver.h"

namespace gps {

struct NmeaFix {
    platform::GpsPosition position;  // version and size set; no fix: quality 0 and no position bits
    int timeOfDayMs = -1;  // UTC time of the cycle, also when the date is unknown; -1 if none
};

struct NmeaCounts {
    uint64_t lines = 0;  // non-empty lines seen
    uint64_t used = 0;   // sentences that went into a cycle
    uint64_t badChecksum = 0;
    uint64_t noChecksum = 0;
    uint64_t skipped = 0;  // well-formed but not used: other types, talkers, bad fields
    uint64_t fixes = 0;    // NmeaFix values made
};

class NmeaParser {
public:
    enum class Sentence { kUsed, kSkipped, kBadChecksum, kNoChecksum, kMalformed };
    using FixHandler = std::function<void(const NmeaFix&)>;

    explicit NmeaParser(FixHandler onFix);

    // Raw bytes from the source, in any pieces; sentences end with CR, LF or both.
    void Feed(const char* data, size_t size);
    void Feed(std::string_view bytes) { Feed(bytes.data(), bytes.size()); }
    // One sentence without its line end.
    Sentence ParseSentence(std::string_view line);
    // Ends the cycle in progress (end of a log, or a source gone); its position is made if it has
    // one.
    void Flush();
    // Forgets the cycle in progress, the learnt cycle end, the date and the satellites.
    void Reset();

    const NmeaCounts& Counts() const { return counts_; }

    // Sentence kinds; public for the implementation's tables.
    enum Kind : int { kGga, kRmc, kGsa, kGsv, kVtg, kGll, kZda, kKindCount, kNoKind = -1 };

private:
    struct Fields;
    struct Cycle {
        int timeOfDayMs = -1;
        unsigned seenKinds = 0;  // bit per Kind
        int lastKind = kNoKind;
        bool gsaSeen = false;
        int ggaQuality = -1;  // raw GGA fix quality
        int rmcValid = -1;    // RMC status: 1 A, 0 V, -1 none
        char rmcMode = 0;
        int gllValid = -1;
        char gllMode = 0;
        int gsaMode = 0;  // 1 no fix, 2 2D, 3 3D
        bool hasLatLon = false;
        double latitude = 0.0;
        double longitude = 0.0;
        bool hasSpeed = false;
        float speedKnots = 0.0f;
        bool hasHeading = false;
        float headingDeg = 0.0f;
        bool hasAltitude = false;
        float altitudeM = 0.0f;
        bool hasGeoid = false;
        float geoidSeparationM = 0.0f;
        bool hasMagVar = false;
        double magVarDeg = 0.0;
        bool hasSatCount = false;
        uint32_t satCount = 0;
        bool hasGgaHdop = false;
        float ggaHdop = 0.0f;
        bool emitted = false;
        bool lateData = false;  // a position sentence after the cycle was reported
    };
    // Satellite figures outlive a cycle: receivers send GSA and GSV less often than positions.
    struct Sky {
        bool hasPdop = false, hasHdop = false, hasVdop = false;
        float pdop = 0.0f, hdop = 0.0f, vdop = 0.0f;
        int usedCount = 0;
        uint32_t used[platform::kGpsMaxSatellites] = {};
        bool hasView = false;
        uint32_t inViewByTalker[8] = {};
        int viewCount = 0;
        uint32_t prn[platform::kGpsMaxSatellites] = {}, elevation[platform::kGpsMaxSatellites] = {},
                 azimuth[platform::kGpsMaxSatellites] = {}, snr[platform::kGpsMaxSatellites] = {};
        unsigned viewTalkersThisCycle = 0;
    };

    void HandleGga(const Fields& f);
    void HandleRmc(const Fields& f);
    void HandleGsa(const Fields& f);
    void HandleGsv(const Fields& f, int talker);
    void HandleVtg(const Fields& f);
    void HandleGll(const Fields& f);
    void HandleZda(const Fields& f);
    // A sentence of `kind` with time of day `timeMs` (-1: none) starts a new cycle if it must.
    void EnterCycle(int kind, int timeMs);
    // Where RMC and GLL keep their time, status (A valid, V not) and mode letter.
    struct StatusFields {
        size_t time, status, mode;
    };
    // Enters the cycle of a sentence with a status field and keeps its status and mode in the
    // given members; false (the sentence skipped) when the time or the status is malformed.
    bool EnterStatusCycle(int kind, const Fields& f, StatusFields at, int Cycle::*valid,
                          char Cycle::*mode);
    void EndCycle(bool learnEnd);
    void Emit();
    bool SetDate(int year, int month, int day);

    FixHandler onFix_;
    Cycle cycle_;
    Sky sky_;
    int cycleEndKind_ = kNoKind;
    int cycleEndKinds_ = 0;  // sentence kinds in the cycle that taught cycleEndKind_
    bool hasDate_ = false;
    int year_ = 0, month_ = 0, day_ = 0;
    NmeaCounts counts_;
    static constexpr size_t kMaxLine = 255;
    char line_[kMaxLine + 1];
    size_t lineLength_ = 0;
    bool lineOverflow_ = false;
};

}  // namespace gps
