#include <sqlite3.h>

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <cstdio>

#include "RegistryStore.h"

using namespace reg;

namespace {

const QString RaceKey = QStringLiteral("Software\\Race");

QByteArray Dword(quint32 value) {
    QByteArray bytes(4, '\0');
    qToLittleEndian(value, bytes.data());
    return bytes;
}

// Child mode: one running copy of the program writing `count` settings into
// the same key as another copy. Any failure ends the child with a message.
int RunWriter(const QString& path, const QString& tag, int count) {
    RegistryStore store(path);
    if (!store.IsPersistent()) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(tag), qPrintable(store.TakeRecoveryNotice()));
        return 1;
    }
    for (int i = 0; i < count; ++i) {
        HKEY key = 0;
        qint32 rc = store.CreateKey(HKEY_LOCAL_MACHINE, RaceKey, KEY_ALL_RIGHTS, &key);
        if (rc == ERROR_SUCCESS)
            rc = store.SetValue(key, tag + QString::number(i), REG_DWORD, Dword(i));
        if (rc == ERROR_SUCCESS)
            rc = store.SetValue(key, QStringLiteral("Last"), REG_SZ, (tag + '\0').toUtf8());
        store.CloseKey(key);
        if (rc != ERROR_SUCCESS) {
            std::fprintf(stderr, "%s: write %d failed with %d\n", qPrintable(tag), i, rc);
            return 1;
        }
    }
    return 0;
}

QString IntegrityOf(const QString& path) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &stmt, nullptr);
    QString result =
        sqlite3_step(stmt) == SQLITE_ROW
            ? QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)))
            : QString::fromUtf8(sqlite3_errmsg(db));
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return result;
}

void Overwrite(const QString& path, qint64 offset, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.seek(offset));
    QCOMPARE(file.write(bytes), bytes.size());
}

}  // namespace

class tst_RegistryStore : public QObject {
    Q_OBJECT

private slots:
    void init();
    void createBuildsMissingParentsAndReportsDisposition();
    void queryAnswersSizeBeforeData();
    void valueNamesIgnoreCaseAndKeepTheirFirstSpelling();
    void enumerationEndsWithNoMoreItems();
    void accessRightsAndStaleHandles();
    void deleteKeyFollowsThePlatformRules();
    void expandsEnvironmentReferences_data();
    void expandsEnvironmentReferences();
    void twoCopiesWritingAtOnceLoseNothing();
    void damagedFileIsSetAsideWithNotice_data();
    void damagedFileIsSetAsideWithNotice();
    void unusableLocationRunsInMemoryWithNotice();
    void defaultPathFollowsTheEnvironment();

private:
    QTemporaryDir dir_;
    QString path_;
};

void tst_RegistryStore::init() {
    QVERIFY(dir_.isValid());
    path_ = dir_.filePath(QStringLiteral("%1.sqlite3").arg(QTest::currentTestFunction()));
    RegistryStore::TakeRecoveryNotice();
}

void tst_RegistryStore::createBuildsMissingParentsAndReportsDisposition() {
    RegistryStore store(path_);
    HKEY key = 0;
    quint32 disposition = 0;
    QCOMPARE(store.CreateKey(HKEY_CLASSES_ROOT, "a\\b\\c", KEY_ALL_RIGHTS, &key, &disposition), 0);
    QCOMPARE(disposition, REG_CREATED_NEW_KEY);
    store.CloseKey(key);
    QCOMPARE(store.CreateKey(HKEY_CLASSES_ROOT, "A\\B\\C", KEY_ALL_RIGHTS, &key, &disposition), 0);
    QCOMPARE(disposition, REG_OPENED_EXISTING_KEY);
    store.CloseKey(key);

    // Creating below an open key needs the create-subkey right.
    HKEY readOnly = 0;
    QCOMPARE(store.OpenKey(HKEY_CLASSES_ROOT, "a", KEY_QUERY_VALUE, &readOnly), 0);
    QCOMPARE(store.CreateKey(readOnly, "new", KEY_ALL_RIGHTS, &key), ERROR_ACCESS_DENIED);
    QCOMPARE(store.CreateKey(readOnly, "b", KEY_ALL_RIGHTS, &key), 0);  // exists: only opened
    store.CloseKey(key);
    store.CloseKey(readOnly);

    QCOMPARE(store.CreateKey(HKEY_CLASSES_ROOT, QString(256, 'x'), KEY_ALL_RIGHTS, &key),
             ERROR_INVALID_PARAMETER);

    // Paths ignore case and stray separators; roots are separate trees.
    QCOMPARE(store.OpenKey(HKEY_CLASSES_ROOT, "\\A\\b\\", KEY_QUERY_VALUE, &key), 0);
    store.CloseKey(key);
    QCOMPARE(store.OpenKey(HKEY_LOCAL_MACHINE, "a\\b", KEY_QUERY_VALUE, &key),
             ERROR_FILE_NOT_FOUND);
    QCOMPARE(store.OpenKey(0x1234, "a", KEY_QUERY_VALUE, &key), ERROR_INVALID_HANDLE);
}

