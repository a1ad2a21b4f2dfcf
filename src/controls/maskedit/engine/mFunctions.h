#pragma once

#include <QChar>
#include <QString>

// Locale queries and small text helpers shared by the masked edit control.
// The locale is the process default (QLocale()), which follows the user's
// system locale unless a program or test sets another default.
namespace mFunctions {

// The locale's decimal separator, upper-cased.
QString LocaleDecimalSeparator();
// The separator of the locale's short date format (the first character that is
// not a date letter), upper-cased; "-" when the format has none.
QString LocaleDateSeparator();
// The locale's short date order as groups "DD", "MM" and "YYYY" (or "YY" when the
// format carries a two-digit year) joined by LocaleDateSeparator(), e.g. "DD-MM-YYYY".
QString LocaleDatePattern();

// Number of entries of the date format table.
constexpr int DateFormatCount = 15;
// Entry `index` of the date format table: 0 is LocaleDatePattern(), 1..14 the fixed
// patterns "ddmmyyyy" .. "ddmm". Empty for an index outside 0..14.
QString DateFormat(int index);

// The `n`-th (0-based) field of `text` split at `separator`, counted from the
// 0-based character `position`; `position` moves past the field and its
// separator, so repeated calls with n = 0 walk through the fields one by one.
// Empty once the text is used up.
QString NthField(const QString& text, int n, const QString& separator, int& position);
// Field `n` of `text` split at `separator`, from the start.
QString Field(const QString& text, int n, const QString& separator);

inline int MaxOf(int a, int b) {
    return a > b ? a : b;
}
inline int MinOf(int a, int b) {
    return a < b ? a : b;
}

// Two-digit years follow a fixed window: 0..29 become 2000..2029 and 30..99
// become 1930..1999; years of 100 and more are taken as they are.
int ExpandYear(int year);

// True when `text`, without leading and trailing blanks, is a non-empty run of
// the digits 0-9.
bool IsDigits(const QString& text);
// True when `text` is a number: blanks around it, an optional sign, digits and at
// most one decimal mark (either `decimal`, "." or the locale's separator), with at
// least one digit.
bool IsNumericText(const QString& text, const QString& decimal);
// The value of a text accepted by IsNumericText; 0 otherwise.
double NumericValue(const QString& text, const QString& decimal);

}  // namespace mFunctions
