#include "frmPreview.h"

#include <unistd.h>

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPixmap>
#include <QScopeGuard>
#include <cerrno>
#include <cmath>
#include <utility>

#include "AppError.h"
#include "Format.h"
#include "FrameCut.h"
#include "MarkerLine.h"
#include "MsgBox.h"
#include "NativeName.h"
#include "PreviewFile.h"
#include "PreviewMath.h"
#include "QuillonButton.h"
#include "RunTopLevel.h"
#include "SoundHeaders.h"
#include "SoundInfo.h"
#include "SystemColors.h"
#include "TrapERR.h"
#include "Twips.h"
#include "WaveSurface.h"
#include "WaveTrace.h"
#include "WaveView.h"
#include "cCommonDialog.h"
#include "cFileSystem.h"
#include "cLogo.h"
#include "cMMedia.h"

using mUtility::SoundInfo;
using namespace PreviewMath;

// The status pictures (":/preview/PLAY.png" ...) are resources of this static
// library: nothing registers them unless asked, outside any namespace.
static void InitPreviewResources() {
    Q_INIT_RESOURCE(preview);
}

namespace {

constexpr quint32 kButtonFace = 0x8000000F;
constexpr quint32 kWindow = 0x80000005;
constexpr quint32 kWindowText = 0x80000008;
constexpr int kChannelBorder = 2;  // pixels of the channel views' sunken frame
const QColor kValueRed(192, 0, 0);
// The selection strips and the lower panel keep their fixed colours in any
// palette, so each comes with its own text colour.
const QColor kSelectionText(255, 255, 255);
const QColor kPanelGrey(192, 192, 192);
const QColor kPanelText(0, 0, 0);
const QColor kValueBack(255, 255, 255);
constexpr double kPanelTop = 3360;

int px(double twips) {
    return zs::TwipsToPixels(qRound(twips));
}

// Places a widget at twips relative to its container's client area.
void place(QWidget* w, double left, double top, double width, double height) {
    const auto* container = qobject_cast<const WaveSurface*>(w->parentWidget());
    const int offset = container ? container->border() : 0;
    w->setGeometry(offset + px(left), offset + px(top), px(width), px(height));
}

QFont classicFont(double points, bool bold = false) {
    QFont f(QStringLiteral("MS Sans Serif"));
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

void setIfChanged(QLabel* label, const QString& text) {
    if (label->text() != text) label->setText(text);
}

}  // namespace

frmPreview::frmPreview(QWidget* parent) : QDialog(parent) {
    InitPreviewResources();
    setObjectName(QStringLiteral("frmPreview"));
    setWindowTitle(QStringLiteral("Sound Preview"));
    setModal(true);
    resize(px(10455), px(5175));
    buildDrawingArea();
    buildPanel();
    buildButtons();
    connectSurfaces();
    addMenuBar();
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this,
            [this] { zs::RunTopLevel(this, [this] { PlayTimer_Timer(); }); });
}

frmPreview::~frmPreview() {
    unloadOnce();
}

