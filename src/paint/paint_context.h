#pragma once

#include <QBrush>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPen>

#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "paint/span_filler.h"

#include "platform/color.h"
#include "platform/rect.h"

namespace paint {

class SpanStroker;

// Background mode of text drawing: opaque fills the text's box with the background colour.
enum class BackgroundMode { kTransparent = 1, kOpaque = 2 };

// A drawing surface with the state the map code expects of a device context: a viewport origin
// (what is drawn at logical (x, y) lands on pixel (x, y) + origin), a clip box in logical
// coordinates, and the selected pen, brush, font and text colours. Draws on a QImage it borrows.
class PaintContext {
public:
    explicit PaintContext(QImage* target);
    ~PaintContext();
    PaintContext(const PaintContext&) = delete;
    PaintContext& operator=(const PaintContext&) = delete;

    // The painter, for drawing the span painters do not take: what they were given is drawn
    // first, so that everything lands in the order it was asked for. It holds the selected pen
    // and brush; whatever its user changes in it is the context's state afterwards.
    QPainter& Painter();
    const QPen& Pen() const { return lent_ ? painter_.pen() : pen_; }
    // How the painter renders (antialiasing of lines and text), read without drawing what is
    // kept.
    QPainter::RenderHints RenderHints() const { return painter_.renderHints(); }

    // Returns the previous origin.
    QPoint SetViewportOrigin(QPoint origin);
    QPoint ViewportOrigin() const { return origin_; }

    // The logical rectangle that can receive pixels: the surface, less the clip rectangle if one
    // is set, seen through the viewport origin.
    platform::Rect ClipBox() const { return clipBox_; }
    // Restricts drawing to a logical rectangle, until ClearClipRect.
    void SetClipRect(const platform::Rect& logical);
    void ClearClipRect();
    bool RectVisible(const platform::Rect& logical) const { return ClipBox().Intersects(logical); }
    bool PtVisible(QPoint logical) const { return ClipBox().Contains(logical); }

    // Selections return what they replace, so callers can put it back. A pen or brush given
    // to keep is moved in, without touching its shared data (putting back what a selection
    // returned, for one).
    QPen SelectPen(const QPen& pen) { return SelectPen(QPen(pen)); }
    QPen SelectPen(QPen&& pen);
    QBrush SelectBrush(const QBrush& brush) { return SelectBrush(QBrush(brush)); }
    QBrush SelectBrush(QBrush&& brush);
    QFont SelectFont(const QFont& font);
    const QFont& Font() const { return font_; }
    platform::ColorRef SetTextColor(platform::ColorRef color);
    platform::ColorRef TextColor() const { return textColor_; }
    platform::ColorRef SetBkColor(platform::ColorRef color);
    platform::ColorRef BkColor() const { return bkColor_; }
    BackgroundMode SetBkMode(BackgroundMode mode);
    BackgroundMode BkMode() const { return bkMode_; }

    // Between BeginBands and EndBands the lines and areas the span painters take are kept and
    // painted in two bands of rows: the lower one by a worker thread as they are kept, the
    // upper one by this thread when they end; anything else drawn meanwhile paints them first.
    // The pixels are those painted one by one. Without a worker free, or when
    // SetBandsAllowed(false), this thread paints them alone.
    void BeginBands();
    void EndBands();
    void SetBandsAllowed(bool allowed) { bandsAllowed_ = allowed; }

    // Smooth edges for lines and areas; text follows the font's own setting.
    void SetAntialiasing(bool on);

    void FillRect(const platform::Rect& logical, platform::ColorRef color);
    // With the selected pen. Solid round pens wider than a pixel (map roads) are drawn by the
    // span stroker rather than the painter's stroker: the same line, many times faster.
    void Polyline(const QPoint* points, int count);
    // Filled with the selected brush (even-odd) and outlined with the selected pen. Solid and
    // pattern brushes fill by spans; a one-pixel outline is drawn by the span stroker when
    // antialiased and by the painter otherwise.
    void Polygon(const QPoint* points, int count);
    void Polygon(const QPointF* points, int count);
    // Polyline and Polygon for a caller that keeps the points alive and unchanged until
    // EndBands: between BeginBands and EndBands they are kept for the bands without a copy, and
    // the worker may read them until EndBands returns. Otherwise the same as the two above.
    void PolylineNoCopy(const QPoint* points, int count);
    void PolygonNoCopy(const QPoint* points, int count);
    // A picture drawn over the image (source over, whatever the painter's composition mode)
    // with its top-left corner at a logical point. Between BeginBands and EndBands it is kept
    // with the lines and areas, so that pictures among them (map icons) do not paint them first.
    void DrawImage(QPoint logical, const QImage& picture);

private:
    // What the span painters can make of the selected pen: the width of a solid round line they
    // stroke (0 when they cannot), or a one-pixel solid outline, in its colour.
    struct PenForSpans {
        int strokeWidth = 0;
        bool none = false;
        bool thinOutline = false;
        QRgb colour = 0;
    };
    // And of the selected brush: none, one colour, an opaque pattern, or nothing they can fill.
    struct BrushForSpans {
        enum Kind { kNone, kSolid, kPattern, kOther } kind = kOther;
        QRgb colour = 0;
        QImage pattern;  // in RGB32
    };
    const PenForSpans& SpanPen();
    const BrushForSpans& SpanBrush();
    PenForSpans ClassifiedPen() const;
    BrushForSpans ClassifiedBrush() const;
    // Paints what is kept and gives the painter the selected pen and brush, for drawing by it.
    QPainter& ReadyPainter();
    // After the painter was lent out: its pen, brush and state are the context's again. Every
    // selection and span drawing asks first, so the usual answer (not lent) is inline.
    void Reclaim() {
        if (lent_) {
            ReclaimLent();
        }
    }
    void ReclaimLent();
    // Sets the painter's clip and the clip box after a change of the origin or the clip.
    void ApplyClip();
    void UpdateClipBox();
    // Draws the polyline with the span stroker when the pen and the painter's state allow it.
    // `held`: the caller keeps the points until EndBands (the NoCopy entry points).
    bool StrokeBySpans(const QPoint* points, int count, bool held);
    // The clip in image pixels when the painter draws with no transformation but the viewport
    // origin and no clip but the clip rectangle, onto an image the span painters can write.
    bool SpanClip(QRect& clip);
    template <typename Point>
    bool FillBySpans(const Point* points, int count, bool held);

