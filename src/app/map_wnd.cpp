#include "app/map_wnd.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QGestureEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPinchGesture>
#include <QResizeEvent>
#include <QWheelEvent>

#include <chrono>

#include "app/last_view.h"
#include "app/map_wnd_paint.h"
#include "paint/paint_context.h"
#include "platform/log_font.h"
#include "platform/program_folder.h"
#include "platform/settings_store.h"
#include "platform/trace.h"
#include "render/poi_icons.h"

namespace app {
namespace {

namespace keys = platform::settings;

// Both threads poll this often.
constexpr auto kPollInterval = std::chrono::milliseconds(5);
// The arrow keys' zoom steps are collected for this long after the last press.
constexpr int kPendingZoomMs = 100;
constexpr int kZoomStep = 10;
// The corner button's side at pixel scale 1.
constexpr int kCornerSide = 32;
// One notch of a mouse wheel, in eighths of a degree.
constexpr int kWheelNotch = 120;
// A pinch zooms by one step per 10 % change of the fingers' distance.
constexpr double kPinchStepFactor = 1.1;

constexpr const char* kArrowFiles[3] = {"ArrowNoGpsOpen.png", "ArrowGpsNoFix.png",
                                        "ArrowGpsFix.png"};

QFont FontFromSettings(const platform::SettingsStore* settings, const keys::FontKey& key,
                       int points, int weight, const platform::ScreenMetrics& screen) {
    std::optional<platform::LogFont> stored;
    if (settings != nullptr) {
        stored = settings->Get(key);
    }
    return platform::ToQFont(stored ? *stored : platform::BuiltInFont(points, weight, screen));
}

// A copy that shares no data with `text`: strings handed between threads must not share their
// reference count, which is updated where ThreadSanitizer cannot see it.
QString DeepCopy(const QString& text) {
    return QString(text.constData(), text.size());
}

}  // namespace

CMapWnd::CMapWnd(const QString& programFolder, const platform::ScreenMetrics& screen,
                 platform::SettingsStore* settings, QWidget* parent)
    : QWidget(parent),
      programFolder_(programFolder),
      settings_(settings),
      screen_(screen),
      model_(programFolder, screen, settings) {
    pixelScale_ = model_.HighResolution() ? 2 : 1;
    // The map image covers the whole window: nothing to erase first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(false);
    grabGesture(Qt::PinchGesture);
    zoomOutTimer_.setSingleShot(true);
    zoomInTimer_.setSingleShot(true);
    connect(&zoomOutTimer_, &QTimer::timeout, this, [this] { OnZoomTimer(true); });
    connect(&zoomInTimer_, &QTimer::timeout, this, [this] { OnZoomTimer(false); });
    CreateWindowParts();
}

CMapWnd::~CMapWnd() {
    StopThreads();
    if (settings_ != nullptr) {
        SaveLastViewOnDestroy(*settings_, position_.latitude, position_.longitude, ScaleKmPerCm());
    }
}

void CMapWnd::CreateWindowParts() {
    drag_.fillColor = render::kMapBackgroundDay;
    {
        std::lock_guard lock(viewLock_);
        model_.Catalogue().Build();
    }
    LastView stored;
    if (settings_ != nullptr) {
        stored = ReadLastView(*settings_);
    } else {
        stored.latitude = 41.164673f;
        stored.longitude = 23.267757f;
    }
    {
        std::lock_guard lock(viewLock_);
        if (!model_.LoadMapAt(stored.latitude, stored.longitude) && settings_ != nullptr) {
            // No map here: the stored scale waits for the first position that has one.
            model_.ApplyScale(stored.scaleKmPerCm);
        }
        scaleKmPerCm_ = model_.Renderer().view.scale;
    }
    LoadBitmaps();
    InstallArrowImages(programFolder_ + platform::kImagesTail);
    SetArrowState(kArrowNoGpsOpen);
    position_.latitude = stored.latitude;
    position_.longitude = stored.longitude;
    CreateTextStyles();
}

void CMapWnd::LoadBitmaps() {
    compass_ = QImage(QStringLiteral(":/mapwnd/130.png"));
    const QImage corner(pixelScale_ == 2 ? QStringLiteral(":/mapwnd/168.png")
                                         : QStringLiteral(":/mapwnd/167.png"));
    cornerButton_ = corner.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

void CMapWnd::CreateTextStyles() {
    largeStyle_.font = FontFromSettings(settings_, keys::kSpeedFont, 24, 800, screen_);
    smallStyle_.font = platform::ToQFont(platform::BuiltInFont(8, 400, screen_));
    positionStyle_.font = FontFromSettings(settings_, keys::kSpeedFont, 12, 1200, screen_);
}

bool InstallArrowImages(const QString& imagesFolder) {
    bool all = true;
    for (const char* file : kArrowFiles) {
        all =
            render::InstallImageIfMissing(imagesFolder, file, QStringLiteral(":/mapwnd/") + file) &&
            all;
    }
    return all;
}

void CMapWnd::SetArrowState(int state) {
    if (state < kArrowNoGpsOpen || state > kArrowGpsFix) {
        state = kArrowNoGpsOpen;
    }
    arrowState_ = state;
    const QImage picture(programFolder_ + platform::kImagesTail + "/" + kArrowFiles[state]);
    arrowWidth_ = picture.width();
    arrowHeight_ = picture.height();
    arrowDrawnWidth_ = pixelScale_ * arrowWidth_;
    arrowDrawnHeight_ = pixelScale_ * arrowHeight_;
    arrow_ = PrepareArrow(picture, pixelScale_);
    RequestRedraw();
}

// Threads --------------------------------------------------------------------------------

void CMapWnd::StartThreads() {
    if (drawingThread_.joinable() || closing_.load()) {
        return;
    }
    drawingThread_ = std::thread([this] { DrawingThreadMain(); });
    labelThread_ = std::thread([this] { LabelThreadMain(); });
}

void CMapWnd::StopThreads() {
    closing_ = true;
    {
        std::lock_guard lock(labelLock_);
        labelResumed_ = true;
    }
    labelWake_.notify_all();
    if (drawingThread_.joinable()) {
        drawingThread_.join();
    }
    if (labelThread_.joinable()) {
        labelThread_.join();
    }
}

void CMapWnd::RequestRedraw() {
    model_.RequestRedraw();
}

void CMapWnd::DrawingThreadMain() {
    while (!closing_.load()) {
        std::this_thread::sleep_for(kPollInterval);
        if (closing_.load()) {
            break;
        }
        if (!imageExists_.load()) {
            model_.TakeRedrawRequests();
            continue;
        }
        // Requests that arrive during the render are counted and give one more.
        if (model_.TakeRedrawRequests() >= 1) {
            RenderOnce();
        }
    }
}

bool CMapWnd::RenderOnce() {
    bool drawn = false;
    {
        std::lock_guard lock(viewLock_);
        const QSize size = model_.ClientSize();
        if (size.isEmpty()) {
            return false;
        }
        if (backImage_.size() != size) {
            backImage_ = QImage(size, QImage::Format_RGB32);
        }
        paint::PaintContext context(&backImage_);
        drawn = model_.Render(context, background_.load());
        scaleKmPerCm_ = model_.Renderer().view.scale;
    }
    {
        std::lock_guard lock(imageLock_);
        readyImage_.swap(backImage_);
        imageFresh_ = true;
    }
    ++renderCount_;
    QMetaObject::invokeMethod(this, qOverload<>(&QWidget::update), Qt::QueuedConnection);
    return drawn;
}

void CMapWnd::LabelThreadMain() {
    while (!closing_.load()) {
        std::this_thread::sleep_for(kPollInterval);
        if (closing_.load()) {
            break;
        }
        FindPositionLabel();
        std::unique_lock lock(labelLock_);
        labelWake_.wait(lock, [this] { return labelResumed_; });
        labelResumed_ = false;
    }
}

void CMapWnd::FindPositionLabel() {
    float latitude = 0.0f;
    float longitude = 0.0f;
    {
        std::lock_guard lock(labelLock_);
        latitude = labelLatitude_;
        longitude = labelLongitude_;
    }
    // Searched into a copy and stored at once, so a paint never sees the label emptied between
    // two positions on the same road.
    QString name;
    int found = 0;
    {
        std::lock_guard lock(viewLock_);
        render::MapRenderer& renderer = model_.Renderer();
        for (int index = 0; index < renderer.EntryCount(); ++index) {
            const render::MapEntry& entry = renderer.Entry(index);
            if (!entry.layer) {
                continue;
            }
            QString candidate;
            if (entry.layer->FindStreetName(latitude, longitude, candidate) != nullptr) {
                found = 1;
                name = DeepCopy(candidate);
                break;
            }
        }
    }
    bool changed = false;
    {
        std::lock_guard lock(labelLock_);
        changed = name != positionLabel_;
        positionLabel_ = name;
        labelFound_ = found;
    }
    if (changed) {
        QMetaObject::invokeMethod(this, qOverload<>(&QWidget::update), Qt::QueuedConnection);
    }
}

QString CMapWnd::PositionLabel() const {
    std::lock_guard lock(labelLock_);
    return DeepCopy(positionLabel_);
}

void CMapWnd::ClearPositionLabel() {
    {
        std::lock_guard lock(labelLock_);
        positionLabel_.clear();
        labelFound_ = 0;
    }
    update();
}

// View -----------------------------------------------------------------------------------

void CMapWnd::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    width_ = event->size().width();
    height_ = event->size().height();
    anchor_ = QPoint(width_ / 2, (height_ / 3) * 2);
    float scale = 0.0f;
    {
        std::lock_guard lock(viewLock_);
        model_.Resize(width_, height_);
        scale = model_.Renderer().view.scale;
    }
    if (width_ != 0 && height_ != 0) {
        shownImage_ = QImage(width_, height_, QImage::Format_RGB32);
        shownImage_.fill(Qt::white);
        imageExists_ = true;
    }
    if (restorePending_ && scale > 0.0f) {
        RestoreLastView();
    }
    RequestRedraw();
}

void CMapWnd::RestoreLastView() {
    restorePending_ = false;
    const float scale = settings_ != nullptr ? ReadLastView(*settings_).scaleKmPerCm : 0.485807f;
    {
        std::lock_guard lock(viewLock_);
        model_.ApplyScale(scale);
        scaleKmPerCm_ = model_.Renderer().view.scale;
    }
    SetPosition(position_.latitude, position_.longitude, position_.speedKmh,
                float(position_.headingDeg), position_.altitudeM, position_.elapsedSeconds,
                position_.horizontalAccuracy, position_.verticalAccuracy);
}

void CMapWnd::SetPosition(float latitude, float longitude, float speedKmh, float headingDeg,
                          float altitudeM, int elapsedSeconds, int horizontalAccuracy,
                          int verticalAccuracy) {
    if (positioning_) {
        return;
    }
    positioning_ = true;
    platform::Trace("Setposition2 go");
    position_.speedKmh = speedKmh;
    position_.altitudeM = altitudeM;
    position_.elapsedSeconds = elapsedSeconds;
    position_.horizontalAccuracy = horizontalAccuracy;
    position_.verticalAccuracy = verticalAccuracy;
    if (speedKmh > render::MapWindowModel::kTurnSpeedKmh) {
        position_.headingDeg = int(headingDeg);
    }
    {
        std::lock_guard lock(viewLock_);
        // Turns heading-up above the turning speed, puts the position at the anchor, loads the
        // maps the corners need and asks for a render.
        model_.SetPosition(latitude, longitude, speedKmh, headingDeg);
        scaleKmPerCm_ = model_.Renderer().view.scale;
    }
    position_.latitude = latitude;
    position_.longitude = longitude;
    {
        std::lock_guard lock(labelLock_);
        labelLatitude_ = latitude;
        labelLongitude_ = longitude;
        labelResumed_ = true;
    }
    labelWake_.notify_one();
    positioning_ = false;
}

bool CMapWnd::ScrollToPosition() {
    std::lock_guard lock(viewLock_);
    return model_.ScrollToPosition();
}

void CMapWnd::CentreOn(float latitude, float longitude) {
    std::lock_guard lock(viewLock_);
    model_.CentreOn(latitude, longitude);
}

QPoint CMapWnd::ScrollOffset() {
    std::lock_guard lock(viewLock_);
    return model_.ScrollOffset();
}

void CMapWnd::ZoomInBy(int step) {
    std::lock_guard lock(viewLock_);
    model_.ZoomIn(step);
    scaleKmPerCm_ = model_.Renderer().view.scale;
}

void CMapWnd::ZoomOutBy(int step) {
    std::lock_guard lock(viewLock_);
    model_.ZoomOut(step);
    scaleKmPerCm_ = model_.Renderer().view.scale;
}

void CMapWnd::OnZoomTimer(bool zoomOut) {
    const int step = pendingZoom_;
    pendingZoom_ = 0;
    if (step == 0) {
        return;
    }
    if (zoomOut) {
        ZoomOutBy(step);
    } else {
        ZoomInBy(step);
    }
}

void CMapWnd::OrganizeMapsNow() {
    std::lock_guard lock(viewLock_);
    model_.Catalogue().Build();
}

void CMapWnd::FontsLarger() {
    {
        std::lock_guard lock(viewLock_);
        render::MapRenderer& renderer = model_.Renderer();
        for (int index = 0; index < renderer.EntryCount(); ++index) {
            if (renderer.Entry(index).layer) {
                renderer.Entry(index).layer->GrowLabelFont();
            }
        }
    }
    RequestRedraw();
}

void CMapWnd::FontsSmaller() {
    {
        std::lock_guard lock(viewLock_);
        render::MapRenderer& renderer = model_.Renderer();
        for (int index = 0; index < renderer.EntryCount(); ++index) {
            if (renderer.Entry(index).layer) {
                renderer.Entry(index).layer->ShrinkLabelFont();
            }
        }
    }
    RequestRedraw();
}

bool CMapWnd::OnCommand(int commandId) {
    switch (commandId) {
        case kCommandZoomIn:
            ZoomInBy(kZoomStep);
            return true;
        case kCommandZoomOut:
            ZoomOutBy(kZoomStep);
            return true;
        case kCommandFontsLarger:
            FontsLarger();
            return true;
        case kCommandFontsSmaller:
            FontsSmaller();
            return true;
        case kCommandOrganizeMapsNow:
            OrganizeMapsNow();
            return true;
        default:
            return false;
    }
}

void CMapWnd::SetAccuracy(int horizontal, int vertical) {
    position_.horizontalAccuracy = horizontal;
    position_.verticalAccuracy = vertical;
    update();
}

void CMapWnd::ApplyNightMode(bool night) {
    night_ = night;
    overlayOutline_ = night ? kOverlayOutlineNight : kOverlayOutlineDay;
    overlayText_ = night ? kOverlayTextNight : kOverlayTextDay;
    const platform::ColorRef background =
        night ? render::kMapBackgroundNight : render::kMapBackgroundDay;
    background_ = background;
    drag_.fillColor = background;
    {
        std::lock_guard lock(viewLock_);
        // The renderer hands the flag to every layer, which switches its label colours.
        model_.Renderer().SetNightMode(night);
    }
    RequestRedraw();
}

void CMapWnd::SetButtonPanelHook(std::function<void()> showButtonPanel) {
    showButtonPanel_ = std::move(showButtonPanel);
}

void CMapWnd::SetAnnouncementDrawer(AnnouncementDrawer drawer) {
    announcement_ = std::move(drawer);
}

void CMapWnd::SetOverlays(render::MapOverlays* overlays) {
    std::lock_guard lock(viewLock_);
    model_.Renderer().SetOverlays(overlays);
}

void CMapWnd::WithView(const std::function<void(render::MapWindowModel& model)>& change) {
    std::lock_guard lock(viewLock_);
    change(model_);
    scaleKmPerCm_ = model_.Renderer().view.scale;
}

void CMapWnd::ShowButtonPanel() {
    if (showButtonPanel_) {
        showButtonPanel_();
    }
}

// Input ----------------------------------------------------------------------------------

void CMapWnd::StylusDown(QPoint point) {
    const int corner = kCornerSide * pixelScale_;
    if (point.x() >= width_ - corner && point.y() >= height_ - corner) {
        ShowButtonPanel();
    }
    int entries = 0;
    {
        std::lock_guard lock(viewLock_);
        entries = model_.Renderer().EntryCount();
    }
    if (entries >= 1) {
        drag_.dragging = true;
        drag_.startX = drag_.currentX = point.x();
        drag_.startY = drag_.currentY = point.y();
        setCursor(Qt::ClosedHandCursor);
    }
}

void CMapWnd::StylusMove(QPoint point) {
    if (!drag_.dragging) {
        return;
    }
    if (drag_.startX - point.x() == 0 && drag_.startY - point.y() == 0) {
        return;
    }
    drag_.moved = true;
    drag_.currentX = point.x();
    drag_.currentY = point.y();
    // Only the last image moves; nothing is rendered until the stylus is lifted.
    update();
}

void CMapWnd::StylusUp(QPoint point) {
    // Only a drag that started here moves the map: a release without its press (the press
    // came while no map was loaded) has no start point.
    if (!drag_.dragging) {
        return;
    }
    drag_.dragging = false;
    drag_.moved = false;
    unsetCursor();
    {
        std::lock_guard lock(viewLock_);
        if (model_.Renderer().EntryCount() < 1) {
            return;
        }
        const QPoint scroll = model_.ScrollOffset();
        model_.SetScrollOffset(platform::AddPixels(
            scroll, QPoint(drag_.startX - point.x(), drag_.startY - point.y())));
        model_.ScrollToPosition();
        model_.RequestRedraw();
    }
    update();
}

void CMapWnd::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        StylusDown(event->position().toPoint());
    }
    QWidget::mousePressEvent(event);
}

