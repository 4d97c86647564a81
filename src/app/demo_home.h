#pragma once

// The demo: a data home holding the demo region's maps, its POI file (ticked) and its recorded
// drive, made once and replayed at every `velmora --demo`.

#include <QString>

namespace platform {
class SettingsStore;
}

namespace app {

// The demo's home when no --home is given: "demo" in the user's data location.
QString DefaultDemoHome();

// Compiles the demo region into `home` unless a previous run did; false with a one-line reason
// when it cannot.
bool PrepareDemoHome(const QString& home, QString& error);

// Ticks the demo's POI file, unless the user has a POI list of their own in this home.
void TickDemoPois(platform::SettingsStore& settings);

// The GPS source that replays the demo drive of `home` at its recorded pace, over and over.
QString DemoGpsUri(const QString& home);

}  // namespace app
