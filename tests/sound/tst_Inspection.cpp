#include <sys/stat.h>

#include <QTemporaryDir>
#include <QtTest>

#include "AppError.h"
#include "Inspection.h"
#include "MemorySource.h"
#include "SoundFixtures.h"

using namespace mUtility;
using Fixtures::Game;
using Fixtures::Wav;

Q_DECLARE_METATYPE(Fixtures::Game)

namespace {

const QString kInvalidSnd = "This file does not appear to be a valid SND file.\r\n\r\n";
const QString kInvalidWav = "This file does not appear to be a valid WAV file.\r\n\r\n";
const QString kMalformed =
    "Possible improperly formatted .WAV file!  Compressed wave files are not handled \r\n"
    "by this version of the sound utility.";

InspectionResult InspectBytes(const QString& name, const QByteArray& bytes, SoundInfoRecord& info) {
    SelectFile(info, "/music", name);
    MemorySource source(bytes.constData(), bytes.size());
    return InspectSource(source, info);
}

void CheckRefusedPanel(const InspectionResult& r, const QString& fileName) {
    QCOMPARE(r.Panel.FileName, fileName);
    for (const QString& text : {r.Panel.EightBitFlag, r.Panel.InternalID, r.Panel.DataLength,
                                r.Panel.SampleRate, r.Panel.BitDepth, r.Panel.Channels})
        QCOMPARE(text, QString("ERROR!"));
    QCOMPARE(r.MessageTitle, QString("Error"));
    QCOMPARE(r.Icon, MessageIcon::Warning);
}

}  // namespace

class tst_Inspection : public QObject {
    Q_OBJECT

private slots:
    void gameHeaderFields_data();
    void gameHeaderFields();
    void cutOffHeaders();
    void validGamePanel();
    void wavHeaders();
    void sunAudioIsNamed();
    void derivedNames();
    void filesOnDisk();
};

void tst_Inspection::gameHeaderFields_data() {
    QTest::addColumn<Game>("header");
    QTest::addColumn<QString>("detail");  // empty: valid

    auto row = [](const char* name, Game g, const QString& detail) {
        QTest::newRow(name) << g << detail;
    };
    Game g;
    row("rate 6000", (g.rate = 6000, g), "");
    row("rate 44100", (g.rate = 44100, g), "");
    row("rate 5999", (g.rate = 5999, g), "Sample Rate: 5999");
    row("rate 44101", (g.rate = 44101, g), "Sample Rate: 44101");
    row("rate 0", (g.rate = 0, g), "Sample Rate: 0");
    row("rate INT32_MAX", (g.rate = INT32_MAX, g), "Sample Rate: 2147483647");
    row("rate negative", (g.rate = -8000, g), "Sample Rate: -8000");
    g = Game{};
    row("bits 12", (g.bits = 12, g), "");
    row("bits 7", (g.bits = 7, g), "Bit Depth: 7");
    row("bits 17", (g.bits = 17, g), "Bit Depth: 17");
    row("bits 65544 (low half 8)", (g.bits = 65544, g), "Bit Depth: 65544");
    g = Game{};
    row("channels 0", (g.channels = 0, g), "Channels: 0");
    row("channels 3", (g.channels = 3, g), "Channels: 3");
    row("channels 65535", (g.channels = 65535, g), "Channels: 65535");
    g = Game{};
    row("length 0", (g.length = 0, g), "");
    row("length -1", (g.length = -1 & 0xFFFFFFFF, g), "Data length: -1");
    row("length 0x80000000", (g.length = 0x80000000, g), "Data length: -2147483648");
    row("length INT32_MAX", (g.length = INT32_MAX, g), "Data length: 2147483647");
    row("length one past the end", (g.length = 1001, g), "Data length: 1001");
    row("rate checked before length", (g.rate = 4000, g), "Sample Rate: 4000");
}

// Every hostile field gets its own message; fields are checked in header order.
void tst_Inspection::gameHeaderFields() {
    QFETCH(Game, header);
    QFETCH(QString, detail);
    SoundInfoRecord info;
    const InspectionResult r =
        InspectBytes("BOOM.SND", Fixtures::GameFile(header, Fixtures::Samples(1000)), info);
    QVERIFY(info.SampleData.isEmpty());
    if (detail.isEmpty()) {
        QCOMPARE(r.Outcome, InspectionOutcome::Valid);
        QCOMPARE(r.Panel.BitDepth, QString::number(header.bits) + "-bit");
        QCOMPARE(r.Panel.SampleRate, QString::number(header.rate) + " Hz");
        QCOMPARE(info.InternalID, 12);
        return;
    }
    QCOMPARE(r.Outcome, InspectionOutcome::Invalid);
    QCOMPARE(r.MessageText, kInvalidSnd + detail);
    CheckRefusedPanel(r, "BOOM.SND");
    QCOMPARE(info.EightBitFlag, 0);
    QCOMPARE(info.InternalID, 0);
    QCOMPARE(info.SampleRate, qint32(header.rate));  // fields read before the failure stay
}

