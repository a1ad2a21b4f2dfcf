#include "Characteristics.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <algorithm>

#include "FlexMaskEditBox.h"
#include "Format.h"
#include "RunTopLevel.h"
#include "mFunctions.h"

namespace {

// The number a text starts with ("12ab" is 12, "-3" is -3, "x" is 0).
int LeadingNumber(const QString& text) {
    const QString t = text.trimmed();
    int i = 0;
    if (i < t.size() && (t.at(i) == u'-' || t.at(i) == u'+')) ++i;
    while (i < t.size() && t.at(i).isDigit() && t.at(i) <= u'9') ++i;
    bool ok = false;
    const qint64 value = t.left(i).toLongLong(&ok);
    return ok ? static_cast<int>(std::clamp<qint64>(value, -100000, 100000)) : 0;
}

// A vertical spinner: its up arrow raises the value.
QScrollBar* MakeSpinner(const char* name, int maximum, QWidget* parent) {
    auto* spinner = new QScrollBar(Qt::Vertical, parent);
    spinner->setObjectName(QLatin1String(name));
    spinner->setRange(0, maximum);
    spinner->setInvertedControls(true);
    spinner->setInvertedAppearance(true);
    spinner->setFixedHeight(spinner->sizeHint().width() * 2);
    return spinner;
}

}  // namespace

Characteristics::Characteristics(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Characteristics"));
    setWindowTitle(QStringLiteral("Characteristics"));
    build();
    building_ = false;
}

QLineEdit* Characteristics::addText(const char* name, const QString& label, const QString& help) {
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QLatin1String(name));
    edit->setToolTip(help);
    auto* caption = new QLabel(label, this);
    caption->setBuddy(edit);
    grid_->addWidget(caption, row_, 0);
    grid_->addWidget(edit, row_++, 1);
    connect(edit, &QLineEdit::textEdited, this, [this] { setChanged(true); });
    return edit;
}

QCheckBox* Characteristics::addCheck(const char* name, const QString& caption,
                                     const QString& help) {
    auto* check = new QCheckBox(caption, this);
    check->setObjectName(QLatin1String(name));
    check->setToolTip(help);
    grid_->addWidget(check, row_++, 0, 1, 2);
    connect(check, &QCheckBox::toggled, this, [this] { setChanged(true); });
    return check;
}

QComboBox* Characteristics::addList(const char* name, const QString& label, const QString& help) {
    auto* list = new QComboBox(this);
    list->setObjectName(QLatin1String(name));
    list->setToolTip(help);
    auto* caption = new QLabel(label, this);
    caption->setBuddy(list);
    grid_->addWidget(caption, row_, 0);
    grid_->addWidget(list, row_++, 1);
    connect(list, &QComboBox::currentIndexChanged, this, [this] { setChanged(true); });
    return list;
}

