#include "FlexMaskEditBox.h"

#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QResizeEvent>
#include <algorithm>
#include <cmath>
#include <memory>

#include "Ambient.h"
#include "FlexFormat.h"
#include "InputCodes.h"
#include "OleDrag.h"
#include "SystemColors.h"

namespace {

// The Insert key's toggle state, shared by every field of the program: a field
// entered later starts in the mode the user last chose.
bool insertToggleOn = false;

Qt::Alignment ToQtAlignment(int alignment) {
    static const Qt::Alignment horizontal[] = {Qt::AlignLeft, Qt::AlignRight, Qt::AlignHCenter};
    return horizontal[std::clamp(alignment, 0, 2)] | Qt::AlignVCenter;
}

// The field a widget of the focus chain belongs to: the field itself or its
// inner text box.
FlexMaskEditBox* FieldOf(QWidget* widget) {
    if (auto* field = qobject_cast<FlexMaskEditBox*>(widget)) return field;
    if (widget && qobject_cast<FlexTextBox*>(widget)) {
        return qobject_cast<FlexMaskEditBox*>(widget->parentWidget());
    }
    return nullptr;
}

QList<FlexMaskEditBox*> FieldsInTabOrder(QWidget* window) {
    QList<FlexMaskEditBox*> fields;
    QWidget* widget = window;
    do {
        widget = widget->nextInFocusChain();
        FlexMaskEditBox* field = FieldOf(widget);
        if (field && field->window() == window && !fields.contains(field)) fields << field;
    } while (widget && widget != window);
    return fields;
}

}  // namespace

