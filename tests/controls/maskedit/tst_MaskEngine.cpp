#include <QLocale>
#include <QtTest>

#include "AppError.h"
#include "MaskEngine.h"
#include "MaskTestKeys.h"
#include "mFunctions.h"

namespace {

struct Setup {
    QString mask;
    int fieldType = 0;
    QString decimal = QStringLiteral(".");
    int maxLength = 0;
};

void Configure(MaskEngine& e, const Setup& s) {
    e.SetFieldType(s.fieldType);
    e.SetDecimalSeperator(s.decimal);
    e.SetMaxLength(s.maxLength);
    e.SetMask(s.mask);
}

// Case classes and codes of every position as text: codes 1..9 as digits, 10 as X.
QString CaseTable(const MaskEngine& e) {
    QString s;
    for (int p = 1; p <= e.DisplayLength(); ++p) s += QString::number(e.PositionCase(p));
    return s;
}

QString CodeTable(const MaskEngine& e) {
    QString s;
    for (int p = 1; p <= e.DisplayLength(); ++p) {
        const int code = e.PositionCode(p);
        s += code == 10 ? QStringLiteral("X") : QString::number(code);
    }
    return s;
}

}  // namespace

class tst_MaskEngine : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Dutch, QLocale::Netherlands)); }

    void parseMask_data();
    void parseMask();
    void maskWithoutPositionsIsPlainText();
    void designModeShowsTemplate();
    void promptCharMustBeOneCharacter();
    void charForPosition_data();
    void charForPosition();
    void upperCaseChainCapitalisesWords();
    void textReadBack_data();
    void textReadBack();
    void textIntoMask_data();
    void textIntoMask();
    void editing_data();
    void editing();
    void typingReplacesSelection();
    void pasteSkipsWhatDoesNotFit();
    void lockedFieldRefusesEdits();
    void undoRestoresLastAssignedText();
    void numericDeletionKeepsTheSeparator_data();
    void numericDeletionKeepsTheSeparator();
    void numericValues_data();
    void numericValues();
    void numericEmptiness();
    void decimalSeparatorMustBeOneCharacter();
    void outOfRangeIndexesAreRefused();
    void validDate_data();
    void validDate();
    void transFormDate_data();
    void transFormDate();
    void dateMask_data();
    void dateMask();
    void localeDatePattern();
    void dateText_data();
    void dateText();
};

void tst_MaskEngine::parseMask_data() {
    QTest::addColumn<QString>("mask");
    QTest::addColumn<int>("fieldType");
    QTest::addColumn<int>("maxLength");
    QTest::addColumn<QString>("display");
    QTest::addColumn<QString>("cases");
    QTest::addColumn<QString>("codes");
    QTest::addColumn<int>("decimalPosition");
    QTest::addColumn<QString>("maskAfter");

    const QString phone = QStringLiteral("(###) ###-####");
    QTest::newRow("phone") << phone << 0 << 0 << "(___) ___-____"
                           << "03330033303333"
                           << "96669966696666" << 0 << phone;
    const QString upperLower = QStringLiteral(">?\?-<?\?");  // no trigraphs
    QTest::newRow("upper then lower") << upperLower << 0 << 0 << "__-__"
                                      << "11022"
                                      << "88988" << 0 << upperLower;
    QTest::newRow("one-shot upper") << "}aaaa" << 0 << 0 << "____"
                                    << "1333"
                                    << "3333" << 0 << "}aaaa";
    QTest::newRow("literal resets class") << ">?-?" << 0 << 0 << "_-_"
                                          << "103"
                                          << "898" << 0 << ">?-?";
    QTest::newRow("one-shot beats persistent") << "{A<a>a" << 0 << 0 << "___"
                                               << "221"
                                               << "233" << 0 << "{A<a>a";
    QTest::newRow("escaped mask char") << "\\##" << 0 << 0 << "#_"
                                       << "03"
                                       << "96" << 0 << "\\##";
    QTest::newRow("escaped backslash before meta") << "\\\\>#" << 0 << 0 << "\\_"
                                                   << "01"
                                                   << "96" << 0 << "\\\\>#";
    QTest::newRow("numeric decimal position") << "###.##" << 2 << 0 << "___.__"
                                              << "333033"
                                              << "666X66" << 4 << "###.##";
    QTest::newRow("alphanumeric keeps no decimal position") << "###.##" << 0 << 0 << "___.__"
                                                            << "333033"
                                                            << "666X66" << 0 << "###.##";
    QTest::newRow("special-only position") << "D" << 0 << 0 << "_"
                                           << "3"
                                           << "9" << 0 << "D";
    QTest::newRow("grows to MaxLength") << "####" << 0 << 6 << "______"
                                        << "333333"
                                        << "666666" << 0 << "######";
    QTest::newRow("MaxLength below mask length") << "####" << 0 << 2 << "____"
                                                 << "3333"
                                                 << "6666" << 0 << "####";
}

