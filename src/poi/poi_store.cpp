#include "poi/poi_store.h"

#include <QImageReader>

#include <array>
#include <cmath>

#include "formats/coord_format.h"
#include "paint/paint_context.h"
#include "platform/file_access.h"
#include "platform/folder_listing.h"
#include "platform/program_folder.h"
#include "platform/settings_store.h"
#include "platform/sound_player.h"
#include "platform/trace.h"
#include "poi/poi_announcement.h"
#include "render/map_projection.h"

namespace poi {
namespace {

constexpr int kMaxFields = 6;
constexpr int kRequiredFields = 5;
constexpr QLatin1StringView kPoiExtension(".poi");

// The default marker, 15 × 15: A black, B magenta (left out), C white.
constexpr int kDefaultIconSize = 15;
constexpr std::array<const char*, kDefaultIconSize> kDefaultIconRows = {
    "BBBBBBBBBBBBBBB", "BBBBAAABBBBBBBB", "BBAACCCAABBBBBB", "BAACCAAAAABBBBB", "BBAAAAAAABBBBBB",
    "BBBAAAAABBBBBBB", "BBBACCAABBBBBBB", "BBAACCAAABBBBBB", "BACCAAACAABBBBB", "BAACCCCAAABBBBB",
    "BBAAAAAAABBBBBB", "BBBBAAABBBBBBBB", "BBBBBABBBBBBBBB", "BBBBBABBBBBBBBB", "BBBBBABBBBBBBBB"};

QImage MakeDefaultIconBitmap() {
    QImage image(kDefaultIconSize, kDefaultIconSize, QImage::Format_RGB32);
    for (int y = 0; y < kDefaultIconSize; ++y) {
        for (int x = 0; x < kDefaultIconSize; ++x) {
            const char pixel = kDefaultIconRows[size_t(y)][x];
            image.setPixel(x, y,
                           pixel == 'A'   ? qRgb(0, 0, 0)
                           : pixel == 'B' ? qRgb(255, 0, 255)
                                          : qRgb(255, 255, 255));
        }
    }
    return image;
}

QRgb ToQRgb(platform::ColorRef colour) {
    return qRgb(int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF));
}

// The bitmap as drawn: pixels of the transparent colour get alpha 0 (premultiplied, so they are
// all-zero words), the others stay opaque.
QImage KeyedImage(const QImage& opaque, platform::ColorRef transparent) {
    QImage keyed = opaque.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QRgb key = ToQRgb(transparent) & 0x00FFFFFF;
    for (int y = 0; y < keyed.height(); ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(keyed.scanLine(y));
        for (int x = 0; x < keyed.width(); ++x) {
            row[x] = (row[x] & 0x00FFFFFF) == key ? 0 : (row[x] | 0xFF000000);
        }
    }
    return keyed;
}

const QImage& DefaultIconDrawn() {
    static const QImage drawn =
        KeyedImage(PoiStore::DefaultIconBitmap(), PoiStore::kDefaultTransparent);
    return drawn;
}

// A name that stays inside the folder it is joined to: no separator of either kind, not "."
// or "..", and no zero character.
bool IsPlainFileName(const QString& name) {
    return !name.isEmpty() && name != u"." && name != u".." && !name.contains(u'/') &&
           !name.contains(u'\\') && !name.contains(QChar(0));
}

// The names of the regular entries of a folder (directories left out).
QSet<QString> FileNamesIn(const QString& folder) {
    QSet<QString> names;
    if (const auto entries = platform::ListFolder(folder)) {
        names.reserve(qsizetype(entries->size()));
        for (const platform::FolderEntry& entry : *entries) {
            if ((entry.attributes & platform::kAttrDirectory) == 0) {
                names.insert(entry.name);
            }
        }
    }
    return names;
}

// The fields of a line: runs of '|' are one separator and a leading one is ignored, so no field
// is empty. At most kMaxFields; the rest of the line is not looked at.
int SplitFields(QStringView line, std::array<QStringView, kMaxFields>& fields) {
    int count = 0;
    qsizetype i = 0;
    const qsizetype n = line.size();
    while (count < kMaxFields) {
        while (i < n && line[i] == u'|') {
            ++i;
        }
        if (i >= n) {
            break;
        }
        const qsizetype start = i;
        while (i < n && line[i] != u'|') {
            ++i;
        }
        fields[size_t(count++)] = line.sliced(start, i - start);
    }
    return count;
}

}  // namespace

