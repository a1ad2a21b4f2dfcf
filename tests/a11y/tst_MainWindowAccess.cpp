// The main window and the About box as assistive technology and the keyboard
// meet them: names, roles and states, labels, access keys, the Tab order,
// actions pressed through the accessibility interface, and where the focus
// lands when a dialog closes.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QTemporaryDir>
#include <QTreeView>
#include <QtTest>

#include "../sound/SoundFixtures.h"
#include "A11yWalk.h"
#include "MenuApi.h"
#include "MsgBox.h"
#include "QuillonButton.h"
#include "frmAbout.h"
#include "frmMain.h"

using namespace a11y;
using zs::MenuApi;

class tst_MainWindowAccess : public QObject {
    Q_OBJECT

    QTemporaryDir tmp_;
    QString music_;
    QList<MsgBox::Shown> boxes_;
    QMessageBox::StandardButton answer_ = QMessageBox::Yes;

    // The main window on the music folder, active, with `file` clicked when given.
    std::unique_ptr<frmMain> Open(const QString& file = {}) {
        auto window = std::make_unique<frmMain>();
        if (!Activate(window.get())) qWarning("main window not active");
        QCoreApplication::processEvents();  // the deferred load
        window->SetDirectoryPath(music_);
        if (!file.isEmpty()) window->ClickFile(file);
        boxes_.clear();
        return window;
    }
    void Close(std::unique_ptr<frmMain>& window) {
        answer_ = QMessageBox::Yes;
        window->close();
        window.reset();
    }
    template <class T>
    static T* Child(QWidget* window, const char* name) {
        T* child = window->findChild<T*>(QLatin1String(name));
        if (!child) qFatal("no %s", name);
        return child;
    }

private slots:
    void initTestCase() {
        QVERIFY(tmp_.isValid());
        qputenv("ZEPHYRA_REGISTRY", QFile::encodeName(tmp_.filePath("registry.sqlite3")));
        music_ = tmp_.filePath("music");
        QVERIFY(QDir().mkpath(music_));
        QVERIFY(Fixtures::WriteFile(music_ + "/song.snd",
                                    Fixtures::GameFile({}, Fixtures::Samples(8820))));
        QVERIFY(Fixtures::WriteFile(music_ + "/other.snd",
                                    Fixtures::GameFile({}, Fixtures::Samples(4410))));
        MsgBox::SetResponder([this](const MsgBox::Shown& box) {
            boxes_ << box;
            return answer_;
        });
    }
    void cleanupTestCase() { MsgBox::SetResponder({}); }

    void windowAndControlsAreNamed() {
        auto window = Open();
        QAccessibleInterface* face = Of(window.get());
        QCOMPARE(face->text(QAccessible::Name), QString("Zephyrion Sound Utility (XP Edition)"));
        A11Y_NONE(Unnamed(window.get()));
        A11Y_NONE(DuplicateAccessKeys(window.get()));

        const struct {
            const char* name;
            const char* description;
        } commands[] = {{"Refresh", "Refresh the files list"},
                        {"Convert", "Convert a sound file to a different format"},
                        {"Preview", "Preview the selected sound file"},
                        {"Batch", "Batch convert sound files"},
                        {"About", "Program information"},
                        {"Exit", "Exit this application"}};
        for (const auto& command : commands) {
            QAccessibleInterface* button = Find(window.get(), QAccessible::Button, command.name);
            QVERIFY2(button, command.name);
            QCOMPARE(button->text(QAccessible::Description), QString(command.description));
        }
        QVERIFY(Find(window.get(), QAccessible::CheckBox, "Auto Play"));
        QVERIFY(Find(window.get(), QAccessible::Tree, "Folders"));
        QAccessibleInterface* files = Find(window.get(), QAccessible::List, "Files");
        QVERIFY(files);
        QCOMPARE(files->childCount(), 2);  // the two sound files, announced as list items
        QCOMPARE(files->child(0)->text(QAccessible::Name), QString("other.snd"));

        // The commands that need a file are announced as unavailable until one is inspected.
        for (const char* name : {"Convert", "Preview", "Batch"})
            QVERIFY2(Find(window.get(), QAccessible::Button, name)->state().disabled, name);
        window->ClickFile("song.snd");
        for (const char* name : {"Convert", "Preview", "Batch"})
            QVERIFY2(!Find(window.get(), QAccessible::Button, name)->state().disabled, name);
        Close(window);
    }

