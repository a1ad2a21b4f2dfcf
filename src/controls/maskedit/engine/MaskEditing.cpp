// Cursor movement, typing, deleting and the editing keys of MaskEngine.
#include <algorithm>

#include "MaskEngine.h"

// ---- positions ----

int MaskEngine::NextInputPosition(int c) const {
    for (int b = c + 1; b <= DisplayLength(); ++b) {
        if (IsInputPosition(b)) return b;
    }
    return c;
}

int MaskEngine::PreviousInputPosition(int a) const {
    for (int b = std::min(a - 1, DisplayLength()); b >= 1; --b) {
        if (IsInputPosition(b)) return b;
    }
    return a;
}

int MaskEngine::FirstInputPosition() const {
    const int p = NextInputPosition(0);
    return p == 0 ? 0 : p;
}

int MaskEngine::LastInputPosition() const {
    const int beyond = DisplayLength() + 1;
    const int p = PreviousInputPosition(beyond);
    return p == beyond ? 0 : p;
}

bool MaskEngine::HasInputAfterCursor() const {
    return cursor_ < DisplayLength() && NextInputPosition(cursor_) != cursor_;
}

void MaskEngine::SetCursor(int c) {
    cursor_ = std::clamp(c, 0, DisplayLength());
    selLength_ = 0;
}

void MaskEngine::SetSelection(int start, int length) {
    cursor_ = std::clamp(start, 0, DisplayLength());
    selLength_ = std::clamp(length, 0, DisplayLength() - cursor_);
}

QString MaskEngine::SelectedText() const {
    return display_.mid(cursor_, selLength_);
}

QString MaskEngine::SelectedTextForCopy() const {
    QString s = SelectedText();
    if (!promptInclude_) s.remove(prompt_);
    return s;
}

void MaskEngine::PlaceCursor() {
    if (fieldType_ == FieldKind::Numeric && decimalPosition_ > 0) {
        SetCursor(decimalPosition_ - 1);
        return;
    }
    int e = static_cast<int>(display_.indexOf(prompt_)) + 1;
    if (e == 0) e = static_cast<int>(emptyDisplay_.indexOf(prompt_)) + 1;
    SetCursor(std::max(e - 1, 0));
}

// ---- typing ----

bool MaskEngine::TypeInsert(QChar k) {
    const int p = NextInputPosition(cursor_);
    if (p == cursor_) return false;
    QString r = charFor(k, p);
    if (r.isEmpty()) return false;

    // What stood at p moves one input position right, chain-wise, until a
    // prompt absorbs it; a numeric field may drop a trailing zero.
    QString work = display_;
    const int last = LastInputPosition();
    const bool numeric = fieldType_ == FieldKind::Numeric;
    int pos = p;
    QChar carry = at(p);
    while (carry != prompt_ && !(pos == last && numeric && carry == u'0')) {
        const int j = NextInputPosition(pos);
        if (j == pos) return false;  // the field is full
        const QString moved = charFor(carry, j);
        if (moved.isEmpty()) return false;
        carry = at(j);
        work[j - 1] = moved.at(0);
        pos = j;
    }
    r = CharForPosition(k, p);
    work[p - 1] = r.at(0);
    display_ = work;
    const int q = NextInputPosition(p);
    SetCursor(q == p ? p : q - 1);
    return true;
}

bool MaskEngine::TypeOverwrite(QChar k) {
    for (int i = cursor_ + 1; i <= DisplayLength(); ++i) {
        // Literals are never overwritten, whatever the character.
        if (!IsInputPosition(i) || charFor(k, i).isEmpty()) continue;
        put(i, CharForPosition(k, i).at(0));
        SetCursor(i);
        return true;
    }
    return false;
}

bool MaskEngine::TypeIntegerDigit(QChar k) {
    return integerDigit(k, true);
}

// Shifts the characters from `from` leftwards into `work` until a prompt
// absorbs them. False when the integer part is full or a character does not
// fit its new position.
bool MaskEngine::moveChainLeft(QString& work, int from) const {
    int pos = from;
    QChar carry = at(from);
    while (carry != prompt_) {
        const int j = PreviousInputPosition(pos);
        if (j == pos) return false;
        const QString moved = charFor(carry, j);
        if (moved.isEmpty()) return false;
        carry = at(j);
        work[j - 1] = moved.at(0);
        pos = j;
    }
    return true;
}

