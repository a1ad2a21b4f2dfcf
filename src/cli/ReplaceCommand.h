#pragma once

#include <QStringList>

#include "CommandLine.h"

// zsnd replace [--rate R] [--bits 8|16] [--channels 1|2] [--flag true|false]
//              [--id N] GAMEFILE SOURCE
// Imports SOURCE like GAMEFILE (its type, rate, depth, channels, flag and ID,
// each overridable) and writes it over GAMEFILE, keeping the first original
// in the folder's store.
namespace ReplaceCommand {

// The synopsis and description that "zsnd --help" and "zsnd replace --help" show.
extern const char kUsage[];

ExitCode Run(const QStringList& args);
}  // namespace ReplaceCommand
