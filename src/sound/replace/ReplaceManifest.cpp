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

namespace {

void AppendEscape(QByteArray& out, char16_t unit) {
    static const char hex[] = "0123456789abcdef";
    out += "\\u";
    for (const int shift : {12, 8, 4, 0}) out += hex[(unit >> shift) & 0xf];
}

// `text` as a JSON string, quotes included. A name that is not valid UTF-8
// on disk holds lone surrogates: they are escaped, as UTF-8 cannot hold them.
void AppendString(QByteArray& out, const QString& text) {
    out += '"';
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text[i].unicode();
        if (c == u'"' || c == u'\\') {
            out += '\\';
            out += char(c);
        } else if (c < 0x20) {
            AppendEscape(out, c);
        } else if (c < 0x80) {
            out += char(c);
        } else if (QChar::isHighSurrogate(c) && i + 1 < n && text[i + 1].isLowSurrogate()) {
            out += QStringView(text).mid(i, 2).toUtf8();
            ++i;
        } else if (QChar::isSurrogate(c)) {
            AppendEscape(out, c);
        } else {
            out += QStringView(text).mid(i, 1).toUtf8();
        }
    }
    out += '"';
}

}  // namespace

QByteArray ReplaceManifest::ToText() const {
    QByteArray out;
    out.reserve(64 + Files.size() * 300);
    out += "{\n    \"version\": 1,\n    \"files\": [";
    for (qsizetype i = 0; i < Files.size(); ++i) {
        const ReplacedFile& f = Files[i];
        out += i == 0 ? "\n        {\"name\": " : ",\n        {\"name\": ";
        AppendString(out, f.Name);
        out += ", \"size\": " + QByteArray::number(f.Size) + ", \"original_sha256\": \"" +
               f.OriginalSha + "\", \"replaced_sha256\": \"" + f.ReplacedSha +
               "\", \"replaced_at\": ";
        AppendString(out, f.ReplacedAt.toUTC().toString(Qt::ISODate));
        out += ", \"source\": ";
        AppendString(out, f.Source);
        out += '}';
    }
    out += Files.isEmpty() ? "]\n}\n" : "\n    ]\n}\n";
    return out;
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
