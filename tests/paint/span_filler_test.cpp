#include "paint/span_filler.h"

#include <gtest/gtest.h>

#include <QPainter>

#include <random>
#include <vector>

#include "paint/paint_context.h"
#include "pixels.h"

namespace paint {
namespace {

constexpr QRgb kPaper = 0xFF336699;
constexpr QRgb kInk = 0xFFFAC80A;

QImage Paper() {
    QImage image(160, 120, QImage::Format_RGB32);
    image.fill(kPaper);
    return image;
}

template <typename Point>
QImage PainterFill(const std::vector<Point>& points, const QBrush& brush, bool antialiased,
                   QPoint offset) {
    QImage image = Paper();
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, antialiased);
    painter.setPen(Qt::NoPen);
    painter.setBrush(brush);
    painter.translate(offset);
    painter.drawPolygon(points.data(), int(points.size()));
    return image;
}

template <typename Point>
QImage SpanFill(const std::vector<Point>& points, const FillPaint& paint, bool antialiased,
                QPoint offset, QRect clip = QRect(0, 0, 160, 120)) {
    QImage image = Paper();
    SpanFiller filler;
    filler.Fill(image, clip, points.data(), int(points.size()), offset, paint, antialiased);
    return image;
}

int DifferingPixels(const QImage& a, const QImage& b) {
    int count = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            count += a.pixel(x, y) != b.pixel(x, y) ? 1 : 0;
        }
    }
    return count;
}

// Random polygons, some crossing themselves, some reaching far outside the picture.
std::vector<QPoint> RandomRing(std::mt19937& random) {
    std::vector<QPoint> ring;
    const int count = 3 + int(random() % 9);
    for (int i = 0; i < count; ++i) {
        ring.emplace_back(int(random() % 260) - 50, int(random() % 220) - 50);
    }
    return ring;
}

TEST(SpanFiller, AliasedFillsThePixelsThePainterFills) {
    std::mt19937 random(11);
    FillPaint paint;
    paint.colour = kInk;
    int differing = 0;
    int inked = 0;
    for (int trial = 0; trial < 80; ++trial) {
        const std::vector<QPoint> ring = RandomRing(random);
        const QImage painter =
            PainterFill(ring, QBrush(QColor::fromRgb(kInk)), false, QPoint(-3, 5));
        const int here = DifferingPixels(SpanFill(ring, paint, false, QPoint(-3, 5)), painter);
        // The painter steps along edges in fixed point: a centre within a hair of an edge may
        // fall on the other side of it there.
        EXPECT_LE(here, 12) << "trial " << trial;
        differing += here;
        inked += DifferingPixels(painter, Paper());
    }
    EXPECT_LT(differing, inked / 1000);
    // Fractional corners, as an area cut to the window has.
    const std::vector<QPointF> cut{{10.25, 10.5}, {150.75, 20.125}, {90.5, 110.875}};
    EXPECT_EQ(SpanFill(cut, paint, false, {}),
              PainterFill(cut, QBrush(QColor::fromRgb(kInk)), false, {}));
}

