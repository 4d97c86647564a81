#include "render/map_layer.h"

#include <gtest/gtest.h>

#include <QImage>

#include <limits>

#include "counting_projection.h"
#include "fixed_window.h"
#include "formats/vl_writer.h"
#include "paint/draw_text.h"
#include "paint/paint_context.h"
#include "pixels.h"
#include "render/label_style.h"
#include "render/map_projection.h"
#include "synthetic_maps.h"
#include "temp_home.h"

namespace render {
namespace {

using testmaps::LatLon;

platform::ScreenMetrics WorkArea(int width, int height) {
    return ScreenOf(width, height, 53, 71);
}

// Layers over maps of the one-degree square (0..1 N, 0..1 E), drawn on a 100 × 100 canvas:
// a pixel is 0.01°.
class MapLayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        window.screen = WorkArea(100, 100);
        projection.SetBounds("", "TEST", 1.0f, 0.0f, 0.0f, 1.0f);
        image.fill(Qt::white);
        context = std::make_unique<paint::PaintContext>(&image);
        context->SetAntialiasing(false);
    }

    // A loaded layer over one level of the given shapes.
    template <typename Layer = DrawMapVector>
    std::unique_ptr<Layer> LayerOf(std::vector<formats::ShapePtr<>> shapes,
                                   formats::GeoRect box = {0.0f, 1.0f, 1.0f, 0.0f}) {
        auto file = testmaps::EmptyMap("Test", box.south, box.west, box.north, box.east);
        formats::ShapeLevel& level = testmaps::AddLevel(*file, 24);
        for (formats::ShapePtr<>& shape : shapes) {
            level.shapes.push_back(std::move(shape));
        }
        const QString path = home.File(QString("map%1.vl").arg(++maps));
        EXPECT_TRUE(formats::WriteVlFile(*file, path));
        auto layer = std::make_unique<Layer>();
        EXPECT_TRUE(layer->Load(path, window));
        return layer;
    }

    bool Draw(MapLayer& layer, int size = 100) {
        return layer.Draw(window, *context, size, size, projection, 0, labels, 0.5f);
    }

    static formats::ShapePtr<> Road(int type, float lat, const QString& label,
                                    float anchorLon = 0.5f) {
        const LatLon anchor{lat, anchorLon};
        return testmaps::MakeShape<formats::ShapePolyline>(type, {{lat, 0.05f}, {lat, 0.95f}},
                                                           label, 0, &anchor);
    }

    static std::vector<formats::ShapePtr<>> One(formats::ShapePtr<> s) {
        std::vector<formats::ShapePtr<>> shapes;
        shapes.push_back(std::move(s));
        return shapes;
    }

    TempHome home;
    int maps = 0;
    FixedWindow window;
    MapProjection projection;
    QImage image{100, 100, QImage::Format_RGB32};
    std::unique_ptr<paint::PaintContext> context;
    LabelList labels;
};

TEST_F(MapLayerTest, TheBaseCanvasGivesDegreesOfLatitudeAndLongitudeEqualPixels) {
    window.screen = WorkArea(240, 268);
    window.screen.widthPx = 480;  // the work area wins over the resolution
    auto wide = LayerOf(One(Road(6, 0.5f, "")), {0.0f, 1.0f, 2.0f, 0.0f});
    EXPECT_EQ(wide->View().base, (PixelRect{0, 0, 240, 120}));
    EXPECT_EQ(wide->View().current, wide->View().base);
    EXPECT_EQ(wide->View().screenWidthPx, 480);
    EXPECT_EQ(wide->View().screenWidthMm, 53);
    auto tall = LayerOf(One(Road(6, 0.5f, "")), {0.0f, 2.0f, 1.0f, 0.0f});
    EXPECT_EQ(tall->View().base, (PixelRect{0, 0, 134, 268}));
    EXPECT_EQ(tall->West(), 0.0f);
    EXPECT_EQ(tall->North(), 2.0f);
}

