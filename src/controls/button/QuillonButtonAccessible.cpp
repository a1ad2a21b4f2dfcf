#include "QuillonButtonAccessible.h"

#include <QKeySequence>

#include "QuillonButton.h"

namespace {

QAccessibleInterface* Factory(const QString& className, QObject* object) {
    if (className == QLatin1String("QuillonButton") && object && object->isWidgetType()) {
        return new QuillonButtonAccessible(static_cast<QuillonButton*>(object));
    }
    return nullptr;
}

}  // namespace

QuillonButtonAccessible::QuillonButtonAccessible(QuillonButton* button)
    : QAccessibleWidget(button, QAccessible::Button) {}

void QuillonButtonAccessible::Install() {
    static const bool installed = [] {
        QAccessible::installFactory(Factory);
        return true;
    }();
    Q_UNUSED(installed);
}

QuillonButton* QuillonButtonAccessible::button() const {
    return static_cast<QuillonButton*>(widget());
}

QAccessible::Role QuillonButtonAccessible::role() const {
    switch (button()->Mode()) {
        case 1: return QAccessible::CheckBox;
        case 2: return QAccessible::RadioButton;
        default: return QAccessible::Button;
    }
}

QString QuillonButtonAccessible::text(QAccessible::Text t) const {
    switch (t) {
        // A name the host gives wins: a caption such as ">" says nothing aloud.
        case QAccessible::Name:
            return button()->accessibleName().isEmpty() ? button()->PlainCaption()
                                                        : button()->accessibleName();
        case QAccessible::Description: return button()->toolTip();
        case QAccessible::Accelerator:
            return button()->AccessKey().isNull()
                       ? QString()
                       : QKeySequence(Qt::ALT | button()->AccessKey().unicode())
                             .toString(QKeySequence::NativeText);
        default: return QAccessibleWidget::text(t);
    }
}

QAccessible::State QuillonButtonAccessible::state() const {
    QAccessible::State s = QAccessibleWidget::state();
    const QuillonButton* b = button();
    s.focusable = b->isEnabled();
    s.focused = b->hasFocus();
    s.disabled = !b->isEnabled();
    if (b->Mode() != 0) {
        s.checkable = true;
        s.checked = b->Value();
    }
    s.defaultButton = b->Default();
    return s;
}

QStringList QuillonButtonAccessible::actionNames() const {
    QStringList names = QAccessibleWidget::actionNames();
    if (!names.contains(pressAction())) names.prepend(pressAction());
    return names;
}

void QuillonButtonAccessible::doAction(const QString& actionName) {
    if (actionName == pressAction() && button()->isEnabled()) {
        button()->PerformClick();
        return;
    }
    QAccessibleWidget::doAction(actionName);
}

QStringList QuillonButtonAccessible::keyBindingsForAction(const QString& actionName) const {
    if (actionName == pressAction() && !button()->AccessKey().isNull()) {
        return {text(QAccessible::Accelerator)};
    }
    return QAccessibleWidget::keyBindingsForAction(actionName);
}
