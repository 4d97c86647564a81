#include "app/about_dialog.h"

#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QResizeEvent>

#include "app/resources.h"
#include "platform/mul_div.h"

namespace app {
namespace {

constexpr DialogTemplate kPortrait{kAboutPortraitTemplate,
                                   QSize(156, 129),
                                   {{{kAboutIconId, QRect(67, 14, 21, 20)},
                                     {kAboutTextId, QRect(8, 48, 140, 10)},
                                     {kAboutOkId, QRect(53, 100, 50, 14)}}}};
constexpr DialogTemplate kLandscape{kAboutLandscapeTemplate,
                                    QSize(210, 129),
                                    {{{kAboutIconId, QRect(24, 36, 21, 20)},
                                      {kAboutTextId, QRect(56, 41, 146, 10)},
                                      {kAboutOkId, QRect(80, 100, 50, 14)}}}};

}  // namespace

const DialogTemplate& AboutTemplate(int templateId) {
    return templateId == kAboutPortraitTemplate ? kPortrait : kLandscape;
}

AboutDialog::AboutDialog(QSize screenSize, QWidget* parent)
    : QDialog(parent),
      screenSize_(screenSize),
      icon_(new QLabel(this)),
      text_(new QLabel(QStringLiteral("Velmora Version 1.0"), this)),
      ok_(new QPushButton(QStringLiteral("Ok"), this)) {
    setWindowTitle(QStringLiteral("About Velmora"));
    text_->setAlignment(Qt::AlignCenter);
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    const DialogTemplate& layout = AboutTemplate(TemplateId());
    const QRect iconRect = ToPixels(layout.items[0].rectDlu);
    icon_->setPixmap(ProgramIcon().pixmap(iconRect.size()));
    icon_->setAlignment(Qt::AlignCenter);
    setFixedSize(ToPixels(QRect(QPoint(0, 0), layout.sizeDlu)).size());
    LayOut(layout);
}

AboutDialog::~AboutDialog() = default;

int AboutDialog::TemplateId() const {
    return screenSize_.height() <= screenSize_.width() ? kAboutLandscapeTemplate
                                                       : kAboutPortraitTemplate;
}

QWidget* AboutDialog::Control(int id) const {
    switch (id) {
        case kAboutOkId:
            return ok_;
        case kAboutIconId:
            return icon_;
        case kAboutTextId:
            return text_;
        default:
            return nullptr;
    }
}

QRect AboutDialog::ToPixels(const QRect& rectDlu) const {
    // The dialog's base units: the average width of the Latin letters and the line height.
    const QFontMetrics metrics(font());
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    const int baseX = (letters / 26 + 1) / 2;
    const int baseY = metrics.height();
    return QRect(platform::MulDiv(rectDlu.x(), baseX, 4), platform::MulDiv(rectDlu.y(), baseY, 8),
                 platform::MulDiv(rectDlu.width(), baseX, 4),
                 platform::MulDiv(rectDlu.height(), baseY, 8));
}

void AboutDialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    LayOut(AboutTemplate(TemplateId()));
}

void AboutDialog::LayOut(const DialogTemplate& dialogTemplate) {
    for (const DialogItem& item : dialogTemplate.items) {
        if (QWidget* control = Control(item.id)) {
            control->setGeometry(ToPixels(item.rectDlu));
        }
    }
}

}  // namespace app
