#include "UncheckedHeader.h"

#include "AppError.h"
#include "FileSource.h"
#include "HeaderIO.h"

namespace mUtility {

namespace {

void ReadWhole(ByteSource& source, char* buffer, qint64 count) {
    qint64 got = 0;
    if (HeaderIO::ReadExact(source, buffer, count, got) != HeaderIO::ReadStatus::Complete) {
        throw AppError::Standard(
            ErrNo::InputPastEnd,
            QStringLiteral("the header needs %1 bytes, the file holds %2").arg(count).arg(got));
    }
}

}  // namespace

void ReadHeaderUnchecked(ByteSource& source, const QString& extension, SoundInfoRecord& info) {
    const QString type = extension.toUpper();
    if (type == QLatin1String("SND") || type == QLatin1String("WSD")) {
        char bytes[SndHeaderSize];
        ReadWhole(source, bytes, SndHeaderSize);
        info.StoreSndFields(HeaderIO::DecodeSnd(bytes));
    } else if (type == QLatin1String("WAV")) {
        char bytes[WavHeaderSize];
        ReadWhole(source, bytes, WavHeaderSize);
        info.StoreWavImage(HeaderIO::DecodeWav(bytes));
    } else {
        throw AppError::Standard(ErrNo::InvalidProcedureCall,
                                 QStringLiteral("not a sound file type: ") + extension);
    }
}

void ReadHeaderUnchecked(const QString& path, const QString& extension, SoundInfoRecord& info) {
    FileSource source(path);
    ReadHeaderUnchecked(source, extension, info);
}

}  // namespace mUtility
