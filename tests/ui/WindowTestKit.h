#pragma once

// Small helpers shared by the window tests.
#include <QCursor>
#include <QWidget>
#include <QtTest>

namespace WindowTestKit {

// The named child of `parent`; the test stops at once when there is none.
template <class T>
T* Child(QWidget* parent, const QString& name) {
    T* widget = parent->findChild<T*>(name);
    if (widget == nullptr) qFatal("no widget %s", qPrintable(name));
    return widget;
}

// A left click as a user makes it: the pointer stands on the widget, so a
// button's hover tracking sees it there for the whole click. Moving the
// pointer this way runs no events, so a check queued before the click still
// runs only inside what the click starts.
inline void Click(QWidget* widget) {
    const QPoint centre = widget->rect().center();
    QCursor::setPos(widget->mapToGlobal(centre));
    QTest::mouseClick(widget, Qt::LeftButton, {}, centre);
}

}  // namespace WindowTestKit
