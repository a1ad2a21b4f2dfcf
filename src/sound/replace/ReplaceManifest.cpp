#include "ReplaceManifest.h"

#include <QByteArrayView>
#include <QJsonArray>
#include <QJsonDocument>
#include <algorithm>
#include <functional>
#include <utility>

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

namespace {

const char kHead[] = "{\n    \"version\": 1,\n    \"files\": [";
const char kIndent[] = "\n        ";
const char kTail[] = "\n    ]\n}\n";
const char kEmptyTail[] = "]\n}\n";
const char kOriginalKey[] = "\"original_sha256\": \"";

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

// What a record's line of the text starts with, up to its name's end: each
// name is written one way only, so this finds the record.
QByteArray LineStart(const QString& name) {
    QByteArray start = kIndent;
    start += "{\"name\": ";
    AppendString(start, name);
    return start + ", \"size\": ";
}

// One record as a line of the text, without its indent.
QByteArray RecordLine(const ReplacedFile& f) {
    QByteArray out = "{\"name\": ";
    AppendString(out, f.Name);
    out += ", \"size\": " + QByteArray::number(f.Size) + ", " + kOriginalKey + f.OriginalSha +
           "\", \"replaced_sha256\": \"" + f.ReplacedSha + "\", \"replaced_at\": ";
    AppendString(out, f.ReplacedAt.toUTC().toString(Qt::ISODate));
    out += ", \"source\": ";
    AppendString(out, f.Source);
    return out + '}';
}

ReplacedFile RecordFrom(const StrictJson& o) {
    return ReplacedFile{o.Name("name"),           o.Count("size"),       o.Sha("original_sha256"),
                        o.Sha("replaced_sha256"), o.Time("replaced_at"), o.Text("source")};
}

// The whole text: `out` holds the head and record lines so far (each after a
// line break and indent, commas between them); `more` records follow.
QByteArray Joined(QByteArray out, const QList<QByteArray>& more) {
    qsizetype size = out.size() + qsizetype(sizeof kTail);
    for (const QByteArray& line : more) size += line.size() + 10;
    out.reserve(size);
    for (const QByteArray& line : more) {
        if (out.size() > qsizetype(sizeof kHead) - 1) out += ',';
        out += kIndent + line;
    }
    out += out.size() > qsizetype(sizeof kHead) - 1 ? kTail : kEmptyTail;
    return out;
}

}  // namespace

const QList<ReplacedFile>& ReplaceManifest::Files() const& {
    if (!Lazy()) return files_;
    // Read as a whole once, then changed as it was changed lazily.
    const QJsonObject json = QJsonDocument::fromJson(text_).object();
    ReplaceManifest whole = FromJson(json, origin_);
    for (const QString& name : changeOrder_) {
        const std::optional<ReplacedFile>& change = changes_.at(name);
        if (!change || readded_.contains(name)) whole.Remove({name});
        if (!change) {
        } else if (ReplacedFile* record = whole.Find(name)) {
            *record = *change;
        } else {
            whole.Add(*change);
        }
    }
    files_ = whole.files_;
    index_.clear();
    text_ = QByteArray();
    // The records read or changed so far stay where they are: a pointer
    // Find gave out before stays good.
    changeOrder_.clear();
    readded_.clear();
    return files_;
}

bool ReplaceManifest::IsEmpty() const {
    // Own text always lists a record; only removals can leave none.
    if (!Lazy()) return files_.isEmpty();
    return changes_.empty() ? false : Files().isEmpty();
}

qsizetype ReplaceManifest::IndexOf(const QString& name) const {
    if (index_.size() != files_.size()) {
        index_.clear();
        for (qsizetype i = 0; i < files_.size(); ++i) index_.insert(files_[i].Name, i);
    }
    return index_.value(name, -1);
}

