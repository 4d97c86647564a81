#include "platform/paint_context.h"

#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <functional>
#include <limits>
#include <mutex>
#include <optional>
#include <thread>
#include <type_traits>
#include <utility>

#include "platform/span_filler.h"
#include "platform/span_stroker.h"

namespace platform {
namespace {

// Images lower than this are painted by one thread: two bands would not pay for the hand-over.
constexpr int kMinBandedHeight = 64;

// The one thread that paints the lower bands, for whichever context holds it; it waits for a
// task, runs it and reports it done. Started on first use, joined at exit.
class BandWorker {
public:
    static BandWorker& Instance() {
        static BandWorker worker;
        return worker;
    }

    // Takes the worker for one caller; false while another context has it.
    bool TryAcquire() { return owner_.try_lock(); }
    void Release() { owner_.unlock(); }

    // Runs `task` on the worker (held by the caller) until Wait returns.
    void Start(const std::function<void()>* task) {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            task_ = task;
            finished_ = false;
        }
        wake_.notify_one();
    }
    void Wait() {
        std::unique_lock<std::mutex> lock(mutex_);
        done_.wait(lock, [this] { return finished_; });
    }

    ~BandWorker() {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            stop_ = true;
        }
        wake_.notify_one();
        thread_.join();
    }

private:
    BandWorker() : thread_([this] { Loop(); }) {}

    void Loop() {
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            wake_.wait(lock, [this] { return task_ != nullptr || stop_; });
            if (task_ == nullptr) {
                return;
            }
            const std::function<void()>* task = std::exchange(task_, nullptr);
            lock.unlock();
            (*task)();
            lock.lock();
            finished_ = true;
            done_.notify_all();
        }
    }

    std::mutex owner_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable done_;
    const std::function<void()>* task_ = nullptr;
    bool finished_ = true;
    bool stop_ = false;
    std::thread thread_;
};

}  // namespace

struct PaintContext::BandPainters {
    SpanStroker stroker;
    SpanFiller filler;
};

PaintContext::PaintContext(QImage* target)
    : target_(target), painter_(target), pen_(Qt::black, 0), brush_(Qt::white) {
    painter_.setPen(pen_);
    painter_.setBrush(brush_);
    font_ = painter_.font();
    antialiased_ = painter_.testRenderHint(QPainter::Antialiasing);
    UpdateClipBox();
}

PaintContext::~PaintContext() {
    FlushBands();
}

QPainter& PaintContext::Painter() {
    ReadyPainter();
    lent_ = true;
    return painter_;
}

QPainter& PaintContext::ReadyPainter() {
    FlushBands();
    if (penStale_) {
        painter_.setPen(pen_);
        penStale_ = false;
    }
    if (brushStale_) {
        painter_.setBrush(brush_);
        brushStale_ = false;
    }
    return painter_;
}

void PaintContext::Reclaim() {
    if (!lent_) {
        return;
    }
    lent_ = false;
    pen_ = painter_.pen();
    brush_ = painter_.brush();
    penKnown_ = false;
    brushKnown_ = false;
    spanClipKnown_ = false;
    antialiased_ = painter_.testRenderHint(QPainter::Antialiasing);
}

namespace {

// Keeps `value` and what was made of it among the last few, the oldest making room.
template <typename Value, typename Made>
void Remember(std::vector<std::pair<Value, Made>>& known, size_t& next, const Value& value,
              const Made& made) {
    constexpr size_t kKept = 4;
    if (known.size() < kKept) {
        known.emplace_back(value, made);
        return;
    }
    known[next] = {value, made};
    next = (next + 1) % kKept;
}

}  // namespace

const PaintContext::PenForSpans& PaintContext::SpanPen() {
    Reclaim();
    if (penKnown_) {
        return spanPen_;
    }
    penKnown_ = true;
    for (auto& [known, spans] : knownPens_) {
        if (known.data_ptr() == pen_.data_ptr()) {
            spanPen_ = spans;
            return spanPen_;
        }
    }
    spanPen_ = ClassifiedPen();
    Remember(knownPens_, nextKnownPen_, pen_, spanPen_);
    return spanPen_;
}

PaintContext::PenForSpans PaintContext::ClassifiedPen() const {
    PenForSpans spans;
    spans.none = pen_.style() == Qt::NoPen;
    if (pen_.style() != Qt::SolidLine || pen_.brush().style() != Qt::SolidPattern ||
        pen_.color().alpha() != 255) {
        return spans;
    }
    spans.colour = pen_.color().rgb();
    const qreal width = pen_.widthF();
    spans.thinOutline = width <= 1.0;
    // The span stroker paints what the painter would for a round-capped and round-joined pen
    // of a whole number of pixels.
    if (pen_.capStyle() == Qt::RoundCap && pen_.joinStyle() == Qt::RoundJoin &&
        !pen_.isCosmetic() && width >= 2.0 && width == std::floor(width)) {
        spans.strokeWidth = int(width);
    }
    return spans;
}