void frmPreview::buildDrawingArea() {
    auto surface = [](const QString& name, QWidget* parent, QColor back, QColor fore) {
        auto* s = new WaveSurface(name, parent);
        s->setBackColor(back);
        s->setForeColor(fore);
        return s;
    };
    const QColor buttonFace = zs::TranslateColor(kButtonFace);
    picMain = surface("picMain", this, buttonFace, zs::TranslateColor(kWindowText));
    place(picMain, 345, 480, 9975, 2775);
    picLeftChannel = surface("picLeftChannel", picMain, Qt::black, QColor(74, 243, 165));
    picLeftChannel->setBorder(kChannelBorder);
    place(picLeftChannel, 0, 120, 9975, 2595);
    picLeftMiddle = surface("picLeftMiddle", picLeftChannel, zs::TranslateColor(kWindow),
                            zs::TranslateColor(kWindowText));
    place(picLeftMiddle, 1200, 0, 2175, 2480);
    // The strip lies at the top of its window so that its drawing lines up
    // with the channel view's.
    picLeftScroll = surface("picLeftScroll", picLeftMiddle, QColor(0, 0, 192), kSelectionText);
    place(picLeftScroll, 600, 0, 735, 2480);
    picRightChannel = surface("picRightChannel", picMain, Qt::black, QColor(0, 255, 255));
    picRightChannel->setBorder(kChannelBorder);
    place(picRightChannel, 0, 1440, 9975, 1240);
    picRightMiddle = surface("picRightMiddle", picRightChannel, zs::TranslateColor(kWindow),
                             zs::TranslateColor(kWindowText));
    place(picRightMiddle, 1800, 0, 1815, 1240);
    picRightScroll = surface("picRightScroll", picRightMiddle, QColor(0, 0, 255), kSelectionText);
    place(picRightScroll, 480, 0, 615, 1240);
    lines_[0] = new MarkerLine("Line1", QColor(0, 0, 255), 0, 2400, kChannelBorder, picLeftChannel);
    lines_[1] =
        new MarkerLine("Line2", QColor(0, 0, 255), 0, 1200, kChannelBorder, picRightChannel);
    lines_[2] = new MarkerLine("Line3", QColor(255, 0, 0), 0, 2400, 0, picLeftScroll);
    lines_[3] = new MarkerLine("Line4", QColor(192, 0, 0), 0, 1200, 0, picRightScroll);
    const double designX[] = {600, 600, 360, 240};
    for (int i = 0; i < 4; ++i) lines_[i]->MoveTo(designX[i]);
    QFont captionFont(QStringLiteral("Tahoma"));
    captionFont.setPointSizeF(8.25);
    captionFont.setBold(true);
    const double tops[] = {600, 600, 1920};
    const double heights[] = {2480, 1240, 1240};
    const char* names[] = {"picMono", "picLeft", "picRight"};
    WaveSurface** strips[] = {&picMono, &picLeft, &picRight};
    for (int i = 0; i < 3; ++i) {
        *strips[i] = surface(names[i], this, buttonFace, QColor(255, 255, 0));
        (*strips[i])->setFont(captionFont);
        place(*strips[i], 120, tops[i], 255, heights[i]);
    }
    for (QWidget* w : {static_cast<QWidget*>(picLeftMiddle), static_cast<QWidget*>(picRightChannel),
                       static_cast<QWidget*>(picRightMiddle), static_cast<QWidget*>(picMono),
                       static_cast<QWidget*>(picLeft), static_cast<QWidget*>(picRight)})
        w->hide();
    picLeftChannel->setAccessibleName(QStringLiteral("Left channel"));
    picRightChannel->setAccessibleName(QStringLiteral("Right channel"));
    picLeftChannel->setFocusPolicy(Qt::ClickFocus);
}

