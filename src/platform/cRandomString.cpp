#include "cRandomString.h"

#include <QRandomGenerator>
#include <QStringList>
#include <optional>

namespace {

const QString Digits = QStringLiteral("0123456789");
const QString Alphabet =
    Digits + QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ");

QString TrimBlanks(QString text) {
    while (text.startsWith(QLatin1Char(' '))) text.remove(0, 1);
    while (text.endsWith(QLatin1Char(' '))) text.chop(1);
    return text;
}

QString Without(const QString& pool, const QString& removed) {
    QString rest;
    for (QChar c : pool) {
        if (!removed.contains(c)) rest += c;
    }
    return rest;
}

// The characters a group chooses from; nullopt when it has no defined pool.
std::optional<QString> Pool(const QString& group) {
    if (group.size() == 1) return group == QLatin1String("#") ? Digits : group;
    QString body = TrimBlanks(group);
    const bool negated = body.startsWith(QLatin1Char('!'));
    if (negated) body.remove(0, 1);
    QString chosen = body;
    if (body.contains(QLatin1Char('-'))) {
        const qsizetype from = Alphabet.indexOf(body.front());
        const qsizetype to = Alphabet.indexOf(body.back());
        if (from < 0 || to < from) return std::nullopt;
        chosen = Alphabet.mid(from, to - from + 1);
    }
    return negated ? Without(Alphabet, chosen) : chosen;
}

}  // namespace

QString cRandomString::Generate(const QString& pattern) const {
    QString rest = TrimBlanks(pattern);
    if (rest.startsWith(QLatin1Char('['))) rest.remove(0, 1);
    if (rest.endsWith(QLatin1Char(']'))) rest.chop(1);
    if (rest.isEmpty()) return QStringLiteral("");

    QString result;
    for (const QString& group : rest.split(QStringLiteral("]["))) {
        const std::optional<QString> pool = Pool(group);
        if (!pool || pool->isEmpty()) return QString();
        result += pool->at(QRandomGenerator::global()->bounded(qsizetype(pool->size())));
    }
    return result;
}
