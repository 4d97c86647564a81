#include "app/last_view.h"

namespace app {

namespace keys = platform::settings;

LastView ReadLastView(const platform::SettingsStore& settings) {
    LastView view;
    view.latitude = settings.GetFloat(keys::kLastLat);
    view.longitude = settings.GetFloat(keys::kLastLon);
    view.scaleKmPerCm = settings.GetFloat(keys::kLastZoom);
    if (view.scaleKmPerCm < 0.05f) {
        view.scaleKmPerCm = 0.7f;
    }
    return view;
}

void SaveLastViewOnClose(platform::SettingsStore& settings, double latitude, double longitude,
                         float scaleKmPerCm) {
    if (latitude == 0.0) {
        return;
    }
    settings.SetFloat(keys::kLastLat, latitude);
    settings.SetFloat(keys::kLastLon, longitude);
    settings.SetFloat(keys::kLastZoom, scaleKmPerCm);
}

void SaveLastViewOnDestroy(platform::SettingsStore& settings, double latitude, double longitude,
                           float scaleKmPerCm) {
    if (latitude != 0.0) {
        settings.SetFloat(keys::kLastLat, latitude);
        settings.SetFloat(keys::kLastLon, longitude);
    }
    settings.SetFloat(keys::kLastZoom, scaleKmPerCm);
}

}  // namespace app
