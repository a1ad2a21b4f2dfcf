// The Import dialog driven as a user drives it: audio files generated here
// with libsndfile, save dialogs answered through cCommonDialog's chooser,
// message boxes through MsgBox's responder; the main window's routes into it
// (a real drop event, Ctrl+I) end with the new file selected.

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QProgressBar>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>
#include <QtTest>
#include <csignal>
#include <optional>

#include "../sound/SignalFixtures.h"
#include "../sound/SoundFixtures.h"
#include "AppError.h"
#include "ConvertOptions.h"
#include "FlexMaskEditBox.h"
#include "MsgBox.h"
#include "QuillonButton.h"
#include "SignalQuit.h"
#include "WindowTestKit.h"
#include "cCommonDialog.h"
#include "frmImport.h"
#include "frmMain.h"

using WindowTestKit::Child;

namespace {

// A sine of `seconds` at 440 Hz in `format`.
void WriteTone(const QString& path, int format, int rate, int channels, double seconds) {
    QVERIFY(Fixtures::WriteSignal(path, format, rate, channels, qint64(seconds * rate),
                                  Fixtures::Sine(0.5, 440, rate)));
}

void ClickOption(QAbstractButton* button) {
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

}  // namespace

class tst_frmImport : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();
    void showsSourceAndDefaults();
    void writesTheChosenGameFile();
    void likeTakesAGameFilesValues();
    void likeIdAndFlagAreKeptExactly_data();
    void likeIdAndFlagAreKeptExactly();
    void notAudioIsRefused();
    void clippingIsAWarning();
    void dropOpensTheDialog();
    void ctrlIOpensTheDialogThroughAChooser();
    // Last: the signal row ends the event loops as the program's quit does.
    void cancelStopsAndLeavesNothing_data();
    void cancelStopsAndLeavesNothing();

private:
    QString Path(const QString& name) const { return dir_.filePath(name); }
    // Runs `work` on the next modal dialog once it shows, while `start` opens it.
    void OnModal(const std::function<void(frmImport*)>& work);

    QTemporaryDir dir_;
    QList<MsgBox::Shown> boxes_;
    QList<SaveRequest> requests_;
    std::optional<QString> answer_;
    bool sawModal_ = false;
};

void tst_frmImport::initTestCase() {
    QVERIFY(dir_.isValid());
    qputenv("ZEPHYRA_AUDIO", "null");
    qputenv("ZEPHYRA_REGISTRY", Path("registry.sqlite3").toUtf8());
    MsgBox::SetResponder([this](const MsgBox::Shown& box) {
        boxes_ << box;
        return QMessageBox::Ok;
    });
    cCommonDialog::SetChooser([this](const SaveRequest& request) -> std::optional<QString> {
        requests_ << request;
        return answer_;
    });
    WriteTone(Path("tone.flac"), SF_FORMAT_FLAC | SF_FORMAT_PCM_24, 48000, 2, 1.0);
}

void tst_frmImport::init() {
    boxes_.clear();
    requests_.clear();
    answer_.reset();
    sawModal_ = false;
}

void tst_frmImport::cleanupTestCase() {
    MsgBox::SetResponder({});
    cCommonDialog::SetChooser({});
    frmImport::SetSourceChooser({});
}

