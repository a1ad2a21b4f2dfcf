// Draws every style in every state for every shape into PNG images under the
// build folder, so a person can look at them, and checks that each state is
// visible: the pressed drawing differs from the idle one.
#include <QDir>
#include <QPainter>
#include <QtTest>

#include "ButtonPainter.h"
#include "QuillonButton.h"

using namespace zs::button;

namespace {

constexpr Rgb kContainer = MakeRgb(236, 233, 216);

struct Look {
    const char* name;
    void (*apply)(ButtonState&);
};

const Look kLooks[] = {
    {"idle", [](ButtonState&) {}},
    {"default", [](ButtonState& s) { s.stateBits = kDefaultLook; }},
    {"hover", [](ButtonState& s) { s.stateBits = kOverBit, s.hovering = true; }},
    {"down", [](ButtonState& s) {
         s.stateBits = kDefaultLook | kPressedBit | kOverBit, s.hovering = true, s.keyDown = true;
     }},
    {"checked", [](ButtonState& s) { s.mode = 1, s.value = true; }},
    {"disabled", [](ButtonState& s) { s.enabled = false; }},
    {"disabled check", [](ButtonState& s) { s.enabled = false, s.mode = 1; }},
    {"design", [](ButtonState& s) { s.userMode = false; }},
};

ButtonState Base(int style, int shape, int gradientMode) {
    ButtonState st;
    st.size = shape >= 4 ? QSize(90, 40) : QSize(90, 26);
    st.style = style;
    st.shape = shape;
    st.caption = QStringLiteral("&Convert");
    st.font = QFont(QStringLiteral("DejaVu Sans"), 9);
    st.foreColor = st.hoverForeColor = 0;
    st.backColor = st.hoverBackColor = MakeRgb(225, 225, 225);
    st.containerBack = kContainer;
    st.gradientMode = gradientMode;
    st.gradientColor = MakeRgb(120, 160, 220);
    if (gradientMode) st.hoverBackColor = st.gradientColor;
    return st;
}

// The button as the screen shows it: only its window shape, on the container.
QImage Shaped(const ButtonState& st) {
    const QImage drawn = ButtonPainter(st).Render();
    QImage out(drawn.size(), QImage::Format_RGB32);
    out.fill(ToQColor(kContainer));
    QPainter p(&out);
    p.setClipRegion(ShapeRegion(st.shape, st.style, st.enabled, st.size));
    p.drawImage(0, 0, drawn);
    return out;
}

}  // namespace

class tst_ButtonGallery : public QObject {
    Q_OBJECT
private slots:
    void everyStyleStateAndShape_data();
    void everyStyleStateAndShape();
    void programLook();
};

void tst_ButtonGallery::everyStyleStateAndShape_data() {
    QTest::addColumn<int>("shape");
    QTest::addColumn<int>("gradientMode");
    for (int shape = 0; shape <= 6; ++shape) {
        QTest::addRow("shape %d", shape) << shape << 0;
    }
    for (int mode = 1; mode <= 4; ++mode) QTest::addRow("gradient %d", mode) << 0 << mode;
}

void tst_ButtonGallery::everyStyleStateAndShape() {
    QFETCH(int, shape);
    QFETCH(int, gradientMode);
    const int looks = int(std::size(kLooks));
    const QSize cell = Base(0, shape, 0).size + QSize(40, 12);
    const int labelWidth = 60;
    QImage sheet(labelWidth + cell.width() * looks, 20 + cell.height() * 8, QImage::Format_RGB32);
    sheet.fill(ToQColor(kContainer));
    QPainter p(&sheet);
    p.setFont(QFont(QStringLiteral("DejaVu Sans"), 8));
    for (int i = 0; i < looks; ++i) {
        p.drawText(QRect(labelWidth + i * cell.width(), 0, cell.width(), 20), Qt::AlignCenter,
                   QString::fromLatin1(kLooks[i].name));
    }
    for (int style = 0; style <= 7; ++style) {
        const int y = 20 + style * cell.height();
        p.drawText(QRect(0, y, labelWidth, cell.height()), Qt::AlignCenter,
                   QStringLiteral("style %1").arg(style));
        QImage idle;
        for (int i = 0; i < looks; ++i) {
            ButtonState st = Base(style, shape, gradientMode);
            st.size.setWidth(RequiredWidth(shape, st.size.width(), st.size.height()));
            kLooks[i].apply(st);
            const QImage img = Shaped(st);
            if (i == 0) idle = img;
            if (QByteArray(kLooks[i].name) == "down") {
                QVERIFY2(img != idle,
                         qPrintable(QStringLiteral("style %1 %2").arg(style).arg(kLooks[i].name)));
            }
            p.drawImage(labelWidth + i * cell.width() + 20, y + 6, img);
        }
    }
    p.end();
    QDir().mkpath(QStringLiteral(ZS_GALLERY_DIR));
    const QString file = QStringLiteral(ZS_GALLERY_DIR "/%1.png")
                             .arg(gradientMode ? QStringLiteral("gradient%1").arg(gradientMode)
                                               : QStringLiteral("shape%1").arg(shape));
    QVERIFY(sheet.save(file));
}

// The program's own look on a row of command buttons, as a window shows them.
void tst_ButtonGallery::programLook() {
    QWidget window;
    window.resize(430, 60);
    const QStringList captions = {"&Preview", "&Convert", "&Batch", "E&xit"};
    QList<QuillonButton*> buttons;
    for (int i = 0; i < captions.size(); ++i) {
        auto* b = new QuillonButton(QStringLiteral("btn%1").arg(i), &window);
        b->setCaption(captions[i]);
        b->setGeometry(10 + i * 105, 18, 95, 25);
        QVERIFY(QuillonButton::ApplyProgramLook(b));
        buttons << b;
    }
    QCOMPARE(buttons[0]->ButtonStyle(), 2);
    QCOMPARE(buttons[0]->GradientMode(), 3);
    QCOMPARE(buttons[1]->Caption(), QString("&Convert"));  // the look leaves the caption alone
    QCOMPARE(buttons[0]->HoverBackColor(), buttons[0]->GradientColor());
    buttons[2]->setEnabled(false);
    buttons[3]->setDefault(true);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    buttons[1]->setFocus();
    QTest::mouseMove(buttons[0], QPoint(40, 12));  // hovered
    QTRY_VERIFY(buttons[0]->HoverTracking());
    QDir().mkpath(QStringLiteral(ZS_GALLERY_DIR));
    QVERIFY(window.grab().save(QStringLiteral(ZS_GALLERY_DIR "/program-look.png")));
}

QTEST_MAIN(tst_ButtonGallery)
#include "tst_ButtonGallery.moc"
