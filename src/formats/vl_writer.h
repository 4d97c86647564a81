#pragma once

#include <QByteArray>
#include <QString>

#include "formats/shape_model.h"

namespace formats {

// Writes the ".vl" map format, byte for byte the layout ImgFile reads: the map compiler, the
// demo region and the tests build their maps as a ShapeFile in memory and write it with these.
// Names and labels are written as UTF-16LE without a terminator; a shape's kind word is its
// Kind(); every level is written, an empty one too (readers drop it).

// The bytes of the file.
QByteArray WriteVl(const ShapeFile& file);
// The file at path, replaced as a whole; false when it cannot be written.
bool WriteVlFile(const ShapeFile& file, const QString& path);

}  // namespace formats
