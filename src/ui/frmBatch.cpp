#include "frmBatch.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QRadioButton>
#include <QVBoxLayout>

#include "Conversion.h"
#include "DialogParts.h"
#include "Inventory.h"
#include "MsgBox.h"
#include "QuillonButton.h"
#include "RunTopLevel.h"
#include "SignalQuit.h"
#include "SoundInfo.h"
#include "TrapERR.h"
#include "UncheckedHeader.h"
#include "WindowSize.h"

using mUtility::SoundInfo;

namespace {

// Target types by optConvType index.
const std::array<QString, 3> kTypes{QStringLiteral("SND"), QStringLiteral("WSD"),
                                    QStringLiteral("WAV")};

QString TargetNameField(int target, mUtility::SoundInfoRecord& info, const QString& name) {
    switch (target) {
        case 0:
            return info.SndName = name;
        case 1:
            return info.WsdName = name;
        default:
            return info.WavName = name;
    }
}

}  // namespace

frmBatch::frmBatch(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Batch Convert"));
    BuildWidgets();
    BuildLayout();
    WindowSize::Keep(this, QStringLiteral("frmBatch"));
    ConnectHandlers();
    Form_Load();
}

frmBatch::~frmBatch() = default;

void frmBatch::BuildWidgets() {
    const auto button = [this](const QString& name, const QString& caption, const QString& tip) {
        auto* b = new QuillonButton(this);
        b->setObjectName(name);
        QuillonButton::ApplyProgramLook(b);
        b->setCaption(caption);
        b->setToolTip(tip);
        b->setAccessibleName(tip);
        return b;
    };
    const auto list = [this](const QString& name) {
        auto* l = new QListWidget(this);
        l->setObjectName(name);
        l->setSelectionMode(QAbstractItemView::SingleSelection);
        return l;
    };

    lblFolder = DialogParts::NewFolderLabel(this, SoundInfo.Folder);
    Label1 = new QLabel(QStringLiteral("S&ource Files"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    BatchFileList = list(QStringLiteral("BatchFileList"));
    Label1->setBuddy(BatchFileList);
    // A list view does not take its label's words as its accessible name.
    BatchFileList->setAccessibleName(QStringLiteral("Source Files"));
    btnAdd = {
        button(QStringLiteral("btnAdd_0"), QStringLiteral(">"),
               QStringLiteral("Add highlighted file")),
        button(QStringLiteral("btnAdd_1"), QStringLiteral(">>"), QStringLiteral("Add all files"))};
    btnSubtract = {button(QStringLiteral("btnSubtract_0"), QStringLiteral("<"),
                          QStringLiteral("Remove highlighted file")),
                   button(QStringLiteral("btnSubtract_1"), QStringLiteral("<<"),
                          QStringLiteral("Remove all files"))};
    Label2 = new QLabel(QStringLiteral("Files &to Convert"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    ConvertList = list(QStringLiteral("ConvertList"));
    Label2->setBuddy(ConvertList);
    ConvertList->setAccessibleName(QStringLiteral("Files to Convert"));

    Label3 = new QLabel(QStringLiteral("Convert to:"), this);
    Label3->setObjectName(QStringLiteral("Label3"));
    grpConvType = new QButtonGroup(this);
    const std::array<QString, 3> captions{QStringLiteral("&SND"), QStringLiteral("&WSD"),
                                          QStringLiteral("W&AV")};
    for (int i = 0; i < 3; ++i) {
        optConvType[i] = new QRadioButton(captions[i], this);
        optConvType[i]->setObjectName(QStringLiteral("optConvType_%1").arg(i));
        optConvType[i]->setAccessibleName(kTypes[i]);
        grpConvType->addButton(optConvType[i], i);
    }
    Label3->setBuddy(optConvType[0]);

    btnConvert = button(QStringLiteral("btnConvert"), QStringLiteral("&Go"),
                        QStringLiteral("Convert the file"));
    btnConvert->setAccessibleName(QStringLiteral("Go"));
    btnCancel = button(QStringLiteral("btnCancel"), QStringLiteral("&Cancel"),
                       QStringLiteral("Cancel conversion"));
    btnCancel->setAccessibleName(QStringLiteral("Cancel"));

    lblProgress = new QLabel(this);
    lblProgress->setObjectName(QStringLiteral("lblProgress"));
    prgProgress = new QProgressBar(this);
    prgProgress->setObjectName(QStringLiteral("prgProgress"));
    prgProgress->setTextVisible(true);
    prgProgress->setFormat(QStringLiteral("%v / %m"));
    // The progress line has its room from the start, so that nothing moves when Go shows it.
    for (QWidget* w : {static_cast<QWidget*>(lblProgress), static_cast<QWidget*>(prgProgress)}) {
        QSizePolicy policy = w->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        w->setSizePolicy(policy);
        w->setVisible(false);
    }
}

void frmBatch::BuildLayout() {
    auto* moves = new QVBoxLayout;
    moves->addStretch(1);
    for (QuillonButton* b : {btnAdd[0], btnAdd[1], btnSubtract[0], btnSubtract[1]}) {
        b->setMinimumSize(48, 28);
        moves->addWidget(b);
    }
    moves->addStretch(1);

    auto* lists = new QGridLayout;
    lists->addWidget(Label1, 0, 0);
    lists->addWidget(BatchFileList, 1, 0);
    lists->addLayout(moves, 1, 1);
    lists->addWidget(Label2, 0, 2);
    lists->addWidget(ConvertList, 1, 2);
    lists->setColumnStretch(0, 1);
    lists->setColumnStretch(2, 1);

    auto* targets = new QHBoxLayout;
    targets->addWidget(Label3);
    for (QRadioButton* r : optConvType) targets->addWidget(r);
    targets->addStretch(1);

    auto* warning = new QLabel(
        QStringLiteral("Warning: batch conversion will overwrite files without prompting!"), this);
    warning->setObjectName(QStringLiteral("Label4"));
    warning->setWordWrap(true);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (QuillonButton* b : {btnConvert, btnCancel}) {
        b->setMinimumSize(90, 30);
        buttons->addWidget(b);
    }

    auto* main = new QVBoxLayout(this);
    main->addWidget(lblFolder);
    main->addLayout(lists, 1);
    main->addLayout(targets);
    main->addWidget(warning);
    main->addWidget(lblProgress);
    main->addWidget(prgProgress);
    main->addLayout(buttons);

    QList<QWidget*> order{BatchFileList,  btnAdd[0],      btnAdd[1],
                          btnSubtract[0], btnSubtract[1], ConvertList};
    for (QRadioButton* r : optConvType) order << r;
    order << btnConvert << btnCancel;
    for (int i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);
}

void frmBatch::ConnectHandlers() {
    const auto run = [this](auto handler) {
        return [this, handler] { zs::RunTopLevel(this, [this, handler] { handler(this); }); };
    };
    for (int i = 0; i < 2; ++i) {
        connect(btnAdd[i], &QuillonButton::Click, this,
                run([i](frmBatch* self) { self->btnAdd_Click(i); }));
        connect(btnSubtract[i], &QuillonButton::Click, this,
                run([i](frmBatch* self) { self->btnSubtract_Click(i); }));
    }
    connect(BatchFileList, &QListWidget::itemDoubleClicked, this,
            run([](frmBatch* self) { self->BatchFileList_DblClick(); }));
    connect(ConvertList, &QListWidget::itemDoubleClicked, this,
            run([](frmBatch* self) { self->ConvertList_DblClick(); }));
    connect(btnConvert, &QuillonButton::Click, this,
            run([](frmBatch* self) { self->btnConvert_Click(); }));
    connect(btnCancel, &QuillonButton::Click, this, &frmBatch::reject);
    // Go has nothing to do until a target type is ticked.
    btnConvert->setEnabled(false);
    connect(grpConvType, &QButtonGroup::idToggled, this,
            [this] { btnConvert->setEnabled(grpConvType->checkedId() >= 0); });
}

void frmBatch::Form_Load() {
    try {
        // Read as bytes: a name that is not valid UTF-8 is listed and converted
        // like any other, never left out in silence.
        QList<AppError> errors;
        QStringList entries;
        for (const QString& path : mUtility::SoundFilesIn(SoundInfo.Folder, false, errors)) {
            QString parent, name;
            mUtility::SplitPath(path, parent, name);
            if (!name.startsWith(QLatin1Char('.')) &&
                mUtility::TypeOfName(name) == SoundInfo.Extension)
                entries << name;
        }
        BatchFileList->addItems(entries);
        for (int i = 0; i < 3; ++i) optConvType[i]->setEnabled(kTypes[i] != SoundInfo.Extension);
    }
    ZS_TRAP("frmBatch.Form_Load")
}

namespace {

// Moves the highlighted entry of `from` to the end of `to`; the entry below it
// (or the new last one) becomes highlighted so the next move needs no pointer.
void MoveHighlighted(QListWidget* from, QListWidget* to) {
    QListWidgetItem* item = from->currentItem();
    if (item == nullptr || !item->isSelected()) return;
    const int row = from->row(item);
    to->addItem(from->takeItem(row));
    if (from->count() > 0) from->setCurrentRow(std::min(row, from->count() - 1));
}

void MoveAll(QListWidget* from, QListWidget* to) {
    while (from->count() > 0) to->addItem(from->takeItem(0));
}

}  // namespace

void frmBatch::btnAdd_Click(int Index) {
    try {
        if (Index == 0) {
            MoveHighlighted(BatchFileList, ConvertList);
        } else {
            MoveAll(BatchFileList, ConvertList);
        }
    }
    ZS_TRAP("frmBatch.btnAdd_Click(Index)", Index)
}

void frmBatch::btnSubtract_Click(int Index) {
    try {
        if (Index == 0) {
            MoveHighlighted(ConvertList, BatchFileList);
        } else {
            MoveAll(ConvertList, BatchFileList);
        }
    }
    ZS_TRAP("frmBatch.btnSubtract_Click(Index)", Index)
}

void frmBatch::BatchFileList_DblClick() {
    try {
        MoveHighlighted(BatchFileList, ConvertList);
    }
    ZS_TRAP("frmBatch.BatchFileList_DblClick")
}

void frmBatch::ConvertList_DblClick() {
    try {
        MoveHighlighted(ConvertList, BatchFileList);
    }
    ZS_TRAP("frmBatch.ConvertList_DblClick")
}

void frmBatch::ConvertEntry(const mUtility::BatchStep& step, int target) {
    const QString source = mUtility::JoinPath(SoundInfo.Folder, step.Entry);
    mUtility::ReadHeaderUnchecked(source, SoundInfo.Extension, SoundInfo);
    const QString output = TargetNameField(target, SoundInfo, step.Output);
    const QString dest = mUtility::JoinPath(SoundInfo.Folder, output);
    if (kTypes[target] == QLatin1String("WAV")) {
        mUtility::MakeWAV(source, dest);
    } else {
        mUtility::MakeSND(source, dest);
    }
}

void frmBatch::btnConvert_Click() {
    int current = -1;
    try {
        if (ConvertList->count() == 0) return;
        mUtility::ConvertedCount = 0;
        SetBusy(true);
        const int target = grpConvType->checkedId();
        const int total = ConvertList->count();
        if (target >= 0) {
            QStringList entries;
            for (int i = 0; i < total; ++i) entries << ConvertList->item(i)->text();
            const QList<mUtility::BatchStep> steps =
                mUtility::PlanBatch(SoundInfo.Folder, entries, SoundInfo.Extension, kTypes[target]);
            for (current = 0; current < total; ++current) {
                ShowProgress(current, total, steps[current].Entry);
                ConvertEntry(steps[current], target);
                // A termination signal ends the run between two files, each
                // one whole: the program is closing, so no report follows.
                if (SignalQuit::Received() != 0) {
                    SetBusy(false);
                    reject();
                    return;
                }
            }
            ShowProgress(total, total, QString());
        }
        SetBusy(false);
        MsgBox::Show(this, QMessageBox::Information, QStringLiteral("Success"),
                     QStringLiteral("Operation was successful!  %1 files were converted.")
                         .arg(mUtility::ConvertedCount));
        accept();
    } catch (...) {
        if (busy_) SetBusy(false);
        QString stopped;
        if (current >= 0 && current < ConvertList->count()) {
            ConvertList->setCurrentRow(current);
            stopped = QStringLiteral("%1 of %2 converted; stopped at %3\r\n\r\n")
                          .arg(current)
                          .arg(ConvertList->count())
                          .arg(ConvertList->item(current)->text());
        }
        try {
            TrapERR::Trap(QStringLiteral("frmBatch.btnConvert_Click"));
        } catch (AppError& e) {
            // The report leads with how far the run came.
            e.Description.prepend(stopped);
            throw;
        }
    }
}

void frmBatch::SetBusy(bool busy) {
    if (!busy) {
        // Input that arrived while busy is still queued: let it reach the
        // disabled widgets, which drop it, before they take input again.
        QCoreApplication::processEvents();
    }
    busy_ = busy;
    if (busy) {
        const QList<QWidget*> inputs{BatchFileList,  ConvertList,    btnAdd[0],      btnAdd[1],
                                     btnSubtract[0], btnSubtract[1], optConvType[0], optConvType[1],
                                     optConvType[2], btnConvert,     btnCancel};
        for (QWidget* w : inputs) {
            if (!w->isEnabled()) continue;
            w->setEnabled(false);
            disabledWhileBusy_.push_back(w);
        }
    } else {
        for (QWidget* w : disabledWhileBusy_) w->setEnabled(true);
        disabledWhileBusy_.clear();
    }
    if (busy) {
        setCursor(Qt::WaitCursor);
        lblProgress->setVisible(true);
        prgProgress->setVisible(true);
    } else {
        unsetCursor();
    }
}

void frmBatch::ShowProgress(int done, int total, const QString& entry) {
    prgProgress->setRange(0, total);
    prgProgress->setValue(done);
    lblProgress->setText(
        entry.isEmpty()
            ? QStringLiteral("%1 of %2 files converted").arg(done).arg(total)
            : QStringLiteral("Converting %1 (%2 of %3)").arg(entry).arg(done + 1).arg(total));
    // Keep the window painted without taking input.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void frmBatch::reject() {
    if (busy_) return;
    QDialog::reject();
}

void frmBatch::closeEvent(QCloseEvent* event) {
    if (busy_) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}
