#pragma once

// The demo region: an invented small town around 41.1647 N, 23.2678 E (where a first start of
// the program opens), written as OpenStreetMap XML and compiled like any input, with a drive
// along its streets as an NMEA log and a POI file with icons and a sound.
//
//   OUTDIR/demo.osm        the town
//   OUTDIR/demo.nmea       the drive
//   OUTDIR/POI/demo.poi    points of interest, with their .bmp icons and a .wav sound

#include <QString>

#include "mapmake/map_compiler.h"

namespace mapmake {

// Writes the demo's files into outDir; false with a one-line reason when it cannot.
bool WriteDemoRegion(const QString& outDir, QString& error);

// How the demo's town is compiled: named "Demo", without an attribution (the data is ours).
CompileOptions DemoCompileOptions(const QString& outDir);

}  // namespace mapmake
