#include <archive.h>
#include <archive_entry.h>

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

#include "AppError.h"
#include "Replacement.h"
#include "SoundFixtures.h"
#include "SoundPack.h"

using namespace Replace;

namespace {

// One entry of a zip made by hand; `link` makes it a symbolic link to that
// target.
struct Entry {
    QByteArray name;
    QByteArray bytes;
    QByteArray link = {};
};

void MakeZip(const QString& path, const QList<Entry>& entries) {
    archive* a = archive_write_new();
    archive_write_set_format_zip(a);
    archive_write_zip_set_compression_deflate(a);
    QVERIFY(archive_write_open_filename(a, QFile::encodeName(path).constData()) == ARCHIVE_OK);
    for (const Entry& e : entries) {
        archive_entry* entry = archive_entry_new();
        archive_entry_set_pathname(entry, e.name.constData());
        if (e.link.isEmpty()) {
            archive_entry_set_filetype(entry, AE_IFREG);
            archive_entry_set_size(entry, e.bytes.size());
        } else {
            archive_entry_set_filetype(entry, AE_IFLNK);
            archive_entry_set_symlink(entry, e.link.constData());
        }
        archive_entry_set_perm(entry, 0644);
        QCOMPARE(archive_write_header(a, entry), ARCHIVE_OK);
        if (!e.bytes.isEmpty()) archive_write_data(a, e.bytes.constData(), size_t(e.bytes.size()));
        archive_entry_free(entry);
    }
    archive_write_close(a);
    archive_write_free(a);
}

QByteArray Zip(const QList<Entry>& entries) {
    QTemporaryDir dir;
    MakeZip(dir.filePath("z.zip"), entries);
    return Fixtures::ReadFile(dir.filePath("z.zip"));
}

QByteArray Sha(const QByteArray& bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

// A manifest listing `files` (name → bytes) as replacing `stock`.
Entry Manifest(const QList<std::pair<QByteArray, QByteArray>>& files, const QByteArray& stock) {
    QJsonArray list;
    for (const auto& [name, bytes] : files)
        list.append(QJsonObject{{"name", QString(name)},
                                {"stock_sha256", QString(Sha(stock))},
                                {"sha256", QString(Sha(bytes))},
                                {"size", bytes.size()}});
    return {"manifest.json",
            QJsonDocument(
                QJsonObject{{"format", "zephyra-sound-pack"}, {"version", 1}, {"files", list}})
                .toJson()};
}

}  // namespace

class tst_SoundPack : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString folder_;
    QByteArray stock_ = Fixtures::GameFile({0, 412, -1, 22050, 16, 1, 0}, Fixtures::Samples(8000));
    QByteArray mine_ = Fixtures::GameFile({0, 412, -1, 22050, 16, 1, 0}, Fixtures::Samples(600));

    void MakeFolder() {
        folder_ = dir_.path() + "/game";
        QDir(folder_).removeRecursively();
        QVERIFY(QDir().mkpath(folder_));
        QVERIFY(Fixtures::WriteFile(folder_ + "/A.SND", stock_));
        QVERIFY(Fixtures::WriteFile(folder_ + "/B.WSD", stock_));
    }

private slots:
    void initTestCase() { QVERIFY(dir_.isValid()); }

