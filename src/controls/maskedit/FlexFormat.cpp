#include "FlexFormat.h"

#include <algorithm>

#include "Format.h"

namespace FlexFormat {

namespace {

bool IsTextPattern(const QString& pattern) {
    for (QChar ch : pattern) {
        if (ch == u'@' || ch == u'&' || ch == u'<' || ch == u'>' || ch == u'!') return true;
    }
    return false;
}

QString ApplyText(const QString& value, const QString& pattern) {
    const bool fromLeft = pattern.contains(u'!');
    QString v = value;
    if (pattern.contains(u'>')) v = v.toUpper();
    if (pattern.contains(u'<')) v = v.toLower();
    const qsizetype places = pattern.count(u'@') + pattern.count(u'&');
    // Characters beyond the placeholders stay, at the side the fill starts from.
    const qsizetype extra = std::max<qsizetype>(0, v.size() - places);
    QString out = fromLeft ? QString() : v.left(extra);
    qsizetype next = fromLeft ? 0 : extra;
    const qsizetype missing = std::max<qsizetype>(0, places - v.size());
    qsizetype slot = 0;
    for (QChar ch : pattern) {
        if (ch != u'@' && ch != u'&') {
            if (ch != u'<' && ch != u'>' && ch != u'!') out += ch;
            continue;
        }
        const bool empty = fromLeft ? next >= v.size() : slot < missing;
        ++slot;
        if (empty) {
            if (ch == u'@') out += u' ';
        } else {
            out += v.at(next++);
        }
    }
    if (fromLeft) out += v.mid(next);
    return out;
}

QString ApplyDate(const QDate& date, const QString& pattern, const QLocale& locale) {
    QString out;
    for (int i = 0; i < pattern.size();) {
        const QChar ch = pattern.at(i).toLower();
        int run = 1;
        while (i + run < pattern.size() && pattern.at(i + run).toLower() == ch) ++run;
        if (ch == u'd') {
            out += run == 1   ? QString::number(date.day())
                   : run == 2 ? QStringLiteral("%1").arg(date.day(), 2, 10, QChar(u'0'))
                   : run == 3 ? locale.dayName(date.dayOfWeek(), QLocale::ShortFormat)
                              : locale.dayName(date.dayOfWeek(), QLocale::LongFormat);
        } else if (ch == u'm') {
            out += run == 1   ? QString::number(date.month())
                   : run == 2 ? QStringLiteral("%1").arg(date.month(), 2, 10, QChar(u'0'))
                   : run == 3 ? locale.monthName(date.month(), QLocale::ShortFormat)
                              : locale.monthName(date.month(), QLocale::LongFormat);
        } else if (ch == u'y') {
            out += run <= 2 ? QStringLiteral("%1").arg(date.year() % 100, 2, 10, QChar(u'0'))
                            : QString::number(date.year());
        } else {
            out += pattern.mid(i, run);
        }
        i += run;
    }
    return out;
}

bool IsDatePattern(const QString& pattern) {
    for (QChar ch : pattern) {
        const QChar low = ch.toLower();
        if (low == u'd' || low == u'm' || low == u'y') return true;
    }
    return false;
}

}  // namespace

QString Apply(const QString& value, const QString& pattern, const QDate& date,
              const QLocale& locale) {
    if (pattern.isEmpty()) return value;
    if (IsTextPattern(pattern)) return ApplyText(value, pattern);
    if (date.isValid() && IsDatePattern(pattern)) return ApplyDate(date, pattern, locale);
    bool ok = false;
    const double number = locale.toDouble(value.trimmed(), &ok);
    if (!ok) return value;
    return zs::Format(number, pattern, locale);
}

}  // namespace FlexFormat
