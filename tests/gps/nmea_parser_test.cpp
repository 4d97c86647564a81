// The NMEA decoder on hand-made sentences: checksums, cycles, fields, talkers and bad input.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gps/nmea_parser.h"
#include "platform/c_format.h"

namespace {

using gps::NmeaFix;
using gps::NmeaParser;

// "$" + body + "*" + checksum.
std::string Sentence(const std::string& body) {
    unsigned sum = 0;
    for (char c : body) sum ^= uint8_t(c);
    return "$" + body + platform::FormatC("*%02X", sum) + "\r\n";
}

// The same without its line end, for ParseSentence.
std::string Line(const std::string& body) {
    const std::string s = Sentence(body);
    return s.substr(0, s.size() - 2);
}

struct Decoded {
    std::vector<NmeaFix> fixes;
    NmeaParser parser{[this](const NmeaFix& fix) { fixes.push_back(fix); }};
    Decoded& operator<<(const std::string& bytes) {
        parser.Feed(bytes);
        return *this;
    }
};

const std::string kGga1 = "GPGGA,030719.000,3747.0873,S,17518.8938,E,1,08,1.1,59.9,M,23.7,M,,0000";
const std::string kGsa = "GPGSA,A,3,17,28,06,01,30,20,26,13,,,,,1.8,1.1,1.5";
const std::string kRmc1 = "GPRMC,030719.000,A,3747.0873,S,17518.8938,E,0.69,181.39,311214,,,A";
const std::string kGga2 = "GPGGA,030720.000,3747.0875,S,17518.8938,E,1,08,1.1,59.8,M,23.7,M,,0000";
const std::string kRmc2 = "GPRMC,030720.000,A,3747.0875,S,17518.8938,E,1.15,181.39,311214,,,A";

TEST(NmeaParserTest, CycleEndIsLearntFromTheFirstChangeOfTime) {
    Decoded d;
    d << Sentence(kGga1) << Sentence(kGsa) << Sentence(kRmc1);
    EXPECT_TRUE(d.fixes.empty());  // the end of a cycle is not known yet
    d << Sentence(kGga2);
    ASSERT_EQ(d.fixes.size(), 1u);  // the time changed: the first cycle is complete
    d << Sentence(kGsa) << Sentence(kRmc2);
    ASSERT_EQ(d.fixes.size(), 2u);  // RMC ends a cycle now, no need to wait for the next one

    const platform::GpsPosition& p = d.fixes[1].position;
    EXPECT_EQ(d.fixes[1].timeOfDayMs, (3 * 3600 + 7 * 60 + 20) * 1000);
    EXPECT_NEAR(p.latitude, -(37 + 47.0875 / 60), 1e-12);
    EXPECT_NEAR(p.longitude, 175 + 18.8938 / 60, 1e-12);
    EXPECT_EQ(p.fixQuality, platform::kGpsFixQualityGps);
    EXPECT_EQ(p.fixType, platform::kGpsFix3D);
    EXPECT_FLOAT_EQ(p.speedKnots, 1.15f);
    EXPECT_FLOAT_EQ(p.headingDeg, 181.39f);
    EXPECT_FLOAT_EQ(p.altitudeWrtSeaLevelM, 59.8f);
    EXPECT_FLOAT_EQ(p.altitudeWrtEllipsoidM, 59.8f + 23.7f);
    EXPECT_FLOAT_EQ(p.horizontalDilutionOfPrecision, 1.1f);
    EXPECT_FLOAT_EQ(p.positionDilutionOfPrecision, 1.8f);
    EXPECT_FLOAT_EQ(p.verticalDilutionOfPrecision, 1.5f);
    EXPECT_EQ(p.satelliteCount, 8u);
    EXPECT_EQ(p.satellitesUsedPrns[0], 17u);
    EXPECT_EQ(p.utcTime.year, 2014);
    EXPECT_EQ(p.utcTime.month, 12);
    EXPECT_EQ(p.utcTime.day, 31);
    EXPECT_EQ(p.utcTime.dayOfWeek, 3);  // a Wednesday
    EXPECT_TRUE(p.Has(platform::kGpsValidUtcTime | platform::kGpsValidLatitude |
                      platform::kGpsValidLongitude | platform::kGpsValidSpeed |
                      platform::kGpsValidHeading | platform::kGpsValidSatelliteCount));
}

TEST(NmeaParserTest, FlushEndsTheLastCycle) {
    Decoded d;
    d << Sentence(kGga1);
    EXPECT_TRUE(d.fixes.empty());
    d.parser.Flush();
    ASSERT_EQ(d.fixes.size(), 1u);
    EXPECT_FALSE(d.fixes[0].position.Has(platform::kGpsValidUtcTime));  // GGA has no date
    EXPECT_EQ(d.fixes[0].position.utcTime.hour, 3);
}

TEST(NmeaParserTest, ChecksumsAreChecked) {
    Decoded d;
    std::string bad = Line(kGga1);
    bad.back() = bad.back() == '0' ? '1' : '0';
    EXPECT_EQ(d.parser.ParseSentence(bad), NmeaParser::Sentence::kBadChecksum);
    EXPECT_EQ(d.parser.ParseSentence(Line(kGga1) + "0"), NmeaParser::Sentence::kBadChecksum);
    EXPECT_EQ(d.parser.ParseSentence("$" + kGga1), NmeaParser::Sentence::kNoChecksum);
    EXPECT_EQ(d.parser.ParseSentence(Line(kGga1) + " "), NmeaParser::Sentence::kUsed);
    std::string lower = Line(kRmc1);  // lower-case hex digits are accepted
    for (size_t i = lower.size() - 2; i < lower.size(); ++i) {
        lower[i] = char(std::tolower(uint8_t(lower[i])));
    }
    EXPECT_EQ(d.parser.ParseSentence(lower), NmeaParser::Sentence::kUsed);
    EXPECT_EQ(d.parser.Counts().badChecksum, 2u);
    EXPECT_EQ(d.parser.Counts().noChecksum, 1u);
}

TEST(NmeaParserTest, TalkersAndSentencesWeDoNotReadAreSkipped) {
    Decoded d;
    for (const char* talker : {"GP", "GN", "GL", "GA", "GB", "BD"}) {
        EXPECT_EQ(d.parser.ParseSentence(Line(talker + kGsa.substr(2))),
                  NmeaParser::Sentence::kUsed)
            << talker;
    }
    for (const std::string& body :
         {"QZ" + kGsa.substr(2), std::string("GPGST,024603.00,3.2,6.6,4.7,47.3,5.8,5.6,22.0"),
          std::string("PGRME,15.0,M,45.0,M,25.0,M")}) {
        EXPECT_EQ(d.parser.ParseSentence(Line(body)), NmeaParser::Sentence::kSkipped) << body;
    }
    EXPECT_EQ(d.parser.ParseSentence("!AIVDM,1,1,,A,13aEOK?P00PD2wVMdLDRhgvL289?,0*26"),
              NmeaParser::Sentence::kSkipped);
    EXPECT_EQ(d.parser.ParseSentence("# a comment line of a log"), NmeaParser::Sentence::kSkipped);
}

TEST(NmeaParserTest, FieldsOutOfRangeAreRefused) {
    Decoded d;
    // Latitude 95°: the GGA counts as no position; month 13: no date.
    d << Sentence("GPGGA,120000.00,9500.0000,N,01000.0000,E,1,08,1.0,10.0,M,,M,,")
      << Sentence("GPRMC,120000.00,A,9500.0000,N,01000.0000,E,0.0,0.0,011314,,,A")
      << Sentence("GPGGA,120001.00,4500.0000,N,18100.0000,E,1,08,1.0,10.0,M,,M,,")
      << Sentence("GPGGA,250002.00,4500.0000,N,01000.0000,E,1,08,1.0,10.0,M,,M,,")
      << Sentence("GPGGA,120003.00,4561.0000,N,01000.0000,E,1,08,1.0,10.0,M,,M,,");
    d.parser.Flush();
    for (const NmeaFix& fix : d.fixes) {
        EXPECT_FALSE(fix.position.Has(platform::kGpsValidLatitude)) << fix.timeOfDayMs;
        EXPECT_FALSE(fix.position.Has(platform::kGpsValidUtcTime)) << fix.timeOfDayMs;
        EXPECT_EQ(fix.position.fixQuality, platform::kGpsFixQualityUnknown);
    }
    EXPECT_EQ(d.parser.Counts().skipped, 1u);  // hour 25: the GGA is not read at all
}

TEST(NmeaParserTest, FixQualityFromGgaAndStatusFromRmcAndGll) {
    struct Case {
        std::string sentence;
        uint32_t quality;
    } cases[] = {
        {"GPGGA,120000.00,4500.0,N,01000.0,E,2,08,1.0,10.0,M,,M,,", platform::kGpsFixQualityDgps},
        {"GPGGA,120000.00,4500.0,N,01000.0,E,4,08,1.0,10.0,M,,M,,", platform::kGpsFixQualityDgps},
        {"GPGGA,120000.00,4500.0,N,01000.0,E,6,08,1.0,10.0,M,,M,,", platform::kGpsFixQualityGps},
        {"GPGGA,120000.00,4500.0,N,01000.0,E,8,08,1.0,10.0,M,,M,,",
         platform::kGpsFixQualityUnknown},  // simulator
        {"GPGGA,120000.00,4500.0,N,01000.0,E,1,00,1.0,10.0,M,,M,,",
         platform::kGpsFixQualityUnknown},  // held position, no satellite
        {"GPRMC,120000.00,A,4500.0,N,01000.0,E,0.0,0.0,010124,,,D", platform::kGpsFixQualityDgps},
        {"GPRMC,120000.00,A,4500.0,N,01000.0,E,0.0,0.0,010124,,,N",
         platform::kGpsFixQualityUnknown},
        {"GPRMC,120000.00,V,4500.0,N,01000.0,E,0.0,0.0,010124,,,A",
         platform::kGpsFixQualityUnknown},
        {"GPGLL,4500.0,N,01000.0,E,120000.00,A,A", platform::kGpsFixQualityGps},
    };
    for (const Case& c : cases) {
        Decoded d;
        d << Sentence(c.sentence);
        d.parser.Flush();
        ASSERT_EQ(d.fixes.size(), 1u) << c.sentence;
        EXPECT_EQ(d.fixes[0].position.fixQuality, c.quality) << c.sentence;
        EXPECT_EQ(d.fixes[0].position.Has(platform::kGpsValidLatitude),
                  c.quality != platform::kGpsFixQualityUnknown)
            << c.sentence;
    }
}

TEST(NmeaParserTest, CutLinesNoiseAndPiecesAreHandled) {
    Decoded d;
    const std::string good = Sentence(kGga1) + Sentence(kRmc1) + Sentence(kGga2) + Sentence(kRmc2);
    // A sentence cut short by the next one, binary noise and an overlong line first.
    std::string noise = "$GPGGA,0307" + Sentence(kGsa);
    for (int i = 0; i < 300; ++i) noise += char(i * 37);
    noise += "\n" + std::string(1000, 'x') + "\n";
    const std::string all = noise + good;
    for (size_t i = 0; i < all.size(); i += 7) {
        d.parser.Feed(all.substr(i, 7));  // arbitrary pieces, as a serial line delivers them
    }
    d.parser.Flush();
    ASSERT_EQ(d.fixes.size(), 2u);
    EXPECT_NEAR(d.fixes[1].position.latitude, -(37 + 47.0875 / 60), 1e-12);
}

TEST(NmeaParserTest, SatellitesInViewAddUpOverConstellations) {
    Decoded d;
    d << Sentence("GPGGA,120000.00,4500.0,N,01000.0,E,1,08,1.0,10.0,M,,M,,")
      << Sentence("GPGSV,2,1,05,01,10,100,30,02,20,200,31,03,30,300,32,04,40,045,33")
      << Sentence("GPGSV,2,2,05,05,50,050,34") << Sentence("GLGSV,1,1,02,65,60,060,35,66,70,070,")
      << Sentence("GPGGA,120001.00,4500.0,N,01000.0,E,1,08,1.0,10.0,M,,M,,");
    ASSERT_EQ(d.fixes.size(), 1u);
    const platform::GpsPosition& p = d.fixes[0].position;
    EXPECT_EQ(p.satellitesInView, 7u);
    EXPECT_EQ(p.satellitesInViewPrns[4], 5u);
    EXPECT_EQ(p.satellitesInViewPrns[6], 66u);
    EXPECT_EQ(p.satellitesInViewAzimuthDeg[3], 45u);
    EXPECT_EQ(p.satellitesInViewSnrDb[6], 0u);
}

TEST(NmeaParserTest, VtgGivesSpeedAndTrackWhenRmcIsAbsent) {
    Decoded d;
    d << Sentence("GPGGA,120000.00,4500.0,N,01000.0,E,1,08,1.0,10.0,M,,M,,")
      << Sentence("GPVTG,054.7,T,034.4,M,005.5,N,010.2,K,A");
    d.parser.Flush();
    ASSERT_EQ(d.fixes.size(), 1u);
    EXPECT_FLOAT_EQ(d.fixes[0].position.speedKnots, 5.5f);
    EXPECT_FLOAT_EQ(d.fixes[0].position.headingDeg, 54.7f);
}

TEST(NmeaParserTest, WithoutTimesARepeatedPositionSentenceStartsTheNextCycle) {
    Decoded d;
    d << Sentence("GPGGA,,,,,,0,,,,M,,M,,") << Sentence("GPVTG,,T,,M,,N,,K,N")
      << Sentence("GPGGA,,,,,,0,,,,M,,M,,");
    ASSERT_EQ(d.fixes.size(), 1u);
    EXPECT_EQ(d.fixes[0].timeOfDayMs, -1);
    EXPECT_EQ(d.fixes[0].position.fixQuality, platform::kGpsFixQualityUnknown);
}

}  // namespace
