#include <sndfile.h>

#include <QTemporaryDir>
#include <QtTest>

#include "AppError.h"
#include "Conversion.h"
#include "Inspection.h"
#include "MemorySource.h"
#include "SoundFixtures.h"
#include "UncheckedHeader.h"
#include "WavReader.h"

using namespace mUtility;

namespace {

// A chunk as a writer lays it out: id, size, body, and a pad byte after an odd
// body. `size` -1 means the body's own size.
QByteArray Chunk(const QByteArray& id, const QByteArray& body, qint64 size = -1) {
    QByteArray b = id;
    Fixtures::Put32(b, size < 0 ? body.size() : size);
    b += body;
    if (body.size() % 2) b += '\0';
    return b;
}

const QByteArray kPcmGuidTail("\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 14);

// A format chunk body: 16 bytes, or 18 with a zero extension size, or the
// 40-byte extensible form carrying `subTag` as its sub-format.
QByteArray Fmt(qint64 tag, qint64 channels, qint64 rate, qint64 bits, int size = 16,
               qint64 subTag = 1) {
    QByteArray b;
    const qint64 align = channels * ((bits + 7) / 8);
    Fixtures::Put16(b, tag);
    Fixtures::Put16(b, channels);
    Fixtures::Put32(b, rate);
    Fixtures::Put32(b, rate * align);
    Fixtures::Put16(b, align);
    Fixtures::Put16(b, bits);
    if (size == 18) Fixtures::Put16(b, 0);
    if (size == 40) {
        Fixtures::Put16(b, 22);
        Fixtures::Put16(b, bits);
        Fixtures::Put32(b, channels == 2 ? 3 : 4);
        Fixtures::Put16(b, subTag);
        b += kPcmGuidTail;
    }
    return b;
}

// RIFF/WAVE around `chunks`; `riffSize` -1 means the true size.
QByteArray Riff(const QByteArray& chunks, qint64 riffSize = -1) {
    QByteArray b = "RIFF";
    Fixtures::Put32(b, riffSize < 0 ? chunks.size() + 4 : riffSize);
    return b + "WAVE" + chunks;
}

const QByteArray kSamples = Fixtures::Samples(1200);
const QByteArray kStereo16 = Fmt(1, 2, 22050, 16);
const QByteArray kList = Chunk("LIST", QByteArray("INFOISFT\x0e\0\0\0Lavf60.3.100\0\0", 26));

}  // namespace

// Every place that reads a WAV's header takes the same layout from it: the
// main window's inspection, the batch's unchecked read and the conversion.
class tst_WavReader : public QObject {
    Q_OBJECT

private slots:
    void init();
    void layouts_data();
    void layouts();
    void readsChunkHeadersInBlocks();
    void writtenBySndfile_data();
    void writtenBySndfile();

private:
    void CheckRelabel(const QString& path, const QByteArray& samples, int rate, int bits,
                      int channels);
    std::unique_ptr<QTemporaryDir> dir_;
};

void tst_WavReader::init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
}

