#pragma once

#include <QString>
#include <QtGlobal>

// The selection of the preview window without its widgets: where the two
// selection windows and highlight strips are, the selected range in
// milliseconds, the six selection labels and the edge-drag state. The window
// calls one method per mouse event and then shows the state.
//
// All positions are twips in the coordinates of the channel views (the
// highlight strips use the same coordinates).
class SelectionModel {
public:
    // The left selection window and its highlight strip; the right ones follow it.
    struct Window {
        double left = 0;
        double width = 0;
        bool visible = false;
    };

    // Starts afresh: no selection, the whole sound from 0 to floor(duration s).
    void Reset(double viewWidth, double duration, qint32 numSamples);

    // Left press on a channel view or the left strip: selects from x to the end.
    void NewSelection(double x);
    // Left-button move on a channel view: drags the end (only right of the start).
    void DragEnd(double x);
    // Right press on the left channel view, outside the selection window.
    void GrabFromOutside(double x);
    // Right press on the left highlight strip, inside the selection window.
    void GrabFromInside(double x);
    // Right-button move while an edge is grabbed.
    void DragEdge(double x);
    // Button released: no edge is grabbed any more.
    void Release();
    // Moves the left edge to x, keeping the right edge where the drag began,
    // unless fewer than 50 twips would remain. Returns whether it moved.
    bool ShadeArea(double x);

    const Window& left() const { return left_; }
    // The right selection window: same left, same width as the left one.
    double stripLeft() const { return -left_.left; }
    double viewWidth() const { return w_; }

    qint32 lStartMs = 0;
    qint32 lEndMs = 0;
    bool bDragLeftEdge = false;
    bool bDragRightEdge = false;
    qint32 lAnchorWidth = 0;
    qint32 lAnchorLeft = 0;
    qint16 iLastDragX = 0;
    bool sizing = false;  // the pressed surface shows the sizing arrow

    QString lblTimeBegin, lblTimeEnd, lblTimeTotal;
    QString lblSampBegin, lblSampEnd, lblSampTotal;

private:
    void grabLeft();
    void setStart(double v);
    void setEnd(double v);
    void updateTimeTotal();
    void updateSampTotal();

    Window left_;
    double w_ = 0;
    double duration_ = 0;
    qint32 numSamples_ = 0;
};
