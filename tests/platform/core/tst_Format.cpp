#include <QTest>

#include "Format.h"

class tst_Format : public QObject {
    Q_OBJECT

private slots:
    void patterns_data() {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("english");
        QTest::addColumn<QString>("german");
        QTest::newRow("grouped, two places") << QVariant(1234.5) << "#,##0.00"
                                             << "1,234.50"
                                             << "1.234,50";
        QTest::newRow("optional places") << QVariant(5512.5) << "#,##0.##"
                                         << "5,512.5"
                                         << "5.512,5";
        QTest::newRow("no places left") << QVariant(5512) << "#,##0.##"
                                        << "5,512"
                                        << "5.512";
        QTest::newRow("hash") << QVariant(7) << "####"
                              << "7"
                              << "7";
        QTest::newRow("zeros") << QVariant(7) << "0000"
                               << "0007"
                               << "0007";
        QTest::newRow("more digits than places") << QVariant(123456) << "00"
                                                 << "123456"
                                                 << "123456";
        QTest::newRow("millions") << QVariant(qint64(1234567890)) << "#,#"
                                  << "1,234,567,890"
                                  << "1.234.567.890";
        QTest::newRow("half away from zero") << QVariant(2.5) << "0"
                                             << "3"
                                             << "3";
        QTest::newRow("negative half") << QVariant(-2.5) << "0"
                                       << "-3"
                                       << "-3";
        QTest::newRow("decimal, not binary") << QVariant(1.005) << "0.00"
                                             << "1.01"
                                             << "1,01";
        QTest::newRow("carry") << QVariant(999.996) << "#,##0.00"
                               << "1,000.00"
                               << "1.000,00";
        QTest::newRow("negative to zero") << QVariant(-0.001) << "0.00"
                                          << "0.00"
                                          << "0,00";
        QTest::newRow("no integer digit") << QVariant(0.5) << "#.##"
                                          << ".5"
                                          << ",5";
        QTest::newRow("point only") << QVariant(12.5) << ".00"
                                    << "12.50"
                                    << "12,50";
        QTest::newRow("quoted literal") << QVariant(5) << "0\" Hz\""
                                        << "5 Hz"
                                        << "5 Hz";
        QTest::newRow("escaped literal") << QVariant(5) << "\\#0\\,"
                                         << "#5,"
                                         << "#5,";
        QTest::newRow("literals between digits") << QVariant(qint64(5551234567)) << "(###) ###-####"
                                                 << "(555) 123-4567"
                                                 << "(555) 123-4567";
        QTest::newRow("text holding a number") << QVariant("42") << "000"
                                               << "042"
                                               << "042";
        QTest::newRow("not a number") << QVariant("abc") << "0.00"
                                      << "abc"
                                      << "abc";
        QTest::newRow("no pattern") << QVariant(-3.25) << ""
                                    << "-3.25"
                                    << "-3,25";
        QTest::newRow("tiny") << QVariant(1e-20) << "0.00"
                              << "0.00"
                              << "0,00";
        QTest::newRow("huge") << QVariant(1e20) << "#,##0"
                              << "100,000,000,000,000,000,000"
                              << "100.000.000.000.000.000.000";
    }
    void patterns() {
        QFETCH(QVariant, value);
        QFETCH(QString, pattern);
        QFETCH(QString, english);
        QFETCH(QString, german);
        QCOMPARE(zs::Format(value, pattern, QLocale(QLocale::English, QLocale::UnitedStates)),
                 english);
        QCOMPARE(zs::Format(value, pattern, QLocale(QLocale::German, QLocale::Germany)), german);
    }
};

QTEST_GUILESS_MAIN(tst_Format)
#include "tst_Format.moc"