void frmPreview::buildPanel() {
    auto* shape = new QWidget(this);
    shape->setObjectName(QStringLiteral("Shape1"));
    shape->setAutoFillBackground(true);
    QPalette grey = shape->palette();
    grey.setColor(QPalette::Window, kPanelGrey);
    grey.setColor(QPalette::WindowText, kPanelText);
    shape->setPalette(grey);
    place(shape, 0, kPanelTop, 10455, 1815);
    shape->lower();

    enum Kind { Plain, Value, Status };
    auto label = [this, &grey](const char* name, const QString& text, double l, double t, double w,
                               double h, Kind kind) {
        auto* lbl = new QLabel(text, this);
        lbl->setObjectName(QLatin1String(name));
        lbl->setFont(classicFont(8.25, kind != Plain));
        place(lbl, l, t, w, h);
        // A caption on the panel is drawn over its grey.
        if (kind == Plain && t >= kPanelTop) lbl->setPalette(grey);
        if (kind == Plain) return lbl;
        QPalette pal = grey;
        if (kind == Value) {
            pal.setColor(QPalette::Window, kValueBack);
            lbl->setFrameStyle(QFrame::Panel | QFrame::Sunken);
            lbl->setAlignment(Qt::AlignCenter);
        }
        pal.setColor(QPalette::WindowText, kValueRed);
        lbl->setPalette(pal);
        lbl->setAutoFillBackground(true);
        return lbl;
    };
    lblPreviewFilename = label("lblPreviewFilename", "PreviewFN", 240, 240, 4000, 255, Plain);
    lblFilesize = label("lblFilesize", "Filesize", 7230, 240, 3000, 255, Plain);
    lblFilesize->setAlignment(Qt::AlignRight | Qt::AlignTop);
    imgAction = new QLabel(this);
    imgAction->setObjectName(QStringLiteral("imgAction"));
    imgAction->setAccessibleDescription(QStringLiteral("Status picture"));
    place(imgAction, 120, 3480, 240, 240);
    lblStatus = label("lblStatus", "Status", 480, 3480, 975, 255, Status);
    label("Label1", "Sample Rate:", 120, 3840, 1695, 255, Plain);
    lblSampleRate = label("lblSampleRate", "", 1800, 3840, 975, 255, Value);
    label("Label9", "Bit Depth:", 120, 4080, 1695, 255, Plain);
    lblBitDepth = label("lblBitDepth", "", 1800, 4080, 975, 255, Value);
    label("Label10", "Channels:", 120, 4320, 1695, 255, Plain);
    lblChannels = label("lblChannels", "", 1800, 4320, 975, 255, Value);
    label("Label2", "Num of Samples:", 3000, 3840, 1455, 255, Plain);
    lblNumSamples = label("lblNumSamples", "", 4440, 3840, 1215, 255, Value);
    label("Label11", "Length:", 3000, 4080, 1455, 255, Plain);
    lblLength = label("lblLength", "", 4440, 4080, 1215, 255, Value);
    QLabel* head = label("Label3", "Selection", 7440, 3480, 2895, 375, Plain);
    head->setFont(classicFont(9.75, true));
    head->setAlignment(Qt::AlignCenter);
    label("Label4", "Begin", 7440, 3840, 975, 255, Plain);
    label("Label5", "End", 8400, 3840, 975, 255, Plain);
    label("Label6", "Total", 9360, 3840, 975, 255, Plain);
    label("Label7", "Samples", 6360, 4080, 1095, 255, Plain);
    label("Label8", "Time (sec)", 6360, 4320, 1095, 255, Plain);
    lblSampBegin = label("lblSampBegin", "", 7440, 4080, 975, 255, Value);
    lblSampEnd = label("lblSampEnd", "", 8400, 4080, 975, 255, Value);
    lblSampTotal = label("lblSampTotal", "", 9360, 4080, 975, 255, Value);
    lblTimeBegin = label("lblTimeBegin", "", 7440, 4320, 975, 255, Value);
    lblTimeEnd = label("lblTimeEnd", "", 8400, 4320, 975, 255, Value);
    lblTimeTotal = label("lblTimeTotal", "", 9360, 4320, 975, 255, Value);
    // "-23.0 LUFS, -20.1 dBTP" is wider than the values above it: the box
    // starts left of their column and ends before the Selection grid's captions.
    label("Label12", "Loudness:", 3000, 4320, 900, 255, Plain);
    lblLoudness = label("lblLoudness", "", 3960, 4320, 2340, 255, Value);
    lblLoudness->setToolTip(QStringLiteral(
        "Integrated loudness and true peak of the selection, or of the whole sound"));
    loudness_ = new SelectionLoudness(this);
    connect(loudness_, &SelectionLoudness::Measured, this, &frmPreview::showLoudness);

    // Assistive technology reads each value with its caption; the selection
    // grid's values say their row and column.
    const std::pair<const char*, QLabel*> captions[] = {
        {"Label1", lblSampleRate}, {"Label9", lblBitDepth}, {"Label10", lblChannels},
        {"Label2", lblNumSamples}, {"Label11", lblLength},  {"Label12", lblLoudness}};
    for (const auto& [caption, value] : captions)
        findChild<QLabel*>(QLatin1String(caption))->setBuddy(value);
    const std::pair<QLabel*, const char*> cells[] = {
        {lblSampBegin, "Selection begin, samples"}, {lblSampEnd, "Selection end, samples"},
        {lblSampTotal, "Selection total, samples"}, {lblTimeBegin, "Selection begin, seconds"},
        {lblTimeEnd, "Selection end, seconds"},     {lblTimeTotal, "Selection total, seconds"}};
    for (const auto& [value, description] : cells)
        value->setAccessibleDescription(QLatin1String(description));
}

void frmPreview::buildButtons() {
    auto button = [this](const char* name, const QString& caption, const QString& tip,
                         double left) {
        auto* b = new QuillonButton(QLatin1String(name), this);
        QuillonButton::ApplyProgramLook(b);
        b->setCaption(caption);
        b->setToolTip(tip);
        b->setEnabled(false);
        place(b, left, 4680, 855, 375);
        return b;
    };
    btnPlay = button("btnPlay", "Play", "Play the sound", 120);
    btnPause = button("btnPause", "Pause", "Pause playback", 1080);
    btnStop = button("btnStop", "Stop", "Stop playback", 2040);
    btnLoop = button("btnLoop", "Loop", "Loop the sound", 3000);
    btnSaveSelection = button("btnSaveSelection", "Save Selection\u2026",
                              "Save the selected stretch as a file of its own", 7440);
    place(btnSaveSelection, 7440, 4680, 1935, 375);
    btnExit = button("btnExit", "Exit", "Exit preview", 9480);
    auto wire = [this](QuillonButton* b, void (frmPreview::*handler)()) {
        connect(b, &QuillonButton::Click, this, [this, handler] {
            zs::RunTopLevel(this, [this, handler] { (this->*handler)(); });
        });
    };
    wire(btnPlay, &frmPreview::btnPlay_Click);
    wire(btnPause, &frmPreview::btnPause_Click);
    wire(btnStop, &frmPreview::btnStop_Click);
    wire(btnLoop, &frmPreview::btnLoop_Click);
    wire(btnSaveSelection, &frmPreview::btnSaveSelection_Click);
    connect(btnExit, &QuillonButton::Click, this, &QWidget::close);
}

