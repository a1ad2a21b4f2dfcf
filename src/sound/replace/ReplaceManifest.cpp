#include "ReplaceManifest.h"

#include <QJsonArray>

#include "AppError.h"

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

const ReplacedFile* ReplaceManifest::Find(const QString& name) const {
    for (const ReplacedFile& file : Files)
        if (file.Name == name) return &file;
    return nullptr;
}

ReplacedFile* ReplaceManifest::Find(const QString& name) {
    for (ReplacedFile& file : Files)
        if (file.Name == name) return &file;
    return nullptr;
}

void ReplaceManifest::Remove(const QString& name) {
    Files.removeIf([&](const ReplacedFile& file) { return file.Name == name; });
}

QJsonObject ReplaceManifest::ToJson() const {
    QJsonArray files;
    for (const ReplacedFile& f : Files) files.append(RecordJson(f));
    return QJsonObject{{"version", 1}, {"files", files}};
}

ReplaceManifest ReplaceManifest::FromJson(const QJsonObject& json, const QString& origin) {
    if (json.value("version").toInt() != 1) Damaged(origin, QStringLiteral("unknown version"));
    ReplaceManifest manifest;
    for (const QJsonValue& value : json.value("files").toArray()) {
        const QJsonObject o = value.toObject();
        ReplacedFile f;
        f.Name = o.value("name").toString();
        f.Size = o.value("size").toInteger(-1);
        f.OriginalSha = o.value("original_sha256").toString().toLatin1();
        f.ReplacedSha = o.value("replaced_sha256").toString().toLatin1();
        f.ReplacedAt = QDateTime::fromString(o.value("replaced_at").toString(), Qt::ISODate);
        f.Source = o.value("source").toString();
        if (!IsPlainName(f.Name) || f.Size < 0 || !IsSha256(f.OriginalSha) ||
            !IsSha256(f.ReplacedSha) || manifest.Find(f.Name))
            Damaged(origin, QStringLiteral("record %1").arg(manifest.Files.size() + 1));
        manifest.Files << f;
    }
    return manifest;
}

}  // namespace Replace
