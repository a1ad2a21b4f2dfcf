#pragma once

#include <QString>

class AppError;

// Text output of the commands: UTF-8, with the CR LF pairs of the program's
// messages shown as plain line ends. Control characters other than those line
// ends are shown escaped (ESC as \e, others as \xHH), so a file name cannot
// drive the terminal. Standard output is fully buffered so that long listings
// cost one write per buffer.
namespace Console {

// `name` with its line ends escaped too, and a byte that is not valid UTF-8 as
// \xHH: one name, one line.
QString Shown(const QString& name);

// A message (which may hold names) on one line: its CR LF pairs become
// spaces and everything else is escaped as in Shown.
QString Line(const QString& message);

void Out(const QString& text);
// Standard output exactly as given (UTF-8, names' bytes as on disk): for CSV
// and JSON, whose line ends and characters are part of the format. On a
// terminal it is escaped as Out does, since a person reads it there.
void OutVerbatim(const QString& text);
void Err(const QString& text);
// `text` (escaped as by Err) over the line standard error shows last: a
// progress line on a terminal.
void ErrOverLine(const QString& text);

// "zsnd: <text>" and the usage hint on standard error.
void UsageProblem(const QString& text);

// The error's number and report on standard error.
void Report(const AppError& error);

// Flushes and closes standard output. False, with a message on standard
// error, when anything written to it was lost (a full disk, a closed pipe).
bool FinishOutput();

bool ErrIsTerminal();

// While one lives, what libraries write to standard error (a decoder's own
// warnings) is held back; when it ends, each line is shown escaped, as
// "zsnd: decoder: <line>", so no raw byte of a file reaches the terminal.
class DecoderMessages {
public:
    DecoderMessages();
    ~DecoderMessages();
    DecoderMessages(const DecoderMessages&) = delete;
    DecoderMessages& operator=(const DecoderMessages&) = delete;

private:
    int saved_ = -1;
    int held_ = -1;
};

}  // namespace Console
