#include "FrameCut.h"


#include "AppError.h"
#include "AtomicFile.h"
#include "Conversion.h"
#include "ConvertOptions.h"
#include "FileSource.h"
#include "HeaderIO.h"
#include "Inventory.h"
#include "SampleCopier.h"

namespace mUtility {

FrameCut::FrameCut(const QString& sourcePath) : source_(sourcePath) {
    QString folder, name;
    SplitPath(sourcePath, folder, name);
    SelectFile(info_, folder, name);
    FileSource source(sourcePath);
    const InspectionResult r = InspectSource(source, info_);
    if (!r.IsValid()) {
        refusal_ = OneLine(r.MessageText);
        return;
    }
    frameBytes_ = mUtility::FrameBytes(info_.BitsPerSample, info_.Channels);
    if (frameBytes_ == 0) {
        refusal_ = QStringLiteral(
                       "%1 has %2-bit samples in %3 channels; only 8 or 16 bits in "
                       "1 or 2 channels can be cut")
                       .arg(sourcePath)
                       .arg(info_.BitsPerSample)
                       .arg(info_.Channels);
        return;
    }
    frames_ = info_.DataLength / frameBytes_;
    if (frames_ == 0) refusal_ = QStringLiteral("%1 holds no frames to cut").arg(sourcePath);
}

QString FrameCut::RangeProblem(qint64 first, qint64 last) const {
    if (first < 0) return QStringLiteral("the first frame (%1) cannot be negative").arg(first);
    if (first >= frames_)
        return QStringLiteral("the first frame (%1) is beyond the end: %2 has frames 0 to %3")
            .arg(first)
            .arg(source_)
            .arg(frames_ - 1);
    if (last < first)
        return QStringLiteral("the last frame (%1) comes before the first (%2)")
            .arg(last)
            .arg(first);
    if (last >= frames_)
        return QStringLiteral("the last frame (%1) is beyond the end: %2 has frames 0 to %3")
            .arg(last)
            .arg(source_)
            .arg(frames_ - 1);
    return {};
}

QString FrameCut::DestType(const QString& dest) const {
    const QString upper = dest.toUpper();
    for (const char* type : {"WAV", "SND", "WSD"})
        if (upper.endsWith(QLatin1Char('.') + QLatin1String(type))) return QLatin1String(type);
    return info_.Extension;
}

QString FrameCut::DestProblem(const QString& dest) const {
    if (DestType(dest) == QLatin1String("WAV")) return {};
    return OneLine(GameFormatRefusal(info_));
}

void FrameCut::Write(qint64 first, qint64 last, const QString& dest) const {
    if (!refusal_.isEmpty()) throw AppError::Standard(ErrNo::InvalidProcedureCall, refusal_);
    QString problem = DestProblem(dest);
    if (!problem.isEmpty()) throw AppError::Standard(ErrNo::InvalidProcedureCall, problem);
    problem = RangeProblem(first, last);
    if (!problem.isEmpty()) throw AppError::Standard(ErrNo::InvalidProcedureCall, problem);
    const qint32 length = static_cast<qint32>((last - first + 1) * frameBytes_);
    const QByteArray header = HeaderFor(dest, length);
    // The source is opened before the destination is created, so a destination
    // equal to the source still reads the old samples.
    FileSource source(source_);
    const qint64 offset = DataOffset() + first * frameBytes_;
    if (offset + length > source.Size())
        throw AppError::Standard(
            ErrNo::InputPastEnd,
            QStringLiteral("%1 is shorter than when it was inspected").arg(source_));
    AtomicFile file(dest, source.Mode());
    file.Write(header.constData(), header.size());
    SampleCopier::Copy(source.Fd(), offset, file.Fd(), length, source_, dest);
    file.Commit();
}

QByteArray FrameCut::HeaderFor(const QString& dest, qint32 dataLength) const {
    SoundInfoRecord out = info_;
    out.DataLength = dataLength;
    QByteArray header;
    if (DestType(dest) == QLatin1String("WAV")) {
        FillWavImage(out);
        header.resize(WavHeaderSize);
        HeaderIO::EncodeWav(out.WavImage(), header.data());
    } else {
        if (info_.Extension == QLatin1String("WAV")) ConvertOptions::ApplyLoadRule(out);
        header.resize(SndHeaderSize);
        HeaderIO::EncodeSnd(out.SndImage(), header.data());
    }
    return header;
}

qint64 FrameCut::DataOffset() const {
    return SampleDataOffset(info_);
}

}  // namespace mUtility
