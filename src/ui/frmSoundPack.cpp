#include "frmSoundPack.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "AppError.h"
#include "MsgBox.h"
#include "RunTopLevel.h"

namespace {

QString ActionText(Replace::PackAction action, bool force) {
    switch (action) {
        case Replace::PackAction::Replace:
            return QStringLiteral("will be replaced");
        case Replace::PackAction::Present:
            return QStringLiteral("already this pack's sound: left as it is");
        case Replace::PackAction::Mismatch:
            return force ? QStringLiteral("will be replaced, though not the stock sound expected")
                         : QStringLiteral("refused: not the stock sound the pack expects");
        case Replace::PackAction::Missing:
            break;
    }
    return QStringLiteral("refused: not in this folder");
}

}  // namespace

frmSoundPack::frmSoundPack(const Replace::PackPlan& plan, QWidget* parent)
    : QDialog(parent), plan_(plan) {
    setObjectName("frmSoundPack");
    setWindowTitle(QStringLiteral("Apply Sound Pack"));
    lblIntro = new QLabel(this);
    lblIntro->setWordWrap(true);
    lblIntro->setText(QStringLiteral("%1 changes these files of %2. The originals are kept; "
                                     "Restore All Originals brings them back.")
                          .arg(plan.ZipPath.section(QLatin1Char('/'), -1), plan.Folder));
    lblIntro->setToolTip(plan.Readme);
    lstChanges = new QTreeWidget(this);
    lstChanges->setObjectName("lstChanges");
    lstChanges->setAccessibleName(QStringLiteral("Changes"));
    lstChanges->setHeaderLabels({QStringLiteral("File"), QStringLiteral("Change")});
    lstChanges->setRootIsDecorated(false);
    lstChanges->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    chkForce =
        new QCheckBox(QStringLiteral("Also replace files that are &not the stock sound"), this);
    chkForce->setObjectName("chkForce");
    barProgress = new QProgressBar(this);
    barProgress->setObjectName("barProgress");
    barProgress->setAccessibleName(QStringLiteral("Progress"));
    barProgress->setRange(0, std::max(1, plan.ToChange()));
    barProgress->setValue(0);
    auto* buttons = new QDialogButtonBox(this);
    btnApply = buttons->addButton(QStringLiteral("&Apply"), QDialogButtonBox::AcceptRole);
    btnApply->setObjectName("btnApply");
    btnCancel = buttons->addButton(QDialogButtonBox::Cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblIntro);
    layout->addWidget(lstChanges, 1);
    layout->addWidget(chkForce);
    layout->addWidget(barProgress);
    layout->addWidget(buttons);
    resize(560, 360);
    connect(chkForce, &QCheckBox::toggled, this, [this] {
        Fill();
        UpdateButtons();
    });
    connect(btnApply, &QPushButton::clicked, this,
            [this] { zs::RunTopLevel(this, [this] { Apply(); }); });
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    const bool mismatch = std::any_of(plan.Files.begin(), plan.Files.end(), [](const auto& p) {
        return p.Action == Replace::PackAction::Mismatch;
    });
    chkForce->setVisible(mismatch);
    Fill();
    UpdateButtons();
}

void frmSoundPack::Fill() {
    lstChanges->clear();
    for (const Replace::PlannedFile& p : plan_.Files)
        new QTreeWidgetItem(lstChanges, {p.File.Name, ActionText(p.Action, chkForce->isChecked())});
}

void frmSoundPack::UpdateButtons() {
    btnApply->setEnabled(!applied_ && plan_.Refusals(chkForce->isChecked()).isEmpty() &&
                         plan_.ToChange() > 0);
    btnApply->setDefault(btnApply->isEnabled());
}

void frmSoundPack::Apply() {
    try {
        btnApply->setEnabled(false);
        btnCancel->setEnabled(false);
        chkForce->setEnabled(false);
        const auto restore = qScopeGuard([this] {
            btnCancel->setEnabled(true);
            chkForce->setEnabled(true);
            UpdateButtons();
        });
        Replace::ApplyPack(plan_.ZipPath, plan_.Folder, chkForce->isChecked(),
                           [this](int done, int total) {
                               barProgress->setRange(0, std::max(1, total));
                               barProgress->setValue(done);
                               QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
                           });
        applied_ = true;
        MsgBox::Show(this, QMessageBox::Information, windowTitle(),
                     QStringLiteral("%1 applied: %2 file(s) replaced.")
                         .arg(plan_.ZipPath.section(QLatin1Char('/'), -1))
                         .arg(plan_.ToChange()));
        accept();
    } catch (const AppError& e) {
        if (e.Number != ErrNo::InvalidFileFormat && e.Number != ErrNo::InvalidProcedureCall) throw;
        MsgBox::Show(this, QMessageBox::Warning, windowTitle(),
                     e.Description + QStringLiteral("\r\n\r\nNothing was changed."));
    }
}
