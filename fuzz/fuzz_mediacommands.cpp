// The media command parser and interpreter on arbitrary text: every command
// either succeeds or answers with a known error code, and a device that was
// never opened is never found.

#include <QCoreApplication>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "MediaCommand.h"
#include "MediaCommands.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const ParsedMediaCommand parsed = ParseMediaCommand(text);
    const int code = static_cast<int>(parsed.error);
    if (code < 0 || code > static_cast<int>(MediaError::OutOfRange)) std::abort();
    if (parsed.error == MediaError::None && parsed.command.device.isEmpty() && !text.contains(u'"'))
        std::abort();
    // Opening files is left out: arbitrary names must not touch the disk.
    if (parsed.error == MediaError::None && parsed.command.verb == MediaVerb::Open) return 0;
    MediaCommands interpreter;
    const MediaReply reply = interpreter.Send(text);
    if (reply.error == MediaError::None && parsed.command.verb != MediaVerb::Close) std::abort();
    return 0;
}