const ReplacedFile* ReplaceManifest::ReadFromText(const QString& name) const {
    const auto known = read_.find(name);
    if (known != read_.end()) return &known->second;
    const qsizetype at = text_.indexOf(LineStart(name));
    if (at < 0) return nullptr;
    const qsizetype indent = qsizetype(sizeof kIndent) - 1;
    qsizetype end = text_.indexOf('\n', at + 1);
    if (end < 0) end = text_.size();
    QByteArrayView line(text_.constData() + at + indent, end - at - indent);
    if (line.endsWith(',')) line.chop(1);
    const QJsonObject json = QJsonDocument::fromJson(line.toByteArray()).object();
    const StrictJson o(json, name, [&](const QString& what) {
        throw AppError::Standard(ErrNo::InvalidFileFormat,
                                 QStringLiteral("%1 is damaged (%2)").arg(origin_, what));
    });
    return &read_.emplace(name, RecordFrom(o)).first->second;
}

const ReplacedFile* ReplaceManifest::Find(const QString& name) const {
    if (!Lazy()) {
        const qsizetype i = IndexOf(name);
        return i < 0 ? nullptr : &files_[i];
    }
    const auto changed = changes_.find(name);
    if (changed != changes_.end()) return changed->second ? &*changed->second : nullptr;
    // Each look reads through the text: past a few, one parse costs less.
    if (++lookups_ > kLookupsBeforeParse) {
        Files();
        return Find(name);
    }
    return ReadFromText(name);
}

ReplacedFile* ReplaceManifest::Find(const QString& name) {
    if (!Lazy()) {
        const qsizetype i = IndexOf(name);
        return i < 0 ? nullptr : &files_[i];
    }
    auto changed = changes_.find(name);
    if (changed == changes_.end()) {
        const ReplacedFile* record = std::as_const(*this).Find(name);
        if (!Lazy()) return const_cast<ReplacedFile*>(record);
        if (!record) return nullptr;
        // The caller may change it: from now on it is written from here.
        changed = changes_.emplace(name, *record).first;
        changeOrder_ << name;
    }
    return changed->second ? &*changed->second : nullptr;
}

ReplacedFile& ReplaceManifest::Add(const ReplacedFile& file) {
    if (Lazy()) {
        const auto changed = changes_.find(file.Name);
        if (changed == changes_.end())
            changeOrder_ << file.Name;
        else if (!changed->second)
            readded_.insert(file.Name);
        return *(changes_[file.Name] = file);
    }
    const bool current = index_.size() == files_.size();
    files_ << file;
    if (current) index_.insert(file.Name, files_.size() - 1);
    return files_.last();
}

void ReplaceManifest::Remove(const QSet<QString>& names) {
    if (Lazy()) {
        QStringList sorted(names.begin(), names.end());
        sorted.sort();  // the order of the changes, and so of the text, is the same each time
        for (const QString& name : sorted) {
            if (!Find(name)) continue;
            if (!changes_.count(name)) changeOrder_ << name;
            changes_[name] = std::nullopt;
        }
        return;
    }
    files_.removeIf([&](const ReplacedFile& file) { return names.contains(file.Name); });
    index_.clear();
}

QStringList ReplaceManifest::ChangedFrom(const ReplaceManifest& base) const {
    QStringList changed;
    if (Lazy() && base.Lazy() && base.changes_.empty() && text_ == base.text_) {
        for (const QString& name : changeOrder_) {
            const std::optional<ReplacedFile>& now = changes_.at(name);
            const ReplacedFile* was = base.Find(name);
            if (now ? (!was || !(*was == *now)) : was != nullptr) changed << name;
        }
        return changed;
    }
    for (const ReplacedFile& f : Files()) {
        const ReplacedFile* was = base.Find(f.Name);
        if (!was || !(*was == f)) changed << f.Name;
    }
    for (const ReplacedFile& f : base.Files())
        if (!Find(f.Name)) changed << f.Name;
    return changed;
}

