#include "MaskEngine.h"

#include <algorithm>

#include "AppError.h"
#include "mFunctions.h"

namespace {

const QString kMaskChars = QStringLiteral("&AaCc#9?Dd");

AppError InvalidPropertyValue(const QString& property) {
    return AppError(380, QStringLiteral("Invalid property value"),
                    QStringLiteral("FlexMaskEditBox.") + property);
}

bool IsAsciiLetter(QChar k) {
    return (k >= u'A' && k <= u'Z') || (k >= u'a' && k <= u'z');
}

bool IsAsciiDigit(QChar k) {
    return k >= u'0' && k <= u'9';
}

}  // namespace

MaskEngine::MaskEngine() : decimalSep_(mFunctions::LocaleDecimalSeparator().at(0)) {}

// ---- settings ----

void MaskEngine::SetMask(const QString& value) {
    if (fieldType_ == FieldKind::Date) {
        mask_ = dateMask();
        parseMask();
    } else if (!value.isEmpty()) {
        mask_ = value;
        parseMask();
    } else {
        mask_.clear();
        maskActive_ = false;
    }
    refreshPending_ = false;
}

void MaskEngine::SetFieldType(int value) {
    if (value < 0 || value > 2) throw InvalidPropertyValue(QStringLiteral("FieldType"));
    fieldType_ = static_cast<FieldKind>(value);
    if (fieldType_ == FieldKind::Date) display_.clear();
    refreshPending_ = true;
}

void MaskEngine::SetPromptChar(const QString& value) {
    prompt_ = value.size() == 1 ? value.at(0) : QChar(u'_');
    refreshPending_ = true;
}

void MaskEngine::SetDecimalSeperator(const QString& value) {
    if (value.size() != 1) {
        throw AppError(122, QStringLiteral("MUST be 1 char long"),
                       QStringLiteral("FlexMaskEditBox.DecimalSeperator"));
    }
    decimalSep_ = value.at(0);
}

void MaskEngine::SetMaxLength(int value) {
    maxLength_ = fieldType_ == FieldKind::Date ? 0 : std::clamp(value, 0, 999);
    refreshPending_ = true;
}

void MaskEngine::SetDateformat(int value) {
    if (value < 0 || value >= mFunctions::DateFormatCount) {
        throw InvalidPropertyValue(QStringLiteral("DateFormat"));
    }
    dateformat_ = value;
    if (value == 0) dateSep_ = mFunctions::LocaleDateSeparator();
    refreshPending_ = true;
}

void MaskEngine::SetDateSeperator(const QString& value) {
    dateSep_ = value.isEmpty() ? QStringLiteral("-") : value;
    if (dateformat_ == 0) dateSep_ = mFunctions::LocaleDateSeparator();
    refreshPending_ = true;
}

void MaskEngine::SetInOutDateformat(int value) {
    if (value < 0 || value >= mFunctions::DateFormatCount) {
        throw InvalidPropertyValue(QStringLiteral("InOutDateFormat"));
    }
    inOutDateformat_ = value;
    if (value == 0) inOutDateSep_ = mFunctions::LocaleDateSeparator();
}

void MaskEngine::SetInOutDateSeperator(const QString& value) {
    const bool useLocale = inOutDateformat_ == 0 || value.isEmpty();
    inOutDateSep_ = useLocale ? mFunctions::LocaleDateSeparator() : value;
}

void MaskEngine::SetCenturyON(bool value) {
    centuryOn_ = value;
    refreshPending_ = true;
}

void MaskEngine::SetCentury(int value) {
    century_ = value;
    refreshPending_ = true;
}

void MaskEngine::ClearUpperNext() {
    upperNext_ = false;
    upperMemo_ = false;
}

void MaskEngine::Refresh() {
    refreshPending_ = false;
    SetInOutDateSeperator(inOutDateSep_);
    SetMask(mask_);
}

// ---- parsing ----

