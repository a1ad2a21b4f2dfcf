#include "frmImport.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QDoubleSpinBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QStandardItemModel>
#include <QVBoxLayout>
#include <utility>

#include "AppError.h"
#include "ConvertOptions.h"
#include "DialogParts.h"
#include "FlexMaskEditBox.h"
#include "ImportSummary.h"
#include "Importer.h"
#include "Inspection.h"
#include "MsgBox.h"
#include "QuillonButton.h"
#include "RunTopLevel.h"
#include "SoundInfo.h"
#include "TrapERR.h"
#include "WindowSize.h"
#include "cCommonDialog.h"

namespace {

const std::array<QString, 3> kTypes{QStringLiteral("SND"), QStringLiteral("WSD"),
                                    QStringLiteral("WAV")};

std::function<QString(QWidget*, const QString&)>& SourceChooser() {
    static std::function<QString(QWidget*, const QString&)> chooser;
    return chooser;
}

QString ChannelsText(int channels) {
    if (channels == 1) return QStringLiteral("Mono");
    if (channels == 2) return QStringLiteral("Stereo");
    return QString::number(channels);
}

// More clipped samples than this are audible: the result warns of them.
constexpr qint64 kFewClipped = 10;

// Why the game file `name` of `folder` cannot serve under Like ("" when it
// can); its values are in `like` either way.
QString LikeRefusal(const QString& folder, const QString& name, mUtility::SoundInfoRecord& like) {
    mUtility::InspectionResult r;
    try {
        r = mUtility::InspectFile(folder, name, like);
    } catch (const AppError& error) {
        return error.Description;
    }
    if (!r.IsValid())
        return QString(r.MessageText).replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    if (ConvertOptions::SampleRateIndex(like.SampleRate) < 0 ||
        (like.BitsPerSample != 8 && like.BitsPerSample != 16))
        return QStringLiteral("%1 has values an import cannot write.").arg(like.FileName);
    return {};
}

QString LikeValues(const mUtility::SoundInfoRecord& like) {
    return QStringLiteral("%1: %2 Hz, %3-bit, %4, 8-bit flag %5, ID %6")
        .arg(like.FileName)
        .arg(like.SampleRate)
        .arg(like.BitsPerSample)
        .arg(ChannelsText(like.Channels).toLower())
        .arg(mUtility::FlagText(like.EightBitFlag))
        .arg(like.InternalID);
}

}  // namespace

frmImport::frmImport(const QString& sourcePath, const QString& folder, QWidget* parent)
    : QDialog(parent), source_(sourcePath), folder_(folder) {
    facts_ = ImportSource(sourcePath).Facts();
    target_ = ImportTarget::DefaultFor(facts_, kTypes[0]);
    setWindowTitle(QStringLiteral("Import Sound File"));
    BuildWidgets();
    BuildLayout();
    WindowSize::Keep(this, QStringLiteral("frmImport"));
    ShowSource();
    ShowTarget();
    FillLikeList();
    ConnectHandlers();
}

frmImport::~frmImport() = default;

