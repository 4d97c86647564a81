#pragma once

#include <string>

#include "formats/shape_model.h"

// Empty when two loaded files hold the same levels, objects and rectangle (what a reader
// fills; the drawing fields are not compared); else what differs first.
inline std::string ShapeFileDifference(const formats::ShapeFile& a, const formats::ShapeFile& b) {
    if (!(a.bounds == b.bounds) || a.name != b.name || a.coverage.size() != b.coverage.size()) {
        return "file header";
    }
    if (a.levels.size() != b.levels.size()) {
        return "level count";
    }
    for (size_t l = 0; l < a.levels.size(); ++l) {
        const auto& left = a.levels[l]->shapes;
        const auto& right = b.levels[l]->shapes;
        if (a.levels[l]->cbits != b.levels[l]->cbits || left.size() != right.size()) {
            return "level " + std::to_string(l);
        }
        for (size_t i = 0; i < left.size(); ++i) {
            const formats::Shape& x = *left[i];
            const formats::Shape& y = *right[i];
            const bool same =
                x.Kind() == y.Kind() && x.vertexPairs == y.vertexPairs && x.bounds == y.bounds &&
                x.Label().toString() == y.Label().toString() && x.anchorLon == y.anchorLon &&
                x.anchorLat == y.anchorLat && x.labelAngleTenthsDeg == y.labelAngleTenthsDeg &&
                x.type == y.type && x.subtype == y.subtype;
            if (!same) {
                return "object " + std::to_string(i) + " of level " + std::to_string(l);
            }
        }
    }
    return {};
}
