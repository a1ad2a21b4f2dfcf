#include <fcntl.h>
#include <sndfile.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>
#include <csignal>

#include "SignalFixtures.h"
#include "SoundFixtures.h"

using Fixtures::Game;
using Fixtures::Wav;

namespace {

struct Run {
    int exitCode = -1;
    QString out, err;
};

// The exit statuses the tests have seen zsnd give, as the help table writes
// them ("3", "128+N").
QSet<QString>& SeenStatuses() {
    static QSet<QString> seen;
    return seen;
}

void See(const QProcess& p) {
    if (p.exitStatus() == QProcess::NormalExit)
        SeenStatuses() << QString::number(p.exitCode());
    else
        SeenStatuses() << QStringLiteral("128+N");
}

Run Exec(const QString& program, const QStringList& args, const QString& workDir = {}) {
    QProcess p;
    if (!workDir.isEmpty()) p.setWorkingDirectory(workDir);
    p.start(program, args);
    p.waitForFinished(120000);
    if (program == QLatin1String(ZSND_PATH)) See(p);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

Run Zsnd(const QStringList& args, const QString& workDir = {}) {
    return Exec(QStringLiteral(ZSND_PATH), args, workDir);
}

// Rate, channels, frames and sample bytes as libsndfile reads them.
QString SndfileSummary(const QString& path, QByteArray* samples = nullptr) {
    SF_INFO sf{};
    SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_READ, &sf);
    if (!file) return QStringLiteral("unreadable: ") + sf_strerror(nullptr);
    QByteArray data(static_cast<qsizetype>(sf.frames * sf.channels * 2 + 16), '\0');
    const sf_count_t n = sf_read_raw(file, data.data(), data.size());
    sf_close(file);
    if (samples) *samples = data.left(n);
    return QStringLiteral("%1 Hz, %2 ch, %3 frames")
        .arg(sf.samplerate)
        .arg(sf.channels)
        .arg(sf.frames);
}

// A reader of RFC 4180 text written for the tests: records of fields, quoted
// fields may hold commas, doubled quotes and line ends; every record ends in CR LF.
QList<QStringList> ReadCsv(const QString& text, bool* wellFormed) {
    QList<QStringList> records;
    QStringList record;
    QString field;
    bool quoted = false, ok = true;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c != '"') {
                field += c;
            } else if (i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else {
                quoted = false;
            }
        } else if (c == '"' && field.isEmpty()) {
            quoted = true;
        } else if (c == ',') {
            record << field;
            field.clear();
        } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            record << field;
            records << record;
            record.clear();
            field.clear();
            ++i;
        } else {
            ok = ok && c != '\n' && c != '\r' && c != '"';
            field += c;
        }
    }
    *wellFormed = ok && !quoted && field.isEmpty() && record.isEmpty();
    return records;
}

}  // namespace

class tst_zsnd : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanupTestCase();
    void cleanup();
    void infoPrintsPanels();
    void infoExitStatuses();
    void infoJson();
    void infoFolderCsv();
    void infoHashProvesSamplesKept();
    void cutWritesExactFrames_data();
    void cutWritesExactFrames();
    void cutRefusals();
    void convertAppliesDialogRules();
    void convertRefusals();
    void batchConvertsFolder();
    void batchStopsAtFirstFailure();
    void batchRefusesNamesBeforeWriting();
    void batchSaysWhatAThingIs();
    void fatalSignalLeavesNoTemporaryFile_data();
    void fatalSignalLeavesNoTemporaryFile();
    void modesAreKeptNotWidened();
    void lostOutputIsAFailure();
    void destinationEdges();
    void oddNamesReachTheFileSystem();
    void fullDiskKeepsOldDestination();
    void readOnlyFolderKeepsOldDestination();
    void importWritesGameFiles();
    void importRefusals();
    void demoWritesItsSetOnce();
    void eachCommandShowsItsOwnUsage();

private:
    QString Make(const QString& name, const QByteArray& bytes) {
        const QString path = dir_->filePath(name);
        if (!Fixtures::WriteFile(path, bytes)) qFatal("cannot write fixture");
        return path;
    }
    std::unique_ptr<QTemporaryDir> dir_;
};

void tst_zsnd::init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
}

// After a whole run: every exit status the help's table lists was given by
// zsnd in some test.
void tst_zsnd::cleanupTestCase() {
    if (QCoreApplication::arguments().size() > 1) return;  // only some tests ran
    const QString help = Zsnd({"--help"}).out;
    const QString table = help.mid(help.indexOf("Exit status"));
    const QRegularExpression status(QStringLiteral("^  (\\d+(?:\\+N)?) "),
                                    QRegularExpression::MultilineOption);
    QStringList listed;
    for (auto m = status.globalMatch(table); m.hasNext();) listed << m.next().captured(1);
    QCOMPARE(listed.size(), 5);
    for (const QString& code : listed)
        QVERIFY2(SeenStatuses().contains(code), qPrintable("no test saw exit status " + code));
}

void tst_zsnd::cleanup() {
    Fixtures::RemoveTree(dir_->path());
    dir_.reset();
}

void tst_zsnd::infoPrintsPanels() {
    Make("song.snd", Fixtures::GameFile(Game{.flag = 2}, Fixtures::Samples(23506)));
    Make("B.wav",
         Fixtures::WavFile(Wav{.channels = 1, .rate = 8000, .bits = 8}, Fixtures::Samples(532)));
    const Run r = Zsnd({"info", "song.snd", dir_->filePath("B.wav")}, dir_->path());
    QCOMPARE(r.err, QString());
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.out, QString("File: SONG.SND\n8-bit Flag: True\nInternal ID #: 12\n"
                            "Data length: 22.9 KB\nSample rate: 22050 Hz\nBit depth: 16-bit\n"
                            "Channels: Stereo\n\n"
                            "File: B.WAV\n8-bit Flag: N/A\nInternal ID #: N/A\n"
                            "Data length: 532 bytes\nSample rate: 8000 Hz\nBit depth: 8-bit\n"
                            "Channels: Mono\n"));
}

void tst_zsnd::infoExitStatuses() {
    Make("ok.snd", Fixtures::GameFile(Game{}, {}));
    Make("slow.snd", Fixtures::GameFile(Game{.rate = 4000}, {}));
    Run r = Zsnd({"info", "slow.snd", "ok.snd"}, dir_->path());
    QCOMPARE(r.exitCode, 1);
    QCOMPARE(r.err, QString("slow.snd: This file does not appear to be a valid SND file. "
                            "Sample Rate: 4000\n"));
    QVERIFY(r.out.startsWith("File: OK.SND\n"));

    // A dangling link is a file that cannot be read, not a folder that is missing.
    QVERIFY(QDir(dir_->path()).mkpath("d"));
    QVERIFY(QFile::link("/nonexistent", dir_->filePath("d/gone.snd")));
    QVERIFY(QFile::copy(dir_->filePath("ok.snd"), dir_->filePath("d/ok.snd")));
    r = Zsnd({"info", "--csv", "d"}, dir_->path());
    QCOMPARE(r.exitCode, 3);
    QVERIFY2(r.err.contains("d/gone.snd") && r.out.contains("d/ok.snd,SND,true"),
             qPrintable(r.err));
    r = Zsnd({"info", "--json", "--", "-r"}, dir_->path());
    QCOMPARE(QJsonDocument::fromJson(r.out.toUtf8()).array()[0].toObject()["type"].toString(),
             QString());

    r = Zsnd({"info", "slow.snd", "gone.snd"}, dir_->path());
    QCOMPARE(r.exitCode, 3);
    QVERIFY2(r.err.contains("error 53") && r.err.contains("gone.snd"), qPrintable(r.err));

    for (const QStringList& args : {QStringList{},
                                    {"info"},
                                    {"info", "--colour", "ok.snd"},
                                    {"play", "ok.snd"},
                                    {"batch", "--from", "snd", "."}}) {
        r = Zsnd(args, dir_->path());
        QCOMPARE(r.exitCode, 2);
        QVERIFY(r.err.contains("zsnd --help"));
    }
    r = Zsnd({"--help"});
    QCOMPARE(r.exitCode, 0);
    for (const char* word : {"zsnd info", "--json", "zsnd convert", "--rate", "--bits",
                             "--channels", "--flag", "--id", "zsnd batch", "--from", "--to"})
        QVERIFY2(r.out.contains(word), word);

    // Many names of one folder are told apart by its listing: the same rows
    // and status as one name at a time.
    QStringList many{"d", "gone.snd", "slow.snd", "link.snd", "pipe.snd"};
    QVERIFY(QFile::link("ok.snd", dir_->filePath("link.snd")));
    QVERIFY(::mkfifo(QFile::encodeName(dir_->filePath("pipe.snd")).constData(), 0600) == 0);
    for (int i = 0; i < 32; ++i) {
        many << QStringLiteral("m%1.snd").arg(i);
        QVERIFY(QFile::copy(dir_->filePath("ok.snd"), dir_->filePath(many.last())));
    }
    QString rows;
    for (const QString& name : many)
        rows += Zsnd({"info", "--csv", name}, dir_->path()).out.section("\r\n", 1);
    r = Zsnd(QStringList{"info", "--csv"} + many, dir_->path());
    QCOMPARE(r.exitCode, 3);
    QCOMPARE(r.out.section("\r\n", 1), rows);
}