FlexMaskEditBox::FlexMaskEditBox(QWidget* parent)
    : QWidget(parent), txtFlex(new FlexTextBox(this)), mnuPopUp(new QMenu(this)) {
    txtFlex->setObjectName(QStringLiteral("txtFlex"));
    txtFlex->setMaxLength(32767);
    txtFlex->setMouseTracking(true);
    txtFlex->setContextMenuPolicy(Qt::CustomContextMenu);
    txtFlex->installEventFilter(this);
    setFocusProxy(txtFlex);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    connect(txtFlex, &QLineEdit::textChanged, this, &FlexMaskEditBox::onTextChanged);
    connect(txtFlex, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { showPopupMenu(txtFlex->mapToGlobal(pos)); });
    connect(this, &QObject::objectNameChanged, this, &FlexMaskEditBox::updateAccessibleName);

    mnuPopUp->setObjectName(QStringLiteral("mnuPopUp"));
    auto addItem = [this](const char* name, const QString& caption,
                          void (FlexMaskEditBox::*slot)()) {
        QAction* action = mnuPopUp->addAction(caption);
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    mnuCopy = addItem("mnuCopy", QStringLiteral("Copy"), &FlexMaskEditBox::menuCopy);
    mnuPaste = addItem("mnuPaste", QStringLiteral("Paste"), &FlexMaskEditBox::menuPaste);
    mnuDelete = addItem("mnuDelete", QStringLiteral("Delete"), &FlexMaskEditBox::menuDelete);
    mnuUndo = addItem("mnuUndo", QStringLiteral("Undo"), &FlexMaskEditBox::menuUndo);
    mnuLine = mnuPopUp->addSeparator();
    mnuLine->setObjectName(QStringLiteral("mnuLine"));
    // The calculator item has no command; it stays out of sight.
    mnuCalculator = mnuPopUp->addAction(QStringLiteral("calculator"));
    mnuCalculator->setObjectName(QStringLiteral("mnuCalculator"));
    mnuCalculator->setVisible(false);

    applyColors(foreColor_, backColor_);
}

FlexMaskEditBox::~FlexMaskEditBox() = default;

// ---- display and text box ----

void FlexMaskEditBox::onTextChanged(const QString& text) {
    if (!engine_.MaskActive() && !formattedShown_) engine_.SetPlainText(text);
    if (changeEnabled_) emit Change();
}

void FlexMaskEditBox::showDisplay() {
    formattedShown_ = false;
    const QString content = engine_.TextBoxContent();
    txtFlex->setMaxLength(32767);
    if (txtFlex->text() != content) txtFlex->setText(content);
    const int limit = engine_.MaxLength();
    txtFlex->setMaxLength(std::max<int>(limit == 0 ? 32767 : limit, content.size()));
    if (engine_.SelLength() > 0) {
        txtFlex->setSelection(engine_.Cursor(), engine_.SelLength());
    } else {
        txtFlex->setCursorPosition(engine_.Cursor());
    }
}

void FlexMaskEditBox::showDisplayQuietly() {
    const bool enabled = changeEnabled_;
    changeEnabled_ = false;
    showDisplay();
    changeEnabled_ = enabled;
}

void FlexMaskEditBox::takeSelectionFromBox() {
    if (formattedShown_) return;
    if (!engine_.MaskActive()) engine_.SetPlainText(txtFlex->text());
    const int start =
        txtFlex->hasSelectedText() ? txtFlex->selectionStart() : txtFlex->cursorPosition();
    engine_.SetSelection(start, static_cast<int>(txtFlex->selectedText().size()));
}

void FlexMaskEditBox::applyColors(quint32 fore, quint32 back) {
    QPalette pal = txtFlex->palette();
    pal.setColor(QPalette::Text, zs::TranslateColor(fore, palette()));
    pal.setColor(QPalette::Base, zs::TranslateColor(back, palette()));
    txtFlex->setPalette(pal);
}

void FlexMaskEditBox::applyCurrentColors() {
    if (txtFlex->hasFocus()) {
        applyColors(foreColor_, backColor_);
        return;
    }
    // 0 means "not set": that part keeps the normal colour.
    applyColors(foreColorInActive_ != 0 ? foreColorInActive_ : foreColor_,
                backColorInActive_ != 0 ? backColorInActive_ : backColor_);
}

void FlexMaskEditBox::applyAlignment(int alignment) {
    txtFlex->setAlignment(ToQtAlignment(alignment));
}

void FlexMaskEditBox::applyBoxFont(const QFont& font) {
    txtFlex->setFont(font);
}

void FlexMaskEditBox::updateCaret() {
    // The caret is as wide as the font's point size in overwrite mode and twice
    // that tall, in pixels.
    const double points = Font().pointSizeF() > 0 ? Font().pointSizeF() : 8.0;
    const int width = std::max<int>(1, std::lrint(points));
    txtFlex->SetCaretSize(engine_.OverwriteMode() ? width : 1,
                          std::max<int>(1, std::lrint(2 * points)));
}

void FlexMaskEditBox::updateAccessibleName() {
    txtFlex->setAccessibleName(accessibleName().isEmpty() ? objectName() : accessibleName());
    txtFlex->setAccessibleDescription(toolTip());
}

int FlexMaskEditBox::borderMargin() const {
    return border_ ? 3 : 0;
}

void FlexMaskEditBox::layoutTextBox() {
    const int margin = borderMargin();
    txtFlex->setGeometry(rect().adjusted(margin, margin, -margin, -margin));
}

QSize FlexMaskEditBox::sizeHint() const {
    return txtFlex->sizeHint() + QSize(2 * borderMargin(), 2 * borderMargin());
}

QSize FlexMaskEditBox::minimumSizeHint() const {
    return txtFlex->minimumSizeHint() + QSize(2 * borderMargin(), 2 * borderMargin());
}

void FlexMaskEditBox::syncDesignMode() {
    engine_.SetDesignMode(!Ambient::UserMode(this));
}

void FlexMaskEditBox::refreshIfPending() {
    if (engine_.RefreshPending()) Refresh();
}

void FlexMaskEditBox::beep() const {
    if (beepOnError_) QApplication::beep();
}

void FlexMaskEditBox::Refresh() {
    takeSelectionFromBox();
    syncDesignMode();
    engine_.Refresh();
    applyColors(foreColor_, backColor_);
    showDisplay();
    update();
}

QString FlexMaskEditBox::formattedValue() const {
    if (engine_.FieldType() == FieldKind::Numeric) {
        return FlexFormat::Apply(engine_.NumText(), formatString_);
    }
    QDate date;
    if (engine_.FieldType() == FieldKind::Date && engine_.ValidDate({})) {
        const QString iso = engine_.TransFormDate(engine_.DisplayText(), engine_.Dateformat(), 4,
                                                  {}, QStringLiteral("-"));
        date = QDate::fromString(iso, Qt::ISODate);
    }
    return FlexFormat::Apply(engine_.Text(), formatString_, date);
}

void FlexMaskEditBox::applyInactiveLook() {
    applyCurrentColors();
    if (formatString_.isEmpty()) return;
    // Exactly that font: nothing of the field's own font shows through.
    QFont shown = FormatFont();
    shown.setResolveMask(QFont::AllPropertiesResolved);
    applyBoxFont(shown);
    takeSelectionFromBox();
    savedSelStart_ = engine_.Cursor();
    changeEnabled_ = false;
    formattedShown_ = true;
    txtFlex->setMaxLength(32767);
    applyAlignment(formatAlignment_);
    txtFlex->setText(formattedValue());
    changeEnabled_ = true;
}

// ---- value ----

QString FlexMaskEditBox::Text() const {
    return engine_.Text();
}

void FlexMaskEditBox::setText(const QString& New_Text) {
    assignText(New_Text, false);
}

void FlexMaskEditBox::assignText(const QString& value, bool fromUndo) {
    syncDesignMode();
    if (fromUndo) {
        engine_.Undo();
    } else {
        engine_.SetText(value);
    }
    showDisplay();
    dataHasChanged_ = false;
    changed(QStringLiteral("Text"));
    // A focused field keeps showing its mask while the user works in it.
    if (!fromUndo && !txtFlex->hasFocus()) applyInactiveLook();
    textWasSet_ = true;
}

// ---- keys ----

bool FlexMaskEditBox::keyPressed(QKeyEvent* event) {
    firstClickPending_ = false;
    int keyCode = event->key();
    int shift = zs::ShiftCode(event->modifiers());
    emit KeyDown(keyCode, shift);
    if (keyCode == 0) return true;
    if (keyCode == Qt::Key_Tab || keyCode == Qt::Key_Backtab) return false;

    const bool masked = engine_.MaskActive() && !formattedShown_;
    if (masked) {
        if (keyCode == Qt::Key_Up || keyCode == Qt::Key_Down) {
            if (upAndDownKeys_) FocusNextFlexMask(keyCode == Qt::Key_Down ? 1 : -1, false);
            return true;
        }
        takeSelectionFromBox();
        const KeyOutcome outcome = engine_.KeyDown(keyCode, event->modifiers());
        if (outcome.request == KeyOutcome::Request::PassToTextBox) return false;
        applyOutcome(outcome);
        showDisplay();
    }

    QString text = event->text();
    if (keyCode == Qt::Key_Return || keyCode == Qt::Key_Enter) text = QStringLiteral("\r");
    // A keyboard's Delete also carries DEL (127) as text; it types nothing, so
    // neither the host nor the mask sees a character for it.
    if (keyCode == Qt::Key_Delete) text.clear();
    bool consumed = masked;
    const bool control = event->modifiers().testFlag(Qt::ControlModifier) &&
                         !event->modifiers().testFlag(Qt::AltModifier);
    for (QChar typed : text) {
        // Ctrl+letter types its control code, never the letter.
        if (control && typed.toUpper() >= u'A' && typed.toUpper() <= u'Z') {
            typed = QChar(typed.toUpper().unicode() - u'A' + 1);
        }
        int ascii = typed.unicode();
        emit KeyPress(ascii);
        if (ascii == 13 && (upAndDownKeys_ || exitOnEnter_)) {
            FocusNextFlexMask(1, true);
            return true;
        }
        if (masked) {
            if (ascii != 0) typeCharacter(QChar(ascii));
        } else if (ascii != typed.unicode()) {
            // The handler replaced or cancelled the character.
            if (ascii != 0) txtFlex->insert(QString(QChar(ascii)));
            consumed = true;
        }
    }
    return consumed;
}

bool FlexMaskEditBox::typeCharacter(QChar ch) {
    takeSelectionFromBox();
    const KeyOutcome outcome = engine_.KeyPress(ch);
    showDisplay();
    applyOutcome(outcome);
    return !outcome.failed;
}

void FlexMaskEditBox::applyOutcome(const KeyOutcome& outcome) {
    if (outcome.failed) beep();
    switch (outcome.request) {
        case KeyOutcome::Request::Copy:
            menuCopy();
            break;
        case KeyOutcome::Request::Paste:
            menuPaste();
            break;
        case KeyOutcome::Request::CaretChanged:
            insertToggleOn = engine_.OverwriteMode();
            updateCaret();
            break;
        case KeyOutcome::Request::FieldFilled:
            if (autoNextFlexInput_) {
                showDisplay();
                FocusNextFlexMask(1, true);
            }
            break;
        default:
            break;
    }
}

// ---- mouse ----

void FlexMaskEditBox::emitMouse(QMouseEvent* event) {
    const QPointF pos = txtFlex->mapTo(this, event->position().toPoint());
    const int shift = zs::ShiftCode(event->modifiers());
    switch (event->type()) {
        case QEvent::MouseButtonPress:
            emit MouseDown(zs::ButtonCode(event->button()), shift, pos.x(), pos.y());
            break;
        case QEvent::MouseButtonRelease:
            emit MouseUp(zs::ButtonCode(event->button()), shift, pos.x(), pos.y());
            break;
        default:
            emit MouseMove(zs::ButtonCode(event->buttons()), shift, pos.x(), pos.y());
            break;
    }
}

bool FlexMaskEditBox::mousePressed(QMouseEvent* event) {
    emitMouse(event);
    const bool firstClick = firstClickPending_;
    firstClickPending_ = false;
    if (armDrag(event)) return true;
    if (!engine_.MaskActive() || formattedShown_) return false;
    if (event->button() == Qt::MiddleButton) return true;  // no selection paste past the mask
    if (event->button() != Qt::LeftButton || !firstClick || !engine_.AutoToLastPos()) {
        return false;
    }
    // The first click into a partly filled field goes to its first empty
    // position when that lies left of the click.
    const int clicked = txtFlex->cursorPositionAt(event->position().toPoint());
    const QChar prompt = engine_.PromptChar().at(0);
    int e = static_cast<int>(engine_.DisplayText().indexOf(prompt)) + 1;
    if (e == 0) e = static_cast<int>(engine_.EmptyDisplay().indexOf(prompt)) + 1;
    const int t = e < clicked ? e - 1 : clicked;
    engine_.SetCursor(engine_.NextInputPosition(t) - 1);
    showDisplay();
    return true;
}

bool FlexMaskEditBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched != txtFlex) return QWidget::eventFilter(watched, event);
    switch (event->type()) {
        case QEvent::KeyPress:
            return keyPressed(static_cast<QKeyEvent*>(event));
        case QEvent::KeyRelease: {
            auto* key = static_cast<QKeyEvent*>(event);
            emit KeyUp(key->key(), zs::ShiftCode(key->modifiers()));
            return false;
        }
        case QEvent::InputMethod: {
            if (!engine_.MaskActive() || formattedShown_) return false;
            for (QChar ch : static_cast<QInputMethodEvent*>(event)->commitString()) {
                if (!typeCharacter(ch)) break;
            }
            return true;
        }
        case QEvent::MouseButtonPress:
            return mousePressed(static_cast<QMouseEvent*>(event));
        case QEvent::MouseButtonRelease: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            disarmDrag(mouse);
            emitMouse(mouse);
            if (mouse->button() == Qt::LeftButton) emit Click();
            return mouse->button() == Qt::MiddleButton && engine_.MaskActive();
        }
        case QEvent::MouseButtonDblClick:
            emit DblClick();
            return false;
        case QEvent::MouseMove:
            emitMouse(static_cast<QMouseEvent*>(event));
            return followDrag(static_cast<QMouseEvent*>(event));
        case QEvent::FocusIn:
        case QEvent::FocusOut: {
            // The line edit reacts first (it selects all on a Tab entry); the
            // field's own rules then decide the cursor.
            static_cast<QObject*>(txtFlex)->event(event);
            const auto reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason) {
                return true;
            }
            if (event->type() == QEvent::FocusIn) {
                focusEntry();
            } else {
                focusExit();
            }
            return true;
        }
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::DragLeave:
        case QEvent::Drop:
            return dragEvent(event);
        default:
            return false;
    }
}