void MaskEngine::parseMask() {
    display_.clear();
    emptyDisplay_.clear();
    codes_.clear();
    cases_.clear();
    decimalPosition_ = 0;
    if (fieldType_ == FieldKind::Date) maxLength_ = 0;

    int persistent = 3;
    int oneShot = 0;
    bool escape = false;
    auto addPosition = [this](int code, int caseClass, QChar shown) {
        codes_.push_back(code);
        cases_.push_back(caseClass);
        display_ += shown;
    };
    for (QChar ch : mask_) {
        if (!escape) {
            if (ch == u'>' || ch == u'<') {
                persistent = ch == u'>' ? 1 : 2;
                continue;
            }
            if (ch == u'}' || ch == u'{') {
                oneShot = ch == u'}' ? 1 : 2;
                continue;
            }
            if (ch == u'\\') {
                escape = true;
                continue;
            }
            const int code = static_cast<int>(kMaskChars.indexOf(ch)) + 1;
            if (code > 0) {
                addPosition(code, oneShot != 0 ? oneShot : persistent, prompt_);
                oneShot = 0;
                continue;
            }
            if (ch == decimalSep_) {
                addPosition(10, 0, decimalSep_);
                if (fieldType_ == FieldKind::Numeric && decimalPosition_ == 0) {
                    decimalPosition_ = DisplayLength();
                }
                continue;
            }
        }
        addPosition(9, 0, ch);
        escape = false;
        persistent = 3;
    }

    // The position count is what the walk produced, so tables and display
    // always agree, whatever escapes the mask holds.
    const int count = DisplayLength();
    if (count == 0) {
        maskActive_ = false;
        return;
    }
    if (count < maxLength_) {
        const int lastCode = codes_.back();
        const QChar lastMaskChar = mask_.back();
        for (int p = count + 1; p <= maxLength_; ++p) {
            addPosition(lastCode, persistent, prompt_);
            mask_ += lastMaskChar;
        }
    }
    maskActive_ = true;
    maxLength_ = DisplayLength();
    if (designMode_ && fieldType_ == FieldKind::Date && centuryOn_) maxLength_ += 2;
    emptyDisplay_ = display_;
    if (!designMode_) PlaceCursor();
}

int MaskEngine::PositionCode(int p) const {
    return maskActive_ && p >= 1 && p <= codes_.size() && p <= DisplayLength() ? codes_.at(p - 1)
                                                                               : 0;
}

int MaskEngine::PositionCase(int p) const {
    return maskActive_ && p >= 1 && p <= cases_.size() && p <= DisplayLength() ? cases_.at(p - 1)
                                                                               : 0;
}

QString MaskEngine::TextBoxContent() const {
    if (!designMode_ || !maskActive_) return display_;
    QString shown;
    for (int p = 1; p <= DisplayLength(); ++p) {
        const int code = PositionCode(p);
        if (code >= 1 && code <= 8) {
            shown += kMaskChars.at(code - 1);
        } else if (code == 10) {
            shown += decimalSep_;
        } else {
            shown += at(p);
        }
    }
    return shown;
}

// ---- character tables ----

QString MaskEngine::ApplyCase(const QString& s, int caseClass) {
    switch (caseClass) {
        case 1:
            return s.toUpper();
        case 2:
            return s.toLower();
        case 3:
            return s;
        default:
            return {};
    }
}

bool MaskEngine::signAllowed(int p) const {
    if (fieldType_ != FieldKind::Numeric || inIntegerDelete_) return true;
    if (decimalPosition_ != 0 && p > decimalPosition_) return false;
    return onlyPromptsUpTo(p);
}

bool MaskEngine::onlyPromptsUpTo(int p) const {
    for (int i = 1; i <= p && i <= DisplayLength(); ++i) {
        if (IsInputPosition(i) && at(i) != prompt_) return false;
    }
    return true;
}

bool MaskEngine::acceptsByCode(QChar k, int p) const {
    const char16_t u = k.unicode();
    switch (PositionCode(p)) {
        case 1:  // Characters beyond the 8-bit range count when printable.
            return u >= 32 && u != 127 && (u <= 255 || (k.isPrint() && !k.isSurrogate()));
        case 2:
        case 4:
            return IsAsciiLetter(k) || IsAsciiDigit(k);
        case 3:
        case 5:
            return IsAsciiLetter(k) || IsAsciiDigit(k) || k == u' ';
        case 6:
            return IsAsciiDigit(k);
        case 7:
            return IsAsciiDigit(k) || (k == u'-' && signAllowed(p));
        case 8:
            return IsAsciiLetter(k);
        default:
            return false;
    }
}

QString MaskEngine::charFor(QChar k, int p) const {
    if (k == prompt_) return QString(prompt_);
    if (!specialChars_.isEmpty() && specialChars_.contains(k)) return QString(k);
    if (!acceptsByCode(k, p)) return {};
    const int code = PositionCode(p);
    if (code == 6 || code == 7) return QString(k);
    return ApplyCase(QString(k), PositionCase(p));
}

QString MaskEngine::upperChain(const QString& r) {
    if (upperNext_) {
        const QString up = r.toUpper();
        upperNext_ = !up.isEmpty() && upperActivators_.contains(up);
        return up;
    }
    if (!r.isEmpty() && upperActivators_.contains(r)) upperNext_ = true;
    return r;
}

QString MaskEngine::CharForPosition(QChar k, int p) {
    const QString r = charFor(k, p);
    if (k == prompt_) {
        if (upperActivators_.contains(prompt_)) upperNext_ = true;
        return r;
    }
    if (!specialChars_.isEmpty() && specialChars_.contains(k)) return r;
    return upperChain(r);
}

// ---- value ----

