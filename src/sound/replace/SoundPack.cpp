#include "SoundPack.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <algorithm>
#include <cstring>

#include "AppError.h"
#include "AtomicFile.h"
#include "ByteSource.h"
#include "Inspection.h"
#include "Inventory.h"
#include "PackArchive.h"
#include "Sha256.h"
#include "SoundInfo.h"
#include "StoreFiles.h"
#include "StrictJson.h"

namespace Replace {

namespace {

const QString kManifestName = QStringLiteral("manifest.json");
const QString kReadmeName = QStringLiteral("README.txt");
const QString kFormat = QStringLiteral("zephyra-sound-pack");
// A pack's texts grow with the sounds they list: each may hold a base plus
// an allowance per sound entry, and never more than the hard limit.
constexpr qint64 kMaxText = 1 << 20;
constexpr qint64 kTextPerSound = 4 << 10;
constexpr qint64 kMaxTextHard = 256ll << 20;
constexpr qsizetype kHeadBytes = 1 << 20;

[[noreturn]] void Refuse(const QString& zip, const QString& entry, const QString& reason) {
    throw AppError::Standard(
        ErrNo::InvalidFileFormat,
        QStringLiteral("%1: the entry \"%2\" %3; nothing was changed").arg(zip, entry, reason));
}

// Why an entry may not be unpacked into the folder, or "".
QString NameProblem(const ArchiveEntry& e) {
    static const QRegularExpression drive(QStringLiteral("^[A-Za-z]:"));
    if (e.Link) return QStringLiteral("is a link");
    if (!e.Regular) return QStringLiteral("is not a plain file");
    if (e.Name.isEmpty()) return QStringLiteral("has no name");
    if (e.Name.startsWith(QLatin1Char('/')) || e.Name.startsWith(QLatin1Char('\\')))
        return QStringLiteral("is an absolute path");
    if (drive.match(e.Name).hasMatch()) return QStringLiteral("names a drive");
    const QStringList parts = e.Name.split(QRegularExpression(QStringLiteral("[/\\\\]")));
    if (parts.contains(QStringLiteral(".."))) return QStringLiteral("climbs out of the folder");
    if (parts.size() > 1) return QStringLiteral("is in a sub-folder");
    if (e.Name == QLatin1String(".")) return QStringLiteral("has no name");
    return {};
}

// The first bytes of a pack's entry, standing for the whole of it in a
// header check: what lies beyond them cannot be read.
class HeadSource : public ByteSource {
public:
    HeadSource(const QByteArray& head, qint64 size) : head_(head), size_(size) {}
    qint64 Read(char* buffer, qint64 count) override {
        if (position_ >= head_.size() && position_ < size_)
            throw AppError::Standard(ErrNo::InvalidFileFormat,
                                     QStringLiteral("its header does not end within its first "
                                                    "%1 bytes")
                                         .arg(kHeadBytes));
        const qint64 n = std::clamp<qint64>(head_.size() - position_, 0, count);
        std::memcpy(buffer, head_.constData() + position_, size_t(n));
        position_ += n;
        return n;
    }
    qint64 Size() const override { return size_; }
    qint64 Skip(qint64 count) override {
        const qint64 n = std::clamp<qint64>(size_ - position_, 0, count);
        position_ += n;
        return n;
    }

private:
    const QByteArray& head_;
    qint64 size_;
    qint64 position_ = 0;
};

// Why the program would refuse the sound `name` of `size` bytes that begin
// with `head`, or "": a pack brings nothing the program would not open itself.
QString SoundProblem(const QString& name, const QByteArray& head, qint64 size) {
    HeadSource source(head, size);
    mUtility::SoundInfoRecord info;
    mUtility::SelectFile(info, QString(), name);
    QString why;
    try {
        const mUtility::InspectionResult r = mUtility::InspectSource(source, info);
        if (r.IsValid()) return {};
        why = mUtility::OneLine(r.MessageText);
    } catch (const AppError& e) {
        why = e.Description;
    }
    return QStringLiteral("is not a sound the program accepts (%1)").arg(why);
}

QByteArray ReadText(PackReader& reader, const QString& zip, const QString& name) {
    QByteArray text;
    reader.Read([&](const char* data, qint64 count) {
        if (text.size() + count > kMaxTextHard) Refuse(zip, name, QStringLiteral("is too large"));
        text.append(data, count);
    });
    return text;
}

QList<PackFile> ParseManifest(const QByteArray& bytes, const QString& zip) {
    QJsonParseError error;
    const QJsonObject json = QJsonDocument::fromJson(bytes, &error).object();
    if (error.error != QJsonParseError::NoError || json.value("format").toString() != kFormat ||
        json.value("version").toInt() != 1)
        Refuse(zip, kManifestName, QStringLiteral("is not a sound pack's manifest"));
    const StrictJson top(json, {}, [&](const QString& what) {
        Refuse(zip, kManifestName, QStringLiteral("is not well formed (%1)").arg(what));
    });
    QList<PackFile> files;
    top.ForEach("files", [&](const StrictJson& o) {
        files << PackFile{o.Name("name"), o.Sha("stock_sha256"), o.Sha("sha256"), o.Count("size")};
    });
    if (files.isEmpty()) Refuse(zip, kManifestName, QStringLiteral("lists no sound"));
    return files;
}

QByteArray ManifestBytes(const QList<PackFile>& files) {
    QJsonArray list;
    for (const PackFile& f : files)
        list.append(QJsonObject{{"name", f.Name},
                                {"stock_sha256", QString::fromLatin1(f.StockSha)},
                                {"sha256", QString::fromLatin1(f.Sha)},
                                {"size", f.Size}});
    return QJsonDocument(QJsonObject{{"format", kFormat}, {"version", 1}, {"files", list}})
        .toJson(QJsonDocument::Indented);
}

QByteArray ReadmeBytes(const ReplaceManifest& manifest) {
    QString text = QStringLiteral(
        "Zephyra sound pack\r\n\r\n"
        "This pack replaces these sounds of the Zephyrion game:\r\n\r\n");
    for (const ReplacedFile& f : manifest.Files()) {
        text += QStringLiteral("  %1 (from %2)\r\n")
                    .arg(f.Name, f.Source.section(QLatin1Char('/'), -1));
    }
    text += QStringLiteral(
        "\r\nTo apply it, open the game's sound folder in Zephyra Sound Utility and\r\n"
        "choose Apply Sound Pack..., or run:\r\n\r\n"
        "  zsnd apply THIS-PACK.zip GAME-SOUND-FOLDER\r\n\r\n"
        "Every file is checked first: each must be the game's stock sound the pack\r\n"
        "expects (its SHA-256 is in manifest.json), or nothing is changed. The\r\n"
        "originals are kept in the folder, and \"zsnd restore GAME-SOUND-FOLDER\"\r\n"
        "(or Restore All Originals) brings them back.\r\n");
    return text.toUtf8();
}

// The sound entries of a pack with their hashes and sizes, checked against
// its manifest.
struct PackContents {
    QList<PackFile> Files;
    QString Readme;
};

PackContents ReadPack(const QString& zip) {
    PackReader reader(zip);
    const QString special = SpecialEntry(zip);
    if (!special.isEmpty()) Refuse(zip, special, QStringLiteral("is not a plain file"));
    ArchiveEntry e;
    QSet<QString> seen;
    QByteArray manifest, readme;
    bool haveManifest = false;
    PackContents contents;
    QMap<QString, QPair<QByteArray, qint64>> found;
    while (reader.Next(e)) {
        const QString problem = NameProblem(e);
        if (!problem.isEmpty()) Refuse(zip, e.Name, problem);
        if (seen.contains(e.Name.toLower())) Refuse(zip, e.Name, QStringLiteral("appears twice"));
        seen.insert(e.Name.toLower());
        if (e.Name == kManifestName) {
            manifest = ReadText(reader, zip, e.Name);
            haveManifest = true;
        } else if (e.Name == kReadmeName) {
            readme = ReadText(reader, zip, e.Name);
        } else if (mUtility::IsSoundFileName(e.Name)) {
            Sha256 sha;
            QByteArray head;
            const qint64 size = reader.Read([&](const char* d, qint64 n) {
                sha.Add(d, n);
                if (head.size() < kHeadBytes) head.append(d, std::min(n, kHeadBytes - head.size()));
            });
            const QString problem = SoundProblem(e.Name, head, size);
            if (!problem.isEmpty()) Refuse(zip, e.Name, problem);
            found.insert(e.Name, {sha.Hex(), size});
        } else {
            Refuse(zip, e.Name, QStringLiteral("is not a sound file of the game's types"));
        }
    }
    if (!haveManifest)
        Refuse(zip, kManifestName, QStringLiteral("is missing: this is not a sound pack"));
    const qint64 allowed = kMaxText + kTextPerSound * found.size();
    if (manifest.size() > allowed)
        Refuse(zip, kManifestName,
               QStringLiteral("is too large for a pack of %1 sound(s)").arg(found.size()));
    if (readme.size() > allowed)
        Refuse(zip, kReadmeName,
               QStringLiteral("is too large for a pack of %1 sound(s)").arg(found.size()));
    contents.Readme = QString::fromUtf8(readme);
    contents.Files = ParseManifest(manifest, zip);
    for (const PackFile& f : contents.Files) {
        const auto it = found.constFind(f.Name);
        if (it == found.constEnd()) Refuse(zip, f.Name, QStringLiteral("is listed but missing"));
        if (it->first != f.Sha || it->second != f.Size)
            Refuse(zip, f.Name, QStringLiteral("does not match its SHA-256 in the manifest"));
        found.remove(f.Name);
    }
    if (!found.isEmpty())
        Refuse(zip, found.firstKey(), QStringLiteral("is not listed in the manifest"));
    return contents;
}

PackAction ActionFor(const PackFile& file, const QString& path, const ReplaceManifest& stored) {
    if (!IsRegularFile(path)) return PackAction::Missing;
    const QByteArray now = HashFile(path);
    if (now == file.Sha) return PackAction::Present;
    if (now == file.StockSha) return PackAction::Replace;
    // Replaced before, by something else: the stock file is the original kept.
    const ReplacedFile* record = stored.Find(file.Name);
    if (record && record->OriginalSha == file.StockSha) return PackAction::Replace;
    return PackAction::Mismatch;
}

// Unpacks the files the plan changes into the store's blobs.
void Unpack(const PackPlan& plan, OriginalsStore& store) {
    QMap<QString, QByteArray> wanted;
    for (const PlannedFile& p : plan.Files)
        if (p.Action == PackAction::Replace || p.Action == PackAction::Mismatch)
            wanted.insert(p.File.Name, p.File.Sha);
    PackReader reader(plan.ZipPath);
    ArchiveEntry e;
    while (reader.Next(e)) {
        if (!wanted.contains(e.Name)) continue;
        StagedFile staged(store, e.Name);
        {
            AtomicFile out(staged.Path(), AtomicFile::NoSource);
            reader.Read([&](const char* d, qint64 n) { out.Write(d, n); });
            out.Commit();
        }
        if (staged.AdoptInto(store) != wanted.value(e.Name))
            Refuse(plan.ZipPath, e.Name, QStringLiteral("changed while it was being applied"));
    }
}

}  // namespace

QStringList PackPlan::Refusals(bool force) const {
    QStringList refusals;
    for (const PlannedFile& p : Files) {
        if (p.Action == PackAction::Missing)
            refusals << QStringLiteral("%1: not found in %2").arg(p.File.Name, Folder);
        else if (p.Action == PackAction::Mismatch && !force)
            refusals << QStringLiteral("%1: not the stock sound this pack expects to replace")
                            .arg(p.File.Name);
    }
    return refusals;
}

int PackPlan::ToChange() const {
    return int(std::count_if(Files.begin(), Files.end(), [](const PlannedFile& p) {
        return p.Action == PackAction::Replace || p.Action == PackAction::Mismatch;
    }));
}

QList<PackFile> WritePack(const QString& folder, const QString& zipPath, bool force) {
    OriginalsStore store(folder);
    store.LockToRead();
    const ReplaceManifest manifest = store.Exists() ? store.Manifest() : ReplaceManifest();
    if (manifest.IsEmpty())
        throw AppError::Standard(
            ErrNo::InvalidProcedureCall,
            QStringLiteral("no sound of %1 is replaced: there is nothing to pack").arg(folder));
    AtomicFile out(zipPath, AtomicFile::NoSource);
    PackWriter zip(out.Fd(), zipPath);
    const QByteArray readme = ReadmeBytes(manifest);
    zip.Begin(kReadmeName, readme.size());
    zip.Write(readme.constData(), readme.size());
    QList<PackFile> files;
    QStringList changed;
    for (const ReplacedFile& record : manifest.Files()) {
        const QString path = store.FileInFolder(record.Name);
        if (!IsRegularFile(path)) throw AppError::Standard(ErrNo::FileNotFound, path);
        zip.Begin(record.Name, SizeOf(path));
        Sha256 sha;
        const qint64 size = ReadAll(path, [&](const char* d, qint64 n) {
            sha.Add(d, n);
            zip.Write(d, n);
        });
        files << PackFile{record.Name, record.OriginalSha, sha.Hex(), size};
        if (files.last().Sha != record.ReplacedSha) changed << record.Name;
    }
    // Found while packing, so that each file is read once; the zip is not kept.
    if (!changed.isEmpty() && !force)
        throw AppError::Standard(
            ErrNo::InvalidProcedureCall,
            QStringLiteral("%1 was not written: %2 changed since it was replaced (--force packs "
                           "it as it is now)")
                .arg(zipPath, changed.join(QStringLiteral(", "))));
    const QByteArray list = ManifestBytes(files);
    zip.Begin(kManifestName, list.size());
    zip.Write(list.constData(), list.size());
    zip.Finish();
    out.Commit();
    return files;
}

PackPlan CheckPack(const QString& zipPath, const QString& folder) {
    PackContents contents = ReadPack(zipPath);
    PackPlan plan{zipPath, folder, {}, contents.Readme};
    const OriginalsStore store(folder);
    const ReplaceManifest stored = store.Exists() ? store.Manifest() : ReplaceManifest();
    for (const PackFile& f : contents.Files)
        plan.Files << PlannedFile{f, ActionFor(f, store.FileInFolder(f.Name), stored)};
    return plan;
}

PackPlan ApplyPack(const QString& zipPath, const QString& folder, bool force,
                   const RunProgress& progress) {
    // The pack is read before the store is made, so a refused pack leaves the
    // folder exactly as it was.
    PackPlan plan = CheckPack(zipPath, folder);
    QStringList refusals = plan.Refusals(force);
    if (refusals.isEmpty() && plan.ToChange() == 0) return plan;
    if (refusals.isEmpty()) {
        OriginalsStore store(folder);
        store.LockForChange();
        plan = CheckPack(zipPath, folder);  // again, now that no one else can change the folder
        refusals = plan.Refusals(force);
        if (refusals.isEmpty()) {
            Unpack(plan, store);
            const ReplaceManifest before = store.Manifest();
            ReplaceManifest manifest = before;
            ChangeJournal journal{
                QStringLiteral("apply"), zipPath, QDateTime::currentDateTimeUtc(), {}, {}, {}};
            for (const PlannedFile& p : plan.Files) {
                if (p.Action != PackAction::Replace && p.Action != PackAction::Mismatch) continue;
                journal.Changes << store.Replacing(manifest, p.File.Name, p.File.Sha,
                                                   journal.Started, zipPath);
            }
            store.Run(journal, before, manifest, progress);
            return plan;
        }
    }
    throw AppError::Standard(ErrNo::InvalidProcedureCall,
                             QStringLiteral("%1 was not applied to %2, nothing was changed: %3")
                                 .arg(zipPath, folder, refusals.join(QStringLiteral("; "))));
}

}  // namespace Replace
