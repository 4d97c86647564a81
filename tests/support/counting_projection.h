#pragma once

#include "render/map_projection.h"

// A projection that counts the GeoToScreen calls it answers: what a frame projects, and what
// it reuses.
class CountingProjection : public render::MapProjection {
public:
    QPoint GeoToScreen(float lat, float lon, int width, int height) const override {
        ++calls;
        return MapProjection::GeoToScreen(lat, lon, width, height);
    }
    mutable int calls = 0;
};
