#include "frame_artwork.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace frame_art {
namespace {

constexpr QRgb kMagenta = 0xFFFF00FF;
constexpr QColor kRim(0xF4, 0xF7, 0xFB);
constexpr QColor kNavy(0x1F, 0x4E, 0x79);
constexpr QColor kPressedFill(0xE0, 0x7B, 0x00);
constexpr QColor kDisabledFill(0x9A, 0xA1, 0xA9);
constexpr QColor kDisabledInk(0xD9, 0xDC, 0xE0);
constexpr QColor kOffFill(0xB3, 0x26, 0x1E);
constexpr QColor kRecordRed(0xFF, 0x5A, 0x4E);
constexpr double kPi = 3.14159265358979;

// How a panel picture is drawn: the disc's colour and the glyph's.
struct Look {
    QColor fill;
    QColor ink;
};
constexpr QColor kWhite(0xFF, 0xFF, 0xFF);
constexpr Look kNormal{kNavy, kWhite};
constexpr Look kPressed{kPressedFill, kWhite};
constexpr Look kDisabled{kDisabledFill, kDisabledInk};
constexpr Look kOff{kOffFill, kWhite};

QPen InkPen(const QColor& ink, double width) {
    return QPen(ink, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// ---- glyphs, in the 50 × 50 square of a button ---------------------------------------------

void Magnifier(QPainter& p, const QColor& ink, bool plus) {
    p.setPen(InkPen(ink, 3.5));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(22, 22), 9.5, 9.5);
    p.drawLine(QPointF(29, 29), QPointF(36, 36));
    p.setPen(InkPen(ink, 3.0));
    p.drawLine(QPointF(17.5, 22), QPointF(26.5, 22));
    if (plus) {
        p.drawLine(QPointF(22, 17.5), QPointF(22, 26.5));
    }
}

// A capital A of height `h` with its base centred at (cx, base).
void LetterA(QPainter& p, const QColor& ink, double cx, double base, double h, double width) {
    p.setPen(InkPen(ink, width));
    const double half = h * 0.42;
    p.drawPolyline(
        QPolygonF({QPointF(cx - half, base), QPointF(cx, base - h), QPointF(cx + half, base)}));
    p.drawLine(QPointF(cx - half * 0.55, base - h * 0.36),
               QPointF(cx + half * 0.55, base - h * 0.36));
}

void Triangle(QPainter& p, const QColor& ink, double cx, double tipY, double baseY) {
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    const double half = std::abs(baseY - tipY) * 0.8;
    p.drawPolygon(
        QPolygonF({QPointF(cx, tipY), QPointF(cx + half, baseY), QPointF(cx - half, baseY)}));
}

void FontsLarger(QPainter& p, const QColor& ink) {
    LetterA(p, ink, 21, 35, 20, 3.5);
    Triangle(p, ink, 35, 14, 21);
}

void FontsSmaller(QPainter& p, const QColor& ink) {
    LetterA(p, ink, 21, 34, 13, 3.0);
    Triangle(p, ink, 35, 34, 27);
}

void NormalView(QPainter& p, const QColor& ink) {
    // A window with its title bar: back to the desktop's window.
    p.setPen(InkPen(ink, 2.5));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(13, 15, 24, 20), 2, 2);
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawRect(QRectF(13, 15, 24, 5.5));
}

void RemoveButtons(QPainter& p, const QColor& ink) {
    p.setPen(InkPen(ink, 4.0));
    p.drawLine(QPointF(17, 17), QPointF(33, 33));
    p.drawLine(QPointF(33, 17), QPointF(17, 33));
}

// A map pin with its tip at (cx, tip).
QPainterPath Pin(double cx, double tip, double r) {
    QPainterPath path;
    const double cy = tip - r * 2.3;
    path.moveTo(cx, tip);
    path.cubicTo(cx - r * 0.5, tip - r * 0.9, cx - r, cy + r * 0.7, cx - r, cy);
    path.arcTo(QRectF(cx - r, cy - r, 2 * r, 2 * r), 180, -180);
    path.cubicTo(cx + r, cy + r * 0.7, cx + r * 0.5, tip - r * 0.9, cx, tip);
    path.closeSubpath();
    return path;
}

void AddPoi(QPainter& p, const QColor& ink, const QColor& fill) {
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawPath(Pin(22, 38, 9));
    p.setPen(InkPen(fill, 3.0));
    p.drawLine(QPointF(17.5, 17.5), QPointF(26.5, 17.5));
    p.drawLine(QPointF(22, 13), QPointF(22, 22));
    p.setPen(InkPen(ink, 3.0));
    p.drawLine(QPointF(31, 29), QPointF(39, 29));
    p.drawLine(QPointF(35, 25), QPointF(35, 33));
}

// A dotted route ending in the sign of recording (a dot) or of its end (a square).
void RouteTrail(QPainter& p, const QColor& ink) {
    p.setPen(QPen(ink, 2.5, Qt::DotLine, Qt::RoundCap));
    QPainterPath trail;
    trail.moveTo(11, 37);
    trail.cubicTo(16, 26, 24, 38, 27, 27);
    p.setBrush(Qt::NoBrush);
    p.drawPath(trail);
}

void StartRoute(QPainter& p, const QColor& ink, bool disabled) {
    RouteTrail(p, ink);
    p.setPen(InkPen(ink, 2.0));
    p.setBrush(disabled ? ink : kRecordRed);
    p.drawEllipse(QPointF(32, 19), 7, 7);
}

void StopRoute(QPainter& p, const QColor& ink) {
    RouteTrail(p, ink);
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawRoundedRect(QRectF(26, 13, 12, 12), 1.5, 1.5);
}

void Gps(QPainter& p, const QColor& ink, bool off) {
    // The receiver's crosshair with the position in the middle.
    p.setPen(InkPen(ink, 3.0));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(25, 25), 10, 10);
    p.drawLine(QPointF(25, 10), QPointF(25, 15));
    p.drawLine(QPointF(25, 35), QPointF(25, 40));
    p.drawLine(QPointF(10, 25), QPointF(15, 25));
    p.drawLine(QPointF(35, 25), QPointF(40, 25));
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawEllipse(QPointF(25, 25), 4, 4);
    if (off) {
        p.setPen(InkPen(ink, 4.0));
        p.drawLine(QPointF(13, 37), QPointF(37, 13));
    }
}

