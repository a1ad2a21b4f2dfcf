#include "Format.h"

#include <QList>
#include <array>
#include <charconv>
#include <cmath>
#include <optional>

namespace zs {

namespace {

enum class Token { Zero, Hash, Point, Group, Quote, Escape, Literal };

struct Piece {
    Token kind;
    QString text;  // literal text; empty for placeholders
};

// The characters with a meaning in a pattern; every other one is literal.
constexpr std::array<std::pair<char16_t, Token>, 6> Specials{{
    {u'0', Token::Zero},
    {u'#', Token::Hash},
    {u'.', Token::Point},
    {u',', Token::Group},
    {u'"', Token::Quote},
    {u'\\', Token::Escape},
}};

Token Classify(QChar c) {
    for (const auto& [ch, token] : Specials) {
        if (c.unicode() == ch) return token;
    }
    return Token::Literal;
}

struct Pattern {
    QList<Piece> pieces;
    bool grouping = false;
    int intPlaces = 0;  // integer placeholders
    int intZeros = 0;   // integer digits always shown (from the first 0 on)
    int fracPlaces = 0;
    int fracZeros = 0;  // fraction digits always shown (up to the last 0)
    bool hasPoint = false;
};

void AddPlaceholder(Pattern& p, Token kind) {
    p.pieces.append({kind, {}});
    if (p.hasPoint) {
        ++p.fracPlaces;
        if (kind == Token::Zero) p.fracZeros = p.fracPlaces;
    } else {
        ++p.intPlaces;
        if (kind == Token::Zero && p.intZeros == 0)
            p.intZeros = 1;
        else if (p.intZeros > 0)
            ++p.intZeros;
    }
}

Pattern Parse(const QString& text) {
    Pattern p;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const Token kind = Classify(text.at(i));
        switch (kind) {
            case Token::Zero:
            case Token::Hash:
                AddPlaceholder(p, kind);
                break;
            case Token::Point:
                if (p.hasPoint) {
                    p.pieces.append({Token::Literal, text.at(i)});
                } else {
                    p.hasPoint = true;
                    p.pieces.append({Token::Point, {}});
                }
                break;
            case Token::Group:
                p.grouping = p.grouping || !p.hasPoint;
                break;
            case Token::Quote: {
                const qsizetype close = text.indexOf(QLatin1Char('"'), i + 1);
                const qsizetype end = close < 0 ? text.size() : close;
                p.pieces.append({Token::Literal, text.mid(i + 1, end - i - 1)});
                i = end;
                break;
            }
            case Token::Escape:
                if (i + 1 < text.size()) p.pieces.append({Token::Literal, text.at(++i)});
                break;
            case Token::Literal:
                p.pieces.append({Token::Literal, text.at(i)});
                break;
        }
    }
    return p;
}

struct Decimal {
    bool negative = false;
    QString whole;     // no leading zeros
    QString fraction;  // no trailing zeros
};

std::optional<Decimal> FromText(QString digits) {
    Decimal d;
    if (digits.startsWith(QLatin1Char('-'))) {
        d.negative = true;
        digits.remove(0, 1);
    }
    const qsizetype point = digits.indexOf(QLatin1Char('.'));
    d.whole = point < 0 ? digits : digits.left(point);
    d.fraction = point < 0 ? QString() : digits.mid(point + 1);
    while (d.whole.startsWith(QLatin1Char('0'))) d.whole.remove(0, 1);
    while (d.fraction.endsWith(QLatin1Char('0'))) d.fraction.chop(1);
    return d;
}

std::optional<Decimal> FromDouble(double value) {
    if (!std::isfinite(value)) return std::nullopt;
    std::array<char, 400> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::fixed);
    if (result.ec != std::errc()) return std::nullopt;
    return FromText(QString::fromLatin1(buffer.data(), result.ptr - buffer.data()));
}

std::optional<Decimal> ToDecimal(const QVariant& value, const QLocale& locale) {
    switch (value.metaType().id()) {
        case QMetaType::Bool:
            return FromText(value.toBool() ? "-1" : "0");
        case QMetaType::Double:
        case QMetaType::Float:
            return FromDouble(value.toDouble());
        case QMetaType::ULongLong:
        case QMetaType::ULong:
            return FromText(QString::number(value.toULongLong()));
        case QMetaType::QString: {
            bool ok = false;
            double d = locale.toDouble(value.toString(), &ok);
            if (!ok) d = value.toString().toDouble(&ok);
            return ok ? FromDouble(d) : std::nullopt;
        }
        default:
            break;
    }
    bool ok = false;
    const qlonglong n = value.toLongLong(&ok);
    return ok ? FromText(QString::number(n)) : std::nullopt;
}