// ---- drag and drop ----

namespace {

// States of a drag over the field, as the host's OLEDragOver receives them.
constexpr int DragEntering = 0;
constexpr int DragLeaving = 1;
constexpr int DragOver = 2;

}  // namespace

bool FlexMaskEditBox::dragEvent(QEvent* event) {
    constexpr int ManualDrop = 1;
    if (oleDropMode_ != ManualDrop) {
        // Dropped text would bypass the mask.
        if (!engine_.MaskActive()) return false;
        event->ignore();
        return true;
    }
    if (event->type() == QEvent::DragLeave) {
        int effect = 0;
        emit OLEDragOver(nullptr, effect, 0, 0, 0, 0, DragLeaving);
        return true;
    }
    auto* drop = static_cast<QDropEvent*>(event);
    const QPointF pos = txtFlex->mapTo(this, drop->position().toPoint());
    const int button = zs::ButtonCode(drop->buttons());
    const int shift = zs::ShiftCode(drop->modifiers());
    auto* data = const_cast<QMimeData*>(drop->mimeData());
    int effect = zs::DropEffect(drop->possibleActions());
    if (event->type() == QEvent::Drop) {
        emit OLEDragDrop(data, effect, button, shift, pos.x(), pos.y());
    } else {
        const int state = event->type() == QEvent::DragEnter ? DragEntering : DragOver;
        emit OLEDragOver(data, effect, button, shift, pos.x(), pos.y(), state);
    }
    const Qt::DropActions chosen = Qt::DropActions::fromInt(effect) & drop->possibleActions();
    if (!chosen) {
        drop->ignore();
        return true;
    }
    Qt::DropAction action = drop->proposedAction();
    if (!chosen.testFlag(action)) {
        action = chosen.testFlag(Qt::CopyAction)   ? Qt::CopyAction
                 : chosen.testFlag(Qt::MoveAction) ? Qt::MoveAction
                                                   : Qt::LinkAction;
    }
    drop->setDropAction(action);
    drop->accept();
    return true;
}

