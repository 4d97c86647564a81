#include "mapmake/demo_region.h"

#include <QDir>
#include <QImage>
#include <QTimeZone>
#include <QXmlStreamWriter>

#include <cmath>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "mapmake/demo_drive.h"
#include "mapmake/geometry.h"
#include "platform/file_access.h"

namespace mapmake {
namespace {

constexpr double kCentreLat = kDemoCentreLat;
constexpr double kCentreLon = kDemoCentreLon;
constexpr double kPi = 3.14159265358979323846;

// The region: 32 km by 24 km of countryside around the town, large enough that the program
// can zoom out from the town to the country map.
constexpr double kHalfWidthM = 16000.0;
constexpr double kHalfHeightM = 12000.0;

// The town's street grid: streets every kBlockM metres, bent by up to kBendRad at its east and
// west ends, fanning out to the north.
constexpr double kBlockM = 220.0;
constexpr double kBendRad = 0.2;
constexpr int kAvenues = 11;  // north-south, u from -1100 to 1100
constexpr int kStreets = 9;   // east-west, v from -880 to 880
constexpr double kSampleM = 55.0;
// The suburbs reach this far beyond the ring road, and their closes about as far.
constexpr double kSuburbXM = 900.0;
constexpr double kSuburbYM = 600.0;
constexpr double kCloseM = 650.0;
constexpr double kCloseClearanceM = 80.0;

// Metres east and north of the centre, in the grid's own coordinates (u along the streets,
// v along the avenues) bent into the town's shape.
LocalPoint Grid(double u, double v) {
    const double angle = kBendRad * u / 1000.0;
    return {u * std::cos(angle) - v * std::sin(angle), u * std::sin(angle) + v * std::cos(angle)};
}

double AvenueU(int i) {
    return kBlockM * double(i - kAvenues / 2);
}

double StreetV(int j) {
    return kBlockM * double(j - kStreets / 2);
}

// The river runs west to east south of the town, the railway north of it and the motorway
// farther north.
double RiverY(double x) {
    return -1500.0 + 350.0 * std::sin(x / 2000.0);
}
double RailwayY(double x) {
    return 1850.0 + 60.0 * std::sin(x / 3000.0);
}
double MotorwayY(double x) {
    return 3500.0 + 300.0 * std::sin(x / 5000.0);
}

// The ring road around the town, by the angle from east in degrees.
constexpr LocalPoint kRingCentre{0.0, 240.0};
constexpr double kRingRadiusXM = 1900.0;
constexpr double kRingRadiusYM = 1250.0;
LocalPoint Ring(double degrees) {
    const double a = degrees * kPi / 180.0;
    return {kRingCentre.x + kRingRadiusXM * std::cos(a),
            kRingCentre.y + kRingRadiusYM * std::sin(a)};
}

// The motorway's junction with Station Road, and where its links meet the motorway.
constexpr LocalPoint kJunction{0.0, 3000.0};
LocalPoint MotorwayAt(double x) {
    return {x, MotorwayY(x)};
}

std::vector<LocalPoint> GridLine(bool alongU, double fixed, double from, double to) {
    std::vector<LocalPoint> points;
    const int steps = std::max(1, int(std::lround(std::abs(to - from) / kSampleM)));
    for (int k = 0; k <= steps; ++k) {
        const double t = from + (to - from) * double(k) / double(steps);
        points.push_back(alongU ? Grid(t, fixed) : Grid(fixed, t));
    }
    return points;
}

// The outline of a grid block from (u0, v0) to (u1, v1), following the bend.
std::vector<LocalPoint> GridBlock(double u0, double v0, double u1, double v1) {
    std::vector<LocalPoint> ring = GridLine(true, v0, u0, u1);
    for (const auto& part :
         {GridLine(false, u1, v0, v1), GridLine(true, v1, u1, u0), GridLine(false, u0, v1, v0)}) {
        ring.insert(ring.end(), part.begin() + 1, part.end());
    }
    ring.pop_back();
    return ring;
}

std::vector<LocalPoint> Straight(LocalPoint a, LocalPoint b, double stepM = 100.0) {
    const int steps = std::max(1, int(std::lround(std::hypot(b.x - a.x, b.y - a.y) / stepM)));
    std::vector<LocalPoint> points;
    for (int k = 0; k <= steps; ++k) {
        const double t = double(k) / double(steps);
        points.push_back({a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t});
    }
    return points;
}

// Straight pieces through the given points.
std::vector<LocalPoint> Through(const std::vector<LocalPoint>& corners, double stepM = 100.0) {
    std::vector<LocalPoint> points;
    for (size_t i = 0; i + 1 < corners.size(); ++i) {
        const std::vector<LocalPoint> piece = Straight(corners[i], corners[i + 1], stepM);
        points.insert(points.end(), piece.begin() + (i == 0 ? 0 : 1), piece.end());
    }
    return points;
}

std::vector<LocalPoint> Curve(LocalPoint a, LocalPoint control, LocalPoint b, int steps = 12) {
    std::vector<LocalPoint> points;
    for (int k = 0; k <= steps; ++k) {
        const double t = double(k) / double(steps);
        const double s = 1.0 - t;
        points.push_back({s * s * a.x + 2 * s * t * control.x + t * t * b.x,
                          s * s * a.y + 2 * s * t * control.y + t * t * b.y});
    }
    return points;
}

std::vector<LocalPoint> Ellipse(LocalPoint centre, double rx, double ry, int steps) {
    std::vector<LocalPoint> ring;
    for (int k = 0; k < steps; ++k) {
        const double a = 2.0 * kPi * double(k) / double(steps);
        ring.push_back({centre.x + rx * std::cos(a), centre.y + ry * std::sin(a)});
    }
    return ring;
}

// An irregular round outline, the same for the same seed.
std::vector<LocalPoint> Blob(LocalPoint centre, double radius, double wiggle, int seed) {
    std::vector<LocalPoint> ring;
    constexpr int kSteps = 60;
    for (int k = 0; k < kSteps; ++k) {
        const double a = 2.0 * kPi * double(k) / double(kSteps);
        const double r = radius + wiggle * (0.6 * std::sin(3.0 * a + seed) +
                                            0.4 * std::sin(7.0 * a + 2.0 * seed));
        ring.push_back({centre.x + r * std::cos(a), centre.y + r * std::sin(a)});
    }
    return ring;
}

std::vector<LocalPoint> Rectangle(double west, double south, double east, double north) {
    return {{west, south}, {east, south}, {east, north}, {west, north}};
}

using Tags = std::vector<std::pair<std::string, std::string>>;

Tags With(Tags tags, const char* key, const char* value) {
    tags.emplace_back(key, value);
    return tags;
}

// The town as OpenStreetMap data: nodes shared by the ways that meet at the same place.
class OsmDocument {
public:
    // The node at a position: the same node for every way through it.
    int64_t NodeAt(const LocalPoint& at) {
        const std::pair<int64_t, int64_t> key{std::llround(at.x * 100.0),
                                              std::llround(at.y * 100.0)};
        const auto found = shared_.find(key);
        if (found != shared_.end()) {
            return found->second;
        }
        nodes_.push_back({int64_t(nodes_.size()) + 1, at, {}});
        shared_.emplace(key, nodes_.back().id);
        return nodes_.back().id;
    }

