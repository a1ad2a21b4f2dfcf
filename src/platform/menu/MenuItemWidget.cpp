#include "MenuItemWidget.h"

#include <QMouseEvent>
#include <QPainter>

#include "PlatformMenu.h"

namespace zs {

MenuItemWidget::MenuItemWidget(PlatformMenu* menu, QAction* action) : menu_(menu), action_(action) {
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void MenuItemWidget::SetMeasuredSize(QSize size) {
    if (size == measured_) return;
    measured_ = size;
    updateGeometry();
}

void MenuItemWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    menu_->DrawEntry(painter, rect(), action_);
}

// Ignored mouse events travel on to the menu, which selects and triggers the item
// as it would one of its own.
void MenuItemWidget::mouseMoveEvent(QMouseEvent* event) {
    event->ignore();
}
void MenuItemWidget::mousePressEvent(QMouseEvent* event) {
    event->ignore();
}
void MenuItemWidget::mouseReleaseEvent(QMouseEvent* event) {
    event->ignore();
}

}  // namespace zs