void Characteristics::build() {
    auto* columns = new QHBoxLayout;
    auto* left = new QGridLayout;
    grid_ = left;
    txtMask = addText("txtMask", QStringLiteral("Mask:"),
                      QStringLiteral("inputMask, compatible with the masks of the common "
                                     "maskeditbox"));
    txtPromptChar = addText("txtPromptChar", QStringLiteral("PromptChar:"),
                            QStringLiteral("promp char ( required Default _)"));
    cboFieldType = addList("cboFieldType", QStringLiteral("FieldType:"),
                           QStringLiteral("by numeric choice Auto to decimal point in text;Choose "
                                          "Date for DateMask"));
    txtMaxLength = addText("txtMaxLength", QStringLiteral("MaxLength:"),
                           QStringLiteral("maximum length of textfield(Maximum between MaskLength "
                                          "and maxLength)"));
    VScroll1 = MakeSpinner("VScroll1", 999, this);
    grid_->addWidget(VScroll1, row_ - 1, 2);
    cboAlignment = addList("cboAlignment", QStringLiteral("Text Alignment:"), {});
    txtText = addText("txtText", QStringLiteral("Text:"), {});
    txtFormatString = addText("txtFormatString", QStringLiteral("Format String"),
                              QStringLiteral("formatString when Flex has no focus. (identical to "
                                             "the format function)"));
    cboFormatAlignment = addList("cboFormatAlignment", QStringLiteral("Format Alignment"), {});
    txtSpecialChars = addText("txtSpecialChars", QStringLiteral("SpecialChars:"),
                              QStringLiteral("special Chars who are ignored by the mask (for "
                                             "instance * for Find *)"));
    txtDecimalSeperator = addText("txtDecimalSeperator", QStringLiteral("DecimalSeperator:"),
                                  QStringLiteral("DecimalSeperator (The . will stay valid for "
                                                 "decimal input when pushed"));
    txtChar2ActivateTranNextChar2Upper = addText(
        "txtChar2ActivateTranNextChar2Upper", QStringLiteral("Char2ActivateTranNextChar2Upper:"),
        QStringLiteral("Transform next char to uppercase if one of the chars is found"));
    TxtToolTipText = addText("TxtToolTipText", QStringLiteral("ToolTipText"), {});

    auto* middle = new QGridLayout;
    grid_ = middle;
    row_ = 0;
    chkEnabled = addCheck("chkEnabled", QStringLiteral("Enabled"), {});
    chkExitOnEnter = addCheck(
        "chkExitOnEnter", QStringLiteral("ExitOnEnter"),
        QStringLiteral("focus to the next Control in tab order list when ReturnKey (to next "
                       "FlexMask when Up/Down is True) is pressed."));
    chkMaskCharInclude =
        addCheck("chkMaskCharInclude", QStringLiteral("MaskChar/DateSeperator Include"),
                 QStringLiteral("don't filter mask chars or DateSeperator out of text."));
    chkBeepOnError = addCheck("chkBeepOnError", QStringLiteral("BeepOnError"),
                              QStringLiteral("beep when user gives invalid input"));
    chkPromptInclude = addCheck("chkPromptInclude", QStringLiteral("PromptCharInclude"),
                                QStringLiteral("don't filter prompt char out of text"));
    chkAutoToLastPos = addCheck("chkAutoToLastPos", QStringLiteral("AutoToLastPos"),
                                QStringLiteral("automatic to last char in the text field"));
    chkInsertZerosInNumField =
        addCheck("chkInsertZerosInNumField", QStringLiteral("InsertZerosInNumField"),
                 QStringLiteral("Insert 0 in a Numeric Field"));
    chkUpAndDownKeys2NextFlexMask = addCheck(
        "chkUpAndDownKeys2NextFlexMask", QStringLiteral("Navigate with Up/Down Keys"),
        QStringLiteral("Use the Up and (Down or Return) keys for Previous/Next FlexMaskBox"));
    chkAutoNextFlexInput = addCheck(
        "chkAutoNextFlexInput", QStringLiteral("AutoNextFlexInput"),
        QStringLiteral("go to next flexmaskbox after the last possible input has filled in"));
    chkBorderIfFocus = addCheck(
        "chkBorderIfFocus", QStringLiteral("BorderIfFocus"),
        QStringLiteral("Draw a border around the control when the control has Focus (Active)"));
    chkBorderNoFocus =
        addCheck("chkBorderNoFocus", QStringLiteral("BorderNoFocus"),
                 QStringLiteral("Draw a border around the control when the control has NO Focus "
                                "(InActive)"));
    auto* borderFrame = new QGroupBox(QStringLiteral("BorderStyle / Appearance"), this);
    auto* borderLayout = new QHBoxLayout(borderFrame);
    optBorderStyle0 = new QRadioButton(QStringLiteral("None"), borderFrame);
    optBorderStyle0->setObjectName(QStringLiteral("optBorderStyle(0)"));
    optBorderStyle1 = new QRadioButton(QStringLiteral("FixedSingle"), borderFrame);
    optBorderStyle1->setObjectName(QStringLiteral("optBorderStyle(1)"));
    optBorderStyle1->setChecked(true);
    borderLayout->addWidget(optBorderStyle0);
    borderLayout->addWidget(optBorderStyle1);
    connect(optBorderStyle0, &QRadioButton::toggled, this, [this] { setChanged(true); });
    middle->addWidget(borderFrame, row_++, 0, 1, 2);

    auto* dateFrame = new QGroupBox(QStringLiteral("Date Property's"), this);
    auto* date = new QGridLayout(dateFrame);
    grid_ = date;
    row_ = 0;
    const QString sepHelp = QStringLiteral(
        "DateSeperator seperate Century from Month and Day (ignored when LOCAL SETTING is "
        "Choosen (First Item))");
    cboDateFormat = addList("cboDateFormat", QStringLiteral("Work DateFormat"),
                            QStringLiteral("DateFormat where the user works with, independent of "
                                           "the LOCAL MACHINE settings  (First Item in Capital "
                                           "Letters = LOCAL SETTING)"));
    txtDateSeperator = addText("txtDateSeperator", QStringLiteral("Sep"), sepHelp);
    cboInOutDatFormat = addList("cboInOutDatFormat", QStringLiteral("InOutDateFormat"),
                                QStringLiteral("DateFormat For Read and Write purpose outside the "
                                               "control (First Item in Capital Letters = LOCAL "
                                               "SETTING)"));
    txtInOutDateSeperator = addText("txtInOutDateSeperator", QStringLiteral("Sep"), sepHelp);
    chkCenturyON = addCheck("chkCenturyON", QStringLiteral("CenturyON"),
                            QStringLiteral("century indication by an date field"));
    txtCentury = new QLineEdit(dateFrame);
    txtCentury->setObjectName(QStringLiteral("txtCentury"));
    txtCentury->setToolTip(QStringLiteral(
        "century indication in mask (and the text when MaskCharInclude is selected)"));
    connect(txtCentury, &QLineEdit::textEdited, this, [this] { setChanged(true); });
    VScroll2 = MakeSpinner("VScroll2", 35, dateFrame);
    date->addWidget(txtCentury, row_, 1);
    date->addWidget(VScroll2, row_++, 2);
    middle->addWidget(dateFrame, row_ + 20, 0, 1, 2);

    // Reactions that keep the fields consistent.
    connect(VScroll1, &QScrollBar::valueChanged, this, [this](int value) {
        txtMaxLength->setText(zs::Format(value, QStringLiteral("###000")));
        setChanged(true);
    });
    connect(VScroll2, &QScrollBar::valueChanged, this, [this](int value) {
        txtMask->clear();
        txtCentury->setText(zs::Format(value, QStringLiteral("##00")));
        setChanged(true);
    });
    connect(cboFieldType, &QComboBox::currentIndexChanged, this, [this] { fieldTypeChosen(); });
    connect(cboDateFormat, &QComboBox::currentIndexChanged, this, [this] {
        if (dateChosen()) fieldTypeChosen();
    });
    connect(chkCenturyON, &QCheckBox::toggled, this, [this] {
        if (dateChosen()) txtMask->clear();
    });

    buttons_ = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Apply, this);
    connect(buttons_->button(QDialogButtonBox::Apply), &QPushButton::clicked, this,
            &Characteristics::applyClicked);
    connect(buttons_, &QDialogButtonBox::accepted, this, [this] {
        applyClicked();
        if (!changed_) accept();
    });
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);

    columns->addLayout(left);
    columns->addLayout(middle);
    auto* page = new QVBoxLayout(this);
    page->addLayout(columns);
    page->addWidget(buttons_);
    setChanged(false);
}

