#include "PlatformMenu.h"

#include <QApplication>
#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWidgetAction>

#include "MenuApi.h"
#include "MenuItemWidget.h"

namespace zs {

namespace {

constexpr int kBorder = 1;   // pixels of the frame line
constexpr int kPadding = 4;  // pixels between the items and the frame on the right
constexpr int kShadow = 4;   // pixels of the shadow, where there is one

// The caption's shortcut text as a key sequence, for assistive technology; names
// Qt does not know ("Left Arrow", "Page Up") are translated, others give none.
QKeySequence ShortcutFromText(QString text) {
    text = text.trimmed();
    text.replace(QLatin1String(" Arrow"), QString(), Qt::CaseInsensitive);
    text.replace(QLatin1String("Page Up"), QLatin1String("PgUp"), Qt::CaseInsensitive);
    text.replace(QLatin1String("Page Down"), QLatin1String("PgDown"), Qt::CaseInsensitive);
    text.replace(QLatin1String("Break"), QLatin1String("Pause"), Qt::CaseInsensitive);
    QKeySequence sequence = QKeySequence::fromString(text, QKeySequence::PortableText);
    for (int i = 0; i < sequence.count(); ++i) {
        if (sequence[i].key() == Qt::Key_unknown) return {};
    }
    return sequence;
}

QString CaptionPart(const QString& text) {
    return text.section(QLatin1Char('\t'), 0, 0);
}

}  // namespace

PlatformMenu::PlatformMenu(MenuHandle handle) : handle_(handle) {
    // A border of its own, so the menu's edge shows over a white list, and a
    // shadow on X11, where what lies below can be read back.
    shadow_ = QGuiApplication::platformName() == QLatin1String("xcb") ? kShadow : 0;
    setContentsMargins(kBorder, kBorder, kPadding + kBorder + shadow_, kBorder + shadow_);
    connect(this, &QMenu::aboutToShow, this, &PlatformMenu::OnAboutToShow);
    connect(this, &QMenu::aboutToHide, this, &PlatformMenu::OnAboutToHide);
    connect(this, &QMenu::hovered, this, &PlatformMenu::OnHovered);
}

void PlatformMenu::showEvent(QShowEvent* event) {
    QMenu::showEvent(event);
    // The geometry is final and the menu not yet on screen.
    below_ = QPixmap();
    if (shadow_ > 0 && screen()) below_ = screen()->grabWindow(0, x(), y(), width(), height());
}

void PlatformMenu::paintEvent(QPaintEvent* event) {
    QMenu::paintEvent(event);
    QPainter painter(this);
    const QRect body = rect().adjusted(0, 0, -shadow_, -shadow_);
    if (shadow_ > 0) {
        const QRect right(body.right() + 1, 0, shadow_, height());
        const QRect bottom(0, body.bottom() + 1, width(), shadow_);
        for (const QRect& strip : {right, bottom}) {
            if (below_.isNull())
                painter.fillRect(strip, palette().window());
            else
                painter.drawPixmap(strip, below_, strip);
        }
        // Softer towards the outside, and starting a little in from the corners.
        for (int i = 0; i < shadow_; ++i) {
            const QColor shade(0, 0, 0, 70 - 60 * i / shadow_);
            painter.fillRect(QRect(body.right() + 1 + i, shadow_ + i, 1, body.height() - shadow_),
                             shade);
            painter.fillRect(
                QRect(shadow_ + i, body.bottom() + 1 + i, body.width() - shadow_ + 1, 1), shade);
        }
    }
    // The padding repeats the last column of each item's face as the owner draws
    // it unselected (its background), so a highlight stops short of the frame.
    for (const Entry& entry : entries_) {
        if (!qobject_cast<QWidgetAction*>(entry.action) || !entry.action->isVisible()) continue;
        const QRect item = actionGeometry(entry.action);
        if (item.isEmpty()) continue;
        QImage face(item.size(), QImage::Format_ARGB32_Premultiplied);
        face.fill(palette().color(QPalette::Window));
        {
            QPainter facePainter(&face);
            DrawEntry(facePainter, face.rect(), entry.action, false);
        }
        painter.drawImage(QRect(item.right() + 1, item.top(), kPadding, item.height()), face,
                          QRect(face.width() - 1, 0, 1, face.height()));
    }
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawRect(body.adjusted(0, 0, -1, -1));
}

int PlatformMenu::PositionOf(quint32 item, bool byPosition) const {
    if (byPosition) return item < quint32(entries_.size()) ? int(item) : -1;
    for (int i = 0; i < entries_.size(); ++i) {
        if (entries_[i].id == item) return i;
    }
    return -1;
}

void PlatformMenu::Append(const Entry& entry, QMenu* subMenu) {
    Entry stored = entry;
    stored.action = MakeAction(entry, subMenu);
    entries_.append(stored);
    addAction(stored.action);
}

void PlatformMenu::Replace(int position, const Entry& entry, QMenu* subMenu) {
    QAction* old = entries_[position].action;
    Entry stored = entry;
    stored.action = MakeAction(entry, subMenu);
    insertAction(old, stored.action);
    entries_[position] = stored;
    removeAction(old);
    old->deleteLater();
}

void PlatformMenu::Remove(int position) {
    QAction* old = entries_.takeAt(position).action;
    removeAction(old);
    old->deleteLater();
}

void PlatformMenu::SetItemData(int position, qintptr data) {
    entries_[position].itemData = data;
}

void PlatformMenu::DetachSubMenu(QMenu* subMenu) {
    for (Entry& entry : entries_) {
        if (entry.action->menu() != subMenu) continue;
        entry.action->setMenu(static_cast<QMenu*>(nullptr));
        entry.flags &= ~MenuFlag::Popup;
    }
}

QAction* PlatformMenu::MakeAction(const Entry& entry, QMenu* subMenu) {
    QAction* action = nullptr;
    if (entry.flags & MenuFlag::OwnerDraw) {
        auto* widgetAction = new QWidgetAction(this);
        widgetAction->setDefaultWidget(new MenuItemWidget(this, widgetAction));
        action = widgetAction;
    } else {
        action = new QAction(this);
    }
    ApplyState(action, entry, subMenu);
    connect(action, &QAction::triggered, this, [this, action] { OnTriggered(action); });
    return action;
}

void PlatformMenu::ApplyState(QAction* action, const Entry& entry, QMenu* subMenu) const {
    action->setText(CaptionPart(entry.text));
    action->setShortcut(ShortcutFromText(entry.text.section(QLatin1Char('\t'), 1)));
    action->setShortcutContext(Qt::WidgetShortcut);
    const bool checked = entry.flags & MenuFlag::Checked;
    action->setCheckable(checked);
    action->setChecked(checked);
    action->setEnabled(!(entry.flags & (MenuFlag::Grayed | MenuFlag::Disabled)));
    action->setSeparator(entry.flags & MenuFlag::Separator);
    if (subMenu && (entry.flags & MenuFlag::Popup)) action->setMenu(subMenu);
}

int PlatformMenu::PositionOfAction(const QAction* action) const {
    for (int i = 0; i < entries_.size(); ++i) {
        if (entries_[i].action == action) return i;
    }
    return -1;
}

MenuMessage PlatformMenu::ItemMessage(MenuMessageType type, int position) const {
    MenuMessage message;
    message.type = type;
    message.menu = handle_;
    message.position = position;
    if (position >= 0) {
        const Entry& entry = entries_[position];
        message.id = entry.id;
        message.flags = entry.flags;
        message.itemData = entry.itemData;
    }
    return message;
}

QSize PlatformMenu::DefaultSize(const Entry& entry) const {
    const QFontMetrics metrics(font());
    if (entry.flags & MenuFlag::Separator) return {8, 8};
    const int width = metrics.horizontalAdvance(QString(CaptionPart(entry.text)).remove('&'));
    return {width + 2 * metrics.height(), metrics.height() + 6};
}

void PlatformMenu::Measure() {
    bool changed = false;
    for (int i = 0; i < entries_.size(); ++i) {
        auto* action = qobject_cast<QWidgetAction*>(entries_[i].action);
        if (!action) continue;
        auto* widget = static_cast<MenuItemWidget*>(action->defaultWidget());
        MenuMessage message = ItemMessage(MenuMessageType::MeasureItem, i);
        message.size = DefaultSize(entries_[i]);
        MenuApi::SendToTrackingOwner(message);
        const QSize size = message.size.expandedTo(QSize(0, 0));
        changed = changed || size != widget->MeasuredSize();
        widget->SetMeasuredSize(size);
        action->setVisible(!size.isEmpty());
    }
    if (changed) {
        // QMenu caches its item rectangles; an action event makes it lay them out anew.
        QActionEvent relayout(QEvent::ActionChanged,
                              entries_.isEmpty() ? nullptr : entries_[0].action);
        QCoreApplication::sendEvent(this, &relayout);
    }
}

void PlatformMenu::PrepareTopLevel() {
    topLevel_ = true;
    MenuMessage message = ItemMessage(MenuMessageType::InitMenuPopup, -1);
    message.topLevel = true;
    MenuApi::SendToTrackingOwner(message);
    Measure();
    prepared_ = true;
}

void PlatformMenu::OnAboutToShow() {
    if (prepared_) {
        prepared_ = false;
        return;
    }
    MenuMessage message = ItemMessage(MenuMessageType::InitMenuPopup, -1);
    message.topLevel = topLevel_;
    MenuApi::SendToTrackingOwner(message);
    Measure();
}

void PlatformMenu::OnAboutToHide() {
    MenuMessage message = ItemMessage(MenuMessageType::UninitMenuPopup, -1);
    message.topLevel = topLevel_;
    topLevel_ = false;
    MenuApi::SendToTrackingOwner(message);
}

void PlatformMenu::OnHovered(QAction* action) {
    const int position = PositionOfAction(action);
    if (position < 0) return;
    MenuMessage message = ItemMessage(MenuMessageType::MenuSelect, position);
    MenuApi::SendToTrackingOwner(message);
    // The highlight is drawn by the item widgets themselves.
    for (const Entry& entry : entries_) {
        if (auto* widgetAction = qobject_cast<QWidgetAction*>(entry.action)) {
            widgetAction->defaultWidget()->update();
        }
    }
}

void PlatformMenu::OnTriggered(QAction* action) {
    const int position = PositionOfAction(action);
    if (position < 0) return;
    // Choosing an item does not change its check mark; only its owner does that.
    const QSignalBlocker blocker(action);
    action->setChecked(entries_[position].flags & MenuFlag::Checked);
    emit Chosen(entries_[position].id);
}

void PlatformMenu::DrawEntry(QPainter& painter, const QRect& rect, QAction* action,
                             bool showSelection) {
    const int position = PositionOfAction(action);
    if (position < 0) return;
    const Entry& entry = entries_[position];
    quint32 state = 0;
    if (showSelection && activeAction() == action && action->isEnabled())
        state |= DrawState::Selected;
    if (entry.flags & MenuFlag::Grayed) state |= DrawState::Grayed;
    if (entry.flags & MenuFlag::Disabled) state |= DrawState::Disabled;
    if (entry.flags & MenuFlag::Checked) state |= DrawState::Checked;

    MenuMessage message = ItemMessage(MenuMessageType::DrawItem, position);
    message.painter = &painter;
    message.rect = rect;
    message.state = state;
    painter.save();
    const bool drawn = MenuApi::SendToTrackingOwner(message);
    painter.restore();
    if (!drawn) DrawDefault(painter, rect, entry, state);
}

void PlatformMenu::DrawDefault(QPainter& painter, const QRect& rect, const Entry& entry,
                               quint32 state) const {
    const bool selected = state & DrawState::Selected;
    painter.fillRect(rect, palette().brush(selected ? QPalette::Highlight : QPalette::Window));
    if (entry.flags & MenuFlag::Separator) {
        painter.setPen(palette().color(QPalette::Mid));
        painter.drawLine(rect.left() + 2, rect.center().y(), rect.right() - 2, rect.center().y());
        return;
    }
    const bool enabled = !(state & (DrawState::Grayed | DrawState::Disabled));
    painter.setPen(palette().color(enabled ? QPalette::Active : QPalette::Disabled,
                                   selected ? QPalette::HighlightedText : QPalette::WindowText));
    painter.drawText(rect.adjusted(rect.height(), 0, -4, 0),
                     Qt::AlignVCenter | Qt::AlignLeft | Qt::TextShowMnemonic,
                     CaptionPart(entry.text));
}

void PlatformMenu::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers extra =
        event->modifiers() & ~(Qt::ShiftModifier | Qt::AltModifier | Qt::KeypadModifier);
    const QString text = event->text();
    if (extra == Qt::NoModifier && text.size() == 1 && text[0].isPrint() && !text[0].isSpace() &&
        AnswerMenuChar(text)) {
        return;
    }
    QMenu::keyPressEvent(event);
}

