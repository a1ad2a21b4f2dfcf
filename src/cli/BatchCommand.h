#pragma once

#include <QStringList>

#include "CommandLine.h"

// zsnd batch --from TYPE --to TYPE DIR [NAME...]: the Batch dialog's Go. Every
// file of the source type in DIR (or the NAMEs, in the order given) is
// converted beside itself under its upper-cased name with the type replaced.
// The first failure ends the run: Refused for a header it cannot convert (a
// file shorter than its header, a compressed WAV), Failed for a read or write;
// files written before it stay.
namespace BatchCommand {

// The synopsis and description that "zsnd --help" and "zsnd batch --help" show.
extern const char kUsage[];

ExitCode Run(const QStringList& args);
}  // namespace BatchCommand
