#pragma once

#include <QList>
#include <QString>
#include <QVariant>
#include <exception>

#include "AppError.h"

// The error module: every trapped procedure hands a failure to ErrorIn with its
// source tag and parameter values; ErrorIn builds or extends the report and
// raises the error again as an AppError.
namespace TrapERR {

constexpr qint32 vbObjectError = static_cast<qint32>(0x80040000);
constexpr qint32 ERRMAP_APP_FIRST = static_cast<qint32>(0x8004144E);
constexpr qint32 ERR_GENERAL = ERRMAP_APP_FIRST;
constexpr qint32 QuietFirst = static_cast<qint32>(0x80041065);
constexpr qint32 QuietLast = static_cast<qint32>(0x8004144D);

enum Option { RaiseAgain = 1, ComposeReport = 2 };

// A parameter value as the report shows it. An invalid QVariant is an
// absent value; use Empty()/Null() for the other two special values.
using ArgList = QList<QVariant>;
QVariant Empty();
QVariant Null();

// Copies the error being handled (std::current_exception) into the preserved
// record unless it already holds one.
void ErrPreserve();
void ErrPreserve(const AppError& error);

// Builds the report for the procedure `tag` and, with RaiseAgain, throws the
// resulting AppError. Must be called from within a catch block (or after
// ErrPreserve). Returns the report when RaiseAgain is not set.
QString ErrorIn(const QString& tag, const ArgList& values = {},
                int options = RaiseAgain | ComposeReport);

// ErrorIn with both options: never returns.
[[noreturn]] void Trap(const QString& tag, const ArgList& values = {});

}  // namespace TrapERR

// Makes a trapped procedure's handler one line:
//   try { ... } ZS_TRAP("mUtility.MakeSND(sSourceFile,sDestFile)", sSourceFile, sDestFile)
#define ZS_TRAP(tag, ...) \
    catch (...) { ::TrapERR::Trap(QStringLiteral(tag), ::TrapERR::ArgList{__VA_ARGS__}); }
