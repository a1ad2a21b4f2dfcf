// What zsnd writes for a person to read, on arbitrary text: a name shown on a
// line of its own, and a message that may hold names. No byte that drives a
// terminal (C0 and C1 controls, DEL, ESC) or starts a line (line ends, the
// Unicode line and paragraph separators) gets through, except the message's
// own line ends; plain printable ASCII is written as it is.

#include <sys/mman.h>
#include <unistd.h>

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "Console.h"
#include "NativeName.h"

namespace {

int captured = -1;  // standard output, redirected into memory

// Offset of the first byte a terminal would act on, or -1.
qsizetype Unsafe(const QByteArray& out, bool lineEndsAllowed) {
    for (qsizetype i = 0; i < out.size(); ++i) {
        const auto b = static_cast<unsigned char>(out[i]);
        if (b == '\n' && lineEndsAllowed) continue;
        if (b < 0x20 || b == 0x7F) return i;
        const auto next = i + 1 < out.size() ? static_cast<unsigned char>(out[i + 1]) : 0;
        if (b == 0xC2 && next >= 0x80 && next <= 0x9F) return i;  // C1 controls, NEL
        if (b == 0xE2 && next == 0x80 && i + 2 < out.size() &&
            (static_cast<unsigned char>(out[i + 2]) | 1) == 0xA9)  // U+2028, U+2029
            return i;
    }
    return -1;
}

void Check(const QByteArray& out, bool lineEndsAllowed) {
    const qsizetype at = Unsafe(out, lineEndsAllowed);
    if (at < 0) return;
    std::fprintf(stderr, "unsafe byte at %lld of \"%s\"\n", static_cast<long long>(at),
                 out.toHex(' ').constData());
    std::abort();
}

QByteArray Written() {
    std::fflush(stdout);
    const off_t size = ::lseek(captured, 0, SEEK_CUR);
    QByteArray bytes(size, '\0');
    if (::pread(captured, bytes.data(), size_t(size), 0) != size) std::abort();
    if (::ftruncate(captured, 0) != 0 || ::lseek(captured, 0, SEEK_SET) != 0) std::abort();
    return bytes;
}

bool PlainAscii(const QByteArray& bytes) {
    for (char c : bytes)
        if (c < 0x20 || c == 0x7F) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    captured = ::memfd_create("zsnd-stdout", MFD_CLOEXEC);
    if (captured < 0 || ::dup2(captured, STDOUT_FILENO) < 0) std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    // As a name read from disk (any bytes) and as text (valid UTF-8 or not).
    const QString name = NativeName::Decode(bytes);
    const QString shown = Console::Shown(name);
    Check(shown.toUtf8(), false);
    if (PlainAscii(bytes) && shown != name) std::abort();
    Console::Out(QString::fromUtf8(bytes));
    Check(Written(), true);
    Console::Out(name);
    Check(Written(), true);
    return 0;
}
