#pragma once

#include <sys/types.h>

#include <QHashFunctions>

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

}  // namespace mUtility
