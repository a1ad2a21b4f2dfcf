#pragma once

#include <QKeySequence>
#include <QObject>
#include <QString>
#include <functional>

class QAction;
class QMenu;
class QMenuBar;
class QWidget;
class PreviewEditor;
class WaveView;

// The preview's Edit and View menus: the edits on the selection (or the whole
// sound when nothing is selected), Undo and Redo named after the edit they
// take back, zoom, the selection typed in, Save and Save As. Each command runs
// through `ensureEditing`, which reads the sound and shows the zoomable view
// the first time; the menus themselves only call the editor and the view.
class PreviewEditMenu : public QObject {
    Q_OBJECT
public:
    enum class Edit {
        Delete,
        Crop,
        Silence,
        Gain,
        Normalize,
        FadeIn,
        FadeOut,
        RemoveDC,
        SeamlessLoop
    };

    PreviewEditMenu(QWidget* window, PreviewEditor& editor, WaveView* view,
                    std::function<bool()> ensureEditing);

    QMenuBar* menuBar() const { return bar_; }

    // Applies `edit` to the selection or the whole sound; `value` is the gain
    // in dB, the peak in dBFS or the loop's crossfade in milliseconds.
    void apply(Edit edit, double value = 0);
    // Asks for the value an edit needs, then applies it.
    void ask(Edit edit);
    bool snapsToZero() const;
    // Sets the selection from text: "BEGIN END" in frames, or times with ms or s.
    bool setSelectionText(const QString& text);
    // Save as the file itself, and Save As a name chosen in the save dialog.
    void save();
    void saveAs();

signals:
    // A line for the window to show after an edit (what was clipped).
    void message(const QString& text);

private:
    QAction* add(QMenu* menu, const QString& text, const QKeySequence& key,
                 const std::function<void()>& run);
    void refresh();

    QWidget* window_;
    PreviewEditor& editor_;
    WaveView* view_;
    std::function<bool()> ensureEditing_;
    QMenuBar* bar_ = nullptr;
    QAction* undo_ = nullptr;
    QAction* redo_ = nullptr;
    QAction* snap_ = nullptr;
};