PoiStore::PoiStore(const QString& programFolder, const platform::SettingsStore* settings)
    : poiFolder_(programFolder + QLatin1String(platform::kPoiTail)),
      settings_(settings),
      soundPlayer_(&platform::DefaultSoundPlayer()) {}

PoiStore::~PoiStore() = default;

const QImage& PoiStore::DefaultIconBitmap() {
    static const QImage bitmap = MakeDefaultIconBitmap();
    return bitmap;
}

void PoiStore::Reload() {
    if (!defaultIcon) {
        defaultIcon = &DefaultIconDrawn();
    }
    pois.clear();
    iconsByName_.clear();
    icons.clear();
    const auto entries = platform::ListFolder(poiFolder_);
    if (!entries) {
        return;
    }
    for (const platform::FolderEntry& entry : *entries) {
        // "*.poi" as the handheld matches it: the extension in any letter case.
        if ((entry.attributes & platform::kAttrDirectory) == 0 &&
            entry.name.endsWith(kPoiExtension, Qt::CaseInsensitive)) {
            LoadFile(entry.name);
        }
    }
}

bool PoiStore::IsFileEnabled(const QString& fileName) const {
    if (!settings_) {
        return false;
    }
    for (int i = 0;; ++i) {
        const QString value = settings_->Get(platform::settings::kEnabledPoiFiles, i);
        if (value.isEmpty() || value == QLatin1String(platform::settings::kListEnd)) {
            return false;
        }
        if (value == fileName) {
            return true;
        }
    }
}

void PoiStore::LoadFile(const QString& fileName) {
    if (!IsFileEnabled(fileName) || !IsPlainFileName(fileName)) {
        return;
    }
    const std::optional<platform::ByteBuffer> bytes =
        platform::ReadWholeFile(poiFolder_ + u'/' + fileName);
    if (!bytes) {
        return;
    }
    if (!defaultIcon) {
        defaultIcon = &DefaultIconDrawn();
    }
    platform::Trace("Load POI file %s", qPrintable(fileName));
    const char* data = bytes->Data();
    const size_t size = bytes->Size();
    // The text ends at the first zero byte.
    const qsizetype length = qsizetype(qstrnlen(data, size));
    const QString text = QString::fromLocal8Bit(data, length);

    folderNames_ = FileNamesIn(poiFolder_);
    failedIcons_.clear();
    const QStringView all(text);
    qsizetype i = 0;
    const qsizetype n = all.size();
    while (i < n) {
        while (i < n && (all[i] == u'\r' || all[i] == u'\n')) {
            ++i;
        }
        const qsizetype start = i;
        while (i < n && all[i] != u'\r' && all[i] != u'\n') {
            ++i;
        }
        if (i > start) {
            ParseLine(all.sliced(start, i - start));
        }
    }
    folderNames_.reset();
    failedIcons_.clear();
}

void PoiStore::ParseLine(QStringView line) {
    std::array<QStringView, kMaxFields> fields;
    const int count = SplitFields(line, fields);
    if (count < kRequiredFields) {
        return;
    }
    auto record = std::make_unique<PoiRecord>();
    record->latitude = formats::ParseDecimal(fields[0].toString());
    record->longitude = formats::ParseDecimal(fields[1].toString());
    record->title = fields[2].toString();
    record->detail = fields[3].toString();
    record->icon = GetIcon(fields[4].toString(), record->transparentColour);
    if (count > kRequiredFields) {
        // A sound name that would reach outside the POI folder counts as none.
        if (const std::optional<QString> path = PathInPoiFolder(fields[5].toString())) {
            record->soundPath = *path;
        }
    }
    record->iconWidth = record->icon->width();
    record->iconHeight = record->icon->height();
    record->announcedFar = false;
    record->announcedNear = false;
    pois.push_back(std::move(record));
}

const QImage* PoiStore::GetIcon(const QString& fileName, platform::ColorRef& transparentColour) {
    if (!defaultIcon) {
        defaultIcon = &DefaultIconDrawn();
    }
    // Names are unique in the cache, so the index finds what a walk in order would.
    if (const auto found = iconsByName_.constFind(fileName); found != iconsByName_.cend()) {
        transparentColour = (*found)->transparentColour;
        return &(*found)->drawn;
    }
    if (const QImage* loaded = LoadIcon(fileName, transparentColour)) {
        return loaded;
    }
    transparentColour = defaultTransparent;
    return defaultIcon;
}

