#include "PreviewFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QRandomGenerator>
#include <algorithm>
#include <cerrno>
#include <limits>
#include <utility>

#include "AppError.h"
#include "Conversion.h"
#include "HeaderIO.h"
#include "NativeName.h"
#include "SampleCopier.h"
#include "SoundInfo.h"
#include "cFileSystem.h"
#include "cRandomString.h"

// The copy's descriptor: closed, and unless kept, the file removed.
class PreviewCopy::Output {
public:
    Output(int fd, QString path) : fd_(fd), path_(std::move(path)) {}
    ~Output() {
        if (fd_ >= 0) ::close(fd_);
        if (!kept_) ::unlink(NativeName::Encode(path_).constData());
    }
    int fd() const { return fd_; }
    // A copy whose closing fails may lack data: it is removed then.
    void keep() {
        const int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0) throw AppError::fromErrno(errno, path_);
        kept_ = true;
    }

private:
    int fd_;
    QString path_;
    bool kept_ = false;
};

namespace {

constexpr int kMaxNameDraws = 100;

void writeAll(int fd, const char* data, qint64 size, const QString& path) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, static_cast<size_t>(size));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) throw AppError::fromErrno(n < 0 ? errno : ENOSPC, path);
        data += n;
        size -= n;
    }
}

qint64 sampleOffset(const mUtility::SoundInfoRecord& info) {
    if (info.Extension == QLatin1String("SND") || info.Extension == QLatin1String("WSD"))
        return SndHeaderSize;
    if (info.Extension == QLatin1String("WAV")) return info.DataOffset;
    return -1;
}

// $TMPDIR naming a folder that does not exist, or a file, gives empty text:
// use /tmp then, as most programs do.
QString TemporaryFolder() {
    const QString folder = cFileSystem().GetWinTempPath();
    return folder.isEmpty() ? QStringLiteral("/tmp/") : folder;
}

}  // namespace

QString PreviewFile::RandomName() {
    const int pairs = static_cast<int>(QRandomGenerator::global()->generateDouble() * 10 + 5);
    const cRandomString random;
    QString name;
    for (int i = 0; i < pairs; ++i)
        name += random.Generate(QStringLiteral("[0-9]")) + random.Generate(QStringLiteral("[A-Z]"));
    return name;
}

int PreviewFile::CreateExclusive(const QString& folder, QString* path,
                                 const std::function<QString()>& nextName) {
    // A relative folder would put the file wherever the program was started.
    if (!folder.startsWith(QLatin1Char('/'))) {
        throw AppError::Standard(
            ErrNo::PathNotFound,
            QStringLiteral("the temporary folder \"%1\" is not an absolute path").arg(folder));
    }
    int lastError = EEXIST;
    for (int draw = 0; draw < kMaxNameDraws; ++draw) {
        const QString candidate = folder + nextName() + QStringLiteral(".wav");
        const QByteArray native = NativeName::Encode(candidate);
        const int fd =
            ::open(native.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd >= 0) {
            *path = candidate;
            return fd;
        }
        lastError = errno;
        if (lastError != EEXIST) break;
    }
    throw AppError::fromErrno(lastError, folder);
}

void PreviewFile::FillWavHeader(mUtility::SoundInfoRecord& info) {
    using HeaderIO::MakeFourCC;
    // A data length near 2 GiB leaves no room for the 36 header bytes: the
    // RIFF size stops at the field's largest value, as a conversion writes it.
    const qint64 riffSize =
        std::min<qint64>(qint64(info.DataLength) + 36, std::numeric_limits<qint32>::max());
    info.Riff = {MakeFourCC("RIFF"), static_cast<qint32>(riffSize), MakeFourCC("WAVE")};
    info.FmtChunk = {MakeFourCC("fmt "), 16};
    info.FormatTag = 1;
    info.DataChunk = {MakeFourCC("data"), info.DataLength};
    const int bytesPerFrame = info.BitsPerSample / 8 * info.Channels;
    const bool known = (info.BitsPerSample == 8 || info.BitsPerSample == 16) &&
                       (info.Channels == 1 || info.Channels == 2);
    if (!known) return;
    info.ByteRate = mUtility::ByteRateFor(info.SampleRate, info.BitsPerSample, info.Channels);
    info.BlockAlign = static_cast<qint16>(bytesPerFrame);
}

QString PreviewFile::Write(const QString& source, mUtility::SoundInfoRecord& info) {
    PreviewCopy copy(source, info);
    copy.Finish();
    return copy.Path();
}

PreviewCopy::PreviewCopy(const QString& source, mUtility::SoundInfoRecord& info) : source_(source) {
    if (info.DataLength < 0) throw AppError(9, QStringLiteral("Subscript out of range"));
    offset_ = sampleOffset(info);
    size_ = WavHeaderSize + qint64(info.DataLength);
    in_ = ::open(NativeName::Encode(source).constData(), O_RDONLY | O_CLOEXEC);
    if (in_ < 0) throw AppError::fromErrno(errno, source);
    try {
        struct stat st {};
        const qint64 sourceSize = ::fstat(in_, &st) == 0 ? st.st_size : 0;
        available_ =
            offset_ < 0 ? 0 : qBound(qint64(0), sourceSize - offset_, qint64(info.DataLength));
        out_ = std::make_unique<Output>(PreviewFile::CreateExclusive(TemporaryFolder(), &path_),
                                        path_);
        PreviewFile::FillWavHeader(info);
        WavHeaderImage image{info.Riff, info.FmtChunk,
                             WaveFormat{info.FormatTag, info.Channels, info.SampleRate,
                                        info.ByteRate, info.BlockAlign, info.BitsPerSample},
                             info.DataChunk};
        char header[WavHeaderSize];
        HeaderIO::EncodeWav(image, header);
        writeAll(out_->fd(), header, WavHeaderSize, path_);
        worker_ = std::thread([this] { copySamples(); });
    } catch (...) {
        ::close(in_);
        throw;
    }
}

PreviewCopy::~PreviewCopy() {
    try {
        Finish();
    } catch (...) {
        // Reported by Finish to whoever waited; the file is gone either way.
    }
}

qint64 PreviewCopy::SamplesOffset() const {
    return available_ > 0 ? offset_ : WavHeaderSize;
}

void PreviewCopy::copySamples() {
    try {
        if (available_ > 0)
            SampleCopier::Copy(in_, offset_, out_->fd(), available_, source_, path_);
        // What the source lacks reads as zero, as in a zero-filled buffer.
        if (::ftruncate(out_->fd(), size_) != 0) throw AppError::fromErrno(errno, path_);
    } catch (...) {
        error_ = std::current_exception();
    }
}

void PreviewCopy::Finish() {
    if (worker_.joinable()) worker_.join();
    if (in_ >= 0) ::close(std::exchange(in_, -1));
    if (!error_ && out_) {
        try {
            out_->keep();
        } catch (...) {
            error_ = std::current_exception();
        }
    }
    out_.reset();
    if (error_) std::rethrow_exception(error_);
}
