#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

#include "ChangeJournal.h"
#include "Importer.h"
#include "OriginalsStore.h"
#include "ReplaceManifest.h"

// Replacing a game sound of a folder with another sound, keeping the first
// original of every replaced file in the folder's store, and getting the
// originals back. Every change runs through the store's journal: a crash
// leaves each file either old or new, and a journal RollBack undoes.
namespace Replace {

// The import target that keeps everything of `gameFile` (a .snd, .wsd or .wav
// whose header passes the checks): its type, rate, depth, channels, 8-bit flag
// and internal ID. Throws AppError: 321 with the refusal when the header is
// refused or not one an import can write.
ImportTarget TargetLike(const QString& gameFile);

struct ReplaceOutcome {
    ImportReport Import;
    bool FirstTime = false;  // the original was kept now (not by an earlier replace)
};

// Imports `source` as `target` and writes it over `gameFile`, keeping the
// file's original in the store the first time; with `goal`, brought to its
// loudness as Import does. Nothing changes when the import fails or is
// cancelled (Import.Cancelled). Throws AppError; 5 when an interrupted run
// must be undone first (RestoreFiles does it).
ReplaceOutcome ReplaceSound(const QString& gameFile, const QString& source,
                            const ImportTarget& target, const ImportProgress& progress = {},
                            const std::optional<LoudnessGoal>& goal = std::nullopt);

enum class FileState {
    Replaced,        // holds what replaced it; the original is kept
    Changed,         // changed (or removed) by something else since it was replaced
    OriginalMissing  // the store's copy of the original is gone or damaged
};

struct FileStatus {
    ReplacedFile Record;
    FileState State = FileState::Replaced;
};

struct FolderStatus {
    QList<FileStatus> Files;
    std::optional<ChangeJournal> Interrupted;  // a run that did not finish
    bool Busy = false;                         // another process is changing the folder now

    // Nothing changed, missing or interrupted.
    bool Sound() const;
};

// Every replaced file of `folder` with its state. Reads and hashes; changes
// nothing. Throws AppError when `folder` is not a folder or the store cannot
// be read.
FolderStatus StatusOf(const QString& folder);

// A file a restore will not touch, and why.
struct Refusal {
    QString Name;
    QString Reason;
    bool Forceable = false;  // only because it changed since it was replaced
};

struct RestoreOutcome {
    QStringList Restored;
    QList<Refusal> Refused;                   // when not empty, nothing was restored
    std::optional<ChangeJournal> RolledBack;  // an interrupted run undone first
    QStringList Losses;  // what `force` left as it is on disk, as it could not be undone
};

// Puts the originals of `names` in `folder` back (all its replaced files when
// `names` is empty), all or nothing, byte for byte. An interrupted run is
// rolled back first; with `force`, what of it cannot be undone (a damaged
// journal, a missing copy) stays as it is on disk and Losses names it. A file
// changed since it was replaced is refused unless `force`. Throws AppError
// when a file cannot be read or written, or `folder` is not a folder.
RestoreOutcome RestoreFiles(const QString& folder, const QStringList& names, bool force,
                            const RunProgress& progress = {});

// Rolls back a run on `folder` that was interrupted, and nothing else.
// Returns the journal undone, or nothing when there was none.
std::optional<ChangeJournal> UndoInterrupted(const QString& folder);

// The replaced files of `folder` as the manifest lists them, without reading
// the files, for marking a listing; empty when the store cannot be read.
ReplaceManifest ManifestOf(const QString& folder);

// Splits `path` as mUtility::SplitPath does; a bare name's folder is ".".
void SplitFolder(const QString& path, QString& folder, QString& name);

// The message of an interrupted run, for a refusal.
QString InterruptedText(const QString& folder, const ChangeJournal& journal);

}  // namespace Replace