void tst_MaskEngine::parseMask() {
    QFETCH(QString, mask);
    QFETCH(int, fieldType);
    QFETCH(int, maxLength);
    MaskEngine e;
    Configure(e, {mask, fieldType, QStringLiteral("."), maxLength});
    QVERIFY(e.MaskActive());
    QTEST(e.DisplayText(), "display");
    QCOMPARE(e.EmptyDisplay(), e.DisplayText());
    QTEST(CaseTable(e), "cases");
    QTEST(CodeTable(e), "codes");
    QTEST(e.DecimalPosition(), "decimalPosition");
    QTEST(e.Mask(), "maskAfter");
    QCOMPARE(e.MaxLength(), e.DisplayLength());
    // A rebuild from the stored mask gives the same field.
    const QString display = e.DisplayText();
    e.Refresh();
    QCOMPARE(e.DisplayText(), display);
}

void tst_MaskEngine::maskWithoutPositionsIsPlainText() {
    MaskEngine e;
    e.SetMask(QStringLiteral("###"));
    QVERIFY(e.MaskActive());
    e.SetMask(QStringLiteral("<>{}"));
    QVERIFY(!e.MaskActive());
    e.SetMask(QString());
    QVERIFY(!e.MaskActive());
    QVERIFY(e.Mask().isEmpty());
    e.SetText(QStringLiteral("free text"));
    QCOMPARE(e.Text(), QStringLiteral("free text"));
    QCOMPARE(e.KeyPress(u'x').request, KeyOutcome::Request::PassToTextBox);
}

void tst_MaskEngine::designModeShowsTemplate() {
    MaskEngine e;
    e.SetDesignMode(true);
    e.SetDecimalSeperator(QStringLiteral("."));
    e.SetMask(QStringLiteral("(###) \\D-D&.?"));
    QCOMPARE(e.TextBoxContent(), QStringLiteral("(###) D-_&.?"));
    e.SetText(QStringLiteral("as typed"));
    QCOMPARE(e.Text(), QStringLiteral("as typed"));
}

void tst_MaskEngine::promptCharMustBeOneCharacter() {
    MaskEngine e;
    for (const QString& bad : {QString(), QStringLiteral("ab")}) {
        e.SetPromptChar(QStringLiteral("*"));
        e.SetPromptChar(bad);
        QCOMPARE(e.PromptChar(), QStringLiteral("_"));
    }
    e.SetPromptChar(QStringLiteral("*"));
    e.SetMask(QStringLiteral("##"));
    QCOMPARE(e.DisplayText(), QStringLiteral("**"));
}

void tst_MaskEngine::charForPosition_data() {
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QString>("specials");
    QTest::addColumn<QChar>("typed");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("result");

    const QString none;
    QTest::newRow("& letter") << "&" << none << QChar(u'x') << 1 << "x";
    QTest::newRow("& tab") << "&" << none << QChar(u'\t') << 1 << "";
    QTest::newRow("& delete char") << "&" << none << QChar(127) << 1 << "";
    QTest::newRow("& accented") << "&" << none << QChar(0xE9) << 1 << QString(QChar(0xE9));
    QTest::newRow("& euro sign") << "&" << none << QChar(0x20AC) << 1 << QString(QChar(0x20AC));
    QTest::newRow("& lone surrogate") << "&" << none << QChar(0xD800) << 1 << "";
    QTest::newRow("A digit") << "A" << none << QChar(u'5') << 1 << "5";
    QTest::newRow("A blank") << "A" << none << QChar(u' ') << 1 << "";
    QTest::newRow("A accented") << "A" << none << QChar(0xE9) << 1 << "";
    QTest::newRow("a blank") << "a" << none << QChar(u' ') << 1 << " ";
    QTest::newRow("C letter") << "C" << none << QChar(u'z') << 1 << "z";
    QTest::newRow("c blank") << "c" << none << QChar(u' ') << 1 << " ";
    QTest::newRow("# digit") << "#" << none << QChar(u'5') << 1 << "5";
    QTest::newRow("# minus") << "#" << none << QChar(u'-') << 1 << "";
    QTest::newRow("# letter") << "#" << none << QChar(u'a') << 1 << "";
    QTest::newRow("9 minus outside numbers") << "99" << none << QChar(u'-') << 2 << "-";
    QTest::newRow("? digit") << "?" << none << QChar(u'5') << 1 << "";
    QTest::newRow("> upper") << ">?" << none << QChar(u'q') << 1 << "Q";
    QTest::newRow("< lower") << "<?" << none << QChar(u'Q') << 1 << "q";
    QTest::newRow("D special") << "D"
                               << "*" << QChar(u'*') << 1 << "*";
    QTest::newRow("D other") << "D"
                             << "*" << QChar(u'x') << 1 << "";
    QTest::newRow("D prompt") << "D" << none << QChar(u'_') << 1 << "_";
    QTest::newRow("special anywhere") << "#"
                                      << "*" << QChar(u'*') << 1 << "*";
    QTest::newRow("special keeps case") << ">?"
                                        << "q" << QChar(u'q') << 1 << "q";
    QTest::newRow("literal refuses") << "-#" << none << QChar(u'5') << 1 << "";
    QTest::newRow("decimal separator refuses") << "#.#" << none << QChar(u'.') << 2 << "";
}

