#pragma once

#include <QExtensionFactory>

class QDesignerFormEditorInterface;

// Gives every FlexMaskEditBox in a form its MaskEditTaskMenu.
class MaskEditTaskMenuFactory : public QExtensionFactory {
    Q_OBJECT

public:
    explicit MaskEditTaskMenuFactory(QExtensionManager* parent);

    // Registers a factory (owned by the manager) with `core`'s extension manager.
    static void Register(QDesignerFormEditorInterface* core);

protected:
    QObject* createExtension(QObject* object, const QString& iid, QObject* parent) const override;
};
