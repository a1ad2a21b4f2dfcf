#pragma once

#include <QStringList>

#include "CommandLine.h"

// zsnd demo FOLDER: writes the program's own demo sounds into FOLDER (created
// when missing) and lists them. Nothing is written when a name is taken there.
namespace DemoCommand {

// The synopsis and description that "zsnd --help" and "zsnd demo --help" show.
extern const char kUsage[];

ExitCode Run(const QStringList& args);
}  // namespace DemoCommand
