#include "Inspection.h"

#include <cstring>

#include "FileSource.h"
#include "HeaderIO.h"
#include "NativeName.h"
#include "WavReader.h"
#include "cFileSystem.h"

namespace mUtility {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

QString Number(qint64 value) {
    return QString::number(value);
}

QString ChannelsText(qint32 channels) {
    if (channels == 1) return QStringLiteral("Mono");
    if (channels == 2) return QStringLiteral("Stereo");
    return Number(channels);
}

InspectionResult Invalid(const SoundInfoRecord& info, const QString& label, const QString& value) {
    InspectionResult r;
    r.Outcome = InspectionOutcome::Invalid;
    const QString error = QStringLiteral("ERROR!");
    r.Panel = {info.FileName, error, error, error, error, error, error};
    r.MessageTitle = QStringLiteral("Error");
    r.Icon = MessageIcon::Warning;
    r.MessageText = QStringLiteral("This file does not appear to be a valid ") + info.Extension +
                    QStringLiteral(" file.") + kCrLf + kCrLf + label + value;
    return r;
}

InspectionResult InvalidNumber(SoundInfoRecord& info, const QString& label, qint64 value) {
    info.EightBitFlag = 0;
    info.InternalID = 0;
    return Invalid(info, label, Number(value));
}

InspectionResult TooShort(SoundInfoRecord& info, qint64 size) {
    info.EightBitFlag = 0;
    info.InternalID = 0;
    return Invalid(info, QStringLiteral("File length: "), Number(size) + QStringLiteral(" bytes"));
}

// Sun/NeXT audio shares the .snd extension and opens with this magic; game
// headers have none. Said plainly, since its fields read as nonsense here.
bool IsSunAudio(const char* bytes, qint64 got) {
    return got >= 4 && std::memcmp(bytes, ".snd", 4) == 0;
}

InspectionResult SunAudio(SoundInfoRecord& info) {
    info.EightBitFlag = 0;
    info.InternalID = 0;
    InspectionResult r = Invalid(info, {}, {});
    r.MessageText = QStringLiteral("This file is a Sun/NeXT audio file, not a game sound.");
    return r;
}

InspectionResult MalformedWav(const SoundInfoRecord& info, bool notIntegerPcm) {
    InspectionResult r;
    r.Outcome = InspectionOutcome::MalformedWav;
    r.Panel.FileName = info.FileName;
    r.MessageTitle = QStringLiteral("Error");
    r.Icon = MessageIcon::Critical;
    r.MessageText = notIntegerPcm ? CompressedWavMessage() : MalformedWavMessage();
    return r;
}

bool DataLengthFits(qint32 length, qint64 fileSize, qint64 headerSize) {
    return length >= 0 && length <= fileSize - headerSize;
}

InspectionResult Valid(const SoundInfoRecord& info, const QString& flag, const QString& id) {
    InspectionResult r;
    r.Panel.FileName = info.FileName;
    r.Panel.EightBitFlag = flag;
    r.Panel.InternalID = id;
    r.Panel.DataLength = cFileSystem().FormatSize(info.DataLength);
    r.Panel.SampleRate = Number(info.SampleRate) + QStringLiteral(" Hz");
    r.Panel.BitDepth = Number(info.BitsPerSample) + QStringLiteral("-bit");
    r.Panel.Channels = ChannelsText(info.Channels);
    return r;
}

InspectionResult InspectGameHeader(ByteSource& source, SoundInfoRecord& info) {
    char bytes[SndHeaderSize];
    qint64 got = 0;
    const HeaderIO::ReadStatus status = HeaderIO::ReadExact(source, bytes, SndHeaderSize, got);
    if (IsSunAudio(bytes, got)) return SunAudio(info);
    if (status != HeaderIO::ReadStatus::Complete) return TooShort(info, got);
    const SndHeader h = HeaderIO::DecodeSnd(bytes);
    info.EightBitFlag = h.EightBitFlag;
    info.InternalID = h.InternalID;
    info.DataLength = h.DataLength;
    info.SampleRate = h.SampleRate;
    QString label;
    qint64 value = 0;
    if (!GameFieldsFit(h.SampleRate, h.BitsPerSample, h.Channels, &label, &value))
        return InvalidNumber(info, label, value);
    info.BitsPerSample = static_cast<qint16>(h.BitsPerSample);
    info.Channels = static_cast<qint16>(h.Channels);
    if (!DataLengthFits(h.DataLength, source.Size(), SndHeaderSize))
        return InvalidNumber(info, QStringLiteral("Data length: "), h.DataLength);
    return Valid(info, FlagText(info.EightBitFlag), Number(info.InternalID));
}

// A WAV the game format cannot describe although it may be sound: samples of
// 2 GiB or more, a streamed file that gives no length, or RF64. Import reads it.
InspectionResult BeyondGameFormat(SoundInfoRecord& info, const QString& label,
                                  const QString& value) {
    InspectionResult r = Invalid(info, label, value);
    r.MessageText += kCrLf + QStringLiteral("Import (Ctrl+I, or zsnd import) reads it.");
    return r;
}

InspectionResult InspectWavHeader(ByteSource& source, SoundInfoRecord& info) {
    const WavReader::Layout layout = WavReader::Read(source);
    if (layout.status == WavReader::Status::TooShort) return TooShort(info, layout.Got);
    if (layout.Image.Riff.ChunkID == HeaderIO::MakeFourCC("RF64"))
        return BeyondGameFormat(info, QStringLiteral("Format: "),
                                QStringLiteral("RF64, whose samples a game file cannot hold"));
    info.StoreWavImage(layout.Image);
    info.DataOffset = layout.DataOffset;
    const quint32 dataSize = quint32(layout.Image.Data.Size);
    if (layout.status == WavReader::Status::Found && dataSize == 0xFFFFFFFFu)
        return BeyondGameFormat(info, QStringLiteral("Data length: "),
                                QStringLiteral("not given (a streamed file)"));
    if (layout.status == WavReader::Status::Found && dataSize > 0x7FFFFFFFu) {
        if (dataSize > source.Size() - layout.DataOffset)
            return InvalidNumber(info, QStringLiteral("Data length: "), dataSize);
        return BeyondGameFormat(info, QStringLiteral("Data length: "),
                                QStringLiteral("%1 bytes, more than the 2147483647 a game file "
                                               "can hold")
                                    .arg(dataSize));
    }
    if (layout.status != WavReader::Status::Found)
        return MalformedWav(info, layout.status == WavReader::Status::NotIntegerPcm);
    if (!DataLengthFits(info.DataLength, source.Size(), layout.DataOffset))
        return InvalidNumber(info, QStringLiteral("Data length: "), info.DataLength);
    const QString na = QStringLiteral("N/A");
    return Valid(info, na, na);
}

}  // namespace