void tst_MaskEngine::charForPosition() {
    QFETCH(QString, mask);
    QFETCH(QString, specials);
    QFETCH(QChar, typed);
    QFETCH(int, position);
    MaskEngine e;
    e.SetDecimalSeperator(QStringLiteral("."));
    e.SetSpecialChars(specials);
    e.SetMask(mask);
    QTEST(e.CharForPosition(typed, position), "result");
}

void tst_MaskEngine::upperCaseChainCapitalisesWords() {
    MaskEngine e;
    e.SetChar2ActivateTranNextChar2Upper(QStringLiteral(" "));
    e.SetMask(QStringLiteral("&&&&&&&&&&"));
    e.SetCursor(0);
    QCOMPARE(TypeKeys(e, QStringLiteral("new york")), 0);
    QCOMPARE(e.DisplayText(), QStringLiteral("new York__"));
    // The chain lasts exactly one character.
    QVERIFY(!e.UpperNext());
}

void tst_MaskEngine::textReadBack_data() {
    QTest::addColumn<bool>("maskCharInclude");
    QTest::addColumn<bool>("promptInclude");
    QTest::addColumn<QString>("text");
    QTest::newRow("input only, blanks") << false << false << "12 456    ";
    QTest::newRow("input only, prompts") << false << true << "12_456____";
    QTest::newRow("whole display, blanks") << true << false << "(12 ) 456-    ";
    QTest::newRow("whole display, prompts") << true << true << "(12_) 456-____";
}

void tst_MaskEngine::textReadBack() {
    QFETCH(bool, maskCharInclude);
    QFETCH(bool, promptInclude);
    MaskEngine e;
    e.SetMask(QStringLiteral("(###) ###-####"));
    e.SetText(QStringLiteral("12_456"));
    QCOMPARE(e.DisplayText(), QStringLiteral("(12_) 456-____"));
    e.SetMaskCharInclude(maskCharInclude);
    e.SetPromptInclude(promptInclude);
    QTEST(e.Text(), "text");
    QCOMPARE(e.TextAsDisplayed(), QStringLiteral("(12_) 456-____"));
}

void tst_MaskEngine::textIntoMask_data() {
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("display");
    QTest::addColumn<int>("cursor");
    const QString phone = QStringLiteral("(###) ###-####");
    QTest::newRow("digits only") << phone << "5551234567"
                                 << "(555) 123-4567" << 1;
    QTest::newRow("with literals") << phone << "(555) 123-4567"
                                   << "(555) 123-4567" << 1;
    QTest::newRow("partial") << phone << "555-123"
                             << "(555) 123-____" << 10;
    QTest::newRow("refused characters dropped") << "####"
                                                << "12ab34"
                                                << "1234" << 0;
    QTest::newRow("too long") << "####"
                              << "123456"
                              << "1234" << 0;
    QTest::newRow("case class applied") << ">??"
                                        << "ab"
                                        << "AB" << 0;
    QTest::newRow("empty value") << phone << ""
                                 << "(___) ___-____" << 1;
}

void tst_MaskEngine::textIntoMask() {
    QFETCH(QString, mask);
    QFETCH(QString, value);
    MaskEngine e;
    e.SetMask(mask);
    e.SetText(value);
    QTEST(e.DisplayText(), "display");
    // AutoToLastPos: the cursor waits at the first empty position.
    QTEST(e.Cursor(), "cursor");
    QCOMPARE(e.SavedText(), e.DisplayText());
}

