#pragma once

// What the map compiler keeps of OpenStreetMap data, and as what: one table of rules from tags
// to the Garmin-numbered type codes that the drawing styles colour. An object that no rule
// matches is left out. docs/map-types.md shows the same table (vlmake --types prints it).

#include <cstring>
#include <span>
#include <string>

namespace mapmake {

enum class FeatureKind {
    kPoint,   // nodes, and the point of an area that is also a place of interest
    kLine,    // ways
    kArea,    // closed ways and multipolygon relations, as the area assembler makes them
    kBorder,  // administrative borders: ways tagged so or members of a boundary relation
};

// Settlements are the point types up to this one (0x11, hamlets and single houses).
inline constexpr int kLastPlaceType = 0x11;
inline bool IsPlaceType(int pointType) {
    return pointType <= kLastPlaceType;
}

// The detail levels (cbits) of the files, most detailed first.
inline constexpr int kTileLevels[] = {24, 22, 21, 20, 18};
inline constexpr int kCountryLevels[] = {20, 18, 16, 14, 12};

// Water areas smaller than this take the rule's small type.
inline constexpr double kLargeWaterSquareMetres = 1.0e6;

struct TypeRule {
    FeatureKind kind;
    const char* key;
    const char* value;  // null: any value
    // A second tag the object must carry as well, or null.
    const char* alsoKey;
    const char* alsoValue;
    int type;
    int subtype;
    // The object is kept in every level of at least this many cbits (so in no country level
    // when above 20).
    int coarsestCbits;
    // Areas: the type of an area smaller than kLargeWaterSquareMetres; 0 for the same type.
    int smallType;
    const char* what;
    // The object is left out of the levels of more cbits than this: a built-up area is drawn
    // where towns are dots, not under the streets of the detailed levels.
    int finestCbits = 24;
};

std::span<const TypeRule> TypeRules();

// The first rule of `kind` that the tags match, or null. `value(key)` answers the value of a
// tag or null when the object does not carry it. A tag whose value is "no" (building=no) is
// taken as absent.
template <typename ValueOf>
const TypeRule* Classify(FeatureKind kind, ValueOf&& value) {
    for (const TypeRule& rule : TypeRules()) {
        if (rule.kind != kind) {
            continue;
        }
        const char* found = value(rule.key);
        if (!found || std::strcmp(found, "no") == 0 ||
            (rule.value && std::strcmp(found, rule.value) != 0)) {
            continue;
        }
        if (rule.alsoKey) {
            const char* also = value(rule.alsoKey);
            if (!also || (rule.alsoValue && std::strcmp(also, rule.alsoValue) != 0)) {
                continue;
            }
        }
        return &rule;
    }
    return nullptr;
}

// True when some rule of `kind` looks at the key: the objects worth a closer look.
bool UsesKey(FeatureKind kind, const char* key);

// The table as the Markdown of docs/map-types.md.
std::string TypeTableMarkdown();

}  // namespace mapmake
