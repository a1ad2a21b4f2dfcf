#include <QLabel>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include "AppError.h"
#include "MarkerLine.h"
#include "MediaCommands.h"
#include "MsgBox.h"
#include "NullPcmSink.h"
#include "Preview.h"
#include "PreviewFile.h"
#include "PreviewFixture.h"
#include "PreviewMath.h"
#include "QuillonButton.h"
#include "SelectionLoudness.h"
#include "SoundLoudness.h"
#include "WaveSurface.h"
#include "cCommonDialog.h"
#include "frmPreview.h"

using namespace PreviewMath;

// The preview window with the null audio output, its clock driven by the test.
class tst_frmPreview : public QObject {
    Q_OBJECT

    QTemporaryDir tmp_;
    qint64 now_ = 0;
    QStringList sent_;

    // A preview of a new game file, its samples a ramp unless `samples` are given.
    std::unique_ptr<frmPreview> open(int rate, int bits, int channels, qint64 frames,
                                     const QByteArray& samples = {}) {
        const QString src = tmp_.filePath("SOURCE.SND");
        if (!MakeSndSource(src, rate, bits, channels, frames) || !WriteSamples(src, samples))
            return nullptr;
        mUtility::sPreviewFile = PreviewFile::Write(src, mUtility::SoundInfo);
        auto form = std::make_unique<frmPreview>();
        form->show();
        form->Form_Load();
        return form;
    }
    template <class T>
    static T* child(QWidget& form, const char* name) {
        return form.findChild<T*>(QLatin1String(name));
    }
    static QString text(QWidget& form, const char* name) {
        return child<QLabel>(form, name)->text();
    }
    static bool enabled(QWidget& form, const char* name) {
        return child<QuillonButton>(form, name)->isEnabled();
    }
    // Play, Pause, Stop, Loop enabled as a four-letter pattern ("P--L").
    static QString buttons(QWidget& form) {
        QString s;
        for (const char* b : {"btnPlay", "btnPause", "btnStop", "btnLoop"})
            s += enabled(form, b) ? QChar(b[3]) : QChar('-');
        return s;
    }
    static int visibleMarkers(QWidget& form) {
        int n = 0;
        for (auto* line : form.findChildren<MarkerLine*>()) n += line->isVisibleTo(&form);
        return n;
    }
    void advance(qint64 ms) { now_ += ms * 1000; }

private slots:
    void initTestCase() {
        qputenv("TMPDIR", QFile::encodeName(tmp_.path()));
        NullPcmSink::SetClock([this] { return now_; });
        MediaCommands::SetObserver([this](const QString& c) { sent_ << c; });
        QLocale::setDefault(QLocale::c());
    }
    void cleanupTestCase() {
        NullPcmSink::SetClock({});
        MediaCommands::SetObserver({});
    }

    void figuresOfAStereoSound() {
        auto form = open(22050, 16, 2, 22050);
        QVERIFY(form);
        QCOMPARE(text(*form, "lblLength"), QString("1.00 sec"));
        QCOMPARE(text(*form, "lblBitDepth"), QString("16-bit"));
        QCOMPARE(text(*form, "lblChannels"), QString("Stereo"));
        QCOMPARE(text(*form, "lblNumSamples"), QString("22050"));
        QCOMPARE(text(*form, "lblSampleRate"), QString("22050"));
        QCOMPARE(text(*form, "lblPreviewFilename"), QString("File: TEST.SND"));
        QCOMPARE(text(*form, "lblFilesize"), QString("Size: 86.1 KB"));
        QCOMPARE(text(*form, "lblStatus"), QString("Stopped"));
        QVERIFY(text(*form, "lblSampBegin").isEmpty());
        QCOMPARE(form->ActionIcon(), QString("STOP"));
        // The picture itself, not just its name: a 16 x 16 image in the status area.
        QCOMPARE(child<QLabel>(*form, "imgAction")->pixmap().size(), QSize(16, 16));
        QCOMPARE(buttons(*form), QString("P--L"));
        QVERIFY(enabled(*form, "btnExit"));
        QVERIFY(!form->PlayTimerTicking());
        QVERIFY(child<WaveSurface>(*form, "picRightChannel")->isVisible());
        QVERIFY(child<WaveSurface>(*form, "picLeft")->isVisible());
        QVERIFY(!child<WaveSurface>(*form, "picMono")->isVisible());
        QVERIFY(form->windowTitle() == "Sound Preview");
    }

