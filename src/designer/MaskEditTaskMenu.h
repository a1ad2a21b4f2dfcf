#pragma once

#include <QObject>
#include <QPointer>
#include <QtDesigner/QDesignerTaskMenuExtension>

class FlexMaskEditBox;
class QAction;

// The "Characteristics..." entry of a FlexMaskEditBox's context menu in
// Designer (also its double-click action): opens the control's settings page
// on it. Whatever the page writes, Apply or OK, is then marked as changed in
// Designer's property sheet, so that it is saved with the form.
class MaskEditTaskMenu : public QObject, public QDesignerTaskMenuExtension {
    Q_OBJECT
    Q_INTERFACES(QDesignerTaskMenuExtension)

public:
    MaskEditTaskMenu(FlexMaskEditBox* box, QObject* parent);

    QAction* preferredEditAction() const override;
    QList<QAction*> taskActions() const override;

private:
    void openCharacteristics();

    QPointer<FlexMaskEditBox> box_;
    QAction* editAction_;
};
