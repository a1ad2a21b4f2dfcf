#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QWheelEvent>
#include <QtTest>

#include "AppError.h"
#include "EditFile.h"
#include "EditOperations.h"
#include "MsgBox.h"
#include "NullPcmSink.h"
#include "PreviewEditMenu.h"
#include "PreviewEditor.h"
#include "PreviewFile.h"
#include "PreviewFixture.h"
#include "SoundLoudness.h"
#include "SummaryCheck.h"
#include "WaveView.h"
#include "ZoomMath.h"
#include "cCommonDialog.h"
#include "cFileSystem.h"
#include "frmPreview.h"

// Editing in the preview window, driven by key, mouse and wheel events on
// its widgets, checked against the edit engine and the bytes written.
class tst_PreviewEditing : public QObject {
    Q_OBJECT

    QTemporaryDir tmp_;
    QString source_;

    // `quiet`: a low triangle instead of the fixture's full-scale ramp, so
    // that the trace stays near the centre line and leaves the lanes' edges bare.
    std::unique_ptr<frmPreview> open(int bits, int channels, qint64 frames, bool quiet = false) {
        source_ = tmp_.filePath("SOURCE.SND");
        if (!MakeSndSource(source_, 22050, bits, channels, frames)) return nullptr;
        if (quiet) {
            QByteArray data(frames * channels * bits / 8, '\0');
            for (qint64 i = 0; i < frames * channels; ++i)
                qToLittleEndian<qint16>(qint16(i % 200 - 100), data.data() + 2 * i);
            if (!WriteSamples(source_, data)) return nullptr;
        }
        mUtility::SoundInfo.Folder = tmp_.path();
        mUtility::SoundInfo.DiskName = QStringLiteral("SOURCE.SND");
        mUtility::sPreviewFile = PreviewFile::Write(source_, mUtility::SoundInfo);
        auto form = std::make_unique<frmPreview>();
        form->show();
        form->Form_Load();
        form->activateWindow();
        if (!QTest::qWaitForWindowActive(form.get())) return nullptr;
        return form;
    }
    static QByteArray bytes(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static void wheel(QWidget* w, QPoint at, int steps, Qt::KeyboardModifiers mods) {
        QWheelEvent e(at, w->mapToGlobal(at), {}, QPoint(0, 120 * steps), Qt::NoButton, mods,
                      Qt::NoScrollPhase, false);
        QApplication::sendEvent(w, &e);
    }
    static void drag(WaveView* view, int x0, int x1) {
        const int y = view->height() / 2;
        QTest::mousePress(view, Qt::LeftButton, {}, QPoint(x0, y));
        QTest::mouseMove(view, QPoint(x1, y));
        QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(x1, y));
    }
    static QAction* action(frmPreview& form, const QString& text) {
        for (QAction* a : form.editMenu()->menuBar()->findChildren<QAction*>())
            if (a->text().remove('&').startsWith(text)) return a;
        return nullptr;
    }
    static bool unsavedMark(const frmPreview& form) {
        return form.windowTitle().contains("(edited)");
    }
    // The column where the view draws frame `f` (its left edge).
    static int column(const WaveView* v, double f) {
        return int(std::floor(ZoomMath::XOf(f, v->firstFrame(), v->perPixel())));
    }
    // The frame under column x, worked out by hand: the view shows frames
    // from firstFrame() at perPixel() frames a column.
    static qint64 under(const WaveView* v, double x) {
        return qint64(std::floor(v->firstFrame() + x * v->perPixel()));
    }
    // The frame the view reports under column x as the pointer moves there.
    static qint64 reported(WaveView* v, int x) {
        QSignalSpy shown(v, &WaveView::positionShown);
        const QPointF at(x, v->height() / 2);
        QMouseEvent move(QEvent::MouseMove, at, v->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(v, &move);
        return shown.isEmpty() ? -1 : shown.last().at(0).toLongLong();
    }
    static std::vector<qint16> frames(const QString& path) {
        return EditFile(path).Sound().ReadAll();
    }

private slots:
    void initTestCase() {
        qputenv("TMPDIR", QFile::encodeName(tmp_.path()));
        NullPcmSink::SetClock([] { return qint64(0); });
        QLocale::setDefault(QLocale::c());
    }
    void cleanupTestCase() { NullPcmSink::SetClock({}); }

    // Zooming by wheel, keys and the View menu's shortcuts: the frame under
    // the pointer stays put, the selection keeps its frames and is drawn
    // where they lie, and the ruler's ticks and the marker fall on their frames.
    void zoomKeepsTheViewExact() {
        auto form = open(16, 2, 4 * 22050, true);
        QVERIFY(form);
        WaveView* view = form->waveView();
        QVERIFY(!view->isVisible());  // a window never zoomed shows the fixed view
        QCOMPARE(form->windowTitle(), QString("Sound Preview"));

        const QRect area = form->findChild<QWidget*>("picMain")->geometry();
        wheel(form.get(), area.center(), 3, Qt::ControlModifier);
        QVERIFY(view->isVisible());
        QVERIFY(form->editor().IsLoaded());
        QVERIFY(view->perPixel() < ZoomMath::FitPerPixel(4 * 22050, view->width()));
        QVERIFY(!unsavedMark(*form));

        const int x = view->width() / 3;
        const qint64 pointed = under(view, x);
        QCOMPARE(reported(view, x), pointed);
        wheel(view, QPoint(x, 40), 2, Qt::ControlModifier);
        QCOMPARE(under(view, x), pointed);
        QCOMPARE(reported(view, x), pointed);

        drag(view, view->width() / 4, view->width() / 2);
        QVERIFY(view->hasSelection());
        const qint64 first = view->selectionFirst(), last = view->selectionLast();
        QCOMPARE(first, under(view, view->width() / 4));
        QCOMPARE(last, under(view, view->width() / 2));
        QCOMPARE(form->Selection().lblSampBegin, QString::number(first));
        QCOMPARE(form->Selection().lblSampEnd, QString::number(last));

        // The selection's first and last columns, the tick of each ruler
        // label and the marker, in the picture the view draws.
        auto check = [&](const char* step) {
            const QImage img = view->grab().toImage();
            const int y = 19;  // just below the ruler, above any trace
            const QColor selection(0, 0, 150);
            auto is = [&](int x, const QColor& c) {
                return x < 0 || x >= img.width() || img.pixelColor(x, y) == c;
            };
            const int c0 = column(view, double(view->selectionFirst()));
            const int c1 = column(view, double(view->selectionLast() + 1));
            QVERIFY2(is(c0, selection) && is(c1 - 1, selection), step);
            QVERIFY2(!is(c0 - 1, selection) || c0 - 1 < 0, step);
            QVERIFY2(!is(c1, selection) || c1 >= img.width(), step);
            const double every = ZoomMath::RulerStep(view->perPixel(), 22050, 90);
            int ticks = 0;
            for (qint64 k = 0; k * every * 22050 < 4 * 22050; ++k) {
                const int x = column(view, k * every * 22050);
                if (x < 0 || x >= img.width()) continue;
                ++ticks;
                QVERIFY2(img.pixelColor(x, 15) == view->palette().windowText().color(), step);
                QVERIFY2(x + 1 >= img.width() ||
                             img.pixelColor(x + 1, 15) == view->palette().window().color(),
                         step);
            }
            QVERIFY2(ticks >= 2, step);
            const qint64 at = under(view, view->width() / 2);
            view->setMarker(at);
            const QImage marked = view->grab().toImage();
            QVERIFY2(marked.pixelColor(column(view, double(at)), y + 5) == Qt::red, step);
            QVERIFY2(marked.pixelColor(column(view, double(at)) + 1, y + 5) != Qt::red, step);
            view->setMarker(-1);
        };
        check("after a drag");
        view->setFocus();
        QTest::keyClick(view, Qt::Key_Plus);
        QCOMPARE(view->selectionFirst(), first);
        check("after +");
        QTest::keyClick(form.get(), Qt::Key_E, Qt::ControlModifier);  // zoom to the selection
        QCOMPARE(view->firstFrame(), double(first));
        QCOMPARE(view->perPixel() * view->width(), double(last - first + 1));
        check("zoomed to the selection");
        for (int i = 0; i < 10; ++i) QTest::keyClick(view, Qt::Key_Plus);
        QVERIFY(view->perPixel() < 1);  // frames drawn as steps
        QCOMPARE(view->perPixel(), ZoomMath::kClosest);
        check("at the closest zoom");
        QTest::keyClick(view, Qt::Key_Right, Qt::ShiftModifier);
        QCOMPARE(view->selectionLast(), last + 1);
        QTest::keyClick(view, Qt::Key_Left, Qt::ShiftModifier | Qt::ControlModifier);
        QCOMPARE(view->selectionFirst(), first - 1);
        QCOMPARE(form->Selection().lblSampBegin, QString::number(first - 1));
        QTest::keyClick(form.get(), Qt::Key_0, Qt::ControlModifier);  // fit
        QCOMPARE(view->firstFrame(), 0.0);
        QCOMPARE(view->perPixel(), ZoomMath::FitPerPixel(4 * 22050, view->width()));
        check("fitted again");

        // A larger window: the view grows with it and still shows the whole sound.
        const int before = view->width();
        form->resize(form->width() + 300, form->height() + 200);
        QCOMPARE(view->width(), before + 300);
        QCOMPARE(view->perPixel(), ZoomMath::FitPerPixel(4 * 22050, view->width()));
        QVERIFY(!unsavedMark(*form));
        QVERIFY(form->close());
    }

    void lastFrameAtEveryZoom_data() {
        QTest::addColumn<int>("steps");  // of Ctrl + wheel, in from the whole sound
        QTest::newRow("whole sound") << 0;
        QTest::newRow("zoomed in") << 6;
        QTest::newRow("closest") << 60;
    }

    // Scrolled to the end at any zoom, the sound ends at the right edge, the
    // last column holds the frame the arithmetic gives, and a drag past the
    // edge ends on the last frame, never beyond it.
    void lastFrameAtEveryZoom() {
        QFETCH(int, steps);
        auto form = open(16, 1, 22050, true);
        QVERIFY(form);
        QVERIFY(form->enterEditing());
        WaveView* view = form->waveView();
        const int w = view->width();
        if (steps) wheel(view, QPoint(w / 2, 40), steps, Qt::ControlModifier);
        wheel(view, QPoint(w / 2, 40), -100000, {});  // far past the end
        // Each step zooms in 1.25 times, down to one frame in 16 columns.
        const double perPixel = std::max(1.0 / 16, 22050.0 / w / std::pow(1.25, steps));
        QVERIFY(qFuzzyCompare(view->perPixel(), perPixel));
        QVERIFY(qFuzzyCompare(view->firstFrame() + w * perPixel, 22050.0));
        const qint64 lastColumn = steps == 60 ? 22049 : under(view, w - 1);
        QCOMPARE(reported(view, w - 1), lastColumn);
        QCOMPARE(reported(view, w + 40), qint64(22049));
        drag(view, w / 2, w + 40);
        QCOMPARE(view->selectionFirst(), under(view, w / 2));
        QCOMPARE(view->selectionLast(), qint64(22049));
        QCOMPARE(form->Selection().lblSampEnd, QString("22049"));
        QVERIFY(form->close());
    }

    // Fade Out, undo and redo with the keys give the engine's frames, the
    // Edit menu names what it takes back, and the title's mark follows.
    void editUndoRedo() {
        auto form = open(16, 1, 22050);
        QVERIFY(form);
        const EditedSound original = EditFile(source_).Sound();
        QVERIFY(action(*form, "Fade Out"));
        action(*form, "Fade Out")->trigger();  // nothing selected: the whole sound
        WaveView* view = form->waveView();
        QVERIFY(view->isVisible());
        const auto faded = EditOperations::FadeOut(original, 0, 22050).sound.ReadAll();
        QVERIFY(form->editor().Sound().ReadAll() == faded);
        QVERIFY(unsavedMark(*form));
        QCOMPARE(action(*form, "Undo")->text(), QString("&Undo Fade Out"));
        // The loudness figure is the edited sound's, as it would be saved.
        const QString copy = tmp_.filePath("FADED.SND");
        form->editor().SaveRange(0, 22049, copy);
        const auto figure = [](const QString& path) {
            const auto f = Loudness::MeasureFile(path);
            return SelectionLoudness::LoudnessText(f) + ", " + SelectionLoudness::TruePeakText(f);
        };
        QVERIFY(figure(copy) != figure(source_));
        QTRY_COMPARE(form->findChild<QLabel*>("lblLoudness")->text(), figure(copy));

        drag(view, 10, view->width() / 2);
        const qint64 first = view->selectionFirst(), last = view->selectionLast();
        QTest::keyClick(view, Qt::Key_Delete);
        const auto deleted =
            EditOperations::Delete(EditOperations::FadeOut(original, 0, 22050).sound, first,
                                   last - first + 1)
                .sound.ReadAll();
        QVERIFY(form->editor().Sound().ReadAll() == deleted);
        QCOMPARE(form->findChild<QLabel*>("lblNumSamples")->text(),
                 QString::number(22050 - (last - first + 1)));
        QCOMPARE(form->findChild<QLabel*>("lblFilesize")->text(),
                 "Size: " + cFileSystem().FormatSize(44 + 2 * (22050 - (last - first + 1))));

        QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(form->editor().Sound().ReadAll() == faded);
        QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(form->editor().Sound().ReadAll() == original.ReadAll());
        QVERIFY(!unsavedMark(*form));
        QVERIFY(!action(*form, "Undo")->isEnabled());
        QCOMPARE(action(*form, "Redo")->text(), QString("&Redo Fade Out"));
        QTest::keyClick(view, Qt::Key_Y, Qt::ControlModifier);
        QVERIFY(form->editor().Sound().ReadAll() == faded);
        QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(form->editor().Sound().ReadAll() == deleted);
        QVERIFY(unsavedMark(*form));

        // Delete with nothing selected would empty the sound: it does nothing.
        QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(20, view->height() / 2));
        QVERIFY(!view->hasSelection());
        QTest::keyClick(view, Qt::Key_Delete);
        QVERIFY(form->editor().Sound().ReadAll() == deleted);

        MsgBox::SetResponder([](const MsgBox::Shown&) { return QMessageBox::Discard; });
        QVERIFY(form->close());
        MsgBox::SetResponder({});
    }

