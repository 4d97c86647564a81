#include "paint/span_stroker.h"

#include <gtest/gtest.h>

#include <QPainter>

#include <random>
#include <vector>

#include "paint/paint_context.h"
#include "paint/span_pixels.h"
#include "pixels.h"

namespace paint {
namespace {

constexpr QRgb kPaper = 0xFF336699;
constexpr QRgb kInk = 0xFFFAC80A;

QImage Paper(int width = 200, int height = 120) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(kPaper);
    return image;
}

QPen RoundPen(int width) {
    QPen pen(QColor::fromRgb(kInk), width);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

// The painter's own stroke of the line, for comparison.
QImage PainterStroke(const std::vector<QPoint>& points, int width, bool antialiased,
                     QPoint offset) {
    QImage image = Paper();
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, antialiased);
    painter.setPen(RoundPen(width));
    painter.translate(offset);
    painter.drawPolyline(points.data(), int(points.size()));
    return image;
}

QImage SpanStroke(const std::vector<QPoint>& points, int width, bool antialiased, QPoint offset,
                  QRect clip = QRect(0, 0, 200, 120)) {
    QImage image = Paper();
    SpanStroker stroker;
    stroker.Stroke(image, clip, points.data(), int(points.size()), offset, width, kInk,
                   antialiased);
    return image;
}

int Channels(QRgb a, QRgb b) {
    return std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
           std::abs(qBlue(a) - qBlue(b));
}

TEST(SpanStroker, WholeCoordinateLinesTakeThePixelsThePainterTakes) {
    // Odd widths put the edges exactly through pixel centres: the pixels below and right of an
    // edge are painted, those above and left are not.
    for (int width : {2, 3, 4, 5}) {
        for (const auto& line :
             {std::vector<QPoint>{{5, 10}, {14, 10}}, std::vector<QPoint>{{10, 5}, {10, 14}}}) {
            EXPECT_EQ(SpanStroke(line, width, false, {}), PainterStroke(line, width, false, {}))
                << "width " << width;
        }
    }
}

TEST(SpanStroker, AgreesWithThePainterOnAllButEdgePixels) {
    std::mt19937 random(7);
    int differing = 0;
    int inked = 0;
    for (int trial = 0; trial < 60; ++trial) {
        std::vector<QPoint> line;
        const int count = 2 + int(random() % 7);
        for (int i = 0; i < count; ++i) {
            line.emplace_back(int(random() % 300) - 50, int(random() % 200) - 50);
        }
        const int width = 2 + trial % 9;
        const QPoint offset(-7, -3);
        const QImage painter = PainterStroke(line, width, false, offset);
        const QImage spans = SpanStroke(line, width, false, offset);
        for (int y = 0; y < painter.height(); ++y) {
            for (int x = 0; x < painter.width(); ++x) {
                inked += painter.pixel(x, y) != kPaper ? 1 : 0;
                differing += painter.pixel(x, y) != spans.pixel(x, y) ? 1 : 0;
            }
        }
        // Antialiased, the two differ by a little at the edges only (where two parts of the
        // line nearly touch, the painter adds their coverages and the stroker takes the
        // greater).
        const QImage smoothPainter = PainterStroke(line, width, true, offset);
        const QImage smoothSpans = SpanStroke(line, width, true, offset);
        long sum = 0;
        int edge = 0;
        for (int y = 0; y < painter.height(); ++y) {
            for (int x = 0; x < painter.width(); ++x) {
                if (smoothPainter.pixel(x, y) != kPaper || smoothSpans.pixel(x, y) != kPaper) {
                    sum += Channels(smoothPainter.pixel(x, y), smoothSpans.pixel(x, y));
                    ++edge;
                }
            }
        }
        EXPECT_LT(double(sum) / std::max(edge, 1), 12.0) << "trial " << trial;
    }
    // Round caps and joins are curves the painter flattens; the odd pixel on them may differ.
    EXPECT_LT(differing, inked / 200);
}

TEST(SpanStroker, PaintsOnlyInsideTheClipAndTheImage) {
    const std::vector<QPoint> line{{-1000000, 60}, {2000000000, 60}, {100, -2000000000}};
    const QImage clipped = SpanStroke(line, 9, true, {}, QRect(20, 30, 50, 40));
    const QRect ink = InkBounds(clipped, QColor::fromRgb(kPaper));
    EXPECT_FALSE(ink.isEmpty());
    EXPECT_TRUE(QRect(20, 30, 50, 40).contains(ink)) << "far ends clipped, nothing wrapped";
    const QImage whole = SpanStroke(line, 9, false, QPoint(0, 0), QRect(-50, -50, 400, 400));
    EXPECT_EQ(whole.pixel(0, 60), kInk);
    EXPECT_EQ(whole.pixel(199, 60), kInk);
}

TEST(SpanStroker, AnAntialiasedLineIsBlendedOnceWhereItsSegmentsOverlap) {
    // A sharp zigzag: its segments overlap over and over near the turns. Each pixel takes the
    // coverage of the nearest segment, so no pixel is painted past the solid colour, and the
    // core is solid.
    const std::vector<QPoint> zigzag{{20, 20}, {180, 30}, {20, 40}, {180, 50}, {20, 60}};
    const QImage image = SpanStroke(zigzag, 6, true, {});
    EXPECT_EQ(image.pixel(100, 25), kInk);
    int partial = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            // Each channel lies between the paper's and the ink's.
            for (int shift : {0, 8, 16}) {
                const int paper = int(kPaper >> shift) & 0xFF;
                const int ink = int(kInk >> shift) & 0xFF;
                const int value = int(pixel >> shift) & 0xFF;
                ASSERT_GE(value, std::min(paper, ink));
                ASSERT_LE(value, std::max(paper, ink));
            }
            partial += pixel != kPaper && pixel != kInk ? 1 : 0;
        }
    }
    EXPECT_GT(partial, 100) << "the edges are smooth";
    // A point given twice in a row adds nothing: its dot is smooth like the joint it sits on.
    const std::vector<QPoint> bend{{20, 90}, {70, 70}, {120, 95}};
    const std::vector<QPoint> repeated{{20, 90}, {70, 70}, {70, 70}, {120, 95}};
    EXPECT_EQ(SpanStroke(repeated, 7, true, {}), SpanStroke(bend, 7, true, {}));
    // A single point is a dot of the pen's width.
    const QImage dot = SpanStroke({QPoint(50, 50)}, 8, false, {});
    EXPECT_EQ(InkBounds(dot, QColor::fromRgb(kPaper)), QRect(46, 46, 8, 8));
}

