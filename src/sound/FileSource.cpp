#include "FileSource.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <utility>

#include "AppError.h"
#include "NativeName.h"

namespace {

QString KindOf(mode_t mode) {
    if (S_ISDIR(mode)) return QStringLiteral("a folder");
    if (S_ISFIFO(mode)) return QStringLiteral("a named pipe");
    if (S_ISCHR(mode)) return QStringLiteral("a character device");
    if (S_ISBLK(mode)) return QStringLiteral("a block device");
    if (S_ISSOCK(mode)) return QStringLiteral("a socket");
    return QStringLiteral("not a file");
}

AppError OpenError(int err, const QString& path) {
    // A name that was not valid UTF-8 reaches here with U+FFFD in place of its
    // odd bytes when a layer above could not carry them (the desktop's lists).
    if (err == ENOENT && path.contains(QChar::ReplacementCharacter)) {
        AppError e = AppError::Standard(
            ErrNo::BadFileName,
            QStringLiteral("%1: the name on disk is not valid UTF-8 text, so it cannot be "
                           "opened from here; rename the file")
                .arg(path));
        e.LastDllError = err;
        return e;
    }
    return AppError::fromErrno(err, path);
}

[[noreturn]] void NotRegular(const QString& path, mode_t mode) {
    throw AppError::Standard(
        ErrNo::PathFileAccess,
        QStringLiteral("%1 is %2, not a regular file").arg(path, KindOf(mode)));
}

}  // namespace

FileSource::FileSource(const QString& path) : path_(path) {
    const QByteArray name = NativeName::Encode(path);
    struct stat st {};
    // Opening some devices acts on them (a tape rewinds on close): look first.
    if (::stat(name.constData(), &st) == 0 && !S_ISREG(st.st_mode)) NotRegular(path, st.st_mode);
    Open(name);
}

FileSource::FileSource(const QString& path, SeenRegularTag) : path_(path) {
    Open(NativeName::Encode(path));
}

void FileSource::Open(const QByteArray& name) {
    fd_ = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd_ < 0) throw OpenError(errno, path_);
    struct stat st {};
    if (::fstat(fd_, &st) != 0) {
        const int err = errno;
        ::close(std::exchange(fd_, -1));
        throw AppError::fromErrno(err, path_);
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(std::exchange(fd_, -1));
        NotRegular(path_, st.st_mode);
    }
    mode_ = st.st_mode;
    identity_ = {st.st_dev, st.st_ino};
    // O_NONBLOCK stays set: it only kept the open from waiting on a FIFO, and
    // reads of a regular file ignore it.
    size_ = st.st_size;
}

FileSource::~FileSource() {
    if (fd_ >= 0) ::close(fd_);
}

qint64 FileSource::Read(char* buffer, qint64 count) {
    qint64 done = 0;
    while (done < count) {
        const ssize_t n = ::read(fd_, buffer + done, static_cast<size_t>(count - done));
        if (n < 0) {
            if (errno == EINTR) continue;
            throw AppError::fromErrno(errno, path_);
        }
        if (n == 0) break;
        done += n;
    }
    return done;
}

qint64 FileSource::Skip(qint64 count) {
    const off_t at = ::lseek(fd_, 0, SEEK_CUR);
    if (at < 0) throw AppError::fromErrno(errno, path_);
    const qint64 target =
        std::max<qint64>(at, std::min<qint64>(at + std::max<qint64>(count, 0), size_));
    if (::lseek(fd_, target, SEEK_SET) < 0) throw AppError::fromErrno(errno, path_);
    return target - at;
}
