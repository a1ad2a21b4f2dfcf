#include "RegistryStore.h"

#include <sqlite3.h>

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <memory>

#include "SqliteStatement.h"

using namespace reg;

namespace {

// Long enough to outlast another copy's write on a slow disk; short enough
// that a stuck peer does not hang the program.
constexpr int BusyTimeoutMs = 10000;

// Opening a file that another copy is opening at the same moment can fail
// briefly: switching a new file to write-ahead logging takes a lock SQLite
// does not wait for, and the other copy's rollback journal can vanish while
// it is being looked at. Both pass once the other copy is through.
constexpr int RetryPauseMs = 5;
constexpr int MaxIoRetries = 20;

constexpr const char* Schema = R"(
CREATE TABLE IF NOT EXISTS reg_keys(
    id INTEGER PRIMARY KEY,
    parent INTEGER NOT NULL,
    name TEXT NOT NULL,
    fold TEXT NOT NULL,
    UNIQUE(parent, fold));
CREATE TABLE IF NOT EXISTS reg_values(
    key INTEGER NOT NULL,
    name TEXT NOT NULL,
    fold TEXT NOT NULL,
    type INTEGER NOT NULL,
    data BLOB NOT NULL,
    PRIMARY KEY(key, fold));
INSERT OR IGNORE INTO reg_keys(id, parent, name, fold) VALUES
    (1, 0, 'HKEY_CLASSES_ROOT', 'hkey_classes_root'),
    (2, 0, 'HKEY_CURRENT_USER', 'hkey_current_user'),
    (3, 0, 'HKEY_LOCAL_MACHINE', 'hkey_local_machine'),
    (4, 0, 'HKEY_USERS', 'hkey_users'),
    (5, 0, 'HKEY_PERFORMANCE_DATA', 'hkey_performance_data'),
    (6, 0, 'HKEY_CURRENT_CONFIG', 'hkey_current_config'),
    (7, 0, 'HKEY_DYN_DATA', 'hkey_dyn_data');
)";

std::mutex sharedMutex;
std::unique_ptr<RegistryStore> sharedStore;
std::mutex noticeMutex;
QString pendingNotice;

void LeaveNotice(const QString& text) {
    std::lock_guard lock(noticeMutex);
    pendingNotice = text;
}

QString Fold(const QString& name) {
    return name.toCaseFolded();
}

qint32 FromSqlite(int rc) {
    switch (rc & 0xff) {
        case SQLITE_OK:
        case SQLITE_DONE:
        case SQLITE_ROW:
            return ERROR_SUCCESS;
        case SQLITE_FULL:
            return ERROR_DISK_FULL;
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return ERROR_BUSY;
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB:
            return ERROR_BADDB;
        case SQLITE_READONLY:
        case SQLITE_PERM:
        case SQLITE_AUTH:
            return ERROR_ACCESS_DENIED;
        default:
            return ERROR_REGISTRY_IO_FAILED;
    }
}

bool IsDamage(int rc) {
    return (rc & 0xff) == SQLITE_CORRUPT || (rc & 0xff) == SQLITE_NOTADB;
}

bool IsRoot(HKEY key) {
    const auto index = static_cast<quint32>(key) - static_cast<quint32>(HKEY_CLASSES_ROOT);
    return index < static_cast<quint32>(RootCount);
}

qint64 RootId(HKEY key) {
    return static_cast<qint64>(static_cast<quint32>(key) -
                               static_cast<quint32>(HKEY_CLASSES_ROOT)) +
           1;
}

QStringList PathParts(const QString& subKey) {
    return subKey.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
}

// Moves the damaged file (and its write-ahead log) out of the way under a
// timestamped name; returns that name, or "" when it could not be moved.
QString SetAside(const QString& path) {
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString aside = path + QStringLiteral(".damaged-") + stamp;
    for (int n = 2; QFileInfo::exists(aside); ++n)
        aside = path + QStringLiteral(".damaged-") + stamp + QLatin1Char('-') + QString::number(n);
    if (!QFile::rename(path, aside)) return {};
    const QString wal = path + QStringLiteral("-wal");
    if (QFileInfo::exists(wal)) QFile::rename(wal, aside + QStringLiteral("-wal"));
    QFile::remove(path + QStringLiteral("-shm"));
    return aside;
}

}  // namespace