void frmPreview::connectSurfaces() {
    using Handler = void (frmPreview::*)(int, int, double, double);
    auto wire = [this](WaveSurface* s, void (WaveSurface::*signal)(int, int, double, double),
                       Handler handler) {
        connect(s, signal, this, [this, handler](int b, int sh, double x, double y) {
            zs::RunTopLevel(this, [=, this] { (this->*handler)(b, sh, x, y); });
        });
    };
    wire(picLeftChannel, &WaveSurface::MouseDown, &frmPreview::picLeftChannel_MouseDown);
    wire(picLeftChannel, &WaveSurface::MouseMove, &frmPreview::picLeftChannel_MouseMove);
    wire(picLeftChannel, &WaveSurface::MouseUp, &frmPreview::picLeftChannel_MouseUp);
    wire(picLeftScroll, &WaveSurface::MouseDown, &frmPreview::picLeftScroll_MouseDown);
    wire(picLeftScroll, &WaveSurface::MouseMove, &frmPreview::picLeftScroll_MouseMove);
    wire(picLeftScroll, &WaveSurface::MouseUp, &frmPreview::picLeftScroll_MouseUp);
    wire(picRightChannel, &WaveSurface::MouseDown, &frmPreview::picRightChannel_MouseDown);
    wire(picRightChannel, &WaveSurface::MouseMove, &frmPreview::picRightChannel_MouseMove);
}

// ---- opening and closing ----

void frmPreview::Form_Load() {
    try {
        sel_.Reset(0, 0, 0);
        picLeftMiddle->hide();
        picRightMiddle->hide();
        place(picLeftScroll, 600, 0, picLeftChannel->width() * WaveSurface::TwipsPerPixel(), 2480);
        place(picRightScroll, 480, 0, picLeftChannel->width() * WaveSurface::TwipsPerPixel(), 1240);
        for (WaveSurface* s : {picLeftChannel, picRightChannel, picLeftScroll, picRightScroll})
            s->Cls();
        for (QLabel* l : {lblPreviewFilename, lblFilesize, lblNumSamples, lblLength, lblSampleRate,
                          lblBitDepth, lblChannels, lblSampBegin, lblSampEnd, lblSampTotal,
                          lblTimeBegin, lblTimeEnd, lblTimeTotal})
            l->clear();
        showFigures();
        WaveGrapher(45, lNumSamples_);
        DrawTickMarks();
        sel_.Reset(picLeftChannel->ScaleWidth(), dDuration_, lNumSamples_);
        setButtons(true, false, false);
        btnSaveSelection->setEnabled(false);
        btnExit->setEnabled(true);
        unsetCursor();
        lPausedMs_ = 0;
        if (copy_) std::exchange(copy_, nullptr)->Finish();
        oMedia = std::make_unique<cMMedia>();
        oMedia->mmOpen(mUtility::sPreviewFile);
        setIcon(QStringLiteral("STOP"));
        setStatus(ProperCase(oMedia->Status()));
        describeViews();
        // With nothing selected yet, the figure is the whole sound's.
        loudnessAsked_.clear();
        requestLoudness();
    }
    ZS_TRAP("frmPreview.Form_Load")
}

void frmPreview::LoadWhileCopying(PreviewCopy& copy) {
    copy_ = &copy;
    const auto forget = qScopeGuard([this] { copy_ = nullptr; });
    Form_Load();
}

void frmPreview::showFigures() {
    const auto& si = SoundInfo;
    lblPreviewFilename->setText(QStringLiteral("File: ") + si.FileName);
    lblPreviewFilename->adjustSize();
    const qint64 size = copy_ ? copy_->Size() : QFileInfo(mUtility::sPreviewFile).size();
    lblFilesize->setText(QStringLiteral("Size: ") + cFileSystem().FormatSize(size));
    lblChannels->setText(si.Channels == 1   ? QStringLiteral("Mono")
                         : si.Channels == 2 ? QStringLiteral("Stereo")
                                            : QStringLiteral("Error!"));
    lblSampleRate->setText(QString::number(si.SampleRate));
    lblBitDepth->setText(QString::number(si.BitsPerSample) + QStringLiteral("-bit"));
    const double bytesPerSecond = double(si.BitsPerSample) * si.Channels * si.SampleRate / 8;
    if (bytesPerSecond == 0) throw AppError(11, QStringLiteral("Division by zero"));
    lblLength->setText(zs::Format(si.DataLength / bytesPerSecond, QStringLiteral("#,##0.00")) +
                       QStringLiteral(" sec"));
    lNumSamples_ = NumSamples(si.DataLength, si.BitsPerSample, si.Channels);
    lblNumSamples->setText(QString::number(lNumSamples_));
    dDuration_ = si.SampleRate ? double(lNumSamples_) / si.SampleRate : 0;
}

