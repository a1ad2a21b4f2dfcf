#pragma once

#include <QDialog>
#include <QList>
#include <QPointer>

class FlexMaskEditBox;
class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QGroupBox;
class QLineEdit;
class QRadioButton;
class QScrollBar;

// The settings page of FlexMaskEditBox: loads the settings of the first widget
// of the selection, keeps its fields consistent while they are edited (a date
// field generates its own mask, the spinners drive their text fields) and writes
// every field back to that widget on Apply.
class Characteristics : public QDialog {
    Q_OBJECT
public:
    explicit Characteristics(QWidget* parent = nullptr);

    // Binds the page to `selection` (only the first widget counts) and loads it.
    void SetSelection(const QList<FlexMaskEditBox*>& selection);
    // Fills the fields from the first selected widget; the page is then unchanged.
    void Load();
    // Writes the fields to the first selected widget. An invalid value (error 122
    // for a decimal separator that is not one character) raises AppError and
    // leaves the properties after it unwritten.
    void Apply();
    bool Changed() const { return changed_; }

signals:
    void ChangedState(bool changed);

private:
    void build();
    QLineEdit* addText(const char* name, const QString& label, const QString& help);
    QCheckBox* addCheck(const char* name, const QString& caption, const QString& help);
    QComboBox* addList(const char* name, const QString& label, const QString& help);
    void fillLists();
    void setChanged(bool changed);
    void fieldTypeChosen();
    bool dateChosen() const;
    void applyClicked();

    QPointer<FlexMaskEditBox> target_;
    bool changed_ = false;
    bool building_ = true;
    int row_ = 0;
    class QGridLayout* grid_ = nullptr;

    QLineEdit* txtMask = nullptr;
    QLineEdit* txtPromptChar = nullptr;
    QComboBox* cboFieldType = nullptr;
    QLineEdit* txtMaxLength = nullptr;
    QScrollBar* VScroll1 = nullptr;
    QComboBox* cboAlignment = nullptr;
    QLineEdit* txtText = nullptr;
    QLineEdit* txtFormatString = nullptr;
    QComboBox* cboFormatAlignment = nullptr;
    QLineEdit* txtSpecialChars = nullptr;
    QLineEdit* txtDecimalSeperator = nullptr;
    QLineEdit* txtChar2ActivateTranNextChar2Upper = nullptr;
    QLineEdit* TxtToolTipText = nullptr;
    QCheckBox* chkEnabled = nullptr;
    QCheckBox* chkExitOnEnter = nullptr;
    QCheckBox* chkMaskCharInclude = nullptr;
    QCheckBox* chkBeepOnError = nullptr;
    QCheckBox* chkPromptInclude = nullptr;
    QCheckBox* chkAutoToLastPos = nullptr;
    QCheckBox* chkInsertZerosInNumField = nullptr;
    QCheckBox* chkUpAndDownKeys2NextFlexMask = nullptr;
    QCheckBox* chkAutoNextFlexInput = nullptr;
    QCheckBox* chkBorderIfFocus = nullptr;
    QCheckBox* chkBorderNoFocus = nullptr;
    QRadioButton* optBorderStyle0 = nullptr;
    QRadioButton* optBorderStyle1 = nullptr;
    QComboBox* cboDateFormat = nullptr;
    QLineEdit* txtDateSeperator = nullptr;
    QComboBox* cboInOutDatFormat = nullptr;
    QLineEdit* txtInOutDateSeperator = nullptr;
    QCheckBox* chkCenturyON = nullptr;
    QLineEdit* txtCentury = nullptr;
    QScrollBar* VScroll2 = nullptr;
    QDialogButtonBox* buttons_ = nullptr;
};
