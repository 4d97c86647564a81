#include "mapmake/geometry.h"

#include <boost/geometry.hpp>
#include <boost/geometry/algorithms/point_on_surface.hpp>

#include <algorithm>
#include <cmath>
#include <limits>

namespace mapmake {
namespace bg = boost::geometry;

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDegToRad = 0.017453292519943295;
// A closed ring needs three corners and the closing vertex.
constexpr size_t kMinClosedRing = 4;

bool SamePoint(const GeoPoint& a, const GeoPoint& b) {
    return a.x() == b.x() && a.y() == b.y();
}

double SquaredDistance(const GeoPoint& a, const GeoPoint& b) {
    const double dx = a.x() - b.x();
    const double dy = a.y() - b.y();
    return dx * dx + dy * dy;
}

// The ring simplified, or empty when it collapses below a triangle.
GeoPolygon::ring_type SimplifyRing(const GeoPolygon::ring_type& ring, double toleranceDeg) {
    GeoPolygon::ring_type out;
    bg::simplify(ring, out, toleranceDeg);
    if (out.size() < kMinClosedRing) {
        out.clear();
    }
    return out;
}

}  // namespace

GeoBox EmptyBox() {
    return GeoBox(GeoPoint(180.0, 90.0), GeoPoint(-180.0, -90.0));
}

bool IsEmpty(const GeoBox& box) {
    return box.min_corner().x() > box.max_corner().x() ||
           box.min_corner().y() > box.max_corner().y();
}

void Widen(GeoBox& box, const GeoBox& other) {
    box.min_corner().x(std::min(box.min_corner().x(), other.min_corner().x()));
    box.min_corner().y(std::min(box.min_corner().y(), other.min_corner().y()));
    box.max_corner().x(std::max(box.max_corner().x(), other.max_corner().x()));
    box.max_corner().y(std::max(box.max_corner().y(), other.max_corner().y()));
}

bool Overlap(const GeoBox& a, const GeoBox& b) {
    return a.min_corner().x() <= b.max_corner().x() && b.min_corner().x() <= a.max_corner().x() &&
           a.min_corner().y() <= b.max_corner().y() && b.min_corner().y() <= a.max_corner().y();
}

bool Inside(const GeoBox& inner, const GeoBox& outer) {
    return inner.min_corner().x() >= outer.min_corner().x() &&
           inner.max_corner().x() <= outer.max_corner().x() &&
           inner.min_corner().y() >= outer.min_corner().y() &&
           inner.max_corner().y() <= outer.max_corner().y();
}

double SharedArea(const GeoBox& a, const GeoBox& b) {
    const double width = std::min(a.max_corner().x(), b.max_corner().x()) -
                         std::max(a.min_corner().x(), b.min_corner().x());
    const double height = std::min(a.max_corner().y(), b.max_corner().y()) -
                          std::max(a.min_corner().y(), b.min_corner().y());
    return width > 0.0 && height > 0.0 ? width * height : 0.0;
}

double Area(const GeoBox& box) {
    return IsEmpty(box) ? 0.0
                        : (box.max_corner().x() - box.min_corner().x()) *
                              (box.max_corner().y() - box.min_corner().y());
}

GeoPoint OffsetInMetres(double originLat, double originLon, double eastMetres, double northMetres) {
    const double metresPerDegreeLon = kMetresPerDegree * std::cos(originLat * kPi / 180.0);
    return GeoPoint(originLon + eastMetres / metresPerDegreeLon,
                    originLat + northMetres / kMetresPerDegree);
}

double SquareMetres(double squareDegrees, double latitude) {
    return squareDegrees * kMetresPerDegree * kMetresPerDegree * std::cos(latitude * kDegToRad);
}

double DegreesPerPixel(double metresPerCm, double pixelsPerCm, double latitude) {
    return metresPerCm / pixelsPerCm / (kMetresPerDegree * std::cos(latitude * kDegToRad));
}

void Correct(GeoMultiPolygon& area) {
    bg::correct(area);
}

GeoMultiLine ClipLine(const GeoLine& line, const GeoBox& box) {
    GeoMultiLine pieces;
    bg::intersection(box, line, pieces);
    return pieces;
}

bool ClipArea(const GeoMultiPolygon& area, const GeoBox& box, GeoMultiPolygon& pieces) {
    pieces.clear();
    try {
        for (const GeoPolygon& polygon : area) {
            GeoMultiPolygon cut;
            bg::intersection(box, polygon, cut);
            pieces.insert(pieces.end(), cut.begin(), cut.end());
        }
    } catch (const bg::exception&) {
        pieces.clear();
        return false;
    }
    return true;
}

GeoLine SimplifyLine(const GeoLine& line, double toleranceDeg) {
    GeoLine out;
    bg::simplify(line, out, toleranceDeg);
    return out;
}

GeoPolygon SimplifyPolygon(const GeoPolygon& polygon, double toleranceDeg,
                           double minHoleSquareDeg) {
    GeoPolygon out;
    out.outer() = SimplifyRing(polygon.outer(), toleranceDeg);
    if (out.outer().empty()) {
        return out;
    }
    for (const auto& hole : polygon.inners()) {
        if (std::abs(bg::area(hole)) < minHoleSquareDeg) {
            continue;
        }
        GeoPolygon::ring_type simplified = SimplifyRing(hole, toleranceDeg);
        if (!simplified.empty()) {
            out.inners().push_back(std::move(simplified));
        }
    }
    return out;
}

double Area(const GeoPolygon& polygon) {
    return std::abs(bg::area(polygon));
}

double Length(const GeoLine& line) {
    return bg::length(line);
}

GeoPoint InteriorPoint(const GeoPolygon& polygon) {
    GeoPoint point(0.0, 0.0);
    if (polygon.outer().empty()) {
        return point;
    }
    try {
        bg::centroid(polygon, point);
        if (bg::covered_by(point, polygon)) {
            return point;
        }
        bg::point_on_surface(polygon, point);
    } catch (const bg::exception&) {
        point = polygon.outer().front();
    }
    return point;
}

std::vector<GeoPoint> JoinHoles(const GeoPolygon& polygon) {
    const auto& outer = polygon.outer();
    // The outer ring without its closing vertex.
    const size_t outerCount = outer.size() >= 2 && SamePoint(outer.front(), outer.back())
                                  ? outer.size() - 1
                                  : outer.size();
    std::vector<std::vector<size_t>> holesAt(outerCount);
    for (size_t h = 0; h < polygon.inners().size(); ++h) {
        const auto& hole = polygon.inners()[h];
        if (hole.empty() || outerCount == 0) {
            continue;
        }
        size_t nearest = 0;
        double best = std::numeric_limits<double>::max();
        for (size_t i = 0; i < outerCount; ++i) {
            const double d = SquaredDistance(outer[i], hole.front());
            if (d < best) {
                best = d;
                nearest = i;
            }
        }
        holesAt[nearest].push_back(h);
    }
    std::vector<GeoPoint> ring;
    size_t total = outerCount;
    for (const auto& hole : polygon.inners()) {
        total += hole.size() + 1;
    }
    ring.reserve(total);
    for (size_t i = 0; i < outerCount; ++i) {
        ring.push_back(outer[i]);
        for (size_t h : holesAt[i]) {
            const auto& hole = polygon.inners()[h];
            ring.insert(ring.end(), hole.begin(), hole.end());
            if (!SamePoint(hole.front(), hole.back())) {
                ring.push_back(hole.front());
            }
            ring.push_back(outer[i]);
        }
    }
    return ring;
}

}  // namespace mapmake
