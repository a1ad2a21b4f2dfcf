#include "NativeName.h"

#include <algorithm>

namespace NativeName {

namespace {

// Length of the valid UTF-8 sequence at `p[i]`, or 0 when it is not one
// (overlong forms, surrogates and values past U+10FFFF are not valid).
int SequenceLength(const uchar* p, qsizetype i, qsizetype n, char32_t& cp) {
    const uchar b = p[i];
    int len = 0;
    char32_t min = 0;
    if ((b & 0xE0) == 0xC0) {
        len = 2, cp = b & 0x1F, min = 0x80;
    } else if ((b & 0xF0) == 0xE0) {
        len = 3, cp = b & 0x0F, min = 0x800;
    } else if ((b & 0xF8) == 0xF0) {
        len = 4, cp = b & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (i + len > n) return 0;
    for (int k = 1; k < len; ++k) {
        if ((p[i + k] & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (p[i + k] & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return len;
}

}  // namespace

QString Decode(const QByteArray& bytes) {
    const auto* p = reinterpret_cast<const uchar*>(bytes.constData());
    const qsizetype n = bytes.size();
    QString out;
    out.reserve(n);
    qsizetype i = 0;
    while (i < n) {
        if (p[i] < 0x80) {
            out += QChar(p[i++]);
            continue;
        }
        char32_t cp = 0;
        const int len = SequenceLength(p, i, n, cp);
        if (len == 0) {
            out += QChar(char16_t(EscapeBase + p[i++]));
            continue;
        }
        if (cp > 0xFFFF) {
            out += QChar(QChar::highSurrogate(cp));
            out += QChar(QChar::lowSurrogate(cp));
        } else {
            out += QChar(char16_t(cp));
        }
        i += len;
    }
    return out;
}

int EscapedByte(QStringView text, qsizetype at) {
    const char16_t u = text[at].unicode();
    if (u < EscapeBase + 0x80 || u > EscapeBase + 0xFF) return -1;
    if (at > 0 && QChar::isHighSurrogate(text[at - 1].unicode())) return -1;
    return u - EscapeBase;
}

QString ToUpper(const QString& name) {
    // Most names are ASCII: upper-cased here without Unicode's tables.
    if (std::all_of(name.cbegin(), name.cend(), [](QChar c) { return c.unicode() < 0x80; })) {
        QString out(name.size(), Qt::Uninitialized);
        std::transform(name.cbegin(), name.cend(), out.begin(), [](QChar c) {
            const char16_t u = c.unicode();
            return QChar(u >= 'a' && u <= 'z' ? u - ('a' - 'A') : u);
        });
        return out;
    }
    QString out;
    qsizetype start = 0;
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (EscapedByte(name, i) < 0) continue;
        out += QStringView(name).mid(start, i - start).toString().toUpper();
        out += name[i];
        start = i + 1;
    }
    if (start == 0) return name.toUpper();
    return out + QStringView(name).mid(start).toString().toUpper();
}

QByteArray Encode(const QString& name) {
    QByteArray out;
    qsizetype start = 0;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const int byte = EscapedByte(name, i);
        if (byte < 0) continue;
        out += QStringView(name).mid(start, i - start).toUtf8();
        out += char(byte);
        start = i + 1;
    }
    if (start == 0) return name.toUtf8();
    return out + QStringView(name).mid(start).toUtf8();
}

}  // namespace NativeName