TEST(SpanFiller, AntialiasedEdgesShareTheirPixels) {
    std::mt19937 random(12);
    FillPaint paint;
    paint.colour = kInk;
    for (int trial = 0; trial < 40; ++trial) {
        const std::vector<QPoint> ring = RandomRing(random);
        const QImage painter = PainterFill(ring, QBrush(QColor::fromRgb(kInk)), true, {});
        const QImage spans = SpanFill(ring, paint, true, {});
        int worst = 0;
        for (int y = 0; y < painter.height(); ++y) {
            for (int x = 0; x < painter.width(); ++x) {
                const QRgb a = painter.pixel(x, y);
                const QRgb b = spans.pixel(x, y);
                worst = std::max({worst, std::abs(qRed(a) - qRed(b)),
                                  std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
            }
        }
        // Both compute the covered area of each pixel; they round it differently.
        EXPECT_LE(worst, 24) << "trial " << trial;
    }
    // Two areas sharing an edge leave no seam of the paper between them.
    const std::vector<QPoint> left{{10, 10}, {80, 17}, {70, 100}, {12, 90}};
    const std::vector<QPoint> right{{80, 17}, {150, 12}, {140, 110}, {70, 100}};
    QImage both = Paper();
    SpanFiller filler;
    filler.Fill(both, both.rect(), left.data(), 4, {}, paint, true);
    filler.Fill(both, both.rect(), right.data(), 4, {}, paint, true);
    for (int y = 25; y < 90; ++y) {
        for (int x = 60; x < 90; ++x) {
            ASSERT_LT(std::abs(qBlue(both.pixel(x, y)) - qBlue(kInk)), 40) << x << "," << y;
        }
    }
}

// A comb whose teeth leave several runs in each row, with edges on both sides of cells 63/64
// and 127/128 (where the touched cells of a row change words), at fractional positions.
std::vector<QPointF> Comb() {
    std::vector<QPointF> comb{{2.5, 110.25}, {2.5, 8.75}};
    for (const double x : {30.3, 62.6, 64.4, 100.1, 127.5, 128.7}) {
        comb.emplace_back(x, 8.75);
        comb.emplace_back(x + 0.8, 95.5);
    }
    comb.emplace_back(150.2, 8.75);
    comb.emplace_back(150.2, 110.25);
    return comb;
}

TEST(SpanFiller, RowsOfSeveralRunsAndBandsPaintAsAWholeFill) {
    const std::vector<QPointF> comb = Comb();
    FillPaint paint;
    paint.colour = kInk;
    const QImage painter = PainterFill(comb, QBrush(QColor::fromRgb(kInk)), true, {});
    const QImage spans = SpanFill(comb, paint, true, {});
    int worst = 0;
    for (int y = 0; y < painter.height(); ++y) {
        for (int x = 0; x < painter.width(); ++x) {
            worst =
                std::max(worst, std::abs(qBlue(painter.pixel(x, y)) - qBlue(spans.pixel(x, y))));
        }
    }
    EXPECT_LE(worst, 24);
    // Two bands, split inside the teeth and a pattern over them, paint what one fill paints.
    QImage pattern(5, 3, QImage::Format_RGB32);
    for (int y = 0; y < pattern.height(); ++y) {
        for (int x = 0; x < pattern.width(); ++x) {
            pattern.setPixel(x, y, (x + y) % 2 ? 0xFF20A040 : 0xFFE0E0C0);
        }
    }
    paint.pattern = &pattern;
    paint.patternOrigin = QPoint(3, 1);
    const QImage whole = SpanFill(comb, paint, true, QPoint(1, -2));
    QImage banded = Paper();
    SpanFiller filler;
    for (const auto& [top, bottom] : {std::pair{0, 47}, std::pair{48, 119}}) {
        filler.LimitRows(top, bottom);
        filler.Fill(banded, banded.rect(), comb.data(), int(comb.size()), QPoint(1, -2), paint,
                    true);
    }
    EXPECT_EQ(banded, whole);
}

TEST(SpanFiller, AFillerReusedLeavesNothingBehind) {
    // Areas of many sizes one after another, some cut by the picture's sides: each paints what
    // it paints on a filler of its own, whatever came before it.
    std::mt19937 random(13);
    FillPaint paint;
    paint.colour = kInk;
    SpanFiller reused;
    for (int trial = 0; trial < 40; ++trial) {
        const std::vector<QPoint> ring = RandomRing(random);
        QImage again = Paper();
        reused.Fill(again, again.rect(), ring.data(), int(ring.size()), {}, paint, true);
        ASSERT_EQ(again, SpanFill(ring, paint, true, {})) << "trial " << trial;
    }
}

TEST(SpanFiller, PatternsRepeatFromTheOriginAndTheClipHolds) {
    QImage pattern(3, 2, QImage::Format_RGB32);
    pattern.fill(0xFFFFFFFF);
    pattern.setPixel(0, 0, 0xFFFF0000);
    FillPaint paint;
    paint.pattern = &pattern;
    paint.patternOrigin = QPoint(-1, -2);
    const std::vector<QPoint> square{{2, 16}, {40, 16}, {40, 50}, {2, 50}};
    QBrush brush(pattern);
    // What the painter does with a pattern brush under the same translation.
    EXPECT_EQ(SpanFill(square, paint, false, QPoint(-1, -2)),
              PainterFill(square, brush, false, QPoint(-1, -2)));
    const QImage clipped = SpanFill(square, paint, true, {}, QRect(10, 20, 5, 5));
    EXPECT_EQ(InkBounds(clipped, QColor::fromRgb(kPaper)), QRect(10, 20, 5, 5));
}

TEST(PaintContext, AreasFillBySpansAndKeepTheirOutline) {
    const std::vector<QPoint> ring{{10, 10}, {120, 30}, {60, 100}};
    for (bool antialiased : {false, true}) {
        QImage viaContext = Paper();
        QImage viaPainter = Paper();
        for (QImage* image : {&viaContext, &viaPainter}) {
            PaintContext context(image);
            context.SetAntialiasing(antialiased);
            context.SetViewportOrigin(QPoint(4, -3));
            context.SelectPen(QPen(Qt::black, 0));
            context.SelectBrush(QBrush(QColor::fromRgb(kInk)));
            if (image == &viaContext) {
                context.Polygon(ring.data(), int(ring.size()));
            } else {
                context.Painter().drawPolygon(ring.data(), int(ring.size()));
            }
        }
        EXPECT_EQ(viaContext.pixel(50, 40), kInk);
        // The outline is there, along the same edges.
        int dark = 0;
        int darkBoth = 0;
        for (int y = 0; y < 120; ++y) {
            for (int x = 0; x < 160; ++x) {
                const bool a = qRed(viaContext.pixel(x, y)) < 100;
                const bool b = qRed(viaPainter.pixel(x, y)) < 100;
                dark += a ? 1 : 0;
                darkBoth += a && b ? 1 : 0;
            }
        }
        EXPECT_GT(dark, 150);
        EXPECT_GT(darkBoth, dark * 9 / 10) << (antialiased ? "smooth" : "aliased");
        if (!antialiased) {
            EXPECT_EQ(viaContext, viaPainter);
        }
    }
}

}  // namespace
}  // namespace paint