void tst_MaskEngine::editing_data() {
    QTest::addColumn<QString>("mask");
    QTest::addColumn<int>("fieldType");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("cursor");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("display");
    QTest::addColumn<int>("cursorAfter");
    QTest::addColumn<int>("beeps");

    const QString phone = QStringLiteral("(###) ###-####");
    const QString full = QStringLiteral("5551234567");
    QTest::newRow("insert shifts right") << phone << 0 << "12345" << 6 << "9"
                                         << "(123) 945-____" << 7 << 0;
    QTest::newRow("insert into full field") << phone << 0 << full << 6 << "9"
                                            << "(555) 123-4567" << 6 << 1;
    QTest::newRow("overwrite full field") << phone << 0 << full << 6 << "{INS}9"
                                          << "(555) 923-4567" << 7 << 0;
    QTest::newRow("overwrite skips to fitting position") << "#?" << 0 << "" << 0 << "{INS}x"
                                                         << "_x" << 2 << 0;
    QTest::newRow("overwrite never replaces a literal") << "#-#" << 0 << "" << 1 << "{INS}_"
                                                        << "_-_" << 3 << 0;
    QTest::newRow("insert skips literals") << phone << 0 << "" << 0 << "1234"
                                           << "(123) 4__-____" << 7 << 0;
    QTest::newRow("backspace across literal") << phone << 0 << full << 10 << "{BS}"
                                              << "(555) 124-567_" << 8 << 0;
    QTest::newRow("backspace at start") << phone << 0 << full << 0 << "{BS}"
                                        << "(555) 123-4567" << 0 << 1;
    QTest::newRow("delete pulls left") << phone << 0 << "1234567890" << 1 << "{DEL}"
                                       << "(234) 567-890_" << 1 << 0;
    QTest::newRow("delete refused by position") << "#&" << 0 << "1x" << 0 << "{DEL}"
                                                << "1x" << 0 << 1;
    QTest::newRow("delete at end") << "##" << 0 << "12" << 2 << "{DEL}"
                                   << "12" << 2 << 1;
    QTest::newRow("ctrl+delete empties") << phone << 0 << full << 0 << "{C-DEL}"
                                         << "(___) ___-____" << 0 << 0;
    QTest::newRow("ctrl+delete keeps left part") << phone << 0 << full << 6 << "{C-DEL}"
                                                 << "(555) ___-____" << 6 << 0;
    QTest::newRow("shift+backspace blanks one") << phone << 0 << full << 4 << "{S-BS}"
                                                << "(55_) 123-4567" << 3 << 0;
    QTest::newRow("shift+delete closes up from left") << "####" << 0 << "1234" << 2 << "{S-DEL}"
                                                      << "_134" << 2 << 0;
    QTest::newRow("left at start stays") << phone << 0 << full << 0 << "{LEFT}"
                                         << "(555) 123-4567" << 0 << 0;
    QTest::newRow("right at end stays") << phone << 0 << full << 14 << "{RIGHT}"
                                        << "(555) 123-4567" << 14 << 0;
    QTest::newRow("left jumps literals") << phone << 0 << "12345" << 6 << "{LEFT}"
                                         << "(123) 45_-____" << 3 << 0;
    QTest::newRow("right stops after input") << phone << 0 << "12345" << 3 << "{RIGHT}"
                                             << "(123) 45_-____" << 4 << 0;
    QTest::newRow("home and end") << phone << 0 << "12345" << 6 << "{END}{HOME}"
                                  << "(123) 45_-____" << 0 << 0;
    QTest::newRow("integer digits right-aligned") << "###.##" << 2 << "" << 0 << "123"
                                                  << "123.__" << 3 << 0;
    QTest::newRow("fourth digit to decimals") << "###.##" << 2 << "" << 0 << "1234"
                                              << "123.4_" << 5 << 0;
    QTest::newRow("separator jumps to decimals") << "###.##" << 2 << "" << 0 << "12{.}5"
                                                 << "_12.50" << 5 << 0;
    QTest::newRow("second minus beeps") << "9999.99" << 2 << "" << 4 << "--"
                                        << "___-.__" << 4 << 1;
    QTest::newRow("digit left of minus beeps") << "9999.99" << 2 << "" << 4 << "-5{HOME}7"
                                               << "__-5.__" << 0 << 1;
    QTest::newRow("minus refused in decimals") << "9999.99" << 2 << "" << 5 << "-"
                                               << "____.__" << 5 << 1;
    QTest::newRow("delete in integer part closes from left")
        << "####.##" << 2 << "12.5" << 2 << "{DEL}"
        << "___2.50" << 3 << 0;
    QTest::newRow("ctrl+shift+delete blanks a number to the end")
        << "####.##" << 2 << "12.5" << 3 << "{CS-DEL}"
        << "__1_.__" << 3 << 0;
    QTest::newRow("insert drops trailing zero") << "###.##" << 2 << "1.5" << 4 << "7"
                                                << "__1.75" << 5 << 0;
}

