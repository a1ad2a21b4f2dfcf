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
    "The standard options of Qt programs are taken too, for example\n"
    "-style NAME, -stylesheet FILE, -platform NAME, -reverse.\n"
    "\n"
    "Exit status: 0 closed normally, 2 a usage error, 128 + N ended by signal N\n"
    "(INT, TERM, HUP, QUIT, PIPE, USR1, ALRM or any other signal that ends a\n"
    "program and can be caught): closed as on Exit, temporary files removed.\n";

void Print(std::FILE* stream, const QString& text) {
    std::fputs(text.toUtf8().constData(), stream);
    std::fflush(stream);
}

// The options QApplication and its platform plugins take from any program's
// command line, with one or two leading dashes.
const char* const kQtOptionsWithValue[] = {
    "style",         "stylesheet",   "platform", "platformpluginpath",
    "platformtheme", "plugin",       "session",  "qwindowgeometry",
    "geometry",      "qwindowtitle", "title",    "qwindowicon",
    "icon",          "display",      "name",     "visual"};
const char* const kQtFlags[] = {"reverse", "widgetcount", "nograb",
                                "dograb",  "sync",        "testability"};
// These also take their value after "=".
const char* const kQtOptionsWithEquals[] = {"style", "stylesheet", "session", "qmljsdebugger"};

QString QtOptionName(const QString& arg) {
    if (arg.startsWith(QLatin1String("--"))) return arg.mid(2);
    return arg.startsWith(QLatin1Char('-')) ? arg.mid(1) : QString();
}

template <std::size_t N>
bool Among(const QString& name, const char* const (&names)[N]) {
    for (const char* known : names) {
        if (name == QLatin1String(known)) return true;
    }
    return false;
}

// The number of words the Qt option at args[i] takes (itself and its value),
// 0 when it is none of Qt's, -1 when its value is missing.
int QtOptionWords(const QStringList& args, qsizetype i) {
    const QString name = QtOptionName(args.at(i));
    if (Among(name, kQtFlags)) return 1;
    if (Among(name, kQtOptionsWithValue)) return i + 1 < args.size() ? 2 : -1;
    const qsizetype equals = name.indexOf(QLatin1Char('='));
    return equals > 0 && Among(name.left(equals), kQtOptionsWithEquals) ? 1 : 0;
}

}  // namespace

StartArguments StartArguments::Parse(const QStringList& args) {
    StartArguments start;
    bool options = true;
    QStringList paths;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        const int qtWords = options ? QtOptionWords(args, i) : 0;
        if (qtWords < 0) {
            start.action = Action::Usage;
            start.problem = QStringLiteral("option \"%1\" needs a value").arg(arg);
            return start;
        }
        if (qtWords > 0) {
            start.qtArgs += args.mid(i, qtWords);
            i += qtWords - 1;
        } else if (options && arg == QLatin1String("--")) {
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