    // A line or area kept for the bands; its points are copied into the context's lists, or
    // held by the caller.
    struct SpanJob {
        enum Kind { kStroke, kFill, kOutline, kImage } kind = kStroke;
        bool floatPoints = false;
        bool antialiased = false;
        const QPoint* heldPoints = nullptr;  // when held, else in the lists from `first`
        int first = 0;  // the first point, or for a picture its index in images_
        int count = 0;
        QRect clip;
        QPoint offset;  // for a picture, its top-left pixel
        int width = 0;
        QRgb colour = 0;
        int pattern = -1;  // index in patterns_, or -1
        QPoint patternOrigin;
        // A fill may carry its smooth one-pixel outline, in this colour: one job, not two.
        std::optional<QRgb> outline;
        int top = 0;  // the rows of the image it may paint
        int bottom = 0;
    };
    struct BandPainters;
    // `outline`, for a fill: the colour of the one-pixel outline stroked right after it.
    // `held` points are read where the caller keeps them, not copied.
    template <typename Point>
    void Keep(SpanJob::Kind kind, const Point* points, int count, const QRect& clip, int width,
              QRgb colour, bool antialiased, const FillPaint* paint, std::optional<QRgb> outline,
              bool held);
    void KeepJob(const SpanJob& job);
    void StartLowerBand();
    template <typename Vector>
    void RoomFor(Vector& vector, size_t more);
    void FlushBands();
    void PaintJobs(QImage& image, int top, int bottom, BandPainters& painters, size_t from,
                   size_t to) const;
    void PaintImage(QPainter& painter, const SpanJob& job, const QRect& rows) const;
    // This thread's painters (the upper band's when in bands).
    BandPainters& Painters();

    QImage* target_;
    QPainter painter_;
    // The selection, given to the painter only when it draws: the span painters read it here.
    QPen pen_;
    QBrush brush_;
    bool penStale_ = false;
    bool brushStale_ = false;
    bool lent_ = false;  // Painter() was called since the state was last read back
    // The last few pens (or brushes) worked out, held so that they stay the same objects, with
    // what was made of them: a pen shared by many shapes is known again at once. What was made
    // of the selected one is read in place (not copied with its pattern on every shape) until
    // the selection changes.
    template <typename Value, typename Made>
    class Known {
    public:
        // What was made of the selected `value`, made by `make` if it is not among those kept.
        template <typename Make>
        const Made& Of(Value& value, Make make);
        // The selection changed: ask again.
        void Forget() { selected_ = nullptr; }

    private:
        std::vector<std::pair<Value, Made>> kept_;
        size_t next_ = 0;
        const Made* selected_ = nullptr;
    };
    Known<QPen, PenForSpans> knownPens_;
    Known<QBrush, BrushForSpans> knownBrushes_;
    // SpanClip's answer, kept until the origin, the clip or the painter's state may change.
    bool spanClipKnown_ = false;
    bool spanClipUsable_ = false;
    QRect spanClip_;
    bool antialiased_ = false;
    QPoint origin_;
    bool hasClip_ = false;
    platform::Rect clipLogical_;
    platform::Rect clipBox_;
    QFont font_;
    platform::ColorRef textColor_ = 0x00000000;
    platform::ColorRef bkColor_ = 0x00FFFFFF;
    BackgroundMode bkMode_ = BackgroundMode::kOpaque;
    std::unique_ptr<BandPainters> upper_;
    bool bandsAllowed_ = true;
    bool banding_ = false;
    std::vector<SpanJob> jobs_;
    std::vector<QPoint> points_;
    std::vector<QPointF> pointsF_;
    std::vector<QImage> patterns_;
    std::vector<QImage> images_;
    // While the worker paints the lower band (rows middle_ down) of the jobs kept: its painters
    // and its image over the target's pixels, used by it alone meanwhile.
    bool lowerBand_ = false;
    int middle_ = 0;
    QImage lowerImage_;
    std::unique_ptr<BandPainters> lower_;
};

}  // namespace paint
