#pragma once

#include <QString>

// Quick play for auto-play: fire and forget.
namespace mWavPlay {

// Starts playing the WAV file in the background and returns at once; the file
// may be deleted as soon as this returns. An empty name does nothing. Reports
// nothing.
void PlayWave(const QString& file);

// Ends the sound PlayWave started, if it still plays.
void StopWave();

}  // namespace mWavPlay
