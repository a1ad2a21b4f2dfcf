#pragma once

#include <QDialog>
#include <QTimer>
#include <array>
#include <memory>

#include "PreviewEditor.h"
#include "SelectionLoudness.h"
#include "SelectionModel.h"

class QLabel;
class PreviewEditMenu;
class WaveView;
class QuillonButton;
class MarkerLine;
class WaveSurface;
class cLogo;
class cMMedia;
class PreviewCopy;

// The modal preview window: the figures of the sound in sPreviewFile, its
// waveform per channel, a mouse selection, and playback of the selection once
// or in a loop with a moving position marker. It works only on sPreviewFile
// and deletes that file when it closes.
//
// The handlers are public so that tests can drive them; each traps its errors
// with its source tag and passes them on.
class frmPreview : public QDialog {
    Q_OBJECT
public:
    explicit frmPreview(QWidget* parent = nullptr);
    ~frmPreview() override;

    // Fills the figures, draws the waveform and opens the player. Throws
    // AppError through ErrorIn on failure.
    void Form_Load();
    // Form_Load while `copy` (of sPreviewFile) is being made: the waveform is
    // drawn from the copy's source meanwhile, and the player opened once the
    // copy is whole. Throws the copy's error.
    void LoadWhileCopying(PreviewCopy& copy);
    // Stops the timer, closes the player and deletes sPreviewFile; runs once.
    void Form_Unload(int& Cancel);

    void btnPlay_Click();
    void btnPause_Click();
    void btnStop_Click();
    void btnLoop_Click();
    // Writes the selected frames (Begin to End of the Selection panel) of the
    // source file as a new file chosen in the save dialog.
    void btnSaveSelection_Click();
    void PlayTimer_Timer();

    void WaveGrapher(qint64 RawDataOffset, qint32 NumberOfSamples);
    void DrawTickMarks();
    void ShadeArea(double x);

    void picLeftChannel_MouseDown(int Button, int Shift, double x, double y);
    void picLeftChannel_MouseMove(int Button, int Shift, double x, double y);
    void picLeftChannel_MouseUp(int Button, int Shift, double x, double y);
    void picLeftScroll_MouseDown(int Button, int Shift, double x, double y);
    void picLeftScroll_MouseMove(int Button, int Shift, double x, double y);
    void picLeftScroll_MouseUp(int Button, int Shift, double x, double y);
    void picRightChannel_MouseDown(int Button, int Shift, double x, double y);
    void picRightChannel_MouseMove(int Button, int Shift, double x, double y);

    // Reads the sound for editing and shows the zoomable view in place of the
    // fixed one; false (after saying why) when the sound cannot be edited.
    // `tell` false: say nothing in a message box (the window is being resized).
    bool enterEditing(bool tell = true);
    PreviewEditMenu* editMenu() const { return editMenu_; }
    WaveView* waveView() const { return waveView_; }
    const PreviewEditor& editor() const { return editor_; }