void tst_MaskEngine::editing() {
    QFETCH(QString, mask);
    QFETCH(int, fieldType);
    QFETCH(QString, text);
    QFETCH(int, cursor);
    QFETCH(QString, keys);
    MaskEngine e;
    Configure(e, {mask, fieldType});
    if (!text.isEmpty()) e.SetText(text);
    e.SetCursor(cursor);
    const int beeps = TypeKeys(e, keys);
    QTEST(e.DisplayText(), "display");
    QTEST(e.Cursor(), "cursorAfter");
    QTEST(beeps, "beeps");
}

void tst_MaskEngine::typingReplacesSelection() {
    MaskEngine e;
    e.SetMask(QStringLiteral("(###) ###-####"));
    e.SetText(QStringLiteral("5551234567"));
    e.SetSelection(1, 2);
    QCOMPARE(e.SelectedText(), QStringLiteral("55"));
    QCOMPARE(TypeKeys(e, QStringLiteral("9")), 0);
    QCOMPARE(e.DisplayText(), QStringLiteral("(9_5) 123-4567"));
    QCOMPARE(e.Cursor(), 2);
}

void tst_MaskEngine::pasteSkipsWhatDoesNotFit() {
    MaskEngine e;
    e.SetMask(QStringLiteral("####"));
    e.SetCursor(0);
    QVERIFY(e.Paste(QStringLiteral("12ab")));
    QCOMPARE(e.DisplayText(), QStringLiteral("12__"));
    // Copy leaves the prompts out unless they belong to the text.
    e.SetSelection(0, 4);
    QCOMPARE(e.SelectedTextForCopy(), QStringLiteral("12"));
    e.SetPromptInclude(true);
    QCOMPARE(e.SelectedTextForCopy(), QStringLiteral("12__"));
}

void tst_MaskEngine::lockedFieldRefusesEdits() {
    MaskEngine e;
    e.SetMask(QStringLiteral("####"));
    e.SetText(QStringLiteral("12"));
    e.SetLocked(true);
    e.SetCursor(2);
    QCOMPARE(TypeKeys(e, QStringLiteral("3{BS}{DEL}")), 3);
    QVERIFY(!e.Paste(QStringLiteral("9")));
    QCOMPARE(e.DisplayText(), QStringLiteral("12__"));
}

void tst_MaskEngine::undoRestoresLastAssignedText() {
    MaskEngine e;
    e.SetFieldType(1);
    e.SetDateformat(1);
    e.SetDateSeperator(QStringLiteral("-"));
    e.SetInOutDateformat(4);
    e.SetInOutDateSeperator(QStringLiteral("/"));
    e.SetMask({});
    e.SetText(QStringLiteral("2004/03/01"));
    QCOMPARE(e.DisplayText(), QStringLiteral("01-03-2004"));
    e.SetCursor(0);
    TypeKeys(e, QStringLiteral("{C-DEL}"));
    QCOMPARE(e.DisplayText(), QStringLiteral("__-__-____"));
    e.Undo();
    QCOMPARE(e.DisplayText(), QStringLiteral("01-03-2004"));
    QCOMPARE(e.Text(), QStringLiteral("2004/03/01"));
}

// Backspace and Delete never move a digit across the decimal separator: the
// integer part closes up from the left, the decimals from the right.
void tst_MaskEngine::numericDeletionKeepsTheSeparator_data() {
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("cursor");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("display");
    QTest::addColumn<int>("cursorAfter");
    QTest::addColumn<QString>("left");  // the display after leaving the field

    const QString m = QStringLiteral("####.##");
    QTest::newRow("backspace before the separator") << m << "123.45" << 4 << "{BS}"
                                                    << "__12.45" << 4 << "__12.45";
    QTest::newRow("backspace after the separator") << m << "123.45" << 5 << "{BS}"
                                                   << "__12.45" << 5 << "__12.45";
    QTest::newRow("backspace inside the integers") << m << "123.45" << 2 << "{BS}"
                                                   << "__23.45" << 2 << "__23.45";
    QTest::newRow("backspace empties the integers") << m << "123.45" << 4 << "{BS}{BS}{BS}"
                                                    << "____.45" << 4 << "___0.45";
    QTest::newRow("backspace at the end") << m << "123.45" << 7 << "{BS}"
                                          << "_123.4_" << 6 << "_123.40";
    QTest::newRow("backspace in the decimals") << m << "123.45" << 6 << "{BS}"
                                               << "_123.5_" << 5 << "_123.50";
    QTest::newRow("delete in the decimals") << m << "123.45" << 5 << "{DEL}"
                                            << "_123.5_" << 5 << "_123.50";
    QTest::newRow("backspace keeps the sign") << "9999.99"
                                              << "-12.5" << 4 << "{BS}"
                                              << "__-1.50" << 4 << "__-1.50";
}

