#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QtTest>

#include "Ambient.h"
#include "MsgBox.h"
#include "OptionGroup.h"
#include "PropertyBag.h"
#include "QuillonButton.h"

namespace {

// Every event a button raises, in order, as short text.
class Recorder {
public:
    explicit Recorder(QuillonButton* b) {
        QObject::connect(b, &QuillonButton::MouseDown, [this](short btn, short, float, float) {
            log << QStringLiteral("MouseDown(%1)").arg(btn);
        });
        QObject::connect(b, &QuillonButton::MouseUp, [this](short btn, short, float, float) {
            log << QStringLiteral("MouseUp(%1)").arg(btn);
        });
        QObject::connect(b, &QuillonButton::KeyDown,
                         [this](short k, short) { log << QStringLiteral("KeyDown(%1)").arg(k); });
        QObject::connect(b, &QuillonButton::KeyUp,
                         [this](short k, short) { log << QStringLiteral("KeyUp(%1)").arg(k); });
        QObject::connect(b, &QuillonButton::MouseOnButton, [this](bool on) {
            log << QStringLiteral("MouseOnButton(%1)").arg(on ? "true" : "false");
        });
        QObject::connect(b, &QuillonButton::Click,
                         [this, b] { log << QStringLiteral("Click(Value=%1)").arg(b->Value()); });
        QObject::connect(b, &QuillonButton::DoubleClick,
                         [this](short btn) { log << QStringLiteral("DoubleClick(%1)").arg(btn); });
    }
    QStringList log;
};

// Records the arrow keys the containing window is sent.
class KeySink : public QObject {
public:
    QList<QPair<int, quint32>> keys;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::KeyPress) {
            const auto* k = static_cast<QKeyEvent*>(e);
            keys.append({k->key(), k->nativeScanCode()});
        }
        return false;
    }
};

}  // namespace

class tst_QuillonButton : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void newButtonIsNamedAfterItself();
    void newButtonAsksToBeStored();
    void mouseIconTakesIconsAndCursorsOnly_data();
    void mouseIconTakesIconsAndCursorsOnly();
    void backColorReachesTheFaceInEveryStyle();
    void outOfRangeValuesAreIgnored_data();
    void outOfRangeValuesAreIgnored();
    void pictureSizeIsKeptInPixels();
    void valueOnCommandButtonIsRefused();
    void hoverColoursFollowUntilLocked();
    void accessKeyParsing_data();
    void accessKeyParsing();
    void storedSettingsRoundTrip();
    void storedSetRules();
    void slantedButtonWidensOnResize();
    void delayDrawingBatchesChanges();

    void dragOutAndReleaseGivesNoClick();
    void spaceOnCheckBox();
    void spaceOnCommandButton();
    void doubleClickHasNoSecondClick();
    void optionButtonAlreadyOnRaisesNothing();
    void threeOptionButtons();
    void groupFollowsModeChanges();
    void arrowsGoToTheContainer();
    void enterAndEscape();
    void accessKeyClicks();
    void accessibility();
    void dragEventsReachTheHost();

private:
    QuillonButton* Make(const QString& name);
    void Show();

    std::unique_ptr<QWidget> host_;
    QList<MsgBox::Shown> boxes_;
};

void tst_QuillonButton::init() {
    host_ = std::make_unique<QWidget>();
    host_->resize(400, 200);
    boxes_.clear();
    MsgBox::SetResponder([this](const MsgBox::Shown& s) {
        boxes_.append(s);
        return QMessageBox::Ok;
    });
}

void tst_QuillonButton::cleanup() {
    host_.reset();
    MsgBox::SetResponder({});
}

QuillonButton* tst_QuillonButton::Make(const QString& name) {
    auto* b = new QuillonButton(name, host_.get());
    const int index = host_->findChildren<QuillonButton*>().size() - 1;
    b->setGeometry(10 + index * 90, 10, 80, 24);
    return b;
}

void tst_QuillonButton::Show() {
    host_->show();
    QVERIFY(QTest::qWaitForWindowActive(host_.get()));
}

