#include "PropertyBag.h"

#include "AppError.h"
#include "PropertyValue.h"

namespace {

// The text form of one line: "<kind> <name>=<value>".
struct Line {
    PropertyValue::Kind kind;
    QString name;
    QVariant value;
};

std::optional<Line> ParseLine(const QString& line, QString* why) {
    const qsizetype space = line.indexOf(QLatin1Char(' '));
    const auto kind = PropertyValue::KindFromName(line.left(space));
    if (space < 0 || !kind) {
        *why = QStringLiteral("unknown kind '%1'").arg(line.left(space).left(20));
        return std::nullopt;
    }
    // The first "=" that no backslash escapes ends the name.
    qsizetype equals = -1;
    for (qsizetype i = space + 1; i < line.size() && equals < 0; ++i) {
        if (line.at(i) == QLatin1Char('\\')) {
            ++i;
        } else if (line.at(i) == QLatin1Char('=')) {
            equals = i;
        }
    }
    if (equals < 0) {
        *why = QStringLiteral("no '=' after the name");
        return std::nullopt;
    }
    const auto name = PropertyValue::Unescape(line.mid(space + 1, equals - space - 1));
    const auto text = PropertyValue::Unescape(line.mid(equals + 1));
    if (!name || !text) {
        *why = QStringLiteral("bad backslash escape");
        return std::nullopt;
    }
    const auto value = PropertyValue::Decode(*kind, *text, why);
    if (!value) return std::nullopt;
    return Line{*kind, *name, *value};
}

}  // namespace

qsizetype PropertyBag::IndexOf(const QString& name) const {
    for (qsizetype i = 0; i < entries_.size(); ++i) {
        if (entries_[i].name.compare(name, Qt::CaseInsensitive) == 0) return i;
    }
    return -1;
}

QVariant PropertyBag::ReadProperty(const QString& name, const QVariant& defaultValue) const {
    const qsizetype i = IndexOf(name);
    if (i < 0) return defaultValue;
    return PropertyValue::ConvertLike(entries_[i].value, defaultValue);
}

void PropertyBag::WriteProperty(const QString& name, const QVariant& value,
                                const QVariant& defaultValue) {
    const qsizetype i = IndexOf(name);
    const auto stored = PropertyValue::Normalize(value);
    if (value.isValid() && !stored) {
        throw AppError::Standard(ErrNo::InvalidPropertyValue,
                                 QStringLiteral("%1 (a %2 cannot be stored)")
                                     .arg(name, QString::fromLatin1(value.metaType().name())),
                                 QStringLiteral("PropertyBag"));
    }
    const auto storedDefault = PropertyValue::Normalize(defaultValue);
    const bool isDefault =
        !value.isValid() || (storedDefault && storedDefault->value == stored->value);
    if (isDefault) {
        if (i >= 0) entries_.removeAt(i);
    } else if (i >= 0) {
        entries_[i].value = stored->value;
    } else {
        entries_.append(Entry{name, stored->value});
    }
}

bool PropertyBag::Contains(const QString& name) const {
    return IndexOf(name) >= 0;
}

QStringList PropertyBag::Names() const {
    QStringList names;
    for (const Entry& e : entries_) names << e.name;
    return names;
}

QString PropertyBag::ToText() const {
    QString text;
    for (const Entry& e : entries_) {
        const auto stored = PropertyValue::Normalize(e.value);
        text += PropertyValue::KindName(stored->kind) + QLatin1Char(' ') +
                PropertyValue::Escape(e.name) + QLatin1Char('=') +
                PropertyValue::Escape(PropertyValue::Encode(*stored)) + QLatin1Char('\n');
    }
    return text;
}

std::optional<PropertyBag> PropertyBag::FromText(const QString& text, QString* error) {
    PropertyBag bag;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype n = 0; n < lines.size(); ++n) {
        QString line = lines[n];
        if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
        if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) continue;
        QString why;
        const auto parsed = ParseLine(line, &why);
        if (!parsed) {
            if (error) *error = QStringLiteral("line %1: %2").arg(n + 1).arg(why);
            return std::nullopt;
        }
        const qsizetype i = bag.IndexOf(parsed->name);
        if (i >= 0) {
            bag.entries_[i].value = parsed->value;
        } else {
            bag.entries_.append(Entry{parsed->name, parsed->value});
        }
    }
    return bag;
}
