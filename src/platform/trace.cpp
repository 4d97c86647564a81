#include "platform/trace.h"

#include <QMutex>

#include <atomic>
#include <cstdarg>

#include "platform/c_format.h"

namespace platform {
namespace {

QMutex g_traceMutex;
QString g_tracePath;
TraceSink g_sink;
// Lets Trace return at once, without the lock, while no sink is installed.
std::atomic<bool> g_hasSink{false};

}  // namespace

int Trace(const char* format, ...) {
    if (!g_hasSink.load(std::memory_order_acquire)) {
        return 0;
    }
    va_list args;
    va_start(args, format);
    const std::string line = FormatCList(format, args);
    va_end(args);
    QMutexLocker lock(&g_traceMutex);
    if (g_sink) {
        g_sink(line);
    }
    return 0;
}

void SetTracePath(const QString& path) {
    QMutexLocker lock(&g_traceMutex);
    g_tracePath = path;
}

QString TracePath() {
    QMutexLocker lock(&g_traceMutex);
    return g_tracePath;
}

TraceSink SetTraceSink(TraceSink sink) {
    QMutexLocker lock(&g_traceMutex);
    TraceSink previous = std::move(g_sink);
    g_sink = std::move(sink);
    g_hasSink.store(bool(g_sink), std::memory_order_release);
    return previous;
}

}  // namespace platform
