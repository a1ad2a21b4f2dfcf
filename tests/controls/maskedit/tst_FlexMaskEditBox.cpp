#include <QAccessible>
#include <QClipboard>
#include <QLabel>
#include <QMenu>
#include <QMetaProperty>
#include <QMimeData>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtTest>

#include "Ambient.h"
#include "AppError.h"
#include "FlexMaskEditBox.h"
#include "FlexTextBox.h"
#include "MsgBox.h"
#include "PropertyBag.h"
#include "SystemColors.h"

namespace {

// A window with the given fields in tab order, a button after them.
struct Form {
    QWidget window;
    QList<FlexMaskEditBox*> fields;
    QPushButton* after = nullptr;

    explicit Form(int count) {
        auto* layout = new QVBoxLayout(&window);
        for (int i = 0; i < count; ++i) {
            auto* field = new FlexMaskEditBox(&window);
            field->setObjectName(QStringLiteral("msk%1").arg(i));
            layout->addWidget(field);
            fields << field;
        }
        after = new QPushButton(QStringLiteral("OK"), &window);
        layout->addWidget(after);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        after->setFocus();
    }
    void focus(int i) {
        fields[i]->setFocus(Qt::TabFocusReason);
        QCoreApplication::processEvents();
    }
    int focused() const {
        for (int i = 0; i < fields.size(); ++i) {
            if (fields[i]->textBox()->hasFocus()) return i;
        }
        return after->hasFocus() ? static_cast<int>(fields.size()) : -1;
    }
};

// Presses and releases `key` as a keyboard under X delivers it: Delete and
// Backspace carry their control characters (127, 8) as text.
void RealKey(QWidget* target, const QString& key) {
    struct Named {
        const char* name;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        const char* text;
    };
    static const Named named[] = {
        {"DEL", Qt::Key_Delete, Qt::NoModifier, "\x7f"},
        {"CS-DEL", Qt::Key_Delete, Qt::ControlModifier | Qt::ShiftModifier, "\x7f"},
        {"BS", Qt::Key_Backspace, Qt::NoModifier, "\b"},
    };
    // A typed character's key code is its upper-case letter (Qt::Key_A, Key_Space ...).
    Qt::Key code = Qt::Key(key.at(0).toUpper().unicode());
    Qt::KeyboardModifiers modifiers;
    QString text = key;
    for (const Named& n : named) {
        if (key == QLatin1String(n.name)) {
            code = n.key;
            modifiers = n.modifiers;
            text = QLatin1String(n.text);
        }
    }
    QKeyEvent press(QEvent::KeyPress, code, modifiers, text);
    QCoreApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, code, modifiers, text);
    QCoreApplication::sendEvent(target, &release);
}

}  // namespace

class tst_FlexMaskEditBox : public QObject {
    Q_OBJECT

private slots:
    void newWidgetDefaults();
    void typingThroughKeys();
    void overwriteAndSelectionKeys();
    void keyboardEvents_data();
    void keyboardEvents();
    void caretFollowsTheFontSize_data();
    void caretFollowsTheFontSize();
    void changeSignal();
    void formattedLookWhileUnfocused();
    void unsetFormatFontFollowsTheHost();
    void fontSettersReportTheirOwnName();
    void linkMethodsRaiseNoChannel();
    void inactiveColours();
    void borderFollowsFocus();
    void focusOrderWrapsAndExits();
    void focusPassesOverStoredDisabledBox_data();
    void focusPassesOverStoredDisabledBox();
    void exitOnArrowKeysCanCancel();
    void enterWithoutMaskMovesOn();
    void autoNextAfterLastInput();
    void firstClickGoesToFirstEmptyPosition();
    void popupMenu();
    void clipboardKeys();
    void dropsFollowTheDropMode();
    void dragsTheSelectionOut();
    void propertyErrors();
    void propertyBagRoundTrip();
    void storedConvertDialogField();
    void storedDateReadsBackTheSameValue_data();
    void storedDateReadsBackTheSameValue();
    void accessibleAsEditableText();
};

