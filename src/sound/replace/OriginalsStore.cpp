#include "OriginalsStore.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QJsonDocument>
#include <QJsonParseError>
#include <algorithm>
#include <cerrno>
#include <cstring>

#include "AppError.h"
#include "AtomicFile.h"
#include "Inventory.h"
#include "NativeName.h"
#include "Replacement.h"
#include "SoundInfo.h"
#include "StoreFiles.h"
#include "TempFiles.h"

namespace Replace {

namespace {

constexpr qint64 kMaxJson = 64 << 20;

QByteArray Native(const QString& path) {
    return NativeName::Encode(path);
}

void MakeFolder(const QString& path) {
    if (::mkdir(Native(path).constData(), 0755) != 0 && errno != EEXIST)
        throw AppError::fromErrno(errno, path);
    // A link in its place would let the store write elsewhere.
    struct stat st {};
    if (::lstat(Native(path).constData(), &st) != 0) throw AppError::fromErrno(errno, path);
    if (!S_ISDIR(st.st_mode))
        throw AppError::Standard(ErrNo::PathFileAccess,
                                 QStringLiteral("%1 is not a folder").arg(path));
}

// A checksum of the manifest's text, to tell that it is the text the store
// wrote: far cheaper than a SHA-256, it only has to catch damage and edits.
// Four lanes of eight bytes each, mixed by multiplication; the same on every
// machine (Qt's own hash is seeded anew in each process).
QByteArray Checksum(const QByteArray& text) {
    constexpr quint64 kMix = 0x9E3779B97F4A7C15ull;
    quint64 lane[4] = {1, 2, 3, 4};
    const char* p = text.constData();
    const qsizetype n = text.size();
    qsizetype at = 0;
    for (; at + 32 <= n; at += 32) {
        for (int i = 0; i < 4; ++i) {
            quint64 word;
            std::memcpy(&word, p + at + 8 * i, 8);
            lane[i] = (lane[i] ^ word) * kMix;
            lane[i] ^= lane[i] >> 29;
        }
    }
    quint64 sum = quint64(n);
    for (; at < n; ++at) sum = (sum ^ quint8(p[at])) * kMix;
    for (const quint64 l : lane) sum = ((sum ^ l) * kMix) ^ (sum >> 31);
    return QByteArray::number(n) + ' ' + QByteArray::number(sum, 16);
}

// The bytes of a file; none, and `found` false, when it does not exist.
QByteArray ReadBytes(const QString& path, bool& found) {
    found = false;
    QFile file(path);
    if (!file.exists()) return {};
    if (!file.open(QIODevice::ReadOnly))
        throw AppError::Standard(ErrNo::PathFileAccess,
                                 path + QStringLiteral(": ") + file.errorString());
    found = true;
    if (file.size() > kMaxJson)
        throw AppError::Standard(ErrNo::InvalidFileFormat,
                                 QStringLiteral("%1 is damaged (too large)").arg(path));
    return file.readAll();
}

QJsonObject ParseJson(const QByteArray& bytes, const QString& path) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        throw AppError::Standard(
            ErrNo::InvalidFileFormat,
            QStringLiteral("%1 is damaged (%2)").arg(path, error.errorString()));
    return doc.object();
}

// The JSON object of a file, or an empty object when the file does not exist.
QJsonObject ReadJson(const QString& path, bool& found) {
    const QByteArray bytes = ReadBytes(path, found);
    return found ? ParseJson(bytes, path) : QJsonObject();
}

// The names in a folder (not "." and ".."); none when it cannot be read.
QStringList NamesIn(const QString& folder) {
    QStringList names;
    DIR* dir = ::opendir(Native(folder).constData());
    if (!dir) return names;
    while (const dirent* e = ::readdir(dir)) {
        const QByteArray n(e->d_name);
        if (n != "." && n != "..") names << NativeName::Decode(n);
    }
    ::closedir(dir);
    return names;
}

// Every copy a journal names: those of its files, and the originals of the
// records it changes.
QSet<QByteArray> BlobsOf(const ChangeJournal& journal) {
    QSet<QByteArray> blobs;
    for (const FileChange& change : journal.Changes) {
        if (!change.Before.isEmpty()) blobs.insert(change.Before);
        blobs.insert(change.After);
    }
    for (const ReplacedFile& f : journal.Before.Files()) blobs.insert(f.OriginalSha);
    return blobs;
}

// Notes in `journal` the records `after` adds, changes or drops, with those
// of them `before` had.
void RecordTouched(ChangeJournal& journal, const ReplaceManifest& before,
                   const ReplaceManifest& after) {
    journal.Touched = after.ChangedFrom(before);
    journal.Before = {};
    for (const QString& name : journal.Touched)
        if (const ReplacedFile* was = before.Find(name)) journal.Before.Add(*was);
}

// Takes `how` (LOCK_EX or LOCK_SH) on `fd` without waiting; closes it and
// throws when another process holds the store.
void TakeLock(int fd, int how, const QString& folder, const QString& path) {
    if (::flock(fd, how | LOCK_NB) == 0) return;
    const int err = errno;
    ::close(fd);
    if (err == EWOULDBLOCK)
        throw AppError::Standard(
            ErrNo::FileAlreadyOpen,
            QStringLiteral("another program is changing the sounds of %1; try again when it "
                           "has finished")
                .arg(folder));
    throw AppError::fromErrno(err, path);
}

}  // namespace