TEST(PaintContext, RoundSolidPensGoToTheSpanStrokerAndTheRestToThePainter) {
    const std::vector<QPoint> line{{10, 10}, {150, 90}};
    for (bool antialiased : {false, true}) {
        QImage viaContext = Paper();
        {
            PaintContext context(&viaContext);
            context.SetAntialiasing(antialiased);
            context.SetViewportOrigin(QPoint(-5, 4));
            context.SetClipRect(platform::Rect{0, 0, 120, 80});
            context.SelectPen(RoundPen(5));
            context.Polyline(line.data(), int(line.size()));
        }
        const QImage direct =
            SpanStroke(line, 5, antialiased, QPoint(-5, 4), QRect(-5, 4, 120, 80));
        EXPECT_EQ(viaContext, direct);
    }
    // A dashed pen keeps the painter's dashes.
    QPen dashed = RoundPen(3);
    dashed.setDashPattern({6.0, 6.0});
    QImage viaContext = Paper();
    {
        PaintContext context(&viaContext);
        context.SelectPen(dashed);
        context.Polyline(line.data(), int(line.size()));
    }
    QImage painted = Paper();
    {
        QPainter painter(&painted);
        painter.setPen(dashed);
        painter.drawPolyline(line.data(), int(line.size()));
    }
    EXPECT_EQ(viaContext, painted);
}

