// Mouse, keyboard, hover, access keys and focus of QuillonButton.
#include <QAccessible>
#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QShortcutEvent>

#include "Ambient.h"
#include "InputCodes.h"
#include "OleDrag.h"
#include "OptionGroup.h"
#include "QuillonButton.h"

using zs::button::kDefaultLook;
using zs::button::kOverBit;
using zs::button::kPressedBit;

namespace {

short ButtonCode(Qt::MouseButtons buttons) {
    return static_cast<short>(zs::ButtonCode(buttons));
}

short ShiftCode(Qt::KeyboardModifiers modifiers) {
    return static_cast<short>(zs::ShiftCode(modifiers));
}

bool IsArrow(int key) {
    return key == Qt::Key_Left || key == Qt::Key_Up || key == Qt::Key_Right || key == Qt::Key_Down;
}

// The classic key codes handlers expect: letters and digits as their upper-case
// character, the rest from the usual virtual-key table.
short KeyCode(const QKeyEvent* e) {
    const int key = e->key();
    if ((key >= Qt::Key_0 && key <= Qt::Key_9) || (key >= Qt::Key_A && key <= Qt::Key_Z) ||
        key == Qt::Key_Space) {
        return short(key);
    }
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return short(112 + key - Qt::Key_F1);
    static const QHash<int, short> kCodes = {
        {Qt::Key_Backspace, 8}, {Qt::Key_Tab, 9},      {Qt::Key_Return, 13}, {Qt::Key_Enter, 13},
        {Qt::Key_Shift, 16},    {Qt::Key_Control, 17}, {Qt::Key_Alt, 18},    {Qt::Key_Pause, 19},
        {Qt::Key_CapsLock, 20}, {Qt::Key_Escape, 27},  {Qt::Key_PageUp, 33}, {Qt::Key_PageDown, 34},
        {Qt::Key_End, 35},      {Qt::Key_Home, 36},    {Qt::Key_Left, 37},   {Qt::Key_Up, 38},
        {Qt::Key_Right, 39},    {Qt::Key_Down, 40},    {Qt::Key_Insert, 45}, {Qt::Key_Delete, 46}};
    return kCodes.value(key, short(e->nativeVirtualKey() & 0x7FFF));
}

// Scan codes of the arrow keys, as the containing window would get them.
quint32 ArrowScanCode(int key) {
    switch (key) {
        case Qt::Key_Left:
            return 0x4B;
        case Qt::Key_Up:
            return 0x48;
        case Qt::Key_Right:
            return 0x4D;
        default:
            return 0x50;
    }
}

}  // namespace

void QuillonButton::HandleMouseDown(short button, short shift, QPointF pos) {
    lastButton_ = button;
    if (button == 1) {
        stateBits_ |= kPressedBit;
        keyDown_ = true;
        suspended_ = false;
        Redraw();
    }
    emit MouseDown(button, shift, float(pos.x()), float(pos.y()));
}

void QuillonButton::mousePressEvent(QMouseEvent* e) {
    const QPoint pos = e->position().toPoint();
    if (!hitButton(pos)) {
        e->ignore();
        return;
    }
    pressArmed_ = true;
    HandleMouseDown(ButtonCode(e->button()), ShiftCode(e->modifiers()), e->position());
}

void QuillonButton::StartHover(bool leftHeld) {
    stateBits_ |= kOverBit;
    emit MouseOnButton(true);
    hoverTimer_.start();
    hovering_ = true;
    suspended_ = false;
    if (leftHeld) keyDown_ = true;
    Redraw();
}

void QuillonButton::mouseMoveEvent(QMouseEvent* e) {
    const short buttons = ButtonCode(e->buttons());
    if (!hovering_ && hitButton(e->position().toPoint())) StartHover(buttons & 1);
    emit MouseMove(buttons, ShiftCode(e->modifiers()), float(e->position().x()),
                   float(e->position().y()));
}

