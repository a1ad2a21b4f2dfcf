// The Convert dialog driven as a user drives it: files are generated in a
// temporary folder, inspected as the main window inspects them, the save
// dialogs are answered through cCommonDialog's chooser and the message boxes
// through MsgBox's responder.

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <deque>
#include <memory>
#include <optional>

#include "../sound/SoundFixtures.h"
#include "ConvertOptions.h"
#include "FlexMaskEditBox.h"
#include "Inspection.h"
#include "MsgBox.h"
#include "QuillonButton.h"
#include "SoundInfo.h"
#include "WindowTestKit.h"
#include "cCommonDialog.h"
#include "frmConvert.h"

using mUtility::SoundInfo;
using WindowTestKit::Child;

namespace {

// A click on the indicator of a check box or option, where a user clicks.
void ClickOption(QAbstractButton* button) {
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

QString Decimal(const QString& integer, const QString& fraction) {
    return integer + QLocale::system().decimalPoint() + fraction;
}

}  // namespace

class tst_frmConvert : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();

    void ownTypeCannotBeChosen_data();
    void ownTypeCannotBeChosen();
    void showsHeaderValues_data();
    void showsHeaderValues();
    void unknownShapeShowsPlaceholders();
    void rateNotOfferedSelectsNothing();
    void writesTheChosenHeader_data();
    void writesTheChosenHeader();
    void internalIdFromField();
    void twoFormatsAskTwiceAndReportTwoLines();
    void cancelStopsAndKeepsDialogOpen();
    void noFormatAsksForOne();
    void failedConversionIsReportedAndDialogStaysUsable();
    void worksFromTheKeyboard();
    void previewUsesTheChosenValues();
    void relabelThatChangesTheSoundOffersImport_data();
    void relabelThatChangesTheSoundOffersImport();

private:
    // Writes `bytes` as `name`, inspects it into SoundInfo and opens the dialog.
    std::unique_ptr<frmConvert> Open(const QString& name, const QByteArray& bytes);
    void Go(frmConvert& dialog);
    QString Path(const QString& name) const { return dir_.filePath(name); }

    QTemporaryDir dir_;
    QList<MsgBox::Shown> boxes_;
    QList<SaveRequest> requests_;
    std::deque<std::optional<QString>> answers_;  // empty: cancel
    QMessageBox::StandardButton answer_ = QMessageBox::Ok;
};

void tst_frmConvert::initTestCase() {
    QVERIFY(dir_.isValid());
    qputenv("ZEPHYRA_AUDIO", "null");
    qputenv("ZEPHYRA_REGISTRY", dir_.filePath(QStringLiteral("registry.sqlite3")).toUtf8());
    MsgBox::SetResponder([this](const MsgBox::Shown& box) {
        boxes_ << box;
        return box.buttons.testFlag(answer_) ? answer_ : QMessageBox::Ok;
    });
    cCommonDialog::SetChooser([this](const SaveRequest& request) -> std::optional<QString> {
        requests_ << request;
        if (answers_.empty()) return std::nullopt;
        const std::optional<QString> answer = answers_.front();
        answers_.pop_front();
        return answer;
    });
}

void tst_frmConvert::init() {
    boxes_.clear();
    requests_.clear();
    answers_.clear();
    mUtility::StatusText.clear();
    answer_ = QMessageBox::Ok;
}

void tst_frmConvert::cleanupTestCase() {
    MsgBox::SetResponder({});
    cCommonDialog::SetChooser({});
}

std::unique_ptr<frmConvert> tst_frmConvert::Open(const QString& name, const QByteArray& bytes) {
    if (!Fixtures::WriteFile(Path(name), bytes)) qFatal("cannot write %s", qPrintable(name));
    mUtility::InspectFile(dir_.path(), name, SoundInfo);
    auto dialog = std::make_unique<frmConvert>();
    dialog->show();
    dialog->activateWindow();
    if (!QTest::qWaitForWindowActive(dialog.get())) qWarning("dialog not active");
    return dialog;
}

void tst_frmConvert::Go(frmConvert& dialog) {
    WindowTestKit::Click(Child<QuillonButton>(&dialog, QStringLiteral("btnConvert")));
}