RegistryStore::RegistryStore(const QString& path) : path_(path) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QString why;
    const OpenResult first = OpenFile(path, &why);
    if (first == OpenResult::Ok) return;
    CloseDatabase();
    if (first == OpenResult::Damaged) {
        const QString aside = SetAside(path);
        if (!aside.isEmpty() && OpenFile(path, &why) == OpenResult::Ok) {
            LeaveNotice(QStringLiteral("The settings file was damaged and could not be read. It "
                                       "has been moved to \"%1\", and the program starts with "
                                       "default settings.")
                            .arg(QDir::toNativeSeparators(aside)));
            return;
        }
        CloseDatabase();
    }
    OpenInMemory();
    LeaveNotice(QStringLiteral("The settings file \"%1\" cannot be used (%2). The program starts "
                               "with default settings, and changes to them will not be kept.")
                    .arg(QDir::toNativeSeparators(path), why));
}

RegistryStore::~RegistryStore() {
    CloseDatabase();
}

RegistryStore& RegistryStore::Shared() {
    std::lock_guard lock(sharedMutex);
    if (!sharedStore) sharedStore = std::make_unique<RegistryStore>(DefaultPath());
    return *sharedStore;
}

void RegistryStore::CloseShared() {
    std::lock_guard lock(sharedMutex);
    sharedStore.reset();
}

QString RegistryStore::DefaultPath() {
    const QString explicitPath = qEnvironmentVariable("ZEPHYRA_REGISTRY");
    if (!explicitPath.isEmpty()) return explicitPath;
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty() || QDir::isRelativePath(config))
        config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/zephyra-sound-utility/registry.sqlite3");
}

QString RegistryStore::TakeRecoveryNotice() {
    std::lock_guard lock(noticeMutex);
    return std::exchange(pendingNotice, QString());
}

RegistryStore::OpenResult RegistryStore::OpenFile(const QString& file, QString* why) {
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX;
    int rc = sqlite3_open_v2(QFile::encodeName(file).constData(), &db_, flags, nullptr);
    if (rc == SQLITE_OK) {
        sqlite3_busy_timeout(db_, BusyTimeoutMs);
        rc = PrepareFile();
    }
    if (rc == SQLITE_OK) return OpenResult::Ok;
    *why = QString::fromUtf8(db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc));
    return IsDamage(rc) ? OpenResult::Damaged : OpenResult::Unusable;
}

int RegistryStore::PrepareFile() {
    QElapsedTimer waited;
    waited.start();
    for (int ioRetries = 0;;) {
        const int rc = PrepareOnce();
        const int primary = rc & 0xff;
        const bool busy = primary == SQLITE_BUSY || primary == SQLITE_LOCKED;
        const bool io = primary == SQLITE_IOERR && ++ioRetries <= MaxIoRetries;
        if (!(busy || io) || waited.elapsed() >= BusyTimeoutMs) return rc;
        QThread::msleep(RetryPauseMs);
    }
}

int RegistryStore::PrepareOnce() {
    int rc = Exec("PRAGMA journal_mode=WAL");
    if (rc == SQLITE_OK) rc = Exec("PRAGMA synchronous=FULL");
    QString check;
    if (rc == SQLITE_OK) rc = Exec("PRAGMA quick_check", &check);
    if (rc == SQLITE_OK && check != QLatin1String("ok")) return SQLITE_CORRUPT;
    if (rc == SQLITE_OK) rc = Exec("BEGIN IMMEDIATE");
    if (rc != SQLITE_OK) return rc;
    rc = Exec(Schema);
    if (rc == SQLITE_OK) rc = Exec("COMMIT");
    if (rc != SQLITE_OK && !sqlite3_get_autocommit(db_)) Exec("ROLLBACK");
    return rc;
}

void RegistryStore::OpenInMemory() {
    persistent_ = false;
    sqlite3_open_v2(":memory:", &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_FULLMUTEX, nullptr);
    Exec(Schema);
}

void RegistryStore::CloseDatabase() {
    sqlite3_close_v2(db_);
    db_ = nullptr;
}

int RegistryStore::Exec(const char* sql, QString* firstValue) const {
    if (!firstValue) return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr);
    SqliteStatement statement(db_, sql);
    const int rc = statement.Step();
    if (rc == SQLITE_ROW) *firstValue = statement.Text(0);
    return rc == SQLITE_ROW || rc == SQLITE_DONE ? SQLITE_OK : rc;
}

