#include "platform/sound_player.h"

#include <QCoreApplication>
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
        if (!effect_) {
            // Owned by the application, so that it goes before the sound system does.
            effect_ = new QSoundEffect(QCoreApplication::instance());
        }
        // A new source drops the sound loaded before; play() waits for the load itself.
        effect_->setSource(QUrl::fromLocalFile(path));
        effect_->play();
    }

    void Stop() override {
        if (effect_) {
            effect_->stop();
        }
    }

private:
    QPointer<QSoundEffect> effect_;
};

}  // namespace

SoundPlayer& DefaultSoundPlayer() {
    static EffectSoundPlayer player;
    return player;
}

}  // namespace platform