    void saveWritesTheEditedSound_data() {
        QTest::addColumn<int>("bits");
        QTest::addColumn<int>("channels");
        QTest::addColumn<QString>("name");  // "" saves over the source
        QTest::newRow("Save, 16-bit stereo") << 16 << 2 << "";
        QTest::newRow("Save, 8-bit mono") << 8 << 1 << "";
        QTest::newRow("Save As SND") << 16 << 1 << "OTHER.SND";
        QTest::newRow("Save As WSD") << 8 << 2 << "OTHER.WSD";
        QTest::newRow("Save As WAV") << 16 << 2 << "other.wav";
    }

    // The file written holds the edited frames with the source's header
    // values; only the data length differs. Save As leaves the source as it was.
    void saveWritesTheEditedSound() {
        QFETCH(int, bits);
        QFETCH(int, channels);
        QFETCH(QString, name);
        auto form = open(bits, channels, 11025);
        QVERIFY(form);
        const QByteArray before = bytes(source_);
        WaveView* view = form->waveView();
        form->enterEditing();
        drag(view, view->width() / 5, view->width() / 3);
        form->editMenu()->apply(PreviewEditMenu::Edit::Gain, -6.0206);
        form->editMenu()->apply(PreviewEditMenu::Edit::Crop);
        const auto edited = form->editor().Sound().ReadAll();
        const qint64 kept = form->editor().Sound().Frames();
        QVERIFY(kept > 0 && kept < 11025);

        const QString dest = name.isEmpty() ? source_ : tmp_.filePath(name);
        QList<SaveRequest> asked;
        cCommonDialog::SetChooser([&](const SaveRequest& r) -> std::optional<QString> {
            asked << r;
            return dest;
        });
        QTest::keyClick(
            view, Qt::Key_S,
            name.isEmpty() ? Qt::ControlModifier : Qt::ControlModifier | Qt::ShiftModifier);
        cCommonDialog::SetChooser({});
        QCOMPARE(asked.size(), name.isEmpty() ? 0 : 1);
        QCOMPARE(unsavedMark(*form), !name.isEmpty());

        const QByteArray after = bytes(dest);
        const qint64 data = kept * bits / 8 * channels;
        QVERIFY(frames(dest) == edited);
        if (name.endsWith(".wav")) {
            QCOMPARE(after.left(4), QByteArray("RIFF"));
            QCOMPARE(after.size(), 44 + data);
            QCOMPARE(qFromLittleEndian<quint32>(after.constData() + 24), 22050u);
            QCOMPARE(qFromLittleEndian<quint16>(after.constData() + 22), quint16(channels));
            QCOMPARE(qFromLittleEndian<quint16>(after.constData() + 34), quint16(bits));
        } else {
            QCOMPARE(after.size(), 28 + data);
            QVERIFY(after.left(8) == before.left(8));  // flag and ID
            QCOMPARE(qFromLittleEndian<qint32>(after.constData() + 8), qint32(data));
            QVERIFY(after.mid(12, 16) == before.mid(12, 16));  // rate, bits, channels
        }
        if (!name.isEmpty()) QVERIFY(bytes(source_) == before);
        MsgBox::SetResponder([](const MsgBox::Shown&) { return QMessageBox::Discard; });
        form->close();
        MsgBox::SetResponder({});
    }

