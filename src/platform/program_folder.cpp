#include "platform/program_folder.h"

#include <QDir>
#include <QFileInfo>
#include <QMutex>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace platform {
namespace {

QMutex g_folderMutex;
QString g_programFolder = QStringLiteral("/");

QString UserDataFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/Velmora");
}

// True when folder is one of the system prefixes or lies under one.
bool IsUnderSystemPrefix(const QString& folder) {
    const QString clean = QDir::cleanPath(folder);
    for (const char* prefix : {"/usr", "/bin", "/sbin", "/opt", "/snap"}) {
        const QLatin1String text(prefix);
        if (clean == text || clean.startsWith(text + QLatin1Char('/'))) {
            return true;
        }
    }
    return false;
}

}  // namespace

QString FolderOfPath(const QString& path) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    if (slash < 0) {
        return QStringLiteral("/");
    }
    return path.left(slash);
}

bool CanCreateFilesIn(const QString& folder) {
    if (!QFileInfo(folder).isDir()) {
        return false;
    }
    QTemporaryFile probe(folder + QStringLiteral("/.velmora-write-test-XXXXXX"));
    return probe.open();
}

QString DataHomeFromOption(const QString& homeOption) {
    return QDir::cleanPath(QFileInfo(homeOption).absoluteFilePath());
}

QString ResolveProgramFolder(const QString& homeOption, const QString& executablePath) {
    if (!homeOption.isEmpty()) {
        return DataHomeFromOption(homeOption);
    }
    if (!executablePath.isEmpty()) {
        const QString executableFolder = DataHomeFromOption(FolderOfPath(executablePath));
        if (!IsUnderSystemPrefix(executableFolder) && CanCreateFilesIn(executableFolder)) {
            return executableFolder;
        }
    }
    return QDir::cleanPath(UserDataFolder());
}

void SetProgramFolder(const QString& folder) {
    QMutexLocker lock(&g_folderMutex);
    g_programFolder = folder;
}

QString ProgramFolder() {
    QMutexLocker lock(&g_folderMutex);
    return g_programFolder;
}

void CreateProgramFolders(const QString& folder) {
    QDir().mkpath(folder);
    for (const char* tail : {kMapsTail, kPoiTail, kRoutesTail}) {
        QDir().mkdir(folder + QLatin1String(tail));
    }
}

}  // namespace platform
