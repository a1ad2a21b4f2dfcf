#pragma once

#include <QLabel>

// A one-line label that shows a text too long for its width with an ellipsis
// in the middle (so a file name keeps its extension) and the whole text as
// its tool tip. text() stays the whole text; the label asks for no more room
// than a few characters, so a long text never widens its window.
class ElidedLabel : public QLabel {
    Q_OBJECT

public:
    using QLabel::QLabel;

    QSize minimumSizeHint() const override;
    // What the label shows now.
    QString shownText() const;

protected:
    void paintEvent(QPaintEvent* event) override;
};
