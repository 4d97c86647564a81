#include "mapmake/osm_reader.h"

#include <osmium/area/assembler.hpp>
#include <osmium/area/multipolygon_manager.hpp>
#include <osmium/handler.hpp>
#include <osmium/handler/node_locations_for_ways.hpp>
#include <osmium/io/any_input.hpp>
#include <osmium/osm/area.hpp>
#include <osmium/osm/node.hpp>
#include <osmium/osm/relation.hpp>
#include <osmium/osm/way.hpp>
#include <osmium/tags/tags_filter.hpp>
#include <osmium/visitor.hpp>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unordered_map>

#include "mapmake/labels.h"
#include "mapmake/node_locations.h"
#include "mapmake/type_table.h"

namespace mapmake {
namespace {

using LocationHandler = osmium::handler::NodeLocationsForWays<NodeLocations>;

// Land features (peaks, passes, caves) are labelled with their height.
constexpr int kLandFeatureType = 0x66;
// Borders are drawn from level 8 (municipalities) up.
constexpr int kLowestBorderLevel = 8;

bool EndsWith(const std::string& text, const char* ending) {
    const size_t length = std::strlen(ending);
    if (text.size() < length) {
        return false;
    }
    for (size_t i = 0; i < length; ++i) {
        if (std::tolower(static_cast<unsigned char>(text[text.size() - length + i])) != ending[i]) {
            return false;
        }
    }
    return true;
}

const char* OsmiumFormat(InputFormat format) {
    switch (format) {
        case InputFormat::kPbf:
            return "pbf";
        case InputFormat::kXml:
            return "osm";
        case InputFormat::kXmlGz:
            return "osm.gz";
        case InputFormat::kXmlBz2:
            return "osm.bz2";
        case InputFormat::kUnknown:
            break;
    }
    return "";
}

auto ValueOf(const osmium::TagList& tags) {
    return [&tags](const char* key) { return tags.get_value_by_key(key); };
}

// The administrative level of a boundary relation's tags, or 0.
int BorderLevel(const osmium::TagList& tags) {
    const char* boundary = tags.get_value_by_key("boundary");
    const char* level = tags.get_value_by_key("admin_level");
    if (!boundary || !level || std::strcmp(boundary, "administrative") != 0) {
        return 0;
    }
    const int value = std::atoi(level);
    return value >= 2 && value <= kLowestBorderLevel ? value : 0;
}

std::string FirstRef(const char* ref) {
    if (!ref) {
        return {};
    }
    std::string text(ref);
    const size_t separator = text.find(';');
    if (separator != std::string::npos) {
        text.resize(separator);
    }
    while (!text.empty() && text.back() == ' ') {
        text.pop_back();
    }
    return text;
}

FeatureInfo InfoOf(const TypeRule& rule, const osmium::TagList& tags) {
    FeatureInfo info;
    info.type = rule.type;
    info.subtype = rule.subtype;
    info.coarsestCbits = rule.coarsestCbits;
    info.finestCbits = rule.finestCbits;
    const char* name = tags.get_value_by_key("name");
    if (rule.kind == FeatureKind::kPoint && rule.type == kLandFeatureType) {
        info.name = PeakLabel(name, tags.get_value_by_key("ele"));
    } else if (name) {
        info.name = name;
    }
    if (rule.kind == FeatureKind::kLine && IsRoadType(rule.type)) {
        info.ref = FirstRef(tags.get_value_by_key("ref"));
    }
    return info;
}

// First pass: the relations the area assembler needs, and the level of the administrative
// boundaries each way belongs to.
class RelationCollector {
public:
    RelationCollector(osmium::area::MultipolygonManager<osmium::area::Assembler>& areas,
                      std::unordered_map<osmium::object_id_type, int>& borderLevels)
        : areas_(areas), borderLevels_(borderLevels) {}

    void Relation(const osmium::Relation& relation) {
        // Only the relations whose areas are kept: the assembler holds every member way of the
        // relations it is given until the last one has been read, and the borders of a
        // country run through all of it.
        if (Classify(FeatureKind::kArea, ValueOf(relation.tags())) ||
            Classify(FeatureKind::kPoint, ValueOf(relation.tags()))) {
            areas_.relation(relation);
        }
        const char* type = relation.tags().get_value_by_key("type");
        const int level = BorderLevel(relation.tags());
        if (level == 0 || !type || std::strcmp(type, "boundary") != 0) {
            return;
        }
        for (const osmium::RelationMember& member : relation.members()) {
            if (member.type() != osmium::item_type::way) {
                continue;
            }
            auto [place, added] = borderLevels_.try_emplace(member.ref(), level);
            if (!added) {
                place->second = std::min(place->second, level);
            }
        }
    }

private:
    osmium::area::MultipolygonManager<osmium::area::Assembler>& areas_;
    std::unordered_map<osmium::object_id_type, int>& borderLevels_;
};

// Second pass: typed points, lines and borders; areas as the assembler hands them over.
class FeatureCollector : public osmium::handler::Handler {
public:
    FeatureCollector(FeatureSet& features,
                     const std::unordered_map<osmium::object_id_type, int>& borderLevels)
        : features_(features), borderLevels_(borderLevels) {}

