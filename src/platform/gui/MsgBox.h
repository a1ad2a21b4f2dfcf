#pragma once

#include <QMessageBox>
#include <QString>
#include <functional>

class QWidget;

// Every message box of the program goes through Show, so tests can answer
// boxes without a window through SetResponder.
class MsgBox {
public:
    struct Shown {
        QWidget* parent = nullptr;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QString title;
        QString text;
        QMessageBox::StandardButtons buttons = QMessageBox::Ok;
        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    };
    using Responder = std::function<QMessageBox::StandardButton(const Shown&)>;

    // Shows a modal box and returns the button pressed. With a responder set,
    // no window opens: the responder sees the box and gives the answer.
    static QMessageBox::StandardButton Show(
        QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text,
        QMessageBox::StandardButtons buttons = QMessageBox::Ok,
        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);

    // Installs (or, with an empty function, removes) the responder.
    static void SetResponder(Responder responder);
};