    void Point(const LocalPoint& at, Tags tags) {
        nodes_.push_back({int64_t(nodes_.size()) + 1, at, std::move(tags)});
    }

    int64_t Way(const std::vector<LocalPoint>& points, Tags tags) {
        Record way{int64_t(ways_.size()) + 1, {}, std::move(tags)};
        for (const LocalPoint& point : points) {
            way.nodes.push_back(NodeAt(point));
        }
        ways_.push_back(std::move(way));
        return ways_.back().id;
    }

    int64_t ClosedWay(std::vector<LocalPoint> ring, Tags tags) {
        ring.push_back(ring.front());
        return Way(ring, std::move(tags));
    }

    // A way that passes over the river and the motorway on bridges.
    void Road(const std::vector<LocalPoint>& points, const Tags& tags) {
        constexpr double kHalfBridgeM = 20.0;
        std::vector<LocalPoint> piece{points.front()};
        for (size_t i = 1; i < points.size(); ++i) {
            const LocalPoint& a = points[i - 1];
            const LocalPoint& b = points[i];
            double crossing = -1.0;
            for (double (*under)(double) : {RiverY, MotorwayY}) {
                const double before = a.y - under(a.x);
                const double after = b.y - under(b.x);
                if ((before < 0.0) != (after < 0.0)) {
                    crossing = before / (before - after);
                }
            }
            if (crossing < 0.0) {
                piece.push_back(b);
                continue;
            }
            const double half = kHalfBridgeM / std::hypot(b.x - a.x, b.y - a.y);
            const double from = std::max(0.0, crossing - half);
            const double to = std::min(1.0, crossing + half);
            const auto at = [&](double t) {
                return LocalPoint{a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t};
            };
            if (from > 0.0) {
                piece.push_back(at(from));
            }
            if (piece.size() >= 2) {
                Way(piece, tags);
            }
            Way({at(from), at(to)}, With(With(tags, "bridge", "yes"), "layer", "1"));
            piece = {at(to)};
            if (to < 1.0) {
                piece.push_back(b);
            }
        }
        if (piece.size() >= 2) {
            Way(piece, tags);
        }
    }