void frmImport::BuildWidgets() {
    const auto label = [this](const QString& name) {
        auto* l = new QLabel(this);
        l->setObjectName(name);
        l->setTextInteractionFlags(Qt::TextSelectableByMouse);
        return l;
    };
    const auto radio = [this](const QString& name, const QString& caption, QButtonGroup* group,
                              int id) {
        QRadioButton* r = DialogParts::NewOption(this, name, caption);
        group->addButton(r, id);
        return r;
    };
    const auto button = [this](const QString& name, const QString& caption, const QString& tip) {
        QuillonButton* b = DialogParts::NewCommandButton(this, name, caption, tip);
        b->setMinimumSize(90, 30);
        return b;
    };

    lblFilename = label(QStringLiteral("lblFilename"));
    lblFormat = label(QStringLiteral("lblFormat"));
    lblSampleRate = label(QStringLiteral("lblSampleRate"));
    lblBitDepth = label(QStringLiteral("lblBitDepth"));
    lblChannels = label(QStringLiteral("lblChannels"));
    lblLength = label(QStringLiteral("lblLength"));

    cboLike = new QComboBox(this);
    cboLike->setObjectName(QStringLiteral("cboLike"));
    cboLike->setAccessibleName(QStringLiteral("Like"));
    cboLike->setAccessibleDescription(
        QStringLiteral("Takes rate, bit depth, channels, 8-bit flag and ID from a game file"));
    lblLikeValues = label(QStringLiteral("lblLikeValues"));
    lblSummary = label(QStringLiteral("lblSummary"));
    lblSummary->setAccessibleName(QStringLiteral("What the import does"));
    QFont bold = lblSummary->font();
    bold.setBold(true);
    lblSummary->setFont(bold);

    grpType = new QButtonGroup(this);
    for (int i = 0; i < 3; ++i)
        optType[i] = radio(QStringLiteral("optType_%1").arg(i), kTypes[i], grpType, i);
    grpSampleRate = new QButtonGroup(this);
    for (int i = 0; i < SampleRateCount; ++i) {
        optSampleRate[i] = radio(QStringLiteral("optSampleRate_%1").arg(i),
                                 QString::number(ConvertOptions::SampleRates[i]), grpSampleRate, i);
    }
    grpBitDepth = new QButtonGroup(this);
    optBitDepth = {
        radio(QStringLiteral("optBitDepth_0"), QStringLiteral("8 bit"), grpBitDepth, 0),
        radio(QStringLiteral("optBitDepth_1"), QStringLiteral("16 bit"), grpBitDepth, 1)};
    grpChannels = new QButtonGroup(this);
    optChannels = {
        radio(QStringLiteral("optChannels_0"), QStringLiteral("1-Mono"), grpChannels, 0),
        radio(QStringLiteral("optChannels_1"), QStringLiteral("2-Stereo"), grpChannels, 1)};
    chkChange8bitFlag = DialogParts::NewCheck(this, QStringLiteral("chkChange8bitFlag"),
                                              QStringLiteral("Set &8-bit Flag"));
    grp8bitFlag = new QButtonGroup(this);
    opt8bitFlag = {
        radio(QStringLiteral("opt8bitFlag_0"), QStringLiteral("&True"), grp8bitFlag, 0),
        radio(QStringLiteral("opt8bitFlag_1"), QStringLiteral("&False"), grp8bitFlag, 1)};
    for (QRadioButton* r : opt8bitFlag) r->setVisible(false);

    mskInternalID = DialogParts::NewInternalIDField(this);

    cboLoudness = new QComboBox(this);
    cboLoudness->setObjectName(QStringLiteral("cboLoudness"));
    cboLoudness->setAccessibleName(QStringLiteral("Loudness"));
    cboLoudness->setAccessibleDescription(QStringLiteral(
        "Brings the new sound to a loudness, without crossing the true-peak ceiling"));
    cboLoudness->addItem(QStringLiteral("Unchanged"));
    cboLoudness->addItem(QStringLiteral("Like the sound it replaces"), QStringLiteral("like"));
    for (const int lufs : {-14, -16, -18, -20, -23, -26, -30})
        cboLoudness->addItem(QStringLiteral("%1 LUFS").arg(lufs), double(lufs));
    spnCeiling = new QDoubleSpinBox(this);
    spnCeiling->setObjectName(QStringLiteral("spnCeiling"));
    spnCeiling->setAccessibleName(QStringLiteral("True-peak ceiling"));
    spnCeiling->setRange(kMinCeilingDbtp, kMaxCeilingDbtp);
    spnCeiling->setDecimals(1);
    spnCeiling->setSingleStep(0.5);
    spnCeiling->setValue(LoudnessGoal().CeilingDbtp);
    spnCeiling->setSuffix(QStringLiteral(" dBTP"));
    spnCeiling->setPrefix(QStringLiteral("ceiling "));
    spnCeiling->setEnabled(false);
    if (auto* field = spnCeiling->findChild<QLineEdit*>())
        field->setAccessibleName(spnCeiling->accessibleName());

    prgImport = new QProgressBar(this);
    prgImport->setObjectName(QStringLiteral("prgImport"));
    prgImport->setAccessibleName(QStringLiteral("Import progress"));
    prgImport->setRange(0, 1000);
    prgImport->setTextVisible(false);
    prgImport->setVisible(false);

    btnImport = button(QStringLiteral("btnImport"), QStringLiteral("&Go"),
                       QStringLiteral("Import the sound into a new file"));
    btnCancel = button(QStringLiteral("btnCancel"), QStringLiteral("&Cancel"),
                       QStringLiteral("Close, or stop a running import"));
}