void tst_frmImport::showsSourceAndDefaults() {
    frmImport dialog(Path("tone.flac"), dir_.path());
    dialog.show();
    QCOMPARE(Child<QLabel>(&dialog, "lblFilename")->text(), QString("tone.flac"));
    QCOMPARE(Child<QLabel>(&dialog, "lblFormat")->text(), QString("FLAC, 24-bit"));
    QCOMPARE(Child<QLabel>(&dialog, "lblSampleRate")->text(), QString("48000 Hz"));
    QCOMPARE(Child<QLabel>(&dialog, "lblBitDepth")->text(), QString("24-bit"));
    QCOMPARE(Child<QLabel>(&dialog, "lblChannels")->text(), QString("Stereo"));
    QVERIFY(Child<QLabel>(&dialog, "lblLength")->text().endsWith(" seconds"));
    QVERIFY(Child<QRadioButton>(&dialog, "optType_0")->isChecked());
    QVERIFY(Child<QRadioButton>(&dialog, "optSampleRate_6")->isChecked());  // 48000 -> 44100
    QVERIFY(Child<QRadioButton>(&dialog, "optBitDepth_1")->isChecked());
    QVERIFY(Child<QRadioButton>(&dialog, "optChannels_1")->isChecked());
    QCOMPARE(ConvertOptions::InternalIDFromText(
                 Child<FlexMaskEditBox>(&dialog, "mskInternalID")->Text()),
             0);
    QVERIFY(!Child<QProgressBar>(&dialog, "prgImport")->isVisible());
    // Every control a screen reader reaches has a name.
    for (QWidget* w : dialog.findChildren<QWidget*>()) {
        if (w->focusPolicy() & Qt::TabFocus && w->isVisible() && !w->inherits("QLabel"))
            QVERIFY2(!w->accessibleName().isEmpty(), qPrintable(w->objectName()));
    }
    // A WAV has no flag and no ID.
    ClickOption(Child<QRadioButton>(&dialog, "optType_2"));
    QVERIFY(!Child<FlexMaskEditBox>(&dialog, "mskInternalID")->isEnabled());
    QVERIFY(!Child<QCheckBox>(&dialog, "chkChange8bitFlag")->isEnabled());
}

void tst_frmImport::writesTheChosenGameFile() {
    frmImport dialog(Path("tone.flac"), dir_.path());
    dialog.show();
    dialog.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    ClickOption(Child<QRadioButton>(&dialog, "optType_1"));
    ClickOption(Child<QRadioButton>(&dialog, "optSampleRate_4"));
    ClickOption(Child<QRadioButton>(&dialog, "optBitDepth_0"));
    ClickOption(Child<QRadioButton>(&dialog, "optChannels_0"));
    auto* id = Child<FlexMaskEditBox>(&dialog, "mskInternalID");
    id->textBox()->setFocus();
    QTest::keyClicks(id->textBox(), "77");
    answer_ = Path("out/../NEW.WSD");
    WindowTestKit::Click(Child<QuillonButton>(&dialog, "btnImport"));
    QCOMPARE(requests_.size(), 1);
    QCOMPARE(requests_[0].FileName, QString("TONE.WSD"));
    QCOMPARE(requests_[0].InitDir, dir_.path());
    QVERIFY(requests_[0].OverwritePrompt);
    // No folder "out": the failure is reported, nothing written, the dialog stays.
    QCOMPARE(boxes_.size(), 1);
    QVERIFY(dialog.isVisible());
    QVERIFY(Child<QuillonButton>(&dialog, "btnImport")->isEnabled());
    QVERIFY(!QFile::exists(Path("NEW.WSD")));

    answer_ = Path("NEW.WSD");
    WindowTestKit::Click(Child<QuillonButton>(&dialog, "btnImport"));
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.CreatedFile(), Path("NEW.WSD"));
    QCOMPARE(boxes_.last().title, QString("Import Information"));
    QVERIFY(boxes_.last().text.startsWith(Path("NEW.WSD") + " created successfully!"));
    const QByteArray out = Fixtures::ReadFile(Path("NEW.WSD"));
    const QList<qint32> h = Fixtures::GameFields(out);
    QCOMPARE(h, (QList<qint32>{2, 77, qint32(out.size() - 28), 22050, 8, 1, 0}));
    QVERIFY(std::abs(h[2] - 22050) <= 1);
}

