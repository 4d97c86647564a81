#include "formats/gpx_file.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QByteArray>
#include <QString>
#include <QStringEncoder>

#include <string>

#include "platform/c_format.h"
#include "qt_print.h"
#include "same_shapes.h"
#include "temp_home.h"
#include "trace_capture.h"

namespace formats {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::StartsWith;

std::vector<float> Latitudes(const Shape& shape) {
    std::vector<float> values;
    for (size_t i = 0; i < shape.VertexCount(); ++i) {
        values.push_back(shape.Latitude(i));
    }
    return values;
}

std::vector<float> Longitudes(const Shape& shape) {
    std::vector<float> values;
    for (size_t i = 0; i < shape.VertexCount(); ++i) {
        values.push_back(shape.Longitude(i));
    }
    return values;
}

QByteArray Gpx11(const QByteArray& body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<gpx version=\"1.1\" creator=\"test\" xmlns=\"http://www.topografix.com/GPX/1/1\">\n" +
           body + "</gpx>\n";
}

class GpxFileTest : public ::testing::Test {
protected:
    // Writes bytes as a file and loads it.
    bool Load(const QByteArray& bytes) {
        if (!home_.Write(QStringLiteral("t.gpx"), bytes)) {
            ADD_FAILURE() << "cannot write the test file";
            return false;
        }
        return file_.Load(home_.File(QStringLiteral("t.gpx")));
    }
    const std::pmr::vector<ShapePtr<>>& Objects() const { return file_.levels.front()->shapes; }
    const Shape& Object(size_t i) const { return *Objects().at(i); }