const PaintContext::BrushForSpans& PaintContext::SpanBrush() {
    Reclaim();
    if (brushKnown_) {
        return spanBrush_;
    }
    brushKnown_ = true;
    for (auto& [known, spans] : knownBrushes_) {
        if (known.data_ptr() == brush_.data_ptr()) {
            spanBrush_ = spans;
            return spanBrush_;
        }
    }
    spanBrush_ = ClassifiedBrush();
    Remember(knownBrushes_, nextKnownBrush_, brush_, spanBrush_);
    return spanBrush_;
}

PaintContext::BrushForSpans PaintContext::ClassifiedBrush() const {
    BrushForSpans spans;
    if (!brush_.transform().isIdentity()) {
        return spans;
    }
    if (brush_.style() == Qt::SolidPattern && brush_.color().alpha() == 255) {
        spans.kind = BrushForSpans::kSolid;
        spans.colour = brush_.color().rgb();
    } else if (brush_.style() == Qt::TexturePattern && !brush_.textureImage().hasAlphaChannel()) {
        spans.kind = BrushForSpans::kPattern;
        spans.pattern = brush_.textureImage().convertToFormat(QImage::Format_RGB32);
    } else if (brush_.style() == Qt::NoBrush) {
        spans.kind = BrushForSpans::kNone;
    }
    return spans;
}

PaintContext::BandPainters& PaintContext::Painters() {
    if (!upper_) {
        upper_ = std::make_unique<BandPainters>();
    }
    return *upper_;
}

void PaintContext::BeginBands() {
    banding_ = bandsAllowed_;
}

void PaintContext::EndBands() {
    FlushBands();
    banding_ = false;
}

template <typename Point>
void PaintContext::Keep(SpanJob::Kind kind, const Point* points, int count, const QRect& clip,
                        int width, QRgb colour, bool antialiased, const FillPaint* paint) {
    constexpr bool kFloat = std::is_same_v<Point, QPointF>;
    SpanJob job;
    job.kind = kind;
    job.floatPoints = kFloat;
    job.antialiased = antialiased;
    job.count = count;
    job.clip = clip;
    job.offset = origin_;
    job.width = width;
    job.colour = colour;
    // The rows it may paint, with room for the pen and the smoothed edges, and the rows its
    // edges cross, wide enough not to overflow.
    using Wide = std::conditional_t<kFloat, double, qint64>;
    Wide minY = points[0].y();
    Wide maxY = minY;
    Wide crossed = 0;
    for (int i = 1; i < count; ++i) {
        const Wide y = points[i].y();
        minY = std::min(minY, y);
        maxY = std::max(maxY, y);
        crossed += std::abs(y - Wide(points[i - 1].y()));
    }
    int edges = count - 1;
    if (kind != SpanJob::kStroke) {
        crossed += std::abs(Wide(points[count - 1].y()) - Wide(points[0].y()));
        ++edges;
    }
    const double reach = (kind == SpanJob::kStroke ? width / 2.0 : 0.0) + 2.0;
    constexpr double kRowLimit = 2.0e9;
    if constexpr (kFloat) {
        job.top = int(std::floor(std::clamp(minY + origin_.y() - reach, -kRowLimit, kRowLimit)));
        job.bottom = int(std::ceil(std::clamp(maxY + origin_.y() + reach, -kRowLimit, kRowLimit)));
    } else {
        // Whole rows: the floor and the ceiling of the reach are the same whole number of rows.
        const qint64 rows = kind == SpanJob::kStroke ? (width + 1) / 2 + 2 : 2;
        constexpr qint64 kIntRowLimit = qint64(kRowLimit);
        job.top = int(std::clamp(minY + origin_.y() - rows, -kIntRowLimit, kIntRowLimit));
        job.bottom = int(std::clamp(maxY + origin_.y() + rows, -kIntRowLimit, kIntRowLimit));
    }
    // A row of a line costs more the wider its pen: about half a crossing more a pixel.
    job.work = (double(crossed) + edges * (2.0 * reach - 1.0)) * (1.0 + width / 2.0);
    if constexpr (kFloat) {
        job.first = int(pointsF_.size());
        pointsF_.insert(pointsF_.end(), points, points + count);
    } else {
        job.first = int(points_.size());
        points_.insert(points_.end(), points, points + count);
    }
    if (paint) {
        job.colour = paint->colour;
        if (paint->pattern) {
            job.pattern = int(patterns_.size());
            patterns_.push_back(*paint->pattern);
            job.patternOrigin = paint->patternOrigin;
        }
    }
    jobs_.push_back(job);
}

