#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QPluginLoader>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>
#include <memory>

namespace {

struct Run {
    int exitCode = -1;
    QString output;
};

Run RunTool(const QString& program, const QStringList& arguments) {
    Run run;
    if (QStandardPaths::findExecutable(program).isEmpty() && !QFileInfo(program).isExecutable()) {
        run.output = program + QStringLiteral(" is not installed (scripts/deps installs it)");
        return run;
    }
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    process.waitForFinished(240000);
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.output = QString::fromLocal8Bit(process.readAll());
    return run;
}

// The keys of a desktop entry's [Desktop Entry] group.
QHash<QString, QString> ReadDesktopEntry(const QString& path) {
    QFile file(path);
    QHash<QString, QString> keys;
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return keys;
    bool inEntry = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inEntry = line == QStringLiteral("[Desktop Entry]");
        } else if (inEntry && line.contains(QLatin1Char('='))) {
            keys.insert(line.section(QLatin1Char('='), 0, 0), line.section(QLatin1Char('='), 1));
        }
    }
    return keys;
}

struct Metainfo {
    QString id;
    QString launchable;
    QStringList binaries;
};

Metainfo ReadMetainfo(const QString& path) {
    QFile file(path);
    Metainfo info;
    if (!file.open(QIODevice::ReadOnly)) return info;
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) continue;
        if (xml.name() == QStringLiteral("id")) info.id = xml.readElementText();
        if (xml.name() == QStringLiteral("launchable")) info.launchable = xml.readElementText();
        if (xml.name() == QStringLiteral("binary")) info.binaries << xml.readElementText();
    }
    return info;
}

}  // namespace

class tst_Install : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void programsAreInstalled();
    void desktopEntryIsValidAndComplete();
    void metainfoIsValidAndMatchesTheEntry();
    void iconIsInstalledInEveryThemeSize();
#ifdef ZS_DESIGNER_PLUGIN_DIR
    void designerPluginLoadsFromTheInstalledTree();
#endif

private:
    QString Path(const QString& relative) const {
        return prefix_->filePath(relative);
    }
    QString Data(const QString& relative) const {
        return Path(QStringLiteral(ZS_DATADIR "/") + relative);
    }
    QString DesktopFile() const;

    std::unique_ptr<QTemporaryDir> prefix_;
    QString appId_;
};

void tst_Install::initTestCase() {
    prefix_ = std::make_unique<QTemporaryDir>();
    QVERIFY(prefix_->isValid());
    const Run install = RunTool(QStringLiteral(ZS_CMAKE),
                                {QStringLiteral("--install"), QStringLiteral(ZS_BUILD_DIR),
                                 QStringLiteral("--prefix"), prefix_->path()});
    QVERIFY2(install.exitCode == 0, qPrintable(install.output));

    const QStringList entries = QDir(Data(QStringLiteral("applications")))
                                    .entryList({QStringLiteral("*.desktop")}, QDir::Files);
    QCOMPARE(entries.size(), 1);
    appId_ = QFileInfo(entries.first()).completeBaseName();
}

QString tst_Install::DesktopFile() const {
    return Data(QStringLiteral("applications/%1.desktop").arg(appId_));
}

void tst_Install::programsAreInstalled() {
    for (const char* program : {"zephyra-sound-utility", "zsnd"}) {
        const QFileInfo file(Path(QStringLiteral(ZS_BINDIR "/") + QLatin1String(program)));
        QVERIFY2(file.isFile() && file.isExecutable(), program);
    }
}

void tst_Install::desktopEntryIsValidAndComplete() {
    const Run check = RunTool(QStringLiteral("desktop-file-validate"), {DesktopFile()});
    QVERIFY2(check.exitCode == 0 && check.output.trimmed().isEmpty(), qPrintable(check.output));

    const QHash<QString, QString> entry = ReadDesktopEntry(DesktopFile());
    QCOMPARE(entry.value(QStringLiteral("Icon")), appId_);
    QVERIFY(entry.value(QStringLiteral("Categories"))
                .split(QLatin1Char(';'))
                .contains(QStringLiteral("Audio")));
    // The program it starts is one that was installed.
    const QString program = entry.value(QStringLiteral("Exec")).section(QLatin1Char(' '), 0, 0);
    QVERIFY(QFileInfo(Path(QStringLiteral(ZS_BINDIR "/") + program)).isExecutable());
}

void tst_Install::metainfoIsValidAndMatchesTheEntry() {
    const QString path = Data(QStringLiteral("metainfo/%1.metainfo.xml").arg(appId_));
    const Run check = RunTool(QStringLiteral("appstreamcli"),
                              {QStringLiteral("validate"), QStringLiteral("--no-net"), path});
    QVERIFY2(check.exitCode == 0, qPrintable(check.output));

    const Metainfo info = ReadMetainfo(path);
    QCOMPARE(info.id, appId_);
    QCOMPARE(info.launchable, QFileInfo(DesktopFile()).fileName());
    QCOMPARE(info.binaries,
             QStringList({QStringLiteral("zephyra-sound-utility"), QStringLiteral("zsnd")}));
    for (const QString& binary : info.binaries) {
        QVERIFY2(QFileInfo(Path(QStringLiteral(ZS_BINDIR "/") + binary)).isExecutable(),
                 qPrintable(binary));
    }
}

void tst_Install::iconIsInstalledInEveryThemeSize() {
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString path =
            Data(QStringLiteral("icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(appId_));
        QImageReader reader(path);
        QVERIFY2(reader.canRead(), qPrintable(path));
        QCOMPARE(reader.size(), QSize(size, size));
    }
    QFile svg(Data(QStringLiteral("icons/hicolor/scalable/apps/%1.svg").arg(appId_)));
    QVERIFY(svg.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&svg);
    QVERIFY(xml.readNextStartElement());
    QCOMPARE(xml.name(), QStringLiteral("svg"));
}

#ifdef ZS_DESIGNER_PLUGIN_DIR
void tst_Install::designerPluginLoadsFromTheInstalledTree() {
    const QString folder = QStringLiteral(ZS_DESIGNER_PLUGIN_DIR);
    const QStringList plugins = QDir(Path(folder)).entryList({QStringLiteral("*.so")}, QDir::Files);
    QCOMPARE(plugins.size(), 1);
    QPluginLoader loader(Path(folder + QLatin1Char('/') + plugins.first()));
    QVERIFY2(loader.load(), qPrintable(loader.errorString()));
    QVERIFY(loader.instance()->inherits("ControlsCollection"));
}
#endif

QTEST_MAIN(tst_Install)
#include "tst_Install.moc"
