#include <QTemporaryDir>
#include <QtTest>

#include "MediaCommands.h"
#include "NullPcmSink.h"
#include "WavWriter.h"

Q_DECLARE_METATYPE(MediaError)

// Command strings as the media player class sends them, and the replies.
class tst_MediaCommands : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    qint64 now_ = 0;
    QString wav_;  // 2 s, 22050 Hz mono 16-bit, in a folder with a blank in its name

    QString send(MediaCommands& mc, const QString& command,
                 MediaError expected = MediaError::None) {
        const MediaReply r = mc.Send(command);
        if (r.error != expected)
            qWarning("%s -> %d", qPrintable(command), static_cast<int>(r.error));
        [&] { QCOMPARE(r.error, expected); }();
        return r.text;
    }

private slots:
    void initTestCase() {
        NullPcmSink::SetClock([this] { return now_; });
        QVERIFY(QDir(dir_.path()).mkdir("my sounds"));
        wav_ = dir_.path() + "/my sounds/3K7B.wav";
        QVERIFY(WriteTestWav(wav_, 22050, 1, 16, 44100));
    }
    void cleanupTestCase() { NullPcmSink::SetClock({}); }

    void parse_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<MediaError>("error");
        QTest::addColumn<QString>("device");
        QTest::newRow("open quoted")
            << "Open \"C:/My Files/a b.wav\" ALIAS wav7 TYPE WaveAudio wait" << MediaError::None
            << "C:/My Files/a b.wav";
        QTest::newRow("keywords any case")
            << "pLaY Wav7 FROM 0 To 2000" << MediaError::None << "Wav7";
        QTest::newRow("status mode wait") << "status wav7 mode wait" << MediaError::None << "wav7";
        QTest::newRow("empty") << "" << MediaError::UnrecognizedCommand << "";
        QTest::newRow("unknown verb") << "rewind wav7" << MediaError::UnrecognizedCommand << "";
        QTest::newRow("no device") << "Pause" << MediaError::MissingDevice << "";
        QTest::newRow("open quote")
            << "open \"a b.wav alias x" << MediaError::UnterminatedQuote << "";
        QTest::newRow("from without value")
            << "play wav7 from" << MediaError::MissingParameter << "wav7";
        QTest::newRow("negative") << "play wav7 from -5" << MediaError::BadInteger << "wav7";
        QTest::newRow("overflow") << "play wav7 to 99999999999" << MediaError::BadInteger << "wav7";
        QTest::newRow("status twice")
            << "status wav7 mode length" << MediaError::UnrecognizedKeyword << "wav7";
        QTest::newRow("status nothing") << "status wav7" << MediaError::MissingParameter << "wav7";
        QTest::newRow("seek nowhere") << "seek wav7" << MediaError::MissingParameter << "wav7";
        QTest::newRow("alias on play")
            << "play wav7 alias x" << MediaError::UnrecognizedKeyword << "wav7";
    }
    void parse() {
        QFETCH(QString, text);
        QFETCH(MediaError, error);
        QFETCH(QString, device);
        const ParsedMediaCommand p = ParseMediaCommand(text);
        QCOMPARE(p.error, error);
        if (error == MediaError::None || !device.isEmpty()) QCOMPARE(p.command.device, device);
    }

    void parsedValues() {
        const auto open = ParseMediaCommand("OPEN x.wav alias A1 type waveaudio WAIT").command;
        QCOMPARE(open.alias, QString("A1"));
        QCOMPARE(open.type, QString("waveaudio"));
        QVERIFY(open.wait);
        const auto play = ParseMediaCommand("play a from 250 to 1750").command;
        QCOMPARE(play.from.value(), 250);
        QCOMPARE(play.to.value(), 1750);
        const auto seek = ParseMediaCommand("seek a to end").command;
        QCOMPARE(seek.seekTarget, SeekTarget::End);
    }

    // A full session: open, play a range, pause, resume, play to the end, close.
    void session() {
        MediaCommands mc;
        send(mc, "Open \"" + wav_ + "\" ALIAS wav7 TYPE WaveAudio wait");
        QCOMPARE(send(mc, "Status wav7 mode"), QString("stopped"));
        QCOMPARE(send(mc, "status WAV7 length"), QString("2000"));
        send(mc, "Play wav7 from 500 to 1500");
        QCOMPARE(send(mc, "Status wav7 mode"), QString("playing"));
        now_ += 200000;
        QCOMPARE(send(mc, "Status wav7 position"), QString("700"));
        send(mc, "Pause wav7");
        now_ += 5000000;
        QCOMPARE(send(mc, "Status wav7 mode"), QString("paused"));
        QCOMPARE(send(mc, "Status wav7 position"), QString("700"));
        send(mc, "play wav7");  // resumes
        now_ += 100000;
        QCOMPARE(send(mc, "Status wav7 position"), QString("800"));
        now_ += 1000000;
        QCOMPARE(send(mc, "Status wav7 mode"), QString("stopped"));
        QCOMPARE(send(mc, "Status wav7 position"), QString("1500"));
        send(mc, "Seek wav7 to 100");
        QCOMPARE(send(mc, "Status wav7 position"), QString("100"));
        send(mc, "Stop wav7");
        send(mc, "Close wav7");
        send(mc, "Status wav7 mode", MediaError::UnknownDevice);
    }

    // Failing commands answer with a code and leave the device as it was.
    void failuresHaveNoEffect() {
        MediaCommands mc;
        send(mc, "open \"" + wav_ + "\" alias snd");
        send(mc, "open \"" + wav_ + "\" alias SND", MediaError::DuplicateAlias);
        send(mc, "open " + dir_.path() + "/missing.wav alias m", MediaError::CannotOpenFile);
        send(mc, "open x.mid alias m", MediaError::UnsupportedType);
        send(mc, "play nobody", MediaError::UnknownDevice);
        send(mc, "play snd from 1500 to 500", MediaError::OutOfRange);
        send(mc, "play snd from 10 bogus 3", MediaError::UnrecognizedKeyword);
        QCOMPARE(send(mc, "status snd mode"), QString("stopped"));
        send(mc, "seek snd to 99999", MediaError::OutOfRange);
        QCOMPARE(send(mc, "status snd position"), QString("0"));
        send(mc, "close nobody", MediaError::UnknownDevice);
        send(mc, "close all");
        send(mc, "status snd mode", MediaError::UnknownDevice);
    }

    // A selection end rounded a millisecond past the sound still plays to its end.
    void endPastLengthPlaysToTheEnd() {
        MediaCommands mc;
        send(mc, "open \"" + wav_ + "\" alias e");
        send(mc, "play e from 1990 to 2001");
        now_ += 20000;
        QCOMPARE(send(mc, "status e mode"), QString("stopped"));
        QCOMPARE(send(mc, "status e position"), QString("2000"));
    }

    void observerSeesCommands() {
        QStringList seen;
        MediaCommands::SetObserver([&](const QString& c) { seen << c; });
        QString reply;
        QCOMPARE(MediaCommands::SendString("Status nothing mode", &reply),
                 static_cast<int>(MediaError::UnknownDevice));
        MediaCommands::SetObserver({});
        QCOMPARE(seen, QStringList{"Status nothing mode"});
        QVERIFY(reply.isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_MediaCommands)
#include "tst_MediaCommands.moc"
