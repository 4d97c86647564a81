#include "poi/poi_store.h"

#include <gtest/gtest.h>

#include <QImage>

#include "paint/paint_context.h"
#include "pixels.h"
#include "poi_home.h"
#include "qt_print.h"
#include "render/map_projection.h"

namespace poi {
namespace {

class PoiStoreTest : public ::testing::Test {
protected:
    PoiStoreTest() : store_(home_.Path(), &home_.Settings()) {}

    // Writes one ticked file with `text` and reloads.
    void Load(const QByteArray& text, const QString& name = "a.poi") {
        ASSERT_TRUE(home_.Write(name, text));
        home_.Tick({name});
        store_.Reload();
    }

    PoiHome home_;
    PoiStore store_;
};

TEST_F(PoiStoreTest, LinesGiveRecordsByTheFieldRules) {
    store_.Reload();
    store_.ParseLine(u"41.5|23.25|A|B|a.bmp");
    store_.ParseLine(u"||41.5||23.25|A|||B|a.bmp");  // runs and a leading separator
    store_.ParseLine(u"41.5|23.25|A|a.bmp");         // four fields
    store_.ParseLine(u"-33.5|+33.5|T|D|a.bmp|s.wav|more|fields");
    store_.ParseLine(u"abc|1x|T|D|a.bmp");
    ASSERT_EQ(store_.Count(), 4);
    for (int i : {0, 1}) {
        const PoiRecord& r = store_.Record(i);
        EXPECT_EQ(r.latitude, 41.5f);
        EXPECT_EQ(r.longitude, 23.25f);
        EXPECT_EQ(r.title, "A");
        EXPECT_EQ(r.detail, "B");
        EXPECT_TRUE(r.soundPath.isEmpty());
        EXPECT_EQ(r.icon, store_.defaultIcon);
        EXPECT_EQ(r.transparentColour, PoiStore::kDefaultTransparent);
        EXPECT_EQ(r.iconWidth, 15);
        EXPECT_FALSE(r.announcedFar || r.announcedNear);
    }
    EXPECT_EQ(store_.Record(2).latitude, -33.5f);
    EXPECT_EQ(store_.Record(2).longitude, 33.5f);
    EXPECT_EQ(store_.Record(2).soundPath, home_.PoiFile("s.wav"));
    EXPECT_EQ(store_.Record(3).latitude, 0.0f);
    EXPECT_EQ(store_.Record(3).longitude, 1.0f);
}

TEST_F(PoiStoreTest, DefaultIconHasItsExactPixels) {
    const char* rows =
        "BBBBBBBBBBBBBBB BBBBAAABBBBBBBB BBAACCCAABBBBBB BAACCAAAAABBBBB "
        "BBAAAAAAABBBBBB BBBAAAAABBBBBBB BBBACCAABBBBBBB BBAACCAAABBBBBB "
        "BACCAAACAABBBBB BAACCCCAAABBBBB BBAAAAAAABBBBBB BBBBAAABBBBBBBB "
        "BBBBBABBBBBBBBB BBBBBABBBBBBBBB BBBBBABBBBBBBBB";
    const QImage& icon = PoiStore::DefaultIconBitmap();
    ASSERT_EQ(icon.size(), QSize(15, 15));
    for (int y = 0; y < 15; ++y) {
        for (int x = 0; x < 15; ++x) {
            const char letter = rows[y * 16 + x];
            const QRgb expected = letter == 'A'   ? qRgb(0, 0, 0)
                                  : letter == 'B' ? qRgb(255, 0, 255)
                                                  : qRgb(255, 255, 255);
            EXPECT_EQ(icon.pixel(x, y), expected) << x << "," << y;
        }
    }
}

TEST_F(PoiStoreTest, LineEndsOfEveryKindGiveTheSameRecords) {
    Load("1|2|A|B|i.bmp\r\n3|4|C|D|i.bmp\r\n\r\n");
    ASSERT_EQ(store_.Count(), 2);
    for (const QByteArray& text : {QByteArray("1|2|A|B|i.bmp\n\n3|4|C|D|i.bmp"),
                                   QByteArray("\r1|2|A|B|i.bmp\r3|4|C|D|i.bmp\r")}) {
        Load(text);
        ASSERT_EQ(store_.Count(), 2);
        EXPECT_EQ(store_.Record(1).latitude, 3.0f);
        EXPECT_EQ(store_.Record(1).detail, "D");
    }
}

TEST_F(PoiStoreTest, OnlyTickedFilesAreReadAndTheEndMarkerEndsTheList) {
    ASSERT_TRUE(home_.Write("a.poi", "1|1|A|A|i.bmp"));
    ASSERT_TRUE(home_.Write("b.poi", "2|2|B|B|i.bmp"));
    ASSERT_TRUE(home_.Write("c.poi", "3|3|C|C|i.bmp"));
    home_.Tick({"b.poi"});
    // Left over from a longer list: past the end marker, never read.
    home_.Settings().Set(platform::settings::kEnabledPoiFiles, 2, "c.poi");
    store_.Reload();
    ASSERT_EQ(store_.Count(), 1);
    EXPECT_EQ(store_.Record(0).title, "B");
    EXPECT_FALSE(store_.IsFileEnabled("c.poi"));
    EXPECT_FALSE(store_.IsFileEnabled("B.poi"));  // exact comparison

    PoiStore untouched(home_.Path(), nullptr);
    untouched.Reload();
    EXPECT_EQ(untouched.Count(), 0);
}

TEST_F(PoiStoreTest, IconsAreCachedByExactNameWithTheirCornerColour) {
    ASSERT_TRUE(home_.WriteIcon("a.bmp", 8, Qt::red, Qt::green));
    ASSERT_TRUE(home_.WriteIcon("A.bmp", 8, Qt::red, Qt::green));
    ASSERT_TRUE(home_.Write("text.bmp", "this is no picture"));
    Load("1|1|x|x|a.bmp\n2|2|x|x|a.bmp\n3|3|x|x|A.bmp\n4|4|x|x|text.bmp\n");
    ASSERT_EQ(store_.Count(), 4);
    ASSERT_EQ(store_.IconCount(), 2);
    EXPECT_EQ(store_.Icon(0).fileName, "a.bmp");
    EXPECT_EQ(store_.Icon(1).fileName, "A.bmp");
    EXPECT_EQ(store_.Record(0).icon, store_.Record(1).icon);
    EXPECT_NE(store_.Record(0).icon, store_.Record(2).icon);
    EXPECT_EQ(store_.Record(0).transparentColour, 0x0000FF00u);
    EXPECT_EQ(store_.Record(0).iconWidth, 8);
    EXPECT_EQ(qAlpha(store_.Record(0).icon->pixel(0, 0)), 0);
    EXPECT_EQ(store_.Record(0).icon->pixel(1, 1), qRgb(255, 0, 0));
    EXPECT_EQ(store_.Record(3).icon, store_.defaultIcon);
    EXPECT_EQ(store_.Record(3).transparentColour, PoiStore::kDefaultTransparent);

    store_.Reload();  // drops the cache and reads it anew
    EXPECT_EQ(store_.IconCount(), 2);
}

TEST_F(PoiStoreTest, NamesThatLeaveThePoiFolderLoadNothing) {
    ASSERT_TRUE(home_.WriteIcon("../x.bmp", 8, Qt::red, Qt::green));
    ASSERT_TRUE(home_.WriteIcon("sub/x.bmp", 8, Qt::red, Qt::green));
    Load(
        "1|1|a|b|../x.bmp|../x.wav\n"
        "2|2|a|b|/etc/passwd|/etc/passwd\n"
        "3|3|a|b|sub/../../x.bmp|sub/../../x.wav\n"
        "4|4|a|b|..|..\\x.wav\n"
        "5|5|a|b|sub|ok.wav\n");
    ASSERT_EQ(store_.Count(), 5);
    EXPECT_EQ(store_.IconCount(), 0);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(store_.Record(i).icon, store_.defaultIcon) << i;
    }
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(store_.Record(i).soundPath.isEmpty()) << i;
    }
    EXPECT_EQ(store_.Record(4).soundPath, home_.PoiFile("ok.wav"));
}