void tst_WavReader::layouts_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("verdict");  // "valid", "malformed", "compressed" or the detail
    QTest::addColumn<QByteArray>("samples");
    QTest::addColumn<int>("bits");

    const QByteArray& s = kSamples;
    const QByteArray data = Chunk("data", s);
    auto row = [](const char* name, const QByteArray& file, const QString& verdict,
                  const QByteArray& samples = kSamples,
                  int bits = 16) { QTest::newRow(name) << file << verdict << samples << bits; };
    row("canonical", Riff(Chunk("fmt ", kStereo16) + data), "valid");
    row("LIST before the data", Riff(Chunk("fmt ", kStereo16) + kList + data), "valid");
    row("fact, bext and JUNK before, LIST and cue after",
        Riff(Chunk("JUNK", QByteArray(28, '\0')) + Chunk("fmt ", kStereo16) +
             Chunk("fact", QByteArray(4, '\x01')) + Chunk("bext", QByteArray(602, 'b')) + data +
             kList + Chunk("cue ", QByteArray(28, 'c'))),
        "valid");
    row("odd-sized chunk padded", Riff(Chunk("fmt ", kStereo16) + Chunk("note", "abcde") + data),
        "valid");
    row("odd-sized data, a chunk after its pad",
        Riff(Chunk("fmt ", Fmt(1, 1, 8000, 8)) + Chunk("data", s.left(333)) + kList), "valid",
        s.left(333), 8);
    row("data before the format", Riff(kList + data + Chunk("fmt ", kStereo16)), "valid");
    row("18-byte format", Riff(Chunk("fmt ", Fmt(1, 2, 22050, 16, 18)) + data), "valid");
    row("extensible 16-bit", Riff(Chunk("fmt ", Fmt(0xFFFE, 2, 22050, 16, 40)) + data), "valid");
    row("extensible 24-bit", Riff(Chunk("fmt ", Fmt(0xFFFE, 2, 22050, 24, 40)) + kList + data),
        "valid", s, 24);
    row("RIFF size 0", Riff(Chunk("fmt ", kStereo16) + kList + data, 0), "valid");
    row("RIFF size beyond the end", Riff(Chunk("fmt ", kStereo16) + kList + data, 0x7FFFFFF0),
        "valid");
    row("data beyond the end", Riff(Chunk("fmt ", kStereo16) + kList + Chunk("data", s, 1201)),
        "Data length: 1201");
    row("data beyond the end before the format",
        Riff(kList + Chunk("data", s, 5000) + Chunk("fmt ", kStereo16)), "Data length: 5000");
    row("canonical data beyond the end", Riff(Chunk("fmt ", kStereo16) + Chunk("data", s, 1202)),
        "Data length: 1202");
    // Beyond what a game file can describe, yet sound: refused as such, not as a lie.
    row("streamed data size", Riff(Chunk("fmt ", kStereo16) + kList + Chunk("data", s, 0xFFFFFFFF)),
        "Data length: not given (a streamed file)");
    row("data of 2 GiB claimed",
        Riff(Chunk("fmt ", kStereo16) + kList + Chunk("data", s, 0x80000000)),
        "Data length: 2147483648");
    row("RF64", QByteArray("RF64") + Riff(Chunk("fmt ", kStereo16) + data).mid(4),
        "Format: RF64, whose samples a game file cannot hold");
    QByteArray empties;
    for (int i = 0; i < 20000; ++i) empties += Chunk("JUNK", {});
    row("20000 empty chunks", Riff(Chunk("fmt ", kStereo16) + empties + data), "valid");
    row("a-law, canonical", Riff(Chunk("fmt ", Fmt(6, 1, 8000, 8)) + data), "compressed");
    row("mu-law after a LIST", Riff(kList + Chunk("fmt ", Fmt(7, 1, 8000, 8)) + data),
        "compressed");
    row("float, canonical", Riff(Chunk("fmt ", Fmt(3, 2, 44100, 32)) + data), "compressed");
    row("ADPCM, 20-byte format",
        Riff(Chunk("fmt ", Fmt(2, 1, 22050, 4) + QByteArray("\x02\0\xf4\x07", 4)) + data),
        "compressed");
    row("extensible float", Riff(Chunk("fmt ", Fmt(0xFFFE, 2, 48000, 32, 40, 3)) + data),
        "compressed");
    row("extensible cut to 16 bytes", Riff(Chunk("fmt ", Fmt(0xFFFE, 2, 48000, 16)) + data),
        "compressed");
    row("no data chunk", Riff(Chunk("fmt ", kStereo16) + Chunk("LIST", s)), "malformed");
    row("no format chunk", Riff(kList + data), "malformed");
    row("format chunk of 14 bytes", Riff(Chunk("fmt ", kStereo16.left(14)) + kList + data),
        "malformed");
    row("not RIFF", QByteArray("RIFX") + Riff(Chunk("fmt ", kStereo16) + kList + data).mid(4),
        "malformed");
}

