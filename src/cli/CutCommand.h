#pragma once

#include <QStringList>

#include "CommandLine.h"

// zsnd cut [--from-sample A | --from S] [--to-sample B | --to S] SRC DEST:
// the preview's Save Selection. Frames A to B of SRC (counted from 0, both
// included; or from S seconds up to, not including, the frame at the --to
// time) are written as DEST with SRC's header values and the new data length,
// as a WAV when DEST ends in .wav. An end not given is the sound's own end.
namespace CutCommand {

// The synopsis and description that "zsnd --help" and "zsnd cut --help" show.
extern const char kUsage[];

ExitCode Run(const QStringList& args);
}  // namespace CutCommand