void tst_frmConvert::ownTypeCannotBeChosen_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("disabled");
    QTest::newRow("snd") << "own.snd" << 0;
    QTest::newRow("wsd") << "OWN.WSD" << 1;
    QTest::newRow("wav") << "own.wav" << 2;
}

void tst_frmConvert::ownTypeCannotBeChosen() {
    QFETCH(QString, name);
    QFETCH(int, disabled);
    const QByteArray samples = Fixtures::Samples(400);
    const QByteArray bytes = name.endsWith(QStringLiteral("wav"), Qt::CaseInsensitive)
                                 ? Fixtures::WavFile({}, samples)
                                 : Fixtures::GameFile({}, samples);
    auto dialog = Open(name, bytes);
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(Child<QCheckBox>(dialog.get(), QStringLiteral("chkFormat_%1").arg(i))->isEnabled(),
                 i != disabled);
    }
}

void tst_frmConvert::showsHeaderValues_data() {
    QTest::addColumn<qint64>("rate");
    QTest::addColumn<qint64>("bits");
    QTest::addColumn<qint64>("channels");
    QTest::addColumn<qint64>("length");
    QTest::addColumn<QString>("samples");
    QTest::addColumn<QString>("seconds");
    QTest::addColumn<QString>("channelsText");
    QTest::newRow("16-bit stereo, one second")
        << qint64(22050) << qint64(16) << qint64(2) << qint64(88200) << QStringLiteral("22050")
        << Decimal(QStringLiteral("1"), QStringLiteral("00")) + QStringLiteral(" seconds")
        << QStringLiteral("Stereo");
    QTest::newRow("8-bit stereo, odd byte count")
        << qint64(11025) << qint64(8) << qint64(2) << qint64(11025)
        << Decimal(QStringLiteral("5512"), QStringLiteral("5"))
        << Decimal(QStringLiteral("0"), QStringLiteral("50")) + QStringLiteral(" seconds")
        << QStringLiteral("Stereo");
    QTest::newRow("8-bit mono, grouped seconds")
        << qint64(6000) << qint64(8) << qint64(1) << qint64(6000 * 1234 + 3000)
        << QStringLiteral("7407000")
        << QStringLiteral("1") + QLocale::system().groupSeparator() +
               Decimal(QStringLiteral("234"), QStringLiteral("50")) + QStringLiteral(" seconds")
        << QStringLiteral("Mono");
}

void tst_frmConvert::showsHeaderValues() {
    QFETCH(qint64, rate);
    QFETCH(qint64, bits);
    QFETCH(qint64, channels);
    QFETCH(qint64, length);
    QFETCH(QString, samples);
    QFETCH(QString, seconds);
    QFETCH(QString, channelsText);
    Fixtures::Game game;
    game.rate = rate;
    game.bits = bits;
    game.channels = channels;
    game.id = 321;
    auto dialog =
        Open(QStringLiteral("shown.snd"), Fixtures::GameFile(game, Fixtures::Samples(length)));

    const auto text = [&](const char* name) {
        return Child<QLabel>(dialog.get(), QString::fromLatin1(name))->text();
    };
    QCOMPARE(text("lblFilename"), QStringLiteral("SHOWN.SND"));
    QCOMPARE(text("lblSamples"), samples);
    QCOMPARE(text("lblSoundLength"), seconds);
    QCOMPARE(text("lblSampleRate"), QString::number(rate) + QStringLiteral(" Hz"));
    QCOMPARE(text("lblBitDepth"), QString::number(bits) + QStringLiteral("-bit"));
    QCOMPARE(text("lblChannels"), channelsText);
    QCOMPARE(text("lbl8bitFlag"), bits == 8 ? QStringLiteral("True") : QStringLiteral("False"));
    QCOMPARE(text("lblInternalID"), QStringLiteral("321"));
    QVERIFY(!text("lblRawDataLength").isEmpty());
    QVERIFY(!text("lblFilesize").isEmpty());

    // The options show the file's values.
    const int rateIndex = ConvertOptions::SampleRateIndex(static_cast<qint32>(rate));
    QVERIFY(Child<QRadioButton>(dialog.get(), QStringLiteral("optSampleRate_%1").arg(rateIndex))
                ->isChecked());
    QVERIFY(
        Child<QRadioButton>(dialog.get(), QStringLiteral("optBitDepth_%1").arg(bits == 8 ? 0 : 1))
            ->isChecked());
    QVERIFY(Child<QRadioButton>(dialog.get(), QStringLiteral("optChannels_%1").arg(channels - 1))
                ->isChecked());
}

