#include <QtTest>

#include "ButtonPainter.h"

using namespace zs::button;

namespace {

constexpr Rgb kFace = 0xC0C0C0;

ButtonState Base(int style) {
    ButtonState st;
    st.size = QSize(75, 23);
    st.style = style;
    st.caption = QString();
    st.font = QFont(QStringLiteral("DejaVu Sans"), 9);
    st.font.setStyleStrategy(QFont::NoAntialias);  // exact caption colours
    st.foreColor = 0x000000;
    st.hoverForeColor = 0x000000;
    st.backColor = kFace;
    st.hoverBackColor = kFace;
    st.gradientColor = kFace;
    st.containerBack = kFace;
    return st;
}

Rgb At(const QImage& img, int x, int y) { return FromQColor(img.pixelColor(x, y)); }

// Bounding box of the pixels of one colour within `area` (the whole image by default).
QRect Extent(const QImage& img, Rgb color, QRect area = {}) {
    if (area.isNull()) area = img.rect();
    QRect r;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (At(img, x, y) == color) r |= QRect(x, y, 1, 1);
        }
    }
    return r;
}

// Left, top, right and bottom edge of a frame inset by n pixels, sampled mid-edge.
QList<Rgb> Edges(const QImage& img, int n) {
    const int w = img.width(), h = img.height();
    return {At(img, n, h / 2), At(img, w / 2, n), At(img, w - 1 - n, h / 2),
            At(img, w / 2, h - 1 - n)};
}

}  // namespace

class tst_ButtonRendering : public QObject {
    Q_OBJECT
private slots:
    void style0IdleAndDefaultFrames();
    void style2CornersAndHoverSet();
    void style5IsFramelessUntilHoveredAtRunTime();
    void style7PressedTurnsGray();
    void gradientMode2RunsFromGradientToFace();
    void embossedCaptionHasThreeCopies();
    void disabledCaptions();
    void bitmapsAndDisabledPictures();
    void focusOutlineOnlyWithDefaultLook();
};

void tst_ButtonRendering::style0IdleAndDefaultFrames() {
    ButtonState st = Base(0);
    QImage img = ButtonPainter(st).Render();
    QCOMPARE(Edges(img, 0), (QList<Rgb>{0xFFFFFF, 0xFFFFFF, 0x000000, 0x000000}));
    QCOMPARE(Edges(img, 1), (QList<Rgb>{MakeRgb(233, 233, 233), MakeRgb(233, 233, 233), 0x808080,
                                        0x808080}));
    QCOMPARE(Edges(img, 2), (QList<Rgb>{kFace, kFace, kFace, kFace}));  // no inner frame

    st.stateBits = kDefaultLook;
    img = ButtonPainter(st).Render();
    QCOMPARE(Edges(img, 0), (QList<Rgb>{0, 0, 0, 0}));
    QCOMPARE(Edges(img, 1), (QList<Rgb>{0xFFFFFF, 0xFFFFFF, 0, 0}));
    QCOMPARE(Edges(img, 2), (QList<Rgb>{MakeRgb(233, 233, 233), MakeRgb(233, 233, 233), 0x808080,
                                        0x808080}));
    // The dotted focus box sits 4 pixels in.
    QCOMPARE(At(img, 4, 4), Rgb(0));
    QCOMPARE(At(img, 5, 4), kFace);  // dotted
}

