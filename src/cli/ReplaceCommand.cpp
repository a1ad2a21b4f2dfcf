#include "ReplaceCommand.h"

#include "AppError.h"
#include "Console.h"
#include "ConvertCommand.h"
#include "ImportCommand.h"
#include "Replacement.h"

namespace ReplaceCommand {

const char kUsage[] =
    "  zsnd replace [--rate R] [--bits 8|16] [--channels 1|2] [--flag true|false]\n"
    "               [--id N] [--loudness LUFS|like [--ceiling DBTP]] GAMEFILE SOURCE\n"
    "      Imports SOURCE like GAMEFILE (its type, rate, depth, channels, flag and\n"
    "      ID; the options override them) and writes it over GAMEFILE. The first\n"
    "      time a file is replaced, its exact bytes are kept in the hidden folder\n"
    "      .zephyra of its folder, with a manifest of what replaced it and when.\n"
    "      --loudness and --ceiling work as for import; \"like\" matches the\n"
    "      loudness of GAMEFILE as it is before the replace.\n";

ExitCode Run(const QStringList& args) {
    const CommandLine line(args, {"rate", "bits", "channels", "flag", "id", "loudness", "ceiling"},
                           {});
    if (line.Operands().size() != 2)
        throw UsageError(QStringLiteral("replace needs GAMEFILE and SOURCE"));
    const QString gameFile = line.Operands()[0];
    const QString source = line.Operands()[1];
    if (SoundTypeOf(gameFile).isEmpty())
        throw UsageError(QStringLiteral("GAMEFILE must end in .snd, .wsd or .wav"));
    const ConvertCommand::Choices choices =
        ConvertCommand::ParseChoices(line, SoundTypeOf(gameFile));

    ImportTarget target;
    try {
        target = Replace::TargetLike(gameFile);
    } catch (const AppError& e) {
        Console::Report(e);
        return e.Number == ErrNo::InvalidFileFormat ? ExitCode::Refused : ExitCode::Failed;
    }
    ImportCommand::ApplyChoices(choices, target);
    try {
        const std::optional<LoudnessGoal> goal = ImportCommand::GoalOf(line, gameFile);
        const Replace::ReplaceOutcome outcome =
            Replace::ReplaceSound(gameFile, source, target, {}, goal);
        const ImportReport& r = outcome.Import;
        Console::Out(
            QStringLiteral("%1 frames of %2 in, %3 frames out (%4 Hz, %5-bit, %6)%7; %8 "
                           "samples clipped\n")
                .arg(r.FramesIn)
                .arg(Console::Shown(source))
                .arg(r.FramesOut)
                .arg(target.Rate)
                .arg(target.Bits)
                .arg(target.Channels == 1 ? QStringLiteral("mono") : QStringLiteral("stereo"))
                .arg(r.Dithered ? QStringLiteral(", dithered") : QString())
                .arg(r.Clipped));
        if (goal) Console::Out(LoudnessSummary(r, *goal) + QLatin1Char('\n'));
        Console::Out(
            QStringLiteral("%1 replaced; %2\n")
                .arg(Console::Shown(gameFile),
                     outcome.FirstTime
                         ? QStringLiteral("its original is kept (zsnd restore brings it back)")
                         : QStringLiteral("the original kept when it was first replaced "
                                          "stays")));
        return ExitCode::Ok;
    } catch (const AppError& e) {
        Console::Report(e);
        return ImportCommand::StatusOf(e);
    }
}

}  // namespace ReplaceCommand