bool MaskEngine::integerDigit(QChar k, bool spill) {
    const int len = DisplayLength();
    int b = len;
    for (int i = cursor_ + 1; i <= len; ++i) {
        if ((IsInputPosition(i) && at(i) != prompt_) || i == decimalPosition_) {
            b = i - 1;
            break;
        }
    }
    while (b >= 1 && !IsInputPosition(b)) --b;

    if (b > 1 && !charFor(k, b).isEmpty()) {
        QString work = display_;
        if (moveChainLeft(work, b)) {
            work[b - 1] = CharForPosition(k, b).at(0);
            display_ = work;
            SetCursor(b);
            return true;
        }
    } else if (b <= 1 && decimalPosition_ < 3 && len >= 1 && at(1) == prompt_) {
        SetCursor(0);
    }
    // A full integer part (or a refused digit) continues as plain insertion;
    // a value being laid in never spills into the decimals.
    const int target = NextInputPosition(cursor_);
    if (!spill && decimalPosition_ > 0 && target > decimalPosition_) return false;
    return TypeInsert(k);
}

// ---- deleting ----

bool MaskEngine::ClearBackward() {
    for (int p = std::min(cursor_, DisplayLength()); p >= 1; --p) {
        if (IsInputPosition(p)) {
            put(p, prompt_);
            SetCursor(p - 1);
            return true;
        }
    }
    return false;
}

// Every input position from `start` on takes the character of the next input
// position; the last one gets the prompt. Refused when a character does not
// fit its new position.
bool MaskEngine::shiftLeftFrom(int start) {
    const int last = LastInputPosition();
    if (start < 1 || start > last) return false;
    QString work = display_;
    int i = IsInputPosition(start) ? start : NextInputPosition(start);
    while (i < last) {
        const int j = NextInputPosition(i);
        const QString moved = charFor(at(j), i);
        if (moved.isEmpty()) return false;
        work[i - 1] = moved.at(0);
        i = j;
    }
    work[last - 1] = prompt_;
    display_ = work;
    return true;
}

bool MaskEngine::DeleteForward() {
    return shiftLeftFrom(cursor_ + 1);
}

bool MaskEngine::DeleteBackward() {
    const int b = PreviousInputPosition(cursor_ + 1);
    if (b == cursor_ + 1) return false;
    if (fieldType_ == FieldKind::Numeric && decimalPosition_ > 0 && b < decimalPosition_) {
        // The integer part is right-aligned: the digits left of b close up
        // from the left, so no decimal is pulled across the separator.
        const int cursor = cursor_;
        SetCursor(b);
        inIntegerDelete_ = true;
        const bool done = DeleteShiftRight();
        inIntegerDelete_ = false;
        SetCursor(cursor);
        return done;
    }
    // Elsewhere the field closes up from the right; in the decimals of a
    // numeric field that stops at the end, never reaching the integer part.
    if (!shiftLeftFrom(b)) return false;
    SetCursor(b - 1);
    return true;
}

bool MaskEngine::DeleteShiftRight() {
    const int first = FirstInputPosition();
    const int d = std::min(cursor_, DisplayLength());
    if (first == 0 || d < first) return false;
    QString work = display_;
    int i = IsInputPosition(d) ? d : PreviousInputPosition(d);
    while (i > first) {
        const int j = PreviousInputPosition(i);
        const QString moved = charFor(at(j), i);
        if (moved.isEmpty()) return false;
        work[i - 1] = moved.at(0);
        i = j;
    }
    work[first - 1] = prompt_;
    display_ = work;
    return true;
}

bool MaskEngine::ClearToEnd() {
    if (cursor_ >= DisplayLength()) return false;
    for (int p = cursor_ + 1; p <= DisplayLength(); ++p) put(p, emptyDisplay_.at(p - 1));
    return true;
}

void MaskEngine::ClearSelection() {
    if (display_.isEmpty() || locked_) return;
    const int start = cursor_;
    for (int p = start + 1; p <= start + selLength_ && p <= DisplayLength(); ++p) {
        if (IsInputPosition(p)) put(p, prompt_);
    }
    SetCursor(start);
}

bool MaskEngine::Paste(const QString& text) {
    if (locked_) return false;
    ClearSelection();
    for (QChar ch : text) TypeInsert(ch);
    return true;
}

// ---- keys ----