void tst_ButtonRendering::style2CornersAndHoverSet() {
    ButtonState st = Base(2);
    QImage img = ButtonPainter(st).Render();
    const Rgb outer = MakeRgb(0, 60, 115);
    QCOMPARE(At(img, 1, 1), outer);
    QCOMPARE(At(img, 1, 21), outer);
    QCOMPARE(At(img, 73, 1), outer);
    QCOMPARE(At(img, 73, 21), outer);
    QCOMPARE(Edges(img, 0), (QList<Rgb>{outer, outer, outer, outer}));

    st.stateBits = kOverBit;
    st.hovering = true;
    img = ButtonPainter(st).Render();
    QCOMPARE(Edges(img, 2), (QList<Rgb>{MakeRgb(255, 203, 107), MakeRgb(255, 219, 140),
                                        MakeRgb(255, 203, 107), MakeRgb(255, 178, 49)}));
    QCOMPARE(Edges(img, 1), (QList<Rgb>{MakeRgb(255, 178, 49), MakeRgb(255, 233, 166),
                                        MakeRgb(255, 178, 49), MakeRgb(231, 150, 0)}));
    // The face darkens row by row.
    QVERIFY(At(img, 37, 5) != At(img, 37, 18));
}

void tst_ButtonRendering::style5IsFramelessUntilHoveredAtRunTime() {
    ButtonState st = Base(5);
    QImage img = ButtonPainter(st).Render();
    QCOMPARE(Edges(img, 0), (QList<Rgb>{kFace, kFace, kFace, kFace}));

    st.stateBits = kOverBit;
    st.hovering = true;
    img = ButtonPainter(st).Render();
    QCOMPARE(Edges(img, 0), (QList<Rgb>{0xFFFFFF, 0xFFFFFF, 0x808080, 0x808080}));

    // At design time the idle frame is dotted in a shade of the container.
    st = Base(5);
    st.userMode = false;
    img = ButtonPainter(st).Render();
    const Rgb dots = Sh(kFace, -64);
    int dotted = 0;
    for (int x = 0; x < 75; ++x) dotted += At(img, x, 0) == dots;
    QVERIFY(dotted > 30 && dotted < 45);
}

void tst_ButtonRendering::style7PressedTurnsGray() {
    ButtonState st = Base(7);
    st.caption = QStringLiteral("Go");
    st.stateBits = kPressedBit | kOverBit;
    st.keyDown = true;
    const QImage img = ButtonPainter(st).Render();
    const Rgb pressedFace = Sh(0x808080, -16);
    QCOMPARE(At(img, 8, 8), pressedFace);
    QCOMPARE(Edges(img, 0), (QList<Rgb>{0, 0, 0, 0}));
    QCOMPARE(At(img, 2, 12), Sh(0x808080, -32));  // inner left: t of the gray set
    QCOMPARE(At(img, 72, 12), 0x808080);          // inner right: the gray itself
    // The caption takes the unpressed face colour.
    const QRect inside(4, 4, 67, 15);
    QVERIFY(Extent(img, Sh(kFace, 31), inside).isValid());
    QVERIFY(!Extent(img, 0x000000, inside).isValid());
}

void tst_ButtonRendering::gradientMode2RunsFromGradientToFace() {
    ButtonState st = Base(5);  // no frames at run time: the strips reach the edges
    st.backColor = st.hoverBackColor = MakeRgb(255, 0, 0);
    st.gradientColor = MakeRgb(0, 0, 255);
    st.gradientMode = 2;
    QImage img = ButtonPainter(st).Render();
    QCOMPARE(At(img, 0, 11), MakeRgb(0, 0, 255));
    QCOMPARE(At(img, 74, 11), MakeRgb(255, 0, 0));
    QCOMPARE(At(img, 0, 0), At(img, 0, 22));  // vertical strips
    QVERIFY(At(img, 10, 11) != At(img, 11, 11));

    // A button wider than a quarter of the screen gets 2-pixel bands.
    st.screenSize = QSize(200, 200);
    img = ButtonPainter(st).Render();
    QCOMPARE(At(img, 10, 11), At(img, 11, 11));
    QVERIFY(At(img, 11, 11) != At(img, 12, 11));

    // Mode 3 paints horizontal bands, face at the top.
    st.screenSize = QSize(1920, 1080);
    st.gradientMode = 3;
    img = ButtonPainter(st).Render();
    QCOMPARE(At(img, 0, 0), MakeRgb(255, 0, 0));
    QCOMPARE(At(img, 5, 22), MakeRgb(0, 0, 255));
    QCOMPARE(At(img, 0, 10), At(img, 70, 10));
}