void tst_frmConvert::unknownShapeShowsPlaceholders() {
    // A record left by a file that failed its checks: nothing to divide by.
    Open(QStringLiteral("zero.snd"), Fixtures::GameFile({}, Fixtures::Samples(100)));
    SoundInfo.SampleRate = 0;
    SoundInfo.Channels = 0;
    frmConvert dialog;
    QCOMPARE(Child<QLabel>(&dialog, QStringLiteral("lblSoundLength"))->text(),
             QStringLiteral("N/A"));
    QCOMPARE(Child<QLabel>(&dialog, QStringLiteral("lblSamples"))->text(), QStringLiteral("N/A"));
    QVERIFY(!Child<QRadioButton>(&dialog, QStringLiteral("optChannels_0"))->isChecked());
    QVERIFY(!Child<QRadioButton>(&dialog, QStringLiteral("optChannels_1"))->isChecked());

    // A depth the options do not offer: no sample count and no depth option.
    SoundInfo.SampleRate = 22050;
    SoundInfo.Channels = 1;
    SoundInfo.BitsPerSample = 12;
    frmConvert twelve;
    QCOMPARE(Child<QLabel>(&twelve, QStringLiteral("lblSamples"))->text(), QString());
    QVERIFY(!Child<QRadioButton>(&twelve, QStringLiteral("optBitDepth_0"))->isChecked());
    QVERIFY(!Child<QRadioButton>(&twelve, QStringLiteral("optBitDepth_1"))->isChecked());
    QCOMPARE(SoundInfo.BitsPerSample, qint16(12));
}

void tst_frmConvert::rateNotOfferedSelectsNothing() {
    Fixtures::Game game;
    game.rate = 12000;
    auto dialog = Open(QStringLiteral("rate.snd"), Fixtures::GameFile(game, Fixtures::Samples(64)));
    for (int i = 0; i < 7; ++i) {
        QVERIFY(!Child<QRadioButton>(dialog.get(), QStringLiteral("optSampleRate_%1").arg(i))
                     ->isChecked());
    }
    QCOMPARE(SoundInfo.SampleRate, 12000);
    QCOMPARE(Child<QLabel>(dialog.get(), QStringLiteral("lblSampleRate"))->text(),
             QStringLiteral("12000 Hz"));

    // Choosing a rate writes it at once.
    ClickOption(Child<QRadioButton>(dialog.get(), QStringLiteral("optSampleRate_6")));
    QCOMPARE(SoundInfo.SampleRate, 44100);
    QCOMPARE(Child<QLabel>(dialog.get(), QStringLiteral("lblSampleRate"))->text(),
             QStringLiteral("44100 Hz"));
}

void tst_frmConvert::writesTheChosenHeader_data() {
    QTest::addColumn<qint64>("bits");
    QTest::addColumn<qint64>("fileFlag");
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<qint32>("flag");
    QTest::addColumn<qint32>("writtenBits");
    QTest::newRow("flag follows the depth") << qint64(8) << qint64(0) << QStringList() << 2 << 8;
    QTest::newRow("16 bit relabels 8-bit data")
        << qint64(8) << qint64(2) << QStringList{QStringLiteral("optBitDepth_1")} << 0 << 16;
    QTest::newRow("flag set to False")
        << qint64(8) << qint64(2)
        << QStringList{QStringLiteral("chkChange8bitFlag"), QStringLiteral("opt8bitFlag_1")} << 0
        << 8;
    QTest::newRow("flag set to True")
        << qint64(16) << qint64(0)
        << QStringList{QStringLiteral("chkChange8bitFlag"), QStringLiteral("opt8bitFlag_0")} << 2
        << 16;
}

