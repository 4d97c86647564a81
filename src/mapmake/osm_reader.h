#pragma once

// Reads an OpenStreetMap file into typed features with libosmium, in two passes: the first
// gathers the multipolygon and boundary relations, the second keeps the node locations, types
// nodes and ways by the type table and has the area assembler build the areas of closed ways
// and multipolygon relations.

#include <string>

#include "mapmake/feature_set.h"
#include "mapmake/progress.h"

namespace mapmake {

enum class InputFormat {
    kUnknown,
    kPbf,     // .osm.pbf, .pbf
    kXml,     // .osm
    kXmlGz,   // .osm.gz
    kXmlBz2,  // .osm.bz2
};

// The format the file name's ending gives, ignoring case.
InputFormat FormatOfName(const std::string& path);

// Reads the file at path (a local 8-bit path) in the given format into features. False, with a
// one-line reason in error, when it cannot be read or is not a file of that format.
bool ReadOsm(const std::string& path, InputFormat format, FeatureSet& features,
             const Progress& progress, std::string& error);

}  // namespace mapmake
