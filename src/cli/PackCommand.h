#pragma once

#include <QStringList>

#include "CommandLine.h"

// zsnd pack FOLDER PACK.zip
// Writes the replaced files of FOLDER, as they are now, into one zip with a
// manifest of their hashes and those of the stock files they replace.
namespace PackCommand {

// The synopsis and description that "zsnd --help" and "zsnd pack --help" show.
extern const char kUsage[];

ExitCode Run(const QStringList& args);
}  // namespace PackCommand