TEST_F(PoiStoreTest, BadFilesReadWithoutHarm) {
    // Binary garbage with zero bytes: the text ends at the first one.
    QByteArray garbage;
    for (int i = 0; i < 5000; ++i) {
        garbage += char((i * 7919 + 13) % 251 + 1);
    }
    Load(garbage);
    Load(QByteArray("1|2|A|B|i.bmp\n3|4|C|D|i.bmp", 20) + QByteArray(1, '\0') +
         "\n5|6|E|F|i.bmp\n");
    EXPECT_EQ(store_.Count(), 1);

    // Invalid UTF-8 and a line of a megabyte.
    Load("1|2|\xC3\x28\xFF|\xE2\x82|i.bmp\n" + QByteArray(1 << 20, '7') + "|1|A|B|i.bmp\n");
    ASSERT_EQ(store_.Count(), 2);
    EXPECT_FALSE(store_.Record(0).title.isEmpty());
    EXPECT_FALSE(std::isfinite(store_.Record(1).latitude));
}

TEST_F(PoiStoreTest, ManyMissingIconsTakeTheDefault) {
    QByteArray text;
    for (int i = 0; i < 10000; ++i) {
        text += "1.5|2.5|T|D|missing" + QByteArray::number(i) + ".bmp\n";
    }
    Load(text);
    ASSERT_EQ(store_.Count(), 10000);
    EXPECT_EQ(store_.IconCount(), 0);
    EXPECT_EQ(store_.Record(9999).icon, store_.defaultIcon);
}