// A file shorter than its header says how long it is; a complete header over
// too few samples is refused for its data length. Nothing beyond the bytes given
// is read (the sanitizer build checks that).
void tst_Inspection::cutOffHeaders() {
    const QByteArray game = Fixtures::GameFile(Game{.length = 100}, Fixtures::Samples(100));
    const QByteArray wav = Fixtures::WavFile(Wav{.length = 100}, Fixtures::Samples(100));
    for (int cut = 0; cut <= 43; ++cut) {
        SoundInfoRecord info;
        const InspectionResult s = InspectBytes("CUT.WSD", game.left(cut), info);
        QCOMPARE(s.Outcome, InspectionOutcome::Invalid);
        QCOMPARE(s.MessageText,
                 QString(kInvalidSnd).replace("SND", "WSD") +
                     (cut < 28 ? QString("File length: %1 bytes").arg(cut) : "Data length: 100"));
        const InspectionResult w = InspectBytes("CUT.WAV", wav.left(cut), info);
        QCOMPARE(w.Outcome, InspectionOutcome::Invalid);
        QCOMPARE(w.MessageText, kInvalidWav + QString("File length: %1 bytes").arg(cut));
        CheckRefusedPanel(w, "CUT.WAV");
    }
}

void tst_Inspection::validGamePanel() {
    SoundInfoRecord info;
    struct Case {
        qint64 flag;
        QString text;
        qint64 channels;
        QString channelsText;
    };
    for (const Case& c :
         {Case{2, "True", 1, "Mono"}, Case{0, "False", 2, "Stereo"}, Case{-7, "-7", 2, "Stereo"}}) {
        const QByteArray bytes = Fixtures::GameFile(
            Game{.flag = c.flag, .id = -5, .channels = c.channels}, Fixtures::Samples(23506));
        const InspectionResult r = InspectBytes("song.snd", bytes, info);
        QCOMPARE(r.Outcome, InspectionOutcome::Valid);
        QCOMPARE(r.Panel.FileName, QString("SONG.SND"));
        QCOMPARE(r.Panel.EightBitFlag, c.text);
        QCOMPARE(r.Panel.InternalID, QString("-5"));
        QCOMPARE(r.Panel.DataLength, QString("22.9 KB"));
        QCOMPARE(r.Panel.SampleRate, QString("22050 Hz"));
        QCOMPARE(r.Panel.BitDepth, QString("16-bit"));
        QCOMPARE(r.Panel.Channels, c.channelsText);
        QCOMPARE(info.EightBitFlag, qint32(c.flag));
        QCOMPARE(info.DataLength, 23506);
        QVERIFY(r.MessageText.isEmpty());
    }
}

void tst_Inspection::wavHeaders() {
    SoundInfoRecord info;
    InspectBytes("G.SND", Fixtures::GameFile(Game{.flag = 2, .id = 77}, {}), info);
    QCOMPARE(info.InternalID, 77);

    // The shape of an integer PCM file is shown as it is, however unusual.
    InspectionResult r =
        InspectBytes("a.wav",
                     Fixtures::WavFile(Wav{.tag = 1, .channels = 6, .rate = 1, .bits = 24},
                                       Fixtures::Samples(1340)),
                     info);
    QCOMPARE(r.Outcome, InspectionOutcome::Valid);
    QCOMPARE(info.EightBitFlag, 0);
    QCOMPARE(info.InternalID, 0);
    QCOMPARE(info.FormatTag, qint16(1));
    QCOMPARE(info.BlockAlign, qint16(18));
    QCOMPARE(r.Panel.EightBitFlag, QString("N/A"));
    QCOMPARE(r.Panel.InternalID, QString("N/A"));
    QCOMPARE(r.Panel.DataLength, QString("1.30 KB"));
    QCOMPARE(r.Panel.SampleRate, QString("1 Hz"));
    QCOMPARE(r.Panel.BitDepth, QString("24-bit"));
    QCOMPARE(r.Panel.Channels, QString("6"));

    // An 18-byte fmt chunk moves the data chunk out of place; it is still found.
    QByteArray extended = Fixtures::WavFile(Wav{.fmtSize = 18}, Fixtures::Samples(64));
    extended.insert(36, QByteArray(2, '\0'));
    r = InspectBytes("E.WAV", extended, info);
    QCOMPARE(r.Outcome, InspectionOutcome::Valid);
    QCOMPARE(r.Panel.DataLength, QString("64 bytes"));
    QCOMPARE(info.DataOffset, 46);

    // No data chunk at all; samples that are not integer PCM (here float).
    const QString kCompressed =
        kMalformed + "\r\nImport (Ctrl+I, or zsnd import) converts its samples into a game file.";
    struct Refused {
        QByteArray bytes;
        QString text;
    };
    for (const Refused& c :
         {Refused{Fixtures::WavFile(Wav{.data = "LIST"}, Fixtures::Samples(64)), kMalformed},
          Refused{Fixtures::WavFile(Wav{.tag = 3, .bits = 32}, Fixtures::Samples(64)),
                  kCompressed}}) {
        r = InspectBytes("B.WAV", c.bytes, info);
        QCOMPARE(r.Outcome, InspectionOutcome::MalformedWav);
        QCOMPARE(r.MessageTitle, QString("Error"));
        QCOMPARE(r.Icon, MessageIcon::Critical);
        QCOMPARE(r.MessageText, c.text);
    }

    r = InspectBytes("C.WAV", Fixtures::WavFile(Wav{.length = 65}, Fixtures::Samples(64)), info);
    QCOMPARE(r.Outcome, InspectionOutcome::Invalid);
    QCOMPARE(r.MessageText, kInvalidWav + "Data length: 65");
    r = InspectBytes("D.WAV", Fixtures::WavFile(Wav{.length = 0}, {}), info);
    QCOMPARE(r.Outcome, InspectionOutcome::Valid);
    QCOMPARE(r.Panel.DataLength, QString("0 bytes"));
}

