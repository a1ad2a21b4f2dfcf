#include "FileSource.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <algorithm>
#include <cerrno>

#include "AppError.h"

FileSource::FileSource(const QString& path) : path_(path) {
    fd_ = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd_ < 0) throw AppError::fromErrno(errno, path);
    struct stat st {};
    int err = 0;
    if (::fstat(fd_, &st) != 0) {
        err = errno;
    } else if (S_ISDIR(st.st_mode)) {
        err = EISDIR;
    } else if (!S_ISREG(st.st_mode)) {
        err = EINVAL;
    }
    if (err != 0) {
        ::close(fd_);
        fd_ = -1;
        throw AppError::fromErrno(err, path);
    }
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
