// The main window with a temporary settings store and generated sound files:
// settings across runs, file clicks, refresh, the exit question.
#include <QAccessible>
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include "MainSettings.h"
#include "MenuDriver.h"
#include "MsgBox.h"
#include "PlaySound.h"
#include "QuillonButton.h"
#include "SoundInfo.h"
#include "WindowTestKit.h"
#include "frmMain.h"

namespace {

void WriteGameFile(const QString& path, qint32 rate, qint32 bits, qint32 channels, int dataBytes) {
    QByteArray bytes(28 + dataBytes, '\0');
    const qint32 fields[7] = {bits == 8 ? 2 : 0, 12, dataBytes, rate, bits, channels, 0};
    for (int i = 0; i < 7; ++i) qToLittleEndian(fields[i], bytes.data() + 4 * i);
    for (int i = 0; i < dataBytes; ++i) bytes[28 + i] = char(i * 7);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

struct ShownBox {
    QString title;
    QString text;
};

}  // namespace

class tst_frmMain : public QObject {
    Q_OBJECT

    QTemporaryDir tmp_;
    QString music_;
    QList<ShownBox> shown_;
    QMessageBox::StandardButton answer_ = QMessageBox::Yes;

    std::unique_ptr<frmMain> Open() {
        auto window = std::make_unique<frmMain>();
        window->show();
        QCoreApplication::processEvents();  // the load runs after the first paint
        return window;
    }

    template <typename T>
    static T* Child(QWidget* window, const char* name) {
        return WindowTestKit::Child<T>(window, QString::fromLatin1(name));
    }

    static QStringList Files(QWidget* window) {
        QStringList names;
        auto* list = Child<QListWidget>(window, "FileList");
        for (int i = 0; i < list->count(); ++i) names << list->item(i)->text();
        return names;
    }

private slots:
    void initTestCase() {
        QVERIFY(tmp_.isValid());
        qputenv("ZEPHYRA_REGISTRY", QFile::encodeName(tmp_.filePath("registry.sqlite3")));
        music_ = tmp_.filePath("music");
        QVERIFY(QDir().mkpath(music_));
        WriteGameFile(music_ + "/song.snd", 22050, 16, 2, 23506);
        WriteGameFile(music_ + "/LOW.SND", 4000, 16, 1, 100);
        QFile::copy(music_ + "/song.snd", music_ + "/other.txt");
        MsgBox::SetResponder([this](const MsgBox::Shown& box) {
            shown_.append({box.title, box.text});
            return answer_;
        });
    }

    void init() {
        shown_.clear();
        answer_ = QMessageBox::Yes;
    }

    void firstRunShowsStartFolderAndSavesOnlyTheFolder() {
        QFile::remove(tmp_.filePath("registry.sqlite3"));
        QDir::setCurrent(music_);
        auto window = Open();
        QCOMPARE(window->DirectoryPath(), music_);
        QVERIFY(!Child<QCheckBox>(window.get(), "chkAutoPlay")->isChecked());
        QCOMPARE(Files(window.get()), (QStringList{"LOW.SND", "song.snd"}));
        QCOMPARE(QAccessible::queryAccessibleInterface(window.get())->role(), QAccessible::Window);

        QVERIFY(window->close());
        QCOMPARE(shown_.size(), 1);
        QCOMPARE(shown_[0].title, QString("Exit Application"));
        QCOMPARE(shown_[0].text, QString("Are you sure that you want to exit?"));
        const MainSettings saved = MainSettings::Read();
        QCOMPARE(saved.LastDirectory, music_);
        QCOMPARE(saved.AutoPlay, QString());  // unticked and absent: nothing to write
    }