void tst_zsnd::infoJson() {
    Make("a.wsd", Fixtures::GameFile(Game{.id = -3, .channels = 3}, {}));
    Make("b.wav", Fixtures::WavFile(Wav{.tag = 3, .bits = 32}, {}));  // float samples
    const Run r = Zsnd({"info", "--json", "a.wsd", "b.wav"}, dir_->path());
    QCOMPARE(r.exitCode, 1);
    const QJsonArray records = QJsonDocument::fromJson(r.out.toUtf8()).array();
    QCOMPARE(records.size(), 2);
    const QJsonObject a = records[0].toObject();
    QCOMPARE(a["outcome"].toString(), QString("invalid"));
    QCOMPARE(a["sampleRate"].toInt(), 22050);
    QCOMPARE(a["message"].toObject()["text"].toString(),
             QString("This file does not appear to be a valid WSD file.\r\n\r\nChannels: 3"));
    QCOMPARE(a["panel"].toObject()["channels"].toString(), QString("ERROR!"));
    const QJsonObject b = records[1].toObject();
    QCOMPARE(b["outcome"].toString(), QString("malformed_wav"));
    QCOMPARE(b["message"].toObject()["icon"].toString(), QString("critical"));

    QVERIFY(Fixtures::WriteSignal(dir_->filePath("x.wav"), SF_FORMAT_WAVEX | SF_FORMAT_PCM_16,
                                  22050, 1, 100, Fixtures::Sine(0.5, 1000, 22050)));
    const QJsonObject x =
        QJsonDocument::fromJson(Zsnd({"info", "--json", "x.wav"}, dir_->path()).out.toUtf8())
            .array()[0]
            .toObject();
    QCOMPARE(x["formatTag"].toInt(), 65534);
}

// Folder operands list their sound files in any letter case, sub-folders with
// -r (once each, even through a link back up); names survive a CSV reader.
void tst_zsnd::infoFolderCsv() {
    QVERIFY(QDir(dir_->path()).mkpath("box/sub"));
    const auto put = [this](const QString& name, const QByteArray& bytes) {
        Make("box/" + name, bytes);
    };
    put("a,b \"q\".snd", Fixtures::GameFile(Game{.flag = 2, .id = 7, .bits = 8, .channels = 1},
                                            Fixtures::Samples(22050)));
    put("line\nbreak.WSD", Fixtures::GameFile(Game{}, Fixtures::Samples(4410)));
    put("Mono.Wav", Fixtures::WavFile(Wav{.channels = 1, .rate = 8000}, Fixtures::Samples(1600)));
    put("slow.snd", Fixtures::GameFile(Game{.rate = 4000}, {}));
    put("notes.txt", "not a sound");
    put("sub/deep.snd", Fixtures::GameFile(Game{}, Fixtures::Samples(8)));
    QVERIFY(QFile::link("..", dir_->filePath("box/sub/up")));

    const QString box = dir_->filePath("box");
    Run r = Zsnd({"info", "--csv", box});
    QCOMPARE(r.exitCode, 1);  // slow.snd is refused
    QCOMPARE(r.err, QString());
    bool wellFormed = false;
    QList<QStringList> rows = ReadCsv(r.out, &wellFormed);
    QVERIFY2(wellFormed, qPrintable(r.out));
    QCOMPARE(rows.value(0), QString("path,type,valid,refusal,eight_bit_flag,internal_id,"
                                    "data_length,sample_rate,bit_depth,channels,frames,duration_s")
                                .split(','));
    const QList<QStringList> expected{
        {box + "/a,b \"q\".snd", "SND", "true", "", "2", "7", "22050", "22050", "8", "1", "22050",
         "1.000000"},
        {box + "/line\nbreak.WSD", "WSD", "true", "", "0", "12", "4410", "22050", "16", "2", "1102",
         "0.049977"},
        {box + "/Mono.Wav", "WAV", "true", "", "", "", "1600", "8000", "16", "1", "800",
         "0.100000"},
        {box + "/slow.snd", "SND", "false",
         "This file does not appear to be a valid SND file. Sample Rate: 4000", "0", "12", "0",
         "4000", "16", "2", "", ""}};
    QCOMPARE(rows.mid(1), expected);

    r = Zsnd({"info", "-r", "--csv", box, box + "/Mono.Wav"});
    rows = ReadCsv(r.out, &wellFormed);
    QVERIFY(wellFormed);
    QStringList paths;
    for (const QStringList& row : rows.mid(1)) paths << row.value(0);
    // A file its folder already stands for is not listed again.
    QCOMPARE(paths, QStringList({box + "/a,b \"q\".snd", box + "/line\nbreak.WSD",
                                 box + "/Mono.Wav", box + "/slow.snd", box + "/sub/deep.snd"}));

    r = Zsnd({"info", "--json", "-r", dir_->filePath("box/sub")});
    QCOMPARE(r.exitCode, 1);
    const QJsonArray all = QJsonDocument::fromJson(r.out.toUtf8()).array();
    QCOMPARE(all.size(), 5);  // the link up reaches the box, whose sub-folder is not listed again
    QCOMPARE(all[0].toObject()["path"].toString(), dir_->filePath("box/sub/deep.snd"));
    QCOMPARE(all[3].toObject()["eightBitFlag"], QJsonValue());  // Mono.Wav: no flag
    QCOMPARE(all[3].toObject()["frames"].toInt(), 800);
    QCOMPARE(all[4].toObject()["valid"].toBool(), false);

    // A name that is not valid UTF-8 is listed and read, not reported missing.
    QVERIFY(QDir(dir_->path()).mkdir("odd"));
    Make("odd/x.snd", Fixtures::GameFile(Game{}, Fixtures::Samples(40)));
    const QByteArray odd = QFile::encodeName(dir_->filePath("odd"));
    QCOMPARE(::rename((odd + "/x.snd").constData(), (odd + "/b\xff.snd").constData()), 0);
    r = Zsnd({"info", "--csv", dir_->filePath("odd")});
    QCOMPARE(r.exitCode, 0);
    rows = ReadCsv(r.out, &wellFormed);
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows[1].value(2), QString("true"));
    QCOMPARE(rows[1].value(10), QString("10"));

    r = Zsnd({"info", "--csv", "--json", box});
    QCOMPARE(r.exitCode, 2);
    r = Zsnd({"info", "--csv", dir_->filePath("none"), dir_->filePath("empty")});
    QCOMPARE(r.exitCode, 3);
    rows = ReadCsv(r.out, &wellFormed);
    QCOMPARE(rows.size(), 3);
    QCOMPARE(rows[1].mid(1, 3),
             QStringList({"", "false", "error 53: File not found: " + dir_->filePath("none")}));
}

// The hash covers the sample bytes alone: a game file and the WAV made from it agree.
void tst_zsnd::infoHashProvesSamplesKept() {
    const QByteArray samples = Fixtures::Samples(3 * 1024 * 1024 + 5);
    Make("A.SND", Fixtures::GameFile(Game{}, samples));
    QCOMPARE(Zsnd({"convert", "A.SND", "A.WAV"}, dir_->path()).exitCode, 0);
    QByteArray listed = Fixtures::WavFile(Wav{}, samples);
    listed.insert(36, QByteArray("LIST\x04\0\0\0INFO", 12));  // samples start at 56
    Make("listed.wav", listed);
    Make("empty.wsd", Fixtures::GameFile(Game{}, {}));
    const QString expected =
        QString::fromLatin1(QCryptographicHash::hash(samples, QCryptographicHash::Sha256).toHex());
    Run r = Zsnd({"info", "--csv", "--hash", "A.SND", "A.WAV", "listed.wav", "empty.wsd"},
                 dir_->path());
    QCOMPARE(r.exitCode, 0);
    bool wellFormed = false;
    const QList<QStringList> rows = ReadCsv(r.out, &wellFormed);
    QCOMPARE(rows.value(0).last(), QString("sha256"));
    QCOMPARE(rows.value(1).last(), expected);
    QCOMPARE(rows.value(2).last(), expected);
    QCOMPARE(rows.value(3).last(), expected);
    QCOMPARE(rows.value(4).last(),
             QString("e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"));
    r = Zsnd({"info", "--hash", "A.WAV"}, dir_->path());
    QVERIFY2(r.out.endsWith("Channels: Stereo\nSHA-256: " + expected + "\n"), qPrintable(r.out));
    r = Zsnd({"info", "--json", "--hash", "A.WAV"}, dir_->path());
    QCOMPARE(QJsonDocument::fromJson(r.out.toUtf8()).array()[0].toObject()["sha256"].toString(),
             expected);
}