void tst_frmConvert::writesTheChosenHeader() {
    QFETCH(qint64, bits);
    QFETCH(qint64, fileFlag);
    QFETCH(QStringList, clicks);
    QFETCH(qint32, flag);
    QFETCH(qint32, writtenBits);
    Fixtures::Game game;
    game.bits = bits;
    game.flag = fileFlag;
    const QByteArray samples = Fixtures::Samples(300);
    auto dialog = Open(QStringLiteral("head.snd"), Fixtures::GameFile(game, samples));
    for (const QString& name : clicks) ClickOption(Child<QAbstractButton>(dialog.get(), name));
    QCOMPARE(Child<QLabel>(dialog.get(), QStringLiteral("lbl8bitFlag"))->text(),
             flag == 2 ? QStringLiteral("True") : QStringLiteral("False"));
    ClickOption(Child<QCheckBox>(dialog.get(), QStringLiteral("chkFormat_1")));
    answers_.push_back(Path(QStringLiteral("HEAD.WSD")));
    answer_ = QMessageBox::No;  // a new depth is a relabel on purpose here
    Go(*dialog);

    const QByteArray written = Fixtures::ReadFile(Path(QStringLiteral("HEAD.WSD")));
    QCOMPARE(Fixtures::GameFields(written).value(0), flag);
    QCOMPARE(Fixtures::GameFields(written).value(4), writtenBits);
    QCOMPARE(written.mid(28), samples);
}

void tst_frmConvert::internalIdFromField() {
    Fixtures::Game game;
    game.id = 1234;
    auto dialog = Open(QStringLiteral("id.snd"), Fixtures::GameFile(game, Fixtures::Samples(40)));
    auto* change = Child<QCheckBox>(dialog.get(), QStringLiteral("chkChangeInternalID"));
    auto* field = Child<FlexMaskEditBox>(dialog.get(), QStringLiteral("mskInternalID"));
    QVERIFY(!field->isVisible());
    ClickOption(change);
    QVERIFY(field->isVisible());
    QVERIFY(field->textBox()->hasFocus());
    // Empty, it shows its prompt characters unselected.
    QCoreApplication::processEvents();
    QCOMPARE(field->textBox()->text(), QStringLiteral("____"));
    QCOMPARE(field->SelLength(), 0);
    QTest::keyClicks(field->textBox(), QStringLiteral("42"));
    QCOMPARE(SoundInfo.InternalID, 42);
    QCOMPARE(Child<QLabel>(dialog.get(), QStringLiteral("lblInternalID"))->text(),
             QStringLiteral("42"));

    // Coming back to the field selects its text, so typing replaces it.
    QTest::keyClick(field->textBox(), Qt::Key_Tab);
    QVERIFY(!field->textBox()->hasFocus());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    QVERIFY(field->textBox()->hasFocus());
    QTRY_VERIFY(field->SelLength() > 0);
    QTest::keyClicks(field->textBox(), QStringLiteral("9"));
    QCOMPARE(SoundInfo.InternalID, 9);

    // Unticking keeps the file's own ID rather than writing 0.
    ClickOption(change);
    QVERIFY(!field->isVisible());
    QCOMPARE(SoundInfo.InternalID, 1234);

    ClickOption(change);
    QTest::keyClicks(field->textBox(), QStringLiteral("77"));
    ClickOption(Child<QCheckBox>(dialog.get(), QStringLiteral("chkFormat_1")));
    answers_.push_back(Path(QStringLiteral("ID.WSD")));
    Go(*dialog);
    QCOMPARE(Fixtures::GameFields(Fixtures::ReadFile(Path(QStringLiteral("ID.WSD")))).value(1), 77);
}

