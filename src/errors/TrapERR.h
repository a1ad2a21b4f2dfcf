#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QVariant>
#include <exception>
#include <type_traits>

#include "AppError.h"

// The error module: every trapped procedure hands a failure to ErrorIn with its
// source tag and parameter values; ErrorIn builds or extends the report and
// raises the error again as an AppError.
//
// Report of the first level (each line ends with CR LF):
// clang-format off
//   <description>
//     Time='MM/DD/YY HH:NN:SS' App='<exe>:2.0.7' ADO-version='?' Computer='<host>'
//     Method: <method>
//     Number: <n> = &H<hex> = vbObjectError +|- <diff> = ERRMAP_APP_FIRST +|- <diff>
//             [= ERR_GENERAL]
//     Source: <source>
//     Description: <description>
//     API Error: (<errno>) <strerror text>   only when errno is neither 0 nor 203
//     Call Stack: <method>(<name>=<value>, ...) ----  padded with "-" to 100 characters
//       Value Of <name>:                     only for values longer than 40 characters
//         <value>                            or holding a line break
// clang-format on
// Every further level appends its own call-stack line (and long values).
// Errors numbered QuietFirst..QuietLast pass through without a report.
namespace TrapERR {

constexpr qint32 vbObjectError = static_cast<qint32>(0x80040000);
constexpr qint32 ERRMAP_APP_FIRST = static_cast<qint32>(0x8004144E);
constexpr qint32 ERR_GENERAL = ERRMAP_APP_FIRST;
constexpr qint32 QuietFirst = static_cast<qint32>(0x80041065);
constexpr qint32 QuietLast = static_cast<qint32>(0x8004144D);

// The source an error carries once its report has been composed.
inline const QString ReportedSource = QStringLiteral("TrapERR.ErrorIn");

enum Option { RaiseAgain = 1, ComposeReport = 2 };

// A parameter value as the report shows it. An invalid QVariant is an
// absent value; use Empty()/Null() for the other two special values.
using ArgList = QList<QVariant>;
QVariant Empty();
QVariant Null();

// One parameter as a report value: QObject pointers keep their class name,
// character pointers become text, everything else goes through QVariant.
template <typename T>
QVariant ToArg(const T& value) {
    if constexpr (std::is_same_v<T, QVariant>) {
        return value;
    } else if constexpr (std::is_convertible_v<const T&, const QObject*>) {
        return QVariant::fromValue(const_cast<QObject*>(static_cast<const QObject*>(value)));
    } else if constexpr (std::is_convertible_v<const T&, const char*>) {
        return QVariant(QString::fromUtf8(static_cast<const char*>(value)));
    } else {
        return QVariant::fromValue(value);
    }
}

template <typename... T>
ArgList Args(const T&... values) {
    return ArgList{ToArg(values)...};
}

// The error being handled (std::current_exception) as an AppError:
// an AppError as it is; std::bad_alloc as 7 "Out of memory"; a
// std::system_error through fromErrno; std::invalid_argument 5,
// std::out_of_range 9, std::overflow_error/std::range_error 6; any other
// std::exception as ERR_GENERAL with its what(). Nothing being handled, or an
// exception of unknown type, gives number 0 (information lost).
AppError CurrentError();

// CurrentError with a lost error (number 0) turned into ERR_GENERAL and the
// "information was lost" description: what a top-level handler shows.
AppError HandledError();

// Copies the error being handled (std::current_exception) into the preserved
// record unless it already holds one.
void ErrPreserve();
void ErrPreserve(const AppError& error);

// Builds the report for the procedure `tag` and, with RaiseAgain, throws the
// resulting AppError. Call it from within a catch block (or after
// ErrPreserve). Without RaiseAgain it returns the report ("" for a quiet
// error) and, when the error being handled is an AppError, updates it in
// place so that a plain `throw;` passes the report on.
QString ErrorIn(const QString& tag, const ArgList& values = {},
                int options = RaiseAgain | ComposeReport);

// ErrorIn with both options: never returns.
[[noreturn]] void Trap(const QString& tag, const ArgList& values = {});

// The program's name as the report shows it: the executable's file name
// without extension.
QString AppName();

}  // namespace TrapERR

// Makes a trapped procedure's handler one line:
//   try { ... } ZS_TRAP("mUtility.MakeSND(sSourceFile,sDestFile)", sSourceFile, sDestFile)
#define ZS_TRAP(tag, ...)                                                   \
    catch (...) {                                                           \
        ::TrapERR::Trap(QStringLiteral(tag), ::TrapERR::Args(__VA_ARGS__)); \
    }
