#include "render/map_catalogue.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QSet>

#include <bit>
#include <limits>

#include "formats/byte_cursor.h"
#include "formats/byte_writer.h"
#include "formats/vl_writer.h"
#include "platform/folder_listing.h"
#include "render/geo_math.h"
#include "temp_home.h"

namespace render {
namespace {

// A data home with a Maps folder and helpers to put map files into it.
class CatalogueTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(home.IsValid());
        ASSERT_TRUE(QDir(home.Path()).mkpath("Maps"));
    }

    QString MapPath(const QString& tail) const { return home.File("Maps/" + tail); }

    // A ".vl" file under Maps whose header rectangle is (north, west) – (south, east).
    void WriteMap(const QString& tail, float north, float west, float south, float east) const {
        formats::ShapeFile file;
        file.name = tail;
        file.bounds = formats::GeoRect{west, north, east, south};
        QDir().mkpath(QFileInfo(MapPath(tail)).path());
        ASSERT_TRUE(formats::WriteVlFile(file, MapPath(tail)));
    }

    QByteArray CatalogueBytes() const {
        QFile file(home.File("Maps/maps.dat"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    static QSet<QString> Paths(const MapCatalogue& catalogue) {
        QSet<QString> paths;
        for (int i = 0; i < catalogue.Count(); ++i) {
            paths.insert(catalogue.Record(i).path);
        }
        return paths;
    }

    TempHome home;
};

TEST_F(CatalogueTest, FindsMapsInPlainSubFoldersAndTheCountryMap) {
    WriteMap("A.vl", 43.0f, 1.0f, 42.0f, 2.0f);
    WriteMap("Country.vl", 50.0f, 0.0f, 40.0f, 10.0f);
    WriteMap("sub/B.vl", 44.0f, 1.0f, 43.0f, 2.0f);
    WriteMap("X.VL", 44.0f, 1.0f, 43.0f, 2.0f);
    WriteMap("B.vl.bak", 44.0f, 1.0f, 43.0f, 2.0f);
    WriteMap(".hidden/C.vl", 44.0f, 1.0f, 43.0f, 2.0f);
    WriteMap("locked/D.vl", 44.0f, 1.0f, 43.0f, 2.0f);
    ASSERT_EQ(chmod(QFile::encodeName(MapPath("locked")).constData(), 0555), 0);
    ASSERT_TRUE(QFile::link(MapPath("sub"), MapPath("linked")));
    ASSERT_TRUE(QDir().mkpath(MapPath("folder.vl")));
    ASSERT_TRUE(home.Write("Maps/broken.vl", "no map"));

    MapCatalogue catalogue(home.Path());
    catalogue.Build();
    chmod(QFile::encodeName(MapPath("locked")).constData(), 0755);

    EXPECT_EQ(Paths(catalogue), QSet<QString>({MapPath("A.vl"), MapPath("sub/B.vl")}));
    EXPECT_EQ(catalogue.CountryMapPath(), MapPath("Country.vl"));
    const MapRecord& a = catalogue.Record(catalogue.Record(0).path == MapPath("A.vl") ? 0 : 1);
    EXPECT_EQ(a.north, 43.0f);
    EXPECT_EQ(a.south, 42.0f);
    EXPECT_EQ(a.west, 1.0f);
    EXPECT_EQ(a.east, 2.0f);
    EXPECT_EQ(a.diagonalKm, float(GeoMath{}.Distance(43.0, 1.0, 42.0, 2.0)));
    EXPECT_NE(a.created.ticks, 0u);
}

TEST_F(CatalogueTest, TheLastCountryMapTheScanMeetsWins) {
    WriteMap("Country.vl", 50.0f, 0.0f, 40.0f, 10.0f);
    WriteMap("sub/Country.vl", 50.0f, 0.0f, 40.0f, 10.0f);
    WriteMap("sub/OldCountry.vl.d/A.vl", 50.0f, 0.0f, 40.0f, 10.0f);
    // The scan is depth first in the file system's order.
    const auto top = platform::ListFolder(MapPath(""));
    ASSERT_TRUE(top);
    int countryAt = -1;
    int subAt = -1;
    for (int i = 0; i < int(top->size()); ++i) {
        countryAt = (*top)[i].name == "Country.vl" ? i : countryAt;
        subAt = (*top)[i].name == "sub" ? i : subAt;
    }
    MapCatalogue catalogue(home.Path());
    catalogue.Build();
    EXPECT_EQ(catalogue.Count(), 0) << "a path containing Country.vl is never a record";
    const QString lastInSub = catalogue.CountryMapPath();
    EXPECT_TRUE(lastInSub == MapPath("sub/Country.vl") ||
                lastInSub == MapPath("sub/OldCountry.vl.d/A.vl"));
    EXPECT_EQ(catalogue.CountryMapPath(), countryAt > subAt ? MapPath("Country.vl") : lastInSub);
}

TEST_F(CatalogueTest, ASecondBuildWritesTheSameBytes) {
    WriteMap("A.vl", 43.0f, 1.0f, 42.0f, 2.0f);
    WriteMap("sub/B.vl", 44.0f, 1.0f, 43.0f, 2.0f);
    WriteMap("sub/deeper/C.vl", 45.0f, 1.0f, 44.0f, 2.0f);
    MapCatalogue first(home.Path());
    first.Build();
    const QByteArray once = CatalogueBytes();
    ASSERT_EQ(once.size(), 8 + 3 * MapRecord::kByteSize);
    first.Build();
    EXPECT_EQ(CatalogueBytes(), once);
    EXPECT_EQ(first.Count(), 3);

    MapCatalogue restarted(home.Path());
    restarted.Build();
    EXPECT_EQ(CatalogueBytes(), once);
    ASSERT_EQ(restarted.Count(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(restarted.Record(i), first.Record(i));
    }
}

TEST_F(CatalogueTest, ADeletedMapLosesItsRecordAndTheOldTailStays) {
    WriteMap("A.vl", 43.0f, 1.0f, 42.0f, 2.0f);
    WriteMap("B.vl", 44.0f, 1.0f, 43.0f, 2.0f);
    MapCatalogue catalogue(home.Path());
    catalogue.Build();
    ASSERT_EQ(catalogue.Count(), 2);
    const QByteArray before = CatalogueBytes();

    ASSERT_TRUE(QFile::remove(MapPath("A.vl")));
    catalogue.Build();
    ASSERT_EQ(catalogue.Count(), 1);
    EXPECT_EQ(catalogue.Record(0).path, MapPath("B.vl"));
    const QByteArray after = CatalogueBytes();
    ASSERT_EQ(after.size(), before.size()) << "maps.dat is not truncated";
    EXPECT_EQ(after.mid(8 + MapRecord::kByteSize), before.mid(8 + MapRecord::kByteSize));

    MapCatalogue restarted(home.Path());
    restarted.Load();
    ASSERT_EQ(restarted.Count(), 1) << "bytes after the last record are ignored";
    EXPECT_EQ(restarted.Record(0).path, MapPath("B.vl"));
}

TEST_F(CatalogueTest, ACataloguedFileIsNeverReadAgain) {
    WriteMap("A.vl", 43.0f, 1.0f, 42.0f, 2.0f);
    ASSERT_TRUE(home.Write("Maps/late.vl", "not yet a map"));
    MapCatalogue catalogue(home.Path());
    catalogue.Build();
    ASSERT_EQ(catalogue.Count(), 1);

    WriteMap("A.vl", 10.0f, 1.0f, 9.0f, 2.0f);
    WriteMap("late.vl", 20.0f, 1.0f, 19.0f, 2.0f);
    MapCatalogue restarted(home.Path());
    restarted.Build();
    ASSERT_EQ(restarted.Count(), 2) << "a rejected file is tried again at the next build";
    EXPECT_EQ(restarted.Record(0).north, 43.0f) << "the old box stays";
    EXPECT_EQ(restarted.Record(1).north, 20.0f);
}

TEST_F(CatalogueTest, APathThatDoesNotFitARecordIsSkippedNotCut) {
    // Folders nested so that the file's full path is exactly 259 and 260 characters long.
    const QString folder = MapPath("");
    const int room = MapRecord::kMaxPathUnits - int(folder.size()) - int(QString("/a.vl").size());
    ASSERT_GT(room, 10);
    const QString deep = QString(room / 2, 'd') + "/" + QString(room - room / 2 - 1, 'e');
    WriteMap(deep + "/a.vl", 43.0f, 1.0f, 42.0f, 2.0f);
    WriteMap(deep + "/ab.vl", 43.0f, 1.0f, 42.0f, 2.0f);
    ASSERT_EQ(MapPath(deep + "/a.vl").size(), MapRecord::kMaxPathUnits);

    MapCatalogue catalogue(home.Path());
    catalogue.Build();
    ASSERT_EQ(catalogue.Count(), 1);
    EXPECT_EQ(catalogue.Record(0).path, MapPath(deep + "/a.vl"));
    MapCatalogue restarted(home.Path());
    restarted.Load();
    ASSERT_EQ(restarted.Count(), 1);
    EXPECT_EQ(restarted.Record(0).path, MapPath(deep + "/a.vl"));
}

TEST_F(CatalogueTest, WithoutAMapsFolderTheListedMapsStay) {
    WriteMap("A.vl", 43.0f, 1.0f, 42.0f, 2.0f);
    MapCatalogue first(home.Path());
    first.Build();
    // The map lives elsewhere now; maps.dat still names it.
    TempHome other;
    MapCatalogue moved(other.Path());
    moved.LoadFromBytes(CatalogueBytes());
    moved.Build();
    EXPECT_EQ(moved.Count(), 1);
    EXPECT_FALSE(moved.Save()) << "there is no folder to write maps.dat into";
}

TEST(MapRecord, LaysOutThe548Bytes) {
    MapRecord record;
    record.path = QStringLiteral("/m/é.vl");
    record.north = 1.0f;
    record.south = 2.0f;
    record.west = 3.0f;
    record.east = 4.0f;
    record.diagonalKm = 5.0f;
    record.created = platform::FileTime{0x0102030405060708ull};
    formats::ByteWriter out;
    record.Encode(out);
    const QByteArray bytes = out.Bytes();
    ASSERT_EQ(bytes.size(), MapRecord::kByteSize);
    EXPECT_EQ(bytes.left(16), QByteArray("/\0m\0/\0\xE9\0.\0v\0l\0\0\0", 16));
    EXPECT_EQ(bytes.mid(16, 504), QByteArray(504, '\0')) << "zeros after the terminator";
    const auto floatAt = [&bytes](int offset) {
        return std::bit_cast<float>(
            formats::LoadLittleEndian<uint32_t>(bytes.constData() + offset));
    };
    EXPECT_EQ(floatAt(520), 1.0f);
    EXPECT_EQ(floatAt(524), 2.0f);
    EXPECT_EQ(floatAt(528), 3.0f);
    EXPECT_EQ(floatAt(532), 4.0f);
    EXPECT_EQ(floatAt(536), 5.0f);
    EXPECT_EQ(bytes.mid(540).toHex(), QByteArray("0807060504030201"));
    EXPECT_EQ(MapRecord::Decode(bytes.constData()), record);

    QByteArray unterminated = bytes;
    for (int i = 0; i < MapRecord::kPathBytes; i += 2) {
        unterminated[i] = 'x';
    }
    EXPECT_FALSE(MapRecord::Decode(unterminated.constData()));
}

// maps.dat bytes holding records for the paths given.
QByteArray CatalogueOf(int32_t version, int32_t count, const QStringList& paths) {
    formats::ByteWriter out;
    out.WriteI32(version);
    out.WriteI32(count);
    for (const QString& path : paths) {
        MapRecord record;
        record.path = path;
        record.north = 1.0f;
        record.Encode(out);
    }
    return out.Take();
}

TEST(MapCatalogueLoad, KeepsOnlyTheWholeRecordsTheCountNames) {
    const QStringList three = {"/a.vl", "/b.vl", "/c.vl"};
    const struct {
        const char* what;
        QByteArray bytes;
        int expected;
    } cases[] = {
        {"as written", CatalogueOf(4, 3, three), 3},
        {"fewer than present", CatalogueOf(4, 2, three), 2},
        {"negative count", CatalogueOf(4, -1, three), 0},
        {"most negative count", CatalogueOf(4, INT32_MIN, three), 0},
        {"huge count", CatalogueOf(4, INT32_MAX, three), 3},
        {"cut inside the third", CatalogueOf(4, 3, three).left(8 + 2 * 548 + 300), 2},
        {"cut in the header", CatalogueOf(4, 3, three).left(6), 0},
        {"other version", CatalogueOf(3, 3, three), 0},
        {"a path twice", CatalogueOf(4, 3, {"/a.vl", "/b.vl", "/a.vl"}), 2},
        {"empty", QByteArray(), 0},
    };
    for (const auto& c : cases) {
        MapCatalogue catalogue("/nowhere");
        catalogue.LoadFromBytes(c.bytes);
        EXPECT_EQ(catalogue.Count(), c.expected) << c.what;
    }
}

TEST_F(CatalogueTest, AMalformedCatalogueIsReplaced) {
    WriteMap("A.vl", 43.0f, 1.0f, 42.0f, 2.0f);
    for (const QByteArray& bad : {CatalogueOf(5, 1, {MapPath("A.vl")}),
                                  CatalogueOf(4, INT32_MAX, {}) + QByteArray(100, 'x')}) {
        ASSERT_TRUE(home.Write("Maps/maps.dat", bad));
        MapCatalogue catalogue(home.Path());
        catalogue.Build();
        ASSERT_EQ(catalogue.Count(), 1);
        const QByteArray written = CatalogueBytes();
        EXPECT_EQ(written.left(8 + MapRecord::kByteSize), catalogue.SaveBytes());
    }
}

TEST_F(CatalogueTest, FirstBuildReadsOnlyTheHeaders) {
    QFile io("/proc/self/io");
    if (!io.open(QIODevice::ReadOnly)) {
        GTEST_SKIP() << "no /proc/self/io to count the bytes read";
    }
    io.close();
    const auto bytesRead = [] {
        QFile counters("/proc/self/io");
        counters.open(QIODevice::ReadOnly);
        const QByteArray text = counters.readAll();
        const qsizetype at = text.indexOf("rchar: ") + 7;
        return text.mid(at, text.indexOf('\n', at) - at).toLongLong();
    };
    constexpr int kMaps = 20;
    constexpr int kMapBytes = 1 << 20;
    for (int i = 0; i < kMaps; ++i) {
        formats::ShapeFile file;
        file.name = QString("map %1").arg(i);
        auto level = std::make_unique<formats::ShapeLevel>();
        auto area = formats::MakeShape<formats::ShapePolygon>();
        for (int v = 0; v < kMapBytes / 8; ++v) {
            area->AddVertex(float(v), float(i));
        }
        level->shapes.push_back(std::move(area));
        file.levels.push_back(std::move(level));
        ASSERT_TRUE(formats::WriteVlFile(file, MapPath(QString("m%1.vl").arg(i))));
    }
    MapCatalogue catalogue(home.Path());
    const int64_t before = bytesRead();
    catalogue.Build();
    const int64_t read = bytesRead() - before;
    EXPECT_EQ(catalogue.Count(), kMaps);
    EXPECT_LT(read, 64 * 1024) << "a full read would be " << kMaps * kMapBytes;
}

TEST_F(CatalogueTest, FindMapAtPrefersTheSmallestBoxHoldingThePoint) {
    WriteMap("big.vl", 44.0f, 0.0f, 40.0f, 4.0f);
    WriteMap("west.vl", 43.0f, 1.0f, 42.0f, 2.0f);
    WriteMap("twin.vl", 43.0f, 1.0f, 42.0f, 2.0f);
    WriteMap("east.vl", 43.0f, 2.0f, 42.5f, 2.5f);
    MapCatalogue catalogue(home.Path());
    for (const char* name : {"big.vl", "west.vl", "twin.vl", "east.vl", "west.vl"}) {
        catalogue.AddFile(MapPath(name), {});
    }
    ASSERT_EQ(catalogue.Count(), 4) << "a catalogued path is not added twice";
    constexpr int kBig = 0, kWest = 1, kEast = 3;
    EXPECT_EQ(catalogue.FindMapAt(42.75f, 2.0f), kEast) << "shared edge, smaller diagonal";
    EXPECT_EQ(catalogue.FindMapAt(42.25f, 1.5f), kWest) << "equal diagonals, earlier record";
    EXPECT_EQ(catalogue.FindMapAt(42.25f, 2.0f), kWest);
    EXPECT_EQ(catalogue.FindMapAt(43.0f, 2.5f), kEast) << "edges are inside";
    EXPECT_EQ(catalogue.FindMapAt(41.0f, 1.0f), kBig);
    EXPECT_EQ(catalogue.FindMapAt(44.0f, 4.0f), kBig);
    EXPECT_EQ(catalogue.FindMapAt(40.0f, 0.0f), kBig);
    EXPECT_EQ(catalogue.FindMapAt(45.0f, 1.0f), -1);
    EXPECT_EQ(catalogue.FindMapAt(42.0f, -0.1f), -1);
    EXPECT_EQ(catalogue.FindMapAt(std::numeric_limits<float>::quiet_NaN(), 1.0f), -1);
}

}  // namespace
}  // namespace render
