// Numeric and date values of MaskEngine.
#include <QDate>
#include <QLocale>
#include <algorithm>

#include "MaskEngine.h"
#include "mFunctions.h"

using mFunctions::Field;

// ---- numbers ----

QString MaskEngine::numericValueForSet(const QString& value) const {
    const QString sep(decimalSep_);
    QString v = value;
    v.replace(u'.', decimalSep_);
    v.replace(mFunctions::LocaleDecimalSeparator(), sep);
    v.remove(prompt_);
    if (mFunctions::IsNumericText(v + u'0', sep)) {
        if (v.contains(sep) && decimalPosition_ == 0) v = v.left(v.indexOf(sep)).trimmed();
        if (!v.isEmpty() && mFunctions::NumericValue(v, sep) == 0.0) v = QStringLiteral("0");
    }
    return v;
}

void MaskEngine::SetNumericValue(bool strict, const QString& value) {
    if (!maskActive_) return;
    const int savedCursor = cursor_;
    const QString sep(decimalSep_);
    QString v = value;
    if (v.isEmpty()) {
        v = display_;
        for (int p = 1; p <= DisplayLength(); ++p) {
            if (!IsInputPosition(p) && p != decimalPosition_) v[p - 1] = prompt_;
        }
    }
    if (decimalPosition_ > 0 && !v.contains(sep)) v += sep;

    // Leading zeros go, except the one of "-0" right before the separator.
    bool minus = false;
    for (int i = 0; i < v.size(); ++i) {
        const QChar ch = v.at(i);
        if (ch == prompt_) continue;
        if (ch == u'-') {
            minus = true;
            continue;
        }
        if (ch != u'0') break;
        const bool keep = !strict && minus && i > 0 && v.at(i - 1) == u'-' && i + 1 < v.size() &&
                          v.at(i + 1) == decimalSep_;
        if (!keep) v[i] = prompt_;
    }
    // Trailing decimal zeros go.
    for (int i = static_cast<int>(v.size()) - 1; decimalPosition_ > 0 && i >= 0; --i) {
        if (v.at(i) == prompt_) continue;
        if (v.at(i) != u'0') break;
        v[i] = prompt_;
    }
    v.remove(prompt_);
    if (strict) {
        if (std::none_of(v.begin(), v.end(), [](QChar c) { return c >= u'0' && c <= u'9'; })) {
            v.clear();
        }
    } else if (decimalPosition_ > 0) {
        if (v.startsWith(sep)) v.prepend(u'0');
        if (v.startsWith(QStringLiteral("-") + sep)) v.insert(1, u'0');
    }

    for (int p = 1; p <= DisplayLength(); ++p) {
        if (IsInputPosition(p)) put(p, prompt_);
    }
    if (decimalPosition_ > 0) {
        SetCursor(decimalPosition_ - 1);
        for (QChar ch : Field(v, 0, sep)) integerDigit(ch, false);
        const QString decimals = Field(v, 1, sep).left(DisplayLength() - decimalPosition_);
        for (auto it = decimals.crbegin(); it != decimals.crend(); ++it) {
            SetCursor(decimalPosition_);
            TypeInsert(*it);
        }
        if (insertZeros_) fillDecimalZeros();
    } else {
        for (int i = 0; i < v.size(); ++i) {
            SetCursor(i);
            TypeInsert(v.at(i));
        }
    }
    SetCursor(savedCursor);
}

void MaskEngine::fillDecimalZeros() {
    for (int p = decimalPosition_; p <= DisplayLength(); ++p) {
        if (IsInputPosition(p) && at(p) == prompt_) put(p, u'0');
    }
}

void MaskEngine::JumpToDecimals() {
    SetNumericValue(false, {});
    SetCursor(decimalPosition_);
}

// ---- dates ----

QString MaskEngine::separatorFor(int format, const QString& sep) const {
    if (format == 0) return mFunctions::LocaleDateSeparator();
    return sep.isEmpty() ? dateSep_ : sep;
}

QString MaskEngine::WorkDatePattern(int index, const QString& sep) const {
    if (index == 0) return mFunctions::LocaleDatePattern();
    const QString raw = mFunctions::DateFormat(index);
    const QString s = sep.isEmpty() ? dateSep_ : sep;
    QString pattern;
    for (int i = 0; i < raw.size(); ++i) {
        if (i > 0 && raw.at(i) != raw.at(i - 1)) pattern += s;
        pattern += raw.at(i);
    }
    return pattern;
}

QString MaskEngine::dateMask() const {
    const QString sep = separatorFor(dateformat_, {});
    const QString pattern = WorkDatePattern(dateformat_, sep);
    // A separator that happens to be a mask character is kept literal.
    QString literal;
    for (QChar ch : sep) {
        if (QStringLiteral("&AaCc#9?Dd<>{}\\").contains(ch)) literal += u'\\';
        literal += ch;
    }
    const QString century = century_ != 0 ? QStringLiteral("%1").arg(century_, 2, 10, QChar(u'0'))
                                          : QString::number(QDate::currentDate().year()).left(2);
    QString mask;
    for (int j = 0; j < 3; ++j) {
        const QString field = Field(pattern, j, sep);
        if (field.isEmpty()) continue;
        if (!mask.isEmpty()) mask += literal;
        if (centuryOn_) {
            const bool fullYear = field.compare(QLatin1String("YYYY"), Qt::CaseInsensitive) == 0;
            mask += fullYear ? QStringLiteral("\\%1\\%2##").arg(century.at(0), century.at(1))
                             : QStringLiteral("##");
        } else {
            mask += field.size() == 4 ? QStringLiteral("####") : QStringLiteral("##");
        }
    }
    return mask;
}

