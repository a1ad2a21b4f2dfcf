// The demo set: every file's header as the inspection reads it, the WAV as
// libsndfile reads it, the sounds being what their names say, the bytes being
// the same on every run, and no file of the user's being written over.
#include <sndfile.h>

#include <QCryptographicHash>
#include <QTemporaryDir>
#include <QtTest>

#include "AppError.h"
#include "DemoSounds.h"
#include "Inspection.h"
#include "MemorySource.h"
#include "SoundFixtures.h"

using namespace mUtility;

namespace {

// One channel of a file of the set as numbers in ±32767 (8-bit samples scaled up).
QList<int> Channel(const QByteArray& file, int headerSize, int bits, int channels, int channel) {
    QList<int> values;
    const int width = bits / 8;
    for (qsizetype at = headerSize + channel * width; at + width <= file.size();
         at += width * channels) {
        values << (bits == 8 ? (static_cast<quint8>(file[at]) - 128) * 256
                             : Fixtures::Get16(file, static_cast<int>(at)));
    }
    return values;
}

// The pitch of a stretch of samples from its zero crossings, in Hz.
double Pitch(const QList<int>& values, int rate, double from, double to) {
    const qsizetype first = static_cast<qsizetype>(from * rate);
    const qsizetype last = static_cast<qsizetype>(to * rate);
    int crossings = 0;
    for (qsizetype i = first + 1; i < last; ++i)
        if ((values[i - 1] < 0) != (values[i] < 0)) ++crossings;
    return crossings / 2.0 / (to - from);
}

qint64 Energy(const QList<int>& values, int rate, double from, double to) {
    qint64 sum = 0;
    for (qsizetype i = qsizetype(from * rate); i < qsizetype(to * rate); ++i)
        sum += qAbs(values[i]);
    return sum;
}

}  // namespace

class tst_DemoSounds : public QObject {
    Q_OBJECT

private slots:
    void headers_data();
    void headers();
    void soundsAreWhatTheirNamesSay();
    void bytesAreTheSameEveryTime();
    void nothingIsWrittenOverAFile();
};

void tst_DemoSounds::headers_data() {
    QTest::addColumn<QString>("flag");
    QTest::addColumn<QString>("rate");
    QTest::addColumn<QString>("bits");
    QTest::addColumn<QString>("channels");
    QTest::addColumn<qint64>("seconds100");  // the samples' length in hundredths of a second
    QTest::newRow("ENGINE.SND") << "True"
                                << "11025 Hz"
                                << "8-bit"
                                << "Mono" << 300ll;
    QTest::newRow("BEEP.WSD") << "False"
                              << "22050 Hz"
                              << "16-bit"
                              << "Mono" << 200ll;
    QTest::newRow("SWEEP.SND") << "False"
                               << "22050 Hz"
                               << "16-bit"
                               << "Mono" << 300ll;
    QTest::newRow("PINGPONG.WSD") << "False"
                                  << "22050 Hz"
                                  << "16-bit"
                                  << "Stereo" << 300ll;
    QTest::newRow("SIREN.SND") << "True"
                               << "11025 Hz"
                               << "8-bit"
                               << "Stereo" << 300ll;
    QTest::newRow("CHIME.WAV") << "N/A"
                               << "22050 Hz"
                               << "16-bit"
                               << "Stereo" << 250ll;
}

void tst_DemoSounds::headers() {
    QFETCH(QString, flag);
    QFETCH(QString, rate);
    QFETCH(QString, bits);
    QFETCH(QString, channels);
    QFETCH(qint64, seconds100);
    const QString name = QTest::currentDataTag();
    const QByteArray file = DemoSounds::File(name);
    SoundInfoRecord info;
    SelectFile(info, "/demo", name);
    MemorySource source(file.constData(), file.size());
    const InspectionResult r = InspectSource(source, info);
    QCOMPARE(r.Outcome, InspectionOutcome::Valid);
    QCOMPARE(r.Panel.EightBitFlag, flag);
    QCOMPARE(r.Panel.SampleRate, rate);
    QCOMPARE(r.Panel.BitDepth, bits);
    QCOMPARE(r.Panel.Channels, channels);
    const qint64 bytesPerSecond = qint64(info.SampleRate) * info.Channels * info.BitsPerSample / 8;
    QCOMPARE(qint64(info.DataLength), bytesPerSecond * seconds100 / 100);
    QCOMPARE(qint64(file.size()), (name.endsWith("WAV") ? 44 : 28) + qint64(info.DataLength));
}

