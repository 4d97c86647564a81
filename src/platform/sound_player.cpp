#include "platform/sound_player.h"

#include <QCoreApplication>
#include <QHash>
#include <QPointer>
#include <QSoundEffect>
#include <QUrl>

#include "platform/file_access.h"

namespace platform {
namespace {

class EffectSoundPlayer : public SoundPlayer {
public:
    void Play(const QString& path) override {
        Stop();
        // QSoundEffect reports a missing file only later, and loudly, on the console.
        if (!CanOpenForReading(path) || QCoreApplication::instance() == nullptr) {
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

SoundPlayer& DefaultSoundPlayer() {
    static EffectSoundPlayer player;
    return player;
}

}  // namespace platform