void About(QPainter& p, const QColor& ink) {
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawEllipse(QPointF(25, 15), 3.2, 3.2);
    p.drawRoundedRect(QRectF(22, 21, 6, 16), 2, 2);
    p.drawRect(QRectF(19.5, 21, 5, 3));
    p.drawRect(QRectF(19.5, 34, 11, 3));
}

void Exit(QPainter& p, const QColor& ink) {
    // The power sign.
    p.setPen(InkPen(ink, 3.5));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(14, 15, 22, 22), 120 * 16, 300 * 16);
    p.drawLine(QPointF(25, 11), QPointF(25, 25));
}

void PoiManager(QPainter& p, const QColor& ink) {
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawPath(Pin(17, 33, 6));
    p.setPen(InkPen(ink, 2.8));
    for (double y : {16.0, 24.0, 32.0}) {
        p.drawLine(QPointF(28, y), QPointF(38, y));
    }
}

void LoadGpx(QPainter& p, const QColor& ink, const QColor& fill) {
    // A folder with a route across it.
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    QPainterPath folder;
    folder.moveTo(11, 16);
    folder.lineTo(20, 16);
    folder.lineTo(23, 19);
    folder.lineTo(39, 19);
    folder.lineTo(39, 36);
    folder.lineTo(11, 36);
    folder.closeSubpath();
    p.drawPath(folder);
    p.setPen(InkPen(fill, 2.5));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({QPointF(15, 32), QPointF(21, 25), QPointF(27, 30), QPointF(35, 23)}));
}

