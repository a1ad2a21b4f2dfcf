#include "mFunctions.h"

#include <QLocale>
#include <QStringList>

namespace mFunctions {

namespace {

bool IsDateLetter(QChar ch) {
    const QChar up = ch.toUpper();
    return up == u'D' || up == u'M' || up == u'Y';
}

// The locale's short date format with quoted literal text removed.
QString ShortDateFormat() {
    const QString format = QLocale().dateFormat(QLocale::ShortFormat);
    QString plain;
    bool quoted = false;
    for (QChar ch : format) {
        if (ch == u'\'') {
            quoted = !quoted;
        } else if (!quoted) {
            plain += ch;
        }
    }
    return plain;
}

}  // namespace

QString LocaleDecimalSeparator() {
    return QLocale().decimalPoint().toUpper();
}

QString LocaleDateSeparator() {
    for (QChar ch : ShortDateFormat()) {
        if (!ch.isLetter()) return QString(ch).toUpper();
    }
    return QStringLiteral("-");
}

QString LocaleDatePattern() {
    const QString format = ShortDateFormat().toUpper();
    const bool longYear = format.contains(QLatin1String("YYYY"));
    QStringList groups;
    QString seen;
    for (QChar ch : format) {
        if (!IsDateLetter(ch) || seen.contains(ch)) continue;
        seen += ch;
        if (ch == u'D') groups << QStringLiteral("DD");
        if (ch == u'M') groups << QStringLiteral("MM");
        if (ch == u'Y') groups << (longYear ? QStringLiteral("YYYY") : QStringLiteral("YY"));
    }
    return groups.join(LocaleDateSeparator());
}

QString DateFormat(int index) {
    static const QStringList fixed = QStringLiteral(
                                         "ddmmyyyy^ddyyyymm^yyyyddmm^yyyymmdd^mmddyyyy^mmyyyydd^"
                                         "ddmmyy^ddyymm^yyddmm^yymmdd^mmddyy^mmyydd^mmdd^ddmm")
                                         .split(u'^');
    if (index == 0) return LocaleDatePattern();
    if (index < 1 || index > fixed.size()) return {};
    return fixed.at(index - 1);
}

QString NthField(const QString& text, int n, const QString& separator, int& position) {
    for (int i = 0;; ++i) {
        if (position > text.size()) return {};
        const int end = separator.isEmpty() ? -1 : text.indexOf(separator, position);
        const QString field = end < 0 ? text.mid(position) : text.mid(position, end - position);
        position = end < 0 ? text.size() + 1 : end + separator.size();
        if (i == n) return field;
    }
}

QString Field(const QString& text, int n, const QString& separator) {
    int position = 0;
    return NthField(text, n, separator, position);
}

int ExpandYear(int year) {
    if (year < 0 || year >= 100) return year;
    return year < 30 ? 2000 + year : 1900 + year;
}

bool IsDigits(const QString& text) {
    const QString t = text.trimmed();
    if (t.isEmpty()) return false;
    for (QChar ch : t) {
        if (ch < u'0' || ch > u'9') return false;
    }
    return true;
}

namespace {

// `text` rewritten with "." as its decimal mark, or empty when it is not a number.
QString NormalisedNumber(const QString& text, const QString& decimal) {
    const QString t = text.trimmed();
    const QString localeMark = LocaleDecimalSeparator();
    QString out;
    bool digits = false;
    bool mark = false;
    for (int i = 0; i < t.size(); ++i) {
        const QChar ch = t.at(i);
        if (i == 0 && (ch == u'-' || ch == u'+')) {
            out += ch;
        } else if (ch >= u'0' && ch <= u'9') {
            digits = true;
            out += ch;
        } else if (!mark && (ch == u'.' || QString(ch) == decimal || QString(ch) == localeMark)) {
            mark = true;
            out += u'.';
        } else {
            return {};
        }
    }
    return digits ? out : QString();
}

}  // namespace

bool IsNumericText(const QString& text, const QString& decimal) {
    return !NormalisedNumber(text, decimal).isEmpty();
}

double NumericValue(const QString& text, const QString& decimal) {
    const QString normal = NormalisedNumber(text, decimal);
    return normal.isEmpty() ? 0.0 : normal.toDouble();
}

}  // namespace mFunctions
