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

AudioOutput::SinkFactory& sinkFactory() {
    static AudioOutput::SinkFactory factory;
    return factory;
}

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
    halt();
}

void AudioOutput::SetSinkFactory(SinkFactory factory) {
    sinkFactory() = std::move(factory);
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
    if (sinkFactory()) return sinkFactory()(wav_.sampleRate(), wav_.blockAlign());
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

bool AudioOutput::play(qint64 from, qint64 to, bool repeat) {
    if (from < 0 || from > to || to > lengthFrames()) return false;
    halt();
    from_ = from;
    to_ = to;
    position_ = from;
    const qint64 frameBytes = wav_.blockAlign();
    auto reader =
        std::make_unique<PcmRangeReader>(wav_, from * frameBytes, to * frameBytes, repeat);
    auto sink = makeSink();
    if (from == to || !sink->start(reader.get())) {
        sink.reset();
        finish();
        return from == to;
    }
    // Letting go of the previous sink above may have run the preview's timer,
    // and that may have started playback again: this range replaces it.
    halt();
    reader_ = std::move(reader);
    sink_ = std::move(sink);
    repeat_ = repeat;
    mode_ = AudioMode::Playing;
    poll_.start();
    return true;
}

void AudioOutput::pause() {
    if (mode() != AudioMode::Playing) return;
    mode_ = AudioMode::Paused;
    sink_->suspend();
}

void AudioOutput::resume() {
    if (mode_ != AudioMode::Paused) return;
    mode_ = AudioMode::Playing;
    sink_->resume();
}

void AudioOutput::stop() {
    if (mode_ == AudioMode::Stopped) return;
    position_ = positionFrames();
    halt();
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
    const qint64 played = sink_->playedFrames();
    if (repeat_ && to_ > from_) return from_ + played % (to_ - from_);
    return qMin(to_, from_ + played);
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
    position_ = to_;
    halt();
    emit finished();
}

// The state is settled before the sink goes: taking a sound-server stream
// down processes events, and whatever runs then (a timer asking for the
// position, a new play) must find this output stopped and without a sink.
void AudioOutput::halt() {
    poll_.stop();
    mode_ = AudioMode::Stopped;
    std::unique_ptr<PcmSink> sink = std::move(sink_);
    std::unique_ptr<PcmRangeReader> reader = std::move(reader_);
    sink.reset();  // before the reader it may still read from
}
