#pragma once

#include <QImage>

namespace poi_art {

// Icon `index` (0 to 178) at 16 × 16 pixels on a transparent ground, smooth-edged.
QImage DrawIcon(int index);

// The whole strip: icons in 17-pixel cells, ten to a row, every pixel either an opaque icon
// pixel or the transparent colour (edges hardened, since the transparent colour is all or
// nothing).
QImage BuildStrip();

// The strip as a picture to look at: each icon at 24 and at 48 pixels on a light and on a dark
// map colour, drawn the way the map draws it.
QImage BuildPreview(const QImage& strip);

}  // namespace poi_art
