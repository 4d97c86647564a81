#pragma once

// A layer is one loaded map file as the renderer sees it: it fixes the base canvas of the map,
// chooses the detail level for the zoom, culls the objects outside the visible part of the
// canvas, has the visible ones drawn and places their labels so that they do not overlap.

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <QStaticText>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

#include "formats/shape_model.h"
#include "platform/rect.h"
#include "render/frame_stats.h"
#include "render/zoom_view.h"

namespace paint {
class PaintContext;
}

namespace platform {
class SettingsStore;
}  // namespace platform

namespace render {

class MapProjection;
class MapWindowView;

// The rectangles of the labels drawn so far in one frame, shared by every layer of the frame:
// the first layer to take a place keeps it.
using LabelList = std::vector<platform::Rect>;

// Makes the MapFile a layer reads its file through.
using MapFileMaker = std::function<std::unique_ptr<formats::MapFile>()>;

class MapLayerBase {
public:
    virtual ~MapLayerBase();
    MapLayerBase() = default;
    MapLayerBase(const MapLayerBase&) = delete;
    MapLayerBase& operator=(const MapLayerBase&) = delete;

    // Reads the file at path; the window tells the screen the base canvas is made for.
    virtual bool Load(const QString& path, const MapWindowView& window) = 0;
    // Draws the visible objects of the current level on a canvas of width × height, turned
    // about its centre, and their labels; false when no object was visible. `scaleKmPerCm` is
    // the map window's zoom value.
    virtual bool Draw(const MapWindowView& window, paint::PaintContext& context, int width,
                      int height, const MapProjection& projection, int reserved, LabelList& labels,
                      float scaleKmPerCm) = 0;
    virtual int IsLoaded() const { return loaded; }
    // The file's bounding rectangle; only after Load.
    virtual float East() const = 0;
    virtual float South() const = 0;
    virtual float West() const = 0;
    virtual float North() const = 0;
    virtual void GrowLabelFont() {}
    virtual void ShrinkLabelFont() {}
    virtual void SetNightMode(bool night) = 0;
    virtual bool Contains(float latitude, float longitude) const = 0;
    // Chooses the detail level and projects every object for a canvas of width × height.
    virtual void Prepare(const MapWindowView& window, int width, int height,
                         const MapProjection& projection, float scaleKmPerCm) = 0;
    // The road nearest the position, its label copied into name; null when none is near.
    virtual const formats::Shape* FindStreetName(float /*latitude*/, float /*longitude*/,
                                                 QString& /*name*/) const {
        return nullptr;
    }

protected:
    int loaded = 0;
};

class MapLayer : public MapLayerBase {
public:
    // Label distance in pixels from an object's anchor.
    static constexpr int kLabelOffset = 12;
    static constexpr int kLabelOffsetHighResolution = 24;

    MapLayer();
    ~MapLayer() override;

    // A plain layer reads no file format.
    bool Load(const QString& path, const MapWindowView& window) override;
    bool Draw(const MapWindowView& window, paint::PaintContext& context, int width, int height,
              const MapProjection& projection, int reserved, LabelList& labels,
              float scaleKmPerCm) override;
    float East() const override;
    float South() const override;
    float West() const override;
    float North() const override;
    void GrowLabelFont() override;
    void ShrinkLabelFont() override;
    void SetNightMode(bool night) override;
    bool Contains(float latitude, float longitude) const override;
    void Prepare(const MapWindowView& window, int width, int height,
                 const MapProjection& projection, float scaleKmPerCm) override;
    const formats::Shape* FindStreetName(float latitude, float longitude,
                                         QString& name) const override;

    // The base canvas (view.base) and, once placed by the renderer, where the map lies on the
    // renderer's canvas (view.current).
    const ZoomView& View() const { return view; }
    ZoomView& View() { return view; }
    int Cbits() const { return cbits; }
    formats::MapFile* File() const { return file.get(); }
    // Wall time of the last Prepare, in milliseconds.
    double LastPrepareMs() const { return lastPrepareMs_; }
    // Where Draw counts what it draws; borrowed, null for none.
    void SetFrameStats(FrameStats* stats) { stats_ = stats; }

protected:
    // Loading through `mapFile`, the same for every file format.
    bool LoadThrough(std::unique_ptr<formats::MapFile> mapFile, const QString& path,
                     const MapWindowView& window);