    // A mono sound: one tall view, silence exactly on the centre line.
    void monoLayoutAndCentreLine() {
        const auto opened = open(8000, 8, 1, 4000, QByteArray(4000, char(128)));
        QVERIFY(opened);
        frmPreview& form = *opened;
        auto* view = child<WaveSurface>(form, "picLeftChannel");
        QVERIFY(!child<WaveSurface>(form, "picRightChannel")->isVisible());
        QVERIFY(child<WaveSurface>(form, "picMono")->isVisible());
        const QImage img = view->image();
        const int midRow = img.height() / 2;
        const QColor wave(74, 243, 165);
        int onCentre = 0, elsewhere = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if (img.pixelColor(x, y) == wave) (qAbs(y - midRow) <= 1 ? onCentre : elsewhere)++;
        QVERIFY(onCentre > img.width() / 2);
        QCOMPARE(elsewhere, 0);
    }

    // Drawn while the window opens, before it is shown: the trace still spans
    // the whole view, its last column showing the end of the sound.
    void waveformSpansTheViewWhenDrawnBeforeShowing() {
        const QString src = tmp_.filePath("STEADY.SND");
        QVERIFY(MakeSndSource(src, 8000, 16, 1, 8000));
        QByteArray level;
        for (int i = 0; i < 4000; ++i) level.append("\x10\x27", 2);  // 10000, little-endian
        QVERIFY(WriteSamples(src, level));
        mUtility::sPreviewFile = PreviewFile::Write(src, mUtility::SoundInfo);
        frmPreview form;
        form.Form_Load();
        const QImage img = child<WaveSurface>(form, "picLeftChannel")->image();
        const QColor wave(74, 243, 165);
        const int row = qRound(img.height() / 2.0 - 10000.0 / 17 / 15);
        int lastColumn = -1;
        for (int x = 0; x < img.width(); ++x)
            for (int y = row - 2; y <= row + 2; ++y)
                if (img.pixelColor(x, y) == wave) lastColumn = x;
        QVERIFY2(lastColumn >= img.width() - 3, qPrintable(QString::number(lastColumn)));
    }

    // Opened as the program opens it, with the copy made meanwhile: the same
    // figures and waveform as from a finished copy (the samples read from the
    // source's own offset), and the player open on the whole copy.
    void loadWhileCopyingMatchesAFinishedCopy() {
        QByteArray saw(300 * 4, '\0');  // a sawtooth, one frame a column
        for (int i = 0; i < 600; ++i)
            qToLittleEndian<qint16>(qint16((i / 2 % 40) * 1500 - 30000), saw.data() + 2 * i);
        auto finished = open(11025, 16, 2, 300, saw);
        QVERIFY(finished);
        const QImage expected = child<WaveSurface>(*finished, "picLeftChannel")->image();
        const QString size = text(*finished, "lblFilesize");
        finished.reset();
        PreviewCopy copy(tmp_.filePath("SOURCE.SND"), mUtility::SoundInfo);
        mUtility::sPreviewFile = copy.Path();
        frmPreview form;
        form.show();
        form.LoadWhileCopying(copy);
        QCOMPARE(QFileInfo(copy.Path()).size(), 44 + 1200);
        QCOMPARE(text(form, "lblFilesize"), size);
        QCOMPARE(child<WaveSurface>(form, "picLeftChannel")->image(), expected);
        QCOMPARE(buttons(form), QStringLiteral("P--L"));
        form.close();
    }