void tst_RegistryStore::queryAnswersSizeBeforeData() {
    RegistryStore store(path_);
    HKEY key = 0;
    QCOMPARE(store.CreateKey(HKEY_LOCAL_MACHINE, "k", KEY_ALL_RIGHTS, &key), 0);
    QCOMPARE(store.SetValue(key, "Text", REG_SZ, QByteArray("abc", 4)), 0);
    QCOMPARE(store.SetValue(key, "Empty", REG_SZ, QByteArray()), 0);
    QCOMPARE(store.SetValue(key, "Odd", 42, QByteArray("\x01\x02", 2)), 0);

    quint32 type = 0;
    quint32 size = 0;
    QByteArray data;
    QCOMPARE(store.QueryValue(key, "Text", &type, &data, &size), ERROR_MORE_DATA);
    QCOMPARE(type, REG_SZ);
    QCOMPARE(size, 4u);
    QVERIFY(data.isEmpty());
    QCOMPARE(store.QueryValue(key, "Text", nullptr, nullptr, &size), 0);
    QCOMPARE(size, 4u);
    QCOMPARE(store.QueryValue(key, "Text", nullptr, &data, &size), 0);
    QCOMPARE(data, QByteArray("abc", 4));

    size = 0;
    QCOMPARE(store.QueryValue(key, "Empty", &type, &data, &size), 0);
    QCOMPARE(size, 0u);
    QCOMPARE(data, QByteArray());

    size = 16;
    QCOMPARE(store.QueryValue(key, "Odd", &type, &data, &size), 0);
    QCOMPARE(type, 42u);
    QCOMPARE(data, QByteArray("\x01\x02", 2));

    QCOMPARE(store.QueryValue(key, "Missing", &type, nullptr, &size), ERROR_FILE_NOT_FOUND);
    store.CloseKey(key);
}

void tst_RegistryStore::valueNamesIgnoreCaseAndKeepTheirFirstSpelling() {
    RegistryStore store(path_);
    HKEY key = 0;
    QCOMPARE(store.CreateKey(HKEY_LOCAL_MACHINE, "k", KEY_ALL_RIGHTS, &key), 0);
    QCOMPARE(store.SetValue(key, "AutoPlay", REG_SZ, QByteArray("0", 2)), 0);
    QCOMPARE(store.SetValue(key, "AUTOPLAY", REG_SZ, QByteArray("1", 2)), 0);

    quint32 size = 8;
    QByteArray data;
    QCOMPARE(store.QueryValue(key, "autoplay", nullptr, &data, &size), 0);
    QCOMPARE(data, QByteArray("1", 2));
    QString name;
    quint32 room = 32;
    QCOMPARE(store.EnumValue(key, 0, &name, &room), 0);
    QCOMPARE(name, QStringLiteral("AutoPlay"));
    QCOMPARE(store.EnumValue(key, 1, &name, &room), ERROR_NO_MORE_ITEMS);

    QCOMPARE(store.DeleteValue(key, "AUTOplay"), 0);
    QCOMPARE(store.DeleteValue(key, "AutoPlay"), ERROR_FILE_NOT_FOUND);
    store.CloseKey(key);
}

