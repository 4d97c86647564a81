#pragma once

// The GPS driver: four calls, two events and two records, as the program's GPS link expects
// them, over the position sources of this machine. The source is named by a URI
// (gpsd://host:port by default); the back end that reads it comes from the factory the GPS
// layer installs (SetGpsBackendFactory), which knows the URIs of the stream sources. The gpsd
// back end lives here, beside the driver.
// Once open, a device reconnects by itself when its source goes away (bounded back-off) and
// reports no position meanwhile. It delivers one position without a fix when it loses its source
// (a replay at its end included) and when a source has sent nothing for kGpsSilenceNoticeMs, so
// that the reader learns the fix is gone.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/sync_event.h"

namespace platform {

// Valid-field bits of GpsPosition::validFields.
inline constexpr uint32_t kGpsValidUtcTime = 0x00000001;
inline constexpr uint32_t kGpsValidLatitude = 0x00000002;
inline constexpr uint32_t kGpsValidLongitude = 0x00000004;
inline constexpr uint32_t kGpsValidSpeed = 0x00000008;
inline constexpr uint32_t kGpsValidHeading = 0x00000010;
inline constexpr uint32_t kGpsValidMagneticVariation = 0x00000020;
inline constexpr uint32_t kGpsValidAltitudeWrtSeaLevel = 0x00000040;
inline constexpr uint32_t kGpsValidAltitudeWrtEllipsoid = 0x00000080;
inline constexpr uint32_t kGpsValidPositionDilutionOfPrecision = 0x00000100;
inline constexpr uint32_t kGpsValidHorizontalDilutionOfPrecision = 0x00000200;
inline constexpr uint32_t kGpsValidVerticalDilutionOfPrecision = 0x00000400;
inline constexpr uint32_t kGpsValidSatelliteCount = 0x00000800;
inline constexpr uint32_t kGpsValidSatellitesUsedPrns = 0x00001000;
inline constexpr uint32_t kGpsValidSatellitesInView = 0x00002000;
inline constexpr uint32_t kGpsValidSatellitesInViewPrns = 0x00004000;
inline constexpr uint32_t kGpsValidSatellitesInViewElevation = 0x00008000;
inline constexpr uint32_t kGpsValidSatellitesInViewAzimuth = 0x00010000;
inline constexpr uint32_t kGpsValidSatellitesInViewSnr = 0x00020000;

inline constexpr uint32_t kGpsFixQualityUnknown = 0;  // no fix
inline constexpr uint32_t kGpsFixQualityGps = 1;
inline constexpr uint32_t kGpsFixQualityDgps = 2;

inline constexpr uint32_t kGpsFixUnknown = 0;
inline constexpr uint32_t kGpsFix2D = 1;
inline constexpr uint32_t kGpsFix3D = 2;

inline constexpr uint32_t kGpsFixSelectionUnknown = 0;
inline constexpr uint32_t kGpsFixSelectionAuto = 1;
inline constexpr uint32_t kGpsFixSelectionManual = 2;

inline constexpr int kGpsMaxSatellites = 12;

// Calendar fields of the record's UTC time, 16-bit as the driver keeps them.
struct GpsUtcTime {
    uint16_t year = 0;
    uint16_t month = 0;
    uint16_t dayOfWeek = 0;  // 0 = Sunday
    uint16_t day = 0;
    uint16_t hour = 0;
    uint16_t minute = 0;
    uint16_t second = 0;
    uint16_t milliseconds = 0;
};

inline constexpr uint32_t kGpsPositionSize = 344;
inline constexpr uint32_t kGpsDeviceSize = 216;

// One position as the driver reports it. A field counts only when its valid bit is set.
struct GpsPosition {
    uint32_t version = 0;
    uint32_t size = 0;
    uint32_t validFields = 0;
    uint32_t flags = 0;
    GpsUtcTime utcTime;
    double latitude = 0.0;   // degrees, north positive
    double longitude = 0.0;  // degrees, east positive
    float speedKnots = 0.0f;
    float headingDeg = 0.0f;  // true course over ground
    double magneticVariationDeg = 0.0;
    float altitudeWrtSeaLevelM = 0.0f;
    float altitudeWrtEllipsoidM = 0.0f;
    uint32_t fixQuality = kGpsFixQualityUnknown;
    uint32_t fixType = kGpsFixUnknown;
    uint32_t selectionType = kGpsFixSelectionUnknown;
    float positionDilutionOfPrecision = 0.0f;
    float horizontalDilutionOfPrecision = 0.0f;
    float verticalDilutionOfPrecision = 0.0f;
    uint32_t satelliteCount = 0;  // satellites used in the fix
    uint32_t satellitesUsedPrns[kGpsMaxSatellites] = {};
    uint32_t satellitesInView = 0;
    uint32_t satellitesInViewPrns[kGpsMaxSatellites] = {};
    uint32_t satellitesInViewElevationDeg[kGpsMaxSatellites] = {};
    uint32_t satellitesInViewAzimuthDeg[kGpsMaxSatellites] = {};
    uint32_t satellitesInViewSnrDb[kGpsMaxSatellites] = {};