void Properties(QPainter& p, const QColor& ink, const QColor& fill) {
    // A gear.
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    QPainterPath gear;
    for (int tooth = 0; tooth < 8; ++tooth) {
        const double a = tooth * kPi / 4;
        QTransform t;
        t.translate(25, 25);
        t.rotateRadians(a);
        gear.addPolygon(t.map(QPolygonF(QRectF(-3, -14, 6, 6))));
    }
    gear.addEllipse(QPointF(25, 25), 10, 10);
    p.drawPath(gear.simplified());
    p.setBrush(fill);
    p.drawEllipse(QPointF(25, 25), 4, 4);
}

using Glyph = void (*)(QPainter&, const Look&);

// A disc on magenta with its glyph. The disc's edge is hard (no pixel of it is half magenta),
// so that leaving out magenta leaves no pink fringe; the glyph inside is smooth.
QImage Button(const Look& look, Glyph glyph) {
    QImage art(kButtonSize, kButtonSize, QImage::Format_ARGB32_Premultiplied);
    art.fill(Qt::transparent);
    {
        QPainter p(&art);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(kRim);
        p.drawEllipse(QPointF(25, 25), 24, 24);
        QLinearGradient shade(0, 2, 0, 48);
        shade.setColorAt(0, look.fill.lighter(118));
        shade.setColorAt(1, look.fill.darker(112));
        p.setBrush(shade);
        p.drawEllipse(QPointF(25, 25), 21.5, 21.5);
        glyph(p, look);
    }
    QImage out(kButtonSize, kButtonSize, QImage::Format_RGB32);
    const QImage straight = art.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < kButtonSize; ++y) {
        for (int x = 0; x < kButtonSize; ++x) {
            const QRgb pixel = straight.pixel(x, y);
            out.setPixel(x, y, qAlpha(pixel) < 128 ? kMagenta : (pixel | 0xFF000000u));
        }
    }
    return out;
}

}  // namespace

std::vector<Picture> PanelPictures() {
    std::vector<Picture> pictures;
    auto add = [&](int id, const Look& look, Glyph glyph) {
        pictures.push_back({id, Button(look, glyph)});
    };
    add(136, kNormal, [](QPainter& p, const Look& l) { About(p, l.ink); });
    add(137, kPressed, [](QPainter& p, const Look& l) { AddPoi(p, l.ink, l.fill); });
    add(138, kNormal, [](QPainter& p, const Look& l) { FontsLarger(p, l.ink); });
    add(139, kNormal, [](QPainter& p, const Look& l) { FontsSmaller(p, l.ink); });
    add(140, kNormal, [](QPainter& p, const Look& l) { Gps(p, l.ink, false); });
    add(141, kNormal, [](QPainter& p, const Look& l) { NormalView(p, l.ink); });
    add(142, kNormal, [](QPainter& p, const Look& l) { Properties(p, l.ink, l.fill); });
    add(143, kNormal, [](QPainter& p, const Look& l) { Magnifier(p, l.ink, true); });
    add(144, kNormal, [](QPainter& p, const Look& l) { Magnifier(p, l.ink, false); });
    add(146, kNormal, [](QPainter& p, const Look& l) { RemoveButtons(p, l.ink); });
    add(147, kNormal, [](QPainter& p, const Look& l) { AddPoi(p, l.ink, l.fill); });
    add(148, kNormal, [](QPainter& p, const Look& l) { StartRoute(p, l.ink, false); });
    add(149, kNormal, [](QPainter& p, const Look& l) { StopRoute(p, l.ink); });
    add(150, kNormal, [](QPainter& p, const Look& l) { Exit(p, l.ink); });
    add(151, kDisabled, [](QPainter& p, const Look& l) { StartRoute(p, l.ink, true); });
    add(154, kOff, [](QPainter& p, const Look& l) { Gps(p, l.ink, true); });
    add(155, kDisabled, [](QPainter& p, const Look& l) { StopRoute(p, l.ink); });
    add(162, kNormal, [](QPainter& p, const Look& l) { PoiManager(p, l.ink); });
    add(164, kNormal, [](QPainter& p, const Look& l) { LoadGpx(p, l.ink, l.fill); });
    return pictures;
}

