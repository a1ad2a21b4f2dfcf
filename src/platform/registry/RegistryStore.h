#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <functional>
#include <mutex>

#include "RegistryTypes.h"

struct sqlite3;

// The per-user settings store: a tree of keys under the predefined roots, each
// key holding named, typed values kept as bytes. Key and value names keep the
// case they were created with and are compared without regard to case; key
// paths separate their parts with "\".
//
// Everything lives in one SQLite file (WAL journal, synchronous=FULL, every
// write in its own BEGIN IMMEDIATE transaction with a busy timeout), so several
// running copies of the program may read and write it at once without losing
// or corrupting a setting. A file that is not a database or is damaged is moved
// aside under a timestamped name and replaced by an empty one; see
// TakeRecoveryNotice().
//
// Every operation returns one of the result codes of RegistryTypes.h and never
// throws. Handles returned by OpenKey/CreateKey must be given back with CloseKey.
// One object may be used from several threads.
class RegistryStore {
public:
    // Opens (creating when missing) the store at `path`; never fails: a file
    // that cannot be used is set aside or, failing that, the store runs in
    // memory and keeps nothing. Either way a recovery notice is left.
    explicit RegistryStore(const QString& path);
    ~RegistryStore();
    RegistryStore(const RegistryStore&) = delete;
    RegistryStore& operator=(const RegistryStore&) = delete;

    // The process-wide store at DefaultPath(), opened on first use.
    static RegistryStore& Shared();
    // Closes the process-wide store; the next Shared() opens it again (and
    // reads DefaultPath() again).
    static void CloseShared();
    // $ZEPHYRA_REGISTRY when set, else
    // $XDG_CONFIG_HOME (default ~/.config)/zephyra-sound-utility/registry.sqlite3.
    static QString DefaultPath();
    // The text telling the user that the settings file was unusable and where
    // the damaged file was put; empty when there is nothing to tell. Each
    // notice is handed out once.
    static QString TakeRecoveryNotice();

    QString Path() const { return path_; }
    // False when the file could not be used at all and settings live in memory.
    bool IsPersistent() const { return persistent_; }

    // Opens an existing key below `key` ("" opens `key` itself).
    qint32 OpenKey(reg::HKEY key, const QString& subKey, quint32 access, reg::HKEY* result);
    // Opens the key, creating it and any missing parents first. `key` needs
    // KEY_CREATE_SUB_KEY when something has to be created.
    qint32 CreateKey(reg::HKEY key, const QString& subKey, quint32 access, reg::HKEY* result,
                     quint32* disposition = nullptr);
    qint32 CloseKey(reg::HKEY key);
    // Deletes the key `subKey` below `key` with its values. A key that has
    // subkeys, or a root, cannot be deleted: ERROR_ACCESS_DENIED.
    qint32 DeleteKey(reg::HKEY key, const QString& subKey);

    // Reads value `name` ("" is the key's default value). With `data` null
    // only the type and the size in bytes are answered. Otherwise `*size` is
    // the room the caller offers: when the value is larger the answer is
    // ERROR_MORE_DATA with the needed size in `*size`.
    qint32 QueryValue(reg::HKEY key, const QString& name, quint32* type, QByteArray* data,
                      quint32* size);
    // Stores `data` as value `name` with `type`, replacing any earlier value.
    // On failure (ERROR_DISK_FULL, ...) the old value stays.
    qint32 SetValue(reg::HKEY key, const QString& name, quint32 type, const QByteArray& data);
    qint32 DeleteValue(reg::HKEY key, const QString& name);

    // The subkey at `index` (0-based, in name order). `capacity` is the room in
    // characters including a terminating NUL; a longer name gives
    // ERROR_MORE_DATA. Past the last subkey: ERROR_NO_MORE_ITEMS.
    qint32 EnumKey(reg::HKEY key, quint32 index, QString* name, quint32 capacity);
    // The value name at `index` (0-based, in order of creation). `*capacity` is
    // the room in characters including the NUL; on success it becomes the
    // name's length. Past the last value: ERROR_NO_MORE_ITEMS.
    qint32 EnumValue(reg::HKEY key, quint32 index, QString* name, quint32* capacity);
    qint32 QueryInfoKey(reg::HKEY key, reg::KeyInfo* info);

    // Replaces each %NAME% whose variable is set by its value; other text, and
    // references to unset variables, stay as they are. Returns the length of the
    // result plus one for the NUL; `*dest` is filled only when `capacity` is at
    // least that.
    static quint32 ExpandEnvironmentStrings(const QString& source, QString* dest, quint32 capacity);

private:
    struct OpenHandle {
        qint64 keyId = 0;
        quint32 access = 0;
    };

    enum class OpenResult { Ok, Damaged, Unusable };

    OpenResult OpenFile(const QString& file, QString* why);
    // Brings the open file into working order (write-ahead log, integrity,
    // schema), retrying what another copy opening it at the same moment can
    // make fail for a while.
    int PrepareFile();
    int PrepareOnce();
    void OpenInMemory();
    void CloseDatabase();
    int Exec(const char* sql, QString* firstValue = nullptr) const;
    // Checks that `key` is usable with the rights `needed`; gives its key id
    // and the rights it was opened with.
    qint32 Resolve(reg::HKEY key, quint32 needed, qint64* keyId, quint32* access = nullptr) const;
    qint32 FindChild(qint64 parent, const QString& name, qint64* keyId) const;
    qint32 FindPath(qint64 from, const QString& subKey, qint64* keyId) const;
    // The name in row `index` of `sql` (which binds the key id, then the offset).
    qint32 NameAt(reg::HKEY key, quint32 needed, const char* sql, quint32 index, quint32 capacity,
                  QString* name) const;
    // Runs `work` inside one write transaction: committed when it returns
    // ERROR_SUCCESS, rolled back otherwise.
    qint32 Write(const std::function<qint32()>& work);
    reg::HKEY NewHandle(qint64 keyId, quint32 access);

    QString path_;
    bool persistent_ = true;
    sqlite3* db_ = nullptr;
    QHash<reg::HKEY, OpenHandle> handles_;
    reg::HKEY nextHandle_ = 0x100;
    mutable std::recursive_mutex mutex_;
};
