// The Folder details window: the table of a folder's sound files, sorting,
// filters, the CSV export and the way back to the main window.
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include "FolderDetailsModel.h"
#include "LoudnessColumns.h"
#include "MsgBox.h"
#include "SaveRequest.h"
#include "SoundFixtures.h"
#include "WindowTestKit.h"
#include "cCommonDialog.h"
#include "frmDetails.h"
#include "frmMain.h"

using Fixtures::Game;
using Fixtures::Wav;

class tst_frmDetails : public QObject {
    Q_OBJECT

    QTemporaryDir tmp_;
    QString folder_;
    QList<MsgBox::Shown> boxes_;

    template <typename T>
    static T* Child(QWidget* window, const char* name) {
        return WindowTestKit::Child<T>(window, QString::fromLatin1(name));
    }

    // The Name column of the rows shown, top to bottom.
    static QStringList Names(QWidget* window) {
        auto* table = Child<QTableView>(window, "tblFiles");
        QStringList names;
        for (int i = 0; i < table->model()->rowCount(); ++i)
            names << table->model()->index(i, FolderDetailsModel::Name).data().toString();
        return names;
    }

    static void WaitUntilRead(frmDetails& window) {
        if (!window.Reading()) return;
        QSignalSpy finished(&window, &frmDetails::ReadingFinished);
        QVERIFY(finished.wait(20000));
    }

    static void WaitUntilMeasured(frmDetails& window) {
        WaitUntilRead(window);
        if (!window.Measuring()) return;
        QSignalSpy finished(&window, &frmDetails::LoudnessFinished);
        QVERIFY(finished.wait(20000));
    }

private slots:
    void initTestCase() {
        QVERIFY(tmp_.isValid());
        qputenv("ZEPHYRA_REGISTRY", QFile::encodeName(tmp_.filePath("registry.sqlite3")));
        folder_ = tmp_.filePath("sounds");
        QVERIFY(QDir().mkpath(folder_));
        const auto put = [this](const QString& name, const QByteArray& bytes) {
            QVERIFY(Fixtures::WriteFile(folder_ + "/" + name, bytes));
        };
        // 3 s, 0.5 s, 1 s of sound; one refused header; one file of another kind.
        put("engine loop.snd", Fixtures::GameFile(Game{}, Fixtures::Samples(3 * 88200)));
        put("Boom.WAV", Fixtures::WavFile(Wav{.channels = 1, .rate = 8000, .bits = 8},
                                          Fixtures::Samples(4000)));
        put("a,b.wsd", Fixtures::GameFile(Game{.flag = 2, .bits = 8, .channels = 1},
                                          Fixtures::Samples(22050)));
        put("bad.snd", Fixtures::GameFile(Game{.rate = 4000}, Fixtures::Samples(10)));
        put("readme.txt", "words");
        MsgBox::SetResponder([this](const MsgBox::Shown& box) {
            boxes_ << box;
            return QMessageBox::Ok;
        });
    }

    void cleanupTestCase() {
        MsgBox::SetResponder({});
        cCommonDialog::SetChooser({});
    }

    void durationText_data() {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<QString>("text");
        QTest::newRow("none") << 0.0 << "0:00.000";
        QTest::newRow("fraction") << 0.0499773 << "0:00.050";
        QTest::newRow("minutes") << 75.5 << "1:15.500";
        QTest::newRow("carries into the minute") << 59.9996 << "1:00.000";
        QTest::newRow("an hour") << 3600.25 << "60:00.250";
    }
    void durationText() {
        QFETCH(double, seconds);
        QFETCH(QString, text);
        QCOMPARE(FolderDetailsModel::DurationText(seconds), text);
    }

