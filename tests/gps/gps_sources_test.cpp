// The driver's calls over the GPS layer's sources: replayed logs and tracks, an NMEA peer on a
// loopback TCP port that goes away and comes back, and a pseudo-terminal standing in for a serial
// receiver.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "gps/gps_sources.h"
#include "gps/nmea_parser.h"
#include "platform/c_format.h"
#include "platform/gps_driver.h"
#include "scripted_gps.h"
#include "temp_home.h"

namespace {

using namespace platform;
using gps::NmeaFix;
using gps::NmeaParser;

// The sources of the GPS layer behind the driver, as the program installs them.
class GpsSourcesTest : public ::testing::Test {
protected:
    void SetUp() override { gps::InstallGpsSources(); }
};

const std::string kLog = VELMORA_SHARED_DATA "/nmea/bu353s4.log";

const char kTwoCycles[] =
    "$GPGGA,030719.000,3747.0873,S,17518.8938,E,1,08,1.1,59.9,M,23.7,M,,0000*7D\r\n"
    "$GPGSA,A,3,17,28,06,01,30,20,26,13,,,,,1.8,1.1,1.5*33\r\n"
    "$GPRMC,030719.000,A,3747.0873,S,17518.8938,E,0.69,181.39,311214,,,A*7D\r\n"
    "$GPGGA,030720.000,3747.0875,S,17518.8938,E,1,08,1.1,59.8,M,23.7,M,,0000*70\r\n"
    "$GPGSA,A,3,17,28,06,01,30,20,26,13,,,,,1.8,1.1,1.5*33\r\n"
    "$GPRMC,030720.000,A,3747.0875,S,17518.8938,E,1.15,181.39,311214,,,A*7B\r\n";

// An open device with its two events, closed at the end.
struct Device {
    AutoResetEvent position, state;
    GpsDevice* device = nullptr;

    explicit Device(const std::string& uri) {
        device = GPSOpenDevice(&position, &state, uri.c_str(), 0);
    }
    ~Device() {
        if (device)
            GPSCloseDevice(device);
    }
    // The next position within timeoutMs, or one with no valid field.
    GpsPosition Next(int timeoutMs = 3000) {
        GpsPosition p;
        p.version = 1;
        p.size = kGpsPositionSize;
        if (position.Wait(timeoutMs)) {
            GPSGetPosition(device, &p, 500000, 0);
        }
        return p;
    }
    // The latest position, whether or not a new one was signalled.
    GpsPosition Latest() {
        GpsPosition p;
        p.version = 1;
        p.size = kGpsPositionSize;
        GPSGetPosition(device, &p, 500000, 0);
        return p;
    }
    uint32_t SourceState() {
        GpsDeviceState s;
        GPSGetDeviceState(device, &s);
        return s.deviceState;
    }
};

int CountFixes(const std::string& path) {
    int count = 0;
    NmeaParser parser([&](const NmeaFix&) { ++count; });
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return 0;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) parser.Feed(buffer, n);
    std::fclose(f);
    parser.Flush();
    return count;
}

TEST_F(GpsSourcesTest, UrisAreReadAsDocumented) {
    for (const char* good :
         {"gpsd://localhost:2947", "gpsd://", "gpsd://127.0.0.1", "gpsd://[::1]:2947",
          "nmea:///dev/ttyUSB0?baud=4800", "nmea:///dev/ttyACM0", "tcp://10.0.0.2:10110",
          "replay:track.gpx?speed=2&loop=1", "replay:/tmp/log.nmea?speed=0", "replay:x.nmea"}) {
        EXPECT_NE(gps::MakeGpsBackend(good), nullptr) << good;
    }
    for (const char* bad :
         {"", "gps://x", "gpsd://host:0", "gpsd://host:70000", "gpsd://host:12ab", "tcp://host",
          "tcp://:10110", "nmea://ttyUSB0", "nmea:///dev/ttyUSB0?baud=fast",
          "replay:", "replay:x.nmea?speed=-1", "replay:x.nmea?speed=1,5"}) {
        EXPECT_EQ(gps::MakeGpsBackend(bad), nullptr) << bad;
    }
}

