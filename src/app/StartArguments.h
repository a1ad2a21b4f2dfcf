#pragma once

#include <QString>
#include <QStringList>

// The desktop program's command line: zephyra-sound-utility [FILE | FOLDER],
// --help or --version. Qt's own options are not taken, so that every operand
// is a path, whatever its first character.
struct StartArguments {
    enum class Action { Run, Help, Version, Usage };

    Action action = Action::Run;
    QString path;     // Run: the FILE or FOLDER given; "" when none
    QString problem;  // Usage: what is wrong with the command line

    // `args` without the program's name.
    static StartArguments Parse(const QStringList& args);

    // For every action but Run: prints the help or the version on standard
    // output, or the problem and a hint on standard error, and returns the exit
    // status (0, or 2 for a usage error).
    int Answer() const;
};
