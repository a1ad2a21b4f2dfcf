#pragma once

#include <sys/types.h>

#include <QHashFunctions>
#include <QString>
#include <QStringList>
#include <optional>

namespace mUtility {

// A file as the file system knows it, whatever the name or link it is reached
// by: two paths name one file exactly when device and inode are the same.
struct FileIdentity {
    dev_t dev;
    ino_t ino;
    bool operator==(const FileIdentity&) const = default;
};

inline size_t qHash(const FileIdentity& id, size_t seed = 0) {
    return ::qHash(quint64(id.dev), seed) ^ ::qHash(quint64(id.ino), seed);
}

// The file `path` reaches, links followed; none when nothing is there.
std::optional<FileIdentity> IdentityOf(const QString& path);

// `paths` without those that reach a file an earlier one reached ("d/A.SND"
// after "d//A.SND" or a link to it); a path that reaches nothing is dropped
// only when its text repeats an earlier one. The order is kept.
QStringList DistinctFiles(const QStringList& paths);

}  // namespace mUtility
