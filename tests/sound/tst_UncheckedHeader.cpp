#include <QTemporaryDir>
#include <QtTest>

#include "AppError.h"
#include "HeaderIO.h"
#include "MemorySource.h"
#include "SoundFixtures.h"
#include "UncheckedHeader.h"

using namespace mUtility;

class tst_UncheckedHeader : public QObject {
    Q_OBJECT

private slots:
    void takesFieldsWithoutChecks();
    void shortFileIsAnError();
};

// Whatever the header says is taken: the batch converts damaged headers as they are.
void tst_UncheckedHeader::takesFieldsWithoutChecks() {
    SoundInfoRecord info;
    const QByteArray game = Fixtures::GameFile(
        {.flag = 9, .id = -4, .length = 5, .rate = 1, .bits = 0x10008, .channels = -1}, {});
    MemorySource gameSource(game.constData(), game.size());
    ReadHeaderUnchecked(gameSource, "wsd", info);
    QCOMPARE(info.EightBitFlag, 9);
    QCOMPARE(info.InternalID, -4);
    QCOMPARE(info.DataLength, 5);
    QCOMPARE(info.SampleRate, 1);
    QCOMPARE(info.BitsPerSample, qint16(8));  // the low 16 bits of the field
    QCOMPARE(info.Channels, qint16(-1));

    const QByteArray wav =
        Fixtures::WavFile({.data = "LIST", .tag = 2, .channels = 3, .rate = 7, .length = 99}, {});
    MemorySource wavSource(wav.constData(), wav.size());
    ReadHeaderUnchecked(wavSource, "WAV", info);
    QCOMPARE(info.EightBitFlag, 9);  // a WAV file has no flag or ID of its own
    QCOMPARE(info.InternalID, -4);
    QCOMPARE(info.DataLength, 99);
    QCOMPARE(info.Channels, qint16(3));
    QCOMPARE(info.FormatTag, qint16(2));
    QCOMPARE(info.DataChunk.ID, HeaderIO::MakeFourCC("LIST"));
}

void tst_UncheckedHeader::shortFileIsAnError() {
    QTemporaryDir dir;
    const QString path = dir.filePath("short.wav");
    QVERIFY(Fixtures::WriteFile(path, Fixtures::WavFile({}, {}).left(43)));
    SoundInfoRecord info;
    info.DataLength = 1234;
    for (const char* type : {"WAV", "SND"}) {
        try {
            ReadHeaderUnchecked(path, type, info);
            QVERIFY(QByteArray(type) == "SND");  // 43 bytes hold a game header
        } catch (const AppError& e) {
            QCOMPARE(e.Number, ErrNo::InputPastEnd);
            QVERIFY(e.Description.contains("43"));
            QCOMPARE(info.DataLength, 1234);
        }
    }
    QVERIFY(Fixtures::WriteFile(path, QByteArray(27, '\0')));
    QVERIFY_THROWS_EXCEPTION(AppError, ReadHeaderUnchecked(path, "SND", info));
    QVERIFY_THROWS_EXCEPTION(AppError, ReadHeaderUnchecked(path, "TXT", info));
    QVERIFY_THROWS_EXCEPTION(AppError, ReadHeaderUnchecked(dir.filePath("none.snd"), "SND", info));
}

QTEST_APPLESS_MAIN(tst_UncheckedHeader)
#include "tst_UncheckedHeader.moc"
