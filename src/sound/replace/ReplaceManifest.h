#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QJsonObject>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <map>
#include <optional>

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
//
// A manifest read from the text its own writer made, and known unchanged
// since, is not parsed as a whole: a record is read when it is asked for, and
// the text is written back with only the changed records rewritten. A change
// to one file of a store of thousands then costs about as much as to one of
// ten; one asked for many records is parsed whole after the first few.
// Pointers from Find last until the next Add or Remove.
class ReplaceManifest {
public:
    // Every record, in order (a manifest read lazily is parsed in full here);
    // a copy from a temporary, which a range-for would otherwise outlive.
    const QList<ReplacedFile>& Files() const&;
    QList<ReplacedFile> Files() const&& { return Files(); }
    bool IsEmpty() const;

    // By name, without a walk of the list: a store may hold thousands.
    const ReplacedFile* Find(const QString& name) const;
    ReplacedFile* Find(const QString& name);
    // Appends a record of a name not yet listed; returns it.
    ReplacedFile& Add(const ReplacedFile& file);
    // Drops the records of `names`.
    void Remove(const QSet<QString>& names);
    // The names whose records differ from those of `base`: found from the
    // changes made when this manifest is `base` changed, else by comparing all.
    QStringList ChangedFrom(const ReplaceManifest& base) const;

    QJsonObject ToJson() const;
    // ToJson as the text of manifest.json, one record a line. Written here
    // rather than through QJsonDocument, which takes ten times as long on a
    // store of thousands of records.
    QByteArray ToText() const;
    // Throws AppError 321 naming `origin` when a record is not well formed: a
    // store is trusted no further than the folder it lies in.
    static ReplaceManifest FromJson(const QJsonObject& json, const QString& origin);
    // A manifest from text ToText made, known unchanged since (the store
    // keeps a checksum beside it); nothing when the text is not of that form.
    static std::optional<ReplaceManifest> FromOwnText(const QByteArray& text,
                                                      const QString& origin);
    // The original_sha256 of every record of text ToText made.
    static QSet<QByteArray> OriginalsIn(const QByteArray& text);
    // True when a record of text ToText made has `sha` as its original.
    static bool ListsOriginal(const QByteArray& text, const QByteArray& sha);

private:
    bool Lazy() const { return !text_.isNull(); }
    const ReplacedFile* ReadFromText(const QString& name) const;
    qsizetype IndexOf(const QString& name) const;

    // Parsed: every record, and where each name is (built again when the
    // list has grown or shrunk since; names are unique).
    mutable QList<ReplacedFile> files_;
    mutable QHash<QString, qsizetype> index_;
    // Lazy: the own text, the records read from it, and the changes made over
    // it (no value: removed), in the order they were first made.
    mutable QByteArray text_;
    QString origin_;
    mutable std::map<QString, ReplacedFile> read_;
    mutable std::map<QString, std::optional<ReplacedFile>> changes_;
    mutable QStringList changeOrder_;
    mutable QSet<QString> readded_;  // removed, then added again: now listed last
    static constexpr int kLookupsBeforeParse = 16;
    mutable int lookups_ = 0;
};

// True for 64 lower-case hex digits.
bool IsSha256(const QByteArray& text);

// True for a plain file name: not empty, no "/", not "." or "..".
bool IsPlainName(const QString& name);

}  // namespace Replace
