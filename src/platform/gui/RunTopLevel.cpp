#include "RunTopLevel.h"

#include <QCoreApplication>

#include "AppError.h"
#include "MsgBox.h"
#include "TrapERR.h"

namespace zs {

QString TopLevelMessage(const AppError& error) {
    return QStringLiteral("Error %1\r\n\r\n").arg(error.Number) + error.Description;
}

bool RunTopLevel(QWidget* parent, const std::function<void()>& handler) {
    try {
        handler();
        return true;
    } catch (...) {
        const AppError error = TrapERR::HandledError();
        MsgBox::Show(parent, QMessageBox::Critical, QCoreApplication::applicationName(),
                     TopLevelMessage(error));
        return false;
    }
}

}  // namespace zs