// The selection reaches the painter by the time it draws, and what its user sets in it (pen,
// smoothing, transformation) is what the context goes on with.
TEST(PaintContext, ThePainterHoldsTheSelectionAndWhatItsUserSets) {
    const std::vector<QPoint> line{{10, 10}, {150, 90}};
    QImage image = Paper();
    PaintContext context(&image);
    context.SelectPen(RoundPen(5));
    context.Polyline(line.data(), int(line.size()));
    EXPECT_EQ(context.Painter().pen(), RoundPen(5));

    // A pen set on the painter is the selected one: it replaces it and draws.
    const QPen square(QColor(Qt::red), 4, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
    context.Painter().setPen(square);
    EXPECT_EQ(context.Pen(), square);
    EXPECT_EQ(context.SelectPen(RoundPen(3)), square);
    context.Painter().setBrush(QBrush(Qt::green));
    EXPECT_EQ(context.SelectBrush(QBrush(Qt::blue)), QBrush(Qt::green));
    context.Painter().setPen(square);
    QImage painted = Paper();
    {
        QPainter painter(&painted);
        painter.setPen(square);
        painter.drawPolyline(line.data(), int(line.size()));
    }
    image.fill(kPaper);
    context.Polyline(line.data(), int(line.size()));
    EXPECT_EQ(image, painted);

    // Smoothing turned off on the painter holds for the span stroker too.
    context.SelectPen(RoundPen(5));
    context.Painter().setRenderHint(QPainter::Antialiasing, false);
    image.fill(kPaper);
    context.Polyline(line.data(), int(line.size()));
    EXPECT_EQ(image, SpanStroke(line, 5, false, {}));

    // A transformation set on the painter leaves the line to it.
    context.Painter().translate(7, 0);
    image.fill(kPaper);
    context.Polyline(line.data(), int(line.size()));
    EXPECT_EQ(image, PainterStroke(line, 5, false, QPoint(7, 0)));
}

// Pens and brushes met before are known again, and one changed since is worked out afresh,
// however many come and go between.
TEST(PaintContext, SelectionsMetBeforeAndChangedSinceDrawAsTheyAreNow) {
    const std::vector<QPoint> line{{10, 10}, {150, 90}};
    QImage image = Paper();
    PaintContext context(&image);
    context.SetAntialiasing(false);
    std::vector<QPen> pens;
    for (int width = 2; width <= 8; ++width) {
        pens.push_back(RoundPen(width));
    }
    for (int round = 0; round < 3; ++round) {
        for (const QPen& pen : pens) {
            image.fill(kPaper);
            context.SelectPen(pen);
            context.Polyline(line.data(), int(line.size()));
            ASSERT_EQ(image, SpanStroke(line, pen.width(), false, {})) << "width " << pen.width();
        }
    }
    QPen changed = pens[0];
    context.SelectPen(changed);
    context.Polyline(line.data(), int(line.size()));
    changed.setWidth(6);
    image.fill(kPaper);
    context.SelectPen(changed);
    context.Polyline(line.data(), int(line.size()));
    EXPECT_EQ(image, SpanStroke(line, 6, false, {}));

    const std::vector<QPoint> square{{20, 20}, {60, 20}, {60, 60}, {20, 60}};
    context.SelectPen(QPen(Qt::NoPen));
    QBrush brush(QColor(255, 0, 0));
    context.SelectBrush(brush);
    context.Polygon(square.data(), int(square.size()));
    EXPECT_EQ(image.pixel(40, 40), QColor(255, 0, 0).rgb());
    brush.setColor(QColor(0, 0, 255));
    context.SelectBrush(brush);
    context.Polygon(square.data(), int(square.size()));
    EXPECT_EQ(image.pixel(40, 40), QColor(0, 0, 255).rgb());
}

TEST(SpanPixels, ARunFillsItsPixelsAndNoneBesideThem) {
    // Short runs are written by overlapping stores, long ones by steps of sixteen and four.
    for (int count = 0; count <= 70; ++count) {
        std::vector<QRgb> row(size_t(count) + 8, kPaper);
        span::FillPixels(row.data() + 4, count, kInk);
        for (int i = 0; i < int(row.size()); ++i) {
            ASSERT_EQ(row[size_t(i)], i >= 4 && i < 4 + count ? kInk : kPaper)
                << "run of " << count << ", pixel " << i;
        }
    }
}

}  // namespace
}  // namespace paint