    void Relation(const std::vector<std::pair<int64_t, const char*>>& members, Tags tags) {
        relations_.push_back({std::move(tags), members});
    }

    QByteArray Xml(const GeoBox& bounds) const {
        QByteArray xml;
        QXmlStreamWriter out(&xml);
        out.setAutoFormatting(true);
        out.writeStartDocument();
        out.writeComment(" The demo region of Velmora: an invented town and its countryside. ");
        out.writeStartElement("osm");
        out.writeAttribute("version", "0.6");
        out.writeAttribute("generator", "vlmake --demo");
        out.writeEmptyElement("bounds");
        out.writeAttribute("minlat", Number(bounds.min_corner().y()));
        out.writeAttribute("minlon", Number(bounds.min_corner().x()));
        out.writeAttribute("maxlat", Number(bounds.max_corner().y()));
        out.writeAttribute("maxlon", Number(bounds.max_corner().x()));
        for (const Node& node : nodes_) {
            const GeoPoint at = ToGeo(node.at);
            out.writeStartElement("node");
            out.writeAttribute("id", QString::number(node.id));
            out.writeAttribute("lat", Number(at.y()));
            out.writeAttribute("lon", Number(at.x()));
            WriteTags(out, node.tags);
            out.writeEndElement();
        }
        for (const Record& way : ways_) {
            out.writeStartElement("way");
            out.writeAttribute("id", QString::number(way.id));
            for (int64_t node : way.nodes) {
                out.writeEmptyElement("nd");
                out.writeAttribute("ref", QString::number(node));
            }
            WriteTags(out, way.tags);
            out.writeEndElement();
        }
        int64_t id = 0;
        for (const RelationRecord& relation : relations_) {
            out.writeStartElement("relation");
            out.writeAttribute("id", QString::number(++id));
            for (const auto& [way, role] : relation.members) {
                out.writeEmptyElement("member");
                out.writeAttribute("type", "way");
                out.writeAttribute("ref", QString::number(way));
                out.writeAttribute("role", role);
            }
            WriteTags(out, relation.tags);
            out.writeEndElement();
        }
        out.writeEndElement();
        out.writeEndDocument();
        return xml;
    }

    static GeoPoint ToGeo(const LocalPoint& at) {
        return OffsetInMetres(kCentreLat, kCentreLon, at.x, at.y);
    }

private:
    struct Node {
        int64_t id;
        LocalPoint at;
        Tags tags;
    };
    struct Record {
        int64_t id;
        std::vector<int64_t> nodes;
        Tags tags;
    };
    struct RelationRecord {
        Tags tags;
        std::vector<std::pair<int64_t, const char*>> members;
    };

    static QString Number(double degrees) { return QString::number(degrees, 'f', 7); }

    static void WriteTags(QXmlStreamWriter& out, const Tags& tags) {
        for (const auto& [key, value] : tags) {
            out.writeEmptyElement("tag");
            out.writeAttribute("k", QString::fromStdString(key));
            out.writeAttribute("v", QString::fromStdString(value));
        }
    }