QByteArray ReplaceManifest::ToText() const {
    QList<QByteArray> lines;
    if (!Lazy()) {
        lines.reserve(files_.size());
        for (const ReplacedFile& f : files_) lines << RecordLine(f);
        return Joined(kHead, lines);
    }
    // The text as it is, but for the lines of the records changed: each
    // line is found by its start, and only those are written anew.
    struct Splice {
        qsizetype from, to;  // the line's "\n" + indent + record, without its comma
        QByteArray line;     // the new record; empty to drop the line
    };
    QList<Splice> splices;
    for (const QString& name : changeOrder_) {
        const std::optional<ReplacedFile>& change = changes_.at(name);
        const bool moved = change && readded_.contains(name);
        const qsizetype at = text_.indexOf(LineStart(name));
        if (at >= 0) {
            qsizetype end = text_.indexOf('\n', at + 1);
            if (text_[end - 1] == ',') --end;
            splices << Splice{at, end, change && !moved ? RecordLine(*change) : QByteArray()};
        }
        if (change && (at < 0 || moved)) lines << RecordLine(*change);
    }
    std::sort(splices.begin(), splices.end(),
              [](const Splice& a, const Splice& b) { return a.from < b.from; });
    const qsizetype bodyStart = qsizetype(sizeof kHead) - 1;
    const qsizetype bodyEnd = text_.size() - qsizetype(sizeof kTail) + 1;
    QByteArray body = kHead;
    body.reserve(bodyEnd + 16 + splices.size() * 300 + lines.size() * 300);
    qsizetype at = bodyStart;
    for (const Splice& splice : splices) {
        body.append(text_.constData() + at, splice.from - at);
        if (!splice.line.isEmpty()) body += kIndent + splice.line;
        // A dropped line's comma goes with it.
        at = splice.to + (splice.line.isEmpty() && text_[splice.to] == ',' ? 1 : 0);
    }
    body.append(text_.constData() + at, bodyEnd - at);
    // A dropped last line leaves the comma of the one before it.
    if (body.endsWith(',')) body.chop(1);
    return Joined(std::move(body), lines);
}

QJsonObject ReplaceManifest::ToJson() const {
    QJsonArray files;
    for (const ReplacedFile& f : Files()) files.append(RecordJson(f));
    return QJsonObject{{"version", 1}, {"files", files}};
}

ReplaceManifest ReplaceManifest::FromJson(const QJsonObject& json, const QString& origin) {
    // Every field is checked: a manifest read as "nothing replaced" would let
    // the originals it lists be taken for unused.
    const StrictJson top(json, {}, [&](const QString& what) { Damaged(origin, what); });
    if (top.Count("version") != 1) Damaged(origin, QStringLiteral("unknown version"));
    ReplaceManifest manifest;
    top.ForEach("files", [&](const StrictJson& o) {
        const ReplacedFile f = RecordFrom(o);
        if (manifest.Find(f.Name))
            Damaged(origin, QStringLiteral("%1 is listed twice").arg(f.Name));
        manifest.Add(f);
    });
    return manifest;
}

std::optional<ReplaceManifest> ReplaceManifest::FromOwnText(const QByteArray& text,
                                                            const QString& origin) {
    const bool empty = text == QByteArray(kHead) + kEmptyTail;
    if (!empty && !(text.startsWith(kHead) && text.endsWith(kTail))) return std::nullopt;
    ReplaceManifest manifest;
    if (empty) return manifest;
    manifest.text_ = text;
    manifest.origin_ = origin;
    return manifest;
}

bool ReplaceManifest::ListsOriginal(const QByteArray& text, const QByteArray& sha) {
    return text.contains(kOriginalKey + sha + '"');
}

QSet<QByteArray> ReplaceManifest::OriginalsIn(const QByteArray& text) {
    // The key's quotes cannot stand unescaped inside a name or a source.
    QSet<QByteArray> originals;
    const qsizetype key = qsizetype(sizeof kOriginalKey) - 1;
    for (qsizetype at = text.indexOf(kOriginalKey); at >= 0;
         at = text.indexOf(kOriginalKey, at + key))
        originals.insert(text.mid(at + key, 64));
    return originals;
}

}  // namespace Replace
