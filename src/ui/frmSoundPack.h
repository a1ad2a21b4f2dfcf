#pragma once

#include <QDialog>

#include "SoundPack.h"

class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTreeWidget;

// Apply Sound Pack: the files a checked pack will change in the folder, and
// why any is refused; Apply replaces them all or nothing with a progress bar.
class frmSoundPack : public QDialog {
    Q_OBJECT

public:
    frmSoundPack(const Replace::PackPlan& plan, QWidget* parent = nullptr);

    // True once the pack has been applied.
    bool Applied() const { return applied_; }

private:
    void Fill();
    void UpdateButtons();
    void Apply();

    Replace::PackPlan plan_;
    bool applied_ = false;
    QLabel* lblIntro = nullptr;
    QTreeWidget* lstChanges = nullptr;
    QCheckBox* chkForce = nullptr;
    QProgressBar* barProgress = nullptr;
    QPushButton* btnApply = nullptr;
    QPushButton* btnCancel = nullptr;
};
