#pragma once

#include <QDialog>
#include <QString>
#include <array>
#include <functional>
#include <optional>

#include "ImportTarget.h"
#include "Importer.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QProgressBar;
class QRadioButton;
class QuillonButton;
class FlexMaskEditBox;

// The Import dialog: shows the figures of an audio file of any format,
// lets the user choose the game file (or canonical WAV) to make of it, asks
// for the destination through the save dialog and imports it with a progress
// bar, cancellable, painting as it goes.
//
// The constructor opens the source; a file that cannot be decoded raises
// AppError (321), and the caller shows it instead of the dialog.
class frmImport : public QDialog {
    Q_OBJECT

public:
    // `folder` is the main window's folder: the proposed destination and the
    // game files offered under "Like".
    frmImport(const QString& sourcePath, const QString& folder, QWidget* parent = nullptr);
    ~frmImport() override;

    // Starts from `target` instead of the source's defaults (Convert hands
    // over what the user chose there).
    void SetTarget(const ImportTarget& target);

    // The file written by the last successful import, "" otherwise.
    QString CreatedFile() const { return created_; }

    // Asks for an audio file to import; "" when cancelled. Tests replace the
    // chooser with SetSourceChooser (an empty function brings the real one back).
    static QString AskSourceFile(QWidget* owner, const QString& folder);
    static void SetSourceChooser(std::function<QString(QWidget*, const QString&)> chooser);

    // True for a file the main window hands to this dialog when dropped: any
    // file but the game's own types.
    static bool TakesDroppedFile(const QString& path);
    // True for a file of audio this dialog can read.
    static bool Decodes(const QString& path);

    static constexpr int SampleRateCount = 7;

protected:
    void reject() override;

private:
    void BuildWidgets();
    void BuildLayout();
    void ConnectHandlers();
    void ShowSource();
    void ShowTarget();
    void FillLikeList();
    void ShowSummary();
    QString ProposedName(const ImportTarget& target) const;

    void cboLike_Change();
    void btnImport_Click();
    void RunHandler(void (frmImport::*handler)());

    ImportTarget ChosenTarget() const;
    // The loudness to match, if any, for writing `dest`; false when "like"
    // has no sound to take it from (the user has been told).
    bool ChosenGoal(const QString& dest, std::optional<LoudnessGoal>& goal);
    void SetBusy(bool busy);

    QString source_;
    QString folder_;
    QString created_;
    SourceFacts facts_;
    ImportTarget target_;
    bool busy_ = false;
    bool cancelRequested_ = false;
    QString likeName_;  // the game file chosen under Like, its name on disk
    // The Like file's ID and 8-bit flag exactly as it holds them, and how the
    // fields showed them: an ID the 4-digit field cannot hold, or a flag other
    // than True or False, is written as the file has it until the field is changed.
    struct LikeKept {
        QString IdText;
        qint32 Id = 0;
        int FlagButton = -1;
        qint32 Flag = 0;
    } likeKept_;

    QLabel* lblFilename = nullptr;
    QLabel* lblFormat = nullptr;
    QLabel* lblSampleRate = nullptr;
    QLabel* lblBitDepth = nullptr;
    QLabel* lblChannels = nullptr;
    QLabel* lblLength = nullptr;
    QComboBox* cboLike = nullptr;
    QLabel* lblLikeValues = nullptr;
    QLabel* lblSummary = nullptr;
    std::array<QRadioButton*, 3> optType{};
    std::array<QRadioButton*, SampleRateCount> optSampleRate{};
    std::array<QRadioButton*, 2> optBitDepth{};
    std::array<QRadioButton*, 2> optChannels{};
    QCheckBox* chkChange8bitFlag = nullptr;
    std::array<QRadioButton*, 2> opt8bitFlag{};
    FlexMaskEditBox* mskInternalID = nullptr;
    QComboBox* cboLoudness = nullptr;
    QDoubleSpinBox* spnCeiling = nullptr;
    QButtonGroup* grpType = nullptr;
    QButtonGroup* grpSampleRate = nullptr;
    QButtonGroup* grpBitDepth = nullptr;
    QButtonGroup* grpChannels = nullptr;
    QButtonGroup* grp8bitFlag = nullptr;
    QProgressBar* prgImport = nullptr;
    QuillonButton* btnImport = nullptr;
    QuillonButton* btnCancel = nullptr;
};
