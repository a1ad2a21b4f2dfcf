#include "AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>
#include <cstdlib>

#include "AppError.h"

namespace {

QByteArray FolderOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0) return QByteArrayLiteral(".");
    return slash == 0 ? QByteArrayLiteral("/") : path.left(slash);
}

mode_t NewFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// Makes the rename itself durable; a folder that cannot be flushed still holds
// the complete file, so a failure here is not reported.
void SyncFolder(const QByteArray& folder) {
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

AtomicFile::AtomicFile(const QString& destPath)
    : dest_(destPath), destName_(QFile::encodeName(destPath)) {
    QByteArray folder = FolderOf(destName_);
    tempName_ = folder + (folder.endsWith('/') ? "" : "/") + ".zsnd-XXXXXX";
    fd_ = ::mkostemp(tempName_.data(), O_CLOEXEC);
    if (fd_ < 0) {
        tempName_.clear();
        throw AppError::fromErrno(errno, dest_);
    }
}

AtomicFile::~AtomicFile() {
    Discard();
}

void AtomicFile::Discard() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!tempName_.isEmpty()) ::unlink(tempName_.constData());
    tempName_.clear();
}

void AtomicFile::Fail(int err) {
    Discard();
    throw AppError::fromErrno(err, dest_);
}

void AtomicFile::Write(const char* data, qint64 count) {
    while (count > 0) {
        const ssize_t n = ::write(fd_, data, static_cast<size_t>(count));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) Fail(n < 0 ? errno : ENOSPC);
        data += n;
        count -= n;
    }
}

void AtomicFile::Commit() {
    if (::fchmod(fd_, NewFileMode()) != 0 || ::fsync(fd_) != 0) Fail(errno);
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) Fail(errno);
    if (::rename(tempName_.constData(), destName_.constData()) != 0) Fail(errno);
    tempName_.clear();
    SyncFolder(FolderOf(destName_));
}
