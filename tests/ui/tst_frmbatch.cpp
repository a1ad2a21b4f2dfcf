// The Batch dialog driven as a user drives it, over files generated in a fresh
// temporary folder per test; message boxes are answered through MsgBox's
// responder.

#include <QLabel>
#include <QLayout>
#include <QListWidget>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <csignal>
#include <memory>

#include "../sound/SoundFixtures.h"
#include "Inspection.h"
#include "MsgBox.h"
#include "QuillonButton.h"
#include "SignalQuit.h"
#include "SoundInfo.h"
#include "WindowTestKit.h"
#include "frmBatch.h"

using mUtility::SoundInfo;
using WindowTestKit::Child;

namespace {

QStringList Entries(const QListWidget* list) {
    QStringList entries;
    for (int i = 0; i < list->count(); ++i) entries << list->item(i)->text();
    return entries;
}

QPoint ItemCentre(QListWidget* list, const QString& entry) {
    const QList<QListWidgetItem*> found = list->findItems(entry, Qt::MatchExactly);
    if (found.isEmpty()) qFatal("no entry %s", qPrintable(entry));
    return list->visualItemRect(found.first()).center();
}

void ClickEntry(QListWidget* list, const QString& entry) {
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, ItemCentre(list, entry));
}

// The events a real double click delivers: press, release, double click, release.
void DoubleClickEntry(QListWidget* list, const QString& entry) {
    const QPoint at = ItemCentre(list, entry);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at);
}

Fixtures::Game Game(qint64 flag, qint64 id) {
    Fixtures::Game game;
    game.flag = flag;
    game.id = id;
    return game;
}

}  // namespace

class tst_frmBatch : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void listsOnlyTheSourceType();
    void movesEntriesInOrderOfArrival();
    void emptyListDoesNothing();
    void goWaitsForATarget();
    void convertsEveryEntryOverExistingFiles();
    void outputNameIsUpperCased();
    void keepsEachFilesFlagAndId();
    void wavSourcesTakeFlagAndIdFromRecord();
    void takesNoInputWhileConverting();
    void lyingHeaderStopsThereAndDialogStaysUsable();
    void clashingOutputsWriteNothing();
    // Last: the signal it raises stays received for the rest of the run.
    void terminationSignalStopsBetweenFiles();

private:
    // Writes the files, inspects `selected` as the main window does and opens the dialog.
    std::unique_ptr<frmBatch> Open(const QList<std::pair<QString, QByteArray>>& files,
                                   const QString& selected);
    void Click(frmBatch& dialog, const char* button) {
        WindowTestKit::Click(Child<QuillonButton>(&dialog, QString::fromLatin1(button)));
    }
    // A click on the indicator of optConvType(index).
    void ChooseTarget(frmBatch& dialog, int index) {
        auto* option = Child<QRadioButton>(&dialog, QStringLiteral("optConvType_%1").arg(index));
        QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(6, option->height() / 2));
    }
    QString Path(const QString& name) const { return dir_->filePath(name); }

    std::unique_ptr<QTemporaryDir> dir_;
    QList<MsgBox::Shown> boxes_;
};

void tst_frmBatch::initTestCase() {
    static QTemporaryDir registry;
    qputenv("ZEPHYRA_REGISTRY", registry.filePath(QStringLiteral("registry.sqlite3")).toUtf8());
    MsgBox::SetResponder([this](const MsgBox::Shown& box) {
        boxes_ << box;
        return QMessageBox::Ok;
    });
}

void tst_frmBatch::init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    boxes_.clear();
    SoundInfo = {};
}

void tst_frmBatch::cleanup() {
    dir_.reset();
}

void tst_frmBatch::cleanupTestCase() {
    MsgBox::SetResponder({});
}

std::unique_ptr<frmBatch> tst_frmBatch::Open(const QList<std::pair<QString, QByteArray>>& files,
                                             const QString& selected) {
    for (const auto& [name, bytes] : files) {
        if (!Fixtures::WriteFile(Path(name), bytes)) qFatal("cannot write %s", qPrintable(name));
    }
    mUtility::InspectFile(dir_->path(), selected, SoundInfo);
    auto dialog = std::make_unique<frmBatch>();
    dialog->show();
    dialog->activateWindow();
    if (!QTest::qWaitForWindowActive(dialog.get())) qWarning("dialog not active");
    return dialog;
}

