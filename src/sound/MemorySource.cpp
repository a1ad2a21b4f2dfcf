#include "MemorySource.h"

#include <algorithm>
#include <cstring>

qint64 MemorySource::Read(char* buffer, qint64 count) {
    const qint64 n = std::clamp<qint64>(count, 0, size_ - position_);
    if (n > 0) {
        std::memcpy(buffer, data_ + position_, static_cast<size_t>(n));
        position_ += n;
    }
    return n;
}

qint64 MemorySource::Skip(qint64 count) {
    const qint64 n = std::clamp<qint64>(count, 0, size_ - position_);
    position_ += n;
    return n;
}
