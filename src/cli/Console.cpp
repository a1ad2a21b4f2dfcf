#include "Console.h"

#include <unistd.h>

#include <cstdio>

#include "AppError.h"

namespace Console {

namespace {

void Write(std::FILE* stream, const QString& text) {
    QString plain = text;
    plain.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    const QByteArray bytes = plain.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
}

}  // namespace

void Out(const QString& text) {
    Write(stdout, text);
}

void OutVerbatim(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
}

void Err(const QString& text) {
    std::fflush(stdout);
    Write(stderr, text);
}

void UsageProblem(const QString& text) {
    Err(QStringLiteral("zsnd: %1\nTry 'zsnd --help' for more information.\n").arg(text));
}

void Report(const AppError& error) {
    Err(QStringLiteral("zsnd: error %1: %2\n").arg(error.Number).arg(error.Description));
}

bool ErrIsTerminal() {
    return ::isatty(STDERR_FILENO) == 1;
}

}  // namespace Console
