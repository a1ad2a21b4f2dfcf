#pragma once

#include <QString>

#include "ByteSource.h"
#include "SoundInfo.h"

namespace mUtility {

enum class InspectionOutcome {
    Valid,        // the panel shows the header
    Invalid,      // a field is out of range: warning box, panel shows "ERROR!"
    MalformedWav  // no PCM format and data chunk found: error box, the window refreshes
};

// The error box's text for a WAV without a usable format and data chunk, and
// for one whose samples are not integer PCM (the same, plus where to go instead).
QString MalformedWavMessage();
QString CompressedWavMessage();

// The panel's text of an 8-bit flag: "True" for 2, "False" for 0, else the number.
QString FlagText(qint32 flag);

// True when a game header may hold these values (the checks of inspection:
// 6000 to 44100 Hz, 8 to 16 bits, 1 or 2 channels). Otherwise false, with the
// first value refused and its panel label ("Bit Depth: ") when asked.
bool GameFieldsFit(qint32 sampleRate, qint32 bitsPerSample, qint32 channels,
                   QString* label = nullptr, qint64* value = nullptr);

// Why the header values in `info` cannot be written as a game file, pointing
// to Import (two lines, CR LF); "" when they can. Conversion to .SND or .WSD
// refuses with it, so a conversion never writes a file inspection refuses.
QString GameFormatRefusal(const SoundInfoRecord& info);

// The icon of the message box a caller shows; kept free of any widget type.
enum class MessageIcon { None, Information, Warning, Critical };

// Every text of the information panel after an inspection.
struct InfoPanelTexts {
    QString FileName;
    QString EightBitFlag;
    QString InternalID;
    QString DataLength;
    QString SampleRate;
    QString BitDepth;
    QString Channels;
};

struct InspectionResult {
    InspectionOutcome Outcome = InspectionOutcome::Valid;
    InfoPanelTexts Panel;
    // The message box to show when the outcome is not Valid (OK button only).
    QString MessageTitle;
    MessageIcon Icon = MessageIcon::None;
    QString MessageText;

    bool IsValid() const { return Outcome == InspectionOutcome::Valid; }
};

// Sets the record's file fields for `diskName` in `folder`: the flag and ID to 0,
// Folder, FileName (upper case), DiskName, Extension (last three characters of
// FileName) and the two derived names of the other types.
void SelectFile(SoundInfoRecord& info, const QString& folder, const QString& diskName);

// Inspects the header of `diskName` in `folder` into `info` and returns the
// outcome with every text the main window shows. Throws AppError when the file
// cannot be opened or read.
InspectionResult InspectFile(const QString& folder, const QString& diskName, SoundInfoRecord& info);

// The same check on bytes from `source`, for a record whose file fields are set
// (SelectFile). A file shorter than its header, or whose data length is negative
// or beyond its end, is Invalid; a data length of 0 is valid. A WAV is read by
// walking its chunks (WavReader); one that is not integer PCM is MalformedWav.
InspectionResult InspectSource(ByteSource& source, SoundInfoRecord& info);

}  // namespace mUtility