void frmPreview::Form_Unload(int& Cancel) {
    try {
        if (timer_.isActive() || timerEnabled_) setPlayTimer(false, timerInterval_);
        if (!mUtility::sPreviewFile.isEmpty() && oMedia) oMedia->mmClose();
        oMedia.reset();
        oLogo.reset();
        const QString& file = mUtility::sPreviewFile;
        // By the name's bytes: the temporary folder's name need not be valid UTF-8.
        if (!file.isEmpty() && ::unlink(NativeName::Encode(file).constData()) != 0 &&
            errno != ENOENT)
            throw AppError(75, QStringLiteral("Path/File access error"));
    }
    ZS_TRAP("frmPreview.Form_Unload(Cancel)", Cancel)
}

void frmPreview::unloadOnce() {
    if (unloaded_) return;
    unloaded_ = true;
    int cancel = 0;
    zs::RunTopLevel(this, [&] { Form_Unload(cancel); });
}

void frmPreview::closeEvent(QCloseEvent* e) {
    if (!maySave()) return e->ignore();
    unloadOnce();
    QDialog::closeEvent(e);
}

void frmPreview::done(int r) {
    if (!maySave()) return;
    unloadOnce();
    QDialog::done(r);
}

// ---- drawing ----

void frmPreview::WaveGrapher(qint64 RawDataOffset, qint32 NumberOfSamples) {
    try {
        const int channels = SoundInfo.Channels;
        if (channels == 1) {
            place(picLeftChannel, 0, 120, 9975, 2480);
            picRightChannel->hide();
        } else if (channels == 2) {
            place(picLeftChannel, 0, 120, 9975, 1240);
            picRightChannel->show();
        }
        const double w = picLeftChannel->ScaleWidth();
        const double h = picLeftChannel->ScaleHeight();
        const double mid = h / 2;
        const int t = GuideDistance(h);
        drawGuides(picLeftChannel, w, mid, t);
        drawGuides(picLeftScroll, w, mid, t);
        WaveTrace::Shape shape;
        shape.rawDataOffset = RawDataOffset;
        shape.numberOfSamples = NumberOfSamples;
        shape.channels = channels;
        shape.bits = SoundInfo.BitsPerSample == 16 ? 16 : 8;
        shape.width = w;
        shape.height = h;
        if (channels == 2) {
            picLeft->show();
            picRight->show();
            drawCaption(picLeft, QStringLiteral("     Left"));
            drawCaption(picRight, QStringLiteral("   Right"));
            drawGuides(picRightChannel, w, mid, t);
            drawGuides(picRightScroll, w, mid, t);
        } else {
            picMono->show();
            drawCaption(picMono, QStringLiteral("          Single Channel"));
        }
        // While the copy is made, its samples are read where it copies them from.
        QString file = mUtility::sPreviewFile;
        if (copy_) {
            file = copy_->SamplesFile();
            shape.rawDataOffset += copy_->SamplesOffset() - WavHeaderSize;
        }
        const auto traces = WaveTrace::Read(file, shape);
        picLeftChannel->Polyline(traces[0], picLeftChannel->foreColor());
        picLeftScroll->Polyline(traces[0], picLeftScroll->foreColor());
        if (channels == 2) {
            picRightChannel->Polyline(traces[1], picRightChannel->foreColor());
            picRightScroll->Polyline(traces[1], picRightScroll->foreColor());
        }
    }
    ZS_TRAP("frmPreview.WaveGrapher(RawDataOffset,NumberOfSamples)", RawDataOffset, NumberOfSamples)
}

void frmPreview::drawGuides(WaveSurface* surface, double w, double mid, int t) {
    const QColor face = zs::TranslateColor(kButtonFace);
    surface->Line({0, mid}, {w, mid}, surface->foreColor());
    surface->Line({0, mid - t}, {w, mid - t}, face);
    surface->Line({0, mid + t}, {w, mid + t}, face);
}

void frmPreview::drawCaption(WaveSurface* surface, const QString& caption) {
    if (!oLogo) oLogo = std::make_unique<cLogo>();
    oLogo->setCaption(caption);
    oLogo->setDrawingObject(surface);
    oLogo->setStartColor(0);
    oLogo->setEndColor(0);
    oLogo->Draw();
}

