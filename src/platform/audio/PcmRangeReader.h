#pragma once

#include <QIODevice>

class WavFile;

// A read-only, sequential device over a byte range of a WAV file's sample data.
// Sinks pull from it in small pieces, so memory does not grow with the length
// of the sound.
class PcmRangeReader : public QIODevice {
public:
    // [begin, end) are byte offsets into the sample data; `file` must outlive
    // us. With `repeat` the range starts over at its end and never ends.
    PcmRangeReader(WavFile& file, qint64 begin, qint64 end, bool repeat = false);

    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override;
    bool atEnd() const override {
        return !repeats() && next_ >= end_ && QIODevice::bytesAvailable() == 0;
    }

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    bool repeats() const { return repeat_ && end_ > begin_; }

    WavFile& file_;
    qint64 begin_;
    bool repeat_;
    qint64 next_;
    qint64 end_;
};
