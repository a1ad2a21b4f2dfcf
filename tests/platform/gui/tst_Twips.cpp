#include <QTest>

#include "Twips.h"

class tst_Twips : public QObject {
    Q_OBJECT

private slots:
    void conversions_data() {
        QTest::addColumn<double>("dpi");
        QTest::addColumn<int>("twips");
        QTest::addColumn<int>("pixels");
        QTest::newRow("96 dpi: 15 per pixel") << 96.0 << 1500 << 100;
        QTest::newRow("96 dpi: one inch") << 96.0 << 1440 << 96;
        QTest::newRow("120 dpi: 12 per pixel") << 120.0 << 1200 << 100;
        QTest::newRow("negative") << 96.0 << -150 << -10;
        QTest::newRow("zero") << 144.0 << 0 << 0;
    }
    void conversions() {
        QFETCH(double, dpi);
        QFETCH(int, twips);
        QFETCH(int, pixels);
        QCOMPARE(zs::TwipsToPixels(twips, dpi), pixels);
        QCOMPARE(zs::PixelsToTwips(pixels, dpi), twips);
    }

    void roundsToTheNearestPixel() {
        QCOMPARE(zs::TwipsToPixels(22, 96.0), 1);  // 1.47
        QCOMPARE(zs::TwipsToPixels(23, 96.0), 2);  // 1.53
        QVERIFY(zs::ScreenDpi() > 0);
        QCOMPARE(zs::PixelsToTwips(zs::TwipsToPixels(1440)), 1440);
    }
};

QTEST_MAIN(tst_Twips)
#include "tst_Twips.moc"
