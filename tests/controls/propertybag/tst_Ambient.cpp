#include <QApplication>
#include <QTest>
#include <QWidget>

#include "Ambient.h"

class tst_Ambient : public QObject {
    Q_OBJECT

private slots:
    void runModeUnlessTheHostIsInDesignMode() {
        QWidget window;
        QWidget frame(&window);
        QWidget control(&frame);
        QVERIFY(Ambient::UserMode(&control));

        Ambient::SetDesignMode(&window, true);
        QVERIFY(!Ambient::UserMode(&control));
        // A nearer container can say otherwise.
        Ambient::SetDesignMode(&frame, false);
        QVERIFY(Ambient::UserMode(&control));

        QWidget loose;
        Ambient::SetDefaultDesignMode(true);
        QVERIFY(!Ambient::UserMode(&loose));
        Ambient::SetDefaultDesignMode(false);
        QVERIFY(Ambient::UserMode(&loose));
    }

    void fontAndBackColorComeFromTheHost() {
        QWidget host;
        QFont font(QStringLiteral("Serif"), 17);
        host.setFont(font);
        QPalette palette = host.palette();
        palette.setColor(QPalette::Window, QColor(0x10, 0x20, 0x30));
        host.setPalette(palette);
        QWidget control(&host);
        QCOMPARE(Ambient::Font(&control).pointSize(), 17);
        QCOMPARE(Ambient::BackColor(&control), 0x302010u);

        host.setProperty(Ambient::BackColorProperty, quint32(0x80000005));
        QCOMPARE(Ambient::BackColor(&control), 0x80000005u);

        QWidget loose;
        QCOMPARE(Ambient::BackColor(&loose), 0x8000000Fu);
        QCOMPARE(Ambient::Font(&loose), QApplication::font());
    }
};

QTEST_MAIN(tst_Ambient)
#include "tst_Ambient.moc"