    void closeAsks_data() {
        QTest::addColumn<int>("answer");
        QTest::newRow("Save") << int(QMessageBox::Save);
        QTest::newRow("Discard") << int(QMessageBox::Discard);
        QTest::newRow("Cancel") << int(QMessageBox::Cancel);
    }

    // Escape with unsaved edits asks once; each answer does what it says.
    void closeAsks() {
        QFETCH(int, answer);
        auto form = open(16, 1, 8000);
        QVERIFY(form);
        const QByteArray before = bytes(source_);
        form->editMenu()->apply(PreviewEditMenu::Edit::Silence);
        const auto silent = form->editor().Sound().ReadAll();
        QList<MsgBox::Shown> asked;
        MsgBox::SetResponder([&](const MsgBox::Shown& box) {
            asked << box;
            return QMessageBox::StandardButton(answer);
        });
        QTest::keyClick(form->waveView(), Qt::Key_Escape);
        QCOMPARE(asked.size(), 1);
        QCOMPARE(asked[0].text, QString("Save changes to TEST.SND?"));
        QCOMPARE(asked[0].buttons, QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
        const bool stays = answer == QMessageBox::Cancel;
        QCOMPARE(form->isVisible(), stays);
        QCOMPARE(bytes(source_) == before, answer != QMessageBox::Save);
        if (answer == QMessageBox::Save) QVERIFY(frames(source_) == silent);
        if (stays) {
            QVERIFY(unsavedMark(*form));
            QVERIFY(QFile::exists(mUtility::sPreviewFile));
            QTest::keyClick(form->waveView(), Qt::Key_Z, Qt::ControlModifier);
            QVERIFY(!unsavedMark(*form));
            asked.clear();
            QVERIFY(form->close());  // nothing unsaved: no question
            QVERIFY(asked.isEmpty());
        }
        QVERIFY(!QFile::exists(mUtility::sPreviewFile));
        MsgBox::SetResponder({});
    }

    // A sound of no frames is neither opened for editing nor left by a
    // delete, in the words zsnd edit uses; a typed selection outside the
    // sound, however far, selects nothing.
    void noFramesIsOneRule() {
        const QString rule = "an edit needs at least one frame, before and after";
        const QString empty = tmp_.filePath("EMPTY.SND");
        QVERIFY(MakeSndSource(empty, 22050, 16, 1, 0));
        PreviewEditor editor;
        try {
            editor.Load(empty);
            QFAIL("a sound of no frames was opened for editing");
        } catch (const AppError& e) {
            QVERIFY2(e.Description.contains(rule), qPrintable(e.Description));
        }
        auto form = open(16, 1, 1000);
        QVERIFY(form && form->enterEditing());
        PreviewEditMenu* menu = form->editMenu();
        QSignalSpy said(menu, &PreviewEditMenu::message);
        for (const char* outside : {"0 1000", "900000000000000s 10", "0 99999999999999999999"})
            QVERIFY2(!menu->setSelectionText(outside), outside);
        QVERIFY(!form->waveView()->hasSelection());
        QVERIFY(menu->setSelectionText("0 999"));
        menu->apply(PreviewEditMenu::Edit::Delete);
        QCOMPARE(form->editor().Sound().Frames(), qint64(1000));
        QVERIFY(!said.isEmpty() && said.last().at(0).toString().contains(rule));
        QVERIFY(form->close());
    }

    // A history longer than the summaries kept: every version, walked back and
    // forth, still has the summary of its own samples.
    void longHistoryKeepsEachSummaryRight() {
        source_ = tmp_.filePath("LONG.SND");
        QVERIFY(MakeSndSource(source_, 22050, 16, 1, 22050));
        PreviewEditor editor;
        editor.Load(source_);
        const auto right = [&] { return SameBuckets(editor.Summary(), editor.Sound()); };
        for (int i = 0; i < 100; ++i) {
            editor.Apply("Gain", [i](const EditedSound& s) {
                return EditOperations::Gain(s, (i * 997) % 20000, 2000, i % 2 ? -3.0 : 2.0);
            });
            QVERIFY(right());
        }
        while (editor.Undo()) QVERIFY(right());
        while (editor.Redo()) QVERIFY(right());
    }
};

QTEST_MAIN(tst_PreviewEditing)
#include "tst_PreviewEditing.moc"
