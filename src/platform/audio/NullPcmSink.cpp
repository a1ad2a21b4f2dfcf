#include "NullPcmSink.h"

#include <QElapsedTimer>
#include <QIODevice>

namespace {

NullPcmSink::Clock& clockFunction() {
    static NullPcmSink::Clock clock;
    return clock;
}

constexpr qint64 kChunkBytes = 64 * 1024;

}  // namespace

NullPcmSink::NullPcmSink(int sampleRate, int bytesPerFrame)
    : rate_(sampleRate), frameBytes_(qMax(1, bytesPerFrame)) {}

void NullPcmSink::SetClock(Clock clock) {
    clockFunction() = std::move(clock);
}

qint64 NullPcmSink::Now() {
    if (clockFunction()) return clockFunction()();
    static QElapsedTimer timer;
    if (!timer.isValid()) timer.start();
    return timer.nsecsElapsed() / 1000;
}

bool NullPcmSink::start(QIODevice* source) {
    source_ = source;
    startedUs_ = Now();
    pausedUs_ = 0;
    suspendedAt_ = -1;
    consumed_ = 0;
    exhausted_ = false;
    return true;
}

void NullPcmSink::suspend() {
    consume();
    if (suspendedAt_ < 0) suspendedAt_ = Now();
}

void NullPcmSink::resume() {
    if (suspendedAt_ < 0) return;
    pausedUs_ += Now() - suspendedAt_;
    suspendedAt_ = -1;
}

void NullPcmSink::stop() {
    consume();
    source_ = nullptr;
}

qint64 NullPcmSink::playedFrames() {
    consume();
    return consumed_;
}

bool NullPcmSink::drained() {
    consume();
    return exhausted_;
}

// Reads from the source as many frames as the time since start allows.
void NullPcmSink::consume() {
    if (!source_ || exhausted_ || suspendedAt_ >= 0) return;
    const qint64 elapsed = Now() - startedUs_ - pausedUs_;
    const qint64 due = elapsed * rate_ / 1000000;
    while (consumed_ < due) {
        const qint64 want = qMin((due - consumed_) * frameBytes_, kChunkBytes);
        scratch_.resize(want);
        const qint64 got = source_->read(scratch_.data(), want);
        if (got <= 0) {
            exhausted_ = true;
            break;
        }
        consumed_ += got / frameBytes_;
    }
    if (!exhausted_ && source_->atEnd()) exhausted_ = true;
}
