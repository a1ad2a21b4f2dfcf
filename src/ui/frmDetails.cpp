#include "frmDetails.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QElapsedTimer>
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
#include <QVBoxLayout>

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
constexpr int kBatchRows = 512;  // rows handed to the window at a time
constexpr int kBatchMs = 40;     // ... or after this long
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
    const quint64 generation = ++generation_;
    // The worker only reads files; every change of the window is posted back
    // to the window's thread and dropped there if a newer listing has begun.
    reader_ = QThread::create([this, folder, generation] {
        const auto post = [this, generation](auto change) {
            QMetaObject::invokeMethod(
                this,
                [this, generation, change] {
                    if (generation == generation_) change();
                },
                Qt::QueuedConnection);
        };
        // Nothing may escape a thread: running out of memory ends the listing
        // with the error's number in the window, not the program.
        try {
            QList<AppError> errors;
            const QList<mUtility::ListedFile> files =
                mUtility::ListSoundFiles(folder, false, errors);
            const QString problem = errors.isEmpty() ? QString()
                                                     : QStringLiteral("error %1: %2")
                                                           .arg(errors.first().Number)
                                                           .arg(errors.first().Description);
            const qint64 total = files.size();
            QList<InventoryRow> batch;
            QElapsedTimer sinceBatch;
            sinceBatch.start();
            qint64 done = 0;
            QList<int> valid;
            for (const auto& [path, regular] : files) {
                if (stop_) return;
                batch << mUtility::InventoryRowOf(path, false, nullptr, nullptr, regular);
                if (batch.last().Valid) valid << int(done);
                ++done;
                if (batch.size() >= kBatchRows || sinceBatch.elapsed() >= kBatchMs) {
                    post([this, batch, done, total] {
                        model_->Append(batch);
                        ShowProgress(done, total);
                    });
                    batch.clear();
                    sinceBatch.restart();
                }
            }
            post([this, batch, total, problem] {
                model_->Append(batch);
                Finish(total, problem);
            });
            MeasureLoudness(files, valid, post);
        } catch (...) {
            const AppError e = TrapERR::CurrentError();
            post([this, e] {
                if (reading_)
                    Finish(model_->rowCount(),
                           QStringLiteral("error %1: %2").arg(e.Number).arg(e.Description));
                FinishLoudness();
            });
        }
    });
    reader_->start();
}

// Runs on the worker once the headers are in: the loudness of each valid
// file, handed to the window in batches like the rows.
template <typename Post>
void frmDetails::MeasureLoudness(const QList<mUtility::ListedFile>& files, const QList<int>& valid,
                                 const Post& post) {
    QList<QPair<int, Loudness::Figures>> batch;
    QElapsedTimer sinceBatch;
    sinceBatch.start();
    qint64 done = 0;
    for (const int row : valid) {
        try {
            const std::optional<Loudness::Figures> f =
                Loudness::MeasureFile(files[row].path, &stop_);
            if (!f) return;
            batch.append({row, *f});
        } catch (const AppError&) {
            // Changed since its header was read: it keeps empty figures.
        }
        ++done;
        if (batch.size() >= kBatchRows || sinceBatch.elapsed() >= kBatchMs) {
            post([this, batch, done, total = valid.size()] {
                model_->SetFigures(batch);
                lblProgress->setText(
                    QStringLiteral("Measuring loudness: %1 of %2").arg(done).arg(total));
            });
            batch.clear();
            sinceBatch.restart();
        }
    }
    post([this, batch] {
        model_->SetFigures(batch);
        FinishLoudness();
    });
}

void frmDetails::StopReading() {
    if (!reader_) return;
    ++generation_;
    stop_ = true;
    reader_->wait();
    delete reader_;
    reader_ = nullptr;
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