QString MaskEngine::Text() const {
    if (designMode_ || !maskActive_) return display_;
    QString s = display_;
    bool convertedDate = false;
    if (fieldType_ == FieldKind::Date && ValidDate(display_, dateformat_, {})) {
        s = TransFormDate(display_, dateformat_, inOutDateformat_, {}, inOutDateSep_);
        convertedDate = true;
    }
    if (!maskCharInclude_) {
        if (convertedDate) {
            s.remove(inOutDateSep_);
        } else {
            QString inputs;
            for (int p = 1; p <= DisplayLength(); ++p) {
                if (IsInputPosition(p)) inputs += at(p);
            }
            s = inputs;
        }
    }
    if (!promptInclude_) s.replace(prompt_, QChar(u' '));
    return s;
}

void MaskEngine::SetText(const QString& value) {
    if (refreshPending_) Refresh();
    if (display_.isEmpty()) {
        parseMask();
    } else if (maskActive_) {
        display_ = emptyDisplay_;
    }
    if (designMode_) {
        display_ = value;
        return;
    }
    QString v = value;
    if (fieldType_ == FieldKind::Numeric) v = numericValueForSet(value);
    if (fieldType_ == FieldKind::Date) v = dateValueForSet(value);
    if (!maskActive_) {
        display_ = v;
    } else if (fieldType_ == FieldKind::Date) {
        putDateIntoMask(v);
    } else if (fieldType_ == FieldKind::Numeric) {
        SetNumericValue(false, v);
    } else {
        putTextIntoMask(v);
    }
    ClearUpperNext();
    savedText_ = display_;
    if (autoToLastPos_ && maskActive_) {
        PlaceCursor();
    } else {
        SetCursor(0);
    }
}

void MaskEngine::Undo() {
    // The saved display is laid back as it was; a date is not converted again.
    if (!maskActive_ || savedText_.size() == display_.size()) {
        display_ = savedText_;
    } else {
        SetText(savedText_);
        return;
    }
    if (autoToLastPos_ && maskActive_) {
        PlaceCursor();
    } else {
        SetCursor(0);
    }
}

void MaskEngine::putTextIntoMask(const QString& value) {
    if (mask_.isEmpty()) {
        display_ = value;
        maskActive_ = false;
        return;
    }
    if (value.isEmpty()) {
        display_ = emptyDisplay_;
        return;
    }
    int q = 0;
    for (QChar c : value) {
        while (++q <= DisplayLength()) {
            if (IsInputPosition(q)) {
                const QString r = CharForPosition(c, q);
                if (r.isEmpty()) {
                    --q;  // the next character tries the same position
                } else {
                    put(q, r.at(0));
                }
                break;
            }
            if (c == emptyDisplay_.at(q - 1)) break;  // a literal given with the value
        }
    }
}

bool MaskEngine::IsEmptyText() const {
    if (!maskActive_) return display_.isEmpty();
    QString inputs;
    for (int p = 1; p <= DisplayLength(); ++p) {
        if (IsInputPosition(p) && at(p) != prompt_) inputs += at(p);
    }
    if (fieldType_ != FieldKind::Numeric) return inputs.isEmpty();
    // A numeric field is empty when it holds no number or the number 0.
    return mFunctions::NumericValue(inputs, QString(decimalSep_)) == 0.0;
}

QString MaskEngine::NumText() const {
    QString s = display_;
    for (int p = 1; maskActive_ && p <= DisplayLength(); ++p) {
        if (!IsInputPosition(p) && p != decimalPosition_) s[p - 1] = u' ';
    }
    s.remove(prompt_);
    const QString localeSep = mFunctions::LocaleDecimalSeparator();
    s.replace(decimalSep_, localeSep);
    return mFunctions::IsNumericText(s, localeSep) ? s : QString();
}

QString MaskEngine::Inconsistency() const {
    if (cursor_ < 0 || selLength_ < 0 || cursor_ + selLength_ > DisplayLength()) {
        return QStringLiteral("cursor %1+%2 outside %3")
            .arg(cursor_)
            .arg(selLength_)
            .arg(DisplayLength());
    }
    if (!maskActive_) return {};
    if (display_.size() != emptyDisplay_.size() || codes_.size() != display_.size()) {
        return QStringLiteral("display length %1, mask length %2")
            .arg(display_.size())
            .arg(emptyDisplay_.size());
    }
    for (int p = 1; p <= DisplayLength(); ++p) {
        const QChar ch = at(p);
        if (!IsInputPosition(p) && ch != emptyDisplay_.at(p - 1)) {
            return QStringLiteral("literal at %1 became %2").arg(p).arg(ch);
        }
        const bool allowed = IsAsciiDigit(ch) || ch == prompt_ || specialChars_.contains(ch);
        if (PositionCode(p) == 6 && IsInputPosition(p) && !allowed) {
            return QStringLiteral("digit position %1 holds %2").arg(p).arg(ch);
        }
    }
    return {};
}
