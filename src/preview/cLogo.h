#pragma once

#include <QFont>
#include <QPointer>
#include <QString>
#include <QtGlobal>

class WaveSurface;

// Paints a vertical colour gradient over a whole surface, from the start
// colour at the bottom towards the end colour at the top, and writes the
// caption rotated to read upwards, in the surface's foreground colour and font.
// Colours are 32-bit values: RGB (red in the low byte) or 0x800000nn system colours.
class cLogo {
public:
    cLogo();

    QString Caption() const { return caption_; }
    void setCaption(const QString& caption) { caption_ = caption; }
    // Does not repaint.
    void setDrawingObject(WaveSurface* surface) { surface_ = surface; }
    quint32 StartColor() const { return startColor_; }
    // Stores, translates and repaints when the value differs from the stored one.
    void setStartColor(quint32 color);
    quint32 EndColor() const { return endColor_; }
    void setEndColor(quint32 color);

    // Paints the bands and the caption; a failure ends it quietly.
    void Draw();

    // The band height for a surface of hp pixels: hp / 255, at least 1.
    static int BandHeight(int hp);
    // The caption font: the surface's font at its size rounded to whole points
    // (ties to even), as pixels at dpiY dots per inch (rounded to the nearest),
    // bold or normal weight, antialiased.
    static QFont CaptionFont(const QFont& surfaceFont, int dpiY);

private:
    struct Rgb {
        int r = 0, g = 0, b = 0;
    };
    static Rgb Split(quint32 color);

    QString caption_;
    QPointer<WaveSurface> surface_;
    quint32 startColor_ = 0;
    quint32 endColor_ = 0x8000000F;
    Rgb start_;
    Rgb end_;
};