void Characteristics::fillLists() {
    cboFieldType->clear();
    cboFieldType->addItems({QStringLiteral("A - AlfaNumericFieldField"), QStringLiteral("D - Date"),
                            QStringLiteral("N - NumericField")});
    for (QComboBox* list : {cboAlignment, cboFormatAlignment}) {
        list->clear();
        list->addItems({QStringLiteral("0 - vbLeftJustify"), QStringLiteral("1 - vbRightJustify"),
                        QStringLiteral("2 - vbCenter")});
    }
    cboDateFormat->clear();
    cboDateFormat->addItem(mFunctions::LocaleDatePattern());
    for (int i = 1; i < mFunctions::DateFormatCount; ++i) {
        cboDateFormat->addItem(mFunctions::DateFormat(i));
    }
    cboInOutDatFormat->clear();
    for (int i = 0; i < cboDateFormat->count(); ++i) {
        cboInOutDatFormat->addItem(cboDateFormat->itemText(i));
    }
}

void Characteristics::SetSelection(const QList<FlexMaskEditBox*>& selection) {
    target_ = selection.isEmpty() ? nullptr : selection.first();
    Load();
}

void Characteristics::Load() {
    if (!target_) return;
    FlexMaskEditBox& box = *target_;
    txtDecimalSeperator->setText(box.DecimalSeperator());
    optBorderStyle0->setChecked(box.BorderStyle() == 0);
    optBorderStyle1->setChecked(box.BorderStyle() == 1);
    const std::pair<QCheckBox*, bool> checks[] = {
        {chkEnabled, box.Enabled()},
        {chkExitOnEnter, box.ExitOnEnter()},
        {chkMaskCharInclude, box.MaskCharInclude()},
        {chkBeepOnError, box.BeepOnError()},
        {chkPromptInclude, box.PromptInclude()},
        {chkAutoToLastPos, box.AutoToLastPos()},
        {chkInsertZerosInNumField, box.InsertZerosInNumField()},
        {chkUpAndDownKeys2NextFlexMask, box.UpAndDownKeys2NextFlexMask()},
        {chkAutoNextFlexInput, box.AutoNextFlexInput()},
        {chkBorderIfFocus, box.BorderIfFocus()},
        {chkBorderNoFocus, box.BorderNoFocus()},
        {chkCenturyON, box.CenturyON()},
    };
    for (const auto& [check, value] : checks) check->setChecked(value);
    txtChar2ActivateTranNextChar2Upper->setText(box.Char2ActivateTranNextChar2Upper());
    txtDateSeperator->setText(box.DateSeperator());
    txtFormatString->setText(box.FormatString());
    txtSpecialChars->setText(box.SpecialChars());
    TxtToolTipText->setText(box.ToolTipText());
    txtInOutDateSeperator->setText(box.InOutDateSeperator());

    fillLists();
    cboAlignment->setCurrentIndex(box.Alignment());
    cboDateFormat->setCurrentIndex(box.Dateformat());
    cboInOutDatFormat->setCurrentIndex(box.InOutDateformat());
    cboFormatAlignment->setCurrentIndex(box.FormatAlignment());
    cboFieldType->setCurrentIndex(box.FieldType());

    txtMaxLength->setText(QString::number(box.MaxLength()));
    txtCentury->setText(QString::number(box.Century()));
    VScroll1->setValue(std::clamp(LeadingNumber(txtMaxLength->text()), 0, 999));
    VScroll2->setValue(std::clamp(LeadingNumber(txtCentury->text()), 0, 35));

    txtPromptChar->setText(box.PromptChar());
    txtText->setText(box.Text());
    txtMask->setText(box.Mask());
    txtMask->setReadOnly(dateChosen());
    setChanged(false);
}