void tst_zsnd::cutWritesExactFrames_data() {
    QTest::addColumn<QString>("source");
    QTest::addColumn<QStringList>("range");
    QTest::addColumn<QString>("dest");
    QTest::addColumn<int>("frameBytes");
    QTest::addColumn<qint64>("first");
    QTest::addColumn<qint64>("count");
    // a.snd: 8-bit mono, 1000 frames at 8000 Hz; b.wsd: 16-bit stereo, 1000 frames;
    // c.wav: 16-bit stereo, 1000 frames at 44100 Hz.
    QTest::newRow("8-bit mono") << "a.snd"
                                << QStringList{"--from-sample", "10", "--to-sample", "19"}
                                << "A.SND" << 1 << 10LL << 10LL;
    QTest::newRow("stereo to the last frame")
        << "b.wsd" << QStringList{"--from-sample=990", "--to-sample=999"} << "B.WSD" << 4 << 990LL
        << 10LL;
    QTest::newRow("one frame") << "b.wsd" << QStringList{"--from-sample", "0", "--to-sample", "0"}
                               << "one.wsd" << 4 << 0LL << 1LL;
    QTest::newRow("seconds") << "a.snd" << QStringList{"--from", "0.01", "--to", "0.02"} << "s.snd"
                             << 1 << 80LL << 80LL;
    // Seconds go to the nearest frame: 1.98 frames is frame 2, 4.41 is frame 4.
    QTest::newRow("seconds rounded")
        << "b.wsd" << QStringList{"--from", "0.00009", "--to", "0.0002"} << "r.wsd" << 4 << 2LL
        << 2LL;
    QTest::newRow("game to wav") << "b.wsd" << QStringList{"--from-sample", "500"} << "half.wav"
                                 << 4 << 500LL << 500LL;
    QTest::newRow("wav") << "c.wav" << QStringList{"--to-sample", "99"} << "C.WAV" << 4 << 0LL
                         << 100LL;
    QTest::newRow("wav to game") << "c.wav" << QStringList{"--from-sample", "998"} << "C.SND" << 4
                                 << 998LL << 2LL;
    QTest::newRow("onto itself") << "b.wsd" << QStringList{"--from-sample", "1", "--to-sample", "2"}
                                 << "b.wsd" << 4 << 1LL << 2LL;
}

// The new file holds exactly the source's sample bytes of the frames, behind
// the source's header values with the new data length.
void tst_zsnd::cutWritesExactFrames() {
    QFETCH(QString, source);
    QFETCH(QStringList, range);
    QFETCH(QString, dest);
    QFETCH(int, frameBytes);
    QFETCH(qint64, first);
    QFETCH(qint64, count);
    const QByteArray mono = Fixtures::Samples(1000), stereo = Fixtures::Samples(4000);
    const QByteArray& samples = frameBytes == 1 ? mono : stereo;
    Make("a.snd", Fixtures::GameFile(
                      Game{.flag = 2, .id = 42, .rate = 8000, .bits = 8, .channels = 1}, mono));
    Make("b.wsd", Fixtures::GameFile(Game{.id = 9}, stereo));
    QByteArray listed = Fixtures::WavFile(Wav{}, stereo);
    listed.insert(36, QByteArray("LIST\x04\0\0\0INFO", 12));  // samples start at 56
    Make("c.wav", listed);
    const Run r = Zsnd(QStringList{"cut"} + range + QStringList{source, dest}, dir_->path());
    QCOMPARE(r.err, QString());
    QCOMPARE(r.exitCode, 0);
    const QByteArray out = Fixtures::ReadFile(dir_->filePath(dest));
    const QByteArray want = samples.mid(first * frameBytes, count * frameBytes);
    const bool wav = dest.endsWith(".wav", Qt::CaseInsensitive);
    QVERIFY(out.mid(wav ? 44 : 28) == want);
    if (wav) {
        QByteArray read;
        QCOMPARE(
            SndfileSummary(dir_->filePath(dest), &read),
            QString("%1 Hz, 2 ch, %2 frames").arg(source == "c.wav" ? 44100 : 22050).arg(count));
        QVERIFY(read == want);
    } else {
        // A WAV's shape with the flag that follows 16 bits and ID 0; a game
        // file's own header values.
        const QList<qint32> h =
            source == "c.wav" ? QList<qint32>{0, 0, 0, 44100, 16, 2, 0}
                              : Fixtures::GameFields(Fixtures::ReadFile(dir_->filePath(source)));
        QCOMPARE(Fixtures::GameFields(out),
                 QList<qint32>({h[0], h[1], qint32(want.size()), h[3], h[4], h[5], 0}));
    }
    const QStringList entries = Fixtures::Entries(dir_->path());  // no temporary file left
    QCOMPARE(QSet<QString>(entries.begin(), entries.end()),
             QSet<QString>({"a.snd", "b.wsd", "c.wav", dest}));
}

void tst_zsnd::cutRefusals() {
    Make("b.wsd", Fixtures::GameFile(Game{}, Fixtures::Samples(4000)));  // 1000 frames
    Make("bad.snd", Fixtures::GameFile(Game{.bits = 24}, Fixtures::Samples(30)));
    Make("OUT.WSD", "old");
    for (const QStringList& args : {QStringList{"--from-sample", "5", "--to-sample", "1000"},
                                    {"--from-sample", "6", "--to-sample", "5"},
                                    {"--from-sample", "-1"},
                                    {"--from", "1", "--from-sample", "1"},
                                    {"--to", "nan"},
                                    {"--to", "0.5"},
                                    {"--to-sample", "99999999999999999999"},
                                    {"--from", "1e16"},
                                    {"--to", "1e300"},
                                    {"--from-sample", "1000"},
                                    {"--to-sample", "5 "}}) {
        const Run r =
            Zsnd(QStringList{"cut"} + args + QStringList{"b.wsd", "OUT.WSD"}, dir_->path());
        QVERIFY2(r.exitCode == 2 && r.err.contains("zsnd --help"), qPrintable(args.join(' ')));
    }
    Make("empty.snd", Fixtures::GameFile(Game{}, {}));
    Run r = Zsnd({"cut", "bad.snd", "OUT.WSD"}, dir_->path());
    QCOMPARE(r.exitCode, 1);
    QVERIFY(r.err.contains("Bit Depth: 24"));
    r = Zsnd({"cut", "empty.snd", "OUT.WSD"}, dir_->path());
    QCOMPARE(r.exitCode, 1);
    QVERIFY2(r.err.contains("holds no frames"), qPrintable(r.err));
    // A WAV at a rate no game header holds is cut into a WAV, not a game file.
    Make("slow.wav", Fixtures::WavFile(Wav{.rate = 4000}, Fixtures::Samples(40)));
    r = Zsnd({"cut", "slow.wav", "OUT.WSD"}, dir_->path());
    QCOMPARE(r.exitCode, 1);
    QVERIFY2(r.err.contains("zsnd import"), qPrintable(r.err));
    QCOMPARE(Fixtures::ReadFile(dir_->filePath("OUT.WSD")), QByteArray("old"));
    QCOMPARE(Zsnd({"cut", "slow.wav", "part.wav"}, dir_->path()).exitCode, 0);
    QVERIFY(QFile::remove(dir_->filePath("part.wav")) && QFile::remove(dir_->filePath("slow.wav")));
    r = Zsnd({"cut", "gone.snd", "OUT.WSD"}, dir_->path());
    QCOMPARE(r.exitCode, 3);
    QCOMPARE(Fixtures::ReadFile(dir_->filePath("OUT.WSD")), QByteArray("old"));
    QCOMPARE(Fixtures::Entries(dir_->path()),
             QStringList({"OUT.WSD", "b.wsd", "bad.snd", "empty.snd"}));
}