    // State, for the owner's tests.
    const SelectionModel& Selection() const { return sel_; }
    qint32 lPausedMs() const { return lPausedMs_; }
    bool bLooping() const { return bLooping_; }
    qint32 lMarkerX() const { return lMarkerX_; }
    double dDuration() const { return dDuration_; }
    qint32 lNumSamples() const { return lNumSamples_; }
    bool PlayTimerTicking() const { return timer_.isActive(); }
    // The name of the icon shown: "PLAY", "PAUSE", "STOP" or "LOOP".
    QString ActionIcon() const { return icon_; }

protected:
    void closeEvent(QCloseEvent* e) override;
    void done(int r) override;
    void resizeEvent(QResizeEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;

private:
    void buildDrawingArea();
    void buildPanel();
    void buildButtons();
    void connectSurfaces();
    void showFigures();
    void drawGuides(WaveSurface* surface, double w, double mid, int t);
    void drawCaption(WaveSurface* surface, const QString& caption);
    void setIcon(const QString& name);
    void setPlayTimer(bool enabled, int interval);
    void setButtons(bool play, bool pause, bool stop);
    void setStatus(const QString& status);
    void startPlaying(bool looping);
    void moveMarkers(double x);
    void showMarkers(bool visible);
    void applySelection();
    void describeViews();
    void requestLoudness();
    void showLoudness(const std::optional<Loudness::Figures>& figures);
    void unloadOnce();
    void addMenuBar();
    void layOutEditing();
    void showEdited();
    void showEditSelection();
    void showPosition(qint64 frame, const QString& message = {});
    // Asks whether to save unsaved edits; false when the window should stay.
    bool maySave();
    void prepareEditedPlayback();
    // Keyboard focus to the view shown, fixed or zoomable.
    void focusView();

    WaveSurface* picMain = nullptr;
    WaveSurface* picLeftChannel = nullptr;
    WaveSurface* picLeftMiddle = nullptr;
    WaveSurface* picLeftScroll = nullptr;
    WaveSurface* picRightChannel = nullptr;
    WaveSurface* picRightMiddle = nullptr;
    WaveSurface* picRightScroll = nullptr;
    WaveSurface* picMono = nullptr;
    WaveSurface* picLeft = nullptr;
    WaveSurface* picRight = nullptr;
    std::array<MarkerLine*, 4> lines_{};  // Line1..Line4
    QLabel* imgAction = nullptr;
    QLabel* lblStatus = nullptr;
    QLabel* lblPreviewFilename = nullptr;
    QLabel* lblFilesize = nullptr;
    QLabel* lblSampleRate = nullptr;
    QLabel* lblBitDepth = nullptr;
    QLabel* lblChannels = nullptr;
    QLabel* lblNumSamples = nullptr;
    QLabel* lblLength = nullptr;
    QLabel* lblSampBegin = nullptr;
    QLabel* lblSampEnd = nullptr;
    QLabel* lblSampTotal = nullptr;
    QLabel* lblTimeBegin = nullptr;
    QLabel* lblTimeEnd = nullptr;
    QLabel* lblTimeTotal = nullptr;
    QLabel* lblLoudness = nullptr;  // of the selection, or of the whole sound
    QuillonButton* btnPlay = nullptr;
    QuillonButton* btnPause = nullptr;
    QuillonButton* btnStop = nullptr;
    QuillonButton* btnLoop = nullptr;
    QuillonButton* btnSaveSelection = nullptr;
    QuillonButton* btnExit = nullptr;
    QTimer timer_;  // PlayTimer
    bool timerEnabled_ = true;
    int timerInterval_ = 0;

    SelectionModel sel_;
    qint32 lPausedMs_ = 0;
    double dUnitsPerMs_ = 0;
    double dDuration_ = 0;
    qint32 lNumSamples_ = 0;
    PreviewCopy* copy_ = nullptr;  // sPreviewFile while it is being made
    bool bLooping_ = false;
    qint32 lMarkerX_ = -1;
    QString icon_;
    std::unique_ptr<cLogo> oLogo;
    std::unique_ptr<cMMedia> oMedia;
    bool unloaded_ = false;
    SelectionLoudness* loudness_ = nullptr;
    QString loudnessAsked_;  // the stretch last measured, "first-last"

    PreviewEditor editor_;
    WaveView* waveView_ = nullptr;
    PreviewEditMenu* editMenu_ = nullptr;
    QLabel* lblEdit = nullptr;  // position readout and the last edit's result
    QSize baseSize_;
    // Widgets that follow the window's bottom (down), right edge, or width (wide).
    struct Anchored {
        QWidget* widget;
        QRect base;
        bool down, right, wide;
    };
    std::vector<Anchored> anchored_;
    QRect baseDrawingArea_;
    bool discardEdits_ = false;
    bool editRefused_ = false;
    QString editMessage_;
};
