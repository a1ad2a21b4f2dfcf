#include <QTemporaryDir>
#include <QtTest>

#include "AppError.h"
#include "NativeName.h"
#include "Replacement.h"
#include "SignalFixtures.h"
#include "SoundFixtures.h"
#include "StoreFiles.h"

using namespace Replace;

namespace {

QString StateWord(FileState state) {
    switch (state) {
        case FileState::Replaced:
            return "replaced";
        case FileState::Changed:
            return "changed";
        case FileState::OriginalMissing:
            break;
    }
    return "missing";
}

}  // namespace

class tst_Replacement : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString folder_;
    QMap<QString, QByteArray> stock_;  // the files as the game shipped them
    QMap<QString, QByteArray> known_;  // what each replace wrote, by file name and step

    QString Path(const QString& name) const { return folder_ + "/" + name; }

    void MakeFolder() {
        folder_ = dir_.path() + "/game";
        QDir(folder_).removeRecursively();
        QVERIFY(QDir().mkpath(folder_));
        stock_ = {
            {"A.SND", Fixtures::GameFile({0, 412, -1, 22050, 16, 1, 0}, Fixtures::Samples(8000))},
            {"B.WSD", Fixtures::GameFile({2, 7, -1, 11025, 8, 1, 0}, Fixtures::Samples(3000))},
            {"C.WAV", Fixtures::WavFile({}, Fixtures::Samples(4000))},
            {"D.SND", Fixtures::GameFile({0, 9, -1, 22050, 16, 1, 0}, Tone(22050, 0.05))}};
        for (auto it = stock_.begin(); it != stock_.end(); ++it)
            QVERIFY(Fixtures::WriteFile(Path(it.key()), it.value()));
        known_.clear();
        const Fixtures::Wav loud{.channels = 2, .rate = 48000};
        QVERIFY(Fixtures::WriteFile(dir_.path() + "/one.wav",
                                    Fixtures::WavFile(loud, Fixtures::Samples(19200))));
        QVERIFY(Fixtures::WriteFile(
            dir_.path() + "/two.wav",
            Fixtures::WavFile({.channels = 1, .rate = 8000}, Fixtures::Samples(999 * 2))));
        QVERIFY(Fixtures::WriteSignal(dir_.path() + "/loud.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16,
                                      44100, 2, 44100, Fixtures::Sine(0.7, 440, 44100)));
    }

    // One second of a 1 kHz tone of `amplitude` as 16-bit mono samples.
    static QByteArray Tone(int rate, double amplitude) {
        QByteArray b;
        for (int f = 0; f < rate; ++f)
            Fixtures::Put16(
                b, qRound(32767 * amplitude * std::sin(2 * Fixtures::kPi * 1000 * f / rate)));
        return b;
    }

    // Runs one step "op:NAME"; returns what a restore said ("" or "refused").
    QString Step(const QString& step) {
        const QString op = step.section(':', 0, 0), name = step.section(':', 1);
        const QString path = Path(name);
        if (op == "r" || op == "r2" || op == "rl") {
            const QByteArray before = Fixtures::ReadFile(path);
            // "rl": a loud source, matched to the loudness of what it replaces.
            std::optional<LoudnessGoal> like;
            if (op == "rl") like = LoudnessGoal{LikeLoudness(path), -1.0};
            const QString source = op == "r" ? "/one.wav" : op == "r2" ? "/two.wav" : "/loud.flac";
            ReplaceSound(path, dir_.path() + source, TargetLike(path), {}, like);
            const QByteArray after = Fixtures::ReadFile(path);
            known_[name + (op == "rl" ? QString("r") : op)] = after;
            if (like && std::abs(LikeLoudness(path) - like->TargetLufs) > 0.2)
                return "loudness not matched";
            // The replacement takes the slot's identity: everything of the
            // header but the data length.
            if (!name.endsWith(".WAV")) {
                QList<qint32> was = Fixtures::GameFields(before), now = Fixtures::GameFields(after);
                was.removeAt(2), now.removeAt(2);
                if (was != now) return "identity lost";
            }
        } else if (op == "e") {
            Fixtures::WriteFile(path, "edited elsewhere");
        } else if (op == "d") {
            QFile::remove(path);
        } else if (op == "x") {
            QFile::remove(
                OriginalsStore(folder_).BlobPath(ManifestOf(folder_).Find(name)->OriginalSha));
        } else {
            const QStringList names = name.isEmpty() ? QStringList() : QStringList{name};
            const RestoreOutcome outcome = RestoreFiles(folder_, names, op == "R!");
            if (!outcome.Refused.isEmpty()) return "refused";
        }
        return {};
    }

    // "A=orig B=r" for the files of the folder, by the step that made them.
    QString Contents() {
        QStringList parts;
        for (auto it = stock_.begin(); it != stock_.end(); ++it) {
            const QByteArray now = Fixtures::ReadFile(Path(it.key()));
            QString word = !QFile::exists(Path(it.key()))         ? "gone"
                           : now == it.value()                    ? "orig"
                           : now == known_.value(it.key() + "r")  ? "r"
                           : now == known_.value(it.key() + "r2") ? "r2"
                                                                  : "other";
            if (word != "orig") parts << it.key().left(1) + "=" + word;
        }
        return parts.join(' ');
    }

    // Every copy in the store, with its bytes.
    QMap<QString, QByteArray> Blobs() const {
        QMap<QString, QByteArray> blobs;
        const QString dir = folder_ + "/.zephyra/blobs";
        for (const QString& name : Fixtures::Entries(dir))
            blobs.insert(name, Fixtures::ReadFile(dir + "/" + name));
        return blobs;
    }

    // The message of the AppError `call` throws, or "" when it throws none.
    template <typename Call>
    static QString Thrown(Call call) {
        try {
            call();
        } catch (const AppError& e) {
            return QString::number(e.Number) + " " + e.Description;
        }
        return {};
    }

    QString States() {
        const FolderStatus status = StatusOf(folder_);
        QStringList parts;
        for (const FileStatus& f : status.Files)
            parts << f.Record.Name.left(1) + "=" + StateWord(f.State);
        if (status.Interrupted) parts << "interrupted";
        return parts.join(' ');
    }

