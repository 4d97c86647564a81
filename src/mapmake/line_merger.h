#pragma once

#include <vector>

#include "mapmake/feature_set.h"

namespace mapmake {

// Joins the pieces of one road or river: OpenStreetMap splits a road into many ways (at
// junctions, bridges, changes of speed limit), and each would carry its own label and shield.
// Lines with the same type, levels, name and number that end at the same node become one
// line; a ring stays as it is. The order of the result follows the first piece of each line.
void MergeLines(std::vector<LineFeature>& lines);

}  // namespace mapmake
