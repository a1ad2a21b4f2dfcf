#include "Volumes.h"

#include <QStorageInfo>

namespace {

bool IsPseudo(const QStorageInfo& volume) {
    static const QStringList pseudoTypes = {
        "proc",       "sysfs",      "devtmpfs", "devpts",  "cgroup",  "cgroup2",
        "securityfs", "pstore",     "bpf",      "debugfs", "tracefs", "mqueue",
        "hugetlbfs",  "fusectl",    "configfs", "autofs",  "nsfs",    "binfmt_misc",
        "efivarfs",   "rpc_pipefs", "squashfs", "ramfs"};
    const QString type = QString::fromLatin1(volume.fileSystemType());
    if (pseudoTypes.contains(type)) return true;
    const QString root = volume.rootPath();
    return root.startsWith("/proc") || root.startsWith("/sys") || root.startsWith("/run") ||
           (root.startsWith("/dev") && root != "/dev/shm");
}

}  // namespace

namespace Volumes {

QStringList RealVolumes() {
    QStringList roots{"/"};
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid() || !volume.isReady() || IsPseudo(volume)) continue;
        if (!roots.contains(volume.rootPath())) roots << volume.rootPath();
    }
    std::sort(roots.begin() + 1, roots.end());
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
