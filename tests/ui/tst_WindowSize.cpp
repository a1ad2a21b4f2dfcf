// Windows on a small screen (the offscreen platform's is 800 x 600), the
// size each remembers from one opening to the next, and long names in them.
#include <QScreen>
#include <QVBoxLayout>
#include <QTemporaryDir>
#include <QtTest>

#include "ElidedLabel.h"
#include "MsgBox.h"
#include "QuillonButton.h"
#include "WindowSize.h"
#include "WindowTestKit.h"
#include "frmDetails.h"
#include "frmMain.h"

class tst_WindowSize : public QObject {
    Q_OBJECT

    QTemporaryDir tmp_;

    static QRect Available(const QWidget& window) { return window.screen()->availableGeometry(); }

    // Every named button lies whole on the screen's free area.
    static void ButtonsReachable(QWidget& window, const QStringList& names) {
        const QRect free = Available(window);
        for (const QString& name : names) {
            auto* button = WindowTestKit::Child<QuillonButton>(&window, name);
            const QRect onScreen(button->mapToGlobal(QPoint(0, 0)), button->size());
            QVERIFY2(button->isVisible() && free.contains(onScreen), qPrintable(name));
        }
    }

private slots:
    void initTestCase() {
        QVERIFY(tmp_.isValid());
        qputenv("ZEPHYRA_REGISTRY", QFile::encodeName(tmp_.filePath("registry.sqlite3")));
        MsgBox::SetResponder([](const MsgBox::Shown&) { return QMessageBox::Ok; });
    }

    void cleanupTestCase() { MsgBox::SetResponder({}); }

    void fitFrame_data() {
        QTest::addColumn<QSize>("client");
        QTest::addColumn<QPoint>("centre");
        QTest::addColumn<QRect>("frame");
        const QRect screen(0, 0, 800, 600);
        QTest::newRow("fits where it is")
            << QSize(400, 300) << QPoint(400, 300) << QRect(197, 134, 408, 334);
        QTest::newRow("wider and taller than the screen")
            << QSize(1010, 620) << QPoint(505, 310) << screen;
        QTest::newRow("pushed back from the right and bottom")
            << QSize(400, 300) << QPoint(790, 590) << QRect(392, 266, 408, 334);
        QTest::newRow("pushed back from the left and top")
            << QSize(400, 300) << QPoint(-50, -50) << QRect(0, 0, 408, 334);
    }
    void fitFrame() {
        QFETCH(QSize, client);
        QFETCH(QPoint, centre);
        // A title bar of 30 pixels and borders of 4.
        QTEST(WindowSize::FitFrame(client, QMargins(4, 30, 4, 4), centre, QRect(0, 0, 800, 600)),
              "frame");
    }

    void commandsReachableOnASmallScreen() {
        frmMain main;
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        QVERIFY(Available(main).contains(main.frameGeometry()));
        ButtonsReachable(main, {"btnRefresh", "btnConvert", "btnPreview", "btnBatch", "btnDetails",
                                "btnAbout", "btnExit"});
        main.ShowDetails();
        frmDetails* details = main.Details();
        QVERIFY(details && QTest::qWaitForWindowExposed(details));
        QVERIFY(Available(*details).contains(details->frameGeometry()));
        ButtonsReachable(*details, {"btnExport", "btnClose"});
        details->close();
        main.hide();
    }

    // Closed at one size, opened again at that size; a stored size larger
    // than the screen is cut to it.
    void sizeIsRemembered() {
        {
            frmDetails details;
            details.show();
            details.resize(500, 350);
            details.close();
        }
        {
            frmDetails details;
            details.show();
            QCOMPARE(details.size(), QSize(500, 350));
            details.resize(2000, 1500);
            details.close();
        }
        frmDetails details;
        details.show();
        QVERIFY(Available(details).contains(details.frameGeometry()));
    }

    // A long name is shown with an ellipsis in the middle, keeps its end,
    // gives its whole self as the tip and does not widen its window.
    void longNameIsElided() {
        const QString name = QString(120, QLatin1Char('A')) + QStringLiteral(".WSD");
        QWidget window;
        auto* label = new ElidedLabel(&window);
        (new QVBoxLayout(&window))->addWidget(label);
        label->setText(name);
        window.resize(200, 40);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.width(), 200);
        QVERIFY2(label->shownText().contains(QChar(0x2026)), qPrintable(label->shownText()));
        QVERIFY(label->shownText().endsWith(QStringLiteral(".WSD")));
        QCOMPARE(label->text(), name);
        label->repaint();
        QCOMPARE(label->toolTip(), name);
        label->setText(QStringLiteral("A.WSD"));
        label->repaint();
        QCOMPARE(label->shownText(), QStringLiteral("A.WSD"));
        QCOMPARE(label->toolTip(), QString());
    }
};

QTEST_MAIN(tst_WindowSize)
#include "tst_WindowSize.moc"
