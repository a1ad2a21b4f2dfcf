#include "ReplaceActions.h"

#include <QFileDialog>
#include <QIcon>
#include <QListWidget>
#include <QPainter>
#include <QProgressDialog>

#include "AppError.h"
#include "MsgBox.h"
#include "Replacement.h"
#include "SoundInfo.h"
#include "SoundPack.h"
#include "cCommonDialog.h"
#include "frmSoundPack.h"

namespace ReplaceActions {

namespace {

const QString kTitle = QStringLiteral("Replace Sound");

std::function<QString(QWidget*, const QString&)>& PackChooser() {
    static std::function<QString(QWidget*, const QString&)> chooser;
    return chooser;
}

// A small round badge with an "R": seen at a glance beside the name.
QIcon ReplacedIcon() {
    static const QIcon icon = [] {
        QPixmap pixmap(16, 16);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        p.setBrush(QColor(0xd9, 0x6c, 0x00));
        p.setPen(Qt::NoPen);
        p.drawEllipse(1, 1, 14, 14);
        QFont font = p.font();
        font.setPixelSize(11);
        font.setBold(true);
        p.setFont(font);
        p.setPen(Qt::white);
        p.drawText(QRect(0, 0, 16, 16), Qt::AlignCenter, QStringLiteral("R"));
        return QIcon(pixmap);
    }();
    return icon;
}

QString FileName(const QString& path) {
    return path.section(QLatin1Char('/'), -1);
}

// A change of the folder that was interrupted must be undone before another:
// offers it. False when one remains.
bool UndoneIfInterrupted(QWidget* owner, const QString& folder) {
    const Replace::FolderStatus status = Replace::StatusOf(folder);
    if (!status.Interrupted) return true;
    const Replace::ChangeJournal& j = *status.Interrupted;
    const auto answer = MsgBox::Show(
        owner, QMessageBox::Warning, kTitle,
        QStringLiteral("A change to the sounds of this folder (%1 of %2 files, started %3) was "
                       "interrupted. It must be undone first.\r\n\r\nUndo it now?")
            .arg(j.Operation)
            .arg(j.Changes.size())
            .arg(j.Started.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"))),
        QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
    if (answer != QMessageBox::Yes) return false;
    Replace::UndoInterrupted(folder);
    return true;
}

}  // namespace

static QString Summary(const Replace::ReplacedFile& record) {
    return QStringLiteral("from %1, %2")
        .arg(FileName(record.Source),
             record.ReplacedAt.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")));
}

QString ReplacedText(const Replace::ReplacedFile& record) {
    return QStringLiteral("Replaced (%1)").arg(Summary(record));
}

QMap<QString, QString> ReplacedSummaries(const QString& folder) {
    QMap<QString, QString> summaries;
    for (const Replace::ReplacedFile& record : Replace::ManifestOf(folder).Files())
        summaries.insert(record.Name, Summary(record));
    return summaries;
}

QString ReplacedTextOf(const QString& folder, const QString& name) {
    const Replace::ReplaceManifest manifest = Replace::ManifestOf(folder);
    const Replace::ReplacedFile* record = manifest.Find(name);
    return record ? ReplacedText(*record) : QString();
}

void MarkReplaced(QListWidget* list, const QString& folder) {
    const Replace::ReplaceManifest manifest = Replace::ManifestOf(folder);
    if (manifest.IsEmpty()) return;
    for (int row = 0; row < list->count(); ++row) {
        QListWidgetItem* item = list->item(row);
        const Replace::ReplacedFile* record = manifest.Find(item->text());
        if (!record) continue;
        item->setIcon(ReplacedIcon());
        QFont font = item->font();
        font.setItalic(true);
        item->setFont(font);
        item->setToolTip(ReplacedText(*record));
        item->setData(Qt::AccessibleTextRole, item->text() + QStringLiteral(", replaced"));
        item->setData(Qt::AccessibleDescriptionRole, ReplacedText(*record));
    }
}

bool ReplaceFile(QWidget* owner, const QString& folder, const QString& name, const QString& source,
                 bool ask) {
    if (source.isEmpty()) return false;
    if (ask &&
        MsgBox::Show(owner, QMessageBox::Question, kTitle,
                     QStringLiteral("Replace %1 with %2?\r\n\r\nThe sound is imported like %1; "
                                    "its original is kept and Restore Original brings it back.")
                         .arg(name, FileName(source)),
                     QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) != QMessageBox::Yes)
        return false;
    const QString path = mUtility::JoinPath(folder, name);
    ImportTarget target;
    try {
        target = Replace::TargetLike(path);
    } catch (const AppError& e) {
        if (e.Number != ErrNo::InvalidFileFormat) throw;
        MsgBox::Show(owner, QMessageBox::Warning, kTitle,
                     QStringLiteral("%1 cannot be replaced: its header is refused.\r\n\r\n%2")
                         .arg(name, e.Description));
        return false;
    }
    if (!UndoneIfInterrupted(owner, folder)) return false;
    QProgressDialog progress(QStringLiteral("Importing %1...").arg(FileName(source)),
                             QStringLiteral("Cancel"), 0, 1000, owner);
    progress.setWindowTitle(kTitle);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(400);
    const Replace::ReplaceOutcome outcome =
        Replace::ReplaceSound(path, source, target, [&](qint64 done, qint64 total) {
            if (total > 0) progress.setValue(int(std::min<qint64>(999, done * 1000 / total)));
            return !progress.wasCanceled();
        });
    progress.reset();
    if (outcome.Import.Cancelled) return false;
    MsgBox::Show(
        owner, QMessageBox::Information, kTitle,
        QStringLiteral("%1 replaced by %2.\r\n\r\n%3")
            .arg(name, FileName(source),
                 outcome.FirstTime
                     ? QStringLiteral("Its original is kept; Restore Original brings it back.")
                     : QStringLiteral("The original kept when it was first replaced stays.")));
    return true;
}

bool RestoreOriginals(QWidget* owner, const QString& folder, const QStringList& names) {
    const QString what = names.size() == 1 ? QStringLiteral("the original of %1").arg(names.first())
                                           : QStringLiteral("the originals of every replaced file");
    if (MsgBox::Show(owner, QMessageBox::Question, QStringLiteral("Restore Original"),
                     QStringLiteral("Put back %1? What replaced it is overwritten.").arg(what),
                     QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) != QMessageBox::Yes)
        return false;
    Replace::RestoreOutcome outcome = Replace::RestoreFiles(folder, names, false);
    const bool onlyChanged = !outcome.Refused.isEmpty() &&
                             std::all_of(outcome.Refused.begin(), outcome.Refused.end(),
                                         [](const Replace::Refusal& r) { return r.Forceable; });
    QStringList lines;
    for (const Replace::Refusal& r : outcome.Refused)
        lines << r.Name + QStringLiteral(": ") + r.Reason;
    if (onlyChanged &&
        MsgBox::Show(
            owner, QMessageBox::Warning, QStringLiteral("Restore Original"),
            QStringLiteral("Changed by something else since it was replaced:\r\n\r\n%1\r\n\r\n"
                           "Restore the original anyway? The file as it is now is lost.")
                .arg(lines.join(QStringLiteral("\r\n"))),
            QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes) {
        outcome = Replace::RestoreFiles(folder, names, true);
        lines.clear();
    }
    if (!outcome.Refused.isEmpty()) {
        if (!lines.isEmpty() && !onlyChanged)
            MsgBox::Show(owner, QMessageBox::Warning, QStringLiteral("Restore Original"),
                         QStringLiteral("Nothing was restored:\r\n\r\n%1")
                             .arg(lines.join(QStringLiteral("\r\n"))));
        return outcome.RolledBack.has_value();
    }
    MsgBox::Show(owner, QMessageBox::Information, QStringLiteral("Restore Original"),
                 outcome.Restored.isEmpty()
                     ? QStringLiteral("No file of this folder is replaced.")
                     : QStringLiteral("Restored:\r\n\r\n%1")
                           .arg(outcome.Restored.join(QStringLiteral("\r\n"))));
    return true;
}

void ExportPack(QWidget* owner, const QString& folder) {
    if (Replace::ManifestOf(folder).IsEmpty()) {
        MsgBox::Show(
            owner, QMessageBox::Information, QStringLiteral("Export Sound Pack"),
            QStringLiteral("No file of this folder is replaced: there is nothing to pack."));
        return;
    }
    const QString dest = cCommonDialog::AskSavePath(
        owner, {QStringLiteral("Export Sound Pack"), QStringLiteral("Sound Packs (*.zip)|*.zip"),
                QStringLiteral("zip"), folder, FileName(folder) + QStringLiteral("-sounds.zip")});
    if (dest.isEmpty()) return;
    const QList<Replace::PackFile> files = Replace::WritePack(folder, dest);
    QStringList names;
    for (const Replace::PackFile& f : files) names << f.Name;
    MsgBox::Show(owner, QMessageBox::Information, QStringLiteral("Export Sound Pack"),
                 QStringLiteral("%1 created successfully!\r\n\r\n%2")
                     .arg(dest, names.join(QStringLiteral("\r\n"))));
}

bool ApplyPack(QWidget* owner, const QString& folder) {
    const QString zip = PackChooser() ? PackChooser()(owner, folder)
                                      : QFileDialog::getOpenFileName(
                                            owner, QStringLiteral("Apply Sound Pack"), folder,
                                            QStringLiteral("Sound Packs (*.zip);;All Files (*)"));
    if (zip.isEmpty()) return false;
    Replace::PackPlan plan;
    try {
        plan = Replace::CheckPack(zip, folder);
    } catch (const AppError& e) {
        if (e.Number != ErrNo::InvalidFileFormat) throw;
        MsgBox::Show(owner, QMessageBox::Warning, QStringLiteral("Apply Sound Pack"),
                     e.Description);
        return false;
    }
    if (!UndoneIfInterrupted(owner, folder)) return false;
    frmSoundPack dialog(plan, owner);
    dialog.exec();
    return dialog.Applied();
}

void SetPackChooser(std::function<QString(QWidget*, const QString&)> chooser) {
    PackChooser() = std::move(chooser);
}

}  // namespace ReplaceActions
