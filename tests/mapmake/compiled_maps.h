#pragma once

// What the map compiler's tests look at in the maps it wrote.

#include <QString>

#include <memory>
#include <vector>

#include "formats/img_file.h"
#include "mapmake/map_compiler.h"

namespace testmaps {

// The maps of `input` compiled into outDir; the summary, with error set on failure.
struct Compiled {
    bool ok = false;
    QString error;
    mapmake::CompileSummary summary;
};

inline Compiled Compile(const QString& input, const QString& outDir, const QString& name,
                        double tileMb = 4.0) {
    mapmake::CompileOptions options;
    options.input = input;
    options.outDir = outDir;
    options.name = name;
    options.tileMb = tileMb;
    Compiled compiled;
    compiled.ok = mapmake::CompileMaps(options, {}, compiled.summary, compiled.error);
    return compiled;
}

// The map at path as the program reads it; null when it does not load.
inline std::unique_ptr<formats::ImgFile> LoadMap(const QString& path) {
    auto file = std::make_unique<formats::ImgFile>();
    if (!file->Load(path)) {
        return nullptr;
    }
    return file;
}

inline const formats::ShapeLevel* LevelOf(const formats::ShapeFile& file, uint32_t cbits) {
    for (const auto& level : file.levels) {
        if (level->cbits == cbits) {
            return level.get();
        }
    }
    return nullptr;
}

inline std::vector<const formats::Shape*> OfType(const formats::ShapeLevel* level, int kind,
                                                 int type) {
    std::vector<const formats::Shape*> found;
    if (level) {
        for (const auto& shape : level->shapes) {
            if (shape->Kind() == kind && shape->type == type) {
                found.push_back(shape.get());
            }
        }
    }
    return found;
}

// Whether the point lies inside the ring filled even-odd, as the program fills areas.
inline bool FilledAt(const formats::Shape& ring, float lat, float lon) {
    bool inside = false;
    const size_t count = ring.VertexCount();
    for (size_t i = 0, j = count - 1; i < count; j = i++) {
        const float latI = ring.Latitude(i);
        const float latJ = ring.Latitude(j);
        if ((latI > lat) != (latJ > lat)) {
            const float crossLon = ring.Longitude(j) + (lat - latJ) / (latI - latJ) *
                                                           (ring.Longitude(i) - ring.Longitude(j));
            if (crossLon < lon) {
                inside = !inside;
            }
        }
    }
    return inside;
}

}  // namespace testmaps