bool FlexMaskEditBox::armDrag(QMouseEvent* event) {
    constexpr int AutomaticDrag = 1;
    if (oleDragMode_ != AutomaticDrag || event->button() != Qt::LeftButton) return false;
    if (!txtFlex->hasSelectedText()) return false;
    const int at = txtFlex->cursorPositionAt(event->position().toPoint());
    const int start = txtFlex->selectionStart();
    if (at < start || at >= start + txtFlex->selectedText().size()) return false;
    dragArmed_ = true;
    dragFrom_ = event->position().toPoint();
    return true;
}

bool FlexMaskEditBox::followDrag(QMouseEvent* event) {
    if (!dragArmed_) return false;
    const QPoint moved = event->position().toPoint() - dragFrom_;
    if (moved.manhattanLength() < QApplication::startDragDistance()) return true;
    dragArmed_ = false;
    OLEDrag();
    return true;
}

void FlexMaskEditBox::disarmDrag(QMouseEvent* event) {
    if (!dragArmed_) return;
    dragArmed_ = false;
    txtFlex->setCursorPosition(txtFlex->cursorPositionAt(event->position().toPoint()));
}

void FlexMaskEditBox::OLEDrag() {
    takeSelectionFromBox();
    auto data = std::make_unique<zs::OleDragData>();
    const QString text =
        engine_.MaskActive() ? engine_.SelectedTextForCopy() : txtFlex->selectedText();
    if (!text.isEmpty()) data->setText(text);
    const int allowed = Qt::CopyAction | (engine_.Locked() ? 0 : int(Qt::MoveAction));
    zs::OleDragHost host;
    host.start = [this](zs::OleDragData* d, int& effects) { emit OLEStartDrag(d, effects); };
    host.setData = [this](zs::OleDragData* d, QString& format) { emit OLESetData(d, format); };
    host.feedback = [this](int& effect, bool& cursors) { emit OLEGiveFeedback(effect, cursors); };
    const std::optional<int> done = zs::RunOleDrag(this, std::move(data), allowed, host);
    if (!done) return;
    if (*done == Qt::MoveAction) menuDelete();
    int effect = *done;
    emit OLECompleteDrag(effect);
}

