#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QJsonArray>
#include <QJsonObject>
#include <QString>
#include <functional>

namespace Replace {

// Reads one JSON object of a file the store or a pack relies on. A field that
// is missing or of another kind than expected is never taken as empty: it
// calls `damaged` with what is wrong, which must throw.
class StrictJson {
public:
    using Damaged = std::function<void(const QString& what)>;
    StrictJson(QJsonObject object, QString where, Damaged damaged);

    QString Text(const char* key) const;
    QByteArray Sha(const char* key) const;         // 64 lower-case hex digits
    QByteArray ShaOrEmpty(const char* key) const;  // the same, or ""
    QString Name(const char* key) const;           // IsPlainName
    qint64 Count(const char* key) const;           // a whole number >= 0
    QDateTime Time(const char* key) const;         // ISO 8601
    QJsonArray Array(const char* key) const;
    QJsonObject Object(const char* key) const;
    // Each element of the array `key` as an object, with its place for messages.
    void ForEach(const char* key, const std::function<void(const StrictJson&)>& each) const;

private:
    QJsonValue Need(const char* key, QJsonValue::Type type, const char* kind) const;
    [[noreturn]] void Fail(const char* key, const char* kind) const;

    QJsonObject object_;
    QString where_;
    Damaged damaged_;
};

}  // namespace Replace