TEST_F(GpsSourcesTest, UnreachableSourcesFailTheOpen) {
    AutoResetEvent position, state;
    EXPECT_EQ(GPSOpenDevice(&position, &state, "gpsd://127.0.0.1:1", 0), nullptr);
    EXPECT_EQ(GPSOpenDevice(&position, &state, "tcp://127.0.0.1:1", 0), nullptr);
    EXPECT_EQ(GPSOpenDevice(&position, &state, "nmea:///dev/no-such-receiver", 0), nullptr);
    EXPECT_EQ(GPSOpenDevice(&position, &state, "replay:/no/such/file.nmea", 0), nullptr);
    EXPECT_EQ(GPSOpenDevice(&position, &state, "bogus", 0), nullptr);
    EXPECT_EQ(GPSGetPosition(nullptr, nullptr, 0, 0), kGpsErrorInvalidParameter);
    EXPECT_EQ(GPSCloseDevice(nullptr), kGpsErrorInvalidParameter);
}

TEST_F(GpsSourcesTest, ReplayAtSpeedZeroGivesEveryPositionOfTheLogThenLoops) {
    const int fixes = CountFixes(kLog);
    if (fixes == 0)
        GTEST_SKIP() << "no log at " << kLog << " (the shared data is absent)";
    Device d("replay:" + kLog + "?speed=0&loop=1");
    ASSERT_NE(d.device, nullptr);
    EXPECT_EQ(d.SourceState(), kGpsStateOn);
    std::vector<double> latitudes;
    for (int i = 0; i < fixes + 1; ++i) {
        const GpsPosition p = d.Next();
        ASSERT_TRUE(p.Has(kGpsValidLatitude)) << i;
        latitudes.push_back(p.latitude);
    }
    EXPECT_EQ(latitudes[fixes], latitudes[0]);  // started over
    EXPECT_NEAR(latitudes[1], -(37 + 47.0875 / 60), 1e-12);
}

TEST_F(GpsSourcesTest, ReplayKeepsTheRecordedPaceTimesSpeed) {
    TempHome home;
    ASSERT_TRUE(home.Write("two.nmea", kTwoCycles));
    // One second between the two cycles, at speed 4: about 250 ms.
    Device d("replay:" + home.File("two.nmea").toStdString() + "?speed=4");
    ASSERT_NE(d.device, nullptr);
    ASSERT_TRUE(d.Next().Has(kGpsValidLatitude));
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(d.Next().Has(kGpsValidLatitude));
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - start)
                        .count();
    EXPECT_GE(ms, 200);
    EXPECT_LT(ms, 1000);
    // The end of a replay without loop: one position without a fix, the source off, and
    // nothing more.
    const GpsPosition end = d.Next();
    EXPECT_EQ(end.fixQuality, kGpsFixQualityUnknown);
    EXPECT_EQ(end.validFields, 0u);
    EXPECT_FALSE(d.position.Wait(300));
    EXPECT_EQ(d.SourceState(), kGpsStateOff);
}