bool MaskEngine::ValidDate(const QString& date, int format, const QString& sep) const {
    const QString d = date.isEmpty() ? display_ : date;
    const int f = format == -1 ? dateformat_ : format;
    const QString s = separatorFor(f, sep);
    const QString pattern = WorkDatePattern(f, s);
    if (pattern.isEmpty()) return false;
    int day = 0;
    int month = 0;
    int year = -1;
    for (int j = 0; j < 3; ++j) {
        const QString value = Field(d, j, s).trimmed();
        const QString letter = Field(pattern, j, s).left(1).toUpper();
        bool ok = false;
        const qint64 number = mFunctions::IsDigits(value) ? value.toLongLong(&ok) : 0;
        if (letter == u"D" && ok && number <= 31) day = static_cast<int>(number);
        if (letter == u"M" && ok && number <= 12) month = static_cast<int>(number);
        if (letter == u"Y") {
            if (!ok || number >= 9999) return false;
            year = mFunctions::ExpandYear(static_cast<int>(number));
        }
    }
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (day < 1 || month < 1 || month > 12) return false;
    if (day <= kDays[month - 1]) return true;
    const bool leap = year >= 0 && ((year % 4 == 0 && year % 100 != 0) || year % 400 == 0);
    return month == 2 && day == 29 && leap;
}

QString MaskEngine::TransFormDate(const QString& date, int inFormat, int outFormat,
                                  const QString& inSep, const QString& outSep) const {
    if (date.isEmpty()) return {};
    const QString inS = separatorFor(inFormat, inSep);
    const QString inPattern = WorkDatePattern(inFormat, inS);
    QString values[3];
    QString letters[3];
    for (int j = 0; j < 3; ++j) {
        const QString field = Field(date, j, inS).trimmed();
        bool ok = false;
        const qint64 number = mFunctions::IsDigits(field) ? field.toLongLong(&ok) : 0;
        if (ok) values[j] = QString::number(number);
        letters[j] = Field(inPattern, j, inS).toUpper();
    }
    const QString outS = separatorFor(outFormat, outSep);
    const QString outPattern = WorkDatePattern(outFormat, outS);
    QString result;
    for (int k = 0; k < 3; ++k) {
        const QString outField = Field(outPattern, k, outS);
        if (outField.isEmpty()) continue;
        const QChar letter = outField.at(0).toUpper();
        const auto found = std::find_if(std::begin(letters), std::end(letters),
                                        [letter](const QString& l) { return l.contains(letter); });
        if (found == std::end(letters)) return {};
        QString value = values[found - std::begin(letters)];
        if (value.isEmpty()) return {};
        if (outField.size() > 2 && value.toLongLong() < 9999) {
            value = QString::number(mFunctions::ExpandYear(value.toInt()));
        } else if (outField.size() == 2 && value.size() > 2) {
            value = value.right(2);
        }
        if (!result.isEmpty()) result += outS;
        result += (QStringLiteral("0000") + value).right(outField.size());
    }
    return result;
}

QString MaskEngine::dateValueForSet(const QString& value) const {
    QString v = value;
    const QString localPattern = mFunctions::LocaleDatePattern();
    const QString localSep = mFunctions::LocaleDateSeparator();
    if (inOutDateformat_ == 0) {
        // A date the locale can read becomes text in the locale's own order.
        const QDate date = QLocale().toDate(v, QLocale::ShortFormat);
        if (date.isValid()) {
            QString qtFormat = localPattern;
            qtFormat.replace(QLatin1String("DD"), QLatin1String("dd"));
            qtFormat.replace(QLatin1String("Y"), QLatin1String("y"));
            v = date.toString(qtFormat);
        }
    }
    if (!v.isEmpty() && !v.contains(inOutDateSep_)) {
        QString raw = inOutDateformat_ == 0 ? QString(localPattern).remove(localSep)
                                            : mFunctions::DateFormat(inOutDateformat_);
        raw = raw.toUpper();
        QString separated;
        for (int i = 0; i < v.size(); ++i) {
            if (i > 0 && i < raw.size() && raw.at(i) != raw.at(i - 1)) separated += inOutDateSep_;
            separated += v.at(i);
        }
        v = separated;
    }
    return TransFormDate(v, inOutDateformat_, dateformat_, inOutDateSep_, dateSep_);
}

QString MaskEngine::StoredDisplayAsText(const QString& stored) const {
    if (fieldType_ != FieldKind::Date || stored.isEmpty()) return stored;
    const QString pattern = WorkDatePattern(dateformat_, {});
    if (stored.size() != pattern.size()) return stored;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const bool shaped =
            pattern.at(i).isLetter() ? stored.at(i).isDigit() : stored.at(i) == pattern.at(i);
        if (!shaped) return stored;
    }
    if (!ValidDate(stored)) return stored;
    return TransFormDate(stored, dateformat_, inOutDateformat_, {}, inOutDateSep_);
}

void MaskEngine::putDateIntoMask(const QString& value) {
    display_ = emptyDisplay_;
    if (!ValidDate(value)) return;
    for (int i = 1; i <= std::min(DisplayLength(), static_cast<int>(value.size())); ++i) {
        const QChar ch = value.at(i - 1);
        if (ch >= u'0' && ch <= u'9' && IsInputPosition(i)) put(i, ch);
    }
    // A fixed century that the value does not share leaves the field empty.
    const bool fullYear = DateFormatByText().toUpper().contains(QLatin1String("YYYY"));
    if (fullYear && display_ != value) display_ = emptyDisplay_;
}
