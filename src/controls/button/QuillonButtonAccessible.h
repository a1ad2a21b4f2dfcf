#pragma once

#include <QAccessibleWidget>

class QuillonButton;

// What assistive technology sees of a QuillonButton: a push button, check box
// or radio button by Mode, named by its accessibleName or else by its caption
// without access-key marks, described by its tooltip, with the access key as its shortcut and a press
// action that clicks it like the mouse does.
class QuillonButtonAccessible : public QAccessibleWidget {
public:
    explicit QuillonButtonAccessible(QuillonButton* button);

    // Registers the factory once per process.
    static void Install();

    QAccessible::Role role() const override;
    QString text(QAccessible::Text t) const override;
    QAccessible::State state() const override;
    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;
    QStringList keyBindingsForAction(const QString& actionName) const override;

private:
    QuillonButton* button() const;
};
