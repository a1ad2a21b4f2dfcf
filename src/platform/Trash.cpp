#include "Trash.h"

#include <stdio.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <cerrno>

#include "AppError.h"
#include "NativeName.h"

namespace Trash {

QString MoveToTrash(const QString& path) {
    // The trash in the home lives in the data folder, which a new account may lack.
    QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    QString inTrash;
    return QFile::moveToTrash(path, &inTrash) ? inTrash : QString();
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
    const int slash = inTrash.lastIndexOf(QLatin1Char('/'));
    const QString trash = QDir::cleanPath(inTrash.left(slash) + QStringLiteral("/.."));
    QFile::remove(trash + QStringLiteral("/info/") + inTrash.mid(slash + 1) +
                  QStringLiteral(".trashinfo"));
}

}  // namespace Trash
