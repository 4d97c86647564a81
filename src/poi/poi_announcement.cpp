#include "poi/poi_announcement.h"

#include "paint/draw_text.h"
#include "paint/paint_context.h"
#include "platform/log_font.h"
#include "platform/settings_store.h"
#include "render/label_style.h"

namespace poi {

void PoiAnnouncement::SetFontSource(const platform::SettingsStore* settings,
                                    const platform::ScreenMetrics& screen) {
    std::lock_guard lock(mutex_);
    settings_ = settings;
    screen_ = screen;
}

void PoiAnnouncement::Set(const QString& line1, const QString& line2) {
    std::lock_guard lock(mutex_);
    line1_ = line1;
    line2_ = line2;
    setTime_ = platform::Clock::NowUtc();
}

QString PoiAnnouncement::Line1() const {
    std::lock_guard lock(mutex_);
    return line1_;
}

QString PoiAnnouncement::Line2() const {
    std::lock_guard lock(mutex_);
    return line2_;
}

void PoiAnnouncement::Draw(paint::PaintContext& context, int width, int height) {
    QString text;
    platform::LogFont font;
    {
        std::lock_guard lock(mutex_);
        if (line1_.isEmpty()) {
            return;
        }
        // Whole seconds of both instants, their difference as a 32-bit signed number.
        const uint64_t nowSeconds = platform::Clock::NowUtc().ticks / platform::kTicksPerSecond;
        const uint64_t setSeconds = setTime_.ticks / platform::kTicksPerSecond;
        if (int32_t(uint32_t(nowSeconds - setSeconds)) >= kShowSeconds) {
            line1_.clear();
            line2_.clear();
            return;
        }
        text = line2_.isEmpty() ? line1_ : line1_ + QStringLiteral("\r\n") + line2_;
        const std::optional<platform::LogFont> stored =
            settings_ ? settings_->Get(platform::settings::kPoiAnnounceFont) : std::nullopt;
        font = stored ? *stored : platform::BuiltInFont(kFontPoints, kFontWeight, screen_);
    }

    render::LabelStyle style;
    style.outlineColor = kOutlineColour;
    style.textColor = kTextColour;
    style.font = platform::ToQFont(font);

    platform::Rect measure{0, 0, width, height};
    const int textHeight = render::DrawOutlinedText(
        style, context, text, measure, paint::DT_CALCRECT | paint::DT_NOCLIP | paint::DT_CENTER);
    const int top = height / 2 - textHeight / 2;
    platform::Rect place{0, top, width, top + textHeight};
    render::DrawOutlinedText(style, context, text, place, paint::DT_NOCLIP | paint::DT_CENTER);
}

}  // namespace poi
