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

#include "AppError.h"
#include "AtomicFile.h"
#include "Inventory.h"
#include "NativeName.h"
#include "Replacement.h"
#include "SoundInfo.h"
#include "StoreFiles.h"

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

// The JSON object of a file, or an empty object when the file does not exist.
QJsonObject ReadJson(const QString& path, bool& found) {
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
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        throw AppError::Standard(
            ErrNo::InvalidFileFormat,
            QStringLiteral("%1 is damaged (%2)").arg(path, error.errorString()));
    return doc.object();
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

}  // namespace

OriginalsStore::OriginalsStore(const QString& folder) : folder_(folder) {}

OriginalsStore::~OriginalsStore() {
    if (lockFd_ >= 0) ::close(lockFd_);
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
    MakeFolder(Root());
    MakeFolder(Root() + QStringLiteral("/blobs"));
    const QString path = Root() + QStringLiteral("/lock");
    const int fd =
        ::open(Native(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0) throw AppError::fromErrno(errno, path);
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int err = errno;
        ::close(fd);
        if (err == EWOULDBLOCK)
            throw AppError::Standard(
                ErrNo::FileAlreadyOpen,
                QStringLiteral("another program is changing the sounds of %1; try again when it "
                               "has finished")
                    .arg(folder_));
        throw AppError::fromErrno(err, path);
    }
    lockFd_ = fd;
}

void OriginalsStore::LockForChange() {
    Lock();
    if (const auto journal = Journal())
        throw AppError::Standard(ErrNo::InvalidProcedureCall, InterruptedText(folder_, *journal));
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
    bool found = false;
    const QJsonObject json = ReadJson(path, found);
    return found ? ReplaceManifest::FromJson(json, path) : ReplaceManifest();
}

std::optional<ChangeJournal> OriginalsStore::Journal() const {
    const QString path = Root() + QStringLiteral("/journal.json");
    bool found = false;
    const QJsonObject json = ReadJson(path, found);
    if (!found) return std::nullopt;
    return ChangeJournal::FromJson(json, path);
}

QByteArray OriginalsStore::Keep(const QString& path) {
    const QByteArray sha = HashFile(path);
    if (!IsRegularFile(BlobPath(sha))) CopyAtomically(path, BlobPath(sha), sha);
    return sha;
}

QByteArray OriginalsStore::Adopt(const QString& stagedPath) {
    const QByteArray sha = HashFile(stagedPath);
    const QString blob = BlobPath(sha);
    if (IsRegularFile(blob)) {
        RemoveDurably(stagedPath);
    } else {
        if (::rename(Native(stagedPath).constData(), Native(blob).constData()) != 0)
            throw AppError::fromErrno(errno, blob);
        SyncFolder(Root() + QStringLiteral("/blobs"));
    }
    return sha;
}

bool OriginalsStore::HasIntact(const QByteArray& sha) const {
    try {
        return IsRegularFile(BlobPath(sha)) && HashFile(BlobPath(sha)) == sha;
    } catch (const AppError&) {
        return false;
    }
}

void OriginalsStore::SaveJson(const QString& path, const QJsonObject& json) {
    const QByteArray bytes = QJsonDocument(json).toJson(QJsonDocument::Indented);
    AtomicFile file(path, AtomicFile::NoSource);
    file.Write(bytes.constData(), bytes.size());
    file.Commit();
}

void OriginalsStore::Run(ChangeJournal journal, const ReplaceManifest& after,
                         const RunProgress& progress) {
    journal.ManifestBefore = Manifest().ToJson();
    SaveJson(Root() + QStringLiteral("/journal.json"), journal.ToJson());
    const int total = int(journal.Changes.size());
    try {
        for (int i = 0; i < total; ++i) {
            if (progress) progress(i, total);
            const FileChange& change = journal.Changes[i];
            CopyAtomically(BlobPath(change.After), FileInFolder(change.Name), change.After);
        }
        if (progress) progress(total, total);
        SaveJson(Root() + QStringLiteral("/manifest.json"), after.ToJson());
    } catch (...) {
        // The journal stays when the rollback fails too: status reports it.
        try {
            RollBack(journal);
        } catch (const AppError&) {
        }
        throw;
    }
    RemoveDurably(Root() + QStringLiteral("/journal.json"));
    DropUnused(after);
}

std::optional<ChangeJournal> OriginalsStore::RollBack() {
    std::optional<ChangeJournal> journal = Journal();
    if (journal) RollBack(*journal);
    return journal;
}

void OriginalsStore::RollBack(const ChangeJournal& journal) {
    for (const FileChange& change : journal.Changes) {
        RemoveStrayTemporaries(change.Name);
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
    SaveJson(Root() + QStringLiteral("/manifest.json"), journal.ManifestBefore);
    RemoveDurably(Root() + QStringLiteral("/journal.json"));
    DropUnused(ReplaceManifest::FromJson(journal.ManifestBefore, Root()));
}

void OriginalsStore::DropUnused(const ReplaceManifest& manifest) {
    const QString blobs = Root() + QStringLiteral("/blobs");
    for (const QString& name : NamesIn(blobs)) {
        const QByteArray sha = name.toLatin1();
        const bool used = std::any_of(manifest.Files.begin(), manifest.Files.end(),
                                      [&](const ReplacedFile& f) { return f.OriginalSha == sha; });
        if (!used) ::unlink(Native(blobs + QLatin1Char('/') + name).constData());
    }
    SyncFolder(blobs);
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
