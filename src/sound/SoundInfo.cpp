#include "SoundInfo.h"

#include "AppError.h"
#include "NativeName.h"

namespace mUtility {

SoundInfoRecord SoundInfo;
QString StatusText;
qint16 ConvertedCount = 0;
bool AutoPlaying = false;
QString sPreviewFile;

QString JoinPath(const QString& folder, const QString& name) {
    if (folder.isEmpty()) return name;
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

void SplitPath(const QString& path, QString& folder, QString& name) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    folder = slash < 0 ? QString() : (slash == 0 ? QStringLiteral("/") : path.left(slash));
    name = path.mid(slash + 1);
}

QString OutputName(const QString& name, const QString& fromType, const QString& toType) {
    return NativeName::ToUpper(name).replace(QLatin1Char('.') + fromType.toUpper(),
                                             QLatin1Char('.') + toType.toUpper(),
                                             Qt::CaseSensitive);
}

QString TypeOfName(const QString& name) {
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot + 1).toUpper();
}

QString BatchOutputName(const QString& entry, const QString& fromType, const QString& toType) {
    if (TypeOfName(entry) != fromType.toUpper()) {
        throw AppError::Standard(
            ErrNo::InvalidProcedureCall,
            QStringLiteral("%1 is not a .%2 file").arg(entry, fromType.toLower()));
    }
    const QString output = OutputName(entry, fromType, toType);
    if (output == entry) {
        throw AppError::Standard(
            ErrNo::InvalidProcedureCall,
            QStringLiteral("%1 would be converted onto itself; nothing was written").arg(entry));
    }
    return output;
}

QString SoundInfoRecord::SourcePath() const {
    return JoinPath(Folder, DiskName);
}

SndHeader SoundInfoRecord::SndImage() const {
    SndHeader h;
    h.EightBitFlag = EightBitFlag;
    h.InternalID = InternalID;
    h.DataLength = DataLength;
    h.SampleRate = SampleRate;
    h.BitsPerSample = BitsPerSample;
    h.Channels = Channels;
    h.Reserved = 0;
    return h;
}

void SoundInfoRecord::StoreSndFields(const SndHeader& h) {
    EightBitFlag = h.EightBitFlag;
    InternalID = h.InternalID;
    DataLength = h.DataLength;
    SampleRate = h.SampleRate;
    BitsPerSample = static_cast<qint16>(h.BitsPerSample);
    Channels = static_cast<qint16>(h.Channels);
}

WavHeaderImage SoundInfoRecord::WavImage() const {
    WavHeaderImage w;
    w.Riff = Riff;
    w.Fmt = FmtChunk;
    w.Format.FormatTag = FormatTag;
    w.Format.Channels = Channels;
    w.Format.SampleRate = SampleRate;
    w.Format.ByteRate = ByteRate;
    w.Format.BlockAlign = BlockAlign;
    w.Format.BitsPerSample = BitsPerSample;
    w.Data = DataChunk;
    return w;
}

void SoundInfoRecord::StoreWavImage(const WavHeaderImage& w) {
    Riff = w.Riff;
    FmtChunk = w.Fmt;
    FormatTag = w.Format.FormatTag;
    Channels = w.Format.Channels;
    SampleRate = w.Format.SampleRate;
    ByteRate = w.Format.ByteRate;
    BlockAlign = w.Format.BlockAlign;
    BitsPerSample = w.Format.BitsPerSample;
    DataChunk = w.Data;
    DataLength = w.Data.Size;
}

}  // namespace mUtility