qint32 RegistryStore::Resolve(HKEY key, quint32 needed, qint64* keyId, quint32* access) const {
    if (IsRoot(key)) {
        *keyId = RootId(key);
        if (access) *access = KEY_ALL_RIGHTS;
        return ERROR_SUCCESS;
    }
    const auto it = handles_.constFind(key);
    if (it == handles_.constEnd()) return ERROR_INVALID_HANDLE;
    if ((it->access & needed) != needed) return ERROR_ACCESS_DENIED;
    SqliteStatement alive(db_, "SELECT 1 FROM reg_keys WHERE id = ?");
    const int rc = alive.Bind(1, it->keyId).Step();
    if (rc == SQLITE_DONE) return ERROR_KEY_DELETED;
    if (rc != SQLITE_ROW) return FromSqlite(rc);
    *keyId = it->keyId;
    if (access) *access = it->access;
    return ERROR_SUCCESS;
}

qint32 RegistryStore::FindChild(qint64 parent, const QString& name, qint64* keyId) const {
    SqliteStatement find(db_, "SELECT id FROM reg_keys WHERE parent = ? AND fold = ?");
    const int rc = find.Bind(1, parent).Bind(2, Fold(name)).Step();
    if (rc == SQLITE_DONE) return ERROR_FILE_NOT_FOUND;
    if (rc != SQLITE_ROW) return FromSqlite(rc);
    *keyId = find.Int(0);
    return ERROR_SUCCESS;
}

qint32 RegistryStore::FindPath(qint64 from, const QString& subKey, qint64* keyId) const {
    qint64 id = from;
    for (const QString& part : PathParts(subKey)) {
        const qint32 result = FindChild(id, part, &id);
        if (result != ERROR_SUCCESS) return result;
    }
    *keyId = id;
    return ERROR_SUCCESS;
}

qint32 RegistryStore::Write(const std::function<qint32()>& work) {
    const int begin = Exec("BEGIN IMMEDIATE");
    if (begin != SQLITE_OK) return FromSqlite(begin);
    qint32 result = work();
    if (result == ERROR_SUCCESS) {
        const int commit = Exec("COMMIT");
        if (commit == SQLITE_OK) return ERROR_SUCCESS;
        result = FromSqlite(commit);
    }
    Exec("ROLLBACK");
    return result;
}

HKEY RegistryStore::NewHandle(qint64 keyId, quint32 access) {
    const HKEY handle = nextHandle_;
    nextHandle_ += 4;
    handles_.insert(handle, OpenHandle{keyId, access});
    return handle;
}

qint32 RegistryStore::OpenKey(HKEY key, const QString& subKey, quint32 access, HKEY* result) {
    std::lock_guard lock(mutex_);
    qint64 base = 0;
    qint32 rc = Resolve(key, 0, &base);
    qint64 id = 0;
    if (rc == ERROR_SUCCESS) rc = FindPath(base, subKey, &id);
    if (rc != ERROR_SUCCESS) return rc;
    *result = NewHandle(id, access);
    return ERROR_SUCCESS;
}

qint32 RegistryStore::CreateKey(HKEY key, const QString& subKey, quint32 access, HKEY* result,
                                quint32* disposition) {
    std::lock_guard lock(mutex_);
    const QStringList parts = PathParts(subKey);
    for (const QString& part : parts)
        if (part.size() > MaxKeyNameLength) return ERROR_INVALID_PARAMETER;
    qint64 id = 0;
    quint32 baseAccess = 0;
    bool created = false;
    const qint32 rc = Write([&]() -> qint32 {
        qint32 found = Resolve(key, 0, &id, &baseAccess);
        for (const QString& part : parts) {
            if (found != ERROR_SUCCESS) return found;
            found = FindChild(id, part, &id);
            if (found != ERROR_FILE_NOT_FOUND) continue;
            if (!(baseAccess & KEY_CREATE_SUB_KEY)) return ERROR_ACCESS_DENIED;
            SqliteStatement insert(db_,
                                   "INSERT INTO reg_keys(parent, name, fold) VALUES (?, ?, ?)");
            const int step = insert.Bind(1, id).Bind(2, part).Bind(3, Fold(part)).Step();
            if (step != SQLITE_DONE) return FromSqlite(step);
            id = sqlite3_last_insert_rowid(db_);
            created = true;
            found = ERROR_SUCCESS;
        }
        return found;
    });
    if (rc != ERROR_SUCCESS) return rc;
    *result = NewHandle(id, access);
    if (disposition) *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    return ERROR_SUCCESS;
}

