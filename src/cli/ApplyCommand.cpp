#include "ApplyCommand.h"

#include "AppError.h"
#include "Console.h"
#include "SoundPack.h"

namespace ApplyCommand {

const char kUsage[] =
    "  zsnd apply [--force] PACK.zip FOLDER\n"
    "      Checks every entry of the pack first: a name that leaves the folder, a\n"
    "      link, a file that is not .snd, .wsd or .wav, a duplicate, an entry that\n"
    "      would unpack beyond 256 MiB (or beyond 16 MiB at over 100 times its\n"
    "      packed size) or a damaged zip refuses the pack. Each target must be the\n"
    "      stock sound the pack expects (or already this pack's); one that is not\n"
    "      is refused by name unless --force. Then the originals are kept and the\n"
    "      files replaced all or nothing.\n";

namespace {

QString ActionText(Replace::PackAction action) {
    switch (action) {
        case Replace::PackAction::Replace:
            return QStringLiteral("replaced");
        case Replace::PackAction::Present:
            return QStringLiteral("already this pack's sound, left as it is");
        case Replace::PackAction::Mismatch:
            return QStringLiteral("replaced, although it was not the stock sound the pack expects");
        case Replace::PackAction::Missing:
            break;
    }
    return QStringLiteral("missing");
}

}  // namespace

ExitCode Run(const QStringList& args) {
    const CommandLine line(args, {}, {"force"});
    if (line.Operands().size() != 2)
        throw UsageError(QStringLiteral("apply needs PACK.zip and FOLDER"));
    const QString zip = line.Operands()[0];
    const QString folder = line.Operands()[1];
    try {
        const Replace::PackPlan plan = Replace::ApplyPack(zip, folder, line.Has("force"));
        for (const Replace::PlannedFile& p : plan.Files)
            Console::Out(
                QStringLiteral("%1: %2\n").arg(Console::Shown(p.File.Name), ActionText(p.Action)));
        Console::Out(
            QStringLiteral("%1 applied to %2; \"zsnd restore %2\" brings the originals back\n")
                .arg(Console::Shown(zip), Console::Shown(folder)));
        return ExitCode::Ok;
    } catch (const AppError& e) {
        Console::Report(e);
        const bool refused =
            e.Number == ErrNo::InvalidProcedureCall || e.Number == ErrNo::InvalidFileFormat;
        return refused ? ExitCode::Refused : ExitCode::Failed;
    }
}

}  // namespace ApplyCommand
