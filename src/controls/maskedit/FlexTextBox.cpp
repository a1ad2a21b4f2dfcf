#include "FlexTextBox.h"

#include <QApplication>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleFactory>

namespace {

// Hides the line edit's own caret; the box draws the one the field asks for.
class NoCaretStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override {
        if (metric == PM_TextCursorWidth) return 0;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

// One for all boxes, over the application's style, owned by the application
// so that it outlives every box.
QStyle* SharedNoCaretStyle() {
    static QPointer<QStyle> style;
    if (!style) {
        style = new NoCaretStyle(QStyleFactory::create(QApplication::style()->name()));
        style->setParent(qApp);
    }
    return style;
}

}  // namespace

FlexTextBox::FlexTextBox(QWidget* parent) : QLineEdit(parent) {
    setStyle(SharedNoCaretStyle());
    connect(&blink_, &QTimer::timeout, this, [this] {
        caretOn_ = !caretOn_;
        update(CaretRect());
    });
    connect(this, &QLineEdit::cursorPositionChanged, this, &FlexTextBox::restartBlink);
    connect(this, &QLineEdit::selectionChanged, this, &FlexTextBox::restartBlink);
}

void FlexTextBox::SetCaretSize(int width, int height) {
    if (width == caretWidth_ && height == caretHeight_) return;
    caretWidth_ = width;
    caretHeight_ = height;
    update();
}

QRect FlexTextBox::CaretRect() const {
    const QRect line = cursorRect();
    QRect caret = line;
    // cursorRect() is a few pixels wide around the insertion point.
    caret.setLeft(line.center().x());
    caret.setWidth(qMax(1, caretWidth_));
    if (caretHeight_ > 0) {
        caret.setHeight(caretHeight_);
        caret.moveCenter(QPoint(caret.center().x(), line.center().y()));
    }
    return caret;
}

void FlexTextBox::restartBlink() {
    caretOn_ = true;
    const int flash = QApplication::cursorFlashTime();
    if (hasFocus() && flash > 0)
        blink_.start(flash / 2);
    else
        blink_.stop();
    update();
}

void FlexTextBox::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    restartBlink();
}

void FlexTextBox::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    blink_.stop();
    update();
}

void FlexTextBox::paintEvent(QPaintEvent* event) {
    QLineEdit::paintEvent(event);
    if (!caretOn_ || !hasFocus() || hasSelectedText() || isReadOnly()) return;
    QPainter painter(this);
    if (caretWidth_ > 1) {
        // The block shows the character under it inverted.
        painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        painter.fillRect(CaretRect(), Qt::white);
    } else {
        painter.fillRect(CaretRect(), palette().color(QPalette::Text));
    }
}
