#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>
#include <QtTest>
#include <functional>

#include "AppError.h"
#include "MsgBox.h"
#include "RaisedError.h"
#include "cCommonDialog.h"

namespace {

const QString SndFilter = QStringLiteral("SND Files (*.SND)|*.SND|All Files (*.*)|*.*");

// What the user does in the real dialog each time it opens: type a name (and
// optionally pick a filter) then press Return, or cancel with an empty name.
struct UserStep {
    QString typed;
    int filterRow = -1;
};

// Drives each showing of the real file dialog with the next step.
class DialogDriver : public QObject {
public:
    explicit DialogDriver(QList<UserStep> steps) : steps_(std::move(steps)) {
        connect(&timer_, &QTimer::timeout, this, [this] { Act(); });
        timer_.start(20);
    }
    QFileDialog* seen = nullptr;
    QString seenTitle;
    QWidget* seenParent = nullptr;
    QPoint seenCentre;
    // Columns of the file view cut short once its files are listed, by name;
    // "view" when the view is narrower than its columns.
    QStringList cutColumns;
    bool waitForFiles = false;  // act only once the folder's files are listed

    // Steps for the next showings.
    void Expect(const QList<UserStep>& steps) { steps_ += steps; }

private:
    void Act() {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible()) return;
        auto* view = dialog->findChild<QTreeView*>(QStringLiteral("treeView"));
        if (waitForFiles && view && view->model()->rowCount(view->rootIndex()) == 0 &&
            ++waits_ < 100)
            return;
        if (steps_.isEmpty()) {  // shown more often than expected: end it rather than hang
            dialog->reject();
            return;
        }
        seen = dialog;
        seenTitle = dialog->windowTitle();
        seenParent = dialog->parentWidget();
        seenCentre = dialog->frameGeometry().center();
        cutColumns.clear();
        for (int column = 1; view && column < view->header()->count(); ++column)
            if (view->header()->sectionSize(column) <
                static_cast<QAbstractItemView*>(view)->sizeHintForColumn(column))
                cutColumns << view->model()->headerData(column, Qt::Horizontal).toString();
        if (view && view->viewport()->width() < view->header()->length()) cutColumns << "view";
        const UserStep step = steps_.takeFirst();
        if (step.typed.isEmpty()) {
            dialog->reject();
            return;
        }
        if (step.filterRow >= 0) {
            auto* combo = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
            combo->setCurrentIndex(step.filterRow);
            emit combo->activated(step.filterRow);
        }
        auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        edit->selectAll();
        QTest::keyClicks(edit, step.typed);
        QTest::keyClick(edit, Qt::Key_Return);
    }

    QList<UserStep> steps_;
    QTimer timer_;
    int waits_ = 0;
};

}  // namespace

class tst_cCommonDialog : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void filterIsSplitAtBarsAndColons_data();
    void filterIsSplitAtBarsAndColons();
    void chooserSeesTheRequestAsTheConvertDialogSetsIt();
    void answerIsCompletedLikeATypedName_data();
    void answerIsCompletedLikeATypedName();
    void cancelRaises20001OnlyWhenAsked();
    void longProposedNameIsPassedWhole();
    void realDialogSavesTypedNameWithDefaultExtension();
    void realDialogAsksBeforeReplacing();
    void realDialogCancel();
    void realDialogShowsItsColumnsWhole();

private:
    QTemporaryDir dir_;
    QList<SaveRequest> requests_;
};

void tst_cCommonDialog::init() {
    QVERIFY(dir_.isValid());
    requests_.clear();
    MsgBox::SetResponder({});
}

void tst_cCommonDialog::cleanup() {
    cCommonDialog::SetChooser({});
    MsgBox::SetResponder({});
}