void tst_frmConvert::twoFormatsAskTwiceAndReportTwoLines() {
    auto dialog = Open(QStringLiteral("both.snd"), Fixtures::GameFile({}, Fixtures::Samples(256)));
    ClickOption(Child<QCheckBox>(dialog.get(), QStringLiteral("chkFormat_1")));
    ClickOption(Child<QCheckBox>(dialog.get(), QStringLiteral("chkFormat_2")));
    answers_.push_back(Path(QStringLiteral("BOTH.WSD")));
    answers_.push_back(Path(QStringLiteral("BOTH.WAV")));
    Go(*dialog);

    QCOMPARE(requests_.size(), 2);
    QCOMPARE(requests_[0].Title, QStringLiteral("Save File"));
    QCOMPARE(requests_[0].InitDir, dir_.path());
    QCOMPARE(requests_[0].FileName, QStringLiteral("BOTH.WSD"));
    QCOMPARE(requests_[0].Filters.value(0).Pattern, QStringLiteral("*.WSD"));
    QVERIFY(requests_[0].OverwritePrompt);
    QCOMPARE(requests_[1].FileName, QStringLiteral("BOTH.WAV"));
    QCOMPARE(requests_[1].Filters.value(0).Description, QStringLiteral("WAV Files (*.WAV)"));
    QVERIFY(requests_[1].DefaultExt.endsWith(QStringLiteral("WAV")));

    QCOMPARE(boxes_.size(), 1);
    QCOMPARE(boxes_[0].title, QStringLiteral("Conversion Information"));
    QCOMPARE(boxes_[0].icon, QMessageBox::Information);
    QCOMPARE(boxes_[0].text, Path(QStringLiteral("BOTH.WSD")) + " created successfully!\r\n" +
                                 Path(QStringLiteral("BOTH.WAV")) + " created successfully!\r\n");
    QCOMPARE(SoundInfo.WavName, Path(QStringLiteral("BOTH.WAV")));
    QVERIFY(!dialog->isVisible());
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
}

void tst_frmConvert::cancelStopsAndKeepsDialogOpen() {
    auto dialog = Open(QStringLiteral("cancel.snd"), Fixtures::GameFile({}, Fixtures::Samples(64)));
    ClickOption(Child<QCheckBox>(dialog.get(), QStringLiteral("chkFormat_1")));
    ClickOption(Child<QCheckBox>(dialog.get(), QStringLiteral("chkFormat_2")));
    answers_.push_back(Path(QStringLiteral("CANCEL.WSD")));
    answers_.push_back(std::nullopt);
    Go(*dialog);

    QCOMPARE(requests_.size(), 2);
    QVERIFY(QFile::exists(Path(QStringLiteral("CANCEL.WSD"))));
    QVERIFY(!QFile::exists(Path(QStringLiteral("CANCEL.WAV"))));
    QVERIFY(boxes_.isEmpty());
    QVERIFY(dialog->isVisible());
}

void tst_frmConvert::noFormatAsksForOne() {
    auto dialog = Open(QStringLiteral("none.snd"), Fixtures::GameFile({}, Fixtures::Samples(64)));
    Go(*dialog);
    QVERIFY(requests_.isEmpty());
    QCOMPARE(boxes_.size(), 1);
    QCOMPARE(boxes_[0].title, QStringLiteral("Error"));
    QCOMPARE(boxes_[0].icon, QMessageBox::Information);
    QCOMPARE(boxes_[0].text, QStringLiteral("You must choose an output format!"));
    QVERIFY(dialog->isVisible());
}

void tst_frmConvert::failedConversionIsReportedAndDialogStaysUsable() {
    auto dialog = Open(QStringLiteral("fail.snd"), Fixtures::GameFile({}, Fixtures::Samples(64)));
    ClickOption(Child<QCheckBox>(dialog.get(), QStringLiteral("chkFormat_1")));
    answers_.push_back(Path(QStringLiteral("missing-folder/FAIL.WSD")));
    Go(*dialog);

    QCOMPARE(boxes_.size(), 1);
    QCOMPARE(boxes_[0].icon, QMessageBox::Critical);
    QVERIFY2(boxes_[0].text.contains(QStringLiteral("mUtility.MakeSND")),
             qPrintable(boxes_[0].text));
    QVERIFY2(boxes_[0].text.contains(QStringLiteral("frmConvert.btnConvert_Click()")),
             qPrintable(boxes_[0].text));
    QVERIFY(dialog->isVisible());

    // The same command works once a good path is chosen.
    boxes_.clear();
    answers_.push_back(Path(QStringLiteral("FAIL.WSD")));
    Go(*dialog);
    QVERIFY(QFile::exists(Path(QStringLiteral("FAIL.WSD"))));
    QCOMPARE(boxes_.value(0).title, QStringLiteral("Conversion Information"));
}

