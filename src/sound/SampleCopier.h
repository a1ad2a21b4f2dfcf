#pragma once

#include <QString>

// Copies sample bytes from one open file to another without holding more than
// a fixed-size buffer, whatever the length: in the kernel, or through a 1 MiB
// buffer, whichever was measured faster on the destination's file system.
class SampleCopier {
public:
    static constexpr qint64 BufferSize = 1 << 20;

    enum class Strategy {
        ByFileSystem,  // the faster of the two for these files
        InKernel,      // copy_file_range; the buffer where the kernel cannot
        Buffered,      // read and write through the buffer
    };

    // Copies exactly `count` bytes, read from `sourceFd` at `offset` (its file
    // position is not used), to `destFd` at its current position.
    // Throws AppError 62 when the source ends before `count` bytes (it shrank
    // since it was checked), and the errno error of a failed read or write;
    // `sourcePath` and `destPath` name the files in those errors.
    static void Copy(int sourceFd, qint64 offset, int destFd, qint64 count,
                     const QString& sourcePath, const QString& destPath,
                     Strategy strategy = Strategy::ByFileSystem);
};