TEST_F(MapLayerTest, AFileThatDoesNotLoadLeavesTheLayerUnloaded) {
    DrawMapVector layer;
    EXPECT_FALSE(layer.Load(home.File("missing.vl"), window));
    EXPECT_EQ(layer.IsLoaded(), 0);
    EXPECT_FALSE(Draw(layer));
    EXPECT_FALSE(layer.Contains(0.5f, 0.5f));
    DrawMapGPX gpx(nullptr);
    EXPECT_FALSE(gpx.Load(home.File("track.gpx"), window)) << "no GPX reader given";
}

TEST_F(MapLayerTest, TheFirstLayerToPlaceALabelKeepsItsPlace) {
    auto first = LayerOf(One(Road(6, 0.5f, "Alpha")));
    auto second = LayerOf(One(Road(6, 0.5f, "Beta")));
    auto unlabelled = LayerOf(One(Road(6, 0.5f, "")));
    ASSERT_TRUE(Draw(*first));
    ASSERT_EQ(labels.size(), 1u);
    const platform::Rect alpha = labels[0];
    EXPECT_EQ(alpha.left, 50);
    EXPECT_EQ(alpha.top, 50 - MapLayer::kLabelOffset);
    ASSERT_TRUE(Draw(*second));
    EXPECT_EQ(labels.size(), 1u);
    EXPECT_EQ(labels[0], alpha);

    const QImage both = image.copy();
    image.fill(Qt::white);
    labels.clear();
    Draw(*first);
    Draw(*unlabelled);
    EXPECT_EQ(image, both) << "Beta was not drawn";
}

TEST_F(MapLayerTest, LabelsAreDrawnAsOutlinedTextInTheLabelFont) {
    auto labelled = LayerOf(One(Road(6, 0.5f, "Carrer Major", 0.2f)));
    auto plain = LayerOf(One(Road(6, 0.5f, "", 0.2f)));
    ASSERT_TRUE(Draw(*labelled));
    ASSERT_EQ(labels.size(), 1u);
    const QImage drawn = image.copy();

    image.fill(Qt::white);
    Draw(*plain);
    const QFont font = platform::ToQFont(*labelled->File()->LabelFont());
    context->SelectFont(font);
    platform::Rect measured{labels[0].left, labels[0].top, labels[0].left + 10, labels[0].top + 10};
    paint::DrawText(*context, "Carrer Major", measured, 0x0D20);
    EXPECT_EQ(measured, labels[0]) << "measured as DrawText measures";
    LabelStyle style;
    style.outlineColor = 0xFFFFFF;
    style.textColor = 0x000000;
    DrawOutlinedText(style, *context, "Carrer Major", measured, 0x0920);
    EXPECT_EQ(image, drawn);
}

TEST_F(MapLayerTest, AFullStopOrATildeLabelIsAShield) {
    auto shield = LayerOf(One(Road(2, 0.5f, ".A1")));
    ASSERT_TRUE(Draw(*shield));
    EXPECT_TRUE(labels.empty()) << "shields keep no place";
    const QRgb green = qRgb(34, 177, 76) & 0xFFFFFF;
    EXPECT_EQ(image.pixel(49, 49) & 0xFFFFFF, green);
    EXPECT_EQ(image.pixel(48, 48) & 0xFFFFFF, 0u) << "outlined with the current pen";
    // The text is white, its edges smoothed into the green.
    int light = 0;
    for (int y = 50; y < 62; ++y) {
        for (int x = 50; x < 62; ++x) {
            const QColor pixel = image.pixelColor(x, y);
            light += pixel.red() > 160 && pixel.blue() > 160 ? 1 : 0;
        }
    }
    EXPECT_GT(light, 6) << "A1 in white";
    const QImage dotted = image.copy();

    image.fill(Qt::white);
    auto tilde = LayerOf(One(Road(2, 0.5f, "~TWELVEA1")));
    Draw(*tilde);
    EXPECT_EQ(image, dotted) << "the tilde and six more characters are left out";

    image.fill(Qt::white);
    auto minor = LayerOf(One(Road(4, 0.5f, ".A1")));
    Draw(*minor);
    EXPECT_EQ(image.pixel(49, 49) & 0xFFFFFF, qRgb(112, 154, 209) & 0xFFFFFF);
}

