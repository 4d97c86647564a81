#include "platform/trace.h"

#include <QMutex>

namespace platform {
namespace {

QMutex g_traceMutex;
QString g_tracePath;

}  // namespace

int Trace(const char* /*format*/, ...) { return 0; }

void SetTracePath(const QString& path) {
    QMutexLocker lock(&g_traceMutex);
    g_tracePath = path;
}

QString TracePath() {
    QMutexLocker lock(&g_traceMutex);
    return g_tracePath;
}

}  // namespace platform
