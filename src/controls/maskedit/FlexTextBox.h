#pragma once

#include <QLineEdit>
#include <QTimer>

// The line edit inside FlexMaskEditBox. It draws its own caret, of the size
// the field asks for: a thin one while inserting, a block as wide as the
// character it replaces in overwrite mode, both as tall as the field says
// (twice the font's point size), centred on the text line and blinking at the
// desktop's rate.
class FlexTextBox : public QLineEdit {
    Q_OBJECT
public:
    explicit FlexTextBox(QWidget* parent = nullptr);

    // Pixels; a width of 1 is the thin insert caret. Height 0 follows the line.
    int CaretWidth() const { return caretWidth_; }
    int CaretHeight() const { return caretHeight_; }
    void SetCaretSize(int width, int height);
    // Where the caret is drawn now, in the box's coordinates.
    QRect CaretRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void restartBlink();

    int caretWidth_ = 1;
    int caretHeight_ = 0;
    bool caretOn_ = true;
    QTimer blink_;
};