    void settingsComeBackOnTheNextRun() {
        QDir::setCurrent(tmp_.path());
        {
            auto window = Open();
            window->SetDirectoryPath(music_);
            Child<QCheckBox>(window.get(), "chkAutoPlay")->setChecked(true);
            QVERIFY(window->close());
        }
        auto window = Open();
        QCOMPARE(window->DirectoryPath(), music_);
        QVERIFY(Child<QCheckBox>(window.get(), "chkAutoPlay")->isChecked());
        Child<QCheckBox>(window.get(), "chkAutoPlay")->setChecked(false);
        QVERIFY(window->close());
        QCOMPARE(MainSettings::Read().AutoPlay, QString("0"));
    }

    void answeringNoKeepsTheWindowAndStillSaves() {
        MainSettings::Save(tmp_.path(), 0);
        auto window = Open();
        window->SetDirectoryPath(music_);
        answer_ = QMessageBox::No;
        QVERIFY(!window->close());
        QVERIFY(window->isVisible());
        QCOMPARE(MainSettings::Read().LastDirectory, music_);
        answer_ = QMessageBox::Yes;
        QVERIFY(window->close());
    }

    void savedFolderThatVanishedIsIgnored() {
        const QString gone = tmp_.filePath("gone");
        QVERIFY(QDir().mkpath(gone));
        MainSettings::Save(gone, 0);
        QVERIFY(QDir(gone).removeRecursively());
        QDir::setCurrent(music_);
        auto window = Open();
        QCOMPARE(window->DirectoryPath(), music_);
        QVERIFY(shown_.isEmpty());
        window->close();
    }

    void validClickFillsThePanelAndEnablesCommands() {
        QDir::setCurrent(music_);
        auto window = Open();
        window->ClickFile("song.snd");
        QVERIFY(shown_.isEmpty());
        QCOMPARE(Child<QLabel>(window.get(), "lblSelectedFile")->text(), QString("SONG.SND"));
        QCOMPARE(Child<QLabel>(window.get(), "lbl8bitFlag")->text(), QString("False"));
        QCOMPARE(Child<QLabel>(window.get(), "lblInternalID")->text(), QString("12"));
        QCOMPARE(Child<QLabel>(window.get(), "lblDataLength")->text(), QString("22.9 KB"));
        QCOMPARE(Child<QLabel>(window.get(), "lblSampleRate")->text(), QString("22050 Hz"));
        QCOMPARE(Child<QLabel>(window.get(), "lblBitDepth")->text(), QString("16-bit"));
        QCOMPARE(Child<QLabel>(window.get(), "lblChannels")->text(), QString("Stereo"));
        for (const char* name : {"btnConvert", "btnPreview", "btnBatch"})
            QVERIFY2(Child<QuillonButton>(window.get(), name)->isEnabled(), name);
        QCOMPARE(mUtility::SoundInfo.DiskName, QString("song.snd"));

        // Refresh empties the panel and disables the commands again.
        WindowTestKit::Click(Child<QuillonButton>(window.get(), "btnRefresh"));
        QCOMPARE(Child<QLabel>(window.get(), "lblSelectedFile")->text(), QString());
        QCOMPARE(Child<QLabel>(window.get(), "lblChannels")->text(), QString());
        QVERIFY(!Child<QuillonButton>(window.get(), "btnConvert")->isEnabled());
        window->close();
    }

    void invalidClickShowsErrorPanelAndMessage() {
        QDir::setCurrent(music_);
        auto window = Open();
        window->ClickFile("LOW.SND");
        QCOMPARE(shown_.size(), 1);
        QCOMPARE(shown_[0].title, QString("Error"));
        QCOMPARE(shown_[0].text, QString("This file does not appear to be a valid SND file.\r\n"
                                         "\r\nSample Rate: 4000"));
        QCOMPARE(Child<QLabel>(window.get(), "lblSelectedFile")->text(), QString("LOW.SND"));
        for (const char* name : {"lbl8bitFlag", "lblInternalID", "lblDataLength", "lblSampleRate",
                                 "lblBitDepth", "lblChannels"})
            QCOMPARE(Child<QLabel>(window.get(), name)->text(), QString("ERROR!"));
        QVERIFY(!Child<QuillonButton>(window.get(), "btnPreview")->isEnabled());
        window->close();
    }