    std::map<std::pair<int64_t, int64_t>, int64_t> shared_;
    std::vector<Node> nodes_;
    std::vector<Record> ways_;
    std::vector<RelationRecord> relations_;
};

const char* const kAvenueNames[kAvenues] = {
    "Willow Avenue", "Pine Avenue", "Birch Avenue", "Elm Avenue",   "Baker Street", "Station Road",
    "School Lane",   "Oak Avenue",  "Maple Avenue", "Cedar Avenue", "Ash Avenue"};
const char* const kStreetNames[kStreets] = {"Meadow Street", "Garden Street", "Market Street",
                                            "Mill Street",   "Main Street",   "Linden Street",
                                            "Church Street", "Hill Street",   "Castle Street"};
// The streets of the suburbs, leading off the ring road.
const char* const kCloseNames[] = {"Rose Close",  "Ivy Close",    "Fern Close", "Holly Close",
                                   "Poppy Close", "Laurel Close", "Iris Close", "Heather Close"};

// Main Street and Station Road carry the traffic through the town.
const char* GridClass(bool street, int index) {
    const bool main = street ? index == kStreets / 2 : index == kAvenues / 2;
    return main ? "tertiary" : "residential";
}

void AddStreetGrid(OsmDocument& osm) {
    // One way for each piece between two junctions, as mapped streets are.
    for (int j = 0; j < kStreets; ++j) {
        const Tags tags{{"highway", GridClass(true, j)}, {"name", kStreetNames[j]}};
        for (int i = 0; i + 1 < kAvenues; ++i) {
            osm.Way(GridLine(true, StreetV(j), AvenueU(i), AvenueU(i + 1)), tags);
        }
    }
    for (int i = 0; i < kAvenues; ++i) {
        const Tags tags{{"highway", GridClass(false, i)}, {"name", kAvenueNames[i]}};
        for (int j = 0; j + 1 < kStreets; ++j) {
            osm.Way(GridLine(false, AvenueU(i), StreetV(j), StreetV(j + 1)), tags);
        }
    }
    const double west = AvenueU(0);
    const double east = AvenueU(kAvenues - 1);
    const double south = StreetV(0);
    const double north = StreetV(kStreets - 1);
    osm.Way(Straight(Grid(west, 0.0), Ring(180.0)),
            {{"highway", "tertiary"}, {"name", "Main Street"}});
    osm.Way(Straight(Grid(east, 0.0), Ring(0.0)),
            {{"highway", "tertiary"}, {"name", "Main Street"}});
    osm.Way(Straight(Grid(0.0, north), Ring(90.0)),
            {{"highway", "tertiary"}, {"name", "Station Road"}});
    osm.Way(Straight(Grid(0.0, south), Ring(270.0)),
            {{"highway", "tertiary"}, {"name", "Station Road"}});
}

void AddRoads(OsmDocument& osm) {
    // The ring, in four pieces between the roads that meet it.
    const Tags ring{{"highway", "secondary"}, {"name", "Ring Road"}, {"ref", "R1"}};
    for (int quarter = 0; quarter < 4; ++quarter) {
        std::vector<LocalPoint> points;
        for (int degrees = 90 * quarter; degrees <= 90 * (quarter + 1); degrees += 5) {
            points.push_back(Ring(degrees));
        }
        osm.Way(points, ring);
    }
    // Closes off the ring road into the suburbs, between the roads that leave it, ending short
    // of the river and the railway.
    int close = 0;
    for (int degrees = 25; degrees < 360; degrees += 25) {
        if (degrees % 90 < 20 || degrees % 90 > 70) {
            continue;
        }
        const LocalPoint from = Ring(degrees);
        const double a = degrees * kPi / 180.0;
        double length = kCloseM;
        const auto end = [&] {
            return LocalPoint{from.x + length * std::cos(a), from.y + length * std::sin(a)};
        };
        while (length > kBlockM && (std::abs(end().y - RiverY(end().x)) < kCloseClearanceM ||
                                    std::abs(end().y - RailwayY(end().x)) < kCloseClearanceM)) {
            length -= 50.0;
        }
        osm.Way(
            Straight(from, end(), 80.0),
            {{"highway", "residential"}, {"name", kCloseNames[close++ % std::size(kCloseNames)]}});
    }
    osm.Road(Straight(Ring(90.0), kJunction), {{"highway", "tertiary"}, {"name", "Station Road"}});
    osm.Road(Through({Ring(270.0), {300.0, -3000.0}, {1500.0, -7000.0}}),
             {{"highway", "tertiary"}, {"name", "Bridge Street"}});
    osm.Road(Through({Ring(180.0),
                      {-3000.0, -400.0},
                      {-6000.0, -1700.0},
                      {-11000.0, -3000.0},
                      {-kHalfWidthM, -3600.0}}),
             {{"highway", "secondary"}, {"name", "Westbrook Road"}, {"ref", "S21"}});
    osm.Road(Through({Ring(0.0),
                      {4000.0, 700.0},
                      {7000.0, 1500.0},
                      {10000.0, 2500.0},
                      {kHalfWidthM, 3600.0}}),
             {{"highway", "tertiary"}, {"name", "Eastmere Road"}});
    osm.Road(Through({kJunction, {0.0, 4200.0}, {-3000.0, 5500.0}, {-9000.0, 7000.0}}),
             {{"highway", "tertiary"}, {"name", "Northfield Road"}});
    osm.Road(Through({{-9000.0, 7000.0}, {-8200.0, 8200.0}, {-7000.0, 9500.0}}),
             {{"highway", "track"}, {"name", "Summit Track"}});
    osm.Road(Through({{10000.0, 2500.0}, {9800.0, 800.0}, {8500.0, -900.0}}, 80.0),
             {{"highway", "track"}});
    // Village lanes across the roads that pass through them.
    for (const LocalPoint& village : {LocalPoint{-11000.0, -3000.0}, LocalPoint{1500.0, -7000.0},
                                      LocalPoint{10000.0, 2500.0}, LocalPoint{-9000.0, 7000.0}}) {
        osm.Road(Straight({village.x - 300.0, village.y + 350.0},
                          {village.x + 300.0, village.y - 350.0}),
                 {{"highway", "residential"}, {"name", "Church Lane"}});
    }

    // The motorway with its reference, and the links of its junction with Station Road.
    std::vector<LocalPoint> motorway{MotorwayAt(-kHalfWidthM)};
    for (double x = -15900.0; x <= 15900.0; x += 300.0) {
        motorway.push_back(MotorwayAt(x));
    }
    motorway.push_back(MotorwayAt(kHalfWidthM));
    osm.Way(
        motorway,
        {{"highway", "motorway"}, {"ref", "A9"}, {"name", "Northern Motorway"}, {"oneway", "yes"}});
    osm.Way(Curve(kJunction, {-300.0, 3350.0}, MotorwayAt(-900.0)), {{"highway", "motorway_link"}});
    osm.Way(Curve(kJunction, {300.0, 3350.0}, MotorwayAt(900.0)), {{"highway", "motorway_link"}});

    std::vector<LocalPoint> railway;
    for (double x = -kHalfWidthM; x <= kHalfWidthM; x += 250.0) {
        railway.push_back({x, RailwayY(x)});
    }
    osm.Way(railway, {{"railway", "rail"}, {"name", "Valley Line"}});
}

void AddWater(OsmDocument& osm) {
    std::vector<LocalPoint> river;
    for (double x = -kHalfWidthM; x <= kHalfWidthM; x += 200.0) {
        river.push_back({x, RiverY(x)});
    }
    osm.Way(river, {{"waterway", "river"}, {"name", "Velmos"}});
    osm.Way(Curve({9500.0, -3800.0}, {7500.0, -2200.0}, {6000.0, RiverY(6000.0)}, 16),
            {{"waterway", "stream"}, {"name", "Mill Brook"}});
    // Lake Mora with its island: a multipolygon relation.
    const int64_t shore = osm.ClosedWay(Ellipse({4300.0, 2700.0}, 1000.0, 550.0, 72), {});
    const int64_t island = osm.ClosedWay(Ellipse({4500.0, 2750.0}, 180.0, 120.0, 24), {});
    osm.Relation({{shore, "outer"}, {island, "inner"}},
                 {{"type", "multipolygon"}, {"natural", "water"}, {"name", "Lake Mora"}});
}

void AddLand(OsmDocument& osm) {
    const double west = AvenueU(0) - 20.0;
    const double east = AvenueU(kAvenues - 1) + 20.0;
    const double south = StreetV(0) - 20.0;
    const double north = StreetV(kStreets - 1) + 20.0;
    osm.ClosedWay(GridBlock(west, south, east, north), {{"landuse", "residential"}});
    osm.ClosedWay(Ellipse(kRingCentre, kRingRadiusXM + kSuburbXM, kRingRadiusYM + kSuburbYM, 72),
                  {{"landuse", "residential"}});
    osm.ClosedWay(GridBlock(-210.0, -210.0, -10.0, -10.0),
                  {{"landuse", "retail"}, {"name", "Market Square"}});
    osm.ClosedWay(GridBlock(230.0, 230.0, 430.0, 430.0),
                  {{"leisure", "park"}, {"name", "City Park"}});
    osm.ClosedWay(Ellipse(Grid(330.0, 300.0), 45.0, 30.0, 16),
                  {{"natural", "water"}, {"name", "Swan Pond"}});
    osm.Way(GridLine(true, 380.0, 230.0, 430.0), {{"highway", "footway"}, {"name", "Park Walk"}});
    osm.ClosedWay(GridBlock(-650.0, 230.0, -450.0, 430.0),
                  {{"amenity", "hospital"}, {"name", "Lindora Hospital"}});
    osm.ClosedWay(Rectangle(1950.0, 300.0, 2150.0, 450.0),
                  {{"landuse", "cemetery"}, {"name", "St. Mary's Cemetery"}});
    osm.ClosedWay(Rectangle(-1650.0, -250.0, -1420.0, -50.0),
                  {{"leisure", "stadium"}, {"name", "Lindora Stadium"}});
    osm.ClosedWay(Rectangle(400.0, 1980.0, 1100.0, 2300.0),
                  {{"landuse", "industrial"}, {"name", "North Works"}});
    osm.ClosedWay(Blob({-6000.0, 1800.0}, 2600.0, 500.0, 1),
                  {{"landuse", "forest"}, {"name", "Old Wood"}});
    osm.ClosedWay(Blob({6500.0, -5800.0}, 3000.0, 600.0, 2),
                  {{"natural", "wood"}, {"name", "Pine Hills"}});
    osm.ClosedWay(Blob({9500.0, 4300.0}, 1200.0, 200.0, 3), {{"landuse", "meadow"}});
    osm.ClosedWay(Blob({-3000.0, -3500.0}, 1500.0, 300.0, 4),
                  {{"landuse", "meadow"}, {"name", "Long Meadow"}});
    // Three houses along the south side of each block, but for the park, the hospital and the
    // market square.
    for (int i = 0; i + 1 < kAvenues; ++i) {
        for (int j = 0; j + 1 < kStreets; ++j) {
            const double u = AvenueU(i);
            const double v = StreetV(j);
            if ((u == 220.0 && v == 220.0) || (u == -660.0 && v == 220.0) ||
                (u == -220.0 && v == -220.0)) {
                continue;
            }
            for (int k = 0; k < 3; ++k) {
                const double left = u + 25.0 + 65.0 * k;
                osm.ClosedWay(GridBlock(left, v + 15.0, left + 45.0, v + 45.0),
                              {{"building", "yes"}});
            }
        }
    }
    // The municipality's border.
    osm.ClosedWay(Rectangle(-7000.0, -4500.0, 8000.0, 5200.0),
                  {{"boundary", "administrative"}, {"admin_level", "8"}, {"name", "Lindora"}});
}

struct DemoPoi {
    LocalPoint at;
    Tags tags;
    // False for a place whose area carries it (the hospital's grounds).
    bool node = true;
};

// The town's points of interest; the first four are also in the POI file.
std::vector<DemoPoi> PointsOfInterest() {
    return {
        {Grid(25.0, 25.0), {{"amenity", "cafe"}, {"name", "Cafe Central"}}},
        {{2050.0, 200.0}, {{"amenity", "fuel"}, {"name", "Lindora Fuel"}}},
        {Grid(-550.0, 330.0), {{"amenity", "hospital"}, {"name", "Lindora Hospital"}}, false},
        {Grid(-110.0, 240.0), {{"tourism", "museum"}, {"name", "Town Museum"}}},
        {Grid(-110.0, -330.0), {{"amenity", "parking"}, {"name", "Central Parking"}}},
        {Grid(110.0, 30.0), {{"amenity", "restaurant"}, {"name", "Trattoria Lindo"}}},
        {Grid(-330.0, -200.0), {{"amenity", "restaurant"}, {"name", "The Old Mill"}}},
        {Grid(-110.0, 30.0), {{"tourism", "hotel"}, {"name", "Hotel Lindora"}}},
        {Grid(330.0, -30.0), {{"shop", "supermarket"}, {"name", "Fresh Market"}}},
        {Grid(-330.0, 240.0), {{"amenity", "pharmacy"}, {"name", "Linden Pharmacy"}}},
        {Grid(610.0, 250.0), {{"amenity", "school"}, {"name", "Lindora School"}}},
        {Grid(110.0, 470.0), {{"amenity", "place_of_worship"}, {"name", "St. Mary's Church"}}},
        {Grid(110.0, -30.0), {{"amenity", "bank"}, {"name", "Valley Bank"}}},
        {Grid(-30.0, -250.0), {{"amenity", "post_office"}, {"name", "Post Office"}}},
        {Grid(690.0, 30.0), {{"amenity", "police"}, {"name", "Police"}}},
        {Grid(-770.0, -500.0), {{"amenity", "cafe"}, {"name", "Corner Cafe"}}},
        {Grid(880.0, 500.0), {{"amenity", "restaurant"}, {"name", "Lakeside Grill"}}},
        {Grid(-30.0, 30.0), {{"amenity", "townhall"}, {"name", "Town Hall"}}},
        {{60.0, RailwayY(60.0) + 25.0}, {{"railway", "station"}, {"name", "Lindora Station"}}},
        {{-900.0, MotorwayY(-900.0) - 60.0}, {{"amenity", "parking"}, {"name", "Park and Ride"}}},
        {Grid(100.0, 110.0), {{"place", "town"}, {"name", "Lindora"}}},
        {{-11000.0, -3000.0}, {{"place", "village"}, {"name", "Westbrook"}}},
        {{1500.0, -7000.0}, {{"place", "village"}, {"name", "Southby"}}},
        {{10000.0, 2500.0}, {{"place", "village"}, {"name", "Eastmere"}}},
        {{-9000.0, 7000.0}, {{"place", "village"}, {"name", "Northfield"}}},
        {{-7000.0, 9500.0}, {{"natural", "peak"}, {"name", "Mount Vel"}, {"ele", "1245"}}},
    };
}

void AddPoints(OsmDocument& osm) {
    for (const DemoPoi& poi : PointsOfInterest()) {
        if (poi.node) {
            osm.Point(poi.at, poi.tags);
        }
    }
    for (const LocalPoint& village : {LocalPoint{-11000.0, -3000.0}, LocalPoint{1500.0, -7000.0},
                                      LocalPoint{10000.0, 2500.0}, LocalPoint{-9000.0, 7000.0}}) {
        osm.ClosedWay(Ellipse(village, 500.0, 420.0, 24), {{"landuse", "residential"}});
    }
}

// The drive: from the west of Main Street to the junction with Station Road (a stop at the
// lights), north to Church Street, east to Maple Avenue (slowly, past the school), south back
// to Main Street and east to its end.
std::vector<DriveLeg> DriveLegs() {
    constexpr double kMainStreetMs = 50.0 / 3.6;
    constexpr double kStreetMs = 40.0 / 3.6;
    constexpr double kSchoolMs = 30.0 / 3.6;
    constexpr double kStopSeconds = 15.0;
    const double main = StreetV(kStreets / 2);
    const double church = StreetV(6);
    const double maple = AvenueU(8);
    return {
        {GridLine(true, main, AvenueU(2), 0.0), kMainStreetMs, kStopSeconds},
        {GridLine(false, 0.0, main, church), kStreetMs, 0.0},
        {GridLine(true, church, 0.0, maple), kStreetMs, 0.0},
        {GridLine(false, maple, church, main), kSchoolMs, 0.0},
        {GridLine(true, main, maple, AvenueU(9)), kMainStreetMs, 0.0},
    };
}

// 16 × 16 icons, one letter a pixel: the top-left pixel is the transparent colour.
struct Icon {
    const char* file;
    const char* rows[16];
};

const Icon kIcons[] = {
    {"fuel.bmp",
     {"................", "..RRRRRRR.......", "..RWWWWWR.......", "..RWWWWWR..K....",
      "..RWWWWWR..KK...", "..RRRRRRR...K...", "..RRRRRRRKK.K...", "..RRRRRRR.K.K...",
      "..RRRRRRR.K.K...", "..RRRRRRR.K.K...", "..RRRRRRR.KKK...", "..RRRRRRR.......",
      "..RRRRRRR.......", ".KKKKKKKKK......", ".KKKKKKKKK......", "................"}},
    {"cafe.bmp",
     {"................", "....B..B..B.....", ".....B..B..B....", "....B..B..B.....",
      "................", "..BBBBBBBBBB....", "..BWWWWWWWWBBB..", "..BWWWWWWWWB.B..",
      "..BWWWWWWWWB.B..", "..BWWWWWWWWBBB..", "...BWWWWWWB.....", "....BBBBBB......",
      "................", ".BBBBBBBBBBBBB..", "..BBBBBBBBBBB...", "................"}},
    {"hospital.bmp",
     {"................", ".KKKKKKKKKKKKKK.", ".KWWWWWWWWWWWWK.", ".KWWWWRRRRWWWWK.",
      ".KWWWWRRRRWWWWK.", ".KWWWWRRRRWWWWK.", ".KWRRRRRRRRRRWK.", ".KWRRRRRRRRRRWK.",
      ".KWRRRRRRRRRRWK.", ".KWRRRRRRRRRRWK.", ".KWWWWRRRRWWWWK.", ".KWWWWRRRRWWWWK.",
      ".KWWWWRRRRWWWWK.", ".KWWWWWWWWWWWWK.", ".KKKKKKKKKKKKKK.", "................"}},
    {"museum.bmp",
     {"................", ".......KK.......", ".....KKGGKK.....", "...KKGGGGGGKK...",
      ".KKKKKKKKKKKKKK.", "..GG..GG..GG..G.", "..GG..GG..GG..G.", "..GG..GG..GG..G.",
      "..GG..GG..GG..G.", "..GG..GG..GG..G.", "..GG..GG..GG..G.", "..GG..GG..GG..G.",
      ".KKKKKKKKKKKKKK.", "KKKKKKKKKKKKKKKK", "................", "................"}},
};

QImage IconImage(const Icon& icon) {
    const std::map<char, QRgb> palette = {{'.', qRgb(255, 0, 255)},   {'R', qRgb(220, 30, 30)},
                                          {'W', qRgb(255, 255, 255)}, {'K', qRgb(20, 20, 20)},
                                          {'B', qRgb(120, 70, 30)},   {'G', qRgb(150, 150, 150)}};
    QImage image(16, 16, QImage::Format_RGB32);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            image.setPixel(x, y, palette.at(icon.rows[y][x]));
        }
    }
    return image;
}

