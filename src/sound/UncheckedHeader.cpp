#include "UncheckedHeader.h"

#include "AppError.h"
#include "FileSource.h"
#include "HeaderIO.h"
#include "Inspection.h"
#include "WavReader.h"

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
        const WavReader::Layout layout = WavReader::Read(source);
        if (layout.status == WavReader::Status::TooShort) {
            throw AppError::Standard(ErrNo::InputPastEnd,
                                     QStringLiteral("the header needs %1 bytes, the file holds %2")
                                         .arg(WavHeaderSize)
                                         .arg(layout.Got));
        }
        if (layout.status != WavReader::Status::Found) {
            // Relabelling these bytes would write noise into a game file.
            throw AppError::Standard(ErrNo::InvalidProcedureCall,
                                     layout.status == WavReader::Status::NotIntegerPcm
                                         ? CompressedWavMessage()
                                         : MalformedWavMessage());
        }
        info.StoreWavImage(layout.Image);
        info.DataOffset = layout.DataOffset;
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
