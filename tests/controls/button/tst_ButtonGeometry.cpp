#include <QFont>
#include <QtTest>

#include "ButtonGeometry.h"

using namespace zs::button;

class tst_ButtonGeometry : public QObject {
    Q_OBJECT
private slots:
    void cornerCutsPerStyle_data();
    void cornerCutsPerStyle();
    void slantedShapesWidenThemselves();
    void slantedRegionFollowsTheSlant();
    void captionAlignment();
    void pictureBesideCaption();
    void largePictureSizesStretchOrFit();

private:
    QFont font_{QStringLiteral("DejaVu Sans"), 8};
};

void tst_ButtonGeometry::cornerCutsPerStyle_data() {
    QTest::addColumn<int>("style");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<int>("missing");  // pixels cut out of 75 x 23
    QTest::addColumn<QList<QPoint>>("cut");
    QTest::addColumn<QList<QPoint>>("kept");
    const QList<QPoint> corners = {{0, 0}, {74, 0}, {0, 22}, {74, 22}};
    QTest::newRow("style 0 keeps every pixel") << 0 << true << 0 << QList<QPoint>{} << corners;
    QTest::newRow("style 1 only the corner pixels")
        << 1 << true << 4 << corners << QList<QPoint>{{1, 0}, {0, 1}, {73, 22}};
    const QList<QPoint> triangles = {{0, 0}, {1, 0}, {0, 1}, {74, 0}, {73, 0}, {74, 1},
                                     {0, 22}, {1, 22}, {0, 21}, {74, 22}, {73, 22}, {74, 21}};
    QTest::newRow("style 2 three-pixel triangles")
        << 2 << true << 12 << triangles << QList<QPoint>{{1, 1}, {2, 0}, {73, 21}};
    QTest::newRow("style 7 like style 2") << 7 << true << 12 << triangles << QList<QPoint>{{1, 1}};
    QTest::newRow("style 3 enabled: bottom-left and top-right")
        << 3 << true << 2 << QList<QPoint>{{0, 22}, {74, 0}} << QList<QPoint>{{0, 0}, {74, 22}};
    QTest::newRow("style 3 disabled: square") << 3 << false << 0 << QList<QPoint>{} << corners;
}

void tst_ButtonGeometry::cornerCutsPerStyle() {
    QFETCH(int, style);
    QFETCH(bool, enabled);
    QFETCH(int, missing);
    QFETCH(QList<QPoint>, cut);
    QFETCH(QList<QPoint>, kept);
    const QRegion r = ShapeRegion(kRectangle, style, enabled, QSize(75, 23));
    int area = 0;
    for (const QRect& rect : r) area += rect.width() * rect.height();
    QCOMPARE(area, 75 * 23 - missing);
    for (const QPoint& p : cut) QVERIFY2(!r.contains(p), qPrintable(QString("%1,%2").arg(p.x()).arg(p.y())));
    for (const QPoint& p : kept) QVERIFY(r.contains(p));
}

void tst_ButtonGeometry::slantedShapesWidenThemselves() {
    // d = 21; 24 - 21 < 5, so one step of 5.
    QCOMPARE(RequiredWidth(kSlantLeft, 24, 20), 29);
    QCOMPARE(RequiredWidth(kSlantBoth, 10, 20), 30);
    QCOMPARE(RequiredWidth(kSlantRight, 40, 20), 40);
    QCOMPARE(RequiredWidth(kRectangle, 10, 20), 10);
    QCOMPARE(RequiredWidth(kEllipse, 10, 20), 10);
}

void tst_ButtonGeometry::slantedRegionFollowsTheSlant() {
    const QRegion left = ShapeRegion(kSlantLeft, 0, true, QSize(80, 20));
    QVERIFY(left.contains(QPoint(1, 0)));    // top-left is square at the top
    QVERIFY(!left.contains(QPoint(1, 19)));  // but the bottom starts 21 pixels in
    QVERIFY(left.contains(QPoint(79, 19)));
    const QRegion right = ShapeRegion(kSlantRight, 0, true, QSize(80, 20));
    QVERIFY(!right.contains(QPoint(78, 0)));
    QVERIFY(right.contains(QPoint(78, 19)));
    QVERIFY(right.contains(QPoint(0, 0)));
    // Style 2 cuts only the vertical edge's corners: the right ones for shape 1.
    const QRegion cut = ShapeRegion(kSlantLeft, 2, true, QSize(80, 20));
    QVERIFY(!cut.contains(QPoint(79, 0)));
    QVERIFY(cut.contains(QPoint(0, 0)));
}

void tst_ButtonGeometry::captionAlignment() {
    const QFontMetrics fm(font_);
    LayoutInput in;
    in.size = QSize(120, 30);
    in.caption = QStringLiteral("&OK");
    const int tw = fm.boundingRect(QRect(0, 0, 112, 22), CaptionTextFlags(2), "&OK").width();
    in.captionAlign = 0;
    QCOMPARE(ComputeLayout(in, fm).caption.l, 4);
    in.captionAlign = 1;
    QCOMPARE(ComputeLayout(in, fm).caption.r, 116);
    in.captionAlign = 2;
    const Box centre = ComputeLayout(in, fm).caption;
    QVERIFY(qAbs(centre.l - (120 - tw) / 2) <= 1);
    QCOMPARE(centre.r - centre.l, tw);
    // Embossing needs a pixel on each side.
    in.captionStyle = 1;
    QCOMPARE(ComputeLayout(in, fm).caption.r - ComputeLayout(in, fm).caption.l, tw + 2);
    // A caption never leaves the 4-pixel margin, however long.
    in.caption = QString(60, QChar(u'W'));
    const Box clamped = ComputeLayout(in, fm).caption;
    QVERIFY(clamped.l >= 4 && clamped.r <= 116 && clamped.t >= 4 && clamped.b <= 25);
}

void tst_ButtonGeometry::pictureBesideCaption() {
    const QFontMetrics fm(font_);
    LayoutInput in;
    in.size = QSize(120, 40);
    in.caption = QStringLiteral("Play");
    in.hasPicture = true;
    in.pictureSize = QSize(32, 32);
    in.pictureSizePx = 16;
    in.captionAlign = 0;
    in.pictureAlign = 0;
    Layout l = ComputeLayout(in, fm);
    QCOMPARE(l.picture, (Box{4, 12, 20, 28}));
    QCOMPARE(l.caption.l, 4 + 16 + 4);
    in.pictureAlign = 2;
    in.captionAlign = 1;
    l = ComputeLayout(in, fm);
    QCOMPARE(l.picture, (Box{100, 12, 116, 28}));
    QCOMPARE(l.caption.r, 120 - 4 - 16 - 4);
    // Picture just left of a centred caption.
    in.pictureAlign = 1;
    in.captionAlign = 2;
    l = ComputeLayout(in, fm);
    QCOMPARE(l.picture.r + 4, l.caption.l);
}

void tst_ButtonGeometry::largePictureSizesStretchOrFit() {
    const QFontMetrics fm(font_);
    LayoutInput in;
    in.size = QSize(100, 40);
    in.hasPicture = true;
    in.pictureSize = QSize(64, 32);
    in.pictureSizePx = 40;
    QCOMPARE(ComputeLayout(in, fm).picture, (Box{0, 0, 100, 40}));
    // Fit into 88 x 28 keeping 2:1: 56 x 28, centred.
    in.pictureSizePx = 48;
    QCOMPARE(ComputeLayout(in, fm).picture, (Box{22, 6, 78, 34}));
}

QTEST_MAIN(tst_ButtonGeometry)
#include "tst_ButtonGeometry.moc"
