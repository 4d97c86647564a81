#include "app/splash.h"

#include <QCoreApplication>
#include <QDate>
#include <QLocale>
#include <QPaintEvent>
#include <QPainter>

#include "app/resources.h"
#include "paint/draw_text.h"
#include "paint/paint_context.h"
#include "platform/trace.h"

namespace app {
namespace {

// Teal, 0x00BBGGRR.
constexpr platform::ColorRef kVersionTextColor = 0x00808000;
// Where the version text sits in the picture, before doubling.
constexpr int kTextLeft = 90;
constexpr int kTextTop = 17;

}  // namespace

QString BuildDateText(int buildYear, int buildDayNumber) {
    // The day is always the last two digits, the month what comes before them.
    const QString digits = QString::number(buildDayNumber);
    const qsizetype monthDigits = buildDayNumber >= 1000 ? 2 : 1;
    const int month = digits.left(monthDigits).toInt();
    const int day = digits.mid(monthDigits, 2).toInt();
    const QDate date(buildYear, month, day);
    if (!date.isValid()) {
        return QString();
    }
    return QLocale().toString(date, QStringLiteral("ddMMMyyyy"));
}

VlmSplashMFC::VlmSplashMFC()
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setWindowTitle(QStringLiteral("Velmora initializing ..."));
    setCursor(Qt::WaitCursor);
    setAttribute(Qt::WA_NoSystemBackground);
}

VlmSplashMFC::~VlmSplashMFC() = default;

int VlmSplashMFC::Create(int bitmapId, QSize workArea) {
    bitmap_ = LoadBitmapResource(bitmapId);
    if (bitmap_.isNull()) {
        platform::Trace("Error load splash=%x", bitmapId);
        return 0;
    }
    pictureWidth_ = bitmap_.width();
    pictureHeight_ = bitmap_.height();
    const int w = pictureWidth_;
    const int h = pictureHeight_;
    const int workWidth = workArea.width();
    const int workHeight = workArea.height();
    doubleSize_ = workWidth >= 241 && workHeight >= 321 ? 1 : 0;
    if (doubleSize_) {
        setGeometry(workWidth / 2 - w, workHeight / 2 - h, 2 * w, 2 * h);
    } else {
        setGeometry(workWidth / 2 - w / 2, workHeight / 2 - h / 2, w, h);
    }
    show();
    // The frame goes on building on this thread: let the window appear first.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    return 1;
}

void VlmSplashMFC::SetVersion(int buildYear, int buildDayNumber) {
    versionText_ = QStringLiteral("Version %1.%2\r\n%3")
                       .arg(buildYear)
                       .arg(buildDayNumber)
                       .arg(BuildDateText(buildYear, buildDayNumber));
    if (isVisible()) {
        repaint();
    }
}

void VlmSplashMFC::Destroy() {
    hide();
    bitmap_ = QImage();
}

void VlmSplashMFC::paintEvent(QPaintEvent*) {
    const int k = doubleSize_ ? 2 : 1;
    QImage surface(size(), QImage::Format_RGB32);
    surface.fill(Qt::white);
    {
        paint::PaintContext context(&surface);
        QPainter& painter = context.Painter();
        painter.drawImage(QRect(0, 0, pictureWidth_ * k, pictureHeight_ * k), bitmap_);
        if (!versionText_.isEmpty()) {
            context.SetBkMode(paint::BackgroundMode::kTransparent);
            context.SetTextColor(kVersionTextColor);
            context.SelectFont(font());
            platform::Rect box{kTextLeft, kTextTop * k, pictureWidth_ * k, pictureHeight_ * k};
            paint::DrawText(context, versionText_, box, paint::DT_CENTER);
        }
    }
    QPainter(this).drawImage(0, 0, surface);
}

}  // namespace app
