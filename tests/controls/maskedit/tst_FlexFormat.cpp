#include <QtTest>

#include "FlexFormat.h"

class tst_FlexFormat : public QObject {
    Q_OBJECT
private slots:
    void apply_data();
    void apply();
};

void tst_FlexFormat::apply_data() {
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("result");
    const QDate none;
    QTest::newRow("digits") << "12"
                            << "####" << none << "12";
    QTest::newRow("empty number") << ""
                                  << "####" << none << "";
    QTest::newRow("padded") << "7"
                            << "0000" << none << "0007";
    QTest::newRow("decimals") << "1234.5"
                              << "#,##0.00" << none << "1,234.50";
    QTest::newRow("not a number") << "abc"
                                  << "####" << none << "abc";
    QTest::newRow("no pattern") << "abc"
                                << "" << none << "abc";
    QTest::newRow("text right-aligned") << "ab"
                                        << "@@@@" << none << "  ab";
    QTest::newRow("text from the left") << "ab"
                                        << "!@@@@" << none << "ab  ";
    QTest::newRow("optional places") << "ab"
                                     << "&&&&" << none << "ab";
    QTest::newRow("literals and upper") << "abcd"
                                        << ">@@-@@" << none << "AB-CD";
    QTest::newRow("overflow kept") << "abcde"
                                   << "@@@" << none << "abcde";
    QTest::newRow("date") << "2004/03/01"
                          << "dd-mm-yyyy" << QDate(2004, 3, 1) << "01-03-2004";
    QTest::newRow("date names") << "x"
                                << "d mmmm yy" << QDate(2004, 3, 1) << "1 March 04";
}

void tst_FlexFormat::apply() {
    QFETCH(QString, value);
    QFETCH(QString, pattern);
    QFETCH(QDate, date);
    QTEST(FlexFormat::Apply(value, pattern, date, QLocale(QLocale::English, QLocale::UnitedStates)),
          "result");
}

QTEST_GUILESS_MAIN(tst_FlexFormat)
#include "tst_FlexFormat.moc"
