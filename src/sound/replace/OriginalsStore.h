#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

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
    // lifetime. Throws AppError when another process holds it.
    void Lock();
    // Lock(), then refuses (AppError 5) while an interrupted run waits to be
    // rolled back.
    void LockForChange();
    // True while another process holds the lock (a run is going on now).
    bool BusyElsewhere() const;

    // The manifest; empty when the store or its manifest does not exist.
    ReplaceManifest Manifest() const;
    // The journal of an interrupted run, if one was left behind.
    std::optional<ChangeJournal> Journal() const;

    // A copy of the file at `path` under its SHA-256, unless one is there
    // already. Returns the hash. Needs Lock().
    QByteArray Keep(const QString& path);
    // Moves a finished file the store wrote itself (a staged import) into the
    // blobs. Returns its hash.
    QByteArray Adopt(const QString& stagedPath);
    // True when the store holds a copy of `sha` whose bytes still hash to it.
    bool HasIntact(const QByteArray& sha) const;
    // A path inside the store for a file being prepared (an import).
    QString StagingPath(const QString& name) const;

    // Carries out `journal`: makes it durable, writes each change's After
    // copy over its file, saves `after` as the manifest, then removes the
    // journal and the copies the manifest no longer needs. A failure rolls the
    // files already changed back and rethrows. Needs Lock().
    void Run(ChangeJournal journal, const ReplaceManifest& after, const RunProgress& progress = {});

    // Undoes an interrupted run: every file back to its Before, the manifest
    // back to what it was, stray temporary files of those names removed.
    // Returns the journal undone, or nothing when there was none. Needs Lock().
    std::optional<ChangeJournal> RollBack();

private:
    void SaveJson(const QString& path, const QJsonObject& json);
    void RollBack(const ChangeJournal& journal);
    void DropUnused(const ReplaceManifest& manifest);
    void RemoveStrayTemporaries(const QString& name);

    QString folder_;
    int lockFd_ = -1;
};

}  // namespace Replace