void frmPreview::DrawTickMarks() {
    try {
        const double top = 120;
        for (qint16 i = 1; i <= 100; ++i) {
            const qint16 x = static_cast<qint16>(i * 100);
            picMain->Line({double(x), top}, {double(x), top - 100}, picMain->foreColor());
        }
    }
    ZS_TRAP("frmPreview.DrawTickMarks")
}

// ---- selection ----

void frmPreview::ShadeArea(double x) {
    try {
        sel_.ShadeArea(x);
        applySelection();
    }
    ZS_TRAP("frmPreview.ShadeArea(x)", x)
}

void frmPreview::picLeftChannel_MouseDown(int Button, int Shift, double x, double y) {
    try {
        if (Button == 1)
            sel_.NewSelection(x);
        else if (Button == 2)
            sel_.GrabFromOutside(x);
        applySelection();
    }
    ZS_TRAP("frmPreview.picLeftChannel_MouseDown(Button,Shift,x,y)", Button, Shift, x, y)
}

void frmPreview::picLeftChannel_MouseMove(int Button, int Shift, double x, double y) {
    try {
        if (Button == 1)
            sel_.DragEnd(x);
        else if (Button == 2)
            sel_.DragEdge(x);
        else
            return;
        applySelection();
    }
    ZS_TRAP("frmPreview.picLeftChannel_MouseMove(Button,Shift,x,y)", Button, Shift, x, y)
}

void frmPreview::picLeftChannel_MouseUp(int Button, int Shift, double x, double y) {
    try {
        sel_.Release();
        applySelection();
    }
    ZS_TRAP("frmPreview.picLeftChannel_MouseUp(Button,Shift,x,y)", Button, Shift, x, y)
}

void frmPreview::picLeftScroll_MouseDown(int Button, int Shift, double x, double y) {
    try {
        if (Button == 1)
            sel_.NewSelection(x);
        else if (Button == 2)
            sel_.GrabFromInside(x);
        applySelection();
    }
    ZS_TRAP("frmPreview.picLeftScroll_MouseDown(Button,Shift,x,y)", Button, Shift, x, y)
}

void frmPreview::picLeftScroll_MouseMove(int Button, int Shift, double x, double y) {
    try {
        if (Button != 2) return;
        sel_.DragEdge(x);
        applySelection();
    }
    ZS_TRAP("frmPreview.picLeftScroll_MouseMove(Button,Shift,x,y)", Button, Shift, x, y)
}

void frmPreview::picLeftScroll_MouseUp(int Button, int Shift, double x, double y) {
    try {
        sel_.Release();
        applySelection();
    }
    ZS_TRAP("frmPreview.picLeftScroll_MouseUp(Button,Shift,x,y)", Button, Shift, x, y)
}

void frmPreview::picRightChannel_MouseDown(int Button, int Shift, double x, double y) {
    try {
        if (Button != 1) return;
        sel_.NewSelection(x);
        applySelection();
    }
    ZS_TRAP("frmPreview.picRightChannel_MouseDown(Button,Shift,x,y)", Button, Shift, x, y)
}

void frmPreview::picRightChannel_MouseMove(int Button, int Shift, double x, double y) {
    try {
        if (Button != 1) return;
        sel_.DragEnd(x);
        applySelection();
    }
    ZS_TRAP("frmPreview.picRightChannel_MouseMove(Button,Shift,x,y)", Button, Shift, x, y)
}

// Shows the selection state on the widgets.
void frmPreview::applySelection() {
    const SelectionModel::Window& win = sel_.left();
    const double stripWidth = picLeftChannel->width() * WaveSurface::TwipsPerPixel();
    place(picLeftMiddle, win.left, 0, win.width, 2480);
    place(picRightMiddle, win.left, 0, win.width, 1240);
    place(picLeftScroll, sel_.stripLeft(), 0, stripWidth, 2480);
    place(picRightScroll, sel_.stripLeft(), 0, stripWidth, 1240);
    picLeftMiddle->setVisible(win.visible);
    picRightMiddle->setVisible(win.visible && picRightChannel->isVisibleTo(this));
    const Qt::CursorShape shape = sel_.sizing ? Qt::SizeHorCursor : Qt::ArrowCursor;
    picLeftChannel->setCursor(shape);
    picLeftScroll->setCursor(shape);
    setIfChanged(lblTimeBegin, sel_.lblTimeBegin);
    setIfChanged(lblTimeEnd, sel_.lblTimeEnd);
    setIfChanged(lblTimeTotal, sel_.lblTimeTotal);
    setIfChanged(lblSampBegin, sel_.lblSampBegin);
    setIfChanged(lblSampEnd, sel_.lblSampEnd);
    setIfChanged(lblSampTotal, sel_.lblSampTotal);
    if (btnSaveSelection->isEnabled() != win.visible) btnSaveSelection->setEnabled(win.visible);
    describeViews();
    requestLoudness();
}

