#include "PcmRangeReader.h"

#include "WavFile.h"

PcmRangeReader::PcmRangeReader(WavFile& file, qint64 begin, qint64 end, bool repeat)
    : file_(file), begin_(begin), repeat_(repeat), next_(begin), end_(end) {
    QIODevice::open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

qint64 PcmRangeReader::bytesAvailable() const {
    return qMax<qint64>(0, end_ - next_) + QIODevice::bytesAvailable();
}

qint64 PcmRangeReader::readData(char* data, qint64 maxSize) {
    if (next_ >= end_ && repeats()) next_ = begin_;
    const qint64 n = file_.readData(next_, data, qMin(maxSize, end_ - next_));
    // A file that became shorter under us ends the range here.
    if (n <= 0) {
        repeat_ = false;
        next_ = end_;
        return 0;
    }
    next_ += n;
    return n;
}
