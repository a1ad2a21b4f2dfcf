#include "ProgramLook.h"

#include <QFile>

#include "PropertyBag.h"
#include "QuillonButton.h"

namespace {

const PropertyBag& CommandButtonLook()
{
    static const PropertyBag look = [] {
        QFile file(QStringLiteral(":/ui/command-button.props"));
        if (!file.open(QIODevice::ReadOnly)) return PropertyBag();
        return PropertyBag::FromText(QString::fromUtf8(file.readAll())).value_or(PropertyBag());
    }();
    return look;
}

}  // namespace

namespace ProgramLook {

void Apply(QuillonButton* button)
{
    button->ReadProperties(CommandButtonLook());
    button->setMinimumSize(96, 30);
}

}  // namespace ProgramLook
