#include "formats/gpx_file.h"

#include <QFileInfo>

#include <pugixml.hpp>

#include <charconv>
#include <cmath>
#include <cstring>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "formats/xml_encoding.h"
#include "platform/c_format.h"
#include "platform/speed_counter.h"
#include "platform/trace.h"

namespace formats {
namespace {

constexpr char kCounterName[] = "ShapeGPX::GPXFile::Open";
// Text that is only white space between elements is dropped; text that is an element's only
// content is kept in the element itself, which halves the nodes of a typical file.
constexpr unsigned kParseOptions = pugi::parse_default | pugi::parse_embed_pcdata;
constexpr std::string_view kXmlSpace = " \t\r\n";

// ---------------------------------------------------------------------------------------------
// Reading values.

// A number as the C library's string-to-double conversion reads it in the C locale: leading
// white space skipped, a sign allowed, trailing text ignored; nullopt when no number starts the
// text.
std::optional<double> ParseLeadingNumber(const char* text) {
    std::string_view view(text);
    const size_t start = view.find_first_not_of(" \t\n\v\f\r");
    if (start == std::string_view::npos) {
        return std::nullopt;
    }
    view.remove_prefix(start);
    const char* end = view.data() + view.size();
    const char* number = view.data();
    if (*number == '+') {
        ++number;  // the fast conversion takes '-' but not '+'
        if (number == end || *number == '+' || *number == '-') {
            return std::nullopt;
        }
    }
    const char* digits = *number == '-' ? number + 1 : number;
    if (end - digits >= 2 && digits[0] == '0' && (digits[1] | 0x20) == 'x') {
        return platform::ParseCDouble(view);  // hexadecimal
    }
    double value = 0.0;
    const std::from_chars_result result = std::from_chars(number, end, value);
    if (result.ec == std::errc()) {
        return value;
    }
    if (result.ec == std::errc::invalid_argument) {
        return std::nullopt;
    }
    return platform::ParseCDouble(view);  // out of range: the C library's infinity or tiny value
}

// The same with 0 for text that is no number, as the C library gives.
double ParseNumber(const char* text) {
    return ParseLeadingNumber(text).value_or(0.0);
}

// The attribute `name` of `element` as a coordinate; nullopt when the element has no such
// attribute. A value that is no finite float reads as 0, as text that is no number does.
std::optional<float> ReadCoordinate(pugi::xml_node element, const char* name) {
    const pugi::xml_attribute attribute = element.attribute(name);
    if (!attribute) {
        return std::nullopt;
    }
    const float value = float(ParseNumber(attribute.value()));
    return std::isfinite(value) ? value : 0.0f;
}

struct Position {
    float latitude = 0.0f;
    float longitude = 0.0f;
};

std::optional<Position> ReadPosition(pugi::xml_node element) {
    const std::optional<float> latitude = ReadCoordinate(element, "lat");
    const std::optional<float> longitude = ReadCoordinate(element, "lon");
    if (!latitude || !longitude) {
        return std::nullopt;
    }
    return Position{*latitude, *longitude};
}

bool IsNameElement(const char* name) {
    return (name[0] | 0x20) == 'n' && (name[1] | 0x20) == 'a' && (name[2] | 0x20) == 'm' &&
           (name[3] | 0x20) == 'e' && name[4] == '\0';
}

// All text inside `element`, its descendants' included, in document order.
void AppendText(pugi::xml_node element, std::string& text) {
    text += element.value();  // text before any child element is kept in the element itself
    for (pugi::xml_node child = element.first_child(); child; child = child.next_sibling()) {
        if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) {
            text += child.value();
        } else if (child.type() == pugi::node_element) {
            AppendText(child, text);
        }
    }
}

std::string_view TrimXmlSpace(std::string_view text) {
    const size_t start = text.find_first_not_of(kXmlSpace);
    if (start == std::string_view::npos) {
        return {};
    }
    const size_t end = text.find_last_not_of(kXmlSpace);
    return text.substr(start, end - start + 1);
}

QString ElementText(pugi::xml_node element) {
    if (!element.first_child()) {
        return DecodeXmlText(TrimXmlSpace(element.value()));
    }
    std::string text;
    AppendText(element, text);
    return DecodeXmlText(TrimXmlSpace(text));
}

// ---------------------------------------------------------------------------------------------
// Building the shapes.

// The wpt, trk and rte children of the gpx element (or of one slice of its content).
struct ElementLists {
    std::vector<pugi::xml_node> waypoints;
    std::vector<pugi::xml_node> tracks;
    std::vector<pugi::xml_node> routes;
};

// False when there is no memory for the lists.
bool CollectLists(pugi::xml_node parent, ElementLists& lists) {
    try {
        for (pugi::xml_node child = parent.first_child(); child; child = child.next_sibling()) {
            if (child.type() != pugi::node_element) {
                continue;
            }
            const char* name = child.name();
            if (std::strcmp(name, "wpt") == 0) {
                lists.waypoints.push_back(child);
            } else if (std::strcmp(name, "rte") == 0) {
                lists.routes.push_back(child);
            } else if (std::strcmp(name, "trk") == 0) {
                lists.tracks.push_back(child);
            }
        }
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

// What is built of the children of the root element, one document or slice at a time.
class GpxContent {
public:
    virtual ~GpxContent() = default;
    // Adds what is built of the children of `parent`. With `continuesRoute`, the first child is
    // the rest of the route the previous call ended in. False when the element lists cannot be
    // had.
    virtual bool AddChildrenOf(pugi::xml_node parent, bool continuesRoute) = 0;
    // Forgets everything added.
    virtual void Reset() = 0;
};

class GpxBuilder final : public GpxContent {
public:
    // Adds the waypoints and routes among the children of `parent`. With `continuesRoute`, the
    // points of the first route are appended to the route the previous call ended in.
    bool AddChildrenOf(pugi::xml_node parent, bool continuesRoute) override {
        ElementLists lists;
        if (!CollectLists(parent, lists)) {
            return false;
        }
        for (pugi::xml_node waypoint : lists.waypoints) {
            AddWaypoint(waypoint);
        }
        // Tracks are not shown.
        for (pugi::xml_node route : lists.routes) {
            const bool rest = continuesRoute && !routes_.empty() &&
                              route == parent.find_child([](pugi::xml_node child) {
                                  return child.type() == pugi::node_element;
                              });
            if (!rest) {
                routes_.push_back(MakeShape<ShapePolyline>());
                routes_.back()->type = kGpxRouteType;
            }
            AddRoutePoints(route, *routes_.back());
        }
        return true;
    }

    void Reset() override {
        points_.clear();
        routes_.clear();
    }

    // Waypoints, then routes, in document order.
    std::unique_ptr<ShapeLevel> TakeLevel() {
        auto level = std::make_unique<ShapeLevel>();
        level->cbits = kGpxLevelCbits;
        level->shapes.reserve(points_.size() + routes_.size());
        for (auto* group : {&points_, &routes_}) {
            for (ShapePtr<>& shape : *group) {
                shape->bounds = VertexBounds(*shape);
                level->shapes.push_back(std::move(shape));
            }
        }
        Reset();
        return level;
    }

private:
    void AddWaypoint(pugi::xml_node element) {
        const std::optional<Position> position = ReadPosition(element);
        if (!position) {
            return;
        }
        ShapePtr<> point = MakeShape<ShapePoint>();
        point->AddVertex(position->latitude, position->longitude);
        for (pugi::xml_node child = element.first_child(); child; child = child.next_sibling()) {
            if (child.type() == pugi::node_element && IsNameElement(child.name())) {
                point->SetLabel(ElementText(child));  // the last name child wins
            }
        }
        point->anchorLon = position->longitude;
        point->anchorLat = position->latitude;
        point->type = kGpxWaypointType;
        point->subtype = 0;
        points_.push_back(std::move(point));
    }

    static void AddRoutePoints(pugi::xml_node element, Shape& route) {
        for (pugi::xml_node child = element.first_child(); child; child = child.next_sibling()) {
            if (child.type() != pugi::node_element || std::strcmp(child.name(), "rtept") != 0) {
                continue;
            }
            if (const std::optional<Position> position = ReadPosition(child)) {
                route.AddVertex(position->latitude, position->longitude);
            }
        }
    }

    std::vector<ShapePtr<>> points_;
    std::vector<ShapePtr<>> routes_;
};

// The track and route points with their receiver figures, for a replay of the file.
class GpxPointCollector final : public GpxContent {
public:
    // A route or track cut between slices continues with the points of the next slice, so the
    // points only need to be kept in document order.
    bool AddChildrenOf(pugi::xml_node parent, bool /*continuesRoute*/) override {
        try {
            for (pugi::xml_node child : parent.children()) {
                if (std::strcmp(child.name(), "trk") == 0) {
                    for (pugi::xml_node segment : child.children("trkseg")) {
                        AddPoints(segment, "trkpt", trackPoints_);
                    }
                } else if (std::strcmp(child.name(), "rte") == 0) {
                    AddPoints(child, "rtept", routePoints_);
                }
            }
            return true;
        } catch (const std::bad_alloc&) {
            return false;
        }
    }

    void Reset() override {
        trackPoints_.clear();
        routePoints_.clear();
    }

    std::vector<GpxTrackPoint> TakePoints() {
        return std::move(trackPoints_.empty() ? routePoints_ : trackPoints_);
    }

private:
    static std::optional<double> NumberOf(pugi::xml_node element) {
        return ParseLeadingNumber(ElementText(element).toUtf8().constData());
    }

    static void AddPoints(pugi::xml_node parent, const char* name,
                          std::vector<GpxTrackPoint>& points) {
        for (pugi::xml_node element : parent.children(name)) {
            const std::optional<double> latitude =
                ParseLeadingNumber(element.attribute("lat").value());
            const std::optional<double> longitude =
                ParseLeadingNumber(element.attribute("lon").value());
            if (!latitude || !longitude) {
                continue;
            }
            GpxTrackPoint point;
            point.latitude = *latitude;
            point.longitude = *longitude;
            for (pugi::xml_node child : element.children()) {
                const std::string_view childName = child.name();
                if (childName == "ele") {
                    point.elevationM = NumberOf(child);
                } else if (childName == "time") {
                    point.time = QDateTime::fromString(ElementText(child), Qt::ISODateWithMs);
                } else if (childName == "pdop") {
                    point.positionDilutionOfPrecision = NumberOf(child);
                } else if (childName == "hdop") {
                    point.horizontalDilutionOfPrecision = NumberOf(child);
                } else if (childName == "vdop") {
                    point.verticalDilutionOfPrecision = NumberOf(child);
                } else if (childName == "sat") {
                    point.satellites = NumberOf(child);
                }
            }
            points.push_back(std::move(point));
        }
    }

    std::vector<GpxTrackPoint> trackPoints_;
    std::vector<GpxTrackPoint> routePoints_;
};

// ---------------------------------------------------------------------------------------------
// Parsing.

enum class ReadResult { kRead, kParseError, kNoGpx, kNoLists };

bool IsGpxElement(pugi::xml_node element) {
    return element && std::strcmp(element.name(), "gpx") == 0;
}

// Line and position in the line (in characters), both from 1, of a byte offset into `text`.
struct TextPlace {
    int line = 1;
    int position = 1;
};

TextPlace PlaceOf(std::string_view text, size_t offset) {
    offset = std::min(offset, text.size());
    TextPlace place;
    size_t lineStart = 0;
    for (size_t at = text.find('\n'); at < offset; at = text.find('\n', at + 1)) {
        ++place.line;
        lineStart = at + 1;
    }
    for (size_t i = lineStart; i < offset; ++i) {
        if ((uint8_t(text[i]) & 0xC0) != 0x80) {
            ++place.position;
        }
    }
    return place;
}

void TraceParseError(pugi::xml_parse_status status, int line, int position) {
    pugi::xml_parse_result result;
    result.status = status;
    platform::Trace("ERROR 0x%.8X on line %d, position %d Reason: %s", unsigned(status), line,
                    position, result.description());
}

// The whole document parsed in one go: used when the slices cannot be, and to tell what is
// wrong with a document that does not parse.
ReadResult ReadWhole(std::string_view text, GpxContent& builder) {
    pugi::xml_document document;
    const pugi::xml_parse_result result =
        document.load_buffer(text.data(), text.size(), kParseOptions, pugi::encoding_utf8);
    if (!result) {
        const TextPlace place = PlaceOf(text, size_t(std::max<ptrdiff_t>(result.offset, 0)));
        TraceParseError(result.status, place.line, place.position);
        return ReadResult::kParseError;
    }
    const pugi::xml_node root = document.document_element();
    if (!IsGpxElement(root)) {
        platform::Trace("No gpx node !");
        return ReadResult::kNoGpx;
    }
    return builder.AddChildrenOf(root, false) ? ReadResult::kRead : ReadResult::kNoLists;
}

// Reads a document whose root is a gpx element slice by slice, so that the parser's tree never
// holds more than about one slice. The content of the root is cut after an element ends: between
// the root's children, between the children of a route, or anywhere inside the elements that
// build nothing (tracks, metadata). A slice is parsed as a fragment, preceded by copies of the
// start tags of the elements it lies in and followed by their end tags, its waypoints and
// routes built (a route cut in two grows by the points of its second part), and its tree
// dropped before the next slice is parsed. What lies around the content (prolog, root start
// tag, end tag and anything after) is parsed as a document of its own. The cuts only need the
// markup's outline (tags, quoted attribute values, comments, CDATA sections, processing
// instructions); the parser checks everything else in every piece, with the context the piece
// has in the file, and a document made of pieces well-formed in their context is well-formed.
// Anything the outline scan does not expect makes it give up, and the whole-document parse
// decides.
class SliceReader {
public:
    SliceReader(std::string_view text, size_t sliceBytes, GpxContent& builder)
        : text_(text), sliceBytes_(sliceBytes), builder_(builder) {}

    // nullopt when the document is not read this way.
    std::optional<ReadResult> Read() {
        // The parser ends a text at a NUL character, which no XML document may hold: a slice
        // would end there quietly where the whole document fails.
        if (text_.find('\0') != std::string_view::npos) {
            return std::nullopt;
        }
        size_t rootStart = 0;
        size_t contentStart = 0;
        bool empty = false;
        if (!FindRoot(rootStart) || !IsGpxTag(rootStart) ||
            !TagEnd(rootStart, contentStart, empty) || empty) {
            return std::nullopt;
        }
        sliceStart_ = contentStart;
        size_t contentEnd = 0;
        if (!ScanContent(contentStart, contentEnd) || !ParseSlice(contentEnd)) {
            return std::nullopt;
        }
        if (listsFailed_) {
            return ReadResult::kNoLists;
        }
        if (!FrameParses(contentStart, contentEnd)) {
            return std::nullopt;
        }
        return ReadResult::kRead;
    }

private:
    // Deeper than this, no cut is made: the copied start tags would outgrow the slices.
    static constexpr size_t kMaxCutDepth = 16;

    bool StartsWithAt(size_t at, std::string_view prefix) const {
        return text_.substr(at, prefix.size()) == prefix;
    }

    // Past the end of `terminator`, searched from `from`.
    bool SkipPast(size_t from, std::string_view terminator, size_t& end) const {
        const size_t at = text_.find(terminator, from);
        if (at == std::string_view::npos) {
            return false;
        }
        end = at + terminator.size();
        return true;
    }

    enum class Markup { kNone, kSkipped, kUnterminated };

    // Steps over the processing instruction, comment or CDATA section that starts at `open`
    // (CDATA is only allowed in elements, but the parse of the prolog tells).
    Markup SkipMarkup(size_t open, size_t& end) const {
        static constexpr std::pair<std::string_view, std::string_view> kKinds[] = {
            {"<?", "?>"}, {"<!--", "-->"}, {"<![CDATA[", "]]>"}};
        for (const auto& [start, terminator] : kKinds) {
            if (StartsWithAt(open, start)) {
                return SkipPast(open + start.size(), terminator, end) ? Markup::kSkipped
                                                                      : Markup::kUnterminated;
            }
        }
        return Markup::kNone;
    }

    // The '<' of the root element, past the byte-order mark, white space, declaration,
    // comments, processing instructions and a document type without internal subset.
    bool FindRoot(size_t& rootStart) const {
        size_t at = StartsWithAt(0, "\xEF\xBB\xBF") ? 3 : 0;
        for (;;) {
            at = text_.find_first_not_of(kXmlSpace, at);
            if (at == std::string_view::npos || text_[at] != '<' || at + 1 >= text_.size()) {
                return false;
            }
            bool empty = false;
            if (const Markup markup = SkipMarkup(at, at); markup != Markup::kNone) {
                if (markup == Markup::kUnterminated) {
                    return false;
                }
            } else if (StartsWithAt(at, "<!DOCTYPE")) {
                if (!TagEnd(at, at, empty)) {
                    return false;
                }
            } else if (text_[at + 1] == '!' || text_[at + 1] == '/') {
                return false;
            } else {
                rootStart = at;
                return true;
            }
        }
    }

    bool IsGpxTag(size_t tagStart) const { return TagName(text_.substr(tagStart)) == "gpx"; }

    // The element name of a start tag.
    static std::string_view TagName(std::string_view tag) {
        const size_t end = tag.find_first_of(" \t\r\n/>", 1);
        return tag.substr(1, end == std::string_view::npos ? std::string_view::npos : end - 1);
    }

    // Past the '>' of the tag starting at `tagStart`, stepping over quoted values; `empty`
    // when the tag closes itself. False for a tag without end or with a '<' outside quotes.
    bool TagEnd(size_t tagStart, size_t& end, bool& empty) const {
        for (size_t at = tagStart + 1; at < text_.size(); ++at) {
            const char c = text_[at];
            if (c == '>') {
                end = at + 1;
                empty = text_[at - 1] == '/';
                return true;
            }
            if (c == '"' || c == '\'') {
                at = text_.find(c, at + 1);
                if (at == std::string_view::npos) {
                    return false;
                }
            } else if (c == '<') {
                return false;
            }
        }
        return false;
    }

    // Whether a slice may end where the elements open_ are open.
    bool MayCutHere() const {
        if (open_.empty()) {
            return true;
        }
        if (open_.size() > kMaxCutDepth) {
            return false;
        }
        // Routes are cut between their points, tracks between their segments' points (trk,
        // trkseg open), so that no point is ever split.
        const std::string_view outer = TagName(open_.front());
        if (outer == "rte") {
            return open_.size() == 1;
        }
        if (outer == "trk") {
            return open_.size() <= 2;
        }
        return outer != "wpt";
    }

    // Walks the content of the root from `at` to the '<' of its end tag (`contentEnd`), cutting
    // and parsing slices on the way.
    bool ScanContent(size_t at, size_t& contentEnd) {
        for (;;) {
            const size_t open = text_.find('<', at);
            if (open == std::string_view::npos || open + 1 >= text_.size()) {
                return false;
            }
            const char next = text_[open + 1];
            bool elementEnded = false;
            if (next == '/') {
                if (!SkipPast(open + 2, ">", at)) {
                    return false;
                }
                if (open_.empty()) {
                    contentEnd = open;
                    return true;
                }
                open_.pop_back();
                elementEnded = true;
            } else if (const Markup markup = SkipMarkup(open, at); markup != Markup::kNone) {
                if (markup == Markup::kUnterminated) {
                    return false;
                }
            } else if (next == '!') {
                return false;  // a document type inside the root: the whole parse tells
            } else {
                bool empty = false;
                if (!TagEnd(open, at, empty)) {
                    return false;
                }
                if (!empty) {
                    open_.push_back(text_.substr(open, at - open));
                }
                elementEnded = empty;
            }
            if (elementEnded && at - sliceStart_ >= sliceBytes_ && MayCutHere() &&
                !ParseSlice(at)) {
                return false;
            }
        }
    }

    // Parses the slice from sliceStart_ to `end`, in the elements it lies in, and builds its
    // shapes.
    bool ParseSlice(size_t end) {
        piece_.clear();
        for (std::string_view tag : sliceContext_) {
            piece_ += tag;
        }
        piece_ += text_.substr(sliceStart_, end - sliceStart_);
        for (auto tag = open_.rbegin(); tag != open_.rend(); ++tag) {
            piece_ += "</";
            piece_ += TagName(*tag);
            piece_ += '>';
        }
        const bool continuesRoute = !sliceContext_.empty();  // rest of a route or of a track
        sliceContext_ = open_;
        sliceStart_ = end;
        pugi::xml_document fragment;
        if (!fragment.load_buffer_inplace(piece_.data(), piece_.size(),
                                          kParseOptions | pugi::parse_fragment,
                                          pugi::encoding_utf8)) {
            return false;
        }
        if (!listsFailed_ && !builder_.AddChildrenOf(fragment, continuesRoute)) {
            listsFailed_ = true;
        }
        return true;
    }

    // Parses everything but the content: from the start to the end of the root start tag, then
    // from the root end tag to the end.
    bool FrameParses(size_t contentStart, size_t contentEnd) const {
        std::string frame(text_.substr(0, contentStart));
        frame += text_.substr(contentEnd);
        pugi::xml_document document;
        return document.load_buffer_inplace(frame.data(), frame.size(), kParseOptions,
                                            pugi::encoding_utf8) &&
               IsGpxElement(document.document_element());
    }

    std::string_view text_;
    size_t sliceBytes_;
    GpxContent& builder_;
    size_t sliceStart_ = 0;
    // Start tags of the elements open where the scan is, and where the current slice began.
    std::vector<std::string_view> open_;
    std::vector<std::string_view> sliceContext_;
    std::string piece_;  // the slice being parsed, kept to reuse its memory
    bool listsFailed_ = false;
};

ReadResult ReadDocument(std::string_view text, const GpxParseOptions& options,
                        GpxContent& builder) {
    if (!options.whole) {
        if (const std::optional<ReadResult> sliced =
                SliceReader(text, options.sliceBytes, builder).Read()) {
            return *sliced;
        }
        builder.Reset();
    }
    return ReadWhole(text, builder);
}

// The text in any of the encodings a GPX file may come in, read into `content`.
ReadResult ReadText(std::string_view text, const GpxParseOptions& options, GpxContent& content) {
    const XmlEncoding encoding = DetectXmlEncoding(text);
    QByteArray converted;
    if (encoding != XmlEncoding::kUtf8) {
        converted = QByteArray(text.data(), qsizetype(text.size()));
        ConvertToUtf8(converted, encoding);
        text = std::string_view(converted.constData(), size_t(converted.size()));
    }
    return ReadDocument(text, options, content);
}

void TraceUnreadableFile(const QString& path) {
    const bool exists = QFileInfo::exists(path);
    TraceParseError(exists ? pugi::status_io_error : pugi::status_file_not_found, 0, 0);
}

}  // namespace

bool GPXFile::Load(const QString& path) {
    platform::VlmSpeedCounter counter(kCounterName);
    Clear();
    if (!ShapeFile::Load(path)) {
        TraceUnreadableFile(path);
        return false;
    }
    const bool read = ParseText({fileBuffer.Data(), fileBuffer.Size()}, GpxParseOptions());
    fileBuffer.Free();
    return read;
}

bool GPXFile::LoadFromBytes(const QByteArray& bytes, const GpxParseOptions& options) {
    platform::VlmSpeedCounter counter(kCounterName);
    Clear();
    return ParseText({bytes.constData(), size_t(bytes.size())}, options);
}

bool GPXFile::ParseText(std::string_view text, const GpxParseOptions& options) {
    try {
        GpxBuilder builder;
        const ReadResult result = ReadText(text, options, builder);
        if (result == ReadResult::kNoLists) {
            platform::Trace("Problem!");
        }
        if (result != ReadResult::kRead) {
            Clear();
            return false;
        }
        levels.push_back(builder.TakeLevel());
        platform::Trace("Telos found %d objects", int(levels.front()->shapes.size()));
        ComputeBoundsAndCoverage();
        OrderForDrawing(*levels.front());
        currentLevel = 0;
        return true;
    } catch (...) {
        platform::Trace("Catch error");
        Clear();
        return false;
    }
}

std::optional<std::vector<GpxTrackPoint>> ReadGpxTrackPoints(std::string_view text,
                                                             const GpxParseOptions& options) {
    try {
        GpxPointCollector collector;
        if (ReadText(text, options, collector) != ReadResult::kRead) {
            return std::nullopt;
        }
        return collector.TakePoints();
    } catch (...) {
        platform::Trace("Catch error");
        return std::nullopt;
    }
}

bool GpxMapFile::Load(const QString& path) {
    return LoadFile(std::make_unique<GPXFile>(), path);
}

}  // namespace formats
