#pragma once

#include <QStringList>

#include "CommandLine.h"

// zsnd apply [--force] PACK.zip FOLDER
// Checks every entry of the pack and every file it replaces, then keeps the
// originals and replaces the files all or nothing. A file that is not the
// stock sound the pack expects is refused by name unless --force.
namespace ApplyCommand {

// The synopsis and description that "zsnd --help" and "zsnd apply --help" show.
extern const char kUsage[];

ExitCode Run(const QStringList& args);
}  // namespace ApplyCommand
