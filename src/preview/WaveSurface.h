#pragma once

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QPolygonF>
#include <QWidget>
#include <functional>

// A drawing surface that keeps what is drawn on it: drawing goes into a
// retained image that paintEvent only copies to the screen. Drawing
// coordinates are twips of the client area (inside the border). Mouse events
// are reported as signals with the button (1 left, 2 right, 4 middle; for
// moves the buttons held), the shift state and x, y in client twips; the
// surface accepts them all, so a press never falls through to its parent.
class WaveSurface : public QWidget {
    Q_OBJECT
public:
    explicit WaveSurface(const QString& name, QWidget* parent = nullptr);

    void setBackColor(const QColor& color);
    QColor backColor() const { return back_; }
    void setForeColor(const QColor& color) { fore_ = color; }
    QColor foreColor() const { return fore_; }
    // A sunken frame of `px` pixels around the client area.
    void setBorder(int px);
    int border() const { return border_; }

    // Client size in twips.
    double ScaleWidth() const;
    double ScaleHeight() const;
    static double TwipsPerPixel();

    // Clears the drawing to the background colour.
    void Cls();
    void Line(QPointF from, QPointF to, const QColor& color);
    void Polyline(const QPolygonF& points, const QColor& color);
    // Paints on the retained image with a painter set up for pixels; then repaints.
    void PaintPixels(const std::function<void(QPainter&, QSize)>& paint);
    const QImage& image() const {
        syncImage();
        return image_;
    }

signals:
    void MouseDown(int Button, int Shift, double x, double y);
    void MouseMove(int Button, int Shift, double x, double y);
    void MouseUp(int Button, int Shift, double x, double y);

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    void emitMouse(QMouseEvent* e, void (WaveSurface::*signal)(int, int, double, double),
                   int button);
    void preparePainter(QPainter& p, const QColor& color) const;
    // Sizes the image to the client area, keeping what is drawn; the widget
    // may be drawn on before it is first shown.
    void syncImage() const;

    mutable QImage image_;
    QColor back_ = Qt::white;
    QColor fore_ = Qt::black;
    int border_ = 0;
};
