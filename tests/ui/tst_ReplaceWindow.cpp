#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

#include "FolderDetailsModel.h"
#include "MenuDriver.h"
#include "MsgBox.h"
#include "ReplaceActions.h"
#include "SoundFixtures.h"
#include "WindowTestKit.h"
#include "cCommonDialog.h"
#include "frmDetails.h"
#include "frmImport.h"
#include "frmMain.h"

using WindowTestKit::Child;

namespace {

// Positions of the replace commands in the file menu.
constexpr int kReplace = 6, kRestoreOriginal = 7, kRestoreAll = 8, kExport = 10, kApply = 11;

}  // namespace

class tst_ReplaceWindow : public QObject {
    Q_OBJECT

    QTemporaryDir tmp_;
    QString folder_;
    QString source_;
    QByteArray stockA_ = Fixtures::GameFile({2, 412, -1, 11025, 8, 1, 0}, Fixtures::Samples(5000));
    QByteArray stockB_ = Fixtures::GameFile({0, 7, -1, 22050, 16, 2, 0}, Fixtures::Samples(8000));
    QStringList shown_;                           // "title: text" of every box
    QList<QMessageBox::StandardButton> answers_;  // the next questions' answers; Yes after

    QString Path(const QString& name) const { return folder_ + "/" + name; }

    void Stock(const QString& folder) {
        QDir(folder).removeRecursively();
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(Fixtures::WriteFile(folder + "/A.SND", stockA_));
        QVERIFY(Fixtures::WriteFile(folder + "/B.WSD", stockB_));
    }

    std::unique_ptr<frmMain> Open(const QString& folder) {
        auto window = std::make_unique<frmMain>();
        window->SetStartPath(folder);
        window->show();
        QCoreApplication::processEvents();
        // The start folder is listed in the background.
        [&] { QVERIFY(QTest::qWaitFor([&] { return !window->ListingInBackground(); })); }();
        return window;
    }

    QListWidgetItem* Row(frmMain* window, const QString& name) {
        return Child<QListWidget>(window, "FileList")->findItems(name, Qt::MatchExactly).value(0);
    }

    void Menu(frmMain* window, const QString& name, int position) {
        QVERIFY(window->ClickFile(name));
        auto* list = Child<QListWidget>(window, "FileList");
        zs::MenuDriver::ClickNext(position);
        QTest::mousePress(list->viewport(), Qt::RightButton, {},
                          list->visualItemRect(Row(window, name)).center());
    }

    bool Marked(frmMain* window, const QString& name) {
        QListWidgetItem* row = Row(window, name);
        return row && row->data(Qt::AccessibleTextRole).toString() == name + ", replaced" &&
               !row->icon().isNull() && row->toolTip().startsWith("Replaced (from ");
    }

private slots:
    void initTestCase() {
        QVERIFY(tmp_.isValid());
        qputenv("ZEPHYRA_REGISTRY", QFile::encodeName(tmp_.filePath("registry.sqlite3")));
        folder_ = tmp_.filePath("game");
        source_ = tmp_.filePath("mine.wav");
        QVERIFY(Fixtures::WriteFile(source_, Fixtures::WavFile({}, Fixtures::Samples(40000))));
        QVERIFY(Fixtures::WriteFile(tmp_.filePath("drop.wav"),
                                    Fixtures::WavFile({.channels = 1}, Fixtures::Samples(3000))));
        MsgBox::SetResponder([this](const MsgBox::Shown& box) {
            shown_ << box.title + ": " + box.text;
            if (box.icon != QMessageBox::Question && box.icon != QMessageBox::Warning)
                return QMessageBox::Ok;
            return answers_.isEmpty() ? QMessageBox::Yes : answers_.takeFirst();
        });
        frmImport::SetSourceChooser([this](QWidget*, const QString&) { return source_; });
    }

