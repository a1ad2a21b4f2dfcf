#include <QtTest>

#include "cMMedia.h"

// The command strings the media player class sends, word for word.
class tst_cMMedia : public QObject {
    Q_OBJECT

private slots:
    void commandsOfAPreview() {
        QStringList sent;
        QString reply = "stopped";
        cMMedia m(
            [&](const QString& c) {
                sent << c;
                return reply;
            },
            [] { return QTime(14, 7); });
        m.mmOpen("/tmp/3K7B9Q2M4X.wav");
        m.mmPlay(0, 2000);
        m.mmPause();
        m.mmStop();
        QCOMPARE(m.Status(), QString("stopped"));
        reply = "1500";
        QCOMPARE(m.Position(), 1500.0);
        QCOMPARE(m.Length(), 1500.0);
        m.mmSeek(250);
        m.mmClose();
        QCOMPARE(sent, QStringList({"Open /tmp/3K7B9Q2M4X.wav ALIAS wav7 TYPE WaveAudio wait",
                                    "Play wav7 from 0 to 2000", "Pause wav7", "Stop wav7",
                                    "Status wav7 mode", "Status wav7 position",
                                    "Status wav7 length", "Seek wav7 to 250", "Close wav7"}));
        QVERIFY(m.Filename().isEmpty());
    }

    void namesAndEndings() {
        QStringList sent;
        cMMedia m(
            [&](const QString& c) {
                sent << c;
                return QString();
            },
            [] { return QTime(9, 42); });
        m.mmOpen("/home/a user/My.WAV");
        QCOMPARE(sent.last(),
                 QString("Open \"/home/a user/My.WAV\" ALIAS WAV42 TYPE WaveAudio wait"));
        QCOMPARE(m.Filename(), QString("/home/a user/My.WAV"));
        m.mmOpen("clip.mid");  // closes the open one first
        QCOMPARE(sent.mid(1),
                 QStringList({"Close WAV42", "Open clip.mid ALIAS mid42 TYPE Sequencer wait"}));
        m.mmClose();
        sent.clear();
        m.mmOpen("notes.txt");  // opens nothing
        m.mmPlay(0, 10);
        m.mmPause();
        QCOMPARE(m.Status(), QString());
        QCOMPARE(m.Position(), 0.0);
        QVERIFY(sent.isEmpty());
        m.setWait(true);
        m.mmOpen("a.avi");
        m.mmPlay(5, 10);
        QCOMPARE(sent.last(), QString("Play avi42 wait"));
    }
};

QTEST_GUILESS_MAIN(tst_cMMedia)
#include "tst_cMMedia.moc"
