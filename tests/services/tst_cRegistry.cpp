#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <cstdio>
#include <functional>

#include "AppError.h"
#include "RaisedError.h"
#include "RegistryStore.h"
#include "cRegistry.h"

using namespace reg;

namespace {

const QString SettingsKey = QStringLiteral("Software\\Brellin Software\\Zephyra Sound Utility");
const QString Source = QStringLiteral("tst_cRegistry.cRegistry");

// Writes raw bytes through the store, as another program would.
void Store(HKEY root, const QString& section, const QString& name, quint32 type,
           const QByteArray& data) {
    RegistryStore& store = RegistryStore::Shared();
    HKEY key = 0;
    QCOMPARE(store.CreateKey(root, section, KEY_ALL_RIGHTS, &key), 0);
    QCOMPARE(store.SetValue(key, name, type, data), 0);
    store.CloseKey(key);
}

// The stored type and bytes of a value; type 0 when it cannot be read.
QPair<quint32, QByteArray> Stored(HKEY root, const QString& section, const QString& name) {
    RegistryStore& store = RegistryStore::Shared();
    HKEY key = 0;
    if (store.OpenKey(root, section, KEY_QUERY_VALUE, &key) != 0) return {};
    quint32 type = 0;
    quint32 size = 1u << 20;
    QByteArray data;
    if (store.QueryValue(key, name, &type, &data, &size) != 0) type = 0;
    store.CloseKey(key);
    return {type, data};
}

cRegistry At(HKEY root, const QString& section, const QString& value = {}, qint32 type = 0) {
    cRegistry registry;
    registry.setClassKey(root);
    registry.setSectionKey(section);
    registry.setValueKey(value);
    registry.setValueType(type);
    return registry;
}

// Child mode, run inside its own mount namespace on a tiny tmpfs at `dir`:
// a setting written before the disk fills must survive a failed larger write.
int RunFullDisk(const QString& dir) {
    std::puts("full-disk child started");
    std::fflush(stdout);
    qputenv("ZEPHYRA_REGISTRY", QFile::encodeName(dir + "/registry.sqlite3"));
    cRegistry registry = At(HKEY_LOCAL_MACHINE, SettingsKey, "LastDirectory", REG_SZ);
    registry.setValue(QStringLiteral("/old"));
    QFile filler(dir + "/filler");
    if (!filler.open(QIODevice::WriteOnly)) return 2;
    const QByteArray chunk(4096, 'f');
    while (filler.write(chunk) == chunk.size() && filler.flush()) {
    }
    filler.close();
    const AppError error = Raised([&] { registry.setValue(QString(300000, 'n')); });
    if (error.Number != cRegistry::ErrSetFailed) {
        std::fprintf(stderr, "full write raised %d, not the set failure\n", error.Number);
        return 3;
    }
    if (registry.Value() != QVariant(QStringLiteral("/old"))) return 4;
    // Room again, and a fresh start: the file itself still holds the old value.
    QFile::remove(dir + "/filler");
    RegistryStore::CloseShared();
    if (At(HKEY_LOCAL_MACHINE, SettingsKey, "LastDirectory").Value() != QStringLiteral("/old"))
        return 5;
    registry.setValue(QStringLiteral("/new"));
    return registry.Value() == QStringLiteral("/new") ? 0 : 6;
}

}  // namespace

class tst_cRegistry : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void readingMissingValueGivesDefault();
    void readsEachStoredType_data();
    void readsEachStoredType();
    void writeChoosesTheStoredType_data();
    void writeChoosesTheStoredType();
    void textReadsBackAsWritten_data();
    void textReadsBackAsWritten();
    void unsuitableWritesRaiseAndKeepTheOldValue_data();
    void unsuitableWritesRaiseAndKeepTheOldValue();
    void keyOperationsAndTheirErrors();
    void enumerationsAreCompleteAndQuietWhenKeyIsMissing();
    void fileAssociationIsWrittenToBothClassRoots();
    void additionalAssociationsCheckTheirInput();
    void programSettingsSurviveARestart();
    void fullDiskKeepsTheOldValue();

private:
    QTemporaryDir dir_;
};

void tst_cRegistry::initTestCase() {
    QVERIFY(dir_.isValid());
    qputenv("ZEPHYRA_REGISTRY", QFile::encodeName(dir_.filePath("registry.sqlite3")));
    qputenv("ZS_REG_TEST_DIR", "/data/sounds");
    RegistryStore::CloseShared();
}