void CMapWnd::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() & Qt::LeftButton) {
        StylusMove(event->position().toPoint());
    }
}

void CMapWnd::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        StylusUp(event->position().toPoint());
    }
}

void CMapWnd::wheelEvent(QWheelEvent* event) {
    wheelDelta_ += event->angleDelta().y();
    while (wheelDelta_ >= kWheelNotch) {
        wheelDelta_ -= kWheelNotch;
        ZoomInBy(kZoomStep);
    }
    while (wheelDelta_ <= -kWheelNotch) {
        wheelDelta_ += kWheelNotch;
        ZoomOutBy(kZoomStep);
    }
    event->accept();
}

void CMapWnd::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Left:
            FontsSmaller();
            break;
        case Qt::Key_Right:
            FontsLarger();
            break;
        case Qt::Key_Up:
            zoomInTimer_.start(kPendingZoomMs);
            pendingZoom_ += kZoomStep;
            break;
        case Qt::Key_Down:
            zoomOutTimer_.start(kPendingZoomMs);
            pendingZoom_ += kZoomStep;
            break;
        case Qt::Key_Plus:
        case Qt::Key_Equal:
            ZoomInBy(kZoomStep);
            break;
        case Qt::Key_Minus:
            ZoomOutBy(kZoomStep);
            break;
        default:
            QWidget::keyPressEvent(event);
            return;
    }
    event->accept();
}

