#include "PackArchive.h"

#include <archive.h>
#include <archive_entry.h>
#include <sys/stat.h>

#include <QDateTime>
#include <QFile>
#include <algorithm>
#include <cerrno>

#include "AppError.h"
#include "NativeName.h"

namespace Replace {

PackReader::PackReader(const QString& zipPath) : path_(zipPath), a_(archive_read_new()) {
    if (!a_) throw AppError::Standard(ErrNo::OutOfMemory, zipPath);
    // The central directory decides what the pack holds: a zip cut short is damaged.
    archive_read_support_format_zip_seekable(a_);
    if (archive_read_open_filename(a_, NativeName::Encode(zipPath).constData(), 64 << 10) !=
        ARCHIVE_OK) {
        const int err = archive_errno(a_);
        // A file that cannot be opened is not a damaged pack.
        if (err == ENOENT || err == EACCES || err == EISDIR)
            throw AppError::fromErrno(err, zipPath);
        Damaged(QString::fromUtf8(archive_error_string(a_)));
    }
}

PackReader::~PackReader() {
    archive_read_free(a_);
}

void PackReader::Damaged(const QString& detail) const {
    QString text = QStringLiteral("%1 is not a sound pack or is damaged").arg(path_);
    if (!current_.isEmpty()) text += QStringLiteral(" (at %1)").arg(current_);
    if (!detail.isEmpty()) text += QStringLiteral(": ") + detail;
    throw AppError::Standard(ErrNo::InvalidFileFormat, text);
}

bool PackReader::Next(ArchiveEntry& out) {
    archive_entry* entry = nullptr;
    const int r = archive_read_next_header(a_, &entry);
    if (r == ARCHIVE_EOF) return false;
    if (r != ARCHIVE_OK) Damaged(QString::fromUtf8(archive_error_string(a_)));
    const char* name = archive_entry_pathname(entry);
    out.Name = NativeName::Decode(QByteArray(name ? name : ""));
    current_ = out.Name;
    const mode_t type = archive_entry_filetype(entry);
    out.Link = type == AE_IFLNK || archive_entry_hardlink(entry) != nullptr ||
               archive_entry_symlink(entry) != nullptr;
    out.Regular = type == AE_IFREG && !out.Link;
    out.DeclaredSize = archive_entry_size_is_set(entry) ? archive_entry_size(entry) : -1;
    return true;
}

qint64 PackReader::Read(const std::function<void(const char*, qint64)>& sink) {
    const la_int64_t packedStart = archive_filter_bytes(a_, -1);
    qint64 total = 0;
    const void* block = nullptr;
    size_t size = 0;
    la_int64_t offset = 0;
    for (;;) {
        const int r = archive_read_data_block(a_, &block, &size, &offset);
        if (r == ARCHIVE_EOF) break;
        if (r != ARCHIVE_OK) Damaged(QString::fromUtf8(archive_error_string(a_)));
        // A sparse gap counts as bytes too.
        const qint64 end = qint64(offset) + qint64(size);
        if (end < total) Damaged(QStringLiteral("blocks out of order"));
        const qint64 packed = qint64(archive_filter_bytes(a_, -1) - packedStart);
        if (end > UnpackLimits::MaxBytes ||
            (end > UnpackLimits::RatioFloor &&
             end > UnpackLimits::MaxRatio * std::max<qint64>(packed, 1)))
            throw AppError::Standard(
                ErrNo::InvalidFileFormat,
                QStringLiteral("%1: %2 unpacks to more than a sound pack may hold (a zip bomb?)")
                    .arg(path_, current_));
        if (qint64(offset) > total) {
            const QByteArray zeros(qsizetype(qint64(offset) - total), '\0');
            sink(zeros.constData(), zeros.size());
        }
        sink(static_cast<const char*>(block), qint64(size));
        total = end;
    }
    return total;
}

namespace {

quint64 LittleEndian(const QByteArray& bytes, qsizetype at, int width) {
    quint64 value = 0;
    for (int i = width - 1; i >= 0; --i) value = value << 8 | quint8(bytes[at + i]);
    return value;
}

// `count` bytes of `file` from `offset`; empty when they are not all there.
QByteArray ReadAt(QFile& file, qint64 offset, qint64 count) {
    if (offset < 0 || count < 0 || offset > file.size() || count > file.size() - offset) return {};
    if (!file.seek(offset)) return {};
    QByteArray bytes = file.read(count);
    return bytes.size() == count ? bytes : QByteArray();
}

// Where the central directory lies and how long it is; {-1, 0} when unknown.
std::pair<qint64, qint64> CentralDirectory(QFile& file) {
    constexpr qint64 kEnd = 22, kMaxComment = 0xFFFF;
    const qint64 tailStart = std::max<qint64>(0, file.size() - kEnd - kMaxComment);
    const QByteArray tail = ReadAt(file, tailStart, file.size() - tailStart);
    const qsizetype end = tail.lastIndexOf(QByteArray("PK\x05\x06", 4));
    if (end < 0 || tail.size() - end < kEnd) return {-1, 0};
    qint64 size = qint64(LittleEndian(tail, end + 12, 4));
    qint64 offset = qint64(LittleEndian(tail, end + 16, 4));
    if (offset == 0xFFFFFFFF || size == 0xFFFFFFFF) {
        // ZIP64: a locator just before the end record gives the larger record.
        const QByteArray locator = ReadAt(file, tailStart + end - 20, 20);
        if (!locator.startsWith(QByteArray("PK\x06\x07", 4))) return {-1, 0};
        const QByteArray record = ReadAt(file, qint64(LittleEndian(locator, 8, 8)), 56);
        if (!record.startsWith(QByteArray("PK\x06\x06", 4))) return {-1, 0};
        size = qint64(LittleEndian(record, 40, 8));
        offset = qint64(LittleEndian(record, 48, 8));
    }
    return {offset, size};
}

}  // namespace

QString SpecialEntry(const QString& zipPath) {
    QFile file(zipPath);
    if (!file.open(QIODevice::ReadOnly)) return {};
    const auto [offset, size] = CentralDirectory(file);
    const QByteArray dir = ReadAt(file, offset, size);
    constexpr qsizetype kHeader = 46;
    constexpr int kUnix = 3;
    for (qsizetype at = 0; at + kHeader <= dir.size();) {
        if (LittleEndian(dir, at, 4) != 0x02014b50) break;
        const qsizetype nameLength = qsizetype(LittleEndian(dir, at + 28, 2));
        const qsizetype next = at + kHeader + nameLength +
                               qsizetype(LittleEndian(dir, at + 30, 2)) +
                               qsizetype(LittleEndian(dir, at + 32, 2));
        if (next > dir.size()) break;
        const mode_t type = mode_t(LittleEndian(dir, at + 38, 4) >> 16) & S_IFMT;
        if (quint8(dir[at + 5]) == kUnix && type != 0 && type != S_IFREG && type != S_IFDIR &&
            type != S_IFLNK)
            return NativeName::Decode(dir.mid(at + kHeader, nameLength));
        at = next;
    }
    return {};
}

PackWriter::PackWriter(int fd, const QString& zipPath) : path_(zipPath), a_(archive_write_new()) {
    if (!a_) throw AppError::Standard(ErrNo::OutOfMemory, zipPath);
    if (archive_write_set_format_zip(a_) != ARCHIVE_OK ||
        archive_write_zip_set_compression_deflate(a_) != ARCHIVE_OK ||
        archive_write_set_bytes_in_last_block(a_, 1) != ARCHIVE_OK ||
        archive_write_open_fd(a_, fd) != ARCHIVE_OK)
        Fail();
}

PackWriter::~PackWriter() {
    archive_write_free(a_);
}

void PackWriter::Fail() const {
    const int err = archive_errno(a_);
    if (err == ENOSPC || err == EDQUOT || err == EIO || err == EFBIG)
        throw AppError::fromErrno(err, path_);
    throw AppError::Standard(ErrNo::DeviceIO, path_ + QStringLiteral(": ") +
                                                  QString::fromUtf8(archive_error_string(a_)));
}

void PackWriter::Begin(const QString& name, qint64 size) {
    archive_entry* entry = archive_entry_new();
    const QByteArray native = NativeName::Encode(name);
    archive_entry_set_pathname(entry, native.constData());
    archive_entry_set_size(entry, size);
    archive_entry_set_filetype(entry, AE_IFREG);
    archive_entry_set_perm(entry, 0644);
    archive_entry_set_mtime(entry, QDateTime::currentSecsSinceEpoch(), 0);
    const int r = archive_write_header(a_, entry);
    archive_entry_free(entry);
    if (r != ARCHIVE_OK) Fail();
}

void PackWriter::Write(const char* data, qint64 count) {
    while (count > 0) {
        const la_ssize_t n = archive_write_data(a_, data, size_t(count));
        if (n <= 0) Fail();
        data += n;
        count -= n;
    }
}

void PackWriter::Finish() {
    if (archive_write_close(a_) != ARCHIVE_OK) Fail();
}

}  // namespace Replace
