#pragma once

#include <QString>

class AppError;

// Text output of the commands: UTF-8, with the CR LF pairs of the program's
// messages shown as plain line ends. Standard output is fully buffered so that
// long listings cost one write per buffer.
namespace Console {

void Out(const QString& text);
// Standard output exactly as given (UTF-8): for CSV and JSON, whose line ends
// and characters are part of the format.
void OutVerbatim(const QString& text);
void Err(const QString& text);

// "zsnd: <text>" and the usage hint on standard error.
void UsageProblem(const QString& text);

// The error's number and report on standard error.
void Report(const AppError& error);

bool ErrIsTerminal();

}  // namespace Console