// The flag follows the bit depth unless set; rate, depth and channels relabel
// the same sample bytes.
void tst_zsnd::convertAppliesDialogRules() {
    const QByteArray samples = Fixtures::Samples(4410);
    Make("eight.snd",
         Fixtures::GameFile(Game{.flag = 0, .id = 5, .bits = 8, .channels = 1}, samples));
    Run r = Zsnd({"convert", "eight.snd", "out/../EIGHT.WSD"}, dir_->path());
    QCOMPARE(r.exitCode, 3);  // no folder "out": nothing written
    r = Zsnd({"convert", "eight.snd", "EIGHT.WSD"}, dir_->path());
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.out, QString("EIGHT.WSD created successfully!\n"));
    QByteArray out = Fixtures::ReadFile(dir_->filePath("EIGHT.WSD"));
    QCOMPARE(Fixtures::Get32(out, 0), 2);
    QCOMPARE(Fixtures::Get32(out, 4), 5);

    r = Zsnd(
        {"convert", "--rate", "11025", "--bits", "16", "--channels=2", "eight.snd", "x.snd.wav"},
        dir_->path());
    QCOMPARE(r.exitCode, 0);
    QByteArray read;
    QCOMPARE(SndfileSummary(dir_->filePath("x.snd.wav"), &read),
             QString("11025 Hz, 2 ch, 1102 frames"));
    QVERIFY(read == samples);
    QCOMPARE(Fixtures::ReadFile(dir_->filePath("x.snd.wav")).mid(44), samples);

    r = Zsnd({"convert", "--bits", "16", "--flag", "false", "--id", "0", "x.snd.wav", "y.snd"},
             dir_->path());
    QCOMPARE(r.exitCode, 0);
    out = Fixtures::ReadFile(dir_->filePath("y.snd"));
    QCOMPARE(Fixtures::GameFields(out), QList<qint32>({0, 0, 4410, 11025, 16, 2, 0}));
    QVERIFY(out.mid(28) == samples);

    // After "--" a name that looks like an option is a file.
    Make("--loud.snd", Fixtures::GameFile(Game{}, samples));
    r = Zsnd({"convert", "--", "--loud.snd", "-loud.wav"}, dir_->path());
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(Fixtures::ReadFile(dir_->filePath("-loud.wav")).mid(44), samples);
}

void tst_zsnd::convertRefusals() {
    Make("ok.snd", Fixtures::GameFile(Game{}, Fixtures::Samples(10)));
    Make("bad.snd", Fixtures::GameFile(Game{.bits = 24}, Fixtures::Samples(10)));
    Run r = Zsnd({"convert", "bad.snd", "BAD.WAV"}, dir_->path());
    QCOMPARE(r.exitCode, 1);
    QVERIFY(r.err.contains("Bit Depth: 24"));
    for (const QStringList& args : {QStringList{"convert", "ok.snd", "OK2.SND"},
                                    {"convert", "ok.snd", "OK.TXT"},
                                    {"convert", "--rate", "12345", "ok.snd", "OK.WAV"},
                                    {"convert", "--id", "10000", "ok.snd", "OK.WAV"},
                                    {"convert", "--id", "-1", "ok.snd", "OK.WAV"},
                                    {"convert", "--bits", "12", "ok.snd", "OK.WAV"},
                                    {"convert", "--flag", "yes", "ok.snd", "OK.WAV"},
                                    {"convert", "--id", "12", "ok.snd", "OK.WAV"},
                                    {"convert", "--flag", "true", "ok.snd", "OK.WAV"},
                                    {"convert", "--rate", "22050 ", "ok.snd", "OK.WAV"},
                                    {"convert", "ok.snd"}}) {
        r = Zsnd(args, dir_->path());
        QVERIFY2(r.exitCode == 2, qPrintable(args.join(' ')));
    }
    // A WAV whose samples a game file cannot hold is refused, pointing to
    // Import, by convert and batch alike.
    Make("w24.wav", Fixtures::WavFile(Wav{.channels = 1, .bits = 24}, Fixtures::Samples(30)));
    Make("w5.wav", Fixtures::WavFile(Wav{.channels = 5}, Fixtures::Samples(40)));
    Make("w0.wav", Fixtures::WavFile(Wav{.rate = 0}, Fixtures::Samples(40)));
    for (const char* source : {"w24.wav", "w5.wav", "w0.wav"}) {
        r = Zsnd({"convert", source, "OUT.SND"}, dir_->path());
        QVERIFY2(r.exitCode == 1 && r.err.contains("zsnd import") && r.out.isEmpty(),
                 qPrintable(r.err));
        r = Zsnd({"batch", "--from", "wav", "--to", "wsd", ".", source}, dir_->path());
        QVERIFY2(r.exitCode == 1 && r.err.contains("zsnd import"), qPrintable(r.err));
    }
    QCOMPARE(Fixtures::Entries(dir_->path()),
             QStringList({"bad.snd", "ok.snd", "w0.wav", "w24.wav", "w5.wav"}));
}

void tst_zsnd::batchConvertsFolder() {
    const QByteArray samples = Fixtures::Samples(2000);
    Make("boom.snd", Fixtures::GameFile(Game{.channels = 1}, samples));
    Make("Alpha.SND",
         Fixtures::GameFile(Game{.rate = 1, .bits = 99}, samples));  // damaged, converted as it is
    Make("c.snd.snd", Fixtures::GameFile(Game{}, samples));
    Make("skip.wav", Fixtures::WavFile(Wav{}, samples));
    Make("BOOM.WAV", "old output");
    const Run r = Zsnd({"batch", "--from", "snd", "--to", "WAV", dir_->path()});
    QCOMPARE(r.err, QString());
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.out, QString("Operation was successful!  3 files were converted.\n"));
    QCOMPARE(Fixtures::Entries(dir_->path()),
             QStringList({"ALPHA.WAV", "Alpha.SND", "BOOM.WAV", "C.WAV.WAV", "boom.snd",
                          "c.snd.snd", "skip.wav"}));
    QByteArray read;
    QCOMPARE(SndfileSummary(dir_->filePath("BOOM.WAV"), &read),
             QString("22050 Hz, 1 ch, 1000 frames"));
    QVERIFY(read == samples);
    QCOMPARE(SndfileSummary(dir_->filePath("C.WAV.WAV")), QString("22050 Hz, 2 ch, 500 frames"));
    QCOMPARE(Fixtures::Get16(Fixtures::ReadFile(dir_->filePath("ALPHA.WAV")), 34), qint16(99));
    QVERIFY(Fixtures::ReadFile(dir_->filePath("boom.snd")).mid(28) == samples);
}

// Named files in the order given; a missing or cut-off one stops the run,
// earlier outputs stay. A header it cannot convert is a refusal (1), as in
// every other command; a file it cannot read is a failure (3).
void tst_zsnd::batchStopsAtFirstFailure() {
    Make("a.wsd", Fixtures::GameFile(Game{.flag = 2, .id = 8}, Fixtures::Samples(100)));
    Make("c.wsd", Fixtures::GameFile(Game{}, Fixtures::Samples(100)).left(27));
    Make("float.wav", Fixtures::WavFile(Wav{.tag = 3, .bits = 32}, Fixtures::Samples(100)));
    Run cut = Zsnd({"batch", "--from=wsd", "--to=snd", dir_->path(), "c.wsd"});
    QCOMPARE(cut.exitCode, 1);
    QVERIFY2(cut.err.contains("error 62"), qPrintable(cut.err));
    cut = Zsnd({"batch", "--from=wav", "--to=snd", dir_->path(), "float.wav"});
    QCOMPARE(cut.exitCode, 1);
    QVERIFY2(cut.err.contains("zsnd import"), qPrintable(cut.err));
    QVERIFY(QFile::remove(dir_->filePath("float.wav")));
    Make("lie.wsd", Fixtures::GameFile(Game{.length = 1000}, Fixtures::Samples(100)));
    cut = Zsnd({"batch", "--from=wsd", "--to=wav", dir_->path(), "lie.wsd"});
    QCOMPARE(cut.exitCode, 1);
    QVERIFY2(cut.err.contains("error 62"), qPrintable(cut.err));
    QVERIFY(QFile::remove(dir_->filePath("lie.wsd")));
    const Run r =
        Zsnd({"batch", "--from=wsd", "--to=snd", dir_->path(), "a.wsd", "gone.wsd", "c.wsd"});
    QCOMPARE(r.exitCode, 3);
    QVERIFY2(r.err.contains("error 53") && r.err.contains("gone.wsd"), qPrintable(r.err));
    QVERIFY2(r.err.endsWith("zsnd: 1 of 3 converted; stopped at gone.wsd\n"), qPrintable(r.err));
    QCOMPARE(r.out, QString());
    QCOMPARE(Fixtures::Entries(dir_->path()), QStringList({"A.SND", "a.wsd", "c.wsd"}));
    const QByteArray out = Fixtures::ReadFile(dir_->filePath("A.SND"));
    QCOMPARE(Fixtures::Get32(out, 0), 2);  // the file's own flag and ID are carried over
    QCOMPARE(Fixtures::Get32(out, 4), 8);
}

