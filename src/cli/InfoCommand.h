#pragma once

#include <QStringList>

#include "CommandLine.h"

// zsnd info [-r] [--csv | --json] [--hash] [--loudness] PATH...: the main window's header
// inspection of each file; a folder stands for its sound files (with -r, those
// of its sub-folders too). As text, valid files print their panel and refused
// files their message on standard error; --csv prints one table row per file,
// --json an array of the same records. --hash adds the SHA-256 of the sample
// bytes, --loudness the loudness figures of each valid sound. Ok when all are valid, Refused when
// any failed a check, Failed when any file or folder could not be read.
namespace InfoCommand {

// The synopsis and description that "zsnd --help" and "zsnd info --help" show.
extern const char kUsage[];

ExitCode Run(const QStringList& args);
}  // namespace InfoCommand
