// The main window with a temporary settings store and generated sound files:
// settings across runs, file clicks, refresh, the exit question.
#include <fcntl.h>
#include <unistd.h>

#include <QAccessible>
#include <QCheckBox>
#include <QFileSystemModel>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>
#include <QtEndian>
#include <QtTest>

#include "MainSettings.h"
#include "MenuApi.h"
#include "MenuDriver.h"
#include "MsgBox.h"
#include "NativeName.h"
#include "PlaySound.h"
#include "QuillonButton.h"
#include "SoundFixtures.h"
#include "SoundInfo.h"
#include "WindowTestKit.h"
#include "frmDetails.h"
#include "frmImport.h"
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

// Records, at every paint of a folder list, whether its current folder is
// `wanted` and lies wholly inside the visible part.
class FolderInView : public QObject {
public:
    FolderInView(QTreeView* view, QString wanted) : view_(view), wanted_(std::move(wanted)) {
        view->viewport()->installEventFilter(this);
    }
    int paints = 0;
    QStringList misses;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::Paint) return false;
        ++paints;
        const QModelIndex current = view_->currentIndex();
        const QString shown = current.data(QFileSystemModel::FilePathRole).toString();
        const QRect cell = view_->visualRect(current);
        if (shown != wanted_ || !view_->viewport()->rect().contains(cell))
            misses << QStringLiteral("paint %1: %2 at y %3").arg(paints).arg(shown).arg(cell.y());
        return false;
    }