// Rounds half away from zero to `places` fraction digits.
void Round(Decimal& d, int places) {
    if (d.fraction.size() <= places) return;
    const bool up = d.fraction.at(places) >= QLatin1Char('5');
    QString digits = d.whole + d.fraction.left(places);
    if (up) {
        qsizetype i = digits.size() - 1;
        for (; i >= 0 && digits.at(i) == QLatin1Char('9'); --i) digits[i] = QLatin1Char('0');
        if (i >= 0)
            digits[i] = QChar(digits.at(i).unicode() + 1);
        else
            digits.prepend(QLatin1Char('1'));
    }
    const bool negative = d.negative;
    d = *FromText(digits.left(digits.size() - places) + QLatin1Char('.') + digits.right(places));
    d.negative = negative;
}

class Writer {
public:
    Writer(const Pattern& p, const Decimal& d, const QLocale& locale)
        : p_(p),
          locale_(locale),
          whole_(d.whole.rightJustified(p.intZeros, QLatin1Char('0'))),
          fraction_(d.fraction.leftJustified(p.fracZeros, QLatin1Char('0'))) {}

    QString Write() {
        int intIndex = 0;
        int fracIndex = 0;
        bool wholeDone = p_.intPlaces > 0;
        for (const Piece& piece : p_.pieces) {
            const bool placeholder = piece.kind == Token::Zero || piece.kind == Token::Hash;
            if (placeholder && !pointSeen_) {
                IntegerPlace(intIndex++);
            } else if (placeholder) {
                if (fracIndex < fraction_.size()) out_ += fraction_.at(fracIndex);
                ++fracIndex;
            } else if (piece.kind == Token::Point) {
                pointSeen_ = true;
                if (!wholeDone) WholeDigits(0, whole_.size());
                wholeDone = true;
                if (!fraction_.isEmpty()) out_ += locale_.decimalPoint();
            } else {
                out_ += piece.text;
            }
        }
        if (!wholeDone) WholeDigits(0, whole_.size());
        return out_;
    }

private:
    // Integer placeholder k of n: the rightmost ones take one digit each, the
    // leftmost takes whatever digits are left over.
    void IntegerPlace(int k) {
        const qsizetype n = p_.intPlaces;
        const qsizetype length = whole_.size();
        if (k == 0) {
            WholeDigits(0, std::max<qsizetype>(0, length - n + 1));
        } else if (const qsizetype index = length - n + k; index >= 0) {
            WholeDigits(index, index + 1);
        }
    }

    void WholeDigits(qsizetype from, qsizetype to) {
        for (qsizetype i = from; i < to; ++i) {
            out_ += whole_.at(i);
            const qsizetype remaining = whole_.size() - 1 - i;
            if (p_.grouping && remaining > 0 && remaining % 3 == 0)
                out_ += locale_.groupSeparator();
        }
    }

    const Pattern& p_;
    const QLocale& locale_;
    const QString whole_;
    const QString fraction_;
    QString out_;
    bool pointSeen_ = false;
};

}  // namespace

QString Format(const QVariant& value, const QString& pattern, const QLocale& locale) {
    std::optional<Decimal> number = ToDecimal(value, locale);
    if (!number) {
        if (value.metaType().id() == QMetaType::Double) return locale.toString(value.toDouble());
        return value.toString();
    }
    QString text;
    if (pattern.isEmpty()) {
        text = number->whole.isEmpty() ? QStringLiteral("0") : number->whole;
        if (!number->fraction.isEmpty()) text += locale.decimalPoint() + number->fraction;
    } else {
        const Pattern p = Parse(pattern);
        Round(*number, p.fracPlaces);
        text = Writer(p, *number, locale).Write();
    }
    const bool zero = number->whole.isEmpty() && number->fraction.isEmpty();
    return number->negative && !zero ? locale.negativeSign() + text : text;
}

}  // namespace zs