void AppendLe(QByteArray& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.append(char((value >> (8 * i)) & 0xFF));
    }
}

// A short two-note chime: 16-bit mono PCM at 22 050 Hz, each note fading out.
QByteArray ChimeWav() {
    constexpr int kRate = 22050;
    constexpr double kNoteSeconds = 0.18;
    constexpr double kNotesHz[] = {880.0, 1318.5};
    QByteArray samples;
    for (double hz : kNotesHz) {
        const int count = int(kRate * kNoteSeconds);
        for (int i = 0; i < count; ++i) {
            const double t = double(i) / kRate;
            const double value = 0.6 * std::exp(-t * 12.0) * std::sin(2.0 * kPi * hz * t);
            AppendLe(samples, uint32_t(uint16_t(int16_t(std::lround(value * 32767.0)))), 2);
        }
    }
    QByteArray wav("RIFF");
    AppendLe(wav, uint32_t(36 + samples.size()), 4);
    wav.append("WAVEfmt ");
    AppendLe(wav, 16, 4);  // format chunk size
    AppendLe(wav, 1, 2);   // PCM
    AppendLe(wav, 1, 2);   // one channel
    AppendLe(wav, kRate, 4);
    AppendLe(wav, kRate * 2, 4);  // bytes a second
    AppendLe(wav, 2, 2);          // bytes a sample
    AppendLe(wav, 16, 2);         // bits a sample
    wav.append("data");
    AppendLe(wav, uint32_t(samples.size()), 4);
    wav.append(samples);
    return wav;
}

