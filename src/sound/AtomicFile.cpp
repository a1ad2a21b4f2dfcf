#include "AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "AppError.h"
#include "NativeName.h"
#include "TempFiles.h"

namespace {

constexpr char kSuffix[] = ".partial";
constexpr int kNameMax = 255;

QByteArray FolderOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0) return QByteArrayLiteral(".");
    return slash == 0 ? QByteArrayLiteral("/") : path.left(slash);
}

// ".BOOM.WAV.XXXXXX.partial" beside "BOOM.WAV": hidden, and a user can tell
// what it was for. A long name is cut so the whole stays a legal name.
QByteArray TempTemplate(const QByteArray& destName) {
    const QByteArray folder = FolderOf(destName);
    const qsizetype slash = destName.lastIndexOf('/');
    const QByteArray added = QByteArrayLiteral(".XXXXXX") + kSuffix;
    const QByteArray base = destName.mid(slash + 1).left(kNameMax - 1 - added.size());
    return folder + (folder.endsWith('/') ? "" : "/") + '.' + base + added;
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

AtomicFile::AtomicFile(const QString& destPath, unsigned sourceMode)
    : dest_(destPath), destName_(NativeName::Encode(destPath)), newFileLimit_(sourceMode & 0666) {
    tempName_ = TempTemplate(destName_);
    const TempFiles::SignalsHeld held;
    fd_ = ::mkostemps(tempName_.data(), static_cast<int>(sizeof kSuffix - 1), O_CLOEXEC);
    if (fd_ < 0) {
        const int err = errno;
        tempName_.clear();
        throw AppError::fromErrno(err, dest_);
    }
    ticket_ = TempFiles::Remember(tempName_);
}

AtomicFile::~AtomicFile() {
    Discard();
}

void AtomicFile::Discard() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!tempName_.isEmpty()) ::unlink(tempName_.constData());
    TempFiles::Forget(ticket_);
    ticket_ = -1;
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

void AtomicFile::TakeOverMode() {
    struct stat old {};
    if (::lstat(destName_.constData(), &old) == 0 && S_ISREG(old.st_mode)) {
        // Owner and group first: a change of owner clears set-id bits. Where
        // the process may not give the file away, it keeps at least the group.
        if (::fchown(fd_, old.st_uid, old.st_gid) != 0) (void)!::fchown(fd_, -1, old.st_gid);
        if (::fchmod(fd_, old.st_mode & 07777) != 0) Fail(errno);
        return;
    }
    if (::fchmod(fd_, newFileLimit_ & ~TempFiles::ProcessUmask()) != 0) Fail(errno);
}

void AtomicFile::Commit() {
    TakeOverMode();
    if (::fsync(fd_) != 0) Fail(errno);
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) Fail(errno);
    if (::rename(tempName_.constData(), destName_.constData()) != 0) Fail(errno);
    TempFiles::Forget(ticket_);
    ticket_ = -1;
    tempName_.clear();
    SyncFolder(FolderOf(destName_));
}
