#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>
#include <memory>

class QAbstractFileIconProvider;
class QCheckBox;
class QComboBox;
class QFileSystemModel;
class QFileSystemWatcher;
class QFrame;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QThread;
class QTimer;
class QTreeView;
class QuillonButton;
class cFileSystem;
class cImageList;
class cPopupMenu;
class frmDetails;
struct ImportTarget;

namespace mUtility {
struct InspectionResult;
}

// The main window: a file browser limited to the three sound types, the
// information panel of the selected file and the commands that lead to the
// preview, the dialogs and the About box.
class frmMain : public QWidget {
    Q_OBJECT

public:
    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;

    // The folder DirectoryList shows (no trailing "/" except for "/").
    QString DirectoryPath() const { return dirPath_; }
    // Points the three lists at `folder`; false (and a message) when it cannot be read.
    bool SetDirectoryPath(const QString& folder);

    // The name FileList shows as selected, as it is on disk; "" when none.
    QString SelectedFileName() const;
    // Selects `name` in FileList and runs the click handler, as a click would;
    // false when FileList does not show `name`.
    bool ClickFile(const QString& name);

    // Call before the window is first shown: the start then opens `path` with
    // OpenPath instead of the folder of the last run.
    void SetStartPath(const QString& path) { startPath_ = path; }

    // Opens `path` (or a file: URL) as a user would reach it: a folder is
    // listed; a .SND, .WSD or .WAV file is listed in its folder, selected and
    // inspected (and played when Auto Play is ticked). Returns "" when done,
    // else the message saying why not, without showing it; the window then
    // stays as it was.
    QString OpenPath(const QString& path);

    // Goes to the folder of `path` (unless it is the one shown) and selects
    // and inspects the file there, as a click would. False, and a message
    // saying why, when the folder cannot be read or the file is not listed.
    bool ChooseFile(const QString& path);

    // True while the folder shown at the start is still being listed (on a
    // worker thread, so that the window takes input before a large folder is
    // read); FileList is empty until then.
    bool ListingInBackground() const { return awaited_ != 0 && awaited_ == listing_; }

    // Opens (or brings up) the Folder details window on the current folder.
    void ShowDetails();
    // The Folder details window once it has been opened; null before.
    frmDetails* Details() const { return details_; }

    // Closes as Exit does, without the question (the settings are written):
    // how a termination signal ends the program.
    void CloseWithoutAsking();

public slots:
    void Form_Load();
    void btnRefresh_Click();
    void FileList_Click();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // A folder or a game file dropped from a file manager opens as OpenPath
    // opens it; another audio file opens the Import dialog.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void BuildWidgets();
    void BuildLayout();
    void ConnectHandlers();

    void Form_QueryUnload(bool& close);
    void FileList_MouseDown(int button, int shift, int x, int y);
    // The file menu from the keyboard: at the selected row, nothing without a selection.
    void OpenMenuAtSelectedRow(Qt::KeyboardModifiers modifiers);
    void TrackClickOnSelected(QEvent* event);
    void RunMenuCommand(const QString& key);

    void DriveList_Change();
    void DirectoryList_Change(const QString& folder);
    void FillFileList();
    // FillFileList with the folder read on a worker thread; a FillFileList
    // before it ends wins.
    void FillFileListInBackground();
    // Watches the folder shown unless one is, and starts listing it on a
    // worker thread unless another listing has begun since `listing`; before
    // the first paint, it waits for it.
    void StartListing(quint64 listing);
    void ShowFileNames(const QStringList& names);
    void ExpandCurrentFolder();
    void FillDriveList();
    void SelectDriveOf(const QString& folder);

    void ApplyInspection(const mUtility::InspectionResult& result);
    // Opens the preview of `path`; edits saved there change the file, so the
    // selected file is inspected again once it closes.
    void OpenPreview(const QString& path);
    // After an inspection that could not read the file: empties the panel, disables
    // the commands and keeps no header of an earlier file in SoundInfo.
    void ForgetHeader();
    void SetCommandsEnabled(bool enabled);
    void ClearPanel();