    // The state table of playback, step by step.
    void playPauseStopLoop() {
        auto form = open(22050, 16, 1, 44100);  // 2 s
        QVERIFY(form);
        const QString open = sent_.filter(QRegularExpression("^Open ")).last();
        const QString alias = open.section(" ALIAS ", 1).section(' ', 0, 0);
        QVERIFY(alias.startsWith("wav"));
        sent_.clear();
        form->btnPlay_Click();
        QCOMPARE(sent_.first(), QString("Play %1 from 0 to 2000").arg(alias));
        QVERIFY(form->PlayTimerTicking());
        QCOMPARE(form->ActionIcon(), QString("PLAY"));
        form->PlayTimer_Timer();
        QCOMPARE(text(*form, "lblStatus"), QString("Playing"));
        QCOMPARE(buttons(*form), QString("-PS-"));
        // No selection: the marker is on the (single) channel view.
        QCOMPARE(visibleMarkers(*form), 1);
        QVERIFY(child<MarkerLine>(*form, "Line1")->isVisibleTo(form.get()));
        advance(500);
        form->PlayTimer_Timer();
        const double w = child<WaveSurface>(*form, "picLeftChannel")->ScaleWidth();
        QCOMPARE(form->lMarkerX(), int(std::floor(500 * w / 2000)));

        form->btnPause_Click();
        QCOMPARE(form->ActionIcon(), QString("PAUSE"));
        QCOMPARE(form->lPausedMs(), 500);
        advance(1000);
        form->PlayTimer_Timer();
        QCOMPARE(text(*form, "lblStatus"), QString("Paused"));
        QCOMPARE(buttons(*form), QString("P-SL"));
        sent_.clear();
        form->btnPlay_Click();  // resumes where it paused
        QCOMPARE(sent_.first(), QString("Play %1 from 500 to 2000").arg(alias));
        QCOMPARE(form->lPausedMs(), 0);

        form->btnPause_Click();
        form->btnStop_Click();  // forgets the paused position
        QCOMPARE(form->ActionIcon(), QString("STOP"));
        QCOMPARE(buttons(*form), QString("P--L"));
        QCOMPARE(text(*form, "lblStatus"), QString("Stopped"));
        QVERIFY(!form->PlayTimerTicking());
        QCOMPARE(visibleMarkers(*form), 0);
        sent_.clear();
        form->btnPlay_Click();
        QCOMPARE(sent_.first(), QString("Play %1 from 0 to 2000").arg(alias));

        advance(2500);  // the end is reached
        form->PlayTimer_Timer();
        QCOMPARE(buttons(*form), QString("P--L"));
        QCOMPARE(form->ActionIcon(), QString("STOP"));
        QVERIFY(!form->PlayTimerTicking());

        sent_.clear();
        form->btnLoop_Click();  // one repeating range: no gap at the seam
        QCOMPARE(sent_.first(), QString("Play %1 from 0 to 2000 repeat").arg(alias));
        QCOMPARE(form->ActionIcon(), QString("LOOP"));
        form->PlayTimer_Timer();
        advance(2500);
        sent_.clear();
        form->PlayTimer_Timer();  // past the end it still plays, without a new Play
        QVERIFY(sent_.filter(QRegularExpression("^Play ")).isEmpty());
        QCOMPARE(text(*form, "lblStatus"), QString("Playing"));
        QVERIFY(form->PlayTimerTicking());
        QCOMPARE(form->ActionIcon(), QString("LOOP"));
        form->btnPlay_Click();  // Play after Loop ends looping
        QVERIFY(!form->bLooping());

        form->close();
        QVERIFY(!QFile::exists(mUtility::sPreviewFile));
        QCOMPARE(sent_.last(), QString("Close %1").arg(alias));
    }

    // Where the marker shows depends on the selection's width and length.
    void markerPlacement() {
        auto form = open(22050, 16, 2, 44100);
        auto* view = child<WaveSurface>(*form, "picLeftChannel");
        const double w = view->ScaleWidth();
        form->picLeftChannel_MouseDown(1, 0, 0, 100);
        form->picLeftChannel_MouseMove(1, 0, w / 2, 100);  // 1 s, wide
        form->btnPlay_Click();
        form->PlayTimer_Timer();
        QVERIFY(child<MarkerLine>(*form, "Line3")->isVisibleTo(form.get()));
        QVERIFY(!child<MarkerLine>(*form, "Line1")->isVisibleTo(form.get()));
        form->btnStop_Click();
        form->picLeftChannel_MouseDown(1, 0, 1500, 100);
        form->picLeftChannel_MouseMove(1, 0, 1590, 100);  // 90 twips, about 36 ms
        form->btnPlay_Click();
        form->PlayTimer_Timer();
        QCOMPARE(visibleMarkers(*form), 0);
        form->btnStop_Click();
        form->picLeftChannel_MouseDown(1, 0, 1500, 100);
        form->picLeftChannel_MouseMove(1, 0, 1590, 100);
    }

