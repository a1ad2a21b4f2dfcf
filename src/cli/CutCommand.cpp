#include "CutCommand.h"

#include <optional>

#include "Console.h"
#include "EditTime.h"
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

// The range's end given by frame (--from-sample) or by seconds (--from);
// nothing when neither is given. Only its form is checked here, before a file
// is touched; the sound decides whether it lies within.
std::optional<EditTime> End(const CommandLine& line, const QString& frames,
                            const QString& seconds) {
    if (line.Has(frames) && line.Has(seconds))
        throw UsageError(QStringLiteral("give --%1 or --%2, not both").arg(frames, seconds));
    if (line.Has(frames)) {
        const QString text = line.Value(frames);
        const std::optional<EditTime> t = EditTime::Parse(text);
        if (!t || !t->IsFrames())
            throw UsageError(QStringLiteral("--%1 must be a frame number from 0 up, not \"%2\"")
                                 .arg(frames, text));
        return t;
    }
    if (!line.Has(seconds)) return std::nullopt;
    const QString text = line.Value(seconds);
    const std::optional<EditTime> t = EditTime::ParseSeconds(text);
    if (!t)
        throw UsageError(QStringLiteral("--%1 must be a number of seconds from 0 up, not \"%2\"")
                             .arg(seconds, text));
    return t;
}

}  // namespace

ExitCode Run(const QStringList& args) {
    const CommandLine line(args, {"from-sample", "to-sample", "from", "to"}, {});
    if (line.Operands().size() != 2) throw UsageError(QStringLiteral("cut needs SRC and DEST"));
    const std::optional<EditTime> from = End(line, "from-sample", "from");
    const std::optional<EditTime> to = End(line, "to-sample", "to");
    const QString source = line.Operands()[0];
    const QString dest = line.Operands()[1];

    const mUtility::FrameCut cut(source);
    const QString refusal = cut.Refusal().isEmpty() ? cut.DestProblem(dest) : cut.Refusal();
    if (!refusal.isEmpty()) {
        Console::Err(Console::Shown(source) + QStringLiteral(": ") + Console::Line(refusal) +
                     QLatin1Char('\n'));
        return ExitCode::Refused;
    }
    const FrameSpan span = EditSpan::Range(from.value_or(EditTime::Frame(0)),
                                           to.value_or(EditTime::Frame(cut.Frames() - 1)),
                                           cut.Info().SampleRate, cut.Frames());
    if (!span.problem.isEmpty()) throw UsageError(span.problem);
    const qint64 first = span.first, last = span.first + span.count - 1;
    cut.Write(first, last, dest);
    Console::Out(QStringLiteral("%1 created successfully! (frames %2 to %3)\n")
                     .arg(Console::Shown(dest))
                     .arg(first)
                     .arg(last));
    return ExitCode::Ok;
}

}  // namespace CutCommand
