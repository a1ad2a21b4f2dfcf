#include "StoreFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>

#include "AppError.h"
#include "AtomicFile.h"
#include "Inventory.h"
#include "NativeName.h"
#include "Sha256.h"
#include "SoundInfo.h"

namespace Replace {

namespace {

// An open file that closes itself.
class ReadFd {
public:
    explicit ReadFd(const QString& path)
        : fd_(::open(NativeName::Encode(path).constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW)) {
        if (fd_ < 0) throw AppError::fromErrno(errno, path);
    }
    ~ReadFd() { ::close(fd_); }
    ReadFd(const ReadFd&) = delete;
    ReadFd& operator=(const ReadFd&) = delete;
    int Get() const { return fd_; }
    qint64 Size(const QString& path) const {
        struct stat st {};
        if (::fstat(fd_, &st) != 0) throw AppError::fromErrno(errno, path);
        return st.st_size;
    }
    unsigned Mode() const {
        struct stat st {};
        return ::fstat(fd_, &st) == 0 ? unsigned(st.st_mode) : 0600u;
    }

private:
    int fd_;
};

}  // namespace

qint64 ReadAll(const QString& path, const std::function<void(const char*, qint64)>& sink) {
    const ReadFd source(path);
    // Sized to the file: most game sounds are far smaller than a chunk, and a
    // store copies thousands of them in one run.
    constexpr qint64 kChunk = 256 << 10;
    const qint64 bufferSize = std::clamp<qint64>(source.Size(path) + 1, 4096, kChunk);
    const auto buffer = std::make_unique_for_overwrite<char[]>(size_t(bufferSize));
    qint64 total = 0;
    for (;;) {
        const ssize_t n = ::read(source.Get(), buffer.get(), size_t(bufferSize));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw AppError::fromErrno(errno, path);
        if (n == 0) return total;
        sink(buffer.get(), n);
        total += n;
    }
}

QByteArray HashFile(const QString& path) {
    const ReadFd file(path);
    return mUtility::HashSampleBytes(file.Get(), 0, file.Size(path), path);
}

qint64 SizeOf(const QString& path) {
    struct stat st {};
    return ::stat(NativeName::Encode(path).constData(), &st) == 0 ? qint64(st.st_size) : -1;
}

bool IsRegularFile(const QString& path) {
    struct stat st {};
    return ::lstat(NativeName::Encode(path).constData(), &st) == 0 && S_ISREG(st.st_mode);
}

void RequireRegularFile(const QString& path) {
    struct stat st {};
    if (::lstat(NativeName::Encode(path).constData(), &st) != 0)
        throw AppError::fromErrno(errno, path);
    if (!S_ISREG(st.st_mode))
        throw AppError::Standard(
            ErrNo::PathFileAccess,
            QStringLiteral("%1 is not a regular file (%2)")
                .arg(path, S_ISLNK(st.st_mode)   ? QStringLiteral("a link is not followed")
                           : S_ISDIR(st.st_mode) ? QStringLiteral("it is a folder")
                                                 : QStringLiteral("it is a device or a pipe")));
}

void CopyAtomically(const QString& from, const QString& to, const QByteArray& expectedSha) {
    AtomicFile out(to, ReadFd(from).Mode());
    Sha256 sha;
    ReadAll(from, [&](const char* data, qint64 count) {
        sha.Add(data, count);
        out.Write(data, count);
    });
    if (!expectedSha.isEmpty() && sha.Hex() != expectedSha)
        throw AppError::Standard(ErrNo::InvalidFileFormat,
                                 QStringLiteral("%1 is not the file it should be (its SHA-256 "
                                                "differs)")
                                     .arg(from));
    out.Commit();
}

void RemoveDurably(const QString& path) {
    if (::unlink(NativeName::Encode(path).constData()) != 0) {
        if (errno == ENOENT) return;
        throw AppError::fromErrno(errno, path);
    }
    QString folder, name;
    mUtility::SplitPath(path, folder, name);
    SyncFolder(folder);
}

void SyncFolder(const QString& folder) {
    const QByteArray native = NativeName::Encode(folder.isEmpty() ? QStringLiteral(".") : folder);
    const int fd = ::open(native.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace Replace
