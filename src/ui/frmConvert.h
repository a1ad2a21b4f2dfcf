#pragma once

#include <QDialog>
#include <QString>
#include <array>
#include <initializer_list>
#include <optional>

#include "ImportTarget.h"

class QButtonGroup;
class QCheckBox;
class QFrame;
class QLabel;
class QRadioButton;
class QuillonButton;
class FlexMaskEditBox;
class cCommonDialog;

// The Convert dialog: shows the header values of the current file
// (mUtility::SoundInfo), lets the user relabel them and writes the file in up
// to three other formats. Every choice is written straight into SoundInfo.
//
// The constructor runs the load steps; an error there propagates as an
// AppError carrying the report, so the caller shows it and does not open the
// dialog. Event handlers report their own errors through zs::RunTopLevel and
// leave the dialog usable.
class frmConvert : public QDialog {
    Q_OBJECT

public:
    explicit frmConvert(QWidget* parent = nullptr);
    ~frmConvert() override;

    static constexpr int SampleRateCount = 7;

    // Set when the user took Import instead of a relabel that would not give
    // the sound the values chosen: what to import into, from these choices.
    const std::optional<ImportTarget>& ImportInstead() const { return importInstead_; }

private:
    void BuildWidgets();
    void BuildLayout();
    // One caption/value row of a frame: caption object name, caption, value.
    struct ValueRow {
        const char* name;
        const char* caption;
        QLabel* value;
    };
    // A frame of caption/value rows under an optional heading.
    QFrame* ValueFrame(const char* headingName, const QString& heading,
                       std::initializer_list<ValueRow> rows);
    void ConnectHandlers();

    void Form_Load();
    void btnConvert_Click();
    void btnPreview_Click();
    void chkChange8bitFlag_Click();
    void chkChangeInternalID_Click();
    void opt8bitFlag_Click(int Index);
    void optBitDepth_Click(int Index);
    void optChannels_Click(int Index);
    void optSampleRate_Click(int Index);
    void mskInternalID_Change();

    // Asks for one output path through `dialog`; returns the chosen full path.
    // A cancelled dialog raises error 20001.
    QString AskOutputPath(cCommonDialog& dialog, const QString& filter, const QString& defaultExt,
                          const QString& proposedName);

    void ShowFlagLabelForDepth();
    // Before anything is written: a game file the format cannot hold is
    // refused, and a relabel that reads the samples otherwise is said for what
    // it is; both offer Import. False when the conversion is not to go ahead.
    bool ConfirmRelabel();
    ImportTarget ChosenImportTarget() const;
    void RunHandler(void (frmConvert::*handler)());

    QLabel* lblFilename = nullptr;
    QLabel* lblFilesize = nullptr;
    QLabel* lblSamples = nullptr;
    QLabel* lblSoundLength = nullptr;
    QLabel* lblSampleRate = nullptr;
    QLabel* lblBitDepth = nullptr;
    QLabel* lblChannels = nullptr;
    QLabel* lblRawDataLength = nullptr;
    QLabel* lbl8bitFlag = nullptr;
    QLabel* lblInternalID = nullptr;
    std::array<QLabel*, 3> lblEncoding{};

    std::array<QRadioButton*, SampleRateCount> optSampleRate{};
    std::array<QRadioButton*, 2> optBitDepth{};
    std::array<QRadioButton*, 2> optChannels{};
    std::array<QRadioButton*, 2> opt8bitFlag{};
    QButtonGroup* grpSampleRate = nullptr;
    QButtonGroup* grpBitDepth = nullptr;
    QButtonGroup* grpChannels = nullptr;
    QButtonGroup* grp8bitFlag = nullptr;

    QCheckBox* chkChange8bitFlag = nullptr;
    QCheckBox* chkChangeInternalID = nullptr;
    FlexMaskEditBox* mskInternalID = nullptr;
    std::array<QCheckBox*, 3> chkFormat{};

    QuillonButton* btnConvert = nullptr;
    QuillonButton* btnPreview = nullptr;
    QuillonButton* btnCancel = nullptr;

    // The internal ID the file had when the dialog opened: unticking
    // "Change Internal ID#" gives it back instead of writing 0.
    qint32 loadedInternalID_ = 0;
    // The depth and channels the samples really have.
    qint32 loadedBits_ = 0;
    qint32 loadedChannels_ = 0;
    std::optional<ImportTarget> importInstead_;
};