void tst_QuillonButton::newButtonIsNamedAfterItself() {
    QuillonButton* b = Make("btnConvert");
    QCOMPARE(b->Caption(), QString("btnConvert"));
    QCOMPARE(b->CaptionAlign(), 2);
    QVERIFY(b->ShowFocusRect());
    QCOMPARE(b->BackColor(), 0x8000000Fu);
    QCOMPARE(b->HoverBackColor(), 0x8000000Fu);
    QCOMPARE(b->HoverForeColor(), 0x80000012u);
    QCOMPARE(b->PictureSizePixels(), 16);
    // Named later: the caption follows the name until it is set.
    QuillonButton later(host_.get());
    later.setObjectName("btnLater");
    QCOMPARE(later.Caption(), QString("btnLater"));
    later.setCaption("Go");
    later.setObjectName("btnRenamed");
    QCOMPARE(later.Caption(), QString("Go"));
}

// A newly placed button has its first settings stored; a loaded one does not
// ask again.
void tst_QuillonButton::newButtonAsksToBeStored() {
    QuillonButton* placed = Make("btnNew");
    QSignalSpy placedSpy(placed, &QuillonButton::PropertyChanged);
    QuillonButton* loaded = Make("btnLoaded");
    PropertyBag bag;
    bag.WriteProperty("Caption", QString("Go"));
    loaded->ReadProperties(bag);
    QSignalSpy loadedSpy(loaded, &QuillonButton::PropertyChanged);
    QCoreApplication::processEvents();
    QStringList names;
    for (const QList<QVariant>& call : placedSpy) names << call.at(0).toString();
    QCOMPARE(names, QStringList({"Caption", "CapAlign", "Focus", "cFHover", "cBHover"}));
    QCOMPARE(loadedSpy.count(), 0);
}

void tst_QuillonButton::mouseIconTakesIconsAndCursorsOnly_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("designMode");
    QTest::addColumn<QString>("message");  // empty: accepted at run time, or silently refused
    QTest::newRow("icon") << "ico" << true << "";
    QTest::newRow("cursor") << "cur" << true << "";
    QTest::newRow("bitmap in design mode") << "png" << true << "Invalid picture";
    QTest::newRow("bitmap at run time") << "png" << false << "";
}

void tst_QuillonButton::mouseIconTakesIconsAndCursorsOnly() {
    QFETCH(QString, kind);
    QFETCH(bool, designMode);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QString file = dir.filePath("pointer." + kind);
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    QVERIFY(buffer.open(QIODevice::WriteOnly) &&
            image.save(&buffer, kind == "png" ? "PNG" : "ICO"));
    if (kind == "cur") bytes[2] = 2;  // the header's type: 1 icon, 2 cursor
    QFile out(file);
    QVERIFY(out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size());
    out.close();
    Ambient::SetDesignMode(host_.get(), designMode);
    QuillonButton* b = Make("btnIcon");
    const bool accepted = kind != "png";
    QCOMPARE(b->LoadMouseIcon(file), accepted);
    QCOMPARE(b->MouseIcon().size(), accepted ? QSize(32, 32) : QSize(0, 0));
    QCOMPARE(b->MousePointer(), accepted ? 99 : 0);
    QCOMPARE(boxes_.size(), message.isEmpty() ? 0 : 1);
    if (message.isEmpty()) return;
    QCOMPARE(boxes_[0].title, QString("Select .ico Or .cur Files Only"));
    QCOMPARE(boxes_[0].text, message);
}

void tst_QuillonButton::outOfRangeValuesAreIgnored_data() {
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<int>("valid");
    QTest::addColumn<int>("invalid");
    QTest::newRow("ButtonStyle") << QByteArray("ButtonStyle") << 7 << 8;
    QTest::newRow("Mode") << QByteArray("Mode") << 2 << 3;
    QTest::newRow("CaptionAlign") << QByteArray("CaptionAlign") << 0 << -1;
    QTest::newRow("CaptionStyle") << QByteArray("CaptionStyle") << 2 << 3;
    QTest::newRow("ButtonShape") << QByteArray("ButtonShape") << 6 << 7;
    QTest::newRow("PictureAlign") << QByteArray("PictureAlign") << 5 << 6;
    QTest::newRow("PictureSize") << QByteArray("PictureSize") << 4 << 5;
    QTest::newRow("GradientMode") << QByteArray("GradientMode") << 4 << 5;
    QTest::newRow("HoverColorLocks") << QByteArray("HoverColorLocks") << 3 << 4;
}