    TempHome home_;
    TraceCapture trace_;
    GPXFile file_;
};

TEST_F(GpxFileTest, WaypointsAndRoutesFillOneLevelInDrawingOrder) {
    ASSERT_TRUE(
        Load(Gpx11("<wpt lat=\"46.5\" lon=\"13.25\"><ele>900</ele><name>Hut</name></wpt>\n"
                   "<rte><name>Climb</name>\n"
                   "  <rtept lat=\"46.1\" lon=\"13.9\"/><rtept lat=\"46.4\" lon=\"13.2\"/>\n"
                   "  <rtept lat=\"46.2\" lon=\"13.5\"/></rte>\n"
                   "<trk><trkseg><trkpt lat=\"1\" lon=\"1\"/></trkseg></trk>\n"
                   "<wpt lat=\"-33.75\" lon=\"-70.5\"/>\n")));
    ASSERT_EQ(file_.levels.size(), 1u);
    EXPECT_EQ(file_.levels.front()->cbits, 24u);
    EXPECT_EQ(file_.currentLevel, 0u);
    EXPECT_TRUE(file_.name.isEmpty());
    EXPECT_TRUE(file_.coverage.empty());
    ASSERT_EQ(Objects().size(), 3u) << "the track is skipped";

    // Routes first, then the waypoints in file order.
    const Shape& route = Object(0);
    EXPECT_EQ(route.Kind(), kShapeKindPolyline);
    EXPECT_EQ(route.type, kGpxRouteType);
    EXPECT_TRUE(route.Label().isEmpty()) << "a route's name is not its label";
    EXPECT_THAT(Latitudes(route), ElementsAre(46.1f, 46.4f, 46.2f));
    EXPECT_THAT(Longitudes(route), ElementsAre(13.9f, 13.2f, 13.5f));
    EXPECT_EQ(route.bounds, (GeoRect{13.2f, 46.4f, 13.9f, 46.1f}));
    EXPECT_EQ(route.anchorLat, 0.0f);
    EXPECT_EQ(route.anchorLon, 0.0f);

    const Shape& hut = Object(1);
    EXPECT_EQ(hut.Kind(), kShapeKindPoint);
    EXPECT_EQ(hut.type, kGpxWaypointType);
    EXPECT_EQ(hut.subtype, 0);
    EXPECT_EQ(hut.Label().toString(), QStringLiteral("Hut"));
    EXPECT_THAT(Latitudes(hut), ElementsAre(46.5f));
    EXPECT_THAT(Longitudes(hut), ElementsAre(13.25f));
    EXPECT_EQ(hut.bounds, (GeoRect{13.25f, 46.5f, 13.25f, 46.5f}));
    EXPECT_EQ(hut.anchorLat, 46.5f);
    EXPECT_EQ(hut.anchorLon, 13.25f);
    EXPECT_EQ(Object(2).Latitude(0), -33.75f);

    EXPECT_EQ(file_.bounds, (GeoRect{-70.5f, 46.5f, 13.9f, -33.75f}));
    EXPECT_THAT(trace_.Lines(), Contains("Telos found 3 objects"));
    EXPECT_THAT(trace_.Lines().back(), StartsWith("TickCounts at ShapeGPX::GPXFile::Open = "));
}

TEST_F(GpxFileTest, MapFileCopiesTheRectangleOfTheLoadedFile) {
    ASSERT_TRUE(home_.Write(QStringLiteral("a.gpx"),
                            Gpx11("<wpt lat=\"1.5\" lon=\"2.5\"/><wpt lat=\"3\" lon=\"4\"/>")));
    GpxMapFile map;
    ASSERT_TRUE(map.Load(home_.File(QStringLiteral("a.gpx"))));
    EXPECT_EQ(map.west, 2.5f);
    EXPECT_EQ(map.north, 3.0f);
    EXPECT_EQ(map.east, 4.0f);
    EXPECT_EQ(map.south, 1.5f);
    EXPECT_EQ(map.SelectLevel(100000.0f), 14);
    EXPECT_EQ(map.ObjectCount(), 2);
    EXPECT_FALSE(map.Contains(2.0f, 3.0f)) << "GPX files have no coverage";

    EXPECT_FALSE(map.Load(home_.File(QStringLiteral("missing.gpx"))));
    EXPECT_EQ(map.ObjectCount(), 0) << "the failed file replaced the old one";
    EXPECT_NE(map.File(), nullptr);
}

TEST_F(GpxFileTest, FileWithoutWaypointsOrRoutesLoadsEmpty) {
    for (const QByteArray& body :
         {QByteArray("<trk><name>walk</name><trkseg><trkpt lat=\"1\" lon=\"2\"/></trkseg></trk>"),
          QByteArray()}) {
        ASSERT_TRUE(Load(Gpx11(body))) << body.constData();
        ASSERT_EQ(file_.levels.size(), 1u);
        EXPECT_TRUE(Objects().empty());
        EXPECT_EQ(file_.bounds, kEmptyArea);
    }
    ASSERT_TRUE(Load("<gpx version=\"1.0\"/>"));
    EXPECT_TRUE(Objects().empty());
}

TEST_F(GpxFileTest, NameChildIsFoundInAnyCaseAndTheLastOneWins) {
    ASSERT_TRUE(
        Load(Gpx11("<wpt lat=\"1\" lon=\"1\"><NAME>Loud</NAME></wpt>\n"
                   "<wpt lat=\"2\" lon=\"2\"><name>first</name><cmt>x</cmt>"
                   "<Name>second</Name></wpt>\n"
                   "<wpt lat=\"3\" lon=\"3\"><ext:name xmlns:ext=\"e\">no</ext:name>"
                   "<desc><name>nested, not a child</name></desc></wpt>\n")));
    ASSERT_EQ(Objects().size(), 3u);
    EXPECT_EQ(Object(0).Label().toString(), QStringLiteral("Loud"));
    EXPECT_EQ(Object(1).Label().toString(), QStringLiteral("second"));
    EXPECT_TRUE(Object(2).Label().isEmpty());
}

TEST_F(GpxFileTest, LabelIsAllTheTextOfTheNameElement) {
    ASSERT_TRUE(
        Load(Gpx11("<wpt lat=\"1\" lon=\"1\"><name>\n  Caf&#233; &amp; &lt;Bar&gt;  \n</name></wpt>"
                   "<wpt lat=\"1\" lon=\"1\"><name>a<![CDATA[<b>]]>c<i>d</i>e</name></wpt>"
                   "<wpt lat=\"1\" lon=\"1\"><name>šđčćž 東京</name></wpt>")));
    ASSERT_EQ(Objects().size(), 3u);
    EXPECT_EQ(Object(0).Label().toString(), QStringLiteral("Café & <Bar>"));
    EXPECT_EQ(Object(1).Label().toString(), QStringLiteral("a<b>cde"));
    EXPECT_EQ(Object(2).Label().toString(), QStringLiteral("šđčćž 東京"));
}

TEST_F(GpxFileTest, RoutePointsMustBeSpelledExactly) {
    ASSERT_TRUE(
        Load(Gpx11("<rte><RTEPT lat=\"1\" lon=\"1\"/><rtept lat=\"2\" lon=\"3\"/>"
                   "<RtePt lat=\"4\" lon=\"4\"/></rte>\n<rte><name>empty</name></rte>\n"
                   "<RTE><rtept lat=\"9\" lon=\"9\"/></RTE><WPT lat=\"9\" lon=\"9\"/>")));
    ASSERT_EQ(Objects().size(), 2u);
    EXPECT_THAT(Latitudes(Object(0)), ElementsAre(2.0f));
    const Shape& empty = Object(1);
    EXPECT_EQ(empty.Kind(), kShapeKindPolyline);
    EXPECT_EQ(empty.VertexCount(), 0u);
    EXPECT_EQ(empty.bounds, kEmptyArea);
    EXPECT_EQ(file_.bounds, (GeoRect{3.0f, 2.0f, 3.0f, 2.0f})) << "the empty route adds nothing";
}

TEST_F(GpxFileTest, CoordinatesReadAsTheCLibraryReadsNumbers) {
    struct Case {
        const char* text;
        float value;
    } cases[] = {
        {"37.5abc", 37.5f}, {" \t+4", 4.0f},   {"-12.25", -12.25f}, {"abc", 0.0f},
        {"", 0.0f},         {"+-3", 0.0f},     {"1e1", 10.0f},      {".5", 0.5f},
        {"0x10", 16.0f},    {"-0x1p1", -2.0f}, {"1e999", 0.0f},     {"nan", 0.0f},
        {"inf", 0.0f},      {"1e39", 0.0f},    {"1e-999", 0.0f},    {"45,5", 45.0f},
    };
    QByteArray body;
    for (const Case& c : cases) {
        body += QByteArray("<wpt lat=\"") + c.text + "\" lon=\"1\"/>\n";
    }
    ASSERT_TRUE(Load(Gpx11(body)));
    ASSERT_EQ(Objects().size(), std::size(cases));
    for (size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(Object(i).Latitude(0), cases[i].value) << cases[i].text;
    }
}

// A point without a position cannot be shown; placing it at 0, 0 would draw it, or bend a route
// to it, in the Gulf of Guinea.
TEST_F(GpxFileTest, ElementsWithoutLatOrLonAreLeftOut) {
    ASSERT_TRUE(
        Load(Gpx11("<wpt lon=\"3\"><name>no lat</name></wpt><wpt lat=\"3\"/>"
                   "<wpt lat=\"5\" lon=\"6\"><name>kept</name></wpt>"
                   "<rte><rtept lat=\"1\" lon=\"2\"/><rtept lon=\"3\"/>"
                   "<rtept lat=\"4\" lon=\"5\"/></rte>")));
    ASSERT_EQ(Objects().size(), 2u);
    EXPECT_THAT(Latitudes(Object(0)), ElementsAre(1.0f, 4.0f));
    EXPECT_EQ(Object(1).Label().toString(), QStringLiteral("kept"));
}

QByteArray Encode(const QString& text, QStringConverter::Encoding encoding, bool bom) {
    QStringEncoder encoder(
        encoding, bom ? QStringConverter::Flag::WriteBom : QStringConverter::Flag::Default);
    return encoder.encode(text);
}

TEST_F(GpxFileTest, ReadsTheEncodingsOfXml) {
    const QString document = QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"%1\"?>\n<gpx version=\"1.0\">"
        "<wpt lat=\"46.05\" lon=\"14.5\"><name>Škofja Loka €</name></wpt></gpx>\n");
    struct Case {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"UTF-8 with mark", Encode(document.arg("UTF-8"), QStringConverter::Utf8, true)},
        {"UTF-16LE with mark", Encode(document.arg("UTF-16"), QStringConverter::Utf16LE, true)},
        {"UTF-16BE with mark", Encode(document.arg("UTF-16"), QStringConverter::Utf16BE, true)},
        {"UTF-16LE without mark", Encode(document.arg("UTF-16"), QStringConverter::Utf16LE, false)},
        {"UTF-16BE without mark", Encode(document.arg("UTF-16"), QStringConverter::Utf16BE, false)},
        {"UTF-32LE with mark", Encode(document.arg("UTF-32"), QStringConverter::Utf32LE, true)},
        {"UTF-32BE without mark", Encode(document.arg("UTF-32"), QStringConverter::Utf32BE, false)},
        {"declared windows-1252",
         "<?xml version=\"1.0\" encoding=\"windows-1252\"?><gpx><wpt lat=\"46.05\" lon=\"14.5\">"
         "<name>\x8Akofja Loka \x80</name></wpt></gpx>"},
        // Western code page bytes with no declaration, as files written on the handheld were.
        {"undeclared windows-1252",
         "<?xml version=\"1.0\"?><gpx><wpt lat=\"46.05\" lon=\"14.5\">"
         "<name>\x8Akofja Loka \x80</name></wpt></gpx>"},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(Load(c.bytes)) << c.name;
        ASSERT_EQ(Objects().size(), 1u) << c.name;
        EXPECT_EQ(Object(0).Label().toString(), QStringLiteral("Škofja Loka €")) << c.name;
        EXPECT_EQ(Object(0).Latitude(0), 46.05f) << c.name;
    }
    ASSERT_TRUE(
        Load("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><gpx><wpt lat=\"1\" lon=\"1\">"
             "<name>Z\xFCrich \xA9</name></wpt></gpx>"));
    EXPECT_EQ(Object(0).Label().toString(), QStringLiteral("Zürich ©"));
}

