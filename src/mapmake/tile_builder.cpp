#include "mapmake/tile_builder.h"

#include <algorithm>
#include <cmath>

#include "formats/img_file.h"
#include "mapmake/labels.h"
#include "mapmake/type_table.h"

namespace mapmake {
namespace {

// Zoom resolutions are whole metres per centimetre up to this.
constexpr double kWidestMetresPerCm = 1.0e7;
// On the levels of at least this many cbits a settlement is its name alone: the streets show
// where it lies, and a dot would only hide them.
constexpr int kPlaceNameOnlyCbits = 21;
// Labels of this type are drawn in the colour of place names; a line of one vertex draws
// nothing but its label.
constexpr int kPlaceNameType = 99;
// The coarsest level is drawn out to about this many times its closest zoom.
constexpr double kLastLevelSpan = 3.0;

// Drawing order of areas: the background under everything, then land cover, then water, then
// buildings; larger areas under smaller ones within each.
constexpr double kOrderStep = 1.0e15;
double DrawingKey(int type, double squareMetres) {
    int rank = 1;
    if (type == kBackgroundType) {
        rank = 0;
    } else if (type == 40 || type == 60 || type == 65 || type == 76) {
        rank = 2;
    } else if (type == 19) {
        rank = 3;
    }
    return double(4 - rank) * kOrderStep + std::min(squareMetres, kOrderStep * 0.5);
}

// Bytes of an object record with its vertices and a label of at most labelUtf8Bytes
// characters (UTF-16 code units).
double RecordBytes(size_t vertices, size_t labelUtf8Bytes) {
    return double(formats::kVlObjectMinBytes) + double(formats::kVlVertexBytes * vertices) +
           2.0 * double(labelUtf8Bytes);
}

// How much of the most detailed level's vertices a coarser level keeps, roughly.
double LevelWeight(size_t index) {
    static constexpr double kWeights[] = {1.0, 0.5, 0.35, 0.2, 0.1};
    return kWeights[std::min(index, std::size(kWeights) - 1)];
}

double ShareInside(const GeoBox& feature, const GeoBox& box) {
    const double area = Area(feature);
    if (area <= 0.0) {
        return 1.0;
    }
    return std::min(1.0, SharedArea(feature, box) / area);
}

void SetVertices(formats::Shape& shape, const GeoPoint* points, size_t count) {
    shape.vertexPairs.reserve(2 * count);
    for (size_t i = 0; i < count; ++i) {
        shape.AddVertex(float(points[i].y()), float(points[i].x()));
    }
    shape.bounds = formats::VertexBounds(shape);
}

void SetLabel(formats::Shape& shape, const std::string& label, const GeoPoint& anchor) {
    shape.SetLabel(QString::fromStdString(label));
    shape.anchorLat = float(anchor.y());
    shape.anchorLon = float(anchor.x());
}

std::vector<GeoPoint> Corners(const GeoBox& box) {
    const double west = box.min_corner().x();
    const double south = box.min_corner().y();
    const double east = box.max_corner().x();
    const double north = box.max_corner().y();
    return {GeoPoint(west, north), GeoPoint(east, north), GeoPoint(east, south),
            GeoPoint(west, south)};
}

// What one feature has become at the level being built: its pieces inside the box,
// simplified for the levels built so far.
struct LinePieces {
    const LineFeature* feature;
    std::vector<GeoLine> pieces;
};
struct AreaPieces {
    const AreaFeature* feature;
    GeoMultiPolygon pieces;
};

// Lower first: places, then by the coarsest level a point is kept on, then by the order of the
// type table.
std::pair<int, size_t> Importance(const FeatureInfo& info) {
    if (IsPlaceType(info.type)) {
        return {0, 0};
    }
    const std::span<const TypeRule> rules = TypeRules();
    size_t index = 0;
    while (index < rules.size() &&
           !(rules[index].kind == FeatureKind::kPoint && rules[index].type == info.type &&
             rules[index].subtype == info.subtype)) {
        ++index;
    }
    return {info.coarsestCbits, index};
}

class MapBuilder {
public:
    MapBuilder(const FeatureSet& features, const GeoBox& box, const QString& name)
        : features_(features), box_(box) {
        built_.file = std::make_unique<formats::ShapeFile>();
        formats::ShapeFile& file = *built_.file;
        file.name = name;
        file.bounds = formats::GeoRect{float(box.min_corner().x()), float(box.max_corner().y()),
                                       float(box.max_corner().x()), float(box.min_corner().y())};
        auto coverage = formats::MakeShape<formats::ShapePolygon>();
        const std::vector<GeoPoint> corners = Corners(box);
        SetVertices(*coverage, corners.data(), corners.size());
        file.coverage.push_back(std::move(coverage));
        latitude_ = (box.min_corner().y() + box.max_corner().y()) / 2.0;
    }

