#pragma once

#include <QString>

namespace platform {

// The trace call that runs along start-up, painting and positioning with short markers ("End",
// "isnight", "ZOOMRES=%f"). It writes nothing and returns 0; the path of the file it would write
// is kept so that it can be shown.
int Trace(const char* format, ...) __attribute__((format(printf, 1, 2)));

void SetTracePath(const QString& path);
QString TracePath();

}  // namespace platform