    // The loudness figure is the whole sound's on opening, and the selection's
    // (the frames Save Selection writes) once there is one.
    void loudnessOfTheSoundThenTheSelection() {
        const QString src = tmp_.filePath("SOURCE.SND");
        QVERIFY(MakeSndSource(src, 22050, 16, 1, 3 * 22050));
        {
            // The middle second 6 dB quieter, so that a selection there reads apart.
            QFile f(src);
            QVERIFY(f.open(QIODevice::ReadWrite));
            QByteArray b = f.readAll();
            for (qint64 i = 28 + 2 * 22050; i < 28 + 4 * 22050; i += 2)
                qToLittleEndian<qint16>(qFromLittleEndian<qint16>(b.constData() + i) / 2,
                                        b.data() + i);
            QVERIFY(f.seek(0) && f.write(b) == b.size());
        }
        mUtility::sPreviewFile = PreviewFile::Write(src, mUtility::SoundInfo);
        mUtility::SoundInfo.Folder = tmp_.path();
        mUtility::SoundInfo.DiskName = QStringLiteral("SOURCE.SND");
        frmPreview form;
        form.show();
        form.Form_Load();
        const auto figure = [&](qint64 first, qint64 frames) {
            const auto f = Loudness::MeasureFile(src, nullptr, first, frames);
            return SelectionLoudness::LoudnessText(f) + ", " + SelectionLoudness::TruePeakText(f);
        };
        QVERIFY(figure(0, -1).endsWith(" dBTP"));
        QTRY_COMPARE(text(form, "lblLoudness"), figure(0, -1));
        const double w = child<WaveSurface>(form, "picLeftChannel")->ScaleWidth();
        form.picLeftChannel_MouseDown(1, 0, w / 3, 100);
        form.picLeftChannel_MouseMove(1, 0, 2 * w / 3, 100);
        form.picLeftChannel_MouseUp(1, 0, 2 * w / 3, 100);
        const qint64 first = text(form, "lblSampBegin").toLongLong();
        const qint64 last = text(form, "lblSampEnd").toLongLong();
        QVERIFY(figure(first, last - first + 1) != figure(0, -1));
        QTRY_COMPARE(text(form, "lblLoudness"), figure(first, last - first + 1));
    }

    void saveSelection_data() {
        QTest::addColumn<int>("bits");
        QTest::addColumn<int>("channels");
        QTest::addColumn<bool>("toTheEnd");
        QTest::addColumn<QString>("name");
        QTest::newRow("8-bit mono, middle") << 8 << 1 << false << "PART.SND";
        QTest::newRow("stereo to the last frame") << 16 << 2 << true << "PART.SND";
        QTest::newRow("as a WAV") << 16 << 2 << false << "part.wav";
        QTest::newRow("cancelled") << 16 << 1 << false << "";
    }