void tst_QuillonButton::outOfRangeValuesAreIgnored() {
    QFETCH(QByteArray, property);
    QFETCH(int, valid);
    QFETCH(int, invalid);
    QuillonButton* b = Make("btn");
    QVERIFY(b->setProperty(property, valid));
    b->setProperty(property, invalid);
    QCOMPARE(b->property(property).toInt(), valid);
    QVERIFY(boxes_.isEmpty());
}

void tst_QuillonButton::pictureSizeIsKeptInPixels() {
    QuillonButton* b = Make("btn");
    b->setPictureSize(2);
    QCOMPARE(b->PictureSize(), 2);
    QCOMPARE(b->PictureSizePixels(), 32);
    PropertyBag bag;
    b->WriteProperties(bag);
    QCOMPARE(bag.ReadProperty("ImgSize").toInt(), 32);
}

void tst_QuillonButton::valueOnCommandButtonIsRefused() {
    QuillonButton* b = Make("btn");
    b->setValue(true);
    QVERIFY(!b->Value());
    QVERIFY(boxes_.isEmpty());

    Ambient::SetDesignMode(host_.get(), true);
    b->setValue(true);
    QVERIFY(!b->Value());
    QCOMPARE(boxes_.size(), 1);
    QCOMPARE(boxes_[0].text, QString("This property is not applicable for command button modes."));
    QCOMPARE(boxes_[0].icon, QMessageBox::Information);

    // Image on top: only a centred caption, refused with a message at design time.
    b->setPicture(QPixmap(16, 16));
    b->setPictureAlign(4);
    b->setCaptionAlign(0);
    QCOMPARE(b->CaptionAlign(), 2);
    QCOMPARE(boxes_.size(), 2);
    QCOMPARE(boxes_[1].text, QString("When button images are aligned top/bottom center, \n"
                                     "button captions can only be center aligned"));
    // Switching a check box back to command mode clears Value.
    Ambient::SetDesignMode(host_.get(), false);
    b->setMode(1);
    b->setValue(true);
    b->setMode(0);
    QVERIFY(!b->Value());
}

void tst_QuillonButton::hoverColoursFollowUntilLocked() {
    QuillonButton* b = Make("btn");
    b->setHoverBackColor(b->BackColor());
    QCOMPARE(b->HoverColorLocks(), 0);
    b->setBackColor(0x0000FF);
    QCOMPARE(b->HoverBackColor(), 0x0000FFu);  // follows the face
    b->setGradientColor(0x00FF00);
    b->setGradientMode(1);
    QCOMPARE(b->HoverBackColor(), 0x00FF00u);  // follows the gradient
    b->setForeColor(0x123456);
    QCOMPARE(b->HoverForeColor(), 0x123456u);

    b->setHoverBackColor(0xABCDEF);
    QCOMPARE(b->HoverColorLocks(), 1);
    b->setHoverForeColor(0x111111);
    QCOMPARE(b->HoverColorLocks(), 3);
    b->setBackColor(0x222222);
    b->setForeColor(0x333333);
    QCOMPARE(b->HoverBackColor(), 0xABCDEFu);
    QCOMPARE(b->HoverForeColor(), 0x111111u);
    // Unlocking snaps them back.
    b->setHoverColorLocks(0);
    QCOMPARE(b->HoverBackColor(), 0x00FF00u);
    QCOMPARE(b->HoverForeColor(), 0x333333u);
}