void tst_cRegistry::readingMissingValueGivesDefault() {
    cRegistry registry = At(HKEY_LOCAL_MACHINE, "Software\\Nowhere", "Missing", REG_DWORD);
    QCOMPARE(registry.Value(), QVariant());
    registry.setDefault(QStringLiteral("fallback"));
    QCOMPARE(registry.Value(), QVariant(QStringLiteral("fallback")));
    QCOMPARE(registry.ValueType(), static_cast<qint32>(REG_DWORD));

    Store(HKEY_LOCAL_MACHINE, "Software\\Somewhere", "Present", REG_SZ, QByteArray("x", 2));
    registry.setSectionKey("Software\\Somewhere");
    QCOMPARE(registry.Value(), QVariant(QStringLiteral("fallback")));
    registry.setClassKey(0);
    registry.setValueKey("Present");
    QCOMPARE(registry.Value(), QVariant(QStringLiteral("fallback")));
}

void tst_cRegistry::readsEachStoredType_data() {
    QTest::addColumn<quint32>("type");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QVariant>("expected");
    QTest::newRow("text") << REG_SZ << QByteArray("abc", 4) << QVariant("abc");
    QTest::newRow("empty text") << REG_SZ << QByteArray() << QVariant("");
    QTest::newRow("text without NUL") << REG_SZ << QByteArray("abc") << QVariant("abc");
    QTest::newRow("multi") << REG_MULTI_SZ << QByteArray("one\0two\0\0", 9)
                           << QVariant(QString::fromLatin1("one\0two\0", 8));
    QTest::newRow("expand") << REG_EXPAND_SZ << QByteArray("%ZS_REG_TEST_DIR%\\a.snd", 24)
                            << QVariant("/data/sounds\\a.snd");
    QTest::newRow("dword") << REG_DWORD << QByteArray("\x02\x01\x00\x00", 4) << QVariant(0x102);
    QTest::newRow("negative dword") << REG_DWORD << QByteArray(4, '\xff') << QVariant(-1);
    QTest::newRow("big endian") << REG_DWORD_BIG_ENDIAN << QByteArray("\x00\x00\x01\x02", 4)
                                << QVariant(0x102);
    QTest::newRow("binary") << REG_BINARY << QByteArray("\x00\x7f\x80", 3)
                            << QVariant(QByteArray("\x00\x7f\x80", 3));
    QTest::newRow("unknown type") << 11u << QByteArray("\x01", 1)
                                  << QVariant(QByteArray("\x01", 1));
}

void tst_cRegistry::readsEachStoredType() {
    QFETCH(quint32, type);
    QFETCH(QByteArray, bytes);
    QFETCH(QVariant, expected);
    Store(HKEY_CURRENT_USER, "Types", QTest::currentDataTag(), type, bytes);
    cRegistry registry = At(HKEY_CURRENT_USER, "types", QTest::currentDataTag());
    QCOMPARE(registry.Value(), expected);
    QCOMPARE(registry.ValueType(), static_cast<qint32>(type));
}

void tst_cRegistry::writeChoosesTheStoredType_data() {
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<quint32>("valueType");
    QTest::addColumn<quint32>("storedType");
    QTest::addColumn<QByteArray>("storedBytes");
    QTest::newRow("integer as text") << QVariant(1) << REG_SZ << REG_SZ << QByteArray("1", 2);
    QTest::newRow("reference in plain text stays text")
        << QVariant("%TEMP%\\name") << REG_SZ << REG_SZ << QByteArray("%TEMP%\\name", 12);
    QTest::newRow("reference in expandable text")
        << QVariant("%TEMP%\\name") << REG_EXPAND_SZ << REG_EXPAND_SZ
        << QByteArray("%TEMP%\\name", 12);
    QTest::newRow("single percent stays text")
        << QVariant("100%") << REG_EXPAND_SZ << REG_SZ << QByteArray("100%", 5);
    QTest::newRow("adjacent percents stay text")
        << QVariant("a%%b") << REG_SZ << REG_SZ << QByteArray("a%%b", 5);
    QTest::newRow("shortest reference")
        << QVariant("%a%") << REG_EXPAND_SZ << REG_EXPAND_SZ << QByteArray("%a%", 4);
    QTest::newRow("boolean as text") << QVariant(true) << REG_SZ << REG_SZ << QByteArray("True", 5);
    QTest::newRow("dword") << QVariant(0x01020304) << REG_DWORD << REG_DWORD
                           << QByteArray("\x04\x03\x02\x01", 4);
    QTest::newRow("big endian written unswapped")
        << QVariant(0x102) << REG_DWORD_BIG_ENDIAN << REG_DWORD << QByteArray("\x02\x01\0\0", 4);
    QTest::newRow("16-bit dword") << QVariant::fromValue<qint16>(-2) << REG_DWORD << REG_DWORD
                                  << QByteArray("\xfe\xff\xff\xff", 4);
    QTest::newRow("binary") << QVariant(QByteArray("\0\1\2", 3)) << REG_BINARY << REG_BINARY
                            << QByteArray("\0\1\2", 3);
}

