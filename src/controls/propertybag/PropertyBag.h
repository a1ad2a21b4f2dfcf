#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <optional>

// The stored settings of one control: named, typed values whose names compare
// without regard to case. A value equal to its default is not stored, so a
// reader gets the default back for it.
//
// Stored kinds and the values they take:
//   bool     bool                                  text: -1 (true) or 0 (false)
//   int      any signed or unsigned integer except quint32, and enums
//   color    quint32 (a colour number, system colours included) or QColor
//   double   double, float
//   text     QString, QChar (any characters, line breaks and "=" included)
//   font     QFont
//   picture  QImage, QPixmap (kept as PNG)
// Writing any other type raises AppError 380 (invalid property value).
//
// Text form: one property per line, "<kind> <name>=<value>". In names and
// values a backslash escapes "\", "=", line breaks (\n, \r) and other control
// characters (\xHH). Colours are written 0xRRGGBB-style as 8 hex digits
// (0x8000000F), pictures as base64 PNG. Empty lines and lines starting with
// "#" are ignored.
class PropertyBag {
public:
    // The stored value, converted to the type of `defaultValue` when that is
    // valid (numbers to numbers, a stored picture to QPixmap, ...); the
    // default when the name is not stored.
    QVariant ReadProperty(const QString& name, const QVariant& defaultValue = {}) const;

    // Stores `value`, or removes the name when `value` equals `defaultValue`
    // (numbers compare by value whatever their type) or is invalid.
    void WriteProperty(const QString& name, const QVariant& value,
                       const QVariant& defaultValue = {});

    template <typename T>
    T Read(const QString& name, const T& defaultValue) const {
        return ReadProperty(name, QVariant::fromValue(defaultValue)).template value<T>();
    }

    bool Contains(const QString& name) const;
    QStringList Names() const;  // in the order first written
    bool IsEmpty() const { return entries_.isEmpty(); }

    QString ToText() const;

    // Parses the text form. Malformed text gives nullopt, and `error` (when
    // given) says which line is wrong and why, e.g. "line 3: unknown kind 'x'".
    static std::optional<PropertyBag> FromText(const QString& text, QString* error = nullptr);

private:
    struct Entry {
        QString name;
        QVariant value;  // normalised: bool, qint64, quint32, double, QString, QFont, QImage
    };
    qsizetype IndexOf(const QString& name) const;

    QList<Entry> entries_;
};
