#pragma once

#include <QStringList>

#include "CommandLine.h"

// zsnd restore [--force] PATH...
// Puts back the originals of the replaced files named (a folder: all of its
// replaced files), each folder all or nothing, after undoing a run that was
// interrupted there. A file changed since it was replaced is refused (exit 1)
// unless --force.
namespace RestoreCommand {

// The synopsis and description that "zsnd --help" and "zsnd restore --help" show.
extern const char kUsage[];

ExitCode Run(const QStringList& args);
}  // namespace RestoreCommand
