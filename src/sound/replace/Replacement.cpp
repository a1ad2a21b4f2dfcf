#include "Replacement.h"

#include <QFile>
#include <algorithm>

#include "AppError.h"
#include "ConvertOptions.h"
#include "Inspection.h"
#include "Inventory.h"
#include "SoundInfo.h"
#include "StoreFiles.h"

namespace Replace {

namespace {

FileState StateOf(const OriginalsStore& store, const ReplacedFile& record) {
    if (!store.HasIntact(record.OriginalSha)) return FileState::OriginalMissing;
    const QString path = store.FileInFolder(record.Name);
    if (!IsRegularFile(path) || HashFile(path) != record.ReplacedSha) return FileState::Changed;
    return FileState::Replaced;
}

}  // namespace

void SplitFolder(const QString& path, QString& folder, QString& name) {
    mUtility::SplitPath(path, folder, name);
    if (folder.isEmpty()) folder = QStringLiteral(".");
}

QString InterruptedText(const QString& folder, const ChangeJournal& journal) {
    return QStringLiteral(
               "a change to the sounds of %1 (%2 of %3 files, started %4) was interrupted; "
               "restore the folder's originals first")
        .arg(folder, journal.Operation)
        .arg(journal.Changes.size())
        .arg(journal.Started.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
}

ImportTarget TargetLike(const QString& gameFile) {
    QString folder, name;
    SplitFolder(gameFile, folder, name);
    mUtility::SoundInfoRecord info;
    const mUtility::InspectionResult result = mUtility::InspectFile(folder, name, info);
    if (!result.IsValid())
        throw AppError::Standard(
            ErrNo::InvalidFileFormat,
            gameFile + QStringLiteral(": ") + mUtility::OneLine(result.MessageText));
    if (ConvertOptions::SampleRateIndex(info.SampleRate) < 0 ||
        (info.BitsPerSample != 8 && info.BitsPerSample != 16) ||
        (info.Channels != 1 && info.Channels != 2))
        throw AppError::Standard(ErrNo::InvalidFileFormat,
                                 QStringLiteral("%1: %2 Hz, %3-bit, %4 channels cannot be written "
                                                "by an import")
                                     .arg(gameFile)
                                     .arg(info.SampleRate)
                                     .arg(info.BitsPerSample)
                                     .arg(info.Channels));
    ImportTarget target;
    target.Type = info.Extension;
    target.TakeLike(info);
    if (target.Type == QLatin1String("WAV")) target.EightBitFlag = target.InternalID = 0;
    return target;
}

ReplaceOutcome ReplaceSound(const QString& gameFile, const QString& source,
                            const ImportTarget& target, const ImportProgress& progress,
                            const std::optional<LoudnessGoal>& goal) {
    QString folder, name;
    SplitFolder(gameFile, folder, name);
    RequireRegularFile(gameFile);
    OriginalsStore store(folder);
    store.LockForChange();
    const ReplaceManifest before = store.Manifest();
    ReplaceManifest manifest = before;

    ReplaceOutcome outcome;
    StagedFile staged(store, name);
    outcome.Import = Import(source, staged.Path(), target, progress, goal);
    if (outcome.Import.Cancelled) return outcome;
    const QByteArray after = staged.AdoptInto(store);
    outcome.FirstTime = manifest.Find(name) == nullptr;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    ChangeJournal journal{QStringLiteral("replace"), source, now, {}, {}, {}};
    journal.Changes << store.Replacing(manifest, name, after, now, source);
    store.Run(journal, before, manifest);
    return outcome;
}

bool FolderStatus::Sound() const {
    return !Interrupted && std::all_of(Files.begin(), Files.end(), [](const FileStatus& f) {
        return f.State == FileState::Replaced;
    });
}

FolderStatus StatusOf(const QString& folder) {
    mUtility::RequireFolder(folder);
    FolderStatus status;
    const OriginalsStore store(folder);
    if (!store.Exists()) return status;
    status.Busy = store.BusyElsewhere();
    if (!status.Busy) status.Interrupted = store.Journal();
    for (const ReplacedFile& record : store.Manifest().Files())
        status.Files << FileStatus{record, StateOf(store, record)};
    return status;
}

RestoreOutcome RestoreFiles(const QString& folder, const QStringList& names, bool force,
                            const RunProgress& progress) {
    mUtility::RequireFolder(folder);
    RestoreOutcome outcome;
    // A name given twice is one file, restored once.
    QStringList wanted = names;
    wanted.removeDuplicates();
    OriginalsStore store(folder);
    if (!store.Exists()) {
        for (const QString& name : wanted)
            outcome.Refused << Refusal{name, QStringLiteral("was not replaced")};
        return outcome;
    }
    store.Lock();
    outcome.RolledBack = store.RollBack(force, &outcome.Losses);
    const ReplaceManifest before = store.Manifest();
    ReplaceManifest manifest = before;
    if (wanted.isEmpty())
        for (const ReplacedFile& f : manifest.Files()) wanted << f.Name;

    ChangeJournal journal{
        QStringLiteral("restore"), {}, QDateTime::currentDateTimeUtc(), {}, {}, {}};
    for (const QString& name : wanted) {
        const ReplacedFile* record = manifest.Find(name);
        if (!record) {
            outcome.Refused << Refusal{name, QStringLiteral("was not replaced")};
            continue;
        }
        const FileState state = StateOf(store, *record);
        if (state == FileState::OriginalMissing) {
            outcome.Refused << Refusal{name,
                                       QStringLiteral("its original is missing from the store")};
        } else if (state == FileState::Changed && !force) {
            outcome.Refused << Refusal{name, QStringLiteral("changed since it was replaced"), true};
        } else {
            outcome.Restored << name;
        }
    }
    if (!outcome.Refused.isEmpty()) {
        outcome.Restored.clear();
        return outcome;
    }
    for (const QString& name : outcome.Restored) {
        // What is there now is kept too, so that a failure can put it back.
        const QString path = store.FileInFolder(name);
        const QByteArray now = IsRegularFile(path) ? store.Keep(path) : QByteArray();
        const QByteArray original = manifest.Find(name)->OriginalSha;
        if (now != original) journal.Changes << FileChange{name, now, original};
    }
    manifest.Remove(QSet<QString>(outcome.Restored.begin(), outcome.Restored.end()));
    store.Run(journal, before, manifest, progress);
    return outcome;
}

std::optional<ChangeJournal> UndoInterrupted(const QString& folder) {
    OriginalsStore store(folder);
    if (!store.Exists()) return std::nullopt;
    store.Lock();
    return store.RollBack();
}

ReplaceManifest ManifestOf(const QString& folder) {
    try {
        return OriginalsStore(folder).Manifest();
    } catch (const AppError&) {
        return {};
    }
}

}  // namespace Replace
