// zsnd: the sound utility's header inspection, conversions and import from a shell.

#include <QStringList>
#include <cstdio>

#include "AppError.h"
#include "ApplyCommand.h"
#include "BatchCommand.h"
#include "Console.h"
#include "ConvertCommand.h"
#include "CutCommand.h"
#include "DemoCommand.h"
#include "EditCommand.h"
#include "ImportCommand.h"
#include "InfoCommand.h"
#include "NativeName.h"
#include "PackCommand.h"
#include "ReplaceCommand.h"
#include "RestoreCommand.h"
#include "StatusCommand.h"
#include "TempFiles.h"
#include "TrapERR.h"
#include "ZephyraVersion.h"

namespace {

const char kIntro[] =
    "Usage: zsnd COMMAND [OPTION...] ARGUMENT...\n"
    "Inspects and converts game sound files (.snd, .wsd) and PCM .wav files,\n"
    "imports any audio file into them, edits their samples, and replaces game\n"
    "sounds keeping their originals.\n"
    "\n";

const char kOutro[] =
    "  zsnd --help, zsnd -h\n"
    "      Shows this text. zsnd COMMAND --help (or -h) shows that command's part.\n"
    "\n"
    "  zsnd --version\n"
    "      Shows the version number.\n"
    "\n";

const char kExitStatus[] =
    "Exit status, of every command:\n"
    "  0    success\n"
    "  1    a file was refused by the header checks, or would become a game file\n"
    "       its format cannot hold (batch: a header it cannot convert); restore or\n"
    "       apply refused a file or a pack; pack found nothing replaced; status\n"
    "       found a file changed or missing, or an interrupted change\n"
    "  2    a usage error; nothing was written\n"
    "  3    a file or folder could not be read or written, a batch's outputs\n"
    "       would clash, or standard output could not be written\n"
    "  128+N  ended by signal N (INT, TERM, HUP, QUIT, PIPE, USR1, ALRM, XFSZ and\n"
    "       every other signal that ends a process and can be caught): no\n"
    "       temporary file is left behind.\n";

// Every command, in the order the help text lists them. A new command adds
// its row here and its usage text beside its Run.
struct Command {
    const char* name;
    const char* usage;
    ExitCode (*run)(const QStringList& args);
};

const Command kCommands[] = {
    {"info", InfoCommand::kUsage, InfoCommand::Run},
    {"convert", ConvertCommand::kUsage, ConvertCommand::Run},
    {"batch", BatchCommand::kUsage, BatchCommand::Run},
    {"cut", CutCommand::kUsage, CutCommand::Run},
    {"edit", EditCommand::kUsage, EditCommand::Run},
    {"demo", DemoCommand::kUsage, DemoCommand::Run},
    {"import", ImportCommand::kUsage, ImportCommand::Run},
    {"replace", ReplaceCommand::kUsage, ReplaceCommand::Run},
    {"restore", RestoreCommand::kUsage, RestoreCommand::Run},
    {"status", StatusCommand::kUsage, StatusCommand::Run},
    {"pack", PackCommand::kUsage, PackCommand::Run},
    {"apply", ApplyCommand::kUsage, ApplyCommand::Run},
};

QString FullHelp() {
    QString text = QLatin1String(kIntro);
    for (const Command& command : kCommands) text += QLatin1String(command.usage) + '\n';
    return text + QLatin1String(kOutro) + QLatin1String(kExitStatus);
}

QString CommandHelp(const Command& command) {
    return QStringLiteral("Usage:\n") + QLatin1String(command.usage) + '\n' +
           QLatin1String(kExitStatus);
}

bool IsHelp(const QString& arg) {
    return arg == QLatin1String("--help") || arg == QLatin1String("-h");
}

// True when --help or -h comes before the "--" that ends the options.
bool AsksForHelp(const QStringList& args) {
    for (const QString& arg : args) {
        if (arg == QLatin1String("--")) return false;
        if (IsHelp(arg)) return true;
    }
    return false;
}

int Print(const QString& text) {
    Console::Out(text);
    return Console::FinishOutput() ? 0 : static_cast<int>(ExitCode::Failed);
}

const Command* Find(const QString& name) {
    for (const Command& command : kCommands)
        if (name == QLatin1String(command.name)) return &command;
    return nullptr;
}

ExitCode Dispatch(const QString& name, const QStringList& args) {
    const Command* command = Find(name);
    if (!command) throw UsageError(QStringLiteral("unknown command \"%1\"").arg(name));
    return command->run(args);
}

}  // namespace

int main(int argc, char** argv) {
    static char buffer[1 << 16];
    std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
    TempFiles::RemoveOnFatalSignals();
    QStringList args;
    // Byte for byte: a file name need not be valid UTF-8.
    for (int i = 1; i < argc; ++i) args << NativeName::Decode(QByteArray(argv[i]));
    if (args.isEmpty()) {
        Console::UsageProblem(QStringLiteral("no command given"));
        return static_cast<int>(ExitCode::Usage);
    }
    if (IsHelp(args.first())) return Print(FullHelp());
    const Command* command = Find(args.first());
    if (command && AsksForHelp(args.mid(1))) return Print(CommandHelp(*command));
    if (args.first() == QLatin1String("--version"))
        return Print(QStringLiteral("zsnd %1\n").arg(QLatin1String(ZephyraVersion::Text)));
    ExitCode code = ExitCode::Failed;
    try {
        code = Dispatch(args.first(), args.mid(1));
    } catch (const UsageError& e) {
        Console::UsageProblem(e.Text);
        code = ExitCode::Usage;
    } catch (...) {
        // Out of memory or anything else unforeseen: a numbered error, never an abort.
        AppError e = TrapERR::CurrentError();
        if (e.Number == 0) e = AppError(TrapERR::ERR_GENERAL, QStringLiteral("unexpected failure"));
        Console::Report(e);
        code = ExitCode::Failed;
    }
    if (!Console::FinishOutput()) code = ExitCode::Failed;
    return static_cast<int>(code);
}