    // Each row: the zip's entries (or raw bytes), and a phrase of the refusal.
    // A refused pack writes nothing: the folder keeps its bytes and gets no store.
    void hostilePacks_data() {
        QTest::addColumn<QList<Entry>>("entries");
        QTest::addColumn<QByteArray>("raw");
        QTest::addColumn<QString>("refusal");
        const QList<std::pair<QByteArray, QByteArray>> one{{"A.SND", mine_}};
        const Entry m = Manifest(one, stock_);
        auto row = [&](const char* name, QList<Entry> entries, const QString& refusal) {
            QTest::newRow(name) << entries << QByteArray() << refusal;
        };
        row("parent folder", {{"../A.SND", mine_}, m}, "climbs out of the folder");
        row("parent, backslash", {{"..\\A.SND", mine_}, m}, "climbs out of the folder");
        row("deep parent", {{"x/../../A.SND", mine_}, m}, "climbs out of the folder");
        row("absolute", {{"/tmp/A.SND", mine_}, m}, "is an absolute path");
        row("drive letter", {{"C:A.SND", mine_}, m}, "names a drive");
        row("sub-folder", {{"sounds/A.SND", mine_}, m}, "is in a sub-folder");
        row("symbolic link", {{"A.SND", {}, "/etc/passwd"}, m}, "is a link");
        QByteArray sameSize = mine_;
        sameSize[sameSize.size() - 1] = char(sameSize.back() ^ 1);
        row("bytes of the listed size, not the listed hash", {{"A.SND", sameSize}, m},
            "does not match its SHA-256");
        row("not a sound", {{"A.SND", mine_}, {"run.sh", "#!/bin/sh\n"}, m},
            "is not a sound file of the game's types");
        row("duplicate", {{"A.SND", mine_}, {"A.SND", mine_}, m}, "appears twice");
        row("duplicate in another case", {{"A.SND", mine_}, {"a.snd", mine_}, m}, "appears twice");
        row("no manifest", {{"A.SND", mine_}}, "is missing");
        row("bytes not as listed", {{"A.SND", stock_}, m}, "does not match its SHA-256");
        row("unlisted sound", {{"A.SND", mine_}, {"B.WSD", mine_}, m}, "is not listed");
        const QByteArray text = "eighteen bytes...\n";
        row("text named as a sound", {{"A.SND", text}, Manifest({{"A.SND", text}}, stock_)},
            "is not a sound the program accepts");
        const QByteArray lying = Fixtures::GameFile({0, 1, 99999, 22050, 16, 1, 0}, "ab");
        row("header longer than the entry",
            {{"A.SND", lying}, Manifest({{"A.SND", lying}}, stock_)},
            "is not a sound the program accepts");
        Entry wrongShape = m;
        const QByteArray size = QByteArray::number(mine_.size());
        wrongShape.bytes.replace("\"size\": " + size, "\"size\": \"" + size + "\"");
        row("manifest size as text", {{"A.SND", mine_}, wrongShape}, "is not well formed");
        row("listed, absent",
            {Manifest({{"A.SND", mine_}, {"B.WSD", mine_}}, stock_), {"A.SND", mine_}},
            "is listed but missing");
        // 300 MiB of zeros pack into about 300 KiB.
        row("bomb beyond 256 MiB", {{"A.SND", QByteArray(300 << 20, '\0')}, m}, "zip bomb");
        row("bomb at 1000 to 1", {{"A.SND", QByteArray(20 << 20, '\0')}, m}, "zip bomb");
        // The zip writer refuses to store a named pipe: its entry is marked by hand.
        QByteArray fifo = Zip({{"A.SND", mine_}, m});
        const qsizetype central = fifo.indexOf(QByteArray("PK\x01\x02", 4));
        fifo[central + 5] = 3;            // made on Unix
        fifo[central + 40] = char(0xA4);  // the high half of its attributes: 010644
        fifo[central + 41] = char(0x11);
        QTest::newRow("a named pipe") << QList<Entry>() << fifo << "is not a plain file";
        QTest::newRow("not a zip")
            << QList<Entry>() << QByteArray("PK\x03\x04 nothing more") << "damaged";
    }

    void hostilePacks() {
        QFETCH(QList<Entry>, entries);
        QFETCH(QByteArray, raw);
        QFETCH(QString, refusal);
        MakeFolder();
        const QString zip = dir_.path() + "/hostile.zip";
        if (raw.isEmpty())
            MakeZip(zip, entries);
        else
            QVERIFY(Fixtures::WriteFile(zip, raw));
        const QStringList before = Fixtures::Entries(folder_);
        for (const bool force : {false, true}) {
            try {
                ApplyPack(zip, folder_, force);
                QFAIL("the pack was applied");
            } catch (const AppError& e) {
                QVERIFY2(e.Description.contains(refusal), qPrintable(e.Description));
                QCOMPARE(e.Number, ErrNo::InvalidFileFormat);
            }
        }
        QCOMPARE(Fixtures::Entries(folder_), before);
        QCOMPARE(Fixtures::ReadFile(folder_ + "/A.SND"), stock_);
    }

