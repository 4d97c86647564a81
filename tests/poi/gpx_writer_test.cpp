#include "poi/gpx_writer.h"

#include <gtest/gtest.h>

#include <QFileInfo>

#include "gpx_peers.h"
#include "routes_home.h"

namespace poi {
namespace {

const QByteArray kHeader2008 =
    "<?xml version=\"1.0\"?>\r\n"
    "<gpx\r\n"
    "version=\"1.0\"\r\n"
    "creator=\"Velmora 1.1 - https://velmora.quillon.org\"\r\n"
    "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"\r\n"
    "xmlns=\"http://www.topografix.com/GPX/1/0\"\r\n"
    "xsi:schemaLocation=\"http://www.topografix.com/GPX/1/0 "
    "http://www.topografix.com/GPX/1/0/gpx.xsd\">\r\n"
    "<time>2008-1-15T9:5:7Z</time>\r\n";

Waypoint MakeWaypoint(const QString& name, const QString& category = QStringLiteral("Water")) {
    return Waypoint{41.164673, -8.123456, 12.5, name, category};
}

TEST(GpxHeader, EightCrLfLinesWithUnpaddedLocalTime) {
    const QByteArray header = GpxHeader(platform::SystemTime{2008, 1, 2, 15, 9, 5, 7, 250});
    EXPECT_EQ(header, kHeader2008);
    EXPECT_EQ(header.count("\r\n"), 8);
    EXPECT_EQ(header.count('\n'), 8);
    EXPECT_EQ(GpxTimeLine(platform::SystemTime{2008, 12, 3, 31, 23, 59, 58, 0}),
              "<time>2008-12-31T23:59:58Z</time>\r\n");
}

TEST(GpxWriterText, EscapesTheFiveXmlCharactersAndKeepsUnicode) {
    EXPECT_EQ(EscapeXmlText(QStringLiteral("Fish & Chips <\"Joe's\">")),
              "Fish &amp; Chips &lt;&quot;Joe&apos;s&quot;&gt;");
    EXPECT_EQ(EscapeXmlText(QString::fromUtf8("Café 東京 \xF0\x9F\x8F\x95")),
              "Caf\xC3\xA9 \xE6\x9D\xB1\xE4\xBA\xAC \xF0\x9F\x8F\x95");
    // Nothing of the text may break the one-line element or the document.
    EXPECT_EQ(EscapeXmlText(QStringLiteral("a\tb\r\nc") + QChar(0x01) + QChar(0xFFFF)), "a b  c  ");
    EXPECT_EQ(EscapeXmlText(QString()), "");
}

TEST(GpxWriterNames, FileNamePartStaysInsideTheFolder) {
    EXPECT_EQ(FileNamePart(QStringLiteral("..")), QStringLiteral("_."));
    EXPECT_EQ(FileNamePart(QStringLiteral("../../etc/passwd")), QStringLiteral("_._.._etc_passwd"));
    EXPECT_EQ(FileNamePart(QStringLiteral("a\\b:c*d?e\"f<g>h|i\nj")),
              QStringLiteral("a_b_c_d_e_f_g_h_i_j"));
    EXPECT_EQ(FileNamePart(QStringLiteral("Sainte-Anne d'Auray 1.2")),
              QStringLiteral("Sainte-Anne d'Auray 1.2"));
    // 300 three-byte characters are cut to whole characters within the byte limit.
    const QString part = FileNamePart(QString(300, QChar(0x6771)));
    EXPECT_EQ(part, QString(kMaxNamePartBytes / 3, QChar(0x6771)));
    // A surrogate pair is never split.
    const QString emoji = QString::fromUtf8("\xF0\x9F\x8F\x95");
    QString pairs;
    for (int i = 0; i < 60; ++i) {
        pairs += emoji;
    }
    EXPECT_EQ(FileNamePart(pairs).toUtf8().size(), kMaxNamePartBytes);
    EXPECT_EQ(FileNamePart(u'x' + pairs).toUtf8().size(), kMaxNamePartBytes - 3);
}

class WaypointFileTest : public RoutesTest {
protected:
    WaypointFileTest() : RoutesTest(2008, 3, 2, 10, 7, 30) {}
};

TEST_F(WaypointFileTest, WritesTheHeaderAndSixLines) {
    ASSERT_TRUE(routes_.IsValid());
    const QString path = WriteWaypointFile(routes_.Folder(), MakeWaypoint(QStringLiteral("Camp")));
    EXPECT_EQ(path, routes_.Path(QStringLiteral("Camp_2008_3_2__7.gpx")));
    QByteArray expected = kHeader2008;
    expected.replace("<time>2008-1-15T9:5:7Z</time>", "<time>2008-3-2T10:7:30Z</time>");
    expected +=
        "<wpt lat=\"41.164673\" lon=\"-8.123456\">\r\n"
        "<ele>12.500000</ele>\r\n"
        "<name>Camp</name>\r\n"
        "<Category>Water</Category>\r\n"
        "</wpt>\r\n"
        "</gpx>\r\n";
    EXPECT_EQ(routes_.Read(QStringLiteral("Camp_2008_3_2__7.gpx")), expected);
}

TEST_F(WaypointFileTest, NeverOverwritesAFileOfTheSameName) {
    ASSERT_TRUE(routes_.Write(QStringLiteral("Camp_2008_3_2__7.gpx"), "the user's own file"));
    const QString second = WriteWaypointFile(routes_.Folder(), MakeWaypoint("Camp", "Water"));
    const QString third = WriteWaypointFile(routes_.Folder(), MakeWaypoint("Camp", "Fuel"));
    EXPECT_EQ(routes_.Read(QStringLiteral("Camp_2008_3_2__7.gpx")), "the user's own file");
    EXPECT_EQ(second, routes_.Path(QStringLiteral("Camp_2008_3_2__7_2.gpx")));
    EXPECT_EQ(third, routes_.Path(QStringLiteral("Camp_2008_3_2__7_3.gpx")));
    EXPECT_TRUE(routes_.Read(QStringLiteral("Camp_2008_3_2__7_3.gpx"))
                    .contains("<Category>Fuel</Category>\r\n"));
}

TEST_F(WaypointFileTest, HostileNamesLandInTheRoutesFolder) {
    const QStringList names = {"..",      ".", "../escape",         "../../x",     "a/b/c", "/abs",
                               ".hidden", "",  "\\\\server\\share", "con:*?\"<>|", "\t\n"};
    for (const QString& name : names) {
        const QString path = WriteWaypointFile(routes_.Folder(), MakeWaypoint(name));
        ASSERT_FALSE(path.isEmpty()) << name.toStdString();
        const QFileInfo info(path);
        EXPECT_EQ(info.absolutePath(), QFileInfo(routes_.Folder()).absoluteFilePath())
            << name.toStdString();
        EXPECT_TRUE(info.isFile()) << name.toStdString();
        EXPECT_FALSE(info.fileName().startsWith(u'.')) << name.toStdString();
    }
    EXPECT_EQ(routes_.Names().size(), names.size());
    // Nothing next to the routes folder or above it.
    EXPECT_EQ(QDir(routes_.Home().Path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("Routes_POIs")});
}

TEST_F(WaypointFileTest, LongNamesAreWrittenWhole) {
    const QString name = QString(600, u'N') + QString(300, QChar(0x00E9));
    const QString path = WriteWaypointFile(routes_.Folder(), MakeWaypoint(name, name));
    ASSERT_FALSE(path.isEmpty());
    EXPECT_LE(QFile::encodeName(QFileInfo(path).fileName()).size(), 255);
    const QByteArray bytes = routes_.Read(QFileInfo(path).fileName());
    EXPECT_TRUE(bytes.contains("<name>" + name.toUtf8() + "</name>\r\n"));
    EXPECT_TRUE(bytes.contains("<Category>" + name.toUtf8() + "</Category>\r\n"));
}

TEST_F(WaypointFileTest, NoFolderNoFile) {
    EXPECT_TRUE(WriteWaypointFile(routes_.Folder() + QStringLiteral("/missing"),
                                  MakeWaypoint(QStringLiteral("Camp")))
                    .isEmpty());
    EXPECT_TRUE(routes_.Names().isEmpty());
}

TEST_F(WaypointFileTest, AFullStoreLeavesNoCutOffFile) {
    {
        FileSizeLimit full(300);
        EXPECT_TRUE(
            WriteWaypointFile(routes_.Folder(), MakeWaypoint(QStringLiteral("Camp"))).isEmpty());
    }
    EXPECT_TRUE(routes_.Names().isEmpty());
}

TEST_F(WaypointFileTest, PeersReadBackWhatWasWritten) {
    SKIP_WITHOUT_PEER("xmllint");
    SKIP_WITHOUT_PEER("gpsbabel");
    const QList<Waypoint> waypoints = {
        {41.164673, -8.123456, 12.5, QStringLiteral("Camp"), QStringLiteral("Water")},
        {-33.856784, 151.215297, 0.25, QStringLiteral("Fish & Chips <\"Joe's\">"),
         QStringLiteral("Food & <Drink>")},
        {48.208176, 16.373819, 171.0, QString::fromUtf8("Café Zürich – 東京 \xF0\x9F\x8F\x95"),
         QString::fromUtf8("Übernachtung")},
        {0.000001, -179.999999, -12.75, QString(400, u'L'), QStringLiteral("'\"'")},
    };
    for (const Waypoint& waypoint : waypoints) {
        const QString path = WriteWaypointFile(routes_.Folder(), waypoint);
        ASSERT_FALSE(path.isEmpty());
        QString errors;
        EXPECT_TRUE(IsWellFormed(path, &errors)) << errors.toStdString();
        const auto points = ReadWithGpsbabel(path, false);
        ASSERT_TRUE(points);
        ASSERT_EQ(points->size(), 1u);
        EXPECT_EQ(points->front().name, waypoint.name);
        EXPECT_NEAR(points->front().latitude, waypoint.latitude, 1e-6);
        EXPECT_NEAR(points->front().longitude, waypoint.longitude, 1e-6);
        // gpsbabel's unicsv gives the altitude to a tenth of a metre.
        EXPECT_NEAR(points->front().altitude, waypoint.altitude, 0.051);
    }
}

}  // namespace
}  // namespace poi
