#include <fcntl.h>
#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <QtTest>

#include "AppError.h"
#include "Conversion.h"
#include "Inspection.h"
#include "SampleCopier.h"
#include "SoundFixtures.h"

using namespace mUtility;
using Fixtures::Game;
using Fixtures::Wav;

namespace {

struct WavFacts {
    int rate = 0, channels = 0;
    qint64 frames = 0;
    QByteArray samples;
};

// What an independent reader makes of a WAV file.
WavFacts ReadWithSndfile(const QString& path) {
    SF_INFO sf{};
    SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_READ, &sf);
    if (!file) return {};
    WavFacts facts{sf.samplerate, sf.channels, sf.frames, {}};
    QByteArray buffer(1 << 16, '\0');
    sf_count_t n;
    while ((n = sf_read_raw(file, buffer.data(), buffer.size())) > 0)
        facts.samples += buffer.left(n);
    sf_close(file);
    return facts;
}

}  // namespace

class tst_Conversion : public QObject {
    Q_OBJECT

private slots:
    void init();
    void gameToWav_data();
    void gameToWav();
    void wavToGame();
    void gameToGameCarriesChoices();
    void replacesExistingDestination();
    void destinationEqualToSource();
    void refusedDataLengths_data();
    void refusedDataLengths();
    void failuresKeepOldDestination();
    void copierCopiesExactlyOrFails_data();
    void copierCopiesExactlyOrFails();

private:
    QString Make(const QString& name, const QByteArray& bytes) {
        const QString path = dir_->filePath(name);
        if (!Fixtures::WriteFile(path, bytes)) qFatal("cannot write fixture");
        return path;
    }
    void Inspect(const QString& name) {
        QVERIFY(InspectFile(dir_->path(), name, SoundInfo).IsValid());
    }

    std::unique_ptr<QTemporaryDir> dir_;
};

void tst_Conversion::init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    StatusText.clear();
    ConvertedCount = 0;
}

void tst_Conversion::gameToWav_data() {
    QTest::addColumn<int>("bits");
    QTest::addColumn<int>("channels");
    QTest::addColumn<int>("blockAlign");
    QTest::newRow("8-bit mono") << 8 << 1 << 1;
    QTest::newRow("8-bit stereo") << 8 << 2 << 2;
    QTest::newRow("16-bit mono") << 16 << 1 << 2;
    QTest::newRow("16-bit stereo") << 16 << 2 << 4;
    QTest::newRow("12-bit stereo") << 12 << 2 << 4;
    QTest::newRow("9-bit mono") << 9 << 1 << 2;
}

// The 44-byte header carries the record's shape; the samples follow unchanged.
void tst_Conversion::gameToWav() {
    QFETCH(int, bits);
    QFETCH(int, channels);
    QFETCH(int, blockAlign);
    const QByteArray samples = Fixtures::Samples(88200);
    const QString src = Make(
        "song.snd",
        Fixtures::GameFile(Game{.length = 88200, .rate = 22050, .bits = bits, .channels = channels},
                           samples + "trailing bytes"));
    SoundInfo.ByteRate = 12345;  // an earlier file's values must not survive
    SoundInfo.BlockAlign = 99;
    Inspect("song.snd");
    const QString dest = dir_->filePath("SONG.WAV");
    MakeWAV(src, dest);

    const QByteArray out = Fixtures::ReadFile(dest);
    QCOMPARE(out.size(), 44 + 88200);
    QCOMPARE(out.left(4), QByteArray("RIFF"));
    QCOMPARE(Fixtures::Get32(out, 4), 88200 + 36);
    QCOMPARE(out.mid(8, 8), QByteArray("WAVEfmt "));
    QCOMPARE(Fixtures::Get32(out, 16), 16);
    QCOMPARE(Fixtures::Get16(out, 20), qint16(1));
    QCOMPARE(Fixtures::Get16(out, 22), qint16(channels));
    QCOMPARE(Fixtures::Get32(out, 24), 22050);
    QCOMPARE(Fixtures::Get32(out, 28), 22050 * blockAlign);
    QCOMPARE(Fixtures::Get16(out, 32), qint16(blockAlign));
    QCOMPARE(Fixtures::Get16(out, 34), qint16(bits));
    QCOMPARE(out.mid(36, 4), QByteArray("data"));
    QCOMPARE(Fixtures::Get32(out, 40), 88200);
    QVERIFY(out.mid(44) == samples);
    QCOMPARE(SoundInfo.BlockAlign, qint16(blockAlign));
    QVERIFY(SoundInfo.SampleData.isEmpty());

    if (bits == 8 || bits == 16) {
        const WavFacts facts = ReadWithSndfile(dest);
        QCOMPARE(facts.rate, 22050);
        QCOMPARE(facts.channels, channels);
        QCOMPARE(facts.frames, qint64(88200 / blockAlign));
        QVERIFY(facts.samples == samples);
    }
    QCOMPARE(StatusText, dest + " created successfully!\r\n");
    QCOMPARE(ConvertedCount, qint16(1));
}

