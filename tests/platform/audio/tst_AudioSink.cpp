#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

#include "AudioOutput.h"
#include "WavWriter.h"

// Playback through a real sound server (a private one with a null sink when
// the test script starts it).
class tst_AudioSink : public QObject {
    Q_OBJECT

private slots:
    void positionAdvancesPromptly() {
        if (qEnvironmentVariable("ZEPHYRA_PULSE_READY") != QLatin1String("1"))
            QSKIP("No sound server: source scripts/lib/audio.sh and call start_null_audio first");
        QVERIFY2(!AudioOutput::UsesNullOutput(), "the sound server offers no output device");
        QTemporaryDir dir;
        const QString path = dir.filePath("tone.wav");
        QVERIFY(WriteTestWav(path, 44100, 2, 16, 44100 * 3));
        AudioOutput out;
        QString why;
        QVERIFY2(out.open(path, &why), qPrintable(why));
        QVERIFY(out.play(0, out.lengthFrames()));
        // Measure once the stream is flowing: on a busy machine the server
        // may take a moment to take it up.
        QTRY_VERIFY_WITH_TIMEOUT(out.positionFrames() > 44100 / 2, 5000);
        const qint64 startFrames = out.positionFrames();
        QElapsedTimer wall;
        wall.start();
        QTest::qWait(500);
        const qint64 playedMs = (out.positionFrames() - startFrames) * 1000 / 44100;
        const qint64 wallMs = wall.elapsed();
        QVERIFY2(qAbs(playedMs - wallMs) <= 100,
                 qPrintable(QString("played %1 ms in %2 ms").arg(playedMs).arg(wallMs)));
        out.pause();
        const qint64 pausedAt = out.positionFrames();
        QTest::qWait(200);
        QVERIFY(qAbs(out.positionFrames() - pausedAt) < 441 * 5);
        out.stop();
        QCOMPARE(out.mode(), AudioMode::Stopped);
    }
};

QTEST_MAIN(tst_AudioSink)
#include "tst_AudioSink.moc"
