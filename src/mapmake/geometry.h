#pragma once

// The geometry of the map compiler. Positions are longitude (x) and latitude (y) in decimal
// degrees, taken as plain planar coordinates: the program draws maps that way (a degree of
// latitude and a degree of longitude get the same number of pixels), so a distance in degrees
// is a distance on the screen. Cutting and simplifying are Boost.Geometry's.

#include <boost/geometry/geometries/box.hpp>
#include <boost/geometry/geometries/linestring.hpp>
#include <boost/geometry/geometries/multi_linestring.hpp>
#include <boost/geometry/geometries/multi_polygon.hpp>
#include <boost/geometry/geometries/point_xy.hpp>
#include <boost/geometry/geometries/polygon.hpp>

#include <vector>

namespace mapmake {

using GeoPoint = boost::geometry::model::d2::point_xy<double>;
using GeoLine = boost::geometry::model::linestring<GeoPoint>;
using GeoMultiLine = boost::geometry::model::multi_linestring<GeoLine>;
// Outer rings clockwise, inner rings counter-clockwise, every ring closed (last = first).
using GeoPolygon = boost::geometry::model::polygon<GeoPoint>;
using GeoMultiPolygon = boost::geometry::model::multi_polygon<GeoPolygon>;
using GeoBox = boost::geometry::model::box<GeoPoint>;

// Metres of ground in a degree of latitude (and of longitude on the equator).
inline constexpr double kMetresPerDegree = 111320.0;

// A box that widening with any point or box replaces: west 180, south 90, east -180, north -90.
GeoBox EmptyBox();
bool IsEmpty(const GeoBox& box);
void Widen(GeoBox& box, const GeoBox& other);
bool Overlap(const GeoBox& a, const GeoBox& b);
// True when `inner` lies wholly inside `outer`, edges included.
bool Inside(const GeoBox& inner, const GeoBox& outer);
// Area of the part two boxes share, in square degrees.
double SharedArea(const GeoBox& a, const GeoBox& b);
double Area(const GeoBox& box);

// The point `eastMetres` east and `northMetres` north of an origin, on the flat ground of a
// small region (a degree of longitude shortened by the cosine of the origin's latitude).
GeoPoint OffsetInMetres(double originLat, double originLon, double eastMetres, double northMetres);
// Square metres of an area of `squareDegrees` at `latitude`.
double SquareMetres(double squareDegrees, double latitude);
// Degrees (of either kind, as drawn) that one pixel covers at a zoom resolution in metres per
// centimetre, on a screen of pixelsPerCm, for a map whose scale is measured at `latitude`.
double DegreesPerPixel(double metresPerCm, double pixelsPerCm, double latitude);

// Puts rings in the orientation and closure the algorithms expect.
void Correct(GeoMultiPolygon& area);

// The pieces of the line inside the box.
GeoMultiLine ClipLine(const GeoLine& line, const GeoBox& box);
// The pieces of the area inside the box, in `pieces`; false (pieces empty) when the geometry is
// refused as invalid.
bool ClipArea(const GeoMultiPolygon& area, const GeoBox& box, GeoMultiPolygon& pieces);

// Douglas–Peucker with the tolerance in degrees; the ends stay.
GeoLine SimplifyLine(const GeoLine& line, double toleranceDeg);
// The same for every ring; inner rings that collapse or cover less than minHoleSquareDeg are
// dropped, and so is the polygon (an empty outer ring) when its outer ring collapses.
GeoPolygon SimplifyPolygon(const GeoPolygon& polygon, double toleranceDeg, double minHoleSquareDeg);

// Square degrees covered (outer ring less the holes).
double Area(const GeoPolygon& polygon);
double Length(const GeoLine& line);

// A point inside the polygon for its label: the centroid when it lies inside, else a point on
// the surface.
GeoPoint InteriorPoint(const GeoPolygon& polygon);

// The one ring the map format keeps for an area with holes, without the closing vertex: the
// outer ring with each hole joined to it at the nearest outer vertex by a cut there and back.
// The cut adds no area: filled even-odd, as the program fills areas, the ring covers exactly
// what the polygon covers.
std::vector<GeoPoint> JoinHoles(const GeoPolygon& polygon);

}  // namespace mapmake
