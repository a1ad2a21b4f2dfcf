#pragma once

#include <QString>

// Copies sample bytes from one open file to another without holding more than
// a fixed-size buffer, whatever the length: in the kernel where the file
// systems allow it, otherwise through a 1 MiB buffer.
class SampleCopier {
public:
    static constexpr qint64 BufferSize = 1 << 20;

    // Copies exactly `count` bytes, read from `sourceFd` at `offset` (its file
    // position is not used), to `destFd` at its current position.
    // Throws AppError 62 when the source ends before `count` bytes (it shrank
    // since it was checked), and the errno error of a failed read or write;
    // `sourcePath` and `destPath` name the files in those errors.
    static void Copy(int sourceFd, qint64 offset, int destFd, qint64 count,
                     const QString& sourcePath, const QString& destPath);
};
