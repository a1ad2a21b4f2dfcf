#pragma once

#include <QStringList>

#include "CommandLine.h"

// zsnd status [--json] FOLDER
// Lists the replaced files of FOLDER as replaced, changed since replaced or
// original missing, and a run that was interrupted. Exit 0 when every file is
// replaced as recorded, 1 when any is changed or missing or a run was cut short.
namespace StatusCommand {

// The synopsis and description that "zsnd --help" and "zsnd status --help" show.
extern const char kUsage[];

ExitCode Run(const QStringList& args);
}  // namespace StatusCommand
