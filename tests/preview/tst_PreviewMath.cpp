#include <QtTest>

#include "PreviewMath.h"
#include "cMMedia.h"

using namespace PreviewMath;

// The numbers the preview window shows and draws with.
class tst_PreviewMath : public QObject {
    Q_OBJECT

private slots:
    void sampleCounts_data() {
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("bits");
        QTest::addColumn<int>("channels");
        QTest::addColumn<int>("samples");
        QTest::newRow("16 mono 500.5 to even") << 1001 << 16 << 1 << 500;
        QTest::newRow("16 mono 501.5 to even") << 1003 << 16 << 1 << 502;
        QTest::newRow("8 stereo 2.5 to even") << 5 << 8 << 2 << 2;
        QTest::newRow("8 stereo 3.5 to even") << 7 << 8 << 2 << 4;
        QTest::newRow("16 stereo") << 88200 << 16 << 2 << 22050;
        QTest::newRow("8 mono") << 1001 << 8 << 1 << 1001;
        QTest::newRow("other shape") << 1000 << 12 << 1 << 0;
        QTest::newRow("three channels") << 1000 << 16 << 3 << 0;
    }
    void sampleCounts() {
        QFETCH(int, length);
        QFETCH(int, bits);
        QFETCH(int, channels);
        QFETCH(int, samples);
        QCOMPARE(NumSamples(length, bits, channels), samples);
    }

    void guideLinesAndVerticalMapping() {
        QCOMPARE(GuideDistance(2420), 896);
        QCOMPARE(GuideDistance(1180), 384);  // p = 442.5 rounds to 442
        // Silence lies on the centre line for both depths and layouts.
        QCOMPARE(SampleY16(1210, 0, 1), 1210);
        QCOMPARE(SampleY8(1210, 128, 1), 1210);
        QCOMPARE(SampleY8(590, 128, 2), 590);
        QCOMPARE(SampleY8(590.5, 128, 2), 590);  // floor(mid + 896) - 896
        // Full scale, independent of the view height.
        QCOMPARE(SampleY16(0, 32767, 2), -936);
        QCOMPARE(SampleY16(0, -32768, 1), 1928);
        QCOMPARE(SampleY8(0, 0, 2), 896);
        QCOMPARE(SampleY8(0, 255, 1), 1920 - 15 * 255);
        QCOMPARE(SampleY16(100, 35 * 2 + 17, 2), 100 - 2);  // 2.49 rounds to 2
    }

    // View 9900 twips, click at 4950, a 2 s sound of 88200 frames.
    void positionMappings() {
        QCOMPARE(MsAt(4950, 9900, 2.0), 1000);
        QCOMPARE(SampleAt(4950, 9900, 88200), 44099);
        QCOMPARE(SampleAt(9900, 9900, 88200), 88199);
        QCOMPARE(SampleAt(-15, 9900, 88200), 0);
        QCOMPARE(SampleAt(100, 9900, 0), 0);
        QCOMPARE(MsAt(15, 9900, 0.0), 0);
    }

    void texts() {
        QLocale::setDefault(QLocale::c());
        QCOMPARE(NumberText(44101), QString("44101"));
        QCOMPARE(NumberText(1.5), QString("1.5"));
        QCOMPARE(NumberText(0.0453), QString("0.0453"));
        QCOMPARE(NumberText(-0.25), QString("-0.25"));
        QCOMPARE(NumberText(1.0 / 3), QString("0.333333333333333"));
        QCOMPARE(TextNumber("88199") - TextNumber("44099") + 1, 44101.0);
        QLocale::setDefault(QLocale(QLocale::German));
        QCOMPARE(NumberText(1.5), QString("1,5"));
        QCOMPARE(TextNumber("1,5"), 1.5);
        QLocale::setDefault(QLocale::c());
        QCOMPARE(ProperCase("stopped"), QString("Stopped"));
        QCOMPARE(ProperCase("NOT READY"), QString("Not Ready"));
        QCOMPARE(ProperCase(""), QString(""));
        QCOMPARE(cMMedia::LeadingNumber("1234"), 1234.0);
        QCOMPARE(cMMedia::LeadingNumber("12.5ms"), 12.5);
        QCOMPARE(cMMedia::LeadingNumber("playing"), 0.0);
        QCOMPARE(cMMedia::LeadingNumber(""), 0.0);
    }
};

QTEST_GUILESS_MAIN(tst_PreviewMath)
#include "tst_PreviewMath.moc"
