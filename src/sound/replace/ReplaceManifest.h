#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QJsonObject>
#include <QList>
#include <QSet>
#include <QString>

namespace Replace {

// One replaced game file of a folder, as the store's manifest keeps it.
struct ReplacedFile {
    QString Name;            // the file's name on disk, in the folder
    qint64 Size = 0;         // bytes of the original
    QByteArray OriginalSha;  // SHA-256 (hex) of the original, kept in the store
    QByteArray ReplacedSha;  // SHA-256 of what replaced it
    QDateTime ReplacedAt;    // UTC
    QString Source;          // the sound or the pack it came from, as the user named it

    bool operator==(const ReplacedFile&) const = default;
};

// A record as the manifest writes it: name, size, original_sha256,
// replaced_sha256, replaced_at (ISO 8601, UTC) and source.
QJsonObject RecordJson(const ReplacedFile& file);

// Every replaced file of a folder. The first original of a file is kept
// however often it is replaced again.
struct ReplaceManifest {
    QList<ReplacedFile> Files;

    // By name, without a walk of the list: a store may hold thousands.
    const ReplacedFile* Find(const QString& name) const;
    ReplacedFile* Find(const QString& name);
    // Appends a record of a name not yet listed; returns it.
    ReplacedFile& Add(const ReplacedFile& file);
    // Drops the records of `names`, in one pass.
    void Remove(const QSet<QString>& names);

    QJsonObject ToJson() const;
    // ToJson as the text of manifest.json, one record a line. Written here
    // rather than through QJsonDocument, which takes ten times as long on a
    // store of thousands of records.
    QByteArray ToText() const;
    // Throws AppError 321 naming `origin` when a record is not well formed: a
    // store is trusted no further than the folder it lies in.
    static ReplaceManifest FromJson(const QJsonObject& json, const QString& origin);

private:
    // Where each name is in Files; built again when Files has grown or shrunk
    // since (names are unique, so the sizes agree while it is current).
    qsizetype IndexOf(const QString& name) const;
    mutable QHash<QString, qsizetype> index_;
};

// True for 64 lower-case hex digits.
bool IsSha256(const QByteArray& text);

// True for a plain file name: not empty, no "/", not "." or "..".
bool IsPlainName(const QString& name);

}  // namespace Replace