void tst_cRegistry::writeChoosesTheStoredType() {
    QFETCH(QVariant, value);
    QFETCH(quint32, valueType);
    QFETCH(quint32, storedType);
    QFETCH(QByteArray, storedBytes);
    cRegistry registry = At(HKEY_LOCAL_MACHINE, "Writes\\New", QTest::currentDataTag(), valueType);
    registry.setValue(value);
    const auto stored = Stored(HKEY_LOCAL_MACHINE, "Writes\\New", QTest::currentDataTag());
    QCOMPARE(stored.first, storedType);
    QCOMPARE(stored.second, storedBytes);
}

void tst_cRegistry::textReadsBackAsWritten_data() {
    QTest::addColumn<QString>("written");
    QTest::addColumn<quint32>("valueType");
    QTest::addColumn<QString>("readBack");
    QTest::newRow("folder named like a reference")
        << "/home/u/%ZS_REG_TEST_DIR%stuff" << REG_SZ << "/home/u/%ZS_REG_TEST_DIR%stuff";
    QTest::newRow("whole reference") << "%ZS_REG_TEST_DIR%" << REG_SZ << "%ZS_REG_TEST_DIR%";
    QTest::newRow("two references") << "%A%/%ZS_REG_TEST_DIR%" << REG_SZ << "%A%/%ZS_REG_TEST_DIR%";
    QTest::newRow("expandable text expands")
        << "%ZS_REG_TEST_DIR%/a.snd" << REG_EXPAND_SZ << "/data/sounds/a.snd";
}

// The main window's settings are plain text: what it writes comes back after a restart.
void tst_cRegistry::textReadsBackAsWritten() {
    QFETCH(QString, written);
    QFETCH(quint32, valueType);
    QFETCH(QString, readBack);
    At(HKEY_LOCAL_MACHINE, SettingsKey, QTest::currentDataTag(), valueType).setValue(written);
    RegistryStore::CloseShared();
    cRegistry registry = At(HKEY_LOCAL_MACHINE, SettingsKey, QTest::currentDataTag(), REG_SZ);
    QCOMPARE(registry.Value(), QVariant(readBack));
}

void tst_cRegistry::unsuitableWritesRaiseAndKeepTheOldValue_data() {
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<qint32>("valueType");
    QTest::addColumn<qint32>("number");
    QTest::addColumn<QString>("description");
    const QString failed = QStringLiteral(
        "Failed to set registry value Key: '-2147483646',Section: 'Writes',Key: 'Kept' to value: "
        "'%1'");
    QTest::newRow("no type") << QVariant("x") << 0 << cRegistry::ErrSetFailed << failed.arg("x");
    QTest::newRow("unknown type") << QVariant("x") << 9 << cRegistry::ErrSetFailed
                                  << failed.arg("x");
    QTest::newRow("boolean as dword")
        << QVariant(false) << 4 << cRegistry::ErrSetFailed << failed.arg("False");
    QTest::newRow("text as dword")
        << QVariant("12") << 4 << cRegistry::ErrSetFailed << failed.arg("12");
    QTest::newRow("too large for dword")
        << QVariant(qint64(1) << 40) << 4 << cRegistry::ErrSetFailed << failed.arg("1099511627776");
    QTest::newRow("text as binary") << QVariant("abc") << 3 << cRegistry::ErrKeyOperation
                                    << AppError::StandardDescription(26001);
}

void tst_cRegistry::unsuitableWritesRaiseAndKeepTheOldValue() {
    QFETCH(QVariant, value);
    QFETCH(qint32, valueType);
    QFETCH(qint32, number);
    QFETCH(QString, description);
    cRegistry registry = At(HKEY_LOCAL_MACHINE, "Writes", "Kept", REG_SZ);
    registry.setValue(QStringLiteral("old"));
    registry.setValueType(valueType);
    const AppError error = Raised([&] { registry.setValue(value); });
    QCOMPARE(error.Number, number);
    QCOMPARE(error.Description, description);
    QCOMPARE(error.Source, Source);
    QCOMPARE(registry.Value(), QVariant("old"));
}