void tst_Conversion::wavToGame() {
    const QByteArray samples = Fixtures::Samples(5000);
    const QString src =
        Make("a.wav", Fixtures::WavFile(Wav{.channels = 1, .rate = 8000, .bits = 8}, samples));
    Inspect("a.wav");
    SoundInfo.EightBitFlag = 2;
    SoundInfo.InternalID = 4321;
    const QString dest = dir_->filePath("A.SND");
    MakeSND(src, dest);
    const QByteArray out = Fixtures::ReadFile(dest);
    QCOMPARE(out.size(), 28 + 5000);
    QCOMPARE(Fixtures::GameFields(out), QList<qint32>({2, 4321, 5000, 8000, 8, 1, 0}));
    QVERIFY(out.mid(28) == samples);
}

// SND to WSD, three times: the record's flag and ID are written, and each
// success adds one line.
void tst_Conversion::gameToGameCarriesChoices() {
    const QByteArray samples = Fixtures::Samples(300);
    const QString src =
        Make("b.snd", Fixtures::GameFile(Game{.flag = 0, .id = 1, .bits = 8}, samples));
    Inspect("b.snd");
    SoundInfo.EightBitFlag = 2;
    SoundInfo.InternalID = 9999;
    SoundInfo.Channels = -2;  // a header inspection would refuse: nothing written
    QVERIFY_THROWS_EXCEPTION(AppError, MakeSND(src, dir_->filePath("X.WSD")));
    QVERIFY(!QFile::exists(dir_->filePath("X.WSD")));
    SoundInfo.Channels = 1;
    QString expected;
    for (const char* name : {"B.WSD", "C.WSD", "D.WSD"}) {
        const QString dest = dir_->filePath(name);
        MakeSND(src, dest);
        expected += dest + " created successfully!\r\n";
        const QByteArray out = Fixtures::ReadFile(dest);
        QCOMPARE(Fixtures::Get32(out, 0), 2);
        QCOMPARE(Fixtures::Get32(out, 4), 9999);
        QCOMPARE(Fixtures::Get32(out, 20), 1);
        QVERIFY(out.mid(28) == samples);
    }
    QCOMPARE(StatusText, expected);
    QCOMPARE(ConvertedCount, qint16(3));
}

void tst_Conversion::replacesExistingDestination() {
    const QString src = Make("c.snd", Fixtures::GameFile(Game{}, Fixtures::Samples(100)));
    const QString dest = Make("C.WAV", QByteArray(10000, 'x'));
    QVERIFY(QFile::setPermissions(dest, QFile::ReadOwner | QFile::WriteOwner));
    Inspect("c.snd");
    MakeWAV(src, dest);
    QCOMPARE(Fixtures::ReadFile(dest).size(), 144);
    struct stat st {};
    QCOMPARE(::stat(QFile::encodeName(dest).constData(), &st), 0);
    QCOMPARE(st.st_mode & 0777, 0600u);  // the replaced file's mode, not a wider one
    QCOMPARE(Fixtures::Entries(dir_->path()), QStringList({"C.WAV", "c.snd"}));
}

// The samples are read from the old file while the new one is written beside it.
void tst_Conversion::destinationEqualToSource() {
    const QByteArray samples = Fixtures::Samples(70000);
    const QString src = Make("same.snd", Fixtures::GameFile(Game{.id = 5}, samples));
    Inspect("same.snd");
    SoundInfo.InternalID = 6;
    MakeSND(src, src);
    const QByteArray out = Fixtures::ReadFile(src);
    QCOMPARE(Fixtures::Get32(out, 4), 6);
    QVERIFY(out.mid(28) == samples);
    QCOMPARE(Fixtures::Entries(dir_->path()), QStringList({"same.snd"}));
}

