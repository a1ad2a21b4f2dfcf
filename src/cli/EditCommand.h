#pragma once

#include <QStringList>

#include "CommandLine.h"

// zsnd edit SOURCE DEST OPERATION...: the preview's edits from a script.
// The operations are applied in order to SOURCE's samples in memory; DEST is
// written only when every one of them applied, with SOURCE's header values
// and the new data length (its type follows its name, as in zsnd cut). DEST
// may be SOURCE. A malformed operation or one that does not fit the sound is a
// usage error that writes nothing.
namespace EditCommand {

// The synopsis and description that "zsnd --help" and "zsnd edit --help" show.
extern const char kUsage[];

ExitCode Run(const QStringList& args);
}  // namespace EditCommand
