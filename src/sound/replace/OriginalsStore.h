#pragma once

#include <QByteArray>
#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "AppError.h"
#include "ChangeJournal.h"
#include "ReplaceManifest.h"

namespace Replace {

// Called before each file of a run is written, with the files done so far
// and the total.
using RunProgress = std::function<void(int done, int total)>;

// The originals of a folder's replaced sounds, kept in the folder itself (in
// the hidden folder mUtility::StoreFolderName), so that any copy of the
// program given the folder finds them:
//   manifest.json   the replaced files (ReplaceManifest)
//   manifest.json.sum  a checksum of the manifest as the store last wrote it
//   journal.json    the run in progress, or one that was interrupted
//   blobs/<sha256>  exact copies of files, named by their SHA-256
//   lock            held (flock) by the one process changing the folder
// Every write goes through AtomicFile and is flushed before the next step.
class OriginalsStore {
public:
    explicit OriginalsStore(const QString& folder);
    ~OriginalsStore();
    OriginalsStore(const OriginalsStore&) = delete;
    OriginalsStore& operator=(const OriginalsStore&) = delete;

    const QString& Folder() const { return folder_; }
    QString Root() const;
    QString FileInFolder(const QString& name) const;
    QString BlobPath(const QByteArray& sha) const;
    bool Exists() const;

    // Creates the store when missing and takes its lock for this object's
    // lifetime. Throws AppError when another process holds it. A store this
    // object made and left empty is removed again when it is destroyed.
    void Lock();
    // Lock(), then refuses (AppError 5) while an interrupted run waits to be
    // rolled back, and removes files staged by a process that did not finish.
    void LockForChange();
    // Waits for no writer and writes nothing: for reading a consistent store
    // in a folder that may be read-only. Throws AppError when a run is going
    // on in another process.
    void LockToRead();
    // True while another process holds the lock (a run is going on now).
    bool BusyElsewhere() const;

    // The manifest; empty when the store or its manifest does not exist.
    // Throws AppError 321, saying what to do, when it does not validate.
    ReplaceManifest Manifest() const;
    // The journal of an interrupted run, if one was left behind. Throws
    // AppError 321, saying what to do, when it does not validate.
    std::optional<ChangeJournal> Journal() const;

    // A copy of the file at `path` under its SHA-256, unless an intact one is
    // there already (a damaged one is rewritten). Returns the hash. Needs Lock().
    QByteArray Keep(const QString& path);
    // Moves a finished file the store wrote itself (a staged import) into the
    // blobs, over a damaged copy of the same hash. Returns its hash.
    QByteArray Adopt(const QString& stagedPath);
    // True when the store holds a copy of `sha` whose bytes still hash to it.
    bool HasIntact(const QByteArray& sha) const;
    // Keeps the file `name` as it is now and records in `manifest` that
    // `after` (from `source`) replaces it; the first original of a file is
    // kept however often it is replaced again. Returns the change for the
    // run's journal. Throws AppError 321 when the original kept earlier is
    // damaged or gone (and the file no longer holds it). Needs Lock().
    FileChange Replacing(ReplaceManifest& manifest, const QString& name, const QByteArray& after,
                         const QDateTime& at, const QString& source);
    // A path inside the store for a file being prepared (an import).
    QString StagingPath(const QString& name) const;

    // Carries out `journal`: makes it durable with the records of `before`
    // (the manifest as read under the lock) that `after` changes, writes each
    // change's After copy over its file, saves `after` as the manifest, then
    // removes the journal and the copies the run released. A failure rolls
    // the files already changed back and rethrows. Needs Lock().
    void Run(ChangeJournal journal, const ReplaceManifest& before, const ReplaceManifest& after,
             const RunProgress& progress = {});

    // Undoes an interrupted run: every file back to its Before, the manifest
    // back to what it was, stray temporary files of those names removed.
    // Returns the journal undone, or nothing when there was none. A file whose
    // Before copy is missing or damaged, or a journal that cannot be read,
    // stops it (AppError 321 saying what to do) unless `keepWhatIsOnDisk`:
    // such files then stay as they are, and `losses` names them. Needs Lock().
    std::optional<ChangeJournal> RollBack(bool keepWhatIsOnDisk = false,
                                          QStringList* losses = nullptr);

private:
    void SaveJson(const QString& path, const QJsonObject& json);
    void SaveText(const QString& path, const QByteArray& bytes);
    void RollBack(const ChangeJournal& journal, bool keepWhatIsOnDisk, QStringList* losses);
    void DropUnused(const QSet<QByteArray>& candidates, const QByteArray& manifestText);
    QByteArray SaveManifest(const ReplaceManifest& manifest);
    void RemoveStrayTemporaries(const QString& name);
    void RemoveStaged();
    void RemoveIfEmpty();
    [[noreturn]] void Damaged(const AppError& error, const QString& advice) const;

    QString folder_;
    int lockFd_ = -1;
    bool created_ = false;  // Lock() made the store
};

// A file being prepared in a store (an import, a pack's entry) until Adopt
// takes it into the blobs. A failure, or a terminating signal, removes it.
class StagedFile {
public:
    StagedFile(const OriginalsStore& store, const QString& name);
    ~StagedFile();
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    const QString& Path() const { return path_; }
    // OriginalsStore::Adopt of the finished file; returns its hash.
    QByteArray AdoptInto(OriginalsStore& store);

private:
    QString path_;
    int ticket_ = -1;
    bool adopted_ = false;
};

}  // namespace Replace
