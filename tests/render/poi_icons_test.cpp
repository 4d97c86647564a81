#include "render/poi_icons.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "pixels.h"
#include "platform/program_folder.h"
#include "temp_home.h"

namespace render {
namespace {

const QColor kTransparent = platform::ToQColor(kPoiTransparentColor);
// A map colour that no icon uses.
const QColor kBackground(1, 254, 3);

QRect CellOf(int icon) {
    return QRect((icon % kPoiIconsPerRow) * kPoiIconPitch, (icon / kPoiIconsPerRow) * kPoiIconPitch,
                 kPoiIconSize, kPoiIconSize);
}

QImage Canvas() {
    QImage image(120, 120, QImage::Format_RGB32);
    image.fill(kBackground);
    return image;
}

TEST(PoiIconTable, HasTheTellingRowsAndIsSortedByType) {
    const auto table = PoiIconTable();
    ASSERT_EQ(table.size(), 386u);
    int telling = 0;
    for (size_t i = 0; i < table.size(); ++i) {
        const PoiIconRow& row = table[i];
        EXPECT_LT(row.icon, kPoiIconCount) << i;
        if (i > 0) {
            EXPECT_GE(row.type, table[i - 1].type) << i;
        }
        // A range row whose low end lies above its high end could never match.
        EXPECT_TRUE(row.subtypeHigh == 0 || row.subtypeLow <= row.subtypeHigh) << i;
        const auto is = [&](int type, int low, int high, int icon) {
            return row.type == type && row.subtypeLow == low && row.subtypeHigh == high &&
                   row.icon == icon;
        };
        telling += is(1, 0, 0, 35) + is(3, 0, 0, 33) + is(0x66, 24, 0, 153);
    }
    EXPECT_EQ(telling, 3);
}

TEST(PoiIconTable, LooksUpTheFirstMatchingRow) {
    EXPECT_EQ(PoiIconIndex(1, 0), 35);
    EXPECT_EQ(PoiIconIndex(3, 0), 33);
    EXPECT_EQ(PoiIconIndex(0x66, 24), 153);
    // An exact row before its type's catch-all range.
    EXPECT_EQ(PoiIconIndex(0x2F, 0x01), 120) << "fuel";
    EXPECT_EQ(PoiIconIndex(0x2F, 0x0B), 127) << "parking";
    EXPECT_EQ(PoiIconIndex(0x30, 0x02), 145) << "hospital";
    EXPECT_EQ(PoiIconIndex(0x66, 0x16), 152) << "summit";
    EXPECT_EQ(PoiIconIndex(0x2F, 0xC0), 130) << "catch-all of the services";
    // Subtypes inside a range, and at its two ends.
    EXPECT_EQ(PoiIconIndex(0x11, 0), 1) << "GPX waypoint";
    EXPECT_EQ(PoiIconIndex(0x11, 1), 20);
    EXPECT_EQ(PoiIconIndex(0x11, 0xFF), 20);
    // No row for the type, or a type or subtype outside the table's 8 bits.
    EXPECT_EQ(PoiIconIndex(0x13, 0), 0);
    EXPECT_EQ(PoiIconIndex(0, 0), 0);
    EXPECT_EQ(PoiIconIndex(0x67, 0), 0) << "beyond the last row";
    EXPECT_EQ(PoiIconIndex(0x101, 0), 0) << "not type 1";
    EXPECT_EQ(PoiIconIndex(-1, 0), 0);
    EXPECT_EQ(PoiIconIndex(0x66, 0x100), 0);
    EXPECT_EQ(PoiIconIndex(0x01, -1), 0);
}

TEST(PoiIconTable, QuickLookupWalksAsTheWholeTable) {
    for (int type = -2; type <= 260; ++type) {
        for (int subtype = -2; subtype <= 260; ++subtype) {
            ASSERT_EQ(PoiIconIndex(type, subtype), PoiIconIndexIn(PoiIconTable(), type, subtype))
                << type << "/" << subtype;
        }
    }
}

TEST(PoiIconTable, RowRules) {
    const PoiIconRow rows[] = {
        {2, 7, 0, 11},                     // subtype high 0: subtype 7 only
        {2, 0, 0, 12},                     // subtype 0 only
        {2, 5, 9, 13},                     // 5 to 9, after the exact 7
        {4, 0, 255, 14}, {3, 0, 255, 15},  // out of order: hidden behind the greater type 4
    };
    EXPECT_EQ(PoiIconIndexIn(rows, 2, 7), 11);
    EXPECT_EQ(PoiIconIndexIn(rows, 2, 0), 12);
    EXPECT_EQ(PoiIconIndexIn(rows, 2, 5), 13);
    EXPECT_EQ(PoiIconIndexIn(rows, 2, 9), 13);
    EXPECT_EQ(PoiIconIndexIn(rows, 2, 10), 0);
    EXPECT_EQ(PoiIconIndexIn(rows, 2, 3), 0);
    EXPECT_EQ(PoiIconIndexIn(rows, 4, 200), 14);
    EXPECT_EQ(PoiIconIndexIn(rows, 3, 0), 0) << "the walk stops at type 4";
    EXPECT_EQ(PoiIconIndexIn(rows, 5, 0), 0) << "after the last row";
    EXPECT_EQ(PoiIconIndexIn({}, 1, 0), 0);
}

TEST(PoiIconStrip, BuiltInStripLayout) {
    const QImage strip = DefaultPoiIconStrip();
    ASSERT_FALSE(strip.isNull());
    EXPECT_EQ(strip.size(), QSize(170, 306));
    for (int y = 0; y < strip.height(); ++y) {
        for (int x = 0; x < strip.width(); ++x) {
            const int icon = (y / kPoiIconPitch) * kPoiIconsPerRow + x / kPoiIconPitch;
            const bool gap = x % kPoiIconPitch == 16 || y % kPoiIconPitch == 16;
            if (gap || icon >= kPoiIconCount) {
                ASSERT_EQ(strip.pixelColor(x, y), kTransparent) << x << "," << y;
            }
        }
    }
    for (int icon = 0; icon < kPoiIconCount; ++icon) {
        const QImage cell = strip.copy(CellOf(icon));
        EXPECT_EQ(cell.pixelColor(0, 0), kTransparent) << icon;
        EXPECT_GT(kPoiIconSize * kPoiIconSize - CountPixels(cell, kTransparent), 20) << icon;
    }
    // A 24-bit Windows bitmap.
    QFile file(":/images/POI.bmp");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    ASSERT_GT(bytes.size(), 30);
    EXPECT_EQ(bytes.left(2), QByteArray("BM"));
    EXPECT_EQ(uint8_t(bytes[28]), 24);
}

class PoiIconDrawing : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(InstallDefaultImages(home_.Path() + platform::kImagesTail));
        ASSERT_TRUE(strip_.Load(home_.File("images/POI.bmp")));
        source_ = DefaultPoiIconStrip();
    }

