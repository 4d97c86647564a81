#include "mapmake/type_table.h"

#include <cstdio>

namespace mapmake {
namespace {

using K = FeatureKind;

// In matching order: the first rule of a kind that matches wins. Points come in order of
// importance too: where icons would crowd, the earlier keeps its place. Points carry a Garmin type
// and subtype (0x2F01 fuel is type 0x2F, subtype 0x01); lines and areas a type alone.
constexpr TypeRule kRules[] = {
    // Roads.
    {K::kLine, "highway", "motorway", nullptr, nullptr, 1, 0, 12, 0, "motorway"},
    {K::kLine, "highway", "trunk", nullptr, nullptr, 2, 0, 14, 0, "trunk road"},
    {K::kLine, "highway", "primary", nullptr, nullptr, 3, 0, 16, 0, "primary road"},
    {K::kLine, "highway", "secondary", nullptr, nullptr, 4, 0, 18, 0, "secondary road"},
    {K::kLine, "highway", "tertiary", nullptr, nullptr, 5, 0, 20, 0, "tertiary road"},
    {K::kLine, "highway", "motorway_link", nullptr, nullptr, 9, 0, 20, 0, "motorway link"},
    {K::kLine, "highway", "trunk_link", nullptr, nullptr, 9, 0, 20, 0, "trunk link"},
    {K::kLine, "highway", "primary_link", nullptr, nullptr, 11, 0, 21, 0, "primary link"},
    {K::kLine, "highway", "secondary_link", nullptr, nullptr, 11, 0, 21, 0, "secondary link"},
    {K::kLine, "highway", "tertiary_link", nullptr, nullptr, 11, 0, 21, 0, "tertiary link"},
    {K::kLine, "highway", "residential", nullptr, nullptr, 6, 0, 21, 0, "residential street"},
    {K::kLine, "highway", "unclassified", nullptr, nullptr, 6, 0, 21, 0, "minor road"},
    {K::kLine, "highway", "living_street", nullptr, nullptr, 6, 0, 22, 0, "living street"},
    {K::kLine, "highway", "road", nullptr, nullptr, 6, 0, 22, 0, "road of unknown class"},
    {K::kLine, "highway", "service", nullptr, nullptr, 7, 0, 24, 0, "service road"},
    {K::kLine, "highway", "track", nullptr, nullptr, 10, 0, 22, 0, "track"},
    {K::kLine, "highway", "pedestrian", nullptr, nullptr, 22, 0, 22, 0, "pedestrian street"},
    {K::kLine, "highway", "footway", nullptr, nullptr, 22, 0, 24, 0, "footway"},
    {K::kLine, "highway", "path", nullptr, nullptr, 22, 0, 24, 0, "path"},
    {K::kLine, "highway", "cycleway", nullptr, nullptr, 22, 0, 24, 0, "cycleway"},
    {K::kLine, "highway", "bridleway", nullptr, nullptr, 22, 0, 24, 0, "bridleway"},
    {K::kLine, "highway", "steps", nullptr, nullptr, 22, 0, 24, 0, "steps"},
    // Railways, water, coast.
    {K::kLine, "railway", "rail", nullptr, nullptr, 20, 0, 18, 0, "railway"},
    {K::kLine, "railway", "narrow_gauge", nullptr, nullptr, 20, 0, 20, 0, "narrow-gauge railway"},
    {K::kLine, "railway", "light_rail", nullptr, nullptr, 20, 0, 21, 0, "light railway"},
    {K::kLine, "railway", "tram", nullptr, nullptr, 20, 0, 22, 0, "tram line"},
    {K::kLine, "waterway", "river", nullptr, nullptr, 31, 0, 18, 0, "river"},
    {K::kLine, "waterway", "canal", nullptr, nullptr, 31, 0, 20, 0, "canal"},
    {K::kLine, "waterway", "stream", nullptr, nullptr, 24, 0, 22, 0, "stream"},
    {K::kLine, "waterway", "ditch", nullptr, nullptr, 24, 0, 24, 0, "ditch"},
    {K::kLine, "waterway", "drain", nullptr, nullptr, 24, 0, 24, 0, "drain"},
    {K::kLine, "natural", "coastline", nullptr, nullptr, 21, 0, 12, 0, "coastline"},
    // Administrative borders, from the way's own tags or the boundary relations it is in.
    {K::kBorder, "admin_level", "2", "boundary", "administrative", 30, 0, 12, 0, "national border"},
    {K::kBorder, "admin_level", "3", "boundary", "administrative", 28, 0, 16, 0,
     "border of level 3"},
    {K::kBorder, "admin_level", "4", "boundary", "administrative", 28, 0, 16, 0,
     "border of a state or province"},
    {K::kBorder, "admin_level", "5", "boundary", "administrative", 29, 0, 20, 0,
     "border of level 5"},
    {K::kBorder, "admin_level", "6", "boundary", "administrative", 29, 0, 20, 0,
     "border of a county or district"},
    {K::kBorder, "admin_level", "7", "boundary", "administrative", 29, 0, 20, 0,
     "border of level 7"},
    {K::kBorder, "admin_level", "8", "boundary", "administrative", 29, 0, 20, 0,
     "border of a municipality"},
    // Areas.
    {K::kArea, "landuse", "residential", nullptr, nullptr, 1, 0, 16, 0, "residential area", 20},
    {K::kArea, "landuse", "commercial", nullptr, nullptr, 2, 0, 20, 0, "commercial area", 20},
    {K::kArea, "landuse", "retail", nullptr, nullptr, 2, 0, 20, 0, "retail area", 20},
    {K::kArea, "landuse", "farmyard", nullptr, nullptr, 3, 0, 21, 0, "farmyard"},
    {K::kArea, "amenity", "hospital", nullptr, nullptr, 11, 0, 22, 0, "hospital grounds"},
    {K::kArea, "landuse", "industrial", nullptr, nullptr, 12, 0, 20, 0, "industrial area"},
    {K::kArea, "leisure", "park", nullptr, nullptr, 23, 0, 20, 0, "park"},
    {K::kArea, "leisure", "garden", nullptr, nullptr, 23, 0, 22, 0, "garden"},
    {K::kArea, "landuse", "recreation_ground", nullptr, nullptr, 23, 0, 21, 0, "recreation ground"},
    {K::kArea, "landuse", "grass", nullptr, nullptr, 20, 0, 21, 0, "grass"},
    {K::kArea, "landuse", "meadow", nullptr, nullptr, 20, 0, 20, 0, "meadow"},
    {K::kArea, "natural", "grassland", nullptr, nullptr, 20, 0, 20, 0, "grassland"},
    {K::kArea, "leisure", "nature_reserve", nullptr, nullptr, 20, 0, 16, 0, "nature reserve"},
    {K::kArea, "leisure", "golf_course", nullptr, nullptr, 23, 0, 20, 0, "golf course"},
    {K::kArea, "leisure", "stadium", nullptr, nullptr, 25, 0, 22, 0, "stadium"},
    {K::kArea, "leisure", "sports_centre", nullptr, nullptr, 25, 0, 22, 0, "sports centre"},
    {K::kArea, "leisure", "pitch", nullptr, nullptr, 25, 0, 24, 0, "sports pitch"},
    {K::kArea, "landuse", "cemetery", nullptr, nullptr, 26, 0, 21, 0, "cemetery"},
    {K::kArea, "amenity", "grave_yard", nullptr, nullptr, 26, 0, 22, 0, "graveyard"},
    {K::kArea, "natural", "water", "intermittent", "yes", 76, 0, 18, 0, "intermittent water"},
    {K::kArea, "natural", "water", nullptr, nullptr, 60, 0, 14, 65, "lake, pond"},
    {K::kArea, "landuse", "reservoir", nullptr, nullptr, 60, 0, 14, 65, "reservoir"},
    {K::kArea, "landuse", "basin", nullptr, nullptr, 60, 0, 20, 65, "basin"},
    {K::kArea, "waterway", "riverbank", nullptr, nullptr, 60, 0, 18, 65, "river area"},
    {K::kArea, "natural", "bay", nullptr, nullptr, 40, 0, 16, 0, "sea bay"},
    {K::kArea, "landuse", "forest", nullptr, nullptr, 20, 0, 16, 0, "forest"},
    {K::kArea, "natural", "wood", nullptr, nullptr, 20, 0, 16, 0, "wood"},
    {K::kArea, "building", nullptr, nullptr, nullptr, 19, 0, 22, 0, "building"},
    // Places.
    {K::kPoint, "place", "city", nullptr, nullptr, 0x04, 0, 12, 0, "city"},
    {K::kPoint, "place", "town", nullptr, nullptr, 0x08, 0, 16, 0, "town"},
    {K::kPoint, "place", "village", nullptr, nullptr, 0x0C, 0, 18, 0, "village"},
    {K::kPoint, "place", "suburb", nullptr, nullptr, 0x0A, 0, 21, 0, "suburb"},
    {K::kPoint, "place", "hamlet", nullptr, nullptr, 0x10, 0, 22, 0, "hamlet"},
    {K::kPoint, "place", "isolated_dwelling", nullptr, nullptr, 0x11, 0x01, 24, 0,
     "isolated dwelling"},
    // Points of interest.
    {K::kPoint, "amenity", "fuel", nullptr, nullptr, 0x2F, 0x01, 22, 0, "fuel"},
    {K::kPoint, "amenity", "charging_station", nullptr, nullptr, 0x2F, 0x19, 24, 0,
     "charging station"},
    {K::kPoint, "amenity", "restaurant", nullptr, nullptr, 0x2A, 0x00, 24, 0, "restaurant"},
    {K::kPoint, "amenity", "fast_food", nullptr, nullptr, 0x2A, 0x07, 24, 0, "fast food"},
    {K::kPoint, "amenity", "cafe", nullptr, nullptr, 0x2A, 0x0E, 24, 0, "cafe"},
    {K::kPoint, "amenity", "bar", nullptr, nullptr, 0x2A, 0x15, 24, 0, "bar"},
    {K::kPoint, "amenity", "pub", nullptr, nullptr, 0x2A, 0x16, 24, 0, "pub"},
    {K::kPoint, "tourism", "hotel", nullptr, nullptr, 0x2B, 0x01, 24, 0, "hotel"},
    {K::kPoint, "tourism", "motel", nullptr, nullptr, 0x2B, 0x01, 24, 0, "motel"},
    {K::kPoint, "tourism", "hostel", nullptr, nullptr, 0x2B, 0x05, 24, 0, "hostel"},
    {K::kPoint, "tourism", "guest_house", nullptr, nullptr, 0x2B, 0x09, 24, 0, "guest house"},
    {K::kPoint, "tourism", "camp_site", nullptr, nullptr, 0x2B, 0x03, 22, 0, "camp site"},
    {K::kPoint, "tourism", "alpine_hut", nullptr, nullptr, 0x2B, 0x07, 22, 0, "alpine hut"},
    {K::kPoint, "tourism", "wilderness_hut", nullptr, nullptr, 0x2B, 0x0A, 24, 0, "wilderness hut"},
    {K::kPoint, "tourism", "caravan_site", nullptr, nullptr, 0x2B, 0x06, 24, 0, "caravan site"},
    {K::kPoint, "tourism", "information", "information", "office", 0x4C, 0x00, 24, 0,
     "tourist office"},
    {K::kPoint, "tourism", "museum", nullptr, nullptr, 0x2C, 0x02, 24, 0, "museum"},
    {K::kPoint, "tourism", "viewpoint", nullptr, nullptr, 0x2C, 0x16, 24, 0, "viewpoint"},
    {K::kPoint, "tourism", "attraction", nullptr, nullptr, 0x2C, 0x00, 24, 0, "attraction"},
    {K::kPoint, "historic", "castle", nullptr, nullptr, 0x2C, 0x11, 24, 0, "castle"},
    {K::kPoint, "historic", "monument", nullptr, nullptr, 0x2C, 0x19, 24, 0, "monument"},
    {K::kPoint, "historic", "memorial", nullptr, nullptr, 0x2C, 0x13, 24, 0, "memorial"},
    {K::kPoint, "historic", "ruins", nullptr, nullptr, 0x2C, 0x12, 24, 0, "ruins"},
    {K::kPoint, "amenity", "library", nullptr, nullptr, 0x2C, 0x03, 24, 0, "library"},
    {K::kPoint, "amenity", "place_of_worship", nullptr, nullptr, 0x2C, 0x0B, 24, 0,
     "place of worship"},
    {K::kPoint, "amenity", "school", nullptr, nullptr, 0x2C, 0x05, 24, 0, "school"},
    {K::kPoint, "amenity", "university", nullptr, nullptr, 0x2C, 0x17, 24, 0, "university"},
    {K::kPoint, "amenity", "cinema", nullptr, nullptr, 0x2D, 0x03, 24, 0, "cinema"},
    {K::kPoint, "amenity", "theatre", nullptr, nullptr, 0x2D, 0x01, 24, 0, "theatre"},
    {K::kPoint, "shop", "supermarket", nullptr, nullptr, 0x2E, 0x13, 24, 0, "supermarket"},
    {K::kPoint, "shop", "convenience", nullptr, nullptr, 0x2E, 0x06, 24, 0, "convenience shop"},
    {K::kPoint, "shop", "bakery", nullptr, nullptr, 0x2E, 0x11, 24, 0, "bakery"},
    {K::kPoint, "shop", "mall", nullptr, nullptr, 0x2E, 0x04, 24, 0, "shopping centre"},
    {K::kPoint, "shop", nullptr, nullptr, nullptr, 0x2E, 0x00, 24, 0, "any other shop"},
    {K::kPoint, "amenity", "pharmacy", nullptr, nullptr, 0x2E, 0x05, 24, 0, "pharmacy"},
    {K::kPoint, "amenity", "hospital", nullptr, nullptr, 0x30, 0x02, 22, 0, "hospital"},
    {K::kPoint, "amenity", "clinic", nullptr, nullptr, 0x30, 0x09, 24, 0, "clinic"},
    {K::kPoint, "amenity", "doctors", nullptr, nullptr, 0x30, 0x09, 24, 0, "doctor"},
    {K::kPoint, "amenity", "dentist", nullptr, nullptr, 0x30, 0x0A, 24, 0, "dentist"},
    {K::kPoint, "amenity", "police", nullptr, nullptr, 0x30, 0x01, 24, 0, "police"},
    {K::kPoint, "amenity", "fire_station", nullptr, nullptr, 0x30, 0x08, 24, 0, "fire station"},
    {K::kPoint, "amenity", "townhall", nullptr, nullptr, 0x30, 0x03, 24, 0, "town hall"},
    {K::kPoint, "amenity", "parking", nullptr, nullptr, 0x2F, 0x0B, 24, 0, "parking"},
    {K::kPoint, "amenity", "post_office", nullptr, nullptr, 0x2F, 0x05, 24, 0, "post office"},
    {K::kPoint, "amenity", "bank", nullptr, nullptr, 0x2F, 0x06, 24, 0, "bank"},
    {K::kPoint, "amenity", "atm", nullptr, nullptr, 0x2F, 0x18, 24, 0, "cash machine"},
    {K::kPoint, "amenity", "toilets", nullptr, nullptr, 0x2F, 0x1F, 24, 0, "toilets"},
    {K::kPoint, "amenity", "drinking_water", nullptr, nullptr, 0x2F, 0x20, 24, 0, "drinking water"},
    {K::kPoint, "amenity", "bus_station", nullptr, nullptr, 0x2F, 0x08, 24, 0, "bus station"},
    {K::kPoint, "railway", "tram_stop", nullptr, nullptr, 0x2F, 0x1B, 24, 0, "tram stop"},
    {K::kPoint, "aerialway", "station", nullptr, nullptr, 0x2D, 0x15, 24, 0,
     "cable car or ski lift station"},
    {K::kPoint, "leisure", "sports_centre", nullptr, nullptr, 0x2D, 0x0A, 24, 0, "sports centre"},
    {K::kPoint, "railway", "station", nullptr, nullptr, 0x2F, 0x1A, 21, 0, "railway station"},
    {K::kPoint, "railway", "halt", nullptr, nullptr, 0x2F, 0x1A, 24, 0, "railway halt"},
    {K::kPoint, "aeroway", "aerodrome", nullptr, nullptr, 0x59, 0x00, 18, 0, "airport"},
    {K::kPoint, "natural", "peak", nullptr, nullptr, 0x66, 0x16, 22, 0,
     "peak (labelled with its height)"},
    {K::kPoint, "natural", "saddle", nullptr, nullptr, 0x66, 0x1B, 24, 0, "mountain pass"},
    {K::kPoint, "natural", "spring", nullptr, nullptr, 0x65, 0x11, 24, 0, "spring"},
    {K::kPoint, "natural", "cave_entrance", nullptr, nullptr, 0x66, 0x19, 24, 0, "cave"},
    {K::kPoint, "waterway", "waterfall", nullptr, nullptr, 0x65, 0x08, 24, 0, "waterfall"},
};

const char* KindName(FeatureKind kind) {
    switch (kind) {
        case K::kPoint:
            return "Points";
        case K::kLine:
            return "Lines";
        case K::kArea:
            return "Areas";
        case K::kBorder:
            return "Borders (lines)";
    }
    return "";
}

std::string TagsText(const TypeRule& rule) {
    std::string text = std::string("`") + rule.key + "=" + (rule.value ? rule.value : "*") + "`";
    if (rule.alsoKey) {
        text += std::string(" and `") + rule.alsoKey + "=" +
                (rule.alsoValue ? rule.alsoValue : "*") + "`";
    }
    return text;
}

std::string TypeText(const TypeRule& rule) {
    char text[64];
    if (rule.kind == K::kPoint) {
        std::snprintf(text, sizeof(text), "%d (0x%02X), subtype %d (0x%02X)", rule.type, rule.type,
                      rule.subtype, rule.subtype);
    } else if (rule.smallType != 0) {
        std::snprintf(text, sizeof(text), "%d, %d when under 1 km²", rule.type, rule.smallType);
    } else {
        std::snprintf(text, sizeof(text), "%d", rule.type);
    }
    return text;
}

std::string LevelsText(const TypeRule& rule) {
    std::string tiles;
    std::string country;
    const auto kept = [&rule](int cbits) {
        return cbits >= rule.coarsestCbits && cbits <= rule.finestCbits;
    };
    for (int cbits : kTileLevels) {
        if (kept(cbits)) {
            tiles += (tiles.empty() ? "" : ", ") + std::to_string(cbits);
        }
    }
    for (int cbits : kCountryLevels) {
        // The country map shows no points but places.
        if (kept(cbits) && (rule.kind != K::kPoint || IsPlaceType(rule.type))) {
            country += (country.empty() ? "" : ", ") + std::to_string(cbits);
        }
    }
    return (tiles.empty() ? "–" : tiles) + " | " + (country.empty() ? "–" : country);
}

}  // namespace

std::span<const TypeRule> TypeRules() {
    return kRules;
}

bool UsesKey(FeatureKind kind, const char* key) {
    for (const TypeRule& rule : kRules) {
        if (rule.kind == kind && std::strcmp(rule.key, key) == 0) {
            return true;
        }
    }
    return false;
}

std::string TypeTableMarkdown() {
    std::string text;
    for (FeatureKind kind : {K::kLine, K::kBorder, K::kArea, K::kPoint}) {
        text += std::string("### ") + KindName(kind) + "\n\n";
        text += "| OpenStreetMap tags | what | type | tile levels | country levels |\n";
        text += "|---|---|---|---|---|\n";
        for (const TypeRule& rule : kRules) {
            if (rule.kind == kind) {
                text += "| " + TagsText(rule) + " | " + rule.what + " | " + TypeText(rule) + " | " +
                        LevelsText(rule) + " |\n";
            }
        }
        text += "\n";
    }
    return text;
}

}  // namespace mapmake
