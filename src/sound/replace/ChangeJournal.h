#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

#include "ReplaceManifest.h"

namespace Replace {

// One file of a run: its content before and after, as SHA-256 hashes of
// copies the store holds. An empty Before means the file did not exist.
struct FileChange {
    QString Name;
    QByteArray Before;
    QByteArray After;
};

// The intent of a run that changes several files all or nothing. It is made
// durable before the first file changes and removed after the last; one found
// on disk is a run that was interrupted, and rolling it back puts every file
// and the manifest back as they were before it.
struct ChangeJournal {
    QString Operation;  // "replace", "apply" or "restore"
    QString Detail;     // the sound or pack it came from, "" for a restore
    QDateTime Started;  // UTC
    QList<FileChange> Changes;
    // The manifest's records as they were before the run, for those it adds,
    // changes or drops (Touched): a rollback puts Before's records back over
    // whatever the manifest then says, so a run's cost does not grow with the
    // records it leaves alone.
    QStringList Touched;
    ReplaceManifest Before;
    // A journal of an earlier version: Before is then the whole manifest.
    bool WholeManifest = false;

    QJsonObject ToJson() const;
    // Throws AppError 321 naming `origin` when the journal is not well formed.
    static ChangeJournal FromJson(const QJsonObject& json, const QString& origin);
};

}  // namespace Replace
