#include <QTemporaryDir>
#include <QtTest>

#include "AudioOutput.h"
#include "NullPcmSink.h"
#include "PlaySound.h"
#include "WavWriter.h"

// A sink that processes events while it is taken down, as a sound server's
// stream does: it runs `teardown` from its destructor.
class TeardownSink : public NullPcmSink {
public:
    TeardownSink(int rate, int frameBytes, std::function<void()> teardown)
        : NullPcmSink(rate, frameBytes), teardown_(std::move(teardown)) {}
    ~TeardownSink() override { teardown_(); }

private:
    std::function<void()> teardown_;
};

// The null output keeps time by the clock, as a device would by its samples.
class tst_AudioOutput : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    qint64 now_ = 0;

private slots:
    void initTestCase() {
        NullPcmSink::SetClock([this] { return now_; });
    }
    void cleanupTestCase() { NullPcmSink::SetClock({}); }

    void nullOutputIsChosenByEnvironment() { QVERIFY(AudioOutput::UsesNullOutput()); }

    void positionFollowsPlayedFrames() {
        const QString path = dir_.filePath("a.wav");
        QVERIFY(WriteTestWav(path, 8000, 2, 8, 16000));
        AudioOutput out;
        QString why;
        QVERIFY2(out.open(path, &why), qPrintable(why));
        QCOMPARE(out.lengthFrames(), 16000);
        QVERIFY(out.play(4000, 12000));
        QCOMPARE(out.positionFrames(), 4000);
        now_ += 500000;
        QCOMPARE(out.positionFrames(), 8000);
        out.pause();
        now_ += 3000000;
        QCOMPARE(out.mode(), AudioMode::Paused);
        QCOMPARE(out.positionFrames(), 8000);
        out.resume();
        now_ += 250000;
        QCOMPARE(out.positionFrames(), 10000);
        out.stop();
        now_ += 250000;
        QCOMPARE(out.mode(), AudioMode::Stopped);
        QCOMPARE(out.positionFrames(), 10000);  // stop keeps the position
        QVERIFY(out.play(10000, 12000));
        QSignalSpy finished(&out, &AudioOutput::finished);
        now_ += 10000000;
        QCOMPARE(out.mode(), AudioMode::Stopped);
        QCOMPARE(out.positionFrames(), 12000);
        QCOMPARE(finished.count(), 1);
        out.seek(99999);
        QCOMPARE(out.positionFrames(), 16000);
        QVERIFY(!out.play(12000, 11000));
        QVERIFY(!out.play(0, 16001));
    }

    // Whatever runs while a sink is taken down (the preview's timer asking for
    // the position) finds the output stopped: a new play, a stop, the end of
    // the range and the output's own end.
    void callsDuringSinkTeardownFindTheOutputStopped() {
        const QString path = dir_.filePath("teardown.wav");
        QVERIFY(WriteTestWav(path, 8000, 1, 8, 8000));
        auto out = std::make_unique<AudioOutput>();
        AudioOutput* current = out.get();
        QList<AudioMode> seen;
        AudioOutput::SetSinkFactory([&](int rate, int frameBytes) {
            return std::make_unique<TeardownSink>(rate, frameBytes, [&] {
                seen << current->mode();
                current->positionFrames();
            });
        });
        const auto restore = qScopeGuard([] { AudioOutput::SetSinkFactory({}); });
        QString why;
        QVERIFY2(out->open(path, &why), qPrintable(why));
        QVERIFY(out->play(0, 8000));
        QVERIFY(out->play(1000, 8000));
        out->stop();
        QVERIFY(out->play(0, 4000));
        now_ += 1000000;
        QCOMPARE(out->positionFrames(), 4000);
        QVERIFY(out->play(0, 8000));
        out.reset();
        QCOMPARE(seen, QList<AudioMode>(4, AudioMode::Stopped));
    }

    // A repeating range goes on past its end without stopping: the position
    // wraps to the range's start and the output stays Playing until stopped.
    void repeatingRangeHasNoSeam() {
        const QString path = dir_.filePath("loop.wav");
        QVERIFY(WriteTestWav(path, 8000, 1, 16, 16000));
        AudioOutput out;
        QString why;
        QVERIFY2(out.open(path, &why), qPrintable(why));
        QSignalSpy finished(&out, &AudioOutput::finished);
        QVERIFY(out.play(4000, 8000, true));
        now_ += 750000;  // 6000 frames: one pass and a half
        QCOMPARE(out.mode(), AudioMode::Playing);
        QCOMPARE(out.positionFrames(), 6000);
        now_ += 10000000;
        QCOMPARE(out.mode(), AudioMode::Playing);
        QCOMPARE(out.positionFrames(), 4000 + (6000 + 80000) % 4000);
        out.stop();
        QCOMPARE(out.mode(), AudioMode::Stopped);
        QCOMPARE(finished.count(), 0);
    }

    // A header that claims more data than the file holds plays what is there.
    void shortFileEndsEarly() {
        const QString path = dir_.filePath("short.wav");
        QVERIFY(WriteTestWav(path, 1000, 1, 16, 1000));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadWrite));
        f.resize(44 + 600);
        f.close();
        AudioOutput out;
        QString why;
        QVERIFY(out.open(path, &why));
        QCOMPARE(out.lengthFrames(), 300);
    }

    void rejectsWhatItCannotPlay() {
        const QString path = dir_.filePath("bad.wav");
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("RIFF\0\0\0\0WAVEjunk", 16);
        f.close();
        AudioOutput out;
        QString why;
        QVERIFY(!out.open(path, &why));
        QVERIFY(!why.isEmpty());
        QVERIFY(!out.open(dir_.filePath("none.wav"), &why));
    }

    // The caller may delete the file the moment PlaySound returns.
    void playSoundKeepsTheFileOpen() {
        const QString path = dir_.filePath("quick.wav");
        QVERIFY(WriteTestWav(path, 11025, 1, 8, 11025));
        QVERIFY(PlaySoundApi::PlaySound(path, 0x00020003));
        QVERIFY(QFile::remove(path));
        now_ += 500000;
        QVERIFY(PlaySoundApi::IsPlaying());
        now_ += 600000;
        QVERIFY(!PlaySoundApi::IsPlaying());
        QVERIFY(!PlaySoundApi::PlaySound(path, 0x00020003));
    }
};

QTEST_GUILESS_MAIN(tst_AudioOutput)
#include "tst_AudioOutput.moc"
