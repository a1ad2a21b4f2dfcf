#pragma once

#include <QString>
#include <QVariant>
#include <optional>

// The kinds of value a PropertyBag stores and their text form.
namespace PropertyValue {

enum class Kind { Bool, Int, Color, Double, Text, Font, Picture };

// The stored form of `value` (bool, qint64, quint32, double, QString, QFont or
// QImage) with its kind; nullopt for a type that cannot be stored.
struct Stored {
    Kind kind;
    QVariant value;
};
std::optional<Stored> Normalize(const QVariant& value);

// `stored` converted to the type of `like`; `stored` itself when no sensible
// conversion exists.
QVariant ConvertLike(const QVariant& stored, const QVariant& like);

QString KindName(Kind kind);
std::optional<Kind> KindFromName(const QString& name);

// The text of a stored value (not yet escaped), and back. Decode gives
// nullopt with `error` set when the text is not a value of that kind.
QString Encode(const Stored& stored);
std::optional<QVariant> Decode(Kind kind, const QString& text, QString* error);

// Backslash escapes for "\", "=", and control characters; Unescape gives
// nullopt for a bad escape.
QString Escape(const QString& text);
std::optional<QString> Unescape(const QString& text);

}  // namespace PropertyValue