void Characteristics::Apply() {
    if (!target_) return;
    FlexMaskEditBox& box = *target_;
    // The first refused value ends Apply, in the form editor as at run time.
    const FlexMaskEditBox::RefusalsToCaller refusals(box);
    box.setDecimalSeperator(txtDecimalSeperator->text());
    box.setBorderStyle(optBorderStyle0->isChecked() ? 0 : 1);
    box.setBorderNoFocus(chkBorderNoFocus->isChecked());
    box.setBorderIfFocus(chkBorderIfFocus->isChecked());
    box.setChar2ActivateTranNextChar2Upper(txtChar2ActivateTranNextChar2Upper->text());
    box.setAutoNextFlexInput(chkAutoNextFlexInput->isChecked());
    box.setUpAndDownKeys2NextFlexMask(chkUpAndDownKeys2NextFlexMask->isChecked());
    box.setInsertZerosInNumField(chkInsertZerosInNumField->isChecked());
    box.setFormatString(txtFormatString->text());
    box.setSpecialChars(txtSpecialChars->text());
    box.setEnabledProperty(chkEnabled->isChecked());
    box.setExitOnEnter(chkExitOnEnter->isChecked());
    box.setFieldType(cboFieldType->currentIndex());
    box.setDateformat(cboDateFormat->currentIndex());
    box.setInOutDateformat(cboInOutDatFormat->currentIndex());
    box.setCentury(std::clamp(LeadingNumber(txtCentury->text()), 0, 35));
    box.setDateSeperator(txtDateSeperator->text());
    box.setMaskCharInclude(chkMaskCharInclude->isChecked());
    box.setPromptChar(txtPromptChar->text());
    box.setInOutDateSeperator(txtInOutDateSeperator->text());
    box.setBeepOnError(chkBeepOnError->isChecked());
    box.setPromptInclude(chkPromptInclude->isChecked());
    box.setAutoToLastPos(chkAutoToLastPos->isChecked());
    box.setAlignment(cboAlignment->currentIndex());
    box.setFormatAlignment(cboFormatAlignment->currentIndex());
    box.setCenturyON(chkCenturyON->isChecked());
    box.setMaxLength(std::clamp(LeadingNumber(txtMaxLength->text()), 0, 999));
    box.setMask(txtMask->text());
    box.setText(txtText->text());
    box.setToolTipText(TxtToolTipText->text());
    setChanged(false);
}

void Characteristics::applyClicked() {
    zs::RunTopLevel(this, [this] { Apply(); });
}

void Characteristics::setChanged(bool changed) {
    if (building_ && changed) return;
    changed_ = changed;
    if (buttons_) buttons_->button(QDialogButtonBox::Apply)->setEnabled(changed);
    emit ChangedState(changed);
}

bool Characteristics::dateChosen() const {
    return cboFieldType->currentIndex() == 1;
}

void Characteristics::fieldTypeChosen() {
    txtMask->clear();
    txtMaxLength->setText(QStringLiteral("0"));
    VScroll2->setValue(0);
    txtMask->setReadOnly(dateChosen());
    setChanged(true);
}
