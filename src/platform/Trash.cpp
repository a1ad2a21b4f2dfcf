#include "Trash.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDateTime>
#include <cerrno>
#include <optional>

#include "AppError.h"
#include "NativeName.h"

// The desktop trash, worked on by the names' bytes: a name that is not valid
// UTF-8 goes in and comes back out unchanged. Each trash folder holds the file
// under files/NAME and where it came from in info/NAME.trashinfo.
namespace Trash {

namespace {

QByteArray Parent(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    return slash <= 0 ? QByteArray("/") : path.left(slash);
}

QByteArray BaseName(const QByteArray& path) {
    return path.mid(path.lastIndexOf('/') + 1);
}

// The folder with every missing parent; new folders are the user's alone.
bool MakeFolders(const QByteArray& path) {
    struct stat st {};
    if (::stat(path.constData(), &st) == 0) return S_ISDIR(st.st_mode);
    if (path.isEmpty() || path == "/" || !MakeFolders(Parent(path))) return false;
    return ::mkdir(path.constData(), 0700) == 0 || errno == EEXIST;
}

// A trash folder usable for files of device `dev`: it exists or could be
// made, with files/ and info/ inside, on that device, and is a folder of this
// user's own rather than a link someone else placed there.
bool Usable(const QByteArray& trash, dev_t dev) {
    struct stat st {};
    return MakeFolders(trash + "/files") && MakeFolders(trash + "/info") &&
           ::lstat(trash.constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid() &&
           st.st_dev == dev;
}

QByteArray HomeTrash() {
    QByteArray data = qgetenv("XDG_DATA_HOME");
    if (!data.startsWith('/')) data = qgetenv("HOME") + "/.local/share";
    return data + "/Trash";
}

// The top folder of the volume that holds `path`.
QByteArray VolumeTop(const QByteArray& path, dev_t dev) {
    QByteArray top = Parent(path);
    struct stat st {};
    while (top != "/" && ::stat(Parent(top).constData(), &st) == 0 && st.st_dev == dev)
        top = Parent(top);
    return top;
}

// The home trash when the file lies on its volume; otherwise the volume's
// shared trash (a sticky, real .Trash folder) or the user's own .Trash-UID.
std::optional<QByteArray> TrashFor(const QByteArray& path, dev_t dev) {
    if (Usable(HomeTrash(), dev)) return HomeTrash();
    const QByteArray top = VolumeTop(path, dev);
    const QByteArray uid = QByteArray::number(::getuid());
    const QByteArray shared = (top == "/" ? QByteArray() : top) + "/.Trash";
    struct stat st {};
    if (::lstat(shared.constData(), &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX) &&
        Usable(shared + '/' + uid, dev))
        return shared + '/' + uid;
    const QByteArray own = shared + '-' + uid;
    if (Usable(own, dev)) return own;
    return std::nullopt;
}

// "name.wsd", then "name (2).wsd", "name (3).wsd"...
QByteArray Numbered(const QByteArray& name, int n) {
    if (n == 1) return name;
    const qsizetype dot = name.lastIndexOf('.');
    const qsizetype cut = dot > 0 ? dot : name.size();
    return name.left(cut) + " (" + QByteArray::number(n) + ')' + name.mid(cut);
}

QByteArray InfoText(const QByteArray& path) {
    const QByteArray when =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-ddThh:mm:ss")).toLatin1();
    return "[Trash Info]\nPath=" + path.toPercentEncoding("/") + "\nDeletionDate=" + when + '\n';
}

// Claims an entry name in `trash` by creating its info file, which is what
// keeps two deletions from taking one name. Returns the name, or "" on failure.
QByteArray ClaimEntry(const QByteArray& trash, const QByteArray& path) {
    const QByteArray text = InfoText(path);
    for (int n = 1; n < 10000; ++n) {
        const QByteArray name = Numbered(BaseName(path), n);
        struct stat st {};
        if (::lstat((trash + "/files/" + name).constData(), &st) == 0) continue;
        const QByteArray info = trash + "/info/" + name + ".trashinfo";
        const int fd = ::open(info.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0 && errno == EEXIST) continue;
        if (fd < 0) return {};
        const bool written = ::write(fd, text.constData(), text.size()) == text.size();
        if (::close(fd) == 0 && written) return name;
        ::unlink(info.constData());
        return {};
    }
    return {};
}

}  // namespace

QString MoveToTrash(const QString& path) {
    const QByteArray from = NativeName::Encode(path);
    struct stat st {};
    if (::lstat(from.constData(), &st) != 0) throw AppError::fromErrno(errno, path);
    const std::optional<QByteArray> trash = TrashFor(from, st.st_dev);
    if (!trash) return {};
    const QByteArray name = ClaimEntry(*trash, from);
    if (name.isEmpty()) return {};
    const QByteArray to = *trash + "/files/" + name;
    if (::rename(from.constData(), to.constData()) != 0) {
        const int error = errno;
        ::unlink((*trash + "/info/" + name + ".trashinfo").constData());
        throw AppError::fromErrno(error, path);
    }
    return NativeName::Decode(to);
}

void Restore(const QString& inTrash, const QString& original) {
    const QByteArray from = NativeName::Encode(inTrash);
    const QByteArray to = NativeName::Encode(original);
    struct stat st {};
    if (::lstat(from.constData(), &st) != 0) throw AppError::fromErrno(errno, inTrash);
    // rename() would replace a file that took the name meanwhile.
    if (::lstat(to.constData(), &st) == 0)
        throw AppError::Standard(ErrNo::FileAlreadyExists, original);
    if (::rename(from.constData(), to.constData()) != 0) throw AppError::fromErrno(errno, original);
    // <trash>/files/NAME is described by <trash>/info/NAME.trashinfo.
    const QByteArray trash = Parent(Parent(from));
    ::unlink((trash + "/info/" + BaseName(from) + ".trashinfo").constData());
}

}  // namespace Trash
