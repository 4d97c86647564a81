#pragma once

#include "platform/settings_store.h"

namespace app {

// The view the map window opens with and saves when it goes: position in degrees and scale in
// kilometres per centimetre.
struct LastView {
    float latitude = 0.0f;
    float longitude = 0.0f;
    float scaleKmPerCm = 0.0f;
};

// A stored scale below 0.05 km/cm (or text that is no number) opens at 0.7 km/cm.
LastView ReadLastView(const platform::SettingsStore& settings);

// When the map window closes: position and scale, unless the position's latitude is exactly 0.0
// (no position was ever handed over).
void SaveLastViewOnClose(platform::SettingsStore& settings, double latitude, double longitude,
                         float scaleKmPerCm);

// When the map window is destroyed: the position as on close, the scale always.
void SaveLastViewOnDestroy(platform::SettingsStore& settings, double latitude, double longitude,
                           float scaleKmPerCm);

}  // namespace app
