#include "PopupPlacement.h"

#include <algorithm>

namespace zs {

QPoint PopupPlacement::Place(QSize size, QPoint point, const QRect& exclude, const QRect& screen,
                             bool verticalFirst) {
    QRect menu(point, size);
    if (menu.right() > screen.right()) menu.moveRight(point.x() - 1);
    if (menu.bottom() > screen.bottom()) menu.moveBottom(point.y() - 1);
    menu.moveLeft(std::clamp(menu.left(), screen.left(),
                             std::max(screen.left(), screen.right() - size.width() + 1)));
    menu.moveTop(std::clamp(menu.top(), screen.top(),
                            std::max(screen.top(), screen.bottom() - size.height() + 1)));

    if (exclude.isEmpty() || !menu.intersects(exclude)) return menu.topLeft();
    QRect moved = menu;
    bool placed =
        verticalFirst ? TryVertical(moved, exclude, screen) : TryHorizontal(moved, exclude, screen);
    if (!placed) {
        moved = menu;
        placed = verticalFirst ? TryHorizontal(moved, exclude, screen)
                               : TryVertical(moved, exclude, screen);
    }
    return placed ? moved.topLeft() : menu.topLeft();
}

bool PopupPlacement::Fits(const QRect& candidate, const QRect& screen) {
    return screen.contains(candidate);
}

bool PopupPlacement::TryHorizontal(QRect& menu, const QRect& exclude, const QRect& screen) {
    QRect right = menu;
    right.moveLeft(exclude.right() + 1);
    if (Fits(right, screen)) return menu = right, true;
    QRect left = menu;
    left.moveRight(exclude.left() - 1);
    if (Fits(left, screen)) return menu = left, true;
    return false;
}

bool PopupPlacement::TryVertical(QRect& menu, const QRect& exclude, const QRect& screen) {
    QRect below = menu;
    below.moveTop(exclude.bottom() + 1);
    if (Fits(below, screen)) return menu = below, true;
    QRect above = menu;
    above.moveBottom(exclude.top() - 1);
    if (Fits(above, screen)) return menu = above, true;
    return false;
}

}  // namespace zs