void QuillonButton::mouseReleaseEvent(QMouseEvent* e) {
    keyDown_ = false;
    const short button = ButtonCode(e->button());
    const bool click = pressArmed_ && hitButton(e->position().toPoint());
    pressArmed_ = false;
    if (button == 1) {
        stateBits_ &= ~kPressedBit;
        suspended_ = false;
        // Toggle modes are redrawn by the Value change of the click; without
        // one they must not keep the pressed look.
        if (mode_ == 0 || !click) Redraw();
    }
    emit MouseUp(button, ShiftCode(e->modifiers()), float(e->position().x()),
                 float(e->position().y()));
    lastButton_ = button;
    if (click) PlatformClick();
}

void QuillonButton::mouseDoubleClickEvent(QMouseEvent* e) {
    const QPointF pos = e->position();
    pressArmed_ = false;  // the release of a double click is no click
    const short button = ButtonCode(e->button());
    emit DoubleClick(button);
    if (button == 1) {
        HandleMouseDown(1, 0, pos);
        lastButton_ = -1;
    } else {
        emit MouseDown(button, 0, float(pos.x()), float(pos.y()));
    }
}

void QuillonButton::PlatformClick() {
    if (lastButton_ != 1) return;
    if (mode_ != 0) {
        if (mode_ == 2 && value_) return;
        setValue(!value_);
    }
    emit Click();
}

void QuillonButton::PerformClick() {
    const QPointF centre(width() / 2.0, height() / 2.0);
    HandleMouseDown(1, 0, centre);
    keyDown_ = false;
    stateBits_ &= ~kPressedBit;
    if (mode_ == 0) Redraw();
    emit MouseUp(1, 0, float(centre.x()), float(centre.y()));
    lastButton_ = 1;
    PlatformClick();
}

void QuillonButton::keyPressEvent(QKeyEvent* e) {
    const int key = e->key();
    const short shift = ShiftCode(e->modifiers());
    if (IsArrow(key)) {
        if (QWidget* container = parentWidget()) {
            QCoreApplication::postEvent(
                container,
                new QKeyEvent(QEvent::KeyPress, key, e->modifiers(), ArrowScanCode(key),
                              e->nativeVirtualKey(), e->nativeModifiers(), QString(), false, 1));
        }
        return;
    }
    if (key == Qt::Key_Space && !(stateBits_ & kPressedBit)) {
        stateBits_ |= kPressedBit | kOverBit;
        keyDown_ = true;
        Redraw();
        if (!hovering_) stateBits_ &= ~kOverBit;
    }
    emit KeyDown(KeyCode(e), shift);
    if (!e->text().isEmpty()) emit Keypress(short(e->text().at(0).unicode()));
    // Enter presses the focused command button, as it does any push button;
    // Escape goes on to the window, whose Cancel it is.
    const bool plain = (e->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && plain && mode_ == 0 &&
        !e->isAutoRepeat()) {
        lastButton_ = 1;
        PlatformClick();
    } else if (key == Qt::Key_Escape) {
        e->ignore();
    }
}

void QuillonButton::keyReleaseEvent(QKeyEvent* e) {
    if (e->isAutoRepeat()) return;
    keyDown_ = false;
    const int key = e->key();
    const short code = KeyCode(e), shift = ShiftCode(e->modifiers());
    bool swallowed = false;
    if (key == Qt::Key_Shift) {
        swallowed = true;
    } else if (key == Qt::Key_Space && (stateBits_ & kPressedBit)) {
        lastButton_ = 1;
        stateBits_ &= ~kPressedBit;
        if (mode_ == 0) {
            Redraw();
        } else {
            emit KeyUp(code, shift);
            swallowed = true;
        }
        PlatformClick();
    } else if (IsArrow(key)) {
        swallowed = true;
        if (mode_ == 2 && !value_) {
            lastButton_ = 1;
            PlatformClick();
        }
    }
    if (!swallowed) emit KeyUp(code, shift);
}

void QuillonButton::HoverCheck() {
    if (QApplication::widgetAt(QCursor::pos()) == this) return;
    hoverTimer_.stop();
    stateBits_ &= ~kOverBit;
    hovering_ = false;
    suspended_ = false;
    emit MouseOnButton(false);
    keyDown_ = false;
    Redraw();
}