    // A value of the information panel is read with its caption.
    void panelValuesAreReadWithTheirCaptions() {
        auto window = Open("song.snd");
        const struct {
            const char* value;
            const char* caption;
            const char* text;
        } rows[] = {{"lblSampleRate", "Sample rate", "22050 Hz"},
                    {"lblBitDepth", "Bit depth", "16-bit"},
                    {"lblChannels", "Channels", "Stereo"},
                    {"lblInternalID", "Internal ID #", "12"}};
        for (const auto& row : rows) {
            QLabel* value = Child<QLabel>(window.get(), row.value);
            QCOMPARE(LabelsOf(value), QStringList{row.caption});
            QCOMPARE(Of(value)->text(QAccessible::Name), QString(row.text));
        }
        QCOMPARE(Of(Child<QLabel>(window.get(), "lblSelectedFile"))->text(QAccessible::Name),
                 QString("SONG.SND"));
        Close(window);
    }

    void labelsLeadToTheirFields() {
        auto window = Open();
        QCOMPARE(LabelsOf(Child<QComboBox>(window.get(), "DriveList")), QStringList{"Drives:"});
        // Item views do not report their labels to the accessibility layer; they
        // carry the label's words as their name, and the label leads to them.
        const struct {
            const char* label;
            const char* view;
            const char* name;
        } views[] = {{"Folders:", "DirectoryList", "Folders"}, {"Files:", "FileList", "Files"}};
        for (const auto& view : views) {
            QWidget* field = Child<QWidget>(window.get(), view.view);
            QCOMPARE(Of(field)->text(QAccessible::Name), QString(view.name));
            const auto labels = window->findChildren<QLabel*>();
            QVERIFY(std::any_of(labels.begin(), labels.end(), [&](QLabel* label) {
                return label->buddy() == field && label->text().remove('&') == view.label;
            }));
        }
        A11Y_NONE(MnemonicsWithoutBuddy(window.get()));

        // The access key of a label puts the focus into its field.
        const struct {
            Qt::Key key;
            const char* field;
        } keys[] = {{Qt::Key_F, "FileList"}, {Qt::Key_D, "DriveList"}, {Qt::Key_O, "DirectoryList"}};
        for (const auto& key : keys) {
            QTest::keyClick(window.get(), key.key, Qt::AltModifier);
            QCOMPARE(FocusName(QApplication::focusWidget()), QString(key.field));
        }
        Close(window);
    }

    void tabOrderFollowsTheReadingOrder() {
        auto window = Open("song.snd");
        A11Y_SAME(TabChain(Child<QComboBox>(window.get(), "DriveList")),
                 (QStringList{"DriveList", "DirectoryList", "FileList", "chkAutoPlay", "btnRefresh",
                              "btnConvert", "btnPreview", "btnBatch", "btnImport", "btnDetails",
                              "btnAbout", "btnExit"}));
        Close(window);
    }

    void pressedActionsDoWhatClicksDo() {
        auto window = Open("song.snd");
        auto* autoPlay = Child<QCheckBox>(window.get(), "chkAutoPlay");
        Toggle(autoPlay);
        QVERIFY(autoPlay->isChecked());
        QVERIFY(Of(autoPlay)->state().checked);
        Toggle(autoPlay);
        QVERIFY(!autoPlay->isChecked());

        // A pressed file list item is selected and inspected as a click does.
        QAccessibleInterface* files = Find(window.get(), QAccessible::List, "Files");
        QAccessibleInterface* other = files->child(0);
        QVERIFY(other->actionInterface());
        other->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
        QCOMPARE(window->SelectedFileName(), QString("other.snd"));
        QCOMPARE(Child<QLabel>(window.get(), "lblSelectedFile")->text(), QString("OTHER.SND"));

        Press(Child<QuillonButton>(window.get(), "btnRefresh"));
        QCOMPARE(Child<QLabel>(window.get(), "lblSelectedFile")->text(), QString());
        QVERIFY(Find(window.get(), QAccessible::Button, "Convert")->state().disabled);

        // A disabled command pressed through the interface does nothing.
        {
            const NextDialog opened([](QWidget*) {});
            Press(Child<QuillonButton>(window.get(), "btnConvert"));
            QTest::qWait(20);
            QVERIFY(!opened.Ran());
        }
        QVERIFY(QApplication::activeModalWidget() == nullptr);

        answer_ = QMessageBox::No;
        Press(Child<QuillonButton>(window.get(), "btnExit"));
        QCOMPARE(boxes_.size(), 1);
        QCOMPARE(boxes_[0].title, QString("Exit Application"));
        QCOMPARE(boxes_[0].text, QString("Are you sure that you want to exit?"));
        QCOMPARE(boxes_[0].icon, QMessageBox::Question);
        QVERIFY(window->isVisible());
        Close(window);
    }

