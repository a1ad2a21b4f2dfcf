#pragma once

// What assistive technology sees of a window, read through the same
// QAccessibleInterface tree a screen reader walks, and the keyboard's view of
// it (the Tab chain), for the window accessibility tests.

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <QWidget>
#include <QtTest>
#include <QPointer>
#include <functional>

namespace a11y {

inline QAccessibleInterface* Of(QObject* object) {
    return QAccessible::queryAccessibleInterface(object);
}

// Every accessible object below `root`, depth first, in child order.
inline QList<QAccessibleInterface*> Descendants(QAccessibleInterface* root) {
    QList<QAccessibleInterface*> all;
    for (int i = 0; root && i < root->childCount(); ++i) {
        QAccessibleInterface* child = root->child(i);
        if (!child) continue;
        all << child;
        all << Descendants(child);
    }
    return all;
}

// The objects a user meets in `window`: visible ones only.
inline QList<QAccessibleInterface*> Shown(QWidget* window) {
    QList<QAccessibleInterface*> shown;
    for (QAccessibleInterface* face : Descendants(Of(window)))
        if (!face->state().invisible) shown << face;
    return shown;
}

inline QString Id(QAccessibleInterface* face) {
    QObject* object = face->object();
    const QString name = object ? object->objectName() : QString();
    return name.isEmpty() && object ? QString::fromLatin1(object->metaObject()->className()) : name;
}

// The shown object of `role` whose accessible name is `name`; null when none.
inline QAccessibleInterface* Find(QWidget* window, QAccessible::Role role, const QString& name) {
    for (QAccessibleInterface* face : Shown(window))
        if (face->role() == role && face->text(QAccessible::Name) == name) return face;
    return nullptr;
}

// One line per shown object: role, name and object name, for failure messages.
inline QString Describe(QWidget* window) {
    QStringList lines;
    for (QAccessibleInterface* face : Shown(window))
        lines << QStringLiteral("%1 \"%2\" (%3)")
                     .arg(int(face->role()))
                     .arg(face->text(QAccessible::Name), Id(face));
    return lines.join('\n');
}

inline bool IsControl(QAccessible::Role role) {
    switch (role) {
        case QAccessible::Button:
        case QAccessible::CheckBox:
        case QAccessible::RadioButton:
        case QAccessible::ComboBox:
        case QAccessible::List:
        case QAccessible::Tree:
        case QAccessible::EditableText:
        case QAccessible::ProgressBar:
            return true;
        default:
            return false;
    }
}

// Shown controls that a screen reader would announce without a name.
inline QStringList Unnamed(QWidget* window) {
    QStringList unnamed;
    for (QAccessibleInterface* face : Shown(window))
        if (IsControl(face->role()) && face->text(QAccessible::Name).trimmed().isEmpty())
            unnamed << Id(face);
    return unnamed;
}

// Accessible names of the objects that label `object` (its buddy labels).
inline QStringList LabelsOf(QObject* object) {
    QStringList labels;
    for (const auto& relation : Of(object)->relations(QAccessible::Label))
        labels << relation.first->text(QAccessible::Name);
    return labels;
}

// Labels of `window` that carry a mnemonic but no buddy: their access key leads nowhere.
inline QStringList MnemonicsWithoutBuddy(QWidget* window) {
    QStringList lost;
    for (QLabel* label : window->findChildren<QLabel*>())
        if (label->text().contains(QRegularExpression("&[^&]")) && !label->buddy())
            lost << label->objectName() + " \"" + label->text() + '"';
    return lost;
}

// Access keys announced twice in `window`: one of each pair can never be reached.
inline QStringList DuplicateAccessKeys(QWidget* window) {
    QMap<QString, QString> owner;
    QStringList clashes;
    for (QAccessibleInterface* face : Shown(window)) {
        const QString key = face->text(QAccessible::Accelerator).toUpper();
        if (key.isEmpty() || !IsControl(face->role())) continue;
        // Every combo box announces Down, the key that opens its list.
        if (face->role() == QAccessible::ComboBox && key == QLatin1String("DOWN")) continue;
        if (owner.contains(key)) clashes << key + ": " + owner[key] + ", " + Id(face);
        owner.insert(key, Id(face));
    }
    return clashes;
}

// Performs `action` (press, or toggle for check boxes and options) through the
// interface, as a screen reader or switch device does.
inline void Press(QObject* object,
                  const QString& action = QAccessibleActionInterface::pressAction()) {
    QAccessibleInterface* face = Of(object);
    QVERIFY2(face && face->actionInterface(), qPrintable(object->objectName()));
    QVERIFY2(face->actionInterface()->actionNames().contains(action),
             qPrintable(face->actionInterface()->actionNames().join(',')));
    face->actionInterface()->doAction(action);
}

inline void Toggle(QObject* object) {
    Press(object, QAccessibleActionInterface::toggleAction());
}

// The name a focus widget is known by: a field's inner editor counts as the field.
inline QString FocusName(QWidget* widget) {
    if (!widget) return QStringLiteral("(none)");
    if (widget->parentWidget() && widget->parentWidget()->focusProxy() == widget)
        return widget->parentWidget()->objectName();
    return widget->objectName();
}

// Presses Tab from `first` until the focus comes back to it (or `limit` presses)
// and returns the focus widgets met, starting with `first`.
inline QStringList TabChain(QWidget* first, int limit = 60) {
    first->setFocus(Qt::TabFocusReason);
    QStringList chain{FocusName(QApplication::focusWidget())};
    for (int i = 0; i < limit; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* now = QApplication::focusWidget();
        if (now == first || (now && now->parentWidget() == first && first->focusProxy() == now))
            break;
        chain << FocusName(now);
    }
    return chain;
}

inline bool Activate(QWidget* window) {
    window->show();
    window->activateWindow();
    return QTest::qWaitForWindowActive(window);
}

// Runs `step` on the next modal dialog once it is shown (from inside its event
// loop), then closes the dialog if the step left it open, so a test never
// hangs. Stops looking when it goes out of scope.
class NextDialog {
public:
    explicit NextDialog(std::function<void(QWidget*)> step) : step_(std::move(step)) {
        poll_.setInterval(5);
        QObject::connect(&poll_, &QTimer::timeout, [this] { Check(); });
        poll_.start();
    }
    NextDialog(const NextDialog&) = delete;
    NextDialog& operator=(const NextDialog&) = delete;

    bool Ran() const { return ran_; }

private:
    void Check() {
        QWidget* dialog = QApplication::activeModalWidget();
        if (!dialog || !dialog->isVisible()) return;
        poll_.stop();
        QPointer<QWidget> guard(dialog);
        if (!QTest::qWaitForWindowActive(dialog)) qWarning("dialog not active");
        step_(dialog);
        ran_ = true;
        if (guard && guard->isVisible()) guard->close();
    }

    std::function<void(QWidget*)> step_;
    QTimer poll_;
    bool ran_ = false;
};

// Fails the test with the entries of a list that should be empty.
#define A11Y_NONE(list)                                             \
    do {                                                            \
        const QStringList found_ = (list);                          \
        QVERIFY2(found_.isEmpty(), qPrintable(found_.join("; ")));  \
    } while (false)

// Compares two lists and shows both in full when they differ.
#define A11Y_SAME(actual, expected)                                              \
    do {                                                                         \
        const QStringList actual_ = (actual), expected_ = (expected);            \
        QVERIFY2(actual_ == expected_, qPrintable("\n  actual:   " + actual_.join(' ') + \
                                                  "\n  expected: " + expected_.join(' '))); \
    } while (false)

}  // namespace a11y