// A named file of another type maps onto itself or elsewhere: nothing is
// written, the source keeps its header.
void tst_zsnd::batchRefusesNamesBeforeWriting() {
    const QByteArray game = Fixtures::GameFile(Game{}, Fixtures::Samples(64));
    Make("A.WSD", game);
    Make("b.snd", game);
    Make("notes.snd.bak", game);
    const struct {
        QStringList args;
        const char* message;
    } cases[] = {
        {{"batch", "--from", "snd", "--to", "wav", ".", "A.WSD"}, "A.WSD is not a .snd file"},
        {{"batch", "--from", "snd", "--to", "wav", ".", "b.snd", "A.WSD"}, "A.WSD is not a .snd"},
        {{"batch", "--from", "snd", "--to", "wav", ".", "notes.snd.bak"}, "notes.snd.bak is not"},
        {{"batch", "--from", "wsd", "--to", "snd", ".", "../A.WSD"}, "is not a file name in DIR"},
        {{"batch", "--from", "snd", "--to", "wav", ""}, "folder DIR is empty"},
    };
    for (const auto& c : cases) {
        const Run r = Zsnd(c.args, dir_->path());
        QVERIFY2(r.exitCode == 2 && r.err.contains(c.message),
                 qPrintable(c.args.join(' ') + r.err));
    }
    QCOMPARE(Fixtures::Entries(dir_->path()), QStringList({"A.WSD", "b.snd", "notes.snd.bak"}));
    QCOMPARE(Fixtures::ReadFile(dir_->filePath("A.WSD")), game);
    // The dialog and the command share the last guard.
    QCOMPARE(Zsnd({"batch", "--from", "snd", "--to", "wav", "."}, dir_->path()).exitCode, 0);
    QCOMPARE(Fixtures::Entries(dir_->path()),
             QStringList({"A.WSD", "B.WAV", "b.snd", "notes.snd.bak"}));

    // Outputs are worked out before anything is written: two sources that give
    // one name, or an output that is a source reached through a link, stop the run.
    QVERIFY(QDir(dir_->path()).mkpath("clash"));
    Make("clash/BOOM.SND", game);
    Make("clash/boom.snd", Fixtures::GameFile(Game{.id = 1}, Fixtures::Samples(64)));
    QVERIFY(QDir(dir_->path()).mkpath("self"));
    const QByteArray loop = Fixtures::WavFile(Wav{}, Fixtures::Samples(64));
    Make("self/LOOP.WAV", loop);
    QVERIFY(QFile::link("LOOP.WAV", dir_->filePath("self/loop.snd")));
    const struct {
        const char *folder, *from, *to, *message;
        QStringList entries;
    } clashes[] = {
        {"clash",
         "snd",
         "wsd",
         "BOOM.SND and boom.snd would both be converted to BOOM.WSD",
         {"BOOM.SND", "boom.snd"}},
        {"self", "snd", "wav", "LOOP.WAV would be written over loop.snd", {"LOOP.WAV", "loop.snd"}},
    };
    for (const auto& c : clashes) {
        const Run r = Zsnd({"batch", "--from", c.from, "--to", c.to, c.folder}, dir_->path());
        QVERIFY2(r.exitCode == 3 && r.err.contains(c.message) && r.out.isEmpty(),
                 qPrintable(r.err));
        QCOMPARE(Fixtures::Entries(dir_->filePath(c.folder)), c.entries);
    }
    QCOMPARE(Fixtures::ReadFile(dir_->filePath("self/LOOP.WAV")), loop);
}

void tst_zsnd::batchSaysWhatAThingIs() {
    Make("a.snd", Fixtures::GameFile(Game{}, Fixtures::Samples(64)));
    QCOMPARE(::mkfifo(QFile::encodeName(dir_->filePath("pipe.snd")).constData(), 0600), 0);
    QVERIFY(QDir(dir_->path()).mkdir("dir.snd"));
    const struct {
        QStringList args;
        QString message;
    } cases[] = {
        {{"info", "pipe.snd"}, "pipe.snd is a named pipe, not a regular file"},
        {{"convert", "dir.snd", "D.WAV"}, "dir.snd is a folder, not a regular file"},
        {{"convert", "/dev/null/x.snd", "X.WAV"}, "error 76"},
        {{"batch", "--from", "snd", "--to", "wav", ".", "a.snd", "pipe.snd"},
         "is a named pipe, not a regular file\nzsnd: 1 of 2 converted; stopped at pipe.snd\n"},
        {{"batch", "--from", "snd", "--to", "wav", "a.snd"}, "a.snd is a file, not a folder"},
    };
    for (const auto& c : cases) {
        const Run r = Zsnd(c.args, dir_->path());
        QVERIFY2(r.exitCode == 3 && r.err.contains(c.message),
                 qPrintable(c.args.join(' ') + r.err));
    }
}

void tst_zsnd::fatalSignalLeavesNoTemporaryFile_data() {
    QTest::addColumn<int>("sig");
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("hupIgnored");  // started under nohup: a HUP changes nothing
    QTest::newRow("SIGINT") << SIGINT << "convert" << false;
    QTest::newRow("SIGTERM") << SIGTERM << "convert" << false;
    QTest::newRow("SIGHUP") << SIGHUP << "convert" << false;
    for (const int sig : {SIGQUIT, SIGUSR1, SIGUSR2, SIGPIPE, SIGALRM, SIGXFSZ, SIGVTALRM})
        QTest::newRow(sigabbrev_np(sig)) << sig << "convert" << false;
    QTest::newRow("real-time") << SIGRTMIN << "convert" << false;
    QTest::newRow("import, SIGINT") << SIGINT << "import" << false;
    QTest::newRow("import, SIGTERM") << SIGTERM << "import" << false;
    QTest::newRow("import, SIGTERM after an ignored SIGHUP") << SIGTERM << "import" << true;
}

// A real signal to a real conversion or import of a 1 GiB file (sparse, on a
// tmpfs when there is one): the temporary file goes, the old destination
// stays, and the process ends by the signal.
void tst_zsnd::fatalSignalLeavesNoTemporaryFile() {
    QFETCH(int, sig);
    QFETCH(QString, command);
    QFETCH(bool, hupIgnored);
    QTemporaryDir shm(QStringLiteral("/dev/shm/zsnd-test-XXXXXX"));
    const QString folder = shm.isValid() ? shm.path() : dir_->path();
    // An import reads a WAV of 1 GiB of silence at 48 kHz, resampled as it goes.
    const bool import = command == QLatin1String("import");
    const QString source = folder + (import ? "/big.wav" : "/big.snd");
    QVERIFY(Fixtures::WriteFile(
        source, import ? Fixtures::WavFile(Wav{.rate = 48000, .length = 1 << 30}, {})
                       : Fixtures::GameFile(Game{.length = 1 << 30}, {})));
    QVERIFY(QFile::resize(source, (import ? 44 : 28) + (qint64(1) << 30)));
    QVERIFY(Fixtures::WriteFile(folder + "/OLD.WAV", "old destination"));

    QProcess p;
    // SIGQUIT and SIGXFSZ would leave a core file.
    p.setChildProcessModifier([hupIgnored] {
        const rlimit none{0, 0};
        ::setrlimit(RLIMIT_CORE, &none);
        if (hupIgnored) ::signal(SIGHUP, SIG_IGN);
    });
    p.start(ZSND_PATH, {command, source, folder + "/OLD.WAV"});
    QVERIFY(p.waitForStarted());
    const QRegularExpression partial(R"(^\.OLD\.WAV\.\w{6}\.partial$)");
    QString seen;
    QElapsedTimer clock;
    clock.start();
    while (seen.isEmpty() && p.state() == QProcess::Running && clock.elapsed() < 30000) {
        for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::Hidden))
            if (partial.match(name).hasMatch()) seen = name;
    }
    QVERIFY2(!seen.isEmpty(), "no temporary file appeared while converting");
    if (hupIgnored) {
        QCOMPARE(::kill(static_cast<pid_t>(p.processId()), SIGHUP), 0);
        QVERIFY(!p.waitForFinished(200));
        QVERIFY(QFile::exists(folder + "/" + seen));
    }
    QCOMPARE(::kill(static_cast<pid_t>(p.processId()), sig), 0);
    QVERIFY(p.waitForFinished(60000));
    See(p);
    QCOMPARE(p.exitStatus(), QProcess::CrashExit);
    QCOMPARE(p.exitCode(), sig);
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name),
             QStringList({"OLD.WAV", QFileInfo(source).fileName()}));
    QCOMPARE(Fixtures::ReadFile(folder + "/OLD.WAV"), QByteArray("old destination"));
}

