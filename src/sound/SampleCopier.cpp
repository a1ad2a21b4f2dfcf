#include "SampleCopier.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

#include "AppError.h"

namespace {

struct Job {
    int sourceFd;
    qint64 offset;
    int destFd;
    qint64 remaining;
    const QString& sourcePath;
    const QString& destPath;
};

[[noreturn]] void SourceEnded(const Job& job) {
    throw AppError::Standard(ErrNo::InputPastEnd,
                             QStringLiteral("%1 ended %2 bytes short of its data length")
                                 .arg(job.sourcePath)
                                 .arg(job.remaining));
}

// Returns false when the kernel cannot copy between these two files, leaving
// the rest to the buffered copy.
bool CopyInKernel(Job& job) {
    while (job.remaining > 0) {
        loff_t in = job.offset;
        const size_t chunk = static_cast<size_t>(std::min<qint64>(job.remaining, 1 << 30));
        const ssize_t n = ::copy_file_range(job.sourceFd, &in, job.destFd, nullptr, chunk, 0);
        if (n < 0) {
            if (errno == EINTR) continue;
            if (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP ||
                errno == EBADF)
                return false;
            throw AppError::fromErrno(errno, job.destPath);
        }
        if (n == 0) SourceEnded(job);
        job.offset += n;
        job.remaining -= n;
    }
    return true;
}

void WriteAll(const Job& job, const char* data, qint64 count) {
    while (count > 0) {
        const ssize_t n = ::write(job.destFd, data, static_cast<size_t>(count));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) throw AppError::fromErrno(n < 0 ? errno : ENOSPC, job.destPath);
        data += n;
        count -= n;
    }
}

void CopyBuffered(Job& job) {
    const qint64 size = std::min(job.remaining, SampleCopier::BufferSize);
    const auto buffer = std::make_unique<char[]>(static_cast<size_t>(size));
    while (job.remaining > 0) {
        const qint64 want = std::min(job.remaining, size);
        const ssize_t n =
            ::pread(job.sourceFd, buffer.get(), static_cast<size_t>(want), job.offset);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw AppError::fromErrno(errno, job.sourcePath);
        if (n == 0) SourceEnded(job);
        WriteAll(job, buffer.get(), n);
        job.offset += n;
        job.remaining -= n;
    }
}

}  // namespace

void SampleCopier::Copy(int sourceFd, qint64 offset, int destFd, qint64 count,
                        const QString& sourcePath, const QString& destPath) {
    ::posix_fadvise(sourceFd, offset, count, POSIX_FADV_SEQUENTIAL);
    Job job{sourceFd, offset, destFd, count, sourcePath, destPath};
    if (!CopyInKernel(job)) CopyBuffered(job);
}