    void autoPlayPlaysValidFilesOnly() {
        QDir::setCurrent(music_);
        auto window = Open();
        Child<QCheckBox>(window.get(), "chkAutoPlay")->setChecked(true);
        window->ClickFile("LOW.SND");
        QVERIFY(!PlaySoundApi::IsPlaying());

        window->ClickFile("song.snd");
        QVERIFY(PlaySoundApi::IsPlaying());
        QVERIFY(!mUtility::AutoPlaying);
        QVERIFY(!QFile::exists(mUtility::sPreviewFile));  // played from the open file
        PlaySoundApi::PlaySound(QString(), 0);
        Child<QCheckBox>(window.get(), "chkAutoPlay")->setChecked(false);
        window->close();
    }

    void contextMenuDeletesWithConfirmation() {
        QDir::setCurrent(music_);
        WriteGameFile(music_ + "/doomed.wsd", 11025, 8, 1, 64);
        auto window = Open();
        window->ClickFile("doomed.wsd");
        auto* list = Child<QListWidget>(window.get(), "FileList");
        const QPoint at = list->visualItemRect(list->currentItem()).center();

        zs::MenuDriver::DismissNext();  // a dismissed menu runs nothing
        QTest::mousePress(list->viewport(), Qt::RightButton, {}, at);
        QVERIFY(shown_.isEmpty());
        QVERIFY(QFile::exists(music_ + "/doomed.wsd"));

        answer_ = QMessageBox::No;  // "No" keeps the file
        zs::MenuDriver::ClickNext(4);
        QTest::mousePress(list->viewport(), Qt::RightButton, {}, at);
        QCOMPARE(shown_.size(), 1);
        QCOMPARE(shown_[0].title, QString("Delete File"));
        QCOMPARE(shown_[0].text, QString("Are you sure that you want to delete doomed.wsd?"));
        QVERIFY(QFile::exists(music_ + "/doomed.wsd"));

        shown_.clear();
        answer_ = QMessageBox::Yes;
        zs::MenuDriver::ClickNext(4);
        QTest::mousePress(list->viewport(), Qt::RightButton, {}, at);
        QCOMPARE(shown_.size(), 2);
        QCOMPARE(shown_[1].title, QString("File deleted"));
        QCOMPARE(shown_[1].text, QString("doomed.wsd deleted!"));
        QVERIFY(!QFile::exists(music_ + "/doomed.wsd"));
        QVERIFY(!Files(window.get()).contains("doomed.wsd"));
        QCOMPARE(Child<QLabel>(window.get(), "lblSelectedFile")->text(), QString());
        QVERIFY(!Child<QuillonButton>(window.get(), "btnConvert")->isEnabled());
        window->close();
    }

    void rightClickWithoutSelectionShowsNoMenu() {
        QDir::setCurrent(music_);
        auto window = Open();
        auto* list = Child<QListWidget>(window.get(), "FileList");
        // Were a menu shown, the driver would choose Delete and a box would appear.
        zs::MenuDriver::ClickNext(4);
        QTest::mousePress(list->viewport(), Qt::RightButton, {}, QPoint(5, 5));
        QVERIFY(shown_.isEmpty());
        QCOMPARE(window->SelectedFileName(), QString());
        zs::MenuDriver::DismissNext();
        window->close();
    }

    void unreadableFileIsReportedAndTheWindowCarriesOn() {
        QDir::setCurrent(music_);
        auto window = Open();
        QVERIFY(QFile::remove(music_ + "/LOW.SND"));  // vanishes after the listing
        window->ClickFile("LOW.SND");
        QCOMPARE(shown_.size(), 1);
        QVERIFY2(shown_[0].text.contains("frmMain.FileList_Click"), qPrintable(shown_[0].text));
        QVERIFY(window->isVisible());
        WriteGameFile(music_ + "/LOW.SND", 4000, 16, 1, 100);
        window->close();
    }
};

QTEST_MAIN(tst_frmMain)
#include "tst_frmmain.moc"
