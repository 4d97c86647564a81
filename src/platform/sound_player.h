#pragma once

#include <QString>

namespace platform {

// Plays waveform sound files (WAV) without waiting: Play returns at once and the sound goes on
// in the background. Only one sound plays at a time: a new one cuts off the one still playing.
// A file that is missing or cannot be played, or a machine without a sound device, is silent.
// Used from the interface thread only.
class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    virtual void Play(const QString& path) = 0;
    virtual void Stop() = 0;
};

// True when the file starts as a wave file the player can decode: "RIFF" and "WAVE", a format
// chunk of integer or float samples, then the data chunk. Qt's loader never finishes on some
// files that are not (a few bytes of text), and its cache then waits for that load when the
// program quits, so the player plays nothing else.
bool IsPlayableWave(const QString& path);

// The player over the machine's default sound output, made on first use.
SoundPlayer& DefaultSoundPlayer();

}  // namespace platform