void tst_cRegistry::keyOperationsAndTheirErrors() {
    cRegistry registry = At(HKEY_CURRENT_USER, "Ops\\Deep");
    QVERIFY(!registry.KeyExists());
    QVERIFY(registry.CreateKey());
    QVERIFY(registry.KeyExists());

    registry.setValueKey("gone");
    registry.setValueType(REG_SZ);
    registry.setValue(QStringLiteral("v"));
    QVERIFY(registry.DeleteValue());
    QCOMPARE(registry.Value(), QVariant());
    AppError error = Raised([&] { registry.DeleteValue(); });
    QCOMPARE(error.Number, 26001);
    QCOMPARE(error.Description,
             QStringLiteral("Failed to delete registry Key: '-2147483647',Section: 'Ops\\Deep',"
                            "Key: 'gone"));

    registry.setSectionKey("Ops\\Missing");
    error = Raised([&] { registry.DeleteValue(); });
    QCOMPARE(error.Description, QStringLiteral("Failed to open key '-2147483647',Section: "
                                               "'Ops\\Missing' for delete access"));

    registry.setSectionKey("Ops");  // has a subkey: the store refuses
    error = Raised([&] { registry.DeleteKey(); });
    QCOMPARE(error.Number, 26001);
    QCOMPARE(error.Description,
             QStringLiteral("Failed to delete registry Key: '-2147483647',Section: 'Ops"));
    QCOMPARE(error.Source, Source);
    registry.setSectionKey("Ops\\Deep");
    QVERIFY(registry.DeleteKey());
    QVERIFY(!registry.KeyExists());

    registry.setClassKey(0);
    error = Raised([&] { registry.CreateKey(); });
    QCOMPARE(error.Number, 26001);
    QCOMPARE(error.Description, QStringLiteral("Failed to create registry Key: 'Ops\\Deep"));
}

void tst_cRegistry::enumerationsAreCompleteAndQuietWhenKeyIsMissing() {
    cRegistry registry = At(HKEY_USERS, "Enum", {}, REG_SZ);
    for (const char* name : {"First", "a-rather-longer-value-name", "Third"}) {
        registry.setValueKey(name);
        registry.setValue(name);
    }
    for (const char* sub : {"Beta", "alpha"}) {
        registry.setSectionKey(QStringLiteral("Enum\\") + sub);
        registry.CreateKey();
    }
    registry.setSectionKey("Enum");
    QStringList names{"stale"};
    qint32 count = -1;
    QVERIFY(registry.EnumerateValues(names, count));
    QCOMPARE(count, 3);
    QCOMPARE(names, QStringList({"First", "a-rather-longer-value-name", "Third"}));
    QVERIFY(registry.EnumerateSections(names, count));
    QCOMPARE(count, 2);
    QCOMPARE(names, QStringList({"alpha", "Beta"}));

    registry.setSectionKey("Enum\\Nothing");
    QVERIFY(registry.EnumerateValues(names, count));
    QCOMPARE(count, 0);
    QVERIFY(names.isEmpty());
    names << "stale";
    QVERIFY(registry.EnumerateSections(names, count));
    QCOMPARE(count, 0);
    QVERIFY(names.isEmpty());
}

