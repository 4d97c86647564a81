#pragma once

// The program's numbered pictures, compiled in.

#include <QIcon>
#include <QImage>

namespace app {

inline constexpr int kProgramIconId = 128;
inline constexpr int kSplashBitmapId = 156;

// Bitmap `id` (a panel picture, or the splash); null when the program has none of that number.
QImage LoadBitmapResource(int id);
// The program icon 128, with the larger and smaller sizes the desktop may ask for.
QIcon ProgramIcon();

}  // namespace app
