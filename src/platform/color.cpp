#include "platform/color.h"

#include <QGuiApplication>
#include <QPalette>

namespace platform {

QColor ToQColor(ColorRef color) {
    return QColor(RedOf(color), GreenOf(color), BlueOf(color));
}

ColorRef FromQColor(const QColor& color) {
    const QColor rgb = color.toRgb();
    return Rgb(rgb.red(), rgb.green(), rgb.blue());
}

ColorRef SystemWindowColor() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) {
        return Rgb(255, 255, 255);
    }
    return FromQColor(QGuiApplication::palette().color(QPalette::Active, QPalette::Base));
}

}  // namespace platform
