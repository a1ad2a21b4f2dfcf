#include "DemoCommand.h"

#include "AppError.h"
#include "Console.h"
#include "DemoSounds.h"
#include "SoundInfo.h"

namespace DemoCommand {

ExitCode Run(const QStringList& args) {
    const CommandLine line(args, {}, {});
    if (line.Operands().size() != 1) throw UsageError(QStringLiteral("demo needs one FOLDER"));
    const QString folder = line.Operands().first();
    try {
        DemoSounds::Write(folder);
    } catch (const AppError& e) {
        Console::Report(e);
        return ExitCode::Failed;
    }
    for (const QString& name : DemoSounds::Names())
        Console::Out(mUtility::JoinPath(folder, name) + QLatin1Char('\n'));
    return ExitCode::Ok;
}

}  // namespace DemoCommand