void tst_FlexMaskEditBox::newWidgetDefaults() {
    FlexMaskEditBox box;
    for (const char* on : {"ExitOnEnter", "UpAndDownKeys2NextFlexMask", "AutoToLastPos",
                           "MaskCharInclude", "InsertZerosInNumField", "Enabled"}) {
        QVERIFY2(box.property(on).toBool(), on);
    }
    for (const char* off : {"PromptInclude", "BeepOnError", "AutoSelect", "AutoNextFlexInput",
                            "CenturyON", "BorderIfFocus", "BorderNoFocus", "HideSelection",
                            "DataHasChanged", "Locked", "Border"}) {
        QVERIFY2(!box.property(off).toBool(), off);
    }
    for (const char* empty : {"Mask", "SpecialChars", "Char2ActivateTranNextChar2Upper",
                              "FormatString", "Text", "ToolTipText", "Tag", "LinkItem"}) {
        QVERIFY2(box.property(empty).toString().isEmpty(), empty);
    }
    QCOMPARE(box.PromptChar(), QStringLiteral("_"));
    QCOMPARE(box.DecimalSeperator(), QLocale().decimalPoint().toUpper());
    QCOMPARE(box.DateSeperator(), QStringLiteral("-"));
    QCOMPARE(box.ForeColor(), 0x80000008u);
    QCOMPARE(box.BackColor(), 0x80000005u);
    QCOMPARE(box.ForeColorInActive(), 0u);
    QCOMPARE(box.BorderStyle(), 1);
    QCOMPARE(box.LinkTimeout(), 50);
    QCOMPARE(box.FieldType(), 0);
}

void tst_FlexMaskEditBox::typingThroughKeys() {
    Form form(1);
    FlexMaskEditBox* box = form.fields[0];
    box->setMask(QStringLiteral("(###) ###-####"));
    form.focus(0);
    QTest::keyClicks(box->textBox(), QStringLiteral("555x1234567"));
    QCOMPARE(box->Text(), QStringLiteral("(555) 123-4567"));
    QCOMPARE(box->textBox()->cursorPosition(), 14);
    QVERIFY(box->DataHasChanged());
    // Backspace across the literal pulls the rest left.
    box->setSelStart(10);
    QTest::keyClick(box->textBox(), Qt::Key_Backspace);
    QCOMPARE(box->TextAsDisplayed(), QStringLiteral("(555) 124-567_"));
    QCOMPARE(box->SelStart(), 8);
    // Ctrl+Delete blanks the rest; Home/End move to the ends.
    QTest::keyClick(box->textBox(), Qt::Key_Home);
    QTest::keyClick(box->textBox(), Qt::Key_Delete, Qt::ControlModifier);
    QCOMPARE(box->TextAsDisplayed(), QStringLiteral("(___) ___-____"));
    QVERIFY(box->IsEmptyText());
}

void tst_FlexMaskEditBox::keyboardEvents_data() {
    QTest::addColumn<QString>("mask");
    QTest::addColumn<int>("fieldType");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("cursor");
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<QString>("display");
    QTest::addColumn<int>("cursorAfter");
    QTest::addColumn<int>("keyPresses");  // KeyPress events the host sees

    QTest::newRow("delete pulls left") << "(###) ###-####" << 0 << "1234567890" << 1
                                       << QStringList{"DEL"} << "(234) 567-890_" << 1 << 0;
    QTest::newRow("delete in the integer part")
        << "####.##" << 2 << "12.5" << 2 << QStringList{"DEL"} << "___2.50" << 3 << 0;
    QTest::newRow("ctrl+shift+delete blanks a number to the end")
        << "####.##" << 2 << "12.5" << 3 << QStringList{"CS-DEL"} << "__1_.__" << 3 << 0;
    QTest::newRow("capitalising blank")
        << "&&&&&" << 0 << "" << 0 << QStringList{"a", " ", "b"} << "a B__" << 3 << 3;
    QTest::newRow("capitalising blank taken back")
        << "&&&&&" << 0 << "" << 0 << QStringList{"a", " ", "BS", "b"} << "ab___" << 2 << 4;
}

void tst_FlexMaskEditBox::keyboardEvents() {
    QFETCH(QString, mask);
    QFETCH(int, fieldType);
    QFETCH(QString, text);
    QFETCH(int, cursor);
    QFETCH(QStringList, keys);
    Form form(1);
    FlexMaskEditBox* box = form.fields[0];
    box->setFieldType(fieldType);
    box->setMask(mask);
    box->setChar2ActivateTranNextChar2Upper(QStringLiteral(" "));
    box->setText(text);
    form.focus(0);
    box->setSelStart(cursor);
    int keyPresses = 0;
    connect(box, &FlexMaskEditBox::KeyPress, box, [&keyPresses](int&) { ++keyPresses; });
    for (const QString& key : keys) RealKey(box->textBox(), key);
    QTEST(box->TextAsDisplayed(), "display");
    QTEST(box->textBox()->text(), "display");
    QTEST(box->SelStart(), "cursorAfter");
    QTEST(keyPresses, "keyPresses");
}