// Measures the frames Save Selection would write, or the whole sound, as
// edited; the figure arrives later through showLoudness.
void frmPreview::requestLoudness() {
    const bool selected = editor_.IsLoaded() ? waveView_->hasSelection() : sel_.left().visible;
    const qint64 first = selected ? static_cast<qint64>(TextNumber(sel_.lblSampBegin)) : 0;
    const qint64 last = selected ? static_cast<qint64>(TextNumber(sel_.lblSampEnd)) : -1;
    const QString asked = QStringLiteral("%1-%2").arg(first).arg(last);
    if (asked == loudnessAsked_) return;
    loudnessAsked_ = asked;
    lblLoudness->setText(QStringLiteral("\u2026"));
    if (editor_.IsLoaded())
        loudness_->Measure(editor_.Sound(), SoundInfo.SampleRate, first, last);
    else
        loudness_->Measure(SoundInfo.SourcePath(), first, last);
}

void frmPreview::showLoudness(const std::optional<Loudness::Figures>& figures) {
    lblLoudness->setText(SelectionLoudness::LoudnessText(figures) + QStringLiteral(", ") +
                         SelectionLoudness::TruePeakText(figures));
}

void frmPreview::describeViews() {
    QString what;
    if (sel_.left().visible)
        what = QStringLiteral("Selection: samples %1 to %2, %3 to %4 seconds")
                   .arg(sel_.lblSampBegin, sel_.lblSampEnd, sel_.lblTimeBegin, sel_.lblTimeEnd);
    else
        what = QStringLiteral("No selection: the whole sound, %1 samples, %2 seconds")
                   .arg(lNumSamples_)
                   .arg(NumberText(sel_.lEndMs / 1000.0));
    const bool stereo = picRightChannel->isVisibleTo(this);
    picLeftChannel->setAccessibleName(stereo ? QStringLiteral("Left channel")
                                             : QStringLiteral("Single channel"));
    picLeftChannel->setAccessibleDescription(what);
    picRightChannel->setAccessibleDescription(what);
}

// ---- playback ----

void frmPreview::setIcon(const QString& name) {
    icon_ = name;
    imgAction->setPixmap(QPixmap(QStringLiteral(":/preview/") + name + QStringLiteral(".png")));
}

void frmPreview::setPlayTimer(bool enabled, int interval) {
    timerEnabled_ = enabled;
    timerInterval_ = interval;
    if (enabled && interval > 0)
        timer_.start(interval);
    else
        timer_.stop();
}

void frmPreview::setButtons(bool play, bool pause, bool stop) {
    for (auto [button, on] : {std::pair{btnPlay, play}, std::pair{btnLoop, play},
                              std::pair{btnPause, pause}, std::pair{btnStop, stop}})
        if (button->isEnabled() != on) button->setEnabled(on);
}

void frmPreview::setStatus(const QString& status) {
    setIfChanged(lblStatus, status);
}

void frmPreview::startPlaying(bool looping) {
    prepareEditedPlayback();
    bLooping_ = looping;
    setPlayTimer(true, 1);
    // A loop plays as one repeating range, so its seam has no gap; after a
    // pause it goes on where it stopped.
    if (lPausedMs_ != 0 && looping)
        oMedia->mmResume();
    else if (lPausedMs_ != 0)
        oMedia->mmPlay(lPausedMs_, sel_.lEndMs);
    else
        oMedia->mmPlay(sel_.lStartMs, sel_.lEndMs, looping);
    lPausedMs_ = 0;
    setIcon(looping ? QStringLiteral("LOOP") : QStringLiteral("PLAY"));
    focusView();
}

void frmPreview::btnPlay_Click() {
    try {
        startPlaying(false);
    }
    ZS_TRAP("frmPreview.btnPlay_Click")
}

void frmPreview::btnLoop_Click() {
    try {
        startPlaying(true);
    }
    ZS_TRAP("frmPreview.btnLoop_Click")
}

void frmPreview::btnPause_Click() {
    try {
        setIcon(QStringLiteral("PAUSE"));
        oMedia->mmPause();
        const double position = oMedia->Position();
        lPausedMs_ = static_cast<qint32>(RoundEven(position));
        moveMarkers(std::floor(position * dUnitsPerMs_));
        focusView();
    }
    ZS_TRAP("frmPreview.btnPause_Click")
}

