#pragma once

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>

// A fresh data home for one test: what `--home DIR` gives the program.
class TempHome {
public:
    TempHome() = default;
    bool IsValid() const { return dir_.isValid(); }
    QString Path() const { return dir_.path(); }
    QString File(const QString& tail) const { return dir_.path() + "/" + tail; }

    bool Write(const QString& tail, const QByteArray& bytes) const {
        QDir().mkpath(QFileInfo(File(tail)).path());
        QFile file(File(tail));
        return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
               file.write(bytes) == bytes.size();
    }

private:
    QTemporaryDir dir_;
};