TEST_F(GpsSourcesTest, GpxTrackReplayDerivesSpeedAndHeading) {
    TempHome home;
    // 0.001° of latitude is 111.19 m on the sphere of 6371 km; 10 s apart, due north, then east.
    ASSERT_TRUE(home.Write("t.gpx", R"(<?xml version="1.0"?>
<gpx version="1.1" xmlns="http://www.topografix.com/GPX/1/1"><trk><trkseg>
<trkpt lat="45.000" lon="13.000"><ele>100</ele><time>2020-05-01T10:00:00Z</time></trkpt>
<trkpt lat="45.001" lon="13.000"><ele>101</ele><time>2020-05-01T10:00:10Z</time></trkpt>
<trkpt lat="45.001" lon="13.001"><time>2020-05-01T10:00:20Z</time><hdop>9.5</hdop><sat>4</sat></trkpt>
<trkpt lat="bad" lon="13.0"/>
</trkseg></trk></gpx>)"));
    Device d("replay:" + home.File("t.gpx").toStdString() + "?speed=0");
    ASSERT_NE(d.device, nullptr);
    const GpsPosition first = d.Next(), second = d.Next(), third = d.Next();
    // The point without a number is skipped: next is the end of the replay.
    EXPECT_FALSE(d.Next().Has(kGpsValidLatitude));
    EXPECT_NEAR(first.speedKnots * 1852.0 / 3600.0, 11.119, 0.01);
    EXPECT_NEAR(second.headingDeg, 0.0, 1e-3);
    EXPECT_NEAR(third.headingDeg, 90.0, 0.01);
    EXPECT_EQ(second.utcTime.second, 10);
    EXPECT_TRUE(second.Has(kGpsValidUtcTime | kGpsValidAltitudeWrtSeaLevel));
    EXPECT_FALSE(third.Has(kGpsValidAltitudeWrtSeaLevel));
    EXPECT_FLOAT_EQ(third.horizontalDilutionOfPrecision, 9.5f);
    EXPECT_EQ(third.satelliteCount, 4u);
    EXPECT_FLOAT_EQ(first.horizontalDilutionOfPrecision, 1.0f);
}

// A loopback NMEA peer: accepts one client at a time and sends it the two cycles.
class NmeaPeer {
public:
    NmeaPeer() {
        listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(listener_, 4);
        socklen_t length = sizeof address;
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
    }
    ~NmeaPeer() { ::close(listener_); }
    int Port() const { return port_; }
    // Accepts a client, sends the bytes, and hangs up.
    void ServeOnce(const std::string& bytes) {
        const int client = ::accept(listener_, nullptr, nullptr);
        if (client < 0)
            return;
        (void)!::write(client, bytes.data(), bytes.size());
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        ::close(client);
    }

private:
    int listener_ = -1;
    int port_ = 0;
};

// Two cycles at latitude 45°30' north; the peer of the second connection sends these.
std::string OtherPlace() {
    std::string out;
    for (const char* body : {"GPGGA,101010.00,4530.0000,N,01000.0000,E,1,08,1.0,10.0,M,,M,,",
                             "GPGGA,101011.00,4530.0000,N,01000.0000,E,1,08,1.0,10.0,M,,M,,",
                             "GPGGA,101012.00,4530.0000,N,01000.0000,E,1,08,1.0,10.0,M,,M,,"}) {
        unsigned sum = 0;
        for (const char* c = body; *c; ++c) sum ^= uint8_t(*c);
        out += std::string("$") + body + FormatC("*%02X\r\n", sum);
    }
    return out;
}

TEST_F(GpsSourcesTest, TcpPeerGoneAndBackIsReconnectedAndPositionsResume) {
    NmeaPeer peer;
    std::thread server([&] {
        peer.ServeOnce(kTwoCycles);
        peer.ServeOnce(OtherPlace());
    });
    Device d("tcp://127.0.0.1:" + std::to_string(peer.Port()));
    ASSERT_NE(d.device, nullptr);
    bool first = false, second = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(8);
    while (!second && std::chrono::steady_clock::now() < deadline) {
        const GpsPosition p = d.Next(500);
        if (!p.Has(kGpsValidLatitude))
            continue;
        first = first || p.latitude < 0.0;
        second = p.latitude == 45.5;
    }
    EXPECT_TRUE(first);
    EXPECT_TRUE(second) << "no position after the peer came back";
    server.join();
}

TEST_F(GpsSourcesTest, LostSourceIsRetriedWithBoundedBackOffAndShowsNoPositionMeanwhile) {
    constexpr int kFirstMs = 20, kMaxMs = 80;
    RetryTimes times(kFirstMs, kMaxMs);
    auto script = std::make_shared<GpsScript>();
    GpsScript::Installed installed(script);
    Device d("scripted");
    ASSERT_NE(d.device, nullptr);
    script->Push(GoodFix(10.0, 20.0));
    ASSERT_TRUE(d.Next().Has(kGpsValidLatitude));

    script->SetConnectable(false);
    script->DropConnection();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (script->Connects() < 8 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ASSERT_GE(script->Connects(), 8);
    // Away: no stale position to read, and the state says so.
    const GpsPosition away = d.Latest();
    EXPECT_EQ(away.validFields, 0u);
    EXPECT_EQ(away.fixQuality, kGpsFixQualityUnknown);
    EXPECT_EQ(d.SourceState(), kGpsStateOff);
    EXPECT_TRUE(d.position.Wait(0)) << "the loss is delivered as a position without a fix";

    // Attempts 2.. after the loss: the delay doubles from the first and then stays at the
    // maximum. Sleeps may overrun (a loaded machine), never undershoot.
    const auto at = script->ConnectTimes();
    int expectedMs = kFirstMs;
    for (size_t i = 2; i < 8; ++i) {
        expectedMs = std::min(expectedMs * 2, kMaxMs);
        const auto gapMs =
            std::chrono::duration_cast<std::chrono::milliseconds>(at[i] - at[i - 1]).count();
        EXPECT_GE(gapMs, expectedMs - 1) << "attempt " << i;
        EXPECT_LT(gapMs, kMaxMs + 1000) << "attempt " << i << ": back-off not bounded";
    }

    script->SetConnectable(true);
    script->Push(GoodFix(12.0, 20.0));
    const GpsPosition back = d.Next(3000);
    ASSERT_TRUE(back.Has(kGpsValidLatitude)) << "no position after the source came back";
    EXPECT_EQ(back.latitude, 12.0);
    EXPECT_EQ(d.SourceState(), kGpsStateOn);
}

TEST_F(GpsSourcesTest, SerialReceiverOnAPseudoTerminal) {
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(::grantpt(master), 0);
    ASSERT_EQ(::unlockpt(master), 0);
    const std::string slave = ::ptsname(master);
    {
        Device d("nmea://" + slave + "?baud=9600");
        ASSERT_NE(d.device, nullptr);
        // The first cycle and the sentence that starts the second: the first is complete.
        const std::string all = kTwoCycles;
        const size_t split = all.find("$GPGSA", all.find("030720"));
        ASSERT_EQ(::write(master, all.data(), split), ssize_t(split));
        const GpsPosition first = d.Next();
        ASSERT_TRUE(first.Has(kGpsValidLatitude));
        EXPECT_NEAR(first.latitude, -(37 + 47.0873 / 60), 1e-12);
        ASSERT_EQ(::write(master, all.data() + split, all.size() - split),
                  ssize_t(all.size() - split));
        const GpsPosition second = d.Next();
        EXPECT_NEAR(second.latitude, -(37 + 47.0875 / 60), 1e-12);
    }
    ::close(master);
}

// A receiver on a pseudo-terminal behind a stable name, as udev gives a USB receiver: pulling it
// out closes the terminal and removes the name; plugging it back makes a new terminal there.
class PluggableReceiver {
public:
    explicit PluggableReceiver(std::string name) : name_(std::move(name)) { Plug(); }
    ~PluggableReceiver() { Unplug(); }
    bool Plug() {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0)
            return false;
        return ::symlink(::ptsname(master_), name_.c_str()) == 0;
    }
    void Unplug() {
        ::unlink(name_.c_str());
        if (master_ >= 0)
            ::close(master_);
        master_ = -1;
    }
    void Send(const std::string& bytes) {
        if (::write(master_, bytes.data(), bytes.size()) != ssize_t(bytes.size()))
            ADD_FAILURE() << "write to the receiver failed";
    }

private:
    std::string name_;
    int master_ = -1;
};

TEST_F(GpsSourcesTest, SerialReceiverUnpluggedAndPluggedBackResumesByItself) {
    RetryTimes times(20, 80);
    TempHome home;
    const std::string name = home.File("ttyUSB0").toStdString();
    PluggableReceiver receiver(name);
    Device d("nmea://" + name + "?baud=4800");
    ASSERT_NE(d.device, nullptr);
    receiver.Send(kTwoCycles);
    ASSERT_TRUE(d.Next().Has(kGpsValidLatitude));

    receiver.Unplug();
    const auto unplugged = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (d.SourceState() != kGpsStateOff && std::chrono::steady_clock::now() < unplugged) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_EQ(d.SourceState(), kGpsStateOff);
    EXPECT_EQ(d.Latest().validFields, 0u);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));  // a few failed attempts

    ASSERT_TRUE(receiver.Plug());
    bool resumed = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!resumed && std::chrono::steady_clock::now() < deadline) {
        receiver.Send(OtherPlace());  // what the receiver says before the device opens is lost
        const GpsPosition p = d.Next(100);
        resumed = p.Has(kGpsValidLatitude) && p.latitude == 45.5;
    }
    EXPECT_TRUE(resumed) << "no position after the receiver came back";
}

}  // namespace