void tst_frmConvert::worksFromTheKeyboard() {
    auto dialog = Open(QStringLiteral("keys.snd"), Fixtures::GameFile({}, Fixtures::Samples(32)));
    // Access keys: "W&AV" ticks the WAV box (after the short press a check
    // box animates), "&Go" runs the command.
    QTest::keyClick(dialog.get(), Qt::Key_A, Qt::AltModifier);
    QTRY_VERIFY(Child<QCheckBox>(dialog.get(), QStringLiteral("chkFormat_2"))->isChecked());
    answers_.push_back(Path(QStringLiteral("KEYS.WAV")));
    QTest::keyClick(dialog.get(), Qt::Key_G, Qt::AltModifier);
    QCOMPARE(requests_.size(), 1);
    QVERIFY(QFile::exists(Path(QStringLiteral("KEYS.WAV"))));

    // Every control a user can reach has a name a screen reader can say, and
    // Tab walks the option rows before the command buttons.
    auto second = Open(QStringLiteral("keys.snd"), Fixtures::GameFile({}, Fixtures::Samples(32)));
    for (QAbstractButton* button : second->findChildren<QAbstractButton*>()) {
        QVERIFY2(!button->accessibleName().isEmpty(), qPrintable(button->objectName()));
    }
    for (QuillonButton* button : second->findChildren<QuillonButton*>()) {
        QVERIFY2(!button->accessibleName().isEmpty(), qPrintable(button->objectName()));
    }
    QWidget* at = Child<QWidget>(second.get(), QStringLiteral("chkFormat_2"));
    at = at->nextInFocusChain();
    while (at->focusPolicy() == Qt::NoFocus) at = at->nextInFocusChain();
    QCOMPARE(at->objectName(), QStringLiteral("btnConvert"));

    // Enter presses the focused button; Escape cancels wherever the focus is,
    // also on a button, and again after Cancel was clicked once.
    Child<QCheckBox>(second.get(), QStringLiteral("chkFormat_1"))->setChecked(true);
    answers_.push_back(std::nullopt);
    auto* go = Child<QuillonButton>(second.get(), QStringLiteral("btnConvert"));
    go->setFocus();
    QTest::keyClick(go, Qt::Key_Return);
    QCOMPARE(requests_.size(), 2);
    auto* cancel = Child<QuillonButton>(second.get(), QStringLiteral("btnCancel"));
    cancel->setFocus();
    QTest::keyClick(cancel, Qt::Key_Escape);
    QVERIFY(!second->isVisible());
    second->show();
    WindowTestKit::Click(cancel);
    QVERIFY(!second->isVisible());
    second->show();
    cancel->setFocus();
    QTest::keyClick(cancel, Qt::Key_Escape);
    QVERIFY(!second->isVisible());
}

void tst_frmConvert::previewUsesTheChosenValues() {
    Fixtures::Game game;
    game.rate = 8000;
    const QByteArray samples = Fixtures::Samples(800);
    auto dialog = Open(QStringLiteral("look.snd"), Fixtures::GameFile(game, samples));
    ClickOption(Child<QRadioButton>(dialog.get(), QStringLiteral("optSampleRate_6")));
    ClickOption(Child<QRadioButton>(dialog.get(), QStringLiteral("optChannels_0")));

    // The preview window is modal: look at its sound while it is open, then close it.
    QByteArray previewed;
    bool opened = false;
    QTimer::singleShot(0, this, [&] {
        QWidget* preview = QApplication::activeModalWidget();
        opened = preview != nullptr && preview != dialog.get();
        previewed = Fixtures::ReadFile(mUtility::sPreviewFile);
        if (opened) preview->close();
    });
    WindowTestKit::Click(Child<QuillonButton>(dialog.get(), QStringLiteral("btnPreview")));
    QVERIFY(opened);
    QCOMPARE(Fixtures::Get32(previewed, 24), 44100);
    QCOMPARE(Fixtures::Get16(previewed, 22), qint16(1));
    QCOMPARE(previewed.mid(44), samples);
    QVERIFY(boxes_.isEmpty());
    QVERIFY(dialog->isVisible());
}

