#include "formats/img_file.h"

#include <gtest/gtest.h>

#include <QDir>

#include <bit>

#include "formats/vl_writer.h"
#include "temp_home.h"

namespace formats {
namespace {

template <typename T>
ShapePtr<T> BuiltShape(int32_t type, const QString& label,
                       std::initializer_list<std::pair<float, float>> vertices) {
    auto shape = MakeShape<T>();
    shape->type = type;
    shape->SetLabel(label);
    for (const auto& [lat, lon] : vertices) {
        shape->AddVertex(lat, lon);
    }
    return shape;
}

std::unique_ptr<ShapeLevel> MakeLevel(uint32_t cbits) {
    auto level = std::make_unique<ShapeLevel>();
    level->cbits = cbits;
    return level;
}

// A map with every kind of object and every field set, in levels of three, one and two objects.
void FillSample(ShapeFile& file) {
    file.name = QStringLiteral("Andorra – Pas de la Casa \U0001F5FA");
    file.bounds = GeoRect{1.25f, 42.75f, 1.75f, 42.5f};
    auto ring = MakeShape<ShapePolygon>();
    ring->AddVertex(42.5f, 1.25f);
    ring->AddVertex(42.75f, 1.25f);
    ring->AddVertex(42.75f, 1.75f);
    file.coverage.push_back(std::move(ring));
    file.coverage.push_back(MakeShape<ShapePolygon>());  // no vertices at all

    auto detailed = MakeLevel(24);
    auto point = BuiltShape<ShapePoint>(0x2F06, QStringLiteral("Fuel"), {{42.6f, 1.5f}});
    point->subtype = 0x12;
    point->anchorLat = 42.6f;
    point->anchorLon = 1.5f;
    detailed->shapes.push_back(std::move(point));
    auto road = BuiltShape<ShapePolyline>(2, QStringLiteral(".CG2"),
                                          {{42.5f, 1.3f}, {42.55f, 1.35f}, {42.6f, 1.4f}});
    road->labelAngleTenthsDeg = -450;
    road->anchorLat = 42.55f;
    road->anchorLon = 1.35f;
    road->bounds = GeoRect{1.3f, 42.6f, 1.4f, 42.5f};
    detailed->shapes.push_back(std::move(road));
    auto lake = BuiltShape<ShapePolygon>(0x3C, QString(), {{42.7f, 1.6f}, {42.72f, 1.62f}});
    lake->bounds = GeoRect{1.6f, 42.72f, 1.62f, 42.7f};
    detailed->shapes.push_back(std::move(lake));
    file.levels.push_back(std::move(detailed));

    auto single = MakeLevel(22);
    single->shapes.push_back(BuiltShape<ShapePolygon>(0x4B, QStringLiteral("bg"), {}));
    file.levels.push_back(std::move(single));

    auto pair = MakeLevel(18);
    pair->shapes.push_back(BuiltShape<ShapePolyline>(1, QStringLiteral("A"), {{1, 2}, {3, 4}}));
    pair->shapes.push_back(BuiltShape<ShapePoint>(0x6600, QStringLiteral("Peak"), {{5, 6}}));
    file.levels.push_back(std::move(pair));
}

void ExpectSameShape(const Shape& read, const Shape& written) {
    EXPECT_EQ(read.Kind(), written.Kind());
    EXPECT_EQ(std::vector<float>(read.vertexPairs.begin(), read.vertexPairs.end()),
              std::vector<float>(written.vertexPairs.begin(), written.vertexPairs.end()));
    EXPECT_EQ(read.bounds, written.bounds);
    EXPECT_EQ(read.Label().toString(), written.Label().toString());
    EXPECT_EQ(read.anchorLon, written.anchorLon);
    EXPECT_EQ(read.anchorLat, written.anchorLat);
    EXPECT_EQ(read.labelAngleTenthsDeg, written.labelAngleTenthsDeg);
    EXPECT_EQ(read.type, written.type);
    EXPECT_EQ(read.subtype, written.subtype);
}

bool IsEmpty(const ShapeFile& file) {
    return file.name.isEmpty() && file.levels.empty() && file.coverage.empty() &&
           file.bounds == GeoRect{};
}

QByteArray SampleBytes() {
    ShapeFile sample;
    FillSample(sample);
    return WriteVl(sample);
}

TEST(ImgFile, WriterOutputReadsBackWithEveryField) {
    ShapeFile written;
    FillSample(written);
    ImgFile read;
    ASSERT_TRUE(read.LoadFromBytes(WriteVl(written)));

    EXPECT_EQ(read.name, written.name);
    EXPECT_EQ(read.bounds, written.bounds);
    ASSERT_EQ(read.coverage.size(), 2u);
    ExpectSameShape(*read.coverage[0], *written.coverage[0]);
    EXPECT_EQ(read.coverage[1]->VertexCount(), 0u);
    ASSERT_EQ(read.levels.size(), 3u) << "levels of one and two objects are read like any other";
    for (size_t i = 0; i < read.levels.size(); ++i) {
        EXPECT_EQ(read.levels[i]->cbits, written.levels[i]->cbits);
        ASSERT_EQ(read.levels[i]->shapes.size(), written.levels[i]->shapes.size());
        for (size_t j = 0; j < read.levels[i]->shapes.size(); ++j) {
            SCOPED_TRACE(testing::Message() << "level " << i << " shape " << j);
            ExpectSameShape(*read.levels[i]->shapes[j], *written.levels[i]->shapes[j]);
        }
    }
    EXPECT_EQ(read.currentLevel, 0u);
}

TEST(ImgFile, TheWindowSizeDoesNotChangeWhatIsRead) {
    const QByteArray bytes = SampleBytes();
    ImgFile whole;
    ASSERT_TRUE(whole.LoadFromBytes(bytes));
    for (size_t windowBytes : {1, 2, 7, 48, 99, 4096}) {
        ImgFile read;
        ASSERT_TRUE(read.LoadFromBytes(bytes, windowBytes)) << windowBytes;
        EXPECT_EQ(WriteVl(read), WriteVl(whole)) << windowBytes;
        EXPECT_FALSE(read.LoadFromBytes(bytes.left(bytes.size() - 1), windowBytes)) << windowBytes;
        EXPECT_TRUE(IsEmpty(read));
    }
}

TEST(ImgFile, FloatBitsSurviveTheRoundTrip) {
    ShapeFile written;
    auto level = MakeLevel(24);
    auto shape = BuiltShape<ShapePoint>(1, QString(), {{-0.0f, std::bit_cast<float>(0x7FC01234u)}});
    shape->anchorLon = std::bit_cast<float>(0xFF800000u);  // stored unchanged, whatever it holds
    level->shapes.push_back(std::move(shape));
    written.levels.push_back(std::move(level));
    ImgFile read;
    ASSERT_TRUE(read.LoadFromBytes(WriteVl(written)));
    const Shape& back = *read.levels[0]->shapes[0];
    EXPECT_EQ(std::bit_cast<uint32_t>(back.Latitude(0)), 0x80000000u);
    EXPECT_EQ(std::bit_cast<uint32_t>(back.Longitude(0)), 0x7FC01234u);
    EXPECT_EQ(std::bit_cast<uint32_t>(back.anchorLon), 0xFF800000u);
}

TEST(ImgFile, LevelsWithoutObjectsAreNotKept) {
    ShapeFile written;
    written.levels.push_back(MakeLevel(24));
    auto kept = MakeLevel(20);
    kept->shapes.push_back(BuiltShape<ShapePoint>(1, QString(), {{1, 1}}));
    written.levels.push_back(std::move(kept));
    written.levels.push_back(MakeLevel(16));
    ImgFile read;
    ASSERT_TRUE(read.LoadFromBytes(WriteVl(written)));
    ASSERT_EQ(read.levels.size(), 1u);
    EXPECT_EQ(read.levels[0]->cbits, 20u);
}

TEST(ImgFile, AMapWithoutLevelsStillAnswersTheCoverageTest) {
    ShapeFile written;
    auto ring = MakeShape<ShapePolygon>();
    ring->AddVertex(0.0f, 0.0f);
    ring->AddVertex(10.0f, 0.0f);
    ring->AddVertex(10.0f, 10.0f);
    ring->AddVertex(0.0f, 10.0f);
    written.coverage.push_back(std::move(ring));
    ImgFile read;
    ASSERT_TRUE(read.LoadFromBytes(WriteVl(written)));
    EXPECT_TRUE(read.levels.empty());
    EXPECT_EQ(read.CurrentLevel(), nullptr);
    EXPECT_TRUE(read.Contains(5.0f, 5.0f));
    EXPECT_FALSE(read.Contains(5.0f, 15.0f));
}

// A minimal file laid out by hand: name "M", no coverage, one level of one polyline labelled
// "R" with one vertex. The offsets are those of the fields patched by the tests below.
constexpr size_t kNameLengthAt = 2;
constexpr size_t kCoverageCountAt = 24;
constexpr size_t kLevelCountAt = 28;
constexpr size_t kObjectCountAt = 36;
constexpr size_t kKindAt = 40;
constexpr size_t kLabelLengthAt = 44;
constexpr size_t kLabelAt = 48;
constexpr size_t kVertexCountAt = 86;
constexpr size_t kMinimalSize = 98;

QByteArray MinimalFile() {
    ShapeFile file;
    file.name = QStringLiteral("M");
    auto level = MakeLevel(24);
    level->shapes.push_back(BuiltShape<ShapePolyline>(5, QStringLiteral("R"), {{1, 2}}));
    file.levels.push_back(std::move(level));
    return WriteVl(file);
}

QByteArray Patched(QByteArray bytes, size_t offset, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes[qsizetype(offset) + i] = char((value >> (8 * i)) & 0xFF);
    }
    return bytes;
}

TEST(ImgFile, TheMinimalFileHasTheExpectedOffsets) {
    const QByteArray bytes = MinimalFile();
    ASSERT_EQ(size_t(bytes.size()), kMinimalSize);
    ImgFile read;
    ASSERT_TRUE(read.LoadFromBytes(bytes));
    EXPECT_EQ(read.levels[0]->shapes[0]->Label().toString(), QStringLiteral("R"));
    EXPECT_EQ(bytes.mid(kLabelAt, 2), QByteArray("R\0", 2));
}

TEST(ImgFile, EveryCutFailsAndLeavesNothing) {
    for (const QByteArray& whole : {MinimalFile(), SampleBytes()}) {
        for (qsizetype size = 0; size < whole.size(); ++size) {
            ImgFile read;
            EXPECT_FALSE(read.LoadFromBytes(whole.left(size))) << size;
            EXPECT_TRUE(IsEmpty(read)) << size;
        }
    }
}

TEST(ImgFile, CountsAndLengthsRunningPastTheEndFail) {
    const QByteArray good = MinimalFile();
    const struct {
        const char* what;
        size_t offset;
        uint32_t value;
    } cases[] = {
        {"name length past the end", kNameLengthAt, 1000},
        {"name length huge", kNameLengthAt, 0xFFFFFFFEu},
        {"coverage count", kCoverageCountAt, 1},
        {"coverage count huge", kCoverageCountAt, 0xFFFFFFFFu},
        {"level count", kLevelCountAt, 2},
        {"level count huge", kLevelCountAt, 0x7FFFFFFFu},
        {"object count", kObjectCountAt, 2},
        {"object count huge", kObjectCountAt, 0xFFFFFFFFu},
        {"label length past the end", kLabelLengthAt, 100},
        {"label length huge", kLabelLengthAt, 0xFFFFFFFEu},
        {"vertex count", kVertexCountAt, 2},
        {"vertex count huge", kVertexCountAt, 0x20000000u},
        {"kind 3", kKindAt, 3},
        {"kind -1", kKindAt, 0xFFFFFFFFu},
    };
    for (const auto& c : cases) {
        ImgFile read;
        EXPECT_FALSE(read.LoadFromBytes(Patched(good, c.offset, c.value))) << c.what;
        EXPECT_TRUE(IsEmpty(read)) << c.what;
    }
}

TEST(ImgFile, AVersionOtherThanOneYieldsNoMap) {
    QByteArray bytes = SampleBytes();
    bytes[0] = 2;
    ImgFile read;
    EXPECT_FALSE(read.LoadFromBytes(bytes));
    EXPECT_TRUE(IsEmpty(read));
    EXPECT_FALSE(read.LoadFromBytes(QByteArray()));
}

TEST(ImgFile, TextStopsAtTheFirstNul) {
    ShapeFile written;
    written.name = QString::fromUtf16(u"No\0rth", 6);
    auto level = MakeLevel(24);
    for (const QString& label :
         {QString::fromUtf16(u"ab\0cd", 5), QString::fromUtf16(u"\0x", 2), QString()}) {
        level->shapes.push_back(BuiltShape<ShapePoint>(1, label, {{1, 1}}));
    }
    written.levels.push_back(std::move(level));
    ImgFile read;
    ASSERT_TRUE(read.LoadFromBytes(WriteVl(written)));
    EXPECT_EQ(read.name, QStringLiteral("No"));
    const auto& shapes = read.levels[0]->shapes;
    EXPECT_EQ(shapes[0]->Label().toString(), QStringLiteral("ab"));
    EXPECT_TRUE(shapes[1]->Label().isEmpty()) << "a label whose first character is NUL";
    EXPECT_TRUE(shapes[2]->Label().isEmpty()) << "a label length of 0";
}

TEST(ImgFile, OddTextLengthsKeepTheWholeUnitsAndTheMap) {
    // The minimal file with one byte more in its name ("M") and its label ("R"): the name and
    // label lengths count it, the whole UTF-16 units before it are the text.
    QByteArray bytes = MinimalFile();
    bytes.insert(qsizetype(kLabelAt + 2), 'x');
    bytes = Patched(bytes, kLabelLengthAt, 3);
    bytes.insert(qsizetype(kNameLengthAt + 4 + 2), 'y');
    bytes = Patched(bytes, kNameLengthAt, 3);
    ImgFile read;
    ASSERT_TRUE(read.LoadFromBytes(bytes));
    EXPECT_EQ(read.name, QStringLiteral("M"));
    ASSERT_EQ(read.levels.size(), 1u);
    EXPECT_EQ(read.levels[0]->shapes[0]->Label().toString(), QStringLiteral("R"));
    EXPECT_EQ(read.levels[0]->shapes[0]->type, 5);

    // A label of one byte holds no unit at all; the header reader keeps the map too.
    QByteArray oneByte = MinimalFile();
    oneByte.remove(qsizetype(kLabelAt + 1), 1);
    oneByte = Patched(oneByte, kLabelLengthAt, 1);
    ImgFile single;
    ASSERT_TRUE(single.LoadFromBytes(oneByte));
    EXPECT_TRUE(single.levels[0]->shapes[0]->Label().isEmpty());

    TempHome home;
    ASSERT_TRUE(home.Write("odd.vl", bytes));
    ImgFile header;
    ASSERT_TRUE(header.LoadHeader(home.File("odd.vl")));
    ASSERT_TRUE(header.ReadHeader());
    EXPECT_EQ(header.name, QStringLiteral("M"));
}

TEST(ImgFile, BytesAfterTheLastLevelAreIgnored) {
    ImgFile read;
    EXPECT_TRUE(read.LoadFromBytes(MinimalFile() + QByteArray(7, '\xFF')));
    EXPECT_EQ(read.levels.size(), 1u);
}

TEST(ImgFile, LoadReadsFilesAndRejectsWhatIsNoMapFile) {
    TempHome home;
    ShapeFile sample;
    FillSample(sample);
    ASSERT_TRUE(WriteVlFile(sample, home.File("a.vl")));
    ImgFile read;
    ASSERT_TRUE(read.Load(home.File("a.vl")));
    EXPECT_EQ(read.name, sample.name);
    EXPECT_EQ(read.levels.size(), 3u);

    EXPECT_FALSE(read.Load(home.File("missing.vl")));
    EXPECT_TRUE(IsEmpty(read)) << "a failed load drops the map loaded before";
    ASSERT_TRUE(QDir(home.Path()).mkdir("folder.vl"));
    EXPECT_FALSE(read.Load(home.File("folder.vl")));
    ASSERT_TRUE(home.Write("cut.vl", WriteVl(sample).left(40)));
    EXPECT_FALSE(read.Load(home.File("cut.vl")));
    EXPECT_TRUE(IsEmpty(read));
}

TEST(ImgFile, AFileLargerThanTheWindowLoadsWhole) {
    TempHome home;
    ShapeFile written;
    FillSample(written);
    auto level = std::make_unique<ShapeLevel>();
    level->cbits = 16;
    for (int i = 0; i < 3000; ++i) {  // objects of about 1 KB, one of 1 MB
        level->shapes.push_back(BuiltShape<ShapePolyline>(i, QString::number(i), {}));
        for (int v = 0; v < (i == 1500 ? 131072 : 120); ++v) {
            level->shapes.back()->AddVertex(float(v), float(i));
        }
    }
    written.levels.push_back(std::move(level));
    const QByteArray bytes = WriteVl(written);
    ASSERT_GT(bytes.size(), qsizetype(4 * ByteWindow::kDefaultWindowBytes));
    ASSERT_TRUE(home.Write("big.vl", bytes));
    ImgFile read;
    ASSERT_TRUE(read.Load(home.File("big.vl")));
    EXPECT_EQ(WriteVl(read), bytes);
    ASSERT_TRUE(home.Write("big.vl", bytes.left(bytes.size() - 8)));
    EXPECT_FALSE(read.Load(home.File("big.vl")));
    EXPECT_TRUE(IsEmpty(read));
}

TEST(ImgFile, TheHeaderAloneGivesNameAndRectangle) {
    TempHome home;
    // A valid header followed by bytes that are no map body.
    QByteArray bytes = MinimalFile().left(kCoverageCountAt) + QByteArray(5000, '\xEE');
    ASSERT_TRUE(home.Write("header.vl", bytes));
    ImgFile header;
    ASSERT_TRUE(header.LoadHeader(home.File("header.vl")));
    ASSERT_TRUE(header.ReadHeader());
    EXPECT_EQ(header.name, QStringLiteral("M"));
    EXPECT_TRUE(header.levels.empty());
    ImgFile whole;
    EXPECT_FALSE(whole.Load(home.File("header.vl")));

    ShapeFile sample;
    FillSample(sample);
    ASSERT_TRUE(WriteVlFile(sample, home.File("a.vl")));
    ASSERT_TRUE(header.LoadHeader(home.File("a.vl")));
    ASSERT_TRUE(header.ReadHeader());
    EXPECT_EQ(header.name, sample.name);
    EXPECT_EQ(header.bounds, sample.bounds);

    for (qsizetype cut : {0, 1, 5, 6, 10, 23}) {
        ASSERT_TRUE(home.Write("cut.vl", MinimalFile().left(cut)));
        EXPECT_TRUE(header.LoadHeader(home.File("cut.vl"))) << cut;
        EXPECT_FALSE(header.ReadHeader()) << cut;
    }
    ASSERT_TRUE(home.Write("v2.vl", Patched(MinimalFile(), 0, 2)));
    ASSERT_TRUE(header.LoadHeader(home.File("v2.vl")));
    EXPECT_FALSE(header.ReadHeader());
    EXPECT_FALSE(header.LoadHeader(home.File("missing.vl")));
}

TEST(ImgMapFile, CopiesTheRectangleAndKeepsAFailedFile) {
    TempHome home;
    ShapeFile sample;
    FillSample(sample);
    ASSERT_TRUE(WriteVlFile(sample, home.File("a.vl")));

    ImgMapFile map;
    EXPECT_EQ(map.ObjectCount(), 0);
    EXPECT_EQ(map.Object(0), nullptr);
    EXPECT_FALSE(map.Contains(42.6f, 1.3f));
    ASSERT_TRUE(map.Load(home.File("a.vl")));
    EXPECT_EQ(map.east, 1.75f);
    EXPECT_EQ(map.south, 42.5f);
    EXPECT_EQ(map.west, 1.25f);
    EXPECT_EQ(map.north, 42.75f);
    EXPECT_EQ(map.ObjectCount(), 3);
    EXPECT_EQ(map.Object(2)->type, 0x3C);
    EXPECT_EQ(map.Object(3), nullptr);
    EXPECT_EQ(map.Object(-1), nullptr);
    EXPECT_EQ(map.SelectLevel(100000.0f), 14);
    EXPECT_EQ(map.ObjectCount(), 2) << "the 18-cbit level";
    EXPECT_TRUE(map.Contains(42.7f, 1.6f));

    EXPECT_FALSE(map.Load(home.File("missing.vl")));
    ASSERT_NE(map.File(), nullptr);
    EXPECT_TRUE(map.File()->levels.empty());
    EXPECT_EQ(map.ObjectCount(), 0);
}

}  // namespace
}  // namespace formats
