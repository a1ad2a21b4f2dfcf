#pragma once

#include <QByteArray>
#include <QString>

// A new file that replaces its destination only when complete. The bytes go to
// a temporary file ".<name>.<random>.partial" (created exclusively, mode 0600)
// in the destination's folder; Commit() gives it the mode, owner and group of
// the file it replaces (or, for a new file, 0666 less the umask and less every
// permission the source lacks, as cp does: converting a private file gives a
// private file), flushes it to disk and renames it over the destination.
// Every writer of a file names its source's mode, so that rule holds for all. Until then
// the destination is untouched; an AtomicFile destroyed without Commit(), or
// ended by a signal TempFiles looks after, removes its temporary file.
// Every failure throws AppError (from errno: 61 disk full, 75 access denied, ...).
class AtomicFile {
public:
    // For a file made from no other file (demo sounds, a table export).
    static constexpr unsigned NoSource = 0666;

    // `sourceMode`: the st_mode of the file the new one is made from, or NoSource.
    AtomicFile(const QString& destPath, unsigned sourceMode);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // The temporary file's descriptor, positioned after what was written so far.
    int Fd() const { return fd_; }

    // Writes all `count` bytes or throws; a short write is retried, so a full
    // disk shows as an error rather than a shorter file.
    void Write(const char* data, qint64 count);

    void Commit();

private:
    [[noreturn]] void Fail(int err);
    void Discard();
    void TakeOverMode();

    QString dest_;
    QByteArray destName_;
    QByteArray tempName_;
    int fd_ = -1;
    int ticket_ = -1;
    unsigned newFileLimit_;
};