    ZoomView view;
    int cbits = 24;
    float kmAcross = 0.0f;
    int lastWidth = 0;
    int lastHeight = 0;
    std::unique_ptr<formats::MapFile> file;
    int labelOffset = kLabelOffset;

private:
    // What the cached canvas points depend on besides the canvas size.
    struct PreparedFor {
        float left = 0.0f;
        float top = 0.0f;
        float lonSpan = 0.0f;
        float latSpan = 0.0f;
        int night = 0;
        bool operator==(const PreparedFor&) const = default;
    };
    PreparedFor KeyOf(const MapProjection& projection) const;
    void DrawLabels(paint::PaintContext& context, int width, int height,
                    const MapProjection& projection, LabelList& labels);
    // A label laid out once for the label font: its width and its glyphs, and the picture of
    // the label with its halo (turned, for a label along a street), made the first time it is
    // drawn in its colours.
    struct LabelText {
        QStaticText text;
        int width = 0;
        QImage picture;
        QPoint pictureOrigin;  // the picture's top-left corner from the label's
        platform::ColorRef pictureColour = 0;
        platform::ColorRef pictureHalo = 0;
        // A shield's plate and text, drawn with this pen, plate colour and rendering.
        QImage shield;
        QPen shieldPen;
        platform::ColorRef shieldPlate = 0;
        QPainter::RenderHints shieldHints;
    };
    // Label pictures kept at most, in bytes, before all are dropped to be made again as they
    // show: a session that wanders over a whole map keeps what one screen needs.
    static constexpr size_t kLabelPictureBudgetBytes = size_t(8) << 20;
    // Drops every label and shield picture when those kept are over the budget.
    void RoomForLabelPicture();
    // The label texts of the current level, made again when the level or the font changes.
    void KeepLabelTexts(const platform::LogFont& font, const QFont& qfont);
    LabelText& LabelTextOf(int index, const formats::Shape& shape, const QFont& font);
    void DrawLabel(int index, formats::Shape& shape, paint::PaintContext& context, QPoint anchor,
                   LabelList& labels);
    void DrawShield(LabelText& text, const formats::Shape& shape, paint::PaintContext& context,
                    QPoint anchor);
    QImage ShieldPicture(const LabelText& text, platform::ColorRef plateColour,
                         const paint::PaintContext& context) const;

    void CountDrawn(const formats::Shape& shape, const paint::PaintContext& context, int width,
                    int height, const MapProjection& projection);

    bool highResolution_ = false;
    FrameStats* stats_ = nullptr;
    const platform::SettingsStore* settings_ = nullptr;
    int night_ = 0;
    PreparedFor preparedFor_;
    double lastPrepareMs_ = 0.0;
    std::vector<std::unique_ptr<LabelText>> labelTexts_;
    const formats::ShapeLevel* labelLevel_ = nullptr;
    platform::LogFont labelFont_;
    int labelHeight_ = 0;
    size_t labelPictureBytes_ = 0;
};

// The layer of the program's own ".vl" maps.
class DrawMapVector : public MapLayer {
public:
    ~DrawMapVector() override;
    bool Load(const QString& path, const MapWindowView& window) override;
};

// The layer of GPX files: waypoints and routes read with GpxMapFile, or through the MapFile a
// maker gives (tests and fuzzing read other sources).
class DrawMapGPX : public MapLayer {
public:
    explicit DrawMapGPX(MapFileMaker makeFile = {});
    ~DrawMapGPX() override;
    // Logged as LoadFromFile.
    bool Load(const QString& path, const MapWindowView& window) override;

private:
    MapFileMaker makeFile_;
};

}  // namespace render
