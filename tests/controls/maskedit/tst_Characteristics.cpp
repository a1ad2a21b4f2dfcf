#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QtTest>

#include "Ambient.h"
#include "AppError.h"
#include "Characteristics.h"
#include "FlexMaskEditBox.h"
#include "MsgBox.h"
#include "mFunctions.h"

class tst_Characteristics : public QObject {
    Q_OBJECT

    template <typename T>
    static T* field(Characteristics& page, const char* name) {
        T* widget = page.findChild<T*>(QLatin1String(name));
        if (!widget) qFatal("no field %s", name);
        return widget;
    }

private slots:
    void fieldsAndLists();
    void loadFormatsSpinners();
    void dateTypeLocksMask();
    void applyClampsAndWritesFirstOnly();
    void invalidSeparatorStopsApply_data();
    void invalidSeparatorStopsApply();
};

void tst_Characteristics::fieldsAndLists() {
    Characteristics page;
    FlexMaskEditBox box;
    page.SetSelection({&box});
    QCOMPARE(page.windowTitle(), QStringLiteral("Characteristics"));
    QCOMPARE(field<QLineEdit>(page, "txtMask")->toolTip(),
             QStringLiteral("inputMask, compatible with the masks of the common maskeditbox"));
    QCOMPARE(field<QCheckBox>(page, "chkMaskCharInclude")->text(),
             QStringLiteral("MaskChar/DateSeperator Include"));
    auto* types = field<QComboBox>(page, "cboFieldType");
    QCOMPARE(types->count(), 3);
    QCOMPARE(types->itemText(0), QStringLiteral("A - AlfaNumericFieldField"));
    QCOMPARE(types->itemText(2), QStringLiteral("N - NumericField"));
    auto* align = field<QComboBox>(page, "cboFormatAlignment");
    QCOMPARE(align->itemText(0), QStringLiteral("0 - vbLeftJustify"));
    QCOMPARE(align->itemText(2), QStringLiteral("2 - vbCenter"));
    auto* dates = field<QComboBox>(page, "cboDateFormat");
    QCOMPARE(dates->count(), 15);
    QCOMPARE(dates->itemText(0), mFunctions::LocaleDatePattern());
    QCOMPARE(dates->itemText(1), QStringLiteral("ddmmyyyy"));
    QCOMPARE(field<QComboBox>(page, "cboInOutDatFormat")->itemText(14), QStringLiteral("ddmm"));
    QVERIFY(!page.Changed());
}

void tst_Characteristics::loadFormatsSpinners() {
    FlexMaskEditBox box;
    box.setMaxLength(4);
    box.setMask(QStringLiteral("####"));
    box.setCentury(9);
    box.setBorderStyle(0);
    Characteristics page;
    page.SetSelection({&box});
    QCOMPARE(field<QLineEdit>(page, "txtMaxLength")->text(), QStringLiteral("004"));
    QCOMPARE(field<QLineEdit>(page, "txtCentury")->text(), QStringLiteral("09"));
    QCOMPARE(field<QLineEdit>(page, "txtMask")->text(), QStringLiteral("####"));
    QVERIFY(field<QRadioButton>(page, "optBorderStyle(0)")->isChecked());
    field<QScrollBar>(page, "VScroll1")->setValue(12);
    QCOMPARE(field<QLineEdit>(page, "txtMaxLength")->text(), QStringLiteral("012"));
    QVERIFY(page.Changed());
}

void tst_Characteristics::dateTypeLocksMask() {
    FlexMaskEditBox box;
    box.setMask(QStringLiteral("###"));
    Characteristics page;
    page.SetSelection({&box});
    auto* mask = field<QLineEdit>(page, "txtMask");
    QVERIFY(!mask->isReadOnly());
    field<QComboBox>(page, "cboFieldType")->setCurrentIndex(1);
    QVERIFY(mask->text().isEmpty());
    QVERIFY(mask->isReadOnly());
    QCOMPARE(field<QLineEdit>(page, "txtMaxLength")->text(), QStringLiteral("0"));
    mask->setText(QStringLiteral("x"));
    field<QCheckBox>(page, "chkCenturyON")->setChecked(true);
    QVERIFY(mask->text().isEmpty());
    field<QComboBox>(page, "cboDateFormat")->setCurrentIndex(1);
    page.Apply();
    // The date field makes its own mask from the date settings.
    QCOMPARE(box.FieldType(), 1);
    QVERIFY(box.CenturyON());
    QVERIFY(box.Mask().startsWith(QStringLiteral("##-##-\\")));
}

void tst_Characteristics::applyClampsAndWritesFirstOnly() {
    FlexMaskEditBox first;
    FlexMaskEditBox second;
    second.setMask(QStringLiteral("??"));
    Characteristics page;
    page.SetSelection({&first, &second});
    field<QLineEdit>(page, "txtCentury")->setText(QStringLiteral("99"));
    field<QLineEdit>(page, "txtMaxLength")->setText(QStringLiteral("-5"));
    field<QLineEdit>(page, "txtMask")->setText(QStringLiteral("(###)"));
    field<QLineEdit>(page, "txtText")->setText(QStringLiteral("12"));
    field<QCheckBox>(page, "chkBeepOnError")->setChecked(true);
    page.Apply();
    QCOMPARE(first.Century(), 35);
    QCOMPARE(first.MaxLength(), 5);  // 0 asked; the mask gives five positions
    QCOMPARE(first.TextAsDisplayed(), QStringLiteral("(12_)"));
    QVERIFY(first.BeepOnError());
    QVERIFY(!page.Changed());
    QCOMPARE(second.Mask(), QStringLiteral("??"));
    QVERIFY(!second.BeepOnError());
}

void tst_Characteristics::invalidSeparatorStopsApply_data() {
    QTest::addColumn<bool>("designMode");
    QTest::newRow("run time") << false;
    QTest::newRow("form editor") << true;
}

// The refused separator ends Apply with error 122 in both modes: nothing after
// it is written, and the widget shows no box of its own on the way.
void tst_Characteristics::invalidSeparatorStopsApply() {
    QFETCH(bool, designMode);
    QWidget host;
    Ambient::SetDesignMode(&host, designMode);
    auto* box = new FlexMaskEditBox(&host);
    box->setDecimalSeperator(QStringLiteral("."));
    QStringList boxes;
    MsgBox::SetResponder([&boxes](const MsgBox::Shown& shown) {
        boxes << shown.text;
        return QMessageBox::Ok;
    });
    Characteristics page;
    page.SetSelection({box});
    field<QLineEdit>(page, "txtDecimalSeperator")->setText(QStringLiteral("ab"));
    field<QRadioButton>(page, "optBorderStyle(0)")->setChecked(true);
    field<QLineEdit>(page, "txtMask")->setText(QStringLiteral("##"));
    try {
        page.Apply();
        QFAIL("no error");
    } catch (const AppError& error) {
        QCOMPARE(error.Number, 122);
        QCOMPARE(error.Description, QStringLiteral("MUST be 1 char long"));
    }
    MsgBox::SetResponder({});
    QCOMPARE(boxes, QStringList());
    QCOMPARE(box->DecimalSeperator(), QStringLiteral("."));
    QCOMPARE(box->BorderStyle(), 1);
    QVERIFY(box->Mask().isEmpty());
    QVERIFY(page.Changed());
}

QTEST_MAIN(tst_Characteristics)
#include "tst_Characteristics.moc"
