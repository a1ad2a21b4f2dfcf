#include "Volumes.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <algorithm>

namespace {

bool IsPseudoType(const QByteArray& type) {
    static const QSet<QByteArray> pseudoTypes = {
        "proc",       "sysfs",      "devtmpfs", "devpts",  "cgroup",  "cgroup2",
        "securityfs", "pstore",     "bpf",      "debugfs", "tracefs", "mqueue",
        "hugetlbfs",  "fusectl",    "configfs", "autofs",  "nsfs",    "binfmt_misc",
        "efivarfs",   "rpc_pipefs", "squashfs", "ramfs",   "overlay"};
    return pseudoTypes.contains(type);
}

bool IsSystemPlace(const QString& root) {
    const auto under = [&root](const char* folder) {
        const QString f = QLatin1String(folder);
        return root == f || root.startsWith(f + QLatin1Char('/'));
    };
    if (under("/run/media")) return false;
    return under("/proc") || under("/sys") || under("/run") ||
           (under("/dev") && root != "/dev/shm");
}

// mountinfo writes a space, tab, newline or backslash of a path as \ooo.
QString Unescape(const QByteArray& field) {
    QByteArray out;
    for (qsizetype i = 0; i < field.size(); ++i) {
        bool octal = false;
        const int code = field[i] == '\\' ? field.mid(i + 1, 3).toInt(&octal, 8) : 0;
        if (octal && i + 3 < field.size()) {
            out += char(code);
            i += 3;
        } else {
            out += field[i];
        }
    }
    return QFile::decodeName(out);
}

struct Mount {
    QByteArray device;  // major:minor
    QByteArray root;    // the folder of the file system shown at the mount point
    QString point;
};

// True when `part` shows what `whole` shows already, or a folder within it.
bool Within(const Mount& part, const Mount& whole) {
    return part.device == whole.device &&
           (whole.root == "/" || part.root == whole.root || part.root.startsWith(whole.root + '/'));
}

}  // namespace

namespace Volumes {

QStringList MountedVolumes(const QByteArray& mountinfo) {
    // Line: id parent major:minor root mount-point options [optional...] - type source ...
    QList<Mount> mounts;
    for (const QByteArray& line : mountinfo.split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        const qsizetype dash = fields.indexOf("-");
        if (dash < 6 || dash + 1 >= fields.size()) continue;
        const QString point = Unescape(fields[4]);
        if (IsPseudoType(fields[dash + 1]) || IsSystemPlace(point)) continue;
        mounts.append({fields[2], fields[3], point});
    }
    // Widest view first: the whole file system, then at its shortest mount point.
    std::stable_sort(mounts.begin(), mounts.end(), [](const Mount& a, const Mount& b) {
        return a.root.size() != b.root.size() ? a.root.size() < b.root.size()
                                              : a.point.size() < b.point.size();
    });
    QList<Mount> kept;
    for (const Mount& mount : mounts) {
        // A bind mount, or the same file system mounted twice, adds no volume.
        if (std::any_of(kept.cbegin(), kept.cend(),
                        [&mount](const Mount& whole) { return Within(mount, whole); }))
            continue;
        kept << mount;
    }
    QStringList roots{QStringLiteral("/")};
    for (const Mount& mount : kept)
        if (!roots.contains(mount.point)) roots << mount.point;
    std::sort(roots.begin() + 1, roots.end());
    return roots;
}

QStringList RealVolumes() {
    QFile table(QStringLiteral("/proc/self/mountinfo"));
    if (!table.open(QIODevice::ReadOnly)) return {QStringLiteral("/")};
    QStringList roots;
    for (const QString& root : MountedVolumes(table.readAll()))
        if (root == QLatin1String("/") || QFileInfo(root).isDir()) roots << root;
    return roots;
}

QString RootOf(const QString& path, const QStringList& roots) {
    // The longest listed root that contains the path, so that a folder on a
    // pseudo mount still belongs to a volume the drive list shows.
    QString best = "/";
    for (const QString& root : roots) {
        const QString prefix = root.endsWith('/') ? root : root + '/';
        if ((path == root || path.startsWith(prefix)) && root.size() > best.size()) best = root;
    }
    return best;
}

}  // namespace Volumes
