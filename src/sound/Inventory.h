#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

#include "AppError.h"
#include "FileIdentity.h"
#include "Inspection.h"

// The folder inventory: which sound files a folder holds, one record of header
// values per file, and the table text (CSV) that zsnd and the Folder details
// window both write.
namespace mUtility {

// A message box's text on one line: its CR LF pairs (and blank lines) become spaces.
QString OneLine(const QString& message);

// True for a name ending in .snd, .wsd or .wav in any letter case.
bool IsSoundFileName(const QString& name);

// The hidden folder in which a game folder keeps the originals of the sounds
// replaced in it. It is never listed, with or without `recursive`.
inline constexpr char StoreFolderName[] = ".zephyra";

// The sound files of `folder` (joined to it as JoinPath does), each folder's
// files sorted by name without regard to case. With `recursive` the sub-folders
// follow, in the same order; a folder reached a second time (through a link)
// is skipped, so a link back up the tree ends. A folder that cannot be read
// adds its error to `errors` and the listing goes on with the rest.
QStringList SoundFilesIn(const QString& folder, bool recursive, QList<AppError>& errors);

// A file of such a listing; `regular` when the listing itself called it a
// regular file (it may have changed since; the file is checked again when opened).
struct ListedFile {
    QString path;
    bool regular = false;
};
// Throws AppError when `folder` cannot be reached (from errno) or is not a
// folder (76).
void RequireFolder(const QString& folder);

// SoundFilesIn, with what the listing said of each file.
QList<ListedFile> ListSoundFiles(const QString& folder, bool recursive, QList<AppError>& errors);

// One file's line of the inventory.
struct InventoryRow {
    QString Path;
    QString Type;          // "SND", "WSD", "WAV", or the name's own type (TypeOfName)
    bool Valid = false;    // the header passed the main window's checks
    bool Readable = true;  // false when the file could not be opened or read
    QString Refusal;       // why it is not valid, on one line; "" when valid
    // Header values as read; for a file that could not be read, HasHeader is false.
    bool HasHeader = false;
    qint32 EightBitFlag = 0;
    qint32 InternalID = 0;
    qint32 DataLength = 0;
    qint32 SampleRate = 0;
    qint16 BitsPerSample = 0;
    qint16 Channels = 0;
    qint64 Frames = -1;   // whole frames of a valid file whose shape allows it; else -1
    double Seconds = -1;  // Frames / SampleRate; -1 when unknown
    QByteArray Sha256;    // lower-case hex of the sample bytes, when asked and valid
    std::optional<FileIdentity> File;  // the file read, when it could be opened

    bool IsGameType() const;
    // The AppError of an unreadable file (Readable false).
    AppError Error;
};

// Bytes of one frame for a shape: channels times whole bytes per sample; 0 when
// the shape is not one the program plays (8 or 16 bits, 1 or 2 channels).
qint64 FrameBytes(qint32 bitsPerSample, qint32 channels);

// Where the sample bytes of an inspected file begin: 28 in a game file, where
// the data chunk's bytes start in a WAV.
qint64 SampleDataOffset(const SoundInfoRecord& info);

// Inspects `path` as the main window does and fills its row; with `hash` a
// valid file's sample bytes are hashed too. Never throws: a file that cannot
// be read gives a row with Readable false. `info` and `result`, when given,
// receive the record and the outcome of the inspection with the panel texts.
// `seenRegular`: the caller has just seen `path` as a regular file (FileSource).
InventoryRow InventoryRowOf(const QString& path, bool hash, SoundInfoRecord* info = nullptr,
                            InspectionResult* result = nullptr, bool seenRegular = false);

// The SHA-256 (lower-case hex) of `count` bytes of the open file `fd` from
// `offset`. Throws AppError when the file ends first or cannot be read.
QByteArray HashSampleBytes(int fd, qint64 offset, qint64 count, const QString& path);

// The table in CSV (RFC 4180): a header line, then one record per row, every
// line ending in CR LF; a field with a comma, a quote, a CR or an LF is quoted
// and its quotes doubled. The sha256 column only when `hash`.
QString CsvHeaderLine(bool hash);
QString CsvLine(const InventoryRow& row, bool hash);
QString CsvField(const QString& text);

// The table text as bytes: UTF-8, with each name's bytes as they are on disk
// (a name that is not valid UTF-8 keeps its bytes, so its row still opens it).
QByteArray CsvBytes(const QString& text);

// A path as the table's first column writes it: a relative path that a
// spreadsheet would take for a formula (starting with =, +, -, @, a tab or a
// CR) gets a leading "./", which still names the same file.
QString CsvPath(const QString& path);

}  // namespace mUtility
