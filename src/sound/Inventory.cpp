#include "Inventory.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QSet>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

#include "FileIdentity.h"
#include "FileSource.h"
#include "Inspection.h"
#include "NativeName.h"
#include "Sha256.h"
#include "SoundInfo.h"
#include "UncheckedHeader.h"

namespace mUtility {

namespace {

bool NameLess(const QString& a, const QString& b) {
    const int c = a.compare(b, Qt::CaseInsensitive);
    return c != 0 ? c < 0 : a < b;
}

class Lister {
public:
    Lister(bool recursive, QList<AppError>& errors) : recursive_(recursive), errors_(errors) {}

    void Walk(const QString& folder) {
        const QByteArray native =
            NativeName::Encode(folder.isEmpty() ? QStringLiteral(".") : folder);
        const int fd = ::open(native.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) return Fail(errno, folder);
        struct stat st {};
        if (::fstat(fd, &st) != 0) {
            const int err = errno;
            ::close(fd);
            return Fail(err, folder);
        }
        if (seen_.contains({st.st_dev, st.st_ino})) {
            ::close(fd);
            return;
        }
        seen_.insert({st.st_dev, st.st_ino});
        DIR* dir = ::fdopendir(fd);
        if (!dir) {
            const int err = errno;
            ::close(fd);
            return Fail(err, folder);
        }
        QList<ListedFile> files;
        QStringList folders;
        for (;;) {
            errno = 0;  // fstatat below may leave it set; only readdir's own failure counts
            const dirent* e = ::readdir(dir);
            if (!e) break;
            const char* n = e->d_name;
            if (n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0))) continue;
            if (std::strcmp(n, StoreFolderName) == 0) continue;
            const QString name = NativeName::Decode(QByteArray(n));
            unsigned char type = e->d_type;
            const bool regular = type == DT_REG;
            const bool sound = IsSoundFileName(name);
            if (!sound && !recursive_) continue;
            if (type == DT_UNKNOWN || type == DT_LNK) {
                struct stat target {};
                type =
                    ::fstatat(fd, n, &target, 0) == 0 && S_ISDIR(target.st_mode) ? DT_DIR : DT_REG;
            }
            if (type == DT_DIR) {
                if (recursive_) folders << name;
            } else if (sound) {
                files << ListedFile{name, regular};
            }
        }
        const int readErr = errno;
        ::closedir(dir);
        if (readErr != 0) Fail(readErr, folder);
        std::sort(files.begin(), files.end(), [](const ListedFile& a, const ListedFile& b) {
            return NameLess(a.path, b.path);
        });
        std::sort(folders.begin(), folders.end(), NameLess);
        for (const ListedFile& file : files)
            found_ << ListedFile{JoinPath(folder, file.path), file.regular};
        for (const QString& name : folders) Walk(JoinPath(folder, name));
    }

    QList<ListedFile> found_;

private:
    void Fail(int err, const QString& folder) { errors_ << AppError::fromErrno(err, folder); }

    bool recursive_;
    QList<AppError>& errors_;
    QSet<FileIdentity> seen_;
};

QString Num(qint64 value) {
    return QString::number(value);
}

}  // namespace

QString OneLine(const QString& message) {
    return message.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts).join(QLatin1Char(' '));
}

bool IsSoundFileName(const QString& name) {
    if (name.size() < 4 || name[name.size() - 4] != QLatin1Char('.')) return false;
    const QStringView ext = QStringView(name).right(3);
    for (const char* type : {"snd", "wsd", "wav"})
        if (ext.compare(QLatin1String(type), Qt::CaseInsensitive) == 0) return true;
    return false;
}

QList<ListedFile> ListSoundFiles(const QString& folder, bool recursive, QList<AppError>& errors) {
    Lister lister(recursive, errors);
    lister.Walk(folder);
    return lister.found_;
}

QStringList SoundFilesIn(const QString& folder, bool recursive, QList<AppError>& errors) {
    QStringList paths;
    for (const ListedFile& file : ListSoundFiles(folder, recursive, errors)) paths << file.path;
    return paths;
}

bool InventoryRow::IsGameType() const {
    return Type == QLatin1String("SND") || Type == QLatin1String("WSD");
}

qint64 FrameBytes(qint32 bitsPerSample, qint32 channels) {
    if ((bitsPerSample != 8 && bitsPerSample != 16) || (channels != 1 && channels != 2)) return 0;
    return qint64(bitsPerSample / 8) * channels;
}

qint64 SampleDataOffset(const SoundInfoRecord& info) {
    return info.Extension == QLatin1String("WAV") ? info.DataOffset : SndHeaderSize;
}

void RequireFolder(const QString& folder) {
    struct stat st {};
    if (::stat(NativeName::Encode(folder).constData(), &st) != 0)
        throw AppError::fromErrno(errno, folder);
    if (!S_ISDIR(st.st_mode))
        throw AppError::Standard(ErrNo::PathNotFound,
                                 QStringLiteral("%1 is a file, not a folder").arg(folder));
}