void QuillonButton::UpdateShortcuts() {
    const auto regrab = [this](int& id, const QKeySequence& seq, bool wanted) {
        if (id) releaseShortcut(id);
        id = wanted && !seq.isEmpty() ? grabShortcut(seq) : 0;
    };
    regrab(accessKeyId_,
           accessKey_.isNull() ? QKeySequence() : QKeySequence(Qt::ALT | accessKey_.unicode()),
           !accessKey_.isNull());
    regrab(returnId_, QKeySequence(Qt::Key_Return), default_);
    regrab(enterId_, QKeySequence(Qt::Key_Enter), default_);
    regrab(escapeId_, QKeySequence(Qt::Key_Escape), cancel_);
}

bool QuillonButton::event(QEvent* e) {
    if (e->type() != QEvent::Shortcut) return QWidget::event(e);
    const int id = static_cast<QShortcutEvent*>(e)->shortcutId();
    if (id == accessKeyId_ && id != 0) {
        if (!(stateBits_ & kDefaultLook)) Redraw();
    } else if (id == returnId_ || id == enterId_ || id == escapeId_) {
        if (mode_ != 0) return true;
    } else {
        return QWidget::event(e);
    }
    lastButton_ = 1;
    PlatformClick();
    return true;
}

void QuillonButton::UpdateDefaultLook() {
    bool display = false;
    if (showFocusRect_ && isEnabled()) {
        if (hasFocus()) {
            display = true;
        } else if (default_) {
            // The default button shows as such while the focus is on something
            // that is not a button itself.
            const QWidget* focus = QApplication::focusWidget();
            const bool otherButton =
                focus && focus != this && focus->window() == window() &&
                (qobject_cast<const QuillonButton*>(focus) || focus->inherits("QAbstractButton"));
            display = !otherButton;
        }
    }
    const int bits = display ? (stateBits_ | kDefaultLook) : (stateBits_ & ~kDefaultLook);
    if (bits == stateBits_) return;
    stateBits_ = bits;
    Redraw();
}

void QuillonButton::focusInEvent(QFocusEvent* e) {
    QWidget::focusInEvent(e);
    UpdateDefaultLook();
    if (mode_ == 2 && !value_ && !OptionGroup::AnyOn(groupContainer_)) {
        lastButton_ = 1;
        PlatformClick();
    }
}

void QuillonButton::focusOutEvent(QFocusEvent* e) {
    QWidget::focusOutEvent(e);
    UpdateDefaultLook();
}

void QuillonButton::JoinGroup() {
    groupContainer_ = parentWidget();
    OptionGroup::Join(groupContainer_, this);
}

void QuillonButton::LeaveGroup() {
    if (groupContainer_) OptionGroup::Leave(groupContainer_, this);
    groupContainer_ = nullptr;
}

void QuillonButton::dragEnterEvent(QDragEnterEvent* e) {
    e->acceptProposedAction();
}

void QuillonButton::dragMoveEvent(QDragMoveEvent* e) {
    const QPointF p = e->position();
    emit OLEDragOver(e->mimeData(), int(e->dropAction()), ButtonCode(e->buttons()),
                     ShiftCode(e->modifiers()), float(p.x()), float(p.y()), 2);
}

void QuillonButton::dropEvent(QDropEvent* e) {
    const QPointF p = e->position();
    emit OLEDragDrop(e->mimeData(), int(e->dropAction()), ButtonCode(e->buttons()),
                     ShiftCode(e->modifiers()), float(p.x()), float(p.y()));
    e->acceptProposedAction();
}

void QuillonButton::OLEDrag() {
    zs::OleDragHost host;
    host.start = [this](zs::OleDragData* data, int& effects) { emit OLEStartDrag(data, effects); };
    host.setData = [this](zs::OleDragData* data, QString& format) {
        emit OLESetData(data, format);
    };
    host.feedback = [this](int& effect, bool& cursors) { emit OLEGiveFeedback(effect, cursors); };
    const std::optional<int> done = zs::RunOleDrag(this, std::make_unique<zs::OleDragData>(),
                                                   Qt::CopyAction | Qt::MoveAction, host);
    if (!done) return;
    int effect = *done;
    emit OLECompleteDrag(effect);
}