    // A pack damaged anywhere is refused, never half applied.
    void damagedPacks() {
        MakeFolder();
        const QString zip = dir_.path() + "/good.zip";
        MakeZip(zip, {{"A.SND", mine_}, Manifest({{"A.SND", mine_}}, stock_)});
        const QByteArray good = Fixtures::ReadFile(zip);
        for (qsizetype cut : {good.size() / 4, good.size() / 2, good.size() - 10}) {
            QVERIFY(Fixtures::WriteFile(zip, good.left(cut)));
            QVERIFY_THROWS_EXCEPTION(AppError, ApplyPack(zip, folder_, true));
        }
        for (qsizetype at = 60; at < good.size() - 200; at += 97) {
            QByteArray bad = good;
            bad[at] = char(bad[at] ^ 0x5a);
            QVERIFY(Fixtures::WriteFile(zip, bad));
            QVERIFY_THROWS_EXCEPTION(AppError, ApplyPack(zip, folder_, true));
            QCOMPARE(Fixtures::ReadFile(folder_ + "/A.SND"), stock_);
        }
        QCOMPARE(Fixtures::Entries(folder_), (QStringList{"A.SND", "B.WSD"}));
    }

    // Whatever pack writes, apply takes: the limits on a pack's texts grow
    // with the sounds it holds.
    void largePackRoundTrips() {
        constexpr int kSounds = 5000;
        QTemporaryDir shm(QDir("/dev/shm").exists() ? "/dev/shm/zs-pack-XXXXXX"
                                                    : QDir::tempPath() + "/zs-pack-XXXXXX");
        const QString modded = shm.path() + "/modded", fresh = shm.path() + "/fresh";
        QList<Entry> entries;
        QList<std::pair<QByteArray, QByteArray>> listed;
        for (const QString& folder : {modded, fresh}) QVERIFY(QDir().mkpath(folder));
        for (int i = 0; i < kSounds; ++i) {
            const QByteArray name = QByteArray("SOUND_") + QByteArray::number(i) + ".SND";
            const QByteArray bytes = Fixtures::GameFile({0, i, -1, 22050, 16, 1, 0},
                                                        QByteArray::number(i).rightJustified(8));
            for (const QString& folder : {modded, fresh})
                QVERIFY(Fixtures::WriteFile(folder + "/" + name, stock_));
            entries << Entry{name, bytes};
            listed << std::pair{name, bytes};
        }
        entries << Manifest(listed, stock_);
        MakeZip(shm.path() + "/given.zip", entries);
        QCOMPARE(ApplyPack(shm.path() + "/given.zip", modded, false).ToChange(), kSounds);
        QCOMPARE(WritePack(modded, shm.path() + "/round.zip").size(), kSounds);
        QCOMPARE(ApplyPack(shm.path() + "/round.zip", fresh, false).ToChange(), kSounds);
        QCOMPARE(Fixtures::ReadFile(fresh + "/SOUND_4999.SND"), listed.last().second);
    }

    // Silence packs very small and is still a sound: 12 MiB of it is taken.
    void silenceIsNotABomb() {
        MakeFolder();
        const QByteArray silent =
            Fixtures::GameFile({0, 412, -1, 22050, 16, 1, 0}, QByteArray(12 << 20, '\0'));
        const QString zip = dir_.path() + "/silent.zip";
        MakeZip(zip, {{"A.SND", silent}, Manifest({{"A.SND", silent}}, stock_)});
        ApplyPack(zip, folder_, false);
        QCOMPARE(Fixtures::ReadFile(folder_ + "/A.SND"), silent);
    }

