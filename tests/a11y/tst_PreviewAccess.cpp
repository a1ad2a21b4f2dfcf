// The preview window as assistive technology and the keyboard meet it: named
// commands whose availability is announced, channel views that describe what
// they show, values read with their captions, and playback pressed through the
// accessibility interface.
#include <QLabel>
#include <QTemporaryDir>
#include <QtTest>

#include "../preview/PreviewFixture.h"
#include "A11yWalk.h"
#include "PreviewFile.h"
#include "QuillonButton.h"
#include "SoundInfo.h"
#include "frmPreview.h"

using namespace a11y;

class tst_PreviewAccess : public QObject {
    Q_OBJECT

    QTemporaryDir tmp_;

    std::unique_ptr<frmPreview> Open(int channels) {
        const QString source = tmp_.filePath("SOURCE.SND");
        if (!MakeSndSource(source, 22050, 16, channels, 22050)) return nullptr;
        mUtility::sPreviewFile = PreviewFile::Write(source, mUtility::SoundInfo);
        auto form = std::make_unique<frmPreview>();
        if (!Activate(form.get())) qWarning("preview not active");
        form->Form_Load();
        return form;
    }
    static QuillonButton* Button(QWidget& form, const char* name) {
        return form.findChild<QuillonButton*>(QLatin1String(name));
    }
    static bool Unavailable(QWidget& form, const char* name) {
        return Of(Button(form, name))->state().disabled;
    }

private slots:
    void initTestCase() {
        QVERIFY(tmp_.isValid());
        qputenv("TMPDIR", QFile::encodeName(tmp_.path()));
    }

    void commandsViewsAndValuesAreNamed() {
        auto form = Open(2);
        QVERIFY(form);
        QCOMPARE(Of(form.get())->text(QAccessible::Name), QString("Sound Preview"));
        A11Y_NONE(Unnamed(form.get()));
        const struct {
            const char* name;
            const char* description;
        } commands[] = {{"Play", "Play the sound"}, {"Pause", "Pause playback"},
                        {"Stop", "Stop playback"},  {"Loop", "Loop the sound"},
                        {"Exit", "Exit preview"}};
        for (const auto& command : commands) {
            QAccessibleInterface* button = Find(form.get(), QAccessible::Button, command.name);
            QVERIFY2(button, command.name);
            QCOMPARE(button->text(QAccessible::Description), QString(command.description));
        }
        QVERIFY(Unavailable(*form, "btnPause"));
        QVERIFY(Unavailable(*form, "btnStop"));
        QVERIFY(!Unavailable(*form, "btnPlay"));

        for (const char* view : {"Left channel", "Right channel"}) {
            QAccessibleInterface* face = Find(form.get(), QAccessible::Client, view);
            QVERIFY2(face, qPrintable(Describe(form.get())));
            QVERIFY2(face->text(QAccessible::Description).startsWith("No selection: the whole sound"),
                     qPrintable(face->text(QAccessible::Description)));
        }

        const struct {
            const char* value;
            const char* caption;
        } rows[] = {{"lblSampleRate", "Sample Rate:"}, {"lblBitDepth", "Bit Depth:"},
                    {"lblChannels", "Channels:"},      {"lblNumSamples", "Num of Samples:"},
                    {"lblLength", "Length:"}};
        for (const auto& row : rows) {
            auto* value = form->findChild<QLabel*>(QLatin1String(row.value));
            QCOMPARE(LabelsOf(value), QStringList{row.caption});
            QCOMPARE(Of(value)->text(QAccessible::Name), value->text());
        }
        QCOMPARE(Of(form->findChild<QLabel*>("lblTimeEnd"))->text(QAccessible::Description),
                 QString("Selection end, seconds"));
    }

    void singleChannelViewSaysSo() {
        auto form = Open(1);
        QVERIFY(form);
        QVERIFY(Find(form.get(), QAccessible::Client, "Single channel"));
        QVERIFY(!Find(form.get(), QAccessible::Client, "Right channel"));
    }

    // Tab reaches the commands that can be used, in the order they are shown.
    void playbackFromTheInterfaceAndTheKeyboard() {
        auto form = Open(2);
        QVERIFY(form);
        A11Y_SAME(TabChain(Button(*form, "btnPlay")), (QStringList{"btnPlay", "btnLoop", "btnExit"}));

        Press(Button(*form, "btnPlay"));
        QCOMPARE(form->ActionIcon(), QString("PLAY"));
        QCOMPARE(FocusName(QApplication::focusWidget()), QString("picLeftChannel"));
        QTRY_VERIFY(!Unavailable(*form, "btnPause"));
        QVERIFY(Unavailable(*form, "btnPlay"));
        A11Y_SAME(TabChain(Button(*form, "btnPause")), (QStringList{"btnPause", "btnStop", "btnExit"}));

        Press(Button(*form, "btnStop"));
        QCOMPARE(form->ActionIcon(), QString("STOP"));
        QVERIFY(!Unavailable(*form, "btnPlay"));
        QVERIFY(Unavailable(*form, "btnStop"));

        Press(Button(*form, "btnExit"));
        QVERIFY(!form->isVisible());
        QVERIFY(!QFile::exists(mUtility::sPreviewFile));
    }
};

QTEST_MAIN(tst_PreviewAccess)
#include "tst_PreviewAccess.moc"
