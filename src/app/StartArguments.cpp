#include "StartArguments.h"

#include <cstdio>

#include "TerminalText.h"
#include "ZephyraVersion.h"

namespace {

const char kHelp[] =
    "Usage: zephyra-sound-utility [FILE | FOLDER]\n"
    "Inspects, converts and previews the sound files of the Zephyrion game\n"
    "(.snd, .wsd) and PCM .wav files.\n"
    "\n"
    "  FOLDER      opens the main window on FOLDER\n"
    "  FILE        opens the file's folder with FILE selected and inspected, and\n"
    "              played when Auto Play is ticked; a sound of another type (FLAC,\n"
    "              Ogg, MP3, ...) opens the Import dialog for it\n"
    "  (nothing)   opens the folder of the last run\n"
    "\n"
    "  -h, --help  shows this text\n"
    "  --version   shows the program's version\n"
    "  --          ends the options: a path after it may begin with \"-\"\n"
    "\n"
    "Exit status: 0 closed normally, 2 a usage error, 128 + N ended by signal N\n"
    "(INT, TERM, HUP, QUIT, PIPE, USR1, ALRM or any other signal that ends a\n"
    "program and can be caught): closed as on Exit, temporary files removed.\n";

void Print(std::FILE* stream, const QString& text) {
    std::fputs(text.toUtf8().constData(), stream);
    std::fflush(stream);
}

}  // namespace

StartArguments StartArguments::Parse(const QStringList& args) {
    StartArguments start;
    bool options = true;
    QStringList paths;
    for (const QString& arg : args) {
        if (options && arg == QLatin1String("--")) {
            options = false;
        } else if (options && (arg == QLatin1String("--help") || arg == QLatin1String("-h"))) {
            start.action = Action::Help;
            return start;
        } else if (options && arg == QLatin1String("--version")) {
            start.action = Action::Version;
            return start;
        } else if (options && arg.startsWith(QLatin1Char('-')) && arg != QLatin1String("-")) {
            start.action = Action::Usage;
            start.problem = QStringLiteral("unknown option \"%1\"").arg(arg);
            return start;
        } else {
            paths << arg;
        }
    }
    if (paths.size() > 1) {
        start.action = Action::Usage;
        start.problem = QStringLiteral("one FILE or FOLDER at most, %1 given").arg(paths.size());
    } else if (paths.size() == 1 && paths.first().isEmpty()) {
        start.action = Action::Usage;
        start.problem = QStringLiteral("an empty path");
    } else if (paths.size() == 1) {
        start.path = paths.first();
    }
    return start;
}

int StartArguments::Answer() const {
    switch (action) {
        case Action::Help:
            Print(stdout, QString::fromLatin1(kHelp));
            return 0;
        case Action::Version:
            Print(stdout, QStringLiteral("zephyra-sound-utility %1\n")
                              .arg(QLatin1String(ZephyraVersion::Text)));
            return 0;
        case Action::Usage:
            Print(stderr, QStringLiteral("zephyra-sound-utility: %1\n"
                                         "Try 'zephyra-sound-utility --help' for more "
                                         "information.\n")
                              .arg(TerminalText::Escaped(problem)));
            return 2;
        case Action::Run:
            break;
    }
    return 0;
}