OriginalsStore::OriginalsStore(const QString& folder) : folder_(folder) {}

OriginalsStore::~OriginalsStore() {
    if (lockFd_ < 0) return;
    if (created_) RemoveIfEmpty();
    ::close(lockFd_);
}

QString OriginalsStore::Root() const {
    return mUtility::JoinPath(folder_, QLatin1String(mUtility::StoreFolderName));
}

QString OriginalsStore::FileInFolder(const QString& name) const {
    return mUtility::JoinPath(folder_, name);
}

QString OriginalsStore::BlobPath(const QByteArray& sha) const {
    return Root() + QStringLiteral("/blobs/") + QString::fromLatin1(sha);
}

QString OriginalsStore::StagingPath(const QString& name) const {
    return Root() + QStringLiteral("/blobs/staged-") + name;
}

bool OriginalsStore::Exists() const {
    struct stat st {};
    return ::lstat(Native(Root()).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

void OriginalsStore::Lock() {
    if (lockFd_ >= 0) return;
    created_ = !Exists();
    MakeFolder(Root());
    MakeFolder(Root() + QStringLiteral("/blobs"));
    const QString path = Root() + QStringLiteral("/lock");
    // The lock file is removed with a store left empty: a lock taken on a file
    // removed meanwhile is taken again on the one now there.
    for (;;) {
        const int fd =
            ::open(Native(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
        if (fd < 0) throw AppError::fromErrno(errno, path);
        TakeLock(fd, LOCK_EX, folder_, path);
        struct stat held {
        }, named{};
        if (::fstat(fd, &held) == 0 && ::lstat(Native(path).constData(), &named) == 0 &&
            held.st_dev == named.st_dev && held.st_ino == named.st_ino) {
            lockFd_ = fd;
            return;
        }
        ::close(fd);
        MakeFolder(Root());
        MakeFolder(Root() + QStringLiteral("/blobs"));
    }
}

void OriginalsStore::LockToRead() {
    if (lockFd_ >= 0 || !Exists()) return;
    const QString path = Root() + QStringLiteral("/lock");
    const int fd = ::open(Native(path).constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) {
        if (errno == ENOENT) return;  // no process has changed the folder yet
        throw AppError::fromErrno(errno, path);
    }
    TakeLock(fd, LOCK_SH, folder_, path);
    lockFd_ = fd;
}

void OriginalsStore::LockForChange() {
    Lock();
    if (const auto journal = Journal())
        throw AppError::Standard(ErrNo::InvalidProcedureCall, InterruptedText(folder_, *journal));
    RemoveStaged();
}

void OriginalsStore::Damaged(const AppError& error, const QString& advice) const {
    throw AppError(error.Number, error.Description + QStringLiteral("; ") + advice, error.Source);
}

bool OriginalsStore::BusyElsewhere() const {
    if (lockFd_ >= 0) return false;
    const int fd = ::open(Native(Root() + QStringLiteral("/lock")).constData(),
                          O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) return false;
    const bool busy = ::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return busy;
}

ReplaceManifest OriginalsStore::Manifest() const {
    const QString path = Root() + QStringLiteral("/manifest.json");
    try {
        bool found = false;
        const QByteArray text = ReadBytes(path, found);
        if (!found) return ReplaceManifest();
        // The text the store wrote (its checksum says so): read lazily.
        bool sumFound = false;
        const QByteArray sum = ReadBytes(path + QStringLiteral(".sum"), sumFound);
        if (sumFound && sum.trimmed() == Checksum(text))
            if (auto own = ReplaceManifest::FromOwnText(text, path)) return std::move(*own);
        return ReplaceManifest::FromJson(ParseJson(text, path), path);
    } catch (const AppError& e) {
        if (e.Number != ErrNo::InvalidFileFormat) throw;
        Damaged(e, QStringLiteral("nothing was changed. The originals kept in %1/blobs (each "
                                  "named by its SHA-256) are left as they are: mend "
                                  "manifest.json, or move %1 aside to start afresh")
                       .arg(Root()));
    }
}

std::optional<ChangeJournal> OriginalsStore::Journal() const {
    const QString path = Root() + QStringLiteral("/journal.json");
    try {
        bool found = false;
        const QJsonObject json = ReadJson(path, found);
        if (!found) return std::nullopt;
        return ChangeJournal::FromJson(json, path);
    } catch (const AppError& e) {
        if (e.Number != ErrNo::InvalidFileFormat) throw;
        Damaged(e, QStringLiteral("the change it records cannot be undone. \"zsnd restore "
                                  "--force %1\" keeps every file as it is on disk and sets the "
                                  "journal aside")
                       .arg(folder_));
    }
}

QByteArray OriginalsStore::Keep(const QString& path) {
    const QByteArray sha = HashFile(path);
    // A copy of the same hash that has rotted is rewritten from these bytes,
    // which are checked against the hash on the way.
    if (!HasIntact(sha)) CopyAtomically(path, BlobPath(sha), sha);
    return sha;
}

QByteArray OriginalsStore::Adopt(const QString& stagedPath) {
    const QByteArray sha = HashFile(stagedPath);
    const QString blob = BlobPath(sha);
    if (HasIntact(sha)) {
        RemoveDurably(stagedPath);
    } else {
        if (::rename(Native(stagedPath).constData(), Native(blob).constData()) != 0)
            throw AppError::fromErrno(errno, blob);
        SyncFolder(Root() + QStringLiteral("/blobs"));
    }
    return sha;
}

FileChange OriginalsStore::Replacing(ReplaceManifest& manifest, const QString& name,
                                     const QByteArray& after, const QDateTime& at,
                                     const QString& source) {
    const QString path = FileInFolder(name);
    const qint64 size = SizeOf(path);
    const QByteArray before = Keep(path);
    ReplacedFile* record = manifest.Find(name);
    if (!record) {
        record = &manifest.Add(ReplacedFile{name, size, before, {}, {}, {}});
    } else if (!HasIntact(record->OriginalSha)) {
        throw AppError::Standard(
            ErrNo::InvalidFileFormat,
            QStringLiteral("%1 was not replaced: the copy of its original kept in %2 is missing "
                           "or damaged, and replacing it again would lose the original for good")
                .arg(path, Root()));
    }
    record->ReplacedSha = after;
    record->ReplacedAt = at;
    record->Source = source;
    return FileChange{name, before, after};
}

bool OriginalsStore::HasIntact(const QByteArray& sha) const {
    try {
        return IsRegularFile(BlobPath(sha)) && HashFile(BlobPath(sha)) == sha;
    } catch (const AppError&) {
        return false;
    }
}

StagedFile::StagedFile(const OriginalsStore& store, const QString& name)
    : path_(store.StagingPath(name)), ticket_(TempFiles::Remember(Native(path_))) {}

StagedFile::~StagedFile() {
    if (!adopted_) ::unlink(Native(path_).constData());
    TempFiles::Forget(ticket_);
}

QByteArray StagedFile::AdoptInto(OriginalsStore& store) {
    const QByteArray sha = store.Adopt(path_);
    adopted_ = true;
    return sha;
}

void OriginalsStore::SaveJson(const QString& path, const QJsonObject& json) {
    SaveText(path, QJsonDocument(json).toJson(QJsonDocument::Indented));
}

QByteArray OriginalsStore::SaveManifest(const ReplaceManifest& manifest) {
    // The checksum beside it, written second, lets the next run take the
    // text for what the store wrote without parsing it all; a manifest that
    // anything else changed has none that matches, and is checked in full.
    const QByteArray text = manifest.ToText();
    const QString path = Root() + QStringLiteral("/manifest.json");
    SaveText(path, text);
    SaveText(path + QStringLiteral(".sum"), Checksum(text) + '\n');
    return text;
}

void OriginalsStore::SaveText(const QString& path, const QByteArray& bytes) {
    AtomicFile file(path, AtomicFile::NoSource);
    file.Write(bytes.constData(), bytes.size());
    file.Commit();
}

void OriginalsStore::Run(ChangeJournal journal, const ReplaceManifest& before,
                         const ReplaceManifest& after, const RunProgress& progress) {
    RecordTouched(journal, before, after);
    // A terminating signal waits while files change: between two files it
    // rolls the run back, and ends the process once the folder is as it was.
    const TempFiles::SignalsHeld held;
    SaveJson(Root() + QStringLiteral("/journal.json"), journal.ToJson());
    const int total = int(journal.Changes.size());
    QByteArray afterText;
    try {
        for (int i = 0; i < total; ++i) {
            if (TempFiles::TerminatingSignalPending())
                throw AppError::Standard(
                    ErrNo::InvalidProcedureCall,
                    QStringLiteral("interrupted; nothing in %1 was changed").arg(folder_));
            if (progress) progress(i, total);
            const FileChange& change = journal.Changes[i];
            CopyAtomically(BlobPath(change.After), FileInFolder(change.Name), change.After);
        }
        if (progress) progress(total, total);
        afterText = SaveManifest(after);
    } catch (...) {
        // The journal stays when the rollback fails too: status reports it.
        try {
            RollBack(journal, false, nullptr);
        } catch (const AppError&) {
        }
        throw;
    }
    RemoveDurably(Root() + QStringLiteral("/journal.json"));
    DropUnused(BlobsOf(journal), afterText);
}

std::optional<ChangeJournal> OriginalsStore::RollBack(bool keepWhatIsOnDisk, QStringList* losses) {
    std::optional<ChangeJournal> journal;
    try {
        journal = Journal();
    } catch (const AppError& e) {
        if (e.Number != ErrNo::InvalidFileFormat || !keepWhatIsOnDisk) throw;
        // Set aside, not removed: it may still tell a person what happened.
        const QString path = Root() + QStringLiteral("/journal.json");
        const QString aside = Root() + QStringLiteral("/journal.damaged.json");
        if (::rename(Native(path).constData(), Native(aside).constData()) != 0)
            throw AppError::fromErrno(errno, path);
        SyncFolder(Root());
        if (losses)
            *losses << QStringLiteral(
                           "the journal of an interrupted change could not be read: "
                           "the files it changed stay as they are on disk (it is "
                           "kept as %1)")
                           .arg(aside);
        return std::nullopt;
    }
    if (journal) RollBack(*journal, keepWhatIsOnDisk, losses);
    return journal;
}

void OriginalsStore::RollBack(const ChangeJournal& journal, bool keepWhatIsOnDisk,
                              QStringList* losses) {
    // Checked before anything is written: without its earlier content a file
    // cannot go back, and the user decides whether it stays as it is.
    QSet<QString> lost;
    for (const FileChange& change : journal.Changes) {
        if (change.Before.isEmpty() || HasIntact(change.Before)) continue;
        const QString path = FileInFolder(change.Name);
        if (!IsRegularFile(path) || HashFile(path) != change.After) continue;
        if (!keepWhatIsOnDisk)
            throw AppError::Standard(
                ErrNo::InvalidFileFormat,
                QStringLiteral("an interrupted change to %1 cannot be undone: the copy of %2 from "
                               "before it is missing or damaged in the store. \"zsnd restore "
                               "--force %3\" keeps %2 as it is on disk")
                    .arg(folder_, change.Name, folder_));
        lost.insert(change.Name);
        if (losses)
            *losses << QStringLiteral(
                           "%1 keeps what the interrupted change wrote: its earlier "
                           "content is missing from the store")
                           .arg(change.Name);
    }
    for (const FileChange& change : journal.Changes) {
        RemoveStrayTemporaries(change.Name);
        if (lost.contains(change.Name)) continue;
        const QString path = FileInFolder(change.Name);
        const QByteArray now = IsRegularFile(path) ? HashFile(path) : QByteArray();
        // A file the run did not reach is as it was; one that something else
        // changed since is the user's, and is left alone.
        if (now != change.After) continue;
        if (change.Before.isEmpty())
            RemoveDurably(path);
        else
            CopyAtomically(BlobPath(change.Before), path, change.Before);
    }
    ReplaceManifest before = journal.Before;
    if (!journal.WholeManifest) {
        // The manifest on disk is from before the run or after it: either
        // way the records it touched are put back as they were.
        before = Manifest();
        QSet<QString> dropped(journal.Touched.begin(), journal.Touched.end());
        for (const ReplacedFile& f : journal.Before.Files()) dropped.remove(f.Name);
        before.Remove(dropped);
        for (const ReplacedFile& f : journal.Before.Files()) {
            if (ReplacedFile* record = before.Find(f.Name))
                *record = f;
            else
                before.Add(f);
        }
    }
    const QByteArray text = SaveManifest(before);
    RemoveDurably(Root() + QStringLiteral("/journal.json"));
    DropUnused(BlobsOf(journal), text);
}

void OriginalsStore::DropUnused(const QSet<QByteArray>& candidates,
                                const QByteArray& manifestText) {
    // Only copies this run itself made or released are candidates: a copy the
    // store cannot account for may still be needed, and stays.
    // A few are looked up in the text; many, against a set of all it lists.
    constexpr qsizetype kLookups = 16;
    const QSet<QByteArray> listed = candidates.size() > kLookups
                                        ? ReplaceManifest::OriginalsIn(manifestText)
                                        : QSet<QByteArray>();
    const auto needed = [&](const QByteArray& sha) {
        return candidates.size() > kLookups ? listed.contains(sha)
                                            : ReplaceManifest::ListsOriginal(manifestText, sha);
    };
    const QString blobs = Root() + QStringLiteral("/blobs");
    bool removed = false;
    for (const QByteArray& sha : candidates) {
        if (needed(sha)) continue;
        removed |= ::unlink(Native(BlobPath(sha)).constData()) == 0;
    }
    if (removed) SyncFolder(blobs);
}

void OriginalsStore::RemoveStaged() {
    // Under the lock, a staged file is one a process left when it ended.
    const QString blobs = Root() + QStringLiteral("/blobs");
    for (const QString& entry : NamesIn(blobs))
        if (entry.startsWith(QLatin1String("staged-")) && IsRegularFile(blobs + '/' + entry))
            ::unlink(Native(blobs + QLatin1Char('/') + entry).constData());
}

void OriginalsStore::RemoveIfEmpty() {
    // Only a store with no entry but its lock and its empty blobs folder.
    const QStringList entries = NamesIn(Root());
    if (!NamesIn(Root() + QStringLiteral("/blobs")).isEmpty()) return;
    for (const QString& entry : entries)
        if (entry != QLatin1String("lock") && entry != QLatin1String("blobs")) return;
    ::rmdir(Native(Root() + QStringLiteral("/blobs")).constData());
    ::unlink(Native(Root() + QStringLiteral("/lock")).constData());
    ::rmdir(Native(Root()).constData());
    SyncFolder(folder_);
}

void OriginalsStore::RemoveStrayTemporaries(const QString& name) {
    // AtomicFile's ".<name>.XXXXXX.partial", left only by a process killed outright.
    const QString head = QLatin1Char('.') + name + QLatin1Char('.');
    const QString tail = QStringLiteral(".partial");
    for (const QString& entry : NamesIn(folder_)) {
        if (entry.size() == head.size() + 6 + tail.size() && entry.startsWith(head) &&
            entry.endsWith(tail) && IsRegularFile(FileInFolder(entry)))
            ::unlink(Native(FileInFolder(entry)).constData());
    }
}

}  // namespace Replace