void tst_frmBatch::listsOnlyTheSourceType() {
    const QByteArray game = Fixtures::GameFile({}, Fixtures::Samples(32));
    QVERIFY(QDir(dir_->path()).mkdir(QStringLiteral("folder.wsd")));
    auto dialog = Open({{QStringLiteral("b.wsd"), game},
                        {QStringLiteral("A.WSD"), game},
                        {QStringLiteral("c.snd"), game},
                        {QStringLiteral("d.wav"), Fixtures::WavFile({}, Fixtures::Samples(32))}},
                       QStringLiteral("b.wsd"));
    QCOMPARE(Entries(Child<QListWidget>(dialog.get(), QStringLiteral("BatchFileList"))),
             QStringList({QStringLiteral("A.WSD"), QStringLiteral("b.wsd")}));
    // The folder its outputs go to is in sight.
    QCOMPARE(Child<QLabel>(dialog.get(), QStringLiteral("lblFolder"))->toolTip(),
             QDir::toNativeSeparators(dir_->path()));
    QVERIFY(Entries(Child<QListWidget>(dialog.get(), QStringLiteral("ConvertList"))).isEmpty());
    QVERIFY(Child<QRadioButton>(dialog.get(), QStringLiteral("optConvType_0"))->isEnabled());
    QVERIFY(!Child<QRadioButton>(dialog.get(), QStringLiteral("optConvType_1"))->isEnabled());
    QVERIFY(Child<QRadioButton>(dialog.get(), QStringLiteral("optConvType_2"))->isEnabled());
    for (int i = 0; i < 3; ++i) {
        QVERIFY(!Child<QRadioButton>(dialog.get(), QStringLiteral("optConvType_%1").arg(i))
                     ->isChecked());
    }
}

void tst_frmBatch::movesEntriesInOrderOfArrival() {
    const QByteArray game = Fixtures::GameFile({}, Fixtures::Samples(16));
    auto dialog = Open({{QStringLiteral("a.snd"), game},
                        {QStringLiteral("b.snd"), game},
                        {QStringLiteral("c.snd"), game},
                        {QStringLiteral("d.snd"), game}},
                       QStringLiteral("a.snd"));
    auto* source = Child<QListWidget>(dialog.get(), QStringLiteral("BatchFileList"));
    auto* chosen = Child<QListWidget>(dialog.get(), QStringLiteral("ConvertList"));
    const auto names = [](std::initializer_list<const char*> list) {
        QStringList out;
        for (const char* n : list) out << QString::fromLatin1(n);
        return out;
    };

    Click(*dialog, "btnAdd_0");  // nothing highlighted yet
    QVERIFY(Entries(chosen).isEmpty());

    ClickEntry(source, QStringLiteral("c.snd"));
    Click(*dialog, "btnAdd_0");
    QCOMPARE(Entries(chosen), names({"c.snd"}));
    QCOMPARE(Entries(source), names({"a.snd", "b.snd", "d.snd"}));

    DoubleClickEntry(source, QStringLiteral("a.snd"));
    QCOMPARE(Entries(chosen), names({"c.snd", "a.snd"}));

    Click(*dialog, "btnAdd_1");
    QCOMPARE(Entries(chosen), names({"c.snd", "a.snd", "b.snd", "d.snd"}));
    QVERIFY(Entries(source).isEmpty());

    ClickEntry(chosen, QStringLiteral("a.snd"));
    Click(*dialog, "btnSubtract_0");
    DoubleClickEntry(chosen, QStringLiteral("d.snd"));
    QCOMPARE(Entries(source), names({"a.snd", "d.snd"}));
    QCOMPARE(Entries(chosen), names({"c.snd", "b.snd"}));

    Click(*dialog, "btnSubtract_1");
    QCOMPARE(Entries(source), names({"a.snd", "d.snd", "c.snd", "b.snd"}));
    QVERIFY(Entries(chosen).isEmpty());
}

void tst_frmBatch::emptyListDoesNothing() {
    auto dialog = Open({{QStringLiteral("one.snd"), Fixtures::GameFile({}, Fixtures::Samples(8))}},
                       QStringLiteral("one.snd"));
    Click(*dialog, "btnConvert");
    QVERIFY(boxes_.isEmpty());
    QVERIFY(dialog->isVisible());
}

