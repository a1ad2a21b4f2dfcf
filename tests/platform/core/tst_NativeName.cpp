#include <QtTest>

#include "NativeName.h"

// File names as bytes and as text: every name makes the round trip.
class tst_NativeName : public QObject {
    Q_OBJECT

private slots:
    void roundTrip_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        const QString ff(QChar(0xDCFF));
        QTest::newRow("ascii") << QByteArray("boom.snd") << QStringLiteral("boom.snd");
        QTest::newRow("utf-8") << QByteArray("k\xc3\xa4se.wav") << QStringLiteral("käse.wav");
        QTest::newRow("astral") << QByteArray("\xf0\x9f\x94\x8a.snd")
                                << QString::fromUtf8("\xf0\x9f\x94\x8a.snd");
        QTest::newRow("lone byte") << QByteArray("b\xff.snd") << "b" + ff + ".snd";
        QTest::newRow("latin-1") << QByteArray("k\xe4se") << "k" + QString(QChar(0xDCE4)) + "se";
        QTest::newRow("cut sequence") << QByteArray("a\xc3") << "a" + QString(QChar(0xDCC3));
        QTest::newRow("overlong /")
            << QByteArray("\xc0\xaf") << QString(QChar(0xDCC0)) + QChar(0xDCAF);
        QTest::newRow("encoded surrogate")
            << QByteArray("\xed\xb3\xbf") << QString(QChar(0xDCED)) + QChar(0xDCB3) + QChar(0xDCBF);
        QTest::newRow("past U+10FFFF")
            << QByteArray("\xf4\x90\x80\x80")
            << QString(QChar(0xDCF4)) + QChar(0xDC90) + QChar(0xDC80) + QChar(0xDC80);
    }
    void roundTrip() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(NativeName::Decode(bytes), text);
        QCOMPARE(NativeName::Encode(text), bytes);
    }

    void upperCaseKeepsOddBytes() {
        const QString name = NativeName::Decode("b\xff\xe4.snd");
        QCOMPARE(NativeName::Encode(NativeName::ToUpper(name)), QByteArray("B\xff\xe4.SND"));
        QCOMPARE(NativeName::ToUpper(QStringLiteral("käse")), QStringLiteral("KÄSE"));
        QCOMPARE(NativeName::ToUpper(QStringLiteral("az@[`{~ 09_.Snd")),
                 QStringLiteral("AZ@[`{~ 09_.SND"));
        // A real astral character's low half is not an escaped byte.
        const QString astral = QString::fromUtf8("\xf0\x9f\x94\x8a");
        QCOMPARE(NativeName::EscapedByte(astral, 1), -1);
        QCOMPARE(NativeName::Encode(astral), QByteArray("\xf0\x9f\x94\x8a"));
    }
};

QTEST_APPLESS_MAIN(tst_NativeName)
#include "tst_NativeName.moc"