// Every command that makes a file keeps a replaced file's mode and gives a
// new one no permission its source lacks.
void tst_zsnd::modesAreKeptNotWidened() {
    const struct {
        const char* command;
        mode_t umask, source, existing, expected;
    } cases[] = {
        {"convert", 022, 0644, 0600, 0600},  // replaced: kept
        {"convert", 077, 0600, 0644, 0644},  // replaced: kept whatever the umask
        {"convert", 022, 0600, 0, 0600},     // new from a private source: private
        {"convert", 022, 0666, 0, 0644},     // new: 0666 less the umask
        {"convert", 027, 0664, 0, 0640},    {"cut", 022, 0600, 0, 0600},
        {"cut", 002, 0640, 0, 0640},        {"import", 022, 0600, 0, 0600},
        {"import", 022, 0604, 0644, 0644},
    };
    const QString game = Make("m.snd", Fixtures::GameFile(Game{}, Fixtures::Samples(40)));
    const QString wav = Make("m.wav", Fixtures::WavFile(Wav{}, Fixtures::Samples(40)));
    for (const auto& c : cases) {
        const bool import = QByteArray(c.command) == "import";
        const QString source = import ? wav : game;
        const QString dest = dir_->filePath(import ? "M.SND" : "M.WAV");
        const QByteArray destName = QFile::encodeName(dest);
        QFile::remove(dest);
        QCOMPARE(::chmod(QFile::encodeName(source).constData(), c.source), 0);
        if (c.existing != 0) {
            QVERIFY(Fixtures::WriteFile(dest, "old"));
            QCOMPARE(::chmod(destName.constData(), c.existing), 0);
        }
        QProcess p;
        const mode_t mask = c.umask;
        p.setChildProcessModifier([mask] { ::umask(mask); });
        p.start(ZSND_PATH, {c.command, source, dest});
        QVERIFY(p.waitForFinished());
        QVERIFY2(p.exitCode() == 0, p.readAllStandardError().constData());
        struct stat st {};
        QCOMPARE(::stat(destName.constData(), &st), 0);
        QVERIFY2((st.st_mode & 07777) == c.expected, c.command);
    }
}

// When the last step fails (DEST is a folder) nothing claims success and no
// temporary file is left; a destination name of up to 255 bytes is written.
void tst_zsnd::destinationEdges() {
    Make("s.snd", Fixtures::GameFile(Game{}, Fixtures::Samples(40)));
    Make("s.wav", Fixtures::WavFile(Wav{}, Fixtures::Samples(40)));
    QVERIFY(QDir(dir_->path()).mkpath("D.WAV/x"));
    QVERIFY(QDir(dir_->path()).mkpath("D.SND/x"));
    for (const QStringList& args : {QStringList{"convert", "s.snd", "D.WAV"},
                                    {"cut", "s.snd", "D.WAV"},
                                    {"import", "s.wav", "D.SND"}}) {
        const Run r = Zsnd(args, dir_->path());
        QVERIFY2(r.exitCode == 3 && r.out.isEmpty(), qPrintable(args.join(' ') + r.out));
    }
    QCOMPARE(Fixtures::Entries(dir_->path()), QStringList({"D.SND", "D.WAV", "s.snd", "s.wav"}));
    for (const int length : {240, 251, 255}) {
        const QString name = QString(length - 4, QLatin1Char('n')) + ".WAV";
        const Run r = Zsnd({"convert", "s.snd", name}, dir_->path());
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        QVERIFY(QFile::exists(dir_->filePath(name)));
    }
    // A multibyte character cut at the name limit still makes a legal temporary name.
    const QString wide = QString(120, QChar(0x00E9)) + "x.WAV";  // 245 bytes
    QCOMPARE(Zsnd({"convert", "s.snd", wide}, dir_->path()).exitCode, 0);

    // The data reaches the disk before the rename, the rename after it.
    const QString trace = dir_->filePath("trace");
    // LeakSanitizer cannot run under a tracer: a sanitizer build is traced without it.
    const Run traced = Exec("env",
                            {"ASAN_OPTIONS=detect_leaks=0", "strace", "-qq", "-e",
                             "trace=fsync,fdatasync,rename,renameat,renameat2", "-o", trace,
                             ZSND_PATH, "convert", "s.snd", "T.WAV"},
                            dir_->path());
    if (traced.exitCode != 0) QSKIP(qPrintable("cannot trace system calls here: " + traced.err));
    QStringList calls;
    for (const QByteArray& line : Fixtures::ReadFile(trace).split('\n'))
        if (!line.isEmpty()) calls << QString::fromLatin1(line.left(line.indexOf('(')));
    QCOMPARE(calls.size(), 3);
    QVERIFY2(calls[0].startsWith("f") && calls[1].startsWith("rename") && calls[2].startsWith("f"),
             qPrintable(calls.join(' ')));
}

// Standard output on a full disk: the lost text is a failure, said on
// standard error.
void tst_zsnd::lostOutputIsAFailure() {
    Make("ok.snd", Fixtures::GameFile(Game{}, Fixtures::Samples(10)));
    for (const QStringList& args : {QStringList{"info", "--json", "ok.snd"},
                                    {"info", "ok.snd"},
                                    {"convert", "ok.snd", "OK.WAV"},
                                    {"batch", "--from", "snd", "--to", "wsd", "."},
                                    {"--help"}}) {
        QProcess p;
        p.setWorkingDirectory(dir_->path());
        p.setStandardOutputFile(QStringLiteral("/dev/full"));
        p.start(ZSND_PATH, args);
        QVERIFY(p.waitForFinished());
        const QString err = QString::fromUtf8(p.readAllStandardError());
        QVERIFY2(p.exitCode() == 3 && err.contains("cannot write to standard output"),
                 qPrintable(args.join(' ') + ": " + err));
    }
}