void tst_frmBatch::goWaitsForATarget() {
    auto dialog = Open({{QStringLiteral("one.snd"), Fixtures::GameFile({}, Fixtures::Samples(8))}},
                       QStringLiteral("one.snd"));
    auto* go = Child<QuillonButton>(dialog.get(), QStringLiteral("btnConvert"));
    Click(*dialog, "btnAdd_1");
    QVERIFY(!go->isEnabled());
    Click(*dialog, "btnConvert");
    // Nothing reported, nothing written, the picks kept.
    QVERIFY(boxes_.isEmpty());
    QVERIFY(dialog->isVisible());
    QCOMPARE(Child<QListWidget>(dialog.get(), QStringLiteral("ConvertList"))->count(), 1);
    QCOMPARE(Fixtures::Entries(dir_->path()), QStringList({QStringLiteral("one.snd")}));

    ChooseTarget(*dialog, 2);
    QVERIFY(go->isEnabled());
}

void tst_frmBatch::convertsEveryEntryOverExistingFiles() {
    Fixtures::Game mono;
    mono.bits = 8;
    mono.channels = 1;
    mono.rate = 11025;
    const QByteArray a = Fixtures::Samples(100), b = Fixtures::Samples(333),
                     c = Fixtures::Samples(2);
    auto dialog = Open({{QStringLiteral("A.SND"), Fixtures::GameFile({}, a)},
                        {QStringLiteral("B.SND"), Fixtures::GameFile(mono, b)},
                        {QStringLiteral("C.SND"), Fixtures::GameFile({}, c)},
                        {QStringLiteral("B.WAV"), QByteArray(5000, 'x')}},
                       QStringLiteral("A.SND"));
    Click(*dialog, "btnAdd_1");
    ChooseTarget(*dialog, 2);
    Click(*dialog, "btnConvert");

    QCOMPARE(boxes_.size(), 1);
    QCOMPARE(boxes_[0].text, QStringLiteral("Operation was successful!  3 files were converted."));
    QVERIFY(!dialog->isVisible());
    for (const auto& [name, samples] : {std::pair{"A.WAV", a}, {"B.WAV", b}, {"C.WAV", c}}) {
        const QByteArray wav = Fixtures::ReadFile(Path(QString::fromLatin1(name)));
        QCOMPARE(wav.left(4), QByteArray("RIFF"));
        QCOMPARE(wav.mid(44), samples);
    }
    const QByteArray b8 = Fixtures::ReadFile(Path(QStringLiteral("B.WAV")));
    QCOMPARE(Fixtures::Get16(b8, 22), qint16(1));
    QCOMPARE(Fixtures::Get32(b8, 24), 11025);
    QCOMPARE(Fixtures::Get16(b8, 34), qint16(8));
}

void tst_frmBatch::outputNameIsUpperCased() {
    QCOMPARE(mUtility::OutputName(QStringLiteral("a.snd.snd"), QStringLiteral("SND"),
                                  QStringLiteral("WAV")),
             QStringLiteral("A.WAV.WAV"));

    const QByteArray original = Fixtures::GameFile(Game(0, 5), Fixtures::Samples(77));
    auto dialog = Open({{QStringLiteral("boom.snd"), original}}, QStringLiteral("boom.snd"));
    ClickEntry(Child<QListWidget>(dialog.get(), QStringLiteral("BatchFileList")),
               QStringLiteral("boom.snd"));
    Click(*dialog, "btnAdd_0");
    ChooseTarget(*dialog, 1);
    Click(*dialog, "btnConvert");

    QCOMPARE(Fixtures::Entries(dir_->path()),
             QStringList({QStringLiteral("BOOM.WSD"), QStringLiteral("boom.snd")}));
    QCOMPARE(Fixtures::ReadFile(Path(QStringLiteral("boom.snd"))), original);
    QCOMPARE(Fixtures::ReadFile(Path(QStringLiteral("BOOM.WSD"))), original);
    QCOMPARE(SoundInfo.WsdName, QStringLiteral("BOOM.WSD"));
}