void tst_cRegistry::fileAssociationIsWrittenToBothClassRoots() {
    cRegistry registry = At(HKEY_CURRENT_USER, "Before", "kept", REG_DWORD);
    registry.CreateEXEAssociation("  /opt/zs/zsnd ", "ZS.Sound", "Zephyrion sound", "snd", "", true,
                                  "", false, "", true, "Add it", 2);
    QCOMPARE(registry.ClassKey(), HKEY_LOCAL_MACHINE);
    QCOMPARE(registry.SectionKey(), QStringLiteral("Before"));
    QCOMPARE(registry.ValueKey(), QString());

    const QList<QPair<QString, QString>> expected = {
        {".snd", "ZS.Sound"},
        {"ZS.Sound", "Zephyrion sound"},
        {"ZS.Sound\\shell\\open", "&Open"},
        {"ZS.Sound\\shell\\open\\command", "\"/opt/zs/zsnd\" \"%1\""},
        {"ZS.Sound\\shell\\print", "&Print"},
        {"ZS.Sound\\shell\\print\\command", "\"/opt/zs/zsnd\" /p \"%1\""},
        {"ZS.Sound\\shell\\add", "Add it"},
        {"ZS.Sound\\shell\\add\\command", "\"/opt/zs/zsnd\" /a \"%1\""},
        {"ZS.Sound\\DefaultIcon", "\"/opt/zs/zsnd\",2"},
    };
    for (const auto& [section, text] : expected) {
        const QByteArray bytes = text.toUtf8().append('\0');
        QCOMPARE(Stored(HKEY_CLASSES_ROOT, section, ""), qMakePair(REG_SZ, bytes));
        QCOMPARE(Stored(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\" + section, ""),
                 qMakePair(REG_SZ, bytes));
    }
    QVERIFY(!At(HKEY_CLASSES_ROOT, "ZS.Sound\\shell\\new").KeyExists());

    // An already quoted path is not quoted again; a negative icon index writes no icon.
    registry.CreateEXEAssociation("\"/opt/z s/zsnd\"", "ZS.Other", "Other", "wsd");
    QCOMPARE(Stored(HKEY_CLASSES_ROOT, "ZS.Other\\shell\\open\\command", "").second,
             QByteArray("\"/opt/z s/zsnd\" \"%1\"", 21));
    QVERIFY(!At(HKEY_CLASSES_ROOT, "ZS.Other\\DefaultIcon").KeyExists());
}

void tst_cRegistry::additionalAssociationsCheckTheirInput() {
    cRegistry registry;
    AppError error = Raised([&] {
        registry.CreateAdditionalEXEAssociations("ZS.Extra", {"play", "&Play"});
    });
    QCOMPARE(error.Number, cRegistry::ErrBadItemList);
    QCOMPARE(error.Description, QStringLiteral("Invalid parameter list passed to "
                                               "CreateAdditionalEXEAssociations - expected "
                                               "Name/Text/Command"));
    error = Raised([&] {
        registry.CreateAdditionalEXEAssociations("ZS.Extra", {"play", "&Play", "zsnd %1"});
    });
    QCOMPARE(error.Number, cRegistry::ErrClassUndefined);
    QCOMPARE(error.Description, QStringLiteral("Error - attempt to create additional "
                                               "associations before class defined."));
    QCOMPARE(error.Source, Source);

    // Right after registering the class (which leaves the root at
    // HKEY_LOCAL_MACHINE) the class is found.
    registry.CreateEXEAssociation("/opt/zs/zsnd", "ZS.Extra", "Extra", "xtr");
    registry.CreateAdditionalEXEAssociations(
        "ZS.Extra", {"play", "&Play", "zsnd -p %1", "conv", "&Convert", "zsnd -c %1"});
    QCOMPARE(registry.SectionKey(), QStringLiteral("ZS.Extra"));
    QCOMPARE(Stored(HKEY_CLASSES_ROOT, "ZS.Extra\\shell\\play", "").second, QByteArray("&Play", 6));
    QCOMPARE(
        Stored(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\ZS.Extra\\shell\\conv\\command", "").second,
        QByteArray("zsnd -c %1", 11));
}

void tst_cRegistry::programSettingsSurviveARestart() {
    {
        cRegistry registry = At(HKEY_LOCAL_MACHINE, SettingsKey, "LastDirectory", REG_SZ);
        QCOMPARE(registry.Value(), QVariant());
        registry.setValue(QStringLiteral("/home/user/Sounds"));
        registry.setValueKey("AutoPlay");
        registry.setValue(1);
    }
    RegistryStore::CloseShared();  // the next run opens the file afresh

    cRegistry registry = At(HKEY_LOCAL_MACHINE, SettingsKey.toUpper(), "lastdirectory", REG_SZ);
    QCOMPARE(registry.Value(), QVariant(QStringLiteral("/home/user/Sounds")));
    registry.setValueKey("AutoPlay");
    QCOMPARE(registry.Value().toString().toShort(), qint16(1));
    QVERIFY(RegistryStore::TakeRecoveryNotice().isEmpty());
}

void tst_cRegistry::fullDiskKeepsTheOldValue() {
    const QString unshare = QStandardPaths::findExecutable("unshare");
    if (unshare.isEmpty()) QSKIP("unshare is not installed: the full-disk case needs a tmpfs");
    QTemporaryDir mountPoint;
    QVERIFY(mountPoint.isValid());
    QProcess child;
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(unshare, {"-m", "sh", "-c",
                          "mount -t tmpfs -o size=1m zs-full \"$0\" && exec \"$1\" --full-disk "
                          "\"$0\"",
                          mountPoint.path(), QCoreApplication::applicationFilePath()});
    QVERIFY(child.waitForFinished(120000));
    const QString output = QString::fromLocal8Bit(child.readAll());
    if (!output.contains("full-disk child started"))
        QSKIP(qPrintable("cannot mount a private tmpfs here (needs root): " + output.trimmed()));
    QVERIFY2(child.exitCode() == 0,
             qPrintable(QStringLiteral("child exit %1: %2").arg(child.exitCode()).arg(output)));
}

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args.at(1) == QLatin1String("--full-disk"))
        return RunFullDisk(args.at(2));
    tst_cRegistry test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_cRegistry.moc"