qint32 RegistryStore::CloseKey(HKEY key) {
    std::lock_guard lock(mutex_);
    if (IsRoot(key)) return ERROR_SUCCESS;
    return handles_.remove(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

qint32 RegistryStore::DeleteKey(HKEY key, const QString& subKey) {
    std::lock_guard lock(mutex_);
    return Write([&]() -> qint32 {
        qint64 base = 0;
        qint64 id = 0;
        qint32 rc = Resolve(key, 0, &base);
        if (rc == ERROR_SUCCESS) rc = FindPath(base, subKey, &id);
        if (rc != ERROR_SUCCESS) return rc;
        if (id <= RootCount) return ERROR_ACCESS_DENIED;
        SqliteStatement children(db_, "SELECT id FROM reg_keys WHERE parent = ? LIMIT 1");
        const int step = children.Bind(1, id).Step();
        if (step == SQLITE_ROW) return ERROR_ACCESS_DENIED;
        if (step != SQLITE_DONE) return FromSqlite(step);
        SqliteStatement values(db_, "DELETE FROM reg_values WHERE key = ?");
        SqliteStatement self(db_, "DELETE FROM reg_keys WHERE id = ?");
        int done = values.Bind(1, id).Step();
        if (done == SQLITE_DONE) done = self.Bind(1, id).Step();
        return done == SQLITE_DONE ? ERROR_SUCCESS : FromSqlite(done);
    });
}

qint32 RegistryStore::QueryValue(HKEY key, const QString& name, quint32* type, QByteArray* data,
                                 quint32* size) {
    std::lock_guard lock(mutex_);
    qint64 id = 0;
    const qint32 rc = Resolve(key, KEY_QUERY_VALUE, &id);
    if (rc != ERROR_SUCCESS) return rc;
    SqliteStatement query(db_, "SELECT type, data FROM reg_values WHERE key = ? AND fold = ?");
    const int step = query.Bind(1, id).Bind(2, Fold(name)).Step();
    if (step == SQLITE_DONE) return ERROR_FILE_NOT_FOUND;
    if (step != SQLITE_ROW) return FromSqlite(step);
    if (type) *type = static_cast<quint32>(query.Int(0));
    const QByteArray stored = query.Blob(1);
    const auto needed = static_cast<quint32>(stored.size());
    if (!data) {
        if (size) *size = needed;
        return ERROR_SUCCESS;
    }
    if (!size) return ERROR_INVALID_PARAMETER;
    const quint32 room = *size;
    *size = needed;
    if (room < needed) return ERROR_MORE_DATA;
    *data = stored;
    return ERROR_SUCCESS;
}

qint32 RegistryStore::SetValue(HKEY key, const QString& name, quint32 type,
                               const QByteArray& data) {
    std::lock_guard lock(mutex_);
    return Write([&]() -> qint32 {
        qint64 id = 0;
        const qint32 rc = Resolve(key, KEY_SET_VALUE, &id);
        if (rc != ERROR_SUCCESS) return rc;
        // An upsert keeps the value's place in the enumeration order.
        SqliteStatement upsert(db_,
                               "INSERT INTO reg_values(key, name, fold, type, data) "
                               "VALUES (?, ?, ?, ?, ?) ON CONFLICT(key, fold) "
                               "DO UPDATE SET type = excluded.type, data = excluded.data");
        const int step = upsert.Bind(1, id)
                             .Bind(2, name)
                             .Bind(3, Fold(name))
                             .Bind(4, static_cast<qint64>(type))
                             .Bind(5, data)
                             .Step();
        return step == SQLITE_DONE ? ERROR_SUCCESS : FromSqlite(step);
    });
}

qint32 RegistryStore::DeleteValue(HKEY key, const QString& name) {
    std::lock_guard lock(mutex_);
    return Write([&]() -> qint32 {
        qint64 id = 0;
        const qint32 rc = Resolve(key, KEY_SET_VALUE, &id);
        if (rc != ERROR_SUCCESS) return rc;
        SqliteStatement remove(db_, "DELETE FROM reg_values WHERE key = ? AND fold = ?");
        const int step = remove.Bind(1, id).Bind(2, Fold(name)).Step();
        if (step != SQLITE_DONE) return FromSqlite(step);
        return sqlite3_changes(db_) > 0 ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
    });
}

qint32 RegistryStore::NameAt(HKEY key, quint32 needed, const char* sql, quint32 index,
                             quint32 capacity, QString* name) const {
    qint64 id = 0;
    const qint32 rc = Resolve(key, needed, &id);
    if (rc != ERROR_SUCCESS) return rc;
    SqliteStatement query(db_, sql);
    const int step = query.Bind(1, id).Bind(2, static_cast<qint64>(index)).Step();
    if (step == SQLITE_DONE) return ERROR_NO_MORE_ITEMS;
    if (step != SQLITE_ROW) return FromSqlite(step);
    const QString found = query.Text(0);
    if (static_cast<quint32>(found.size()) + 1 > capacity) return ERROR_MORE_DATA;
    *name = found;
    return ERROR_SUCCESS;
}

qint32 RegistryStore::EnumKey(HKEY key, quint32 index, QString* name, quint32 capacity) {
    std::lock_guard lock(mutex_);
    return NameAt(key, KEY_ENUMERATE_SUB_KEYS,
                  "SELECT name FROM reg_keys WHERE parent = ? ORDER BY fold LIMIT 1 OFFSET ?",
                  index, capacity, name);
}

qint32 RegistryStore::EnumValue(HKEY key, quint32 index, QString* name, quint32* capacity) {
    std::lock_guard lock(mutex_);
    const qint32 rc =
        NameAt(key, KEY_QUERY_VALUE,
               "SELECT name FROM reg_values WHERE key = ? ORDER BY rowid LIMIT 1 OFFSET ?", index,
               *capacity, name);
    if (rc == ERROR_SUCCESS) *capacity = static_cast<quint32>(name->size());
    return rc;
}

qint32 RegistryStore::QueryInfoKey(HKEY key, KeyInfo* info) {
    std::lock_guard lock(mutex_);
    qint64 id = 0;
    const qint32 rc = Resolve(key, KEY_QUERY_VALUE, &id);
    if (rc != ERROR_SUCCESS) return rc;
    *info = KeyInfo{};
    SqliteStatement keys(db_, "SELECT name FROM reg_keys WHERE parent = ?");
    keys.Bind(1, id);
    int step;
    while ((step = keys.Step()) == SQLITE_ROW) {
        ++info->SubKeys;
        info->MaxSubKeyLen = qMax(info->MaxSubKeyLen, static_cast<quint32>(keys.Text(0).size()));
    }
    if (step != SQLITE_DONE) return FromSqlite(step);
    SqliteStatement values(db_, "SELECT name, length(data) FROM reg_values WHERE key = ?");
    values.Bind(1, id);
    while ((step = values.Step()) == SQLITE_ROW) {
        ++info->Values;
        info->MaxValueNameLen =
            qMax(info->MaxValueNameLen, static_cast<quint32>(values.Text(0).size()));
        info->MaxValueLen = qMax(info->MaxValueLen, static_cast<quint32>(values.Int(1)));
    }
    return step == SQLITE_DONE ? ERROR_SUCCESS : FromSqlite(step);
}

quint32 RegistryStore::ExpandEnvironmentStrings(const QString& source, QString* dest,
                                                quint32 capacity) {
    QString out;
    qsizetype at = 0;
    while (at < source.size()) {
        const qsizetype open = source.indexOf(QLatin1Char('%'), at);
        const qsizetype close = open < 0 ? -1 : source.indexOf(QLatin1Char('%'), open + 1);
        if (close < 0) {
            out += source.mid(at);
            break;
        }
        out += source.mid(at, open - at);
        const QString variable = source.mid(open + 1, close - open - 1);
        if (!variable.isEmpty() && qEnvironmentVariableIsSet(variable.toLocal8Bit().constData())) {
            out += qEnvironmentVariable(variable.toLocal8Bit().constData());
            at = close + 1;
        } else {
            // Not a reference: keep the text, and let the closing "%" open the next one.
            out += source.mid(open, close - open);
            at = close;
        }
    }
    const auto needed = static_cast<quint32>(out.size()) + 1;
    if (dest && capacity >= needed) *dest = out;
    return needed;
}
