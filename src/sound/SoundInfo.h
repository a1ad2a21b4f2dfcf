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
};

extern SoundInfoRecord SoundInfo;
extern QString StatusText;
extern qint16 ConvertedCount;
extern bool AutoPlaying;
extern QString sPreviewFile;

}  // namespace mUtility