void CMapWnd::contextMenuEvent(QContextMenuEvent* event) {
    ShowButtonPanel();
    event->accept();
}

void CMapWnd::closeEvent(QCloseEvent* event) {
    StopThreads();
    if (settings_ != nullptr) {
        SaveLastViewOnClose(*settings_, position_.latitude, position_.longitude, ScaleKmPerCm());
    }
    QWidget::closeEvent(event);
}

bool CMapWnd::event(QEvent* event) {
    if (event->type() == QEvent::Gesture) {
        auto* gestures = static_cast<QGestureEvent*>(event);
        if (auto* pinch = static_cast<QPinchGesture*>(gestures->gesture(Qt::PinchGesture))) {
            if (pinch->state() == Qt::GestureStarted) {
                pinchApplied_ = 1.0;
            }
            const double factor = pinch->totalScaleFactor();
            while (factor >= pinchApplied_ * kPinchStepFactor) {
                pinchApplied_ *= kPinchStepFactor;
                ZoomInBy(kZoomStep);
            }
            while (factor <= pinchApplied_ / kPinchStepFactor) {
                pinchApplied_ /= kPinchStepFactor;
                ZoomOutBy(kZoomStep);
            }
            gestures->accept(pinch);
            return true;
        }
    }
    return QWidget::event(event);
}

