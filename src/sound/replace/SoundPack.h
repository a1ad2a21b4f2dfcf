#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include "OriginalsStore.h"

// Sound packs: a folder's replacements as one zip file. The zip holds the
// replacing files by name, "manifest.json" (for each file the SHA-256 of the
// stock file it expects to replace and of itself) and "README.txt", a short
// text on what the pack is and how to apply it.
namespace Replace {

struct PackFile {
    QString Name;
    QByteArray StockSha;  // the file it expects to find, as the game shipped it
    QByteArray Sha;       // the file itself
    qint64 Size = 0;
};

// Writes the replaced files of `folder` (as they are now) into `zipPath`,
// which is replaced only once complete. Returns the files packed. Throws
// AppError: 5 when nothing in the folder is replaced, or when a replaced file
// changed since it was replaced (unless `force`), 53 when one is gone.
QList<PackFile> WritePack(const QString& folder, const QString& zipPath, bool force = false);

enum class PackAction {
    Replace,   // the target is the stock file (or a replacement of it): replaced
    Present,   // the target already is this pack's file: left as it is
    Mismatch,  // the target is neither: refused unless forced
    Missing    // there is no such file in the folder: always refused
};

struct PlannedFile {
    PackFile File;
    PackAction Action = PackAction::Replace;
};

// What applying a pack to a folder would do.
struct PackPlan {
    QString ZipPath;
    QString Folder;
    QList<PlannedFile> Files;
    QString Readme;

    // The files refused as things stand ("NAME: reason"); with `force` a
    // mismatch is not refused.
    QStringList Refusals(bool force) const;
    int ToChange() const;
};

// Reads every entry of the pack and checks it against `folder` without
// writing anything. A hostile or damaged pack throws AppError 321 naming the
// entry: a name that leaves the folder (a sub-folder, "..", an absolute path,
// a drive letter), a link, a name that is not .snd, .wsd or .wav, a duplicate,
// an entry that would unpack beyond UnpackLimits, bytes that do not match
// the manifest, or a zip that cannot be read.
PackPlan CheckPack(const QString& zipPath, const QString& folder);

// Checks the pack again under the store's lock and, when nothing is refused
// (a mismatch is not, with `force`), keeps the originals and replaces every
// file of the plan all or nothing. Returns the plan carried out. Throws
// AppError: 321 for a hostile pack, 5 for a refused file or an interrupted
// run to undo first; nothing is changed then.
PackPlan ApplyPack(const QString& zipPath, const QString& folder, bool force,
                   const RunProgress& progress = {});

}  // namespace Replace