void tst_cCommonDialog::filterIsSplitAtBarsAndColons_data() {
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("descriptions");
    QTest::addColumn<QStringList>("patterns");
    QTest::addColumn<QStringList>("nameFilters");
    QTest::newRow("convert dialog")
        << SndFilter << QStringList{"SND Files (*.SND)", "All Files (*.*)"}
        << QStringList{"*.SND", "*.*"} << QStringList{"SND Files (*.SND)", "All Files (*.*)"};
    QTest::newRow("colon splits") << "Sounds: game|*.SND" << QStringList{"Sounds"}
                                  << QStringList{" game"} << QStringList{"Sounds ( game)"};
    QTest::newRow("several patterns")
        << "Game sounds|*.snd;*.wsd" << QStringList{"Game sounds"} << QStringList{"*.snd;*.wsd"}
        << QStringList{"Game sounds (*.snd *.wsd)"};
    QTest::newRow("empty part ends the list")
        << "A|*.a||B|*.b" << QStringList{"A"} << QStringList{"*.a"} << QStringList{"A (*.a)"};
    QTest::newRow("description without pattern")
        << "A|*.a|B" << QStringList{"A"} << QStringList{"*.a"} << QStringList{"A (*.a)"};
    QTest::newRow("empty") << "" << QStringList{} << QStringList{} << QStringList{};
}

void tst_cCommonDialog::filterIsSplitAtBarsAndColons() {
    QFETCH(QString, filter);
    QFETCH(QStringList, descriptions);
    QFETCH(QStringList, patterns);
    QFETCH(QStringList, nameFilters);
    const QList<FilterPair> pairs = GCommonDialog::ParseFilter(filter);
    QStringList gotDescriptions;
    QStringList gotPatterns;
    for (const FilterPair& pair : pairs) {
        gotDescriptions << pair.Description;
        gotPatterns << pair.Pattern;
    }
    QCOMPARE(gotDescriptions, descriptions);
    QCOMPARE(gotPatterns, patterns);
    QCOMPARE(GCommonDialog::NameFilters(pairs), nameFilters);
}

void tst_cCommonDialog::chooserSeesTheRequestAsTheConvertDialogSetsIt() {
    QWidget form;
    cCommonDialog::SetChooser([this](const SaveRequest& request) -> std::optional<QString> {
        requests_ << request;
        return dir_.filePath("chosen.SND");
    });
    cCommonDialog dialog;
    dialog.setDialogTitle("Save File");
    dialog.setCancelError(true);
    dialog.setHwnd(&form);
    dialog.setFlags(2);
    dialog.setInitDir(dir_.path());
    dialog.setFilter(SndFilter);
    dialog.setDefaultExt(".SND");
    dialog.setFilename("SOUND.SND");
    dialog.CentreDialog(dialog.hwnd(), &form);
    dialog.ShowSave();

    QCOMPARE(requests_.size(), 1);
    const SaveRequest& request = requests_.first();
    QCOMPARE(request.Title, QStringLiteral("Save File"));
    QCOMPARE(request.Owner, &form);
    QCOMPARE(request.CentreOver, &form);
    QCOMPARE(request.InitDir, dir_.path());
    QCOMPARE(request.Filters, GCommonDialog::ParseFilter(SndFilter));
    QCOMPARE(request.FilterIndex, 1);
    QCOMPARE(request.DefaultExt, QStringLiteral(".SND"));
    QCOMPARE(request.FileName, QStringLiteral("SOUND.SND"));
    QVERIFY(request.OverwritePrompt);

    QCOMPARE(dialog.Filename(), dir_.filePath("chosen.SND"));
    QCOMPARE(dialog.FileTitle(), QStringLiteral("chosen.SND"));
    QCOMPARE(dialog.Flags(), cCommonDialog::OFN_HIDEREADONLY | cCommonDialog::OFN_OVERWRITEPROMPT);
    QCOMPARE(dialog.FilterIndex(), 1);
    QCOMPARE(dialog.Companion().APIReturn(), 1);
    QCOMPARE(dialog.Companion().ExtendedError(), 0);
}

