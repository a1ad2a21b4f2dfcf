#include "frmDetails.h"

#include <sys/resource.h>
#include <unistd.h>

#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QStyle>
#include <QTableView>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>
#include <atomic>
#include <limits>
#include <mutex>
#include <thread>
#include <vector>

#include "AtomicFile.h"
#include "FolderDetailsModel.h"
#include "Inventory.h"
#include "LoudnessColumns.h"
#include "MsgBox.h"
#include "QuillonButton.h"
#include "ReplaceActions.h"
#include "RunTopLevel.h"
#include "SoundLoudness.h"
#include "TrapERR.h"
#include "WindowSize.h"
#include "cCommonDialog.h"

using mUtility::InventoryRow;

namespace {
// How often the window takes in the rows and figures found meanwhile: often
// enough to look live, seldom enough that a large folder costs the table few
// changes, each a short one.
constexpr int kTakeMs = 50;

// Called on each worker: when the cores are busy, the window's thread runs
// first, so that the table answers at once while the workers read and measure.
void YieldToTheWindow() {
    ::setpriority(PRIO_PROCESS, ::gettid(), 5);
}
}  // namespace

frmDetails::frmDetails(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmDetails"));
    setWindowTitle(QStringLiteral("Folder Details"));
    setAccessibleName(QStringLiteral("Folder Details"));
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    setSizeGripEnabled(true);
    BuildWidgets();
    BuildLayout();
    WindowSize::Keep(this, QStringLiteral("frmDetails"));
    ConnectHandlers();
}

frmDetails::~frmDetails() {
    StopReading();
}

void frmDetails::BuildWidgets() {
    take_ = new QTimer(this);
    take_->setInterval(kTakeMs);
    connect(take_, &QTimer::timeout, this, &frmDetails::TakeResults);
    model_ = new FolderDetailsModel(this);
    filter_ = new FolderDetailsFilter(this);
    filter_->setSourceModel(model_);
    filter_->setSortRole(Qt::UserRole);
    filter_->setDynamicSortFilter(true);

    lblFolder = new QLabel(this);
    lblFolder->setObjectName(QStringLiteral("lblFolder"));
    lblFolder->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblFolder->setAccessibleDescription(QStringLiteral("Folder"));

    cboType = new QComboBox(this);
    cboType->setObjectName(QStringLiteral("cboType"));
    cboType->addItem(QStringLiteral("All types"), QString());
    for (const char* type : {"SND", "WSD", "WAV"})
        cboType->addItem(QLatin1String(type), QLatin1String(type));
    cboType->setAccessibleName(QStringLiteral("Type filter"));
    lblType = new QLabel(QStringLiteral("T&ype:"), this);
    lblType->setBuddy(cboType);

    cboValidity = new QComboBox(this);
    cboValidity->setObjectName(QStringLiteral("cboValidity"));
    cboValidity->addItems({QStringLiteral("Valid and invalid"), QStringLiteral("Valid only"),
                           QStringLiteral("Invalid only")});
    cboValidity->setAccessibleName(QStringLiteral("Validity filter"));
    lblValidity = new QLabel(QStringLiteral("S&how:"), this);
    lblValidity->setBuddy(cboValidity);

    txtSearch = new QLineEdit(this);
    txtSearch->setObjectName(QStringLiteral("txtSearch"));
    txtSearch->setPlaceholderText(QStringLiteral("Part of a name"));
    txtSearch->setClearButtonEnabled(true);
    txtSearch->setAccessibleName(QStringLiteral("Search names"));
    lblSearch = new QLabel(QStringLiteral("&Search:"), this);
    lblSearch->setBuddy(txtSearch);

    tblFiles = new QTableView(this);
    tblFiles->setObjectName(QStringLiteral("tblFiles"));
    tblFiles->setModel(filter_);
    tblFiles->setSortingEnabled(true);
    tblFiles->sortByColumn(FolderDetailsModel::Name, Qt::AscendingOrder);
    tblFiles->setSelectionBehavior(QAbstractItemView::SelectRows);
    tblFiles->setSelectionMode(QAbstractItemView::SingleSelection);
    tblFiles->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblFiles->setTabKeyNavigation(false);
    tblFiles->setAlternatingRowColors(true);
    tblFiles->setWordWrap(false);
    tblFiles->verticalHeader()->hide();
    // Fixed row heights let ten thousand rows lay out at once.
    tblFiles->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    tblFiles->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    tblFiles->horizontalHeader()->setStretchLastSection(true);
    tblFiles->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    // Name to Duration get widths made for their usual contents, Replaced room
    // for "from NAME, DATE", and the loudness figures the width of their titles.
    const int widths[] = {200, 48, 64, 78, 96, 86, 90, 70, 72, 80, 80, 160};
    static_assert(std::size(widths) == FolderDetailsModel::FirstLoudness);
    for (int column = 0; column < FolderDetailsModel::ColumnCount; ++column) {
        tblFiles->setColumnWidth(column,
                                 column < FolderDetailsModel::FirstLoudness
                                     ? widths[column]
                                     : tblFiles->horizontalHeader()->sectionSizeHint(column));
    }
    tblFiles->setAccessibleName(QStringLiteral("Sound files"));
    tblFiles->setAccessibleDescription(
        QStringLiteral("Double-click or press Enter to select the file in the main window"));

    lblProgress = new QLabel(this);
    lblProgress->setObjectName(QStringLiteral("lblProgress"));
    prgProgress = new QProgressBar(this);
    prgProgress->setObjectName(QStringLiteral("prgProgress"));
    prgProgress->setAccessibleName(QStringLiteral("Reading headers"));
    prgProgress->setTextVisible(false);
    prgProgress->hide();

    auto button = [this](const char* name, const QString& caption, const QString& tip) {
        auto* b = new QuillonButton(this);
        b->setObjectName(QLatin1String(name));
        QuillonButton::ApplyProgramLook(b);
        b->setCaption(caption);
        b->setToolTip(tip);
        b->setMinimumSize(110, 30);
        return b;
    };
    btnExport = button("btnExport", QStringLiteral("&Export CSV\u2026"),
                       QStringLiteral("Export the rows shown as a CSV file"));
    btnClose = button("btnClose", QStringLiteral("&Close"), QStringLiteral("Close this window"));
}