// A 100 × 100 canvas over latitudes 0 to 10 and longitudes 0 to 10, upright.
class PoiDrawTest : public PoiStoreTest {
protected:
    PoiDrawTest() : image_(100, 100, QImage::Format_RGB32) {
        image_.fill(Qt::white);
        projection_.SetBounds("", "", 10.0f, 0.0f, 0.0f, 10.0f);
    }
    void Draw(paint::PaintContext& context) { store_.Draw(context, 50, 50, 100, 100, projection_); }
    QImage image_;
    render::MapProjection projection_;
};

TEST_F(PoiDrawTest, IconsSitWithTheirTopLeftCornerOnThePoint) {
    ASSERT_TRUE(home_.WriteIcon("i.bmp", 4, Qt::red, Qt::green));
    Load("5|5|a|b|i.bmp\n10|2|north edge|b|i.bmp\n-1|5|below|b|i.bmp\n");
    {
        paint::PaintContext context(&image_);
        Draw(context);
    }
    const QPoint centre = projection_.GeoToScreen(5.0f, 5.0f, 100, 100);
    const QPoint north = projection_.GeoToScreen(10.0f, 2.0f, 100, 100);
    EXPECT_EQ(InkBounds(image_) & QRect(centre, QSize(4, 4)), QRect(centre, QSize(4, 4)));
    EXPECT_EQ(image_.pixel(centre), qRgb(255, 255, 255));  // the corner's colour is left out
    EXPECT_EQ(image_.pixel(centre + QPoint(1, 1)), qRgb(255, 0, 0));
    EXPECT_EQ(image_.pixel(north + QPoint(1, 1)), qRgb(255, 0, 0));
    EXPECT_EQ(CountPixels(image_, Qt::red), 2 * 15);
}

TEST_F(PoiDrawTest, APointLeftOfTheClipBoxIsNotDrawnEvenWhenItsIconWouldShow) {
    ASSERT_TRUE(home_.WriteIcon("i.bmp", 4, Qt::red, Qt::green));
    Load("5|5|a|b|i.bmp\n");
    const QPoint point = projection_.GeoToScreen(5.0f, 5.0f, 100, 100);
    {
        paint::PaintContext context(&image_);
        context.SetClipRect({point.x() + 1, 0, 100, 100});
        Draw(context);
    }
    EXPECT_EQ(CountPixels(image_, Qt::red), 0);
    {
        paint::PaintContext context(&image_);
        context.SetClipRect({point.x(), point.y(), point.x() + 2, point.y() + 2});
        Draw(context);  // left and top inclusive: drawn, cut to the clip
    }
    EXPECT_EQ(CountPixels(image_, Qt::red), 3);  // 2 × 2 less the transparent corner
}

}  // namespace
}  // namespace poi
