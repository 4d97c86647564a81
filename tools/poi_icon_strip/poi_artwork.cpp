#include "poi_artwork.h"

#include <QPainter>
#include <QPainterPath>

#include <array>
#include <cmath>

#include "icon_canvas.h"
#include "render/poi_icons.h"

namespace poi_art {
namespace {

enum class Badge { kSquare, kRound, kNone };

struct IconArt {
    QRgb colour;
    Badge badge;
    void (*draw)(IconCanvas&);
};

// Category colours; the glyph on the badge is white.
constexpr QRgb kGeneral = 0x607D8B;
constexpr QRgb kInfo = 0x0277BD;
constexpr QRgb kRoad = 0x0D47A1;
constexpr QRgb kAmenity = 0x5C6BC0;
constexpr QRgb kWarning = 0xFBC02D;
constexpr QRgb kRed = 0xD32F2F;
constexpr QRgb kManMade = 0x616161;
constexpr QRgb kLand = 0x8C6D1F;
constexpr QRgb kFood = 0xEF6C00;
constexpr QRgb kLodging = 0x7B1FA2;
constexpr QRgb kAttraction = 0x795548;
constexpr QRgb kWorship = 0x5D4037;
constexpr QRgb kLeisure = 0x388E3C;
constexpr QRgb kNature = 0x2E7D32;
constexpr QRgb kMarine = 0x01579B;
constexpr QRgb kShop = 0xC2185B;
constexpr QRgb kPharmacy = 0x2E9D3A;
constexpr QRgb kCar = 0x1565C0;
constexpr QRgb kService = 0x546E7A;
constexpr QRgb kTransport = 0x303F9F;
constexpr QRgb kGovernment = 0x37474F;
constexpr QRgb kPolice = 0x1A237E;
constexpr QRgb kFire = 0xE64A19;
constexpr QRgb kWater = 0x0288D1;
constexpr QRgb kDark = 0x212121;

constexpr double kPi = 3.14159265358979;

// ---- shared glyph parts -------------------------------------------------------------------

// A car seen from the front, `top` to `top` + 7.5 high, centred on x = 8, `half` wide each side.
void CarFront(IconCanvas& c, double top, double half = 5.5) {
    const double l = 8.0 - half;
    const double r = 8.0 + half;
    c.Polygon({{l + 1.5, top},
               {r - 1.5, top},
               {r, top + 3.2},
               {r, top + 6.0},
               {l, top + 6.0},
               {l, top + 3.2}});
    c.Polygon(
        {{l + 2.3, top + 1.0}, {r - 2.3, top + 1.0}, {r - 1.3, top + 3.0}, {l + 1.3, top + 3.0}},
        c.Hole());
    c.Disc(l + 1.6, top + 4.5, 0.9, c.Hole());
    c.Disc(r - 1.6, top + 4.5, 0.9, c.Hole());
    c.Rect(l + 0.3, top + 6.0, 2.2, 1.6);
    c.Rect(r - 2.5, top + 6.0, 2.2, 1.6);
}

// A drop of water hanging from (cx, top), `height` tall.
void Drop(IconCanvas& c, double cx, double top, double height, QColor color) {
    const double r = height * 0.36;
    const double cy = top + height - r;
    QPainterPath path;
    path.moveTo(cx, top);
    path.cubicTo(cx + r * 0.4, top + height * 0.35, cx + r, cy - r * 0.3, cx + r, cy);
    path.arcTo(QRectF(cx - r, cy - r, 2 * r, 2 * r), 0.0, -180.0);
    path.cubicTo(cx - r, cy - r * 0.3, cx - r * 0.4, top + height * 0.35, cx, top);
    c.Fill(path, color);
}

// A deciduous tree: round crown of radius r at (cx, cy), trunk down to `ground`.
void Tree(IconCanvas& c, double cx, double cy, double r, double ground) {
    c.Rect(cx - 0.8, cy, 1.6, ground - cy);
    c.Disc(cx, cy, r);
}

// A fir tree with its tip at (cx, top), `width` wide at the foot, standing on `ground`.
void Fir(IconCanvas& c, double cx, double top, double width, double ground) {
    const double foot = ground - 1.8;
    c.Rect(cx - 0.75, foot - 0.5, 1.5, ground - foot + 0.5);
    c.Polygon({{cx, top}, {cx + width / 2, foot}, {cx - width / 2, foot}});
}

// A house front: roof ridge at (8, ridge), walls from `eaves` to `ground`, `half` wide.
void House(IconCanvas& c, double ridge, double eaves, double ground, double half) {
    c.Polygon({{8.0, ridge}, {8.0 + half + 1.3, eaves + 0.3}, {8.0 - half - 1.3, eaves + 0.3}});
    c.Rect(8.0 - half, eaves, 2 * half, ground - eaves);
}

// A person: head at (cx, headY), shoulders and body below, down to `bottom`.
void Person(IconCanvas& c, double cx, double headY, double bottom, double scale = 1.0) {
    c.Disc(cx, headY, 1.6 * scale);
    const double top = headY + 2.2 * scale;
    QPainterPath body;
    body.moveTo(cx - 2.6 * scale, bottom);
    body.lineTo(cx - 2.6 * scale, top + 1.6 * scale);
    body.quadTo(cx - 2.6 * scale, top, cx, top);
    body.quadTo(cx + 2.6 * scale, top, cx + 2.6 * scale, top + 1.6 * scale);
    body.lineTo(cx + 2.6 * scale, bottom);
    body.closeSubpath();
    c.Fill(body);
}

// Mountains standing on y = 13.5 through the given peaks and saddles.
void Skyline(IconCanvas& c, std::initializer_list<QPointF> tops) {
    QPainterPath path;
    path.moveTo(1.5, 13.5);
    for (const QPointF& point : tops) {
        path.lineTo(point);
    }
    path.lineTo(14.5, 13.5);
    path.closeSubpath();
    c.Fill(path);
}

// A plane seen from above, nose up, centred at (cx, cy), `s` times the full size.
void Plane(IconCanvas& c, double cx, double cy, double s) {
    auto p = [&](double x, double y) { return QPointF(cx + x * s, cy + y * s); };
    c.RoundRect(cx - 1.0 * s, cy - 6.5 * s, 2.0 * s, 13.0 * s, 1.0 * s);
    c.Polygon({p(0.8, -2.2), p(6.5, 1.2), p(6.5, 2.5), p(0.8, 1.0), p(-0.8, 1.0), p(-6.5, 2.5),
               p(-6.5, 1.2), p(-0.8, -2.2)});
    c.Polygon({p(0.8, 4.0), p(3.2, 5.8), p(3.2, 6.6), p(0.8, 6.0), p(-0.8, 6.0), p(-3.2, 6.6),
               p(-3.2, 5.8), p(-0.8, 4.0)});
}

// A shopping bag, `left` to `left` + `width`, body from `top` to `bottom`.
void Bag(IconCanvas& c, double left, double top, double width, double bottom, QColor color) {
    c.Polygon(
        {{left + 0.6, top}, {left + width - 0.6, top}, {left + width, bottom}, {left, bottom}},
        color);
    QPainterPath handle;
    const double r = width * 0.24;
    handle.addEllipse(QPointF(left + width / 2, top), r, r * 1.25);
    c.Stroke(handle, 1.3, color);
}

// A striped awning from x0 to x1, `top` to `top` + 3.5, with scalloped edge.
void Awning(IconCanvas& c, double x0, double x1, double top) {
    c.Polygon({{x0 + 0.8, top}, {x1 - 0.8, top}, {x1, top + 2.6}, {x0, top + 2.6}});
    const int scallops = 4;
    const double w = (x1 - x0) / scallops;
    for (int i = 0; i < scallops; ++i) {
        c.Ellipse(x0 + w * (i + 0.5), top + 2.6, w / 2, 1.1);
    }
    for (int i = 1; i < scallops; i += 2) {
        c.Rect(x0 + w * i + 0.15, top + 0.4, w - 0.3, 2.0, c.Hole());
    }
}

// Three waves stacked from y0 downwards `gap` apart.
void Waves(IconCanvas& c, double x0, double x1, double y0, double gap, int count) {
    for (int i = 0; i < count; ++i) {
        c.Wave(x0, x1, y0 + gap * i, 1.0, 2, 1.5);
    }
}

// A five-pointed star centred at (cx, cy), outer radius r.
void Star(IconCanvas& c, double cx, double cy, double r, QColor color) {
    QPainterPath path;
    for (int i = 0; i < 10; ++i) {
        const double radius = i % 2 == 0 ? r : r * 0.42;
        const double angle = -kPi / 2 + i * kPi / 5;
        const QPointF point(cx + radius * std::cos(angle), cy + radius * std::sin(angle));
        if (i == 0) {
            path.moveTo(point);
        } else {
            path.lineTo(point);
        }
    }
    path.closeSubpath();
    c.Fill(path, color);
}

// A plus sign, arms `arm` wide, from `from` to `to` on both axes.
void Plus(IconCanvas& c, double from, double to, double arm, QColor color) {
    const double mid = (from + to) / 2;
    c.Rect(mid - arm / 2, from, arm, to - from, color);
    c.Rect(from, mid - arm / 2, to - from, arm, color);
}

// A cup standing on `bottom`, `left` to `left` + `width`, with its handle on the right.
void Cup(IconCanvas& c, double left, double top, double width, double bottom) {
    c.Ring(left + width + 0.3, top + (bottom - top) * 0.4, 1.7, 1.2);
    QPainterPath body;
    body.moveTo(left, top);
    body.lineTo(left + width, top);
    body.lineTo(left + width, bottom - 2.0);
    body.quadTo(left + width, bottom, left + width - 2.0, bottom);
    body.lineTo(left + 2.0, bottom);
    body.quadTo(left, bottom, left, bottom - 2.0);
    body.closeSubpath();
    c.Fill(body);
}

// ---- general --------------------------------------------------------------------------------

void Marker(IconCanvas& c) {
    c.Disc(8, 8, 3.0);
}

void WaypointFlag(IconCanvas& c) {
    const QColor pole(kDark);
    const QColor flag(kRed);
    c.Ellipse(4.5, 14.3, 2.8, 1.0, pole);
    c.Rect(3.6, 1.5, 1.6, 13.0, pole);
    QPainterPath cloth;
    cloth.moveTo(5.2, 1.8);
    cloth.cubicTo(8.0, 0.6, 10.0, 3.4, 14.5, 2.2);
    cloth.lineTo(14.5, 8.6);
    cloth.cubicTo(10.0, 9.8, 8.0, 7.0, 5.2, 8.2);
    cloth.closeSubpath();
    c.Fill(cloth, flag.darker(150));
    QPainterPath inner;
    inner.moveTo(5.2, 2.9);
    inner.cubicTo(8.0, 1.8, 10.0, 4.5, 13.5, 3.4);
    inner.lineTo(13.5, 7.7);
    inner.cubicTo(10.0, 8.7, 8.0, 6.0, 5.2, 7.2);
    inner.closeSubpath();
    c.Fill(inner, flag);
}

void Information(IconCanvas& c) {
    c.Disc(8, 3.9, 1.6);
    c.Rect(6.0, 6.5, 3.3, 1.5);
    c.Rect(7.2, 6.5, 2.1, 6.0);
    c.Rect(5.8, 11.8, 4.6, 1.6);
}

void Region(IconCanvas& c) {
    // A folded map.
    c.Polygon({{2, 4}, {6, 2.5}, {10, 4}, {14, 2.5}, {14, 12}, {10, 13.5}, {6, 12}, {2, 13.5}});
    c.Line({{6, 2.8}, {6, 11.8}}, 1.0, c.Hole());
    c.Line({{10, 4.2}, {10, 13.2}}, 1.0, c.Hole());
}

void MotorwayExit(IconCanvas& c) {
    c.Bar({{5.5, 14.5}, {5.5, 2.0}}, 2.2);
    c.Line({{5.5, 11.0}, {5.5, 9.5}, {11.0, 4.5}}, 2.2);
    c.Polygon({{13.3, 2.2}, {12.6, 7.8}, {7.8, 3.0}});
}

void TollBooth(IconCanvas& c) {
    c.Rect(2.5, 5.5, 4.5, 8.5);
    c.Rect(2.0, 4.0, 5.5, 1.8);
    c.Rect(3.5, 7.0, 2.5, 2.2, c.Hole());
    c.Rect(7.0, 8.3, 7.5, 1.7);
    c.Rect(9.5, 8.3, 1.6, 1.7, c.Hole());
    c.Rect(12.6, 8.3, 1.6, 1.7, c.Hole());
    c.Rect(1.5, 13.6, 13.0, 1.0);
}

void WeighStation(IconCanvas& c) {
    // A lorry on a weighbridge.
    c.Rect(1.5, 2.5, 7.5, 5.5);
    c.Polygon({{9.5, 3.8}, {12.0, 3.8}, {14.5, 6.0}, {14.5, 8.0}, {9.5, 8.0}});
    for (double x : {3.5, 12.0}) {
        c.Disc(x, 8.8, 1.7, c.Hole());
        c.Disc(x, 8.8, 1.2);
    }
    c.Rect(1.0, 11.0, 14.0, 1.8);
    c.Polygon({{6.5, 12.8}, {9.5, 12.8}, {8.0, 14.8}});
}

void BorderCrossing(IconCanvas& c) {
    c.Rect(2.5, 4.0, 2.2, 10.5);
    c.Rect(1.5, 13.5, 4.2, 1.2);
    c.RoundRect(4.0, 6.0, 10.5, 2.8, 1.0);
    c.Rect(7.0, 6.0, 1.8, 2.8, QColor(kRed));
    c.Rect(11.0, 6.0, 1.8, 2.8, QColor(kRed));
}

void KilometrePost(IconCanvas& c) {
    QPainterPath post;
    post.moveTo(4.5, 14);
    post.lineTo(4.5, 5.5);
    post.arcTo(QRectF(4.5, 2.0, 7.0, 7.0), 180.0, -180.0);
    post.lineTo(11.5, 14);
    post.closeSubpath();
    c.Fill(post);
    c.Rect(6.0, 7.0, 4.0, 1.3, c.Hole());
    c.Rect(6.0, 9.6, 4.0, 1.3, c.Hole());
}

void Toilets(IconCanvas& c) {
    c.Disc(4.8, 3.6, 1.6);
    c.RoundRect(3.1, 5.8, 3.4, 5.2, 0.8);
    c.Rect(3.4, 10.0, 1.2, 4.0);
    c.Rect(5.0, 10.0, 1.2, 4.0);
    c.Rect(7.6, 2.5, 0.8, 11.5);
    c.Disc(11.2, 3.6, 1.6);
    c.Polygon({{11.2, 5.6}, {13.6, 11.0}, {8.8, 11.0}});
    c.Rect(9.9, 10.5, 1.1, 3.5);
    c.Rect(11.4, 10.5, 1.1, 3.5);
}

void Shower(IconCanvas& c) {
    c.Line({{3.0, 14.0}, {3.0, 3.0}, {8.5, 3.0}, {8.5, 4.5}}, 1.5);
    c.Polygon({{6.0, 5.0}, {11.0, 5.0}, {12.5, 7.0}, {4.5, 7.0}});
    for (double x : {5.5, 8.5, 11.5}) {
        c.Line({{x, 8.8}, {x - 0.3, 10.2}}, 1.1);
        c.Line({{x - 0.4, 11.8}, {x - 0.7, 13.2}}, 1.1);
    }
}

void DrinkingWater(IconCanvas& c) {
    c.Rect(1.5, 4.5, 8.0, 2.6);
    c.RoundRect(7.5, 4.5, 3.5, 5.5, 1.2);
    c.Rect(4.2, 2.0, 1.6, 2.6);
    c.Rect(2.5, 1.6, 5.0, 1.3);
    Drop(c, 9.2, 10.2, 4.6, c.Ink());
}

void Telephone(IconCanvas& c) {
    QPainterPath handset;
    handset.moveTo(3.0, 3.2);
    handset.cubicTo(2.0, 8.0, 8.0, 14.0, 12.8, 13.0);
    handset.lineTo(13.6, 10.6);
    handset.lineTo(10.6, 9.0);
    handset.lineTo(9.2, 10.4);
    handset.cubicTo(7.6, 9.6, 6.4, 8.4, 5.6, 6.8);
    handset.lineTo(7.0, 5.4);
    handset.lineTo(5.4, 2.4);
    handset.closeSubpath();
    c.Fill(handset);
}

void Viewpoint(IconCanvas& c) {
    // Binoculars.
    c.RoundRect(2.0, 5.0, 5.0, 8.5, 2.2);
    c.RoundRect(9.0, 5.0, 5.0, 8.5, 2.2);
    c.Rect(6.5, 7.0, 3.0, 3.0);
    c.Rect(3.0, 2.5, 3.0, 3.0);
    c.Rect(10.0, 2.5, 3.0, 3.0);
    c.Disc(4.5, 11.0, 1.2, c.Hole());
    c.Disc(11.5, 11.0, 1.2, c.Hole());
}

void Picnic(IconCanvas& c) {
    c.Rect(2.0, 4.5, 12.0, 1.8);
    c.Rect(1.0, 9.0, 14.0, 1.5);
    c.Line({{5.0, 6.0}, {3.0, 14.0}}, 1.4);
    c.Line({{11.0, 6.0}, {13.0, 14.0}}, 1.4);
}

void Danger(IconCanvas& c) {
    const QColor border(kDark);
    c.Polygon({{8.0, 0.6}, {15.6, 14.6}, {0.4, 14.6}}, border);
    c.Polygon({{8.0, 3.0}, {13.7, 13.4}, {2.3, 13.4}}, QColor(kWarning));
    c.Rect(7.1, 5.8, 1.8, 4.4, border);
    c.Rect(7.1, 11.0, 1.8, 1.6, border);
}

void NoEntry(IconCanvas& c) {
    c.Disc(8, 8, 7.5, QColor(kRed).darker(140));
    c.Disc(8, 8, 6.7, QColor(kRed));
    c.Rect(3.2, 6.8, 9.6, 2.4);
}

void Forbidden(IconCanvas& c) {
    c.Disc(8, 8, 7.5, QColor(kRed));
    c.Disc(8, 8, 5.2);
    c.Line({{4.3, 4.3}, {11.7, 11.7}}, 2.2, QColor(kRed));
}

void HouseIcon(IconCanvas& c) {
    House(c, 2.5, 7.5, 13.5, 4.5);
    c.Rect(7.0, 9.5, 2.2, 4.0, c.Hole());
}

void SpotHeight(IconCanvas& c) {
    c.Polygon({{8.0, 2.0}, {15.0, 14.0}, {1.0, 14.0}}, QColor(kDark));
    c.Polygon({{8.0, 4.6}, {12.9, 12.9}, {3.1, 12.9}}, QColor(kLand));
    c.Disc(8.0, 10.2, 1.4, QColor(Qt::white));
}

// Settlements, from the smallest (step 0) to the largest (step 15).
template <int step>
void Settlement(IconCanvas& c) {
    const double r = 2.3 + step * 0.36;
    const QColor dark(kDark);
    if (step < 5) {
        c.Disc(8, 8, r + 1.0);
        c.Disc(8, 8, r, dark);
    } else if (step < 11) {
        c.Disc(8, 8, r, dark);
        c.Disc(8, 8, r - 1.5);
        c.Disc(8, 8, 0.9 + (step - 5) * 0.2, dark);
    } else {
        c.Disc(8, 8, r, dark);
        c.Disc(8, 8, r - 1.3);
        c.Disc(8, 8, r - 2.6, dark);
        c.Disc(8, 8, r - 3.8, QColor(kRed));
    }
}

// ---- eating and drinking --------------------------------------------------------------------

void Restaurant(IconCanvas& c) {
    for (double x : {3.3, 5.2, 7.1}) {
        c.Rect(x - 0.5, 2.0, 1.0, 4.5);
    }
    c.RoundRect(2.8, 5.5, 4.8, 2.5, 1.0);
    c.Rect(4.3, 7.5, 1.8, 6.5);
    c.Polygon({{10.2, 2.0}, {12.8, 3.2}, {12.8, 8.5}, {10.2, 8.5}});
    c.Rect(10.5, 8.0, 1.9, 6.0);
}

void FastFood(IconCanvas& c) {
    QPainterPath bun;
    bun.moveTo(2.5, 7.0);
    bun.cubicTo(2.5, 1.5, 13.5, 1.5, 13.5, 7.0);
    bun.closeSubpath();
    c.Fill(bun);
    c.RoundRect(2.0, 8.2, 12.0, 1.8, 0.8);
    c.RoundRect(2.5, 11.0, 11.0, 2.8, 1.2);
}

void Pizza(IconCanvas& c) {
    QPainterPath slice;
    slice.moveTo(8.0, 14.5);
    slice.lineTo(2.2, 4.4);
    slice.quadTo(8.0, 1.0, 13.8, 4.4);
    slice.closeSubpath();
    c.Fill(slice);
    c.Line({{3.0, 4.9}, {8.0, 2.6}, {13.0, 4.9}}, 0.9, c.Hole());
    c.Disc(6.6, 6.8, 1.2, c.Hole());
    c.Disc(9.6, 7.4, 1.1, c.Hole());
    c.Disc(8.0, 10.6, 1.0, c.Hole());
}

void Cafe(IconCanvas& c) {
    Cup(c, 2.5, 6.0, 8.5, 12.5);
    c.Rect(1.5, 13.2, 12.0, 1.2);
    c.Line({{5.0, 4.5}, {5.8, 3.3}, {5.0, 1.8}}, 1.0);
    c.Line({{8.0, 4.5}, {8.8, 3.3}, {8.0, 1.8}}, 1.0);
}

void Bakery(IconCanvas& c) {
    QPainterPath loaf;
    loaf.moveTo(1.8, 12.5);
    loaf.lineTo(1.8, 9.0);
    loaf.cubicTo(1.8, 3.0, 14.2, 3.0, 14.2, 9.0);
    loaf.lineTo(14.2, 12.5);
    loaf.closeSubpath();
    c.Fill(loaf);
    for (double x : {5.0, 8.0, 11.0}) {
        c.Line({{x - 1.0, 9.5}, {x + 1.0, 6.0}}, 1.1, c.Hole());
    }
}

void IceCream(IconCanvas& c) {
    c.Polygon({{4.6, 7.5}, {11.4, 7.5}, {8.0, 15.0}});
    c.Line({{6.0, 9.0}, {9.6, 11.5}}, 0.8, c.Hole());
    c.Disc(8.0, 5.3, 3.4);
    c.Disc(8.0, 1.9, 1.0);
}

// A fish facing left, body centred at (cx, cy).
void Fish(IconCanvas& c, double cx, double cy) {
    c.Ellipse(cx - 1.5, cy, 4.5, 3.0);
    c.Polygon({{cx + 1.8, cy}, {cx + 6.0, cy - 3.6}, {cx + 6.0, cy + 3.6}});
    c.Disc(cx - 4.0, cy - 0.7, 0.8, c.Hole());
}

void Seafood(IconCanvas& c) {
    Fish(c, 7.5, 8.0);
}

void Grill(IconCanvas& c) {
    QPainterPath bowl;
    bowl.moveTo(2.0, 6.5);
    bowl.lineTo(14.0, 6.5);
    bowl.cubicTo(14.0, 12.0, 2.0, 12.0, 2.0, 6.5);
    c.Fill(bowl);
    c.Rect(1.5, 5.6, 13.0, 1.0);
    c.Line({{5.0, 10.5}, {3.5, 14.3}}, 1.3);
    c.Line({{11.0, 10.5}, {12.5, 14.3}}, 1.3);
    for (double x : {5.0, 8.0, 11.0}) {
        c.Line({{x, 4.2}, {x + 0.8, 3.0}, {x, 1.6}}, 1.0);
    }
}

void AsianFood(IconCanvas& c) {
    c.Line({{6.5, 7.0}, {13.5, 1.5}}, 1.2);
    c.Line({{8.5, 7.0}, {14.5, 3.2}}, 1.2);
    QPainterPath bowl;
    bowl.moveTo(1.8, 7.5);
    bowl.lineTo(14.2, 7.5);
    bowl.cubicTo(14.2, 12.0, 11.0, 13.0, 8.0, 13.0);
    bowl.cubicTo(5.0, 13.0, 1.8, 12.0, 1.8, 7.5);
    c.Fill(bowl);
    c.Rect(5.5, 13.0, 5.0, 1.3);
}

void Doughnut(IconCanvas& c) {
    c.Ring(8.0, 8.0, 4.3, 3.8);
    c.Line({{6.0, 3.9}, {7.0, 4.3}}, 0.9, c.Hole());
    c.Line({{11.5, 6.0}, {11.7, 7.0}}, 0.9, c.Hole());
    c.Line({{4.4, 9.5}, {4.8, 10.4}}, 0.9, c.Hole());
    c.Line({{9.5, 11.9}, {10.5, 11.5}}, 0.9, c.Hole());
}

// A leaf from bottom-left to top-right with its midrib cut out.
void Leaf(IconCanvas& c, QColor rib) {
    QPainterPath leaf;
    leaf.moveTo(3.0, 13.0);
    leaf.cubicTo(1.5, 6.0, 7.0, 2.0, 13.5, 2.5);
    leaf.cubicTo(14.0, 9.0, 10.0, 14.5, 3.0, 13.0);
    c.Fill(leaf);
    c.Line({{2.5, 14.0}, {10.5, 5.5}}, 1.1, rib);
}

void Vegetarian(IconCanvas& c) {
    Leaf(c, c.Hole());
}

void Bar(IconCanvas& c) {
    c.Polygon({{2.0, 2.5}, {14.0, 2.5}, {8.0, 8.8}});
    c.Rect(7.2, 8.0, 1.6, 4.8);
    c.RoundRect(4.5, 12.5, 7.0, 1.6, 0.7);
    c.Line({{10.5, 1.0}, {8.5, 5.0}}, 0.9, c.Hole());
    c.Disc(8.5, 5.0, 1.1, c.Hole());
}

void Pub(IconCanvas& c) {
    c.Ring(11.5, 8.5, 2.3, 1.5);
    c.RoundRect(3.0, 4.5, 8.0, 9.5, 1.0);
    c.Ellipse(4.5, 4.3, 1.8, 1.5);
    c.Ellipse(7.5, 3.6, 2.0, 1.8);
    c.Ellipse(10.0, 4.3, 1.6, 1.5);
    c.Rect(5.0, 7.5, 1.2, 5.0, c.Hole());
    c.Rect(7.8, 7.5, 1.2, 5.0, c.Hole());
}

void WineBar(IconCanvas& c) {
    QPainterPath bowl;
    bowl.moveTo(4.0, 2.0);
    bowl.lineTo(12.0, 2.0);
    bowl.cubicTo(12.5, 6.0, 11.0, 8.8, 8.0, 8.8);
    bowl.cubicTo(5.0, 8.8, 3.5, 6.0, 4.0, 2.0);
    c.Fill(bowl);
    c.Rect(4.6, 2.8, 6.8, 1.0, c.Hole());
    c.Rect(7.25, 8.5, 1.5, 4.3);
    c.RoundRect(4.5, 12.5, 7.0, 1.6, 0.7);
}

void Cake(IconCanvas& c) {
    c.RoundRect(2.5, 7.5, 11.0, 6.5, 1.0);
    c.Wave(2.8, 13.2, 10.0, 0.8, 3, 1.0, c.Hole());
    c.Rect(7.25, 3.8, 1.5, 3.7);
    Drop(c, 8.0, 0.6, 2.8, c.Ink());
}

// ---- lodging ---------------------------------------------------------------------------------

void Hotel(IconCanvas& c) {
    c.Rect(1.5, 3.5, 1.8, 11.0);
    c.Rect(1.5, 10.0, 13.0, 2.2);
    c.Rect(12.8, 10.0, 1.7, 4.5);
    c.RoundRect(3.8, 7.2, 3.2, 2.3, 1.0);
    c.RoundRect(7.5, 6.5, 7.0, 3.0, 1.2);
}

void GuestHouse(IconCanvas& c) {
    House(c, 1.5, 7.0, 14.0, 5.0);
    c.Rect(4.5, 9.0, 1.0, 3.8, c.Hole());
    c.Rect(4.5, 11.2, 7.2, 1.3, c.Hole());
    c.RoundRect(6.0, 9.6, 5.7, 1.4, 0.6, c.Hole());
}

void Hostel(IconCanvas& c) {
    c.Rect(2.0, 2.5, 1.6, 12.0);
    c.Rect(12.4, 2.5, 1.6, 12.0);
    c.Rect(2.0, 6.5, 12.0, 1.8);
    c.Rect(2.0, 12.0, 12.0, 1.8);
    c.RoundRect(4.3, 4.4, 3.0, 1.7, 0.7);
    c.RoundRect(4.3, 9.9, 3.0, 1.7, 0.7);
}

void Camping(IconCanvas& c) {
    c.Polygon({{8.0, 2.0}, {15.0, 13.5}, {1.0, 13.5}});
    c.Polygon({{8.0, 7.0}, {10.8, 13.5}, {5.2, 13.5}}, c.Hole());
    c.Line({{6.8, 1.0}, {9.5, 4.5}}, 1.0);
}

void Caravan(IconCanvas& c) {
    c.RoundRect(1.5, 3.5, 11.0, 8.0, 2.0);
    c.Rect(3.5, 5.5, 3.5, 2.5, c.Hole());
    c.Rect(8.5, 5.5, 2.5, 5.0, c.Hole());
    c.Line({{12.5, 10.5}, {14.8, 10.5}}, 1.2);
    c.Disc(6.0, 12.2, 2.2, c.Hole());
    c.Disc(6.0, 12.2, 1.6);
}

void Resort(IconCanvas& c) {
    // A palm tree.
    c.Line({{8.5, 14.5}, {8.0, 10.0}, {7.2, 6.0}}, 1.6);
    auto frond = [&](double x1, double y1, double cx, double cy) {
        QPainterPath path;
        path.moveTo(7.2, 5.5);
        path.quadTo(cx, cy - 1.2, x1, y1);
        path.quadTo(cx, cy + 0.6, 7.2, 5.5);
        c.Fill(path);
    };
    frond(14.5, 7.0, 11.0, 2.8);
    frond(1.0, 7.5, 4.0, 2.8);
    frond(12.0, 1.0, 9.5, 2.5);
    frond(3.0, 1.5, 5.0, 3.0);
    c.Rect(1.0, 14.0, 14.0, 1.0);
}

void Hut(IconCanvas& c) {
    c.Polygon({{8.0, 1.5}, {15.0, 8.0}, {1.0, 8.0}});
    c.Rect(11.0, 2.5, 1.8, 3.5);
    c.Rect(2.8, 7.5, 10.4, 6.5);
    for (double y : {9.2, 11.4}) {
        c.Rect(2.8, y, 10.4, 0.8, c.Hole());
    }
    c.Rect(6.8, 10.0, 2.4, 4.0, c.Hole());
}

void Apartment(IconCanvas& c) {
    // A key.
    c.Ring(4.5, 8.0, 2.6, 1.9);
    c.Rect(7.0, 7.0, 7.5, 2.0);
    c.Rect(10.5, 9.0, 1.6, 2.5);
    c.Rect(13.0, 9.0, 1.5, 3.0);
}

// ---- attractions and worship -----------------------------------------------------------------

void Attraction(IconCanvas& c) {
    Star(c, 8.0, 8.6, 7.0, c.Ink());
}

void ThemePark(IconCanvas& c) {
    c.Line({{8.0, 7.0}, {4.0, 14.5}}, 1.4);
    c.Line({{8.0, 7.0}, {12.0, 14.5}}, 1.4);
    c.Ring(8.0, 7.0, 4.8, 1.3);
    for (int i = 0; i < 4; ++i) {
        const double a = i * kPi / 4;
        c.Line({{8.0 - 4.8 * std::cos(a), 7.0 - 4.8 * std::sin(a)},
                {8.0 + 4.8 * std::cos(a), 7.0 + 4.8 * std::sin(a)}},
               0.8);
    }
    for (int i = 0; i < 8; ++i) {
        const double a = i * kPi / 4;
        c.Disc(8.0 + 4.8 * std::cos(a), 7.0 + 4.8 * std::sin(a), 1.1);
    }
}

// A classical front: pediment, three columns and a step.
void ColumnFront(IconCanvas& c) {
    c.Polygon({{8.0, 1.5}, {14.5, 5.0}, {1.5, 5.0}});
    c.Rect(2.0, 5.5, 12.0, 1.5);
    for (double x : {3.0, 6.9, 10.8}) {
        c.Rect(x, 7.5, 2.2, 4.5);
    }
    c.Rect(1.5, 12.4, 13.0, 2.0);
}

void Museum(IconCanvas& c) {
    ColumnFront(c);
}

void Library(IconCanvas& c) {
    c.Polygon({{1.5, 3.5}, {7.3, 4.8}, {7.3, 13.5}, {1.5, 12.2}});
    c.Polygon({{14.5, 3.5}, {8.7, 4.8}, {8.7, 13.5}, {14.5, 12.2}});
    for (double y : {6.8, 9.0}) {
        c.Line({{3.0, y}, {6.0, y + 0.7}}, 0.8, c.Hole());
        c.Line({{13.0, y}, {10.0, y + 0.7}}, 0.8, c.Hole());
    }
}

void Monument(IconCanvas& c) {
    c.Polygon({{8.0, 1.0}, {9.7, 3.5}, {10.3, 12.0}, {5.7, 12.0}, {6.3, 3.5}});
    c.Rect(3.5, 12.0, 9.0, 2.5);
}

void School(IconCanvas& c) {
    c.Polygon({{8.0, 2.5}, {15.0, 6.0}, {8.0, 9.5}, {1.0, 6.0}});
    QPainterPath cap;
    cap.moveTo(4.0, 8.0);
    cap.lineTo(4.0, 11.0);
    cap.quadTo(8.0, 14.0, 12.0, 11.0);
    cap.lineTo(12.0, 8.0);
    cap.lineTo(8.0, 10.0);
    cap.closeSubpath();
    c.Fill(cap);
    c.Line({{13.5, 6.5}, {13.5, 11.5}}, 1.0);
    c.Disc(13.5, 12.0, 1.0);
}

void Park(IconCanvas& c) {
    Tree(c, 5.0, 6.0, 3.6, 14.0);
    c.Rect(9.0, 8.0, 5.5, 1.3);
    c.Rect(9.0, 10.4, 5.5, 1.4);
    c.Rect(9.6, 11.5, 1.1, 2.5);
    c.Rect(12.8, 11.5, 1.1, 2.5);
    c.Rect(1.0, 14.0, 14.0, 1.0);
}

void Zoo(IconCanvas& c) {
    c.Ellipse(8.0, 10.8, 3.6, 3.0);
    c.Disc(3.6, 6.8, 1.6);
    c.Disc(6.4, 4.0, 1.6);
    c.Disc(9.6, 4.0, 1.6);
    c.Disc(12.4, 6.8, 1.6);
}

void Aquarium(IconCanvas& c) {
    Fish(c, 7.5, 6.0);
    c.Wave(1.5, 14.5, 12.5, 1.0, 2, 1.5);
}

void Stadium(IconCanvas& c) {
    c.Ellipse(8.0, 8.0, 6.8, 5.0);
    c.Ellipse(8.0, 8.0, 4.4, 2.8, c.Hole());
    c.Rect(7.5, 5.2, 1.0, 5.6);
}

void ConcertHall(IconCanvas& c) {
    c.Polygon({{5.0, 3.2}, {13.0, 1.5}, {13.0, 4.0}, {5.0, 5.7}});
    c.Rect(5.0, 4.0, 1.4, 8.0);
    c.Rect(11.6, 2.5, 1.4, 8.5);
    c.Ellipse(4.0, 12.0, 2.3, 1.8);
    c.Ellipse(10.6, 11.0, 2.3, 1.8);
}

void Winery(IconCanvas& c) {
    c.Line({{8.0, 4.0}, {8.5, 1.2}}, 1.0);
    c.Ellipse(11.0, 2.6, 2.2, 1.2);
    for (double x : {4.6, 8.0, 11.4}) {
        c.Disc(x, 6.0, 1.7);
    }
    c.Disc(6.3, 9.0, 1.7);
    c.Disc(9.7, 9.0, 1.7);
    c.Disc(8.0, 12.0, 1.7);
}

void Church(IconCanvas& c) {
    c.Rect(7.25, 0.8, 1.5, 4.0);
    c.Rect(5.8, 1.9, 4.4, 1.3);
    c.Polygon({{8.0, 4.5}, {14.0, 9.0}, {2.0, 9.0}});
    c.Rect(3.5, 8.5, 9.0, 6.0);
    QPainterPath door;
    door.moveTo(6.6, 14.5);
    door.lineTo(6.6, 11.6);
    door.arcTo(QRectF(6.6, 10.2, 2.8, 2.8), 180.0, -180.0);
    door.lineTo(9.4, 14.5);
    door.closeSubpath();
    c.Fill(door, c.Hole());
}

void Mosque(IconCanvas& c) {
    QPainterPath moon;
    moon.addEllipse(QPointF(7.0, 8.0), 5.8, 5.8);
    QPainterPath bite;
    bite.addEllipse(QPointF(9.0, 7.0), 4.8, 4.8);
    c.Fill(moon.subtracted(bite));
    Star(c, 11.0, 8.2, 2.8, c.Ink());
}

void Synagogue(IconCanvas& c) {
    c.Line({{8.0, 1.5}, {13.8, 11.5}, {2.2, 11.5}, {8.0, 1.5}}, 1.5);
    c.Line({{8.0, 14.5}, {2.2, 4.5}, {13.8, 4.5}, {8.0, 14.5}}, 1.5);
}

void Temple(IconCanvas& c) {
    c.Rect(7.4, 0.8, 1.2, 2.5);
    c.Polygon({{5.0, 3.0}, {11.0, 3.0}, {13.5, 5.5}, {2.5, 5.5}});
    c.Rect(5.5, 5.5, 5.0, 2.5);
    c.Polygon({{3.5, 8.0}, {12.5, 8.0}, {15.0, 10.5}, {1.0, 10.5}});
    c.Rect(4.0, 10.5, 8.0, 4.0);
    c.Rect(6.9, 11.5, 2.2, 3.0, c.Hole());
}

void Shrine(IconCanvas& c) {
    c.Rect(7.0, 1.5, 2.0, 10.5);
    c.Rect(3.5, 4.0, 9.0, 2.0);
    c.Polygon({{5.0, 12.0}, {11.0, 12.0}, {12.0, 14.5}, {4.0, 14.5}});
}

void HotSpring(IconCanvas& c) {
    for (double x : {4.5, 8.0, 11.5}) {
        c.Line({{x, 8.0}, {x + 1.2, 6.3}, {x, 4.5}, {x + 1.2, 2.8}, {x, 1.2}}, 1.2);
    }
    QPainterPath pool;
    pool.moveTo(1.5, 10.0);
    pool.lineTo(14.5, 10.0);
    pool.quadTo(14.5, 14.5, 8.0, 14.5);
    pool.quadTo(1.5, 14.5, 1.5, 10.0);
    c.Fill(pool);
}

void Castle(IconCanvas& c) {
    c.Rect(3.0, 6.0, 10.0, 8.5);
    for (double x : {3.0, 6.8, 10.6}) {
        c.Rect(x, 2.5, 2.4, 4.0);
    }
    QPainterPath gate;
    gate.moveTo(6.4, 14.5);
    gate.lineTo(6.4, 11.0);
    gate.arcTo(QRectF(6.4, 9.4, 3.2, 3.2), 180.0, -180.0);
    gate.lineTo(9.6, 14.5);
    gate.closeSubpath();
    c.Fill(gate, c.Hole());
}

void Ruins(IconCanvas& c) {
    c.Polygon({{2.5, 3.5}, {10.5, 3.5}, {9.5, 5.2}, {2.5, 5.2}});
    c.Rect(3.0, 5.8, 2.4, 7.5);
    c.Polygon({{7.0, 7.8}, {9.4, 7.0}, {9.4, 13.3}, {7.0, 13.3}});
    c.Polygon({{11.0, 11.0}, {14.0, 10.3}, {14.5, 13.3}, {11.3, 13.3}});
    c.Rect(1.5, 13.3, 13.0, 1.4);
}

void Memorial(IconCanvas& c) {
    QPainterPath stone;
    stone.moveTo(4.0, 12.5);
    stone.lineTo(4.0, 5.5);
    stone.arcTo(QRectF(4.0, 1.5, 8.0, 8.0), 180.0, -180.0);
    stone.lineTo(12.0, 12.5);
    stone.closeSubpath();
    c.Fill(stone);
    c.Rect(2.5, 12.5, 11.0, 2.0);
    c.Rect(6.0, 6.0, 4.0, 1.0, c.Hole());
    c.Rect(6.0, 8.3, 4.0, 1.0, c.Hole());
}

void Artwork(IconCanvas& c) {
    QPainterPath palette;
    palette.addEllipse(QPointF(8.0, 8.0), 6.5, 5.5);
    QPainterPath thumb;
    thumb.addEllipse(QPointF(10.5, 10.8), 1.5, 1.3);
    c.Fill(palette.subtracted(thumb));
    c.Disc(4.8, 7.0, 1.2, QColor(kRed));
    c.Disc(7.5, 4.5, 1.2, QColor(kWarning));
    c.Disc(11.0, 5.0, 1.2, QColor(kWater));
    c.Disc(5.5, 10.5, 1.2, QColor(kLeisure));
}

// ---- entertainment, sport and recreation -----------------------------------------------------

void Entertainment(IconCanvas& c) {
    // A ticket.
    c.RoundRect(1.5, 4.0, 13.0, 8.0, 1.0);
    c.Disc(1.5, 8.0, 1.6, c.Hole());
    c.Disc(14.5, 8.0, 1.6, c.Hole());
    for (double y : {4.8, 6.8, 8.8, 10.8}) {
        c.Rect(10.5, y, 0.9, 1.0, c.Hole());
    }
    Star(c, 6.2, 8.2, 2.6, c.Hole());
}

void Theatre(IconCanvas& c) {
    QPainterPath mask;
    mask.moveTo(2.5, 2.5);
    mask.quadTo(8.0, 4.0, 13.5, 2.5);
    mask.cubicTo(14.0, 10.0, 11.0, 14.5, 8.0, 14.5);
    mask.cubicTo(5.0, 14.5, 2.0, 10.0, 2.5, 2.5);
    c.Fill(mask);
    c.Ellipse(5.6, 6.6, 1.5, 1.1, c.Hole());
    c.Ellipse(10.4, 6.6, 1.5, 1.1, c.Hole());
    QPainterPath smile;
    smile.moveTo(4.8, 9.5);
    smile.quadTo(8.0, 13.8, 11.2, 9.5);
    smile.quadTo(8.0, 11.2, 4.8, 9.5);
    c.Fill(smile, c.Hole());
}

void Nightclub(IconCanvas& c) {
    c.Line({{8.0, 0.8}, {8.0, 3.5}}, 1.0);
    c.Disc(8.0, 9.0, 5.6);
    c.Line({{2.6, 9.0}, {13.4, 9.0}}, 0.8, c.Hole());
    c.Line({{3.6, 6.0}, {12.4, 6.0}}, 0.8, c.Hole());
    c.Line({{3.6, 12.0}, {12.4, 12.0}}, 0.8, c.Hole());
    c.Line({{8.0, 3.4}, {8.0, 14.6}}, 0.8, c.Hole());
    c.Line({{5.0, 4.2}, {5.0, 13.8}}, 0.8, c.Hole());
    c.Line({{11.0, 4.2}, {11.0, 13.8}}, 0.8, c.Hole());
}

void Cinema(IconCanvas& c) {
    c.Polygon({{1.8, 4.3}, {13.5, 1.5}, {14.0, 3.8}, {2.3, 6.6}});
    c.Polygon({{4.8, 3.6}, {7.3, 3.0}, {5.8, 5.8}, {3.3, 6.4}}, c.Hole());
    c.Polygon({{9.6, 2.5}, {12.1, 1.9}, {10.6, 4.7}, {8.1, 5.3}}, c.Hole());
    c.Rect(2.0, 7.2, 12.0, 7.0);
    c.Rect(3.2, 8.3, 2.4, 1.3, c.Hole());
    c.Rect(7.0, 8.3, 2.4, 1.3, c.Hole());
    c.Rect(10.8, 8.3, 2.4, 1.3, c.Hole());
}

void Casino(IconCanvas& c) {
    c.RoundRect(2.5, 2.5, 11.0, 11.0, 2.2);
    for (const QPointF& pip : {QPointF(5.2, 5.2), QPointF(10.8, 5.2), QPointF(8.0, 8.0),
                               QPointF(5.2, 10.8), QPointF(10.8, 10.8)}) {
        c.Disc(pip.x(), pip.y(), 1.25, c.Hole());
    }
}

void Golf(IconCanvas& c) {
    c.Ellipse(7.0, 13.0, 5.5, 1.6);
    c.Ellipse(7.0, 13.0, 1.4, 0.6, c.Hole());
    c.Rect(6.3, 1.5, 1.4, 11.5);
    c.Polygon({{7.7, 1.5}, {14.0, 4.2}, {7.7, 7.0}});
    c.Disc(12.5, 10.5, 1.3);
}

void Skiing(IconCanvas& c) {
    c.Disc(10.5, 2.8, 1.7);
    c.Line({{10.0, 5.5}, {7.5, 8.0}, {9.5, 9.8}, {8.5, 11.8}}, 1.6);
    c.Line({{7.5, 8.0}, {5.0, 10.5}}, 1.6);
    c.Line({{9.8, 5.8}, {12.5, 7.8}}, 1.2);
    c.Line({{1.5, 10.5}, {13.5, 14.2}, {14.5, 13.2}}, 1.2);
}

void Bowling(IconCanvas& c) {
    c.Disc(4.8, 3.0, 1.6);
    QPainterPath pin;
    pin.moveTo(4.2, 4.4);
    pin.lineTo(5.4, 4.4);
    pin.cubicTo(8.6, 7.5, 7.5, 12.5, 6.4, 14.0);
    pin.lineTo(3.2, 14.0);
    pin.cubicTo(2.1, 12.5, 1.0, 7.5, 4.2, 4.4);
    c.Fill(pin);
    c.Rect(3.3, 5.8, 3.0, 0.8, c.Hole());
    c.Disc(11.0, 10.5, 3.6);
    c.Disc(10.0, 9.3, 0.7, c.Hole());
    c.Disc(12.1, 9.3, 0.7, c.Hole());
    c.Disc(11.0, 11.3, 0.7, c.Hole());
}

void IceSkating(IconCanvas& c) {
    c.Polygon({{4.0, 1.5}, {8.5, 1.5}, {8.8, 7.0}, {12.8, 8.5}, {13.3, 11.0}, {4.0, 11.0}});
    c.Rect(5.0, 11.0, 1.2, 2.2);
    c.Rect(10.8, 11.0, 1.2, 2.2);
    c.Line({{2.5, 13.8}, {13.0, 13.8}, {14.5, 12.3}}, 1.3);
}

void Swimming(IconCanvas& c) {
    c.Disc(11.5, 4.5, 1.8);
    c.Line({{2.5, 7.8}, {6.5, 5.5}, {9.5, 8.5}}, 1.6);
    c.Wave(1.5, 14.5, 10.5, 1.0, 2, 1.5);
    c.Wave(1.5, 14.5, 13.5, 1.0, 2, 1.5);
}

void Fitness(IconCanvas& c) {
    c.Rect(4.0, 7.2, 8.0, 1.6);
    c.RoundRect(3.0, 3.5, 2.4, 9.0, 0.6);
    c.RoundRect(10.6, 3.5, 2.4, 9.0, 0.6);
    c.RoundRect(1.0, 5.5, 2.0, 5.0, 0.6);
    c.RoundRect(13.0, 5.5, 2.0, 5.0, 0.6);
}

void Playground(IconCanvas& c) {
    c.Rect(1.5, 2.5, 13.0, 1.6);
    c.Line({{3.0, 3.5}, {1.5, 14.5}}, 1.3);
    c.Line({{13.0, 3.5}, {14.5, 14.5}}, 1.3);
    c.Rect(5.3, 4.0, 0.9, 6.5);
    c.Rect(9.8, 4.0, 0.9, 6.5);
    c.RoundRect(4.5, 10.2, 7.0, 1.8, 0.6);
}

void Tennis(IconCanvas& c) {
    c.Line({{8.5, 9.5}, {13.5, 14.5}}, 1.8);
    c.Ellipse(6.0, 6.0, 4.6, 4.6);
    c.Ellipse(6.0, 6.0, 3.3, 3.3, c.Hole());
    for (double d : {-1.6, 0.0, 1.6}) {
        c.Line({{6.0 + d, 2.9}, {6.0 + d, 9.1}}, 0.6);
        c.Line({{2.9, 6.0 + d}, {9.1, 6.0 + d}}, 0.6);
    }
    c.Disc(13.0, 3.5, 1.5);
}

void Football(IconCanvas& c) {
    c.Disc(8.0, 8.0, 6.3);
    QPainterPath patch;
    for (int i = 0; i < 5; ++i) {
        const double a = -kPi / 2 + i * 2 * kPi / 5;
        const QPointF point(8.0 + 2.3 * std::cos(a), 8.0 + 2.3 * std::sin(a));
        if (i == 0) {
            patch.moveTo(point);
        } else {
            patch.lineTo(point);
        }
        c.Line({point, QPointF(8.0 + 5.6 * std::cos(a), 8.0 + 5.6 * std::sin(a))}, 0.9, c.Hole());
    }
    patch.closeSubpath();
    c.Fill(patch, c.Hole());
}

void Bicycle(IconCanvas& c) {
    c.Ring(4.0, 10.5, 2.8, 1.3);
    c.Ring(12.0, 10.5, 2.8, 1.3);
    c.Line({{4.0, 10.5}, {6.5, 5.5}, {11.0, 5.5}, {12.0, 10.5}}, 1.2);
    c.Line({{6.5, 5.5}, {8.0, 10.5}, {4.0, 10.5}}, 1.2);
    c.Line({{8.0, 10.5}, {11.0, 5.5}}, 1.2);
    c.Line({{5.0, 3.8}, {7.5, 3.8}}, 1.3);
    c.Line({{10.5, 5.5}, {10.0, 3.0}, {12.0, 3.0}}, 1.2);
}

void Riding(IconCanvas& c) {
    QPainterPath shoe;
    shoe.moveTo(3.5, 13.5);
    shoe.cubicTo(0.5, 7.0, 3.0, 2.0, 8.0, 2.0);
    shoe.cubicTo(13.0, 2.0, 15.5, 7.0, 12.5, 13.5);
    c.Stroke(shoe, 3.0);
    for (const QPointF& nail :
         {QPointF(3.6, 10.0), QPointF(4.0, 5.6), QPointF(12.0, 5.6), QPointF(12.4, 10.0)}) {
        c.Disc(nail.x(), nail.y(), 0.6, c.Hole());
    }
}

void Marina(IconCanvas& c) {
    c.Polygon({{1.5, 10.5}, {14.5, 10.5}, {12.0, 13.8}, {4.0, 13.8}});
    c.Rect(7.3, 1.5, 1.4, 9.0);
    c.Polygon({{9.2, 2.0}, {13.8, 9.5}, {9.2, 9.5}});
    c.Polygon({{6.8, 3.5}, {6.8, 9.5}, {2.6, 9.5}});
}

void Slipway(IconCanvas& c) {
    c.Polygon({{1.0, 12.5}, {15.0, 5.0}, {15.0, 8.0}, {6.5, 12.5}});
    c.Polygon({{3.5, 8.4}, {12.5, 3.6}, {11.6, 6.6}, {6.2, 9.5}});
    c.Wave(1.0, 9.0, 14.3, 0.7, 2, 1.2);
}

void Fishing(IconCanvas& c) {
    c.Ring(10.0, 2.6, 1.2, 1.0);
    QPainterPath hook;
    hook.moveTo(10.0, 3.8);
    hook.lineTo(10.0, 10.0);
    hook.arcTo(QRectF(4.0, 7.0, 6.0, 6.0), 0.0, -180.0);
    hook.lineTo(4.0, 8.0);
    c.Stroke(hook, 1.8);
    c.Polygon({{3.0, 9.0}, {4.0, 6.2}, {5.6, 8.8}});
}

void Diving(IconCanvas& c) {
    c.Polygon({{1.0, 3.2}, {3.2, 1.0}, {15.0, 12.8}, {12.8, 15.0}});
}

void Beach(IconCanvas& c) {
    QPainterPath canopy;
    canopy.moveTo(1.5, 8.0);
    canopy.cubicTo(2.0, 1.5, 14.0, 1.5, 14.5, 8.0);
    canopy.closeSubpath();
    c.Fill(canopy);
    c.Ellipse(4.7, 8.0, 3.2, 1.2, c.Hole());
    c.Ellipse(11.3, 8.0, 3.2, 1.2, c.Hole());
    c.Line({{8.0, 6.0}, {9.2, 14.0}}, 1.3);
    c.Rect(1.0, 13.8, 14.0, 1.2);
}

void SkiLift(IconCanvas& c) {
    c.Line({{0.8, 3.8}, {15.2, 1.2}}, 1.0);
    c.Line({{8.0, 2.6}, {8.0, 5.5}}, 1.2);
    c.RoundRect(3.5, 5.5, 9.0, 8.5, 1.8);
    c.Rect(4.8, 7.0, 2.7, 3.0, c.Hole());
    c.Rect(8.5, 7.0, 2.7, 3.0, c.Hole());
}

void Hiking(IconCanvas& c) {
    c.Disc(8.8, 2.4, 1.6);
    c.RoundRect(9.5, 4.8, 2.8, 4.0, 0.8);
    c.Line({{8.5, 4.8}, {7.6, 9.0}}, 2.0);
    c.Line({{7.6, 9.0}, {5.0, 14.5}}, 1.6);
    c.Line({{7.6, 9.0}, {9.8, 14.5}}, 1.6);
    c.Line({{7.9, 6.0}, {5.5, 8.5}}, 1.2);
    c.Line({{13.5, 5.5}, {13.0, 14.5}}, 1.0);
}

// ---- shopping --------------------------------------------------------------------------------

void Shop(IconCanvas& c) {
    Bag(c, 3.0, 5.5, 10.0, 14.0, c.Ink());
}

void DepartmentStore(IconCanvas& c) {
    c.Rect(2.0, 3.0, 12.0, 11.5);
    c.Rect(1.5, 2.0, 13.0, 1.6);
    for (double y : {4.8, 8.0}) {
        for (double x : {3.5, 7.0, 10.5}) {
            c.Rect(x, y, 2.0, 2.0, c.Hole());
        }
    }
    c.Rect(6.6, 11.0, 2.8, 3.5, c.Hole());
}

void Supermarket(IconCanvas& c) {
    c.Line({{0.8, 2.8}, {3.2, 2.8}, {5.2, 10.5}, {12.5, 10.5}}, 1.3);
    c.Polygon({{4.0, 4.5}, {14.5, 4.5}, {13.0, 9.3}, {5.2, 9.3}});
    c.Disc(6.2, 13.0, 1.5);
    c.Disc(11.8, 13.0, 1.5);
}

void Mall(IconCanvas& c) {
    Bag(c, 1.5, 4.5, 8.0, 11.5, c.Ink());
    Bag(c, 6.0, 7.5, 8.5, 14.5, c.Hole());
    Bag(c, 7.0, 8.5, 7.0, 14.0, c.Ink());
}

void Pharmacy(IconCanvas& c) {
    Plus(c, 2.5, 13.5, 4.0, c.Ink());
}

void Convenience(IconCanvas& c) {
    Awning(c, 1.5, 14.5, 2.0);
    c.Rect(2.5, 6.5, 11.0, 8.0);
    c.Rect(4.0, 8.0, 3.5, 3.0, c.Hole());
    c.Rect(9.0, 8.0, 3.0, 6.5, c.Hole());
}

void Clothes(IconCanvas& c) {
    c.Polygon({{5.5, 2.0},
               {10.5, 2.0},
               {15.0, 5.2},
               {13.0, 8.3},
               {11.5, 7.5},
               {11.5, 14.2},
               {4.5, 14.2},
               {4.5, 7.5},
               {3.0, 8.3},
               {1.0, 5.2}});
    c.Ellipse(8.0, 2.0, 2.2, 1.6, c.Hole());
}

void Garden(IconCanvas& c) {
    // A watering can.
    c.Polygon({{3.5, 6.5}, {10.5, 6.5}, {11.0, 14.0}, {3.0, 14.0}});
    c.Line({{10.5, 10.0}, {14.0, 5.0}}, 1.5);
    c.Polygon({{12.6, 4.6}, {15.0, 3.0}, {15.3, 6.2}});
    QPainterPath handle;
    handle.moveTo(4.5, 6.8);
    handle.cubicTo(4.5, 1.8, 9.5, 1.8, 9.5, 6.8);
    c.Stroke(handle, 1.3);
}

void Hardware(IconCanvas& c) {
    // A hammer, head up and to the left.
    QPainter& painter = c.Painter();
    painter.save();
    painter.translate(8.0, 8.0);
    painter.rotate(-40.0);
    painter.translate(-8.0, -8.0);
    c.RoundRect(7.0, 4.5, 2.2, 11.0, 0.8);
    c.Polygon({{3.0, 2.0}, {11.0, 2.0}, {13.5, 3.5}, {11.0, 5.2}, {3.0, 5.2}});
    painter.restore();
}

void Furniture(IconCanvas& c) {
    c.RoundRect(4.0, 3.0, 8.0, 6.5, 1.5);
    c.RoundRect(1.5, 6.0, 3.0, 6.5, 1.0);
    c.RoundRect(11.5, 6.0, 3.0, 6.5, 1.0);
    c.Rect(4.0, 9.0, 8.0, 3.5);
    c.Rect(2.5, 12.0, 1.3, 2.5);
    c.Rect(12.2, 12.0, 1.3, 2.5);
}

void Gift(IconCanvas& c) {
    c.Rect(2.5, 7.5, 11.0, 7.0);
    c.Rect(1.5, 5.0, 13.0, 2.8);
    c.Rect(7.2, 5.0, 1.6, 9.5, c.Hole());
    c.Rect(1.5, 7.8, 13.0, 0.8, c.Hole());
    c.Ring(5.8, 3.2, 1.6, 1.2);
    c.Ring(10.2, 3.2, 1.6, 1.2);
}

void Electronics(IconCanvas& c) {
    c.RoundRect(1.5, 2.0, 13.0, 9.0, 1.0);
    c.Rect(3.0, 3.5, 10.0, 6.0, c.Hole());
    c.Rect(7.0, 11.0, 2.0, 1.8);
    c.RoundRect(4.0, 12.6, 8.0, 1.8, 0.7);
}

void Books(IconCanvas& c) {
    c.RoundRect(2.0, 9.5, 12.0, 4.5, 0.8);
    c.RoundRect(3.5, 4.5, 10.0, 4.5, 0.8);
    c.Rect(3.2, 11.3, 9.6, 0.8, c.Hole());
    c.Rect(4.7, 6.3, 7.8, 0.8, c.Hole());
    c.Rect(5.0, 1.8, 6.5, 2.3);
}

void Florist(IconCanvas& c) {
    c.Rect(7.25, 7.0, 1.5, 7.5);
    QPainterPath leaf;
    leaf.moveTo(8.0, 12.5);
    leaf.quadTo(9.5, 8.5, 13.5, 9.0);
    leaf.quadTo(12.0, 12.5, 8.0, 12.5);
    c.Fill(leaf);
    for (int i = 0; i < 5; ++i) {
        const double a = -kPi / 2 + i * 2 * kPi / 5;
        c.Disc(8.0 + 2.5 * std::cos(a), 5.2 + 2.5 * std::sin(a), 1.9);
    }
    c.Disc(8.0, 5.2, 1.4, c.Hole());
}

void Hairdresser(IconCanvas& c) {
    c.Ring(4.5, 11.5, 2.1, 1.3);
    c.Ring(11.5, 11.5, 2.1, 1.3);
    c.Line({{5.8, 9.8}, {12.0, 1.5}}, 1.6);
    c.Line({{10.2, 9.8}, {4.0, 1.5}}, 1.6);
}

void Market(IconCanvas& c) {
    Awning(c, 1.0, 15.0, 1.5);
    c.Rect(2.0, 6.0, 1.3, 8.5);
    c.Rect(12.7, 6.0, 1.3, 8.5);
    c.Rect(1.5, 10.5, 13.0, 1.6);
    c.Disc(5.5, 9.3, 1.3);
    c.Disc(8.3, 9.3, 1.3);
    c.Disc(11.0, 9.3, 1.3);
}

// ---- car, services and money -----------------------------------------------------------------

void Fuel(IconCanvas& c) {
    c.RoundRect(2.5, 2.0, 7.5, 12.0, 1.0);
    c.Rect(4.0, 3.5, 4.5, 3.0, c.Hole());
    c.Rect(1.5, 13.0, 9.5, 1.5);
    c.Line({{10.0, 5.5}, {12.8, 7.0}, {12.8, 11.5}, {11.5, 12.0}, {11.0, 10.0}}, 1.2);
    c.Rect(12.0, 4.0, 1.6, 3.0);
}

void CarRental(IconCanvas& c) {
    c.Ring(4.0, 3.2, 1.8, 1.3);
    c.Rect(5.5, 2.6, 8.0, 1.3);
    c.Rect(10.5, 3.8, 1.2, 1.5);
    c.Rect(12.5, 3.8, 1.2, 1.8);
    CarFront(c, 7.0, 5.5);
}

void CarRepair(IconCanvas& c) {
    c.Line({{3.0, 13.0}, {9.0, 7.0}}, 2.6);
    QPainterPath head;
    head.addEllipse(QPointF(10.8, 5.2), 3.6, 3.6);
    QPainterPath jaw;
    jaw.moveTo(11.0, 5.0);
    jaw.lineTo(13.2, 0.5);
    jaw.lineTo(16.0, 3.0);
    jaw.closeSubpath();
    c.Fill(head.subtracted(jaw));
}

void PostOffice(IconCanvas& c) {
    c.Rect(1.5, 3.5, 13.0, 9.0);
    c.Line({{2.2, 4.2}, {8.0, 9.0}, {13.8, 4.2}}, 1.2, c.Hole());
}

void Bank(IconCanvas& c) {
    c.Rect(1.5, 4.0, 13.0, 8.0);
    c.Ring(8.0, 8.0, 2.2, 1.2, c.Hole());
    c.Disc(3.8, 6.2, 0.8, c.Hole());
    c.Disc(12.2, 9.8, 0.8, c.Hole());
}

void CashMachine(IconCanvas& c) {
    c.RoundRect(1.5, 2.0, 13.0, 3.5, 0.8);
    c.Rect(3.0, 3.2, 10.0, 1.2, c.Hole());
    c.Rect(4.5, 4.0, 7.0, 10.5);
    c.Ring(8.0, 9.5, 1.7, 1.0, c.Hole());
}

void CarDealer(IconCanvas& c) {
    CarFront(c, 4.0, 6.5);
}

void Parking(IconCanvas& c) {
    QPainterPath letter;
    letter.moveTo(4.0, 14.0);
    letter.lineTo(4.0, 2.0);
    letter.lineTo(8.5, 2.0);
    letter.arcTo(QRectF(5.5, 2.0, 7.0, 7.0), 90.0, -180.0);
    letter.lineTo(6.8, 9.0);
    letter.lineTo(6.8, 14.0);
    letter.closeSubpath();
    QPainterPath bowl;
    bowl.moveTo(6.8, 4.4);
    bowl.lineTo(8.7, 4.4);
    bowl.arcTo(QRectF(7.6, 4.4, 2.2, 2.2), 90.0, -180.0);
    bowl.lineTo(6.8, 6.6);
    bowl.closeSubpath();
    c.Fill(letter.subtracted(bowl));
}

void CarWash(IconCanvas& c) {
    CarFront(c, 7.0, 5.5);
    for (double x : {4.5, 8.0, 11.5}) {
        Drop(c, x, 1.0, 4.0, c.Ink());
    }
}

void Towing(IconCanvas& c) {
    c.Rect(1.5, 8.0, 8.5, 3.5);
    c.Polygon({{10.0, 5.0}, {13.0, 5.0}, {14.5, 8.0}, {14.5, 11.5}, {10.0, 11.5}});
    c.Rect(11.0, 6.0, 2.0, 2.0, c.Hole());
    c.Line({{4.0, 8.0}, {2.0, 3.0}, {1.5, 6.5}}, 1.2);
    c.Disc(4.0, 12.3, 1.8, c.Hole());
    c.Disc(4.0, 12.3, 1.3);
    c.Disc(12.0, 12.3, 1.8, c.Hole());
    c.Disc(12.0, 12.3, 1.3);
}

void Business(IconCanvas& c) {
    c.Line({{5.8, 5.0}, {5.8, 3.0}, {10.2, 3.0}, {10.2, 5.0}}, 1.3);
    c.RoundRect(1.5, 5.0, 13.0, 8.5, 1.2);
    c.Rect(1.5, 8.5, 13.0, 0.9, c.Hole());
    c.Rect(7.0, 8.0, 2.0, 2.0);
}

void Communication(IconCanvas& c) {
    c.Line({{8.0, 6.0}, {5.0, 14.5}}, 1.3);
    c.Line({{8.0, 6.0}, {11.0, 14.5}}, 1.3);
    c.Line({{6.2, 11.0}, {9.8, 11.0}}, 1.0);
    c.Disc(8.0, 5.5, 1.5);
    for (double r : {3.0, 5.5}) {
        QPainterPath left;
        left.arcMoveTo(QRectF(8.0 - r, 5.5 - r, 2 * r, 2 * r), 140.0);
        left.arcTo(QRectF(8.0 - r, 5.5 - r, 2 * r, 2 * r), 140.0, 80.0);
        c.Stroke(left, 1.1);
        QPainterPath right;
        right.arcMoveTo(QRectF(8.0 - r, 5.5 - r, 2 * r, 2 * r), -40.0);
        right.arcTo(QRectF(8.0 - r, 5.5 - r, 2 * r, 2 * r), -40.0, 80.0);
        c.Stroke(right, 1.1);
    }
}

// A lightning bolt, `s` times the full size, centred at (cx, cy).
void Bolt(IconCanvas& c, double cx, double cy, double s, QColor color) {
    auto p = [&](double x, double y) { return QPointF(cx + (x - 8.0) * s, cy + (y - 8.0) * s); };
    c.Polygon({p(10.0, 1.0), p(3.5, 9.0), p(7.5, 9.0), p(5.5, 15.0), p(12.5, 6.5), p(8.5, 6.5),
               p(11.0, 1.0)},
              color);
}

void Utility(IconCanvas& c) {
    Bolt(c, 8.0, 8.0, 1.0, c.Ink());
}

void TruckStop(IconCanvas& c) {
    c.Rect(1.0, 3.5, 9.0, 8.0);
    c.Polygon({{10.5, 5.5}, {13.0, 5.5}, {15.0, 8.5}, {15.0, 11.5}, {10.5, 11.5}});
    c.Rect(11.5, 6.5, 1.8, 2.0, c.Hole());
    for (double x : {3.5, 6.5, 12.8}) {
        c.Disc(x, 12.3, 1.8, c.Hole());
        c.Disc(x, 12.3, 1.3);
    }
}

void Charging(IconCanvas& c) {
    c.RoundRect(2.0, 2.0, 8.0, 12.0, 1.0);
    c.Rect(1.0, 13.0, 10.0, 1.5);
    Bolt(c, 6.0, 7.8, 0.55, c.Hole());
    c.Line({{10.0, 9.0}, {12.8, 9.5}, {12.8, 4.5}}, 1.2);
    c.RoundRect(11.7, 2.0, 2.2, 3.0, 0.5);
}

// ---- transport -------------------------------------------------------------------------------

void Airport(IconCanvas& c) {
    Plane(c, 8.0, 8.0, 1.0);
}

void Airfield(IconCanvas& c) {
    Plane(c, 8.0, 6.3, 0.75);
    c.Rect(1.5, 12.5, 13.0, 2.0);
    c.Rect(3.0, 13.2, 2.0, 0.6, c.Hole());
    c.Rect(7.0, 13.2, 2.0, 0.6, c.Hole());
    c.Rect(11.0, 13.2, 2.0, 0.6, c.Hole());
}

// A bold letter H, `top` to `bottom`, from x0 to x1.
void LetterH(IconCanvas& c, double x0, double x1, double top, double bottom, double stroke) {
    c.Rect(x0, top, stroke, bottom - top);
    c.Rect(x1 - stroke, top, stroke, bottom - top);
    c.Rect(x0, (top + bottom - stroke) / 2, x1 - x0, stroke);
}

void Heliport(IconCanvas& c) {
    c.Ring(8.0, 8.0, 6.0, 1.3);
    LetterH(c, 5.0, 11.0, 4.5, 11.5, 2.0);
}

void Bus(IconCanvas& c) {
    c.RoundRect(3.0, 1.5, 10.0, 11.0, 2.0);
    c.Rect(4.2, 3.5, 7.6, 4.5, c.Hole());
    c.Disc(5.2, 10.2, 0.9, c.Hole());
    c.Disc(10.8, 10.2, 0.9, c.Hole());
    c.Rect(3.8, 12.0, 2.2, 2.5);
    c.Rect(10.0, 12.0, 2.2, 2.5);
    c.Rect(1.8, 3.5, 1.2, 2.5);
    c.Rect(13.0, 3.5, 1.2, 2.5);
}

void Train(IconCanvas& c) {
    c.RoundRect(3.5, 1.5, 9.0, 10.5, 3.0);
    c.Rect(5.0, 3.6, 6.0, 3.4, c.Hole());
    c.Disc(5.8, 9.5, 0.9, c.Hole());
    c.Disc(10.2, 9.5, 0.9, c.Hole());
    c.Line({{5.5, 12.5}, {3.5, 14.8}}, 1.4);
    c.Line({{10.5, 12.5}, {12.5, 14.8}}, 1.4);
}

void Tram(IconCanvas& c) {
    c.Rect(1.5, 1.5, 13.0, 1.0);
    c.Line({{6.0, 5.5}, {8.0, 2.5}, {10.0, 5.5}}, 1.0);
    c.RoundRect(2.5, 5.0, 11.0, 8.0, 1.5);
    c.Rect(3.8, 6.5, 2.4, 3.0, c.Hole());
    c.Rect(6.8, 6.5, 2.4, 3.0, c.Hole());
    c.Rect(9.8, 6.5, 2.4, 3.0, c.Hole());
    c.Disc(5.0, 13.5, 1.3);
    c.Disc(11.0, 13.5, 1.3);
}

void Ferry(IconCanvas& c) {
    c.Polygon({{1.0, 9.0}, {15.0, 9.0}, {12.8, 12.8}, {3.2, 12.8}});
    c.Rect(4.0, 5.5, 8.0, 3.5);
    c.Rect(5.0, 6.5, 1.5, 1.4, c.Hole());
    c.Rect(7.3, 6.5, 1.5, 1.4, c.Hole());
    c.Rect(9.6, 6.5, 1.5, 1.4, c.Hole());
    c.Rect(6.5, 2.0, 2.5, 3.5);
    c.Wave(1.0, 15.0, 14.5, 0.6, 3, 1.0);
}

void Taxi(IconCanvas& c) {
    c.RoundRect(5.5, 2.0, 5.0, 2.5, 0.6);
    CarFront(c, 5.5, 6.5);
}

// ---- government and health -------------------------------------------------------------------

void Government(IconCanvas& c) {
    c.Rect(7.4, 1.0, 1.2, 6.5);
    c.Polygon({{8.6, 1.0}, {13.0, 2.3}, {8.6, 3.8}});
    c.Rect(2.0, 7.0, 12.0, 7.5);
    for (double x : {3.5, 10.5}) {
        c.Rect(x, 8.5, 2.0, 2.0, c.Hole());
    }
    c.Rect(6.8, 10.0, 2.4, 4.5, c.Hole());
}

void Police(IconCanvas& c) {
    c.Polygon({{8.0, 1.0}, {14.0, 3.0}, {13.5, 9.0}, {8.0, 15.0}, {2.5, 9.0}, {2.0, 3.0}});
    Star(c, 8.0, 7.4, 3.6, c.Hole());
}

void Hospital(IconCanvas& c) {
    LetterH(c, 3.0, 13.0, 2.5, 13.5, 3.2);
}

void TownHall(IconCanvas& c) {
    c.Polygon({{8.0, 0.8}, {10.5, 3.0}, {5.5, 3.0}});
    c.Rect(5.5, 3.0, 5.0, 6.0);
    c.Ring(8.0, 5.6, 1.5, 0.9, c.Hole());
    c.Rect(1.5, 8.0, 13.0, 6.5);
    for (double x : {3.0, 11.0}) {
        c.Rect(x, 9.5, 2.0, 2.0, c.Hole());
    }
    c.Rect(6.8, 10.5, 2.4, 4.0, c.Hole());
}

void CourtHouse(IconCanvas& c) {
    c.Rect(7.25, 2.0, 1.5, 11.0);
    c.Rect(4.0, 12.8, 8.0, 1.7);
    c.Rect(1.5, 3.5, 13.0, 1.3);
    for (double x : {3.5, 12.5}) {
        c.Line({{x, 4.2}, {x - 2.0, 8.8}}, 0.8);
        c.Line({{x, 4.2}, {x + 2.0, 8.8}}, 0.8);
        QPainterPath pan;
        pan.moveTo(x - 2.6, 8.8);
        pan.lineTo(x + 2.6, 8.8);
        pan.quadTo(x, 12.8, x - 2.6, 8.8);
        c.Fill(pan);
    }
}

void Community(IconCanvas& c) {
    Person(c, 10.8, 3.6, 13.0);
    c.Ellipse(5.2, 5.6, 2.6, 2.6, c.Hole());
    Person(c, 5.2, 5.6, 14.5);
}

void FireStation(IconCanvas& c) {
    QPainterPath flame;
    flame.moveTo(8.0, 14.5);
    flame.cubicTo(3.0, 14.5, 1.8, 9.5, 4.2, 6.0);
    flame.cubicTo(4.5, 8.0, 5.5, 8.5, 6.0, 8.5);
    flame.cubicTo(5.0, 5.0, 7.5, 2.5, 9.5, 1.0);
    flame.cubicTo(9.0, 4.5, 14.5, 6.5, 13.0, 11.0);
    flame.cubicTo(12.3, 13.3, 10.5, 14.5, 8.0, 14.5);
    c.Fill(flame);
    QPainterPath core;
    core.moveTo(8.0, 14.0);
    core.cubicTo(5.8, 14.0, 5.3, 11.5, 6.8, 9.5);
    core.cubicTo(7.0, 11.0, 7.8, 11.0, 8.2, 10.8);
    core.cubicTo(8.0, 9.5, 9.0, 8.5, 9.6, 8.0);
    core.cubicTo(10.0, 10.0, 11.5, 11.0, 10.4, 12.8);
    core.cubicTo(10.0, 13.6, 9.0, 14.0, 8.0, 14.0);
    c.Fill(core, c.Hole());
}

void Doctor(IconCanvas& c) {
    Plus(c, 2.5, 13.5, 3.6, c.Ink());
}

// ---- land features ---------------------------------------------------------------------------

void Hill(IconCanvas& c) {
    QPainterPath hill;
    hill.moveTo(1.0, 13.5);
    hill.cubicTo(3.0, 4.0, 13.0, 4.0, 15.0, 13.5);
    hill.closeSubpath();
    c.Fill(hill);
}

void Summit(IconCanvas& c) {
    Skyline(c, {{8.0, 2.0}});
    c.Polygon({{8.0, 2.0}, {10.6, 6.4}, {9.2, 5.6}, {8.0, 7.0}, {6.8, 5.6}, {5.4, 6.4}}, c.Hole());
    c.Polygon({{8.0, 3.6}, {9.4, 5.8}, {8.0, 5.2}, {6.6, 5.8}});
}

void Woods(IconCanvas& c) {
    Tree(c, 5.8, 6.0, 4.0, 14.5);
    c.Disc(11.2, 8.6, 3.7, c.Hole());
    Tree(c, 11.2, 8.6, 2.9, 14.5);
}

void Forest(IconCanvas& c) {
    Fir(c, 5.5, 1.5, 7.5, 14.5);
    Fir(c, 11.0, 4.0, 7.0, 14.5);
}

void MountainPass(IconCanvas& c) {
    Skyline(c, {{4.5, 3.0}, {8.0, 8.0}, {11.5, 3.0}});
    c.Line({{8.0, 9.5}, {8.0, 14.5}}, 1.4, c.Hole());
}

void Cliff(IconCanvas& c) {
    c.Polygon({{1.0, 3.5},
               {8.0, 3.5},
               {8.8, 5.5},
               {8.0, 7.5},
               {9.4, 9.5},
               {8.8, 11.5},
               {10.0, 12.0},
               {15.0, 12.0},
               {15.0, 14.5},
               {1.0, 14.5}});
}

void Cave(IconCanvas& c) {
    Hill(c);
    QPainterPath mouth;
    mouth.moveTo(5.0, 13.6);
    mouth.cubicTo(5.0, 8.0, 11.0, 8.0, 11.0, 13.6);
    mouth.closeSubpath();
    c.Fill(mouth, c.Hole());
}

void Volcano(IconCanvas& c) {
    c.Polygon({{5.5, 6.0}, {7.0, 7.0}, {9.0, 7.0}, {10.5, 6.0}, {14.5, 13.5}, {1.5, 13.5}});
    c.Disc(6.0, 2.8, 1.1);
    c.Disc(8.5, 1.8, 1.1);
    c.Disc(11.0, 3.2, 1.1);
    c.Line({{8.0, 6.0}, {8.0, 4.0}}, 1.0);
}

void Rock(IconCanvas& c) {
    c.Polygon({{1.5, 13.5}, {2.0, 8.0}, {4.5, 4.0}, {8.5, 3.0}, {10.5, 6.5}, {10.0, 13.5}});
    c.Polygon({{9.0, 13.5}, {10.0, 9.5}, {12.5, 8.0}, {14.5, 10.0}, {14.8, 13.5}});
    c.Line({{10.2, 13.5}, {10.8, 9.6}}, 0.9, c.Hole());
    c.Rect(1.0, 13.5, 14.0, 1.2);
}

void Valley(IconCanvas& c) {
    c.Polygon({{1.0, 3.0}, {8.0, 11.0}, {15.0, 3.0}, {15.0, 14.0}, {1.0, 14.0}});
    c.Line({{8.0, 11.5}, {6.5, 14.0}}, 1.2, c.Hole());
}

void Reserve(IconCanvas& c) {
    c.Ring(8.0, 8.0, 6.3, 1.2);
    Fir(c, 8.0, 3.5, 6.0, 12.5);
}

// A six-armed snowflake.
void Snowflake(IconCanvas& c) {
    for (int i = 0; i < 3; ++i) {
        const double a = kPi / 2 + i * kPi / 3;
        const double dx = 6.2 * std::cos(a);
        const double dy = 6.2 * std::sin(a);
        c.Line({{8.0 - dx, 8.0 - dy}, {8.0 + dx, 8.0 + dy}}, 1.3);
        for (int end : {-1, 1}) {
            const double bx = 8.0 + end * dx * 0.62;
            const double by = 8.0 + end * dy * 0.62;
            for (double turn : {-kPi / 4, kPi / 4}) {
                const double b = a + turn + (end < 0 ? kPi : 0.0);
                c.Line({{bx, by}, {bx + 2.2 * std::cos(b), by + 2.2 * std::sin(b)}}, 1.1);
            }
        }
    }
}

void Glacier(IconCanvas& c) {
    Snowflake(c);
}

void NaturalArch(IconCanvas& c) {
    QPainterPath rock;
    rock.moveTo(1.5, 14.0);
    rock.lineTo(1.5, 8.0);
    rock.cubicTo(1.5, 1.5, 14.5, 1.5, 14.5, 8.0);
    rock.lineTo(14.5, 14.0);
    rock.lineTo(11.0, 14.0);
    rock.lineTo(11.0, 9.5);
    rock.cubicTo(11.0, 5.5, 5.0, 5.5, 5.0, 9.5);
    rock.lineTo(5.0, 14.0);
    rock.closeSubpath();
    c.Fill(rock);
}

// ---- water features --------------------------------------------------------------------------

void Water(IconCanvas& c) {
    Waves(c, 2.0, 14.0, 4.5, 3.6, 3);
}

void Waterfall(IconCanvas& c) {
    c.Rect(1.5, 3.0, 4.0, 11.5);
    c.Rect(1.5, 2.0, 12.0, 1.5);
    for (double x : {7.5, 10.0, 12.5}) {
        c.Line({{x, 3.0}, {x, 11.0}}, 1.3);
    }
    c.Wave(6.5, 14.5, 13.0, 0.8, 2, 1.3);
}

void Spring(IconCanvas& c) {
    Drop(c, 8.0, 1.0, 9.5, c.Ink());
    c.Wave(2.0, 14.0, 13.3, 0.9, 2, 1.4);
}

void Island(IconCanvas& c) {
    QPainterPath land;
    land.moveTo(3.0, 9.5);
    land.cubicTo(4.5, 2.5, 11.5, 2.5, 13.0, 9.5);
    land.closeSubpath();
    c.Fill(land);
    c.Wave(1.5, 14.5, 11.0, 0.8, 2, 1.3);
    c.Wave(1.5, 14.5, 14.0, 0.8, 2, 1.3);
}

void Swamp(IconCanvas& c) {
    c.Line({{8.0, 10.0}, {8.0, 2.5}}, 1.2);
    c.Line({{7.5, 10.0}, {4.0, 4.0}}, 1.2);
    c.Line({{8.5, 10.0}, {12.0, 4.0}}, 1.2);
    c.Line({{6.5, 10.0}, {2.0, 7.0}}, 1.1);
    c.Line({{9.5, 10.0}, {14.0, 7.0}}, 1.1);
    c.Line({{2.0, 11.5}, {14.0, 11.5}}, 1.3);
    c.Line({{4.0, 14.0}, {12.0, 14.0}}, 1.3);
}

void Rapids(IconCanvas& c) {
    // Water breaking on a rock.
    c.Polygon({{5.5, 9.0}, {6.5, 5.5}, {9.0, 4.5}, {10.5, 6.5}, {10.5, 9.0}});
    c.Line({{1.5, 7.0}, {3.5, 5.0}, {4.8, 6.5}}, 1.3);
    c.Line({{11.2, 6.5}, {12.5, 5.0}, {14.5, 7.0}}, 1.3);
    c.Wave(1.5, 14.5, 10.5, 1.0, 3, 1.4);
    c.Wave(1.5, 14.5, 13.7, 1.0, 3, 1.4);
}

// ---- man-made features -----------------------------------------------------------------------

void Building(IconCanvas& c) {
    c.Rect(3.0, 1.5, 10.0, 13.0);
    for (double y : {3.0, 6.0, 9.0}) {
        for (double x : {4.5, 9.5}) {
            c.Rect(x, y, 2.0, 1.8, c.Hole());
        }
    }
    c.Rect(6.9, 11.5, 2.2, 3.0, c.Hole());
}

void Bridge(IconCanvas& c) {
    c.Rect(1.0, 5.0, 14.0, 2.0);
    QPainterPath arch;
    arch.moveTo(1.5, 7.0);
    arch.lineTo(14.5, 7.0);
    arch.lineTo(14.5, 12.0);
    arch.lineTo(12.5, 12.0);
    arch.cubicTo(12.5, 7.5, 3.5, 7.5, 3.5, 12.0);
    arch.lineTo(1.5, 12.0);
    arch.closeSubpath();
    c.Fill(arch);
    c.Wave(1.5, 14.5, 14.0, 0.6, 2, 1.1);
}

void Cemetery(IconCanvas& c) {
    QPainterPath stone;
    stone.moveTo(2.0, 14.0);
    stone.lineTo(2.0, 8.0);
    stone.arcTo(QRectF(2.0, 5.5, 6.0, 5.0), 180.0, -180.0);
    stone.lineTo(8.0, 14.0);
    stone.closeSubpath();
    c.Fill(stone);
    c.Rect(10.5, 2.0, 1.8, 12.0);
    c.Rect(8.6, 4.6, 5.6, 1.7);
    c.Rect(1.0, 13.6, 14.0, 1.2);
}

void Tower(IconCanvas& c) {
    c.Line({{8.0, 4.0}, {4.5, 14.5}}, 1.3);
    c.Line({{8.0, 4.0}, {11.5, 14.5}}, 1.3);
    c.Line({{6.5, 8.5}, {10.2, 11.0}, {5.3, 12.5}}, 0.9);
    c.Line({{9.5, 8.5}, {5.8, 11.0}}, 0.9);
    c.Line({{8.0, 4.0}, {8.0, 1.0}}, 1.1);
    c.Disc(8.0, 4.0, 1.3);
}

void Mine(IconCanvas& c) {
    c.Line({{3.0, 14.0}, {11.0, 5.0}}, 1.6);
    c.Line({{13.0, 14.0}, {5.0, 5.0}}, 1.6);
    QPainterPath pick;
    pick.moveTo(7.5, 1.8);
    pick.quadTo(12.0, 1.5, 14.8, 5.5);
    pick.quadTo(12.0, 3.8, 9.5, 5.5);
    pick.closeSubpath();
    c.Fill(pick);
    c.Polygon({{1.8, 4.5}, {4.3, 2.0}, {7.5, 5.2}, {5.0, 7.7}});
}

void Tunnel(IconCanvas& c) {
    QPainterPath portal;
    portal.addRect(QRectF(1.0, 3.0, 14.0, 11.5));
    QPainterPath opening;
    opening.moveTo(3.5, 14.5);
    opening.lineTo(3.5, 10.0);
    opening.arcTo(QRectF(3.5, 5.5, 9.0, 9.0), 180.0, -180.0);
    opening.lineTo(12.5, 14.5);
    opening.closeSubpath();
    c.Fill(portal.subtracted(opening));
    c.Rect(7.4, 10.5, 1.2, 1.5);
    c.Rect(7.4, 13.0, 1.2, 1.5);
}

void Dam(IconCanvas& c) {
    c.Polygon({{8.0, 2.0}, {10.5, 2.0}, {14.5, 14.5}, {8.0, 14.5}});
    Waves(c, 1.5, 7.0, 6.0, 3.5, 3);
}

void WindTurbine(IconCanvas& c) {
    c.Polygon({{7.4, 6.0}, {8.6, 6.0}, {9.2, 14.5}, {6.8, 14.5}});
    c.Disc(8.0, 5.5, 1.4);
    for (int i = 0; i < 3; ++i) {
        const double a = -kPi / 2 + i * 2 * kPi / 3;
        const double side = a + kPi / 2;
        const QPointF hub(8.0, 5.5);
        const QPointF tip(8.0 + 5.2 * std::cos(a), 5.5 + 5.2 * std::sin(a));
        const QPointF wide(8.0 + 2.0 * std::cos(a) + 1.1 * std::cos(side),
                           5.5 + 2.0 * std::sin(a) + 1.1 * std::sin(side));
        c.Polygon({hub, wide, tip});
    }
}

void Lighthouse(IconCanvas& c) {
    c.Polygon({{6.0, 6.0}, {10.0, 6.0}, {11.0, 14.5}, {5.0, 14.5}});
    c.Polygon({{5.8, 9.0}, {10.2, 9.0}, {10.4, 10.8}, {5.6, 10.8}}, QColor(kRed));
    c.Rect(6.5, 3.0, 3.0, 2.6);
    c.Polygon({{6.0, 3.0}, {10.0, 3.0}, {8.0, 1.0}});
    c.Polygon({{10.0, 3.6}, {15.0, 2.0}, {15.0, 6.0}});
    c.Polygon({{6.0, 3.6}, {1.0, 2.0}, {1.0, 6.0}});
}

// ---- the strip -------------------------------------------------------------------------------

constexpr Badge kSq = Badge::kSquare;

// In icon index order; docs/poi-icons.md tells what each stands for.
constexpr std::array<IconArt, render::kPoiIconCount> kIcons = {{
    {kGeneral, Badge::kRound, Marker},
    {0, Badge::kNone, WaypointFlag},
    {kInfo, kSq, Information},
    {kGeneral, kSq, Region},
    {kRoad, kSq, MotorwayExit},
    {kRoad, kSq, TollBooth},
    {kRoad, kSq, WeighStation},
    {kGovernment, kSq, BorderCrossing},
    {kRoad, kSq, KilometrePost},
    {kAmenity, kSq, Toilets},
    {kAmenity, kSq, Shower},
    {kAmenity, kSq, DrinkingWater},
    {kAmenity, kSq, Telephone},
    {kAttraction, kSq, Viewpoint},
    {kAmenity, kSq, Picnic},
    {0, Badge::kNone, Danger},
    {0, Badge::kNone, NoEntry},
    {0, Badge::kNone, Forbidden},
    {kManMade, kSq, HouseIcon},
    {0, Badge::kNone, SpotHeight},
    {0, Badge::kNone, Settlement<0>},
    {0, Badge::kNone, Settlement<1>},
    {0, Badge::kNone, Settlement<2>},
    {0, Badge::kNone, Settlement<3>},
    {0, Badge::kNone, Settlement<4>},
    {0, Badge::kNone, Settlement<5>},
    {0, Badge::kNone, Settlement<6>},
    {0, Badge::kNone, Settlement<7>},
    {0, Badge::kNone, Settlement<8>},
    {0, Badge::kNone, Settlement<9>},
    {0, Badge::kNone, Settlement<10>},
    {0, Badge::kNone, Settlement<11>},
    {0, Badge::kNone, Settlement<12>},
    {0, Badge::kNone, Settlement<13>},
    {0, Badge::kNone, Settlement<14>},
    {0, Badge::kNone, Settlement<15>},
    {kFood, kSq, Restaurant},
    {kFood, kSq, FastFood},
    {kFood, kSq, Pizza},
    {kFood, kSq, Cafe},
    {kFood, kSq, Bakery},
    {kFood, kSq, IceCream},
    {kFood, kSq, Seafood},
    {kFood, kSq, Grill},
    {kFood, kSq, AsianFood},
    {kFood, kSq, Doughnut},
    {kFood, kSq, Vegetarian},
    {kFood, kSq, Bar},
    {kFood, kSq, Pub},
    {kFood, kSq, WineBar},
    {kFood, kSq, Cake},
    {kLodging, kSq, Hotel},
    {kLodging, kSq, GuestHouse},
    {kLodging, kSq, Hostel},
    {kLodging, kSq, Camping},
    {kLodging, kSq, Caravan},
    {kLodging, kSq, Resort},
    {kLodging, kSq, Hut},
    {kLodging, kSq, Apartment},
    {kAttraction, kSq, Attraction},
    {kAttraction, kSq, ThemePark},
    {kAttraction, kSq, Museum},
    {kAttraction, kSq, Library},
    {kAttraction, kSq, Monument},
    {kAttraction, kSq, School},
    {kLeisure, kSq, Park},
    {kAttraction, kSq, Zoo},
    {kAttraction, kSq, Aquarium},
    {kLeisure, kSq, Stadium},
    {kAttraction, kSq, ConcertHall},
    {kAttraction, kSq, Winery},
    {kWorship, kSq, Church},
    {kWorship, kSq, Mosque},
    {kWorship, kSq, Synagogue},
    {kWorship, kSq, Temple},
    {kWorship, kSq, Shrine},
    {kAttraction, kSq, HotSpring},
    {kAttraction, kSq, Castle},
    {kAttraction, kSq, Ruins},
    {kAttraction, kSq, Memorial},
    {kAttraction, kSq, Artwork},
    {kLeisure, kSq, Entertainment},
    {kLeisure, kSq, Theatre},
    {kLeisure, kSq, Nightclub},
    {kLeisure, kSq, Cinema},
    {kLeisure, kSq, Casino},
    {kLeisure, kSq, Golf},
    {kLeisure, kSq, Skiing},
    {kLeisure, kSq, Bowling},
    {kLeisure, kSq, IceSkating},
    {kLeisure, kSq, Swimming},
    {kLeisure, kSq, Fitness},
    {kLeisure, kSq, Playground},
    {kLeisure, kSq, Tennis},
    {kLeisure, kSq, Football},
    {kTransport, kSq, Bicycle},
    {kLeisure, kSq, Riding},
    {kMarine, kSq, Marina},
    {kMarine, kSq, Slipway},
    {kLeisure, kSq, Fishing},
    {kRed, kSq, Diving},
    {kLeisure, kSq, Beach},
    {kTransport, kSq, SkiLift},
    {kLeisure, kSq, Hiking},
    {kShop, kSq, Shop},
    {kShop, kSq, DepartmentStore},
    {kShop, kSq, Supermarket},
    {kShop, kSq, Mall},
    {kPharmacy, kSq, Pharmacy},
    {kShop, kSq, Convenience},
    {kShop, kSq, Clothes},
    {kShop, kSq, Garden},
    {kShop, kSq, Hardware},
    {kShop, kSq, Furniture},
    {kShop, kSq, Gift},
    {kShop, kSq, Electronics},
    {kShop, kSq, Books},
    {kShop, kSq, Florist},
    {kShop, kSq, Hairdresser},
    {kShop, kSq, Market},
    {kCar, kSq, Fuel},
    {kCar, kSq, CarRental},
    {kCar, kSq, CarRepair},
    {kService, kSq, PostOffice},
    {kService, kSq, Bank},
    {kService, kSq, CashMachine},
    {kCar, kSq, CarDealer},
    {kCar, kSq, Parking},
    {kCar, kSq, CarWash},
    {kCar, kSq, Towing},
    {kService, kSq, Business},
    {kService, kSq, Communication},
    {kService, kSq, Utility},
    {kCar, kSq, TruckStop},
    {kCar, kSq, Charging},
    {kTransport, kSq, Airport},
    {kTransport, kSq, Airfield},
    {kTransport, kSq, Heliport},
    {kTransport, kSq, Bus},
    {kTransport, kSq, Train},
    {kTransport, kSq, Tram},
    {kTransport, kSq, Ferry},
    {kTransport, kSq, Taxi},
    {kGovernment, kSq, Government},
    {kPolice, kSq, Police},
    {kRed, kSq, Hospital},
    {kGovernment, kSq, TownHall},
    {kGovernment, kSq, CourtHouse},
    {kGovernment, kSq, Community},
    {kFire, kSq, FireStation},
    {kRed, kSq, Doctor},
    {kLand, kSq, Hill},
    {kLand, kSq, Summit},
    {kNature, kSq, Woods},
    {kNature, kSq, Forest},
    {kLand, kSq, MountainPass},
    {kLand, kSq, Cliff},
    {kLand, kSq, Cave},
    {kLand, kSq, Volcano},
    {kLand, kSq, Rock},
    {kLand, kSq, Valley},
    {kNature, kSq, Reserve},
    {kWater, kSq, Glacier},
    {kLand, kSq, NaturalArch},
    {kWater, kSq, Water},
    {kWater, kSq, Waterfall},
    {kWater, kSq, Spring},
    {kWater, kSq, Island},
    {kWater, kSq, Swamp},
    {kWater, kSq, Rapids},
    {kManMade, kSq, Building},
    {kManMade, kSq, Bridge},
    {kManMade, kSq, Cemetery},
    {kManMade, kSq, Tower},
    {kManMade, kSq, Mine},
    {kManMade, kSq, Tunnel},
    {kManMade, kSq, Dam},
    {kManMade, kSq, WindTurbine},
    {kMarine, kSq, Lighthouse},
}};

QRgb TransparentRgb() {
    const platform::ColorRef key = render::kPoiTransparentColor;
    return qRgb(platform::RedOf(key), platform::GreenOf(key), platform::BlueOf(key));
}

QPainterPath BadgeOutline(Badge badge) {
    QPainterPath path;
    if (badge == Badge::kSquare) {
        path.addRoundedRect(QRectF(0.0, 0.0, 16.0, 16.0), 3.5, 3.5);
    } else {
        path.addEllipse(QRectF(0.0, 0.0, 16.0, 16.0));
    }
    return path;
}

// The colour an icon pixel gets in the strip: opaque where the icon covers at least half the
// pixel, else the transparent colour. An icon pixel that happens to have the transparent colour
// is moved off it by one step of blue.
QRgb StripPixel(QRgb premultiplied) {
    if (qAlpha(premultiplied) < 128) {
        return TransparentRgb();
    }
    const QRgb colour = qUnpremultiply(premultiplied) | 0xFF000000;
    if ((colour & 0x00FFFFFF) == (TransparentRgb() & 0x00FFFFFF)) {
        return colour ^ 0x00000001;
    }
    return colour;
}

}  // namespace

QImage DrawIcon(int index) {
    QImage icon(render::kPoiIconSize, render::kPoiIconSize, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    if (index < 0 || index >= render::kPoiIconCount) {
        return icon;
    }
    const IconArt& art = kIcons[size_t(index)];
    QPainter painter(&icon);
    IconCanvas canvas(painter, QColor::fromRgb(art.colour));
    if (art.badge != Badge::kNone) {
        art.badge == Badge::kSquare ? canvas.SquareBadge() : canvas.RoundBadge();
        painter.setClipPath(BadgeOutline(art.badge));
    }
    art.draw(canvas);
    return icon;
}

QImage BuildStrip() {
    QImage strip(render::kPoiStripWidth, render::kPoiStripHeight, QImage::Format_RGB32);
    strip.fill(TransparentRgb());
    for (int index = 0; index < render::kPoiIconCount; ++index) {
        const QImage icon = DrawIcon(index);
        const int left = (index % render::kPoiIconsPerRow) * render::kPoiIconPitch;
        const int top = (index / render::kPoiIconsPerRow) * render::kPoiIconPitch;
        for (int y = 0; y < render::kPoiIconSize; ++y) {
            for (int x = 0; x < render::kPoiIconSize; ++x) {
                strip.setPixel(left + x, top + y, StripPixel(icon.pixel(x, y)));
            }
        }
    }
    return strip;
}

QImage BuildPreview(const QImage& strip) {
    // Per icon: 24 and 48 pixels on a light map colour, then the same on a night colour.
    constexpr int kCellWidth = 4 + 24 + 4 + 48 + 4 + 24 + 4 + 48 + 4;
    constexpr int kCellHeight = 56;
    constexpr int kColumns = 5;
    const int rows = (render::kPoiIconCount + kColumns - 1) / kColumns;
    QImage preview(kColumns * kCellWidth, rows * kCellHeight, QImage::Format_RGB32);
    preview.fill(QColor(0xF2, 0xEF, 0xE9));
    QImage masked = strip.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < masked.height(); ++y) {
        for (int x = 0; x < masked.width(); ++x) {
            if ((masked.pixel(x, y) & 0x00FFFFFF) == (TransparentRgb() & 0x00FFFFFF)) {
                masked.setPixel(x, y, 0);
            }
        }
    }
    QPainter painter(&preview);
    for (int index = 0; index < render::kPoiIconCount; ++index) {
        const int left = (index % kColumns) * kCellWidth;
        const int top = (index / kColumns) * kCellHeight;
        const QRect source((index % render::kPoiIconsPerRow) * render::kPoiIconPitch,
                           (index / render::kPoiIconsPerRow) * render::kPoiIconPitch,
                           render::kPoiIconSize, render::kPoiIconSize);
        painter.fillRect(QRect(left + 84, top, 84, kCellHeight), QColor(0x42, 0x54, 0x59));
        painter.drawImage(QRect(left + 4, top + 4, 24, 24), masked, source);
        painter.drawImage(QRect(left + 32, top + 4, 48, 48), masked, source);
        painter.drawImage(QRect(left + 88, top + 4, 24, 24), masked, source);
        painter.drawImage(QRect(left + 116, top + 4, 48, 48), masked, source);
        painter.setPen(Qt::black);
        painter.drawText(QRect(left + 4, top + 30, 26, 20), Qt::AlignCenter,
                         QString::number(index));
    }
    return preview;
}

}  // namespace poi_art
