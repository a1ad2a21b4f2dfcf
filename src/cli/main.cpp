// zsnd: the sound utility's header inspection, conversions and import from a shell.

#include <QStringList>
#include <cstdio>

#include "AppError.h"
#include "BatchCommand.h"
#include "Console.h"
#include "ConvertCommand.h"
#include "CutCommand.h"
#include "DemoCommand.h"
#include "ImportCommand.h"
#include "InfoCommand.h"
#include "NativeName.h"
#include "TempFiles.h"
#include "ZephyraVersion.h"

namespace {

const char kHelp[] =
    "Usage: zsnd COMMAND [OPTION...] ARGUMENT...\n"
    "Inspects and converts game sound files (.snd, .wsd) and PCM .wav files,\n"
    "and imports any audio file into them.\n"
    "\n"
    "  zsnd info [-r] [--csv | --json] [--hash] PATH...\n"
    "      Checks each file's header and prints it as the main window shows it;\n"
    "      a refused file's message goes to standard error. A folder PATH stands\n"
    "      for its .snd, .wsd and .wav files; -r (--recursive) adds those of its\n"
    "      sub-folders. --csv prints a table (RFC 4180) with one row per file:\n"
    "      path, type, valid, refusal, 8-bit flag, internal ID, data length,\n"
    "      sample rate, bit depth, channels, frames and duration in seconds.\n"
    "      --json prints an array of the same records with the panel texts.\n"
    "      --hash adds the SHA-256 of the sample bytes alone, so a file and its\n"
    "      conversion show the same hash.\n"
    "\n"
    "  zsnd convert [--rate R] [--bits 8|16] [--channels 1|2] [--flag true|false]\n"
    "               [--id N] SRC DEST\n"
    "      Converts SRC into the type of DEST's extension (.snd, .wsd or .wav; not\n"
    "      SRC's own type). The 8-bit flag follows the bit depth; --rate (6000, 8000,\n"
    "      11025, 16000, 22050, 32000 or 44100), --bits and --channels relabel the\n"
    "      samples, --flag sets the 8-bit flag, --id the internal ID (0 to 9999).\n"
    "      The samples are copied unchanged.\n"
    "\n"
    "  zsnd batch --from TYPE --to TYPE DIR [NAME...]\n"
    "      Converts every TYPE file in DIR (or the NAMEs given, in that order) into\n"
    "      the --to type beside it, named in upper case with the type replaced.\n"
    "      Existing outputs are replaced. A NAME not of the --from type is refused\n"
    "      before anything is written. The first failure stops the run.\n"
    "\n"
    "  zsnd cut [--from-sample A | --from S] [--to-sample B | --to S] SRC DEST\n"
    "      Writes frames A to B of SRC (counted from 0, both included) as DEST:\n"
    "      SRC's header values with the new data length, then exactly those\n"
    "      sample bytes; a WAV when DEST ends in .wav. --from and --to take\n"
    "      seconds (up to, not including, the frame at --to). A missing end is\n"
    "      the sound's own. DEST is replaced only once it is complete.\n"
    "\n"
    "  zsnd demo FOLDER\n"
    "      Writes a few sounds made by the program into FOLDER (created when\n"
    "      missing): an engine hum, a two-tone beep, a rising sweep, stereo ones,\n"
    "      in 8 and 16 bits as .snd, .wsd and .wav, and BROKEN.WSD, whose header\n"
    "      lies. The same bytes every time; nothing is written over a file.\n"
    "\n"
    "  zsnd import [--rate R] [--bits 8|16] [--channels 1|2] [--flag true|false]\n"
    "              [--id N] [--like GAMEFILE] SRC DEST\n"
    "      Decodes any audio file (WAV of any depth, AIFF, FLAC, Ogg Vorbis, Opus,\n"
    "      MP3) into DEST: a game file (.snd, .wsd) or a 44-byte PCM .wav. The\n"
    "      samples are resampled, mixed and dithered as needed. Defaults: SRC's\n"
    "      rate if it is one of the seven above, else the nearest below it; 16\n"
    "      bits; SRC's channels, at most 2; the flag follows the depth; ID 0.\n"
    "      --like takes rate, bits, channels, flag and ID from a game file (DEST\n"
    "      may be that file); the other options override it. Clipped samples are\n"
    "      counted in the report.\n"
    "\n"
    "  zsnd --help\n"
    "      Shows this text.\n"
    "\n"
    "  zsnd --version\n"
    "      Shows the version number.\n"
    "\n"
    "Exit status: 0 success, 1 a file was refused by the header checks,\n"
    "2 a usage error, 3 a file (or standard output) could not be read or written;\n"
    "ended by SIGINT, SIGTERM or SIGHUP, 128 + the signal, and no temporary file\n"
    "is left behind.\n";

ExitCode Dispatch(const QString& command, const QStringList& args) {
    if (command == QLatin1String("info")) return InfoCommand::Run(args);
    if (command == QLatin1String("convert")) return ConvertCommand::Run(args);
    if (command == QLatin1String("batch")) return BatchCommand::Run(args);
    if (command == QLatin1String("cut")) return CutCommand::Run(args);
    if (command == QLatin1String("import")) return ImportCommand::Run(args);
    if (command == QLatin1String("demo")) return DemoCommand::Run(args);
    throw UsageError(QStringLiteral("unknown command \"%1\"").arg(command));
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
    if (args.first() == QLatin1String("--help") || args.first() == QLatin1String("-h")) {
        Console::Out(QString::fromLatin1(kHelp));
        return Console::FinishOutput() ? 0 : static_cast<int>(ExitCode::Failed);
    }
    if (args.first() == QLatin1String("--version")) {
        Console::Out(QStringLiteral("zsnd %1\n").arg(QLatin1String(ZephyraVersion::Text)));
        return Console::FinishOutput() ? 0 : static_cast<int>(ExitCode::Failed);
    }
    ExitCode code = ExitCode::Failed;
    try {
        code = Dispatch(args.first(), args.mid(1));
    } catch (const UsageError& e) {
        Console::UsageProblem(e.Text);
        code = ExitCode::Usage;
    } catch (const AppError& e) {
        Console::Report(e);
        code = ExitCode::Failed;
    }
    if (!Console::FinishOutput()) code = ExitCode::Failed;
    return static_cast<int>(code);
}
