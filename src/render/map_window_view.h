#pragma once

#include <QSize>

namespace render {

// What the renderer and its zoom view need of the map window they draw for. The real map window
// implements it; tests implement it with a fixed size.
class MapWindowView {
public:
    virtual ~MapWindowView() = default;

    // Size of the window's client area in pixels (the client rectangle is (0, 0) to this size).
    virtual QSize ClientSize() const = 0;
};

}  // namespace render
