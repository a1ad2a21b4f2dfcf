#pragma once

#include <QLocale>
#include <QString>
#include <QVariant>

namespace zs {

// A number as text after a numeric pattern, with the locale's decimal and
// group separators in the output:
//   0        a digit, shown even when it is a leading or trailing zero
//   #        a digit, shown only when significant
//   .        the decimal point (the first one; shown only when fraction digits follow)
//   ,        in the integer part: group the integer digits by thousands
//   "text"   literal text; \c the character c itself
//   other    characters stand for themselves ("$", "-", "(", " ", ...)
// The value is rounded half away from zero to the pattern's fraction digits,
// working on its shortest exact decimal form (so 1.005 → "1.01" with "0.00").
// Integer digits beyond the placeholders all go to the leftmost one (to the
// point, or the end, when there is none); a negative value gets a leading "-"
// unless it rounds to zero. Not supported: sections (";"), "%", exponents.
// Format(1234.5, "#,##0.00") = "1,234.50" (English), "1.234,50" (German).
// A value that is not a number comes back as its text; an empty pattern gives
// the number's shortest form.
QString Format(const QVariant& value, const QString& pattern,
               const QLocale& locale = QLocale::system());

}  // namespace zs
