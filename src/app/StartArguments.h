#pragma once

#include <QString>
#include <QStringList>

// The desktop program's command line: zephyra-sound-utility [QT-OPTION...]
// [FILE | FOLDER], --help or --version. The standard options of every Qt
// program (-style NAME, -platform NAME, -reverse, ...) are picked out for Qt;
// any other word with a leading "-" is a usage error, and after "--" every
// word is a path.
struct StartArguments {
    enum class Action { Run, Help, Version, Usage };

    Action action = Action::Run;
    QString path;        // Run: the FILE or FOLDER given; "" when none
    QStringList qtArgs;  // Run: Qt's options with their values, in the order given
    QString problem;     // Usage: what is wrong with the command line

    // `args` without the program's name.
    static StartArguments Parse(const QStringList& args);

    // For every action but Run: prints the help or the version on standard
    // output, or the problem and a hint on standard error, and returns the exit
    // status (0, or 2 for a usage error).
    int Answer() const;
};
