#include <QtTest>

#include "HeaderIO.h"
#include "MemorySource.h"
#include "SoundFixtures.h"

class tst_HeaderIO : public QObject {
    Q_OBJECT

private slots:
    void fieldsAreLittleEndian();
    void readTellsCleanEndFromCutOff();
};

// Extreme values survive a round trip and land on disk in the documented order.
void tst_HeaderIO::fieldsAreLittleEndian() {
    const SndHeader snd{INT32_MIN, -1, INT32_MAX, 0x01020304, 16, 2, 0};
    char bytes[SndHeaderSize];
    HeaderIO::EncodeSnd(snd, bytes);
    const QByteArray raw(bytes, SndHeaderSize);
    QCOMPARE(raw.mid(12, 4), QByteArray("\x04\x03\x02\x01", 4));
    QCOMPARE(Fixtures::Get32(raw, 0), INT32_MIN);
    const SndHeader back = HeaderIO::DecodeSnd(bytes);
    QCOMPARE(back.InternalID, -1);
    QCOMPARE(back.DataLength, INT32_MAX);

    Fixtures::Wav w{.channels = -1, .rate = 0x7F000001, .bits = 12};
    const QByteArray wavBytes = Fixtures::WavFile(w, {});
    const WavHeaderImage image = HeaderIO::DecodeWav(wavBytes.constData());
    QCOMPARE(image.Format.Channels, qint16(-1));
    QCOMPARE(image.Format.SampleRate, 0x7F000001);
    QCOMPARE(image.Format.BitsPerSample, qint16(12));
    QCOMPARE(image.Data.ID, HeaderIO::MakeFourCC("data"));
    char again[WavHeaderSize];
    HeaderIO::EncodeWav(image, again);
    QCOMPARE(QByteArray(again, WavHeaderSize), wavBytes);
}

void tst_HeaderIO::readTellsCleanEndFromCutOff() {
    const QByteArray data(30, 'x');
    MemorySource source(data.constData(), data.size());
    char buffer[28];
    qint64 got = 0;
    QCOMPARE(HeaderIO::ReadExact(source, buffer, 28, got), HeaderIO::ReadStatus::Complete);
    QCOMPARE(HeaderIO::ReadExact(source, buffer, 28, got), HeaderIO::ReadStatus::Truncated);
    QCOMPARE(got, 2);
    QCOMPARE(HeaderIO::ReadExact(source, buffer, 28, got), HeaderIO::ReadStatus::CleanEnd);
    QCOMPARE(got, 0);
}

QTEST_APPLESS_MAIN(tst_HeaderIO)
#include "tst_HeaderIO.moc"
