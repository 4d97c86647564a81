#pragma once

#include <QPoint>
#include <QSize>

#include "render/map_window_view.h"

// A screen whose work area is all of it.
inline platform::ScreenMetrics ScreenOf(int widthPx, int heightPx, int widthMm, int heightMm) {
    platform::ScreenMetrics screen;
    screen.widthPx = widthPx;
    screen.heightPx = heightPx;
    screen.widthMm = widthMm;
    screen.heightMm = heightMm;
    screen.workArea = QSize(widthPx, heightPx);
    return screen;
}

// A map window of a fixed size that neither scrolls nor loads maps: what the zoom view and the
// projection need of a window, and nothing more.
class FixedWindow : public render::MapWindowView {
public:
    explicit FixedWindow(QSize size = QSize(100, 130)) : size_(size) {}

    QSize ClientSize() const override { return size_; }
    QPoint ScrollOffset() const override { return scroll_; }
    void SetScrollOffset(QPoint offset) override { scroll_ = offset; }
    void CentreOn(float, float) override {}
    void LoadMapsForCorners() override {}
    void RequestRedraw() override { ++redrawRequests; }
    platform::ScreenMetrics Screen() const override { return screen; }
    bool HighResolution() const override { return highResolution; }
    const platform::SettingsStore* Settings() const override { return nullptr; }

    platform::ScreenMetrics screen;
    bool highResolution = false;
    int redrawRequests = 0;

private:
    QSize size_;
    QPoint scroll_;
};