    // The file list's context menu, read and chosen through the interface.
    void contextMenuItemsArePressable() {
        auto window = Open("song.snd");
        QStringList names;
        MenuApi::SetTrackObserver([&names](QMenu* shown) {
            QAccessibleInterface* menu = Of(shown);
            QCOMPARE(menu->role(), QAccessible::PopupMenu);
            QAccessibleInterface* remove = nullptr;
            for (int i = 0; i < menu->childCount(); ++i) {
                names << menu->child(i)->text(QAccessible::Name);
                if (names.last() == "Delete") remove = menu->child(i);
            }
            QVERIFY(remove && remove->actionInterface());
            remove->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        });
        answer_ = QMessageBox::No;
        auto* list = Child<QListWidget>(window.get(), "FileList");
        QTest::mousePress(list->viewport(), Qt::RightButton, {},
                          list->visualItemRect(list->currentItem()).center());
        MenuApi::SetTrackObserver({});
        QCOMPARE(names, (QStringList{"Preview", "Convert - Single", "Convert - Batch", "", "Delete",
                                     "", "Replace...", "Restore Original", "Restore All Originals",
                                     "", "Export Sound Pack...", "Apply Sound Pack..."}));
        QCOMPARE(boxes_.size(), 1);
        QCOMPARE(boxes_[0].title, QString("Delete File"));
        QCOMPARE(boxes_[0].text, QString("Are you sure that you want to delete song.snd?"));
        QVERIFY(QFile::exists(music_ + "/song.snd"));
        Close(window);
    }

    // Each dialog is opened from the keyboard and closed with Escape; the focus
    // then comes back to where the user was. Convert empties the panel and
    // disables its own button, so the focus goes to the file list instead.
    void dialogsGiveTheFocusBack_data() {
        QTest::addColumn<QString>("opener");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("focusAfter");
        QTest::newRow("about") << "btnAbout"
                               << "About Zephyrion Sound Utility (XP Edition)"
                               << "btnAbout";
        QTest::newRow("batch") << "btnBatch"
                               << "Batch Convert"
                               << "btnBatch";
        QTest::newRow("preview") << "btnPreview"
                                 << "Sound Preview"
                                 << "btnPreview";
        QTest::newRow("convert") << "btnConvert"
                                 << "Convert Sound File"
                                 << "FileList";
    }
    void dialogsGiveTheFocusBack() {
        QFETCH(QString, opener);
        QFETCH(QString, title);
        QFETCH(QString, focusAfter);
        auto window = Open("song.snd");
        auto* button = Child<QuillonButton>(window.get(), qPrintable(opener));
        button->setFocus(Qt::TabFocusReason);
        QString seen;
        QStringList unnamed;
        const NextDialog next([&](QWidget* dialog) {
            seen = Of(dialog)->text(QAccessible::Name);
            unnamed = Unnamed(dialog);
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : dialog,
                            Qt::Key_Escape);
        });
        QTest::keyClick(button, Qt::Key_Space);
        QVERIFY(next.Ran());
        QCOMPARE(seen, title);
        A11Y_NONE(unnamed);
        // The window system activates the main window again; its focus widget
        // is where the keyboard goes.
        QVERIFY(Activate(window.get()));
        QCOMPARE(FocusName(QApplication::focusWidget()), focusAfter);
        QVERIFY(boxes_.isEmpty());
        Close(window);
    }

    void aboutBoxReadsItsTexts() {
        frmAbout about;
        QVERIFY(Activate(&about));
        QAccessibleInterface* face = Of(&about);
        QCOMPARE(face->role(), QAccessible::Dialog);
        QCOMPARE(face->text(QAccessible::Name),
                 QString("About Zephyrion Sound Utility (XP Edition)"));
        QStringList texts;
        for (QAccessibleInterface* child : Shown(&about))
            if (child->role() == QAccessible::StaticText) texts << child->text(QAccessible::Name);
        QVERIFY2(texts.contains("Zephyrion Sound Utility (XP Edition)"), qPrintable(texts.join('|')));
        QVERIFY(texts.contains("Version 2.0.7"));
        QVERIFY(texts.contains(QString("Copyright \u00A9 Brellin Software")));
        QVERIFY(Find(&about, QAccessible::Graphic, "Program picture"));
        QAccessibleInterface* ok = Find(&about, QAccessible::Button, "OK");
        QVERIFY(ok);
        QVERIFY(ok->state().defaultButton);
        A11Y_NONE(Unnamed(&about));
        A11Y_SAME(TabChain(about.findChild<QuillonButton*>("btnOK")), QStringList{"btnOK"});

        // Enter on the default button and the press action both close the box.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(!about.isVisible());
        QCOMPARE(about.result(), int(QDialog::Accepted));
        QVERIFY(Activate(&about));
        Press(about.findChild<QuillonButton*>("btnOK"));
        QVERIFY(!about.isVisible());
    }
};

QTEST_MAIN(tst_MainWindowAccess)
#include "tst_MainWindowAccess.moc"
