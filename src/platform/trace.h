#pragma once

#include <QString>

#include <functional>
#include <string>

namespace platform {

// The trace call that runs along start-up, painting and positioning with short markers ("End",
// "isnight", "ZOOMRES=%f"). It writes nothing and returns 0; the path of the file it would write
// is kept so that it can be shown.
int Trace(const char* format, ...) __attribute__((format(printf, 1, 2)));

void SetTracePath(const QString& path);
QString TracePath();

// Receives every trace line, formatted in the C locale, instead of it going nowhere; none is
// installed unless someone (a test, a debugging session) wants to read the lines. Called on
// whichever thread traces, one line at a time. Returns the previous sink.
using TraceSink = std::function<void(const std::string& line)>;
TraceSink SetTraceSink(TraceSink sink);

}  // namespace platform
