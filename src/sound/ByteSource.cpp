#include "ByteSource.h"

#include <algorithm>

qint64 ByteSource::Skip(qint64 count) {
    char buffer[4096];
    qint64 done = 0;
    while (done < count) {
        const qint64 got = Read(buffer, std::min<qint64>(count - done, sizeof buffer));
        if (got == 0) break;
        done += got;
    }
    return done;
}