// ---- focus ----

void FlexMaskEditBox::focusEntry() {
    refreshIfPending();
    engine_.ClearUpperNext();
    applyBoxFont(Font());
    firstClickPending_ = true;
    engine_.SetOverwriteMode(insertToggleOn);
    applyColors(foreColor_, backColor_);
    const bool numeric = engine_.FieldType() == FieldKind::Numeric && engine_.MaskActive();
    if (!formatString_.isEmpty()) {
        applyAlignment(alignment_);
        showDisplayQuietly();
        if (numeric) engine_.SetNumericValue(true, {});
        if (selLengthCache_ == 0) {
            if (savedSelStart_ == -1) {
                engine_.PlaceCursor();
            } else {
                engine_.SetCursor(savedSelStart_);
            }
        }
    } else {
        takeSelectionFromBox();
        if (numeric) engine_.SetNumericValue(true, {});
        if (engine_.AutoToLastPos() && engine_.MaskActive()) engine_.PlaceCursor();
    }
    updateCaret();
    setBorder(borderIfFocus_);
    if (selLengthCache_ > 0) {
        engine_.SetSelection(selStartCache_, selLengthCache_);
        selStartCache_ = 0;
        selLengthCache_ = 0;
    } else if (autoSelect_ && textWasSet_) {
        engine_.SetSelection(0, engine_.DisplayLength());
        textWasSet_ = false;
    }
    showDisplayQuietly();
}

