#include <QTest>

#include "MenuCaption.h"

class tst_MenuCaption : public QObject {
    Q_OBJECT
private slots:
    void parse_data();
    void parse();
    void shortcutKeys_data();
    void shortcutKeys();
    void plainText();
};

void tst_MenuCaption::parse_data() {
    QTest::addColumn<QString>("raw");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("flags");  // s separator, h header, c column break, b break
    QTest::addColumn<QString>("accelerator");
    QTest::addColumn<QString>("shortcut");

    QTest::newRow("separator") << "-"
                               << "-"
                               << "s"
                               << ""
                               << "";
    QTest::newRow("header") << "-Files"
                            << "Files"
                            << "h"
                            << ""
                            << "";
    QTest::newRow("accelerator and shortcut") << "&Open\tCtrl+O"
                                              << "&Open"
                                              << ""
                                              << "O"
                                              << "Ctrl+O";
    QTest::newRow("shortcut trimmed") << "Save\t  Ctrl+S "
                                      << "Save"
                                      << ""
                                      << ""
                                      << "Ctrl+S";
    QTest::newRow("lower-case accelerator") << "E&xit"
                                            << "E&xit"
                                            << ""
                                            << "X"
                                            << "";
    QTest::newRow("first marker counts") << "&a&b"
                                         << "&a&b"
                                         << ""
                                         << "A"
                                         << "";
    QTest::newRow("doubled ampersand is literal") << "R&&D &Menu"
                                                  << "R&&D &Menu"
                                                  << ""
                                                  << "M"
                                                  << "";
    QTest::newRow("trailing ampersand") << "Odd&"
                                        << "Odd&"
                                        << ""
                                        << ""
                                        << "";
    QTest::newRow("column break") << "|Next"
                                  << "Next"
                                  << "c"
                                  << ""
                                  << "";
    QTest::newRow("literal bar") << "A||B"
                                 << "A|B"
                                 << ""
                                 << ""
                                 << "";
    QTest::newRow("break") << "^Down"
                           << "Down"
                           << "b"
                           << ""
                           << "";
    QTest::newRow("literal caret") << "x^^2"
                                   << "x^2"
                                   << ""
                                   << ""
                                   << "";
    QTest::newRow("header with breaks") << "-|^Title"
                                        << "Title"
                                        << "hcb"
                                        << ""
                                        << "";
    QTest::newRow("dash inside is text") << "Convert - Single"
                                         << "Convert - Single"
                                         << ""
                                         << ""
                                         << "";
    QTest::newRow("empty") << ""
                           << ""
                           << ""
                           << ""
                           << "";
}

void tst_MenuCaption::parse() {
    QFETCH(QString, raw);
    QFETCH(QString, caption);
    QFETCH(QString, flags);
    QFETCH(QString, accelerator);
    QFETCH(QString, shortcut);
    const MenuCaption parsed = MenuCaption::Parse(raw);
    QCOMPARE(parsed.caption, caption);
    QCOMPARE(parsed.separator, flags.contains('s'));
    QCOMPARE(parsed.header, flags.contains('h'));
    QCOMPARE(parsed.columnBreak, flags.contains('c'));
    QCOMPARE(parsed.lineBreak, flags.contains('b'));
    QCOMPARE(parsed.accelerator, accelerator);
    QCOMPARE(parsed.shortcutText, shortcut);
}

void tst_MenuCaption::shortcutKeys_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::newRow("Ctrl+O") << "Ctrl+O" << 79 << 2;
    QTest::newRow("lower-case letter") << "ctrl+o" << 79 << 2;
    QTest::newRow("all modifiers") << "Ctrl+Shift+Alt+Z" << 90 << 7;
    QTest::newRow("F5") << "F5" << 116 << 0;
    QTest::newRow("Shift+F12") << "Shift+F12" << 123 << 1;
    QTest::newRow("Home") << "Home" << 36 << 0;
    QTest::newRow("End") << "End" << 35 << 0;
    QTest::newRow("Left Arrow") << "Alt+Left Arrow" << 37 << 4;
    QTest::newRow("Right Arrow") << "Right Arrow" << 39 << 0;
    QTest::newRow("Up Arrow") << "Up Arrow" << 38 << 0;
    QTest::newRow("Down Arrow") << "Down Arrow" << 40 << 0;
    QTest::newRow("Break") << "Break" << 12 << 0;
    QTest::newRow("Page Up") << "Page Up" << 33 << 0;
    QTest::newRow("Del") << "Ctrl+Del" << 46 << 2;
    QTest::newRow("Esc") << "Esc" << 27 << 0;
    QTest::newRow("Tab") << "Tab" << 9 << 0;
    QTest::newRow("Enter") << "Enter" << 13 << 0;
    QTest::newRow("digit") << "Ctrl+1" << 49 << 2;
    QTest::newRow("unknown name") << "Ctrl+Banana" << 0 << 2;
    QTest::newRow("F without number") << "Fx" << 0 << 0;
    QTest::newRow("empty") << "" << 0 << 0;
}

void tst_MenuCaption::shortcutKeys() {
    QFETCH(QString, text);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    const MenuCaption parsed = MenuCaption::Parse("Item\t" + text);
    QCOMPARE(int(parsed.shortcutKey), key);
    QCOMPARE(parsed.shortcutModifiers, modifiers);
}

void tst_MenuCaption::plainText() {
    QCOMPARE(MenuCaption::PlainText("&Open"), QString("Open"));
    QCOMPARE(MenuCaption::PlainText("R&&D"), QString("R&D"));
    QCOMPARE(MenuCaption::PlainText("Odd&"), QString("Odd"));
}

QTEST_APPLESS_MAIN(tst_MenuCaption)
#include "tst_MenuCaption.moc"