void tst_frmBatch::keepsEachFilesFlagAndId() {
    auto dialog = Open({{QStringLiteral("x.snd"), Fixtures::GameFile(Game(2, 111), {})},
                        {QStringLiteral("y.snd"), Fixtures::GameFile(Game(0, 222), {})}},
                       QStringLiteral("x.snd"));
    Click(*dialog, "btnAdd_1");
    ChooseTarget(*dialog, 1);
    Click(*dialog, "btnConvert");
    QCOMPARE(Fixtures::GameFields(Fixtures::ReadFile(Path(QStringLiteral("X.WSD")))).mid(0, 2),
             QList<qint32>({2, 111}));
    QCOMPARE(Fixtures::GameFields(Fixtures::ReadFile(Path(QStringLiteral("Y.WSD")))).mid(0, 2),
             QList<qint32>({0, 222}));
}

void tst_frmBatch::wavSourcesTakeFlagAndIdFromRecord() {
    auto dialog = Open({{QStringLiteral("w.wav"), Fixtures::WavFile({}, Fixtures::Samples(20))}},
                       QStringLiteral("w.wav"));
    // As the Convert dialog may have left them.
    SoundInfo.EightBitFlag = 2;
    SoundInfo.InternalID = 4321;
    Click(*dialog, "btnAdd_1");
    ChooseTarget(*dialog, 0);
    Click(*dialog, "btnConvert");
    const QByteArray snd = Fixtures::ReadFile(Path(QStringLiteral("W.SND")));
    QCOMPARE(Fixtures::GameFields(snd).mid(0, 4), QList<qint32>({2, 4321, 20, 44100}));
    QCOMPARE(snd.mid(28), Fixtures::Samples(20));
}

void tst_frmBatch::takesNoInputWhileConverting() {
    const QByteArray game = Fixtures::GameFile({}, Fixtures::Samples(64));
    auto dialog = Open({{QStringLiteral("p.snd"), game}, {QStringLiteral("q.snd"), game}},
                       QStringLiteral("p.snd"));
    Click(*dialog, "btnAdd_1");
    ChooseTarget(*dialog, 2);

    // Runs while the conversion lets the window paint between files. The
    // progress line appearing must not move the lists.
    auto* lists = Child<QListWidget>(dialog.get(), QStringLiteral("ConvertList"));
    const QRect listBefore = lists->geometry();
    QRect listDuring;
    bool ran = false, goEnabled = true, listEnabled = true;
    Qt::CursorShape cursor = Qt::ArrowCursor;
    QString progress;
    QTimer::singleShot(0, dialog.get(), [&] {
        ran = true;
        goEnabled = Child<QuillonButton>(dialog.get(), QStringLiteral("btnConvert"))->isEnabled();
        listEnabled = Child<QListWidget>(dialog.get(), QStringLiteral("ConvertList"))->isEnabled();
        cursor = dialog->cursor().shape();
        progress = Child<QLabel>(dialog.get(), QStringLiteral("lblProgress"))->text();
        dialog->layout()->activate();
        listDuring = lists->geometry();
        dialog->reject();  // as Esc or the close box would
    });
    Click(*dialog, "btnConvert");

    QVERIFY(ran);
    QVERIFY(!goEnabled);
    QVERIFY(!listEnabled);
    QCOMPARE(cursor, Qt::WaitCursor);
    QCOMPARE(listDuring, listBefore);
    QVERIFY2(progress.contains(QStringLiteral("p.snd")), qPrintable(progress));
    QCOMPARE(boxes_.value(0).text,
             QStringLiteral("Operation was successful!  2 files were converted."));
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
}

