#include "DemoCommand.h"

#include "AppError.h"
#include "Console.h"
#include "DemoSounds.h"
#include "SoundInfo.h"

namespace DemoCommand {

const char kUsage[] =
    "  zsnd demo FOLDER\n"
    "      Writes a few sounds made by the program into FOLDER (created when\n"
    "      missing): an engine hum, a two-tone beep, a rising sweep, stereo ones,\n"
    "      in 8 and 16 bits as .snd, .wsd and .wav, and BROKEN.WSD, whose header\n"
    "      lies. The same bytes every time; nothing is written over a file, and\n"
    "      a run that fails (a full disk) leaves nothing behind.\n";

ExitCode Run(const QStringList& args) {
    const CommandLine line(args, {}, {});
    if (line.Operands().size() != 1) throw UsageError(QStringLiteral("demo needs one FOLDER"));
    const QString folder = line.Operands().first();
    if (folder.isEmpty()) throw UsageError(QStringLiteral("the FOLDER is empty text"));
    try {
        DemoSounds::Write(folder);
    } catch (const AppError& e) {
        Console::Report(e);
        return ExitCode::Failed;
    }
    for (const QString& name : DemoSounds::Names())
        Console::Out(Console::Shown(mUtility::JoinPath(folder, name)) + QLatin1Char('\n'));
    return ExitCode::Ok;
}

}  // namespace DemoCommand
