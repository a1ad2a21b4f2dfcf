// The Convert, Batch and Import dialogs as assistive technology and the keyboard meet
// them: names, labels, access keys, the Tab order, and commands pressed through
// the accessibility interface, with the save dialog and the message boxes
// answered by the test.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include "../sound/SignalFixtures.h"
#include "../sound/SoundFixtures.h"
#include "A11yWalk.h"
#include "FlexMaskEditBox.h"
#include "Inspection.h"
#include "MsgBox.h"
#include "QuillonButton.h"
#include "SoundInfo.h"
#include "cCommonDialog.h"
#include "frmBatch.h"
#include "frmConvert.h"
#include "frmDetails.h"
#include "frmImport.h"

using namespace a11y;
using mUtility::SoundInfo;

class tst_DialogAccess : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QList<MsgBox::Shown> boxes_;
    QStringList saveTitles_;

    // Inspects `name` (a 22050 Hz stereo game file, written into `folder` of the
    // temporary folder) as the main window does.
    void Inspect(const QString& name, const QString& folder = "single") {
        const QString path = dir_.filePath(folder);
        QDir().mkpath(path);
        if (!Fixtures::WriteFile(path + '/' + name,
                                 Fixtures::GameFile({}, Fixtures::Samples(4410))))
            qFatal("cannot write %s", qPrintable(name));
        mUtility::InspectFile(path, name, SoundInfo);
    }
    template <class T>
    static T* Child(QWidget* window, const QString& name) {
        T* child = window->findChild<T*>(name);
        if (!child) qFatal("no %s", qPrintable(name));
        return child;
    }
    static void CheckNamesAndLabels(QWidget* dialog) {
        A11Y_NONE(Unnamed(dialog));
        A11Y_NONE(DuplicateAccessKeys(dialog));
        A11Y_NONE(MnemonicsWithoutBuddy(dialog));
    }

