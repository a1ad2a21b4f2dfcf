#pragma once

#include <QString>

// Random text from a pattern: one character per group, groups written
// "[...]" one after another ("[0-9][A-Z]").
//   [x]      the character x itself        [#]      a digit
//   [abc]    one of a, b, c                [!abc]   any alphabet character but a, b, c
//   [a-f]    one of a..f, counted in the   [!0-9]   any alphabet character outside
//            62-character alphabet                  the range
//            0-9, a-z, A-Z
// Draws are uniform over the pool.
class cRandomString {
public:
    // The random text; a null QString when the pattern cannot be processed
    // (a range whose ends are not in the alphabet or run backwards, or a group
    // that leaves nothing to choose from). An empty pattern gives "".
    QString Generate(const QString& pattern) const;
};
