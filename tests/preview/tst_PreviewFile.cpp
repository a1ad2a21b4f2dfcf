#include <sys/stat.h>

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>
#include <optional>

#include "AppError.h"
#include "Inspection.h"
#include "PreviewFile.h"
#include "PreviewFixture.h"
#include "SoundFixtures.h"

// The temporary WAV copy: its name, its creation and its content.
class tst_PreviewFile : public QObject {
    Q_OBJECT

    QTemporaryDir tmp_;

private slots:
    void initTestCase() { qputenv("TMPDIR", QFile::encodeName(tmp_.path())); }

    void namesAlternateDigitAndCapital() {
        const QRegularExpression shape("^([0-9][A-Z]){5,14}$");
        QSet<int> lengths;
        for (int i = 0; i < 400; ++i) {
            const QString name = PreviewFile::RandomName();
            QVERIFY2(shape.match(name).hasMatch(), qPrintable(name));
            lengths << name.size();
        }
        QVERIFY(lengths.contains(10) && lengths.contains(28));
    }

    // A link planted at the drawn name is neither followed nor replaced.
    void plantedLinkIsNotFollowed() {
        const QString target = tmp_.filePath("victim.txt");
        QFile t(target);
        QVERIFY(t.open(QIODevice::WriteOnly));
        t.write("keep");
        t.close();
        QVERIFY(QFile::link(target, tmp_.filePath("1A.wav")));
        QStringList names{"1A", "2B"};
        QString path;
        const int fd = PreviewFile::CreateExclusive(tmp_.path() + "/", &path,
                                                    [&] { return names.takeFirst(); });
        QVERIFY(fd >= 0);
        ::close(fd);
        QCOMPARE(path, tmp_.filePath("2B.wav"));
        struct stat st {};
        QCOMPARE(::stat(QFile::encodeName(path).constData(), &st), 0);
        QCOMPARE(st.st_mode & 0777, 0600u);
        QVERIFY(t.open(QIODevice::ReadOnly));
        QCOMPARE(t.readAll(), QByteArray("keep"));
        QVERIFY(QFile::remove(path));
        QVERIFY(QFile::remove(tmp_.filePath("1A.wav")));
    }

    void missingFolderFails() {
        QString path;
        QVERIFY_THROWS_EXCEPTION(AppError,
                                 PreviewFile::CreateExclusive(tmp_.filePath("none/"), &path));
    }

