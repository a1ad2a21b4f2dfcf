#include "MsgBox.h"

#include <utility>

namespace {

MsgBox::Responder& CurrentResponder() {
    static MsgBox::Responder responder;
    return responder;
}

}  // namespace

QMessageBox::StandardButton MsgBox::Show(QWidget* parent, QMessageBox::Icon icon,
                                         const QString& title, const QString& text,
                                         QMessageBox::StandardButtons buttons,
                                         QMessageBox::StandardButton defaultButton) {
    if (const Responder& responder = CurrentResponder()) {
        return responder(Shown{parent, icon, title, text, buttons, defaultButton});
    }
    QMessageBox box(icon, title, text, buttons, parent);
    if (defaultButton != QMessageBox::NoButton) box.setDefaultButton(defaultButton);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

void MsgBox::SetResponder(Responder responder) {
    CurrentResponder() = std::move(responder);
}
