#pragma once

#include <QImage>
#include <QString>

#include <array>
#include <cstdint>
#include <span>

#include "paint/paint_context.h"
#include "platform/color.h"

namespace render {

// The icon strip: 16 × 16 icons in 17-pixel cells, ten to a row, in index order. Pixels of
// the transparent colour are left out when an icon is drawn.
inline constexpr int kPoiIconCount = 179;
inline constexpr int kPoiIconSize = 16;
inline constexpr int kPoiIconPitch = 17;
inline constexpr int kPoiIconsPerRow = 10;
inline constexpr int kPoiStripWidth = kPoiIconsPerRow * kPoiIconPitch;
inline constexpr int kPoiStripHeight =
    (kPoiIconCount + kPoiIconsPerRow - 1) / kPoiIconsPerRow * kPoiIconPitch;
inline constexpr platform::ColorRef kPoiTransparentColor = 0x00808100;
// Drawn size of an icon on a normal and on a high-resolution screen, in pixels.
inline constexpr int kPoiDrawSize = 24;
inline constexpr int kPoiDrawSizeHighResolution = 48;
// File name of the strip inside the images folder.
inline constexpr char kPoiStripFile[] = "POI.bmp";

// One row of the icon table. A row with subtypeHigh 0 stands for its one subtypeLow; any other
// row for the subtypes subtypeLow to subtypeHigh inclusive.
struct PoiIconRow {
    uint8_t type;
    uint8_t subtypeLow;
    uint8_t subtypeHigh;
    uint8_t icon;
};

inline constexpr int kPoiIconRowCount = 386;

// The constant table, sorted by type.
std::span<const PoiIconRow, kPoiIconRowCount> PoiIconTable();

// The icon of a point of Garmin `type` and `subtype`: the first matching row's, or 0 (the
// generic marker) when no row matches.
int PoiIconIndex(int type, int subtype);
// The same walk over any table sorted by type: it stops with 0 at the first row of a greater
// type.
int PoiIconIndexIn(std::span<const PoiIconRow> rows, int type, int subtype);

// A loaded icon strip and the drawing of its icons.
class PoiIconStrip {
public:
    // Reads the strip from an image file; false, and nothing loaded, when it cannot be read.
    bool Load(const QString& path);
    void Unload();
    bool IsLoaded() const { return loaded_; }

    // Draws the icon of a point with its top-left corner at logical (x, y), stretched to 24 × 24
    // pixels (48 × 48 on a high-resolution screen). Nothing when no strip is loaded, or when the
    // loaded strip is too small to hold the icon.
    void Draw(paint::PaintContext& context, int x, int y, int type, int subtype,
              bool highResolution) const;
    void DrawIcon(paint::PaintContext& context, int x, int y, int icon, bool highResolution) const;
    // The icon as drawn, premultiplied, with alpha 0 where nothing is drawn; null when the
    // strip lacks it.
    const QImage* Picture(int icon, bool highResolution) const;

private:
    // Each icon cut out and stretched to both drawn sizes, with alpha 0 where the strip has the
    // transparent colour, so that drawing is a plain blend; null for an icon the strip lacks.
    std::array<QImage, kPoiIconCount> normal_;
    std::array<QImage, kPoiIconCount> highResolution_;
    bool loaded_ = false;
};

// The strip of this program, loaded at start-up from "<programFolder>/images/POI.bmp" before
// any drawing thread starts; false when the file cannot be read (points are then not drawn).
bool LoadPoiIcons(const QString& programFolder);
// The built-in strip as the program's strip: what a home without its own shows once start-up
// has installed the default images, for tools that must not write into the home they show.
bool LoadBuiltInPoiIcons();
void DrawPoiIcon(paint::PaintContext& context, int x, int y, int type, int subtype,
                 bool highResolution);
// The picture the program's strip draws for a point; null when it draws nothing.
const QImage* ProgramPoiIconPicture(int type, int subtype, bool highResolution);

// Writes the built-in icon strip as POI.bmp into `imagesFolder` (made if missing) unless a file
// of that name is already there; a user's file is never replaced. True when the folder holds a
// POI.bmp afterwards.
bool InstallDefaultImages(const QString& imagesFolder);
// The same for any picture compiled in: the file `resource` as `fileName` in `imagesFolder`.
bool InstallImageIfMissing(const QString& imagesFolder, const QString& fileName,
                           const QString& resource);

// The built-in icon strip, as compiled into the program.
QImage DefaultPoiIconStrip();

}  // namespace render
