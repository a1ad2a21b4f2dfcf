#pragma once

#include <QList>

class QObject;
class QuillonButton;

// Option buttons form one group per containing widget, kept in the order they
// joined. The registry holds no ownership: a destroyed button or container
// drops out on its own.
class OptionGroup {
public:
    // Adds the button at the end of the container's group; a button that is
    // on turns the others off.
    static void Join(QObject* container, QuillonButton* button);
    // Removes the button; later members move up one place. Unknown buttons
    // change nothing.
    static void Leave(QObject* container, QuillonButton* button);
    // True when any member of the container's group is on.
    static bool AnyOn(QObject* container);
    // Turns every member other than `button` off.
    static void ClearOthers(QObject* container, QuillonButton* button);
    // The members in registration order.
    static QList<QuillonButton*> Members(QObject* container);
};