void tst_QuillonButton::accessKeyParsing_data() {
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("plain");
    QTest::newRow("ampersand pair then key") << "Save && &Exit"
                                             << "E"
                                             << "Save & Exit";
    QTest::newRow("pair only") << "A&&B"
                               << ""
                               << "A&B";
    QTest::newRow("pair before key") << "&&&File"
                                     << "F"
                                     << "&File";
    QTest::newRow("last mark wins") << "&a&b"
                                    << "B"
                                    << "ab";
    QTest::newRow("line break") << "Two||Lines"
                                << ""
                                << "Two Lines";
    QTest::newRow("trailing mark") << "Go&"
                                   << ""
                                   << "Go";
}

void tst_QuillonButton::accessKeyParsing() {
    QFETCH(QString, caption);
    QFETCH(QString, key);
    QFETCH(QString, plain);
    QuillonButton* b = Make("btn");
    b->setCaption(caption);
    QCOMPARE(b->AccessKey().isNull() ? QString() : QString(b->AccessKey()), key);
    QCOMPARE(b->PlainCaption(), plain);
}

void tst_QuillonButton::storedSettingsRoundTrip() {
    QuillonButton* b = Make("btn");
    b->setCaption("&Preview");
    b->setCaptionAlign(0);
    b->setButtonStyle(2);
    b->setGradientMode(3);
    b->setGradientColor(0x00C0FF);
    b->setForeColor(0x102030);
    b->setHoverBackColor(0x445566);
    b->setCaptionStyle(1);
    b->setPictureSize(1);
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::red);
    b->setPicture(QPixmap::fromImage(image));
    b->setFontStyle(2 | 4);
    b->setMode(1);
    b->setValue(true);

    PropertyBag bag;
    b->WriteProperties(bag);
    const auto parsed = PropertyBag::FromText(bag.ToText());
    QVERIFY(parsed);
    QuillonButton* copy = Make("copy");
    copy->ReadProperties(*parsed);
    for (const char* name :
         {"Caption", "CaptionAlign", "ButtonStyle", "GradientMode", "GradientColor", "ForeColor",
          "HoverBackColor", "HoverColorLocks", "CaptionStyle", "PictureSize", "Mode", "Value",
          "FontStyle", "BackColor", "HoverForeColor"}) {
        QVERIFY2(copy->property(name) == b->property(name), name);
    }
    QCOMPARE(copy->AccessKey(), QChar('P'));
    QCOMPARE(copy->Picture().toImage().pixelColor(3, 3), QColor(Qt::red));
}

void tst_QuillonButton::storedSetRules() {
    QuillonButton* b = Make("btn");
    b->setCaption(QString());
    PropertyBag bag;
    b->WriteProperties(bag);
    // Only the always-stored settings remain for an untouched button.
    QStringList names = bag.Names();
    names.sort(Qt::CaseInsensitive);
    QCOMPARE(names, (QStringList{"cBack", "Mode", "Value"}));

    // A stored set without "Caption" loads an empty caption; lower-case names
    // load like their mixed-case spelling.
    const auto text = PropertyBag::FromText(
        "int capalign=0\nint backstyle=7\nbool focus=0\ncolor cback=0x00FF0000\n");
    QVERIFY(text);
    QuillonButton* loaded = Make("loaded");
    loaded->ReadProperties(*text);
    QCOMPARE(loaded->Caption(), QString());
    QCOMPARE(loaded->CaptionAlign(), 0);
    QCOMPARE(loaded->ButtonStyle(), 7);
    QVERIFY(!loaded->ShowFocusRect());
    QCOMPARE(loaded->BackColor(), 0xFF0000u);
    QCOMPARE(loaded->HoverBackColor(), 0xFF0000u);  // cBHover missing: the loaded face

    // Nonsense in a stored set falls back to the defaults.
    const auto bad = PropertyBag::FromText("int backstyle=99\nint imgsize=17\nint mode=-4\n");
    QVERIFY(bad);
    loaded->ReadProperties(*bad);
    QCOMPARE(loaded->ButtonStyle(), 0);
    QCOMPARE(loaded->PictureSizePixels(), 16);
    QCOMPARE(loaded->Mode(), 0);
}

