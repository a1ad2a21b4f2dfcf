#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QString>

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
    QJsonObject ManifestBefore;

    QJsonObject ToJson() const;
    // Throws AppError 321 naming `origin` when the journal is not well formed.
    static ChangeJournal FromJson(const QJsonObject& json, const QString& origin);
};

}  // namespace Replace