void tst_frmBatch::lyingHeaderStopsThereAndDialogStaysUsable() {
    Fixtures::Game lying;
    lying.length = 100000;  // far beyond the bytes that follow
    const QByteArray good = Fixtures::GameFile({}, Fixtures::Samples(50));
    auto dialog = Open({{QStringLiteral("1.snd"), good},
                        {QStringLiteral("2.snd"), good},
                        {QStringLiteral("3.snd"), Fixtures::GameFile(lying, Fixtures::Samples(50))},
                        {QStringLiteral("4.snd"), good}},
                       QStringLiteral("1.snd"));
    Click(*dialog, "btnAdd_1");
    ChooseTarget(*dialog, 2);
    Click(*dialog, "btnConvert");

    QCOMPARE(boxes_.size(), 1);
    QCOMPARE(boxes_[0].icon, QMessageBox::Critical);
    QVERIFY2(boxes_[0].text.contains(QStringLiteral("frmBatch.btnConvert_Click()")),
             qPrintable(boxes_[0].text));
    QVERIFY2(boxes_[0].text.contains(QStringLiteral("2 of 4 converted; stopped at 3.snd")),
             qPrintable(boxes_[0].text));
    QVERIFY(QFile::exists(Path(QStringLiteral("1.WAV"))));
    QVERIFY(QFile::exists(Path(QStringLiteral("2.WAV"))));
    QVERIFY(!QFile::exists(Path(QStringLiteral("3.WAV"))));
    QVERIFY(!QFile::exists(Path(QStringLiteral("4.WAV"))));

    // Usable again, with the failing entry highlighted.
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->cursor().shape(), Qt::ArrowCursor);
    auto* chosen = Child<QListWidget>(dialog.get(), QStringLiteral("ConvertList"));
    QVERIFY(chosen->isEnabled());
    QCOMPARE(chosen->currentItem()->text(), QStringLiteral("3.snd"));
    QVERIFY(Child<QLabel>(dialog.get(), QStringLiteral("lblProgress"))
                ->text()
                .contains(QStringLiteral("3.snd")));
    QVERIFY(!Child<QRadioButton>(dialog.get(), QStringLiteral("optConvType_0"))->isEnabled());

    boxes_.clear();
    Click(*dialog, "btnSubtract_0");
    Click(*dialog, "btnConvert");
    QCOMPARE(boxes_.value(0).text,
             QStringLiteral("Operation was successful!  3 files were converted."));
    QVERIFY(QFile::exists(Path(QStringLiteral("4.WAV"))));
}

// Two entries that would give one output are refused before anything is written.
void tst_frmBatch::clashingOutputsWriteNothing() {
    const QByteArray first = Fixtures::GameFile(Game(0, 1), Fixtures::Samples(40));
    auto dialog = Open({{QStringLiteral("BOOM.SND"), first},
                        {QStringLiteral("boom.snd"), Fixtures::GameFile(Game(0, 2), {})}},
                       QStringLiteral("BOOM.SND"));
    Click(*dialog, "btnAdd_1");
    ChooseTarget(*dialog, 1);
    Click(*dialog, "btnConvert");
    QCOMPARE(boxes_.size(), 1);
    QVERIFY2(boxes_[0].text.contains(
                 QStringLiteral("BOOM.SND and boom.snd would both be converted to BOOM.WSD")),
             qPrintable(boxes_[0].text));
    QCOMPARE(Fixtures::Entries(dir_->path()),
             QStringList({QStringLiteral("BOOM.SND"), QStringLiteral("boom.snd")}));
}

void tst_frmBatch::terminationSignalStopsBetweenFiles() {
    SignalQuit::Install();
    const QByteArray game = Fixtures::GameFile({}, Fixtures::Samples(64));
    QList<std::pair<QString, QByteArray>> files;
    for (int i = 0; i < 6; ++i) files.append({QStringLiteral("%1.snd").arg(i), game});
    auto dialog = Open(files, QStringLiteral("0.snd"));
    Click(*dialog, "btnAdd_1");
    ChooseTarget(*dialog, 2);
    QTimer::singleShot(0, dialog.get(), [] { ::raise(SIGTERM); });
    Click(*dialog, "btnConvert");

    QCOMPARE(SignalQuit::Received(), SIGTERM);
    QVERIFY(boxes_.isEmpty());  // no success for a run that did not end
    QVERIFY(!dialog->isVisible());
    QStringList written;
    for (const QString& name : Fixtures::Entries(dir_->path())) {
        if (!name.endsWith(QStringLiteral(".WAV"))) {
            QVERIFY2(name.endsWith(QStringLiteral(".snd")), qPrintable(name));  // nothing partial
            continue;
        }
        written << name;
        QCOMPARE(QFileInfo(Path(name)).size(), 44 + 64);  // each one whole
    }
    QVERIFY2(!written.isEmpty() && written.size() < 6, qPrintable(written.join(' ')));
}

QTEST_MAIN(tst_frmBatch)
#include "tst_frmbatch.moc"
