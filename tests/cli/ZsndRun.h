#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// One run of the built zsnd, as a shell would make it.
struct ZsndRun {
    int exitCode = -1;  // -1 when a signal ended it
    QString out, err;
};

inline ZsndRun RunZsnd(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral(ZSND_PATH), args);
    p.waitForFinished(120000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}
