#include <QtTest>

#include "SelectionModel.h"

// The selection rules, without a window: a 2 s sound of 88200 frames shown
// across a view 9900 twips wide.
class tst_SelectionModel : public QObject {
    Q_OBJECT

    SelectionModel fresh() {
        SelectionModel m;
        m.Reset(9900, 2.0, 88200);
        return m;
    }
    // A selection from `left` to `right` made by a click and a drag.
    SelectionModel selected(double left, double right) {
        SelectionModel m = fresh();
        m.NewSelection(left);
        m.DragEnd(right);
        return m;
    }

private slots:
    void clickSelectsToTheEnd() {
        SelectionModel m = fresh();
        QCOMPARE(m.lEndMs, 2000);
        QVERIFY(!m.left().visible);
        m.NewSelection(4950);
        QCOMPARE(m.lStartMs, 1000);
        QCOMPARE(m.lEndMs, 2000);
        QCOMPARE(m.lblSampBegin, QString("44099"));
        QCOMPARE(m.lblSampEnd, QString("88199"));
        QCOMPARE(m.lblSampTotal, QString("44101"));
        QCOMPARE(m.lblTimeBegin, QString("1"));
        QCOMPARE(m.lblTimeTotal, QString("1"));
        QVERIFY(m.left().visible);
        QCOMPARE(m.left().width, 0.0);
        QCOMPARE(m.stripLeft(), -4950.0);
    }

    void endDragsOnlyRightOfTheStart() {
        SelectionModel m = selected(4950, 7425);
        QCOMPARE(m.left().width, 2475.0);
        QCOMPARE(m.lEndMs, 1500);
        QCOMPARE(m.lblTimeTotal, QString("0.5"));
        m.DragEnd(3000);  // left of the start
        m.DragEnd(9915);  // past the view
        QCOMPARE(m.left().width, 2475.0);
        QCOMPARE(m.lEndMs, 1500);
    }

    void grabFromOutside() {
        SelectionModel narrow = selected(4950, 4980);  // 30 twips wide
        narrow.GrabFromOutside(4920);
        QVERIFY(!narrow.bDragLeftEdge && !narrow.bDragRightEdge && !narrow.sizing);

        SelectionModel m = selected(4950, 6000);
        m.GrabFromOutside(4950 - 60);
        QVERIFY(!m.bDragLeftEdge);
        m.GrabFromOutside(4950 - 30);
        QVERIFY(m.bDragLeftEdge && m.sizing);
        QCOMPARE(m.lAnchorLeft, 4950);
        QCOMPARE(m.lAnchorWidth, 1050);
        m.Release();
        m.GrabFromOutside(6030);
        QVERIFY(m.bDragRightEdge && !m.bDragLeftEdge);
    }

    void grabFromInside() {
        SelectionModel wide = selected(3000, 6000);
        wide.GrabFromInside(3030);
        QVERIFY(wide.bDragLeftEdge);
        wide.Release();
        wide.GrabFromInside(4500);  // the middle grabs nothing
        QVERIFY(!wide.bDragLeftEdge && !wide.bDragRightEdge);
        wide.GrabFromInside(5950);
        QVERIFY(wide.bDragRightEdge);

        SelectionModel narrow = selected(3000, 3090);  // under 100: thirds decide
        narrow.GrabFromInside(3015);
        QVERIFY(narrow.bDragLeftEdge);
        narrow.Release();
        narrow.GrabFromInside(3045);
        QVERIFY(narrow.bDragRightEdge);
    }

    void shadeAreaKeepsFiftyTwips() {
        SelectionModel m = selected(3000, 6000);
        m.GrabFromInside(3030);
        QVERIFY(!m.ShadeArea(6000 - 49.9));
        QCOMPARE(m.left().left, 3000.0);
        QVERIFY(m.ShadeArea(6000 - 50));
        QCOMPARE(m.left().left, 5950.0);
        QCOMPARE(m.left().width, 50.0);
    }

    void leftEdgeDrag() {
        SelectionModel m = selected(3000, 6000);
        const qint32 end = m.lEndMs;
        m.GrabFromInside(3030);
        m.DragEdge(1500);
        QCOMPARE(m.left().left, 1500.0);
        QCOMPARE(m.left().width, 4500.0);
        QCOMPARE(m.lStartMs, 303);
        QCOMPARE(m.lEndMs, end);
        // Too close to the right edge: the window stays, times follow its left.
        m.DragEdge(5990);
        QCOMPARE(m.left().left, 1500.0);
        QCOMPARE(m.lStartMs, 303);
        // Past the start of the view the edge stops at 0 and the times say so.
        m.DragEdge(-600);
        QCOMPARE(m.left().left, 0.0);
        QCOMPARE(m.lStartMs, 0);
        QCOMPARE(m.lblSampBegin, QString("0"));
        m.Release();
        QVERIFY(!m.bDragLeftEdge && !m.sizing);
    }

    void rightEdgeDragRefusals() {
        SelectionModel m = selected(3000, 6000);
        m.GrabFromOutside(6030);
        m.DragEdge(3050);  // would leave exactly 50
        QCOMPARE(m.left().width, 3000.0);
        m.DragEdge(9915);  // past the view
        QCOMPARE(m.left().width, 3000.0);
        m.DragEdge(9900);
        QCOMPARE(m.left().width, 6900.0);
        QCOMPARE(m.lEndMs, 2000);
        QCOMPARE(m.lblSampEnd, QString("88199"));
    }
};

QTEST_GUILESS_MAIN(tst_SelectionModel)
#include "tst_SelectionModel.moc"