    TempHome home_;
    PoiIconStrip strip_;
    QImage source_;
};

TEST_F(PoiIconDrawing, StretchesNearestNeighbourLeavingOutTheTransparentColour) {
    constexpr int kIcon = 35;  // the largest city: a disc, transparent in the cell's corners
    for (const bool highResolution : {false, true}) {
        const int size = highResolution ? 48 : 24;
        QImage image = Canvas();
        {
            paint::PaintContext context(&image);
            context.SetAntialiasing(true);
            context.Painter().setRenderHint(QPainter::SmoothPixmapTransform, true);
            context.SetViewportOrigin(QPoint(-10, 5));
            strip_.Draw(context, 30, 20, 1, 0, highResolution);
        }
        const QRect drawn(20, 25, size, size);
        EXPECT_EQ(InkBounds(image, kBackground), drawn) << size;
        EXPECT_EQ(CountPixels(image, kTransparent), 0) << size;
        for (const QPoint corner :
             {drawn.topLeft(), drawn.topRight(), drawn.bottomLeft(), drawn.bottomRight()}) {
            EXPECT_EQ(image.pixelColor(corner), kBackground) << size;
        }
        EXPECT_NE(image.pixelColor(drawn.center()), kBackground) << size;
        const QRect cell = CellOf(kIcon);
        int differing = 0;
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                const QColor wanted = source_.pixelColor(cell.x() + x * kPoiIconSize / size,
                                                         cell.y() + y * kPoiIconSize / size);
                const QColor got = image.pixelColor(drawn.x() + x, drawn.y() + y);
                differing += got != (wanted == kTransparent ? kBackground : wanted);
            }
        }
        EXPECT_EQ(differing, 0) << size;
    }
}