void tst_RegistryStore::enumerationEndsWithNoMoreItems() {
    RegistryStore store(path_);
    HKEY key = 0;
    QCOMPARE(store.CreateKey(HKEY_USERS, "e", KEY_ALL_RIGHTS, &key), 0);
    for (const char* sub : {"zeta", "Alpha", "mid"}) {
        HKEY child = 0;
        QCOMPARE(store.CreateKey(key, sub, KEY_ALL_RIGHTS, &child), 0);
        store.CloseKey(child);
    }
    for (const char* value : {"second", "a-much-longer-name", ""})
        QCOMPARE(store.SetValue(key, value, REG_BINARY, QByteArray(3, 'x')), 0);

    QStringList keys;
    QString name;
    quint32 index = 0;
    qint32 rc;
    while ((rc = store.EnumKey(key, index++, &name, 256)) == 0) keys << name;
    QCOMPARE(rc, ERROR_NO_MORE_ITEMS);
    QCOMPARE(keys, QStringList({"Alpha", "mid", "zeta"}));
    QCOMPARE(store.EnumKey(key, 0, &name, 5), ERROR_MORE_DATA);  // "Alpha" needs 6 with NUL

    KeyInfo info;
    QCOMPARE(store.QueryInfoKey(key, &info), 0);
    QCOMPARE(info.SubKeys, 3u);
    QCOMPARE(info.MaxSubKeyLen, 5u);
    QCOMPARE(info.Values, 3u);
    QCOMPARE(info.MaxValueNameLen, 18u);
    QCOMPARE(info.MaxValueLen, 3u);

    QStringList values;
    index = 0;
    for (;;) {
        quint32 room = info.MaxValueNameLen + 1;
        rc = store.EnumValue(key, index++, &name, &room);
        if (rc != 0) break;
        QCOMPARE(room, static_cast<quint32>(name.size()));
        values << name;
    }
    QCOMPARE(rc, ERROR_NO_MORE_ITEMS);
    QCOMPARE(values, QStringList({"second", "a-much-longer-name", ""}));
    quint32 tooSmall = 18;
    QCOMPARE(store.EnumValue(key, 1, &name, &tooSmall), ERROR_MORE_DATA);
    store.CloseKey(key);
}

void tst_RegistryStore::accessRightsAndStaleHandles() {
    RegistryStore store(path_);
    HKEY writer = 0;
    QCOMPARE(store.CreateKey(HKEY_LOCAL_MACHINE, "r", KEY_ALL_RIGHTS, &writer), 0);
    QCOMPARE(store.SetValue(writer, "v", REG_DWORD, Dword(7)), 0);

    HKEY reader = 0;
    QCOMPARE(store.OpenKey(HKEY_LOCAL_MACHINE, "r", KEY_QUERY_VALUE, &reader), 0);
    QCOMPARE(store.SetValue(reader, "v", REG_DWORD, Dword(8)), ERROR_ACCESS_DENIED);
    QCOMPARE(store.DeleteValue(reader, "v"), ERROR_ACCESS_DENIED);
    QString name;
    QCOMPARE(store.EnumKey(reader, 0, &name, 256), ERROR_ACCESS_DENIED);

    HKEY enumerator = 0;
    QCOMPARE(store.OpenKey(HKEY_LOCAL_MACHINE, "r", KEY_ENUMERATE_SUB_KEYS, &enumerator), 0);
    quint32 size = 0;
    QCOMPARE(store.QueryValue(enumerator, "v", nullptr, nullptr, &size), ERROR_ACCESS_DENIED);
    store.CloseKey(enumerator);

    QCOMPARE(store.DeleteKey(HKEY_LOCAL_MACHINE, "r"), 0);
    QCOMPARE(store.QueryValue(reader, "v", nullptr, nullptr, &size), ERROR_KEY_DELETED);
    QCOMPARE(store.CloseKey(reader), 0);
    QCOMPARE(store.CloseKey(reader), ERROR_INVALID_HANDLE);
    QCOMPARE(store.QueryValue(reader, "v", nullptr, nullptr, &size), ERROR_INVALID_HANDLE);
    store.CloseKey(writer);
}

void tst_RegistryStore::deleteKeyFollowsThePlatformRules() {
    RegistryStore store(path_);
    HKEY key = 0;
    QCOMPARE(store.CreateKey(HKEY_LOCAL_MACHINE, "p\\child", KEY_ALL_RIGHTS, &key), 0);
    store.CloseKey(key);
    QCOMPARE(store.DeleteKey(HKEY_LOCAL_MACHINE, "p"), ERROR_ACCESS_DENIED);
    QCOMPARE(store.DeleteKey(HKEY_LOCAL_MACHINE, "P\\CHILD"), 0);
    QCOMPARE(store.DeleteKey(HKEY_LOCAL_MACHINE, "p\\child"), ERROR_FILE_NOT_FOUND);
    QCOMPARE(store.DeleteKey(HKEY_LOCAL_MACHINE, "p"), 0);
    QCOMPARE(store.DeleteKey(HKEY_LOCAL_MACHINE, ""), ERROR_ACCESS_DENIED);
}

