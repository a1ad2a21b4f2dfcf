#pragma once

#include <QString>
#include <QVector>
#include <Qt>

// The kind of value a masked field holds.
enum class FieldKind { AlfaNumeric = 0, Date = 1, Numeric = 2 };

// What a key asks of the widget once the engine has handled it.
struct KeyOutcome {
    enum class Request {
        None,
        PassToTextBox,  // the text box handles the key itself (selection keys)
        Copy,           // put the selected text on the clipboard (SelectedTextForCopy)
        Paste,          // feed the clipboard text to Paste()
        CaretChanged,   // overwrite mode toggled: recreate the caret
        FieldFilled,    // a typed character filled the last input position
    };
    bool failed = false;  // the edit was refused; nothing changed
    Request request = Request::None;
};

// The mask engine of FlexMaskEditBox: the per-position tables built from an input
// mask, the display string the text box shows, the cursor (0-based selection
// start: the cursor c stands before 1-based position c+1) and every editing rule.
//
// Positions are 1-based. An input position is one whose case class is not 0.
// Mask characters: & any printable, A/C letter or digit, a/c letter, digit or
// blank, # digit, 9 digit or "-", ? letter, D/d special characters only.
// Meta characters: > upper from here, < lower from here, } and { upper/lower for
// the next position only, \ the next character is a literal.
//
// The engine never raises an error for an edit: each editing operation returns
// false and leaves the display as it was when it refuses. Only DecimalSeperator
// and the format-index setters raise (AppError) for an invalid value.
class MaskEngine {
public:
    MaskEngine();

    // ---- settings that shape the mask ----
    QString Mask() const { return mask_; }
    // A date field ignores `value` and generates its mask from the date settings;
    // an empty mask makes the engine a plain text holder (MaskActive false).
    void SetMask(const QString& value);
    // Keeps `value` as the mask without building it; the next Text assignment
    // (or Refresh) builds it. Used when stored settings are read.
    void StoreMask(const QString& value) { mask_ = value; }
    FieldKind FieldType() const { return fieldType_; }
    // Raises AppError 380 for a value outside 0..2.
    void SetFieldType(int value);
    QString PromptChar() const { return QString(prompt_); }
    // Anything but exactly one character becomes "_".
    void SetPromptChar(const QString& value);
    QString DecimalSeperator() const { return QString(decimalSep_); }
    // Raises AppError 122 "MUST be 1 char long" and keeps the old value unless
    // `value` is exactly one character long.
    void SetDecimalSeperator(const QString& value);
    QString SpecialChars() const { return specialChars_; }
    void SetSpecialChars(const QString& value) { specialChars_ = value; }
    QString Char2ActivateTranNextChar2Upper() const { return upperActivators_; }
    void SetChar2ActivateTranNextChar2Upper(const QString& value) { upperActivators_ = value; }
    // The text box limit: 0 = none. Kept within 0..999; 0 for a date field.
    // After a mask is parsed it equals DisplayLength().
    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int value);

    bool MaskCharInclude() const { return maskCharInclude_; }
    void SetMaskCharInclude(bool value) { maskCharInclude_ = value; }
    bool PromptInclude() const { return promptInclude_; }
    void SetPromptInclude(bool value) { promptInclude_ = value; }
    bool AutoToLastPos() const { return autoToLastPos_; }
    void SetAutoToLastPos(bool value) { autoToLastPos_ = value; }
    bool InsertZerosInNumField() const { return insertZeros_; }
    void SetInsertZerosInNumField(bool value) { insertZeros_ = value; }

    // ---- date settings (indexes into the date format table, 0 = locale) ----
    int Dateformat() const { return dateformat_; }
    // Raises AppError 380 for an index outside the table.
    void SetDateformat(int value);
    QString DateSeperator() const { return dateSep_; }
    void SetDateSeperator(const QString& value);
    int InOutDateformat() const { return inOutDateformat_; }
    void SetInOutDateformat(int value);
    QString InOutDateSeperator() const { return inOutDateSep_; }
    void SetInOutDateSeperator(const QString& value);
    bool CenturyON() const { return centuryOn_; }
    void SetCenturyON(bool value);
    int Century() const { return century_; }
    void SetCentury(int value);

    // Design mode: the text box shows a template of the mask and Text is the raw
    // display. Off by default (run mode).
    bool DesignMode() const { return designMode_; }
    void SetDesignMode(bool value) { designMode_ = value; }
    bool Locked() const { return locked_; }
    void SetLocked(bool value) { locked_ = value; }
    bool OverwriteMode() const { return overwrite_; }
    void SetOverwriteMode(bool value) { overwrite_ = value; }
    bool RefreshPending() const { return refreshPending_; }
    bool UpperNext() const { return upperNext_; }
    void ClearUpperNext();

    // Rebuilds the mask from the current settings and clears RefreshPending.
    void Refresh();

    // ---- the model ----
    bool MaskActive() const { return maskActive_; }
    // What the text box holds: the display while a mask is active, the plain text
    // otherwise. TextBoxContent() is what the text box shows (a template of the
    // mask in design mode).
    const QString& DisplayText() const { return display_; }
    QString TextBoxContent() const;
    // Replaces the text box content as typed natively (no mask active).
    void SetPlainText(const QString& text) { display_ = text; }
    const QString& EmptyDisplay() const { return emptyDisplay_; }
    int DisplayLength() const { return static_cast<int>(display_.size()); }
    int PositionCode(int p) const;
    int PositionCase(int p) const;
    bool IsInputPosition(int p) const { return PositionCase(p) != 0; }
    int DecimalPosition() const { return decimalPosition_; }
    const QString& SavedText() const { return savedText_; }

    int Cursor() const { return cursor_; }
    int SelLength() const { return selLength_; }
    // Clamped to the display.
    void SetCursor(int c);
    void SetSelection(int start, int length);
    QString SelectedText() const;

    // ---- value ----
    QString Text() const;
    void SetText(const QString& value);
    QString TextAsDisplayed() const { return display_; }
    // Restores the display of the last Text assignment (menu Undo).
    void Undo();
    bool IsEmptyText() const;
    // The numeric value as text with the locale's decimal separator; empty when
    // the field does not hold a number.
    QString NumText() const;

    // ---- the character tables ----
    // The text position `p` takes for the typed character `k`; empty = refused.
    // Applies the upper-case chain (UpperNext).
    QString CharForPosition(QChar k, int p);
    static QString ApplyCase(const QString& s, int caseClass);

    // ---- positions and cursor ----
    int NextInputPosition(int c) const;
    int PreviousInputPosition(int a) const;
    int FirstInputPosition() const;
    int LastInputPosition() const;
    bool HasInputAfterCursor() const;
    void PlaceCursor();

    // ---- editing (each returns false and changes nothing when it refuses) ----
    bool TypeInsert(QChar k);
    bool TypeOverwrite(QChar k);
    bool TypeIntegerDigit(QChar k);
    bool ClearBackward();
    bool DeleteForward();
    bool DeleteBackward();
    bool DeleteShiftRight();
    bool ClearToEnd();
    void ClearSelection();
    // Clears the selection and inserts every character that fits; false when locked.
    bool Paste(const QString& text);
    // The selection as it goes to the clipboard (prompts dropped unless PromptInclude).
    QString SelectedTextForCopy() const;

    // ---- keys (only while MaskActive; otherwise Request::PassToTextBox) ----
    // `key` is a Qt::Key; handles the editing and cursor keys of the mask.
    KeyOutcome KeyDown(int key, Qt::KeyboardModifiers modifiers);
    // A typed character (after KeyDown). Control characters are swallowed.
    KeyOutcome KeyPress(QChar ch);

    // ---- numbers ----
    void SetNumericValue(bool strict, const QString& value);
    void JumpToDecimals();

    // ---- dates ----
    // The work pattern of format `index` with `sep` (or DateSeperator) between
    // its groups; the locale pattern for index 0.
    QString WorkDatePattern(int index, const QString& sep) const;
    QString DateFormatByText() const { return WorkDatePattern(dateformat_, {}); }
    // `date` empty = the display; `format` -1 = Dateformat; `sep` empty = DateSeperator.
    bool ValidDate(const QString& date, int format = -1, const QString& sep = {}) const;
    QString TransFormDate(const QString& date, int inFormat, int outFormat, const QString& inSep,
                          const QString& outSep) const;
    // Stored settings keep a date field's display, in the work format, while
    // SetText takes the in/out format: a stored text shaped like the display
    // (the work pattern's separators in place, digits elsewhere) and holding a
    // valid date comes back as the in/out text of that date. Any other text
    // (an empty one, a hand-written in/out value, a non-date field) is
    // returned as it is.
    QString StoredDisplayAsText(const QString& stored) const;

    // Empty while the engine keeps its promises, else what is broken: with a mask,
    // the display has the mask's length, literals stay in place, digit positions
    // hold a digit, the prompt or a special character, and the cursor and
    // selection lie inside the display.
    QString Inconsistency() const;