void tst_frmConvert::relabelThatChangesTheSoundOffersImport_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<int>("format");
    QTest::addColumn<int>("answer");         // QMessageBox::StandardButton
    QTest::addColumn<QString>("said");       // in the box; "" for none
    QTest::addColumn<QString>("written");    // "" for nothing
    QTest::addColumn<QList<int>>("import");  // rate, bits, channels; empty for none
    Fixtures::Wav studio;
    studio.rate = 48000;
    studio.bits = 24;
    const QByteArray wav = Fixtures::WavFile(studio, Fixtures::Samples(600));
    const QByteArray game = Fixtures::GameFile({}, Fixtures::Samples(600));
    const QString refused =
        QStringLiteral("cannot become a game file as it is (Sample Rate: 48000)");
    const QString changes = QStringLiteral("The samples are not converted: the sound will change.");
    QTest::newRow("24-bit 48 kHz WAV as SND: refused, Import offered")
        << "studio.wav" << wav << QStringList() << 0 << int(QMessageBox::Yes) << refused << ""
        << QList<int>{44100, 16, 2};
    QTest::newRow("refused, not imported either")
        << "studio.wav" << wav << QStringList() << 0 << int(QMessageBox::Cancel) << refused << ""
        << QList<int>();
    QTest::newRow("relabelled 44100 Hz 16-bit: said, written as asked")
        << "studio.wav" << wav << QStringList{"optSampleRate_6", "optBitDepth_1"} << 0
        << int(QMessageBox::No) << changes << "STUDIO.SND" << QList<int>();
    QTest::newRow("16-bit stereo game file as mono: Import")
        << "two.snd" << game << QStringList{"optChannels_0"} << 1 << int(QMessageBox::Yes)
        << changes << "" << QList<int>{22050, 16, 1};
    QTest::newRow("another rate is a plain relabel")
        << "two.snd" << game << QStringList{"optSampleRate_0"} << 1 << int(QMessageBox::Ok) << ""
        << "TWO.WSD" << QList<int>();
}

void tst_frmConvert::relabelThatChangesTheSoundOffersImport() {
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, clicks);
    QFETCH(int, format);
    QFETCH(int, answer);
    QFETCH(QString, said);
    QFETCH(QString, written);
    QFETCH(QList<int>, import);
    auto dialog = Open(name, bytes);
    for (const QString& option : clicks) ClickOption(Child<QAbstractButton>(dialog.get(), option));
    ClickOption(Child<QCheckBox>(dialog.get(), QStringLiteral("chkFormat_%1").arg(format)));
    answer_ = QMessageBox::StandardButton(answer);
    if (!written.isEmpty()) answers_.push_back(Path(written));
    const QStringList before = Fixtures::Entries(dir_.path());
    Go(*dialog);

    QCOMPARE(!boxes_.isEmpty() && boxes_[0].icon == QMessageBox::Warning, !said.isEmpty());
    if (!said.isEmpty())
        QVERIFY2(boxes_[0].text.contains(said) && boxes_[0].text.contains("Open Import instead?"),
                 qPrintable(boxes_[0].text));
    if (written.isEmpty())
        QCOMPARE(Fixtures::Entries(dir_.path()), before);
    else
        QVERIFY(QFile::exists(Path(written)));
    QCOMPARE(dialog->ImportInstead().has_value(), !import.isEmpty());
    QCOMPARE(dialog->isVisible(), import.isEmpty() && written.isEmpty());
    if (import.isEmpty()) return;
    const ImportTarget target = *dialog->ImportInstead();
    QCOMPARE(target.Type, format == 0 ? QStringLiteral("SND") : QStringLiteral("WSD"));
    QCOMPARE((QList<int>{target.Rate, target.Bits, target.Channels}), import);
}

QTEST_MAIN(tst_frmConvert)
#include "tst_frmconvert.moc"
