#pragma once

#include <QColor>
#include <QWidget>

// A vertical position marker, two pixels wide, placed in the twips of its
// container's client area.
class MarkerLine : public QWidget {
    Q_OBJECT
public:
    // `border` is the container's frame width in pixels (client offset).
    MarkerLine(const QString& name, const QColor& color, double y1, double y2, int border,
               QWidget* parent);

    // Moves both end points to x (twips).
    void MoveTo(double x);
    double X() const { return x_; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QColor color_;
    double x_ = 0;
    double y1_;
    double y2_;
    int border_;
};
