#pragma once

#include <QString>

#include "ByteSource.h"
#include "FileIdentity.h"

// A regular file opened for reading. The constructor throws AppError (from
// errno: 53 for a missing file, 75 for a denied one, ...) when the file cannot
// be opened, and AppError 75 saying what it is ("x.snd is a named pipe, not a
// regular file") when it is not a regular file; the descriptor is closed on
// destruction.
// Opening never blocks, even on a FIFO that carries a sound file's name.
class FileSource : public ByteSource {
public:
    explicit FileSource(const QString& path);
    // For a caller that has just seen `path` as a regular file (its own stat):
    // the look before opening is not repeated; what is opened is still checked.
    enum SeenRegularTag { SeenRegular };
    FileSource(const QString& path, SeenRegularTag);
    ~FileSource() override;
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    qint64 Read(char* buffer, qint64 count) override;
    qint64 Size() const override { return size_; }
    qint64 Skip(qint64 count) override;

    int Fd() const { return fd_; }
    const QString& Path() const { return path_; }
    // The file's type and permission bits (st_mode) when it was opened.
    unsigned Mode() const { return mode_; }
    // The file opened, whatever name or link reached it.
    mUtility::FileIdentity Identity() const { return identity_; }

private:
    void Open(const QByteArray& name);

    QString path_;
    int fd_ = -1;
    qint64 size_ = 0;
    unsigned mode_ = 0;
    mUtility::FileIdentity identity_{};
};