    bool Has(uint32_t bits) const { return (validFields & bits) == bits; }
};
static_assert(sizeof(GpsPosition) == kGpsPositionSize);

// Service and device states of GpsDeviceState.
inline constexpr uint32_t kGpsStateUnknown = 0;
inline constexpr uint32_t kGpsStateOn = 1;
inline constexpr uint32_t kGpsStateOff = 2;

// The state of the driver and of the source behind it.
struct GpsDeviceState {
    uint32_t version = 0;
    uint32_t size = 0;
    uint32_t serviceState = kGpsStateUnknown;  // on while the device is open
    uint32_t deviceState = kGpsStateUnknown;   // on while the source delivers
    uint64_t lastDataReceived = 0;             // FILETIME ticks, 0 before the first data
    char16_t driverPrefix[16] = {};
    char16_t multiplexPrefix[16] = {};
    char16_t friendlyName[64] = {};  // the source URI, cut to fit
};
static_assert(sizeof(GpsDeviceState) == kGpsDeviceSize);

inline constexpr uint32_t kGpsErrorSuccess = 0;
inline constexpr uint32_t kGpsErrorInvalidParameter = 87;

class GpsDevice;

// Opens the source set with SetGpsSource through the installed back-end factory and returns the
// device, or null when no back end takes the URI or the source cannot be reached now. The driver
// sets newLocationData for each new position and deviceStateChange whenever the source connects or
// goes away; both may be null. deviceName overrides the source URI when not null; flags are
// reserved (0).
GpsDevice* GPSOpenDevice(AutoResetEvent* newLocationData, AutoResetEvent* deviceStateChange,
                         const char* deviceName, uint32_t flags);
// Copies the latest position into `position` (whose version and size the caller sets). A position
// older than maximumAgeMs, none yet, or none since the source was lost gives a record with no
// field valid and fix quality 0. Returns kGpsErrorSuccess.
uint32_t GPSGetPosition(GpsDevice* device, GpsPosition* position, uint32_t maximumAgeMs,
                        uint32_t flags);
uint32_t GPSGetDeviceState(GpsDevice* device, GpsDeviceState* state);
// Stops the device's reader and frees it; the events are the caller's.
uint32_t GPSCloseDevice(GpsDevice* device);

// The source of later GPSOpenDevice calls with no device name. Default gpsd://localhost:2947.
void SetGpsSource(const std::string& uri);
inline constexpr const char* kDefaultGpsSource = "gpsd://localhost:2947";

// What a back end hands the device it runs in.
class GpsSink {
public:
    virtual ~GpsSink() = default;
    // A complete position. With waitUntilRead the call returns only once a reader has fetched it
    // (or the device is closing), so that a fast source loses nothing.
    virtual void Deliver(const GpsPosition& position, bool waitUntilRead) = 0;
    // True once the device is closing: a back end ends what it is doing soon.
    virtual bool Stopping() const = 0;
    // Sleeps up to ms; returns early (false) when the device is closing.
    virtual bool SleepMs(int ms) = 0;
};

// One kind of source. The device calls Connect once at open and again after each loss, then
// Run until it returns.
class GpsBackend {
public:
    enum class RunResult { kLost, kEnded };
    virtual ~GpsBackend() = default;
    virtual bool Connect() = 0;
    // Delivers positions until the source is lost (kLost: reconnect), has nothing more to give
    // (kEnded: a finished replay), or sink.Stopping().
    virtual RunResult Run(GpsSink& sink) = 0;
    virtual void Disconnect() = 0;
};

std::unique_ptr<GpsBackend> MakeGpsdBackend(const std::string& host, int port);

// Turns a source URI into a back end; null for a URI it does not take.
using GpsBackendFactory = std::function<std::unique_ptr<GpsBackend>(const std::string& uri)>;
// The factory of later GPSOpenDevice calls; returns the one it replaces. Until one is set no
// device opens. The GPS layer installs the factory of its sources at start-up; tests install a
// scripted back end for a while and put the previous factory back.
GpsBackendFactory SetGpsBackendFactory(GpsBackendFactory factory);

// A connected source silent this long gets its position without a fix (receivers send at least
// once a second).
inline constexpr int kGpsSilenceNoticeMs = 3000;

// Reconnection back-off after a loss: starts at kGpsRetryFirstMs, doubles, stays at kGpsRetryMaxMs.
inline constexpr int kGpsRetryFirstMs = 250;
inline constexpr int kGpsRetryMaxMs = 4000;
// Tests: the back-off of devices opened from now on (both in ms, first <= maximum).
void SetGpsRetryTimes(int firstMs, int maxMs);

}  // namespace platform
