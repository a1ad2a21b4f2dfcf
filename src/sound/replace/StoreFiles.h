#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

// File operations the store of originals is built from.
namespace Replace {

// Hands every byte of the file at `path` to `sink`, block by block; returns
// the number of bytes. Throws AppError.
qint64 ReadAll(const QString& path, const std::function<void(const char*, qint64)>& sink);

// The SHA-256 (lower-case hex) of every byte of the file. Throws AppError.
QByteArray HashFile(const QString& path);

// The size of the file at `path`; -1 when it cannot be read.
qint64 SizeOf(const QString& path);

// True when `path` names a regular file (a link is not followed).
bool IsRegularFile(const QString& path);

// Throws AppError 53 when nothing is at `path`, and 75 when what is there is
// not a regular file: a link is not followed, so a change never lands outside
// the folder it was asked for.
void RequireRegularFile(const QString& path);

// Writes a copy of `from` over `to` through AtomicFile: `to` is either its
// old self or the complete copy, and keeps its mode when it existed. The copy
// is checked against `expectedSha` (when given) before it replaces `to`.
// Throws AppError.
void CopyAtomically(const QString& from, const QString& to, const QByteArray& expectedSha = {});

// Removes `path` if it exists and makes the removal durable. Throws AppError.
void RemoveDurably(const QString& path);

// Flushes a folder's entries (after a rename or a removal in it).
void SyncFolder(const QString& folder);

}  // namespace Replace
