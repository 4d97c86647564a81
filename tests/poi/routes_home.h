#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QStringList>

#include <sys/resource.h>

#include <csignal>

#include "fixed_time.h"
#include "platform/program_folder.h"
#include "platform/system_time.h"
#include "qt_print.h"
#include "temp_home.h"

// A data home with its routes folder, for the writers and the recorder.
class RoutesHome {
public:
    RoutesHome() { QDir().mkpath(Folder()); }
    bool IsValid() const { return home_.IsValid() && QDir(Folder()).exists(); }
    QString Folder() const { return home_.Path() + QLatin1String(platform::kRoutesTail); }
    QString Path(const QString& name) const { return Folder() + u'/' + name; }
    QStringList Names() const { return QDir(Folder()).entryList(QDir::Files, QDir::Name); }
    QByteArray Read(const QString& name) const {
        QFile file(Path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    bool Write(const QString& name, const QByteArray& bytes) const {
        return home_.Write(QLatin1String(platform::kRoutesTail).mid(1) + u'/' + name, bytes);
    }
    const TempHome& Home() const { return home_; }

private:
    TempHome home_;
};

// Lets files of this process grow only to a given size, as a full store would.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &previous_);
        rlimit limit = previous_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previousHandler_);
    }

private:
    rlimit previous_{};
    void (*previousHandler_)(int);
};

// The UTC instant at which the local clock of the current time zone reads `local`.
inline platform::FileTime LocalInstant(int year, int month, int day, int hour, int minute,
                                       int second) {
    return platform::LocalToUtc(
        *platform::ToFileTime(platform::SystemTime{year, month, 0, day, hour, minute, second, 0}));
}

// Central European winter time all year: no clock change to think about.
inline constexpr char kTestZone[] = "CET-1";

// A test with a fresh routes folder whose clock reads one local time in kTestZone.
class RoutesTest : public ::testing::Test {
protected:
    RoutesTest(int year, int month, int day, int hour, int minute, int second)
        : clock_(LocalInstant(year, month, day, hour, minute, second)) {}

    ScopedTimeZone zone_{kTestZone};  // before the clock, which reads the zone
    FixedClock clock_;
    RoutesHome routes_;
};
