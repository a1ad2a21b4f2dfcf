#include "ConvertCommand.h"

#include "Console.h"
#include "Conversion.h"
#include "ConvertOptions.h"
#include "Inspection.h"

namespace ConvertCommand {

const char kUsage[] =
    "  zsnd convert [--rate R] [--bits 8|16] [--channels 1|2] [--flag true|false]\n"
    "               [--id N] SRC DEST\n"
    "      Converts SRC into the type of DEST's extension (.snd, .wsd or .wav; not\n"
    "      SRC's own type). The 8-bit flag follows the bit depth; --rate (6000, 8000,\n"
    "      11025, 16000, 22050, 32000 or 44100), --bits and --channels relabel the\n"
    "      samples, --flag sets the 8-bit flag, --id the internal ID (0 to 9999;\n"
    "      --flag and --id only when DEST is a game file).\n"
    "      The samples are copied unchanged.\n";

namespace {

using mUtility::SoundInfo;

// The dialog's order: flag follows depth on load, then each option as its
// handler applies it, then the explicit flag and ID as Go applies them.
void ApplyChoices(const Choices& c) {
    ConvertOptions::ApplyLoadRule(SoundInfo);
    if (c.rate >= 0) ConvertOptions::ApplySampleRate(SoundInfo, c.rate);
    if (c.bits >= 0) ConvertOptions::ApplyBitDepth(SoundInfo, c.bits);
    if (c.channels >= 0) ConvertOptions::ApplyChannels(SoundInfo, c.channels);
    if (c.flag >= 0) ConvertOptions::ApplyFlagChoice(SoundInfo, c.flag);
    if (c.id >= 0) SoundInfo.InternalID = c.id;
}

}  // namespace

Choices ParseChoices(const CommandLine& line, const QString& destType) {
    if (destType == QLatin1String("WAV") && (line.Has("flag") || line.Has("id")))
        throw UsageError(QStringLiteral("--flag and --id apply to game files (.snd, .wsd) only"));
    Choices c;
    if (line.Has("rate")) {
        const int rate = line.IntValue("rate", 0, 1000000);
        c.rate = ConvertOptions::SampleRateIndex(rate);
        if (c.rate < 0) {
            throw UsageError(QStringLiteral("--rate must be one of 6000, 8000, 11025, 16000, "
                                            "22050, 32000, 44100, not %1")
                                 .arg(rate));
        }
    }
    if (line.Has("bits")) c.bits = line.ChoiceIndex("bits", {"8", "16"});
    if (line.Has("channels")) c.channels = line.ChoiceIndex("channels", {"1", "2"});
    if (line.Has("flag")) c.flag = line.ChoiceIndex("flag", {"true", "false"});
    if (line.Has("id")) c.id = line.IntValue("id", 0, 9999);
    return c;
}

ExitCode Run(const QStringList& args) {
    const CommandLine line(args, {"rate", "bits", "channels", "flag", "id"}, {});
    if (line.Operands().size() != 2) throw UsageError(QStringLiteral("convert needs SRC and DEST"));
    const QString source = line.Operands()[0];
    const QString dest = line.Operands()[1];
    const QString sourceType = SoundTypeOf(source);
    const QString destType = SoundTypeOf(dest);
    if (sourceType.isEmpty())
        throw UsageError(QStringLiteral("SRC must end in .snd, .wsd or .wav"));
    if (destType.isEmpty()) throw UsageError(QStringLiteral("DEST must end in .snd, .wsd or .wav"));
    if (destType == sourceType)
        throw UsageError(
            QStringLiteral("DEST must be of another type than SRC (%1)").arg(sourceType));
    const Choices choices = ParseChoices(line, destType);

    QString folder, name;
    mUtility::SplitPath(source, folder, name);
    const auto result = mUtility::InspectFile(folder, name, SoundInfo);
    if (!result.IsValid()) {
        Console::Err(Console::Shown(source) + QStringLiteral(": ") +
                     Console::Line(result.MessageText) + QLatin1Char('\n'));
        return ExitCode::Refused;
    }
    ApplyChoices(choices);
    const QString refusal =
        destType == QLatin1String("WAV") ? QString() : mUtility::GameFormatRefusal(SoundInfo);
    if (!refusal.isEmpty()) {
        Console::Err(Console::Shown(source) + QStringLiteral(": ") + Console::Line(refusal) +
                     QLatin1Char('\n'));
        return ExitCode::Refused;
    }
    if (destType == QLatin1String("WAV"))
        mUtility::MakeWAV(SoundInfo.SourcePath(), dest);
    else
        mUtility::MakeSND(SoundInfo.SourcePath(), dest);
    Console::Out(Console::Shown(dest) + QStringLiteral(" created successfully!\n"));
    return ExitCode::Ok;
}

}  // namespace ConvertCommand