QByteArray PoiFile() {
    const struct {
        const char* detail;
        const char* icon;
        const char* sound;
    } kEntries[] = {
        {"Coffee and cakes on Main Street", "cafe.bmp", "chime.wav"},
        {"Open day and night, on the ring road", "fuel.bmp", "chime.wav"},
        {"Emergency department", "hospital.bmp", "chime.wav"},
        {"The history of the valley", "museum.bmp", nullptr},
    };
    const std::vector<DemoPoi> pois = PointsOfInterest();
    QByteArray text;
    for (size_t i = 0; i < std::size(kEntries); ++i) {
        const GeoPoint at = OsmDocument::ToGeo(pois[i].at);
        QString name;
        for (const auto& [key, value] : pois[i].tags) {
            if (key == "name") {
                name = QString::fromStdString(value);
            }
        }
        QString line = QString("%1|%2|%3|%4|%5")
                           .arg(at.y(), 0, 'f', 6)
                           .arg(at.x(), 0, 'f', 6)
                           .arg(name, QString::fromLatin1(kEntries[i].detail),
                                QString::fromLatin1(kEntries[i].icon));
        if (kEntries[i].sound) {
            line += QLatin1Char('|') + QString::fromLatin1(kEntries[i].sound);
        }
        text += line.toLatin1() + "\r\n";
    }
    return text;
}

}  // namespace