void tst_FlexMaskEditBox::overwriteAndSelectionKeys() {
    Form form(1);
    FlexMaskEditBox* box = form.fields[0];
    box->setMask(QStringLiteral("####"));
    box->setText(QStringLiteral("1234"));
    form.focus(0);
    box->setSelStart(1);
    QTest::keyClick(box->textBox(), Qt::Key_5);
    QCOMPARE(box->TextAsDisplayed(), QStringLiteral("1234"));  // full: insert refused
    QTest::keyClick(box->textBox(), Qt::Key_Insert);
    QVERIFY(box->textBox()->CaretWidth() > 1);
    QTest::keyClick(box->textBox(), Qt::Key_5);
    QCOMPARE(box->TextAsDisplayed(), QStringLiteral("1534"));
    QTest::keyClick(box->textBox(), Qt::Key_Insert);
    QCOMPARE(box->textBox()->CaretWidth(), 1);
    // Shift+Right extends the selection natively; typing replaces it.
    box->setSelStart(0);
    QTest::keyClick(box->textBox(), Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(box->textBox(), Qt::Key_Right, Qt::ShiftModifier);
    QCOMPARE(box->SelText(), QStringLiteral("15"));
    QTest::keyClick(box->textBox(), Qt::Key_9);
    QCOMPARE(box->TextAsDisplayed(), QStringLiteral("9_34"));
}

void tst_FlexMaskEditBox::caretFollowsTheFontSize_data() {
    QTest::addColumn<double>("points");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("blockWidth");
    QTest::newRow("8 pt") << 8.0 << 16 << 8;
    QTest::newRow("8.25 pt") << 8.25 << 16 << 8;
    QTest::newRow("12 pt") << 12.0 << 24 << 12;
}

// The caret is twice the font's point size tall, in pixels, in both modes;
// overwrite mode makes it as wide as the point size.
void tst_FlexMaskEditBox::caretFollowsTheFontSize() {
    QFETCH(double, points);
    QFETCH(int, height);
    QFETCH(int, blockWidth);
    Form form(1);
    FlexMaskEditBox* box = form.fields[0];
    box->setFontSize(points);
    box->setMask(QStringLiteral("####"));
    box->setFixedHeight(60);
    form.focus(0);
    FlexTextBox* text = box->textBox();
    for (int mode = 0; mode < 2; ++mode) {  // both modes; the Insert toggle ends as it was
        const int width = text->CaretWidth() == 1 ? 1 : blockWidth;
        QCOMPARE(text->CaretWidth(), width);
        QCOMPARE(text->CaretRect().size(), QSize(width, height));
        QTest::keyClick(text, Qt::Key_Insert);
    }
}

void tst_FlexMaskEditBox::changeSignal() {
    FlexMaskEditBox box;
    box.setFieldType(2);
    box.setMask(QStringLiteral("####"));
    QSignalSpy change(&box, &FlexMaskEditBox::Change);
    box.setText(QStringLiteral("12"));
    QCOMPARE(change.count(), 1);
    box.setText(QStringLiteral("12"));
    QCOMPARE(change.count(), 1);  // same content, no change
    box.setFormatString(QStringLiteral("####"));
    box.setText(QString());
    QCOMPARE(change.count(), 2);  // the formatted text written afterwards is not a change
    QCOMPARE(box.textBox()->text(), QString());
}

void tst_FlexMaskEditBox::formattedLookWhileUnfocused() {
    Form form(2);
    FlexMaskEditBox* box = form.fields[0];
    box->setFieldType(2);
    box->setMaxLength(4);
    box->setMask(QStringLiteral("####"));
    box->setFormatString(QStringLiteral("####"));
    box->setFormatAlignment(2);
    box->setInsertZerosInNumField(false);
    box->setText(QStringLiteral("12"));
    QCOMPARE(box->textBox()->text(), QStringLiteral("12"));
    QCOMPARE(box->Text(), QStringLiteral("12  "));
    form.focus(0);
    QCOMPARE(box->textBox()->text(), QStringLiteral("12__"));
    QVERIFY(box->textBox()->alignment() & Qt::AlignLeft);
    box->setSelStart(1);
    form.focus(1);
    QCOMPARE(box->textBox()->text(), QStringLiteral("12"));
    QVERIFY(box->textBox()->alignment() & Qt::AlignHCenter);
    form.focus(0);
    QCOMPARE(box->textBox()->text(), QStringLiteral("12__"));
    QCOMPARE(box->SelStart(), 1);  // back where it was
}

void tst_FlexMaskEditBox::unsetFormatFontFollowsTheHost() {
    Form form(2);
    QFont hostFont = form.window.font();
    hostFont.setPointSize(15);
    form.window.setFont(hostFont);
    FlexMaskEditBox* box = form.fields[0];
    QFont own = box->Font();
    own.setItalic(true);
    own.setPointSize(9);
    box->setFontProperty(own);
    box->setFormatString(QStringLiteral("@@@"));
    box->setText(QStringLiteral("abc"));
    form.focus(1);
    // The formatted look shows the font FormatFont reports: the host's.
    QCOMPARE(box->FormatFont(), hostFont);
    QCOMPARE(box->textBox()->font(), box->FormatFont());
    form.focus(0);
    QCOMPARE(box->textBox()->font(), own);
}

void tst_FlexMaskEditBox::fontSettersReportTheirOwnName() {
    FlexMaskEditBox box;
    QStringList reported;
    connect(&box, &FlexMaskEditBox::PropertyChanged, &box,
            [&reported](const QString& name) { reported << name; });
    box.setFontBold(true);
    box.setFontItalic(true);
    box.setFontStrikethru(true);
    box.setFontUnderline(true);
    box.setFontSize(12);
    QCOMPARE(reported, (QStringList{"FontBold", "FontItalic", "FontStrikethru", "FontUnderline",
                                    "FontSize"}));
    QVERIFY(box.Font().bold() && box.Font().italic() && box.Font().strikeOut() &&
            box.Font().underline());
    QCOMPARE(box.textBox()->font().pointSizeF(), 12.0);
}

// No link service exists here: each method is there for a host to call, and
// says that no channel is open.
void tst_FlexMaskEditBox::linkMethodsRaiseNoChannel() {
    FlexMaskEditBox box;
    box.setText(QStringLiteral("kept"));
    for (const char* method : {"LinkExecute", "LinkPoke", "LinkRequest", "LinkSend"}) {
        try {
            if (QByteArray(method) == "LinkExecute") {
                QMetaObject::invokeMethod(&box, method, Q_ARG(QString, QStringLiteral("[run]")));
            } else {
                QMetaObject::invokeMethod(&box, method);
            }
            QFAIL(method);
        } catch (const AppError& error) {
            QCOMPARE(error.Number, 293);
            QVERIFY2(error.Source.endsWith(QLatin1String(method)), qPrintable(error.Source));
        }
    }
    QCOMPARE(box.Text(), QStringLiteral("kept"));
}

void tst_FlexMaskEditBox::inactiveColours() {
    Form form(2);
    FlexMaskEditBox* box = form.fields[0];
    const QColor normalBase = box->textBox()->palette().color(QPalette::Base);
    box->setForeColorInActive(0x0000FF);  // red
    form.focus(0);
    QCOMPARE(box->textBox()->palette().color(QPalette::Text),
             zs::TranslateColor(FlexMaskEditBox::kWindowText));
    form.focus(1);
    QCOMPARE(box->textBox()->palette().color(QPalette::Text), QColor(Qt::red));
    QCOMPARE(box->textBox()->palette().color(QPalette::Base), normalBase);
}

void tst_FlexMaskEditBox::borderFollowsFocus() {
    Form form(2);
    FlexMaskEditBox* box = form.fields[0];
    box->setBorderIfFocus(true);
    form.focus(0);
    QVERIFY(box->Border());
    QVERIFY(box->textBox()->geometry() != box->rect());
    form.focus(1);
    QVERIFY(!box->Border());
    QCOMPARE(box->textBox()->geometry(), box->rect());
}

void tst_FlexMaskEditBox::focusOrderWrapsAndExits() {
    Form form(3);
    for (FlexMaskEditBox* field : form.fields) field->setMask(QStringLiteral("##"));
    // Tab order 1, 5, 9 of the original form: the third field is last.
    form.focus(2);
    QTest::keyClick(form.fields[2]->textBox(), Qt::Key_Down);
    QCOMPARE(form.focused(), 0);
    QTest::keyClick(form.fields[0]->textBox(), Qt::Key_Up);
    QCOMPARE(form.focused(), 2);
    QTest::keyClick(form.fields[2]->textBox(), Qt::Key_Up);
    QCOMPARE(form.focused(), 1);
    form.focus(2);
    form.fields[2]->setExitOnEnter(false);
    QTest::keyClick(form.fields[2]->textBox(), Qt::Key_Return);
    QCOMPARE(form.focused(), 2);
    form.fields[2]->setExitOnEnter(true);
    QTest::keyClick(form.fields[2]->textBox(), Qt::Key_Return);
    QCOMPARE(form.focused(), 3);  // on to the next control
    // A hidden field is passed over.
    form.fields[1]->hide();
    form.focus(0);
    QTest::keyClick(form.fields[0]->textBox(), Qt::Key_Return);
    QCOMPARE(form.focused(), 2);
}

void tst_FlexMaskEditBox::focusPassesOverStoredDisabledBox_data() {
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("to");
    QTest::newRow("down") << 0 << int(Qt::Key_Down) << 2;
    QTest::newRow("enter") << 0 << int(Qt::Key_Return) << 2;
    QTest::newRow("up") << 2 << int(Qt::Key_Up) << 0;
    QTest::newRow("tab") << 0 << int(Qt::Key_Tab) << 2;
}

// Stored settings may disable only the text box: moving on skips the field,
// and its Enabled reads what the box is.
void tst_FlexMaskEditBox::focusPassesOverStoredDisabledBox() {
    QFETCH(int, from);
    QFETCH(int, key);
    QFETCH(int, to);
    Form form(3);
    PropertyBag bag;
    bag.WriteProperty(QStringLiteral("Mask"), QStringLiteral("###"));
    for (FlexMaskEditBox* field : form.fields) field->ReadProperties(bag);
    bag.WriteProperty(QStringLiteral("Enabled"), false);
    form.fields[1]->ReadProperties(bag);
    QVERIFY(!form.fields[1]->Enabled());
    QVERIFY(form.fields[0]->Enabled());
    form.focus(from);
    QTest::keyClick(form.fields[from]->textBox(), Qt::Key(key));
    QCOMPARE(form.focused(), to);
}

void tst_FlexMaskEditBox::exitOnArrowKeysCanCancel() {
    Form form(2);
    for (FlexMaskEditBox* field : form.fields) field->setMask(QStringLiteral("##"));
    connect(form.fields[0], &FlexMaskEditBox::ExitOnArrowKeys, this,
            [](bool& Cancel) { Cancel = true; });
    form.focus(0);
    QTest::keyClick(form.fields[0]->textBox(), Qt::Key_Down);
    QCOMPARE(form.focused(), 0);
}

void tst_FlexMaskEditBox::enterWithoutMaskMovesOn() {
    Form form(2);
    form.focus(0);
    QTest::keyClicks(form.fields[0]->textBox(), QStringLiteral("free"));
    QCOMPARE(form.fields[0]->Text(), QStringLiteral("free"));
    QTest::keyClick(form.fields[0]->textBox(), Qt::Key_Return);
    QCOMPARE(form.focused(), 1);
}

void tst_FlexMaskEditBox::autoNextAfterLastInput() {
    Form form(2);
    for (FlexMaskEditBox* field : form.fields) field->setMask(QStringLiteral("##"));
    form.fields[0]->setAutoNextFlexInput(true);
    form.focus(0);
    QTest::keyClicks(form.fields[0]->textBox(), QStringLiteral("1"));
    QCOMPARE(form.focused(), 0);
    QTest::keyClicks(form.fields[0]->textBox(), QStringLiteral("2"));
    QCOMPARE(form.focused(), 1);
    QCOMPARE(form.fields[0]->Text(), QStringLiteral("12"));
}

void tst_FlexMaskEditBox::firstClickGoesToFirstEmptyPosition() {
    Form form(2);
    FlexMaskEditBox* box = form.fields[0];
    box->setMask(QStringLiteral("##########"));
    box->setText(QStringLiteral("12"));
    form.focus(1);
    QLineEdit* edit = box->textBox();
    edit->setFocus(Qt::MouseFocusReason);  // what the press does first
    QTest::mouseClick(edit, Qt::LeftButton, {}, QPoint(edit->width() - 4, edit->height() / 2));
    QCOMPARE(form.focused(), 0);
    QCOMPARE(edit->cursorPosition(), 2);
    // Later clicks place the cursor where they land.
    QTest::mouseClick(edit, Qt::LeftButton, {}, QPoint(edit->width() - 4, edit->height() / 2));
    QCOMPARE(edit->cursorPosition(), 10);
}

void tst_FlexMaskEditBox::popupMenu() {
    FlexMaskEditBox box;
    box.setMask(QStringLiteral("####"));
    box.setText(QStringLiteral("12"));
    QGuiApplication::clipboard()->setText(QStringLiteral("34"));
    QMenu* menu = box.PreparePopupMenu();
    auto item = [menu](const char* name) { return menu->findChild<QAction*>(name); };
    QVERIFY(item("mnuCopy")->isVisible());
    QVERIFY(!item("mnuCopy")->isEnabled());
    QVERIFY(item("mnuPaste")->isEnabled());
    QVERIFY(!item("mnuUndo")->isEnabled());

    box.setSelStart(2);
    item("mnuPaste")->trigger();
    QCOMPARE(box.TextAsDisplayed(), QStringLiteral("1234"));
    box.setSelStart(0);
    box.setSelLength(2);
    menu = box.PreparePopupMenu();
    QVERIFY(item("mnuDelete")->isEnabled());
    QVERIFY(item("mnuUndo")->isEnabled());
    item("mnuDelete")->trigger();
    QCOMPARE(box.TextAsDisplayed(), QStringLiteral("__34"));
    item("mnuUndo")->trigger();
    QCOMPARE(box.TextAsDisplayed(), QStringLiteral("12__"));

    // Host items, with the standard ones hidden.
    connect(&box, &FlexMaskEditBox::PopUpItems, this, [](QStringList& items, bool& textMenu) {
        items << QStringLiteral("First") << QStringLiteral("Second");
        textMenu = false;
    });
    QSignalSpy clicks(&box, &FlexMaskEditBox::PopUpItemsClick);
    menu = box.PreparePopupMenu();
    QVERIFY(!item("mnuCopy")->isVisible());
    QAction* second = item("mnuPopUpOwnDef(1)");
    QCOMPARE(second->text(), QStringLiteral("Second"));
    second->trigger();
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(clicks.first().first().toInt(), 1);
}

void tst_FlexMaskEditBox::clipboardKeys() {
    Form form(1);
    FlexMaskEditBox* box = form.fields[0];
    box->setMask(QStringLiteral("##-##"));
    box->setText(QStringLiteral("1"));
    form.focus(0);
    box->setSelStart(0);
    box->setSelLength(5);
    QTest::keyClick(box->textBox(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("1-"));  // prompts left out
    QGuiApplication::clipboard()->setText(QStringLiteral("9a8"));
    box->setSelStart(0);
    QTest::keyClick(box->textBox(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(box->TextAsDisplayed(), QStringLiteral("98-1_"));
}

void tst_FlexMaskEditBox::dropsFollowTheDropMode() {
    Form form(1);
    FlexMaskEditBox* box = form.fields[0];
    box->setMask(QStringLiteral("##-##"));
    QMimeData data;
    data.setText(QStringLiteral("12"));
    const QPoint at(4, 4);
    const auto send = [&](QEvent::Type type) {
        QDropEvent event(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier,
                         type);
        QCoreApplication::sendEvent(box->textBox(), &event);
        return std::pair{event.isAccepted(), event.dropAction()};
    };
    const auto enter = [&] {
        QDragEnterEvent event(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QCoreApplication::sendEvent(box->textBox(), &event);
        return std::pair{event.isAccepted(), event.dropAction()};
    };

    // No drop mode: text dropped past the mask is refused.
    QVERIFY(!enter().first);

    // Manual: the host hears every step and decides; the field takes nothing in itself.
    box->setOLEDropMode(1);
    QList<int> states;
    int wanted = 1;  // copy
    connect(box, &FlexMaskEditBox::OLEDragOver,
            [&](QObject* over, int& effect, int, int, double, double, int state) {
                QVERIFY(state == 1 || over == &data);
                QCOMPARE(effect, state == 1 ? 0 : 3);  // the effects the source allows
                states << state;
                effect = wanted;
            });
    QString dropped;
    connect(box, &FlexMaskEditBox::OLEDragDrop,
            [&](QObject* over, int& effect, int button, int, double x, double y) {
                dropped = qobject_cast<QMimeData*>(over)->text();
                QCOMPARE(button, 1);
                QVERIFY(x >= 0 && y >= 0);
                effect = wanted;
            });
    QCOMPARE(enter(), std::pair(true, Qt::CopyAction));
    QCOMPARE(send(QEvent::DragMove), std::pair(true, Qt::CopyAction));
    QDragLeaveEvent leave;
    QCoreApplication::sendEvent(box->textBox(), &leave);
    QCOMPARE(states, QList<int>({0, 2, 1}));
    enter();
    QCOMPARE(send(QEvent::Drop).first, true);
    QCOMPARE(dropped, QStringLiteral("12"));
    QCOMPARE(box->TextAsDisplayed(), QStringLiteral("__-__"));

    wanted = 2;  // a move, when the host asks for one
    QCOMPARE(enter(), std::pair(true, Qt::MoveAction));
    QDragLeaveEvent away;
    QCoreApplication::sendEvent(box->textBox(), &away);
    wanted = 0;  // the host refuses
    QVERIFY(!enter().first);
}

void tst_FlexMaskEditBox::dragsTheSelectionOut() {
    Form form(1);
    FlexMaskEditBox* box = form.fields[0];
    box->setMask(QStringLiteral("##-##"));
    box->setText(QStringLiteral("1234"));
    form.focus(0);
    box->setSelStart(0);
    box->setSelLength(2);
    QStringList offered;
    int allowedByHost = 0;
    connect(box, &FlexMaskEditBox::OLEStartDrag, [&](QObject* data, int& allowed) {
        offered << qobject_cast<QMimeData*>(data)->text();
        QCOMPARE(allowed, 3);  // copy or move
        allowed = allowedByHost;
    });
    QList<int> completed;
    connect(box, &FlexMaskEditBox::OLECompleteDrag, [&](int& effect) { completed << effect; });
    // Should a platform run the drag, nothing takes it: Escape ends it.
    const auto cancelSoon = [] {
        QTimer::singleShot(100, [] {
            if (QWindow* window = QGuiApplication::focusWindow())
                QTest::keyClick(window, Qt::Key_Escape);
        });
    };

    box->OLEDrag();  // the host allows nothing: no drag
    QCOMPARE(offered, QStringList{QStringLiteral("12")});
    QVERIFY(completed.isEmpty());

    allowedByHost = 3;
    cancelSoon();
    box->OLEDrag();
    QCOMPARE(completed, QList<int>{0});  // dropped nowhere
    QCOMPARE(box->TextAsDisplayed(), QStringLiteral("12-34"));

    // Automatic mode: a press on the selection keeps it, a release without a
    // drag places the cursor, a press and a drag start one.
    box->setOLEDragMode(1);
    QLineEdit* text = box->textBox();
    QPoint first(0, text->height() / 2);  // between the first two characters
    while (first.x() < text->width() && text->cursorPositionAt(first) < 1) first.rx()++;
    box->setSelStart(0);
    box->setSelLength(2);
    QTest::mousePress(text, Qt::LeftButton, {}, first);
    QCOMPARE(box->SelLength(), 2);
    QTest::mouseRelease(text, Qt::LeftButton, {}, first);
    QCOMPARE(box->SelLength(), 0);

    box->setSelStart(0);
    box->setSelLength(2);
    offered.clear();
    QTest::mousePress(text, Qt::LeftButton, {}, first);
    cancelSoon();
    QMouseEvent move(QEvent::MouseMove, first + QPoint(QApplication::startDragDistance() + 1, 0),
                     text->mapToGlobal(first), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(text, &move);
    QCOMPARE(offered, QStringList{QStringLiteral("12")});
}

void tst_FlexMaskEditBox::propertyErrors() {
    FlexMaskEditBox box;
    box.setDecimalSeperator(QStringLiteral(","));
    try {
        box.setDecimalSeperator(QStringLiteral("ab"));
        QFAIL("no error");
    } catch (const AppError& error) {
        QCOMPARE(error.Number, 122);
        QCOMPARE(error.Description, QStringLiteral("MUST be 1 char long"));
    }
    QCOMPARE(box.DecimalSeperator(), QStringLiteral(","));
    box.setDataHasChanged(true);
    QVERIFY(box.DataHasChanged());

    // In a form editor the refusal is shown, never thrown into the editor.
    QWidget host;
    FlexMaskEditBox designed(&host);
    Ambient::SetDesignMode(&host, true);
    QStringList shown;
    MsgBox::SetResponder([&shown](const MsgBox::Shown& message) {
        shown << message.text;
        return QMessageBox::Ok;
    });
    designed.setDataHasChanged(true);
    designed.setDecimalSeperator(QStringLiteral("ab"));
    MsgBox::SetResponder({});
    QCOMPARE(shown, (QStringList{"Set not permitted", "MUST be 1 char long"}));
    QVERIFY(!designed.DataHasChanged());
    QVERIFY_THROWS_EXCEPTION(AppError, box.setAlignment(3));
    QCOMPARE(box.Alignment(), 0);
}

void tst_FlexMaskEditBox::propertyBagRoundTrip() {
    FlexMaskEditBox original;
    original.setFieldType(2);
    original.setDecimalSeperator(QStringLiteral(","));
    original.setPromptChar(QStringLiteral("*"));
    original.setPromptInclude(true);
    original.setBeepOnError(true);
    original.setSpecialChars(QStringLiteral("*?"));
    original.setChar2ActivateTranNextChar2Upper(QStringLiteral(" "));
    original.setAutoToLastPos(false);
    original.setAutoSelect(true);
    original.setExitOnEnter(false);
    original.setFormatString(QStringLiteral("#,##0.00"));
    original.setFormatAlignment(1);
    original.setAlignment(2);
    original.setForeColor(0x00FF00);
    original.setBackColorInActive(0x80000018);
    original.setBorderIfFocus(true);
    original.setDateformat(4);
    original.setDateSeperator(QStringLiteral("/"));
    original.setInOutDateformat(7);
    original.setInOutDateSeperator(QStringLiteral("."));
    original.setCentury(19);
    original.setFontBold(true);
    original.setToolTipText(QStringLiteral("Amount"));
    original.setTag(QStringLiteral("t"));
    original.setLinkTimeout(70);
    original.setBorderStyle(0);
    // The mask and the value last: they are built from the settings above.
    original.setMask(QStringLiteral("9999,99"));
    original.setText(QStringLiteral("-12,5"));

    PropertyBag bag;
    original.WriteProperties(bag);
    QVERIFY(!bag.Contains(QStringLiteral("MaskCharInclude")));  // defaults are left out
    auto restored = PropertyBag::FromText(bag.ToText());
    QVERIFY(restored);
    FlexMaskEditBox copy;
    copy.ReadProperties(*restored);
    const QMetaObject* meta = copy.metaObject();
    const QStringList skip = {"hwnd",      "Version", "Visible",  "SelStart",
                              "SelLength", "SelText", "MouseIcon"};
    for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i) {
        const QMetaProperty property = meta->property(i);
        if (skip.contains(QLatin1String(property.name()))) continue;
        QCOMPARE(property.read(&copy), property.read(&original));
    }
    QCOMPARE(copy.TextAsDisplayed(), QStringLiteral("*-12,50"));
}

void tst_FlexMaskEditBox::storedConvertDialogField() {
    // The internal-ID field as the Convert dialog stores it.
    PropertyBag bag;
    bag.WriteProperty(QStringLiteral("FieldType"), 2);
    bag.WriteProperty(QStringLiteral("Mask"), QStringLiteral("####"));
    bag.WriteProperty(QStringLiteral("MaxLength"), 4);
    bag.WriteProperty(QStringLiteral("FormatString"), QStringLiteral("####"));
    bag.WriteProperty(QStringLiteral("Alignment"), 2);
    bag.WriteProperty(QStringLiteral("FormatAlignment"), 2);
    bag.WriteProperty(QStringLiteral("InsertZerosInNumField"), false);
    bag.WriteProperty(QStringLiteral("DecimalSeperator"), QStringLiteral("."));
    bag.WriteProperty(QStringLiteral("DateSeperator"), QStringLiteral("/"));
    bag.WriteProperty(QStringLiteral("InOutDateSeperator"), QStringLiteral("/"));
    Form form(1);
    FlexMaskEditBox* box = form.fields[0];
    box->ReadProperties(bag);
    QCOMPARE(box->Mask(), QStringLiteral("####"));
    QCOMPARE(box->MaxLength(), 4);
    form.focus(0);
    QTest::keyClicks(box->textBox(), QStringLiteral("42x"));
    QCOMPARE(box->Text().trimmed().toInt(), 42);
    QTest::keyClicks(box->textBox(), QStringLiteral("999"));
    QCOMPARE(box->Text(), QStringLiteral("4299"));
}

void tst_FlexMaskEditBox::storedDateReadsBackTheSameValue_data() {
    QTest::addColumn<int>("work");
    QTest::addColumn<QString>("workSep");
    QTest::addColumn<int>("inOut");
    QTest::addColumn<QString>("inOutSep");
    QTest::addColumn<bool>("century");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("display");
    QTest::newRow("yyyymmdd with -") << 1 << "-" << 4 << "-" << false << "2004-03-01"
                                     << "01-03-2004";
    QTest::newRow("yyyymmdd with /") << 1 << "-" << 4 << "/" << false << "2004/03/01"
                                     << "01-03-2004";
    QTest::newRow("swapped day and month") << 1 << "-" << 5 << "-" << false << "03-01-2004"
                                           << "01-03-2004";
    QTest::newRow("fixed century") << 1 << "." << 4 << "/" << true << "2004/03/01"
                                   << "01.03.2004";
    QTest::newRow("two-digit work year") << 7 << "-" << 4 << "-" << false << "2004-03-01"
                                         << "01-03-04";
    QTest::newRow("empty") << 1 << "-" << 4 << "/" << false << ""
                           << "__-__-____";
}

// A date field written to its stored settings and read again shows and
// returns the same date, whatever its in/out format.
void tst_FlexMaskEditBox::storedDateReadsBackTheSameValue() {
    QFETCH(int, work);
    QFETCH(QString, workSep);
    QFETCH(int, inOut);
    QFETCH(QString, inOutSep);
    QFETCH(bool, century);
    QFETCH(QString, text);
    QFETCH(QString, display);
    FlexMaskEditBox original;
    original.setFieldType(1);
    original.setDateformat(work);
    original.setDateSeperator(workSep);
    original.setInOutDateformat(inOut);
    original.setInOutDateSeperator(inOutSep);
    original.setCenturyON(century);
    original.setCentury(century ? 20 : 0);
    original.setMask({});
    original.setText(text);
    QCOMPARE(original.TextAsDisplayed(), display);
    PropertyBag bag;
    original.WriteProperties(bag);
    auto restored = PropertyBag::FromText(bag.ToText());
    QVERIFY(restored);
    FlexMaskEditBox copy;
    copy.ReadProperties(*restored);
    QCOMPARE(copy.TextAsDisplayed(), display);
    QCOMPARE(copy.Text(), original.Text());
}

void tst_FlexMaskEditBox::accessibleAsEditableText() {
    Form form(1);
    FlexMaskEditBox* box = form.fields[0];
    box->setObjectName(QStringLiteral("mskInternalID"));
    box->setMask(QStringLiteral("##-##"));
    box->setText(QStringLiteral("1234"));
    QLabel label(QStringLiteral("&ID"), &form.window);
    label.setBuddy(box);
    QCOMPARE(box->focusProxy(), box->textBox());
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(box->textBox());
    QVERIFY(face);
    QCOMPARE(face->role(), QAccessible::EditableText);
    QCOMPARE(face->text(QAccessible::Name), QStringLiteral("mskInternalID"));
    QVERIFY(face->textInterface());
    QCOMPARE(face->textInterface()->text(0, face->textInterface()->characterCount()),
             QStringLiteral("12-34"));
}

QTEST_MAIN(tst_FlexMaskEditBox)
#include "tst_FlexMaskEditBox.moc"
