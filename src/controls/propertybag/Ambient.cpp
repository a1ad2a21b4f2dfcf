#include "Ambient.h"

#include <QApplication>
#include <QVariant>
#include <QWidget>

#include "SystemColors.h"

namespace {

constexpr quint32 ButtonFace = 0x8000000Fu;

bool& DefaultDesignMode() {
    static bool designMode = false;
    return designMode;
}

}  // namespace

bool Ambient::UserMode(const QWidget* control) {
    for (const QWidget* w = control; w; w = w->parentWidget()) {
        const QVariant mode = w->property(DesignModeProperty);
        if (mode.isValid()) return !mode.toBool();
    }
    return !DefaultDesignMode();
}

void Ambient::SetDesignMode(QWidget* host, bool designMode) {
    if (host) host->setProperty(DesignModeProperty, designMode);
}

void Ambient::SetDefaultDesignMode(bool designMode) {
    DefaultDesignMode() = designMode;
}

QFont Ambient::Font(const QWidget* control) {
    const QWidget* host = control ? control->parentWidget() : nullptr;
    return host ? host->font() : QApplication::font();
}

quint32 Ambient::BackColor(const QWidget* control) {
    const QWidget* host = control ? control->parentWidget() : nullptr;
    if (!host) return ButtonFace;
    const QVariant set = host->property(BackColorProperty);
    if (set.isValid()) return set.toUInt();
    return zs::ToOleColor(host->palette().color(QPalette::Window));
}