void tst_QuillonButton::slantedButtonWidensOnResize() {
    QuillonButton* b = Make("btn");
    b->resize(24, 20);
    b->setButtonShape(1);
    QCOMPARE(b->width(), 29);
    QCOMPARE(b->mask().contains(QPoint(1, 19)), false);
}

void tst_QuillonButton::delayDrawingBatchesChanges() {
    QuillonButton* b = Make("btn");
    const QImage before = b->Surface();
    b->DelayDrawing(true);
    b->setBackColor(0x0000FF);
    b->setButtonStyle(4);
    QCOMPARE(b->Surface(), before);
    b->DelayDrawing(false);
    QVERIFY(b->Surface() != before);
    QCOMPARE(b->Surface().pixelColor(40, 12), QColor(255, 0, 0));
}

void tst_QuillonButton::backColorReachesTheFaceInEveryStyle() {
    QuillonButton* b = Make("btn");
    b->setBackColor(0x0000FF);
    for (int style = 0; style < 8; ++style) {
        b->setButtonStyle(style);
        const QColor face = b->Surface().pixelColor(40, 12);
        QVERIFY2(face.red() > 200 && face.green() < 80 && face.blue() < 80,
                 qPrintable(QStringLiteral("style %1: %2").arg(style).arg(face.name())));
    }
}

void tst_QuillonButton::dragOutAndReleaseGivesNoClick() {
    QuillonButton* b = Make("btn");
    Show();
    Recorder r(b);
    QTest::mouseMove(b, QPoint(40, 12));
    QTest::mousePress(b, Qt::LeftButton, {}, QPoint(40, 12));
    QVERIFY(b->State().down());
    // The pointer leaves while the button holds the mouse.
    QCursor::setPos(host_->mapToGlobal(QPoint(300, 150)));
    QTest::mouseMove(host_.get(), QPoint(300, 150));
    QTRY_VERIFY(!b->HoverTracking());
    QVERIFY(!b->State().down());  // drawn up once the pointer has left
    QTest::mouseRelease(b, Qt::LeftButton, {}, b->mapFrom(host_.get(), QPoint(300, 150)));
    QCOMPARE(r.log, (QStringList{"MouseOnButton(true)", "MouseDown(1)", "MouseOnButton(false)",
                                 "MouseUp(1)"}));
}

void tst_QuillonButton::spaceOnCheckBox() {
    QuillonButton* b = Make("chk");
    b->setMode(1);
    Show();
    b->setFocus();
    Recorder r(b);
    QTest::keyPress(b, Qt::Key_Space);
    QVERIFY(b->StateBits() & zs::button::kPressedBit);
    QTest::keyRelease(b, Qt::Key_Space);
    QCOMPARE(r.log, (QStringList{"KeyDown(32)", "KeyUp(32)", "Click(Value=1)"}));
    QVERIFY(b->Value());
}

void tst_QuillonButton::spaceOnCommandButton() {
    QuillonButton* b = Make("btn");
    Show();
    b->setFocus();
    Recorder r(b);
    const QImage up = b->Surface();
    QTest::keyPress(b, Qt::Key_Space);
    QVERIFY(b->Surface() != up);  // drawn down
    QTest::keyRelease(b, Qt::Key_Space);
    QCOMPARE(b->Surface(), up);
    QCOMPARE(r.log, (QStringList{"KeyDown(32)", "Click(Value=0)", "KeyUp(32)"}));
    // A release without a press does nothing special.
    r.log.clear();
    QTest::keyRelease(b, Qt::Key_Space);
    QCOMPARE(r.log, QStringList{"KeyUp(32)"});
}

