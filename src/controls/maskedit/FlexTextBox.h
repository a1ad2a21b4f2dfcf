#pragma once

#include <QLineEdit>

// The line edit inside FlexMaskEditBox. In overwrite mode it draws a block caret
// as wide as the character cell it replaces.
class FlexTextBox : public QLineEdit {
    Q_OBJECT
public:
    explicit FlexTextBox(QWidget* parent = nullptr);

    // 1 = the normal thin caret; more = a block caret of that many pixels.
    int CaretWidth() const { return caretWidth_; }
    void SetCaretWidth(int pixels);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int caretWidth_ = 1;
};
