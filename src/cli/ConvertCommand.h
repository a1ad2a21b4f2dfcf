#pragma once

#include <QStringList>

#include "CommandLine.h"

// zsnd convert [--rate R] [--bits 8|16] [--channels 1|2] [--flag true|false]
//              [--id N] SRC DEST
// Inspects SRC as the main window does, applies the Convert dialog's rules and
// the given choices, and writes DEST in the type of its extension.
namespace ConvertCommand {
ExitCode Run(const QStringList& args);
}
