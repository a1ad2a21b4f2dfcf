#include "EditFile.h"

#include <unistd.h>

#include <cerrno>
#include <limits>

#include "AppError.h"
#include "AtomicFile.h"
#include "EditTime.h"
#include "FileSource.h"

namespace {

constexpr qint64 kSaveChunkFrames = 1 << 18;
constexpr qint64 kChunkBytes = 1 << 20;

void ReadAt(int fd, char* data, qint64 count, qint64 offset, const QString& path) {
    while (count > 0) {
        const ssize_t n = ::pread(fd, data, size_t(count), offset);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw AppError::fromErrno(errno, path);
        if (n == 0)
            throw AppError::Standard(
                ErrNo::InputPastEnd,
                QStringLiteral("%1 is shorter than when it was inspected").arg(path));
        data += n;
        count -= n;
        offset += n;
    }
}

}  // namespace

EditFile::EditFile(const QString& path) : source_(path), refusal_(source_.Refusal()) {
    // A cut's refusal of an empty sound, said as the rule of editing.
    hasNoFrames_ = source_.FrameBytes() != 0 && source_.Frames() == 0;
    if (hasNoFrames_)
        refusal_ = path + QStringLiteral(" holds no frames; ") + EditSpan::NoFramesProblem(0);
    if (!refusal_.isEmpty()) return;
    const SampleFormat format{Info().BitsPerSample, Info().Channels};
    const qint64 bytes = source_.Frames() * source_.FrameBytes();
    const int sampleBytes = format.bits / 8;
    std::vector<qint16> samples(size_t(bytes / sampleBytes));
    std::vector<char> chunk(size_t(std::min(bytes, kChunkBytes)));
    FileSource file(path);
    sourceMode_ = file.Mode();
    for (qint64 done = 0; done < bytes; done += kChunkBytes) {
        const qint64 n = std::min(kChunkBytes, bytes - done);
        ReadAt(file.Fd(), chunk.data(), n, source_.DataOffset() + done, path);
        EditedSound::DecodeBytes(format, chunk.data(), n, samples.data() + done / sampleBytes);
    }
    sound_ = EditedSound(format, std::move(samples));
}

void EditFile::Save(const EditedSound& sound, const QString& dest) const {
    const qint64 length = sound.Frames() * sound.Format().FrameBytes();
    if (length > std::numeric_limits<qint32>::max())
        throw AppError::Standard(ErrNo::InvalidProcedureCall,
                                 QStringLiteral("%1 would be too long for its header").arg(dest));
    const QByteArray header = source_.HeaderFor(dest, static_cast<qint32>(length));
    AtomicFile file(dest, sourceMode_);
    file.Write(header.constData(), header.size());
    std::vector<char> bytes;
    for (qint64 done = 0; done < sound.Frames(); done += kSaveChunkFrames) {
        bytes.clear();
        sound.AppendBytes(done, std::min(kSaveChunkFrames, sound.Frames() - done), bytes);
        file.Write(bytes.data(), qint64(bytes.size()));
    }
    file.Commit();
}