void tst_frmImport::likeTakesAGameFilesValues() {
    QVERIFY(Fixtures::WriteFile(
        Path("boom.snd"),
        Fixtures::GameFile(
            Fixtures::Game{.flag = 0, .id = 321, .rate = 11025, .bits = 8, .channels = 2},
            Fixtures::Samples(100))));
    // A game file the program refuses is listed but cannot be chosen, by
    // arrow keys either: they step over it.
    QVERIFY(Fixtures::WriteFile(
        Path("bad.snd"), Fixtures::GameFile(Fixtures::Game{.rate = 4000}, Fixtures::Samples(100))));
    frmImport dialog(Path("tone.flac"), dir_.path());
    dialog.show();
    auto* summary = Child<QLabel>(&dialog, "lblSummary");
    QCOMPARE(summary->text(), QString("SND, 48000 → 44100 Hz, stereo, 24 → 16 bit, %1 s")
                                  .arg(QLocale().toString(1.0, 'f', 2)));
    auto* like = Child<QComboBox>(&dialog, "cboLike");
    const int bad = like->findText("BAD.SND (refused)");
    QVERIFY(bad > 0);
    QVERIFY(like->itemData(bad, Qt::ToolTipRole).toString().contains("Sample Rate: 4000"));
    const int index = like->findText("BOOM.SND");
    QCOMPARE(index, bad + 1);
    like->setFocus();
    QTest::keyClick(like, Qt::Key_Down);
    QCOMPARE(like->currentIndex(), index);
    QVERIFY(Child<QRadioButton>(&dialog, "optType_0")->isChecked());
    QVERIFY(Child<QRadioButton>(&dialog, "optSampleRate_2")->isChecked());
    QVERIFY(Child<QRadioButton>(&dialog, "optBitDepth_0")->isChecked());
    QVERIFY(Child<QRadioButton>(&dialog, "optChannels_1")->isChecked());
    QVERIFY(Child<QCheckBox>(&dialog, "chkChange8bitFlag")->isChecked());  // 8 bits, flag False
    QVERIFY(Child<QRadioButton>(&dialog, "opt8bitFlag_1")->isChecked());
    QCOMPARE(ConvertOptions::InternalIDFromText(
                 Child<FlexMaskEditBox>(&dialog, "mskInternalID")->Text()),
             321);
    QCOMPARE(Child<QLabel>(&dialog, "lblLikeValues")->text(),
             QString("BOOM.SND: 11025 Hz, 8-bit, stereo, 8-bit flag False, ID 321"));
    QVERIFY2(summary->text().startsWith("SND, 48000 → 11025 Hz, stereo, 24 → 8 bit, "),
             qPrintable(summary->text()));
    answer_ = Path("boom.snd");  // replacing the game sound it is like
    WindowTestKit::Click(Child<QuillonButton>(&dialog, "btnImport"));
    QCOMPARE(requests_.value(0).FileName, QString("boom.snd"));  // proposed: the like file's
    QCOMPARE(dialog.CreatedFile(), Path("boom.snd"));
    QVERIFY2(boxes_.last().text.contains("SND, 48000 → 11025 Hz, stereo, 24 → 8 bit"),
             qPrintable(boxes_.last().text));
    const QByteArray out = Fixtures::ReadFile(Path("boom.snd"));
    QCOMPARE(Fixtures::GameFields(out),
             (QList<qint32>{0, 321, qint32(out.size() - 28), 11025, 8, 2, 0}));
}

// A Like file's ID and flag are written as it holds them, even where the
// 4-digit field or the two flag buttons cannot show them, until changed.
void tst_frmImport::likeIdAndFlagAreKeptExactly_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<int>("flag");
    QTest::addColumn<QString>("typed");  // into the ID field; empty: not edited
    QTest::addColumn<int>("idWritten");
    QTest::addColumn<int>("flagWritten");
    QTest::newRow("ID past 9999") << 123456 << 0 << "" << 123456 << 0;
    QTest::newRow("negative ID") << -5 << 2 << "" << -5 << 2;
    QTest::newRow("flag 7") << 40 << 7 << "" << 40 << 7;
    QTest::newRow("ID typed over") << 123456 << 7 << "42" << 42 << 7;
}

