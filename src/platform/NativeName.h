#pragma once

#include <QByteArray>
#include <QString>

// File names as the file system holds them (bytes) and as the program carries
// them (text). Linux names need not be valid UTF-8; a byte that is not part of
// valid UTF-8 travels as the lone code unit U+DC00 + byte, so every name makes
// the round trip byte for byte. Valid UTF-8 reads exactly as QString::fromUtf8.
namespace NativeName {

constexpr char16_t EscapeBase = 0xDC00;

QString Decode(const QByteArray& bytes);
QByteArray Encode(const QString& name);

// `name` in upper case; escaped bytes stay as they are (QString::toUpper
// would turn them into U+FFFD).
QString ToUpper(const QString& name);

// The byte carried by `unit`, or -1 when it is not an escaped byte.
int EscapedByte(QStringView text, qsizetype at);

}  // namespace NativeName