void tst_RegistryStore::expandsEnvironmentReferences_data() {
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("expanded");
    qputenv("ZS_EXPAND_DIR", "/tmp/zs");
    qunsetenv("ZS_EXPAND_UNSET");
    QTest::newRow("reference") << "%ZS_EXPAND_DIR%\\x.snd"
                               << "/tmp/zs\\x.snd";
    QTest::newRow("two") << "%ZS_EXPAND_DIR%%ZS_EXPAND_DIR%"
                         << "/tmp/zs/tmp/zs";
    QTest::newRow("unset stays") << "a%ZS_EXPAND_UNSET%b"
                                 << "a%ZS_EXPAND_UNSET%b";
    QTest::newRow("unset then set") << "%ZS_EXPAND_UNSET%ZS_EXPAND_DIR%"
                                    << "%ZS_EXPAND_UNSET/tmp/zs";
    QTest::newRow("single percent") << "100%"
                                    << "100%";
    QTest::newRow("double percent") << "%%"
                                    << "%%";
    QTest::newRow("empty") << ""
                           << "";
}

void tst_RegistryStore::expandsEnvironmentReferences() {
    QFETCH(QString, source);
    QFETCH(QString, expanded);
    const quint32 needed = RegistryStore::ExpandEnvironmentStrings(source, nullptr, 0);
    QCOMPARE(needed, static_cast<quint32>(expanded.size()) + 1);
    QString out = QStringLiteral("untouched");
    QCOMPARE(RegistryStore::ExpandEnvironmentStrings(source, &out, needed - 1), needed);
    QCOMPARE(out, QStringLiteral("untouched"));
    RegistryStore::ExpandEnvironmentStrings(source, &out, needed);
    QCOMPARE(out, expanded);
}

void tst_RegistryStore::twoCopiesWritingAtOnceLoseNothing() {
    constexpr int Count = 150;
    QList<QProcess*> writers;
    for (const char* tag : {"A", "B"}) {
        auto* writer = new QProcess(this);
        writer->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        writer->start(QCoreApplication::applicationFilePath(),
                      {"--writer", path_, QString::fromLatin1(tag), QString::number(Count)});
        writers << writer;
    }
    for (QProcess* writer : writers) {
        QVERIFY(writer->waitForFinished(120000));
        QCOMPARE(writer->exitStatus(), QProcess::NormalExit);
        QCOMPARE(writer->exitCode(), 0);
    }

    RegistryStore store(path_);
    HKEY key = 0;
    QCOMPARE(store.OpenKey(HKEY_LOCAL_MACHINE, RaceKey, KEY_QUERY_VALUE, &key), 0);
    KeyInfo info;
    QCOMPARE(store.QueryInfoKey(key, &info), 0);
    QCOMPARE(info.Values, static_cast<quint32>(2 * Count + 1));
    for (const char* tag : {"A", "B"}) {
        for (int i = 0; i < Count; ++i) {
            quint32 size = 4;
            QByteArray data;
            QCOMPARE(store.QueryValue(key, tag + QString::number(i), nullptr, &data, &size), 0);
            QCOMPARE(data, Dword(i));
        }
    }
    quint32 size = 2;
    QByteArray last;
    QCOMPARE(store.QueryValue(key, "Last", nullptr, &last, &size), 0);
    QVERIFY(last == QByteArray("A", 2) || last == QByteArray("B", 2));
    store.CloseKey(key);
    QCOMPARE(IntegrityOf(path_), QStringLiteral("ok"));
}

void tst_RegistryStore::damagedFileIsSetAsideWithNotice_data() {
    QTest::addColumn<int>("damage");
    QTest::newRow("not a database") << 0;
    QTest::newRow("overwritten header") << 1;
    QTest::newRow("damaged pages") << 2;
}

