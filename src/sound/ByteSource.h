#pragma once

#include <QtGlobal>

// A forward-only supply of bytes, from a file or from memory, so that header
// parsing runs the same on disk files and on in-memory test or fuzz input.
class ByteSource {
public:
    virtual ~ByteSource() = default;

    // Copies up to `count` bytes into `buffer` and returns how many it copied.
    // Fewer than `count` only at the end of the data; 0 once the end is reached.
    // A failure of the underlying file throws AppError.
    virtual qint64 Read(char* buffer, qint64 count) = 0;

    // The total number of bytes the source holds, from its start.
    virtual qint64 Size() const = 0;

    // Moves `count` bytes forward without copying them and returns how many it
    // passed: fewer than `count` only at the end of the data.
    virtual qint64 Skip(qint64 count);
};
