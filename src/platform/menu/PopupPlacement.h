#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

namespace zs {

// Where a popup of a given size opens for a requested point: its top-left corner at
// the point, flipped to the other side of the point when it would leave the screen,
// and moved off the exclusion rectangle (horizontally first, or vertically first when
// verticalFirst) when it would cover it. An empty exclusion rectangle is ignored.
// All rectangles are in screen coordinates.
class PopupPlacement {
public:
    static QPoint Place(QSize size, QPoint point, const QRect& exclude, const QRect& screen,
                        bool verticalFirst);

private:
    static bool Fits(const QRect& candidate, const QRect& screen);
    static bool TryHorizontal(QRect& menu, const QRect& exclude, const QRect& screen);
    static bool TryVertical(QRect& menu, const QRect& exclude, const QRect& screen);
};

}  // namespace zs