void tst_RegistryStore::damagedFileIsSetAsideWithNotice() {
    QFETCH(int, damage);
    const QString path = dir_.filePath(QStringLiteral("damaged%1.sqlite3").arg(damage));
    if (damage == 0) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(8192, 'Z'));
    } else {
        {
            RegistryStore store(path);
            HKEY key = 0;
            QCOMPARE(store.CreateKey(HKEY_LOCAL_MACHINE, "old", KEY_ALL_RIGHTS, &key), 0);
            for (int i = 0; i < 200; ++i)
                QCOMPARE(store.SetValue(key, QString::number(i), REG_BINARY, QByteArray(100, 'v')),
                         0);
            store.CloseKey(key);
        }
        if (damage == 1)
            Overwrite(path, 0, QByteArray(100, '\xAB'));
        else
            Overwrite(path, 4096, QByteArray(4096 * 2, '\xFF'));
    }
    const QByteArray damagedBytes = [&] {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();

    RegistryStore store(path);
    QVERIFY(store.IsPersistent());
    HKEY key = 0;
    QCOMPARE(store.OpenKey(HKEY_LOCAL_MACHINE, "old", KEY_QUERY_VALUE, &key), ERROR_FILE_NOT_FOUND);
    QCOMPARE(store.CreateKey(HKEY_LOCAL_MACHINE, "new", KEY_ALL_RIGHTS, &key), 0);
    QCOMPARE(store.SetValue(key, "v", REG_SZ, QByteArray("x", 2)), 0);
    store.CloseKey(key);

    const QStringList aside =
        QDir(dir_.path()).entryList({QFileInfo(path).fileName() + ".damaged-*"}, QDir::Files);
    QCOMPARE(aside.size(), 1);
    QFile kept(dir_.filePath(aside.first()));
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), damagedBytes);

    const QString notice = RegistryStore::TakeRecoveryNotice();
    QVERIFY2(notice.contains(dir_.filePath(aside.first())), qPrintable(notice));
    QVERIFY(notice.contains("default settings"));
    QVERIFY(RegistryStore::TakeRecoveryNotice().isEmpty());
}

void tst_RegistryStore::unusableLocationRunsInMemoryWithNotice() {
    // A plain file where the store's folder should be.
    const QString blocker = dir_.filePath(QStringLiteral("blocker"));
    QFile file(blocker);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    RegistryStore store(blocker + QStringLiteral("/registry.sqlite3"));
    QVERIFY(!store.IsPersistent());
    HKEY key = 0;
    QCOMPARE(store.CreateKey(HKEY_LOCAL_MACHINE, "k", KEY_ALL_RIGHTS, &key), 0);
    QCOMPARE(store.SetValue(key, "v", REG_SZ, QByteArray("x", 2)), 0);
    store.CloseKey(key);
    QVERIFY(RegistryStore::TakeRecoveryNotice().contains("will not be kept"));
    QVERIFY(QFileInfo(blocker).isFile());
}

void tst_RegistryStore::defaultPathFollowsTheEnvironment() {
    const QByteArray savedRegistry = qgetenv("ZEPHYRA_REGISTRY");
    const QByteArray savedConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("ZEPHYRA_REGISTRY", "/somewhere/settings.db");
    QCOMPARE(RegistryStore::DefaultPath(), QStringLiteral("/somewhere/settings.db"));
    qunsetenv("ZEPHYRA_REGISTRY");
    qputenv("XDG_CONFIG_HOME", "/cfg");
    QCOMPARE(RegistryStore::DefaultPath(),
             QStringLiteral("/cfg/zephyra-sound-utility/registry.sqlite3"));
    qputenv("XDG_CONFIG_HOME", "relative/cfg");  // not absolute: ignored
    QCOMPARE(RegistryStore::DefaultPath(),
             QDir::homePath() + QStringLiteral("/.config/zephyra-sound-utility/registry.sqlite3"));
    qunsetenv("XDG_CONFIG_HOME");
    QCOMPARE(RegistryStore::DefaultPath(),
             QDir::homePath() + QStringLiteral("/.config/zephyra-sound-utility/registry.sqlite3"));
    if (!savedRegistry.isNull()) qputenv("ZEPHYRA_REGISTRY", savedRegistry);
    if (!savedConfig.isNull()) qputenv("XDG_CONFIG_HOME", savedConfig);
}

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 5 && args.at(1) == QLatin1String("--writer"))
        return RunWriter(args.at(2), args.at(3), args.at(4).toInt());
    tst_RegistryStore test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_RegistryStore.moc"
