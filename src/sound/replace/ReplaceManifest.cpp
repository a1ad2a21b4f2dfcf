#include "ReplaceManifest.h"

#include <QJsonArray>

#include "AppError.h"
#include "StrictJson.h"

namespace Replace {

namespace {

QJsonValue Text(const QByteArray& bytes) {
    return QString::fromLatin1(bytes);
}

[[noreturn]] void Damaged(const QString& origin, const QString& what) {
    throw AppError::Standard(ErrNo::InvalidFileFormat,
                             QStringLiteral("%1 is damaged (%2)").arg(origin, what));
}

}  // namespace

bool IsSha256(const QByteArray& text) {
    if (text.size() != 64) return false;
    for (const char c : text)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    return true;
}

bool IsPlainName(const QString& name) {
    return !name.isEmpty() && !name.contains(QLatin1Char('/')) && name != QLatin1String(".") &&
           name != QLatin1String("..") && !name.contains(QChar(0));
}

QJsonObject RecordJson(const ReplacedFile& f) {
    return QJsonObject{
        {"name", f.Name},
        {"size", f.Size},
        {"original_sha256", Text(f.OriginalSha)},
        {"replaced_sha256", Text(f.ReplacedSha)},
        {"replaced_at", f.ReplacedAt.toUTC().toString(Qt::ISODate)},
        {"source", f.Source},
    };
}

qsizetype ReplaceManifest::IndexOf(const QString& name) const {
    if (index_.size() != Files.size()) {
        index_.clear();
        for (qsizetype i = 0; i < Files.size(); ++i) index_.insert(Files[i].Name, i);
    }
    return index_.value(name, -1);
}

const ReplacedFile* ReplaceManifest::Find(const QString& name) const {
    const qsizetype i = IndexOf(name);
    return i < 0 ? nullptr : &Files[i];
}

ReplacedFile* ReplaceManifest::Find(const QString& name) {
    const qsizetype i = IndexOf(name);
    return i < 0 ? nullptr : &Files[i];
}

ReplacedFile& ReplaceManifest::Add(const ReplacedFile& file) {
    const bool current = index_.size() == Files.size();
    Files << file;
    if (current) index_.insert(file.Name, Files.size() - 1);
    return Files.last();
}

void ReplaceManifest::Remove(const QSet<QString>& names) {
    Files.removeIf([&](const ReplacedFile& file) { return names.contains(file.Name); });
    index_.clear();
}

QJsonObject ReplaceManifest::ToJson() const {
    QJsonArray files;
    for (const ReplacedFile& f : Files) files.append(RecordJson(f));
    return QJsonObject{{"version", 1}, {"files", files}};
}

ReplaceManifest ReplaceManifest::FromJson(const QJsonObject& json, const QString& origin) {
    // Every field is checked: a manifest read as "nothing replaced" would let
    // the originals it lists be taken for unused.
    const StrictJson top(json, {}, [&](const QString& what) { Damaged(origin, what); });
    if (top.Count("version") != 1) Damaged(origin, QStringLiteral("unknown version"));
    ReplaceManifest manifest;
    top.ForEach("files", [&](const StrictJson& o) {
        ReplacedFile f{o.Name("name"),           o.Count("size"),       o.Sha("original_sha256"),
                       o.Sha("replaced_sha256"), o.Time("replaced_at"), o.Text("source")};
        if (manifest.Find(f.Name))
            Damaged(origin, QStringLiteral("%1 is listed twice").arg(f.Name));
        manifest.Add(f);
    });
    return manifest;
}

}  // namespace Replace
