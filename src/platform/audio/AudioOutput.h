#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>

#include "WavFile.h"

class PcmRangeReader;
class PcmSink;

enum class AudioMode { Stopped, Playing, Paused };

// One open WAV file and its playback. Samples stream from the open file, so
// memory does not depend on the sound's length. Positions are in frames and
// count what was actually played.
//
// The sound goes to the default output of the sound server; when there is no
// output device, or ZEPHYRA_AUDIO=null is set, a null output consumes the
// samples at the real rate instead, with the same modes and positions.
class AudioOutput : public QObject {
    Q_OBJECT
public:
    explicit AudioOutput(QObject* parent = nullptr);
    ~AudioOutput() override;

    // Opens and parses the file; false with a reason in *error otherwise.
    bool open(const QString& path, QString* error);

    int sampleRate() const { return wav_.sampleRate(); }
    qint64 lengthFrames() const { return wav_.frames(); }

    // Plays frames [from, to); requires 0 <= from <= to <= lengthFrames().
    // An empty range ends at once in Stopped mode. With `repeat` the range
    // plays again and again until stopped: the next pass is queued behind the
    // current one, so there is no gap at the seam.
    bool play(qint64 from, qint64 to, bool repeat = false);
    void pause();
    void resume();
    // Stops; the position stays where playback was.
    void stop();
    // Stops and moves the position to `frame` (clamped to the sound).
    void seek(qint64 frame);

    AudioMode mode();
    qint64 positionFrames();

    // Blocks, processing non-input events, until the playing range has ended.
    void waitForEnd();

    // True when the null output is used (no device, or ZEPHYRA_AUDIO=null).
    static bool UsesNullOutput();

    // Replaces how every output makes its sink (sample rate, bytes per
    // frame); an empty function restores the sound server or null output.
    using SinkFactory = std::function<std::unique_ptr<PcmSink>(int, int)>;
    static void SetSinkFactory(SinkFactory factory);

signals:
    void finished();

private:
    void poll();
    void finish();
    // Stops in Stopped mode and lets go of the sink and its reader.
    void halt();
    std::unique_ptr<PcmSink> makeSink() const;

    WavFile wav_;
    std::unique_ptr<PcmRangeReader> reader_;
    std::unique_ptr<PcmSink> sink_;
    AudioMode mode_ = AudioMode::Stopped;
    qint64 from_ = 0;
    qint64 to_ = 0;
    bool repeat_ = false;
    qint64 position_ = 0;  // while stopped
    QTimer poll_;
};