void tst_cCommonDialog::answerIsCompletedLikeATypedName_data() {
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("defaultExt");
    QTest::addColumn<QString>("filename");
    QTest::addColumn<bool>("extensionDiffers");
    const QString root = QStringLiteral("/data/out");
    QTest::newRow("name without extension") << "LOOP"
                                            << ".SND" << root + "/LOOP.SND" << false;
    QTest::newRow("extension without dot") << "LOOP"
                                           << "WAV" << root + "/LOOP.WAV" << false;
    QTest::newRow("other extension kept") << "loop.wav"
                                          << ".SND" << root + "/loop.wav" << true;
    QTest::newRow("case of extension") << "loop.snd"
                                       << ".SND" << root + "/loop.snd" << false;
    QTest::newRow("absolute answer") << "/elsewhere/x"
                                     << ".WSD"
                                     << "/elsewhere/x.WSD" << false;
    QTest::newRow("no default extension") << "plain"
                                          << "" << root + "/plain" << false;
}

void tst_cCommonDialog::answerIsCompletedLikeATypedName() {
    QFETCH(QString, answer);
    QFETCH(QString, defaultExt);
    QFETCH(QString, filename);
    QFETCH(bool, extensionDiffers);
    cCommonDialog::SetChooser([&](const SaveRequest&) { return std::optional<QString>(answer); });
    cCommonDialog dialog;
    dialog.setInitDir("/data/out");
    dialog.setDefaultExt(defaultExt);
    dialog.ShowSave();
    QCOMPARE(dialog.Filename(), filename);
    QCOMPARE(dialog.FileTitle(), QFileInfo(filename).fileName());
    QCOMPARE(bool(dialog.Flags() & cCommonDialog::OFN_EXTENSIONDIFFERENT), extensionDiffers);
}

void tst_cCommonDialog::cancelRaises20001OnlyWhenAsked() {
    cCommonDialog::SetChooser([](const SaveRequest&) { return std::optional<QString>(); });
    cCommonDialog dialog;
    dialog.setFilename("PROPOSED.SND");
    dialog.setFlags(2);
    dialog.setFilterIndex(2);
    dialog.ShowSave();  // CancelError false: returns normally
    QCOMPARE(dialog.Filename(), QString());
    QCOMPARE(dialog.FileTitle(), QString());
    QCOMPARE(dialog.Flags(), 0u);
    QCOMPARE(dialog.FilterIndex(), 0);
    QCOMPARE(dialog.Companion().APIReturn(), 0);

    dialog.setFilename("PROPOSED.SND");
    dialog.setCancelError(true);
    const AppError error = Raised([&] { dialog.ShowSave(); });
    QCOMPARE(error.Number, 20001);
    QCOMPARE(error.Description, QStringLiteral("User selected cancel."));
    QCOMPARE(error.Source, QStringLiteral("tst_cCommonDialog.cCommonDialog"));
    QCOMPARE(dialog.Filename(), QString());
}

void tst_cCommonDialog::longProposedNameIsPassedWhole() {
    const QString longName = QString(300, 'n') + QStringLiteral(".SND");
    cCommonDialog::SetChooser([&](const SaveRequest& request) {
        return std::optional<QString>("/deep/folder/" + request.FileName);
    });
    cCommonDialog dialog;
    dialog.setFilename(longName);
    dialog.ShowSave();
    QCOMPARE(dialog.Filename(), "/deep/folder/" + longName);
    QCOMPARE(dialog.FileTitle(), longName);
}

