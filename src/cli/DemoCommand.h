#pragma once

#include <QStringList>

#include "CommandLine.h"

// zsnd demo FOLDER: writes the program's own demo sounds into FOLDER (created
// when missing) and lists them. Nothing is written when a name is taken there.
namespace DemoCommand {
ExitCode Run(const QStringList& args);
}