private:
    QString charFor(QChar k, int p) const;
    bool acceptsByCode(QChar k, int p) const;
    bool signAllowed(int p) const;
    QString upperChain(const QString& r);
    void parseMask();
    QString dateMask() const;
    QString separatorFor(int format, const QString& sep) const;
    void putTextIntoMask(const QString& value);
    void putDateIntoMask(const QString& value);
    QString dateValueForSet(const QString& value) const;
    QString numericValueForSet(const QString& value) const;
    bool shiftLeftFrom(int start);
    bool integerDigit(QChar k, bool spill);
    bool moveChainLeft(QString& work, int from) const;
    void fillDecimalZeros();
    bool onlyPromptsUpTo(int p) const;
    bool isPromptOrEmpty(int p) const;
    QChar at(int p) const { return display_.at(p - 1); }
    void put(int p, QChar ch) { display_[p - 1] = ch; }
    void typedKey(QChar ch, KeyOutcome& outcome);
    KeyOutcome deleteKey(Qt::KeyboardModifiers modifiers);

    QString mask_;
    FieldKind fieldType_ = FieldKind::AlfaNumeric;
    QChar prompt_ = u'_';
    QChar decimalSep_;
    QString specialChars_;
    QString upperActivators_;
    int maxLength_ = 0;
    bool maskCharInclude_ = true;
    bool promptInclude_ = false;
    bool autoToLastPos_ = true;
    bool insertZeros_ = true;

    int dateformat_ = 0;
    QString dateSep_ = QStringLiteral("-");
    int inOutDateformat_ = 0;
    QString inOutDateSep_ = QStringLiteral("-");
    bool centuryOn_ = false;
    int century_ = 0;

    bool designMode_ = false;
    bool locked_ = false;
    bool overwrite_ = false;
    bool refreshPending_ = false;
    bool maskActive_ = false;
    bool upperNext_ = false;
    bool upperMemo_ = false;
    bool inIntegerDelete_ = false;

    QString display_;
    QString emptyDisplay_;
    QString savedText_;
    QVector<int> codes_;
    QVector<int> cases_;
    int decimalPosition_ = 0;
    int cursor_ = 0;
    int selLength_ = 0;
};