TEST_F(PoiIconDrawing, NothingWithoutAStripOrOutsideIt) {
    PoiIconStrip empty;
    QImage image = Canvas();
    {
        paint::PaintContext context(&image);
        empty.Draw(context, 10, 10, 1, 0, false);
        EXPECT_FALSE(empty.Load(home_.File("images/missing.bmp")));
        empty.Draw(context, 10, 10, 1, 0, true);
    }
    EXPECT_TRUE(InkBounds(image, kBackground).isEmpty());

    // A strip of the user's that holds the first row of icons only.
    ASSERT_TRUE(source_.copy(0, 0, 170, 17).save(home_.File("short.bmp"), "BMP"));
    PoiIconStrip shortStrip;
    ASSERT_TRUE(shortStrip.Load(home_.File("short.bmp")));
    {
        paint::PaintContext context(&image);
        shortStrip.Draw(context, 10, 10, 1, 0, false);  // icon 35: not in it
    }
    EXPECT_TRUE(InkBounds(image, kBackground).isEmpty());
    {
        paint::PaintContext context(&image);
        shortStrip.Draw(context, 10, 10, 0x13, 0, false);  // icon 0
    }
    EXPECT_FALSE(InkBounds(image, kBackground).isEmpty());
}

TEST_F(PoiIconDrawing, ProgramStripLoadsFromTheImagesFolder) {
    TempHome bare;
    QImage image = Canvas();
    EXPECT_FALSE(LoadPoiIcons(bare.Path()));
    {
        paint::PaintContext context(&image);
        DrawPoiIcon(context, 0, 0, 0x2F, 1, false);
    }
    EXPECT_TRUE(InkBounds(image, kBackground).isEmpty());

    ASSERT_TRUE(LoadPoiIcons(home_.Path()));
    {
        paint::PaintContext context(&image);
        DrawPoiIcon(context, 0, 0, 0x2F, 1, false);
    }
    EXPECT_EQ(InkBounds(image, kBackground), QRect(0, 0, 24, 24));
    LoadPoiIcons(bare.Path());
}

TEST(InstallDefaultImages, WritesAMissingStripAndKeepsAUsersFile) {
    TempHome home;
    const QString images = home.Path() + platform::kImagesTail;
    ASSERT_TRUE(InstallDefaultImages(images));
    QFile written(images + "/POI.bmp");
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    QFile resource(":/images/POI.bmp");
    ASSERT_TRUE(resource.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), resource.readAll());
    EXPECT_TRUE(QFileInfo(written).isWritable());
    EXPECT_EQ(QDir(images).entryList(QDir::Files), QStringList{"POI.bmp"});

    ASSERT_TRUE(home.Write("images/POI.bmp", "the user's own"));
    EXPECT_TRUE(InstallDefaultImages(images));
    QFile kept(images + "/POI.bmp");
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("the user's own"));

    TempHome odd;
    ASSERT_TRUE(QDir().mkpath(odd.File("images/POI.bmp")));
    EXPECT_FALSE(InstallDefaultImages(odd.File("images"))) << "a folder in the way";
    EXPECT_TRUE(QFileInfo(odd.File("images/POI.bmp")).isDir());
    ASSERT_TRUE(odd.Write("plain", "x"));
    EXPECT_FALSE(InstallDefaultImages(odd.File("plain/images"))) << "no folder can be made";
}

}  // namespace
}  // namespace render
