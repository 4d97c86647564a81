// A region of many small tiles against the same extract compiled as one tile (Andorra, from the
// shared data): at every zoom the tiled home must show what the one-tile home shows, both as
// vlrender draws a view and as the map window's own Zoom Out gets there step by step. Holes
// where tiles between the window's corners are not loaded, or a zoom out that stops where the
// first tile's canvas ends, show up as background the one-tile home does not have.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "fixed_window.h"
#include "paint/paint_context.h"
#include "pixels.h"
#include "render/map_window_model.h"
#include "temp_home.h"
#include "tool_run.h"

namespace {

const QString kAndorra = QStringLiteral(VELMORA_SHARED_DATA "/osm/andorra.osm.pbf");
constexpr float kLat = 42.5063f;  // Andorra la Vella
constexpr float kLon = 1.5218f;
constexpr int kWidth = 800;
constexpr int kHeight = 480;
// Share of the picture, in percentage points, and relative scale the two homes may differ by.
// The scale is measured along the north edge of the loaded maps' box, which lies a little
// farther south when only some of the tiles are loaded.
constexpr double kShareTolerance = 2.0;
constexpr double kScaleTolerance = 0.01;

double BackgroundPercent(const QImage& picture) {
    return 100.0 * CountPixels(picture, platform::ToQColor(render::kMapBackgroundDay)) /
           (double(picture.width()) * picture.height());
}

struct View {
    double scaleKmPerCm = 0.0;
    double backgroundPercent = 0.0;
    int maps = 0;
};

View RenderWithVlrender(const TempHome& home, float scale) {
    const QString out = home.File(QString("view-%1.png").arg(scale));
    const ToolRun run = RunTool(
        VLRENDER_PATH, {"--home", home.Path(), "--center", QString("%1,%2").arg(kLat).arg(kLon),
                        "--scale", QString::number(scale), "--size",
                        QString("%1x%2").arg(kWidth).arg(kHeight), "--json", out});
    EXPECT_EQ(run.exitCode, 0) << run.err.constData();
    const QJsonObject json = QJsonDocument::fromJson(run.out.trimmed()).object();
    return View{json["scaleKmPerCm"].toDouble(), BackgroundPercent(QImage(out)),
                int(json["maps"].toArray().size())};
}

// The map window's own Zoom Out, one step at a time from 0.1 km/cm until 10 km/cm, with a frame
// after each step as the window draws one.
std::vector<View> ZoomOutStepByStep(const TempHome& home) {
    render::MapWindowModel window(home.Path(), ScreenOf(kWidth, kHeight, 212, 127), nullptr);
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    paint::PaintContext context(&image);
    window.Catalogue().Build();
    window.Resize(kWidth, kHeight);
    EXPECT_TRUE(window.LoadMapAt(kLat, kLon));
    window.ApplyScale(0.1f);
    window.SetPosition(kLat, kLon, 0.0f, 0.0f);
    std::vector<View> views;
    for (int step = 0; step < 80; ++step) {
        window.Render(context, render::kMapBackgroundDay);
        views.push_back(View{window.Renderer().view.scale, BackgroundPercent(image),
                             window.Renderer().EntryCount()});
        if (views.back().scaleKmPerCm >= 10.0 || !window.ZoomOut(10)) {
            break;
        }
    }
    return views;
}

TEST(TiledRegion, ShowsWhatOneTileShowsAtEveryZoomAndZoomsOutAsFar) {
    if (!QFile::exists(kAndorra)) {
        GTEST_SKIP() << "no " << kAndorra.toStdString() << " (the shared data is absent)";
    }
    TempHome tiled;
    TempHome oneTile;
    for (const auto& [home, tileMb] : {std::pair{&tiled, "0.2"}, std::pair{&oneTile, "1000"}}) {
        const ToolRun run = RunTool(
            VLMAKE_PATH, {kAndorra, home->File("Maps"), "--quiet", "--tile-mb", tileMb}, 120000);
        ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    }

    for (const float scale : {0.0472f, 0.5f, 1.0f, 2.0f, 5.0f, 10.0f}) {
        SCOPED_TRACE(scale);
        const View one = RenderWithVlrender(oneTile, scale);
        const View many = RenderWithVlrender(tiled, scale);
        EXPECT_NEAR(many.backgroundPercent, one.backgroundPercent, kShareTolerance);
        EXPECT_NEAR(many.scaleKmPerCm / one.scaleKmPerCm, 1.0, kScaleTolerance);
        EXPECT_GE(many.maps, 1);
    }
    // Closer than the tiles are large, the window holds several of them.
    EXPECT_GT(RenderWithVlrender(tiled, 0.5f).maps, 4);

    const std::vector<View> one = ZoomOutStepByStep(oneTile);
    const std::vector<View> many = ZoomOutStepByStep(tiled);
    ASSERT_FALSE(one.empty());
    EXPECT_GE(one.back().scaleKmPerCm, 10.0) << "the one-tile home zooms out to 10 km/cm";
    ASSERT_EQ(many.size(), one.size()) << "the same steps from 0.1 to 10 km/cm";
    for (size_t i = 0; i < one.size(); ++i) {
        SCOPED_TRACE(one[i].scaleKmPerCm);
        EXPECT_NEAR(many[i].scaleKmPerCm / one[i].scaleKmPerCm, 1.0, kScaleTolerance);
        EXPECT_NEAR(many[i].backgroundPercent, one[i].backgroundPercent, kShareTolerance);
    }
}

}  // namespace