QString FlagText(qint32 flag) {
    if (flag == 2) return QStringLiteral("True");
    if (flag == 0) return QStringLiteral("False");
    return Number(flag);
}

bool GameFieldsFit(qint32 sampleRate, qint32 bitsPerSample, qint32 channels, QString* label,
                   qint64* value) {
    const auto refuse = [&](const char* name, qint64 v) {
        if (label) *label = QLatin1String(name);
        if (value) *value = v;
        return false;
    };
    if (sampleRate < 6000 || sampleRate > 44100) return refuse("Sample Rate: ", sampleRate);
    if (bitsPerSample < 8 || bitsPerSample > 16) return refuse("Bit Depth: ", bitsPerSample);
    if (channels < 1 || channels > 2) return refuse("Channels: ", channels);
    return true;
}

QString GameFormatRefusal(const SoundInfoRecord& info) {
    QString label;
    qint64 value = 0;
    if (GameFieldsFit(info.SampleRate, info.BitsPerSample, info.Channels, &label, &value))
        return {};
    return QStringLiteral(
               "%1 cannot become a game file as it is (%2%3): a game file holds "
               "6000 to 44100 Hz, 8 to 16 bits and 1 or 2 channels.")
               .arg(info.FileName, label, Number(value)) +
           kCrLf +
           QStringLiteral("Import (Ctrl+I, or zsnd import) converts its samples into a game file.");
}

QString MalformedWavMessage() {
    return QStringLiteral(
               "Possible improperly formatted .WAV file!  Compressed wave files are not handled ") +
           kCrLf + QStringLiteral("by this version of the sound utility.");
}

QString CompressedWavMessage() {
    return MalformedWavMessage() + kCrLf +
           QStringLiteral("Import (Ctrl+I, or zsnd import) converts its samples into a game file.");
}

void SelectFile(SoundInfoRecord& info, const QString& folder, const QString& diskName) {
    info.EightBitFlag = 0;
    info.InternalID = 0;
    info.Folder = folder;
    info.DiskName = diskName;
    info.FileName = NativeName::ToUpper(diskName);
    info.Extension = info.FileName.right(3);
    const QString& ext = info.Extension;
    // The usual name has its ".EXT" once, at the end: the other names only
    // change those three letters (OutputName's answer, without its search).
    const QStringView upper = info.FileName;
    const qsizetype end = upper.size() - 4;
    const bool once = end >= 0 && upper.indexOf(upper.sliced(end)) == end && upper[end] == u'.';
    const auto derived = [&](const char* type) {
        if (!once) return OutputName(info.FileName, ext, type);
        QString name;
        name.reserve(end + 4);
        return name.append(upper.first(end + 1)).append(QLatin1String(type));
    };
    if (ext != QLatin1String("SND")) info.SndName = derived("SND");
    if (ext != QLatin1String("WSD")) info.WsdName = derived("WSD");
    if (ext != QLatin1String("WAV")) info.WavName = derived("WAV");
}

InspectionResult InspectSource(ByteSource& source, SoundInfoRecord& info) {
    if (info.Extension == QLatin1String("SND") || info.Extension == QLatin1String("WSD"))
        return InspectGameHeader(source, info);
    if (info.Extension == QLatin1String("WAV")) return InspectWavHeader(source, info);
    return Invalid(info, QStringLiteral("File type: "), info.Extension);
}

InspectionResult InspectFile(const QString& folder, const QString& diskName,
                             SoundInfoRecord& info) {
    SelectFile(info, folder, diskName);
    FileSource source(info.SourcePath());
    return InspectSource(source, info);
}

}  // namespace mUtility