void tst_WavReader::layouts() {
    QFETCH(QByteArray, file);
    QFETCH(QString, verdict);
    QFETCH(QByteArray, samples);
    QFETCH(int, bits);
    const QString path = dir_->filePath("sound.wav");
    QVERIFY(Fixtures::WriteFile(path, file));

    SoundInfoRecord info;
    const InspectionResult r = InspectFile(dir_->path(), "sound.wav", info);
    SoundInfoRecord batch;
    auto batchRead = [&] { ReadHeaderUnchecked(path, "wav", batch); };
    if (verdict == "valid") {
        QCOMPARE(r.Outcome, InspectionOutcome::Valid);
        QCOMPARE(info.DataLength, samples.size());
        QCOMPARE(r.Panel.BitDepth, QString::number(bits) + "-bit");
        batchRead();
        QCOMPARE(batch.DataOffset, info.DataOffset);
        QCOMPARE(batch.DataLength, samples.size());
        CheckRelabel(path, samples, info.SampleRate, bits, info.Channels);
        return;
    }
    if (verdict == "malformed" || verdict == "compressed") {
        const QString text =
            verdict == "compressed" ? CompressedWavMessage() : MalformedWavMessage();
        QCOMPARE(r.Outcome, InspectionOutcome::MalformedWav);
        QCOMPARE(r.MessageText, text);
        QCOMPARE(r.Icon, MessageIcon::Critical);
        QVERIFY(text.startsWith("Possible improperly formatted .WAV file!  Compressed wave files"));
        try {
            batchRead();
            QFAIL("the batch read took the file");
        } catch (const AppError& e) {
            QVERIFY2(e.Description.contains(text), qPrintable(e.Description));
        }
        return;
    }
    QCOMPARE(r.Outcome, InspectionOutcome::Invalid);
    QVERIFY2(r.MessageText.contains("\r\n\r\n" + verdict), qPrintable(r.MessageText));
    QCOMPARE(r.MessageText.contains("Import"),
             verdict.contains("game file") || verdict.contains("streamed"));
}

// Chunk headers are read through a buffer: a file of many small chunks costs
// a read per block, not one per chunk.
void tst_WavReader::readsChunkHeadersInBlocks() {
    class Counting : public MemorySource {
    public:
        using MemorySource::MemorySource;
        qint64 Read(char* buffer, qint64 count) override {
            ++reads;
            return MemorySource::Read(buffer, count);
        }
        int reads = 0;
    };
    QByteArray empties;
    for (int i = 0; i < 5000; ++i) empties += Chunk("JUNK", {});
    const QByteArray file = Riff(Chunk("fmt ", kStereo16) + empties + Chunk("data", kSamples));
    Counting source(file.constData(), file.size());
    const WavReader::Layout layout = WavReader::Read(source);
    QCOMPARE(layout.status, WavReader::Status::Found);
    QCOMPARE(layout.DataOffset, file.size() - kSamples.size());
    QVERIFY2(source.reads < 20, qPrintable(QString::number(source.reads)));

    // Samples of 2 GiB that are really there (a sparse file): too large for a
    // game file, said with the real size.
    const QString path = dir_->filePath("huge.wav");
    QVERIFY(
        Fixtures::WriteFile(path, Riff(Chunk("fmt ", kStereo16) + Chunk("data", {}, 0x80000000))));
    QVERIFY(QFile::resize(path, 44 + 0x80000000LL));
    SoundInfoRecord info;
    const InspectionResult r = InspectFile(dir_->path(), "huge.wav", info);
    QVERIFY2(
        r.MessageText.contains("2147483648 bytes, more than") && r.MessageText.contains("Import"),
        qPrintable(r.MessageText));
}