// A shield's plate is as wide as its text in the label font of the moment: a font step
// between frames gives the plate a fresh layer would draw in the new font.
TEST_F(MapLayerTest, AShieldFollowsTheLabelFont) {
    auto stepped = LayerOf(One(Road(2, 0.5f, ".A1")));
    ASSERT_TRUE(Draw(*stepped));
    const QImage before = image.copy();
    stepped->GrowLabelFont();
    stepped->GrowLabelFont();
    image.fill(Qt::white);
    Draw(*stepped);
    const QImage after = image.copy();
    EXPECT_NE(after, before) << "another font, another plate";

    auto fresh = LayerOf(One(Road(2, 0.5f, ".A1")));
    fresh->GrowLabelFont();
    fresh->GrowLabelFont();
    image.fill(Qt::white);
    Draw(*fresh);
    EXPECT_EQ(image, after);
}

TEST_F(MapLayerTest, ALabelOutsideTheClipBoxIsNeitherDrawnNorListed) {
    std::vector<formats::ShapePtr<>> shapes;
    shapes.push_back(Road(6, 0.9f, "Far", 0.8f));    // the label at x = 320 on a 400 canvas
    shapes.push_back(Road(6, 0.85f, "Near", 0.1f));  // at x = 40
    auto layer = LayerOf(std::move(shapes));
    ASSERT_TRUE(Draw(*layer, 400));
    ASSERT_EQ(labels.size(), 1u);
    EXPECT_EQ(labels[0].left, 40);
}

TEST_F(MapLayerTest, ALayerWithNothingVisibleDrawsNoLabelAndSaysSo) {
    auto layer = LayerOf(One(Road(6, 0.5f, "Hidden")));
    context->SetViewportOrigin(QPoint(-500, -500));
    EXPECT_FALSE(Draw(*layer));
    EXPECT_TRUE(labels.empty());
    EXPECT_EQ(layer->File()->Object(0)->drawn, 0);
}

// Objects a hundred million degrees away sit at the int limits of the canvas. Their labels,
// shields and icons must be culled there, wherever the window looks, not computed past the
// limits (the sanitizer build catches any wrap) and never listed off the picture.
TEST_F(MapLayerTest, ObjectsAtTheCanvasLimitsAreCulledNotWrapped) {
    constexpr float kFar = 1.0e8f;
    constexpr int kMax = std::numeric_limits<int>::max();
    constexpr int kMin = std::numeric_limits<int>::min();
    std::vector<formats::ShapePtr<>> shapes;
    shapes.push_back(testmaps::Area(60, testmaps::Box(-kFar, -kFar, kFar, kFar), "Sea"));
    const LatLon north{kFar, 0.5f};
    shapes.push_back(testmaps::MakeShape<formats::ShapePolyline>(6, {{kFar, 0.5f}, {-kFar, 0.5f}},
                                                                 "Long", 0, &north));
    const LatLon east{0.5f, kFar};
    shapes.push_back(testmaps::MakeShape<formats::ShapePolyline>(2, {{0.5f, -kFar}, {0.5f, kFar}},
                                                                 ".A1", 0, &east));
    shapes.push_back(testmaps::MakeShape<formats::ShapePolyline>(6, {{0.3f, -kFar}, {0.3f, kFar}},
                                                                 "Turned", 450, &east));
    shapes.push_back(testmaps::Point(1, 0, {0.5f, kFar}, "East"));
    shapes.push_back(testmaps::Point(1, 0, {kFar, -kFar}, "North-west"));
    auto layer = LayerOf(std::move(shapes));

    for (float heading : {0.0f, 37.0f}) {
        projection.SetRotation(heading);
        for (const QPoint origin : {QPoint(0, 0), QPoint(-(kMax - 50), 0), QPoint(0, -(kMax - 50)),
                                    QPoint(kMax - 19, kMax - 19), QPoint(kMin, kMin)}) {
            image.fill(Qt::white);
            labels.clear();
            context->SetViewportOrigin(origin);
            Draw(*layer);
            const platform::Rect clip = context->ClipBox();
            for (const platform::Rect& label : labels) {
                EXPECT_LE(label.left, label.right);
                EXPECT_LE(label.top, label.bottom);
                EXPECT_TRUE(clip.Intersects(label));
            }
        }
    }
    projection.SetRotation(0.0f);
    context->SetViewportOrigin(QPoint(0, 0));
    labels.clear();
    image.fill(Qt::white);
    ASSERT_TRUE(Draw(*layer));
    EXPECT_TRUE(labels.empty()) << "every anchor lies at the far end of the canvas";
    EXPECT_EQ(image.pixel(10, 10) & 0xFFFFFF, platform::ToQColor(0xF36D4D).rgb() & 0xFFFFFF);
}

