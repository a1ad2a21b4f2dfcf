#include "AudioOutput.h"

#include <QAudioFormat>
#include <QEventLoop>
#include <QMediaDevices>

#include "NullPcmSink.h"
#include "PcmRangeReader.h"
#include "QtPcmSink.h"

namespace {

// How often a playing output checks whether its range has ended.
constexpr int kPollMs = 20;

QAudioFormat::SampleFormat sampleFormatFor(int bits) {
    switch (bits) {
        case 8:
            return QAudioFormat::UInt8;
        case 16:
            return QAudioFormat::Int16;
        default:
            return QAudioFormat::Int32;
    }
}

}  // namespace

AudioOutput::AudioOutput(QObject* parent) : QObject(parent) {
    poll_.setInterval(kPollMs);
    poll_.setTimerType(Qt::CoarseTimer);
    connect(&poll_, &QTimer::timeout, this, &AudioOutput::poll);
}

AudioOutput::~AudioOutput() {
    sink_.reset();
    reader_.reset();
}

bool AudioOutput::UsesNullOutput() {
    if (qEnvironmentVariable("ZEPHYRA_AUDIO").compare(QLatin1String("null"), Qt::CaseInsensitive) ==
        0)
        return true;
    // Without a sound server the list is empty and a sink would fail or hang.
    return QMediaDevices::audioOutputs().isEmpty();
}

bool AudioOutput::open(const QString& path, QString* error) {
    return wav_.open(path, error);
}

std::unique_ptr<PcmSink> AudioOutput::makeSink() const {
    if (!UsesNullOutput()) {
        QAudioFormat format;
        format.setSampleRate(wav_.sampleRate());
        format.setChannelCount(wav_.channels());
        format.setSampleFormat(sampleFormatFor(wav_.bitsPerSample()));
        const QAudioDevice device = QMediaDevices::defaultAudioOutput();
        if (!device.isNull() && device.isFormatSupported(format))
            return std::make_unique<QtPcmSink>(device, format);
    }
    return std::make_unique<NullPcmSink>(wav_.sampleRate(), wav_.blockAlign());
}

bool AudioOutput::play(qint64 from, qint64 to) {
    if (from < 0 || from > to || to > lengthFrames()) return false;
    sink_.reset();
    from_ = from;
    to_ = to;
    position_ = from;
    const qint64 frameBytes = wav_.blockAlign();
    reader_ = std::make_unique<PcmRangeReader>(wav_, from * frameBytes, to * frameBytes);
    mode_ = AudioMode::Playing;
    sink_ = makeSink();
    if (from == to || !sink_->start(reader_.get())) {
        finish();
        return from == to;
    }
    poll_.start();
    return true;
}

void AudioOutput::pause() {
    if (mode() != AudioMode::Playing) return;
    sink_->suspend();
    mode_ = AudioMode::Paused;
}

void AudioOutput::resume() {
    if (mode_ != AudioMode::Paused) return;
    sink_->resume();
    mode_ = AudioMode::Playing;
}

void AudioOutput::stop() {
    if (mode_ == AudioMode::Stopped) return;
    position_ = positionFrames();
    poll_.stop();
    sink_.reset();
    reader_.reset();
    mode_ = AudioMode::Stopped;
}

void AudioOutput::seek(qint64 frame) {
    stop();
    position_ = qBound<qint64>(0, frame, lengthFrames());
}

AudioMode AudioOutput::mode() {
    if (mode_ == AudioMode::Playing && sink_->drained()) finish();
    return mode_;
}

qint64 AudioOutput::positionFrames() {
    if (mode() == AudioMode::Stopped) return position_;
    return qMin(to_, from_ + sink_->playedFrames());
}

void AudioOutput::waitForEnd() {
    if (mode() != AudioMode::Playing && mode_ != AudioMode::Paused) return;
    QEventLoop loop;
    connect(this, &AudioOutput::finished, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

void AudioOutput::poll() {
    mode();
}

void AudioOutput::finish() {
    poll_.stop();
    sink_.reset();
    reader_.reset();
    position_ = to_;
    mode_ = AudioMode::Stopped;
    emit finished();
}
