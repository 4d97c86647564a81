#include "platform/sound_player.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

namespace platform {
namespace {

QByteArray Le(uint32_t value, int bytes) {
    QByteArray out;
    for (int i = 0; i < bytes; ++i) {
        out += char((value >> (8 * i)) & 0xFF);
    }
    return out;
}

QByteArray FormatChunk(uint32_t tag) {
    return "fmt " + Le(16, 4) + Le(tag, 2) + Le(1, 2) + Le(8000, 4) + Le(16000, 4) + Le(2, 2) +
           Le(16, 2);
}

// A tenth of a second of silence: 16-bit mono PCM at 8 000 Hz.
QByteArray SilentWav() {
    const QByteArray samples(1600, '\0');
    return "RIFF" + Le(36 + samples.size(), 4) + "WAVE" + FormatChunk(1) + "data" +
           Le(samples.size(), 4) + samples;
}

QString WriteFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    QFile file(dir.filePath(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return file.fileName();
}

// Only a wave file of samples reaches Qt's loader: on a few bytes of text it never finishes,
// and the program then hangs when it quits.
TEST(SoundPlayer, PlaysOnlyWaveFilesOfSamples) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray wav = SilentWav();
    EXPECT_TRUE(IsPlayableWave(WriteFile(dir, "a.wav", wav)));
    // A chunk of its own before the format, odd-sized and padded.
    const QByteArray listed = "RIFF" + Le(0, 4) + "WAVE" + "LIST" + Le(3, 4) + "abc" + '\0' +
                              FormatChunk(3) + "data" + Le(0, 4);
    EXPECT_TRUE(IsPlayableWave(WriteFile(dir, "float.wav", listed)));

    EXPECT_FALSE(IsPlayableWave(WriteFile(dir, "text.wav", "no sound")));
    EXPECT_FALSE(IsPlayableWave(WriteFile(dir, "empty.wav", "")));
    EXPECT_FALSE(IsPlayableWave(WriteFile(dir, "cut.wav", wav.left(30))));
    EXPECT_FALSE(IsPlayableWave(WriteFile(dir, "nodata.wav", wav.left(36))));
    EXPECT_FALSE(IsPlayableWave(
        WriteFile(dir, "mp3.wav", "RIFF" + Le(0, 4) + "WAVE" + FormatChunk(85) + "data")));
    EXPECT_FALSE(IsPlayableWave(
        WriteFile(dir, "late.wav", "RIFF" + Le(0, 4) + "WAVEdata" + Le(0, 4) + FormatChunk(1))));
    EXPECT_FALSE(IsPlayableWave(dir.filePath("missing.wav")));
}

// Whatever the machine's sound device (none, here), playing never blocks or fails loudly: a
// missing file, a file that is no sound, and one sound cutting off another.
TEST(SoundPlayer, PlaysInTheBackgroundAndIsSilentWithoutAFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    WriteFile(dir, "a.wav", SilentWav());
    WriteFile(dir, "b.wav", "no sound");

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
