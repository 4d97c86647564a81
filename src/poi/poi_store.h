#pragma once

// Points of interest from the ".poi" files of the POI folder: their records, the icon bitmaps
// they name, the drawing of the icons over the map and the announcement of a POI when the user
// comes near it.
//
// A POI file is text in the locale's encoding, one POI a line:
//   latitude|longitude|title|detail|icon file|sound file (optional)
// e.g. 41.164673|23.267757|Fuel|Open 24 h|fuel.bmp|fuel.wav. Runs of '|' count as one separator,
// runs of CR and LF as one line break, and the text ends at the first zero byte. Icon and sound
// files are files of the POI folder itself.
//
// Not thread-safe: the frame reloads and checks on the interface thread and the drawing thread
// draws, so the map window's lock must be held around Reload and Draw.

#include <QHash>
#include <QImage>
#include <QSet>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

#include "platform/color.h"
#include "render/geo_math.h"

namespace platform {
class PaintContext;
class SettingsStore;
class SoundPlayer;
}  // namespace platform

namespace render {
class MapProjection;
}

namespace poi {

class PoiAnnouncement;

// An icon of the cache: one per distinct file name, however many POIs name it.
struct PoiIcon {
    QImage bitmap;                             // as loaded, opaque
    QString fileName;                          // exactly as written in the POI line
    platform::ColorRef transparentColour = 0;  // the bitmap's top-left pixel
    QImage drawn;  // bitmap with the transparent colour at alpha 0, premultiplied
};

// One POI line.
struct PoiRecord {
    float latitude = 0.0f;   // degrees, north positive
    float longitude = 0.0f;  // degrees, east positive
    QString detail;          // second line of the announcement
    QString title;           // first line of the announcement
    // The icon as drawn (transparent colour at alpha 0): the cache's or the default icon,
    // borrowed from the store.
    const QImage* icon = nullptr;
    QString soundPath;  // full path; empty when the line names no (usable) sound
    int iconWidth = 0;
    int iconHeight = 0;
    bool announcedFar = false;   // the outer announcement was made on this approach
    bool announcedNear = false;  // the inner one too
    platform::ColorRef transparentColour = 0;
};

class PoiStore {
public:
    // The colour left out of the default icon: magenta.
    static constexpr platform::ColorRef kDefaultTransparent = 0x00FF00FF;
    // Degrees of latitude or longitude beyond which a POI is not near: its flags are reset.
    static constexpr double kNearBoxDeg = 0.02;

    // Files are read from programFolder + "/POI"; the ticked list from `settings` (borrowed,
    // may be null: then no file is ticked). Sounds go to the default sound player.
    PoiStore(const QString& programFolder, const platform::SettingsStore* settings);
    ~PoiStore();
    PoiStore(const PoiStore&) = delete;
    PoiStore& operator=(const PoiStore&) = delete;

    // Discards every record and cached icon (and so every announcement flag) and reads the
    // ticked ".poi" files of the POI folder, in the folder's order.
    void Reload();
    // Whether the POI manager has ticked the file (exact, case-sensitive name).
    bool IsFileEnabled(const QString& fileName) const;
    // Reads one ticked file of the POI folder (name without folder); nothing when it is not
    // ticked or cannot be read.
    void LoadFile(const QString& fileName);
    // Appends the record of one line; a line with fewer than five fields is skipped.
    void ParseLine(QStringView line);
    // The drawn icon of a file of the POI folder and its transparent colour: cached by exact
    // name, or loaded and cached; the default icon with magenta when it cannot be loaded.
    const QImage* GetIcon(const QString& fileName, platform::ColorRef& transparentColour);

    // Draws the icons of the POIs inside the projection's box whose canvas point lies in the
    // context's clip box, each with its top-left corner on that point, later ones on top.
    void Draw(platform::PaintContext& context, int centreX, int centreY, int width, int height,
              const render::MapProjection& projection) const;

    // The two announcement distances (km) from the settings, as the frame reads them when its
    // window is created.
    void ReadAnnounceDistances(const platform::SettingsStore& settings);
    // For one GPS fix (degrees, single precision): announces every POI with a sound whose
    // distance calls for it, in record order, into `announcement`.
    void CheckAnnouncements(float latitude, float longitude, PoiAnnouncement& announcement);
    // The two-stage decision for a record at `distanceKm`; sets the record's flag it answers.
    bool ShouldAnnounce(PoiRecord& record, double distanceKm) const;
    // Shows the record's texts and plays its sound.
    void Announce(const PoiRecord& record, PoiAnnouncement& announcement);
    // Where sounds go (borrowed; null: nowhere).
    void SetSoundPlayer(platform::SoundPlayer* player) { soundPlayer_ = player; }

    int Count() const { return int(pois.size()); }
    PoiRecord& Record(int index) { return *pois[size_t(index)]; }
    const PoiRecord& Record(int index) const { return *pois[size_t(index)]; }
    int IconCount() const { return int(icons.size()); }
    const PoiIcon& Icon(int index) const { return *icons[size_t(index)]; }
    QString PoiFolder() const { return poiFolder_; }

    // The built-in icon, 15 × 15 pixels, opaque, with magenta around the marker.
    static const QImage& DefaultIconBitmap();

    std::vector<std::unique_ptr<PoiRecord>> pois;
    std::vector<std::unique_ptr<PoiIcon>> icons;
    const QImage* defaultIcon = nullptr;  // drawn form; set by the first Reload
    double announceDistance1 = 1.0;       // km, outer
    double announceDistance2 = 0.1;       // km, inner
    render::GeoMath geo;
    platform::ColorRef defaultTransparent = kDefaultTransparent;

private:
    // The full path of a file of the POI folder, or nothing when the name would reach outside
    // the folder (a path, "..", a name with a separator).
    std::optional<QString> PathInPoiFolder(const QString& name) const;
    const QImage* LoadIcon(const QString& fileName, platform::ColorRef& transparentColour);

    QString poiFolder_;
    const platform::SettingsStore* settings_;
    platform::SoundPlayer* soundPlayer_;
    // Cache index by file name.
    QHash<QString, PoiIcon*> iconsByName_;
    // While a file is read: the names of the POI folder, listed once for the file, and the
    // icon names that failed to load, so that thousands of lines naming a missing icon cost
    // no file access each.
    std::optional<QSet<QString>> folderNames_;
    QSet<QString> failedIcons_;
};

}  // namespace poi
