#include "FlexMaskEditBox.h"

#include <QResizeEvent>
#include <algorithm>

FlexMaskEditBox::FlexMaskEditBox(QWidget* parent) : QWidget(parent), txtFlex(new QLineEdit(this)) {
    txtFlex->setObjectName(QStringLiteral("txtFlex"));
    setFocusProxy(txtFlex);
    setFocusPolicy(Qt::StrongFocus);
    connect(txtFlex, &QLineEdit::textChanged, this, &FlexMaskEditBox::Change);
}

void FlexMaskEditBox::setMask(const QString& New_Mask) { mask_ = New_Mask; }

void FlexMaskEditBox::setMaxLength(int New_MaxLength) {
    txtFlex->setMaxLength(std::clamp(New_MaxLength, 0, 999) == 0 ? 32767
                                                                  : std::clamp(New_MaxLength, 0, 999));
}

QString FlexMaskEditBox::Text() const { return txtFlex->text(); }

void FlexMaskEditBox::setText(const QString& New_Text) { txtFlex->setText(New_Text); }

int FlexMaskEditBox::SelStart() const {
    return txtFlex->hasSelectedText() ? txtFlex->selectionStart() : txtFlex->cursorPosition();
}

void FlexMaskEditBox::setSelStart(int New_SelStart) { txtFlex->setCursorPosition(New_SelStart); }

int FlexMaskEditBox::SelLength() const { return txtFlex->selectedText().length(); }

void FlexMaskEditBox::setSelLength(int New_SelLength) {
    txtFlex->setSelection(SelStart(), New_SelLength);
}

void FlexMaskEditBox::resizeEvent(QResizeEvent* event) {
    txtFlex->setGeometry(0, 0, event->size().width(), event->size().height());
    QWidget::resizeEvent(event);
}