// Names that are not valid UTF-8 are read, converted and shown byte for byte;
// control characters in names are shown escaped, never sent to the terminal.
void tst_zsnd::oddNamesReachTheFileSystem() {
    const QByteArray game = Fixtures::GameFile(Game{}, Fixtures::Samples(10));
    const QByteArray odd = QFile::encodeName(dir_->path()) + "/b\xff.snd";
    Make("a.snd", game);
    {
        const int fd = ::open(odd.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        QVERIFY(fd >= 0);
        QCOMPARE(::write(fd, game.constData(), size_t(game.size())), ssize_t(game.size()));
        ::close(fd);
    }
    // Arguments go through the shell: QProcess would re-encode them as UTF-8.
    Run r =
        Exec("sh", {"-c", "exec \"$0\" info \"$(printf 'b\\377.snd')\"", ZSND_PATH}, dir_->path());
    QCOMPARE(r.exitCode, 0);
    QVERIFY2(r.out.startsWith("File: B\\xff.SND\n"), qPrintable(r.out));
    r = Zsnd({"batch", "--from", "snd", "--to", "wav", "."}, dir_->path());
    QCOMPARE(r.out, QString("Operation was successful!  2 files were converted.\n"));
    struct stat st {};
    QCOMPARE(::stat(QByteArray(QFile::encodeName(dir_->path()) + "/B\xff.WAV").constData(), &st),
             0);

    // A folder, an overlong sequence and a name ending in a cut multibyte
    // character: each reached by its bytes.
    const QByteArray base = QFile::encodeName(dir_->path());
    QCOMPARE(::mkdir(QByteArray(base + "/bad\xff"
                                       "dir")
                         .constData(),
                     0755),
             0);
    QVERIFY(QFile::copy(dir_->filePath("a.snd"), dir_->filePath("in.snd")));
    QCOMPARE(
        ::rename(QByteArray(base + "/in.snd").constData(), QByteArray(base + "/bad\xff"
                                                                             "dir/x\xc0\xaf.snd")
                                                               .constData()),
        0);
    r = Exec(
        "sh",
        {"-c",
         "\"$0\" info \"$(printf 'bad\\377dir')\" && exec \"$0\" convert "
         "\"$(printf 'bad\\377dir/x\\300\\257.snd')\" \"$(printf 'bad\\377dir/y\\342\\202.wav')\"",
         ZSND_PATH},
        dir_->path());
    QVERIFY2(r.exitCode == 0 && r.out.startsWith("File: X\\xc0\\xaf.SND\n"),
             qPrintable(r.out + r.err));
    QCOMPARE(::stat(QByteArray(base + "/bad\xff"
                                      "dir/y\xe2\x82.wav")
                        .constData(),
                    &st),
             0);

    const QString esc = QString::fromUtf8("esc\x1b]0;PWNED\x07.snd");
    Make(esc, game);
    r = Zsnd({"info", esc, "gone\x1b[2J.snd"}, dir_->path());
    QCOMPARE(r.exitCode, 3);
    QVERIFY2(r.out.startsWith("File: ESC\\e]0;PWNED\\a.SND\n"), qPrintable(r.out));
    QVERIFY2(r.err.contains("gone\\e[2J.snd"), qPrintable(r.err));
    r = Zsnd({"convert", esc, "e\x07.wav"}, dir_->path());
    QCOMPARE(r.out, QString("e\\a.wav created successfully!\n"));
    for (const QString& text : {r.out, r.err})
        QVERIFY(!text.contains(QChar(0x1B)) && !text.contains(QChar(0x07)));

    // Every line, success and error alike, is one line with its controls escaped:
    // line breaks, DEL and C1 controls included.
    const struct {
        QStringList args;
        QString out, err;
    } lines[] = {
        {{"convert", "a.snd", "n\nl.wav"}, "n\\nl.wav created successfully!\n", ""},
        {{"cut", "a.snd", "c\r\n.wsd"}, "c\\r\\n.wsd created successfully! (frames 0 to 1)\n", ""},
        {{"convert", "a.snd", QString::fromUtf8("d\x7f\u009b.wav")},
         "d\\x7f\\u009b.wav created successfully!\n",
         ""},
        {{"info", "x\nzsnd: error 0: forged.snd"},
         "",
         "zsnd: error 53: File not found: x\\nzsnd: error 0: forged.snd\n"},
        {{"import", "--like", "l\n.snd", "a.snd", "A.SND"},
         "",
         "zsnd: error 53: File not found: l\\n.snd\n"},
    };
    for (const auto& c : lines) {
        r = Zsnd(c.args, dir_->path());
        QCOMPARE(r.out, c.out);
        QCOMPARE(r.err, c.err);
    }

    // CSV keeps a name's bytes; a name a spreadsheet would take for a formula
    // is written as ./name, which still opens it.
    Make("=HYPERLINK(\"http:evil\")&.snd", game);
    QProcess p;
    p.setWorkingDirectory(dir_->path());
    p.start(
        "sh",
        {"-c", "exec \"$0\" info --csv \"$(printf 'b\\377.snd')\" '=HYPERLINK(\"http:evil\")&.snd'",
         ZSND_PATH});
    QVERIFY(p.waitForFinished());
    const QByteArray csv = p.readAllStandardOutput();
    QVERIFY2(csv.contains("\r\nb\xff.snd,SND,true,") &&
                 csv.contains("\r\n\"./=HYPERLINK(\"\"http:evil\"\")&.snd\",SND,true,"),
             csv.constData());
    // On a terminal the table is read by a person: no raw escape reaches it.
    r = Exec("script",
             {"-qec", QString(ZSND_PATH) + " info --csv 'esc\x1b]0;PWNED\x07.snd'", "/dev/null"},
             dir_->path());
    QVERIFY2(r.out.contains("esc\\e]0;PWNED\\a.snd") && !r.out.contains(QChar(0x1B)),
             qPrintable(r.out));
}

// A small private tmpfs fills up while the new file is written.
void tst_zsnd::fullDiskKeepsOldDestination() {
    if (::geteuid() != 0) QSKIP("mounting a small tmpfs needs root");
    Make("big.snd", Fixtures::GameFile(Game{}, Fixtures::Samples(400000)));
    const QString script = QStringLiteral(
        "set -e; mnt=\"$1\"; mount -t tmpfs -o size=256k tmpfs \"$mnt\"; "
        "printf 'old destination' > \"$mnt/BIG.WAV\"; "
        "set +e; \"$2\" convert \"$3\" \"$mnt/BIG.WAV\" 2>/dev/null; echo \"exit=$?\"; "
        "echo \"content=$(cat \"$mnt/BIG.WAV\")\"; "
        "\"$2\" demo \"$mnt/new/demo\" >/dev/null 2>&1; echo \"demo=$?\"; "
        "echo \"entries=$(ls -A \"$mnt\" | tr '\\n' ' ')\"");
    QVERIFY(QDir(dir_->path()).mkdir("mnt"));
    const Run r = Exec("unshare", {"-m", "sh", "-c", script, "sh", dir_->filePath("mnt"), ZSND_PATH,
                                   dir_->filePath("big.snd")});
    if (!r.out.contains("exit=")) QSKIP(qPrintable("cannot mount a private tmpfs here: " + r.err));
    // The demo set does not fit: all of it or nothing, so the next run is not blocked.
    QCOMPARE(r.out, QString("exit=3\ncontent=old destination\ndemo=3\nentries=BIG.WAV \n"));
}

// Root ignores modes, so the program runs as an unprivileged user then.
void tst_zsnd::readOnlyFolderKeepsOldDestination() {
    QVERIFY(QFile::setPermissions(dir_->path(), QFileDevice::Permissions(0x7755)));
    const QString src = Make("s.snd", Fixtures::GameFile(Game{}, Fixtures::Samples(100)));
    QVERIFY(QDir(dir_->path()).mkdir("locked"));
    const QString locked = dir_->filePath("locked");
    const QString dest = locked + "/S.WAV";
    QVERIFY(Fixtures::WriteFile(dest, "old"));
    QVERIFY(QFile::setPermissions(locked, QFileDevice::Permissions(0x5555)));
    QStringList command{ZSND_PATH, "convert", src, dest};
    if (::geteuid() == 0)
        command = QStringList{"--reuid=65534", "--regid=65534", "--clear-groups"} + command;
    const Run r = Exec(::geteuid() == 0 ? "setpriv" : command.takeFirst(), command);
    QVERIFY(QFile::setPermissions(locked, QFileDevice::Permissions(0x7700)));
    if (r.exitCode == -1 || r.err.contains("Permission denied: " ZSND_PATH) ||
        r.err.contains("setpriv:"))
        QSKIP(qPrintable("cannot run zsnd as an unprivileged user: " + r.err));
    QCOMPARE(r.exitCode, 3);
    QVERIFY2(r.err.contains("error 70"), qPrintable(r.err));
    QCOMPARE(Fixtures::ReadFile(dest), QByteArray("old"));
    QCOMPARE(Fixtures::Entries(locked), QStringList({"S.WAV"}));
}

// Defaults from the source, explicit choices, and --like replacing a game
// sound in place while keeping its identity.
void tst_zsnd::importWritesGameFiles() {
    QVERIFY(Fixtures::WriteSignal(dir_->filePath("tone.flac"), SF_FORMAT_FLAC | SF_FORMAT_PCM_24,
                                  48000, 2, 48000, Fixtures::Sine(0.5, 1000, 48000)));
    Run r = Zsnd({"import", "tone.flac", "TONE.SND"}, dir_->path());
    QCOMPARE(r.err, QString());
    QCOMPARE(r.exitCode, 0);
    QVERIFY2(r.out.contains("tone.flac: FLAC, 24-bit, 48000 Hz, stereo, 1.00 s\n"),
             qPrintable(r.out));
    QVERIFY2(
        r.out.contains("TONE.SND: 44100 Hz, 16-bit, stereo, 8-bit flag False, internal ID 0\n"),
        qPrintable(r.out));
    QVERIFY(r.out.contains("; 0 samples clipped\nTONE.SND created successfully!\n"));
    QByteArray out = Fixtures::ReadFile(dir_->filePath("TONE.SND"));
    QCOMPARE(Fixtures::GameFields(out), (QList<qint32>{0, 0, 44100 * 4, 44100, 16, 2, 0}));

    Make("OLD.WSD",
         Fixtures::GameFile(Game{.flag = 2, .id = 55, .rate = 11025, .bits = 8, .channels = 1},
                            Fixtures::Samples(300)));
    r = Zsnd({"import", "--like", "OLD.WSD", "tone.flac", "OLD.WSD"}, dir_->path());
    QCOMPARE(r.exitCode, 0);
    out = Fixtures::ReadFile(dir_->filePath("OLD.WSD"));
    QCOMPARE(Fixtures::GameFields(out), (QList<qint32>{2, 55, 11025, 11025, 8, 1, 0}));
    int peak = 0;  // the sine at half scale, not silence
    for (qsizetype i = 28; i < out.size(); ++i)
        peak = std::max(peak, std::abs(quint8(out[i]) - 128));
    QVERIFY2(peak >= 62 && peak <= 66, qPrintable(QString::number(peak)));

    // Explicit choices win over --like; the flag follows the chosen depth.
    r = Zsnd({"import", "--like=OLD.WSD", "--bits", "16", "--id", "9", "tone.flac", "NEW.SND"},
             dir_->path());
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(Fixtures::GameFields(Fixtures::ReadFile(dir_->filePath("NEW.SND"))),
             (QList<qint32>{0, 9, 11025 * 2, 11025, 16, 1, 0}));

    // A like-file that passes inspection gives its flag and ID exactly.
    for (const qint32 id : {123456, -5}) {
        Make("ODD.SND", Fixtures::GameFile(Game{.flag = 7, .id = id}, Fixtures::Samples(8)));
        r = Zsnd({"import", "--like", "ODD.SND", "tone.flac", "ODD.SND"}, dir_->path());
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(r.out.contains(QString("8-bit flag 7, internal ID %1\n").arg(id)),
                 qPrintable(r.out));
        QCOMPARE(Fixtures::GameFields(Fixtures::ReadFile(dir_->filePath("ODD.SND"))).mid(0, 2),
                 (QList<qint32>{7, id}));
    }

    QVERIFY(Fixtures::WriteSignal(dir_->filePath("hot.wav"), SF_FORMAT_WAV | SF_FORMAT_FLOAT, 8000,
                                  1, 800, Fixtures::Sine(1.5, 1000, 8000)));
    r = Zsnd({"import", "hot.wav", "hot-copy.wav"}, dir_->path());
    QCOMPARE(r.exitCode, 0);
    const QRegularExpression clipped("; (\\d+) samples clipped");
    const int count = clipped.match(r.out).captured(1).toInt();
    QVERIFY2(count > 100 && count < 800, qPrintable(r.out));
    QCOMPARE(SndfileSummary(dir_->filePath("hot-copy.wav")), QString("8000 Hz, 1 ch, 800 frames"));
}

void tst_zsnd::importRefusals() {
    QVERIFY(Fixtures::WriteSignal(dir_->filePath("tone.flac"), SF_FORMAT_FLAC | SF_FORMAT_PCM_16,
                                  22050, 1, 2205, Fixtures::Sine(0.5, 1000, 22050)));
    const QByteArray old = Fixtures::GameFile(Game{}, Fixtures::Samples(40));
    Make("KEEP.SND", old);
    Make("notes.txt", "not a sound");
    Make("LOW.SND", Fixtures::GameFile(Game{.rate = 4000}, {}));
    for (const QStringList& args : {QStringList{"import", "tone.flac"},
                                    {"import", "tone.flac", "out.mp3"},
                                    {"import", "--rate", "12000", "tone.flac", "KEEP.SND"},
                                    {"import", "--bits", "24", "tone.flac", "KEEP.SND"},
                                    {"import", "--id", "10000", "tone.flac", "KEEP.SND"},
                                    {"import", "--flag", "true", "tone.flac", "out.wav"},
                                    {"import", "--like", "tone.flac", "tone.flac", "KEEP.SND"}}) {
        const Run r = Zsnd(args, dir_->path());
        QCOMPARE(r.exitCode, 2);
        QVERIFY2(r.err.contains("zsnd --help"), qPrintable(r.err));
    }
    // Sources with nothing to import, or at a rate no recording has, are
    // errors with a number and a reason; nothing is written.
    Make("one-hertz.wav", Fixtures::WavFile(Wav{.rate = 1}, Fixtures::Samples(20)));
    Make("no-frames.wav", Fixtures::WavFile(Wav{.rate = 22050}, {}));
    // The first 100 bytes of a real MP3: its decoder has warnings to print.
    const QString mp3 = dir_->filePath("full.mp3");
    QVERIFY(Fixtures::WriteSignal(mp3, SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 44100, 1, 44100,
                                  Fixtures::Sine(0.5, 440, 44100)));
    Make("short.mp3", Fixtures::ReadFile(mp3).left(100));
    QFile::remove(mp3);
    const struct {
        const char *source, *message;
    } failures[] = {
        {"notes.txt", "notes.txt is not audio"},
        {"one-hertz.wav", "at 1 Hz"},
        {"no-frames.wav", "no samples"},
        {"short.mp3", "short.mp3 is not audio"},
    };
    Run r;
    for (const auto& f : failures) {
        r = Zsnd({"import", f.source, "KEEP.SND"}, dir_->path());
        QVERIFY2(r.exitCode == 3 && r.err.contains("zsnd: error 321") &&
                     r.err.contains(f.message) && !r.err.contains("does not exist"),
                 qPrintable(r.err));
        // A decoder's own warnings come as zsnd's lines, never raw.
        for (const QString& line : r.err.split('\n', Qt::SkipEmptyParts))
            QVERIFY2(line.startsWith("zsnd: "), qPrintable(line));
    }
    r = Zsnd({"import", "--like", "LOW.SND", "tone.flac", "KEEP.SND"}, dir_->path());
    QCOMPARE(r.exitCode, 1);
    QVERIFY2(r.err.contains("Sample Rate: 4000"), qPrintable(r.err));
    QCOMPARE(Fixtures::ReadFile(dir_->filePath("KEEP.SND")), old);
    QCOMPARE(Fixtures::Entries(dir_->path()),
             (QStringList{"KEEP.SND", "LOW.SND", "no-frames.wav", "notes.txt", "one-hertz.wav",
                          "short.mp3", "tone.flac"}));
    r = Zsnd({"--help"});
    QVERIFY(r.out.contains("zsnd import") && r.out.contains("--like GAMEFILE"));
}

// The demo set lands in a new folder, and a second run writes over nothing.
void tst_zsnd::demoWritesItsSetOnce() {
    const QString folder = dir_->filePath("new/demo");
    Run r = Zsnd({"demo", folder});
    QCOMPARE(r.err, QString());
    QCOMPARE(r.exitCode, 0);
    const QStringList names{"ENGINE.SND", "BEEP.WSD",  "SWEEP.SND", "PINGPONG.WSD",
                            "SIREN.SND",  "CHIME.WAV", "BROKEN.WSD"};
    QStringList listed;
    for (const QString& name : names) listed << folder + "/" + name;
    QCOMPARE(r.out, listed.join('\n') + '\n');

    QCOMPARE(Zsnd({"info", "SWEEP.SND", "CHIME.WAV"}, folder).exitCode, 0);
    QCOMPARE(Zsnd({"info", "BROKEN.WSD"}, folder).exitCode, 1);

    const QByteArray before = Fixtures::ReadFile(folder + "/SIREN.SND");
    r = Zsnd({"demo", folder});
    QCOMPARE(r.exitCode, 3);
    QVERIFY2(r.err.startsWith("zsnd: error 58: ") && r.err.contains("ENGINE.SND"),
             qPrintable(r.err));
    QCOMPARE(Fixtures::ReadFile(folder + "/SIREN.SND"), before);
    for (const QStringList& args : {QStringList{"demo"}, {"demo", ""}}) {
        r = Zsnd(args);
        QVERIFY2(r.exitCode == 2 && !r.err.contains("QDir"), qPrintable(r.err));
    }
    // A folder name that is not valid UTF-8 is made byte for byte.
    r = Exec("sh", {"-c", "exec \"$0\" demo \"$(printf 'odd\\377')\"", ZSND_PATH}, dir_->path());
    QCOMPARE(r.exitCode, 0);
    struct stat st {};
    QCOMPARE(
        ::stat(QByteArray(QFile::encodeName(dir_->path()) + "/odd\xff/CHIME.WAV").constData(), &st),
        0);
}

// Every command the full help lists answers --help and -h with its own part of
// that text, wherever the option stands before "--"; after "--" it is a name.
void tst_zsnd::eachCommandShowsItsOwnUsage() {
    const Run full = Zsnd({"-h"});
    QCOMPARE(full.exitCode, 0);
    QCOMPARE(Zsnd({"--help"}).out, full.out);
    const QRegularExpression synopsis(QStringLiteral("^  zsnd ([a-z]+) "),
                                      QRegularExpression::MultilineOption);
    QStringList commands;
    for (auto m = synopsis.globalMatch(full.out); m.hasNext();) commands << m.next().captured(1);
    QVERIFY2(commands.size() >= 6, qPrintable(commands.join(' ')));
    for (const QString& command : commands) {
        for (const QStringList& args : {QStringList{command, "--help"},
                                        {command, "-h"},
                                        {command, "--rate", "1", "x.snd", "--help"}}) {
            const Run r = Zsnd(args);
            QVERIFY2(r.exitCode == 0 && r.err.isEmpty(), qPrintable(args.join(' ') + r.err));
            QVERIFY2(r.out.startsWith("Usage:\n  zsnd " + command + ' '), qPrintable(r.out));
            const QString part = r.out.section("\n\n", 0, 0).mid(QStringLiteral("Usage:\n").size());
            QVERIFY2(full.out.contains(part + "\n\n"), qPrintable(part));
            QVERIFY2(r.out.contains("Exit status"), qPrintable(r.out));
        }
    }
    for (const QStringList& args : {QStringList{"cut", "--", "-h"}, {"play", "--help"}}) {
        const Run r = Zsnd(args, dir_->path());
        QVERIFY2(r.exitCode == 2 && r.out.isEmpty(), qPrintable(args.join(' ')));
    }
}

QTEST_GUILESS_MAIN(tst_zsnd)
#include "tst_zsnd.moc"