    void node(const osmium::Node& node) {
        ++features_.read.nodes;
        if (node.tags().empty() || !node.location().valid()) {
            return;
        }
        if (const TypeRule* rule = Classify(FeatureKind::kPoint, ValueOf(node.tags()))) {
            features_.points.push_back({InfoOf(*rule, node.tags()),
                                        GeoPoint(node.location().lon(), node.location().lat())});
        }
    }

    void way(const osmium::Way& way) {
        ++features_.read.ways;
        const osmium::TagList& tags = way.tags();
        const TypeRule* line = nullptr;
        const char* area = tags.get_value_by_key("area");
        if (!(area && std::strcmp(area, "yes") == 0)) {
            line = Classify(FeatureKind::kLine, ValueOf(tags));
        }
        const TypeRule* border = BorderRule(way);
        if (!line && !border) {
            return;
        }
        FixedLine geometry;
        geometry.reserve(way.nodes().size());
        for (const osmium::NodeRef& node : way.nodes()) {
            if (node.location().valid()) {
                geometry.push_back({node.location().x(), node.location().y()});
            }
        }
        if (geometry.size() < 2) {
            return;
        }
        const GeoBox box = BoxOf(geometry);
        const int64_t first = way.nodes().front().ref();
        const int64_t last = way.nodes().back().ref();
        PackedLine packed(geometry);
        if (border) {
            FeatureInfo info;
            info.type = border->type;
            info.coarsestCbits = border->coarsestCbits;
            features_.lines.push_back({std::move(info), packed, FixedBox(box), first, last});
        }
        if (line) {
            features_.lines.push_back(
                {InfoOf(*line, tags), std::move(packed), FixedBox(box), first, last});
        }
    }

    void area(const osmium::Area& area) {
        const osmium::TagList& tags = area.tags();
        const TypeRule* areaRule = Classify(FeatureKind::kArea, ValueOf(tags));
        const TypeRule* pointRule = Classify(FeatureKind::kPoint, ValueOf(tags));
        if (!areaRule && !pointRule) {
            return;
        }
        GeoMultiPolygon geometry = Geometry(area);
        if (geometry.empty()) {
            return;
        }
        if (!area.from_way()) {
            ++features_.read.multipolygons;
        }
        const GeoBox box = BoxOf(geometry);
        if (pointRule) {
            // The largest part holds the point.
            const GeoPolygon* largest = &geometry.front();
            for (const GeoPolygon& part : geometry) {
                if (Area(part) > Area(*largest)) {
                    largest = &part;
                }
            }
            features_.points.push_back({InfoOf(*pointRule, tags), InteriorPoint(*largest)});
        }
        if (!areaRule) {
            return;
        }
        double squareDegrees = 0.0;
        for (const GeoPolygon& part : geometry) {
            squareDegrees += Area(part);
        }
        AreaFeature feature{InfoOf(*areaRule, tags), PackedArea(geometry), FixedBox(box), 0.0};
        const double latitude = (box.min_corner().y() + box.max_corner().y()) / 2.0;
        feature.squareMetres = SquareMetres(squareDegrees, latitude);
        if (areaRule->smallType != 0 && feature.squareMetres < kLargeWaterSquareMetres) {
            feature.info.type = areaRule->smallType;
        }
        features_.areas.push_back(std::move(feature));
    }

private:
    const TypeRule* BorderRule(const osmium::Way& way) const {
        int level = BorderLevel(way.tags());
        const auto member = borderLevels_.find(way.id());
        if (member != borderLevels_.end() && (level == 0 || member->second < level)) {
            level = member->second;
        }
        if (level == 0) {
            return nullptr;
        }
        const std::string levelText = std::to_string(level);
        return Classify(FeatureKind::kBorder, [&levelText](const char* key) -> const char* {
            if (std::strcmp(key, "admin_level") == 0) {
                return levelText.c_str();
            }
            return std::strcmp(key, "boundary") == 0 ? "administrative" : nullptr;
        });
    }

    static GeoMultiPolygon Geometry(const osmium::Area& area) {
        GeoMultiPolygon geometry;
        for (const osmium::OuterRing& outer : area.outer_rings()) {
            GeoPolygon polygon;
            polygon.outer().reserve(outer.size());
            for (const osmium::NodeRef& node : outer) {
                polygon.outer().emplace_back(node.location().lon(), node.location().lat());
            }
            for (const osmium::InnerRing& inner : area.inner_rings(outer)) {
                GeoPolygon::ring_type ring;
                ring.reserve(inner.size());
                for (const osmium::NodeRef& node : inner) {
                    ring.emplace_back(node.location().lon(), node.location().lat());
                }
                polygon.inners().push_back(std::move(ring));
            }
            geometry.push_back(std::move(polygon));
        }
        Correct(geometry);
        return geometry;
    }

