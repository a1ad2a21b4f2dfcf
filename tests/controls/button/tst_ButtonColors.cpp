#include <QtTest>

#include "ButtonColors.h"

using namespace zs::button;

class tst_ButtonColors : public QObject {
    Q_OBJECT
private slots:
    void shading_data();
    void shading();
    void avoidExtremesShadesTheOtherWay();
    void gradientSequenceRunsFromFirstToLast();
    void bandsTurnDoubleOnLargeButtons();
};

void tst_ButtonColors::shading_data() {
    QTest::addColumn<int>("color");
    QTest::addColumn<int>("delta");
    QTest::addColumn<int>("options");
    QTest::addColumn<int>("expected");
    // Green and blue read through /255 and /65280 come out one step above their byte.
    QTest::newRow("white -32") << 0xFFFFFF << -32 << 0 << MakeRgb(223, 224, 224);
    QTest::newRow("gray +12") << 0x808080 << 12 << 0 << MakeRgb(140, 141, 141);
    QTest::newRow("gray -16") << 0x808080 << -16 << 0 << MakeRgb(112, 113, 113);
    QTest::newRow("clamped high") << 0xF0F0F0 << 40 << 0 << 0xFFFFFF;
    QTest::newRow("clamped low") << 0x101010 << -40 << 0 << 0;
    // Blue scaling: b0 = 129 (128.502 rounded), + 48 * 129 / 192 = 32.
    QTest::newRow("blue scaling") << 0x808080 << 48 << int(kShadeBlueScaling)
                                  << MakeRgb(176, 177, 161);
    QTest::newRow("blue scaling truncates toward zero")
        << MakeRgb(0, 0, 100) << -25 << int(kShadeBlueScaling) << MakeRgb(0, 0, 87);
    QTest::newRow("invert") << 0x000000 << 10 << int(kShadeInvert) << MakeRgb(245, 245, 245);
}

void tst_ButtonColors::shading() {
    QFETCH(int, color);
    QFETCH(int, delta);
    QFETCH(int, options);
    QFETCH(int, expected);
    QCOMPARE(Sh(color, delta, unsigned(options)), expected);
}

void tst_ButtonColors::avoidExtremesShadesTheOtherWay() {
    QCOMPARE(Sh(0xFFFFFF, 40, kShadeAvoidExtremes), Sh(0xFFFFFF, -40));
    QCOMPARE(Sh(0x000000, -10, kShadeAvoidExtremes), Sh(0x000000, 10));
    // Without a shade to turn round, 64 is used.
    QCOMPARE(Sh(0x000000, 0, kShadeAvoidExtremes), Sh(0x000000, 64));
    QCOMPARE(Sh(0x404040, 0, kShadeAvoidExtremes), Sh(0x404040, 0));
}

void tst_ButtonColors::gradientSequenceRunsFromFirstToLast() {
    const auto seq = GradientSequence(MakeRgb(0, 0, 0), MakeRgb(200, 100, 50), 5);
    QCOMPARE(seq.size(), size_t(5));
    QCOMPARE(seq.front(), MakeRgb(0, 0, 0));
    QCOMPARE(seq.back(), MakeRgb(200, 100, 50));
    QCOMPARE(seq[2], MakeRgb(100, 50, 25));
    QCOMPARE(GradientSequence(0x123456, 0, 1), std::vector<Rgb>{0x123456});
    QVERIFY(GradientSequence(0, 0, 0).empty());
}

void tst_ButtonColors::bandsTurnDoubleOnLargeButtons() {
    QCOMPARE(BandsFor(75, 1920).count, 75);
    QCOMPARE(BandsFor(75, 1920).thickness, 1);
    // 800 / 300 = 2 < 4: half as many bands, two pixels each.
    QCOMPARE(BandsFor(300, 800).count, 150);
    QCOMPARE(BandsFor(300, 800).thickness, 2);
    QCOMPARE(BandsFor(0, 800).count, 0);
}

QTEST_APPLESS_MAIN(tst_ButtonColors)
#include "tst_ButtonColors.moc"
