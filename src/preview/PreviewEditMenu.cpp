#include "PreviewEditMenu.h"

#include <QAction>
#include <QInputDialog>
#include <QMenu>
#include <QMenuBar>

#include "EditTime.h"
#include "PreviewEditor.h"
#include "RunTopLevel.h"
#include "SoundInfo.h"
#include "WaveView.h"
#include "cCommonDialog.h"

namespace {

struct EditInfo {
    const char* name;
    const char* menuText;
};

const EditInfo kEdits[] = {
    {"Delete", "&Delete"},
    {"Crop", "C&rop"},
    {"Silence", "Sil&ence"},
    {"Gain", "&Gain\u2026"},
    {"Normalize", "&Normalize\u2026"},
    {"Fade In", "Fade &In"},
    {"Fade Out", "Fade &Out"},
    {"Remove DC Offset", "Remove DC O&ffset"},
    {"Make Seamless Loop", "Make Seamless &Loop\u2026"},
};

}  // namespace

PreviewEditMenu::PreviewEditMenu(QWidget* window, PreviewEditor& editor, WaveView* view,
                                 std::function<bool()> ensureEditing)
    : QObject(window),
      window_(window),
      editor_(editor),
      view_(view),
      ensureEditing_(std::move(ensureEditing)) {
    bar_ = new QMenuBar(window);
    bar_->setObjectName(QStringLiteral("menuBar"));
    QMenu* edit = bar_->addMenu(QStringLiteral("&Edit"));
    undo_ = add(edit, QStringLiteral("&Undo"), QKeySequence::Undo, [this] { editor_.Undo(); });
    redo_ = add(edit, QStringLiteral("&Redo"), QKeySequence(QStringLiteral("Ctrl+Shift+Z")),
                [this] { editor_.Redo(); });
    redo_->setShortcuts(
        {QKeySequence(QStringLiteral("Ctrl+Shift+Z")), QKeySequence(QStringLiteral("Ctrl+Y"))});
    edit->addSeparator();
    for (int i = 0; i < int(std::size(kEdits)); ++i) {
        const Edit e = Edit(i);
        const bool asks = e == Edit::Gain || e == Edit::Normalize || e == Edit::SeamlessLoop;
        add(edit, QString::fromUtf8(kEdits[i].menuText),
            e == Edit::Delete ? QKeySequence(QKeySequence::Delete) : QKeySequence(),
            [this, e, asks] { asks ? ask(e) : apply(e); });
    }
    edit->addSeparator();
    snap_ = add(edit, QStringLiteral("Snap to &Zero Crossings"), {}, [] {});
    snap_->setCheckable(true);
    add(edit, QStringLiteral("Set Selec&tion\u2026"), {}, [this] {
        const QString text = QInputDialog::getText(
            window_, QStringLiteral("Set Selection"),
            QStringLiteral("Begin and End, in samples or with ms or s (\"0.5s 1.25s\"):"));
        if (!text.isEmpty() && !setSelectionText(text))
            emit message(QStringLiteral("Not a selection: ") + text);
    });
    edit->addSeparator();
    add(edit, QStringLiteral("&Save"), QKeySequence::Save, [this] { save(); });
    add(edit, QStringLiteral("Save &As\u2026"), QKeySequence(QStringLiteral("Ctrl+Shift+S")),
        [this] { saveAs(); });
    QMenu* zoom = bar_->addMenu(QStringLiteral("&View"));
    add(zoom, QStringLiteral("Zoom &In"), QKeySequence::ZoomIn, [this] { view_->zoomCentred(2); });
    add(zoom, QStringLiteral("Zoom &Out"), QKeySequence::ZoomOut,
        [this] { view_->zoomCentred(0.5); });
    add(zoom, QStringLiteral("Zoom to &Selection"), QKeySequence(QStringLiteral("Ctrl+E")),
        [this] { view_->zoomToSelection(); });
    add(zoom, QStringLiteral("&Fit"), QKeySequence(QStringLiteral("Ctrl+0")),
        [this] { view_->fit(); });
    connect(&editor_, &PreviewEditor::changed, this, &PreviewEditMenu::refresh);
    refresh();
}

QAction* PreviewEditMenu::add(QMenu* menu, const QString& text, const QKeySequence& key,
                              const std::function<void()>& run) {
    QAction* action = menu->addAction(text);
    action->setShortcut(key);
    action->setShortcutContext(Qt::WindowShortcut);
    window_->addAction(action);
    connect(action, &QAction::triggered, this, [this, run, action] {
        if (action->isCheckable()) return;
        zs::RunTopLevel(window_, [this, run] {
            if (ensureEditing_()) run();
        });
    });
    return action;
}

void PreviewEditMenu::refresh() {
    const QString undo = editor_.UndoName(), redo = editor_.RedoName();
    undo_->setText(undo.isEmpty() ? QStringLiteral("&Undo") : QStringLiteral("&Undo ") + undo);
    redo_->setText(redo.isEmpty() ? QStringLiteral("&Redo") : QStringLiteral("&Redo ") + redo);
    undo_->setEnabled(!undo.isEmpty());
    redo_->setEnabled(!redo.isEmpty());
}

