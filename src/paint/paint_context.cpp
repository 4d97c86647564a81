#include "paint/paint_context.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <functional>
#include <limits>
#include <mutex>
#include <optional>
#include <thread>
#include <type_traits>
#include <utility>

#include "paint/span_filler.h"
#include "paint/span_stroker.h"

namespace paint {
namespace {

// Images lower than this are painted by one thread: two bands would not pay for the hand-over.
constexpr int kMinBandedHeight = 64;

// The lines and areas kept are handed to the worker in batches of this many as they come.
constexpr size_t kJobsPerHandOver = 32;

// The one thread that paints the lower bands, for whichever context holds it. A context begins
// a run with the function that paints a range of its jobs in the worker's band, hands over the
// jobs as it keeps them, and ends the run once it has painted its own band: the worker paints
// while the drawing thread is still culling and keeping. Started on first use, joined at exit.
//
// Where the bands meet is learnt from the runs before: the band of the thread that finished
// last gets fewer rows the next time.
class BandWorker {
public:
    static BandWorker& Instance() {
        static BandWorker worker;
        return worker;
    }

    // Takes the worker for one caller; false while another context has it.
    bool TryAcquire() { return owner_.try_lock(); }
    void Release() { owner_.unlock(); }

    // The first row of the worker's band for an image of `height` rows.
    int Middle(int height) const {
        return std::clamp(int(std::lround(upperShare_ * height)), height / 8, height - height / 8);
    }

    void Begin(std::function<void(size_t, size_t)> paint) {
        const std::lock_guard<std::mutex> lock(mutex_);
        paint_ = std::move(paint);
        published_ = 0;
        painted_ = 0;
        ended_ = false;
        running_ = true;
        began_ = std::chrono::steady_clock::now();
        finished_ = began_;
    }
    // Jobs [0, count) may be painted.
    void Publish(size_t count) {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            published_ = count;
        }
        wake_.notify_one();
    }
    // Returns once every job handed over is painted: their storage may then move.
    void WaitPainted() {
        std::unique_lock<std::mutex> lock(mutex_);
        done_.wait(lock, [this] { return painted_ == published_; });
    }
    // Hands over the last jobs, and returns once the worker has painted them all. A worker
    // that has painted them already is waiting for more: the run ends without waking it, which
    // would cost this thread two hand-overs between the threads.
    void End(size_t count) {
        const auto ownDone = std::chrono::steady_clock::now();
        std::unique_lock<std::mutex> lock(mutex_);
        published_ = count;
        if (painted_ == published_) {
            running_ = false;
        } else {
            ended_ = true;
            wake_.notify_one();
            done_.wait(lock, [this] { return !running_; });
        }
        if (count >= kJobsToLearnFrom) {
            const double own = std::chrono::duration<double>(ownDone - began_).count();
            const double worker = std::chrono::duration<double>(finished_ - began_).count();
            const double longer = std::max({own, worker, 1e-9});
            upperShare_ =
                std::clamp(upperShare_ + kLearning * (worker - own) / longer, 0.125, 0.875);
        }
        paint_ = nullptr;
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
    // Runs of fewer jobs say little about the balance of a frame.
    static constexpr size_t kJobsToLearnFrom = 64;
    static constexpr double kLearning = 0.25;

    BandWorker() : thread_([this] { Loop(); }) {}

    void Loop() {
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            wake_.wait(lock,
                       [this] { return stop_ || (running_ && (painted_ < published_ || ended_)); });
            if (!running_) {
                return;
            }
            if (painted_ < published_) {
                const size_t from = painted_;
                const size_t to = published_;
                lock.unlock();
                paint_(from, to);
                const auto painted = std::chrono::steady_clock::now();
                lock.lock();
                painted_ = to;
                finished_ = painted;
            } else {
                running_ = false;
            }
            done_.notify_all();
        }
    }

