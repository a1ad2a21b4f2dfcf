#pragma once

#include <QByteArray>
#include <QString>

#include "SoundHeaders.h"

namespace mUtility {

// The current-file record: header values of the last inspected file, shared by
// the main window, the dialogs, the conversion routines and the preview.
struct SoundInfoRecord {
    qint32 EightBitFlag = 0;
    qint32 InternalID = 0;
    qint32 DataLength = 0;
    qint32 SampleRate = 0;
    qint16 BitsPerSample = 0;
    qint16 Channels = 0;

    // The WAV header image (filled by reading a WAV header or by MakeWAV).
    RiffHeader Riff;
    ChunkHeader FmtChunk;
    qint16 FormatTag = 0;
    qint32 ByteRate = 0;
    qint16 BlockAlign = 0;
    ChunkHeader DataChunk;
    // Where a WAV's samples start: 44 in the canonical layout, later when other
    // chunks come first. Game files always start theirs at 28.
    qint64 DataOffset = WavHeaderSize;

    QByteArray SampleData;  // only while a preview copies samples; empty otherwise

    QString Folder;     // the folder as listed, without a trailing "/" except for "/"
    QString FileName;   // upper-cased, for display and derived names
    QString DiskName;   // the name as it is on disk; every open uses this
    QString Extension;  // "SND", "WSD" or "WAV"
    QString SndName;
    QString WsdName;
    QString WavName;

    // Folder joined with DiskName, never with a doubled separator.
    QString SourcePath() const;

    // The game header these values make: flag, ID, length, rate, then bit depth
    // and channels widened with their sign, and a reserved 0.
    SndHeader SndImage() const;
    // The six leading fields of a game header, taken without checks; bit depth
    // and channels keep the low 16 bits of their fields.
    void StoreSndFields(const SndHeader& header);

    // The WAV header image held here (written by MakeWAV as it stands).
    WavHeaderImage WavImage() const;
    // Takes every field of a WAV header; its data chunk's size becomes DataLength.
    void StoreWavImage(const WavHeaderImage& image);
};

// `folder` + "/" + `name`, without doubling a separator that `folder` ends with.
QString JoinPath(const QString& folder, const QString& name);

// The reverse of JoinPath: the folder part of `path` (empty for a bare name,
// "/" for a file in the root) and the name after the last "/".
void SplitPath(const QString& path, QString& folder, QString& name);

// `name` in upper case with every ".<fromType>" replaced by ".<toType>"
// (types given as "SND", "WSD" or "WAV"): A.snd.snd from SND to WAV is A.WAV.WAV.
QString OutputName(const QString& name, const QString& fromType, const QString& toType);

// The type of a file name: what follows its last ".", upper-cased ("" when the
// name has no "."). "notes.snd.bak" is of type "BAK", not "SND".
QString TypeOfName(const QString& name);

// The name a batch writes for `entry` (OutputName). Throws AppError 5 naming
// the entry when it is not of `fromType`, or when the output would be the
// entry itself: a batch never writes over its own source.
QString BatchOutputName(const QString& entry, const QString& fromType, const QString& toType);

extern SoundInfoRecord SoundInfo;
extern QString StatusText;
extern qint16 ConvertedCount;
extern bool AutoPlaying;
extern QString sPreviewFile;

}  // namespace mUtility