    FeatureSet& features_;
    const std::unordered_map<osmium::object_id_type, int>& borderLevels_;
};

osmium::TagsFilter AreaFilter() {
    osmium::TagsFilter filter(false);
    for (const TypeRule& rule : TypeRules()) {
        if (rule.kind == FeatureKind::kArea || rule.kind == FeatureKind::kPoint) {
            filter.add_rule(true, osmium::TagMatcher(rule.key));
        }
    }
    return filter;
}

// Blocks decoded ahead of the handlers. The reader's default of 20 holds some 60 MB of decoded
// ways on a country while the handlers catch up; 2 keep both cores as busy as more would.
constexpr const char* kDecodedBlocksAhead = "2";

// libosmium takes its queue lengths from the environment only; a value set by the user stays.
void LimitBlocksAhead() {
    setenv("OSMIUM_MAX_INPUT_QUEUE_SIZE", kDecodedBlocksAhead, 0);
    setenv("OSMIUM_MAX_OSMDATA_QUEUE_SIZE", kDecodedBlocksAhead, 0);
}

double Fraction(const osmium::io::Reader& reader) {
    const size_t size = reader.file_size();
    return size == 0 ? 0.0 : std::min(1.0, double(reader.offset()) / double(size));
}

void ReadHeaderBox(osmium::io::Reader& reader, FeatureSet& features) {
    const osmium::io::Header header = reader.header();
    for (const osmium::Box& box : header.boxes()) {
        if (box.valid()) {
            features.declaredBox =
                GeoBox(GeoPoint(box.bottom_left().lon(), box.bottom_left().lat()),
                       GeoPoint(box.top_right().lon(), box.top_right().lat()));
            return;
        }
    }
}

}  // namespace

InputFormat FormatOfName(const std::string& path) {
    if (EndsWith(path, ".osm.pbf") || EndsWith(path, ".pbf")) {
        return InputFormat::kPbf;
    }
    if (EndsWith(path, ".osm")) {
        return InputFormat::kXml;
    }
    if (EndsWith(path, ".osm.gz")) {
        return InputFormat::kXmlGz;
    }
    if (EndsWith(path, ".osm.bz2")) {
        return InputFormat::kXmlBz2;
    }
    return InputFormat::kUnknown;
}

bool ReadOsm(const std::string& path, InputFormat format, FeatureSet& features,
             const Progress& progress, std::string& error) {
    if (format == InputFormat::kUnknown) {
        error = "unknown format";
        return false;
    }
    if (std::FILE* probe = std::fopen(path.c_str(), "rb")) {
        std::fclose(probe);
    } else {
        error = std::strerror(errno);
        return false;
    }
    const auto report = [&progress](const char* phase, double fraction) {
        if (progress) {
            progress(phase, fraction);
        }
    };
    LimitBlocksAhead();
    try {
        const osmium::io::File file(path, OsmiumFormat(format));
        osmium::area::Assembler::config_type config;
        config.create_empty_areas = false;
        osmium::area::MultipolygonManager<osmium::area::Assembler> areas(config, AreaFilter());
        std::unordered_map<osmium::object_id_type, int> borderLevels;
        {
            RelationCollector relations(areas, borderLevels);
            // Versions, times and users are not kept: not decoding them saves time and memory.
            osmium::io::Reader reader(file, osmium::osm_entity_bits::relation,
                                      osmium::io::read_meta::no);
            while (osmium::memory::Buffer buffer = reader.read()) {
                for (const osmium::Relation& relation : buffer.select<osmium::Relation>()) {
                    ++features.read.relations;
                    relations.Relation(relation);
                }
                report("relations", Fraction(reader));
            }
            reader.close();
            areas.prepare_for_lookup();
        }
        report("relations", 1.0);

        NodeLocations index;
        LocationHandler locations(index);
        locations.ignore_errors();
        FeatureCollector collector(features, borderLevels);
        auto& assemble = areas.handler([&collector](osmium::memory::Buffer&& built) {
            for (const osmium::Area& area : built.select<osmium::Area>()) {
                collector.area(area);
            }
        });
        osmium::io::Reader reader(file,
                                  osmium::osm_entity_bits::node | osmium::osm_entity_bits::way,
                                  osmium::io::read_meta::no);
        ReadHeaderBox(reader, features);
        while (osmium::memory::Buffer buffer = reader.read()) {
            osmium::apply(buffer, locations, collector, assemble);
            report("nodes and ways", Fraction(reader));
        }
        reader.close();
        areas.flush_output();
        report("nodes and ways", 1.0);
    } catch (const std::exception& exception) {
        error = exception.what();
        return false;
    }
    return true;
}

}  // namespace mapmake