    // 22050 Hz, 16 bits, stereo, 88200 data bytes.
    void writesHeaderAndSamples() {
        const QString src = tmp_.filePath("S.SND");
        QVERIFY(MakeSndSource(src, 22050, 16, 2, 22050));
        const QString wav = PreviewFile::Write(src, mUtility::SoundInfo);
        QFile f(wav);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.size(), 88244);
        const QByteArray all = f.readAll();
        QCOMPARE(all.left(4), QByteArray("RIFF"));
        QCOMPARE(qFromLittleEndian<quint32>(all.constData() + 4), 88236u);
        QCOMPARE(qFromLittleEndian<quint32>(all.constData() + 28), 88200u);  // byte rate
        QCOMPARE(qFromLittleEndian<quint16>(all.constData() + 32), 4);       // block align
        QFile s(src);
        QVERIFY(s.open(QIODevice::ReadOnly));
        QCOMPARE(all.mid(44), s.readAll().mid(28));
        f.remove();
    }

    // A WAV as audio tools write it, with a LIST chunk before its samples:
    // the copy plays those samples, not the chunk.
    void wavWithChunksBeforeItsSamples() {
        QByteArray fmt(16, '\0');
        const qint16 shorts[] = {1, 1};
        qToLittleEndian<qint16>(shorts[0], fmt.data());
        qToLittleEndian<qint16>(shorts[1], fmt.data() + 2);
        qToLittleEndian<qint32>(8000, fmt.data() + 4);
        qToLittleEndian<qint32>(16000, fmt.data() + 8);
        qToLittleEndian<qint16>(2, fmt.data() + 12);
        qToLittleEndian<qint16>(16, fmt.data() + 14);
        auto chunk = [](const QByteArray& id, const QByteArray& body) {
            QByteArray size(4, '\0');
            qToLittleEndian<qint32>(qint32(body.size()), size.data());
            return id + size + body;
        };
        const QByteArray samples = QByteArray("0123456789abcdef").repeated(40);
        const QByteArray chunks =
            chunk("fmt ", fmt) + chunk("LIST", QByteArray(30, 'L')) + chunk("data", samples);
        QByteArray riffSize(4, '\0');
        qToLittleEndian<qint32>(qint32(chunks.size() + 4), riffSize.data());
        QFile w(tmp_.filePath("tool.wav"));
        QVERIFY(w.open(QIODevice::WriteOnly));
        w.write("RIFF" + riffSize + "WAVE" + chunks);
        w.close();
        QVERIFY(mUtility::InspectFile(tmp_.path(), "tool.wav", mUtility::SoundInfo).IsValid());
        const QString wav = PreviewFile::Write(w.fileName(), mUtility::SoundInfo);
        QFile f(wav);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray all = f.readAll();
        QCOMPARE(all.size(), 44 + samples.size());
        QCOMPARE(all.mid(44), samples);
        f.remove();
        mUtility::SoundInfo = mUtility::SoundInfoRecord();
    }

    // A header that claims more than the source holds: the rest reads as zero.
    void shortSourceIsPaddedWithSilence() {
        const QString src = tmp_.filePath("C.SND");
        QVERIFY(MakeSndSource(src, 8000, 8, 1, 100));
        mUtility::SoundInfo.DataLength = 300;
        const QString wav = PreviewFile::Write(src, mUtility::SoundInfo);
        QFile f(wav);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray all = f.readAll();
        QCOMPARE(all.size(), 344);
        QCOMPARE(all.mid(144), QByteArray(200, '\0'));
        f.remove();
    }

    // A header claiming 2 GiB - 1 data bytes: the RIFF size stops at the
    // largest 32-bit value instead of wrapping negative; the file is sparse.
    void largestDataLengthKeepsRiffSizeInRange() {
        const QString src = tmp_.filePath("H.SND");
        QVERIFY(MakeSndSource(src, 44100, 16, 2, 25));
        mUtility::SoundInfo.DataLength = std::numeric_limits<qint32>::max();
        mUtility::SoundInfo.SampleRate = std::numeric_limits<qint32>::max();
        const QString wav = PreviewFile::Write(src, mUtility::SoundInfo);
        QFile f(wav);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.size(), 44 + qint64(std::numeric_limits<qint32>::max()));
        const QByteArray head = f.read(44);
        QCOMPARE(qFromLittleEndian<qint32>(head.constData() + 4),
                 std::numeric_limits<qint32>::max());
        QCOMPARE(qFromLittleEndian<qint32>(head.constData() + 28),
                 std::numeric_limits<qint32>::max());
        QCOMPARE(qFromLittleEndian<qint32>(head.constData() + 40),
                 std::numeric_limits<qint32>::max());
        f.remove();
    }

    // $TMPDIR naming a missing folder or a file: the copy goes to /tmp, never
    // to the current folder; a relative folder is refused.
    void missingTemporaryFolderFallsBackToTmp_data() {
        QTest::addColumn<QString>("tmpdir");
        QTest::newRow("missing") << "gone/deeper";
        QTest::newRow("a file") << "M.SND";
    }

    void missingTemporaryFolderFallsBackToTmp() {
        QFETCH(QString, tmpdir);
        const QString src = tmp_.filePath("M.SND");
        QVERIFY(MakeSndSource(src, 8000, 8, 1, 10));
        const QString saved = QDir::currentPath();
        QVERIFY(QDir::setCurrent(tmp_.path()));
        qputenv("TMPDIR", QFile::encodeName(tmp_.filePath(tmpdir)));
        QString wav;
        try {
            wav = PreviewFile::Write(src, mUtility::SoundInfo);
        } catch (const AppError& e) {
            QWARN(qPrintable(e.Description));
        }
        qputenv("TMPDIR", QFile::encodeName(tmp_.path()));
        QDir::setCurrent(saved);
        QVERIFY2(wav.startsWith("/tmp/"), qPrintable(wav));
        QVERIFY(QFile::remove(wav));
        QString path;
        QVERIFY_THROWS_EXCEPTION(AppError, PreviewFile::CreateExclusive(QString(), &path));
        QVERIFY_THROWS_EXCEPTION(AppError, PreviewFile::CreateExclusive("sub/", &path));
    }

    // A copy that fails leaves no file: a missing source, a negative length,
    // and a full disk met on the samples' own thread, whose error reaches
    // whoever waits, each time, naming the copy.
    void failedCopyLeavesNothing_data() {
        QTest::addColumn<QString>("source");
        QTest::addColumn<int>("dataLength");
        QTest::addColumn<int>("sizeLimit");  // bytes; 0: none
        QTest::newRow("missing source") << "gone.snd" << 10 << 0;
        QTest::newRow("negative length") << "C.SND" << -1 << 0;
        QTest::newRow("disk full while copying") << "LARGE.SND" << 64000 << 4096;
    }

    void failedCopyLeavesNothing() {
        QFETCH(QString, source);
        QFETCH(int, dataLength);
        QFETCH(int, sizeLimit);
        const QString src = tmp_.filePath(source);
        if (sizeLimit > 0) QVERIFY(MakeSndSource(src, 8000, 16, 1, dataLength / 2));
        mUtility::SoundInfo.DataLength = dataLength;
        const QStringList before = QDir(tmp_.path()).entryList(QDir::Files);
        std::optional<Fixtures::FileSizeLimit> full;
        if (sizeLimit > 0) QVERIFY(full.emplace(rlim_t(sizeLimit)).set);
        QStringList errors;
        const auto note = [&errors](const auto& step) {
            try {
                step();
            } catch (const AppError& e) {
                errors << e.Description;
            }
        };
        std::unique_ptr<PreviewCopy> copy;
        note([&] { copy = std::make_unique<PreviewCopy>(src, mUtility::SoundInfo); });
        if (copy) {
            note([&] { copy->Finish(); });
            note([&] { copy->Finish(); });
            QVERIFY2(errors.size() == 2 && errors[0].contains(copy->Path()),
                     qPrintable(errors.join('|')));
            QCOMPARE(errors[1], errors[0]);
            copy.reset();
        }
        QVERIFY(!errors.isEmpty());
        QCOMPARE(QDir(tmp_.path()).entryList(QDir::Files), before);
    }
};

QTEST_GUILESS_MAIN(tst_PreviewFile)
#include "tst_PreviewFile.moc"