void FlexMaskEditBox::focusExit() {
    if (engine_.FieldType() == FieldKind::Numeric && engine_.MaskActive() && !formattedShown_) {
        takeSelectionFromBox();
        engine_.SetNumericValue(false, {});
        if (engine_.DecimalPosition() > 0) engine_.SetCursor(engine_.DecimalPosition() - 1);
        showDisplayQuietly();
    }
    applyInactiveLook();
    setBorder(borderNoFocus_);
}

void FlexMaskEditBox::sendTab() {
    focusNextPrevChild(true);
}

void FlexMaskEditBox::FocusNextFlexMask(int direction, bool exit) {
    const QList<FlexMaskEditBox*> order = FieldsInTabOrder(window());
    QList<FlexMaskEditBox*> fields;
    for (FlexMaskEditBox* field : order) {
        // A field whose text box is disabled (by its stored settings) cannot
        // take the focus: moving on passes over it.
        if (field->isEnabled() && field->Enabled() && field->isVisible()) fields << field;
    }
    const qsizetype me = order.indexOf(this);
    auto rank = [&order](FlexMaskEditBox* field) { return order.indexOf(field); };
    FlexMaskEditBox* target = nullptr;
    if (direction > 0) {
        for (FlexMaskEditBox* field : fields) {
            if (rank(field) > me) {
                target = field;
                break;
            }
        }
        if (!target && exit) {
            if (exitOnEnter_ || !txtFlex->isEnabled()) sendTab();
            return;
        }
        if (!target && !fields.isEmpty()) target = fields.first();
    } else {
        for (FlexMaskEditBox* field : fields) {
            if (rank(field) < me) target = field;
        }
        if (!target && !fields.isEmpty()) target = fields.last();
    }
    if (fields.isEmpty()) return;
    bool cancel = false;
    emit ExitOnArrowKeys(cancel);
    if (!cancel && target) target->txtFlex->setFocus(Qt::TabFocusReason);
}