bool PreviewEditMenu::snapsToZero() const {
    return snap_->isChecked();
}

void PreviewEditMenu::apply(Edit edit, double value) {
    using namespace EditOperations;
    if (!ensureEditing_()) return;
    const qint64 all = editor_.Sound().Frames();
    const bool selected = view_->hasSelection();
    const qint64 first = selected ? view_->selectionFirst() : 0;
    const qint64 count = selected ? view_->selectionLast() - first + 1 : all;
    if (count <= 0) return;
    // Nothing selected means the whole sound, which these would empty or keep.
    if ((edit == Edit::Delete || edit == Edit::Crop) && !selected)
        return emit message(QStringLiteral("Select the part to %1 first")
                                .arg(edit == Edit::Delete ? "delete" : "keep"));
    if (edit == Edit::Delete && count == all)
        return emit message(QStringLiteral("Deleting everything would leave no frames; ") +
                            EditSpan::NoFramesProblem(0));
    const EditTime loopTime{QString::number(value) + QStringLiteral("ms"), value, 0.001};
    const FrameSpan loop = EditSpan::Length(loopTime, editor_.Rate(), all / 2, all);
    if (edit == Edit::SeamlessLoop && !loop.problem.isEmpty()) {
        emit message(
            QStringLiteral("The crossfade must be longer than 0 and at most half the sound"));
        return;
    }
    const qint64 clipped =
        editor_.Apply(QLatin1String(kEdits[int(edit)].name), [&](const EditedSound& s) -> Result {
            switch (edit) {
                case Edit::Delete:
                    return Delete(s, first, count);
                case Edit::Crop:
                    return Crop(s, first, count);
                case Edit::Silence:
                    return Silence(s, first, count);
                case Edit::Gain:
                    return Gain(s, first, count, value);
                case Edit::Normalize:
                    return Normalize(s, first, count, value);
                case Edit::FadeIn:
                    return FadeIn(s, first, count);
                case Edit::FadeOut:
                    return FadeOut(s, first, count);
                case Edit::RemoveDC:
                    return RemoveDC(s, first, count);
                case Edit::SeamlessLoop:
                    return MakeSeamlessLoop(s, loop.count);
            }
            return {s, 0};
        });
    // What was selected is gone or moved.
    if (edit == Edit::Delete || edit == Edit::Crop || edit == Edit::SeamlessLoop)
        view_->setSelection(0, -1);
    emit message(QStringLiteral("%1: %2 samples clipped")
                     .arg(QLatin1String(kEdits[int(edit)].name))
                     .arg(clipped));
}

void PreviewEditMenu::ask(Edit edit) {
    using EditOperations::kMaxGainDB, EditOperations::kMinPeakDBFS;
    bool ok = false;
    double value = 0;
    if (edit == Edit::Gain)
        value = QInputDialog::getDouble(window_, QStringLiteral("Gain"),
                                        QStringLiteral("Change the level by (dB):"), -6,
                                        -kMaxGainDB, kMaxGainDB, 2, &ok);
    else if (edit == Edit::Normalize)
        value = QInputDialog::getDouble(window_, QStringLiteral("Normalize"),
                                        QStringLiteral("Peak level (dBFS):"), -1, kMinPeakDBFS, 0,
                                        2, &ok);
    else
        value = QInputDialog::getDouble(window_, QStringLiteral("Make Seamless Loop"),
                                        QStringLiteral("Crossfade the end into the start (ms):"),
                                        50, 1, 60000, 0, &ok);
    if (ok) apply(edit, value);
}

bool PreviewEditMenu::setSelectionText(const QString& text) {
    const QStringList parts = text.simplified().split(QLatin1Char(' '));
    if (parts.size() != 2) return false;
    const auto begin = EditTime::Parse(parts[0]), end = EditTime::Parse(parts[1]);
    if (!begin || !end) return false;
    const FrameSpan span = EditSpan::Range(*begin, *end, editor_.Rate(), editor_.Sound().Frames());
    if (!span.problem.isEmpty()) return false;
    view_->setSelection(span.first, span.first + span.count - 1);
    return true;
}

void PreviewEditMenu::save() {
    if (!ensureEditing_()) return;
    editor_.Save(editor_.Path());
    emit message(QStringLiteral("Saved ") + editor_.Path());
}

void PreviewEditMenu::saveAs() {
    if (!ensureEditing_()) return;
    const QString type = mUtility::SoundInfo.Extension;
    QStringList filters{QStringLiteral("%1 Files (*.%1)|*.%1").arg(type)};
    for (const char* other : {"SND", "WSD", "WAV"})
        if (type != QLatin1String(other))
            filters << QStringLiteral("%1 Files (*.%1)|*.%1").arg(QLatin1String(other));
    const QString dest = cCommonDialog::AskSavePath(
        window_, {QStringLiteral("Save As"), filters.join(QLatin1Char('|')), type,
                  mUtility::SoundInfo.Folder, mUtility::SoundInfo.FileName});
    if (dest.isEmpty()) return;
    editor_.Save(dest);
    emit message(QStringLiteral("Saved ") + dest);
}
