// The preview window's editing: the menu bar, the zoomable view that takes
// the fixed view's place once the sound is edited, zoomed or the window
// resized, playback of the edited sound, and the question on close.

#include <QLabel>
#include <QMenuBar>
#include <QResizeEvent>
#include <QWheelEvent>
#include <cmath>

#include "AppError.h"
#include "EditOperations.h"
#include "MsgBox.h"
#include "PreviewEditMenu.h"
#include "PreviewMath.h"
#include "QuillonButton.h"
#include "SoundInfo.h"
#include "WaveSurface.h"
#include "WaveView.h"
#include "cFileSystem.h"
#include "cMMedia.h"
#include "frmPreview.h"

using mUtility::SoundInfo;

void frmPreview::addMenuBar() {
    waveView_ = new WaveView(this);
    waveView_->hide();
    lblEdit = new QLabel(this);
    lblEdit->setObjectName(QStringLiteral("lblEdit"));
    const QRect name = lblPreviewFilename->geometry();
    lblEdit->setGeometry(name.right() + 1, name.y(), lblFilesize->x() - name.right() - 1,
                         name.height());
    editMenu_ = new PreviewEditMenu(this, editor_, waveView_, [this] { return enterEditing(); });
    const int bar = editMenu_->menuBar()->sizeHint().height();
    const int panelTop = picMain->geometry().bottom();
    // The Selection figures, Save Selection and Exit keep to the right edge.
    const int rightPart = width() * 6 / 10;
    for (QWidget* w : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (w == editMenu_->menuBar() || w->isWindow()) continue;
        w->move(w->x(), w->y() + bar);
        const bool down = w->y() > panelTop + bar;
        const bool wide = w == lblEdit || w->objectName() == QLatin1String("Shape1");
        const bool right = !wide && w->x() > rightPart && (down || w == lblFilesize);
        if (down || wide || right) anchored_.push_back({w, w->geometry(), down, right, wide});
    }
    baseDrawingArea_ = picMain->geometry();
    baseSize_ = QSize(width(), height() + bar);
    setMinimumSize(baseSize_);
    resize(baseSize_);
    connect(&editor_, &PreviewEditor::changed, this, [this] {
        // What plays is the version before the edit: stop it.
        if (timerEnabled_ && !editor_.PlayCopyCurrent()) btnStop_Click();
        showEdited();
    });
    connect(waveView_, &WaveView::selectionChanged, this, [this] { showEditSelection(); });
    connect(waveView_, &WaveView::positionShown, this, [this](qint64 f) { showPosition(f); });
    connect(editMenu_, &PreviewEditMenu::message, this,
            [this](const QString& text) { showPosition(-1, text); });
}

void frmPreview::resizeEvent(QResizeEvent* e) {
    QDialog::resizeEvent(e);
    if (!editMenu_) return;
    editMenu_->menuBar()->setGeometry(0, 0, width(), editMenu_->menuBar()->sizeHint().height());
    const int dy = std::max(0, height() - baseSize_.height());
    const int dx = std::max(0, width() - baseSize_.width());
    for (const Anchored& a : anchored_)
        a.widget->setGeometry(a.base.x() + (a.right ? dx : 0), a.base.y() + (a.down ? dy : 0),
                              a.base.width() + (a.wide ? dx : 0), a.base.height());
    layOutEditing();
    // The fixed views cannot grow: a window made larger shows the zoomable one.
    if (size() != baseSize_ && !editor_.IsLoaded() && !editRefused_ && isVisible() && !unloaded_)
        enterEditing(false);
}

void frmPreview::layOutEditing() {
    const int dx = std::max(0, width() - baseSize_.width());
    const int dy = std::max(0, height() - baseSize_.height());
    waveView_->setGeometry(baseDrawingArea_.adjusted(0, 0, dx, dy));
}

bool frmPreview::enterEditing(bool tell) {
    if (editor_.IsLoaded()) return true;
    try {
        editor_.Load(SoundInfo.SourcePath());
    } catch (const AppError& e) {
        // A resize keeps the fixed view quietly and does not try again.
        editRefused_ = true;
        if (tell)
            MsgBox::Show(this, QMessageBox::Warning, QStringLiteral("Edit"), e.Description);
        else
            showPosition(-1, e.Description);
        return false;
    }
    // The fixed view's selection carries over.
    const bool selected = sel_.left().visible;
    const qint64 first = qint64(PreviewMath::TextNumber(sel_.lblSampBegin));
    const qint64 last = qint64(PreviewMath::TextNumber(sel_.lblSampEnd));
    for (QWidget* w : {static_cast<QWidget*>(picMain), static_cast<QWidget*>(picMono),
                       static_cast<QWidget*>(picLeft), static_cast<QWidget*>(picRight)})
        w->hide();
    layOutEditing();
    waveView_->show();
    showEdited();
    if (selected) waveView_->setSelection(first, last);
    waveView_->setFocus();
    return true;
}