void tst_Conversion::refusedDataLengths_data() {
    QTest::addColumn<qint32>("length");
    QTest::addColumn<qint32>("number");
    QTest::newRow("-1") << -1 << qint32(ErrNo::InvalidProcedureCall);
    QTest::newRow("INT32_MIN") << INT32_MIN << qint32(ErrNo::InvalidProcedureCall);
    QTest::newRow("one past the end") << 1001 << qint32(ErrNo::InputPastEnd);
    QTest::newRow("INT32_MAX") << INT32_MAX << qint32(ErrNo::InputPastEnd);
}

// A length the source cannot supply is refused before anything is written,
// with both numbers in the message and the routine's call in the report.
void tst_Conversion::refusedDataLengths() {
    QFETCH(qint32, length);
    QFETCH(qint32, number);
    const QString src = Make("d.snd", Fixtures::GameFile(Game{}, Fixtures::Samples(1000)));
    const QString dest = Make("D.WAV", "old contents");
    Inspect("d.snd");
    SoundInfo.DataLength = length;
    StatusText = "earlier\r\n";
    try {
        MakeWAV(src, dest);
        QFAIL("converted");
    } catch (const AppError& e) {
        QCOMPARE(e.Number, number);
        QVERIFY2(e.Description.contains(QString::number(length)), qPrintable(e.Description));
        QVERIFY2(e.Description.contains("1000 bytes"), qPrintable(e.Description));
        QVERIFY2(e.Description.contains("mUtility.MakeWAV("), qPrintable(e.Description));
    }
    QVERIFY(SoundInfo.SampleData.isEmpty());
    QCOMPARE(Fixtures::ReadFile(dest), QByteArray("old contents"));
    QCOMPARE(StatusText, QString("earlier\r\n"));
    QCOMPARE(ConvertedCount, qint16(0));
    QCOMPARE(Fixtures::Entries(dir_->path()), QStringList({"D.WAV", "d.snd"}));
}

// A full disk (a file-size limit with SIGXFSZ ignored) and a vanished source:
// the old destination stays byte for byte, no temporary file is left.
void tst_Conversion::failuresKeepOldDestination() {
    const QString src = Make("e.snd", Fixtures::GameFile(Game{}, Fixtures::Samples(300000)));
    const QByteArray old = Fixtures::Samples(1000);
    const QString dest = Make("E.WAV", old);
    Inspect("e.snd");

    auto expectFailure = [&](qint32 number, const char* tag) {
        try {
            MakeWAV(src, dest);
            QFAIL("converted");
        } catch (const AppError& e) {
            QCOMPARE(e.Number, number);
            QVERIFY(e.Description.contains(tag));
        }
        QVERIFY(Fixtures::ReadFile(dest) == old);
        QVERIFY(StatusText.isEmpty());
        QCOMPARE(ConvertedCount, qint16(0));
    };

    {
        const Fixtures::FileSizeLimit full(64 * 1024);
        QVERIFY(full.set);
        expectFailure(ErrNo::DiskFull, "mUtility.MakeWAV(");
    }
    QCOMPARE(Fixtures::Entries(dir_->path()), QStringList({"E.WAV", "e.snd"}));

    QVERIFY(QFile::remove(src));
    expectFailure(ErrNo::FileNotFound, "mUtility.MakeWAV(");
    QCOMPARE(Fixtures::Entries(dir_->path()), QStringList({"E.WAV"}));
}

Q_DECLARE_METATYPE(SampleCopier::Strategy)

