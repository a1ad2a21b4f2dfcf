#pragma once

#include <QString>

// The desktop trash, with the way back out of it.
namespace Trash {

// Moves `path` to the trash of its volume. Returns where it lies in the trash,
// or "" when no trash can take it (a volume without a trash folder we may
// create); the file is then where it was. Throws AppError when the file is
// gone or the move itself fails (the file stays where it was).
QString MoveToTrash(const QString& path);

// Puts a file moved by MoveToTrash back at `original` and forgets its entry in
// the trash. Throws AppError when the file is no longer in the trash (53), a
// file of that name has appeared since (58) or the move fails.
void Restore(const QString& inTrash, const QString& original);

}  // namespace Trash