private slots:
    void initTestCase() { QVERIFY(dir_.isValid()); }

    // Each row: steps; what the restores said; the folder's files afterwards
    // (only those not as shipped); the status afterwards.
    void replaceRestoreStatus_data() {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("said");
        QTest::addColumn<QString>("contents");
        QTest::addColumn<QString>("states");
        QTest::newRow("replace") << "r:A.SND"
                                 << ""
                                 << "A=r"
                                 << "A=replaced";
        QTest::newRow("replace matching loudness") << "rl:D.SND"
                                                   << ""
                                                   << "D=r"
                                                   << "D=replaced";
        QTest::newRow("replace each type") << "r:A.SND r:B.WSD r:C.WAV"
                                           << ""
                                           << "A=r B=r C=r"
                                           << "A=replaced B=replaced C=replaced";
        QTest::newRow("replace, restore") << "r:A.SND R:A.SND"
                                          << ""
                                          << ""
                                          << "";
        QTest::newRow("twice keeps the first original") << "r:A.SND r2:A.SND R:A.SND"
                                                        << ""
                                                        << ""
                                                        << "";
        QTest::newRow("second replacement recorded") << "r:A.SND r2:A.SND"
                                                     << ""
                                                     << "A=r2"
                                                     << "A=replaced";
        QTest::newRow("changed elsewhere is refused") << "r:A.SND e:A.SND R:A.SND"
                                                      << "refused"
                                                      << "A=other"
                                                      << "A=changed";
        QTest::newRow("changed elsewhere, forced") << "r:A.SND e:A.SND R!:A.SND"
                                                   << ""
                                                   << ""
                                                   << "";
        QTest::newRow("removed counts as changed") << "r:B.WSD d:B.WSD"
                                                   << ""
                                                   << "B=gone"
                                                   << "B=changed";
        QTest::newRow("removed, forced back") << "r:B.WSD d:B.WSD R!:B.WSD"
                                              << ""
                                              << ""
                                              << "";
        QTest::newRow("original missing") << "r:A.SND x:A.SND"
                                          << ""
                                          << "A=r"
                                          << "A=missing";
        QTest::newRow("original missing, not even forced") << "r:A.SND x:A.SND R!:A.SND"
                                                           << "refused"
                                                           << "A=r"
                                                           << "A=missing";
        QTest::newRow("never replaced") << "R:A.SND"
                                        << "refused"
                                        << ""
                                        << "";
        QTest::newRow("folder restores all") << "r:A.SND r:B.WSD r:C.WAV R:"
                                             << ""
                                             << ""
                                             << "";
        QTest::newRow("folder all or nothing") << "r:A.SND r:B.WSD e:B.WSD R:"
                                               << "refused"
                                               << "A=r B=other"
                                               << "A=replaced B=changed";
        QTest::newRow("one restored, the other kept") << "r:A.SND r:B.WSD R:A.SND"
                                                      << ""
                                                      << "B=r"
                                                      << "B=replaced";
    }

    void replaceRestoreStatus() {
        QFETCH(QString, steps);
        QFETCH(QString, said);
        QFETCH(QString, contents);
        QFETCH(QString, states);
        MakeFolder();
        QStringList answers;
        for (const QString& step : steps.split(' ')) {
            const QString answer = Step(step);
            if (!answer.isEmpty()) answers << answer;
        }
        QCOMPARE(answers.join(' '), said);
        QCOMPARE(Contents(), contents);
        QCOMPARE(States(), states);
        // The store keeps the originals still recorded and nothing else.
        const ReplaceManifest manifest = ManifestOf(folder_);
        QCOMPARE(Fixtures::Entries(folder_ + "/.zephyra/blobs").size(),
                 manifest.Files().size() - (states.contains("missing") ? 1 : 0));
        QVERIFY(!QFile::exists(folder_ + "/.zephyra/journal.json"));
    }

    // A manifest read lazily from its own text, changed, gives the text and
    // the records the same changes give a manifest parsed in full.
    void lazyManifestMatchesParsed_data() {
        QTest::addColumn<QString>(
            "steps");  // c: change, r: remove, a: add; by number; l: look at all
        QTest::newRow("change the first") << "c0";
        QTest::newRow("change the last") << "c4";
        QTest::newRow("remove one in the middle") << "r2";
        QTest::newRow("remove the first and the last") << "r0 r4";
        QTest::newRow("remove the last, add two") << "r4 a5 a6";
        QTest::newRow("remove all") << "r0 r1 r2 r3 r4";
        QTest::newRow("add") << "a7";
        QTest::newRow("remove, add it back, change another") << "r1 a1 c3";
        QTest::newRow("change, then remove") << "c2 r2 a9";
        QTest::newRow("look without changing") << "";
        QTest::newRow("many looks between changes") << "c0 r1 l a8 c4 l r4";
    }

    void lazyManifestMatchesParsed() {
        QFETCH(QString, steps);
        ReplaceManifest parsed;
        const QDateTime at(QDate(2026, 5, 1), QTime(12, 0), Qt::UTC);
        const auto record = [&](int i, const char* source) {
            // Names a file system or a user may give: quotes, back-slashes,
            // control characters, non-ASCII, and bytes that are not UTF-8.
            static const QStringList odd{"quote\"", "back\\slash", "new\nline\t\x01",
                                         "caf\u00e9 \U0001F680", NativeName::Decode("\xff\xfe")};
            return ReplacedFile{QStringLiteral("F%1 %2.SND").arg(i).arg(odd[i % odd.size()]),
                                i,
                                QByteArray(64, char('a' + i)),
                                QByteArray(64, '1'),
                                at.addDays(i),
                                source};
        };
        for (int i = 0; i < 5; ++i) parsed.Add(record(i, "old"));
        const std::optional<ReplaceManifest> own =
            ReplaceManifest::FromOwnText(parsed.ToText(), "own");
        QVERIFY(own);
        ReplaceManifest lazy = *own;
        const ReplaceManifest base = lazy;
        QVERIFY(lazy.Find(record(4, "").Name));
        QStringList changed;
        for (const QString& step : steps.split(' ', Qt::SkipEmptyParts)) {
            const int i = step.mid(1).toInt();
            const ReplacedFile r = record(i, "new");
            if (step == "l") {
                for (int look = 0; look < 20; ++look)
                    QCOMPARE(std::as_const(lazy).Find(record(look % 5, "").Name) != nullptr,
                             parsed.Find(record(look % 5, "").Name) != nullptr);
                continue;
            }
            for (ReplaceManifest* m : {&parsed, &lazy}) {
                if (step[0] == 'c') *m->Find(r.Name) = r;
                if (step[0] == 'r') m->Remove({r.Name});
                if (step[0] == 'a') m->Add(r);
            }
            if (!changed.contains(r.Name)) changed << r.Name;
        }
        const QByteArray text = lazy.ToText();
        QCOMPARE(QJsonDocument::fromJson(text).object(), parsed.ToJson());
        QCOMPARE(ReplaceManifest::OriginalsIn(text), ReplaceManifest::OriginalsIn(parsed.ToText()));
        QStringList touched = lazy.ChangedFrom(base);
        touched.sort(), changed.sort();
        QCOMPARE(touched, changed);
        QCOMPARE(lazy.Files(), parsed.Files());
    }

    // A manifest that does not validate in full stops every command with a
    // way out, and no command removes a kept original because of it.
    void damagedManifestDeletesNothing_data() {
        QTest::addColumn<QByteArray>("manifest");
        const QByteArray record =
            R"("name":"A.SND","size":1,"original_sha256":"%1","replaced_sha256":"%1",)"
            R"("replaced_at":"2026-01-01T00:00:00Z")";
        QTest::newRow("no files") << QByteArray(R"({"version":1})");
        QTest::newRow("files an object") << QByteArray(R"({"version":1,"files":{}})");
        QTest::newRow("no version") << QByteArray(R"({"files":[]})");
        QTest::newRow("record missing source") << "{\"version\":1,\"files\":[{" + record + "}]}";
        QTest::newRow("number for text")
            << "{\"version\":1,\"files\":[{" + record + ",\"source\":5}]}";
        QTest::newRow("record not an object") << QByteArray(R"({"version":1,"files":[7]})");
        QTest::newRow("size a fraction")
            << "{\"version\":1,\"files\":[{" +
                   QByteArray(record).replace("\"size\":1", "\"size\":1.5") +
                   ",\"source\":\"x\"}]}";
        QTest::newRow("name climbs out") << "{\"version\":1,\"files\":[{" +
                                                QByteArray(record).replace("A.SND", "../A.SND") +
                                                ",\"source\":\"x\"}]}";
        QTest::newRow("truncated") << QByteArray(R"({"version":1,"files":[{"name":)");
        // The store's own layout, one record edited: it is no longer what the store wrote.
        QTest::newRow("own layout, a size as text") << QByteArray("own");
    }

    void damagedManifestDeletesNothing() {
        QFETCH(QByteArray, manifest);
        MakeFolder();
        Step("r:A.SND");
        Step("r:B.WSD");
        const QByteArray sha = ManifestOf(folder_).Files()[0].OriginalSha;
        const QString path = folder_ + "/.zephyra/manifest.json";
        QByteArray text = QByteArray(manifest).replace("%1", sha);
        if (manifest == "own")
            text = QString::fromUtf8(Fixtures::ReadFile(path))
                       .replace(QRegularExpression(R"("size": \d+)"), R"("size": "1")")
                       .toUtf8();
        QVERIFY(Fixtures::WriteFile(path, text));
        const QMap<QString, QByteArray> blobs = Blobs();
        const QMap<QString, QByteArray> files{{"A", Fixtures::ReadFile(Path("A.SND"))},
                                              {"C", Fixtures::ReadFile(Path("C.WAV"))}};
        const QStringList said{
            Thrown([&] { StatusOf(folder_); }), Thrown([&] { RestoreFiles(folder_, {}, false); }),
            Thrown([&] { RestoreFiles(folder_, {"A.SND"}, true); }), Thrown([&] {
                ReplaceSound(Path("C.WAV"), dir_.path() + "/one.wav", TargetLike(Path("C.WAV")));
            })};
        for (const QString& text : said) {
            QVERIFY2(text.startsWith("321 ") && text.contains("manifest.json is damaged") &&
                         text.contains("/blobs"),
                     qPrintable(text));
        }
        QCOMPARE(Blobs(), blobs);
        QCOMPARE(Fixtures::ReadFile(Path("A.SND")), files["A"]);
        QCOMPARE(Fixtures::ReadFile(Path("C.WAV")), files["C"]);
    }

    // A kept copy is checked against its hash before it is relied on.
    void rottenCopyIsNotTrusted() {
        MakeFolder();
        QVERIFY(Fixtures::WriteFile(Path("E.SND"), stock_["A.SND"]));  // the same stock bytes
        Step("r:A.SND");
        const QString blob =
            OriginalsStore(folder_).BlobPath(ManifestOf(folder_).Find("A.SND")->OriginalSha);
        QByteArray rotten = Fixtures::ReadFile(blob);
        rotten[100] = char(rotten[100] ^ 1);
        QVERIFY(Fixtures::WriteFile(blob, rotten));
        QCOMPARE(States(), "A=missing");
        // E still holds the good bytes: its replace rewrites the copy from them.
        ReplaceSound(Path("E.SND"), dir_.path() + "/one.wav", TargetLike(Path("E.SND")));
        QCOMPARE(Fixtures::ReadFile(blob), stock_["A.SND"]);
        QVERIFY(RestoreFiles(folder_, {"E.SND", "A.SND", "E.SND"}, false).Refused.isEmpty());
        QCOMPARE(Fixtures::ReadFile(Path("E.SND")), stock_["A.SND"]);
        QCOMPARE(Contents(), QString());
        // With no good bytes at hand, replacing again is refused: the original would be lost.
        Step("r:B.WSD");
        const QString blobB =
            OriginalsStore(folder_).BlobPath(ManifestOf(folder_).Find("B.WSD")->OriginalSha);
        QVERIFY(Fixtures::WriteFile(blobB, "rot"));
        const QByteArray now = Fixtures::ReadFile(Path("B.WSD"));
        const QString said = Thrown([&] {
            ReplaceSound(Path("B.WSD"), dir_.path() + "/two.wav", TargetLike(Path("B.WSD")));
        });
        QVERIFY2(said.startsWith("321 ") && said.contains("original"), qPrintable(said));
        QCOMPARE(Fixtures::ReadFile(Path("B.WSD")), now);
    }

    // A journal that cannot be undone blocks every change with a way out:
    // a forced restore keeps each file as it is on disk and names the loss.
    void damagedJournalHasAWayOut_data() {
        QTest::addColumn<QString>("damage");
        QTest::newRow("copy from before missing") << "copy";
        QTest::newRow("journal truncated") << "truncated";
        QTest::newRow("a name that climbs out") << "climbs";
    }

    void damagedJournalHasAWayOut() {
        QFETCH(QString, damage);
        const bool truncated = damage != "copy";
        MakeFolder();
        Step("r:A.SND");
        OriginalsStore store(folder_);
        {
            OriginalsStore writer(folder_);
            writer.Lock();
            const QByteArray newB = writer.Keep(Path("A.SND"));
            const QByteArray gone(64, 'e');
            const ChangeJournal journal{
                "apply",   "pack.zip", QDateTime::currentDateTimeUtc(), {{"B.WSD", gone, newB}},
                {"B.WSD"}, {}};
            QByteArray text = QJsonDocument(journal.ToJson()).toJson();
            if (damage == "truncated") text.truncate(text.size() / 2);
            if (damage == "climbs") text.replace("\"B.WSD\"", "\"../B.WSD\"");
            QVERIFY(Fixtures::WriteFile(store.Root() + "/journal.json", text));
        }
        QVERIFY(Fixtures::WriteFile(Path("B.WSD"), Fixtures::ReadFile(Path("A.SND"))));
        const QByteArray b = Fixtures::ReadFile(Path("B.WSD"));
        const QString replace = Thrown([&] {
            ReplaceSound(Path("C.WAV"), dir_.path() + "/one.wav", TargetLike(Path("C.WAV")));
        });
        QVERIFY2(replace.contains("restore"), qPrintable(replace));
        const QString restore = Thrown([&] { RestoreFiles(folder_, {}, false); });
        QVERIFY2(restore.startsWith("321 ") && restore.contains("restore --force"),
                 qPrintable(restore));
        QCOMPARE(Fixtures::ReadFile(Path("B.WSD")), b);

        const RestoreOutcome outcome = RestoreFiles(folder_, {}, true);
        QCOMPARE(outcome.Losses.size(), 1);
        QVERIFY2(outcome.Losses[0].contains(truncated ? "journal" : "B.WSD"),
                 qPrintable(outcome.Losses[0]));
        QCOMPARE(outcome.Restored, QStringList{"A.SND"});
        QCOMPARE(Fixtures::ReadFile(Path("B.WSD")), b);
        QVERIFY(!store.Journal());
        QCOMPARE(States(), QString());
    }

    // A run that fails half-way puts the files it changed back and leaves no journal.
    void failedRunRollsBack_data() {
        QTest::addColumn<QByteArray>("copyOfB");  // what the store holds under B's new hash
        QTest::newRow("copy missing") << QByteArray();
        QTest::newRow("copy rotten") << QByteArray("not the bytes of its hash");
    }

    void failedRunRollsBack() {
        QFETCH(QByteArray, copyOfB);
        MakeFolder();
        OriginalsStore store(folder_);
        store.Lock();
        const QByteArray a = store.Keep(Path("A.SND")), b = store.Keep(Path("B.WSD"));
        const QByteArray newB(64, 'f');
        if (!copyOfB.isEmpty()) QVERIFY(Fixtures::WriteFile(store.BlobPath(newB), copyOfB));
        ChangeJournal journal{"apply",
                              "x.zip",
                              QDateTime::currentDateTimeUtc(),
                              {{"A.SND", a, b}, {"B.WSD", b, newB}},
                              {},
                              {}};
        ReplaceManifest after;
        after.Add(ReplacedFile{"A.SND", 1, a, b, QDateTime::currentDateTimeUtc(), "x.zip"});
        QVERIFY_THROWS_EXCEPTION(AppError, store.Run(journal, {}, after));
        QCOMPARE(Contents(), QString());
        QVERIFY(!store.Journal());
        QVERIFY(store.Manifest().IsEmpty());
        // A copy that is not what its hash says never lands anywhere.
        QVERIFY_THROWS_EXCEPTION(AppError, CopyAtomically(Path("A.SND"), Path("B.WSD"), b));
        QCOMPARE(Fixtures::ReadFile(Path("B.WSD")), stock_["B.WSD"]);
        // One process at a time changes a folder.
        OriginalsStore other(folder_);
        QVERIFY_THROWS_EXCEPTION(AppError, other.Lock());
    }

    // Rolling back puts back only what the run itself wrote: a file it never
    // reached, and one something else changed since, stay as they are.
    void rollBackTouchesOnlyItsOwnWrites() {
        MakeFolder();
        {
            OriginalsStore store(folder_);
            store.Lock();
            const QByteArray a = store.Keep(Path("A.SND")), b = store.Keep(Path("B.WSD"));
            const QByteArray c = store.Keep(Path("C.WAV"));
            const ChangeJournal journal{"apply",
                                        "x.zip",
                                        QDateTime::currentDateTimeUtc(),
                                        {{"A.SND", a, c}, {"B.WSD", b, a}, {"C.WAV", c, b}},
                                        {"A.SND", "B.WSD", "C.WAV"},
                                        {}};
            QVERIFY(Fixtures::WriteFile(store.Root() + "/journal.json",
                                        QJsonDocument(journal.ToJson()).toJson()));
        }
        QVERIFY(Fixtures::WriteFile(Path("A.SND"), stock_["C.WAV"]));   // the run wrote A
        QVERIFY(Fixtures::WriteFile(Path("C.WAV"), "the user's own"));  // B not reached
        QVERIFY(RestoreFiles(folder_, {}, false).RolledBack);
        QCOMPARE(Fixtures::ReadFile(Path("A.SND")), stock_["A.SND"]);
        QCOMPARE(Fixtures::ReadFile(Path("B.WSD")), stock_["B.WSD"]);
        QCOMPARE(Fixtures::ReadFile(Path("C.WAV")), QByteArray("the user's own"));
    }

    // A journal left by a crash: status reports it, a replace is refused, and a
    // restore undoes it before anything else.
    void interruptedRun() {
        MakeFolder();
        Step("r:A.SND");
        {
            OriginalsStore store(folder_);
            store.Lock();
            const QByteArray stockB = store.Keep(Path("B.WSD")), newB = store.Keep(Path("A.SND"));
            ChangeJournal journal{
                "apply",   "pack.zip", QDateTime::currentDateTimeUtc(), {{"B.WSD", stockB, newB}},
                {"B.WSD"}, {}};
            QVERIFY(Fixtures::WriteFile(store.Root() + "/journal.json",
                                        QJsonDocument(journal.ToJson()).toJson()));
        }
        QVERIFY(Fixtures::WriteFile(Path("B.WSD"), Fixtures::ReadFile(Path("A.SND"))));
        QVERIFY(Fixtures::WriteFile(folder_ + "/.B.WSD.Ab3dE9.partial", "half"));

        QCOMPARE(States(), "A=replaced interrupted");
        QVERIFY_THROWS_EXCEPTION(AppError, ReplaceSound(Path("C.WAV"), dir_.path() + "/one.wav",
                                                        TargetLike(Path("C.WAV"))));
        const QStringList before = Fixtures::Entries(folder_);
        QVERIFY(before.contains(".B.WSD.Ab3dE9.partial"));
        const RestoreOutcome outcome = RestoreFiles(folder_, {}, false);
        QVERIFY(outcome.RolledBack);
        QCOMPARE(outcome.Restored, QStringList{"A.SND"});
        QCOMPARE(Contents(), QString());
        QCOMPARE(Fixtures::Entries(folder_),
                 (QStringList{".zephyra", "A.SND", "B.WSD", "C.WAV", "D.SND"}));
    }
};

QTEST_GUILESS_MAIN(tst_Replacement)
#include "tst_Replacement.moc"
