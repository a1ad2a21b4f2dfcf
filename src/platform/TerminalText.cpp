#include "TerminalText.h"

#include <algorithm>

#include "NativeName.h"

namespace TerminalText {

namespace {

QString Escape(char16_t u) {
    switch (u) {
        case '\a':
            return QStringLiteral("\\a");
        case '\b':
            return QStringLiteral("\\b");
        case '\t':
            return QStringLiteral("\\t");
        case '\n':
            return QStringLiteral("\\n");
        case '\v':
            return QStringLiteral("\\v");
        case '\f':
            return QStringLiteral("\\f");
        case '\r':
            return QStringLiteral("\\r");
        case 0x1B:
            return QStringLiteral("\\e");
        default:
            return u < 0x80 ? QStringLiteral("\\x%1").arg(u, 2, 16, QLatin1Char('0'))
                            : QStringLiteral("\\u%1").arg(u, 4, 16, QLatin1Char('0'));
    }
}

bool IsControl(char16_t u) {
    return u < 0x20 || u == 0x7F || (u >= 0x80 && u <= 0x9F) || u == 0x2028 || u == 0x2029;
}

}  // namespace

QString Escaped(const QString& text, bool keepLineEnds) {
    const auto plain = [keepLineEnds](QChar c) {
        const char16_t u = c.unicode();
        return (u >= 0x20 && u < 0x7F) || (keepLineEnds && u == '\n');
    };
    if (std::all_of(text.cbegin(), text.cend(), plain)) return text;  // the usual case
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        const int byte = NativeName::EscapedByte(text, i);
        if (byte >= 0)
            out += QStringLiteral("\\x%1").arg(byte, 2, 16, QLatin1Char('0'));
        else if (IsControl(u) && !(keepLineEnds && u == '\n'))
            out += Escape(u);
        else
            out += text[i];
    }
    return out;
}

}  // namespace TerminalText
