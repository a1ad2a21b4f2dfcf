#pragma once

#include <QByteArray>
#include <QString>

struct sqlite3;
struct sqlite3_stmt;

// One prepared SQLite statement, finalized when it goes out of scope. Bind
// indexes are 1-based, column indexes 0-based, as in SQLite itself.
class SqliteStatement {
public:
    SqliteStatement(sqlite3* db, const char* sql);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    // The result of preparing; SQLITE_OK when the statement can run.
    int PrepareResult() const { return prepared_; }

    SqliteStatement& Bind(int index, qint64 value);
    SqliteStatement& Bind(int index, const QString& value);
    SqliteStatement& Bind(int index, const QByteArray& value);

    // Runs one step: SQLITE_ROW, SQLITE_DONE or an error code.
    int Step();

    qint64 Int(int column) const;
    QString Text(int column) const;
    QByteArray Blob(int column) const;

private:
    sqlite3_stmt* stmt_ = nullptr;
    int prepared_ = 0;
};