void frmPreview::btnStop_Click() {
    try {
        if (timerEnabled_) {
            bLooping_ = false;
            setPlayTimer(false, timerInterval_);
        }
        setIcon(QStringLiteral("STOP"));
        oMedia->mmStop();
        setButtons(true, false, false);
        setStatus(ProperCase(oMedia->Status()));
        lPausedMs_ = 0;
        showMarkers(false);
        focusView();
    }
    ZS_TRAP("frmPreview.btnStop_Click")
}

void frmPreview::PlayTimer_Timer() {
    try {
        const QString s = ProperCase(oMedia->Status());
        setStatus(s);
        if (s == QLatin1String("Playing")) {
            const int bits = SoundInfo.BitsPerSample;
            if ((bits == 8 || bits == 16) && dDuration_ > 0)
                dUnitsPerMs_ = picLeftChannel->ScaleWidth() / (dDuration_ * 1000);
            moveMarkers(std::floor(oMedia->Position() * dUnitsPerMs_));
            if (editor_.IsLoaded())
                waveView_->setMarker(qint64(oMedia->Position() * SoundInfo.SampleRate / 1000));
            if (sel_.lEndMs - sel_.lStartMs > 50) {
                const bool inside = sel_.left().width > 100;
                (inside ? lines_[2] : lines_[0])->show();
                (inside ? lines_[3] : lines_[1])->show();
            }
            setButtons(false, true, true);
        } else if (s == QLatin1String("Stopped")) {
            if (bLooping_) {
                oMedia->mmPlay(sel_.lStartMs, sel_.lEndMs);
                return;
            }
            lPausedMs_ = 0;
            showMarkers(false);
            setButtons(true, false, false);
            setIcon(QStringLiteral("STOP"));
            setPlayTimer(false, timerInterval_);
        } else if (s == QLatin1String("Paused")) {
            setButtons(true, false, btnStop->isEnabled());
        }
    }
    ZS_TRAP("frmPreview.PlayTimer_Timer")
}

void frmPreview::moveMarkers(double x) {
    const qint32 marker = static_cast<qint32>(x);
    if (marker == lMarkerX_) return;
    lMarkerX_ = marker;
    for (MarkerLine* line : lines_) line->MoveTo(marker);
    const double seconds = dUnitsPerMs_ > 0 ? marker / dUnitsPerMs_ / 1000 : 0;
    const QString position =
        QStringLiteral("Play position: %1 seconds").arg(QString::number(seconds, 'f', 2));
    for (MarkerLine* line : lines_) line->setAccessibleDescription(position);
    picMain->setAccessibleDescription(position);
}

void frmPreview::showMarkers(bool visible) {
    for (MarkerLine* line : lines_) line->setVisible(visible);
    if (!visible && waveView_) waveView_->setMarker(-1);
}

// ---- saving the selection ----

void frmPreview::btnSaveSelection_Click() {
    try {
        if (editor_.IsLoaded() ? !waveView_->hasSelection() : !sel_.left().visible) return;
        const qint64 first = static_cast<qint64>(TextNumber(sel_.lblSampBegin));
        const qint64 last = static_cast<qint64>(TextNumber(sel_.lblSampEnd));
        // Once edited, the selection is cut from the edited sound.
        const mUtility::FrameCut cut(SoundInfo.SourcePath());
        const QString problem = editor_.IsLoaded()        ? QString()
                                : cut.Refusal().isEmpty() ? cut.RangeProblem(first, last)
                                                          : cut.Refusal();
        if (!problem.isEmpty()) {
            MsgBox::Show(this, QMessageBox::Warning, QStringLiteral("Save Selection"),
                         QStringLiteral("The selection cannot be saved: ") + problem);
            return;
        }
        const QString type = SoundInfo.Extension;
        QString filter = QStringLiteral("%1 Files (*.%1)|*.%1").arg(type);
        if (type != QLatin1String("WAV")) filter += QStringLiteral("|WAV Files (*.WAV)|*.WAV");
        const QString base = SoundInfo.FileName.left(SoundInfo.FileName.size() - 4);
        const QString dest = cCommonDialog::AskSavePath(
            this, {QStringLiteral("Save Selection"), filter, type, SoundInfo.Folder,
                   QStringLiteral("%1_%2-%3.%4").arg(base).arg(first).arg(last).arg(type)});
        if (dest.isEmpty()) return;
        if (editor_.IsLoaded())
            editor_.SaveRange(first, last, dest);
        else
            cut.Write(first, last, dest);
        MsgBox::Show(
            this, QMessageBox::Information, QStringLiteral("Save Selection"),
            QStringLiteral("%1 created successfully!\r\n\r\nSamples %2 to %3 (%4 samples).")
                .arg(dest)
                .arg(first)
                .arg(last)
                .arg(last - first + 1));
    }
    ZS_TRAP("frmPreview.btnSaveSelection_Click")
}