void tst_ButtonRendering::embossedCaptionHasThreeCopies() {
    ButtonState st = Base(5);
    st.size = QSize(80, 40);
    st.caption = QStringLiteral("I");
    st.font.setPixelSize(20);
    st.captionStyle = 1;
    const QImage img = ButtonPainter(st).Render();
    const QRect main = Extent(img, 0x000000);
    const QRect dark = Extent(img, Sh(kFace, -40));
    const QRect light = Extent(img, Sh(kFace, 40));
    QVERIFY(main.isValid() && dark.isValid() && light.isValid());
    QCOMPARE(dark.topLeft(), main.topLeft() - QPoint(1, 1));
    QCOMPARE(light.bottomRight(), main.bottomRight() + QPoint(1, 1));

    // Engraved: the light copy goes up-left.
    st.captionStyle = 2;
    const QImage engraved = ButtonPainter(st).Render();
    QCOMPARE(Extent(engraved, Sh(kFace, 40)).topLeft(), Extent(engraved, 0).topLeft() - QPoint(1, 1));
}

void tst_ButtonRendering::disabledCaptions() {
    ButtonState st = Base(0);
    st.size = QSize(80, 40);
    st.caption = QStringLiteral("I");
    st.font.setPixelSize(20);
    st.enabled = false;
    QImage img = ButtonPainter(st).Render();
    const QRect caption(10, 6, 60, 28);
    const QRect gray = Extent(img, 0x808080, caption);
    const QRect white = Extent(img, 0xFFFFFF, caption);
    QVERIFY(gray.isValid());
    QCOMPARE(white.bottomRight(), gray.bottomRight() + QPoint(1, 1));

    st.mode = 1;  // a disabled check box: plain gray text
    img = ButtonPainter(st).Render();
    QVERIFY(Extent(img, 0x808080, caption).isValid());
    QVERIFY(!Extent(img, 0xFFFFFF, caption).isValid());
}

void tst_ButtonRendering::bitmapsAndDisabledPictures() {
    QImage bitmap(16, 16, QImage::Format_RGB32);
    bitmap.fill(QColor(255, 0, 255));  // top-left colour: transparent
    for (int y = 4; y < 12; ++y) {
        for (int x = 4; x < 12; ++x) bitmap.setPixel(x, y, qRgb(0, 0, 0));
    }
    ButtonState st = Base(5);
    st.size = QSize(60, 40);
    st.picture = bitmap;
    st.pictureAlign = 0;
    const QImage enabled = ButtonPainter(st).Render();
    QVERIFY(!Extent(enabled, MakeRgb(255, 0, 255)).isValid());
    const QRect square = Extent(enabled, 0);
    QCOMPARE(square, QRect(8, 16, 8, 8));  // picture at (4, 12), square 4 pixels in

    st.enabled = false;
    const QImage disabled = ButtonPainter(st).Render();
    QCOMPARE(Extent(disabled, Sh(0xC0C0C0, -36)), square);
    QCOMPARE(Extent(disabled, Sh(0xC0C0C0, 36)).topLeft(), square.topLeft() - QPoint(1, 1));
}

void tst_ButtonRendering::focusOutlineOnlyWithDefaultLook() {
    ButtonState st = Base(3);
    st.caption = QStringLiteral("OK");
    const Rgb focus = MakeRgb(153, 153, 204);
    QVERIFY(!Extent(ButtonPainter(st).Render(), focus).isValid());
    st.stateBits = kDefaultLook;
    ButtonPainter painter(st);
    const QRect outline = Extent(painter.Render(), focus);
    QCOMPARE(outline, painter.layout().caption.grown(2).rect());
}

QTEST_MAIN(tst_ButtonRendering)
#include "tst_ButtonRendering.moc"