// The edited sound in the view, its figures, and the unsaved mark.
void frmPreview::showEdited() {
    const EditedSound& sound = editor_.Sound();
    waveView_->setSound(&sound, &editor_.Summary(), SoundInfo.SampleRate);
    lNumSamples_ = qint32(sound.Frames());
    dDuration_ = SoundInfo.SampleRate ? double(lNumSamples_) / SoundInfo.SampleRate : 0;
    lblNumSamples->setText(QString::number(lNumSamples_));
    lblLength->setText(QString::number(dDuration_, 'f', 2) + QStringLiteral(" sec"));
    // The size of the copy that plays, as for the sound when it opened.
    lblFilesize->setText(
        QStringLiteral("Size: ") +
        cFileSystem().FormatSize(WavHeaderSize + sound.Frames() * sound.Format().FrameBytes()));
    setWindowTitle(
        editor_.IsClean()
            ? QStringLiteral("Sound Preview")
            : QStringLiteral("Sound Preview \u2014 %1 (edited)").arg(SoundInfo.FileName));
    loudnessAsked_.clear();  // the same frames may now sound otherwise
    showEditSelection();
}

// The view's selection in the Selection panel and as the range played; the
// whole sound when nothing is selected.
void frmPreview::showEditSelection() {
    if (editMenu_->snapsToZero() && waveView_->hasSelection()) {
        const qint64 radius = SoundInfo.SampleRate / 100;
        const EditedSound& s = editor_.Sound();
        const qint64 first =
            EditOperations::NearestZeroCrossing(s, waveView_->selectionFirst(), radius);
        const qint64 last =
            EditOperations::NearestZeroCrossing(s, waveView_->selectionLast(), radius);
        // A short selection whose edges would cross keeps its edges.
        if (first <= last) waveView_->setSelection(first, last);
    }
    const bool selected = waveView_->hasSelection();
    const qint64 first = selected ? waveView_->selectionFirst() : 0;
    const qint64 last = selected ? waveView_->selectionLast() : lNumSamples_ - 1;
    const double rate = std::max(1, SoundInfo.SampleRate);
    sel_.lStartMs = qint32(first * 1000 / rate);
    sel_.lEndMs = qint32(std::ceil((last + 1) * 1000 / rate));
    // Times in whole milliseconds, as the fixed view shows them.
    const double begin = sel_.lStartMs / 1000.0, end = sel_.lEndMs / 1000.0;
    using PreviewMath::NumberText;
    const QString texts[] = {NumberText(double(first)),
                             NumberText(double(last)),
                             NumberText(double(last - first + 1)),
                             NumberText(begin),
                             NumberText(end),
                             NumberText((sel_.lEndMs - sel_.lStartMs) / 1000.0)};
    QString* fields[] = {&sel_.lblSampBegin, &sel_.lblSampEnd, &sel_.lblSampTotal,
                         &sel_.lblTimeBegin, &sel_.lblTimeEnd, &sel_.lblTimeTotal};
    QLabel* labels[] = {lblSampBegin, lblSampEnd, lblSampTotal,
                        lblTimeBegin, lblTimeEnd, lblTimeTotal};
    for (int i = 0; i < 6; ++i) {
        *fields[i] = selected ? texts[i] : QString();
        labels[i]->setText(*fields[i]);
    }
    btnSaveSelection->setEnabled(selected);
    requestLoudness();
}

void frmPreview::showPosition(qint64 frame, const QString& message) {
    if (!message.isEmpty()) editMessage_ = message;
    const QString& last = editMessage_;
    const QString position =
        frame < 0
            ? QString()
            : QStringLiteral("Position: %1 s (sample %2)")
                  .arg(QString::number(double(frame) / std::max(1, SoundInfo.SampleRate), 'f', 3))
                  .arg(frame);
    lblEdit->setText(position.isEmpty() ? last
                     : last.isEmpty()   ? position
                                        : position + QStringLiteral("  \u2022  ") + last);
}

// The player plays the temporary copy: after an edit it is written anew.
void frmPreview::prepareEditedPlayback() {
    if (!editor_.IsLoaded() || !oMedia || editor_.PlayCopyCurrent()) return;
    lPausedMs_ = 0;  // a pause's position belongs to the sound before the edit
    oMedia->mmClose();
    try {
        editor_.WritePlayCopy(mUtility::sPreviewFile);
    } catch (...) {
        oMedia->mmOpen(mUtility::sPreviewFile);
        throw;
    }
    oMedia->mmOpen(mUtility::sPreviewFile);
}

void frmPreview::wheelEvent(QWheelEvent* e) {
    // Ctrl + wheel over the fixed view zooms in the zoomable one.
    const bool zoom = (e->modifiers() & Qt::ControlModifier) &&
                      picMain->geometry().contains(e->position().toPoint());
    if (!zoom || editor_.IsLoaded() || !enterEditing()) return QDialog::wheelEvent(e);
    waveView_->zoomAbout(std::pow(1.25, e->angleDelta().y() / 120.0),
                         e->position().x() - waveView_->x());
}

void frmPreview::focusView() {
    (editor_.IsLoaded() ? static_cast<QWidget*>(waveView_) : picLeftChannel)->setFocus();
}

bool frmPreview::maySave() {
    if (editor_.IsClean() || discardEdits_) return true;
    const auto answer = MsgBox::Show(this, QMessageBox::Question, QStringLiteral("Sound Preview"),
                                     QStringLiteral("Save changes to %1?").arg(SoundInfo.FileName),
                                     QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel,
                                     QMessageBox::Save);
    if (answer == QMessageBox::Cancel) return false;
    if (answer == QMessageBox::Discard) {
        discardEdits_ = true;
        return true;
    }
    try {
        editor_.Save(editor_.Path());
    } catch (const AppError& e) {
        MsgBox::Show(this, QMessageBox::Critical, QStringLiteral("Save"), e.Description);
        return false;
    }
    return true;
}
