#include <QtTest>

#include "AppError.h"
#include "ConvertOptions.h"

using mUtility::SoundInfoRecord;

class tst_ConvertOptions : public QObject {
    Q_OBJECT

private slots:
    void flagFollowsBitDepth();
    void optionsWriteTheRecord();
    void internalIdFromText_data();
    void internalIdFromText();
};

// On opening, an 8-bit file's flag becomes 2 and a 16-bit file's 0 whatever the
// header said; other depths keep the file's flag.
void tst_ConvertOptions::flagFollowsBitDepth() {
    SoundInfoRecord info;
    for (auto [bits, before, after] : {std::tuple{8, 0, 2}, {16, 2, 0}, {12, 7, 7}}) {
        info.BitsPerSample = static_cast<qint16>(bits);
        info.EightBitFlag = before;
        ConvertOptions::ApplyLoadRule(info);
        QCOMPARE(info.EightBitFlag, after);
    }
}

void tst_ConvertOptions::optionsWriteTheRecord() {
    SoundInfoRecord info;
    QCOMPARE(ConvertOptions::SampleRateIndex(6000), 0);
    QCOMPARE(ConvertOptions::SampleRateIndex(44100), 6);
    QCOMPARE(ConvertOptions::SampleRateIndex(22051), -1);
    ConvertOptions::ApplySampleRate(info, 2);
    QCOMPARE(info.SampleRate, 11025);

    ConvertOptions::ApplyBitDepth(info, 1);
    QCOMPARE(info.BitsPerSample, qint16(16));
    QCOMPARE(info.EightBitFlag, 0);
    ConvertOptions::ApplyBitDepth(info, 0);
    QCOMPARE(info.BitsPerSample, qint16(8));
    QCOMPARE(info.EightBitFlag, 2);

    ConvertOptions::ApplyFlagChoice(info, 1);  // "False" on an 8-bit file
    QCOMPARE(info.EightBitFlag, 0);
    ConvertOptions::ApplyChannels(info, 1);
    QCOMPARE(info.Channels, qint16(2));

    for (auto apply : {ConvertOptions::ApplyBitDepth, ConvertOptions::ApplyChannels,
                       ConvertOptions::ApplyFlagChoice, ConvertOptions::ApplySampleRate}) {
        for (int bad : {-1, 7}) {
            try {
                apply(info, bad);
                QFAIL("an index out of range was taken");
            } catch (const AppError& e) {
                QCOMPARE(e.Number, ErrNo::SubscriptOutOfRange);
            }
        }
    }
    QCOMPARE(info.SampleRate, 11025);
}

void tst_ConvertOptions::internalIdFromText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint32>("id");
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("digits") << "0042" << 42;
    QTest::newRow("four nines") << "9999" << 9999;
    QTest::newRow("leading blanks") << "  17" << 17;
    QTest::newRow("trailing text") << "12ab" << 12;
    QTest::newRow("mask placeholders") << "7___" << 7;
    QTest::newRow("fraction rounds") << "12.6" << 13;
    QTest::newRow("half to even") << "12.5" << 12;
    QTest::newRow("negative") << "-3" << -3;
    QTest::newRow("no number") << "abc" << 0;
    QTest::newRow("too large") << "99999999999" << INT32_MAX;
}

void tst_ConvertOptions::internalIdFromText() {
    QFETCH(QString, text);
    QFETCH(qint32, id);
    QCOMPARE(ConvertOptions::InternalIDFromText(text), id);
}

QTEST_APPLESS_MAIN(tst_ConvertOptions)
#include "tst_ConvertOptions.moc"
