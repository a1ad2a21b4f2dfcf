#include <QtTest>

#include "WaveSurface.h"
#include "cLogo.h"

// The caption painter on a caption strip.
class tst_cLogo : public QObject {
    Q_OBJECT

private slots:
    void bandHeight() {
        QCOMPARE(cLogo::BandHeight(82), 1);
        QCOMPARE(cLogo::BandHeight(509), 1);
        QCOMPARE(cLogo::BandHeight(510), 2);
        QCOMPARE(cLogo::BandHeight(0), 1);
    }

    // Sizes are whole points before they become pixels: 8.6 pt is drawn as 9 pt.
    void captionFontIsRoundedToWholePoints_data() {
        QTest::addColumn<double>("points");
        QTest::addColumn<int>("dpi");
        QTest::addColumn<int>("pixels");
        QTest::newRow("8.25 pt, the strips' size") << 8.25 << 96 << 11;
        QTest::newRow("8.6 pt rounds up") << 8.6 << 96 << 12;
        QTest::newRow("10.5 pt ties to even") << 10.5 << 96 << 13;
        QTest::newRow("9.75 pt at 120 dpi") << 9.75 << 120 << 17;
    }

    void captionFontIsRoundedToWholePoints() {
        QFETCH(double, points);
        QFETCH(int, dpi);
        QFETCH(int, pixels);
        QFont f("Tahoma");
        f.setPointSizeF(points);
        f.setBold(true);
        const QFont caption = cLogo::CaptionFont(f, dpi);
        QCOMPARE(caption.pixelSize(), pixels);
        QVERIFY(caption.bold());
        QCOMPARE(caption.family(), f.family());
    }

    void equalColoursGiveOneColour() {
        WaveSurface s("picMono");
        s.resize(17, 82);
        s.setBackColor(Qt::white);
        cLogo logo;
        logo.setDrawingObject(&s);
        logo.setStartColor(0x0000FF);  // red: repaints at once
        logo.setEndColor(0x0000FF);
        logo.Draw();
        const QImage img = s.image();
        for (int y = 0; y < img.height(); ++y) QCOMPARE(img.pixel(0, y), qRgb(255, 0, 0));
    }

    void gradientClimbsTowardsTheEndColour() {
        WaveSurface s("picLeft");
        s.resize(10, 255);
        cLogo logo;
        logo.setDrawingObject(&s);
        logo.setStartColor(0);
        logo.setEndColor(0xFFFFFF);
        logo.Draw();
        const QImage img = s.image();
        QCOMPARE(img.pixel(0, 254), qRgb(0, 0, 0));
        QVERIFY(img.pixelColor(0, 0).red() > 240);
        QVERIFY(img.pixelColor(0, 128).red() > 100 && img.pixelColor(0, 128).red() < 150);
    }

    // Setting a colour to the value it has does nothing, not even a repaint.
    void unchangedColourDoesNotRepaint() {
        WaveSurface s("picRight");
        s.resize(10, 40);
        s.setBackColor(Qt::white);
        cLogo logo;
        logo.setDrawingObject(&s);
        logo.setStartColor(0);
        QCOMPARE(s.image().pixel(5, 20), qRgb(255, 255, 255));
        logo.setEndColor(0);
        QCOMPARE(s.image().pixel(5, 20), qRgb(0, 0, 0));
    }

    void captionIsWritten() {
        WaveSurface s("picMono");
        s.resize(17, 165);
        s.setForeColor(QColor(255, 255, 0));
        QFont f("Tahoma");
        f.setPointSizeF(8.25);
        f.setBold(true);
        s.setFont(f);
        cLogo logo;
        logo.setCaption("          Single Channel");
        logo.setDrawingObject(&s);
        logo.setStartColor(0);
        logo.setEndColor(0);
        logo.Draw();
        int yellow = 0;
        const QImage img = s.image();
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) yellow += img.pixelColor(x, y).red() > 128;
        QVERIFY(yellow > 20);
    }
};

QTEST_MAIN(tst_cLogo)
#include "tst_cLogo.moc"
