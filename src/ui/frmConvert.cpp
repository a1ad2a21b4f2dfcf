#include "frmConvert.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>
#include <memory>

#include "AppError.h"
#include "Conversion.h"
#include "ConvertOptions.h"
#include "DialogParts.h"
#include "FlexMaskEditBox.h"
#include "Format.h"
#include "Inspection.h"
#include "MsgBox.h"
#include "Preview.h"
#include "QuillonButton.h"
#include "RunTopLevel.h"
#include "SoundInfo.h"
#include "TrapERR.h"
#include "WindowSize.h"
#include "cCommonDialog.h"
#include "cFileSystem.h"

using mUtility::SoundInfo;

namespace {

// One output format of the Go command, by chkFormat index.
struct OutputFormat {
    const char* filter;
    const char* defaultExt;
    QString mUtility::SoundInfoRecord::*proposedName;
    bool wav;
};

const std::array<OutputFormat, 3> kFormats{{
    {"SND Files (*.SND)|*.SND|All Files (*.*)|*.*", ".SND", &mUtility::SoundInfoRecord::SndName,
     false},
    {"WSD Files (*.WSD)|*.WSD|All Files (*.*)|*.*", ".WSD", &mUtility::SoundInfoRecord::WsdName,
     false},
    {"WAV Files (*.WAV)|*.WAV|All Files (*.*)|*.*", ".WAV", &mUtility::SoundInfoRecord::WavName,
     true},
}};

QString TrueFalse(bool value) {
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

QString ChannelsText(qint32 channels) {
    if (channels == 1) return QStringLiteral("Mono");
    if (channels == 2) return QStringLiteral("Stereo");
    return QString::number(channels);
}

// Clears the selection of an exclusive group (Qt refuses to uncheck the last
// checked button of an exclusive group otherwise).
void ClearSelection(QButtonGroup* group) {
    group->setExclusive(false);
    for (QAbstractButton* button : group->buttons()) button->setChecked(false);
    group->setExclusive(true);
}

// Shown where a value cannot be worked out from the header (a rate or channel
// count of 0, say).
const QString kNotAvailable = QStringLiteral("N/A");

// Sample frames in the data: a whole number, or with the fraction an odd byte
// count leaves (5512.5). Empty for depths other than 8 and 16 bits.
QString SampleCountText(const mUtility::SoundInfoRecord& info) {
    if (info.BitsPerSample != 8 && info.BitsPerSample != 16) return {};
    if (info.Channels < 1) return kNotAvailable;
    const double frames = static_cast<double>(info.DataLength) /
                          (static_cast<double>(info.Channels) * (info.BitsPerSample / 8));
    return zs::Format(frames, QStringLiteral("0.##"));
}

// The play time, "#,##0.00 seconds" in the user's locale.
QString SoundLengthText(const mUtility::SoundInfoRecord& info) {
    const double bytesPerSecond = static_cast<double>(info.Channels) * info.BitsPerSample *
                                  static_cast<double>(info.SampleRate) / 8.0;
    if (!(bytesPerSecond > 0.0)) return kNotAvailable;
    const double seconds = info.DataLength / bytesPerSecond;
    return zs::Format(seconds, QStringLiteral("#,##0.00")) + QStringLiteral(" seconds");
}

}  // namespace

frmConvert::frmConvert(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Convert Sound File"));
    BuildWidgets();
    BuildLayout();
    WindowSize::Keep(this, QStringLiteral("frmConvert"));
    ConnectHandlers();
    Form_Load();
}

frmConvert::~frmConvert() = default;

void frmConvert::BuildWidgets() {
    const auto label = [this](const QString& name, const QString& text = {}) {
        auto* l = new QLabel(text, this);
        l->setObjectName(name);
        return l;
    };
    const auto radio = [this](const QString& name, const QString& caption) {
        return DialogParts::NewOption(this, name, caption);
    };
    const auto check = [this](const QString& name, const QString& caption) {
        return DialogParts::NewCheck(this, name, caption);
    };
    const auto button = [this](const QString& name, const QString& caption, const QString& tip) {
        return DialogParts::NewCommandButton(this, name, caption, tip);
    };

    lblFilename = label(QStringLiteral("lblFilename"));
    lblFilesize = label(QStringLiteral("lblFilesize"));
    lblSamples = label(QStringLiteral("lblSamples"));
    lblSoundLength = label(QStringLiteral("lblSoundLength"));
    lblSampleRate = label(QStringLiteral("lblSampleRate"));
    lblBitDepth = label(QStringLiteral("lblBitDepth"));
    lblChannels = label(QStringLiteral("lblChannels"));
    lblRawDataLength = label(QStringLiteral("lblRawDataLength"));
    lbl8bitFlag = label(QStringLiteral("lbl8bitFlag"));
    lblInternalID = label(QStringLiteral("lblInternalID"));

    const std::array<QString, 3> encodings{
        QStringLiteral("Sample &Rate"), QStringLiteral("&Bit Depth"), QStringLiteral("C&hannels")};
    for (int i = 0; i < 3; ++i) {
        lblEncoding[i] = label(QStringLiteral("lblEncoding_%1").arg(i), encodings[i]);
    }

    grpSampleRate = new QButtonGroup(this);
    for (int i = 0; i < SampleRateCount; ++i) {
        optSampleRate[i] = radio(QStringLiteral("optSampleRate_%1").arg(i),
                                 QString::number(ConvertOptions::SampleRates[i]));
        grpSampleRate->addButton(optSampleRate[i], i);
    }
    grpBitDepth = new QButtonGroup(this);
    optBitDepth = {radio(QStringLiteral("optBitDepth_0"), QStringLiteral("8 bit")),
                   radio(QStringLiteral("optBitDepth_1"), QStringLiteral("16 bit"))};
    grpChannels = new QButtonGroup(this);
    optChannels = {radio(QStringLiteral("optChannels_0"), QStringLiteral("1-Mono")),
                   radio(QStringLiteral("optChannels_1"), QStringLiteral("2-Stereo"))};
    chkChange8bitFlag =
        check(QStringLiteral("chkChange8bitFlag"), QStringLiteral("Set &8-bit Flag"));
    grp8bitFlag = new QButtonGroup(this);
    opt8bitFlag = {radio(QStringLiteral("opt8bitFlag_0"), QStringLiteral("&True")),
                   radio(QStringLiteral("opt8bitFlag_1"), QStringLiteral("&False"))};
    for (int i = 0; i < 2; ++i) {
        grpBitDepth->addButton(optBitDepth[i], i);
        grpChannels->addButton(optChannels[i], i);
        grp8bitFlag->addButton(opt8bitFlag[i], i);
        opt8bitFlag[i]->setVisible(false);
    }
    // The layout's selection before the file's values are applied.
    optSampleRate[1]->setChecked(true);
    optBitDepth[0]->setChecked(true);
    optChannels[0]->setChecked(true);

    chkChangeInternalID =
        check(QStringLiteral("chkChangeInternalID"), QStringLiteral("Change &Internal ID#"));
    mskInternalID = DialogParts::NewInternalIDField(this);
    mskInternalID->setVisible(false);

    chkFormat = {check(QStringLiteral("chkFormat_0"), QStringLiteral("&SND")),
                 check(QStringLiteral("chkFormat_1"), QStringLiteral("&WSD")),
                 check(QStringLiteral("chkFormat_2"), QStringLiteral("W&AV"))};

    btnConvert = button(QStringLiteral("btnConvert"), QStringLiteral("&Go"),
                        QStringLiteral("Convert the file"));
    btnPreview = button(QStringLiteral("btnPreview"), QStringLiteral("&Preview"),
                        QStringLiteral("Preview the selected sound file"));
    btnCancel = button(QStringLiteral("btnCancel"), QStringLiteral("&Cancel"),
                       QStringLiteral("Cancel conversion"));
}

QFrame* frmConvert::ValueFrame(const char* headingName, const QString& heading,
                               std::initializer_list<ValueRow> rows) {
    QFrame* frame = DialogParts::NewPanel(this);
    auto* grid = new QGridLayout(frame);
    if (!heading.isEmpty()) {
        auto* title = new QLabel(heading, frame);
        title->setObjectName(QString::fromLatin1(headingName));
        grid->addWidget(title, 0, 0, 1, 2);
    }
    for (const ValueRow& row : rows) {
        auto* caption = new QLabel(QString::fromLatin1(row.caption), frame);
        caption->setObjectName(QString::fromLatin1(row.name));
        // The value is what a screen reader speaks; the caption labels it.
        caption->setBuddy(row.value);
        row.value->setAccessibleDescription(caption->text());
        row.value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        const int line = grid->rowCount();
        grid->addWidget(caption, line, 0);
        grid->addWidget(row.value, line, 1);
    }
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(grid->rowCount(), 1);
    return frame;
}

void frmConvert::BuildLayout() {
    QFrame* fileFrame = ValueFrame(nullptr, {},
                                   {{"Label13", "File", lblFilename},
                                    {"Label12", "Size", lblFilesize},
                                    {"Label11", "Samples", lblSamples},
                                    {"Label10", "Length", lblSoundLength}});
    QFrame* usedFrame = ValueFrame("Label3", QStringLiteral("Values to be used during conversion:"),
                                   {{"Label4", "Sample Rate", lblSampleRate},
                                    {"Label5", "Bit Depth", lblBitDepth},
                                    {"Label6", "Channels", lblChannels},
                                    {"Label2", "Data length", lblRawDataLength},
                                    {"Label7", "8-bit Flag", lbl8bitFlag},
                                    {"Label8", "Internal ID#", lblInternalID}});

    QFrame* manualFrame = DialogParts::NewPanel(this);
    auto* manualGrid = new QGridLayout(manualFrame);
    auto* manualTitle =
        new QLabel(QStringLiteral("You can change/set the following values manually:"), this);
    manualTitle->setObjectName(QStringLiteral("Label1"));
    manualGrid->addWidget(manualTitle, 0, 0, 1, 2);
    const auto optionRow = [&](int row, QLabel* caption, auto& options) {
        manualGrid->addWidget(caption, row, 0);
        caption->setBuddy(options[0]);
        auto* line = new QHBoxLayout;
        for (QRadioButton* option : options) line->addWidget(option);
        line->addStretch(1);
        manualGrid->addLayout(line, row, 1);
    };
    optionRow(1, lblEncoding[0], optSampleRate);
    optionRow(2, lblEncoding[1], optBitDepth);
    optionRow(3, lblEncoding[2], optChannels);

    QFrame* changeFrame = DialogParts::NewPanel(this);
    auto* changeGrid = new QGridLayout(changeFrame);
    changeGrid->addWidget(chkChange8bitFlag, 0, 0);
    changeGrid->addWidget(opt8bitFlag[0], 0, 1);
    changeGrid->addWidget(opt8bitFlag[1], 0, 2);
    changeGrid->addWidget(chkChangeInternalID, 1, 0);
    changeGrid->addWidget(mskInternalID, 1, 1, 1, 2);
    changeGrid->setColumnStretch(3, 1);

    QFrame* outputFrame = DialogParts::NewPanel(this);
    auto* outputGrid = new QGridLayout(outputFrame);
    auto* outputTitle = new QLabel(QStringLiteral("Output formats:"), this);
    outputTitle->setObjectName(QStringLiteral("Label9"));
    outputGrid->addWidget(outputTitle, 0, 0, 1, 3);
    for (int i = 0; i < 3; ++i) outputGrid->addWidget(chkFormat[i], 1, i);

    auto* top = new QHBoxLayout;
    top->addWidget(fileFrame, 1);
    top->addWidget(usedFrame, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(changeFrame, 2);
    bottom->addWidget(outputFrame, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (QuillonButton* b : {btnConvert, btnPreview, btnCancel}) {
        b->setMinimumSize(90, 30);
        buttons->addWidget(b);
    }

    auto* main = new QVBoxLayout(this);
    main->addWidget(DialogParts::NewFolderLabel(this, SoundInfo.Folder));
    main->addLayout(top);
    main->addWidget(manualFrame);
    main->addLayout(bottom);
    main->addStretch(1);
    main->addLayout(buttons);

    // Reading order: the manual options, the changeable values, the outputs,
    // then the command buttons.
    QList<QWidget*> order;
    for (QRadioButton* r : optSampleRate) order << r;
    order << optBitDepth[0] << optBitDepth[1] << optChannels[0] << optChannels[1]
          << chkChange8bitFlag << opt8bitFlag[0] << opt8bitFlag[1] << chkChangeInternalID
          << mskInternalID << chkFormat[0] << chkFormat[1] << chkFormat[2] << btnConvert
          << btnPreview << btnCancel;
    for (int i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);
}

void frmConvert::ConnectHandlers() {
    // Each option's handler runs when it becomes selected, whether by the user
    // or by code, as the load steps rely on.
    const auto onSelect = [this](QRadioButton* option, void (frmConvert::*handler)(int),
                                 int index) {
        connect(option, &QRadioButton::toggled, this, [this, handler, index](bool checked) {
            if (checked) zs::RunTopLevel(this, [this, handler, index] { (this->*handler)(index); });
        });
    };
    for (int i = 0; i < SampleRateCount; ++i) {
        onSelect(optSampleRate[i], &frmConvert::optSampleRate_Click, i);
    }
    for (int i = 0; i < 2; ++i) {
        onSelect(optBitDepth[i], &frmConvert::optBitDepth_Click, i);
        onSelect(optChannels[i], &frmConvert::optChannels_Click, i);
        onSelect(opt8bitFlag[i], &frmConvert::opt8bitFlag_Click, i);
    }
    connect(chkChange8bitFlag, &QCheckBox::toggled, this,
            [this] { RunHandler(&frmConvert::chkChange8bitFlag_Click); });
    connect(chkChangeInternalID, &QCheckBox::toggled, this,
            [this] { RunHandler(&frmConvert::chkChangeInternalID_Click); });
    connect(mskInternalID, &FlexMaskEditBox::Change, this,
            [this] { RunHandler(&frmConvert::mskInternalID_Change); });
    connect(btnConvert, &QuillonButton::Click, this,
            [this] { RunHandler(&frmConvert::btnConvert_Click); });
    connect(btnPreview, &QuillonButton::Click, this,
            [this] { RunHandler(&frmConvert::btnPreview_Click); });
    connect(btnCancel, &QuillonButton::Click, this, &QDialog::reject);
}

void frmConvert::RunHandler(void (frmConvert::*handler)()) {
    zs::RunTopLevel(this, [this, handler] { (this->*handler)(); });
}

void frmConvert::Form_Load() {
    try {
        const QString& type = SoundInfo.Extension;
        for (int i = 0; i < 3; ++i) {
            const QString own = QString::fromLatin1(kFormats[i].defaultExt).mid(1);
            chkFormat[i]->setEnabled(type != own);
        }

        lblSampleRate->setText(QString::number(SoundInfo.SampleRate) + QStringLiteral(" Hz"));
        lblBitDepth->setText(QString::number(SoundInfo.BitsPerSample) + QStringLiteral("-bit"));
        lblChannels->setText(ChannelsText(SoundInfo.Channels));
        loadedBits_ = SoundInfo.BitsPerSample;
        loadedChannels_ = SoundInfo.Channels;

        ConvertOptions::ApplyLoadRule(SoundInfo);

        lblRawDataLength->setText(cFileSystem().FormatSize(SoundInfo.DataLength));
        ShowFlagLabelForDepth();
        lblInternalID->setText(QString::number(SoundInfo.InternalID));
        loadedInternalID_ = SoundInfo.InternalID;

        const int rate = ConvertOptions::SampleRateIndex(SoundInfo.SampleRate);
        if (rate >= 0) {
            optSampleRate[rate]->setChecked(true);
        } else {
            // No option matches: show none rather than one the file does not have.
            ClearSelection(grpSampleRate);
        }

        if (SoundInfo.BitsPerSample == 8) {
            optBitDepth[0]->setChecked(true);
        } else if (SoundInfo.BitsPerSample == 16) {
            optBitDepth[1]->setChecked(true);
        } else {
            ClearSelection(grpBitDepth);
        }
        lblSamples->setText(SampleCountText(SoundInfo));

        lblFilename->setText(SoundInfo.FileName);
        lblSoundLength->setText(SoundLengthText(SoundInfo));

        lblFilesize->setText(cFileSystem().FormatSize(QFileInfo(SoundInfo.SourcePath()).size()));

        if (SoundInfo.Channels == 1) {
            optChannels[0]->setChecked(true);
        } else if (SoundInfo.Channels == 2) {
            optChannels[1]->setChecked(true);
        } else {
            ClearSelection(grpChannels);
        }
    }
    ZS_TRAP("frmConvert.Form_Load")
}

void frmConvert::ShowFlagLabelForDepth() {
    lbl8bitFlag->setText(TrueFalse(SoundInfo.BitsPerSample == 8));
}

void frmConvert::optSampleRate_Click(int Index) {
    try {
        ConvertOptions::ApplySampleRate(SoundInfo, Index);
        lblSampleRate->setText(QString::number(SoundInfo.SampleRate) + QStringLiteral(" Hz"));
    }
    ZS_TRAP("frmConvert.optSampleRate_Click(Index)", Index)
}

void frmConvert::optBitDepth_Click(int Index) {
    try {
        ConvertOptions::ApplyBitDepth(SoundInfo, Index);
        lblBitDepth->setText(QString::number(SoundInfo.BitsPerSample) + QStringLiteral("-bit"));
        ShowFlagLabelForDepth();
    }
    ZS_TRAP("frmConvert.optBitDepth_Click(Index)", Index)
}

void frmConvert::optChannels_Click(int Index) {
    try {
        ConvertOptions::ApplyChannels(SoundInfo, Index);
        lblChannels->setText(ChannelsText(SoundInfo.Channels));
    }
    ZS_TRAP("frmConvert.optChannels_Click(Index)", Index)
}

void frmConvert::opt8bitFlag_Click(int Index) {
    try {
        // Applied to SoundInfo by Go only.
        lbl8bitFlag->setText(TrueFalse(Index == 0));
    }
    ZS_TRAP("frmConvert.opt8bitFlag_Click(Index)", Index)
}

void frmConvert::chkChange8bitFlag_Click() {
    try {
        const bool ticked = chkChange8bitFlag->isChecked();
        opt8bitFlag[0]->setVisible(ticked);
        opt8bitFlag[1]->setVisible(ticked);
        if (ticked) {
            opt8bitFlag[SoundInfo.BitsPerSample == 8 ? 0 : 1]->setChecked(true);
        } else {
            ShowFlagLabelForDepth();
        }
    }
    ZS_TRAP("frmConvert.chkChange8bitFlag_Click")
}

void frmConvert::chkChangeInternalID_Click() {
    try {
        if (chkChangeInternalID->isChecked()) {
            mskInternalID->setVisible(true);
            mskInternalID->setFocus(Qt::OtherFocusReason);
        } else {
            mskInternalID->setText(QString());
            mskInternalID->setVisible(false);
            // Not changing the ID means keeping the file's own.
            SoundInfo.InternalID = loadedInternalID_;
            lblInternalID->setText(QString::number(SoundInfo.InternalID));
        }
    }
    ZS_TRAP("frmConvert.chkChangeInternalID_Click")
}

void frmConvert::mskInternalID_Change() {
    SoundInfo.InternalID = ConvertOptions::InternalIDFromText(mskInternalID->Text());
    lblInternalID->setText(QString::number(SoundInfo.InternalID));
}

QString frmConvert::AskOutputPath(cCommonDialog& dialog, const QString& filter,
                                  const QString& defaultExt, const QString& proposedName) {
    dialog.setDialogTitle(QStringLiteral("Save File"));
    dialog.setCancelError(true);
    dialog.setHwnd(this);
    dialog.setFlags(cCommonDialog::OFN_OVERWRITEPROMPT);
    dialog.setInitDir(SoundInfo.Folder);
    dialog.setFilter(filter);
    dialog.setDefaultExt(defaultExt);
    dialog.setFilename(proposedName);
    dialog.CentreDialog(dialog.hwnd(), this);
    dialog.ShowSave();
    return dialog.Filename();
}

void frmConvert::btnConvert_Click() {
    try {
        mUtility::StatusText.clear();
        if (chkChange8bitFlag->isChecked()) {
            const int choice = grp8bitFlag->checkedId();
            if (choice >= 0) ConvertOptions::ApplyFlagChoice(SoundInfo, choice);
        }
        if (!ConfirmRelabel()) return;
        const QString source = SoundInfo.SourcePath();
        std::unique_ptr<cCommonDialog> dialog;
        for (int i = 0; i < 3; ++i) {
            if (!chkFormat[i]->isChecked()) continue;
            if (!dialog) dialog = std::make_unique<cCommonDialog>();
            const OutputFormat& format = kFormats[i];
            QString& name = SoundInfo.*format.proposedName;
            name = AskOutputPath(*dialog, QString::fromLatin1(format.filter),
                                 QString::fromLatin1(format.defaultExt), name);
            if (format.wav) {
                mUtility::MakeWAV(source, name);
            } else {
                mUtility::MakeSND(source, name);
            }
        }
        if (!mUtility::StatusText.isEmpty()) {
            MsgBox::Show(this, QMessageBox::Information, QStringLiteral("Conversion Information"),
                         mUtility::StatusText);
            dialog.reset();
            accept();
        } else {
            MsgBox::Show(this, QMessageBox::Information, QStringLiteral("Error"),
                         QStringLiteral("You must choose an output format!"));
        }
    } catch (const AppError& error) {
        // A cancelled save dialog ends the command without a word.
        if (error.Number == cCommonDialog::ErrCancel) return;
        TrapERR::Trap(QStringLiteral("frmConvert.btnConvert_Click"));
    }
    ZS_TRAP("frmConvert.btnConvert_Click")
}

bool frmConvert::ConfirmRelabel() {
    const bool gameOutput = chkFormat[0]->isChecked() || chkFormat[1]->isChecked();
    const QString refusal = gameOutput ? mUtility::GameFormatRefusal(SoundInfo) : QString();
    QString problem;
    if (!refusal.isEmpty()) {
        problem = refusal.section(QStringLiteral("\r\n"), 0, 0);  // its pointer to Import follows
    } else if (SoundInfo.BitsPerSample != loadedBits_ || SoundInfo.Channels != loadedChannels_) {
        problem = QStringLiteral(
                      "%1 holds %2-bit %3 samples; the new header says %4-bit %5. The samples "
                      "are not converted: the sound will change.")
                      .arg(SoundInfo.FileName)
                      .arg(loadedBits_)
                      .arg(ChannelsText(loadedChannels_).toLower())
                      .arg(SoundInfo.BitsPerSample)
                      .arg(ChannelsText(SoundInfo.Channels).toLower());
    } else {
        return true;
    }
    const auto answer =
        MsgBox::Show(this, QMessageBox::Warning, QStringLiteral("Convert Sound File"),
                     problem +
                         QStringLiteral("\r\n\r\nImport converts the samples to the values chosen "
                                        "here. Open Import instead?") +
                         (refusal.isEmpty() ? QStringLiteral(" (No relabels the header as chosen.)")
                                            : QString()),
                     refusal.isEmpty() ? QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel
                                       : QMessageBox::Yes | QMessageBox::Cancel,
                     QMessageBox::Yes);
    if (answer == QMessageBox::Yes) {
        importInstead_ = ChosenImportTarget();
        accept();
    }
    return answer == QMessageBox::No;
}

ImportTarget frmConvert::ChosenImportTarget() const {
    ImportTarget target;
    target.Type = chkFormat[0]->isChecked()   ? QStringLiteral("SND")
                  : chkFormat[1]->isChecked() ? QStringLiteral("WSD")
                                              : QStringLiteral("WAV");
    target.Rate = ConvertOptions::SampleRateIndex(SoundInfo.SampleRate) >= 0
                      ? SoundInfo.SampleRate
                      : ImportTarget::DefaultRate(SoundInfo.SampleRate);
    target.Bits = SoundInfo.BitsPerSample == 8 ? 8 : 16;
    target.Channels = SoundInfo.Channels == 1 ? 1 : 2;
    target.EightBitFlag = chkChange8bitFlag->isChecked() ? SoundInfo.EightBitFlag
                                                         : ImportTarget::FlagForBits(target.Bits);
    target.InternalID = std::clamp(SoundInfo.InternalID, 0, 9999);
    if (target.Type == QLatin1String("WAV")) target.EightBitFlag = target.InternalID = 0;
    return target;
}

void frmConvert::btnPreview_Click() {
    mUtility::Preview(SoundInfo.SourcePath());
}
