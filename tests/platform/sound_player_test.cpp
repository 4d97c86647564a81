#include "platform/sound_player.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

namespace platform {
namespace {

// A tenth of a second of silence: 16-bit mono PCM at 8 000 Hz.
QByteArray SilentWav() {
    const QByteArray samples(1600, '\0');
    auto le = [](uint32_t value, int bytes) {
        QByteArray out;
        for (int i = 0; i < bytes; ++i) {
            out += char((value >> (8 * i)) & 0xFF);
        }
        return out;
    };
    return "RIFF" + le(36 + samples.size(), 4) + "WAVEfmt " + le(16, 4) + le(1, 2) + le(1, 2) +
           le(8000, 4) + le(16000, 4) + le(2, 2) + le(16, 2) + "data" + le(samples.size(), 4) +
           samples;
}

// Whatever the machine's sound device (none, here), playing never blocks or fails loudly: a
// missing file, a file that is no sound, and one sound cutting off another.
TEST(SoundPlayer, PlaysInTheBackgroundAndIsSilentWithoutAFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile wav(dir.filePath("a.wav"));
    ASSERT_TRUE(wav.open(QIODevice::WriteOnly));
    wav.write(SilentWav());
    wav.close();
    QFile text(dir.filePath("b.wav"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("no sound");
    text.close();

    SoundPlayer& player = DefaultSoundPlayer();
    EXPECT_EQ(&player, &DefaultSoundPlayer());
    player.Play(dir.filePath("missing.wav"));
    player.Play(dir.filePath("a.wav"));
    player.Play(dir.filePath("b.wav"));
    player.Play(dir.filePath("a.wav"));
    player.Play(dir.path());
    player.Stop();
    player.Stop();
    // The samples load on Qt's own thread: let them finish, and what they leave for deletion go,
    // before the files do.
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 500) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

}  // namespace
}  // namespace platform
