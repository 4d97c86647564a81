#pragma once

// The picture with the version and build date shown while the main frame builds its window.

#include <QImage>
#include <QSize>
#include <QString>
#include <QWidget>

namespace app {

class VlmSplashMFC : public QWidget {
    Q_OBJECT

public:
    VlmSplashMFC();
    ~VlmSplashMFC() override;

    // Loads bitmap `bitmapId` and shows it centred in a work area of `workArea` pixels, at
    // twice its size when the work area is at least 241 × 321. 0, and no window, when the
    // bitmap is missing.
    int Create(int bitmapId, QSize workArea);
    // Builds "Version <year>.<day number>" and the build date below it, and repaints at once.
    void SetVersion(int buildYear, int buildDayNumber);
    void Destroy();

    const QString& VersionText() const { return versionText_; }
    bool DoubleSize() const { return doubleSize_ != 0; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage bitmap_;
    int pictureWidth_ = 0;
    int pictureHeight_ = 0;
    QString versionText_;
    int doubleSize_ = 0;
};

// The build date of a year and a day number (month × 100 + day) as "ddMMMyyyy" in the default
// locale, for example "12Jan2008"; empty when they name no date.
QString BuildDateText(int buildYear, int buildDayNumber);

}  // namespace app