void tst_MaskEngine::numericDeletionKeepsTheSeparator() {
    QFETCH(QString, mask);
    QFETCH(QString, text);
    QFETCH(int, cursor);
    QFETCH(QString, keys);
    MaskEngine e;
    Configure(e, {mask, 2});
    e.SetText(text);
    e.SetCursor(cursor);
    QCOMPARE(TypeKeys(e, keys), 0);
    QTEST(e.DisplayText(), "display");
    QTEST(e.Cursor(), "cursorAfter");
    e.SetNumericValue(false, {});
    QTEST(e.DisplayText(), "left");
}

void tst_MaskEngine::numericValues_data() {
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QString>("decimal");
    QTest::addColumn<bool>("zeros");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("display");

    QTest::newRow("decimals padded") << "####.##"
                                     << "." << true << "12.5"
                                     << "__12.50";
    QTest::newRow("zero") << "####.##"
                          << "." << true << "0"
                          << "___0.00";
    QTest::newRow("empty") << "####.##"
                           << "." << true << ""
                           << "___0.00";
    QTest::newRow("# refuses the sign") << "####.##"
                                        << "." << true << "-0.5"
                                        << "___0.50";
    QTest::newRow("9 keeps the sign") << "9999.99"
                                      << "." << true << "-0.5"
                                      << "__-0.50";
    QTest::newRow("negative number") << "9999.99"
                                     << "." << true << "-12.5"
                                     << "_-12.50";
    QTest::newRow("point read as comma") << "####,##"
                                         << "," << true << "3.25"
                                         << "___3,25";
    QTest::newRow("no zero padding") << "####.##"
                                     << "." << false << "12.5"
                                     << "__12.5_";
    QTest::newRow("decimals cut, not shifted") << "##.##"
                                               << "." << true << "0.12345"
                                               << "_0.12";
    QTest::newRow("integer overflow stays out of decimals") << "##.##"
                                                            << "." << true << "123.5"
                                                            << "12.50";
    QTest::newRow("no separator, left-aligned") << "####"
                                                << "." << true << "12"
                                                << "12__";
    QTest::newRow("leading zeros dropped") << "####"
                                           << "." << true << "0012"
                                           << "12__";
    QTest::newRow("fraction cut without separator") << "####"
                                                    << "." << true << "12.7"
                                                    << "12__";
    QTest::newRow("not a number") << "####"
                                  << "." << true << "abc"
                                  << "____";
}

void tst_MaskEngine::numericValues() {
    QFETCH(QString, mask);
    QFETCH(QString, decimal);
    QFETCH(bool, zeros);
    QFETCH(QString, value);
    MaskEngine e;
    e.SetInsertZerosInNumField(zeros);
    Configure(e, {mask, 2, decimal});
    e.SetText(value);
    QTEST(e.DisplayText(), "display");
}

void tst_MaskEngine::numericEmptiness() {
    MaskEngine e;
    Configure(e, {QStringLiteral("####.##"), 2});
    e.SetText(QStringLiteral("12.5"));
    QCOMPARE(e.NumText(), QStringLiteral("12,50"));  // the locale's separator
    QVERIFY(!e.IsEmptyText());
    e.SetText(QStringLiteral("0"));
    QCOMPARE(e.DisplayText(), QStringLiteral("___0.00"));
    QVERIFY(e.IsEmptyText());

    MaskEngine text;
    text.SetMask(QStringLiteral("??"));
    QVERIFY(text.IsEmptyText());
    text.SetText(QStringLiteral("a"));
    QVERIFY(!text.IsEmptyText());
}