// A click on a separator or header leaves the menu open, as on a menu's frame.
void PlatformMenu::mouseReleaseEvent(QMouseEvent* event) {
    const QAction* action = actionAt(event->position().toPoint());
    if (action && action->isSeparator()) return;
    QMenu::mouseReleaseEvent(event);
}

// The owner matches typed characters to items; unanswered, QMenu matches the "&"
// markers of the captions itself.
bool PlatformMenu::AnswerMenuChar(const QString& text) {
    MenuMessage message = ItemMessage(MenuMessageType::MenuChar, -1);
    message.character = text[0];
    if (!MenuApi::SendToTrackingOwner(message)) return false;
    const int position = message.charPosition;
    const bool valid = position >= 0 && position < entries_.size();
    switch (message.charAction) {
        case MenuCharAction::Close:
            close();
            break;
        case MenuCharAction::Execute:
            if (valid && entries_[position].action->isEnabled()) {
                setActiveAction(entries_[position].action);
                if (entries_[position].action->menu()) {
                    QKeyEvent right(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
                    QMenu::keyPressEvent(&right);
                } else {
                    entries_[position].action->trigger();
                }
            }
            break;
        case MenuCharAction::Select:
            if (valid) setActiveAction(entries_[position].action);
            break;
        case MenuCharAction::Ignore:
            QApplication::beep();
            break;
    }
    return true;
}

}  // namespace zs