// Sun/NeXT audio shares the .snd extension: it is named for what it is, even
// when shorter than a game header, whatever our extension it carries.
void tst_Inspection::sunAudioIsNamed() {
    QByteArray sun(".snd");
    for (quint32 field : {24u, 1000u, 3u, 8000u, 1u})
        sun.append(char(field >> 24))
            .append(char(field >> 16))
            .append(char(field >> 8))
            .append(char(field));
    const QString named = "This file is a Sun/NeXT audio file, not a game sound.";
    struct Case {
        const char* name;
        QByteArray bytes;
        QString message;
    };
    for (const Case& c : {Case{"sun.snd", sun + Fixtures::Samples(1000), named},
                          Case{"SUN.WSD", sun + Fixtures::Samples(1000), named},
                          Case{"empty.snd", sun, named}, Case{"magic.snd", ".snd", named},
                          Case{"three.snd", ".sn", kInvalidSnd + "File length: 3 bytes"}}) {
        SoundInfoRecord info;
        const InspectionResult r = InspectBytes(c.name, c.bytes, info);
        QCOMPARE(r.Outcome, InspectionOutcome::Invalid);
        QCOMPARE(r.MessageText, c.message);
        CheckRefusedPanel(r, QString(c.name).toUpper());
    }
}

void tst_Inspection::derivedNames() {
    SoundInfoRecord info;
    info.SndName = "KEPT";
    SelectFile(info, "/x", "song.snd");
    QCOMPARE(info.FileName, QString("SONG.SND"));
    QCOMPARE(info.DiskName, QString("song.snd"));
    QCOMPARE(info.Extension, QString("SND"));
    QCOMPARE(info.WsdName, QString("SONG.WSD"));
    QCOMPARE(info.WavName, QString("SONG.WAV"));
    QCOMPARE(info.SndName, QString("KEPT"));  // the source's own type is left alone

    SelectFile(info, "/x", "A.SND.snd");
    QCOMPARE(info.WsdName, QString("A.WSD.WSD"));
    QCOMPARE(info.WavName, QString("A.WAV.WAV"));

    SelectFile(info, "/x", "boom.wsd");
    QCOMPARE(info.SndName, QString("BOOM.SND"));
    QCOMPARE(info.WavName, QString("BOOM.WAV"));

    SelectFile(info, "/", "root.wav");
    QCOMPARE(info.SourcePath(), QString("/root.wav"));
    SelectFile(info, "/a/b", "c.wav");
    QCOMPARE(info.SourcePath(), QString("/a/b/c.wav"));
}

// The file is opened by its real name although FileName is upper-cased; a file
// that cannot be read is an error, never a verdict on its contents.
void tst_Inspection::filesOnDisk() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(Fixtures::WriteFile(
        dir.filePath("song.snd"),
        Fixtures::GameFile(Game{.bits = 8, .channels = 1}, Fixtures::Samples(532))));
    SoundInfoRecord info;
    InspectionResult r = InspectFile(dir.path(), "song.snd", info);
    QCOMPARE(r.Outcome, InspectionOutcome::Valid);
    QCOMPARE(info.Folder, dir.path());
    QCOMPARE(r.Panel.DataLength, QString("532 bytes"));
    QCOMPARE(r.Panel.BitDepth, QString("8-bit"));

    auto expectError = [&](const QString& name, qint32 number) {
        try {
            InspectFile(dir.path(), name, info);
            QFAIL(qPrintable("no error for " + name));
        } catch (const AppError& e) {
            QCOMPARE(e.Number, number);
        }
    };
    expectError("SONG.SND", ErrNo::FileNotFound);
    QVERIFY(QDir(dir.path()).mkdir("folder.snd"));
    expectError("folder.snd", ErrNo::PathFileAccess);
    QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath("pipe.wav")).constData(), 0600), 0);
    try {
        InspectFile(dir.path(), "pipe.wav", info);  // must not wait for a writer
        QFAIL("a FIFO was inspected");
    } catch (const AppError& e) {
        QCOMPARE(e.Number, ErrNo::PathFileAccess);
        QVERIFY2(e.Description.endsWith("pipe.wav is a named pipe, not a regular file"),
                 qPrintable(e.Description));
    }
}

QTEST_APPLESS_MAIN(tst_Inspection)
#include "tst_Inspection.moc"
