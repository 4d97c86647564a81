#include "render/map_layer.h"

#include <chrono>
#include <cmath>
#include <span>

#include <QFontMetrics>

#include "formats/gpx_file.h"
#include "formats/img_file.h"
#include "paint/draw_text.h"
#include "paint/paint_context.h"
#include "platform/trace.h"
#include "render/map_file_style.h"
#include "render/map_projection.h"
#include "render/map_window_view.h"
#include "render/shape_painter.h"

namespace render {
namespace {

// DT_NOPREFIX | DT_NOCLIP | DT_SINGLELINE.
constexpr uint32_t kDrawLabelFlags = 0x0920;

constexpr platform::ColorRef kPlaceLabelColour = platform::Rgb(153, 0, 48);
constexpr platform::ColorRef kShieldColourMajor = platform::Rgb(34, 177, 76);
constexpr platform::ColorRef kShieldColourOther = platform::Rgb(112, 154, 209);
constexpr platform::ColorRef kShieldTextColour = platform::Rgb(255, 255, 255);
// Shield labels: "." and the road number, or "~" and six characters the shield leaves out.
constexpr int kTildeShieldSkip = 7;

// The computed side of a base canvas: the integer part of `value`, at least one pixel; `keep`
// when the map has no extent to compute it from.
int BaseSide(float value, int keep) {
    if (std::isnan(value)) {
        return keep;
    }
    if (value < 1.0f) {
        return 1;
    }
    return FloorToPixel(value);
}

// The objects of the file's current level, as Object(0), Object(1), ... gives them, read
// without a call per object: a frame passes over every one of them twice.
std::span<const formats::ShapePtr<>> CurrentShapes(const formats::MapFile& file) {
    const formats::ShapeLevel* level = file.File() ? file.File()->CurrentLevel() : nullptr;
    if (!level) {
        return {};
    }
    return {level->shapes.data(), level->shapes.size()};
}

bool IsShieldLabel(const formats::Shape& shape) {
    return shape.Kind() == formats::kShapeKindPolyline &&
           (shape.Label().startsWith(QLatin1Char('.')) ||
            shape.Label().startsWith(QLatin1Char('~')));
}

// The text a label shows: a shield's without its marks.
QString ShownText(const formats::Shape& shape) {
    if (!IsShieldLabel(shape)) {
        return shape.Label().toString();
    }
    const qsizetype skip = shape.Label().startsWith(QLatin1Char('.')) ? 1 : kTildeShieldSkip;
    return shape.Label().mid(skip).toString();
}

// Text with a one-pixel halo, as DrawOutlinedText draws it: four times in the halo colour
// shifted by one pixel diagonally, then in the text colour, with its top-left corner at
// topLeft (floating point, so that the shifts cannot overflow at the int limits). The
// painter's pen is left as it was.
void DrawHaloText(QPainter& painter, const QFont& font, const QStaticText& text, QPointF topLeft,
                  platform::ColorRef halo, platform::ColorRef colour) {
    static constexpr double kHaloSteps[4][2] = {{1, 1}, {-1, 1}, {1, -1}, {-1, -1}};
    const QPen oldPen = painter.pen();
    painter.setFont(font);
    painter.setPen(platform::ToQColor(halo));
    for (const auto& step : kHaloSteps) {
        painter.drawStaticText(topLeft + QPointF(step[0], step[1]), text);
    }
    painter.setPen(platform::ToQColor(colour));
    painter.drawStaticText(topLeft, text);
    painter.setPen(oldPen);
}

// The haloed text, turned counter-clockwise by `degrees` about its top-left corner, as the
// painter would draw it there, on a transparent picture; `origin` receives the place of the
// picture's top-left corner from that corner of the text.
QImage LabelPicture(const QStaticText& text, const QFont& font, double degrees,
                    QPainter::RenderHints hints, platform::ColorRef halo, platform::ColorRef colour,
                    QPoint& origin) {
    const QFontMetrics metrics(font);
    // The text's box with room for the halo and the glyphs' overhang, turned.
    const QRectF box(-3.0, -3.0, text.size().width() + 6.0, metrics.height() + 6.0);
    QTransform turn;
    turn.rotate(-degrees);
    const QRect bounds = turn.mapRect(box).toAlignedRect();
    QImage picture(bounds.size(), QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHints(hints);
    painter.translate(-bounds.topLeft());
    painter.rotate(-degrees);
    DrawHaloText(painter, font, text, QPointF(0, 0), halo, colour);
    origin = bounds.topLeft();
    return picture;
}

// `viewOnCanvas` is the projection's UnturnedBounds of the context's clip box. Asked of every
// object in every frame, so kept where the compiler folds it into the frame's loop.
bool IsVisible(const formats::Shape& shape, const paint::PaintContext& context, int cx, int cy,
               int width, int height, const MapProjection& projection,
               const platform::Rect& viewOnCanvas) {
    if (shape.Kind() == formats::kShapeKindPoint) {
        const QPoint canvas = CanvasPosition(shape, projection, width, height);
        return context.PtVisible(projection.RotatePoint(canvas.x(), canvas.y(), cx, cy));
    }
    // The corners are those of a box on the canvas: north-west first, south-east last.
    const QPoint& northWest = shape.screenCorners[0];
    const QPoint& southEast = shape.screenCorners[3];
    // Most of a map lies far from the view, which is told on the canvas before turning: the
    // turned bounds of a box lie within its longer side of its turned centre, so a box grown
    // by its longer side that misses the view turned back cannot be seen.
    const int64_t lowX = std::min(northWest.x(), southEast.x());
    const int64_t highX = std::max(northWest.x(), southEast.x());
    const int64_t lowY = std::min(northWest.y(), southEast.y());
    const int64_t highY = std::max(northWest.y(), southEast.y());
    const int64_t side = std::max(highX - lowX, highY - lowY) + 1;
    if (highX + side < viewOnCanvas.left || lowX - side > viewOnCanvas.right ||
        highY + side < viewOnCanvas.top || lowY - side > viewOnCanvas.bottom) {
        return false;
    }
    return context.RectVisible(projection.TurnedBounds(northWest.x(), northWest.y(), southEast.x(),
                                                       southEast.y(), cx, cy));
}

}  // namespace

MapLayerBase::~MapLayerBase() = default;

MapLayer::MapLayer() = default;
MapLayer::~MapLayer() = default;

bool MapLayer::Load(const QString& /*path*/, const MapWindowView& /*window*/) {
    return false;
}

bool MapLayer::LoadThrough(std::unique_ptr<formats::MapFile> mapFile, const QString& path,
                           const MapWindowView& window) {
    file = std::move(mapFile);
    settings_ = window.Settings();
    highResolution_ = window.HighResolution();
    labelOffset = highResolution_ ? kLabelOffsetHighResolution : kLabelOffset;
    const platform::ScreenMetrics screen = window.Screen();
    if (!file->Load(path)) {
        loaded = 0;
        return false;
    }
    // What the file's constructor would have read: the label font and colours.
    ReloadLabelFont(*file, settings_, screen);
    loaded = 1;

    view.current = PixelRect{0, 0, screen.widthPx, screen.heightPx};
    view.screenWidthPx = screen.widthPx;
    view.screenHeightPx = screen.heightPx;
    view.screenWidthMm = screen.widthMm;
    view.screenHeightMm = screen.heightMm;
    view.current.right = screen.workArea.width();
    view.current.bottom = screen.workArea.height();

    // A degree of latitude and one of longitude get the same number of pixels; the longer side
    // keeps the work area's size.
    float dLat = 0.0f;
    float dLon = 0.0f;
    if (file->north > file->south) {
        dLat = file->north - file->south;
        dLon = file->east - file->west;
    } else {
        dLat = file->south - file->north;
        dLon = file->west - file->east;
    }
    if (dLat > dLon) {
        view.current.right = BaseSide(float(view.current.bottom) / dLat * dLon, view.current.right);
    } else {
        view.current.bottom =
            BaseSide(float(view.current.right) / dLon * dLat, view.current.bottom);
    }
    view.base = view.current;
    view.Update();
    return true;
}

float MapLayer::East() const {
    return file ? file->east : 0.0f;
}
float MapLayer::South() const {
    return file ? file->south : 0.0f;
}
float MapLayer::West() const {
    return file ? file->west : 0.0f;
}
float MapLayer::North() const {
    return file ? file->north : 0.0f;
}

void MapLayer::GrowLabelFont() {
    if (file) {
        file->FontLarger();
    }
}

void MapLayer::ShrinkLabelFont() {
    if (file) {
        file->FontSmaller();
    }
}

void MapLayer::SetNightMode(bool night) {
    night_ = night ? 1 : 0;
    if (file) {
        SetNight(*file, night, settings_);
    }
}

bool MapLayer::Contains(float latitude, float longitude) const {
    return file && file->Contains(latitude, longitude);
}

const formats::Shape* MapLayer::FindStreetName(float latitude, float longitude,
                                               QString& name) const {
    return file ? file->FindRoadAt(latitude, longitude, name) : nullptr;
}

MapLayer::PreparedFor MapLayer::KeyOf(const MapProjection& projection) const {
    return PreparedFor{projection.left, projection.top, projection.lonSpan, projection.latSpan,
                       night_};
}

void MapLayer::Prepare(const MapWindowView& window, int width, int height,
                       const MapProjection& projection, float scaleKmPerCm) {
    const auto start = std::chrono::steady_clock::now();
    preparedFor_ = KeyOf(projection);
    kmAcross = projection.WidthDistanceKm(window, width, height);
    const float resolution = ZoomResolution(scaleKmPerCm);
    if (!file) {
        return;
    }
    cbits = file->SelectLevel(resolution);
    for (const formats::ShapePtr<>& shape : CurrentShapes(*file)) {
        if (shape->Kind() != formats::kShapeKindPoint) {
            const formats::GeoRect& box = shape->bounds;
            shape->screenCorners = {projection.GeoToScreen(box.north, box.west, width, height),
                                    projection.GeoToScreen(box.north, box.east, width, height),
                                    projection.GeoToScreen(box.south, box.west, width, height),
                                    projection.GeoToScreen(box.south, box.east, width, height)};
        }
        // Points are projected here too, once per canvas, so that a frame only turns them.
        PrepareShape(*shape, projection, width, height, resolution, highResolution_);
    }
    lastPrepareMs_ =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

bool MapLayer::Draw(const MapWindowView& window, paint::PaintContext& context, int width,
                    int height, const MapProjection& projection, int /*reserved*/,
                    LabelList& labels, float scaleKmPerCm) {
    if (!file || !loaded) {
        return false;
    }
    // Scrolling keeps the canvas and so the cached points; a zoom, a new box (maps added or
    // dropped) or a change of day and night makes them again.
    if (width != lastWidth || height != lastHeight || KeyOf(projection) != preparedFor_) {
        lastWidth = width;
        lastHeight = height;
        Prepare(window, width, height, projection, scaleKmPerCm);
    }
    const int cx = width / 2;
    const int cy = height / 2;
    bool drewAny = false;
    // The lines and areas, and the labels after them, in two bands at once.
    context.BeginBands();
    const platform::Rect viewOnCanvas = projection.UnturnedBounds(context.ClipBox(), cx, cy);
    for (const formats::ShapePtr<>& shape : CurrentShapes(*file)) {
        shape->drawn = 0;
        if (IsVisible(*shape, context, cx, cy, width, height, projection, viewOnCanvas)) {
            DrawShape(*shape, context, cx, cy, width, height, projection, highResolution_);
            shape->drawn = 1;
            drewAny = true;
            if (stats_) {
                CountDrawn(*shape, context, width, height, projection);
            }
        }
    }
    if (drewAny) {
        DrawLabels(context, width, height, projection, labels);
    }
    context.EndBands();
    return drewAny;
}

void MapLayer::CountDrawn(const formats::Shape& shape, const paint::PaintContext& context,
                          int width, int height, const MapProjection& projection) {
    switch (shape.Kind()) {
        case formats::kShapeKindPolyline:
            ++stats_->lines;
            break;
        case formats::kShapeKindPolygon:
            ++stats_->areas;
            break;
        default:
            ++stats_->points;
            if (shape.VertexCount() > 0) {
                const QPoint topLeft = IconTopLeft(shape, projection, width / 2, height / 2, width,
                                                   height, highResolution_);
                stats_->icons.push_back(DrawnIcon{topLeft + context.ViewportOrigin(), shape.type,
                                                  shape.subtype, highResolution_});
            }
            break;
    }
}

void MapLayer::KeepLabelTexts(const platform::LogFont& font, const QFont& qfont) {
    const formats::ShapeLevel* level = file->File() ? file->File()->CurrentLevel() : nullptr;
    if (level == labelLevel_ && font == labelFont_ &&
        labelTexts_.size() == size_t(file->ObjectCount())) {
        return;
    }
    labelLevel_ = level;
    labelFont_ = font;
    labelTexts_.clear();
    labelTexts_.resize(size_t(file->ObjectCount()));
    labelPictureBytes_ = 0;
    const QFontMetrics metrics(qfont);
    labelHeight_ = metrics.ascent() + metrics.descent();
}

void MapLayer::RoomForLabelPicture() {
    if (labelPictureBytes_ <= kLabelPictureBudgetBytes) {
        return;
    }
    for (const std::unique_ptr<LabelText>& text : labelTexts_) {
        if (text) {
            text->picture = QImage();
            text->shield = QImage();
        }
    }
    labelPictureBytes_ = 0;
}

MapLayer::LabelText& MapLayer::LabelTextOf(int index, const formats::Shape& shape,
                                           const QFont& font) {
    std::unique_ptr<LabelText>& cached = labelTexts_[size_t(index)];
    if (!cached) {
        cached = std::make_unique<LabelText>();
        const QString shown = ShownText(shape);
        cached->text.setText(shown);
        cached->text.setTextFormat(Qt::PlainText);
        cached->text.setPerformanceHint(QStaticText::AggressiveCaching);
        cached->text.prepare(QTransform(), font);
        cached->width = QFontMetrics(font).horizontalAdvance(shown);
    }
    return *cached;
}

void MapLayer::DrawLabels(paint::PaintContext& context, int width, int height,
                          const MapProjection& projection, LabelList& labels) {
    const platform::LogFont* logFont = file->LabelFont();
    if (!logFont) {
        return;
    }
    const QFont font = platform::ToQFont(*logFont);
    KeepLabelTexts(*logFont, font);
    const QFont oldFont = context.SelectFont(font);
    const platform::ColorRef oldColour = context.SetTextColor(file->LabelColour());
    const paint::BackgroundMode oldMode = context.SetBkMode(paint::BackgroundMode::kTransparent);
    const int cx = width / 2;
    const int cy = height / 2;
    const std::span<const formats::ShapePtr<>> shapes = CurrentShapes(*file);
    for (size_t i = 0; i < shapes.size(); ++i) {
        formats::Shape& shape = *shapes[i];
        if (shape.drawn == 0 || shape.Label().isEmpty()) {
            continue;
        }
        const QPoint canvas = CanvasAnchor(shape, projection, width, height);
        DrawLabel(int(i), shape, context, projection.RotatePoint(canvas.x(), canvas.y(), cx, cy),
                  labels);
    }
    context.SetBkMode(oldMode);
    context.SetTextColor(oldColour);
    context.SelectFont(oldFont);
}

// The label is measured (as DrawText with DT_CALCRECT would) from its text laid out once, and
// drawn (as DrawOutlinedText would) from its picture, made the first time it shows: shaping,
// haloing and turning the text is most of a label's cost.
void MapLayer::DrawLabel(int index, formats::Shape& shape, paint::PaintContext& context,
                         QPoint anchor, LabelList& labels) {
    if (IsShieldLabel(shape)) {
        DrawShield(LabelTextOf(index, shape, context.Font()), shape, context, anchor);
        return;
    }
    const int x = AddPixels(anchor.x(), shape.Kind() == formats::kShapeKindPoint ? labelOffset : 0);
    const int y = SubtractPixels(anchor.y(), labelOffset);
    LabelText& text = LabelTextOf(index, shape, context.Font());
    const platform::Rect measured{x, y, AddPixels(x, text.width), AddPixels(y, labelHeight_)};
    if (!context.RectVisible(measured)) {
        return;
    }
    for (const platform::Rect& taken : labels) {
        if (taken.Intersects(measured)) {
            if (stats_) {
                ++stats_->labelsDropped;
            }
            return;
        }
    }
    // Along a street the text turns about its top-left corner, counter-clockwise by the angle,
    // and its halo turns with it.
    const platform::ColorRef colour =
        shape.labelAngleTenthsDeg == 0 && (shape.type == 98 || shape.type == 99)
            ? kPlaceLabelColour
            : file->LabelColour();
    if (text.picture.isNull() || text.pictureColour != colour ||
        text.pictureHalo != file->LabelBackColour()) {
        RoomForLabelPicture();
        text.pictureColour = colour;
        text.pictureHalo = file->LabelBackColour();
        text.picture =
            LabelPicture(text.text, context.Font(), double(shape.labelAngleTenthsDeg) / 10.0,
                         context.RenderHints(), text.pictureHalo, colour, text.pictureOrigin);
        labelPictureBytes_ += size_t(text.picture.sizeInBytes());
    }
    context.DrawImage(AddPixels(QPoint(x, y), text.pictureOrigin), text.picture);
    labels.push_back(measured);
    if (stats_) {
        ++stats_->labelsPlaced;
    }
}

// Measured as DrawText with DT_CALCRECT measures one line, from the text laid out once.
void MapLayer::DrawShield(LabelText& text, const formats::Shape& shape,
                          paint::PaintContext& context, QPoint anchor) {
    platform::Rect measured{anchor.x(), anchor.y(), AddPixels(anchor.x(), text.width),
                            AddPixels(anchor.y(), labelHeight_)};
    const platform::Rect plate = measured.Inflated(2, 2);
    // Shields take no place in the label list, but one wholly off the picture shows nothing.
    if (!context.RectVisible(plate)) {
        return;
    }
    // The plate and its text are drawn once into a picture of their own, which is drawn with
    // the lines and areas kept for the bands.
    const platform::ColorRef plateColour = shape.type < 3 ? kShieldColourMajor : kShieldColourOther;
    if (text.shield.isNull() || text.shieldPen != context.Pen() ||
        text.shieldPlate != plateColour || text.shieldHints != context.RenderHints()) {
        text.shieldPen = context.Pen();
        text.shieldPlate = plateColour;
        text.shieldHints = context.RenderHints();
        RoomForLabelPicture();
        text.shield = ShieldPicture(text, plateColour, context);
        labelPictureBytes_ += size_t(text.shield.sizeInBytes());
    }
    context.DrawImage(QPoint(SubtractPixels(plate.left, 1), SubtractPixels(plate.top, 1)),
                      text.shield);
    if (stats_) {
        ++stats_->shields;
    }
}

QImage MapLayer::ShieldPicture(const LabelText& text, platform::ColorRef plateColour,
                               const paint::PaintContext& context) const {
    // The plate two pixels round the text, and a pixel round it for the pen's smoothed edge;
    // the picture's top-left pixel is one up and left of the plate's.
    QImage picture(text.width + 6, labelHeight_ + 6, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    paint::PaintContext local(&picture);
    local.SetViewportOrigin(QPoint(1, 1));
    local.Painter().setRenderHints(context.RenderHints());
    local.SelectPen(context.Pen());
    local.SelectBrush(QBrush(platform::ToQColor(plateColour)));
    // Filled and outlined with the current pen, right and bottom edges exclusive.
    local.Painter().drawRect(QRect(QPoint(0, 0), QPoint(text.width + 2, labelHeight_ + 2)));
    local.SelectFont(context.Font());
    local.SetTextColor(kShieldTextColour);
    local.SetBkMode(paint::BackgroundMode::kTransparent);
    platform::Rect measured{2, 2, 2 + text.width, 2 + labelHeight_};
    paint::DrawText(local, text.text.text(), measured, kDrawLabelFlags);
    return picture;
}

DrawMapVector::~DrawMapVector() = default;

bool DrawMapVector::Load(const QString& path, const MapWindowView& window) {
    return LoadThrough(std::make_unique<formats::ImgMapFile>(), path, window);
}

DrawMapGPX::DrawMapGPX(MapFileMaker makeFile) : makeFile_(std::move(makeFile)) {}

DrawMapGPX::~DrawMapGPX() = default;

bool DrawMapGPX::Load(const QString& path, const MapWindowView& window) {
    platform::Trace("LoadFromFile");
    std::unique_ptr<formats::MapFile> mapFile = makeFile_ ? makeFile_() : nullptr;
    if (!mapFile) {
        mapFile = std::make_unique<formats::GpxMapFile>();
    }
    return LoadThrough(std::move(mapFile), path, window);
}

}  // namespace render
