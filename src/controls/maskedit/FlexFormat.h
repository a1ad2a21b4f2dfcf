#pragma once

#include <QDate>
#include <QLocale>
#include <QString>

// The format function behind a field's formatted look while it has no focus.
namespace FlexFormat {

// `value` shaped by `pattern`:
// - a text pattern (holding @ & < > or !): @ is a character or a blank, & a
//   character or nothing, < lower-cases, > upper-cases, ! fills the placeholders
//   from the left instead of the right; other characters are literal;
// - a date pattern (d, m, y letters) when `date` is valid: d dd ddd dddd, m mm
//   mmm mmmm, yy yyyy in the locale's names; other characters are literal;
// - otherwise a numeric pattern (zs::Format) when `value` is a number in `locale`.
// Anything else (and an empty pattern) gives `value` unchanged.
QString Apply(const QString& value, const QString& pattern, const QDate& date = {},
              const QLocale& locale = QLocale());

}  // namespace FlexFormat
