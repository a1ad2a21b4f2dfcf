#include <QTest>

#include "PopupPlacement.h"

using zs::PopupPlacement;

class tst_PopupPlacement : public QObject {
    Q_OBJECT
private slots:
    void place_data();
    void place();
};

void tst_PopupPlacement::place_data() {
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<QRect>("exclude");
    QTest::addColumn<bool>("vertical");
    QTest::addColumn<QPoint>("expected");
    // Menu 100x50 on an 800x600 screen.
    QTest::newRow("at the point") << QPoint(10, 20) << QRect() << false << QPoint(10, 20);
    QTest::newRow("flips left at right edge")
        << QPoint(750, 20) << QRect() << false << QPoint(650, 20);
    QTest::newRow("flips up at bottom edge")
        << QPoint(10, 580) << QRect() << false << QPoint(10, 530);
    QTest::newRow("empty exclusion ignored")
        << QPoint(10, 20) << QRect(0, 0, 0, 0) << false << QPoint(10, 20);
    QTest::newRow("right of the exclusion")
        << QPoint(10, 20) << QRect(0, 0, 40, 40) << false << QPoint(40, 20);
    QTest::newRow("below the exclusion when vertical")
        << QPoint(10, 20) << QRect(0, 0, 40, 40) << true << QPoint(10, 40);
    QTest::newRow("left of the exclusion when no room right")
        << QPoint(500, 20) << QRect(450, 0, 350, 100) << false << QPoint(350, 20);
    QTest::newRow("exclusion not covered stays")
        << QPoint(10, 20) << QRect(300, 300, 10, 10) << false << QPoint(10, 20);
}

void tst_PopupPlacement::place() {
    QFETCH(QPoint, point);
    QFETCH(QRect, exclude);
    QFETCH(bool, vertical);
    QFETCH(QPoint, expected);
    const QRect screen(0, 0, 800, 600);
    const QPoint at = PopupPlacement::Place(QSize(100, 50), point, exclude, screen, vertical);
    QCOMPARE(at, expected);
    QVERIFY(screen.contains(QRect(at, QSize(100, 50))));
}

QTEST_APPLESS_MAIN(tst_PopupPlacement)
#include "tst_PopupPlacement.moc"
