#include "AppError.h"

#include <cerrno>
#include <utility>

AppError::AppError(qint32 number, QString description, QString source)
    : Number(number), Source(std::move(source)), Description(std::move(description)) {}

const char* AppError::what() const noexcept {
    try {
        what_ = Description.toStdString();
        return what_.c_str();
    } catch (...) {
        return "AppError";
    }
}

QString AppError::StandardDescription(qint32 number) {
    switch (number) {
        case ErrNo::InvalidProcedureCall:
            return QStringLiteral("Invalid procedure call or argument");
        case ErrNo::Overflow:
            return QStringLiteral("Overflow");
        case ErrNo::OutOfMemory:
            return QStringLiteral("Out of memory");
        case ErrNo::SubscriptOutOfRange:
            return QStringLiteral("Subscript out of range");
        case ErrNo::DivisionByZero:
            return QStringLiteral("Division by zero");
        case ErrNo::BadFileName:
            return QStringLiteral("Bad file name or number");
        case ErrNo::FileNotFound:
            return QStringLiteral("File not found");
        case ErrNo::FileAlreadyOpen:
            return QStringLiteral("File already open");
        case ErrNo::DeviceIO:
            return QStringLiteral("Device I/O error");
        case ErrNo::FileAlreadyExists:
            return QStringLiteral("File already exists");
        case ErrNo::DiskFull:
            return QStringLiteral("Disk full");
        case ErrNo::InputPastEnd:
            return QStringLiteral("Input past end of file");
        case ErrNo::TooManyFiles:
            return QStringLiteral("Too many files");
        case ErrNo::DeviceUnavailable:
            return QStringLiteral("Device unavailable");
        case ErrNo::PermissionDenied:
            return QStringLiteral("Permission denied");
        case ErrNo::RenameAcrossDrives:
            return QStringLiteral("Can't rename with different drive");
        case ErrNo::PathFileAccess:
            return QStringLiteral("Path/File access error");
        case ErrNo::PathNotFound:
            return QStringLiteral("Path not found");
        case ErrNo::InvalidPropertyValue:
            return QStringLiteral("Invalid property value");
        case ErrNo::InvalidFileFormat:
            return QStringLiteral("Invalid file format");
        default:
            return QStringLiteral("Application-defined or object-defined error");
    }
}

// errno → classic number. A user knows "File not found" and "Disk full"; the
// errno itself still reaches the report through LastDllError.
//   ENOENT                        53 File not found
//   ENOTDIR, ELOOP                76 Path not found
//   EACCES, EPERM                 70 Permission denied
//   ENOSPC, EDQUOT, EFBIG         61 Disk full
//   ENOMEM                         7 Out of memory
//   EIO                           57 Device I/O error
//   ENAMETOOLONG, EBADF           52 Bad file name or number
//   EEXIST                        58 File already exists
//   EMFILE, ENFILE                67 Too many files
//   ENXIO, ENODEV                 68 Device unavailable
//   EXDEV                         74 Can't rename with different drive
//   EINVAL                         5 Invalid procedure call or argument
//   EDOM                          11 Division by zero
//   ERANGE, EOVERFLOW              6 Overflow
//   anything else (EROFS, EISDIR, EBUSY, ...)   75 Path/File access error
qint32 AppError::NumberForErrno(int err) {
    switch (err) {
        case ENOENT:
            return ErrNo::FileNotFound;
        case ENOTDIR:
        case ELOOP:
            return ErrNo::PathNotFound;
        case EACCES:
        case EPERM:
            return ErrNo::PermissionDenied;
        case ENOSPC:
        case EDQUOT:
        case EFBIG:
            return ErrNo::DiskFull;
        case ENOMEM:
            return ErrNo::OutOfMemory;
        case EIO:
            return ErrNo::DeviceIO;
        case ENAMETOOLONG:
        case EBADF:
            return ErrNo::BadFileName;
        case EEXIST:
            return ErrNo::FileAlreadyExists;
        case EMFILE:
        case ENFILE:
            return ErrNo::TooManyFiles;
        case ENXIO:
        case ENODEV:
            return ErrNo::DeviceUnavailable;
        case EXDEV:
            return ErrNo::RenameAcrossDrives;
        case EINVAL:
            return ErrNo::InvalidProcedureCall;
        case EDOM:
            return ErrNo::DivisionByZero;
        case ERANGE:
        case EOVERFLOW:
            return ErrNo::Overflow;
        default:
            return ErrNo::PathFileAccess;
    }
}

AppError AppError::Standard(qint32 number, const QString& detail, const QString& source) {
    QString text = StandardDescription(number);
    if (!detail.isEmpty()) text += QStringLiteral(": ") + detail;
    return AppError(number, text, source);
}

AppError AppError::fromErrno(int err, const QString& what, const QString& source) {
    AppError e = Standard(NumberForErrno(err), what, source);
    e.LastDllError = err;
    return e;
}
