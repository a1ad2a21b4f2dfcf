#include <QRegularExpression>
#include <QSet>
#include <QTest>

#include "cRandomString.h"

class tst_cRandomString : public QObject {
    Q_OBJECT

private slots:
    void patterns_data() {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("expected");  // regular expression for the whole result
        QTest::newRow("digit range") << "[0-9]"
                                     << "[0-9]";
        QTest::newRow("capital range") << "[A-Z]"
                                       << "[A-Z]";
        QTest::newRow("not a digit") << "[!0-9]"
                                     << "[a-zA-Z]";
        QTest::newRow("single letter") << "[x]"
                                       << "x";
        QTest::newRow("digit wildcard") << "[#]"
                                        << "[0-9]";
        QTest::newRow("set") << "[abc]"
                             << "[abc]";
        QTest::newRow("negated set") << "[!abc]"
                                     << "[0-9d-zA-Z]";
        QTest::newRow("several groups") << " [0-9][A-Z][#][-] "
                                        << "[0-9][A-Z][0-9]-";
        QTest::newRow("range across sets") << "[x-C]"
                                           << "[x-zABC]";
        QTest::newRow("empty") << ""
                               << "";
    }
    void patterns() {
        QFETCH(QString, pattern);
        QFETCH(QString, expected);
        const QRegularExpression whole(QRegularExpression::anchoredPattern(expected));
        for (int i = 0; i < 200; ++i) {
            const QString result = cRandomString().Generate(pattern);
            QVERIFY2(!result.isNull() && whole.match(result).hasMatch(), qPrintable(result));
        }
    }

    void drawsCoverThePool() {
        QSet<QChar> seen;
        for (int i = 0; i < 2000; ++i) seen.insert(cRandomString().Generate("[A-Z]").at(0));
        QCOMPARE(seen.size(), 26);
    }

    void unprocessablePatternsGiveNull_data() {
        QTest::addColumn<QString>("pattern");
        QTest::newRow("range end outside the alphabet") << "[a-%]";
        QTest::newRow("backwards range") << "[9-0]";
        QTest::newRow("nothing left after negation") << "[!0-Z]";
        QTest::newRow("empty group") << "[a][][b]";
    }
    void unprocessablePatternsGiveNull() {
        QFETCH(QString, pattern);
        QVERIFY(cRandomString().Generate(pattern).isNull());
    }
};

QTEST_GUILESS_MAIN(tst_cRandomString)
#include "tst_cRandomString.moc"
