#include "render/frame_stats.h"

#include <QImage>

#include <algorithm>
#include <cstdint>

#include "render/poi_icons.h"

namespace render {

void FrameStats::Clear() {
    points = 0;
    lines = 0;
    areas = 0;
    labelsPlaced = 0;
    labelsDropped = 0;
    shields = 0;
    icons.clear();
}

double IconCoverPercent(const FrameStats& stats, int width, int height) {
    if (width <= 0 || height <= 0) {
        return 0.0;
    }
    std::vector<uint8_t> covered(size_t(width) * size_t(height), 0);
    for (const DrawnIcon& icon : stats.icons) {
        const QImage* picture = ProgramPoiIconPicture(icon.type, icon.subtype, icon.highResolution);
        if (!picture) {
            continue;
        }
        const int firstRow = std::max(0, -icon.topLeft.y());
        const int lastRow = std::min(picture->height(), height - icon.topLeft.y());
        const int firstColumn = std::max(0, -icon.topLeft.x());
        const int lastColumn = std::min(picture->width(), width - icon.topLeft.x());
        for (int row = firstRow; row < lastRow; ++row) {
            const auto* pixels = reinterpret_cast<const QRgb*>(picture->constScanLine(row));
            uint8_t* out = &covered[size_t(icon.topLeft.y() + row) * size_t(width)];
            for (int column = firstColumn; column < lastColumn; ++column) {
                if (qAlpha(pixels[column]) != 0) {
                    out[icon.topLeft.x() + column] = 1;
                }
            }
        }
    }
    const auto count = std::count(covered.begin(), covered.end(), uint8_t(1));
    return 100.0 * double(count) / double(covered.size());
}

}  // namespace render