    // Ctrl+R and a drop replace; the list, the panel and the details show it;
    // Restore Original and Restore All put the stock bytes back, asking before
    // a file changed elsewhere is overwritten.
    void replaceAndRestore() {
        Stock(folder_);
        auto window = Open(folder_);
        QTRY_VERIFY(Row(window.get(), "A.SND"));
        QVERIFY(window->ClickFile("A.SND"));
        QTest::keyClick(window.get(), Qt::Key_R, Qt::ControlModifier);
        QTRY_VERIFY(Marked(window.get(), "A.SND"));
        QVERIFY2(shown_.last().startsWith("Replace Sound: A.SND replaced by mine.wav."),
                 qPrintable(shown_.last()));
        const QByteArray replaced = Fixtures::ReadFile(Path("A.SND"));
        QVERIFY(replaced != stockA_);
        QList<qint32> was = Fixtures::GameFields(stockA_), now = Fixtures::GameFields(replaced);
        was.removeAt(2), now.removeAt(2);
        QCOMPARE(now, was);  // the slot's type, flag, ID, rate, depth and channels
        QVERIFY(!Marked(window.get(), "B.WSD"));
        QVERIFY(Child<QLabel>(window.get(), "lblReplaced")
                    ->text()
                    .startsWith("Replaced (from mine.wav, "));

        // A sound dropped on B's row replaces B, after a question.
        auto* list = Child<QListWidget>(window.get(), "FileList");
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(tmp_.filePath("drop.wav"))});
        const QPoint at = list->viewport()->mapTo(
            window.get(), list->visualItemRect(Row(window.get(), "B.WSD")).center());
        answers_ = {QMessageBox::No};
        // As a file manager's drag does: an enter, then the drop.
        const auto enter = [&] {
            QDragEnterEvent e(at, Qt::CopyAction, &data, Qt::LeftButton, {});
            QCoreApplication::sendEvent(window.get(), &e);
            QVERIFY(e.isAccepted());
        };
        enter();
        QDropEvent no(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(window.get(), &no);
        QTRY_VERIFY2(!shown_.isEmpty() &&
                         shown_.last().startsWith("Replace Sound: Replace B.WSD with drop.wav?"),
                     qPrintable(shown_.join(" | ")));
        QCOMPARE(Fixtures::ReadFile(Path("B.WSD")), stockB_);
        enter();
        QDropEvent yes(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(window.get(), &yes);
        QTRY_VERIFY(Marked(window.get(), "B.WSD"));

        window->ShowDetails();
        auto* table = Child<QTableView>(window->Details(), "tblFiles");
        QTRY_COMPARE(table->model()->rowCount(), 2);
        for (int row = 0; row < 2; ++row)
            QVERIFY(table->model()
                        ->index(row, FolderDetailsModel::Replaced)
                        .data()
                        .toString()
                        .startsWith("from "));
        window->Details()->close();

        Menu(window.get(), "A.SND", kRestoreOriginal);
        QTRY_VERIFY(!Marked(window.get(), "A.SND"));
        QCOMPARE(Fixtures::ReadFile(Path("A.SND")), stockA_);
        QCOMPARE(Child<QLabel>(window.get(), "lblReplaced")->text(), QString());

        QVERIFY(Fixtures::WriteFile(Path("B.WSD"), "changed elsewhere"));
        answers_ = {QMessageBox::Yes, QMessageBox::No};  // restore all, but not over the change
        Menu(window.get(), "A.SND", kRestoreAll);
        QTRY_VERIFY(shown_.last().contains("Changed by something else since it was replaced"));
        QCOMPARE(Fixtures::ReadFile(Path("B.WSD")), QByteArray("changed elsewhere"));
        answers_ = {QMessageBox::Yes, QMessageBox::Yes};
        Menu(window.get(), "A.SND", kRestoreAll);
        QTRY_COMPARE(Fixtures::ReadFile(Path("B.WSD")), stockB_);
        QVERIFY(!Marked(window.get(), "B.WSD"));
        window->CloseWithoutAsking();
    }

    // Export a pack, open a fresh copy of the stock folder, apply it there:
    // the dialog lists the changes, and the files become the pack's bytes.
    void exportAndApply() {
        Stock(folder_);
        auto window = Open(folder_);
        QTRY_VERIFY(Row(window.get(), "A.SND"));
        Menu(window.get(), "A.SND", kReplace);
        QTRY_VERIFY(Marked(window.get(), "A.SND"));
        const QString zip = tmp_.filePath("pack.zip");
        cCommonDialog::SetChooser([&](const SaveRequest&) { return std::optional<QString>(zip); });
        Menu(window.get(), "A.SND", kExport);
        cCommonDialog::SetChooser({});
        QTRY_VERIFY(QFile::exists(zip));

        const QString fresh = tmp_.filePath("fresh");
        Stock(fresh);
        QVERIFY(window->SetDirectoryPath(fresh));
        ReplaceActions::SetPackChooser([&](QWidget*, const QString&) { return zip; });
        QStringList listed;
        // The dialog runs its own loop: it is answered from a timer once it is up.
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            QWidget* dialog = QApplication::activeModalWidget();
            if (!dialog || dialog->objectName() != "frmSoundPack") return;
            poll.stop();
            auto* changes = Child<QTreeWidget>(dialog, "lstChanges");
            for (int i = 0; i < changes->topLevelItemCount(); ++i)
                listed << changes->topLevelItem(i)->text(0) + " " +
                              changes->topLevelItem(i)->text(1);
            Child<QPushButton>(dialog, "btnApply")->click();
        });
        poll.start(20);
        Menu(window.get(), "B.WSD", kApply);
        ReplaceActions::SetPackChooser({});
        QCOMPARE(listed, QStringList{"A.SND will be replaced"});
        QCOMPARE(Fixtures::ReadFile(fresh + "/A.SND"), Fixtures::ReadFile(Path("A.SND")));
        QTRY_VERIFY(Marked(window.get(), "A.SND"));
        window->CloseWithoutAsking();
    }
};

QTEST_MAIN(tst_ReplaceWindow)
#include "tst_ReplaceWindow.moc"
