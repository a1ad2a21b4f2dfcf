#pragma once

#include <QStringList>

#include "CommandLine.h"

// zsnd info [--json] FILE...: the main window's header inspection of each file.
// Valid files print their panel (or one JSON object per file), refused files
// their message on standard error. Ok when all are valid, Refused when any
// failed a check, Failed when any could not be read.
namespace InfoCommand {
ExitCode Run(const QStringList& args);
}
