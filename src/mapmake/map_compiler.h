#pragma once

// The whole compilation of one OpenStreetMap file into a set of ".vl" maps:
//
//   OUTDIR/<NAME>Country.vl             the country map (levels 20, 18, 16, 14, 12)
//   OUTDIR/<NAME>/<NAME>_<row>_<col>.vl  the detailed tiles (levels 24, 22, 21, 20, 18)
//   OUTDIR/<NAME>_attribution.txt       the data's attribution
//
// The tiles come from a quadtree over the extent: a box is split in four while its map would
// be larger than the tile limit. Row and column count from the north-west corner in the grid
// of the smallest tiles, so a tile of twice their side covers rows r, r + 1 and columns c,
// c + 1 and is named after r and c.

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

#include "mapmake/progress.h"
#include "mapmake/tile_builder.h"

namespace mapmake {

// What maps made from OpenStreetMap data must show.
inline constexpr char kOsmAttribution[] = "© OpenStreetMap contributors";

struct CompileOptions {
    QString input;
    QString outDir;
    // Empty: the input's file name without its endings ("andorra" for andorra.osm.pbf).
    QString name;
    // A megabyte is 1 000 000 bytes. A tile loads whole, into about 1.6 times its size.
    double tileMb = 8.0;
    // Put into every map's name and written beside the maps; empty for data of our own.
    QString attribution = QString::fromUtf8(kOsmAttribution);
};

struct CompileSummary {
    QString name;
    QStringList files;  // relative to the output folder, the country map first
    int tiles = 0;
    uint64_t bytes = 0;
    uint64_t largestTileBytes = 0;
    // Objects per level, summed over the tiles, and of the country map.
    std::vector<LevelCount> tileLevels;
    std::vector<LevelCount> countryLevels;
    // From the input.
    ReadCounts read;
    uint64_t points = 0;
    uint64_t linesRead = 0;
    uint64_t lines = 0;  // after joining the pieces of roads and rivers
    uint64_t areas = 0;
    uint64_t refusedAreas = 0;
    QStringList warnings;
    double seconds = 0.0;
};

// The map name the options give; empty when the input's name gives none.
QString MapName(const CompileOptions& options);

// Runs the compilation; false with a one-line reason in error when the input cannot be read or
// is of an unknown format, or the output folder cannot be written.
bool CompileMaps(const CompileOptions& options, const Progress& progress, CompileSummary& summary,
                 QString& error);

}  // namespace mapmake
