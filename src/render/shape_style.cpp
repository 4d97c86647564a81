#include "render/shape_style.h"

#include <cstring>

namespace render {
namespace {

using Dash = PenSpec::Dash;

PenSpec Solid(int width, platform::ColorRef color) {
    return PenSpec{Dash::kSolid, width, color};
}

struct PolylineRow {
    int outerNormal;
    int outerHigh;
    platform::ColorRef outerColor;
    std::optional<int> innerNormal;  // none: no inner pen
    int innerHigh;
    platform::ColorRef innerColor;
};

// Widths are added to the base width.
std::optional<PolylineRow> RoadRow(int type) {
    switch (type) {
        case 1:
            return PolylineRow{6, 10, 0x4CB122, 2, 4, 0xC8C8C8};
        case 2:
            return PolylineRow{4, 8, 0x4CB122, 1, 2, 0xC8C8C8};
        case 3:
        case 9:
            return PolylineRow{3, 6, 0xBEBEBE, 2, 4, 0x241CED};
        case 4:
            return PolylineRow{3, 6, 0xBEBEBE, 1, 4, 0x007EFF};
        case 5:
            return PolylineRow{2, 5, 0xBEBEBE, 1, 3, 0x0EC2FF};
        case 6:
            return PolylineRow{2, 4, 0xBEBEBE, 0, 2, 0xE2DDFF};
        case 10:
            return PolylineRow{2, 3, 0xBEBEBE, 1, 1, 0xBCF9D3};
        case 11:
            return PolylineRow{2, 3, 0xBEBEBE, 1, 2, 0x241CED};
        case 21:
            return PolylineRow{1, 1, 0xEFB700, std::nullopt, 0, 0};
        case 24:
            return PolylineRow{1, 1, 0xF36D4D, std::nullopt, 0, 0};
        case 28:
        case 29:
        case 30:
            return PolylineRow{0, 0, 0x0A0AFF, std::nullopt, 0, 0};
        case 31:
            return PolylineRow{3, 3, 0xEFB700, std::nullopt, 0, 0};
        case 33:
        case 261:
            return PolylineRow{1, 1, 0x300099, std::nullopt, 0, 0};
        case 259:
            return PolylineRow{2, 3, 0xBEBEBE, 1, 2, 0xB1A3FF};
        case 65000:
            return PolylineRow{4, 4, 0xBEBEBE, 2, 2, 0xFFFF80};  // GPX route
        default:
            return std::nullopt;
    }
}

bool InRange(int type, int low, int high) {
    return type >= low && type <= high;
}

bool IsWater(int type) {
    return type == 40 || type == 50 || InRange(type, 59, 73);
}

// Builds a pattern from rows of letters, each letter one pixel of the colour it stands for.
QImage Pattern(std::initializer_list<const char*> rows, std::initializer_list<QRgb> colors) {
    const int width = int(std::strlen(*rows.begin()));
    QImage image(width, int(rows.size()), QImage::Format_RGB32);
    int y = 0;
    for (const char* row : rows) {
        for (int x = 0; x < width; ++x) {
            image.setPixel(x, y, colors.begin()[row[x] - 'A']);
        }
        ++y;
    }
    return image;
}

}  // namespace

int BasePenWidth(float resolution) {
    if (resolution < 200.0f) {
        return 4;
    }
    if (resolution < 500.0f) {
        return 2;
    }
    return 1;
}

QPen PenSpec::ToQPen() const {
    // One pixel wide is the painter's cosmetic pen (width 0), which it draws without stroking
    // an outline: the same pixels, at a fraction of the cost.
    QPen pen(platform::ToQColor(color), width <= 1 ? 0 : width);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    switch (dash) {
        case Dash::kSolid:
            break;
        case Dash::kDashed:
            pen.setDashPattern({6.0, 6.0});
            break;
        case Dash::kDotted:
            pen.setStyle(Qt::DotLine);
            break;
    }
    return pen;
}

PolylinePens PolylinePensFor(int type, float resolution, bool highResolution) {
    const int base = BasePenWidth(resolution);
    if (type == 20) {  // railway: black with a white dash
        return PolylinePens{Solid(base + 3, 0x000000), PenSpec{Dash::kDashed, 1, 0xFFFFFF}};
    }
    if (type == 32) {
        return PolylinePens{PenSpec{Dash::kDotted, base, 0x300099}, std::nullopt};
    }
    const std::optional<PolylineRow> row = RoadRow(type);
    if (!row) {
        return PolylinePens{Solid(base, 0x787878), std::nullopt};
    }
    PolylinePens pens{
        Solid(base + (highResolution ? row->outerHigh : row->outerNormal), row->outerColor),
        std::nullopt};
    if (row->innerNormal) {
        pens.inner =
            Solid(base + (highResolution ? row->innerHigh : *row->innerNormal), row->innerColor);
    }
    return pens;
}

std::optional<PenSpec> PolygonOutlinePen(int type) {
    if (type == 74) {
        return std::nullopt;
    }
    platform::ColorRef color = 0x007EFF;
    if (InRange(type, 1, 3)) {
        color = 0x9CE4F5;
    } else if (type == 12) {
        color = 0xB4B4B4;
    } else if (type == 19) {
        color = 0x7AAAE5;
    } else if (InRange(type, 20, 23)) {
        color = 0x4CB122;
    } else if (IsWater(type) || type == 76) {
        color = 0xF36D4D;
    } else if (type == 75) {
        color = 0xEDF3FC;
    }
    return Solid(0, color);
}

QBrush PolygonFillBrush(int type, bool night) {
    if (night) {
        return QBrush(platform::ToQColor(IsWater(type) || type == 76 ? 0x8E6D54 : 0x595442));
    }
    switch (type) {
        case 11:
            return QBrush(PatternBitmap(159));
        case 25:
            return QBrush(PatternBitmap(165));
        case 26:
            return QBrush(PatternBitmap(161));
        case 80:
            return QBrush(PatternBitmap(158));
        default:
            break;
    }
    platform::ColorRef color = 0x007EFF;
    if (type == 1 || type == 2) {
        color = 0xB1A3FF;
    } else if (type == 3) {
        color = 0x9E9ECF;
    } else if (type == 12) {
        color = 0xB4B4B4;
    } else if (type == 19) {
        color = 0x7AAAE5;
    } else if (InRange(type, 20, 23)) {
        color = 0x1DE6A8;
    } else if (IsWater(type)) {
        color = 0xF36D4D;
    } else if (type == 74 || type == 75) {
        color = 0x9CE4F5;
    } else if (type == 76) {
        color = 0xEAD999;
    }
    return QBrush(platform::ToQColor(color));
}

QImage PatternBitmap(int resource) {
    switch (resource) {
        case 159:  // hospital grounds
            return Pattern({"AABBAAAA", "AABBAAAA", "BBBBBBAA", "BBBBBBAA", "AABBAAAA", "AABBAAAA",
                            "AAAAAAAA", "AAAAAAAA"},
                           {qRgb(112, 154, 209), qRgb(153, 217, 234)});
        case 161:  // cemetery
            return Pattern(
                {"AABAAAA", "AABAAAA", "BBBBBAA", "AABAAAA", "AABAAAA", "AAAAAAA", "AAAAAAA"},
                {qRgb(0, 255, 0), qRgb(128, 128, 0)});
        case 158:  // forest
            return Pattern({"CCCACCCC", "CCABACCC", "CABBBACC", "ABBBBBAC", "CABBBACC", "CCABACCC",
                            "CCCACCCC", "CCCACCCC"},
                           {qRgb(0, 0, 0), qRgb(0, 128, 0), qRgb(168, 230, 29)});
        case 165:  // sports ground
            return Pattern({"BBBBBBBBBBBBBB", "BBABBBBBBBBABB", "BAABBBBBBBBAAB", "BAAAAAAAAAAAAB",
                            "BAABABBBBABAAB", "BBABABAABABABB", "BBBBABAABABBBB", "BBBBBAAAABBBBB",
                            "BBBBBAAAABBBBB", "BBBBBBAABBBBBB", "BBBBBAAABBBBBB", "BBBBABBABBBBBB",
                            "BBBBABBBAAABBB", "BBBAABBBBBABBB", "BBBBBBBBBBBBBB"},
                           {qRgb(0, 0, 0), qRgb(0, 255, 0)});
        default:
            return QImage();
    }
}

}  // namespace render
