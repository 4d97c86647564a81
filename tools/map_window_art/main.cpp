// Draws the map window's pictures into a folder: the three GPS arrows (white is their
// transparent colour), the compass (grey 0x818181 is its transparent colour) and the corner
// button at 32 × 32 and 64 × 64 with alpha. Run at build time; the pictures are compiled in.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <cstdio>

namespace {

// Arrow pictures at the small screen's size; the window doubles them on large screens.
constexpr int kArrowWidth = 22;
constexpr int kArrowHeight = 26;
constexpr int kCompassSize = 48;

// Draws smoothly on a clear picture, then flattens onto `background`: pixels at least half
// covered take their colour at full strength, the rest become the background. A transparent
// colour keyed on exact values must not meet blended edge pixels.
QImage Flatten(const QImage& drawn, QRgb background) {
    QImage out(drawn.size(), QImage::Format_RGB32);
    for (int y = 0; y < drawn.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(drawn.constScanLine(y));
        auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < drawn.width(); ++x) {
            const QRgb pixel = in[x];
            const int alpha = qAlpha(pixel);
            if (alpha < 128) {
                row[x] = background;
                continue;
            }
            // Unpremultiply.
            const int r = qRed(pixel) * 255 / alpha;
            const int g = qGreen(pixel) * 255 / alpha;
            const int b = qBlue(pixel) * 255 / alpha;
            QRgb colour = qRgb(r, g, b);
            if ((colour & 0xFFFFFF) == (background & 0xFFFFFF)) {
                colour = qRgb(r, g, b ^ 1);  // one step away from the key colour
            }
            row[x] = colour;
        }
    }
    return out;
}

QImage ClearCanvas(int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// An arrow pointing up with its tip at the top centre: the GPS position is its tip.
QImage Arrow(QColor fill, bool hollow) {
    QImage image = ClearCanvas(kArrowWidth, kArrowHeight);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const double w = kArrowWidth;
    const double h = kArrowHeight;
    QPainterPath path;
    path.moveTo(w / 2, 1);
    path.lineTo(w - 1.5, h - 1.5);
    path.lineTo(w / 2, h * 0.68);
    path.lineTo(1.5, h - 1.5);
    path.closeSubpath();
    painter.setPen(QPen(QColor(20, 20, 20), 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(hollow ? QBrush(QColor(250, 250, 250)) : QBrush(fill));
    painter.drawPath(path);
    if (hollow) {
        // GPS not open: a bar across the arrow.
        painter.setPen(QPen(fill, 3.0, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(4, h * 0.45), QPointF(w - 4, h * 0.45));
    }
    painter.end();
    return Flatten(image, qRgb(255, 255, 255));
}

QImage Compass() {
    QImage image = ClearCanvas(kCompassSize, kCompassSize);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF centre(kCompassSize / 2.0, kCompassSize / 2.0);
    const double radius = kCompassSize / 2.0 - 3;
    painter.setPen(QPen(QColor(40, 40, 40), 2.0));
    painter.setBrush(QColor(245, 245, 235));
    painter.drawEllipse(centre, radius, radius);
    // North half of the needle red, south half dark.
    const double tip = radius - 3;
    const double half = 6;
    QPainterPath north;
    north.moveTo(centre + QPointF(0, -tip));
    north.lineTo(centre + QPointF(half, 0));
    north.lineTo(centre + QPointF(-half, 0));
    north.closeSubpath();
    QPainterPath south;
    south.moveTo(centre + QPointF(0, tip));
    south.lineTo(centre + QPointF(half, 0));
    south.lineTo(centre + QPointF(-half, 0));
    south.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(210, 30, 30));
    painter.drawPath(north);
    painter.setBrush(QColor(60, 60, 70));
    painter.drawPath(south);
    painter.setBrush(QColor(240, 240, 240));
    painter.drawEllipse(centre, 2.0, 2.0);
    painter.end();
    return Flatten(image, qRgb(0x81, 0x81, 0x81));
}

// The corner button that opens the button panel: a rounded dark square with three bars.
QImage CornerButton(int size) {
    QImage image = ClearCanvas(size, size);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const double unit = size / 32.0;
    painter.setPen(QPen(QColor(255, 255, 255, 230), 1.5 * unit));
    painter.setBrush(QColor(30, 40, 60, 200));
    painter.drawRoundedRect(QRectF(1.5 * unit, 1.5 * unit, size - 3 * unit, size - 3 * unit),
                            6 * unit, 6 * unit);
    painter.setPen(QPen(QColor(255, 255, 255), 3 * unit, Qt::SolidLine, Qt::RoundCap));
    for (int bar = 0; bar < 3; ++bar) {
        const double y = (10 + bar * 6) * unit;
        painter.drawLine(QPointF(9 * unit, y), QPointF(23 * unit, y));
    }
    painter.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

bool Save(const QImage& image, const QString& folder, const char* name) {
    const QString path = folder + "/" + name;
    if (!image.save(path, "PNG")) {
        std::fprintf(stderr, "map_window_art: cannot write %s\n", path.toLocal8Bit().constData());
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: map_window_art FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(folder)) {
        return 1;
    }
    const bool saved = Save(Arrow(QColor(150, 150, 150), true), folder, "ArrowNoGpsOpen.png") &&
                       Save(Arrow(QColor(235, 140, 20), false), folder, "ArrowGpsNoFix.png") &&
                       Save(Arrow(QColor(30, 110, 230), false), folder, "ArrowGpsFix.png") &&
                       Save(Compass(), folder, "130.png") &&
                       Save(CornerButton(32), folder, "167.png") &&
                       Save(CornerButton(64), folder, "168.png");
    return saved ? 0 : 1;
}
