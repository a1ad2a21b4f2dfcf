#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QMimeDatabase>
#include <QPluginLoader>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>
#include <memory>

#include "SoundFixtures.h"

namespace {

struct Run {
    int exitCode = -1;
    QString output;
};

Run RunTool(const QString& program, const QStringList& arguments,
            const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
    Run run;
    if (QStandardPaths::findExecutable(program).isEmpty() && !QFileInfo(program).isExecutable()) {
        run.output = program + QStringLiteral(" is not installed (scripts/deps installs it)");
        return run;
    }
    QProcess process;
    process.setProcessEnvironment(environment);
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

// The value of `key` in the output of `gio info`.
QString GioAttribute(const QString& output, const QString& key) {
    for (const QString& line : output.split(QLatin1Char('\n'))) {
        const QString trimmed = line.trimmed();
        if (trimmed.startsWith(key + QLatin1String(": "))) return trimmed.mid(key.size() + 2);
    }
    return {};
}

// A Sun/NeXT audio file: ".snd", then five big-endian fields (data offset,
// length, encoding, rate, channels) and the samples.
QByteArray SunAudio(quint32 encoding, quint32 rate, quint32 channels) {
    QByteArray b(".snd");
    for (const quint32 field : {24u, 800u, encoding, rate, channels})
        for (int shift = 24; shift >= 0; shift -= 8) b.append(static_cast<char>(field >> shift));
    return b + Fixtures::Samples(800);
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
    void fileTypesOfTheInstalledDefinition_data();
    void fileTypesOfTheInstalledDefinition();
    void fileManagersOfferTheProgram();
    void manualPagesCoverEveryOption();
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
    // The desktop of initTestCase's data folder, with an empty per-user one.
    QProcessEnvironment DesktopEnvironment() const;

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

    // A desktop's data folder as a system installation leaves it: the
    // system's MIME definitions and ours compiled into one database, as the
    // package trigger does, and the installed menu entries. Every lookup here,
    // this process's own Qt one included, sees that folder alone.
    const QString share = Path(QStringLiteral("desktop-share"));
    QVERIFY(QDir().mkpath(share + QStringLiteral("/mime/packages")));
    QVERIFY(QFile::link(QStringLiteral("/usr/share/mime/packages/freedesktop.org.xml"),
                        share + QStringLiteral("/mime/packages/freedesktop.org.xml")));
    const QString definition = QStringLiteral("mime/packages/%1.xml").arg(appId_);
    QVERIFY(QFile::copy(Data(definition), share + QLatin1Char('/') + definition));
    QVERIFY(
        QFile::link(Data(QStringLiteral("applications")), share + QStringLiteral("/applications")));
    const Run update =
        RunTool(QStringLiteral("update-mime-database"), {share + QStringLiteral("/mime")});
    QVERIFY2(update.exitCode == 0, qPrintable(update.output));
    qputenv("XDG_DATA_DIRS", QFile::encodeName(share));
    qputenv("XDG_DATA_HOME", QFile::encodeName(Path(QStringLiteral("no-home"))));
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

QProcessEnvironment tst_Install::DesktopEnvironment() const {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_DATA_DIRS"), Path(QStringLiteral("desktop-share")));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), Path(QStringLiteral("no-home")));
    // A desktop entry counts only when its program is on the PATH.
    environment.insert(QStringLiteral("PATH"), Path(QStringLiteral(ZS_BINDIR)) + QLatin1Char(':') +
                                                   environment.value(QStringLiteral("PATH")));
    // xdg-mime asks the desktop's own tool; with no desktop it asks file(1),
    // which does not read the shared MIME database.
    environment.insert(QStringLiteral("XDG_CURRENT_DESKTOP"), QStringLiteral("GNOME"));
    return environment;
}

void tst_Install::fileTypesOfTheInstalledDefinition_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("type");
    using Fixtures::Game;
    const QByteArray samples = Fixtures::Samples(800);
    const QString game = QStringLiteral("audio/x-zephyrion-sound");
    const QString sun = QStringLiteral("audio/basic");
    QTest::newRow("game .snd, 16-bit stereo")
        << "song.snd" << Fixtures::GameFile(Game{}, samples) << game;
    QTest::newRow("game .SND, 8-bit mono")
        << "BOOM.SND" << Fixtures::GameFile(Game{.flag = 2, .bits = 8, .channels = 1}, samples)
        << game;
    QTest::newRow("game .snd with a lying length")
        << "liar.snd" << Fixtures::GameFile(Game{.length = 1 << 30}, samples) << game;
    QTest::newRow("game .wsd") << "ENGINE.WSD" << Fixtures::GameFile(Game{}, samples) << game;
    QTest::newRow("Sun .snd, mu-law mono") << "bell.snd" << SunAudio(1, 8000, 1) << sun;
    QTest::newRow("Sun .SND, 16-bit stereo") << "BELL.SND" << SunAudio(3, 22050, 2) << sun;
    QTest::newRow("canonical .wav")
        << "tone.wav" << Fixtures::WavFile(Fixtures::Wav{}, samples) << "audio/x-wav";
}

// The definition as installed decides every file's type: game files are ours, Sun/NeXT audio stays
// theirs whatever its extension's case, WAV files stay WAV files.
void tst_Install::fileTypesOfTheInstalledDefinition() {
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, type);
    const QString mime = Path(QStringLiteral("desktop-share/mime"));

    QTemporaryDir files;
    const QString path = files.filePath(name);
    QVERIFY(Fixtures::WriteFile(path, bytes));
    const Run gio =
        RunTool(QStringLiteral("gio"), {QStringLiteral("info"), path}, DesktopEnvironment());
    QVERIFY2(gio.exitCode == 0, qPrintable(gio.output));
    QCOMPARE(GioAttribute(gio.output, QStringLiteral("standard::content-type")), type);
    const QStringList icons =
        GioAttribute(gio.output, QStringLiteral("standard::icon")).split(QStringLiteral(", "));
    QCOMPARE(icons.first() == appId_, type.contains(QStringLiteral("zephyrion")));

    const Run query =
        RunTool(QStringLiteral("xdg-mime"),
                {QStringLiteral("query"), QStringLiteral("filetype"), path}, DesktopEnvironment());
    QCOMPARE(query.output.trimmed(), type);
    // Qt's own lookup, which KDE's file managers use, agrees.
    QCOMPARE(QMimeDatabase().mimeTypeForFile(path).name(), type);

    // The type's readable name, as the compiled database gives it to file managers.
    QFile compiled(mime + QStringLiteral("/audio/x-zephyrion-sound.xml"));
    QVERIFY(compiled.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&compiled);
    while (xml.readNextStartElement() && xml.name() != QStringLiteral("comment")) {
        if (xml.name() != QStringLiteral("mime-type")) xml.skipCurrentElement();
    }
    QCOMPARE(xml.readElementText(), QStringLiteral("Zephyrion game sound"));
}

// With the desktop database built, a file manager offers the program for game
// sounds and WAV files, and starts it with the file's path.
void tst_Install::fileManagersOfferTheProgram() {
    const QHash<QString, QString> entry = ReadDesktopEntry(DesktopFile());
    QCOMPARE(entry.value(QStringLiteral("Exec")), QStringLiteral("zephyra-sound-utility %f"));
    const Run update =
        RunTool(QStringLiteral("update-desktop-database"), {Data(QStringLiteral("applications"))});
    QVERIFY2(update.exitCode == 0, qPrintable(update.output));
    for (const char* type : {"audio/x-zephyrion-sound", "audio/x-wav"}) {
        const Run apps =
            RunTool(QStringLiteral("gio"), {QStringLiteral("mime"), type}, DesktopEnvironment());
        QVERIFY2(apps.output.contains(QFileInfo(DesktopFile()).fileName()),
                 qPrintable(apps.output));
    }
}

// Each program's manual page names every command and every option its --help
// and each command's --help name, and the desktop program's page the
// environment variables and files it uses.
void tst_Install::manualPagesCoverEveryOption() {
    struct Page {
        QString program;
        bool hasHelp;
        QStringList names;
    };
    const QList<Page> pages{{QStringLiteral("zsnd"), true, {}},
                            {QStringLiteral("zephyra-sound-utility"),
                             true,
                             {QStringLiteral("ZEPHYRA_REGISTRY"), QStringLiteral("ZEPHYRA_AUDIO"),
                              QStringLiteral("registry.sqlite3")}}};
    const QRegularExpression option(QStringLiteral("--[a-z][a-z-]*"));
    for (const Page& page : pages) {
        const QString path = Path(QStringLiteral(ZS_MANDIR "/man1/%1.1.gz").arg(page.program));
        const Run troff = RunTool(QStringLiteral("gzip"), {QStringLiteral("-dc"), path});
        QVERIFY2(troff.exitCode == 0, qPrintable(path + QLatin1Char(' ') + troff.output));
        QVERIFY2(troff.output.contains(QStringLiteral(".SH EXIT STATUS")), qPrintable(path));

        QStringList names = page.names;
        if (page.hasHelp) {
            const QString program = Path(QStringLiteral(ZS_BINDIR "/") + page.program);
            const Run help = RunTool(program, {QStringLiteral("--help")});
            QVERIFY2(help.exitCode == 0, qPrintable(help.output));
            QString texts = help.output;
            // Each command's own --help, and the command in the page's synopsis.
            const QRegularExpression command(QStringLiteral("^  %1 ([a-z]+) ").arg(page.program),
                                             QRegularExpression::MultilineOption);
            for (auto match = command.globalMatch(help.output); match.hasNext();) {
                const QString name = match.next().captured(1);
                const Run own = RunTool(program, {name, QStringLiteral("--help")});
                QVERIFY2(own.exitCode == 0, qPrintable(name + QLatin1Char(' ') + own.output));
                texts += own.output;
                names << QStringLiteral(".B %1 %2").arg(page.program, name);
            }
            for (auto match = option.globalMatch(texts); match.hasNext();) {
                // troff spells a dash that must stay a dash as "\-".
                names << match.next().captured().replace(QStringLiteral("-"),
                                                         QStringLiteral("\\-"));
            }
        }
        for (const QString& name : names) {
            QVERIFY2(troff.output.contains(name),
                     qPrintable(page.program + QStringLiteral(": ") + name));
        }
    }
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