QByteArray CutBefore(const QByteArray& bytes, const char* marker) {
    return bytes.left(bytes.indexOf(marker));
}

// Positions point at the name of a wrong end tag, or at the last character of a document cut short.
TEST_F(GpxFileTest, MalformedFilesFailCleanlyWithTheParserError) {
    const struct {
        const char* name;
        QByteArray bytes;
        const char* trace;
    } cases[] = {
        {"mismatched end tag", Gpx11("<wpt lat=\"1\" lon=\"1\">\n  <name>x</nam></wpt>\n"),
         "ERROR 0x0000000E on line 4, position 12 Reason: Start-end tags mismatch"},
        {"cut short", CutBefore(Gpx11("<wpt lat=\"1\" lon=\"1\"><name>x</name></wpt>\n"), "</wpt>"),
         "ERROR 0x0000000E on line 3, position 35 Reason: Start-end tags mismatch"},
        {"bad attribute", Gpx11("<wpt lat=1 lon=\"1\"/>\n"),
         "ERROR 0x0000000C on line 3, position 10 Reason: Error parsing element attribute"},
        {"empty file", QByteArray(), "ERROR 0x00000010 on line 1, position 1"},
        {"no markup", "just some text", "ERROR 0x00000010"},
        {"document type inside", Gpx11("<!DOCTYPE gpx>"), "ERROR 0x00000009 on line 3"},
        {"non-ASCII before the error", "<gpx>\n<wpt><name>ééé</wpt>", "line 2, position 17"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(Load(Gpx11("<wpt lat=\"1\" lon=\"1\"/>")));
        trace_.Clear();
        EXPECT_FALSE(Load(c.bytes)) << c.name;
        EXPECT_TRUE(file_.levels.empty()) << c.name << ": nothing of the file is kept";
        EXPECT_EQ(file_.bounds, GeoRect{}) << c.name;
        const std::vector<std::string> lines = trace_.Lines();
        ASSERT_EQ(lines.size(), 2u) << c.name;
        EXPECT_THAT(lines[0], HasSubstr(c.trace)) << c.name;
        EXPECT_THAT(lines[1], StartsWith("TickCounts at ShapeGPX::GPXFile::Open = "));
    }
}

TEST_F(GpxFileTest, DocumentsWhoseRootIsNotGpxAreRefused) {
    for (const QByteArray& bytes :
         {QByteArray("<kml><wpt lat=\"1\" lon=\"1\"/></kml>"),
          QByteArray("<g:gpx xmlns:g=\"http://www.topografix.com/GPX/1/1\">"
                     "<g:wpt lat=\"1\" lon=\"1\"/></g:gpx>"),
          QByteArray("<GPX><wpt lat=\"1\" lon=\"1\"/></GPX>"),
          QByteArray("<root><gpx><wpt lat=\"1\" lon=\"1\"/></gpx></root>")}) {
        trace_.Clear();
        EXPECT_FALSE(Load(bytes)) << bytes.constData();
        EXPECT_TRUE(file_.levels.empty());
        EXPECT_THAT(trace_.Lines(), Contains("No gpx node !")) << bytes.constData();
    }
}

TEST_F(GpxFileTest, UnreadableFileFails) {
    EXPECT_FALSE(file_.Load(home_.File(QStringLiteral("missing.gpx"))));
    EXPECT_THAT(trace_.Lines().front(),
                "ERROR 0x00000001 on line 0, position 0 Reason: File was not found");
    EXPECT_FALSE(file_.Load(home_.Path())) << "a folder";
    EXPECT_TRUE(file_.levels.empty());
}

// A document several times larger than the parser is given at once, with every kind of markup
// where the content is cut: what is read must not depend on where the cuts fall.
QByteArray LargeDocument(int waypoints, std::vector<QString>& names) {
    QByteArray body =
        "<?xml version=\"1.0\"?>\n<!-- made <by> a test -->\n<!DOCTYPE gpx>\n<?style a?>\n"
        "<gpx version=\"1.1\" creator=\"a > b / c\" xmlns=\"http://www.topografix.com/GPX/1/1\">";
    names.clear();
    for (int i = 0; i < waypoints; ++i) {
        const QString name = QStringLiteral("P%1 é").arg(i);
        names.push_back(name);
        body += QByteArray::fromStdString(
            platform::FormatC("<wpt lat=\"%d.5\" lon='1' note=\"x/>y\"><name>", i % 80));
        body += name.toUtf8();
        switch (i % 5) {
            case 0:
                body += "</name></wpt>\n";
                break;
            case 1:
                body +=
                    "</name><extensions><a:b xmlns:a=\"e\"><c/></a:b></extensions></wpt>"
                    "<!-- </wpt> -->\n";
                break;
            case 2:
                body += "</name></wpt><?pi </gpx> ?>text between\n";
                break;
            case 3:
                body += "</name><cmt><![CDATA[</wpt></gpx>]]></cmt></wpt>\n";
                break;
            default:
                body += "</name></wpt><trk><trkseg/></trk>\n";
                break;
        }
    }
    // A long route and a long track, which are cut inside too.
    body += "<rte><name>long</name>\n";
    for (int i = 0; i < 400; ++i) {
        body += QByteArray::fromStdString(
            i % 2 ? platform::FormatC("<rtept lat=\"%d\" lon=\"2\"><ele>1</ele></rtept>\n", i)
                  : platform::FormatC("<rtept lat=\"%d\" lon=\"2\"/><!-- c -->\n", i));
    }
    body += "</rte>\n<trk><trkseg>";
    for (int i = 0; i < 400; ++i) {
        body += "<trkpt lat=\"1\" lon=\"2\"><ele>1</ele></trkpt>\n";
    }
    body += "</trkseg></trk></gpx>\n<!-- after -->\n";
    return body;
}

TEST_F(GpxFileTest, DocumentsReadTheSameWhereverTheyAreCut) {
    std::vector<QString> names;
    const int count = 500;
    const QByteArray document = LargeDocument(count, names);
    GPXFile whole;
    ASSERT_TRUE(whole.LoadFromBytes(document, GpxParseOptions{0, true}));
    ASSERT_EQ(whole.levels.front()->shapes.size(), size_t(count) + 1);
    const Shape& route = *whole.levels.front()->shapes.front();
    EXPECT_EQ(route.Kind(), kShapeKindPolyline);
    ASSERT_EQ(route.VertexCount(), 400u);
    EXPECT_EQ(route.Latitude(route.VertexCount() - 1), 399.0f);
    for (int i = 0; i < count; ++i) {
        const Shape& point = *whole.levels.front()->shapes[size_t(i) + 1];
        ASSERT_EQ(point.Label().toString(), names[size_t(i)]) << i;
        ASSERT_EQ(point.Latitude(0), float(i % 80) + 0.5f) << i;
    }
    for (size_t sliceBytes : {size_t(0), size_t(1), size_t(700), size_t(10000)}) {
        GPXFile sliced;
        ASSERT_TRUE(sliced.LoadFromBytes(document, GpxParseOptions{sliceBytes, false}));
        EXPECT_EQ(ShapeFileDifference(whole, sliced), "") << sliceBytes;
    }

    // An error far into the file is found and placed.
    QByteArray broken = document;
    const qsizetype at = broken.lastIndexOf("</name></wpt>\n");
    broken.replace(at, 7, "</nane>");
    const int line = int(broken.left(at).count('\n')) + 1;
    const qsizetype lineStart = broken.lastIndexOf('\n', at) + 1;
    // The position is that of the wrong name, in characters.
    const int position = int(QString::fromUtf8(broken.mid(lineStart, at - lineStart)).size()) + 3;
    trace_.Clear();
    EXPECT_FALSE(file_.LoadFromBytes(broken, GpxParseOptions{100, false}));
    EXPECT_THAT(trace_.Lines().front(),
                HasSubstr(platform::FormatC(
                    "on line %d, position %d Reason: Start-end tags mismatch", line, position)));
    EXPECT_TRUE(file_.levels.empty());

    // Markup the cutting does not follow (an internal document type subset) reads whole.
    QByteArray subset = document;
    subset.replace("<!DOCTYPE gpx>", "<!DOCTYPE gpx [ <!ENTITY x \"y\"> ]>");
    GPXFile withSubset;
    ASSERT_TRUE(withSubset.LoadFromBytes(subset, GpxParseOptions{100, false}));
    EXPECT_EQ(ShapeFileDifference(whole, withSubset), "");
}

// Files larger than what the parser is given at once, as read from disk.
TEST_F(GpxFileTest, LargeFileLoadsInSlices) {
    std::vector<QString> names;
    const QByteArray document = LargeDocument(25000, names);
    ASSERT_GT(document.size(), qsizetype(GpxParseOptions().sliceBytes) * 2);
    ASSERT_TRUE(Load(document));
    GPXFile whole;
    ASSERT_TRUE(whole.LoadFromBytes(document, GpxParseOptions{0, true}));
    EXPECT_EQ(ShapeFileDifference(whole, file_), "");
    EXPECT_THAT(trace_.Lines(), Contains("Telos found 25001 objects"));
}

TEST_F(GpxFileTest, SecondLoadReplacesTheFirst) {
    ASSERT_TRUE(Load(Gpx11("<wpt lat=\"1\" lon=\"1\"/><wpt lat=\"2\" lon=\"2\"/>")));
    ASSERT_TRUE(Load(Gpx11("<wpt lat=\"5\" lon=\"5\"/>")));
    ASSERT_EQ(file_.levels.size(), 1u);
    EXPECT_EQ(Objects().size(), 1u);
    EXPECT_EQ(file_.bounds, (GeoRect{5.0f, 5.0f, 5.0f, 5.0f}));
}

}  // namespace
}  // namespace formats
