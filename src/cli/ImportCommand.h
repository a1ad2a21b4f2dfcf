#pragma once

#include <QStringList>
#include <optional>

#include "CommandLine.h"
#include "ConvertCommand.h"
#include "ImportTarget.h"
#include "Importer.h"

class AppError;

// zsnd import [--rate R] [--bits 8|16] [--channels 1|2] [--flag true|false]
//             [--id N] [--like GAMEFILE] SRC DEST
// Decodes any audio file into DEST, a game file (.snd, .wsd) or a canonical
// WAV, resampled, mixed and requantised (see Importer.h). --like takes rate,
// bits, channels, flag and ID from an existing game file (DEST may be that
// file); the other options override it. Prints what it did.
namespace ImportCommand {

// The synopsis and description that "zsnd --help" and "zsnd import --help" show.
extern const char kUsage[];

ExitCode Run(const QStringList& args);

// The choices given (ConvertCommand::ParseChoices) over `target`: a new depth
// brings its flag; a WAV keeps flag and ID 0.
void ApplyChoices(const ConvertCommand::Choices& choices, ImportTarget& target);

// The loudness goal of --loudness and --ceiling, none without them; "like"
// measures the --like file, or `dest` (the file being replaced) when there is
// none. Throws UsageError for a bad value, AppError when `dest` cannot be measured.
std::optional<LoudnessGoal> GoalOf(const CommandLine& line, const QString& dest);

// The exit status of an import or replace that failed with `error`: a sound
// that cannot be made as asked (error 5: no loudness to match, a ceiling it
// stays above) is refused, 1; anything else could not be read or written, 3.
ExitCode StatusOf(const AppError& error);
}  // namespace ImportCommand
