#pragma once

#include <QString>
#include <exception>
#include <string>

// The classic error numbers a user can look up. Raise them with
// AppError(number, description) or AppError::Standard(number, detail).
namespace ErrNo {
constexpr qint32 InvalidProcedureCall = 5;
constexpr qint32 Overflow = 6;
constexpr qint32 OutOfMemory = 7;
constexpr qint32 SubscriptOutOfRange = 9;
constexpr qint32 DivisionByZero = 11;
constexpr qint32 BadFileName = 52;
constexpr qint32 FileNotFound = 53;
constexpr qint32 FileAlreadyOpen = 55;
constexpr qint32 DeviceIO = 57;
constexpr qint32 FileAlreadyExists = 58;
constexpr qint32 DiskFull = 61;
constexpr qint32 InputPastEnd = 62;
constexpr qint32 TooManyFiles = 67;
constexpr qint32 DeviceUnavailable = 68;
constexpr qint32 PermissionDenied = 70;
constexpr qint32 RenameAcrossDrives = 74;
constexpr qint32 PathFileAccess = 75;
constexpr qint32 PathNotFound = 76;
constexpr qint32 InvalidFileFormat = 321;
constexpr qint32 InvalidPropertyValue = 380;
}  // namespace ErrNo

// An error as it travels up the call chain: the number a user can look up,
// where it came from, and a description that becomes the full report once the
// error has passed through ErrorIn.
class AppError : public std::exception {
public:
    AppError() = default;
    AppError(qint32 number, QString description, QString source = {});

    qint32 Number = 0;
    QString Source;
    QString Description;
    QString HelpFile;
    QString HelpContext;  // decimal text, "" when absent
    qint32 Line = 0;
    qint32 LastDllError = 0;  // errno (or 0) recorded at the failure

    // The description, UTF-8 encoded; valid as long as the object lives.
    const char* what() const noexcept override;

    // An error for a failed system call: maps errno to the classic number
    // (53 file not found, 75 path/file access error, 61 disk full, ...) and
    // records errno as the last system error. The description is the classic
    // text, followed by ": " and `what` when `what` is not empty.
    static AppError fromErrno(int err, const QString& what, const QString& source = {});

    // The classic number for an errno value (75, path/file access error, for
    // any value the table does not list).
    static qint32 NumberForErrno(int err);

    // An error with its classic description, followed by ": " + detail when
    // detail is not empty.
    static AppError Standard(qint32 number, const QString& detail = {}, const QString& source = {});

    // The classic description of a number ("File not found" for 53);
    // "Application-defined or object-defined error" for a number without one.
    static QString StandardDescription(qint32 number);

private:
    mutable std::string what_;
};
