#pragma once

#include <QByteArray>
#include <functional>

#include "PcmSink.h"

// A sink without a sound device: it consumes the samples at the sound's real
// rate, measured by a clock, so playing, pausing and the position behave as
// with a real device. The clock can be replaced, which lets tests drive time.
class NullPcmSink : public PcmSink {
public:
    using Clock = std::function<qint64()>;  // microseconds, monotonic

    NullPcmSink(int sampleRate, int bytesPerFrame);

    bool start(QIODevice* source) override;
    void suspend() override;
    void resume() override;
    void stop() override;
    qint64 playedFrames() override;
    bool drained() override;

    // Replaces the clock of every null sink; an empty function restores the
    // system's monotonic clock.
    static void SetClock(Clock clock);
    static qint64 Now();

private:
    void consume();

    int rate_;
    int frameBytes_;
    QIODevice* source_ = nullptr;
    qint64 startedUs_ = 0;
    qint64 pausedUs_ = 0;      // total time spent suspended
    qint64 suspendedAt_ = -1;  // clock value when suspended, -1 when running
    qint64 consumed_ = 0;      // frames
    bool exhausted_ = false;
    QByteArray scratch_;
};
