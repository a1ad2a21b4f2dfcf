#include "PlaySound.h"

#include <QCoreApplication>
#include <QPointer>

#include "AudioOutput.h"

namespace PlaySoundApi {

namespace {

QPointer<AudioOutput>& current() {
    static QPointer<AudioOutput> output;
    return output;
}

}  // namespace

bool PlaySound(const QString& file, quint32 flags) {
    delete current().data();
    if (file.isEmpty()) return true;
    auto output = std::make_unique<AudioOutput>(QCoreApplication::instance());
    QString why;
    if (!output->open(file, &why) || !output->play(0, output->lengthFrames())) return false;
    AudioOutput* playing = output.release();  // owned by the application object from here
    current() = playing;
    QObject::connect(playing, &AudioOutput::finished, playing, &QObject::deleteLater);
    if (!(flags & SND_ASYNC)) playing->waitForEnd();
    return true;
}

bool IsPlaying() {
    return current() && current()->mode() == AudioMode::Playing;
}

}  // namespace PlaySoundApi