// The rows top..bottom of every job kept, in the order they came.
void PaintContext::PaintJobs(QImage& image, int top, int bottom, BandPainters& painters) const {
    const QRect rows(0, top, image.width(), bottom - top + 1);
    painters.filler.LimitRows(top, bottom);
    // Pictures are drawn by a painter of the band's own, begun at the first.
    std::optional<QPainter> picturePainter;
    for (const SpanJob& job : jobs_) {
        if (job.bottom < top || job.top > bottom) {
            continue;
        }
        if (job.kind == SpanJob::kImage) {
            if (!picturePainter) {
                picturePainter.emplace(&image);
            }
            PaintImage(*picturePainter, job, rows);
            continue;
        }
        // A job's first point indexes the array of its own kind; the other may be empty.
        const QPoint* points = job.floatPoints ? nullptr : points_.data() + job.first;
        const QPointF* pointsF = job.floatPoints ? pointsF_.data() + job.first : nullptr;
        switch (job.kind) {
            case SpanJob::kStroke:
                if (job.floatPoints) {
                    painters.stroker.Stroke(image, job.clip & rows, pointsF, job.count, job.offset,
                                            job.width, job.colour, job.antialiased);
                } else {
                    painters.stroker.Stroke(image, job.clip & rows, points, job.count, job.offset,
                                            job.width, job.colour, job.antialiased);
                }
                break;
            case SpanJob::kOutline:
                if (job.floatPoints) {
                    painters.stroker.StrokeClosed(image, job.clip & rows, pointsF, job.count,
                                                  job.offset, job.width, job.colour,
                                                  job.antialiased);
                } else {
                    painters.stroker.StrokeClosed(image, job.clip & rows, points, job.count,
                                                  job.offset, job.width, job.colour,
                                                  job.antialiased);
                }
                break;
            case SpanJob::kFill: {
                // The whole clip: a smooth fill is cut to its clip, and the band only limits
                // the rows it paints.
                FillPaint paint;
                paint.colour = job.colour;
                if (job.pattern >= 0) {
                    paint.pattern = &patterns_[size_t(job.pattern)];
                    paint.patternOrigin = job.patternOrigin;
                }
                if (job.floatPoints) {
                    painters.filler.Fill(image, job.clip, pointsF, job.count, job.offset, paint,
                                         job.antialiased);
                } else {
                    painters.filler.Fill(image, job.clip, points, job.count, job.offset, paint,
                                         job.antialiased);
                }
                break;
            }
            case SpanJob::kImage:
                break;
        }
    }
    painters.filler.LimitRows(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
}

// The part of the picture in the band's rows, blended as the whole picture would be there.
void PaintContext::PaintImage(QPainter& painter, const SpanJob& job, const QRect& rows) const {
    const QImage& picture = images_[size_t(job.first)];
    const QRect visible = job.clip & rows;
    if (!visible.isEmpty()) {
        painter.drawImage(visible.topLeft(), picture, visible.translated(-job.offset));
    }
}

// The row that splits the work of the jobs kept in halves, each job's work spread evenly over
// the rows it may paint: a crossing of a row by an edge is what a row of a line or an area
// costs, far more than its pixels. Kept within the middle half of the image.
int PaintContext::BalancedMiddle(int height) {
    rowWork_.assign(size_t(height) + 1, 0.0);
    double total = 0.0;
    for (const SpanJob& job : jobs_) {
        const int top = std::max({0, job.top, job.clip.top()});
        const int bottom = std::min({height - 1, job.bottom, job.clip.bottom()});
        if (top > bottom) {
            continue;
        }
        const double perRow = job.work / (double(job.bottom) - double(job.top) + 1.0);
        rowWork_[size_t(top)] += perRow;
        rowWork_[size_t(bottom) + 1] -= perRow;
        total += perRow * (bottom - top + 1);
    }
    const int lowest = height / 4;
    const int highest = height - height / 4;
    double running = 0.0;
    double upper = 0.0;
    for (int y = 0; y < highest; ++y) {
        running += rowWork_[size_t(y)];
        upper += running;
        if (y + 1 >= lowest && 2.0 * upper >= total) {
            return y + 1;
        }
    }
    return highest;
}

void PaintContext::FlushBands() {
    if (jobs_.empty()) {
        return;
    }
    // Each band paints through an image of its own over the same pixels, so that neither
    // thread detaches or touches the other's image object.
    const int width = target_->width();
    const int height = target_->height();
    uchar* const bits = target_->bits();
    const qsizetype stride = target_->bytesPerLine();
    const QImage::Format format = target_->format();
    QImage upperImage(bits, width, height, stride, format);
    BandWorker* worker = nullptr;
    if (height >= kMinBandedHeight && BandWorker::Instance().TryAcquire()) {
        worker = &BandWorker::Instance();
    }
    if (worker) {
        if (!lower_) {
            lower_ = std::make_unique<BandPainters>();
        }
        const int middle = BalancedMiddle(height);
        QImage lowerImage(bits, width, height, stride, format);
        const std::function<void()> lowerBand = [this, &lowerImage, middle, height] {
            PaintJobs(lowerImage, middle, height - 1, *lower_);
        };
        worker->Start(&lowerBand);
        PaintJobs(upperImage, 0, middle - 1, Painters());
        worker->Wait();
        worker->Release();
    } else {
        PaintJobs(upperImage, 0, height - 1, Painters());
    }
    jobs_.clear();
    points_.clear();
    pointsF_.clear();
    patterns_.clear();
    images_.clear();
}

bool PaintContext::SpanClip(QRect& clip) {
    Reclaim();
    if (!spanClipKnown_) {
        spanClipKnown_ = true;
        const QTransform& transform = painter_.worldTransform();
        spanClipUsable_ = painter_.compositionMode() == QPainter::CompositionMode_SourceOver &&
                          SpanStroker::CanDrawOn(*target_) &&
                          transform.type() <= QTransform::TxTranslate &&
                          transform.dx() == origin_.x() && transform.dy() == origin_.y() &&
                          painter_.hasClipping() == hasClip_;
        spanClip_ = target_->rect();
        if (hasClip_) {
            spanClip_ &= clipLogical_.Offset(origin_.x(), origin_.y()).ToQRect();
        }
    }
    clip = spanClip_;
    return spanClipUsable_;
}

QPoint PaintContext::SetViewportOrigin(QPoint origin) {
    const QPoint previous = origin_;
    origin_ = origin;
    Reclaim();
    painter_.resetTransform();
    painter_.translate(origin_);
    ApplyClip();
    return previous;
}

void PaintContext::SetClipRect(const Rect& logical) {
    Reclaim();
    hasClip_ = true;
    clipLogical_ = logical;
    ApplyClip();
}

void PaintContext::ClearClipRect() {
    Reclaim();
    hasClip_ = false;
    ApplyClip();
}

void PaintContext::ApplyClip() {
    if (hasClip_) {
        painter_.setClipRect(clipLogical_.ToQRect());
    } else {
        painter_.setClipping(false);
    }
    UpdateClipBox();
    spanClipKnown_ = false;
}

void PaintContext::UpdateClipBox() {
    // The origin is minus a scroll offset, which may sit at the int limits.
    clipBox_ = Rect{SubtractPixels(0, origin_.x()), SubtractPixels(0, origin_.y()),
                    SubtractPixels(target_->width(), origin_.x()),
                    SubtractPixels(target_->height(), origin_.y())};
    if (hasClip_) {
        clipBox_.left = std::max(clipBox_.left, clipLogical_.left);
        clipBox_.top = std::max(clipBox_.top, clipLogical_.top);
        clipBox_.right = std::min(clipBox_.right, clipLogical_.right);
        clipBox_.bottom = std::min(clipBox_.bottom, clipLogical_.bottom);
        if (clipBox_.IsEmpty()) {
            clipBox_ = Rect{};
        }
    }
}

QPen PaintContext::SelectPen(const QPen& pen) {
    Reclaim();
    QPen previous = std::exchange(pen_, pen);
    penStale_ = true;
    penKnown_ = false;
    return previous;
}

QBrush PaintContext::SelectBrush(const QBrush& brush) {
    Reclaim();
    QBrush previous = std::exchange(brush_, brush);
    brushStale_ = true;
    brushKnown_ = false;
    return previous;
}

QFont PaintContext::SelectFont(const QFont& font) {
    const QFont previous = font_;
    font_ = font;
    painter_.setFont(font_);
    return previous;
}

ColorRef PaintContext::SetTextColor(ColorRef color) {
    return std::exchange(textColor_, color);
}

ColorRef PaintContext::SetBkColor(ColorRef color) {
    return std::exchange(bkColor_, color);
}

BackgroundMode PaintContext::SetBkMode(BackgroundMode mode) {
    return std::exchange(bkMode_, mode);
}

void PaintContext::SetAntialiasing(bool on) {
    Reclaim();
    painter_.setRenderHint(QPainter::Antialiasing, on);
    antialiased_ = on;
}

void PaintContext::FillRect(const Rect& logical, ColorRef color) {
    if (logical.IsEmpty()) {
        return;
    }
    ReadyPainter().fillRect(logical.ToQRect(), ToQColor(color));
}

void PaintContext::Polyline(const QPoint* points, int count) {
    if (count >= 2 && !StrokeBySpans(points, count)) {
        ReadyPainter().drawPolyline(points, count);
    }
}

// The span stroker draws solid round pens wider than a pixel, drawn over (not into) the image
// with no transformation but the viewport origin and no clip but the clip rectangle.
bool PaintContext::StrokeBySpans(const QPoint* points, int count) {
    const PenForSpans& pen = SpanPen();
    QRect clip;
    if (pen.strokeWidth == 0 || !SpanClip(clip)) {
        return false;
    }
    if (banding_) {
        Keep(SpanJob::kStroke, points, count, clip, pen.strokeWidth, pen.colour, antialiased_,
             nullptr);
    } else {
        Painters().stroker.Stroke(*target_, clip, points, count, origin_, pen.strokeWidth,
                                  pen.colour, antialiased_);
    }
    return true;
}

void PaintContext::Polygon(const QPoint* points, int count) {
    if (count >= 2 && !FillBySpans(points, count)) {
        ReadyPainter().drawPolygon(points, count);
    }
}

void PaintContext::Polygon(const QPointF* points, int count) {
    if (count >= 2 && !FillBySpans(points, count)) {
        ReadyPainter().drawPolygon(points, count);
    }
}

// The fill of an opaque solid or pattern brush by spans, then the outline: none, a one-pixel
// solid pen by the span stroker when antialiased, anything else by the painter alone.
template <typename Point>
bool PaintContext::FillBySpans(const Point* points, int count) {
    const BrushForSpans& brush = SpanBrush();
    QRect clip;
    if (count < 3 || brush.kind == BrushForSpans::kOther || !SpanClip(clip)) {
        return false;
    }
    if (brush.kind != BrushForSpans::kNone) {
        FillPaint paint;
        paint.colour = brush.colour;
        if (brush.kind == BrushForSpans::kPattern) {
            paint.pattern = &brush.pattern;
            paint.patternOrigin = origin_;
        }
        if (banding_) {
            Keep(SpanJob::kFill, points, count, clip, 0, 0, antialiased_, &paint);
        } else {
            Painters().filler.Fill(*target_, clip, points, count, origin_, paint, antialiased_);
        }
    }
    const PenForSpans& pen = SpanPen();
    if (pen.none) {
        return true;
    }
    if (antialiased_ && pen.thinOutline) {
        if (banding_) {
            Keep(SpanJob::kOutline, points, count, clip, 1, pen.colour, true, nullptr);
        } else {
            Painters().stroker.StrokeClosed(*target_, clip, points, count, origin_, 1, pen.colour,
                                            true);
        }
        return true;
    }
    QPainter& painter = ReadyPainter();
    painter.setBrush(Qt::NoBrush);
    painter.drawPolygon(points, count);
    painter.setBrush(brush_);
    return true;
}

// Kept, a picture's job clips it to what of it can show; a picture wholly outside shows
// nothing, and paints nothing kept first.
void PaintContext::DrawImage(QPoint logical, const QImage& picture) {
    QRect clip;
    if (banding_ && SpanClip(clip)) {
        const qint64 left = qint64(logical.x()) + origin_.x();
        const qint64 top = qint64(logical.y()) + origin_.y();
        if (left + picture.width() <= clip.left() || left > clip.right() ||
            top + picture.height() <= clip.top() || top > clip.bottom() || picture.isNull()) {
            return;
        }
        const QPoint corner{int(left), int(top)};
        const QRect visible = clip & QRect(corner, picture.size());
        SpanJob job;
        job.kind = SpanJob::kImage;
        job.first = int(images_.size());
        job.clip = visible;
        job.offset = corner;
        job.top = visible.top();
        job.bottom = visible.bottom();
        // Blending a row of a picture costs about an edge crossing per 8 pixels.
        job.work = visible.height() * (visible.width() / 8.0);
        images_.push_back(picture);
        jobs_.push_back(job);
        return;
    }
    QPainter& painter = ReadyPainter();
    const QPainter::CompositionMode mode = painter.compositionMode();
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.drawImage(logical, picture);
    painter.setCompositionMode(mode);
}

}  // namespace platform
