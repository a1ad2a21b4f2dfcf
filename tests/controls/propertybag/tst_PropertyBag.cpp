#include <QFont>
#include <QImage>
#include <QPixmap>
#include <QTest>

#include "AppError.h"
#include "PropertyBag.h"

namespace {

PropertyBag RoundTrip(const PropertyBag& bag) {
    QString error;
    const auto back = PropertyBag::FromText(bag.ToText(), &error);
    if (!back) qWarning() << error;
    return back.value_or(PropertyBag{});
}

QImage Checkers() {
    QImage image(3, 2, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    image.setPixel(0, 0, qRgba(255, 0, 0, 255));
    image.setPixel(2, 1, qRgba(0, 0, 255, 128));
    return image;
}

}  // namespace

class tst_PropertyBag : public QObject {
    Q_OBJECT

private slots:
    void valuesSurviveTheTextForm_data() {
        QTest::addColumn<QVariant>("value");
        QTest::newRow("true") << QVariant(true);
        QTest::newRow("false") << QVariant(false);
        QTest::newRow("16-bit") << QVariant::fromValue(qint16(-32768));
        QTest::newRow("64-bit") << QVariant(qint64(-9007199254740993LL));
        QTest::newRow("system colour") << QVariant(quint32(0x8000000F));
        QTest::newRow("rgb colour") << QVariant(quint32(0x00FF8040));
        QTest::newRow("double") << QVariant(0.1);
        QTest::newRow("huge double") << QVariant(-1.7976931348623157e308);
        QTest::newRow("text") << QVariant(QStringLiteral("a=b\\n\nc\r\n\t\x01 \u00e9\u4e2d "));
        QTest::newRow("empty text") << QVariant(QString(""));
        QTest::newRow("text like a line") << QVariant(QStringLiteral("\nint x=1\n"));
        QTest::newRow("font") << QVariant(QFont(QStringLiteral("Serif"), 13, QFont::Bold, true));
        QTest::newRow("picture") << QVariant(Checkers());
    }
    void valuesSurviveTheTextForm() {
        QFETCH(QVariant, value);
        PropertyBag bag;
        bag.WriteProperty(QStringLiteral("Before"), 1, 0);
        bag.WriteProperty(QStringLiteral("Value"), value, QVariant());
        bag.WriteProperty(QStringLiteral("After"), 2, 0);
        const PropertyBag back = RoundTrip(bag);
        QCOMPARE(back.Names(), QStringList({"Before", "Value", "After"}));
        QCOMPARE(back.ReadProperty(QStringLiteral("Value"), value), value);
        QCOMPARE(back.ReadProperty(QStringLiteral("After"), 0).toInt(), 2);
    }

    void defaultsAreOmittedAndReadBack() {
        PropertyBag bag;
        bag.WriteProperty(QStringLiteral("CapAlign"), 0, 2);  // differs from its default
        bag.WriteProperty(QStringLiteral("Focus"), true, true);
        bag.WriteProperty(QStringLiteral("cBack"), quint32(0x8000000F), quint32(0x8000000F));
        QCOMPARE(bag.Names(), QStringList{"CapAlign"});
        const PropertyBag back = RoundTrip(bag);
        QCOMPARE(back.ReadProperty(QStringLiteral("capalign"), 2).toInt(), 0);
        QCOMPARE(back.ReadProperty(QStringLiteral("FOCUS"), true).toBool(), true);
        QCOMPARE(back.Read<quint32>(QStringLiteral("cback"), 0x8000000F), 0x8000000Fu);
        QCOMPARE(back.ReadProperty(QStringLiteral("Missing"), QStringLiteral("d")).toString(),
                 QStringLiteral("d"));

        // Writing the default later removes the stored value.
        bag.WriteProperty(QStringLiteral("CAPALIGN"), qint16(2), 2);
        QVERIFY(bag.IsEmpty());
    }

    void storedBooleansAreMinusOneAndZero() {
        PropertyBag bag;
        bag.WriteProperty(QStringLiteral("Enabled"), false, true);
        bag.WriteProperty(QStringLiteral("Locked"), true, false);
        QCOMPARE(bag.ToText(), QStringLiteral("bool Enabled=0\nbool Locked=-1\n"));
    }

    void valuesTakeTheTypeOfTheDefault() {
        const auto bag = PropertyBag::FromText(
            QStringLiteral("color cFore=0x80000012\nint Style=3\nbool Focus=-1\npicture Pic=\n"));
        QVERIFY(bag);
        QCOMPARE(bag->Read<qint32>(QStringLiteral("cFore"), 0), qint32(0x80000012));
        QCOMPARE(bag->Read<qint16>(QStringLiteral("Style"), 0), qint16(3));
        QCOMPARE(bag->Read<qint16>(QStringLiteral("Focus"), 0), qint16(1));
        QCOMPARE(bag->Read<double>(QStringLiteral("Style"), 0), 3.0);
        QVERIFY(bag->Read<QImage>(QStringLiteral("Pic"), Checkers()).isNull());
        QCOMPARE(bag->Read<QPixmap>(QStringLiteral("Pic"), QPixmap()).isNull(), true);
    }

    void unstorableTypeIsRefused() {
        PropertyBag bag;
        try {
            bag.WriteProperty(QStringLiteral("Data"), QByteArray("x"), QVariant());
            QFAIL("no error");
        } catch (const AppError& e) {
            QCOMPARE(e.Number, 380);
            QVERIFY(e.Description.contains(QStringLiteral("Data")));
        }
        QVERIFY(bag.IsEmpty());
    }

    void malformedTextIsRejected_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("error");
        QTest::newRow("no kind") << "Caption"
                                 << "line 1: unknown kind 'Caption'";
        QTest::newRow("unknown kind") << "\n# c\nblob x=1"
                                      << "line 3: unknown kind 'blob'";
        QTest::newRow("no equals") << "int x"
                                   << "line 1: no '=' after the name";
        QTest::newRow("escaped equals only") << "int x\\=1"
                                             << "line 1: no '=' after the name";
        QTest::newRow("bad number") << "int x=1.5"
                                    << "line 1: '1.5' is not a whole number";
        QTest::newRow("bad bool") << "bool x=1"
                                  << "line 1: '1' is not -1 (true) or 0 (false)";
        QTest::newRow("bad colour") << "color x=red"
                                    << "line 1: 'red' is not a colour (0x followed by hex digits)";
        QTest::newRow("bad escape") << "text x=a\\q"
                                    << "line 1: bad backslash escape";
        QTest::newRow("cut escape") << "text x=a\\"
                                    << "line 1: bad backslash escape";
        QTest::newRow("short hex") << "text x=\\x4"
                                   << "line 1: bad backslash escape";
        QTest::newRow("bad picture") << "int a=1\npicture p=!!!!"
                                     << "line 2: the picture is not base64 PNG data";
        QTest::newRow("not png") << "picture p=aGVsbG8="
                                 << "line 1: the picture is not base64 PNG data";
    }
    void malformedTextIsRejected() {
        QFETCH(QString, text);
        QFETCH(QString, error);
        QString got;
        QVERIFY(!PropertyBag::FromText(text, &got));
        QCOMPARE(got, error);
    }

    void lastOfTwoSpellingsWins() {
        const auto bag = PropertyBag::FromText(QStringLiteral("int A=1\r\nint a=2\r\n"));
        QVERIFY(bag);
        QCOMPARE(bag->Names().size(), 1);
        QCOMPARE(bag->ReadProperty(QStringLiteral("a"), 0).toInt(), 2);
    }
};

QTEST_MAIN(tst_PropertyBag)
#include "tst_PropertyBag.moc"