void frmDetails::BuildLayout() {
    auto* filters = new QHBoxLayout;
    filters->addWidget(lblType);
    filters->addWidget(cboType);
    filters->addSpacing(12);
    filters->addWidget(lblValidity);
    filters->addWidget(cboValidity);
    filters->addSpacing(12);
    filters->addWidget(lblSearch);
    filters->addWidget(txtSearch, 1);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(lblProgress, 1);
    bottom->addWidget(prgProgress, 1);
    bottom->addWidget(btnExport);
    bottom->addWidget(btnClose);

    auto* top = new QVBoxLayout(this);
    top->addWidget(lblFolder);
    top->addLayout(filters);
    top->addWidget(tblFiles, 1);
    top->addLayout(bottom);
    // Every column in sight where the screen allows (the window is shrunk to
    // fit a smaller one when it is shown).
    const QMargins margins = top->contentsMargins();
    resize(tblFiles->horizontalHeader()->length() + margins.left() + margins.right() +
               2 * tblFiles->frameWidth() + style()->pixelMetric(QStyle::PM_ScrollBarExtent),
           520);

    setTabOrder(cboType, cboValidity);
    setTabOrder(cboValidity, txtSearch);
    setTabOrder(txtSearch, tblFiles);
    setTabOrder(tblFiles, btnExport);
    setTabOrder(btnExport, btnClose);
}

void frmDetails::ConnectHandlers() {
    connect(cboType, &QComboBox::currentIndexChanged, this, &frmDetails::ApplyFilters);
    connect(cboValidity, &QComboBox::currentIndexChanged, this, &frmDetails::ApplyFilters);
    connect(txtSearch, &QLineEdit::textChanged, this, &frmDetails::ApplyFilters);
    txtSearch->installEventFilter(this);
    // Enter and double-click both activate a row.
    connect(tblFiles, &QAbstractItemView::activated, this, [this](const QModelIndex& index) {
        if (!index.isValid()) return;
        emit FileChosen(model_->Row(filter_->mapToSource(index).row()).Path);
    });
    connect(btnExport, &QuillonButton::Click, this,
            [this] { zs::RunTopLevel(this, [this] { btnExport_Click(); }); });
    connect(btnClose, &QuillonButton::Click, this, &QWidget::close);
}

