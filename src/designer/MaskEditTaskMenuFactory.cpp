#include "MaskEditTaskMenuFactory.h"

#include <QDesignerFormEditorInterface>
#include <QExtensionManager>

#include "FlexMaskEditBox.h"
#include "MaskEditTaskMenu.h"

MaskEditTaskMenuFactory::MaskEditTaskMenuFactory(QExtensionManager* parent)
    : QExtensionFactory(parent) {}

void MaskEditTaskMenuFactory::Register(QDesignerFormEditorInterface* core) {
    QExtensionManager* manager = core->extensionManager();
    if (!manager) return;
    manager->registerExtensions(new MaskEditTaskMenuFactory(manager),
                                Q_TYPEID(QDesignerTaskMenuExtension));
}

QObject* MaskEditTaskMenuFactory::createExtension(QObject* object, const QString& iid,
                                                  QObject* parent) const {
    if (iid != Q_TYPEID(QDesignerTaskMenuExtension)) return nullptr;
    auto* box = qobject_cast<FlexMaskEditBox*>(object);
    return box ? new MaskEditTaskMenu(box, parent) : nullptr;
}
