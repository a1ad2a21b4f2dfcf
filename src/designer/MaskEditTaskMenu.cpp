#include "MaskEditTaskMenu.h"

#include <QAction>
#include <QDesignerFormEditorInterface>
#include <QDesignerFormWindowCursorInterface>
#include <QDesignerFormWindowInterface>
#include <QDesignerPropertyEditorInterface>
#include <QDesignerPropertySheetExtension>
#include <QExtensionManager>
#include <QMetaProperty>
#include <QVariantHash>

#include "Characteristics.h"
#include "FlexMaskEditBox.h"

namespace {

// The writable, comparable properties of `object` by name.
QVariantHash Snapshot(const QObject& object) {
    QVariantHash values;
    const QMetaObject* meta = object.metaObject();
    for (int i = 0; i < meta->propertyCount(); ++i) {
        const QMetaProperty property = meta->property(i);
        if (!property.isWritable() || !property.metaType().isEqualityComparable()) continue;
        values.insert(QString::fromLatin1(property.name()), property.read(&object));
    }
    return values;
}

// Tells the form that every property that differs from `before` was set by
// the developer: the form is saved with it and the property editor shows it.
void RecordChanges(QDesignerFormWindowInterface* formWindow, QObject* object,
                   const QVariantHash& before) {
    QDesignerFormEditorInterface* core = formWindow->core();
    auto* sheet = qt_extension<QDesignerPropertySheetExtension*>(core->extensionManager(), object);
    if (!sheet) return;
    const QVariantHash after = Snapshot(*object);
    bool any = false;
    for (auto it = after.cbegin(); it != after.cend(); ++it) {
        if (before.value(it.key()) == it.value()) continue;
        const int index = sheet->indexOf(it.key());
        if (index < 0) continue;
        sheet->setChanged(index, true);
        any = true;
    }
    if (!any) return;
    formWindow->setDirty(true);
    if (QDesignerPropertyEditorInterface* editor = core->propertyEditor()) {
        if (editor->object() == object) editor->setObject(object);
    }
}

// The fields the page works on, the first one counting: the form's selected
// fields in the form's selection order when `box` is one of them, else `box`.
QList<FlexMaskEditBox*> SelectedFields(QDesignerFormWindowInterface* formWindow,
                                       FlexMaskEditBox* box) {
    QDesignerFormWindowCursorInterface* cursor = formWindow ? formWindow->cursor() : nullptr;
    if (!cursor || !cursor->isWidgetSelected(box)) return {box};
    QList<FlexMaskEditBox*> fields;
    for (int i = 0; i < cursor->selectedWidgetCount(); ++i) {
        if (auto* field = qobject_cast<FlexMaskEditBox*>(cursor->selectedWidget(i))) {
            fields << field;
        }
    }
    return fields;
}

}  // namespace

MaskEditTaskMenu::MaskEditTaskMenu(FlexMaskEditBox* box, QObject* parent)
    : QObject(parent), box_(box), editAction_(new QAction(tr("Characteristics..."), this)) {
    connect(editAction_, &QAction::triggered, this, &MaskEditTaskMenu::openCharacteristics);
}

QAction* MaskEditTaskMenu::preferredEditAction() const {
    return editAction_;
}

QList<QAction*> MaskEditTaskMenu::taskActions() const {
    return {editAction_};
}

void MaskEditTaskMenu::openCharacteristics() {
    if (!box_) return;
    QDesignerFormWindowInterface* formWindow = QDesignerFormWindowInterface::findFormWindow(box_);
    const QList<FlexMaskEditBox*> fields = SelectedFields(formWindow, box_);
    const QPointer<FlexMaskEditBox> first = fields.first();
    const QVariantHash before = Snapshot(*first);
    Characteristics page(formWindow ? static_cast<QWidget*>(formWindow) : box_->window());
    page.SetSelection(fields);
    page.exec();
    if (first && formWindow) RecordChanges(formWindow, first, before);
}