// Each copy writes exactly the bytes asked for after what the destination
// already holds, across buffer and page boundaries. A source holding fewer
// bytes than it promised is an error, not a short copy, and so is a full disk
// (a file-size limit, met by a short write first): each names the file at fault.
void tst_Conversion::copierCopiesExactlyOrFails_data() {
    using S = SampleCopier::Strategy;
    QTest::addColumn<S>("strategy");
    QTest::addColumn<qint64>("offset");
    QTest::addColumn<qint64>("held");  // bytes in the destination before the copy
    QTest::addColumn<qint64>("count");
    QTest::addColumn<bool>("pipe");
    QTest::addColumn<qint64>("limit");  // file-size limit; 0 for none
    QTest::addColumn<qint32>("error");
    QTest::addColumn<QString>("blamed");

    const qint64 all = 3 * SampleCopier::BufferSize + 5;
    const qint64 big = all - 28;
    const qint64 full = 44 + big - 1;  // the last write is one byte short
    for (const auto& [name, strategy] :
         {std::pair{"in kernel", S::InKernel}, std::pair{"buffered", S::Buffered},
          std::pair{"by file system", S::ByFileSystem}}) {
        const auto row = [&](const char* what) {
            return &QTest::newRow(qPrintable(QStringLiteral("%1: %2").arg(name, what)));
        };
        *row("28 to 44, several buffers")
            << strategy << 28LL << 44LL << big << false << 0LL << 0 << QString();
        *row("same offset in a page")
            << strategy << 4096LL + 28 << 28LL << big - 4096 << false << 0LL << 0 << QString();
        *row("odd offsets and length")
            << strategy << 4097LL << 3LL << 1000003LL << false << 0LL << 0 << QString();
        *row("nothing") << strategy << 10LL << 44LL << 0LL << false << 0LL << 0 << QString();
        *row("source short") << strategy << 100LL << 44LL << all - 99 << false << 0LL
                             << ErrNo::InputPastEnd << QStringLiteral("src");
        *row("disk full at the last byte") << strategy << 28LL << 44LL << big << false << full
                                           << ErrNo::DiskFull << QStringLiteral("dest");
    }
    QTest::newRow("to a pipe") << S::ByFileSystem << all - 1000 << 0LL << 1000LL << true << 0LL << 0
                               << QString();
    QTest::newRow("to a pipe, source short")
        << S::ByFileSystem << all - 1000 << 0LL << 1001LL << true << 0LL << ErrNo::InputPastEnd
        << QStringLiteral("src");
}

void tst_Conversion::copierCopiesExactlyOrFails() {
    QFETCH(SampleCopier::Strategy, strategy);
    QFETCH(qint64, offset);
    QFETCH(qint64, held);
    QFETCH(qint64, count);
    QFETCH(bool, pipe);
    QFETCH(qint64, limit);
    QFETCH(qint32, error);
    QFETCH(QString, blamed);

    const QByteArray data = Fixtures::Samples(3 * SampleCopier::BufferSize + 5);
    const QByteArray before(held, 'h');
    const QString src = Make("src", data);
    const QString dest = Make("dest", before);
    const int in = ::open(QFile::encodeName(src).constData(), O_RDONLY);
    // Not O_APPEND: the kernel's copy refuses such a file, so the row would
    // test the buffer instead.
    const int file = ::open(QFile::encodeName(dest).constData(), O_WRONLY);
    int pipeFds[2];
    QVERIFY(in >= 0 && file >= 0 && ::lseek(file, held, SEEK_SET) == held && ::pipe(pipeFds) == 0);
    const int out = pipe ? pipeFds[1] : file;
    qint32 number = 0;
    QString description;
    {
        const Fixtures::FileSizeLimit small(limit > 0 ? limit : RLIM_INFINITY);
        QVERIFY(small.set);
        try {
            SampleCopier::Copy(in, offset, out, count, src, dest, strategy);
        } catch (const AppError& e) {
            number = e.Number;
            description = e.Description;
        }
    }
    QByteArray piped(count, '\0');
    if (pipe && !error) QCOMPARE(::read(pipeFds[0], piped.data(), count), count);
    for (int fd : {in, file, pipeFds[0], pipeFds[1]}) ::close(fd);

    QCOMPARE(number, error);
    if (error) {
        QVERIFY2(description.contains(dir_->filePath(blamed)), qPrintable(description));
        return;
    }
    const QByteArray expected = data.mid(offset, count);
    if (pipe)
        QVERIFY(piped == expected);
    else
        QVERIFY(Fixtures::ReadFile(dest) == before + expected);
}

QTEST_APPLESS_MAIN(tst_Conversion)
#include "tst_Conversion.moc"
