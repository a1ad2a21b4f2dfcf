#pragma once

#include <QString>
#include <exception>
#include <string>

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
    QString HelpContext;   // decimal text, "" when absent
    qint32 Line = 0;
    qint32 LastDllError = 0;  // errno (or 0) recorded at the failure

    const char* what() const noexcept override;

    // An error for a failed system call: maps errno to the classic number
    // (53 file not found, 75 path/file access error, 61 disk full, ...) and
    // records errno as the last system error.
    static AppError fromErrno(int err, const QString& what, const QString& source = {});

private:
    mutable std::string what_;
};