    void ShowConvert();
    void ShowBatch();
    // The Import dialog for `sourcePath`; afterwards the list shows the new
    // file selected (in its own folder when it was saved elsewhere).
    void ShowImport(const QString& sourcePath, const ImportTarget* target = nullptr);
    void ShowAbout();
    void DeleteSelectedFile();
    // Puts the file of the last Delete back from the trash.
    void UndoDelete();

    // Ends a sound Auto Play started; the status line says so no longer.
    void StopSound();
    // Follows a sound Auto Play started: the status line and Stop while it plays.
    void WatchPlaying(const QString& name);
    void ShowStatus(const QString& text);
    // The folder changed on disk: the list follows, keeping the selection.
    void FolderChangedOnDisk();
    // The replace commands of the file menu (keys "Replace", "RestoreOriginal",
    // "RestoreAll", "ExportPack", "ApplyPack"); `source` is a dropped file for
    // "Replace", else the user is asked for one. False for another key.
    bool RunReplaceCommand(const QString& key, const QString& source = {});
    // Adds those commands to the file menu after a separator.
    void AddReplaceItems(cPopupMenu& menu);

    cFileSystem& FileSystem();

    QString dirPath_;
    QString startPath_;
    QStringList volumes_;  // the drive list's roots, read once per fill
    bool updatingLists_ = false;
    bool unreadable_ = false;        // the selected file's header could not be read
    bool listPainted_ = false;       // the folder list has been painted once
    bool followFolder_ = false;      // keep the folder the program chose in view as rows arrive
    bool listInBackground_ = false;  // the next FillFileList is FillFileListInBackground
    QThread* lister_ = nullptr;      // the last background listing
    quint64 listing_ = 0;            // counts the listings begun, to drop an outdated one
    quint64 awaited_ = 0;            // the background listing whose names are awaited, or 0
    quint64 listingAfterPaint_ = 0;  // the background listing to start at the first paint, or 0
    bool askOnClose_ = true;
    QListWidgetItem* pressedSelected_ = nullptr;  // a press on the row already selected
    // Files Delete moved to the trash, the last one last: Undo puts them back.
    struct Trashed {
        QString original;
        QString inTrash;
    };
    QList<Trashed> trashed_;
    std::unique_ptr<cFileSystem> fileSystem_;

    QComboBox* DriveList = nullptr;
    QTreeView* DirectoryList = nullptr;
    std::unique_ptr<QAbstractFileIconProvider> folderIcons_;
    QFileSystemModel* folderModel_ = nullptr;
    QListWidget* FileList = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label8 = nullptr;
    QLabel* Label9 = nullptr;
    QLabel* Label10 = nullptr;
    QCheckBox* chkAutoPlay = nullptr;
    QFrame* frameFileInfo = nullptr;
    QLabel* lblSelectedFile = nullptr;
    QLabel* lbl8bitFlag = nullptr;
    QLabel* lblInternalID = nullptr;
    QLabel* lblDataLength = nullptr;
    QLabel* lblSampleRate = nullptr;
    QLabel* lblBitDepth = nullptr;
    QLabel* lblChannels = nullptr;
    QLabel* lblReplaced = nullptr;
    QuillonButton* btnRefresh = nullptr;
    QuillonButton* btnConvert = nullptr;
    QuillonButton* btnPreview = nullptr;
    QuillonButton* btnBatch = nullptr;
    QuillonButton* btnDetails = nullptr;
    QuillonButton* btnAbout = nullptr;
    QuillonButton* btnExit = nullptr;
    QuillonButton* btnImport = nullptr;
    QuillonButton* btnStop = nullptr;
    QuillonButton* btnUndo = nullptr;
    QLabel* lblStatus = nullptr;
    QTimer* playWatch_ = nullptr;
    QFileSystemWatcher* watcher_ = nullptr;
    cImageList* imlMain = nullptr;
    frmDetails* details_ = nullptr;
};