InventoryRow InventoryRowOf(const QString& path, bool hash, SoundInfoRecord* infoOut,
                            InspectionResult* result, bool seenRegular) {
    InventoryRow row;
    row.Path = path;
    QString folder, name;
    SplitPath(path, folder, name);
    SoundInfoRecord own;
    SoundInfoRecord& info = infoOut ? *infoOut : own;
    info = SoundInfoRecord();
    SelectFile(info, folder, name);
    row.Type = IsSoundFileName(name) ? info.Extension : TypeOfName(name);
    try {
        FileSource source =
            seenRegular ? FileSource(path, FileSource::SeenRegular) : FileSource(path);
        InspectionResult own_result;
        InspectionResult& r = result ? *result : own_result;
        r = InspectSource(source, info);
        row.File = source.Identity();
        row.Valid = r.IsValid();
        row.Refusal = row.Valid ? QString() : OneLine(r.MessageText);
        row.HasHeader = r.Outcome != InspectionOutcome::MalformedWav &&
                        source.Size() >= (row.IsGameType() ? SndHeaderSize : WavHeaderSize);
        // A refused game header shows its fields as they are on disk, not only
        // those the checks reached.
        if (!row.Valid && row.HasHeader && row.IsGameType()) {
            FileSource again(path);
            ReadHeaderUnchecked(again, row.Type, info);
        }
        row.EightBitFlag = info.EightBitFlag;
        row.InternalID = info.InternalID;
        row.DataLength = info.DataLength;
        row.SampleRate = info.SampleRate;
        row.BitsPerSample = info.BitsPerSample;
        row.Channels = info.Channels;
        if (!row.Valid) return row;
        const qint64 frameBytes = FrameBytes(info.BitsPerSample, info.Channels);
        if (frameBytes > 0) {
            row.Frames = info.DataLength / frameBytes;
            if (info.SampleRate > 0) row.Seconds = double(row.Frames) / info.SampleRate;
        }
        if (hash)
            row.Sha256 =
                HashSampleBytes(source.Fd(), SampleDataOffset(info), info.DataLength, path);
    } catch (const AppError& e) {
        const QString type = row.Type;
        row = InventoryRow();
        row.Path = path;
        row.Type = type;
        row.Readable = false;
        row.Refusal = QStringLiteral("error %1: %2").arg(e.Number).arg(e.Description);
        row.Error = e;
    }
    return row;
}

QByteArray HashSampleBytes(int fd, qint64 offset, qint64 count, const QString& path) {
    constexpr qint64 kChunk = 128 << 10;  // small enough to be hashed while still in the cache
    ::posix_fadvise(fd, offset, count, POSIX_FADV_SEQUENTIAL);
    Sha256 sha;
    const auto buffer = std::make_unique<char[]>(size_t(std::min(count, kChunk) + 1));
    while (count > 0) {
        const ssize_t n = ::pread(fd, buffer.get(), size_t(std::min(count, kChunk)), offset);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw AppError::fromErrno(errno, path);
        if (n == 0)
            throw AppError::Standard(
                ErrNo::InputPastEnd,
                QStringLiteral("%1 ended %2 bytes short of its data length").arg(path).arg(count));
        sha.Add(buffer.get(), n);
        offset += n;
        count -= n;
    }
    return sha.Hex();
}

QString CsvField(const QString& text) {
    static const QString special = QStringLiteral(",\"\r\n");
    if (std::none_of(text.begin(), text.end(), [](QChar c) { return special.contains(c); }))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QByteArray CsvBytes(const QString& text) {
    return NativeName::Encode(text);
}

QString CsvPath(const QString& path) {
    static const QString formulaStarts = QStringLiteral("=+-@\t\r");
    if (!path.isEmpty() && formulaStarts.contains(path.front())) return QStringLiteral("./") + path;
    return path;
}

QString CsvHeaderLine(bool hash) {
    return QStringLiteral(
               "path,type,valid,refusal,eight_bit_flag,internal_id,data_length,sample_rate,"
               "bit_depth,channels,frames,duration_s") +
           (hash ? QStringLiteral(",sha256\r\n") : QStringLiteral("\r\n"));
}

QString CsvLine(const InventoryRow& row, bool hash) {
    QStringList f{CsvField(CsvPath(row.Path)), CsvField(row.Type),
                  row.Valid ? QStringLiteral("true") : QStringLiteral("false"),
                  CsvField(row.Refusal)};
    const bool header = row.HasHeader;
    const bool game = header && row.IsGameType();
    f << (game ? Num(row.EightBitFlag) : QString()) << (game ? Num(row.InternalID) : QString());
    for (qint64 v : {qint64(row.DataLength), qint64(row.SampleRate), qint64(row.BitsPerSample),
                     qint64(row.Channels)})
        f << (header ? Num(v) : QString());
    f << (row.Frames >= 0 ? Num(row.Frames) : QString());
    f << (row.Seconds >= 0 ? QString::number(row.Seconds, 'f', 6) : QString());
    if (hash) f << QString::fromLatin1(row.Sha256);
    return f.join(QLatin1Char(',')) + QStringLiteral("\r\n");
}

}  // namespace mUtility
