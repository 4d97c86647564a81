#include <gtest/gtest.h>

#include <QPainter>

#include <functional>
#include <random>
#include <thread>
#include <utility>
#include <vector>

#include "paint/paint_context.h"

namespace paint {
namespace {

constexpr QRgb kPaper = 0xFF336699;

QImage Paper(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(kPaper);
    return image;
}

// Areas filled red, aliased and with no outline.
void FillRedAliased(PaintContext& context) {
    context.SetAntialiasing(false);
    context.SelectPen(QPen(Qt::NoPen));
    context.SelectBrush(QBrush(QColor(255, 0, 0)));
}

// A map-like scene of wide lines, areas (solid, patterned, outlined, with points in whole and
// fractional pixels) and a few things only the painter draws, many of them across the middle
// row where the bands meet, under a clip and a viewport origin that change on the way. Some
// lines and areas are given without a copy, their points kept in `held` until the bands end.
using HeldPoints = std::vector<std::vector<QPoint>>;
void DrawScene(PaintContext& context, int width, int height, unsigned seed, HeldPoints& held) {
    std::mt19937 random(seed);
    const auto coordinate = [&](int limit) {
        return std::uniform_int_distribution<int>(-20, limit + 20)(random);
    };
    QImage pattern(7, 5, QImage::Format_RGB32);
    for (int y = 0; y < pattern.height(); ++y) {
        for (int x = 0; x < pattern.width(); ++x) {
            pattern.setPixel(x, y, (x + y) % 3 == 0 ? 0xFF20A040 : 0xFFE0E0C0);
        }
    }
    const QBrush patterned(pattern);
    for (int i = 0; i < 240; ++i) {
        context.SetAntialiasing(i % 3 != 0);
        if (i % 60 == 30) {
            context.SetClipRect(platform::Rect{11, 7, width - 13, height - 9});
            context.SetViewportOrigin(QPoint(3, -2));
        } else if (i % 60 == 0) {
            context.ClearClipRect();
            context.SetViewportOrigin(QPoint(0, 0));
        }
        const QColor colour(QRgb(0xFF000000u | random()));
        const int count = std::uniform_int_distribution<int>(1, 7)(random);
        switch (i % 5) {
            case 0:
            case 1: {
                std::vector<QPoint> line;
                for (int p = 0; p < count + 1; ++p) {
                    line.emplace_back(coordinate(width), coordinate(height));
                }
                QPen pen(colour, std::uniform_int_distribution<int>(2, 9)(random), Qt::SolidLine,
                         Qt::RoundCap, Qt::RoundJoin);
                context.SelectPen(pen);
                if (i % 2 == 1) {
                    const std::vector<QPoint>& kept = held.emplace_back(std::move(line));
                    context.PolylineNoCopy(kept.data(), int(kept.size()));
                } else {
                    context.Polyline(line.data(), int(line.size()));
                }
                break;
            }
            case 2: {
                std::vector<QPoint> ring;
                for (int p = 0; p < count + 2; ++p) {
                    ring.emplace_back(coordinate(width), coordinate(height));
                }
                context.SelectPen(i % 2 ? QPen(Qt::NoPen) : QPen(colour.darker(), 1));
                context.SelectBrush(i % 4 == 2 ? patterned : QBrush(colour));
                if (i % 3 == 0) {
                    const std::vector<QPoint>& kept = held.emplace_back(std::move(ring));
                    context.PolygonNoCopy(kept.data(), int(kept.size()));
                } else {
                    context.Polygon(ring.data(), int(ring.size()));
                }
                break;
            }
            case 3: {
                std::vector<QPointF> ring;
                for (int p = 0; p < count + 2; ++p) {
                    ring.emplace_back(coordinate(width) + 0.37 * p, coordinate(height) - 0.61);
                }
                context.SelectPen(QPen(colour.lighter(), 1));
                context.SelectBrush(QBrush(colour));
                context.Polygon(ring.data(), int(ring.size()));
                break;
            }
            default:
                if (i % 20 == 4) {
                    // Drawn by the painter, between the span painters' lines and areas.
                    context.FillRect(platform::Rect{coordinate(width), coordinate(height),
                                                    coordinate(width), coordinate(height)},
                                     platform::ColorRef(random() & 0xFFFFFF));
                    context.Painter().drawEllipse(QPoint(coordinate(width), height / 2), 9, 6);
                }
                break;
        }
    }
}

QImage Drawn(int width, int height, unsigned seed, bool bands) {
    QImage image = Paper(width, height);
    PaintContext context(&image);
    context.SetBandsAllowed(bands);
    HeldPoints held;
    context.BeginBands();
    DrawScene(context, width, height, seed, held);
    context.EndBands();
    return image;
}

// Each pixel painted by one band, and blended as one thread would: the images are the same.
TEST(PaintContextBands, PaintTheSamePixelsAsOneThread) {
    for (const QSize& size : {QSize(200, 201), QSize(321, 64), QSize(96, 63)}) {
        for (unsigned seed : {1u, 2u, 3u}) {
            const QImage one = Drawn(size.width(), size.height(), seed, false);
            const QImage two = Drawn(size.width(), size.height(), seed, true);
            ASSERT_TRUE(one == two) << size.width() << "x" << size.height() << " seed " << seed;
        }
    }
}

// A long run: the worker paints while more is kept, the storage it reads grows meanwhile, and
// the rows where the bands meet move from one run to the next as the threads' times are
// learnt. Whatever the split, the pixels are those of one thread.
TEST(PaintContextBands, LongRunsOneAfterAnother) {
    const auto drawn = [](bool bands) {
        QImage image = Paper(300, 220);
        PaintContext context(&image);
        context.SetBandsAllowed(bands);
        for (unsigned run = 0; run < 6; ++run) {
            HeldPoints held;
            context.BeginBands();
            for (unsigned part = 0; part < 5; ++part) {
                DrawScene(context, image.width(), image.height(), 40 + run * 5 + part, held);
            }
            context.EndBands();
        }
        return image;
    };
    EXPECT_TRUE(drawn(true) == drawn(false));
}

// What is kept for the bands is painted before the painter draws over it, and by the time
// the bands end; outside them the span painters paint at once.
TEST(PaintContextBands, KeepTheOrderOfDrawing) {
    QImage image = Paper(120, 100);
    PaintContext context(&image);
    const std::vector<QPoint> square{{10, 10}, {110, 10}, {110, 90}, {10, 90}};
    FillRedAliased(context);
    context.BeginBands();
    context.Polygon(square.data(), int(square.size()));
    context.FillRect(platform::Rect{50, 40, 60, 60}, 0x00FF0000);  // blue, over the red
    const std::vector<QPoint> line{{0, 5}, {119, 95}};
    context.SelectPen(QPen(QColor(0, 255, 0), 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    context.Polyline(line.data(), int(line.size()));
    EXPECT_EQ(image.pixel(20, 80), QColor(255, 0, 0).rgb()) << "painted before the painter's";
    EXPECT_EQ(image.pixel(4, 8), kPaper) << "kept until the bands end";
    context.EndBands();
    EXPECT_EQ(image.pixel(4, 8), QColor(0, 255, 0).rgb());
    EXPECT_EQ(image.pixel(55, 58), QColor(0, 0, 255).rgb());
    EXPECT_EQ(image.pixel(60, 50), QColor(0, 255, 0).rgb()) << "the line over both";

    const std::vector<QPoint> dot{{30, 30}, {30, 30}};
    context.Polyline(dot.data(), int(dot.size()));
    EXPECT_EQ(image.pixel(30, 30), QColor(0, 255, 0).rgb()) << "at once outside the bands";
}

// Only areas in fractional pixels kept: the array of whole-pixel points stays empty and is
// never indexed.
TEST(PaintContextBands, AreasInFractionalPixelsAlone) {
    QImage image = Paper(64, 64);
    PaintContext context(&image);
    FillRedAliased(context);
    context.BeginBands();
    const std::vector<QPointF> first{{2.5, 2.5}, {30.5, 2.5}, {30.5, 60.5}, {2.5, 60.5}};
    const std::vector<QPointF> second{{33.5, 2.5}, {61.5, 2.5}, {61.5, 60.5}, {33.5, 60.5}};
    context.Polygon(first.data(), int(first.size()));
    context.Polygon(second.data(), int(second.size()));
    context.EndBands();
    EXPECT_EQ(image.pixel(10, 50), QColor(255, 0, 0).rgb());
    EXPECT_EQ(image.pixel(50, 10), QColor(255, 0, 0).rgb());
    EXPECT_EQ(image.pixel(32, 32), kPaper);
}

// Contexts on several threads at once share the one worker: those that find it busy paint
// alone, and all paint the same pixels.
TEST(PaintContextBands, SeveralContextsAtOnce) {
    const QImage expected = Drawn(240, 160, 7, false);
    std::vector<QImage> drawn(4);
    std::vector<std::thread> threads;
    for (size_t i = 0; i < drawn.size(); ++i) {
        threads.emplace_back([&drawn, i] {
            for (int round = 0; round < 3; ++round) {
                drawn[i] = Drawn(240, 160, 7, true);
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    for (const QImage& image : drawn) {
        EXPECT_TRUE(image == expected);
    }
}

// A half-transparent picture, different in every pixel, to blend.
QImage Picture(int width, int height, unsigned seed) {
    std::mt19937 random(seed);
    QImage picture(width, height, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            picture.setPixel(x, y,
                             qPremultiply(QRgb(random()) | ((x + y) % 4 == 0 ? 0xFF000000u : 0u)));
        }
    }
    return picture;
}

// Pictures kept among lines and areas, across the row where the bands meet, partly outside
// the clip and the image: blended in each band as the painter blends the whole picture.
TEST(PaintContextBands, PicturesAmongLinesAndAreas) {
    constexpr int kWidth = 160;
    constexpr int kHeight = 120;
    const QImage picture = Picture(24, 24, 5);
    const auto draw = [&](bool bands) {
        QImage image = Paper(kWidth, kHeight);
        PaintContext context(&image);
        context.SetBandsAllowed(bands);
        std::mt19937 random(11);
        context.BeginBands();
        for (int i = 0; i < 60; ++i) {
            if (i == 30) {
                context.SetClipRect(platform::Rect{9, 5, kWidth - 7, kHeight - 11});
                context.SetViewportOrigin(QPoint(-4, 3));
            }
            const int x = std::uniform_int_distribution<int>(-30, kWidth + 10)(random);
            const int y = std::uniform_int_distribution<int>(-30, kHeight + 10)(random);
            if (i % 3 == 0) {
                context.DrawImage(QPoint(x, y), picture);
                continue;
            }
            const std::vector<QPoint> line{{x, y}, {kWidth - x, kHeight - y}, {x, kHeight - y}};
            context.SelectPen(QPen(QColor(QRgb(0xFF000000u | random())), 5, Qt::SolidLine,
                                   Qt::RoundCap, Qt::RoundJoin));
            context.SelectBrush(QBrush(QColor(QRgb(0xFF000000u | random()))));
            if (i % 3 == 1) {
                context.Polyline(line.data(), int(line.size()));
            } else {
                context.Polygon(line.data(), int(line.size()));
            }
        }
        context.EndBands();
        return image;
    };
    EXPECT_TRUE(draw(true) == draw(false));

    // One picture alone, as the painter blends it.
    QImage expected = Paper(kWidth, kHeight);
    {
        QPainter painter(&expected);
        painter.drawImage(QPoint(60, kHeight / 2 - 12), picture);
    }
    QImage image = Paper(kWidth, kHeight);
    {
        PaintContext context(&image);
        context.BeginBands();
        context.DrawImage(QPoint(60, kHeight / 2 - 12), picture);
        context.EndBands();
    }
    EXPECT_TRUE(image == expected);
}

// A picture is blended over the image whatever the painter's composition mode, and paints
// over what was kept before it and under what comes after.
TEST(PaintContextBands, PictureInItsPlaceAmongTheKept) {
    QImage image = Paper(100, 100);
    QImage opaque(20, 20, QImage::Format_ARGB32_Premultiplied);
    opaque.fill(QColor(0, 0, 255));
    PaintContext context(&image);
    FillRedAliased(context);
    context.BeginBands();
    const std::vector<QPoint> square{{10, 10}, {90, 10}, {90, 90}, {10, 90}};
    context.Polygon(square.data(), int(square.size()));
    context.DrawImage(QPoint(40, 40), opaque);
    context.SelectPen(QPen(QColor(0, 255, 0), 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const std::vector<QPoint> line{{50, 0}, {50, 99}};
    context.Polyline(line.data(), int(line.size()));
    EXPECT_EQ(image.pixel(45, 45), kPaper) << "kept until the bands end";
    context.EndBands();
    EXPECT_EQ(image.pixel(20, 20), QColor(255, 0, 0).rgb());
    EXPECT_EQ(image.pixel(45, 45), QColor(0, 0, 255).rgb()) << "the picture over the area";
    EXPECT_EQ(image.pixel(50, 45), QColor(0, 255, 0).rgb()) << "the line over the picture";

    context.Painter().setCompositionMode(QPainter::CompositionMode_Clear);
    QImage clear(4, 4, QImage::Format_ARGB32_Premultiplied);
    clear.fill(Qt::transparent);
    context.DrawImage(QPoint(20, 20), clear);
    EXPECT_EQ(image.pixel(21, 21), QColor(255, 0, 0).rgb())
        << "a transparent picture shows nothing";
    EXPECT_EQ(context.Painter().compositionMode(), QPainter::CompositionMode_Clear);
}

}  // namespace
}  // namespace paint
