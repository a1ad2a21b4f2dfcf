#include "QtPcmSink.h"

#include <QAudioSink>

QtPcmSink::QtPcmSink(const QAudioDevice& device, const QAudioFormat& format)
    : device_(device), format_(format) {}

QtPcmSink::~QtPcmSink() {
    stop();
}

bool QtPcmSink::start(QIODevice* source) {
    stop();
    source_ = source;
    sink_ = std::make_unique<QAudioSink>(device_, format_);
    sink_->start(source);
    return sink_->error() == QAudio::NoError || sink_->error() == QAudio::UnderrunError;
}

void QtPcmSink::suspend() {
    if (sink_) sink_->suspend();
}

void QtPcmSink::resume() {
    if (sink_) sink_->resume();
}

// The stream stops here and no longer reads from the source. The sink object
// itself goes from the event loop: its destructor processes events, which
// must not run in the middle of whatever stopped the sound.
void QtPcmSink::stop() {
    if (sink_) {
        sink_->stop();
        sink_.release()->deleteLater();
    }
    source_ = nullptr;
}

qint64 QtPcmSink::playedFrames() {
    if (!sink_) return 0;
    return sink_->processedUSecs() * format_.sampleRate() / 1000000;
}

bool QtPcmSink::drained() {
    if (!sink_) return true;
    if (sink_->state() == QAudio::StoppedState) return true;
    return sink_->state() == QAudio::IdleState && source_ && source_->atEnd();
}
