#include "FlexTextBox.h"

#include <QPainter>

FlexTextBox::FlexTextBox(QWidget* parent) : QLineEdit(parent) {}

void FlexTextBox::SetCaretWidth(int pixels) {
    if (pixels == caretWidth_) return;
    caretWidth_ = pixels;
    update();
}

void FlexTextBox::paintEvent(QPaintEvent* event) {
    QLineEdit::paintEvent(event);
    if (caretWidth_ <= 1 || !hasFocus() || hasSelectedText()) return;
    QRect caret = cursorRect();
    caret.setLeft(caret.center().x());
    caret.setWidth(caretWidth_);
    QPainter painter(this);
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter.fillRect(caret, Qt::white);
}
