#pragma once

#include <QString>

// Fire-and-forget playback of a WAV file.
namespace PlaySoundApi {

constexpr quint32 SND_ASYNC = 0x0001;
constexpr quint32 SND_NODEFAULT = 0x0002;
constexpr quint32 SND_FILENAME = 0x00020000;

// Opens `file` before returning, so the caller may delete it at once, and plays
// it: in the background with SND_ASYNC, otherwise before returning. A new call
// ends the sound of the previous one; an empty name only ends it. Returns false
// when the file cannot be played (nothing else is played instead).
bool PlaySound(const QString& file, quint32 flags);

// True while a sound started by PlaySound is playing.
bool IsPlaying();

}  // namespace PlaySoundApi