bool WriteDemoRegion(const QString& outDir, QString& error) {
    const QString poiFolder = outDir + QLatin1String("/POI");
    if (!QDir().mkpath(poiFolder)) {
        error = QString("cannot write into %1").arg(outDir);
        return false;
    }
    OsmDocument osm;
    AddStreetGrid(osm);
    AddRoads(osm);
    AddWater(osm);
    AddLand(osm);
    AddPoints(osm);
    const GeoBox bounds(OsmDocument::ToGeo({-kHalfWidthM, -kHalfHeightM}),
                        OsmDocument::ToGeo({kHalfWidthM, kHalfHeightM}));
    const QDateTime start(QDate(2024, 5, 18), QTime(9, 30, 0), QTimeZone::utc());
    const QByteArray drive = NmeaLog(SimulateDrive(DriveLegs()), kCentreLat, kCentreLon, start);
    const std::pair<QString, QByteArray> files[] = {
        {outDir + QLatin1String("/demo.osm"), osm.Xml(bounds)},
        {outDir + QLatin1String("/demo.nmea"), drive},
        {poiFolder + QLatin1String("/demo.poi"), PoiFile()},
        {poiFolder + QLatin1String("/chime.wav"), ChimeWav()},
    };
    for (const auto& [path, bytes] : files) {
        if (!platform::WriteWholeFile(path, bytes)) {
            error = QString("cannot write %1").arg(path);
            return false;
        }
    }
    for (const Icon& icon : kIcons) {
        const QString path = poiFolder + QLatin1Char('/') + QLatin1String(icon.file);
        if (!IconImage(icon).save(path, "BMP")) {
            error = QString("cannot write %1").arg(path);
            return false;
        }
    }
    return true;
}

CompileOptions DemoCompileOptions(const QString& outDir) {
    CompileOptions options;
    options.input = outDir + QLatin1String("/demo.osm");
    options.outDir = outDir;
    options.name = QStringLiteral("Demo");
    options.attribution.clear();
    return options;
}

}  // namespace mapmake