void frmDetails::ApplyFilters() {
    filter_->SetType(cboType->currentData().toString());
    filter_->SetValidity(static_cast<FolderDetailsFilter::Validity>(cboValidity->currentIndex()));
    filter_->SetNameSearch(txtSearch->text());
    ShowStatus();
}

// Escape in a search box that holds text clears it; in an empty one it closes
// the window as anywhere else.
bool frmDetails::eventFilter(QObject* watched, QEvent* event) {
    const bool key = event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride;
    if (watched == txtSearch && key && !txtSearch->text().isEmpty() &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape &&
        static_cast<QKeyEvent*>(event)->modifiers() == Qt::NoModifier) {
        event->accept();
        if (event->type() == QEvent::KeyPress) txtSearch->clear();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

// What the workers of one listing share with the window: the reader of the
// headers and the threads measuring loudness meanwhile put their results
// here, and the window takes them in every kTakeMs, in one change of the table
// each time, however many rows and figures came in between.
struct frmDetails::Listing {
    QList<mUtility::ListedFile> files;  // set before the measuring threads start
    // Per file, whether its header was valid; set before `read` passes it.
    std::vector<char> valid;
    std::atomic<qint64> read{0};         // headers read
    std::atomic<bool> abandoned{false};  // the headers stopped early: measure no more
    std::atomic<qint64> next{0};         // the next file a measuring thread takes

    std::mutex mutex;  // guards what follows
    QList<InventoryRow> rows;
    QList<QPair<int, Loudness::Figures>> figures;
    qint64 total = 0;      // files listed
    qint64 validRows = 0;  // of the headers read
    qint64 measured = 0;   // valid files measured (or found changed)
    bool headersDone = false;
    bool measuringDone = false;
    QString problem;  // why the listing ended early, if it did

    void Abandon() {
        abandoned = true;
        read.store(std::numeric_limits<qint64>::max());
        read.notify_all();
    }
    // Waits until the header of file `row` is read; false when it never will be.
    bool WaitForHeader(qint64 row) {
        for (qint64 seen = read.load(); seen <= row; seen = read.load()) read.wait(seen);
        return !abandoned;
    }
};

void frmDetails::ShowFolder(const QString& folder) {
    StopReading();
    if (folder != folder_) {
        // A search or an order chosen for one folder would hide rows of the next.
        txtSearch->clear();
        tblFiles->sortByColumn(FolderDetailsModel::Name, Qt::AscendingOrder);
    }
    folder_ = folder;
    problem_.clear();
    model_->Clear();
    model_->SetReplaced(ReplaceActions::ReplacedSummaries(folder));
    lblFolder->setText(QStringLiteral("Folder: ") + folder);
    lblProgress->setText(QStringLiteral("Reading headers\u2026"));
    btnExport->setEnabled(false);
    reading_ = true;
    stop_ = false;
    listing_ = std::make_shared<Listing>();
    // The workers only read files and touch nothing of the window but the
    // listing they share with it; the reader wakes the window when it is done.
    reader_ = QThread::create([this, folder, listing = listing_] {
        YieldToTheWindow();
        const auto done = [this] {
            QMetaObject::invokeMethod(this, &frmDetails::TakeResults, Qt::QueuedConnection);
        };
        std::vector<std::thread> measurers;
        // Nothing may escape a thread: running out of memory ends the listing
        // with the error's number in the window, not the program.
        try {
            QList<AppError> errors;
            listing->files = mUtility::ListSoundFiles(folder, false, errors);
            listing->valid.resize(size_t(listing->files.size()));
            {
                const std::lock_guard<std::mutex> lock(listing->mutex);
                listing->total = listing->files.size();
                if (!errors.isEmpty())
                    listing->problem = QStringLiteral("error %1: %2")
                                           .arg(errors.first().Number)
                                           .arg(errors.first().Description);
            }
            // As the command line does: the loudness on every core while the
            // headers are read, not after them.
            const int cores = std::max(1, QThread::idealThreadCount());
            for (int i = 0; i < cores && i < listing->files.size(); ++i)
                measurers.emplace_back([this, listing] { MeasureLoudness(*listing); });
            ReadHeaders(*listing);
        } catch (...) {
            const AppError e = TrapERR::CurrentError();
            const std::lock_guard<std::mutex> lock(listing->mutex);
            listing->problem = QStringLiteral("error %1: %2").arg(e.Number).arg(e.Description);
        }
        if (listing->read < listing->files.size()) listing->Abandon();
        {
            const std::lock_guard<std::mutex> lock(listing->mutex);
            listing->headersDone = true;
        }
        done();
        for (std::thread& measurer : measurers) measurer.join();
        {
            const std::lock_guard<std::mutex> lock(listing->mutex);
            listing->measuringDone = true;
        }
        done();
    });
    take_->start();
    reader_->start();
}

// Runs on the reader: every file's header in turn.
void frmDetails::ReadHeaders(Listing& listing) {
    qint64 done = 0;
    for (const auto& [path, regular] : std::as_const(listing.files)) {
        if (stop_) return;
        InventoryRow row = mUtility::InventoryRowOf(path, false, nullptr, nullptr, regular);
        listing.valid[size_t(done)] = row.Valid;
        {
            const std::lock_guard<std::mutex> lock(listing.mutex);
            listing.validRows += row.Valid;
            listing.rows << std::move(row);
        }
        listing.read.store(++done);
        listing.read.notify_all();
    }
}

// Runs on each measuring thread: the loudness of the valid files it takes in
// turn, each once its header is read (so that its row is in the table before
// its figures are).
void frmDetails::MeasureLoudness(Listing& listing) {
    YieldToTheWindow();
    try {
        for (qint64 row = listing.next++; row < listing.files.size(); row = listing.next++) {
            if (stop_ || !listing.WaitForHeader(row)) return;
            if (!listing.valid[size_t(row)]) continue;
            std::optional<Loudness::Figures> f;
            try {
                f = Loudness::MeasureFile(listing.files[row].path, &stop_);
                if (!f) return;
            } catch (const AppError&) {
                // Changed since its header was read: it keeps empty figures.
            }
            const std::lock_guard<std::mutex> lock(listing.mutex);
            if (f) listing.figures.append({int(row), *f});
            ++listing.measured;
        }
    } catch (...) {
        // Out of memory: the files this thread would have measured keep empty
        // figures; the others go on.
    }
}

void frmDetails::TakeResults() {
    if (!listing_) return;  // a wake-up from a listing stopped since
    QList<InventoryRow> rows;
    QList<QPair<int, Loudness::Figures>> figures;
    qint64 total, validRows, measured;
    bool headersDone, measuringDone;
    QString problem;
    {
        const std::lock_guard<std::mutex> lock(listing_->mutex);
        rows.swap(listing_->rows);
        figures.swap(listing_->figures);
        total = listing_->total;
        validRows = listing_->validRows;
        measured = listing_->measured;
        headersDone = listing_->headersDone;
        measuringDone = listing_->measuringDone;
        problem = listing_->problem;
    }
    // The rows first: each figure belongs to a row read before it.
    model_->Append(rows);
    model_->SetFigures(figures);
    if (reading_ && headersDone) {
        Finish(model_->rowCount(), problem);
    } else if (reading_ && !rows.isEmpty()) {
        ShowProgress(model_->rowCount(), total);
    } else if (!reading_ && !measuringDone && !figures.isEmpty()) {
        lblProgress->setText(
            QStringLiteral("Measuring loudness: %1 of %2").arg(measured).arg(validRows));
    }
    if (measuringDone) FinishLoudness();
}

void frmDetails::StopReading() {
    if (!reader_) return;
    stop_ = true;
    reader_->wait();
    delete reader_;
    reader_ = nullptr;
    listing_.reset();
    take_->stop();
    reading_ = false;
    prgProgress->hide();
}

void frmDetails::ShowProgress(qint64 done, qint64 total) {
    lblProgress->setText(QStringLiteral("Reading headers: %1 of %2").arg(done).arg(total));
    prgProgress->setRange(0, int(total));
    prgProgress->setValue(int(done));
    prgProgress->show();
}

void frmDetails::Finish(qint64 total, const QString& problem) {
    reading_ = false;
    prgProgress->hide();
    // The reader goes on measuring loudness; FinishLoudness ends it.
    Q_UNUSED(total);
    problem_ = problem;
    ShowStatus();
    btnExport->setEnabled(problem.isEmpty());
    emit ReadingFinished();
}

// Counts of the rows the filters let through, and of all rows when they hide some.
void frmDetails::ShowStatus() {
    if (reading_) return;
    if (!problem_.isEmpty()) {
        lblProgress->setText(QStringLiteral("The folder could not be read: ") + problem_);
        return;
    }
    const int total = model_->rowCount();
    const int shown = filter_->rowCount();
    int invalid = 0;
    for (int i = 0; i < shown; ++i) {
        invalid += !model_->Row(filter_->mapToSource(filter_->index(i, 0)).row()).Valid;
    }
    QString text =
        total == 1 ? QStringLiteral("1 sound file") : QStringLiteral("%1 sound files").arg(total);
    if (shown != total) text = QStringLiteral("%1 of %2 shown").arg(shown).arg(text);
    if (invalid > 0) text += QStringLiteral(", %1 invalid").arg(invalid);
    lblProgress->setText(text + LoudestAndQuietest());
}

void frmDetails::FinishLoudness() {
    if (reader_) {
        reader_->wait();
        delete reader_;
        reader_ = nullptr;
    }
    listing_.reset();
    take_->stop();
    ShowStatus();
    emit LoudnessFinished();
}

// "; loudest A.SND (-12.0 LUFS), quietest B.SND (-31.5 LUFS)", or "".
QString frmDetails::LoudestAndQuietest() const {
    int loudest = -1, quietest = -1;
    for (int i = 0; i < model_->rowCount(); ++i) {
        const std::optional<Loudness::Figures>& f = model_->FiguresOf(i);
        if (!f || !f->Measured()) continue;
        if (loudest < 0 || f->IntegratedLufs > model_->FiguresOf(loudest)->IntegratedLufs)
            loudest = i;
        if (quietest < 0 || f->IntegratedLufs < model_->FiguresOf(quietest)->IntegratedLufs)
            quietest = i;
    }
    if (loudest < 0) return {};
    const auto named = [this](int row) {
        const QString& path = model_->Row(row).Path;
        return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1) + QStringLiteral(" (") +
               Loudness::IntegratedText(*model_->FiguresOf(row)) + QLatin1Char(')');
    };
    return QStringLiteral("; loudest ") + named(loudest) + QStringLiteral(", quietest ") +
           named(quietest);
}

void frmDetails::btnExport_Click() {
    try {
        const QString dest = cCommonDialog::AskSavePath(
            this, {QStringLiteral("Export CSV"), QStringLiteral("CSV Files (*.csv)|*.csv"),
                   QStringLiteral("csv"), folder_, QStringLiteral("sounds.csv")});
        if (dest.isEmpty()) return;
        QString text = Loudness::WithCsvHeader(mUtility::CsvHeaderLine(false));
        for (int i = 0; i < filter_->rowCount(); ++i) {
            const int row = filter_->mapToSource(filter_->index(i, 0)).row();
            const std::optional<Loudness::Figures>& f = model_->FiguresOf(row);
            text += Loudness::WithCsvFields(mUtility::CsvLine(model_->Row(row), false),
                                            f ? &*f : nullptr);
        }
        const QByteArray bytes = mUtility::CsvBytes(text);
        AtomicFile file(dest, AtomicFile::NoSource);
        file.Write(bytes.constData(), bytes.size());
        file.Commit();
        MsgBox::Show(this, QMessageBox::Information, QStringLiteral("Export CSV"),
                     QStringLiteral("%1 created successfully!\r\n\r\n%2 rows written.")
                         .arg(dest)
                         .arg(filter_->rowCount()));
    }
    ZS_TRAP("frmDetails.btnExport_Click")
}

void frmDetails::closeEvent(QCloseEvent* event) {
    StopReading();
    QDialog::closeEvent(event);
}
