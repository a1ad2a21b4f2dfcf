#include "PackCommand.h"

#include "AppError.h"
#include "Console.h"
#include "SoundPack.h"

namespace PackCommand {

const char kUsage[] =
    "  zsnd pack [--force] FOLDER PACK.zip\n"
    "      Writes the replaced files of FOLDER as one zip: the files, a manifest\n"
    "      with the SHA-256 of each and of the stock file it replaces, and a\n"
    "      README.txt on how to apply it. A replaced file changed by something\n"
    "      else since it was replaced is refused by name (exit 1) unless --force.\n";

ExitCode Run(const QStringList& args) {
    const CommandLine line(args, {}, {"force"});
    if (line.Operands().size() != 2)
        throw UsageError(QStringLiteral("pack needs FOLDER and PACK.zip"));
    const QString folder = line.Operands()[0];
    const QString zip = line.Operands()[1];
    if (!zip.endsWith(QLatin1String(".zip"), Qt::CaseInsensitive))
        throw UsageError(QStringLiteral("PACK must end in .zip"));
    try {
        const QList<Replace::PackFile> files = Replace::WritePack(folder, zip, line.Has("force"));
        for (const Replace::PackFile& f : files)
            Console::Out(QStringLiteral("%1 packed\n").arg(Console::Shown(f.Name)));
        Console::Out(QStringLiteral("%1 created successfully! (%2 sound(s))\n")
                         .arg(Console::Shown(zip))
                         .arg(files.size()));
        return ExitCode::Ok;
    } catch (const AppError& e) {
        Console::Report(e);
        return e.Number == ErrNo::InvalidProcedureCall ? ExitCode::Refused : ExitCode::Failed;
    }
}

}  // namespace PackCommand
