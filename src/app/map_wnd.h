#pragma once

// The moving-map window: the map image rendered by a drawing thread, the overlays painted over
// it (GPS arrow, compass, speed panel, scale bar, accuracy, POI announcement, corner button,
// the road under the position found by a label thread), and the input that scrolls and zooms.
//
// Threads. Everything public is called on the interface thread, except RequestRedraw, which
// any thread may call. The renderer, the catalogue, the scroll offset and the view are guarded
// by one lock, held by the drawing thread for a render and by the interface thread for every
// change; painting never takes it. The finished image is handed to painting by swapping it
// with a back image under a short lock of its own.

#include <QImage>
#include <QPainter>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/color.h"
#include "platform/screen_metrics.h"
#include "render/label_style.h"
#include "render/map_window_model.h"

namespace platform {
class PaintContext;
class SettingsStore;
}  // namespace platform

namespace render {
class MapOverlays;
}

namespace app {

// Command ids the map window carries out (QAction data of the frame's menu and buttons).
inline constexpr int kCommandZoomIn = 32774;
inline constexpr int kCommandZoomOut = 32775;
inline constexpr int kCommandFontsLarger = 32782;
inline constexpr int kCommandFontsSmaller = 32783;
inline constexpr int kCommandOrganizeMapsNow = 32793;

// States of the GPS arrow.
inline constexpr int kArrowNoGpsOpen = 0;
inline constexpr int kArrowGpsNoFix = 1;
inline constexpr int kArrowGpsFix = 2;

// Overlay colours by day and by night (0x00BBGGRR).
inline constexpr platform::ColorRef kOverlayOutlineDay = 0x00FFFFFF;
inline constexpr platform::ColorRef kOverlayOutlineNight = 0x007F7F7F;
inline constexpr platform::ColorRef kOverlayTextDay = 0x0099362F;
inline constexpr platform::ColorRef kOverlayTextNight = 0x00EAD999;

// Keeps the stylus's drag across the map: where it started, whether it moved, and the colour
// of the strips a shifted image leaves uncovered.
struct DragTracker {
    bool dragging = false;
    int startX = 0;
    int startY = 0;
    bool moved = false;
    platform::ColorRef fillColor = render::kMapBackgroundDay;
    // Where the stylus is now, for the preview painted while dragging.
    int currentX = 0;
    int currentY = 0;
};

// The last GPS position handed to the window, as the overlays show it.
struct LastPosition {
    float latitude = 0.0f;
    float longitude = 0.0f;
    float speedKmh = 0.0f;
    float altitudeM = 0.0f;
    int headingDeg = 0;           // whole degrees, clockwise from north
    int horizontalAccuracy = -1;  // −1: not available
    int verticalAccuracy = -1;
    int elapsedSeconds = 0;  // since route recording started
};

// Writes the three arrow pictures compiled into the program into `imagesFolder` where they are
// missing; a user's own pictures stay. True when all three are there afterwards.
bool InstallArrowImages(const QString& imagesFolder);

class CMapWnd : public QWidget {
    Q_OBJECT

public:
    // Draws the POI announcement into the composed picture of width × height pixels; set by
    // the frame once the announcement exists.
    using AnnouncementDrawer =
        std::function<void(platform::PaintContext& context, int width, int height)>;

    // Creation: the maps of programFolder + "/Maps", the screen's metrics for the scale and the
    // large-screen flag, the settings (borrowed, may be null: defaults everywhere) for the last
    // view and the fonts. Builds the catalogue and loads the map under the stored position.
    CMapWnd(const QString& programFolder, const platform::ScreenMetrics& screen,
            platform::SettingsStore* settings, QWidget* parent = nullptr);
    // Stops the threads if they still run and saves the last view.
    ~CMapWnd() override;

    // Starts the drawing thread, then the position-label thread. Once only.
    void StartThreads();
    // Sets the closing flag and waits for both threads to end; the destructor does it too.
    void StopThreads();
    bool IsClosing() const { return closing_.load(); }

    // A GPS position (speed in km/h, heading in degrees clockwise from north, altitude in
    // metres, seconds since recording started, accuracy figures −1 when unknown). Turns the map
    // heading-up above 2.0 km/h, puts the position at the anchor point and loads the maps it
    // needs. A call made while one runs is dropped.
    void SetPosition(float latitude, float longitude, float speedKmh, float headingDeg,
                     float altitudeM, int elapsedSeconds, int horizontalAccuracy,
                     int verticalAccuracy);
    // The stored scale (LASTZOOM) and the last position, once, on the first sized layout.
    void RestoreLastView();
    // Loads the catalogued maps under uncovered corners and keeps the centre; false when none
    // was added.
    bool ScrollToPosition();
    // Puts the position under the window centre.
    void CentreOn(float latitude, float longitude);
    // Zooms by `step` (10 per press) keeping the point under the anchor.
    void ZoomInBy(int step);
    void ZoomOutBy(int step);
    // Rebuilds the map catalogue from the maps folder; nothing is reloaded or redrawn.
    void OrganizeMapsNow();
    void FontsLarger();
    void FontsSmaller();
    // Carries out a command id of the menu; false when the map window does not take it.
    bool OnCommand(int commandId);