KeyOutcome MaskEngine::deleteKey(Qt::KeyboardModifiers modifiers) {
    KeyOutcome outcome;
    const bool shift = modifiers.testFlag(Qt::ShiftModifier);
    const bool ctrl = modifiers.testFlag(Qt::ControlModifier);
    const bool numeric = fieldType_ == FieldKind::Numeric;
    if (locked_) {
        outcome.failed = true;
    } else if (selLength_ > 0) {
        ClearSelection();
    } else if (numeric && !ctrl && decimalPosition_ > 0 && cursor_ < decimalPosition_) {
        // Right-aligned integer part: the digits left of the cursor close up.
        inIntegerDelete_ = true;
        if (!shift) SetCursor(std::min(cursor_ + 1, decimalPosition_ - 1));
        outcome.failed = !DeleteShiftRight();
        inIntegerDelete_ = false;
    } else if (numeric && !ctrl) {
        outcome.failed = !DeleteForward();
    } else if (shift && !numeric) {
        outcome.failed = !DeleteShiftRight();
    } else if (ctrl) {
        outcome.failed = !ClearToEnd();
    } else {
        outcome.failed = !DeleteForward();
    }
    return outcome;
}

KeyOutcome MaskEngine::KeyDown(int key, Qt::KeyboardModifiers modifiers) {
    KeyOutcome outcome;
    if (!maskActive_) {
        outcome.request = KeyOutcome::Request::PassToTextBox;
        return outcome;
    }
    const bool shift = modifiers.testFlag(Qt::ShiftModifier);
    const bool ctrl = modifiers.testFlag(Qt::ControlModifier);
    switch (key) {
        case Qt::Key_Left:
        case Qt::Key_Right:
            if (shift) {
                outcome.request = KeyOutcome::Request::PassToTextBox;
            } else if (key == Qt::Key_Left) {
                SetCursor(PreviousInputPosition(cursor_ + 1) - 1);
            } else {
                SetCursor(NextInputPosition(cursor_));
            }
            break;
        case Qt::Key_C:
            if (ctrl) outcome.request = KeyOutcome::Request::Copy;
            break;
        case Qt::Key_V:
            if (ctrl) outcome.request = KeyOutcome::Request::Paste;
            break;
        case Qt::Key_Backspace:
            outcome.failed = locked_ || !(shift ? ClearBackward() : DeleteBackward());
            break;
        case Qt::Key_Insert:
            overwrite_ = !overwrite_;
            outcome.request = KeyOutcome::Request::CaretChanged;
            break;
        case Qt::Key_Delete:
            return deleteKey(modifiers);
        case Qt::Key_Period:
            if (fieldType_ == FieldKind::Numeric && decimalPosition_ >= 1) JumpToDecimals();
            break;
        case Qt::Key_Home:
            SetCursor(0);
            break;
        case Qt::Key_End:
            SetCursor(DisplayLength());
            break;
        default:
            break;
    }
    return outcome;
}

void MaskEngine::typedKey(QChar ch, KeyOutcome& outcome) {
    if (locked_) {
        outcome.failed = true;
        return;
    }
    if (selLength_ > 0) ClearSelection();
    const bool numeric = fieldType_ == FieldKind::Numeric;
    if (numeric) {
        const int minus = static_cast<int>(display_.indexOf(u'-')) + 1;
        if ((ch == u'-' && minus > 0) ||
            (ch >= u'0' && ch <= u'9' && minus > 0 && cursor_ < minus)) {
            outcome.failed = true;
            return;
        }
        if (decimalPosition_ > 0 && ch == u'.') return;  // the key-down already jumped
        if (decimalPosition_ > 0 && ch == decimalSep_) {
            JumpToDecimals();
            return;
        }
    }
    bool ok = false;
    if (overwrite_) {
        ok = TypeOverwrite(ch);
    } else if (numeric && cursor_ < decimalPosition_) {
        ok = TypeIntegerDigit(ch);
    } else {
        ok = TypeInsert(ch);
        if (ok && !HasInputAfterCursor()) outcome.request = KeyOutcome::Request::FieldFilled;
    }
    outcome.failed = !ok;
}

KeyOutcome MaskEngine::KeyPress(QChar ch) {
    KeyOutcome outcome;
    if (!maskActive_) {
        outcome.request = KeyOutcome::Request::PassToTextBox;
        return outcome;
    }
    // Control characters (Backspace's 8, DEL's 127, ...) type nothing, but
    // they count as the key after an activator: "a", " ", Backspace, "b"
    // gives "ab", not "aB".
    if (ch.unicode() >= 32 && ch.unicode() != 127) typedKey(ch, outcome);
    // UpperNext lives for exactly one more key.
    if (upperMemo_) {
        upperMemo_ = false;
        upperNext_ = false;
    } else if (upperNext_) {
        upperMemo_ = true;
    }
    return outcome;
}