private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        qputenv("ZEPHYRA_REGISTRY", QFile::encodeName(dir_.filePath("registry.sqlite3")));
        MsgBox::SetResponder([this](const MsgBox::Shown& box) {
            boxes_ << box;
            return QMessageBox::Ok;
        });
        cCommonDialog::SetChooser([this](const SaveRequest& request) -> std::optional<QString> {
            saveTitles_ << request.Title;
            return dir_.filePath("OUT.WAV");
        });
    }
    void cleanupTestCase() {
        MsgBox::SetResponder({});
        cCommonDialog::SetChooser({});
    }
    void init() {
        boxes_.clear();
        saveTitles_.clear();
    }

    void convertDialogIsNamedAndLabelled() {
        Inspect("song.snd");
        frmConvert dialog;
        QVERIFY(Activate(&dialog));
        QCOMPARE(Of(&dialog)->role(), QAccessible::Dialog);
        QCOMPARE(Of(&dialog)->text(QAccessible::Name), QString("Convert Sound File"));
        // Ticking both change boxes shows every control the dialog has.
        Toggle(Child<QCheckBox>(&dialog, "chkChange8bitFlag"));
        Toggle(Child<QCheckBox>(&dialog, "chkChangeInternalID"));
        CheckNamesAndLabels(&dialog);

        // Values speak their value; the caption beside each is its label.
        const struct {
            const char* value;
            const char* caption;
            const char* text;
        } rows[] = {{"lblSampleRate", "Sample Rate", "22050 Hz"},
                    {"lblChannels", "Channels", "Stereo"},
                    {"lblInternalID", "Internal ID#", "12"},
                    {"lblFilename", "File", "SONG.SND"}};
        for (const auto& row : rows) {
            QLabel* value = Child<QLabel>(&dialog, row.value);
            QCOMPARE(Of(value)->text(QAccessible::Name), QString(row.text));
            QCOMPARE(LabelsOf(value), QStringList{row.caption});
        }
        QCOMPARE(LabelsOf(Child<QRadioButton>(&dialog, "optSampleRate_0")),
                 QStringList{"Sample Rate"});
        QAccessibleInterface* id = Of(Child<FlexMaskEditBox>(&dialog, "mskInternalID")->textBox());
        QCOMPARE(id->role(), QAccessible::EditableText);
        QCOMPARE(id->text(QAccessible::Name), QString("Internal ID#"));
        QVERIFY(Find(&dialog, QAccessible::CheckBox, "WAV"));
        QVERIFY(Find(&dialog, QAccessible::RadioButton, "22050"));
        QVERIFY(Find(&dialog, QAccessible::Button, "Go"));
    }

    void convertTabOrderFollowsTheReadingOrder() {
        Inspect("song.snd");
        frmConvert dialog;
        QVERIFY(Activate(&dialog));
        Toggle(Child<QCheckBox>(&dialog, "chkChange8bitFlag"));
        Toggle(Child<QCheckBox>(&dialog, "chkChangeInternalID"));
        // Row by row; an option group is one Tab stop (the arrows move inside
        // it), and the file's own format (SND) cannot be chosen.
        A11Y_SAME(
            TabChain(Child<QRadioButton>(&dialog, "optSampleRate_5")),
            (QStringList{"optSampleRate_5", "optBitDepth_0", "optChannels_0", "chkChange8bitFlag",
                         "opt8bitFlag_0", "chkChangeInternalID", "mskInternalID", "chkFormat_1",
                         "chkFormat_2", "btnConvert", "btnPreview", "btnCancel"}));
    }

    void importDialogIsNamedLabelledAndInReadingOrder() {
        const QString flac = dir_.filePath("horn.flac");
        QVERIFY(Fixtures::WriteSignal(flac, SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 22050, 1, 2205,
                                      Fixtures::Sine(0.5, 440, 22050)));
        frmImport dialog(flac, dir_.path());
        QVERIFY(Activate(&dialog));
        QCOMPARE(Of(&dialog)->role(), QAccessible::Dialog);
        QCOMPARE(Of(&dialog)->text(QAccessible::Name), QString("Import Sound File"));
        Toggle(Child<QCheckBox>(&dialog, "chkChange8bitFlag"));
        CheckNamesAndLabels(&dialog);
        const struct {
            const char* value;
            const char* caption;
            const char* text;
        } rows[] = {{"lblFormat", "Format", "FLAC, 16-bit"},
                    {"lblSampleRate", "Sample Rate", "22050 Hz"},
                    {"lblChannels", "Channels", "Mono"},
                    {"lblFilename", "File", "horn.flac"}};
        for (const auto& row : rows) {
            QLabel* value = Child<QLabel>(&dialog, row.value);
            QCOMPARE(Of(value)->text(QAccessible::Name), QString(row.text));
            QCOMPARE(LabelsOf(value), QStringList{row.caption});
        }
        QCOMPARE(LabelsOf(Child<QRadioButton>(&dialog, "optSampleRate_0")),
                 QStringList{"Sample Rate"});
        QCOMPARE(Of(Child<FlexMaskEditBox>(&dialog, "mskInternalID")->textBox())
                     ->text(QAccessible::Name),
                 QString("Internal ID#"));
        // Row by row, as in the Convert dialog: an option group is one Tab stop.
        A11Y_SAME(TabChain(Child<QWidget>(&dialog, "cboLike")),
                  (QStringList{"cboLike", "optType_0", "optSampleRate_0", "optBitDepth_0",
                               "optChannels_0", "chkChange8bitFlag", "opt8bitFlag_0",
                               "mskInternalID", "cboLoudness", "btnImport", "btnCancel"}));
    }

    // Ticking a check box starts the field's own reaction: the ID field shows and
    // takes the focus, as after a click.
    void pressedCommandsDoWhatClicksDo() {
        Inspect("song.snd");
        frmConvert dialog;
        QVERIFY(Activate(&dialog));
        Press(Child<QuillonButton>(&dialog, "btnConvert"));
        QCOMPARE(boxes_.size(), 1);
        QCOMPARE(boxes_[0].title, QString("Error"));
        QCOMPARE(boxes_[0].text, QString("You must choose an output format!"));
        QVERIFY(dialog.isVisible());

        Toggle(Child<QCheckBox>(&dialog, "chkChangeInternalID"));
        QCOMPARE(FocusName(QApplication::focusWidget()), QString("mskInternalID"));
        Toggle(Child<QCheckBox>(&dialog, "chkFormat_2"));
        QVERIFY(Child<QCheckBox>(&dialog, "chkFormat_2")->isChecked());
        boxes_.clear();
        Press(Child<QuillonButton>(&dialog, "btnConvert"));
        QCOMPARE(saveTitles_, QStringList{"Save File"});
        QCOMPARE(boxes_.size(), 1);
        QCOMPARE(boxes_[0].title, QString("Conversion Information"));
        QCOMPARE(boxes_[0].text, mUtility::StatusText);
        QVERIFY(QFile::exists(dir_.filePath("OUT.WAV")));
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }

    void batchDialogIsNamedAndLabelled() {
        Inspect("one.snd", "batch");
        Inspect("two.snd", "batch");
        frmBatch dialog;
        QVERIFY(Activate(&dialog));
        QCOMPARE(Of(&dialog)->text(QAccessible::Name), QString("Batch Convert"));
        CheckNamesAndLabels(&dialog);
        QAccessibleInterface* sources = Find(&dialog, QAccessible::List, "Source Files");
        QVERIFY2(sources, qPrintable(Describe(&dialog)));
        QCOMPARE(sources->childCount(), 2);
        QVERIFY(Find(&dialog, QAccessible::List, "Files to Convert"));
        QCOMPARE(LabelsOf(Child<QRadioButton>(&dialog, "optConvType_0")),
                 QStringList{"Convert to:"});
        // The move buttons' captions are arrows: their names say what they do.
        for (const char* name : {"Add highlighted file", "Add all files", "Remove highlighted file",
                                 "Remove all files"})
            QVERIFY2(Find(&dialog, QAccessible::Button, name), name);
        QVERIFY(Find(&dialog, QAccessible::RadioButton, "SND")->state().disabled);
    }

    void batchTabOrderAndPressedCommands() {
        Inspect("one.snd", "run");
        Inspect("two.snd", "run");
        frmBatch dialog;
        QVERIFY(Activate(&dialog));
        Toggle(Child<QRadioButton>(&dialog, "optConvType_2"));
        A11Y_SAME(
            TabChain(Child<QListWidget>(&dialog, "BatchFileList")),
            (QStringList{"BatchFileList", "btnAdd_0", "btnAdd_1", "btnSubtract_0", "btnSubtract_1",
                         "ConvertList", "optConvType_1", "btnConvert", "btnCancel"}));

        Press(Child<QuillonButton>(&dialog, "btnAdd_1"));
        QCOMPARE(Child<QListWidget>(&dialog, "ConvertList")->count(), 2);
        QCOMPARE(Find(&dialog, QAccessible::List, "Files to Convert")->childCount(), 2);
        Press(Child<QuillonButton>(&dialog, "btnConvert"));
        QCOMPARE(boxes_.size(), 1);
        QCOMPARE(boxes_[0].title, QString("Success"));
        QCOMPARE(boxes_[0].text, QString("Operation was successful!  2 files were converted."));
        QVERIFY(QFile::exists(dir_.filePath("run/ONE.WAV")));
    }

    void detailsWindowIsNamedAndLabelled() {
        Inspect("one.snd", "details");
        Inspect("two.wsd", "details");
        frmDetails window;
        QSignalSpy finished(&window, &frmDetails::ReadingFinished);
        window.ShowFolder(dir_.filePath("details"));
        QVERIFY(Activate(&window));
        QVERIFY(finished.count() > 0 || finished.wait(20000));
        QCOMPARE(Of(&window)->text(QAccessible::Name), QString("Folder Details"));
        CheckNamesAndLabels(&window);
        QAccessibleInterface* table = Find(&window, QAccessible::Table, "Sound files");
        QVERIFY2(table, qPrintable(Describe(&window)));
        QCOMPARE(table->tableInterface()->rowCount(), 2);
        QCOMPARE(LabelsOf(Child<QComboBox>(&window, "cboType")), QStringList{"Type:"});
        A11Y_SAME(TabChain(Child<QComboBox>(&window, "cboType")),
                  (QStringList{"cboType", "cboValidity", "txtSearch", "tblFiles", "btnExport",
                               "btnClose"}));
        saveTitles_.clear();
        Press(Child<QuillonButton>(&window, "btnExport"));
        QCOMPARE(saveTitles_, QStringList{"Export CSV"});
    }
};

QTEST_MAIN(tst_DialogAccess)
#include "tst_DialogAccess.moc"