    std::mutex owner_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable done_;
    std::function<void(size_t, size_t)> paint_;
    size_t published_ = 0;
    size_t painted_ = 0;
    bool ended_ = false;
    bool running_ = false;
    bool stop_ = false;
    std::chrono::steady_clock::time_point began_;
    std::chrono::steady_clock::time_point finished_;
    // The share of the rows painted by the drawing thread.
    double upperShare_ = 0.5;
    std::thread thread_;
};

// The part of a job's clip in a band's rows, which span the image's columns as every clip lies
// within them: `clip & rows`, empty when they do not meet, worked out inline for every job of
// each band.
QRect InRows(const QRect& clip, const QRect& rows) {
    const int top = std::max(clip.top(), rows.top());
    const int bottom = std::min(clip.bottom(), rows.bottom());
    if (clip.isEmpty() || top > bottom) {
        return QRect();
    }
    return QRect(QPoint(clip.left(), top), QPoint(clip.right(), bottom));
}

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

void PaintContext::ReclaimLent() {
    lent_ = false;
    pen_ = painter_.pen();
    brush_ = painter_.brush();
    knownPens_.Forget();
    knownBrushes_.Forget();
    spanClipKnown_ = false;
    antialiased_ = painter_.testRenderHint(QPainter::Antialiasing);
}

// What was made of `value`: the selected one's while it stays selected, else that of one of the
// objects kept, else made now and kept in place of the oldest. Objects are told apart by their
// shared data, not compared field by field.
template <typename Value, typename Made>
template <typename Make>
const Made& PaintContext::Known<Value, Made>::Of(Value& value, Make make) {
    if (selected_) {
        return *selected_;
    }
    constexpr size_t kKept = 4;
    for (auto& [known, made] : kept_) {
        if (known.data_ptr() == value.data_ptr()) {
            selected_ = &made;
            return made;
        }
    }
    if (kept_.size() < kKept) {
        selected_ = &kept_.emplace_back(value, make()).second;
        return *selected_;
    }
    std::pair<Value, Made>& oldest = kept_[next_];
    next_ = (next_ + 1) % kKept;
    oldest = {value, make()};
    selected_ = &oldest.second;
    return *selected_;
}

const PaintContext::PenForSpans& PaintContext::SpanPen() {
    Reclaim();
    return knownPens_.Of(pen_, [this] { return ClassifiedPen(); });
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
    return knownBrushes_.Of(brush_, [this] { return ClassifiedBrush(); });
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
                        int width, QRgb colour, bool antialiased, const FillPaint* paint,
                        std::optional<QRgb> outline, bool held) {
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
    job.outline = outline;
    // The rows it may paint, with room for the pen and the smoothed edges, wide enough not to
    // overflow.
    using Wide = std::conditional_t<kFloat, double, qint64>;
    Wide minY = points[0].y();
    Wide maxY = minY;
    for (int i = 1; i < count; ++i) {
        const Wide y = points[i].y();
        minY = std::min(minY, y);
        maxY = std::max(maxY, y);
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
    if constexpr (kFloat) {
        job.first = int(pointsF_.size());
        RoomFor(pointsF_, size_t(count));
        pointsF_.insert(pointsF_.end(), points, points + count);
    } else if (held) {
        job.heldPoints = points;
    } else {
        job.first = int(points_.size());
        RoomFor(points_, size_t(count));
        points_.insert(points_.end(), points, points + count);
    }
    if (paint) {
        job.colour = paint->colour;
        if (paint->pattern) {
            job.pattern = int(patterns_.size());
            RoomFor(patterns_, 1);
            patterns_.push_back(*paint->pattern);
            job.patternOrigin = paint->patternOrigin;
        }
    }
    KeepJob(job);
}

// The worker takes the lower band of this context's jobs from the first one kept, if it is
// free and the image tall enough to share.
void PaintContext::StartLowerBand() {
    if (lowerBand_ || !jobs_.empty()) {
        return;
    }
    const int height = target_->height();
    if (height < kMinBandedHeight || !BandWorker::Instance().TryAcquire()) {
        return;
    }
    if (!lower_) {
        lower_ = std::make_unique<BandPainters>();
    }
    lowerBand_ = true;
    middle_ = BandWorker::Instance().Middle(height);
    // An image of the worker's own over the same pixels, so that neither thread detaches or
    // touches the other's image object.
    lowerImage_ = QImage(target_->bits(), target_->width(), height, target_->bytesPerLine(),
                         target_->format());
    BandWorker::Instance().Begin([this, height](size_t from, size_t to) {
        PaintJobs(lowerImage_, middle_, height - 1, *lower_, from, to);
    });
}

// What the worker may be reading moves only once it has painted all it was given.
template <typename Vector>
void PaintContext::RoomFor(Vector& vector, size_t more) {
    if (vector.size() + more <= vector.capacity()) {
        return;
    }
    if (lowerBand_) {
        BandWorker::Instance().WaitPainted();
    }
    vector.reserve(std::max(vector.capacity() * 2, vector.size() + more + 256));
}

// The worker starts on its band with the first job of a run, whose points and pictures were
// added while it was not reading any.
void PaintContext::KeepJob(const SpanJob& job) {
    StartLowerBand();
    RoomFor(jobs_, 1);
    jobs_.push_back(job);
    if (lowerBand_ && jobs_.size() % kJobsPerHandOver == 0) {
        BandWorker::Instance().Publish(jobs_.size());
    }
}

// The rows top..bottom of the jobs from..to - 1, in the order they came. The jobs and their
// points are read through the arrays' data: the drawing thread may be adding more meanwhile.
void PaintContext::PaintJobs(QImage& image, int top, int bottom, BandPainters& painters,
                             size_t from, size_t to) const {
    const QRect rows(0, top, image.width(), bottom - top + 1);
    painters.filler.LimitRows(top, bottom);
    // Pictures are drawn by a painter of the band's own, begun at the first.
    std::optional<QPainter> picturePainter;
    const SpanJob* const jobs = jobs_.data();
    for (size_t index = from; index < to; ++index) {
        const SpanJob& job = jobs[index];
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
        // A job's points: the caller's, or from its first in the list of its own kind.
        const auto withPoints = [&](const auto& paint) {
            if (job.floatPoints) {
                paint(pointsF_.data() + job.first);
            } else {
                paint(job.heldPoints ? job.heldPoints : points_.data() + job.first);
            }
        };
        const auto outline = [&](int width, QRgb colour, bool antialiased) {
            withPoints([&](const auto* points) {
                painters.stroker.StrokeClosed(image, InRows(job.clip, rows), points, job.count,
                                              job.offset, width, colour, antialiased);
            });
        };
        switch (job.kind) {
            case SpanJob::kStroke:
                withPoints([&](const auto* points) {
                    painters.stroker.Stroke(image, InRows(job.clip, rows), points, job.count,
                                            job.offset, job.width, job.colour, job.antialiased);
                });
                break;
            case SpanJob::kOutline:
                outline(job.width, job.colour, job.antialiased);
                break;
            case SpanJob::kFill: {
                // The whole clip: a smooth fill is cut to its clip, and the band only limits
                // the rows it paints.
                FillPaint paint;
                paint.colour = job.colour;
                if (job.pattern >= 0) {
                    paint.pattern = patterns_.data() + job.pattern;
                    paint.patternOrigin = job.patternOrigin;
                }
                withPoints([&](const auto* points) {
                    painters.filler.Fill(image, job.clip, points, job.count, job.offset, paint,
                                         job.antialiased);
                });
                // Then its outline, as a job of its own would paint it.
                if (job.outline) {
                    outline(1, *job.outline, true);
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
    const QImage& picture = images_.data()[job.first];
    const QRect visible = InRows(job.clip, rows);
    if (!visible.isEmpty()) {
        painter.drawImage(visible.topLeft(), picture, visible.translated(-job.offset));
    }
}

void PaintContext::FlushBands() {
    if (jobs_.empty()) {
        return;
    }
    // The upper band (or every row, when the worker is elsewhere) on this thread, through an
    // image of its own over the same pixels.
    QImage upperImage(target_->bits(), target_->width(), target_->height(), target_->bytesPerLine(),
                      target_->format());
    if (lowerBand_) {
        BandWorker& worker = BandWorker::Instance();
        worker.Publish(jobs_.size());
        PaintJobs(upperImage, 0, middle_ - 1, Painters(), 0, jobs_.size());
        worker.End(jobs_.size());
        worker.Release();
        lowerBand_ = false;
    } else {
        PaintJobs(upperImage, 0, target_->height() - 1, Painters(), 0, jobs_.size());
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

void PaintContext::SetClipRect(const platform::Rect& logical) {
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
    clipBox_ = platform::Rect{platform::SubtractPixels(0, origin_.x()),
                              platform::SubtractPixels(0, origin_.y()),
                              platform::SubtractPixels(target_->width(), origin_.x()),
                              platform::SubtractPixels(target_->height(), origin_.y())};
    if (hasClip_) {
        clipBox_.left = std::max(clipBox_.left, clipLogical_.left);
        clipBox_.top = std::max(clipBox_.top, clipLogical_.top);
        clipBox_.right = std::min(clipBox_.right, clipLogical_.right);
        clipBox_.bottom = std::min(clipBox_.bottom, clipLogical_.bottom);
        if (clipBox_.IsEmpty()) {
            clipBox_ = platform::Rect{};
        }
    }
}

QPen PaintContext::SelectPen(QPen&& pen) {
    Reclaim();
    QPen previous = std::exchange(pen_, std::move(pen));
    penStale_ = true;
    knownPens_.Forget();
    return previous;
}

QBrush PaintContext::SelectBrush(QBrush&& brush) {
    Reclaim();
    QBrush previous = std::exchange(brush_, std::move(brush));
    brushStale_ = true;
    knownBrushes_.Forget();
    return previous;
}

QFont PaintContext::SelectFont(const QFont& font) {
    const QFont previous = font_;
    font_ = font;
    painter_.setFont(font_);
    return previous;
}

platform::ColorRef PaintContext::SetTextColor(platform::ColorRef color) {
    return std::exchange(textColor_, color);
}

platform::ColorRef PaintContext::SetBkColor(platform::ColorRef color) {
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

void PaintContext::FillRect(const platform::Rect& logical, platform::ColorRef color) {
    if (logical.IsEmpty()) {
        return;
    }
    ReadyPainter().fillRect(logical.ToQRect(), platform::ToQColor(color));
}

void PaintContext::Polyline(const QPoint* points, int count) {
    if (count >= 2 && !StrokeBySpans(points, count, false)) {
        ReadyPainter().drawPolyline(points, count);
    }
}

void PaintContext::PolylineNoCopy(const QPoint* points, int count) {
    if (count >= 2 && !StrokeBySpans(points, count, true)) {
        ReadyPainter().drawPolyline(points, count);
    }
}

// The span stroker draws solid round pens wider than a pixel, drawn over (not into) the image
// with no transformation but the viewport origin and no clip but the clip rectangle.
bool PaintContext::StrokeBySpans(const QPoint* points, int count, bool held) {
    const PenForSpans& pen = SpanPen();
    QRect clip;
    if (pen.strokeWidth == 0 || !SpanClip(clip)) {
        return false;
    }
    if (banding_) {
        Keep(SpanJob::kStroke, points, count, clip, pen.strokeWidth, pen.colour, antialiased_,
             nullptr, std::nullopt, held);
    } else {
        Painters().stroker.Stroke(*target_, clip, points, count, origin_, pen.strokeWidth,
                                  pen.colour, antialiased_);
    }
    return true;
}

void PaintContext::Polygon(const QPoint* points, int count) {
    if (count >= 2 && !FillBySpans(points, count, false)) {
        ReadyPainter().drawPolygon(points, count);
    }
}

void PaintContext::Polygon(const QPointF* points, int count) {
    if (count >= 2 && !FillBySpans(points, count, false)) {
        ReadyPainter().drawPolygon(points, count);
    }
}

void PaintContext::PolygonNoCopy(const QPoint* points, int count) {
    if (count >= 2 && !FillBySpans(points, count, true)) {
        ReadyPainter().drawPolygon(points, count);
    }
}

// The fill of an opaque solid or pattern brush by spans, then the outline: none, a one-pixel
// solid pen by the span stroker when antialiased, anything else by the painter alone.
template <typename Point>
bool PaintContext::FillBySpans(const Point* points, int count, bool held) {
    const BrushForSpans& brush = SpanBrush();
    QRect clip;
    if (count < 3 || brush.kind == BrushForSpans::kOther || !SpanClip(clip)) {
        return false;
    }
    const PenForSpans& pen = SpanPen();
    const bool outlineBySpans = !pen.none && antialiased_ && pen.thinOutline;
    if (brush.kind != BrushForSpans::kNone) {
        FillPaint paint;
        paint.colour = brush.colour;
        if (brush.kind == BrushForSpans::kPattern) {
            paint.pattern = &brush.pattern;
            paint.patternOrigin = origin_;
        }
        if (banding_) {
            // Kept, the outline goes with the fill.
            Keep(SpanJob::kFill, points, count, clip, 0, 0, antialiased_, &paint,
                 outlineBySpans ? std::optional<QRgb>(pen.colour) : std::nullopt, held);
            if (outlineBySpans) {
                return true;
            }
        } else {
            Painters().filler.Fill(*target_, clip, points, count, origin_, paint, antialiased_);
        }
    }
    if (pen.none) {
        return true;
    }
    if (outlineBySpans) {
        if (banding_) {
            Keep(SpanJob::kOutline, points, count, clip, 1, pen.colour, true, nullptr, std::nullopt,
                 held);
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
        RoomFor(images_, 1);
        images_.push_back(picture);
        KeepJob(job);
        return;
    }
    QPainter& painter = ReadyPainter();
    const QPainter::CompositionMode mode = painter.compositionMode();
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.drawImage(logical, picture);
    painter.setCompositionMode(mode);
}

}  // namespace paint
