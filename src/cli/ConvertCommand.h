#pragma once

#include <QStringList>

#include "CommandLine.h"

// zsnd convert [--rate R] [--bits 8|16] [--channels 1|2] [--flag true|false]
//              [--id N] SRC DEST
// Inspects SRC as the main window does, applies the Convert dialog's rules and
// the given choices, and writes DEST in the type of its extension.
namespace ConvertCommand {

// The synopsis and description that "zsnd --help" and "zsnd convert --help" show.
extern const char kUsage[];

ExitCode Run(const QStringList& args);

// The user's choices as option indexes of the Convert dialog, -1 where not
// given: rate (into ConvertOptions::SampleRates), bits (0: 8, 1: 16),
// channels (0: mono, 1: stereo), flag (0: true, 1: false), and the ID itself.
struct Choices {
    int rate = -1, bits = -1, channels = -1, flag = -1, id = -1;
};

// Reads --rate, --bits, --channels, --flag and --id; throws UsageError for a
// value outside the dialog's choices, or for --flag or --id when `destType` is
// "WAV", which has neither, before any file is touched.
Choices ParseChoices(const CommandLine& line, const QString& destType);

}  // namespace ConvertCommand
