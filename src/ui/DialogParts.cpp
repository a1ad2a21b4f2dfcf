#include "DialogParts.h"

#include <QCheckBox>
#include <QDir>
#include <QFont>
#include <QFrame>
#include <QLabel>
#include <QRadioButton>

#include "FlexMaskEditBox.h"
#include "HiLiteMe.h"
#include "QuillonButton.h"

namespace DialogParts {

namespace {

QString Spoken(const QString& caption) {
    return QString(caption).remove(QLatin1Char('&'));
}

}  // namespace

QFrame* NewPanel(QWidget* parent) {
    auto* frame = new QFrame(parent);
    frame->setFrameShape(QFrame::StyledPanel);
    frame->setFrameShadow(QFrame::Sunken);
    return frame;
}

QRadioButton* NewOption(QWidget* parent, const QString& name, const QString& caption) {
    auto* r = new QRadioButton(caption, parent);
    r->setObjectName(name);
    r->setAccessibleName(Spoken(caption));
    return r;
}

QCheckBox* NewCheck(QWidget* parent, const QString& name, const QString& caption) {
    auto* c = new QCheckBox(caption, parent);
    c->setObjectName(name);
    c->setAccessibleName(Spoken(caption));
    return c;
}

QuillonButton* NewCommandButton(QWidget* parent, const QString& name, const QString& caption,
                                const QString& tip) {
    auto* b = new QuillonButton(parent);
    b->setObjectName(name);
    QuillonButton::ApplyProgramLook(b);
    b->setCaption(caption);
    b->setToolTip(tip);
    b->setAccessibleName(Spoken(caption));
    return b;
}

QLabel* NewFolderLabel(QWidget* parent, const QString& folder) {
    auto* label = new QLabel(parent);
    label->setObjectName(QStringLiteral("lblFolder"));
    const QString shown = QDir::toNativeSeparators(folder);
    label->setText(QStringLiteral("Folder: ") +
                   label->fontMetrics().elidedText(shown, Qt::ElideMiddle, 480));
    label->setToolTip(shown);
    label->setAccessibleName(QStringLiteral("Folder"));
    label->setAccessibleDescription(shown);
    return label;
}

FlexMaskEditBox* NewInternalIDField(QWidget* parent) {
    auto* field = new FlexMaskEditBox(parent);
    field->setObjectName(QStringLiteral("mskInternalID"));
    field->setAccessibleName(QStringLiteral("Internal ID#"));
    field->setFieldType(2);
    field->setDecimalSeperator(QStringLiteral("."));
    field->setInsertZerosInNumField(false);
    field->setDateSeperator(QStringLiteral("/"));
    field->setInOutDateSeperator(QStringLiteral("/"));
    field->setMaxLength(4);
    field->setFormatString(QStringLiteral("####"));
    field->setAlignment(2);
    field->setFormatAlignment(2);
    field->setFontBold(true);
    QFont bold = field->FormatFont();
    bold.setBold(true);
    field->setFormatFont(bold);
    field->setMask(QStringLiteral("####"));
    mUtility::HiLiteOnFocus(field);
    return field;
}

}  // namespace DialogParts
