#pragma once

#include <QWidget>

#include "EditedSound.h"
#include "WaveSummary.h"

class QScrollBar;

// The zoomable waveform of an edited sound: a time ruler on top, one lane per
// channel drawn from the min/max summary at every zoom (at the closest zoom a
// frame spans several pixels and is drawn as a step), the selection, the play
// marker and a horizontal scroll bar. Dragging selects; Shift extends the
// selection; Ctrl + wheel, + and - zoom; the wheel scrolls; Shift + Left and
// Right move the selection's end, with Ctrl its beginning.
class WaveView : public QWidget {
    Q_OBJECT
public:
    explicit WaveView(QWidget* parent = nullptr);

    // The sound shown (owned by the caller, alive while shown) and its summary.
    // Keeps the zoom where it still fits; the selection is kept within the sound.
    void setSound(const EditedSound* sound, const WaveSummary* summary, int rate);

    // Frames first..last, both included; none when first > last.
    void setSelection(qint64 first, qint64 last);
    bool hasSelection() const { return selFirst_ <= selLast_; }
    qint64 selectionFirst() const { return selFirst_; }
    qint64 selectionLast() const { return selLast_; }
    // The play marker's frame; -1 hides it.
    void setMarker(qint64 frame);
    qint64 marker() const { return marker_; }

    // Frames per pixel and the first frame shown.
    double perPixel() const { return perPixel_; }
    double firstFrame() const { return first_; }
    void fit();
    // Zooms by `factor` (above 1 closer) keeping the frame at pixel x in place.
    void zoomAbout(double factor, double x);
    // Zooms by `factor` about the selection's middle, else the view's middle.
    void zoomCentred(double factor);
    void zoomToSelection();

signals:
    void selectionChanged();
    // The frame under the pointer or the last click, for a position readout.
    void positionShown(qint64 frame);

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    static constexpr int kRuler = 18;
    QRect lanes() const;
    void paintRuler(QPainter& p);
    void paintLane(QPainter& p, int channel, const QRect& lane);
    void paintSteps(QPainter& p, int channel, const QRect& lane);
    void setView(double first, double perPixel);
    void syncScrollBar();
    void moveEdge(bool end, qint64 by);
    qint64 frameAt(double x) const;
    // The pixel column where `frame` begins: selection, marker and ruler alike.
    int columnOf(double frame) const;
    qint64 frames() const { return sound_ ? sound_->Frames() : 0; }

    const EditedSound* sound_ = nullptr;
    const WaveSummary* summary_ = nullptr;
    int rate_ = 1;
    double first_ = 0;
    double perPixel_ = 1;
    bool fitted_ = true;
    qint64 selFirst_ = 0, selLast_ = -1;
    qint64 anchor_ = -1;
    qint64 marker_ = -1;
    QScrollBar* scroll_ = nullptr;
};