void tst_MaskEngine::decimalSeparatorMustBeOneCharacter() {
    MaskEngine e;
    e.SetDecimalSeperator(QStringLiteral(","));
    for (const QString& bad : {QString(), QStringLiteral("ab")}) {
        try {
            e.SetDecimalSeperator(bad);
            QFAIL("no error raised");
        } catch (const AppError& error) {
            QCOMPARE(error.Number, 122);
            QCOMPARE(error.Description, QStringLiteral("MUST be 1 char long"));
        }
        QCOMPARE(e.DecimalSeperator(), QStringLiteral(","));
    }
}

void tst_MaskEngine::outOfRangeIndexesAreRefused() {
    MaskEngine e;
    QVERIFY_THROWS_EXCEPTION(AppError, e.SetFieldType(3));
    QVERIFY_THROWS_EXCEPTION(AppError, e.SetDateformat(15));
    QVERIFY_THROWS_EXCEPTION(AppError, e.SetInOutDateformat(-1));
    QCOMPARE(int(e.FieldType()), 0);
    QCOMPARE(e.Dateformat(), 0);
    QVERIFY(!e.ValidDate(QStringLiteral("01-01-2000"), 99));
    QVERIFY(e.TransFormDate(QStringLiteral("01-01-2000"), 1, 99, {}, {}).isEmpty());
}

void tst_MaskEngine::validDate_data() {
    QTest::addColumn<QString>("date");
    QTest::addColumn<int>("format");
    QTest::addColumn<QString>("sep");
    QTest::addColumn<bool>("valid");
    QTest::newRow("29 Feb 2000") << "29-02-2000" << 1 << "" << true;
    QTest::newRow("29 Feb 1900") << "29-02-1900" << 1 << "" << false;
    QTest::newRow("29 Feb 2004") << "29-02-2004" << 1 << "" << true;
    QTest::newRow("31 April") << "31-04-2004" << 1 << "" << false;
    QTest::newRow("29 Feb without year") << "29-02" << 14 << "" << false;
    QTest::newRow("28 Feb without year") << "28-02" << 14 << "" << true;
    QTest::newRow("year 9999") << "01-01-9999" << 1 << "" << false;
    QTest::newRow("two-digit 00 is 2000") << "29-02-00" << 7 << "" << true;
    QTest::newRow("two-digit 30 is 1930") << "29-02-30" << 7 << "" << false;
    QTest::newRow("two-digit 28 is 2028") << "29-02-28" << 7 << "" << true;
    QTest::newRow("empty display") << "__-__-____" << 1 << "" << false;
    QTest::newRow("month 13") << "01-13-2004" << 1 << "" << false;
    QTest::newRow("day 0") << "00-01-2004" << 1 << "" << false;
    QTest::newRow("locale order") << "31-12-2004" << 0 << "" << true;
    QTest::newRow("year first, own separator") << "2004/02/29" << 4 << "/" << true;
    QTest::newRow("huge number") << "99999999999999999999-01-2004" << 1 << "" << false;
}

void tst_MaskEngine::validDate() {
    QFETCH(QString, date);
    QFETCH(int, format);
    QFETCH(QString, sep);
    MaskEngine e;
    e.SetDateformat(1);
    e.SetDateSeperator(QStringLiteral("-"));
    QTEST(e.ValidDate(date, format, sep), "valid");
}

void tst_MaskEngine::transFormDate_data() {
    QTest::addColumn<QString>("date");
    QTest::addColumn<int>("in");
    QTest::addColumn<int>("out");
    QTest::addColumn<QString>("inSep");
    QTest::addColumn<QString>("outSep");
    QTest::addColumn<QString>("result");
    QTest::newRow("short to year first") << "1-3-04" << 1 << 4 << "-"
                                         << "/"
                                         << "2004/03/01";
    QTest::newRow("missing day") << "-3-2004" << 1 << 4 << "-"
                                 << "/"
                                 << "";
    QTest::newRow("four to two digits") << "01-03-2004" << 1 << 7 << "-"
                                        << "-"
                                        << "01-03-04";
    QTest::newRow("back to day first") << "2004-03-01" << 4 << 1 << "-"
                                       << "."
                                       << "01.03.2004";
    QTest::newRow("empty") << "" << 1 << 4 << "-"
                           << "/"
                           << "";
}

void tst_MaskEngine::transFormDate() {
    QFETCH(QString, date);
    QFETCH(int, in);
    QFETCH(int, out);
    QFETCH(QString, inSep);
    QFETCH(QString, outSep);
    MaskEngine e;
    QTEST(e.TransFormDate(date, in, out, inSep, outSep), "result");
}