void tst_QuillonButton::doubleClickHasNoSecondClick() {
    QuillonButton* b = Make("btn");
    Show();
    Recorder r(b);
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseDClick(b, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseRelease(b, Qt::LeftButton, {}, QPoint(10, 10));
    r.log.removeAll("MouseOnButton(true)");
    QCOMPARE(r.log, (QStringList{"MouseDown(1)", "MouseUp(1)", "Click(Value=0)", "DoubleClick(1)",
                                 "MouseDown(1)", "MouseUp(1)"}));
}

void tst_QuillonButton::optionButtonAlreadyOnRaisesNothing() {
    QuillonButton* b = Make("opt");
    b->setMode(2);
    b->setValue(true);
    Show();
    Recorder r(b);
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(10, 10));
    QVERIFY(!r.log.contains("Click(Value=1)"));
    QVERIFY(b->Value());
    // A right click is no click either.
    b->setMode(1);
    r.log.clear();
    QTest::mouseClick(b, Qt::RightButton, {}, QPoint(10, 10));
    QVERIFY(b->Value());
    QCOMPARE(r.log.filter("Click").size(), 0);
}

void tst_QuillonButton::threeOptionButtons() {
    QuillonButton* a = Make("a");
    QuillonButton* b = Make("b");
    QuillonButton* c = Make("c");
    for (QuillonButton* x : {a, b, c}) x->setMode(2);
    Show();
    QTest::mouseClick(a, Qt::LeftButton, {}, QPoint(10, 10));
    QVERIFY(a->Value());
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(10, 10));
    QVERIFY(!a->Value());
    QVERIFY(b->Value());
    Recorder r(c);
    c->setFocus(Qt::TabFocusReason);
    QVERIFY(c->hasFocus());
    QVERIFY(!c->Value());
    QVERIFY(b->Value());
    QVERIFY(r.log.isEmpty());
    // In a group where none is on, the focus turns the button on.
    b->setValue(false);
    a->setFocus(Qt::TabFocusReason);
    QVERIFY(a->Value());
}

void tst_QuillonButton::groupFollowsModeChanges() {
    QuillonButton* a = Make("a");
    QuillonButton* b = Make("b");
    QuillonButton* c = Make("c");
    for (QuillonButton* x : {a, b, c}) x->setMode(2);
    QCOMPARE(OptionGroup::Members(host_.get()), (QList<QuillonButton*>{a, b, c}));
    b->setMode(1);
    QCOMPARE(OptionGroup::Members(host_.get()), (QList<QuillonButton*>{a, c}));
    b->setMode(2);
    QCOMPARE(OptionGroup::Members(host_.get()), (QList<QuillonButton*>{a, c, b}));
    delete a;
    QCOMPARE(OptionGroup::Members(host_.get()), (QList<QuillonButton*>{c, b}));
    // Each container has its own group.
    QWidget other(host_.get());
    c->setParent(&other);
    QCOMPARE(OptionGroup::Members(host_.get()), QList<QuillonButton*>{b});
    QCOMPARE(OptionGroup::Members(&other), QList<QuillonButton*>{c});
    c->setParent(host_.get());
}

void tst_QuillonButton::arrowsGoToTheContainer() {
    QuillonButton* b = Make("opt");
    QuillonButton* on = Make("on");
    b->setMode(2);
    on->setMode(2);
    on->setValue(true);
    Show();
    b->setFocus();
    KeySink sink;
    host_->installEventFilter(&sink);
    Recorder r(b);
    QTest::keyPress(b, Qt::Key_Left);
    QTest::keyPress(b, Qt::Key_Down);
    QCoreApplication::processEvents();
    QCOMPARE(sink.keys, (QList<QPair<int, quint32>>{{Qt::Key_Left, 0x4B}, {Qt::Key_Down, 0x50}}));
    QVERIFY(r.log.isEmpty());
    QTest::keyRelease(b, Qt::Key_Down);
    QVERIFY(b->Value());  // an option button that is off turns on
    QVERIFY(!on->Value());
    QCOMPARE(r.log, QStringList{"Click(Value=1)"});
}

