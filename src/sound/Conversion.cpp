#include "Conversion.h"

#include <algorithm>
#include <limits>

#include "AppError.h"
#include "AtomicFile.h"
#include "FileSource.h"
#include "HeaderIO.h"
#include "Inspection.h"
#include "SampleCopier.h"
#include "SoundInfo.h"
#include "TrapERR.h"

namespace mUtility {

namespace {

template <typename T>
T Clamped(qint64 value) {
    return static_cast<T>(
        std::clamp<qint64>(value, std::numeric_limits<T>::min(), std::numeric_limits<T>::max()));
}

void CheckFits(qint32 length, const FileSource& source, qint64 offset) {
    const qint64 available = std::max<qint64>(0, source.Size() - offset);
    if (length < 0) {
        throw AppError::Standard(ErrNo::InvalidProcedureCall,
                                 QStringLiteral("the data length is %1 bytes, which cannot be "
                                                "negative (%2 holds %3 bytes after its header)")
                                     .arg(length)
                                     .arg(source.Path())
                                     .arg(available));
    }
    if (length > available) {
        throw AppError::Standard(ErrNo::InputPastEnd,
                                 QStringLiteral("the data length is %1 bytes but %2 holds only "
                                                "%3 bytes after its header")
                                     .arg(length)
                                     .arg(source.Path())
                                     .arg(available));
    }
}

// Header, then the samples, then the rename over the destination; the record
// of the success comes only after that.
void WriteConverted(const QString& sourcePath, qint64 offset, const char* header, qint64 headerSize,
                    const QString& destPath) {
    FileSource source(sourcePath);
    const qint32 length = SoundInfo.DataLength;
    CheckFits(length, source, offset);
    AtomicFile dest(destPath, source.Mode());
    dest.Write(header, headerSize);
    SampleCopier::Copy(source.Fd(), offset, dest.Fd(), length, sourcePath, destPath);
    dest.Commit();
    StatusText += destPath + QStringLiteral(" created successfully!\r\n");
    if (ConvertedCount < std::numeric_limits<qint16>::max()) ++ConvertedCount;
}

}  // namespace

void CheckDataLength(const QString& sourcePath, qint32 length, qint64 offset) {
    CheckFits(length, FileSource(sourcePath), offset);
}

void FillWavImage(SoundInfoRecord& info) {
    info.Riff.ChunkID = HeaderIO::MakeFourCC("RIFF");
    info.Riff.ChunkSize = Clamped<qint32>(qint64(info.DataLength) + 36);
    info.Riff.Format = HeaderIO::MakeFourCC("WAVE");
    info.FmtChunk.ID = HeaderIO::MakeFourCC("fmt ");
    info.FmtChunk.Size = 16;
    info.FormatTag = 1;
    info.DataChunk.ID = HeaderIO::MakeFourCC("data");
    info.DataChunk.Size = info.DataLength;
    info.ByteRate = ByteRateFor(info.SampleRate, info.BitsPerSample, info.Channels);
    info.BlockAlign = BlockAlignFor(info.BitsPerSample, info.Channels);
}

qint16 BlockAlignFor(qint32 bitsPerSample, qint32 channels) {
    const qint64 bytesPerSample = (qint64(bitsPerSample) + 7) / 8;
    return Clamped<qint16>(qint64(channels) * bytesPerSample);
}

qint32 ByteRateFor(qint32 sampleRate, qint32 bitsPerSample, qint32 channels) {
    return Clamped<qint32>(qint64(sampleRate) * BlockAlignFor(bitsPerSample, channels));
}

void MakeSND(const QString& sSourceFile, const QString& sDestFile) {
    try {
        const QString refusal = GameFormatRefusal(SoundInfo);
        if (!refusal.isEmpty()) throw AppError::Standard(ErrNo::InvalidFileFormat, refusal);
        const qint64 offset =
            SoundInfo.Extension == QLatin1String("WAV") ? SoundInfo.DataOffset : SndHeaderSize;
        char header[SndHeaderSize];
        HeaderIO::EncodeSnd(SoundInfo.SndImage(), header);
        WriteConverted(sSourceFile, offset, header, SndHeaderSize, sDestFile);
    }
    ZS_TRAP("mUtility.MakeSND(sSourceFile,sDestFile)", sSourceFile, sDestFile)
}

void MakeWAV(const QString& sSourceFile, const QString& sDestFile) {
    try {
        FillWavImage(SoundInfo);
        char header[WavHeaderSize];
        HeaderIO::EncodeWav(SoundInfo.WavImage(), header);
        WriteConverted(sSourceFile, SndHeaderSize, header, WavHeaderSize, sDestFile);
    }
    ZS_TRAP("mUtility.MakeWAV(sSourceFile,sDestFile)", sSourceFile, sDestFile)
}

}  // namespace mUtility
