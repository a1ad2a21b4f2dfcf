#include "SqliteStatement.h"

#include <sqlite3.h>

SqliteStatement::SqliteStatement(sqlite3* db, const char* sql) {
    prepared_ = sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr);
}

SqliteStatement::~SqliteStatement() {
    sqlite3_finalize(stmt_);
}

SqliteStatement& SqliteStatement::Bind(int index, qint64 value) {
    sqlite3_bind_int64(stmt_, index, value);
    return *this;
}

SqliteStatement& SqliteStatement::Bind(int index, const QString& value) {
    const QByteArray utf8 = value.toUtf8();
    sqlite3_bind_text(stmt_, index, utf8.constData(), static_cast<int>(utf8.size()),
                      SQLITE_TRANSIENT);
    return *this;
}

SqliteStatement& SqliteStatement::Bind(int index, const QByteArray& value) {
    // A zero-length blob must still be a blob, not NULL.
    sqlite3_bind_blob(stmt_, index, value.isEmpty() ? "" : value.constData(),
                      static_cast<int>(value.size()), SQLITE_TRANSIENT);
    return *this;
}

int SqliteStatement::Step() {
    if (prepared_ != SQLITE_OK) return prepared_;
    return sqlite3_step(stmt_);
}

qint64 SqliteStatement::Int(int column) const {
    return sqlite3_column_int64(stmt_, column);
}

QString SqliteStatement::Text(int column) const {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    return QString::fromUtf8(text, sqlite3_column_bytes(stmt_, column));
}

QByteArray SqliteStatement::Blob(int column) const {
    const auto* data = static_cast<const char*>(sqlite3_column_blob(stmt_, column));
    return QByteArray(data, sqlite3_column_bytes(stmt_, column));
}