void tst_DemoSounds::soundsAreWhatTheirNamesSay() {
    const QByteArray sweep = DemoSounds::File("SWEEP.SND");
    const QList<int> rising = Channel(sweep, 28, 16, 1, 0);
    QVERIFY(qAbs(Pitch(rising, 22050, 0.1, 0.2) - 350) < 15);
    QVERIFY(qAbs(Pitch(rising, 22050, 2.8, 2.9) - 3050) < 60);

    const QList<int> beep = Channel(DemoSounds::File("BEEP.WSD"), 28, 16, 1, 0);
    QVERIFY(qAbs(Pitch(beep, 22050, 0.01, 0.19) - 988) < 15);
    QVERIFY(qAbs(Pitch(beep, 22050, 0.21, 0.39) - 784) < 15);
    QCOMPARE(Energy(beep, 22050, 0.41, 0.49), 0);

    const QList<int> engine = Channel(DemoSounds::File("ENGINE.SND"), 28, 8, 1, 0);
    QVERIFY(Pitch(engine, 11025, 0.5, 2.5) < 120);

    // Ping-pong: one channel at a time, left first.
    const QByteArray pingPong = DemoSounds::File("PINGPONG.WSD");
    const QList<int> left = Channel(pingPong, 28, 16, 2, 0);
    const QList<int> right = Channel(pingPong, 28, 16, 2, 1);
    QVERIFY(Energy(left, 22050, 0.0, 0.5) > 1000000);
    QCOMPARE(Energy(right, 22050, 0.0, 0.5), 0);
    QCOMPARE(Energy(left, 22050, 0.5, 1.0), 0);
    QVERIFY(Energy(right, 22050, 0.5, 1.0) > 1000000);

    const QByteArray siren = DemoSounds::File("SIREN.SND");
    QVERIFY(Channel(siren, 28, 8, 2, 0) != Channel(siren, 28, 8, 2, 1));
}

// The files on disk are the set's bytes, the same in a second folder, and the
// same as when these checksums were taken: a change to the set is deliberate.
void tst_DemoSounds::bytesAreTheSameEveryTime() {
    const QMap<QString, QByteArray> sha256 = {
        {"ENGINE.SND", "5e123754f6fd37f2d6b0fa9b9c4113cb2a9bb1ab15d0df928e8989813238aaa2"},
        {"BEEP.WSD", "3f804c47e241a1193a63331eba7c59dcd1e1cce4396538f0da2263df87a1abe8"},
        {"SWEEP.SND", "5fdbfedfd15281578ad1ee16b1c28e5fe553935878bd328213e6d79264cb2ebe"},
        {"PINGPONG.WSD", "bd92681eae4f48824b0cf9713e7102e8ea4bf0b6cf68378cedcf3b80f625d66c"},
        {"SIREN.SND", "60625a212103fab1975b58a59ea79ea07896e12fc05c16b0ed4844021ec68aeb"},
        {"CHIME.WAV", "2b816422a4c397de0d328a18b6aca186ce781568c8ba46e9020dbb3449a8633a"},
        {"BROKEN.WSD", "144b151cb7c6fd5a04ffa9e73bf460e0094795f8c8f76589b9bc2f385436347f"},
    };
    QTemporaryDir one;
    QTemporaryDir two;
    DemoSounds::Write(one.filePath("demo"));
    DemoSounds::Write(two.filePath("demo"));
    QCOMPARE(QDir(one.filePath("demo")).entryList(QDir::Files, QDir::Name),
             QStringList(sha256.keys()));
    for (const QString& name : DemoSounds::Names()) {
        const QByteArray bytes = Fixtures::ReadFile(one.filePath("demo/" + name));
        QCOMPARE(Fixtures::ReadFile(two.filePath("demo/" + name)), bytes);
        QCOMPARE(bytes, DemoSounds::File(name));
        QCOMPARE(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex(),
                 sha256.value(name));
    }

    // The lying file is refused for the length it claims.
    SoundInfoRecord info;
    const InspectionResult broken = InspectFile(one.filePath("demo"), "BROKEN.WSD", info);
    QCOMPARE(broken.Outcome, InspectionOutcome::Invalid);
    QVERIFY(broken.MessageText.endsWith("Data length: 88200"));

    SF_INFO sf{};
    SNDFILE* wav = sf_open(QFile::encodeName(one.filePath("demo/CHIME.WAV")), SFM_READ, &sf);
    QVERIFY(wav != nullptr);
    sf_close(wav);
    QCOMPARE(sf.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    QCOMPARE(sf.channels, 2);
    QCOMPARE(sf.frames, sf_count_t(22050 * 5 / 2));
}

void tst_DemoSounds::nothingIsWrittenOverAFile() {
    QTemporaryDir dir;
    QVERIFY(Fixtures::WriteFile(dir.filePath("SWEEP.SND"), "mine"));
    try {
        DemoSounds::Write(dir.path());
        QFAIL("a taken name was written over");
    } catch (const AppError& e) {
        QCOMPARE(e.Number, ErrNo::FileAlreadyExists);
        QVERIFY(e.Description.contains(dir.filePath("SWEEP.SND")));
    }
    QCOMPARE(Fixtures::ReadFile(dir.filePath("SWEEP.SND")), QByteArray("mine"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"SWEEP.SND"});
}

QTEST_GUILESS_MAIN(tst_DemoSounds)
#include "tst_DemoSounds.moc"
