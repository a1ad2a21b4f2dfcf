#include "ImportCommand.h"

#include <QFileInfo>

#include "AppError.h"
#include "Console.h"
#include "ConvertCommand.h"
#include "ConvertOptions.h"
#include "Importer.h"
#include "Inspection.h"

namespace ImportCommand {

const char kUsage[] =
    "  zsnd import [--rate R] [--bits 8|16] [--channels 1|2] [--flag true|false]\n"
    "              [--id N] [--like GAMEFILE] [--loudness LUFS|like]\n"
    "              [--ceiling DBTP] SRC DEST\n"
    "      Decodes any audio file (WAV of any depth, AIFF, FLAC, Ogg Vorbis, Opus,\n"
    "      MP3) into DEST: a game file (.snd, .wsd) or a 44-byte PCM .wav. The\n"
    "      samples are resampled, mixed and dithered as needed. Defaults: SRC's\n"
    "      rate if it is one of the seven above, else the nearest below it; 16\n"
    "      bits; SRC's channels, at most 2; the flag follows the depth; ID 0.\n"
    "      --like takes rate, bits, channels, flag and ID from a game file (DEST\n"
    "      may be that file); the other options override it. Clipped samples are\n"
    "      counted in the report.\n"
    "      --loudness brings the result to an integrated loudness (-70 to 0 LUFS),\n"
    "      or with \"like\" to that of the --like file or of the DEST it replaces,\n"
    "      by one gain before quantising; its true peak never crosses --ceiling\n"
    "      (-30 to 0 dBTP, -1.0 by default): the gain stops there and the report\n"
    "      says so; a result more than 0.5 LU off the target says by how much.\n"
    "      A sound shorter than 400 ms, silent or below the gate cannot be\n"
    "      matched: status 1.\n";

namespace {

QString ChannelsText(int channels) {
    return channels == 1   ? QStringLiteral("mono")
           : channels == 2 ? QStringLiteral("stereo")
                           : QStringLiteral("%1 channels").arg(channels);
}

QString Describe(const ImportReport& r, const QString& source, const QString& dest,
                 const std::optional<LoudnessGoal>& goal) {
    const SourceFacts& s = r.Source;
    const ImportTarget& t = r.Target;
    QString text =
        QStringLiteral("%1: %2, %3, %4 Hz, %5, %6\n")
            .arg(Console::Shown(source), s.Format, s.Encoding)
            .arg(s.Rate)
            .arg(ChannelsText(s.Channels))
            .arg(s.LengthKnown() ? QString::number(s.Seconds(), 'f', 2) + QStringLiteral(" s")
                                 : QStringLiteral("length unknown"));
    text += QStringLiteral("%1: %2 Hz, %3-bit, %4")
                .arg(Console::Shown(dest))
                .arg(t.Rate)
                .arg(t.Bits)
                .arg(ChannelsText(t.Channels));
    if (t.Type != QLatin1String("WAV")) {
        text += QStringLiteral(", 8-bit flag %1, internal ID %2")
                    .arg(mUtility::FlagText(t.EightBitFlag))
                    .arg(t.InternalID);
    }
    text += QStringLiteral(
                "\n%1 frames in, %2 frames out (%3 bytes of samples)%4; %5 samples "
                "clipped\n")
                .arg(r.FramesIn)
                .arg(r.FramesOut)
                .arg(r.DataLength)
                .arg(r.Dithered ? QStringLiteral(", dithered") : QString())
                .arg(r.Clipped);
    if (goal) text += LoudnessSummary(r, *goal) + QLatin1Char('\n');
    return text + Console::Shown(dest) + QStringLiteral(" created successfully!\n");
}

double NumberValue(const CommandLine& line, const QString& name, double min, double max,
                   const QString& what) {
    bool ok = false;
    const QString text = line.Value(name);
    const double value = text.toDouble(&ok);
    if (!ok || !(value >= min && value <= max))
        throw UsageError(QStringLiteral("--%1 must be %2 from %3 to %4, not \"%5\"")
                             .arg(name, what)
                             .arg(min)
                             .arg(max)
                             .arg(text));
    return value;
}

}  // namespace

void ApplyChoices(const ConvertCommand::Choices& choices, ImportTarget& target) {
    if (choices.rate >= 0) target.Rate = ConvertOptions::SampleRates[choices.rate];
    if (choices.bits >= 0) {
        target.Bits = choices.bits == 0 ? 8 : 16;
        target.EightBitFlag = ImportTarget::FlagForBits(target.Bits);
    }
    if (choices.channels >= 0) target.Channels = choices.channels + 1;
    if (choices.flag >= 0) target.EightBitFlag = choices.flag == 0 ? 2 : 0;
    if (choices.id >= 0) target.InternalID = choices.id;
    if (target.Type == QLatin1String("WAV")) target.EightBitFlag = target.InternalID = 0;
}

std::optional<LoudnessGoal> GoalOf(const CommandLine& line, const QString& dest) {
    if (!line.Has("loudness")) {
        if (line.Has("ceiling")) throw UsageError(QStringLiteral("--ceiling needs --loudness"));
        return std::nullopt;
    }
    LoudnessGoal goal;
    if (line.Has("ceiling"))
        goal.CeilingDbtp =
            NumberValue(line, "ceiling", kMinCeilingDbtp, kMaxCeilingDbtp, "a level in dBTP");
    if (line.Value("loudness").toLower() != QLatin1String("like")) {
        goal.TargetLufs = NumberValue(line, "loudness", kMinTargetLufs, kMaxTargetLufs,
                                      "like or a loudness in LUFS");
        return goal;
    }
    const QString model = line.Has("like") ? line.Value("like") : dest;
    if (!line.Has("like") && !QFileInfo::exists(dest))
        throw UsageError(
            QStringLiteral("--loudness like needs --like GAMEFILE or an existing DEST"));
    goal.TargetLufs = LikeLoudness(model);
    return goal;
}

ExitCode StatusOf(const AppError& error) {
    return error.Number == ErrNo::InvalidProcedureCall ? ExitCode::Refused : ExitCode::Failed;
}

ExitCode Run(const QStringList& args) {
    const CommandLine line(
        args, {"rate", "bits", "channels", "flag", "id", "like", "loudness", "ceiling"}, {});
    if (line.Operands().size() != 2) throw UsageError(QStringLiteral("import needs SRC and DEST"));
    const QString source = line.Operands()[0];
    const QString dest = line.Operands()[1];
    const QString destType = SoundTypeOf(dest);
    if (destType.isEmpty()) throw UsageError(QStringLiteral("DEST must end in .snd, .wsd or .wav"));
    const ConvertCommand::Choices choices = ConvertCommand::ParseChoices(line, destType);

    mUtility::SoundInfoRecord like;
    if (line.Has("like")) {
        const QString likePath = line.Value("like");
        const QString likeType = SoundTypeOf(likePath);
        if (likeType.isEmpty() || likeType == QLatin1String("WAV"))
            throw UsageError(QStringLiteral("--like needs a game file (.snd or .wsd)"));
        QString folder, name;
        mUtility::SplitPath(likePath, folder, name);
        try {
            const auto result = mUtility::InspectFile(folder, name, like);
            if (!result.IsValid()) {
                Console::Err(Console::Shown(likePath) + QStringLiteral(": ") +
                             Console::Line(result.MessageText) + QLatin1Char('\n'));
                return ExitCode::Refused;
            }
        } catch (const AppError& e) {
            Console::Report(e);
            return ExitCode::Failed;
        }
        if (ConvertOptions::SampleRateIndex(like.SampleRate) < 0 ||
            (like.BitsPerSample != 8 && like.BitsPerSample != 16)) {
            Console::Err(QStringLiteral("%1: %2 Hz, %3-bit cannot be written by an import\n")
                             .arg(Console::Shown(likePath))
                             .arg(like.SampleRate)
                             .arg(like.BitsPerSample));
            return ExitCode::Refused;
        }
    }

    ImportReport report;
    std::optional<LoudnessGoal> goal;
    try {
        const Console::DecoderMessages decoderMessages;
        goal = GoalOf(line, dest);
        ImportTarget target = ImportTarget::DefaultFor(ImportSource(source).Facts(), destType);
        if (line.Has("like")) target.TakeLike(like);
        ApplyChoices(choices, target);
        report = Import(source, dest, target, {}, goal);
    } catch (const AppError& e) {
        Console::Report(e);
        return StatusOf(e);
    }
    Console::Out(Describe(report, source, dest, goal));
    return ExitCode::Ok;
}

}  // namespace ImportCommand
