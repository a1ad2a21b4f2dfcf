#pragma once

#include <QWidget>

namespace zs {

class PlatformMenu;

// The face of one owner-drawn item inside a PlatformMenu. It takes exactly the
// size its owner measured, and hands every paint to the menu, which asks the
// owner to draw it. Mouse events are left to the menu, which tracks hover and
// clicks for the item's action.
class MenuItemWidget : public QWidget {
public:
    MenuItemWidget(PlatformMenu* menu, QAction* action);

    void SetMeasuredSize(QSize size);
    QSize MeasuredSize() const { return measured_; }
    QSize sizeHint() const override { return measured_; }
    QSize minimumSizeHint() const override { return measured_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    PlatformMenu* menu_;
    QAction* action_;
    QSize measured_{8, 8};
};

}  // namespace zs
