#include "mWavPlay.h"

#include "PlaySound.h"

namespace mWavPlay {

void PlayWave(const QString& file) {
    if (file.isEmpty()) return;
    using namespace PlaySoundApi;
    PlaySound(file, SND_FILENAME | SND_NODEFAULT | SND_ASYNC);
}

void StopWave() {
    PlaySoundApi::PlaySound(QString(), 0);
}

}  // namespace mWavPlay
