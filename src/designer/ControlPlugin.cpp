#include "ControlPlugin.h"

#include <QDesignerFormEditorInterface>
#include <QDesignerFormWindowInterface>
#include <QDesignerFormWindowManagerInterface>

#include "Ambient.h"

namespace {

// The form window carries the design-mode flag: every control of the form
// sees it, however Designer made the control, and the controls themselves
// stay exactly as a program builds them.
void MarkDesignHost(QDesignerFormWindowInterface* formWindow) {
    if (formWindow) Ambient::SetDesignMode(formWindow, true);
}

}  // namespace

ControlPlugin::ControlPlugin(ControlInfo info, QObject* parent)
    : QObject(parent), info_(std::move(info)) {}

QString ControlPlugin::group() const {
    return QStringLiteral("Zephyra Sound Utility");
}

void ControlPlugin::initialize(QDesignerFormEditorInterface* core) {
    if (initialized_) return;
    initialized_ = true;
    core_ = core;
    if (!core) return;
    if (info_.registerExtensions) info_.registerExtensions(core);

    QDesignerFormWindowManagerInterface* manager = core->formWindowManager();
    if (!manager) return;
    // Also covers controls Designer creates without a parent and then moves
    // into a form.
    for (int i = 0; i < manager->formWindowCount(); ++i) MarkDesignHost(manager->formWindow(i));
    connect(manager, &QDesignerFormWindowManagerInterface::formWindowAdded, this, &MarkDesignHost);
}

QWidget* ControlPlugin::createWidget(QWidget* parent) {
    // Marked before the control exists, so that it is built in design mode.
    if (core_) MarkDesignHost(QDesignerFormWindowInterface::findFormWindow(parent));
    return info_.create(parent);
}