// Painting -------------------------------------------------------------------------------

void CMapWnd::TakeFinishedImage() {
    std::lock_guard lock(imageLock_);
    if (imageFresh_) {
        shownImage_.swap(readyImage_);
        imageFresh_ = false;
    }
}

void CMapWnd::paintEvent(QPaintEvent* /*event*/) {
    if (!imageExists_.load()) {
        return;
    }
    TakeFinishedImage();
    QPainter window(this);
    if (drag_.dragging && drag_.moved) {
        PaintDragPreview(window);
        return;
    }
    render::ImageBuffer buffer;
    buffer.Load(shownImage_);
    OverlayFrame frame;
    frame.width = width_;
    frame.height = height_;
    frame.anchor = anchor_;
    frame.arrow = &arrow_;
    frame.arrowDrawnHeight = arrowDrawnHeight_;
    frame.compass = &compass_;
    frame.position = &position_;
    frame.scaleKmPerCm = ScaleKmPerCm();
    frame.screen = screen_;
    frame.large = &largeStyle_;
    frame.small = &smallStyle_;
    frame.positionStyle = &positionStyle_;
    frame.overlayOutline = overlayOutline_;
    frame.overlayText = overlayText_;
    frame.cornerButton = &cornerButton_;
    frame.pixelScale = pixelScale_;
    frame.positionLabel = PositionLabel();
    frame.announcement = announcement_;
    ComposeOverlays(buffer, frame, clockCounter_);
    window.drawImage(QPoint(0, 0), buffer.Image());
}

void CMapWnd::PaintDragPreview(QPainter& window) {
    const int dx = drag_.currentX - drag_.startX;
    const int dy = drag_.currentY - drag_.startY;
    const QColor fill = platform::ToQColor(drag_.fillColor);
    // The strips the shifted image leaves uncovered: left or right, then top or bottom.
    if (dx > 0) {
        window.fillRect(QRect(0, 0, dx, height_), fill);
    } else if (dx < 0) {
        window.fillRect(QRect(width_ + dx, 0, -dx, height_), fill);
    }
    if (dy > 0) {
        window.fillRect(QRect(0, 0, width_, dy), fill);
    } else if (dy < 0) {
        window.fillRect(QRect(0, height_ + dy, width_, -dy), fill);
    }
    window.drawImage(QPoint(dx, dy), shownImage_);
}

}  // namespace app