// Counts its preparations.
class CountingLayer : public DrawMapVector {
public:
    void Prepare(const MapWindowView& window, int width, int height,
                 const MapProjection& projection, float scaleKmPerCm) override {
        ++prepares;
        DrawMapVector::Prepare(window, width, height, projection, scaleKmPerCm);
    }
    int prepares = 0;
};

TEST_F(MapLayerTest, ScrollingReusesThePreparedCanvasAndZoomingPreparesAgain) {
    std::vector<formats::ShapePtr<>> shapes;
    shapes.push_back(Road(6, 0.5f, "Street"));
    shapes.push_back(testmaps::Point(1, 0, {0.4f, 0.4f}, "Town"));
    shapes.push_back(testmaps::Area(60, testmaps::Box(0.1f, 0.1f, 0.3f, 0.3f), "Lake"));
    auto layer = LayerOf<CountingLayer>(std::move(shapes));
    CountingProjection counting;
    counting.SetBounds("", "TEST", 1.0f, 0.0f, 0.0f, 1.0f);
    counting.SetRotation(37.0f);
    ASSERT_TRUE(layer->Draw(window, *context, 100, 100, counting, 0, labels, 0.5f));
    EXPECT_EQ(layer->prepares, 1);
    EXPECT_EQ(layer->Cbits(), 21) << "500 m/cm";

    const int projected = counting.calls;
    for (int step = 1; step <= 3; ++step) {
        labels.clear();
        context->SetViewportOrigin(QPoint(-3 * step, -2 * step));
        layer->Draw(window, *context, 100, 100, counting, 0, labels, 0.5f);
    }
    EXPECT_EQ(layer->prepares, 1);
    EXPECT_EQ(counting.calls, projected) << "no projection while scrolling";

    layer->Draw(window, *context, 110, 110, counting, 0, labels, 0.45f);
    EXPECT_EQ(layer->prepares, 2);
    EXPECT_GT(counting.calls, projected);
}

TEST_F(MapLayerTest, NightColoursShowWithoutAZoom) {
    auto layer = LayerOf(One(testmaps::Area(60, testmaps::Box(0.1f, 0.1f, 0.9f, 0.9f))));
    layer->SetNightMode(false);
    Draw(*layer);
    EXPECT_EQ(image.pixel(50, 50) & 0xFFFFFF, platform::ToQColor(0xF36D4D).rgb() & 0xFFFFFF);
    layer->SetNightMode(true);
    Draw(*layer);
    EXPECT_EQ(image.pixel(50, 50) & 0xFFFFFF, platform::ToQColor(0x8E6D54).rgb() & 0xFFFFFF);
    EXPECT_EQ(layer->File()->LabelBackColour(), 0u);
}

TEST_F(MapLayerTest, FontStepsAndTheStreetNameGoToTheFile) {
    auto layer = LayerOf(One(Road(6, 0.5f, "Carrer Major")));
    const int height = layer->File()->LabelFont()->height;
    layer->GrowLabelFont();
    EXPECT_EQ(layer->File()->LabelFont()->height, height - 2);
    layer->ShrinkLabelFont();
    EXPECT_EQ(layer->File()->LabelFont()->height, height);
    QString name;
    EXPECT_NE(layer->FindStreetName(0.5001f, 0.5f, name), nullptr);
    EXPECT_EQ(name, "Carrer Major");
    EXPECT_TRUE(layer->Contains(0.5f, 0.5f));
    EXPECT_FALSE(layer->Contains(1.5f, 0.5f));
}

}  // namespace
}  // namespace render
