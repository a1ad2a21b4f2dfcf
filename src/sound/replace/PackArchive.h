#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

struct archive;

namespace Replace {

// Limits on what one entry of a pack may unpack to: a zip bomb is refused
// long before it fills a disk, while a long stretch of silence, which packs
// very small, is still taken.
struct UnpackLimits {
    static constexpr qint64 MaxBytes = 256ll << 20;   // never more than this
    static constexpr qint64 RatioFloor = 16ll << 20;  // beyond this ...
    static constexpr qint64 MaxRatio = 100;           // ... at most this times its packed size
};

// One entry of a zip as its header describes it.
struct ArchiveEntry {
    QString Name;              // the name as stored, bytes decoded as NativeName does
    bool Regular = false;      // a plain file (not a folder, a link or a device)
    bool Link = false;         // a symbolic or hard link
    qint64 DeclaredSize = -1;  // -1 when the header gives none
};

// Reads a zip file entry by entry through libarchive. Every failure throws
// AppError 321 with a message that says the pack is damaged.
class PackReader {
public:
    explicit PackReader(const QString& zipPath);
    ~PackReader();
    PackReader(const PackReader&) = delete;
    PackReader& operator=(const PackReader&) = delete;

    // The next entry, false at the end.
    bool Next(ArchiveEntry& entry);
    // Hands the current entry's bytes to `sink` block by block, enforcing
    // UnpackLimits (AppError 321 naming the entry when one is broken).
    // Returns the number of bytes.
    qint64 Read(const std::function<void(const char*, qint64)>& sink);

private:
    [[noreturn]] void Damaged(const QString& detail) const;

    QString path_;
    QString current_;
    archive* a_ = nullptr;
};

// The name of the first entry that the zip's central directory marks as a
// special file (a named pipe, a device, a socket), or "" when there is none
// or the directory cannot be walked (PackReader then reports the damage).
// The reader turns such entries into plain files, so they are found here.
QString SpecialEntry(const QString& zipPath);

// Writes a zip file into an open descriptor (an AtomicFile's).
class PackWriter {
public:
    PackWriter(int fd, const QString& zipPath);
    ~PackWriter();
    PackWriter(const PackWriter&) = delete;
    PackWriter& operator=(const PackWriter&) = delete;

    // Starts an entry of `size` bytes; the bytes follow through Write.
    void Begin(const QString& name, qint64 size);
    void Write(const char* data, qint64 count);
    // Ends the archive; throws AppError on failure.
    void Finish();

private:
    [[noreturn]] void Fail() const;

    QString path_;
    archive* a_ = nullptr;
};

}  // namespace Replace