void tst_MaskEngine::dateMask_data() {
    QTest::addColumn<int>("format");
    QTest::addColumn<QString>("sep");
    QTest::addColumn<bool>("centuryOn");
    QTest::addColumn<int>("century");
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QString>("display");
    QTest::newRow("ddmmyyyy") << 1 << "-" << false << 0 << "##-##-####"
                              << "__-__-____";
    QTest::newRow("fixed century") << 1 << "-" << true << 19 << "##-##-\\1\\9##"
                                   << "__-__-19__";
    QTest::newRow("one-digit century") << 1 << "-" << true << 5 << "##-##-\\0\\5##"
                                       << "__-__-05__";
    QTest::newRow("ddmmyy") << 7 << "/" << false << 0 << "##/##/##"
                            << "__/__/__";
    QTest::newRow("mmdd") << 13 << "." << false << 0 << "##.##"
                          << "__.__";
    QTest::newRow("locale") << 0 << "/" << false << 0 << "##-##-####"
                            << "__-__-____";
    QTest::newRow("separator that is a mask char") << 4 << "#" << false << 0 << "####\\###\\###"
                                                   << "____#__#__";
}

void tst_MaskEngine::dateMask() {
    QFETCH(int, format);
    QFETCH(QString, sep);
    QFETCH(bool, centuryOn);
    QFETCH(int, century);
    MaskEngine e;
    e.SetFieldType(1);
    e.SetDateformat(format);
    e.SetDateSeperator(sep);
    e.SetCenturyON(centuryOn);
    e.SetCentury(century);
    e.SetMask(QStringLiteral("ignored"));
    QTEST(e.Mask(), "mask");
    QTEST(e.DisplayText(), "display");
    QCOMPARE(e.MaxLength(), e.DisplayLength());
}

void tst_MaskEngine::localeDatePattern() {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    MaskEngine e;
    e.SetFieldType(1);
    e.SetDateformat(0);
    e.SetMask({});
    QCOMPARE(e.DateFormatByText(), QStringLiteral("MM/DD/YY"));
    QCOMPARE(e.Mask(), QStringLiteral("##/##/##"));
    QCOMPARE(mFunctions::LocaleDecimalSeparator(), QStringLiteral("."));
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QCOMPARE(mFunctions::LocaleDatePattern(), QStringLiteral("DD.MM.YY"));
    QLocale::setDefault(QLocale(QLocale::Dutch, QLocale::Netherlands));
    QCOMPARE(mFunctions::LocaleDatePattern(), QStringLiteral("DD-MM-YYYY"));
}

void tst_MaskEngine::dateText_data() {
    QTest::addColumn<int>("inOutFormat");
    QTest::addColumn<bool>("centuryOn");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("display");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("textWithoutSeparators");
    QTest::newRow("in/out year first") << 4 << false << "2004/03/01"
                                       << "01-03-2004"
                                       << "2004/03/01"
                                       << "20040301";
    QTest::newRow("separators inserted") << 4 << false << "20040301"
                                         << "01-03-2004"
                                         << "2004/03/01"
                                         << "20040301";
    QTest::newRow("invalid date leaves field empty") << 4 << false << "2004/02/30"
                                                     << "__-__-____"
                                                     << "  -  -    "
                                                     << "        ";
    QTest::newRow("century mismatch empties") << 4 << true << "2004/03/01"
                                              << "__-__-19__"
                                              << "  -  -19  "
                                              << "      ";
    QTest::newRow("century match") << 4 << true << "1999/03/01"
                                   << "01-03-1999"
                                   << "1999/03/01"
                                   << "19990301";
    QTest::newRow("locale in/out") << 0 << false << "1-3-2004"
                                   << "01-03-2004"
                                   << "01-03-2004"
                                   << "01032004";
}

void tst_MaskEngine::dateText() {
    QFETCH(int, inOutFormat);
    QFETCH(bool, centuryOn);
    QFETCH(QString, value);
    MaskEngine e;
    e.SetFieldType(1);
    e.SetDateformat(1);
    e.SetDateSeperator(QStringLiteral("-"));
    e.SetInOutDateformat(inOutFormat);
    e.SetInOutDateSeperator(QStringLiteral("/"));
    e.SetCenturyON(centuryOn);
    e.SetCentury(19);
    e.SetText(value);
    QTEST(e.DisplayText(), "display");
    QTEST(e.Text(), "text");
    e.SetMaskCharInclude(false);
    QTEST(e.Text(), "textWithoutSeparators");
}

QTEST_GUILESS_MAIN(tst_MaskEngine)
#include "tst_MaskEngine.moc"
