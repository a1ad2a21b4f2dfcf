#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>
#include <array>
#include <vector>

#include "BatchPlan.h"

class QButtonGroup;
class QLabel;
class QListWidget;
class QProgressBar;
class QRadioButton;
class QuillonButton;

// The Batch dialog: converts files of the current file's type
// (mUtility::SoundInfo.Extension) in its folder into one other type, writing
// each output beside its source under the upper-cased name with the new
// extension, over existing files without asking.
//
// The constructor runs the load steps; an error there propagates as an
// AppError carrying the report. Event handlers report their own errors through
// zs::RunTopLevel; after a failed Go the dialog is usable again, the files
// converted before the failure stay written and the failing entry is
// highlighted.
class frmBatch : public QDialog {
    Q_OBJECT

public:
    explicit frmBatch(QWidget* parent = nullptr);
    ~frmBatch() override;

public slots:
    // Refused while Go runs.
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildWidgets();
    void BuildLayout();
    void ConnectHandlers();

    void Form_Load();
    void btnAdd_Click(int Index);
    void btnSubtract_Click(int Index);
    void BatchFileList_DblClick();
    void ConvertList_DblClick();
    void btnConvert_Click();

    void ConvertEntry(const mUtility::BatchStep& step, int target);
    void SetBusy(bool busy);
    void ShowProgress(int done, int total, const QString& entry);

    QLabel* lblFolder = nullptr;  // the folder whose files are converted, in place
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QListWidget* BatchFileList = nullptr;
    QListWidget* ConvertList = nullptr;
    std::array<QuillonButton*, 2> btnAdd{};
    std::array<QuillonButton*, 2> btnSubtract{};
    std::array<QRadioButton*, 3> optConvType{};
    QButtonGroup* grpConvType = nullptr;
    QuillonButton* btnConvert = nullptr;
    QuillonButton* btnCancel = nullptr;
    QLabel* lblProgress = nullptr;
    QProgressBar* prgProgress = nullptr;

    bool busy_ = false;
    std::vector<QWidget*> disabledWhileBusy_;  // re-enabled when Go ends
};
