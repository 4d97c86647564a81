#pragma once

#include <QImage>

#include <vector>

namespace frame_art {

// One picture of the program, named by its resource number.
struct Picture {
    int id;
    QImage image;
};

// Side of a panel button picture in pixels; the frame doubles it on large screens.
inline constexpr int kButtonSize = 50;

// The fifteen panel pictures with their pressed, disabled and alternate variants, 24-bit on
// magenta, every one the same disc so that one window shape fits them all.
std::vector<Picture> PanelPictures();
// The splash picture 156 (opaque).
QImage SplashPicture();
// The program icon 128 at `size` pixels, with an alpha channel.
QImage ProgramIcon(int size);

}  // namespace frame_art