void tst_QuillonButton::enterAndEscape() {
    QuillonButton* ok = Make("ok");
    QuillonButton* cancel = Make("cancel");
    QuillonButton* chk = Make("chk");
    ok->setDefault(true);
    cancel->setCancel(true);
    Show();
    Recorder rOk(ok), rCancel(cancel);
    QTest::keyClick(host_.get(), Qt::Key_Return);
    QTest::keyClick(host_.get(), Qt::Key_Escape);
    QCOMPARE(rOk.log, QStringList{"Click(Value=0)"});
    QCOMPARE(rCancel.log, QStringList{"Click(Value=0)"});
    // Enter on a check box that is the default button does nothing.
    ok->setDefault(false);
    chk->setMode(1);
    chk->setDefault(true);
    Recorder rChk(chk);
    QTest::keyClick(host_.get(), Qt::Key_Return);
    QVERIFY(rChk.log.isEmpty());
    QVERIFY(!chk->Value());
}

void tst_QuillonButton::accessKeyClicks() {
    QuillonButton* b = Make("btn");
    b->setCaption("Save && &Exit");
    Show();
    Recorder r(b);
    QTest::keyClick(host_.get(), Qt::Key_E, Qt::AltModifier);
    QCOMPARE(r.log, QStringList{"Click(Value=0)"});
}

void tst_QuillonButton::accessibility() {
    QuillonButton* b = Make("btn");
    b->setCaption("Save && &Exit");
    b->setToolTip("Saves, then closes");
    Show();
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(b);
    QVERIFY(iface);
    QCOMPARE(iface->role(), QAccessible::Button);
    QCOMPARE(iface->text(QAccessible::Name), QString("Save & Exit"));
    QCOMPARE(iface->text(QAccessible::Description), QString("Saves, then closes"));
    QVERIFY(iface->state().focusable);
    b->setMode(1);
    QCOMPARE(iface->role(), QAccessible::CheckBox);
    b->setValue(true);
    QVERIFY(iface->state().checked);
    b->setMode(2);
    QCOMPARE(iface->role(), QAccessible::RadioButton);
    b->setMode(0);
    b->setEnabled(false);
    QVERIFY(iface->state().disabled);
    b->setEnabled(true);
    b->setDefault(true);
    QVERIFY(iface->state().defaultButton);

    QAccessibleActionInterface* actions = iface->actionInterface();
    QVERIFY(actions);
    QVERIFY(actions->actionNames().contains(QAccessibleActionInterface::pressAction()));
    QCOMPARE(actions->keyBindingsForAction(QAccessibleActionInterface::pressAction()).size(), 1);
    Recorder r(b);
    actions->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(r.log, (QStringList{"MouseDown(1)", "MouseUp(1)", "Click(Value=0)"}));
}

// A drag from the button: the host fills in the data, narrows the effects,
// fills an announced format when it is asked for, and hears the end.
void tst_QuillonButton::dragEventsReachTheHost() {
    QuillonButton* b = Make("btnDrag");
    Show();
    int allowedByHost = 0;
    QList<int> offered;
    QString filled;
    connect(b, &QuillonButton::OLEStartDrag, [&](QMimeData* data, int& allowed) {
        offered << allowed;
        data->setData("text/plain", QByteArray());  // announced, filled on demand
        filled = data->text();
        allowed = allowedByHost;
    });
    QStringList asked;
    connect(b, &QuillonButton::OLESetData, [&](QMimeData* data, QString& format) {
        asked << format;
        data->setData(format, "from the host");
    });
    QList<int> completed;
    connect(b, &QuillonButton::OLECompleteDrag, [&](int& effect) { completed << effect; });

    b->OLEDrag();  // the host allows nothing: no drag
    QCOMPARE(offered, QList<int>{3});
    QCOMPARE(asked, QStringList{"text/plain"});
    QCOMPARE(filled, QString("from the host"));
    QVERIFY(completed.isEmpty());

    allowedByHost = 1;
    // Should a platform run the drag, nothing takes it: Escape ends it.
    QTimer::singleShot(100, [] {
        if (QWindow* window = QGuiApplication::focusWindow())
            QTest::keyClick(window, Qt::Key_Escape);
    });
    b->OLEDrag();
    QCOMPARE(completed, QList<int>{0});
}

QTEST_MAIN(tst_QuillonButton)
#include "tst_QuillonButton.moc"