    void Cut(const Candidates& candidates) {
        for (uint32_t index : candidates.lines) {
            const LineFeature& feature = features_.lines[index];
            LinePieces cut{&feature, {}};
            GeoLine line = feature.line.ToGeo();
            if (Inside(feature.box, box_)) {
                cut.pieces.push_back(std::move(line));
            } else {
                for (GeoLine& piece : ClipLine(line, box_)) {
                    if (piece.size() >= 2) {
                        cut.pieces.push_back(std::move(piece));
                    }
                }
            }
            if (!cut.pieces.empty()) {
                lines_.push_back(std::move(cut));
            }
        }
        // The more important roads claim the places of their shields first.
        std::stable_sort(lines_.begin(), lines_.end(),
                         [](const LinePieces& a, const LinePieces& b) {
                             return a.feature->info.type < b.feature->info.type;
                         });
        for (uint32_t index : candidates.areas) {
            const AreaFeature& feature = features_.areas[index];
            AreaPieces cut{&feature, {}};
            if (Inside(feature.box, box_)) {
                cut.pieces = feature.area.ToGeo();
            } else if (!ClipArea(feature.area.ToGeo(), box_, cut.pieces)) {
                ++built_.refusedAreas;
                continue;
            }
            if (!cut.pieces.empty()) {
                areas_.push_back(std::move(cut));
            }
        }
        for (uint32_t index : candidates.points) {
            const PointFeature& feature = features_.points[index];
            if (Overlap(GeoBox(feature.at, feature.at), box_)) {
                points_.push_back(&feature);
            }
        }
        // The rank of each point is looked up once, not at every comparison.
        std::vector<std::pair<std::pair<int, size_t>, const PointFeature*>> ranked;
        ranked.reserve(points_.size());
        for (const PointFeature* point : points_) {
            ranked.emplace_back(Importance(point->info), point);
        }
        std::stable_sort(ranked.begin(), ranked.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        for (size_t i = 0; i < ranked.size(); ++i) {
            points_[i] = ranked[i].second;
        }
    }

    // Levels most detailed first: each simplifies what the one before it kept.
    void AddLevel(const LevelPlan& plan) {
        auto level = std::make_unique<formats::ShapeLevel>();
        level->cbits = uint32_t(plan.cbits);
        LevelCount count;
        count.cbits = plan.cbits;
        AddBackground(*level);
        ++count.areas;
        AddAreas(plan, *level, count);
        AddLines(plan, *level, count);
        AddPoints(plan, *level, count);
        formats::OrderForDrawing(*level);
        PlacesBeforeLines(*level);
        built_.contentObjects += count.Objects() - 1;
        built_.counts.push_back(count);
        built_.file->levels.push_back(std::move(level));
    }

    BuiltMap Take() { return std::move(built_); }

private:
    // Labels are placed in drawing order, the first one winning a contested place: the names
    // of towns and villages go right after the areas, so that street names do not hide them.
    // Their icons then lie under the roads, which leaves them visible beside them.
    static void PlacesBeforeLines(formats::ShapeLevel& level) {
        auto& shapes = level.shapes;
        const auto isPlace = [](const formats::ShapePtr<>& shape) {
            return (shape->Kind() == formats::kShapeKindPoint && IsPlaceType(shape->type)) ||
                   (shape->Kind() == formats::kShapeKindPolyline && shape->type == kPlaceNameType);
        };
        const auto firstLine = std::find_if(shapes.begin(), shapes.end(), [](const auto& shape) {
            return shape->Kind() != formats::kShapeKindPolygon;
        });
        std::stable_partition(firstLine, shapes.end(),
                              [&isPlace](const auto& shape) { return isPlace(shape); });
    }

    void AddBackground(formats::ShapeLevel& level) {
        auto background = formats::MakeShape<formats::ShapePolygon>();
        const std::vector<GeoPoint> corners = Corners(box_);
        SetVertices(*background, corners.data(), corners.size());
        background->type = kBackgroundType;
        background->sortKey = DrawingKey(kBackgroundType, 0.0);
        level.shapes.push_back(std::move(background));
    }

    void AddAreas(const LevelPlan& plan, formats::ShapeLevel& level, LevelCount& count) {
        const double minArea = kMinAreaPixels * plan.pixelDeg * plan.pixelDeg;
        const double labelArea = kLabelledAreaPixels * plan.pixelDeg * plan.pixelDeg;
        for (AreaPieces& area : areas_) {
            const FeatureInfo& info = area.feature->info;
            if (info.coarsestCbits > plan.cbits || info.finestCbits < plan.cbits) {
                continue;
            }
            GeoMultiPolygon kept;
            for (const GeoPolygon& piece : area.pieces) {
                GeoPolygon simplified = SimplifyPolygon(piece, plan.pixelDeg, minArea);
                const double squareDeg = Area(simplified);
                if (simplified.outer().empty() || squareDeg < minArea) {
                    continue;
                }
                const std::vector<GeoPoint> ring = JoinHoles(simplified);
                auto shape = formats::MakeShape<formats::ShapePolygon>();
                SetVertices(*shape, ring.data(), ring.size());
                shape->type = info.type;
                shape->subtype = info.subtype;
                shape->sortKey = DrawingKey(info.type, SquareMetres(squareDeg, latitude_));
                if (!info.name.empty() && squareDeg >= labelArea) {
                    SetLabel(*shape, info.name, InteriorPoint(simplified));
                }
                level.shapes.push_back(std::move(shape));
                ++count.areas;
                kept.push_back(std::move(simplified));
            }
            area.pieces = std::move(kept);
        }
    }

    // True when a shield at `at` keeps its distance from the shields placed so far, and then
    // counts it as placed.
    bool PlaceShield(const LevelPlan& plan, const std::string& text, const GeoPoint& at) {
        const double any = kShieldSpacingPixels * plan.widestPixelDeg;
        const double same = kSameShieldSpacingPixels * plan.widestPixelDeg;
        for (const auto& [place, placedText] : shields_) {
            const double dx = place.x() - at.x();
            const double dy = place.y() - at.y();
            const double squared = dx * dx + dy * dy;
            if (squared < any * any || (squared < same * same && placedText == text)) {
                return false;
            }
        }
        shields_.emplace_back(at, text);
        return true;
    }

    void AddLines(const LevelPlan& plan, formats::ShapeLevel& level, LevelCount& count) {
        const double minLength = kMinLinePixels * plan.pixelDeg;
        shields_.clear();
        for (LinePieces& line : lines_) {
            const FeatureInfo& info = line.feature->info;
            if (info.coarsestCbits > plan.cbits || info.finestCbits < plan.cbits) {
                continue;
            }
            const std::string label = LineLabel(info, plan.cbits);
            const double labelLength =
                kPixelsPerCharacter * double(CharacterCount(label)) * plan.pixelDeg;
            std::vector<GeoLine> kept;
            for (const GeoLine& piece : line.pieces) {
                GeoLine simplified = SimplifyLine(piece, plan.pixelDeg);
                const double length = Length(simplified);
                if (simplified.size() < 2 || length < minLength) {
                    continue;
                }
                auto shape = formats::MakeShape<formats::ShapePolyline>();
                SetVertices(*shape, simplified.data(), simplified.size());
                shape->type = info.type;
                shape->subtype = info.subtype;
                if (!label.empty() && length >= labelLength) {
                    const LinePlacement placement = PlaceOnLine(simplified);
                    if (label.front() != kShieldPrefix) {
                        SetLabel(*shape, label, placement.anchor);
                        shape->labelAngleTenthsDeg = placement.angleTenthsDeg;
                    } else if (PlaceShield(plan, label, placement.anchor)) {
                        // Shields are drawn level whatever the line's direction.
                        SetLabel(*shape, label, placement.anchor);
                    }
                }
                level.shapes.push_back(std::move(shape));
                ++count.lines;
                kept.push_back(std::move(simplified));
            }
            line.pieces = std::move(kept);
        }
    }

    // A settlement's name, centred over it at the level's closest zoom.
    static formats::ShapePtr<> PlaceName(const LevelPlan& plan, const PointFeature& point) {
        auto shape = formats::MakeShape<formats::ShapePolyline>();
        SetVertices(*shape, &point.at, 1);
        shape->type = kPlaceNameType;
        const double halfWidth =
            kPixelsPerCharacter * double(CharacterCount(point.info.name)) / 2.0 * plan.pixelDeg;
        SetLabel(*shape, point.info.name, GeoPoint(point.at.x() - halfWidth, point.at.y()));
        return shape;
    }

    // True when the icon of a point at `at` keeps its distance from the icons placed so far
    // in the level, and then counts it as placed.
    bool PlaceIcon(const LevelPlan& plan, const GeoPoint& at) {
        const double spacing = kIconSpacingPixels * std::sqrt(plan.pixelDeg * plan.widestPixelDeg);
        for (const GeoPoint& placed : icons_) {
            const double dx = placed.x() - at.x();
            const double dy = placed.y() - at.y();
            if (dx * dx + dy * dy < spacing * spacing) {
                return false;
            }
        }
        icons_.push_back(at);
        return true;
    }

    void AddPoints(const LevelPlan& plan, formats::ShapeLevel& level, LevelCount& count) {
        icons_.clear();
        for (const PointFeature* point : points_) {
            if (point->info.coarsestCbits > plan.cbits) {
                continue;
            }
            const bool place = IsPlaceType(point->info.type);
            if (place && plan.cbits >= kPlaceNameOnlyCbits) {
                if (!point->info.name.empty()) {
                    level.shapes.push_back(PlaceName(plan, *point));
                    ++count.lines;
                }
                continue;
            }
            if (!place && !PlaceIcon(plan, point->at)) {
                continue;
            }
            auto shape = formats::MakeShape<formats::ShapePoint>();
            SetVertices(*shape, &point->at, 1);
            shape->type = point->info.type;
            shape->subtype = point->info.subtype;
            SetLabel(*shape, point->info.name, point->at);
            level.shapes.push_back(std::move(shape));
            ++count.points;
        }
    }

    const FeatureSet& features_;
    const GeoBox box_;
    double latitude_ = 0.0;
    BuiltMap built_;
    std::vector<LinePieces> lines_;
    std::vector<AreaPieces> areas_;
    // Points in order of importance: places, then those kept on coarser levels, then the
    // table's order.
    std::vector<const PointFeature*> points_;
    // The icons of the level being built.
    std::vector<GeoPoint> icons_;
    // The shields of the level being built, with their texts.
    std::vector<std::pair<GeoPoint, std::string>> shields_;
};

}  // namespace

double ClosestMetresPerCm(int cbits) {
    // The wanted cbits fall as the resolution grows: the least resolution that wants no more
    // than `cbits`.
    double low = kClosestMetresPerCm;
    if (formats::WantedCbits(float(low)) <= cbits) {
        return low;
    }
    double high = kWidestMetresPerCm;
    while (high - low > 1.0) {
        const double middle = std::floor((low + high) / 2.0);
        if (formats::WantedCbits(float(middle)) <= cbits) {
            high = middle;
        } else {
            low = middle;
        }
    }
    return high;
}

std::vector<LevelPlan> PlanLevels(std::span<const int> cbits, double latitude) {
    std::vector<LevelPlan> plans;
    for (int bits : cbits) {
        LevelPlan plan;
        plan.cbits = bits;
        plan.metresPerCm = ClosestMetresPerCm(bits);
        plan.pixelDeg = DegreesPerPixel(plan.metresPerCm, kPixelsPerCm, latitude);
        plans.push_back(plan);
    }
    for (size_t i = 0; i < plans.size(); ++i) {
        plans[i].widestPixelDeg =
            i + 1 < plans.size() ? plans[i + 1].pixelDeg : plans[i].pixelDeg * kLastLevelSpan;
    }
    return plans;
}

Candidates AllFeatures(const FeatureSet& features) {
    Candidates all;
    all.points.resize(features.points.size());
    all.lines.resize(features.lines.size());
    all.areas.resize(features.areas.size());
    for (uint32_t i = 0; i < all.points.size(); ++i) {
        all.points[i] = i;
    }
    for (uint32_t i = 0; i < all.lines.size(); ++i) {
        all.lines[i] = i;
    }
    for (uint32_t i = 0; i < all.areas.size(); ++i) {
        all.areas[i] = i;
    }
    return all;
}

Candidates Within(const FeatureSet& features, const Candidates& from, const GeoBox& box) {
    Candidates within;
    for (uint32_t i : from.points) {
        const GeoPoint& at = features.points[i].at;
        if (Overlap(GeoBox(at, at), box)) {
            within.points.push_back(i);
        }
    }
    for (uint32_t i : from.lines) {
        if (Overlap(features.lines[i].box, box)) {
            within.lines.push_back(i);
        }
    }
    for (uint32_t i : from.areas) {
        if (Overlap(features.areas[i].box, box)) {
            within.areas.push_back(i);
        }
    }
    return within;
}

double EstimateBytes(const FeatureSet& features, const Candidates& candidates, const GeoBox& box,
                     std::span<const LevelPlan> levels) {
    // A level's share of the most detailed level's bytes, for a feature of `coarsest` cbits.
    const auto levelsFactor = [&levels](int coarsest, bool simplified) {
        double factor = 0.0;
        for (size_t i = 0; i < levels.size(); ++i) {
            if (levels[i].cbits >= coarsest) {
                factor += simplified ? LevelWeight(i) : 1.0;
            }
        }
        return factor;
    };
    double bytes = 0.0;
    for (uint32_t i : candidates.points) {
        const PointFeature& point = features.points[i];
        bytes +=
            RecordBytes(1, point.info.name.size()) * levelsFactor(point.info.coarsestCbits, false);
    }
    for (uint32_t i : candidates.lines) {
        const LineFeature& line = features.lines[i];
        bytes += RecordBytes(line.line.size(), line.info.name.size()) * ShareInside(line.box, box) *
                 levelsFactor(line.info.coarsestCbits, true);
    }
    for (uint32_t i : candidates.areas) {
        const AreaFeature& area = features.areas[i];
        bytes += RecordBytes(area.area.JoinedVertices(), area.info.name.size()) *
                 ShareInside(area.box, box) * levelsFactor(area.info.coarsestCbits, true);
    }
    return bytes;
}

BuiltMap BuildMap(const FeatureSet& features, const Candidates& candidates, const GeoBox& box,
                  std::span<const LevelPlan> levels, const QString& name) {
    MapBuilder builder(features, box, name);
    builder.Cut(candidates);
    for (const LevelPlan& plan : levels) {
        builder.AddLevel(plan);
    }
    return builder.Take();
}

}  // namespace mapmake