void tst_frmImport::likeIdAndFlagAreKeptExactly() {
    QFETCH(int, id);
    QFETCH(int, flag);
    QFETCH(QString, typed);
    QFETCH(int, idWritten);
    QFETCH(int, flagWritten);
    const QString like = Path("odd.snd");
    QVERIFY(Fixtures::WriteFile(
        like, Fixtures::GameFile(Fixtures::Game{.flag = flag, .id = id}, Fixtures::Samples(100))));
    frmImport dialog(Path("tone.flac"), dir_.path());
    auto* combo = Child<QComboBox>(&dialog, "cboLike");
    combo->setCurrentIndex(combo->findText("ODD.SND"));
    if (!typed.isEmpty()) Child<FlexMaskEditBox>(&dialog, "mskInternalID")->setText(typed);
    answer_ = Path("odd-out.snd");
    WindowTestKit::Click(Child<QuillonButton>(&dialog, "btnImport"));
    const QList<qint32> fields = Fixtures::GameFields(Fixtures::ReadFile(*answer_));
    QFile::remove(*answer_);
    QFile::remove(like);
    QCOMPARE(fields.value(1), idWritten);
    QCOMPARE(fields.value(0), flagWritten);
}

void tst_frmImport::cancelStopsAndLeavesNothing_data() {
    QTest::addColumn<bool>("bySignal");
    QTest::newRow("Cancel") << false;
    QTest::newRow("Escape on the focused Cancel") << false;
    // The desktop program's SIGTERM closes the open dialogs: a running import stops.
    QTest::newRow("SIGTERM") << true;
}