const QImage* PoiStore::LoadIcon(const QString& fileName, platform::ColorRef& transparentColour) {
    const std::optional<QString> path = PathInPoiFolder(fileName);
    if (!path || failedIcons_.contains(fileName)) {
        return nullptr;
    }
    QImage bitmap;
    // Only a regular file: a pipe or device named like an icon would block the reader.
    if ((!folderNames_ || folderNames_->contains(fileName)) && platform::CanOpenForReading(*path)) {
        bitmap = QImageReader(*path).read();
    }
    if (bitmap.isNull()) {
        // Within one file a name that failed is not tried again; the next file tries anew.
        if (folderNames_) {
            failedIcons_.insert(fileName);
        }
        return nullptr;
    }
    bitmap = bitmap.convertToFormat(QImage::Format_RGB32);
    auto icon = std::make_unique<PoiIcon>();
    const QRgb corner = bitmap.pixel(0, 0);
    icon->transparentColour = platform::ColorRef(qRed(corner)) |
                              (platform::ColorRef(qGreen(corner)) << 8) |
                              (platform::ColorRef(qBlue(corner)) << 16);
    icon->drawn = KeyedImage(bitmap, icon->transparentColour);
    icon->bitmap = std::move(bitmap);
    icon->fileName = fileName;
    transparentColour = icon->transparentColour;
    PoiIcon* kept = icon.get();
    icons.push_back(std::move(icon));
    iconsByName_.insert(fileName, kept);
    return &kept->drawn;
}

std::optional<QString> PoiStore::PathInPoiFolder(const QString& name) const {
    if (!IsPlainFileName(name)) {
        return std::nullopt;
    }
    return poiFolder_ + u'/' + name;
}

void PoiStore::Draw(paint::PaintContext& context, int centreX, int centreY, int width, int height,
                    const render::MapProjection& projection) const {
    const platform::Rect clip = context.ClipBox();
    const float top = projection.top;
    const float bottom = projection.bottom;
    const float left = projection.left;
    const float right = projection.right;
    for (const auto& record : pois) {
        if (!(bottom <= record->latitude && record->latitude <= top && left <= record->longitude &&
              record->longitude <= right)) {
            continue;
        }
        const QPoint point = projection.GeoToScreenRotated(record->latitude, record->longitude,
                                                           centreX, centreY, width, height);
        if (clip.Contains(point)) {
            context.DrawImage(point, *record->icon);
        }
    }
}

void PoiStore::ReadAnnounceDistances(const platform::SettingsStore& settings) {
    announceDistance1 = settings.GetFloat(platform::settings::kPoiAnnounceMaxDistance1);
    announceDistance2 = settings.GetFloat(platform::settings::kPoiAnnounceMaxDistance2);
}

void PoiStore::CheckAnnouncements(float latitude, float longitude, PoiAnnouncement& announcement) {
    for (const auto& owned : pois) {
        PoiRecord& record = *owned;
        if (record.soundPath.isEmpty()) {
            continue;
        }
        // The differences in single precision, compared in double: two subtractions reject
        // every POI farther than about 2 km before any trigonometry.
        const float dLat = std::fabs(record.latitude - latitude);
        const float dLon = std::fabs(record.longitude - longitude);
        if (!(double(dLat) < kNearBoxDeg) || !(double(dLon) < kNearBoxDeg)) {
            record.announcedFar = false;
            record.announcedNear = false;
            continue;
        }
        const double distanceKm =
            geo.Distance(latitude, longitude, record.latitude, record.longitude);
        if (ShouldAnnounce(record, distanceKm)) {
            Announce(record, announcement);
        }
    }
}

bool PoiStore::ShouldAnnounce(PoiRecord& record, double distanceKm) const {
    if (distanceKm > announceDistance1 || record.announcedNear) {
        return false;
    }
    if (!record.announcedFar) {
        record.announcedFar = true;
        return true;
    }
    if (distanceKm <= announceDistance2) {
        record.announcedNear = true;
        return true;
    }
    return false;
}

void PoiStore::Announce(const PoiRecord& record, PoiAnnouncement& announcement) {
    announcement.Set(record.title, record.detail);
    if (soundPlayer_) {
        soundPlayer_->Play(record.soundPath);
    }
}

}  // namespace poi
