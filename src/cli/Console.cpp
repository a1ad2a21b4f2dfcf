#include "Console.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "AppError.h"
#include "NativeName.h"

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

QString Escape(QChar c) {
    switch (c.unicode()) {
        case '\a':
            return QStringLiteral("\\a");
        case '\b':
            return QStringLiteral("\\b");
        case '\t':
            return QStringLiteral("\\t");
        case '\n':
            return QStringLiteral("\\n");
        case '\v':
            return QStringLiteral("\\v");
        case '\f':
            return QStringLiteral("\\f");
        case '\r':
            return QStringLiteral("\\r");
        case 0x1B:
            return QStringLiteral("\\e");
        default:
            return QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
    }
}

bool IsControl(char16_t u) {
    return u < 0x20 || u == 0x7F || (u >= 0x80 && u <= 0x9F);
}

// Control characters escaped (a line end too, unless kept), and bytes that
// were not valid UTF-8 as \xHH: nothing in a name reaches the terminal raw.
QString Escaped(const QString& text, bool keepLineEnds) {
    const auto plain = [keepLineEnds](QChar c) {
        const char16_t u = c.unicode();
        return (u >= 0x20 && u < 0x7F) || (keepLineEnds && u == '\n');
    };
    if (std::all_of(text.cbegin(), text.cend(), plain)) return text;  // the usual case
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const int byte = NativeName::EscapedByte(text, i);
        if (byte >= 0) {
            out += QStringLiteral("\\x%1").arg(byte, 2, 16, QLatin1Char('0'));
        } else if (IsControl(c.unicode()) && !(keepLineEnds && c == QLatin1Char('\n'))) {
            out += c.unicode() >= 0x80
                       ? QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'))
                       : Escape(c);
        } else {
            out += c;
        }
    }
    return out;
}

void Put(std::FILE* stream, const QByteArray& bytes) {
    const size_t size = static_cast<size_t>(bytes.size());
    if (std::fwrite(bytes.constData(), 1, size, stream) != size && stream == stdout)
        NoteOutError(errno);
}

void Write(std::FILE* stream, const QString& text) {
    QString plain = text;
    plain.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    Put(stream, Escaped(plain, true).toUtf8());
}

}  // namespace

QString Shown(const QString& name) {
    return Escaped(name, false);
}

void Out(const QString& text) {
    if (!outClosed) Write(stdout, text);
}

void OutVerbatim(const QString& text) {
    if (!outClosed) Put(stdout, text.toUtf8());
}

void Err(const QString& text) {
    FlushOut();
    Write(stderr, text);
}

void UsageProblem(const QString& text) {
    Err(QStringLiteral("zsnd: %1\nTry 'zsnd --help' for more information.\n").arg(text));
}

void Report(const AppError& error) {
    Err(QStringLiteral("zsnd: error %1: %2\n").arg(error.Number).arg(error.Description));
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

bool ErrIsTerminal() {
    return ::isatty(STDERR_FILENO) == 1;
}

}  // namespace Console
