#pragma once

// The About box: the program icon, "Velmora Version 1.0" and "Ok", laid out for a screen that
// stands upright (template 100) or lies on its side (template 200).

#include <QDialog>
#include <QRect>
#include <QSize>

#include <array>

class QLabel;
class QPushButton;

namespace app {

// Control ids of the About box.
inline constexpr int kAboutOkId = 1;
inline constexpr int kAboutIconId = 1001;
inline constexpr int kAboutTextId = 1002;

// One control of a dialog template: its id and rectangle in dialog units.
struct DialogItem {
    int id;
    QRect rectDlu;
};

struct DialogTemplate {
    int id;
    QSize sizeDlu;
    std::array<DialogItem, 3> items;
};

inline constexpr int kAboutPortraitTemplate = 100;
inline constexpr int kAboutLandscapeTemplate = 200;
const DialogTemplate& AboutTemplate(int templateId);

class AboutDialog : public QDialog {
    Q_OBJECT

public:
    // `screenSize` is the screen's width and height in pixels: the layout follows its shape.
    explicit AboutDialog(QSize screenSize, QWidget* parent = nullptr);
    ~AboutDialog() override;

    // The template the screen's shape calls for: 200 unless the screen is taller than wide.
    int TemplateId() const;
    // The control of `id`, or null.
    QWidget* Control(int id) const;
    // Dialog units to pixels with this dialog's font.
    QRect ToPixels(const QRect& rectDlu) const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void LayOut(const DialogTemplate& dialogTemplate);

    QSize screenSize_;
    QLabel* icon_;
    QLabel* text_;
    QPushButton* ok_;
};

}  // namespace app
