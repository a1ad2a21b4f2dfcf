#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// A small set of sound files the program makes itself, for a first run and for
// tests: clearly different sounds (an engine hum, a two-tone beep, a rising
// sweep, a stereo ping-pong, a siren, a chime) in 8 and 16 bits, mono and
// stereo, as .SND, .WSD and a canonical .WAV, plus BROKEN.WSD, whose header
// claims more samples than it holds. The synthesis uses integers only, so the
// bytes are the same on every run and every machine.
namespace DemoSounds {

// The names of the set, upper case like the game's own files, in writing order.
QStringList Names();

// The whole file `name` of the set, header and samples; empty for another name.
QByteArray File(const QString& name);

// Writes the set into `folder` (names as NativeName carries them), creating
// the folder and its parents when missing. All or nothing: nothing is written
// when one of the names is already taken there (58, file already exists), and
// a failure (a full disk) removes every file and folder the run made. Throws
// AppError on failure.
void Write(const QString& folder);

}  // namespace DemoSounds
