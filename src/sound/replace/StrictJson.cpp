#include "StrictJson.h"

#include <cmath>
#include <stdexcept>

#include "ReplaceManifest.h"

namespace Replace {

StrictJson::StrictJson(QJsonObject object, QString where, Damaged damaged)
    : object_(std::move(object)), where_(std::move(where)), damaged_(std::move(damaged)) {}

void StrictJson::Fail(const char* key, const char* kind) const {
    const QString field =
        QStringLiteral("\"%1\" is missing or not %2").arg(QLatin1String(key), QLatin1String(kind));
    damaged_(where_.isEmpty() ? field : where_ + QStringLiteral(": ") + field);
    throw std::logic_error("StrictJson: the damaged handler returned");
}

QJsonValue StrictJson::Need(const char* key, QJsonValue::Type type, const char* kind) const {
    const QJsonValue value = object_.value(QLatin1String(key));
    if (value.type() != type) Fail(key, kind);
    return value;
}

QString StrictJson::Text(const char* key) const {
    return Need(key, QJsonValue::String, "text").toString();
}

QByteArray StrictJson::Sha(const char* key) const {
    const QByteArray sha = Text(key).toLatin1();
    if (!IsSha256(sha)) Fail(key, "a SHA-256");
    return sha;
}

QByteArray StrictJson::ShaOrEmpty(const char* key) const {
    const QByteArray sha = Text(key).toLatin1();
    if (!sha.isEmpty() && !IsSha256(sha)) Fail(key, "a SHA-256");
    return sha;
}

QString StrictJson::Name(const char* key) const {
    const QString name = Text(key);
    if (!IsPlainName(name)) Fail(key, "a file name");
    return name;
}

qint64 StrictJson::Count(const char* key) const {
    // JSON numbers are doubles: beyond 2^53 they are no longer exact counts.
    const double n = Need(key, QJsonValue::Double, "a number").toDouble();
    if (!(n >= 0 && n <= 9007199254740992.0) || std::floor(n) != n) Fail(key, "a whole number");
    return qint64(n);
}

namespace {

// "2026-01-02T03:04:05Z", the form the store writes, read without the
// general parser, which costs microseconds a time; anything else goes to it.
QDateTime ParseTime(const QString& text) {
    static const QString shape = QStringLiteral("dddd-dd-ddTdd:dd:ddZ");
    bool plain = text.size() == shape.size();
    for (qsizetype i = 0; plain && i < text.size(); ++i)
        plain = shape[i] == QLatin1Char('d') ? text[i].isDigit() && text[i].unicode() < 128
                                             : text[i] == shape[i];
    if (!plain) return QDateTime::fromString(text, Qt::ISODate);
    const auto number = [&](int at, int length) {
        return QStringView(text).mid(at, length).toInt();
    };
    const QDate date(number(0, 4), number(5, 2), number(8, 2));
    const QTime time(number(11, 2), number(14, 2), number(17, 2));
    if (!date.isValid() || !time.isValid()) return {};
    return QDateTime(date, time, Qt::UTC);
}

}  // namespace

QDateTime StrictJson::Time(const char* key) const {
    const QDateTime time = ParseTime(Text(key));
    if (!time.isValid()) Fail(key, "a time");
    return time;
}

QJsonArray StrictJson::Array(const char* key) const {
    return Need(key, QJsonValue::Array, "a list").toArray();
}

QJsonObject StrictJson::Object(const char* key) const {
    return Need(key, QJsonValue::Object, "an object").toObject();
}

void StrictJson::ForEach(const char* key,
                         const std::function<void(const StrictJson&)>& each) const {
    const QJsonArray list = Array(key);
    for (qsizetype i = 0; i < list.size(); ++i) {
        const QString where = QStringLiteral("%1 %2").arg(QLatin1String(key)).arg(i + 1);
        if (!list[i].isObject()) damaged_(where + QStringLiteral(" is not an object"));
        each(StrictJson(list[i].toObject(), where, damaged_));
    }
}

}  // namespace Replace