private:
    QTreeView* view_;
    QString wanted_;
};

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
        // The start folder is listed in the background.
        [&] { QVERIFY(QTest::qWaitFor([&] { return !window->ListingInBackground(); })); }();
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
        // Deleted files go to the trash of this home, on the test files' volume;
        // like a new account's, it has no data folder yet.
        QVERIFY(QDir().mkpath(tmp_.filePath("home")));
        qputenv("HOME", QFile::encodeName(tmp_.filePath("home")));
        qputenv("XDG_DATA_HOME", QFile::encodeName(tmp_.filePath("home/.local/share")));
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

    void cleanupTestCase() { Fixtures::RemoveTree(tmp_.path()); }

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

    // The start folder is listed in the background: a folder chosen before
    // that listing ends keeps its own files, whenever the listing arrives.
    void startListingGivesWayToALaterFolder() {
        const QString other = tmp_.filePath("other");
        QVERIFY(QDir().mkpath(other));
        WriteGameFile(other + "/X.SND", 8000, 8, 1, 10);
        for (int run = 0; run < 5; ++run) {
            frmMain window;
            window.SetStartPath(music_);
            window.show();
            QCoreApplication::processEvents();  // the load, which starts the listing
            QVERIFY(window.SetDirectoryPath(other));
            QCOMPARE(Files(&window), QStringList{"X.SND"});
            QTest::qWait(50);
            QVERIFY(!window.ListingInBackground());
            QCOMPARE(Files(&window), QStringList{"X.SND"});
            answer_ = QMessageBox::Yes;
            window.close();
        }
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

    // The saved folder sits below hundreds of folders that the folder list
    // reads in the background: it must be in view at the first paint and at
    // every paint after, whenever those rows arrive. Repeated, as the order of
    // arrival changes from run to run.
    void savedFolderIsInViewFromTheFirstPaint() {
        const QString crowd = tmp_.filePath("crowd");
        for (int i = 0; i < 400; ++i)
            QVERIFY(QDir().mkpath(crowd + QStringLiteral("/f%1").arg(i, 3, 10, QChar('0'))));
        const QString saved = crowd + "/zz-sounds";
        QVERIFY(QDir().mkpath(saved + "/inner"));
        QDir::setCurrent(music_);
        for (int run = 0; run < 15; ++run) {
            MainSettings::Save(saved, 0);
            frmMain window;
            FolderInView watch(Child<QTreeView>(&window, "DirectoryList"), saved);
            window.show();
            auto* tree = Child<QTreeView>(&window, "DirectoryList");
            const QModelIndex parent = static_cast<QFileSystemModel*>(tree->model())->index(crowd);
            QTRY_COMPARE_WITH_TIMEOUT(tree->model()->rowCount(parent), 401, 10000);
            QTest::qWait(100);  // the sorted order arrives after the rows
            QCoreApplication::processEvents();
            QVERIFY2(watch.paints > 0, "no paint");
            QVERIFY2(
                watch.misses.isEmpty(),
                qPrintable(QStringLiteral("run %1: %2").arg(run).arg(watch.misses.join("; "))));
            QCOMPARE(window.DirectoryPath(), saved);
            // Unfolded once the list is painted, its sub-folder one click away.
            const QModelIndex current = tree->currentIndex();
            QTRY_VERIFY(tree->isExpanded(current));
            QTRY_COMPARE(tree->model()->rowCount(current), 1);
            answer_ = QMessageBox::Yes;
            window.close();
        }
        QVERIFY(QDir(crowd).removeRecursively());
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
        QCOMPARE(shown_[1].text,
                 QString("doomed.wsd moved to the Trash. Undo (Ctrl+Z) puts it back."));
        QVERIFY(!QFile::exists(music_ + "/doomed.wsd"));
        // Recoverable: the file and where it came from are in the trash.
        const QString trash = tmp_.filePath("home/.local/share/Trash");
        QVERIFY(QFile::exists(trash + "/files/doomed.wsd"));
        QFile info(trash + "/info/doomed.wsd.trashinfo");
        QVERIFY(info.open(QIODevice::ReadOnly));
        QVERIFY(info.readAll().contains("Path=" + QFile::encodeName(music_) + "/doomed.wsd"));
        QVERIFY(!Files(window.get()).contains("doomed.wsd"));
        QCOMPARE(Child<QLabel>(window.get(), "lblSelectedFile")->text(), QString());
        QVERIFY(!Child<QuillonButton>(window.get(), "btnConvert")->isEnabled());

        // Undo, while the window is open, puts it back where it was, trash entry and all.
        auto* undo = Child<QuillonButton>(window.get(), "btnUndo");
        QVERIFY(undo->isVisible());
        QCOMPARE(Child<QLabel>(window.get(), "lblStatus")->text(),
                 QString("doomed.wsd moved to the Trash."));
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        QTest::keyClick(list, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(QFile::exists(music_ + "/doomed.wsd"));
        QVERIFY(!QFile::exists(trash + "/files/doomed.wsd"));
        QVERIFY(!QFile::exists(info.fileName()));
        QVERIFY(Files(window.get()).contains("doomed.wsd"));
        QVERIFY(!undo->isVisible());
        QTest::keyClick(list, Qt::Key_Z, Qt::ControlModifier);  // nothing more to undo
        QCOMPARE(shown_.size(), 2);
        QVERIFY(QFile::remove(music_ + "/doomed.wsd"));
        window->close();
    }

    void deleteWithoutAUsableTrashRemovesTheFileAfterTheSameQuestion() {
        // A data folder that is a file: no trash folder can be made.
        const QByteArray dataHome = qgetenv("XDG_DATA_HOME");
        QFile blocker(tmp_.filePath("no-trash"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        qputenv("XDG_DATA_HOME", QFile::encodeName(blocker.fileName()));
        QDir::setCurrent(music_);
        WriteGameFile(music_ + "/lost.wsd", 11025, 8, 1, 64);
        auto window = Open();
        window->ClickFile("lost.wsd");
        auto* list = Child<QListWidget>(window.get(), "FileList");
        zs::MenuDriver::ClickNext(4);
        QTest::mousePress(list->viewport(), Qt::RightButton, {},
                          list->visualItemRect(list->currentItem()).center());
        qputenv("XDG_DATA_HOME", dataHome);
        QCOMPARE(shown_.size(), 2);
        QCOMPARE(shown_[0].text, QString("Are you sure that you want to delete lost.wsd?"));
        // The superuser may still make a trash folder at the top of the volume.
        const bool trashed =
            shown_[1].text == "lost.wsd moved to the Trash. Undo (Ctrl+Z) puts it back.";
        if (!trashed)
            QCOMPARE(shown_[1].text, QString("lost.wsd deleted for good: its disk has no Trash."));
        auto* undo = Child<QuillonButton>(window.get(), "btnUndo");
        QCOMPARE(undo->isVisible(), trashed);
        QVERIFY(!QFile::exists(music_ + "/lost.wsd"));
        if (trashed) {
            WindowTestKit::Click(undo);
            QVERIFY(QFile::remove(music_ + "/lost.wsd"));
        }
        window->close();
    }

    // The menu key and Shift+F10 open the selected file's menu at its row.
    void keyboardMenuRequestOpensTheMenuAtTheSelectedRow() {
        QDir::setCurrent(music_);
        auto window = Open();
        auto* list = Child<QListWidget>(window.get(), "FileList");
        QContextMenuEvent unselected(QContextMenuEvent::Keyboard, QPoint(0, 0), QPoint(0, 0));
        zs::MenuDriver::ClickNext(4);  // a menu would ask about deleting
        QApplication::sendEvent(list, &unselected);
        QVERIFY(shown_.isEmpty());
        zs::MenuDriver::DismissNext();

        window->ClickFile("song.snd");
        const QRect row = list->visualItemRect(list->currentItem());
        QPoint shownAt;
        zs::MenuApi::SetTrackObserver([&shownAt](QMenu* menu) {
            zs::MenuApi::SetTrackObserver({});
            shownAt = menu->pos();
            zs::MenuDriver::Dismiss(menu);
        });
        QContextMenuEvent request(QContextMenuEvent::Keyboard, QPoint(0, 0), QPoint(0, 0));
        QApplication::sendEvent(list, &request);
        QVERIFY2(QRect(list->viewport()->mapToGlobal(row.topLeft()), row.size()).contains(shownAt),
                 qPrintable(QStringLiteral("menu at %1,%2").arg(shownAt.x()).arg(shownAt.y())));

        answer_ = QMessageBox::No;
        zs::MenuDriver::ClickNext(4);
        QTest::keyClick(list, Qt::Key_F10, Qt::ShiftModifier);
        QCOMPARE(shown_.size(), 1);
        QCOMPARE(shown_[0].text, QString("Are you sure that you want to delete song.snd?"));
        window->close();
    }

    // One selection, one inspection: activating the selected file (double
    // click, Enter) neither warns again nor plays again.
    void activatingTheSelectedFileInspectsItOnce() {
        QDir::setCurrent(music_);
        auto window = Open();
        auto* list = Child<QListWidget>(window.get(), "FileList");
        const auto doubleClick = [list](const QString& name) {
            const QPoint at =
                list->visualItemRect(list->findItems(name, Qt::MatchExactly).first()).center();
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
            QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at);
        };
        doubleClick("LOW.SND");
        QTest::keyClick(list, Qt::Key_Return);
        QCOMPARE(shown_.size(), 1);

        // A second play would start the sound again after it was stopped.
        Child<QCheckBox>(window.get(), "chkAutoPlay")->setChecked(true);
        const QPoint at =
            list->visualItemRect(list->findItems("song.snd", Qt::MatchExactly).first()).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QVERIFY(PlaySoundApi::IsPlaying());
        PlaySoundApi::PlaySound(QString(), 0);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at);
        QTest::keyClick(list, Qt::Key_Enter);
        QVERIFY(!PlaySoundApi::IsPlaying());
        Child<QCheckBox>(window.get(), "chkAutoPlay")->setChecked(false);
        window->close();
    }

    // A file that cannot be read after a good one: nothing of the good one's
    // header may reach a command.
    void unreadableFileAfterAGoodOneEmptiesThePanelAndDisablesTheCommands() {
        QDir::setCurrent(music_);
        WriteGameFile(music_ + "/other.snd", 8000, 8, 1, 64);
        auto window = Open();
        window->ClickFile("song.snd");
        QVERIFY(Child<QuillonButton>(window.get(), "btnConvert")->isEnabled());
        // A link to itself: listed, never readable.
        QVERIFY(QFile::rename(music_ + "/other.snd", tmp_.filePath("other.snd")));
        QVERIFY(QFile::link("other.snd", music_ + "/other.snd"));
        window->ClickFile("other.snd");
        QCOMPARE(shown_.size(), 1);
        QVERIFY(QFile::remove(music_ + "/other.snd"));
        QVERIFY(QFile::rename(tmp_.filePath("other.snd"), music_ + "/other.snd"));
        for (const char* name : {"btnConvert", "btnPreview", "btnBatch"})
            QVERIFY2(!Child<QuillonButton>(window.get(), name)->isEnabled(), name);
        for (const char* name : {"lblSelectedFile", "lbl8bitFlag", "lblInternalID", "lblDataLength",
                                 "lblSampleRate", "lblBitDepth", "lblChannels"})
            QVERIFY2(Child<QLabel>(window.get(), name)->text().isEmpty(), name);
        QCOMPARE(mUtility::SoundInfo.FileName, QString("OTHER.SND"));
        QCOMPARE(mUtility::SoundInfo.SampleRate, 0);
        QCOMPARE(mUtility::SoundInfo.Channels, qint16(0));

        // Its menu offers Delete, and Apply Sound Pack for the folder, only.
        QStringList enabled;
        zs::MenuApi::SetTrackObserver([&enabled](QMenu* menu) {
            zs::MenuApi::SetTrackObserver({});
            for (QAction* action : menu->actions())
                if (action->isEnabled() && !action->isSeparator()) enabled << action->text();
            zs::MenuDriver::Dismiss(menu);
        });
        auto* list = Child<QListWidget>(window.get(), "FileList");
        QTest::mousePress(list->viewport(), Qt::RightButton, {},
                          list->visualItemRect(list->currentItem()).center());
        QCOMPARE(enabled, (QStringList{"Delete", "&Apply Sound Pack..."}));
        QVERIFY(QFile::remove(music_ + "/other.snd"));
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

    // A termination signal closes the window this way: no question, the
    // settings written.
    void closingWithoutAskingStillSaves() {
        MainSettings::Save(tmp_.path(), 0);
        auto window = Open();
        window->SetDirectoryPath(music_);
        answer_ = QMessageBox::No;
        window->CloseWithoutAsking();
        QVERIFY(!window->isVisible());
        QVERIFY(shown_.isEmpty());
        QCOMPARE(MainSettings::Read().LastDirectory, music_);
    }

    // A name that is not valid UTF-8 is listed, and clicking it inspects the
    // file by its name on disk.
    void nameThatIsNotUtf8IsListedAndOpened() {
        const QString odd = tmp_.filePath("odd");
        QVERIFY(QDir().mkpath(odd));
        QVERIFY(QFile::copy(music_ + "/song.snd", odd + "/song.snd"));
        const QByteArray from = QFile::encodeName(odd + "/song.snd");
        QCOMPARE(::rename(from.constData(), QByteArray(QFile::encodeName(odd) + "/b\xff.snd")), 0);
        QDir::setCurrent(odd);
        auto window = Open();
        window->SetDirectoryPath(odd);
        const QStringList names = Files(window.get());
        QCOMPARE(names.size(), 1);
        window->ClickFile(names[0]);
        QVERIFY2(shown_.isEmpty(), qPrintable(shown_.value(0).text));
        QCOMPARE(Child<QLabel>(window.get(), "lblSampleRate")->text(), QString("22050 Hz"));
        window->SetDirectoryPath(music_);  // the folder the next tests expect
        QDir::setCurrent(music_);
        window->close();
    }

    // Files that change on disk: the list follows the folder; a file gone
    // before the list noticed is dropped with one sentence, not a report.
    void listFollowsTheFolderOnDisk() {
        QDir::setCurrent(music_);
        auto window = Open();
        auto* status = Child<QLabel>(window.get(), "lblStatus");
        QVERIFY(QFile::remove(music_ + "/LOW.SND"));  // vanishes after the listing
        window->ClickFile("LOW.SND");
        QCOMPARE(shown_.size(), 1);
        QCOMPARE(shown_[0].text, QString("LOW.SND is no longer in this folder."));
        QTRY_COMPARE(Files(window.get()), QStringList{"song.snd"});
        QVERIFY(window->isVisible());

        WriteGameFile(music_ + "/LOW.SND", 4000, 16, 1, 100);  // another program writes one
        QTRY_COMPARE(Files(window.get()), (QStringList{"LOW.SND", "song.snd"}));
        window->ClickFile("song.snd");
        QVERIFY(Child<QuillonButton>(window.get(), "btnConvert")->isEnabled());
        QVERIFY(QFile::rename(music_ + "/song.snd", music_ + "/song.keep"));
        QTRY_COMPARE(Files(window.get()), QStringList{"LOW.SND"});
        QCOMPARE(status->text(), QString("song.snd is no longer in this folder."));
        QVERIFY(!Child<QuillonButton>(window.get(), "btnConvert")->isEnabled());
        QCOMPARE(Child<QLabel>(window.get(), "lblSelectedFile")->text(), QString());
        QVERIFY(QFile::rename(music_ + "/song.keep", music_ + "/song.snd"));
        QTRY_COMPARE(Files(window.get()), (QStringList{"LOW.SND", "song.snd"}));
        QCOMPARE(shown_.size(), 1);
        window->close();
    }

    // What the program is started with, against a saved folder of elsewhere:
    // a folder or a sound file wins over it; a path that cannot be opened
    // leaves the usual start and says why.
    void startPathForms_data() {
        QTest::addColumn<QString>("path");  // relative to the music folder
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QString>("message");
        const QString saved = tmp_.path();
        QTest::newRow("folder") << music_ << music_ << ""
                                << "";
        QTest::newRow("file") << music_ + "/song.snd" << music_ << "song.snd"
                              << "";
        QTest::newRow("relative file") << "song.snd" << music_ << "song.snd"
                                       << "";
        QTest::newRow("file URL") << "file://" + music_ + "/song.snd" << music_ << "song.snd"
                                  << "";
        // Names as they are on disk: "file:" without "//" is a name, and a
        // name need not be valid UTF-8 (each test removes its own file).
        QVERIFY(QFile::copy(music_ + "/song.snd", music_ + "/file:song.snd"));
        QTest::newRow("relative name beginning file:")
            << "file:song.snd" << music_ << "file:song.snd"
            << "";
        const QByteArray odd = QFile::encodeName(music_) + "/b\xff.snd";
        QVERIFY(QFile::copy(music_ + "/song.snd", music_ + "/odd"));
        QCOMPARE(::rename(QFile::encodeName(music_ + "/odd").constData(), odd.constData()), 0);
        QTest::newRow("name that is not UTF-8")
            << NativeName::Decode(odd) << music_ << NativeName::Decode("b\xff.snd") << "";
        QTest::newRow("missing") << music_ + "/gone.snd" << saved << ""
                                 << "The file or folder \"" + music_ + "/gone.snd\" was not found.";
        QTest::newRow("not a sound file") << "other.txt" << saved << ""
                                          << "\"other.txt\" is not a .SND, .WSD or .WAV file.";
        // Sun/NeXT audio shares the extension: opened, and named for what it is.
        const QString sun = tmp_.filePath("sun");
        QDir().mkpath(sun);
        QFile bell(sun + "/bell.snd");
        QVERIFY(bell.open(QIODevice::WriteOnly));
        bell.write(QByteArray(".snd\0\0\0\x18", 8) + QByteArray(200, '\x7f'));
        bell.close();
        QTest::newRow("Sun audio") << sun + "/bell.snd" << sun << "bell.snd"
                                   << "This file is a Sun/NeXT audio file, not a game sound.";
    }

    void startPathForms() {
        QFETCH(QString, path);
        QFETCH(QString, folder);
        QFETCH(QString, selected);
        QFETCH(QString, message);
        MainSettings::Save(tmp_.path(), 0);
        QDir::setCurrent(music_);
        auto window = std::make_unique<frmMain>();
        window->SetStartPath(path);
        window->show();
        QCoreApplication::processEvents();
        QVERIFY(QTest::qWaitFor([&] { return !window->ListingInBackground(); }));
        QCOMPARE(window->DirectoryPath(), folder);
        QCOMPARE(window->SelectedFileName(), selected);
        if (!selected.isEmpty())
            QCOMPARE(Child<QLabel>(window.get(), "lblSelectedFile")->text(),
                     NativeName::ToUpper(selected));
        QCOMPARE(shown_.size(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty()) QCOMPARE(shown_[0].text, message);
        window->close();
        if (selected == "file:song.snd" || selected == NativeName::Decode("b\xff.snd"))
            ::unlink(NativeName::Encode(music_ + "/" + selected).constData());
    }

    // A game file dropped from a file manager opens its folder with it
    // selected, a folder opens as it is; what is not a local file is refused.
    // (Other audio files go to the Import dialog: tst_frmimport.)
    void dropOpensTheFileInItsFolder() {
        QDir::setCurrent(tmp_.path());
        WriteGameFile(music_ + "/BOOM.WSD", 11025, 8, 1, 64);
        auto window = Open();
        auto drop = [&](const QUrl& url, bool accepted) {
            QMimeData data;
            data.setUrls({url});
            QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
            QCoreApplication::sendEvent(window.get(), &enter);
            QCOMPARE(enter.isAccepted(), accepted);
            if (!accepted) return;
            QDropEvent dropped(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
            QCoreApplication::sendEvent(window.get(), &dropped);
            QVERIFY(dropped.isAccepted());
        };
        drop(QUrl("https://example.org/BOOM.WSD"), false);
        drop(QUrl::fromLocalFile(music_), true);
        QTRY_COMPARE(window->DirectoryPath(), music_);
        window->SetDirectoryPath(tmp_.path());
        drop(QUrl::fromLocalFile(music_ + "/BOOM.WSD"), true);
        QTRY_COMPARE(window->SelectedFileName(), QString("BOOM.WSD"));
        QCOMPARE(window->DirectoryPath(), music_);
        QCOMPARE(Child<QLabel>(window.get(), "lblChannels")->text(), QString("Mono"));
        QVERIFY(shown_.isEmpty());
        QVERIFY(QFile::remove(music_ + "/BOOM.WSD"));
        window->close();
    }

    // Folder details chooses the file of the folder it shows and follows the
    // main window; a folder change leaves nothing of the last file to act on.
    void detailsChoosesTheFileOfItsOwnFolder() {
        const QString a = tmp_.filePath("a"), b = tmp_.filePath("b");
        QVERIFY(QDir().mkpath(a) && QDir().mkpath(b));
        WriteGameFile(a + "/BEEP.WSD", 11025, 8, 1, 64);
        WriteGameFile(b + "/BEEP.WSD", 22050, 16, 2, 400);
        WriteGameFile(b + "/ONLY.WSD", 22050, 16, 2, 400);
        auto window = Open();
        QVERIFY(window->SetDirectoryPath(a));
        QVERIFY(window->ClickFile("BEEP.WSD"));
        window->ShowDetails();
        frmDetails* details = window->Details();
        QCOMPARE(details->Folder(), a);

        QVERIFY(window->SetDirectoryPath(b));
        QCOMPARE(details->Folder(), b);
        for (const char* name : {"btnConvert", "btnPreview", "btnBatch"})
            QVERIFY2(!Child<QuillonButton>(window.get(), name)->isEnabled(), name);
        QCOMPARE(Child<QLabel>(window.get(), "lblSelectedFile")->text(), QString());

        // Enter on a row of the table: that file, in that folder.
        QTRY_VERIFY(!details->Reading());
        auto* table = Child<QTableView>(details, "tblFiles");
        const QModelIndexList rows =
            table->model()->match(table->model()->index(0, 0), Qt::DisplayRole, "ONLY.WSD");
        QCOMPARE(rows.size(), 1);
        table->setCurrentIndex(rows.first());
        QTest::keyClick(table, Qt::Key_Return);
        QCOMPARE(window->SelectedFileName(), QString("ONLY.WSD"));

        // A row of another folder takes the window there, to that file.
        emit details->FileChosen(a + "/BEEP.WSD");
        QCOMPARE(window->DirectoryPath(), a);
        QCOMPARE(window->SelectedFileName(), QString("BEEP.WSD"));
        QCOMPARE(mUtility::SoundInfo.Folder, a);
        QCOMPARE(mUtility::SoundInfo.SampleRate, 11025);
        QCOMPARE(details->Folder(), a);
        // A file gone meanwhile is said to be gone.
        emit details->FileChosen(b + "/GONE.WSD");
        QCOMPARE(shown_.size(), 1);
        QCOMPARE(shown_[0].text, "GONE.WSD is no longer in the folder \"" + b + "\".");
        details->close();
        window->SetDirectoryPath(music_);  // the folder the next tests expect
        window->close();
    }

    // A sound Auto Play started stops in every way the window offers, and the
    // window says while it plays; a click on the selected file plays it again.
    void autoPlayedSoundCanBeStopped() {
        WriteGameFile(music_ + "/long.snd", 22050, 16, 2, 22050 * 4 * 30);  // 30 s
        QDir::setCurrent(music_);
        auto window = Open();
        QCOMPARE(window->DirectoryPath(), music_);
        auto* list = Child<QListWidget>(window.get(), "FileList");
        auto* stop = Child<QuillonButton>(window.get(), "btnStop");
        auto* status = Child<QLabel>(window.get(), "lblStatus");
        auto* autoPlay = Child<QCheckBox>(window.get(), "chkAutoPlay");
        QCOMPARE(QApplication::focusWidget(), list);  // the first arrow key moves in the files
        auto* ring = window->findChild<QWidget*>("focusRing");
        QVERIFY(ring && ring->isVisible() && ring->geometry().contains(list->geometry()));
        QTest::keyClick(list, Qt::Key_Down);  // chooses the first file, not the second
        QCOMPARE(window->SelectedFileName(), list->item(0)->text());
        shown_.clear();
        const QPoint at =
            list->visualItemRect(list->findItems("long.snd", Qt::MatchExactly).first()).center();
        const auto click = [&] { QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at); };
        const auto playing = [&] {
            return PlaySoundApi::IsPlaying() && stop->isEnabled() &&
                   status->text() == QString("Playing long.snd\u2026");
        };
        const auto stopped = [&] {
            return !PlaySoundApi::IsPlaying() && !stop->isEnabled() && status->text().isEmpty();
        };
        autoPlay->setChecked(true);
        click();  // the file the arrow key chose
        QTRY_VERIFY(playing());
        QTest::keyClick(list, Qt::Key_Escape);
        QVERIFY(stopped());
        click();  // the row already selected
        QTRY_VERIFY(playing());
        WindowTestKit::Click(stop);
        QVERIFY(stopped());
        click();
        QTRY_VERIFY(playing());
        // The preview plays sounds of its own: none may go on under it.
        bool quietUnderPreview = false;
        QTimer::singleShot(0, this, [&quietUnderPreview] {
            if (QWidget* preview = QApplication::activeModalWidget()) {
                quietUnderPreview = !PlaySoundApi::IsPlaying();
                preview->close();
            }
        });
        WindowTestKit::Click(Child<QuillonButton>(window.get(), "btnPreview"));
        QVERIFY(quietUnderPreview);
        QTRY_VERIFY(stopped());
        click();
        QTRY_VERIFY(playing());
        autoPlay->setChecked(false);
        QVERIFY(stopped());
        click();  // without Auto Play, a click inspects again and plays nothing
        QCoreApplication::processEvents();
        QVERIFY(stopped());
        QVERIFY(shown_.isEmpty());
        window->close();
        QVERIFY(QFile::remove(music_ + "/long.snd"));
    }

    // Audio of another type given at the start opens Import over its folder.
    void startWithAnotherAudioTypeOpensImport() {
        const QString sun = tmp_.filePath("au");
        QVERIFY(QDir().mkpath(sun));
        QByteArray au(".snd", 4);
        for (const quint32 field : {24u, 200u, 3u, 8000u, 1u}) {
            au.append(char(field >> 24)).append(char(field >> 16));
            au.append(char(field >> 8)).append(char(field));
        }
        QFile file(sun + "/bell.au");
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(au + QByteArray(200, '\x10'));
        file.close();
        QDir::setCurrent(music_);
        QString opened;
        QTimer watch;
        connect(&watch, &QTimer::timeout, this, [&opened] {
            if (auto* import = qobject_cast<frmImport*>(QApplication::activeModalWidget())) {
                opened = Child<QLabel>(import, "lblFilename")->text();
                import->close();
            }
        });
        watch.start(20);
        auto window = std::make_unique<frmMain>();
        window->SetStartPath(sun + "/bell.au");
        window->show();
        QTRY_COMPARE(opened, QString("bell.au"));
        QCOMPARE(window->DirectoryPath(), sun);
        QVERIFY(shown_.isEmpty());
        window->close();
    }

    // Run as a user without the superuser's powers (ctest runs it so): a saved
    // folder that cannot be listed gives way to the usual start, and a sound
    // file the user cannot read is listed and says why when clicked.
    void unreadableFilesAndFolders() {
        if (::geteuid() == 0) QSKIP("the superuser reads everything");
        const QString locked = tmp_.filePath("locked");
        QVERIFY(QDir().mkpath(locked));
        QVERIFY(QFile::setPermissions(locked, QFileDevice::WriteOwner));
        WriteGameFile(music_ + "/secret.snd", 22050, 16, 2, 400);
        QVERIFY(QFile::setPermissions(music_ + "/secret.snd", QFileDevice::WriteOwner));
        MainSettings::Save(locked, 0);
        QDir::setCurrent(music_);
        auto window = Open();
        QCOMPARE(window->DirectoryPath(), music_);
        QVERIFY(shown_.isEmpty());
        QVERIFY(Files(window.get()).contains("secret.snd"));
        window->ClickFile("secret.snd");
        QCOMPARE(shown_.size(), 1);
        QCOMPARE(shown_[0].text, QString("secret.snd cannot be read: permission denied."));
        QVERIFY(!Child<QuillonButton>(window.get(), "btnConvert")->isEnabled());
        window->close();
        QFile::remove(music_ + "/secret.snd");
        QFile::setPermissions(
            locked, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
};

QTEST_MAIN(tst_frmMain)
#include "tst_frmmain.moc"
