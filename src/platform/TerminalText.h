#pragma once

#include <QString>

// Text made safe for a terminal: nothing in a file name can move the cursor,
// change colours or start a line of its own.
namespace TerminalText {

// `text` with every control character escaped: C0 controls as \a, \b, \t, \n,
// \v, \f, \r, \e or \xHH, DEL as \x7f, C1 controls and the Unicode line and
// paragraph separators as \uHHHH, and a byte that is not valid UTF-8 (see
// NativeName) as \xHH. With `keepLineEnds`, "\n" stays a line end.
QString Escaped(const QString& text, bool keepLineEnds = false);

}  // namespace TerminalText
