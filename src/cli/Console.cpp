#include "Console.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "AppError.h"
#include "Inventory.h"
#include "NativeName.h"
#include "TerminalText.h"

namespace Console {

namespace {

int outError = 0;  // errno of the first failed write to standard output
bool outClosed = false;

void NoteOutError(int err) {
    if (outError == 0) outError = err != 0 ? err : EIO;
}

void FlushOut() {
    if (!outClosed && std::fflush(stdout) != 0) NoteOutError(errno);
}

void Put(std::FILE* stream, const QByteArray& bytes) {
    const size_t size = static_cast<size_t>(bytes.size());
    if (std::fwrite(bytes.constData(), 1, size, stream) != size && stream == stdout)
        NoteOutError(errno);
}

void Write(std::FILE* stream, const QString& text) {
    QString plain = text;
    if (plain.contains(QLatin1Char('\r')))
        plain.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    Put(stream, TerminalText::Escaped(plain, true).toUtf8());
}

}  // namespace

QString Shown(const QString& name) {
    return TerminalText::Escaped(name);
}

QString Line(const QString& message) {
    return TerminalText::Escaped(mUtility::OneLine(message));
}

void Out(const QString& text) {
    if (!outClosed) Write(stdout, text);
}

void OutVerbatim(const QString& text) {
    // A table or JSON meant for a program goes as it is; on a terminal it is
    // read by a person, and a name must not drive the terminal.
    static const bool terminal = ::isatty(STDOUT_FILENO) == 1;
    if (terminal)
        Out(text);
    else if (!outClosed)
        Put(stdout, NativeName::Encode(text));
}

void Err(const QString& text) {
    FlushOut();
    Write(stderr, text);
}

void ErrOverLine(const QString& text) {
    FlushOut();
    Put(stderr, "\r" + TerminalText::Escaped(text).toUtf8());
}

void UsageProblem(const QString& text) {
    Err(QStringLiteral("zsnd: %1\nTry 'zsnd --help' for more information.\n").arg(Line(text)));
}

void Report(const AppError& error) {
    Err(QStringLiteral("zsnd: error %1: %2\n").arg(error.Number).arg(Line(error.Description)));
}

bool FinishOutput() {
    FlushOut();
    if (std::ferror(stdout)) NoteOutError(0);
    outClosed = true;
    if (std::fclose(stdout) != 0) NoteOutError(errno);
    if (outError == 0) return true;
    Write(stderr, QStringLiteral("zsnd: cannot write to standard output: %1\n")
                      .arg(QString::fromLocal8Bit(std::strerror(outError))));
    return false;
}

DecoderMessages::DecoderMessages() {
    std::fflush(stderr);
    held_ = ::memfd_create("zsnd-decoder", MFD_CLOEXEC);
    saved_ = held_ < 0 ? -1 : ::fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 0);
    if (saved_ < 0 || ::dup2(held_, STDERR_FILENO) < 0) {
        if (held_ >= 0) ::close(held_);
        if (saved_ >= 0) ::close(saved_);
        held_ = saved_ = -1;
    }
}

DecoderMessages::~DecoderMessages() {
    if (held_ < 0) return;
    std::fflush(stderr);
    ::dup2(saved_, STDERR_FILENO);
    ::close(saved_);
    QByteArray text;
    char buffer[4096];
    ssize_t n = 0;
    for (off_t at = 0; (n = ::pread(held_, buffer, sizeof buffer, at)) > 0 && text.size() < 65536;
         at += n)
        text.append(buffer, n);
    ::close(held_);
    for (const QByteArray& line : text.split('\n'))
        if (!line.trimmed().isEmpty())
            Err(QStringLiteral("zsnd: decoder: ") +
                TerminalText::Escaped(NativeName::Decode(line)) + QLatin1Char('\n'));
}

bool ErrIsTerminal() {
    return ::isatty(STDERR_FILENO) == 1;
}

}  // namespace Console
