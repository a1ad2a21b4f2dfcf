#pragma once

#include <QtGlobal>

class QIODevice;

// Where the samples of a playing range go. Position is counted in frames that
// were actually played, never in bytes handed over.
class PcmSink {
public:
    virtual ~PcmSink() = default;

    // Starts pulling from `source` (owned by the caller, kept alive until stop).
    virtual bool start(QIODevice* source) = 0;
    virtual void suspend() = 0;
    virtual void resume() = 0;
    virtual void stop() = 0;
    // Frames played since start().
    virtual qint64 playedFrames() = 0;
    // The source is exhausted and its samples have been played.
    virtual bool drained() = 0;
};