    // A target replaced before counts as the stock sound a pack expects only
    // when the original kept for it is that sound.
    void replacedTargetsAreJudgedByTheirOriginal() {
        MakeFolder();
        QVERIFY(Fixtures::WriteFile(dir_.path() + "/src.wav",
                                    Fixtures::WavFile({}, Fixtures::Samples(500))));
        QVERIFY(Fixtures::WriteFile(folder_ + "/A.SND", mine_));  // another stock sound
        for (const char* name : {"/A.SND", "/B.WSD"})
            ReplaceSound(folder_ + name, dir_.path() + "/src.wav", TargetLike(folder_ + name));
        const QByteArray theirs = Fixtures::GameFile({0, 1, -1, 22050, 16, 1, 0}, "abcd");
        const QString zip = dir_.path() + "/theirs.zip";
        MakeZip(zip, {{"A.SND", theirs},
                      {"B.WSD", theirs},
                      Manifest({{"A.SND", theirs}, {"B.WSD", theirs}}, stock_)});
        QStringList actions;
        for (const PlannedFile& p : CheckPack(zip, folder_).Files)
            actions << p.File.Name + (p.Action == PackAction::Replace ? "=replace" : "=mismatch");
        QCOMPARE(actions, (QStringList{"A.SND=mismatch", "B.WSD=replace"}));
    }

    // Export, then apply to a fresh copy of the stock folder; a target that is
    // not the stock sound is refused by name unless forced; restore gives back
    // the stock bytes.
    void exportApplyRestore() {
        MakeFolder();
        QVERIFY(Fixtures::WriteFile(dir_.path() + "/src.wav",
                                    Fixtures::WavFile({}, Fixtures::Samples(4000))));
        ReplaceSound(folder_ + "/A.SND", dir_.path() + "/src.wav", TargetLike(folder_ + "/A.SND"));
        ReplaceSound(folder_ + "/B.WSD", dir_.path() + "/src.wav", TargetLike(folder_ + "/B.WSD"));
        const QString zip = dir_.path() + "/mine.zip";
        // A replaced file changed since is refused by name, unless forced.
        const QByteArray replacedB = Fixtures::ReadFile(folder_ + "/B.WSD");
        QVERIFY(Fixtures::WriteFile(folder_ + "/B.WSD", replacedB + "junk"));
        try {
            WritePack(folder_, zip);
            QFAIL("packed a file changed since it was replaced");
        } catch (const AppError& e) {
            QVERIFY2(e.Description.contains("B.WSD changed"), qPrintable(e.Description));
        }
        QVERIFY(!QFile::exists(zip));
        QCOMPARE(WritePack(folder_, zip, true).size(), 2);
        QVERIFY(Fixtures::WriteFile(folder_ + "/B.WSD", replacedB));
        QCOMPARE(WritePack(folder_, zip).size(), 2);

        const QString fresh = dir_.path() + "/fresh";
        QDir(fresh).removeRecursively();
        QVERIFY(QDir().mkpath(fresh));
        QVERIFY(Fixtures::WriteFile(fresh + "/A.SND", stock_));
        QVERIFY(Fixtures::WriteFile(fresh + "/B.WSD", "changed by hand"));
        try {
            ApplyPack(zip, fresh, false);
            QFAIL("applied over a changed file");
        } catch (const AppError& e) {
            QVERIFY2(e.Description.contains("B.WSD: not the stock sound"),
                     qPrintable(e.Description));
            QVERIFY(!e.Description.contains("A.SND"));
        }
        QCOMPARE(Fixtures::Entries(fresh), (QStringList{"A.SND", "B.WSD"}));
        QVERIFY(Fixtures::WriteFile(fresh + "/B.WSD", stock_));
        const PackPlan plan = ApplyPack(zip, fresh, false);
        QCOMPARE(plan.ToChange(), 2);
        for (const char* name : {"/A.SND", "/B.WSD"})
            QCOMPARE(Fixtures::ReadFile(fresh + name), Fixtures::ReadFile(folder_ + name));
        // Applying it again changes nothing; a restore brings the stock back.
        QCOMPARE(ApplyPack(zip, fresh, false).ToChange(), 0);
        QVERIFY(RestoreFiles(fresh, {}, false).Refused.isEmpty());
        for (const char* name : {"/A.SND", "/B.WSD"})
            QCOMPARE(Fixtures::ReadFile(fresh + name), stock_);
    }
};

QTEST_GUILESS_MAIN(tst_SoundPack)
#include "tst_SoundPack.moc"
