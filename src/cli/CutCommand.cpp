#include "CutCommand.h"

#include <cmath>

#include "Console.h"
#include "FrameCut.h"

namespace CutCommand {

const char kUsage[] =
    "  zsnd cut [--from-sample A | --from S] [--to-sample B | --to S] SRC DEST\n"
    "      Writes frames A to B of SRC (counted from 0, both included) as DEST:\n"
    "      SRC's header values with the new data length, then exactly those\n"
    "      sample bytes; a WAV when DEST ends in .wav. --from and --to take\n"
    "      seconds (up to, not including, the frame at --to). A missing end is\n"
    "      the sound's own. DEST is replaced only once it is complete.\n";

namespace {

qint64 FrameOption(const CommandLine& line, const QString& name) {
    bool ok = false;
    const QString text = line.Value(name);
    const qint64 value = text.toLongLong(&ok);
    if (!ok || value < 0 || text.trimmed() != text)
        throw UsageError(
            QStringLiteral("--%1 must be a frame number from 0 up, not \"%2\"").arg(name, text));
    return value;
}

double SecondsOption(const CommandLine& line, const QString& name) {
    bool ok = false;
    const QString text = line.Value(name);
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value) || value < 0 || text.trimmed() != text)
        throw UsageError(QStringLiteral("--%1 must be a number of seconds from 0 up, not \"%2\"")
                             .arg(name, text));
    return value;
}

void OneOf(const CommandLine& line, const QString& frames, const QString& seconds) {
    if (line.Has(frames) && line.Has(seconds))
        throw UsageError(QStringLiteral("give --%1 or --%2, not both").arg(frames, seconds));
}

}  // namespace

ExitCode Run(const QStringList& args) {
    const CommandLine line(args, {"from-sample", "to-sample", "from", "to"}, {});
    if (line.Operands().size() != 2) throw UsageError(QStringLiteral("cut needs SRC and DEST"));
    OneOf(line, "from-sample", "from");
    OneOf(line, "to-sample", "to");
    // Check every option before a file is touched.
    const qint64 fromFrame = line.Has("from-sample") ? FrameOption(line, "from-sample") : -1;
    const qint64 toFrame = line.Has("to-sample") ? FrameOption(line, "to-sample") : -1;
    const double fromSeconds = line.Has("from") ? SecondsOption(line, "from") : 0;
    const double toSeconds = line.Has("to") ? SecondsOption(line, "to") : 0;
    const QString source = line.Operands()[0];
    const QString dest = line.Operands()[1];

    const mUtility::FrameCut cut(source);
    const QString refusal = cut.Refusal().isEmpty() ? cut.DestProblem(dest) : cut.Refusal();
    if (!refusal.isEmpty()) {
        Console::Err(Console::Shown(source) + QStringLiteral(": ") + Console::Line(refusal) +
                     QLatin1Char('\n'));
        return ExitCode::Refused;
    }
    const qint64 first = line.Has("from-sample") ? fromFrame
                         : line.Has("from")      ? cut.FrameAt(fromSeconds)
                                                 : 0;
    const qint64 last = line.Has("to-sample") ? toFrame
                        : line.Has("to")      ? cut.FrameAt(toSeconds) - 1
                                              : cut.Frames() - 1;
    const QString problem = cut.RangeProblem(first, last);
    if (!problem.isEmpty()) throw UsageError(problem);
    cut.Write(first, last, dest);
    Console::Out(QStringLiteral("%1 created successfully! (frames %2 to %3)\n")
                     .arg(Console::Shown(dest))
                     .arg(first)
                     .arg(last));
    return ExitCode::Ok;
}

}  // namespace CutCommand
