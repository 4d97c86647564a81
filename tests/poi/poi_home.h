#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

#include "platform/settings_store.h"
#include "platform/sound_player.h"
#include "temp_home.h"

// A data home with a POI folder, its own settings file and the list of ticked POI files.
class PoiHome {
public:
    PoiHome() : settings_(platform::SettingsStore::OpenForHome(home_.Path())) {}

    QString Path() const { return home_.Path(); }
    QString PoiFile(const QString& name) const { return home_.File("POI/" + name); }
    platform::SettingsStore& Settings() { return *settings_; }

    bool Write(const QString& name, const QByteArray& bytes) const {
        return home_.Write("POI/" + name, bytes);
    }
    // A square icon of one colour with a differently coloured top-left pixel.
    bool WriteIcon(const QString& name, int size, QColor body, QColor corner) const {
        QImage image(size, size, QImage::Format_RGB32);
        image.fill(body);
        image.setPixelColor(0, 0, corner);
        return Write(name, {}) && image.save(PoiFile(name), "BMP");
    }
    // Ticks exactly these files, in this order.
    void Tick(const QStringList& names) {
        for (int i = 0; i < names.size(); ++i) {
            settings_->Set(platform::settings::kEnabledPoiFiles, i, names[i]);
        }
        settings_->Set(platform::settings::kEnabledPoiFiles, int(names.size()),
                       QLatin1String(platform::settings::kListEnd));
    }

private:
    TempHome home_;
    std::unique_ptr<platform::SettingsStore> settings_;
};

// A sound player that only remembers what it was asked to play.
class RecordingSoundPlayer : public platform::SoundPlayer {
public:
    void Play(const QString& path) override { played.push_back(path); }
    void Stop() override {}
    std::vector<QString> played;
};
