#include "platform/sound_player.h"

#include <cstdint>

#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QPointer>
#include <QSoundEffect>
#include <QUrl>

#include "platform/file_access.h"

namespace platform {
namespace {

uint32_t ReadLe(const char* bytes, int count) {
    uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i) {
        value = (value << 8) | uint8_t(bytes[i]);
    }
    return value;
}

class EffectSoundPlayer : public SoundPlayer {
public:
    void Play(const QString& path) override {
        Stop();
        // QSoundEffect reports a missing file only later, and loudly, on the console.
        if (QCoreApplication::instance() == nullptr || !CanOpenForReading(path) ||
            !IsPlayableWave(path)) {
            return;
        }
        QPointer<QSoundEffect>& effect = effects_[path];
        if (!effect) {
            // One effect per file, its source never changed: giving an effect a new source
            // while its sound loads waits for the loading thread, which waits for this one.
            // Owned by the application, so that it goes before the sound system does.
            effect = new QSoundEffect(QCoreApplication::instance());
            effect->setSource(QUrl::fromLocalFile(path));
        }
        // play() before the sound has loaded starts it once it has.
        effect->play();
    }

    void Stop() override {
        for (const QPointer<QSoundEffect>& effect : effects_) {
            if (effect) {
                effect->stop();
            }
        }
    }

private:
    // A POI set names a handful of sounds; each stays loaded for the next announcement.
    QHash<QString, QPointer<QSoundEffect>> effects_;
};

}  // namespace

bool IsPlayableWave(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QByteArray head = file.read(64 * 1024);
    if (head.size() < 12 || !head.startsWith("RIFF") || head.mid(8, 4) != "WAVE") {
        return false;
    }
    bool format = false;
    qsizetype at = 12;
    while (at + 8 <= head.size()) {
        const QByteArray id = head.mid(at, 4);
        const uint32_t size = ReadLe(head.constData() + at + 4, 4);
        at += 8;
        if (id == "data") {
            return format;
        }
        if (id == "fmt ") {
            if (size < 16 || at + 16 > head.size()) {
                return false;
            }
            const uint32_t tag = ReadLe(head.constData() + at, 2);
            const uint32_t channels = ReadLe(head.constData() + at + 2, 2);
            const uint32_t bits = ReadLe(head.constData() + at + 14, 2);
            format = (tag == 1 || tag == 3 || tag == 0xFFFE) && channels > 0 && bits > 0;
            if (!format) {
                return false;
            }
        }
        // Chunks are padded to an even size.
        at += qsizetype(size) + (size & 1);
    }
    return false;
}

SoundPlayer& DefaultSoundPlayer() {
    static EffectSoundPlayer player;
    return player;
}

}  // namespace platform
