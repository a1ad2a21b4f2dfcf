#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <functional>

class QListWidget;
class QWidget;

namespace Replace {
struct ReplacedFile;
}

// The main window's commands for replacing game sounds: each asks what it
// must, runs the engine of sound/replace, and says what happened in a message
// box. Each returns true when files of the folder changed (the list is then
// filled anew). Errors other than refusals throw AppError to the caller's trap.
namespace ReplaceActions {

// "Replaced (from new-boom.wav, 2026-12-07 17:50)"
QString ReplacedText(const Replace::ReplacedFile& record);

// "from new-boom.wav, 2026-12-07 17:50" for each replaced file of `folder`, by name.
QMap<QString, QString> ReplacedSummaries(const QString& folder);

// Marks the rows of `list` (file names of `folder`) that are replaced: an
// icon, a tip with ReplacedText, and "NAME, replaced" for a screen reader.
void MarkReplaced(QListWidget* list, const QString& folder);

// ReplacedText of `name` in `folder`, or "" when it is not replaced.
QString ReplacedTextOf(const QString& folder, const QString& name);

// Imports `source` like `name` and writes it over it, keeping the original.
// With `ask`, the user confirms first (a drop may be a slip).
bool ReplaceFile(QWidget* owner, const QString& folder, const QString& name, const QString& source,
                 bool ask);

// Restores the originals of `names` (all replaced files when empty), asking
// first, and again before a file changed since it was replaced is overwritten.
bool RestoreOriginals(QWidget* owner, const QString& folder, const QStringList& names);

// Asks where to save, then writes the folder's replacements as a sound pack.
void ExportPack(QWidget* owner, const QString& folder);

// Asks for a pack, shows what it will change, and applies it with progress.
bool ApplyPack(QWidget* owner, const QString& folder);

// Lets tests answer the choice of a pack to apply (an empty function brings
// the real dialog back).
void SetPackChooser(std::function<QString(QWidget*, const QString&)> chooser);

}  // namespace ReplaceActions