void tst_frmImport::cancelStopsAndLeavesNothing() {
    QFETCH(bool, bySignal);
    if (bySignal) SignalQuit::Install();
    WriteTone(Path("long.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 48000, 1, 240);
    frmImport dialog(Path("long.wav"), dir_.path());
    dialog.show();
    answer_ = Path("LONG.SND");
    const QStringList before = Fixtures::Entries(dir_.path());
    bool sawProgress = false;
    // The first moment the running import lets events through.
    QTimer::singleShot(0, &dialog, [&] {
        sawProgress = Child<QProgressBar>(&dialog, "prgImport")->isVisible() &&
                      !Child<QuillonButton>(&dialog, "btnImport")->isEnabled();
        auto* cancel = Child<QuillonButton>(&dialog, "btnCancel");
        if (bySignal) {
            ::raise(SIGTERM);
        } else if (QTest::currentDataTag() == QLatin1String("Cancel")) {
            WindowTestKit::Click(cancel);
        } else {
            cancel->setFocus();
            QTest::keyClick(cancel, Qt::Key_Escape);
        }
    });
    WindowTestKit::Click(Child<QuillonButton>(&dialog, "btnImport"));
    QVERIFY(sawProgress);
    QCOMPARE(SignalQuit::Received(), bySignal ? SIGTERM : 0);
    QVERIFY(dialog.isVisible());
    QVERIFY(Child<QuillonButton>(&dialog, "btnImport")->isEnabled());
    QCOMPARE(Fixtures::Entries(dir_.path()), before);  // no LONG.SND, no temporary file
    QFile::remove(Path("long.wav"));
}

void tst_frmImport::clippingIsAWarning() {
    QVERIFY(Fixtures::WriteSignal(Path("loud.wav"), SF_FORMAT_WAV | SF_FORMAT_FLOAT, 22050, 1, 2205,
                                  Fixtures::Sine(1.5, 440, 22050)));
    frmImport dialog(Path("loud.wav"), dir_.path());
    dialog.show();
    answer_ = Path("LOUD.SND");
    WindowTestKit::Click(Child<QuillonButton>(&dialog, "btnImport"));
    QCOMPARE(boxes_.size(), 1);
    QCOMPARE(boxes_[0].icon, QMessageBox::Warning);
    QVERIFY2(boxes_[0].text.contains("samples beyond full scale were clipped"),
             qPrintable(boxes_[0].text));
}

void tst_frmImport::notAudioIsRefused() {
    QVERIFY(Fixtures::WriteFile(Path("notes.txt"), "plain words"));
    QVERIFY_THROWS_EXCEPTION(AppError, frmImport(Path("notes.txt"), dir_.path()));
    QVERIFY(!frmImport::TakesDroppedFile(Path("boom.snd")));
    QVERIFY(frmImport::TakesDroppedFile(Path("tone.flac")));
    QVERIFY(!frmImport::TakesDroppedFile(dir_.path()));
}

void tst_frmImport::OnModal(const std::function<void(frmImport*)>& work) {
    QTimer::singleShot(50, this, [this, work] {
        auto* dialog = qobject_cast<frmImport*>(QApplication::activeModalWidget());
        if (!dialog) {
            OnModal(work);  // not up yet
            return;
        }
        sawModal_ = true;
        work(dialog);
    });
}

// A file dragged from a file manager onto the window: the game's own files are
// not taken; an audio file opens the dialog, and the new file ends selected.
void tst_frmImport::dropOpensTheDialog() {
    frmMain window;
    window.show();
    QCoreApplication::processEvents();
    QVERIFY(window.SetDirectoryPath(dir_.path()));

    auto drop = [&](const QString& path) {
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(path)});
        const QPoint at = window.rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&window, &enter);
        if (!enter.isAccepted()) return false;
        QDropEvent dropped(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&window, &dropped);
        return dropped.isAccepted();
    };
    drop(Path("boom.snd"));
    QTest::qWait(100);
    QVERIFY(!qobject_cast<frmImport*>(QApplication::activeModalWidget()));
    QVERIFY(!sawModal_);

    answer_ = Path("TONE.SND");
    OnModal([](frmImport* dialog) {
        QCOMPARE(Child<QLabel>(dialog, "lblFilename")->text(), QString("tone.flac"));
        ClickOption(Child<QRadioButton>(dialog, "optChannels_0"));
        WindowTestKit::Click(Child<QuillonButton>(dialog, "btnImport"));
    });
    QVERIFY(drop(Path("tone.flac")));
    QTRY_VERIFY(sawModal_);
    QTRY_COMPARE(window.SelectedFileName(), QString("TONE.SND"));
    QVERIFY(QApplication::activeModalWidget() == nullptr);
    const QList<qint32> h = Fixtures::GameFields(Fixtures::ReadFile(Path("TONE.SND")));
    QCOMPARE(h[3], 44100);
    QCOMPARE(h[5], 1);
    QCOMPARE(Child<QLabel>(&window, "lblSampleRate")->text(), QString("44100 Hz"));
}

void tst_frmImport::ctrlIOpensTheDialogThroughAChooser() {
    frmMain window;
    window.show();
    QCoreApplication::processEvents();
    QVERIFY(window.SetDirectoryPath(dir_.path()));
    QString askedIn;
    frmImport::SetSourceChooser([&](QWidget*, const QString& folder) {
        askedIn = folder;
        return Path("tone.flac");
    });
    answer_ = Path("KEYS.WAV");
    OnModal([](frmImport* dialog) {
        ClickOption(Child<QRadioButton>(dialog, "optType_2"));
        WindowTestKit::Click(Child<QuillonButton>(dialog, "btnImport"));
    });
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(&window, Qt::Key_I, Qt::ControlModifier);
    QTRY_VERIFY(sawModal_);
    QCOMPARE(askedIn, dir_.path());
    QTRY_COMPARE(window.SelectedFileName(), QString("KEYS.WAV"));
    QCOMPARE(Fixtures::ReadFile(Path("KEYS.WAV")).left(4), QByteArray("RIFF"));
}

QTEST_MAIN(tst_frmImport)
#include "tst_frmimport.moc"