    // Rows and figures reach the table in batches, the figures in any order
    // and while it is sorted: every column keeps the order of its values, an
    // unknown value first, and equal values in the order the rows came.
    void sortedWhileBatchesArrive_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("order");
        QTest::addColumn<QStringList>("names");
        const int loudness = FolderDetailsModel::FirstLoudness + int(Loudness::kIntegrated);
        const int truePeak = FolderDetailsModel::FirstLoudness + int(Loudness::kTruePeak);
        QTest::newRow("name") << int(FolderDetailsModel::Name) << int(Qt::AscendingOrder)
                              << QStringList{"a.snd", "B.snd", "c.wav", "D.wsd", "e.snd"};
        QTest::newRow("name, descending")
            << int(FolderDetailsModel::Name) << int(Qt::DescendingOrder)
            << QStringList{"e.snd", "D.wsd", "c.wav", "B.snd", "a.snd"};
        QTest::newRow("type, ties as they came")
            << int(FolderDetailsModel::Type) << int(Qt::AscendingOrder)
            << QStringList{"e.snd", "a.snd", "B.snd", "c.wav", "D.wsd"};
        QTest::newRow("rate, unknown first")
            << int(FolderDetailsModel::SampleRate) << int(Qt::AscendingOrder)
            << QStringList{"B.snd", "c.wav", "D.wsd", "a.snd", "e.snd"};
        QTest::newRow("duration") << int(FolderDetailsModel::Duration) << int(Qt::AscendingOrder)
                                  << QStringList{"B.snd", "D.wsd", "c.wav", "e.snd", "a.snd"};
        QTest::newRow("loudness, loudest first")
            << loudness << int(Qt::DescendingOrder)
            << QStringList{"D.wsd", "e.snd", "a.snd", "c.wav", "B.snd"};
        QTest::newRow("true peak") << truePeak << int(Qt::AscendingOrder)
                                   << QStringList{"B.snd", "c.wav", "a.snd", "e.snd", "D.wsd"};
    }
    void sortedWhileBatchesArrive() {
        QFETCH(int, column);
        QFETCH(int, order);
        QFETCH(QStringList, names);
        FolderDetailsModel model;
        FolderDetailsFilter filter;
        filter.setSourceModel(&model);
        filter.setDynamicSortFilter(true);
        filter.sort(column, Qt::SortOrder(order));
        // Name, type, rate (0: no header), seconds, loudness and true peak (0: not measured).
        struct Case {
            const char* name;
            const char* type;
            int rate;
            double seconds, lufs, truePeak;
        };
        const Case cases[] = {{"e.snd", "SND", 44100, 2.0, -20, -3},
                              {"a.snd", "SND", 22050, 3.0, -23, -6},
                              {"B.snd", "SND", 0, -1, 0, 0},
                              {"c.wav", "WAV", 8000, 1.5, -30, -9},
                              {"D.wsd", "WSD", 11025, 0.5, -14, -1}};
        QList<mUtility::InventoryRow> rows;
        for (const Case& c : cases) {
            mUtility::InventoryRow r;
            r.Path = QStringLiteral("/x/") + QLatin1String(c.name);
            r.Type = QLatin1String(c.type);
            r.Valid = r.HasHeader = c.rate > 0;
            r.SampleRate = c.rate;
            r.Seconds = c.seconds;
            rows << r;
        }
        const auto figures = [&cases](std::initializer_list<int> of) {
            QList<QPair<int, Loudness::Figures>> batch;
            for (const int row : of) {
                Loudness::Figures f;
                f.Integrated = Loudness::Status::Measured;
                f.IntegratedLufs = cases[row].lufs;
                f.TruePeakDbtp = cases[row].truePeak;
                batch.append({row, f});
            }
            return batch;
        };
        model.Append(rows.mid(0, 2));
        model.SetFigures(figures({1}));
        model.Append(rows.mid(2));
        model.SetFigures(figures({4, 0, 3}));
        QStringList shown;
        for (int i = 0; i < filter.rowCount(); ++i)
            shown << filter.index(i, FolderDetailsModel::Name).data().toString();
        QCOMPARE(shown, names);
    }

    void tableSortsAndFilters() {
        frmDetails window;
        window.show();
        window.ShowFolder(folder_);
        // The loudness is measured while the headers are read: the counts
        // come first, then the loudest and the quietest.
        WaitUntilMeasured(window);
        QCOMPARE(Names(&window),
                 QStringList({"a,b.wsd", "bad.snd", "Boom.WAV", "engine loop.snd"}));
        QVERIFY(
            Child<QLabel>(&window, "lblProgress")->text().startsWith("4 sound files, 1 invalid"));

        auto* table = Child<QTableView>(&window, "tblFiles");
        table->sortByColumn(FolderDetailsModel::Duration, Qt::DescendingOrder);
        QCOMPARE(Names(&window),
                 QStringList({"engine loop.snd", "a,b.wsd", "Boom.WAV", "bad.snd"}));
        const auto cell = [table](int row, int column) {
            return table->model()->index(row, column).data().toString();
        };
        QCOMPARE(cell(0, FolderDetailsModel::Duration), QString("0:03.000"));
        QCOMPARE(cell(0, FolderDetailsModel::DataLength), QString("258 KB"));
        QCOMPARE(cell(0, FolderDetailsModel::Channels), QString("Stereo"));
        QCOMPARE(cell(1, FolderDetailsModel::EightBitFlag), QString("True"));
        QCOMPARE(cell(2, FolderDetailsModel::InternalID), QString("N/A"));
        QCOMPARE(cell(3, FolderDetailsModel::Valid), QString("Invalid"));
        QCOMPARE(cell(3, FolderDetailsModel::Duration), QString());
        // The invalid row is marked at its name; a valid one is not.
        const auto mark = [table](int row) {
            return table->model()->index(row, FolderDetailsModel::Name).data(Qt::DecorationRole);
        };
        QVERIFY(!mark(3).value<QIcon>().isNull());
        QVERIFY(!mark(0).isValid());
        table->sortByColumn(FolderDetailsModel::DataLength, Qt::AscendingOrder);
        QCOMPARE(Names(&window),
                 QStringList({"bad.snd", "Boom.WAV", "a,b.wsd", "engine loop.snd"}));

        auto* type = Child<QComboBox>(&window, "cboType");
        auto* validity = Child<QComboBox>(&window, "cboValidity");
        auto* search = Child<QLineEdit>(&window, "txtSearch");
        auto* status = Child<QLabel>(&window, "lblProgress");
        type->setCurrentIndex(type->findText("SND"));
        QCOMPARE(Names(&window), QStringList({"bad.snd", "engine loop.snd"}));
        QCOMPARE(status->text().section("; ", 0, 0),
                 QString("2 of 4 sound files shown, 1 invalid"));
        validity->setCurrentIndex(1);  // valid only
        QCOMPARE(Names(&window), QStringList({"engine loop.snd"}));
        QCOMPARE(status->text().section("; ", 0, 0), QString("1 of 4 sound files shown"));
        type->setCurrentIndex(0);
        validity->setCurrentIndex(2);  // invalid only
        QCOMPARE(Names(&window), QStringList({"bad.snd"}));
        validity->setCurrentIndex(0);
        search->setText("OO");
        QCOMPARE(Names(&window), QStringList({"Boom.WAV", "engine loop.snd"}));
        search->clear();
        QCOMPARE(Names(&window).size(), 4);
        QCOMPARE(status->text().section("; ", 0, 0), QString("4 sound files, 1 invalid"));
    }

    void framesAreDigitGrouped() {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        frmDetails window;
        window.show();
        window.ShowFolder(folder_);
        WaitUntilRead(window);
        const QAbstractItemModel* rows = Child<QTableView>(&window, "tblFiles")->model();
        const QString frames = rows->index(0, FolderDetailsModel::Frames).data().toString();
        QLocale::setDefault(QLocale::system());
        QCOMPARE(frames, QString("22,050"));
    }

    // A search and an order are the current folder's: another folder starts
    // afresh. Escape takes back a search before it closes the window.
    void newFolderAndEscapeResetTheSearch() {
        const QString other = tmp_.filePath("other");
        QVERIFY(QDir().mkpath(other));
        QVERIFY(Fixtures::WriteFile(other + "/zz.snd",
                                    Fixtures::GameFile(Game{}, Fixtures::Samples(8))));
        frmDetails window;
        window.show();
        window.ShowFolder(folder_);
        WaitUntilRead(window);
        auto* table = Child<QTableView>(&window, "tblFiles");
        auto* search = Child<QLineEdit>(&window, "txtSearch");
        table->sortByColumn(FolderDetailsModel::Duration, Qt::DescendingOrder);
        search->setText("o");
        window.ShowFolder(folder_);  // the same folder again keeps both
        WaitUntilRead(window);
        QCOMPARE(search->text(), QString("o"));
        QCOMPARE(table->horizontalHeader()->sortIndicatorSection(),
                 int(FolderDetailsModel::Duration));

        window.ShowFolder(other);
        WaitUntilRead(window);
        QCOMPARE(search->text(), QString());
        QCOMPARE(table->horizontalHeader()->sortIndicatorSection(), int(FolderDetailsModel::Name));
        QCOMPARE(Names(&window), QStringList({"zz.snd"}));

        search->setText("z");
        search->setFocus();
        QTest::keyClick(search, Qt::Key_Escape);
        QCOMPARE(search->text(), QString());
        QVERIFY(window.isVisible());
        QTest::keyClick(search, Qt::Key_Escape);
        QVERIFY(!window.isVisible());
    }

    // The rows shown, in the order shown, as CSV; names with commas quoted.
    void exportWritesShownRows() {
        frmDetails window;
        window.show();
        window.ShowFolder(folder_);
        WaitUntilMeasured(window);
        Child<QTableView>(&window, "tblFiles")
            ->sortByColumn(FolderDetailsModel::Duration, Qt::AscendingOrder);
        Child<QLineEdit>(&window, "txtSearch")->setText("b");
        const QString dest = tmp_.filePath("table.csv");
        QList<SaveRequest> requests;
        cCommonDialog::SetChooser([&](const SaveRequest& r) -> std::optional<QString> {
            requests << r;
            return dest;
        });
        boxes_.clear();
        window.btnExport_Click();
        QCOMPARE(requests.size(), 1);
        QCOMPARE(requests[0].InitDir, folder_);
        QCOMPARE(boxes_.size(), 1);
        QCOMPARE(boxes_[0].icon, QMessageBox::Information);
        const QByteArray csv = Fixtures::ReadFile(dest);
        const QList<QByteArray> lines = csv.split('\n');
        QCOMPARE(lines.size(), 5);  // header, three rows, nothing after the last CR LF
        QCOMPARE(lines[0], QByteArray("path,type,valid,refusal,eight_bit_flag,internal_id,"
                                      "data_length,sample_rate,bit_depth,channels,frames,"
                                      "duration_s,loudness_lufs,loudness_range_lu,"
                                      "sample_peak_dbfs,true_peak_dbtp,full_scale_samples,"
                                      "dc_offset\r"));
        QVERIFY(lines[1].startsWith((folder_ + "/bad.snd,SND,false,").toUtf8()));
        QVERIFY(lines[1].endsWith(",,,,,,\r"));
        QVERIFY(lines[2].startsWith(
            (folder_ + "/Boom.WAV,WAV,true,,,,4000,8000,8,1,4000,0.500000,").toUtf8()));
        QVERIFY(lines[3].startsWith(
            ("\"" + folder_ + "/a,b.wsd\",WSD,true,,2,12,22050,22050,8,1,22050,1.000000,")
                .toUtf8()));
        // Six figures follow each valid row, the loudness among them.
        for (int i = 2; i <= 3; ++i) {
            const QList<QByteArray> fields = lines[i].split(',');
            QCOMPARE(fields.size() - (i == 3), 18);
            QVERIFY(!fields[12 + (i == 3)].isEmpty());
        }
        QCOMPARE(lines[4], QByteArray());
        cCommonDialog::SetChooser({});
    }

    // The loudness columns fill in after the headers; a refused file has none
    // and sorts as the quietest; the status line names the loudest and quietest.
    void loudnessColumnsFillIn() {
        frmDetails window;
        window.show();
        window.ShowFolder(folder_);
        WaitUntilMeasured(window);
        auto* table = Child<QTableView>(&window, "tblFiles");
        table->sortByColumn(FolderDetailsModel::FirstLoudness, Qt::DescendingOrder);
        const QStringList names = Names(&window);
        QCOMPARE(names.last(), QString("bad.snd"));
        for (int row = 0; row < 3; ++row) {
            const QString lufs =
                table->model()->index(row, FolderDetailsModel::FirstLoudness).data().toString();
            bool number = false;
            lufs.toDouble(&number);
            QVERIFY2(number, qPrintable(lufs));
        }
        QCOMPARE(table->model()->index(3, FolderDetailsModel::FirstLoudness).data().toString(),
                 QString());
        // Every column is wide enough for its title.
        for (int column = 0; column < FolderDetailsModel::ColumnCount; ++column) {
            const QString title = table->model()->headerData(column, Qt::Horizontal).toString();
            QVERIFY2(table->columnWidth(column) >=
                         table->horizontalHeader()->fontMetrics().horizontalAdvance(title),
                     qPrintable(title));
        }
        const QString status = Child<QLabel>(&window, "lblProgress")->text();
        QVERIFY2(status.contains("; loudest " + names.first() + " (") &&
                     status.contains(", quietest " + names[2] + " ("),
                 qPrintable(status));
    }

    // Enter or a double-click on a row selects that file in the main window.
    void choosingARowSelectsTheFile() {
        frmMain main;
        main.show();
        QCoreApplication::processEvents();
        QVERIFY(main.SetDirectoryPath(folder_));
        QTest::keyClick(&main, Qt::Key_D, Qt::ControlModifier);
        frmDetails* details = main.Details();
        QVERIFY(details && details->isVisible());
        QCOMPARE(details->Folder(), folder_);
        WaitUntilRead(*details);
        auto* table = Child<QTableView>(details, "tblFiles");
        table->setFocus();
        table->setCurrentIndex(table->model()->index(3, 0));  // engine loop.snd
        QTest::keyClick(table, Qt::Key_Return);
        QCOMPARE(main.SelectedFileName(), QString("engine loop.snd"));
        QCOMPARE(Child<QLabel>(&main, "lblSelectedFile")->text(), QString("ENGINE LOOP.SND"));

        const QModelIndex boom = table->model()->index(2, 0);
        const QPoint at = table->visualRect(boom).center();
        // A double-click is a click and then the second press.
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(main.SelectedFileName(), QString("Boom.WAV"));
    }
};

QTEST_MAIN(tst_frmDetails)
#include "tst_frmdetails.moc"