namespace {

// The emblem of the program: a heading-up arrow over a bend of road, in a rounded square.
void Emblem(QPainter& p, const QRectF& box) {
    p.save();
    p.translate(box.topLeft());
    p.scale(box.width() / 128.0, box.height() / 128.0);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 128);
    sky.setColorAt(0, QColor(0x2B, 0x63, 0x96));
    sky.setColorAt(1, QColor(0x16, 0x3A, 0x5E));
    p.setPen(Qt::NoPen);
    p.setBrush(sky);
    p.drawRoundedRect(QRectF(4, 4, 120, 120), 24, 24);
    // Roads.
    QPainterPath road;
    road.moveTo(10, 112);
    road.cubicTo(40, 96, 52, 70, 64, 54);
    road.cubicTo(76, 38, 98, 26, 122, 22);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0xF5, 0xE4, 0x9C), 16, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(road);
    p.setPen(QPen(QColor(0x16, 0x3A, 0x5E), 2, Qt::DashLine, Qt::FlatCap));
    p.drawPath(road);
    p.setPen(QPen(QColor(0xF5, 0xE4, 0x9C, 150), 7, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(20, 30), QPointF(58, 58));
    // The arrow.
    QPainterPath arrow;
    arrow.moveTo(64, 30);
    arrow.lineTo(90, 98);
    arrow.lineTo(64, 84);
    arrow.lineTo(38, 98);
    arrow.closeSubpath();
    p.setPen(QPen(Qt::white, 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(0xED, 0x1C, 0x24));
    p.drawPath(arrow);
    p.restore();
}

}  // namespace

QImage ProgramIcon(int size) {
    QImage icon(size, size, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    QPainter p(&icon);
    Emblem(p, QRectF(0, 0, size, size));
    p.end();
    return icon.convertToFormat(QImage::Format_ARGB32);
}

QImage SplashPicture() {
    // 220 × 120: the emblem on the left, the version text from x = 90 near the top (drawn by the
    // program), the name below it.
    constexpr int kWidth = 220;
    constexpr int kHeight = 120;
    QImage splash(kWidth, kHeight, QImage::Format_RGB32);
    QPainter p(&splash);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(splash.rect(), QColor(0xF5, 0xE4, 0x9C));
    // A few streets of a map behind everything.
    p.setPen(QPen(QColor(0xFF, 0xFF, 0xFF), 6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(-5, 90), QPointF(230, 70));
    p.drawLine(QPointF(140, -5), QPointF(170, 130));
    p.setPen(QPen(QColor(0xFF, 0xFF, 0xFF), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(60, -5), QPointF(100, 130));
    p.drawLine(QPointF(90, 40), QPointF(230, 30));
    p.setPen(QPen(QColor(0x1F, 0x4E, 0x79), 2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(1, 1, kWidth - 2, kHeight - 2));
    Emblem(p, QRectF(10, 24, 72, 72));
    QFont title(QStringLiteral("DejaVu Sans"));
    title.setPixelSize(26);
    title.setBold(true);
    p.setFont(title);
    p.setPen(QColor(0x1F, 0x4E, 0x79));
    p.drawText(QRectF(90, 64, kWidth - 94, 36), Qt::AlignHCenter | Qt::AlignVCenter,
               QStringLiteral("Velmora"));
    QFont small(QStringLiteral("DejaVu Sans"));
    small.setPixelSize(10);
    p.setFont(small);
    p.drawText(QRectF(90, 96, kWidth - 94, 16), Qt::AlignHCenter | Qt::AlignVCenter,
               QStringLiteral("moving-map navigator"));
    p.end();
    return splash;
}

}  // namespace frame_art