    // Save Selection writes exactly the frames Begin..End of the Selection
    // panel from the source file, only while there is a selection.
    void saveSelection() {
        QFETCH(int, bits);
        QFETCH(int, channels);
        QFETCH(bool, toTheEnd);
        QFETCH(QString, name);
        auto form = open(22050, bits, channels, 22050);
        mUtility::SoundInfo.Folder = tmp_.path();
        mUtility::SoundInfo.DiskName = QStringLiteral("SOURCE.SND");
        QVERIFY(!enabled(*form, "btnSaveSelection"));
        const double w = child<WaveSurface>(*form, "picLeftChannel")->ScaleWidth();
        form->picLeftChannel_MouseDown(1, 0, w / 3, 100);
        if (!toTheEnd) form->picLeftChannel_MouseMove(1, 0, w / 2, 100);
        form->picLeftChannel_MouseUp(1, 0, w / 2, 100);
        QVERIFY(enabled(*form, "btnSaveSelection"));
        const qint64 first = text(*form, "lblSampBegin").toLongLong();
        const qint64 last = text(*form, "lblSampEnd").toLongLong();
        QCOMPARE(last == 22049, toTheEnd);

        QList<MsgBox::Shown> boxes;
        MsgBox::SetResponder([&](const MsgBox::Shown& box) {
            boxes << box;
            return QMessageBox::Ok;
        });
        QList<SaveRequest> requests;
        const QString dest = name.isEmpty() ? QString() : tmp_.filePath(name);
        cCommonDialog::SetChooser([&](const SaveRequest& r) -> std::optional<QString> {
            requests << r;
            return dest.isEmpty() ? std::nullopt : std::optional<QString>(dest);
        });
        form->btnSaveSelection_Click();
        MsgBox::SetResponder({});
        cCommonDialog::SetChooser({});
        QCOMPARE(requests.size(), 1);
        QCOMPARE(requests[0].InitDir, tmp_.path());
        if (dest.isEmpty()) {
            QVERIFY(boxes.isEmpty());
            return;
        }
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes[0].icon, QMessageBox::Information);
        QFile src(tmp_.filePath("SOURCE.SND")), out(dest);
        QVERIFY(src.open(QIODevice::ReadOnly) && out.open(QIODevice::ReadOnly));
        const QByteArray source = src.readAll(), written = out.readAll();
        const int frame = bits / 8 * channels;
        const QByteArray want = source.mid(28 + first * frame, (last - first + 1) * frame);
        const bool wav = name.endsWith(".wav");
        QCOMPARE(written.size(), (wav ? 44 : 28) + want.size());
        QVERIFY(written.mid(wav ? 44 : 28) == want);
        if (wav) {
            QCOMPARE(written.left(4), QByteArray("RIFF"));
        } else {
            QVERIFY(written.left(8) == source.left(8));  // flag and ID kept
            QCOMPARE(qFromLittleEndian<qint32>(written.constData() + 8), qint32(want.size()));
            QVERIFY(written.mid(12, 16) == source.mid(12, 16));
        }
        out.remove();
    }

    void previewEntryPoint() {
        const QString src = tmp_.filePath("ENTRY.SND");
        QVERIFY(MakeSndSource(src, 11025, 8, 1, 11025));
        auto wavs = [this] { return QDir(tmp_.path()).entryList({"*.wav"}, QDir::Files); };
        const QStringList before = wavs();
        mUtility::AutoPlaying = true;
        mUtility::Preview(src);
        mUtility::AutoPlaying = false;
        QCOMPARE(wavs(), before);  // played from the open file, deleted at once

        bool sawWindow = false;
        QTimer::singleShot(0, [&] {
            auto* form = qobject_cast<frmPreview*>(QApplication::activeModalWidget());
            sawWindow = form && QFile::exists(mUtility::sPreviewFile);
            if (form) form->close();
        });
        mUtility::Preview(src);
        QVERIFY(sawWindow);
        QCOMPARE(wavs(), before);

        mUtility::SoundInfo.SampleRate = 0;  // the load fails
        try {
            mUtility::Preview(src);
            QFAIL("a sample rate of 0 must fail");
        } catch (const AppError& e) {
            QCOMPARE(e.Number, 11);
            QVERIFY(e.Description.contains("frmPreview.Form_Load"));
            QVERIFY(e.Description.contains("mUtility.Preview("));
        }
        QCOMPARE(wavs(), before);
    }

    // Random presses, drags and releases through the window system: the
    // selection stays inside the view and the sound, and the times, samples,
    // labels and widgets agree with the window's edges.
    void randomMouseInput() {
        auto form = open(44100, 16, 2, 88200);
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QWindow* window = form->windowHandle();
        auto* view = child<WaveSurface>(*form, "picLeftChannel");
        auto* middle = child<WaveSurface>(*form, "picLeftMiddle");
        const double w = view->ScaleWidth();
        const double tpp = WaveSurface::TwipsPerPixel();
        const qint32 n = form->lNumSamples();
        const QRect area(form->findChild<WaveSurface*>("picMain")->geometry());
        QRandomGenerator rng(20240607);
        Qt::MouseButton held = Qt::NoButton;
        QPoint pos = area.center();
        for (int i = 0; i < 100000; ++i) {
            const int roll = rng.bounded(100);
            if (held == Qt::NoButton && roll < 60) {
                pos = QPoint(area.left() + rng.bounded(area.width()),
                             area.top() + rng.bounded(area.height()));
                held = rng.bounded(2) ? Qt::LeftButton : Qt::RightButton;
                QTest::mousePress(window, held, {}, pos);
            } else if (held != Qt::NoButton && roll < 15) {
                QTest::mouseRelease(window, held, {}, pos);
                held = Qt::NoButton;
            } else {
                pos += QPoint(rng.bounded(-40, 41), rng.bounded(-5, 6));
                pos.setX(qBound(-50, pos.x(), form->width() + 50));
                QTest::mouseMove(window, pos);
            }
            const SelectionModel& s = form->Selection();
            const auto& win = s.left();
            const double right = win.left + win.width;
            if (!win.visible) continue;
            QVERIFY2(win.left >= 0 && win.width >= 0 && right <= w + 1e-9,
                     qPrintable(QString("event %1: %2 + %3").arg(i).arg(win.left).arg(win.width)));
            QCOMPARE(s.lStartMs, MsAt(win.left, w, form->dDuration()));
            QCOMPARE(s.lblSampBegin, QString::number(SampleAt(win.left, w, n)));
            if (win.width > 0) {
                QCOMPARE(s.lEndMs, MsAt(right, w, form->dDuration()));
                QCOMPARE(s.lblSampEnd, QString::number(SampleAt(right, w, n)));
            } else {
                QCOMPARE(s.lEndMs, 2000);
            }
            QVERIFY(s.lStartMs <= s.lEndMs && s.lEndMs <= 2000);
            QCOMPARE(text(*form, "lblSampTotal"),
                     QString::number(s.lblSampEnd.toInt() - s.lblSampBegin.toInt() + 1));
            QCOMPARE(middle->x(), view->border() + qRound(win.left / tpp));
        }
    }
};

QTEST_MAIN(tst_frmPreview)
#include "tst_frmPreview.moc"
