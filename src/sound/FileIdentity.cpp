#include "FileIdentity.h"

#include <sys/stat.h>

#include <QSet>

#include "NativeName.h"

namespace mUtility {

std::optional<FileIdentity> IdentityOf(const QString& path) {
    struct stat st {};
    if (::stat(NativeName::Encode(path).constData(), &st) != 0) return std::nullopt;
    return FileIdentity{st.st_dev, st.st_ino};
}

QStringList DistinctFiles(const QStringList& paths) {
    QSet<FileIdentity> files;
    QSet<QString> missing;
    QStringList distinct;
    for (const QString& path : paths) {
        const std::optional<FileIdentity> id = IdentityOf(path);
        const bool repeated = id ? files.contains(*id) : missing.contains(path);
        if (repeated) continue;
        if (id)
            files.insert(*id);
        else
            missing.insert(path);
        distinct << path;
    }
    return distinct;
}

}  // namespace mUtility
