#include "PropertyValue.h"

#include <QBuffer>
#include <QFont>
#include <QImage>
#include <QPixmap>
#include <array>
#include <utility>

#include "SystemColors.h"

namespace PropertyValue {

namespace {

constexpr std::array<std::pair<Kind, const char*>, 7> KindNames{{
    {Kind::Bool, "bool"},
    {Kind::Int, "int"},
    {Kind::Color, "color"},
    {Kind::Double, "double"},
    {Kind::Text, "text"},
    {Kind::Font, "font"},
    {Kind::Picture, "picture"},
}};

constexpr qint16 StoredTrue = -1;

bool IsInteger(int type) {
    switch (type) {
        case QMetaType::Int:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::Long:
        case QMetaType::ULong:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Char:
        case QMetaType::SChar:
        case QMetaType::UChar:
            return true;
        default:
            return false;
    }
}

bool IsNumber(const QVariant& v) {
    const int type = v.metaType().id();
    return IsInteger(type) || type == QMetaType::UInt || type == QMetaType::Bool ||
           type == QMetaType::Double || type == QMetaType::Float ||
           (v.metaType().flags() & QMetaType::IsEnumeration);
}

QImage PictureOf(const QVariant& v) {
    if (v.metaType().id() == QMetaType::QPixmap) return v.value<QPixmap>().toImage();
    return v.value<QImage>();
}

QString PngBase64(const QImage& image) {
    if (image.isNull()) return {};
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return QString::fromLatin1(data.toBase64());
}

bool IsHexPair(const QString& s) {
    const auto hex = [](QChar c) {
        const char16_t u = c.unicode();
        return (u >= '0' && u <= '9') || (u >= 'a' && u <= 'f') || (u >= 'A' && u <= 'F');
    };
    return s.size() == 2 && hex(s[0]) && hex(s[1]);
}

std::optional<QVariant> Fail(QString* error, const QString& message) {
    if (error) *error = message;
    return std::nullopt;
}

}  // namespace

std::optional<Stored> Normalize(const QVariant& value) {
    const int type = value.metaType().id();
    if (type == QMetaType::Bool) return Stored{Kind::Bool, value.toBool()};
    if (IsInteger(type) || (value.metaType().flags() & QMetaType::IsEnumeration)) {
        return Stored{Kind::Int, QVariant(value.toLongLong())};
    }
    switch (type) {
        case QMetaType::UInt:
            return Stored{Kind::Color, QVariant(value.toUInt())};
        case QMetaType::QColor:
            return Stored{Kind::Color, QVariant(zs::ToOleColor(value.value<QColor>()))};
        case QMetaType::Double:
        case QMetaType::Float:
            return Stored{Kind::Double, QVariant(value.toDouble())};
        case QMetaType::QString:
        case QMetaType::QChar:
            return Stored{Kind::Text, QVariant(value.toString())};
        case QMetaType::QFont:
            return Stored{Kind::Font, value};
        case QMetaType::QImage:
        case QMetaType::QPixmap:
            return Stored{Kind::Picture, QVariant(PictureOf(value))};
        default:
            return std::nullopt;
    }
}

QVariant ConvertLike(const QVariant& stored, const QVariant& like) {
    if (!like.isValid() || stored.metaType() == like.metaType()) return stored;
    if (IsNumber(stored) && IsNumber(like)) {
        const bool floating = stored.metaType().id() == QMetaType::Double;
        QVariant number = floating ? QVariant(stored.toDouble()) : QVariant(stored.toLongLong());
        if (like.metaType().id() == QMetaType::Bool) return number.toDouble() != 0;
        if (number.convert(like.metaType())) return number;
        return stored;
    }
    if (stored.metaType().id() == QMetaType::QImage && like.metaType().id() == QMetaType::QPixmap) {
        return QPixmap::fromImage(stored.value<QImage>());
    }
    if (stored.metaType().id() == QMetaType::UInt && like.metaType().id() == QMetaType::QColor) {
        return zs::TranslateColor(stored.toUInt());
    }
    QVariant converted = stored;
    return converted.convert(like.metaType()) ? converted : stored;
}

QString KindName(Kind kind) {
    for (const auto& [k, name] : KindNames) {
        if (k == kind) return QString::fromLatin1(name);
    }
    return {};
}

std::optional<Kind> KindFromName(const QString& name) {
    for (const auto& [k, text] : KindNames) {
        if (name == QLatin1String(text)) return k;
    }
    return std::nullopt;
}

QString Encode(const Stored& stored) {
    switch (stored.kind) {
        case Kind::Bool:
            return QString::number(stored.value.toBool() ? StoredTrue : 0);
        case Kind::Int:
            return QString::number(stored.value.toLongLong());
        case Kind::Color:
            return QStringLiteral("0x") +
                   QString::number(stored.value.toUInt(), 16).toUpper().rightJustified(8, u'0');
        case Kind::Double:
            return QString::number(stored.value.toDouble(), 'g', 17);
        case Kind::Text:
            return stored.value.toString();
        case Kind::Font:
            return stored.value.value<QFont>().toString();
        case Kind::Picture:
            return PngBase64(stored.value.value<QImage>());
    }
    return {};
}

std::optional<QVariant> Decode(Kind kind, const QString& text, QString* error) {
    bool ok = false;
    switch (kind) {
        case Kind::Bool:
            if (text == QLatin1String("-1")) return QVariant(true);
            if (text == QLatin1String("0")) return QVariant(false);
            return Fail(error, QStringLiteral("'%1' is not -1 (true) or 0 (false)").arg(text));
        case Kind::Int: {
            const qint64 n = text.toLongLong(&ok);
            if (ok) return QVariant(n);
            return Fail(error, QStringLiteral("'%1' is not a whole number").arg(text));
        }
        case Kind::Color: {
            const quint32 c =
                text.startsWith(QLatin1String("0x")) ? text.mid(2).toUInt(&ok, 16) : 0;
            if (ok && text.size() > 2) return QVariant(c);
            return Fail(
                error,
                QStringLiteral("'%1' is not a colour (0x followed by hex digits)").arg(text));
        }
        case Kind::Double: {
            const double d = text.toDouble(&ok);
            if (ok) return QVariant(d);
            return Fail(error, QStringLiteral("'%1' is not a number").arg(text));
        }
        case Kind::Text:
            return QVariant(text);
        case Kind::Font: {
            QFont font;
            if (!text.isEmpty() && font.fromString(text)) return QVariant(font);
            return Fail(error, QStringLiteral("'%1' is not a font").arg(text));
        }
        case Kind::Picture: {
            if (text.isEmpty()) return QVariant(QImage());
            const auto decoded = QByteArray::fromBase64Encoding(
                text.toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
            QImage image;
            if (decoded && image.loadFromData(*decoded, "PNG")) return QVariant(image);
            return Fail(error, QStringLiteral("the picture is not base64 PNG data"));
        }
    }
    return Fail(error, QStringLiteral("unknown kind"));
}

QString Escape(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u == '\\' || u == '=') {
            out += QLatin1Char('\\') + c;
        } else if (u == '\n') {
            out += QLatin1String("\\n");
        } else if (u == '\r') {
            out += QLatin1String("\\r");
        } else if (u < 0x20 || u == 0x7F) {
            out += QStringLiteral("\\x%1").arg(int(u), 2, 16, QLatin1Char('0'));
        } else {
            out += c;
        }
    }
    return out;
}

std::optional<QString> Unescape(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('\\')) {
            out += c;
            continue;
        }
        if (++i >= text.size()) return std::nullopt;
        const QChar e = text.at(i);
        if (e == QLatin1Char('\\') || e == QLatin1Char('=')) {
            out += e;
        } else if (e == QLatin1Char('n')) {
            out += QLatin1Char('\n');
        } else if (e == QLatin1Char('r')) {
            out += QLatin1Char('\r');
        } else if (e == QLatin1Char('x') && IsHexPair(text.mid(i + 1, 2))) {
            out += QChar(text.mid(i + 1, 2).toUShort(nullptr, 16));
            i += 2;
        } else {
            return std::nullopt;
        }
    }
    return out;
}

}  // namespace PropertyValue
