#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>

#include "ButtonGeometry.h"
#include "ButtonState.h"
#include "ButtonStyles.h"

class QPainter;

namespace zs::button {

// Paints one button state into an image of the button's size: face fill,
// picture and caption, the style's three frames, corner pixels and the focus
// outline, in that order. Knows nothing of input or widgets.
class ButtonPainter {
public:
    explicit ButtonPainter(const ButtonState& state);

    QImage Render();

    const StyleScheme& scheme() const { return scheme_; }
    const Layout& layout() const { return layout_; }

    // Paints a gradient from c1 to c2 over rect in the direction of
    // gradientMode (1, 2 vertical strips left to right, 3, 4 horizontal bands
    // top to bottom; 2 and 4 start with c2).
    static void PaintGradient(QPainter& p, const QRect& rect, int gradientMode, Rgb c1, Rgb c2,
                              QSize screenSize);

private:
    void PrepareEllipse(QPainter& p);
    void FillFace(QPainter& p);
    void DrawPicture(QPainter& p, QPoint offset);
    void DrawCaption(QPainter& p, QPoint offset);
    void DrawFrames();
    void DrawFocus(QPoint offset);
    QPoint PressedOffset() const;
    Rgb FillColor() const;

    void Plot(int x, int y, Rgb c);
    // From a to b, b excluded, every pixel or every other one.
    void Line(QPoint a, QPoint b, Rgb c, bool dotted);
    void Outline(const Box& box, Rgb c, bool dotted);

    const ButtonState& st_;
    StyleColors colors_;
    StyleScheme scheme_;
    Layout layout_;
    Slants slants_;
    QImage image_;
};

}  // namespace zs::button