void frmImport::BuildLayout() {
    QFrame* sourceFrame = DialogParts::NewPanel(this);
    auto* sourceGrid = new QGridLayout(sourceFrame);
    auto* sourceTitle = new QLabel(QStringLiteral("Sound to import:"), sourceFrame);
    sourceTitle->setObjectName(QStringLiteral("lblSourceTitle"));
    sourceGrid->addWidget(sourceTitle, 0, 0, 1, 2);
    const std::pair<const char*, QLabel*> values[] = {
        {"File", lblFilename},      {"Format", lblFormat},     {"Sample Rate", lblSampleRate},
        {"Bit Depth", lblBitDepth}, {"Channels", lblChannels}, {"Length", lblLength}};
    for (const auto& [caption, value] : values) {
        auto* l = new QLabel(QString::fromLatin1(caption), sourceFrame);
        // The value is what a screen reader speaks; the caption labels it.
        l->setBuddy(value);
        value->setAccessibleDescription(l->text());
        const int row = sourceGrid->rowCount();
        sourceGrid->addWidget(l, row, 0);
        sourceGrid->addWidget(value, row, 1);
    }
    sourceGrid->setColumnStretch(1, 1);

    QFrame* targetFrame = DialogParts::NewPanel(this);
    auto* grid = new QGridLayout(targetFrame);
    auto* targetTitle = new QLabel(QStringLiteral("Write it as:"), targetFrame);
    targetTitle->setObjectName(QStringLiteral("lblTargetTitle"));
    grid->addWidget(targetTitle, 0, 0, 1, 2);
    const auto row = [&](const QString& caption, QWidget* buddy, const QList<QWidget*>& widgets) {
        const int line = grid->rowCount();
        if (!caption.isEmpty()) {
            auto* l = new QLabel(caption, targetFrame);
            l->setBuddy(buddy);
            grid->addWidget(l, line, 0);
        }
        auto* box = new QHBoxLayout;
        for (QWidget* w : widgets) box->addWidget(w);
        box->addStretch(1);
        grid->addLayout(box, line, caption.isEmpty() ? 0 : 1, 1, caption.isEmpty() ? 2 : 1);
    };
    row(QStringLiteral("&Like"), cboLike, {cboLike, lblLikeValues});
    row(QStringLiteral("T&ype"), optType[0], {optType[0], optType[1], optType[2]});
    QList<QWidget*> rates;
    for (QRadioButton* r : optSampleRate) rates << r;
    row(QStringLiteral("Sample &Rate"), optSampleRate[0], rates);
    row(QStringLiteral("&Bit Depth"), optBitDepth[0], {optBitDepth[0], optBitDepth[1]});
    row(QStringLiteral("C&hannels"), optChannels[0], {optChannels[0], optChannels[1]});
    row({}, nullptr, {chkChange8bitFlag, opt8bitFlag[0], opt8bitFlag[1]});
    row(QStringLiteral("&Internal ID#"), mskInternalID, {mskInternalID});
    row(QStringLiteral("L&oudness"), cboLoudness, {cboLoudness, spnCeiling});
    grid->setColumnStretch(1, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(prgImport, 1);
    buttons->addStretch(0);
    buttons->addWidget(btnImport);
    buttons->addWidget(btnCancel);

    auto* main = new QVBoxLayout(this);
    main->addWidget(sourceFrame);
    main->addWidget(targetFrame);
    main->addWidget(lblSummary);
    main->addStretch(1);
    main->addLayout(buttons);

    QList<QWidget*> order{cboLike, optType[0], optType[1], optType[2]};
    for (QRadioButton* r : optSampleRate) order << r;
    order << optBitDepth[0] << optBitDepth[1] << optChannels[0] << optChannels[1]
          << chkChange8bitFlag << opt8bitFlag[0] << opt8bitFlag[1] << mskInternalID << cboLoudness
          << spnCeiling << btnImport << btnCancel;
    for (int i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);
}

void frmImport::ConnectHandlers() {
    connect(cboLike, &QComboBox::currentIndexChanged, this,
            [this] { RunHandler(&frmImport::cboLike_Change); });
    connect(grpType, &QButtonGroup::idToggled, this, [this](int, bool) {
        const bool game = grpType->checkedId() != 2;
        chkChange8bitFlag->setEnabled(game);
        for (QRadioButton* r : opt8bitFlag) r->setEnabled(game);
        mskInternalID->setEnabled(game);
    });
    connect(chkChange8bitFlag, &QCheckBox::toggled, this, [this](bool ticked) {
        for (QRadioButton* r : opt8bitFlag) r->setVisible(ticked);
        if (ticked && grp8bitFlag->checkedId() < 0)
            opt8bitFlag[grpBitDepth->checkedId() == 0 ? 0 : 1]->setChecked(true);
    });
    for (QButtonGroup* group : {grpType, grpSampleRate, grpBitDepth, grpChannels})
        connect(group, &QButtonGroup::idToggled, this, [this](int, bool on) {
            if (on) ShowSummary();
        });
    connect(cboLoudness, &QComboBox::currentIndexChanged, this,
            [this](int index) { spnCeiling->setEnabled(index > 0); });
    connect(btnImport, &QuillonButton::Click, this,
            [this] { RunHandler(&frmImport::btnImport_Click); });
    connect(btnCancel, &QuillonButton::Click, this, &frmImport::reject);
}

void frmImport::RunHandler(void (frmImport::*handler)()) {
    zs::RunTopLevel(this, [this, handler] { (this->*handler)(); });
}

void frmImport::ShowSource() {
    lblFilename->setText(QFileInfo(source_).fileName());
    lblFormat->setText(facts_.Format + QStringLiteral(", ") + facts_.Encoding);
    lblSampleRate->setText(QString::number(facts_.Rate) + QStringLiteral(" Hz"));
    lblBitDepth->setText(facts_.Bits > 0 ? QString::number(facts_.Bits) + QStringLiteral("-bit")
                                         : facts_.Encoding);
    lblChannels->setText(ChannelsText(facts_.Channels));
    lblLength->setText(facts_.LengthKnown() ? QLocale().toString(facts_.Seconds(), 'f', 2) +
                                                  QStringLiteral(" seconds")
                                            : QStringLiteral("unknown"));
}

void frmImport::ShowTarget() {
    for (int i = 0; i < 3; ++i)
        if (kTypes[i] == target_.Type) optType[i]->setChecked(true);
    const int rate = ConvertOptions::SampleRateIndex(target_.Rate);
    if (rate >= 0) optSampleRate[rate]->setChecked(true);
    optBitDepth[target_.Bits == 8 ? 0 : 1]->setChecked(true);
    optChannels[target_.Channels == 1 ? 0 : 1]->setChecked(true);
    const bool flagFollows = target_.EightBitFlag == ImportTarget::FlagForBits(target_.Bits);
    chkChange8bitFlag->setChecked(!flagFollows);
    opt8bitFlag[target_.EightBitFlag == 2 ? 0 : 1]->setChecked(true);
    // An ID beyond the field's four digits leaves it blank; the Like line names it.
    const bool fits = target_.InternalID >= 0 && target_.InternalID <= 9999;
    mskInternalID->setText(fits ? QString::number(target_.InternalID) : QString());
    ShowSummary();
}

void frmImport::SetTarget(const ImportTarget& target) {
    target_ = target;
    ShowTarget();
}

void frmImport::ShowSummary() {
    lblSummary->setText(ImportSummary(facts_, ChosenTarget(), facts_.Seconds()));
}

void frmImport::FillLikeList() {
    const QSignalBlocker block(cboLike);
    cboLike->addItem(QStringLiteral("(no game file)"));
    const QStringList games =
        QDir(folder_).entryList({QStringLiteral("*.snd"), QStringLiteral("*.wsd")}, QDir::Files,
                                QDir::Name | QDir::IgnoreCase);
    // A game file the program refuses cannot be chosen; its tip says why.
    auto* items = qobject_cast<QStandardItemModel*>(cboLike->model());
    for (const QString& name : games) {
        mUtility::SoundInfoRecord like;
        const QString refusal = LikeRefusal(folder_, name, like);
        cboLike->addItem(name.toUpper(), name);
        if (refusal.isEmpty() || items == nullptr) continue;
        QStandardItem* item = items->item(cboLike->count() - 1);
        item->setEnabled(false);
        item->setText(name.toUpper() + QStringLiteral(" (refused)"));
        item->setToolTip(refusal);
    }
}

void frmImport::cboLike_Change() {
    try {
        const QString name = cboLike->currentData().toString();
        const bool hadLike = !std::exchange(likeName_, QString()).isEmpty();
        lblLikeValues->clear();
        if (name.isEmpty()) {
            // No game file: the source's own defaults again, in the type chosen.
            if (hadLike) SetTarget(ImportTarget::DefaultFor(facts_, ChosenTarget().Type));
            return;
        }
        mUtility::SoundInfoRecord like;
        // The file may have changed since the list was made.
        const QString refusal = LikeRefusal(folder_, name, like);
        if (!refusal.isEmpty()) {
            const QSignalBlocker block(cboLike);
            cboLike->setCurrentIndex(0);
            MsgBox::Show(this, QMessageBox::Warning, QStringLiteral("Import"), refusal);
            return;
        }
        likeName_ = name;
        lblLikeValues->setText(LikeValues(like));
        target_ = ChosenTarget();
        target_.Type = like.Extension;
        target_.Rate = like.SampleRate;
        target_.Bits = like.BitsPerSample;
        target_.Channels = like.Channels;
        target_.EightBitFlag = like.EightBitFlag;
        target_.InternalID = like.InternalID;
        ShowTarget();
        likeKept_ = {mskInternalID->Text(), like.InternalID, grp8bitFlag->checkedId(),
                     like.EightBitFlag};
    }
    ZS_TRAP("frmImport.cboLike_Change")
}

ImportTarget frmImport::ChosenTarget() const {
    ImportTarget t;
    t.Type = kTypes[std::max(0, grpType->checkedId())];
    const int rate = grpSampleRate->checkedId();
    t.Rate = rate >= 0 ? ConvertOptions::SampleRates[rate] : target_.Rate;
    t.Bits = grpBitDepth->checkedId() == 0 ? 8 : 16;
    t.Channels = grpChannels->checkedId() == 0 ? 1 : 2;
    t.EightBitFlag = ImportTarget::FlagForBits(t.Bits);
    if (chkChange8bitFlag->isChecked() && grp8bitFlag->checkedId() >= 0)
        t.EightBitFlag = grp8bitFlag->checkedId() == 0 ? 2 : 0;
    t.InternalID = std::clamp(ConvertOptions::InternalIDFromText(mskInternalID->Text()), 0, 9999);
    if (!likeName_.isEmpty()) {
        if (mskInternalID->Text() == likeKept_.IdText) t.InternalID = likeKept_.Id;
        if (chkChange8bitFlag->isChecked() && grp8bitFlag->checkedId() == likeKept_.FlagButton)
            t.EightBitFlag = likeKept_.Flag;
    }
    if (t.Type == QLatin1String("WAV")) t.EightBitFlag = t.InternalID = 0;
    return t;
}

bool frmImport::ChosenGoal(const QString& dest, std::optional<LoudnessGoal>& goal) {
    goal.reset();
    const QVariant choice = cboLoudness->currentData();
    if (!choice.isValid()) return true;
    LoudnessGoal g;
    g.CeilingDbtp = spnCeiling->value();
    if (choice.typeId() == QMetaType::Double) {
        g.TargetLufs = choice.toDouble();
    } else {
        const QString like = cboLike->currentData().toString();
        if (like.isEmpty() && !QFileInfo::exists(dest)) {
            MsgBox::Show(this, QMessageBox::Warning, QStringLiteral("Import"),
                         QStringLiteral("To match the loudness of the sound it replaces, choose "
                                        "that file under Like or save over it."));
            return false;
        }
        g.TargetLufs = LikeLoudness(like.isEmpty() ? dest : mUtility::JoinPath(folder_, like));
    }
    goal = g;
    return true;
}

void frmImport::SetBusy(bool busy) {
    busy_ = busy;
    prgImport->setRange(0, 1000);
    prgImport->setValue(0);
    prgImport->setVisible(busy);
    for (QWidget* w : findChildren<QWidget*>()) {
        if (w != btnCancel && w != prgImport && !w->inherits("QLabel") && !w->inherits("QFrame"))
            w->setEnabled(!busy);
    }
    if (!busy) {
        const bool game = grpType->checkedId() != 2;
        chkChange8bitFlag->setEnabled(game);
        for (QRadioButton* r : opt8bitFlag) r->setEnabled(game);
        mskInternalID->setEnabled(game);
        spnCeiling->setEnabled(cboLoudness->currentIndex() > 0);
    }
}

void frmImport::btnImport_Click() {
    try {
        const ImportTarget target = ChosenTarget();
        const QString dest = cCommonDialog::AskSavePath(
            this, {QStringLiteral("Save File"),
                   QStringLiteral("%1 Files (*.%1)|*.%1|All Files (*.*)|*.*").arg(target.Type),
                   QLatin1Char('.') + target.Type, folder_, ProposedName(target)});
        if (dest.isEmpty()) return;
        std::optional<LoudnessGoal> goal;
        if (!ChosenGoal(dest, goal)) return;

        struct Idle {
            frmImport* form;
            ~Idle() { form->SetBusy(false); }
        } idle{this};
        SetBusy(true);
        cancelRequested_ = false;
        QElapsedTimer shown;
        shown.start();
        const ImportReport report = Import(
            source_, dest, target,
            [this, &shown](qint64 done, qint64 total) {
                if (shown.elapsed() >= 40) {
                    // A length the decoder cannot tell shows as a busy bar.
                    prgImport->setMaximum(total > 0 ? 1000 : 0);
                    if (total > 0) prgImport->setValue(int(1000.0 * double(done) / double(total)));
                    QCoreApplication::processEvents();
                    shown.restart();
                }
                return !cancelRequested_;
            },
            goal);
        if (report.Cancelled) return;
        created_ = dest;
        const double seconds =
            report.Target.Rate > 0 ? double(report.FramesOut) / report.Target.Rate : -1;
        QString text = dest + QStringLiteral(" created successfully!\r\n\r\n") +
                       ImportSummary(report.Source, report.Target, seconds);
        if (goal)
            text += QStringLiteral("\r\n\r\n") + LoudnessSummary(report, *goal) + QLatin1Char('.');
        if (report.Clipped > 0)
            text += QStringLiteral("\r\n\r\n%1 samples beyond full scale were clipped.")
                        .arg(report.Clipped);
        const bool audible = report.Clipped > kFewClipped;
        MsgBox::Show(this, audible ? QMessageBox::Warning : QMessageBox::Information,
                     QStringLiteral("Import Information"), text);
        accept();
    }
    ZS_TRAP("frmImport.btnImport_Click")
}

QString frmImport::ProposedName(const ImportTarget& target) const {
    // Replacing the game sound it is like is the usual case: its name comes first.
    const QFileInfo like(likeName_);
    const bool sameType = like.suffix().compare(target.Type, Qt::CaseInsensitive) == 0;
    if (!likeName_.isEmpty() && sameType) return likeName_;
    const QString base = likeName_.isEmpty() ? QFileInfo(source_).completeBaseName().toUpper()
                                             : like.completeBaseName();
    return base + QLatin1Char('.') + target.Type;
}

void frmImport::reject() {
    // Closing while an import runs stops it; the dialog stays for another try.
    if (busy_) {
        cancelRequested_ = true;
        return;
    }
    QDialog::reject();
}

QString frmImport::AskSourceFile(QWidget* owner, const QString& folder) {
    if (SourceChooser()) return SourceChooser()(owner, folder);
    return QFileDialog::getOpenFileName(
        owner, QStringLiteral("Choose a Sound to Import"), folder,
        QStringLiteral("Audio Files (*.wav *.flac *.ogg *.oga *.opus *.mp3 *.aif *.aiff *.aifc);;"
                       "All Files (*)"));
}

void frmImport::SetSourceChooser(std::function<QString(QWidget*, const QString&)> chooser) {
    SourceChooser() = std::move(chooser);
}

bool frmImport::Decodes(const QString& path) {
    try {
        ImportSource source(path);
        return true;
    } catch (const AppError&) {
        return false;
    }
}

bool frmImport::TakesDroppedFile(const QString& path) {
    const QFileInfo info(path);
    const QString suffix = info.suffix().toUpper();
    return info.isFile() && suffix != QLatin1String("SND") && suffix != QLatin1String("WSD");
}
