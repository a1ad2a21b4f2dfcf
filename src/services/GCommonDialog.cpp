#include "GCommonDialog.h"

#include <QDateTime>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLocale>
#include <QMimeDatabase>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QTreeView>
#include <algorithm>

#include "MsgBox.h"

namespace {

GCommonDialog::Chooser& InstalledChooser() {
    static GCommonDialog::Chooser chooser;
    return chooser;
}

QString WithoutDot(const QString& extension) {
    return extension.startsWith(QLatin1Char('.')) ? extension.mid(1) : extension;
}

// Places the dialog's centre on the centre of `window`.
void CentreOn(QDialog& dialog, QWidget* window) {
    dialog.adjustSize();
    QRect frame = dialog.frameGeometry();
    frame.moveCenter(window->mapToGlobal(window->rect().center()));
    dialog.move(frame.topLeft());
}

// Sizes a file dialog's columns, as it is first shown, for what they will hold:
// the Type column for the type names of the filters' files and of a folder, the
// Date Modified column for a long date in the user's format. The dialog then
// widens (within the screen) until the file view shows every column whole
// beside the places list, keeping its centre where it was put.
class ColumnFitter : public QObject {
public:
    ColumnFitter(QFileDialog& dialog, const QList<FilterPair>& filters)
        : QObject(&dialog), dialog_(dialog) {
        const QMimeDatabase types;
        typeNames_ << QFileIconProvider().type(QFileInfo(QDir::rootPath()));
        for (const FilterPair& filter : filters)
            for (const QString& pattern :
                 filter.Pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts))
                if (!pattern.contains(QLatin1String("*.*")))
                    typeNames_ << types
                                      .mimeTypeForFile(QStringLiteral("x") + pattern.mid(1),
                                                       QMimeDatabase::MatchExtension)
                                      .comment();
        dialog.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != &dialog_ || event->type() != QEvent::Show) return false;
        dialog_.removeEventFilter(this);
        auto* view = dialog_.findChild<QTreeView*>(QStringLiteral("treeView"));
        if (!view || view->header()->count() < 4) return false;
        const QFontMetrics metrics(view->font());
        const int margin = 2 * metrics.averageCharWidth();
        int typeWidth = 0;
        for (const QString& name : typeNames_)
            typeWidth = std::max(typeWidth, metrics.horizontalAdvance(name));
        const QString longDate = QLocale::system().toString(
            QDateTime(QDate(2000, 12, 28), QTime(23, 58, 58)), QLocale::ShortFormat);
        QHeaderView* header = view->header();
        header->resizeSection(2, std::max(header->sectionSize(2), typeWidth + margin));
        header->resizeSection(
            3, std::max(header->sectionSize(3), metrics.horizontalAdvance(longDate) + margin));
        // At the show event the dialog is laid out but not yet on screen.
        const int missing = header->length() + view->verticalScrollBar()->sizeHint().width() -
                            view->viewport()->width();
        int width = dialog_.width() + std::max(missing, 0);
        if (const QScreen* screen = dialog_.screen())
            width = std::min(width, screen->availableGeometry().width() * 9 / 10);
        if (width > dialog_.width()) {
            const QPoint centre = dialog_.geometry().center();
            dialog_.resize(width, dialog_.height());
            QRect moved = dialog_.geometry();
            moved.moveCenter(centre);
            dialog_.move(dialog_.pos() + moved.topLeft() - dialog_.geometry().topLeft());
        }
        return false;
    }

private:
    QFileDialog& dialog_;
    QStringList typeNames_;
};

bool ConfirmReplace(QWidget* parent, const QString& title, const QString& path) {
    const QString text = QStringLiteral("%1 already exists.\nDo you want to replace it?")
                             .arg(QDir::toNativeSeparators(path));
    return MsgBox::Show(parent, QMessageBox::Warning, title, text,
                        QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
}

}  // namespace

void GCommonDialog::SetChooser(Chooser chooser) {
    InstalledChooser() = std::move(chooser);
}

GCommonDialog::Outcome GCommonDialog::ShowSave(const SaveRequest& request) {
    Outcome outcome;
    if (const Chooser& chooser = InstalledChooser()) {
        if (const std::optional<QString> chosen = chooser(request))
            outcome = {*chosen, request.FilterIndex};
    } else {
        outcome = RunFileDialog(request);
    }
    apiReturn_ = outcome.Path.isEmpty() ? 0 : 1;
    extendedError_ = 0;
    if (apiReturn_ == 1)
        outcome.Path = CompletePath(outcome.Path, request);
    else
        outcome = {};
    return outcome;
}

GCommonDialog::Outcome GCommonDialog::RunFileDialog(const SaveRequest& request) {
    QFileDialog dialog(request.Owner, request.Title, request.InitDir);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // Our own widgets, so the dialog behaves (and can be driven) the same on
    // every desktop; the overwrite question is ours too.
    dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::DontConfirmOverwrite);
    const QStringList names = NameFilters(request.Filters);
    if (!names.isEmpty()) {
        dialog.setNameFilters(names);
        dialog.selectNameFilter(names.value(request.FilterIndex - 1, names.first()));
    }
    dialog.setDefaultSuffix(WithoutDot(request.DefaultExt));
    if (!request.FileName.isEmpty()) dialog.selectFile(request.FileName);
    new ColumnFitter(dialog, request.Filters);
    // Over the window it belongs to, unless asked otherwise; never at a corner.
    QWidget* over = request.CentreOver ? request.CentreOver
                    : request.Owner    ? request.Owner->window()
                                       : nullptr;
    if (over) CentreOn(dialog, over);
    const QString title = request.Title.isEmpty() ? dialog.windowTitle() : request.Title;
    for (;;) {
        if (dialog.exec() != QDialog::Accepted) return {};
        const QString path = dialog.selectedFiles().value(0);
        if (path.isEmpty()) return {};
        if (!request.OverwritePrompt || !QFileInfo::exists(path) ||
            ConfirmReplace(&dialog, title, path))
            return {path, static_cast<int>(names.indexOf(dialog.selectedNameFilter())) + 1};
    }
}

QList<FilterPair> GCommonDialog::ParseFilter(const QString& filter) {
    static const QRegularExpression separators(QStringLiteral("[|:]"));
    const QStringList parts = filter.split(separators);
    QList<FilterPair> pairs;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        if (parts.at(i).isEmpty() || parts.at(i + 1).isEmpty()) break;
        pairs.append({parts.at(i), parts.at(i + 1)});
    }
    return pairs;
}

QStringList GCommonDialog::NameFilters(const QList<FilterPair>& filters) {
    QStringList names;
    for (const FilterPair& pair : filters) {
        const QString patterns =
            pair.Pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts).join(QLatin1Char(' '));
        const QString shown = QStringLiteral("(%1)").arg(patterns);
        // "SND Files (*.SND)" already names its pattern the way the dialog reads it.
        names << (pair.Description.endsWith(shown, Qt::CaseInsensitive)
                      ? pair.Description
                      : pair.Description + QLatin1Char(' ') + shown);
    }
    return names;
}

QString GCommonDialog::CompletePath(const QString& path, const SaveRequest& request) {
    QString full = QDir::isRelativePath(path) && !request.InitDir.isEmpty()
                       ? QDir(request.InitDir).filePath(path)
                       : path;
    const QString extension = WithoutDot(request.DefaultExt);
    if (!extension.isEmpty() && !QFileInfo(full).fileName().contains(QLatin1Char('.')))
        full += QLatin1Char('.') + extension;
    return full;
}