// ---- show, resize, paint ----

void FlexMaskEditBox::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (event->spontaneous()) return;
    updateAccessibleName();
    syncDesignMode();
    refreshIfPending();
    if (!engine_.DesignMode()) {
        if (engine_.FieldType() == FieldKind::Numeric && engine_.DecimalPosition() > 0) {
            engine_.JumpToDecimals();
            engine_.SetCursor(engine_.Cursor() - 1);
        } else if (engine_.AutoToLastPos() && engine_.MaskActive()) {
            engine_.PlaceCursor();
        }
        if (engine_.MaskActive()) showDisplayQuietly();
        if (!txtFlex->hasFocus()) applyInactiveLook();
    }
    if (!txtFlex->hasFocus()) setBorder(borderNoFocus_);
}

void FlexMaskEditBox::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutTextBox();
    emit Resize();
}

void FlexMaskEditBox::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    if (!border_) return;
    QPainter painter(this);
    painter.setPen(QPen(palette().color(QPalette::Dark), 3));
    painter.drawRect(rect().adjusted(1, 1, -2, -2));
}

// ---- menu ----

QMenu* FlexMaskEditBox::PreparePopupMenu() {
    QStringList items;
    bool textMenu = true;
    emit PopUpItems(items, textMenu);
    qDeleteAll(mnuPopUpOwnDef);
    mnuPopUpOwnDef.clear();
    for (int i = 0; i < items.size(); ++i) {
        QAction* item = mnuPopUp->addAction(items.at(i));
        item->setObjectName(QStringLiteral("mnuPopUpOwnDef(%1)").arg(i));
        connect(item, &QAction::triggered, this, [this, i] { emit PopUpItemsClick(i); });
        mnuPopUpOwnDef << item;
    }
    const bool selection = txtFlex->hasSelectedText() && !formattedShown_;
    const QClipboard* clipboard = QGuiApplication::clipboard();
    for (QAction* item : {mnuCopy, mnuPaste, mnuDelete, mnuUndo}) item->setVisible(textMenu);
    mnuCopy->setEnabled(selection);
    mnuPaste->setEnabled(clipboard && !clipboard->text().isEmpty());
    mnuDelete->setEnabled(selection);
    mnuUndo->setEnabled(engine_.SavedText() != engine_.DisplayText());
    mnuLine->setVisible(textMenu && !items.isEmpty());
    return mnuPopUp;
}

void FlexMaskEditBox::showPopupMenu(const QPoint& globalPos) {
    PreparePopupMenu()->exec(globalPos);
    txtFlex->setFocus(Qt::OtherFocusReason);
}

void FlexMaskEditBox::menuCopy() {
    takeSelectionFromBox();
    const QString text =
        engine_.MaskActive() ? engine_.SelectedTextForCopy() : txtFlex->selectedText();
    if (!text.isEmpty()) QGuiApplication::clipboard()->setText(text);
}

void FlexMaskEditBox::menuPaste() {
    if (engine_.Locked()) return;
    const QString text = QGuiApplication::clipboard()->text();
    if (!engine_.MaskActive()) {
        txtFlex->insert(text);
        return;
    }
    takeSelectionFromBox();
    engine_.Paste(text);
    showDisplay();
}

void FlexMaskEditBox::menuDelete() {
    if (!engine_.MaskActive()) {
        if (!engine_.Locked()) txtFlex->del();
        return;
    }
    takeSelectionFromBox();
    engine_.ClearSelection();
    showDisplay();
}

void FlexMaskEditBox::menuUndo() {
    assignText({}, true);
}