    // 0 GPS not open, 1 open without a usable fix, 2 fix; any other as 0.
    void SetArrowState(int state);
    int ArrowState() const { return arrowState_; }
    void SetAccuracy(int horizontal, int vertical);
    // Empties the name of the road under the position (the fix was lost).
    void ClearPositionLabel();
    // Day or night colours for the overlays, the map background and the map labels.
    void ApplyNightMode(bool night);
    bool NightMode() const { return night_; }

    // Asks for one more render of the map image; any thread.
    void RequestRedraw();

    // Shown when the corner button is tapped and on the context menu: the frame's button panel.
    void SetButtonPanelHook(std::function<void()> showButtonPanel);
    void SetAnnouncementDrawer(AnnouncementDrawer drawer);
    // What the renderer draws over the maps (GPX files, POIs); borrowed, may be null.
    void SetOverlays(render::MapOverlays* overlays);
    // Runs `change` on the renderer, catalogue and view under the lock the drawing thread
    // renders under (for loading GPX overlays and the like); add a redraw request after it.
    void WithView(const std::function<void(render::MapWindowModel& model)>& change);

    const LastPosition& Position() const { return position_; }
    // The zoom value in km/cm.
    float ScaleKmPerCm() const { return scaleKmPerCm_.load(); }
    QPoint ScrollOffset();
    QPoint Anchor() const { return anchor_; }
    int PixelScale() const { return pixelScale_; }
    QString PositionLabel() const;

    // Counted for tests and benchmarks: renders done by the drawing thread.
    int RenderCount() const { return renderCount_.load(); }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    friend class CMapWndTestAccess;
    friend class MapPainter;

    void CreateWindowParts();
    void CreateTextStyles();
    void LoadBitmaps();
    void OnZoomTimer(bool zoomOut);
    void StylusDown(QPoint point);
    void StylusMove(QPoint point);
    void StylusUp(QPoint point);
    void ShowButtonPanel();
    void TakeFinishedImage();
    void PaintDragPreview(QPainter& window);

    // Drawing thread: one poll every 5 ms, a render when redraws were requested.
    void DrawingThreadMain();
    bool RenderOnce();
    // Position-label thread: one search per SetPosition.
    void LabelThreadMain();
    void FindPositionLabel();

    const QString programFolder_;
    platform::SettingsStore* settings_;
    const platform::ScreenMetrics screen_;
    int pixelScale_ = 1;

    // Guarded by viewLock_.
    std::mutex viewLock_;
    render::MapWindowModel model_;

    // Set on the interface thread only.
    int width_ = 0;
    int height_ = 0;
    QPoint anchor_;
    LastPosition position_;
    int clockCounter_ = 0;
    bool restorePending_ = true;
    bool positioning_ = false;
    int pendingZoom_ = 0;
    int arrowState_ = kArrowNoGpsOpen;
    bool night_ = false;
    platform::ColorRef overlayOutline_ = kOverlayOutlineDay;
    platform::ColorRef overlayText_ = kOverlayTextDay;
    DragTracker drag_;
    render::LabelStyle largeStyle_;
    render::LabelStyle smallStyle_;
    render::LabelStyle positionStyle_;
    QImage compass_;
    QImage cornerButton_;
    QImage arrow_;
    int arrowWidth_ = 0;
    int arrowHeight_ = 0;
    int arrowDrawnWidth_ = 0;
    int arrowDrawnHeight_ = 0;
    QTimer zoomOutTimer_;  // timer 1: Down
    QTimer zoomInTimer_;   // timer 2: Up
    int wheelDelta_ = 0;
    double pinchApplied_ = 1.0;  // the pinch's scale factor already turned into zoom steps
    std::function<void()> showButtonPanel_;
    AnnouncementDrawer announcement_;

    // Read by the drawing thread.
    std::atomic<platform::ColorRef> background_{render::kMapBackgroundDay};
    std::atomic<float> scaleKmPerCm_{0.0f};
    std::atomic<int> renderCount_{0};

    // Three map images, handed round by swapping under imageLock_: the drawing thread renders
    // into the back image and swaps it with the ready one; a paint swaps the ready one, when
    // fresh, with the shown one, which the interface thread alone uses (paints, drag preview).
    std::mutex imageLock_;
    QImage backImage_;                      // drawing thread
    QImage readyImage_;                     // under imageLock_
    bool imageFresh_ = false;               // under imageLock_
    QImage shownImage_;                     // interface thread
    std::atomic<bool> imageExists_{false};  // from the first sized layout on

    // Label text and the position it is searched for, under labelLock_.
    mutable std::mutex labelLock_;
    QString positionLabel_;
    int labelFound_ = 0;
    float labelLatitude_ = 0.0f;
    float labelLongitude_ = 0.0f;
    bool labelResumed_ = false;
    std::condition_variable labelWake_;

    std::atomic<bool> closing_{false};
    std::thread drawingThread_;
    std::thread labelThread_;
};

}  // namespace app