void tst_cCommonDialog::realDialogSavesTypedNameWithDefaultExtension() {
    QWidget owner;
    owner.setGeometry(0, 0, 300, 200);
    owner.show();
    QWidget form;  // centred over this one, not over its owner
    form.setGeometry(700, 500, 400, 300);
    form.show();
    DialogDriver driver({{"typed", -1}});
    cCommonDialog dialog;
    dialog.setDialogTitle("Save File");
    dialog.setHwnd(&owner);
    dialog.CentreDialog(dialog.hwnd(), &form);
    dialog.setInitDir(dir_.path());
    dialog.setFilter(SndFilter);
    dialog.setDefaultExt(".SND");
    dialog.setFilename("PROPOSED.SND");
    dialog.ShowSave();
    QCOMPARE(driver.seenTitle, QStringLiteral("Save File"));
    QCOMPARE(driver.seenParent, &owner);
    QVERIFY((driver.seenCentre - form.frameGeometry().center()).manhattanLength() <= 8);
    QCOMPARE(dialog.Filename(), dir_.filePath("typed.SND"));
    QCOMPARE(dialog.FileTitle(), QStringLiteral("typed.SND"));
    QCOMPARE(dialog.FilterIndex(), 1);

    driver.Expect({{"other.wav", 1}});
    dialog.ShowSave();
    QCOMPARE(dialog.Filename(), dir_.filePath("other.wav"));
    QCOMPARE(dialog.FilterIndex(), 2);
    QVERIFY(dialog.Flags() & cCommonDialog::OFN_EXTENSIONDIFFERENT);
}

void tst_cCommonDialog::realDialogAsksBeforeReplacing() {
    const QString existing = dir_.filePath("exists.SND");
    QFile file(existing);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    QList<MsgBox::Shown> asked;
    MsgBox::SetResponder([&](const MsgBox::Shown& shown) {
        asked << shown;
        return asked.size() == 1 ? QMessageBox::No : QMessageBox::Yes;
    });

    DialogDriver driver({{"exists.SND", -1}, {"exists.SND", -1}});
    cCommonDialog dialog;
    dialog.setDialogTitle("Save File");
    dialog.setFlags(2);
    dialog.setInitDir(dir_.path());
    dialog.setDefaultExt(".SND");
    dialog.ShowSave();
    QCOMPARE(asked.size(), 2);
    QCOMPARE(asked.first().title, QStringLiteral("Save File"));
    QCOMPARE(asked.first().icon, QMessageBox::Warning);
    QVERIFY(asked.first().text.startsWith(existing + " already exists."));
    QCOMPARE(dialog.Filename(), existing);

    // Without the flag nobody is asked.
    asked.clear();
    driver.Expect({{"exists.SND", -1}});
    dialog.setFlags(0);
    dialog.ShowSave();
    QVERIFY(asked.isEmpty());
    QCOMPARE(dialog.Filename(), existing);
}

void tst_cCommonDialog::realDialogCancel() {
    QWidget window;
    window.setGeometry(600, 400, 500, 300);
    window.show();
    auto* owner = new QWidget(&window);  // a control of the window
    DialogDriver driver({{QString(), -1}});
    cCommonDialog dialog;
    dialog.setHwnd(owner);
    dialog.setCancelError(true);
    dialog.setInitDir(dir_.path());
    dialog.setFilename("PROPOSED.SND");
    const AppError error = Raised([&] { dialog.ShowSave(); });
    QVERIFY(driver.seen);
    // Without CentreDialog it opens over its owner's window.
    QVERIFY((driver.seenCentre - window.frameGeometry().center()).manhattanLength() <= 8);
    QCOMPARE(error.Number, 20001);
    QCOMPARE(dialog.Filename(), QString());
}

void tst_cCommonDialog::realDialogShowsItsColumnsWhole() {
    QFile file(dir_.filePath("A.SND"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    DialogDriver driver({{QString(), -1}});
    driver.waitForFiles = true;
    cCommonDialog dialog;
    dialog.setInitDir(dir_.path());
    dialog.setFilter(SndFilter);
    dialog.ShowSave();
    QVERIFY(driver.seen);
    QVERIFY2(driver.cutColumns.isEmpty(), qPrintable(driver.cutColumns.join(", ")));
}

QTEST_MAIN(tst_cCommonDialog)
#include "tst_cCommonDialog.moc"