// WAVs as an ordinary library writes them: the extensible header, and an
// INFO list beside the samples.
void tst_WavReader::writtenBySndfile_data() {
    QTest::addColumn<int>("format");
    QTest::addColumn<int>("channels");
    QTest::addColumn<bool>("titled");
    QTest::newRow("extensible 16-bit stereo") << (SF_FORMAT_WAVEX | SF_FORMAT_PCM_16) << 2 << false;
    QTest::newRow("extensible 24-bit mono") << (SF_FORMAT_WAVEX | SF_FORMAT_PCM_24) << 1 << false;
    QTest::newRow("16-bit with a title") << (SF_FORMAT_WAV | SF_FORMAT_PCM_16) << 2 << true;
    QTest::newRow("8-bit extensible with a title")
        << (SF_FORMAT_WAVEX | SF_FORMAT_PCM_U8) << 1 << true;
}

void tst_WavReader::writtenBySndfile() {
    QFETCH(int, format);
    QFETCH(int, channels);
    QFETCH(bool, titled);
    const QString path = dir_->filePath("lib.wav");
    SF_INFO sf{};
    sf.samplerate = 16000;
    sf.channels = channels;
    sf.format = format;
    SNDFILE* out = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &sf);
    QVERIFY(out);
    if (titled) sf_set_string(out, SF_STR_TITLE, "engine start");
    std::vector<short> wave(2000 * channels);
    for (size_t i = 0; i < wave.size(); ++i)
        wave[i] = static_cast<short>((i * 977) % 65536 - 32768);
    QCOMPARE(sf_writef_short(out, wave.data(), 2000), sf_count_t(2000));
    sf_close(out);

    const int bits = (format & SF_FORMAT_SUBMASK) == SF_FORMAT_PCM_24   ? 24
                     : (format & SF_FORMAT_SUBMASK) == SF_FORMAT_PCM_U8 ? 8
                                                                        : 16;
    SNDFILE* in = sf_open(QFile::encodeName(path).constData(), SFM_READ, &sf);
    QVERIFY(in);
    QByteArray raw(2000 * channels * bits / 8, '\0');
    QCOMPARE(sf_read_raw(in, raw.data(), raw.size()), sf_count_t(raw.size()));
    sf_close(in);

    SoundInfoRecord info;
    QVERIFY(InspectFile(dir_->path(), "lib.wav", info).IsValid());
    CheckRelabel(path, raw, 16000, bits, channels);
}

// The game file made from the WAV holds its header values and exactly its sample bytes.
void tst_WavReader::CheckRelabel(const QString& path, const QByteArray& samples, int rate, int bits,
                                 int channels) {
    QString folder, name;
    SplitPath(path, folder, name);
    QVERIFY(InspectFile(folder, name, SoundInfo).IsValid());
    const QString dest = dir_->filePath("OUT.SND");
    if (!GameFieldsFit(rate, bits, channels)) {
        // Samples a game file cannot hold are refused, pointing to Import.
        try {
            MakeSND(SoundInfo.SourcePath(), dest);
            QFAIL("a WAV the game format cannot hold was converted");
        } catch (const AppError& e) {
            QVERIFY2(e.Description.contains("Import"), qPrintable(e.Description));
        }
        QVERIFY(!QFile::exists(dest));
        return;
    }
    MakeSND(SoundInfo.SourcePath(), dest);
    const QByteArray out = Fixtures::ReadFile(dest);
    QCOMPARE(out.size(), 28 + samples.size());
    const QList<qint32> fields = Fixtures::GameFields(out);
    QCOMPARE(fields[2], samples.size());
    QCOMPARE(fields[3], rate);
    QCOMPARE(fields[4], bits);
    QCOMPARE(fields[5], channels);
    QVERIFY(out.mid(28) == samples);
}

QTEST_APPLESS_MAIN(tst_WavReader)
#include "tst_WavReader.moc"
