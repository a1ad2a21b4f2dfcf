#include "frmMain.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QAbstractFileIconProvider>
#include <QAccessibleWidget>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QDirIterator>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QFileSystemWatcher>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>
#include <QShortcut>
#include <QStandardPaths>
#include <QStyle>
#include <QThread>
#include <QTimer>
#include <QTreeView>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>
#include <cerrno>
#include <utility>

#include "ElidedLabel.h"
#include "FileContextMenu.h"
#include "FocusRing.h"
#include "InputCodes.h"
#include "Inspection.h"
#include "Inventory.h"
#include "MainSettings.h"
#include "MsgBox.h"
#include "NativeName.h"
#include "PlaySound.h"
#include "Preview.h"
#include "QuillonButton.h"
#include "ReplaceActions.h"
#include "Replacement.h"
#include "RunTopLevel.h"
#include "SoundInfo.h"
#include "TrapERR.h"
#include "Trash.h"
#include "Twips.h"
#include "Volumes.h"
#include "WindowSize.h"
#include "cFileSystem.h"
#include "cImageList.h"
#include "cPopupMenu.h"
#include "frmAbout.h"
#include "frmBatch.h"
#include "frmConvert.h"
#include "frmDetails.h"
#include "frmImport.h"

using mUtility::SoundInfo;

namespace {

const QString Caption = QStringLiteral("Zephyrion Sound Utility (XP Edition)");
// True for a name matching "*.snd;*.wsd;*.wav" in any letter case. A plain
// suffix test: pattern matching costs more than the listing itself in a folder
// of thousands.
bool IsSoundFileName(const QString& name) {
    if (name.size() < 4 || name[name.size() - 4] != u'.') return false;
    const QStringView type = QStringView(name).right(3);
    return type.compare(u"snd", Qt::CaseInsensitive) == 0 ||
           type.compare(u"wsd", Qt::CaseInsensitive) == 0 ||
           type.compare(u"wav", Qt::CaseInsensitive) == 0;
}

// The files of "*.snd;*.wsd;*.wav" in `folder`, sorted by name without regard
// to case (the listing's own order).
QStringList SoundFilesIn(const QString& folder) {
    // Read as bytes, so a name that is not valid UTF-8 is listed and opened
    // like any other. A file the user may not read is listed too: a click
    // says why it cannot be inspected.
    QList<AppError> errors;
    QStringList names;
    for (const QString& path : mUtility::SoundFilesIn(folder, false, errors)) {
        QString parent, name;
        mUtility::SplitPath(path, parent, name);
        names << name;
    }
    return names;
}

// The folder list's icons from the style alone. Qt's own provider looks up
// every entry's MIME type and the desktop's icon theme, which at start cost
// more than listing the folders themselves; the list shows folders and drives.
class FolderIcons : public QAbstractFileIconProvider {
public:
    FolderIcons()
        : folder_(QApplication::style()->standardIcon(QStyle::SP_DirIcon)),
          drive_(QApplication::style()->standardIcon(QStyle::SP_DriveHDIcon)) {}
    QIcon icon(IconType type) const override {
        return type == Drive || type == Computer ? drive_ : folder_;
    }
    QIcon icon(const QFileInfo& info) const override { return info.isRoot() ? drive_ : folder_; }
    QString type(const QFileInfo& info) const override {
        return info.isRoot()  ? QStringLiteral("Drive")
               : info.isDir() ? QStringLiteral("Folder")
                              : QStringLiteral("File");
    }

private:
    QIcon folder_;
    QIcon drive_;
};

QMessageBox::Icon BoxIcon(mUtility::MessageIcon icon) {
    switch (icon) {
        case mUtility::MessageIcon::Information:
            return QMessageBox::Information;
        case mUtility::MessageIcon::Warning:
            return QMessageBox::Warning;
        case mUtility::MessageIcon::Critical:
            return QMessageBox::Critical;
        case mUtility::MessageIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

QLabel* ValueLabel(const QString& name, QWidget* parent) {
    auto* label = new ElidedLabel(parent);
    label->setObjectName(name);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setMinimumWidth(90);
    return label;
}

// The main window is a plain widget; assistive technology should still see a
// window (as it sees the dialogs as dialogs), not an anonymous pane.
QAccessibleInterface* MainWindowAccessible(const QString& key, QObject* object) {
    if (key != QLatin1String("frmMain") || !object->isWidgetType()) return nullptr;
    return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
}

// What a drop from a file manager carries, judged by its first local file or
// folder: a folder or one of the game's files opens in the lists (OpenPath);
// any other file Import takes goes to the Import dialog.
struct Dropped {
    QString path;  // "" when the drop is not taken
    bool import = false;
};

// A start argument may be a file: URL, as a file manager passes it.
QString LocalPath(const QString& path) {
    // Only "file://" makes a URL: "file:x.snd" is a relative name like any other.
    if (!path.startsWith(QLatin1String("file://"), Qt::CaseInsensitive)) return path;
    return QUrl(path).toLocalFile();
}

// A file of another audio type, which Import makes a game file of, rather
// than one the lists show.
bool IsImportSource(const QString& path) {
    return !IsSoundFileName(QFileInfo(path).fileName()) && frmImport::TakesDroppedFile(path) &&
           frmImport::Decodes(path);
}

Dropped DroppedFile(const QMimeData* mime) {
    if (mime == nullptr || !mime->hasUrls()) return {};
    for (const QUrl& url : mime->urls()) {
        if (!url.isLocalFile()) continue;
        const QString path = url.toLocalFile();
        const QFileInfo file(path);
        const QString type = file.suffix().toUpper();
        if (file.isDir() || (file.isFile() && (type == "SND" || type == "WSD"))) return {path};
        if (frmImport::TakesDroppedFile(path)) return {path, true};
        return {};
    }
    return {};
}

}  // namespace

frmMain::frmMain(QWidget* parent) : QWidget(parent) {
    static const bool accessibleFactory = (QAccessible::installFactory(MainWindowAccessible), true);
    Q_UNUSED(accessibleFactory);
    FocusRing::Install();
    setObjectName("frmMain");
    setWindowTitle(Caption);
    BuildWidgets();
    BuildLayout();
    WindowSize::Keep(this, QStringLiteral("frmMain"));
    ConnectHandlers();
    SetCommandsEnabled(false);
    setAcceptDrops(true);
    // The settings, the volume list and the first listing run from the event
    // loop once the window is shown, so it appears without waiting for them.
    QTimer::singleShot(0, this, [this] { zs::RunTopLevel(this, [this] { Form_Load(); }); });
}

frmMain::~frmMain() {
    if (lister_) lister_->wait();
    delete lister_;
    // The folder model's listing thread asks folderIcons_: it ends first.
    delete folderModel_;
}

cFileSystem& frmMain::FileSystem() {
    if (!fileSystem_) fileSystem_ = std::make_unique<cFileSystem>();
    return *fileSystem_;
}

void frmMain::BuildWidgets() {
    DriveList = new QComboBox(this);
    DriveList->setObjectName("DriveList");
    DriveList->setAccessibleName(tr("Drives"));

    folderModel_ = new QFileSystemModel(this);
    folderModel_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    folderModel_->setReadOnly(true);
    folderIcons_ = std::make_unique<FolderIcons>();
    folderModel_->setIconProvider(folderIcons_.get());
    DirectoryList = new QTreeView(this);
    DirectoryList->setObjectName("DirectoryList");
    DirectoryList->setAccessibleName(tr("Folders"));
    DirectoryList->setModel(folderModel_);
    for (int column = 1; column < folderModel_->columnCount(); ++column)
        DirectoryList->hideColumn(column);
    DirectoryList->header()->hide();
    DirectoryList->setSelectionMode(QAbstractItemView::SingleSelection);
    // The model lists folders in the background, in batches, and sorts them
    // later still: a folder the program chose (at start, from a drive change)
    // is kept in view through every arrival of rows above it, until the user
    // moves about in the list.
    const auto follow = [this] {
        if (followFolder_)
            DirectoryList->scrollTo(DirectoryList->currentIndex(),
                                    QAbstractItemView::PositionAtCenter);
    };
    connect(folderModel_, &QAbstractItemModel::rowsInserted, this, follow);
    connect(folderModel_, &QAbstractItemModel::layoutChanged, this, follow);
    connect(folderModel_, &QFileSystemModel::directoryLoaded, this, follow);
    DirectoryList->viewport()->installEventFilter(this);
    DirectoryList->installEventFilter(this);
    connect(DirectoryList->verticalScrollBar(), &QAbstractSlider::actionTriggered, this,
            [this] { followFolder_ = false; });

    FileList = new QListWidget(this);
    FileList->setObjectName("FileList");
    FileList->setAccessibleName(tr("Files"));
    FileList->setSelectionMode(QAbstractItemView::SingleSelection);
    FileList->setUniformItemSizes(true);  // a folder of thousands lays out at once
    FileList->viewport()->installEventFilter(this);
    FileList->installEventFilter(this);

    Label1 = new QLabel(tr("&Drives:"), this);
    Label8 = new QLabel(tr("F&olders:"), this);
    Label9 = new QLabel(tr("&Files:"), this);
    Label1->setBuddy(DriveList);
    Label8->setBuddy(DirectoryList);
    Label9->setBuddy(FileList);
    Label10 = new QLabel(QStringLiteral("(choose file and right-click for menu)"), this);
    chkAutoPlay = new QCheckBox(tr("Auto &Play"), this);
    chkAutoPlay->setObjectName("chkAutoPlay");
    imlMain = new cImageList(this);
    imlMain->setObjectName("imlMain");
    FileContextMenu::LoadIcons(*imlMain);

    frameFileInfo = new QFrame(this);
    frameFileInfo->setObjectName("frameFileInfo");
    frameFileInfo->setFrameShape(QFrame::StyledPanel);
    lblSelectedFile = ValueLabel("lblSelectedFile", frameFileInfo);
    // The value is the name a screen reader speaks; the caption describes it.
    lblSelectedFile->setAccessibleDescription(tr("Selected file"));
    QFont bold = lblSelectedFile->font();
    bold.setBold(true);
    lblSelectedFile->setFont(bold);
    lbl8bitFlag = ValueLabel("lbl8bitFlag", frameFileInfo);
    lblInternalID = ValueLabel("lblInternalID", frameFileInfo);
    lblDataLength = ValueLabel("lblDataLength", frameFileInfo);
    lblSampleRate = ValueLabel("lblSampleRate", frameFileInfo);
    lblBitDepth = ValueLabel("lblBitDepth", frameFileInfo);
    lblChannels = ValueLabel("lblChannels", frameFileInfo);
    lblReplaced = ValueLabel("lblReplaced", frameFileInfo);
    lblReplaced->setAccessibleDescription(tr("Replaced"));
    lblReplaced->setWordWrap(true);

    struct Command {
        QuillonButton*& button;
        const char* name;
        QString caption;
        QString tip;
    };
    const Command commands[] = {
        {btnRefresh, "btnRefresh", tr("&Refresh"), "Refresh the files list"},
        {btnConvert, "btnConvert", tr("&Convert"), "Convert a sound file to a different format"},
        {btnPreview, "btnPreview", tr("Pre&view"), "Preview the selected sound file"},
        {btnBatch, "btnBatch", tr("&Batch"), "Batch convert sound files"},
        {btnImport, "btnImport", tr("&Import\u2026"),
         "Make a game file of a sound in another format (Ctrl+I)"},
        {btnDetails, "btnDetails", tr("De&tails"),
         "Every sound file of this folder in a table (Ctrl+D)"},
        {btnAbout, "btnAbout", tr("&About"), "Program information"},
        {btnExit, "btnExit", tr("E&xit"), "Exit this application"},
    };
    for (const Command& command : commands) {
        command.button = new QuillonButton(this);
        command.button->setObjectName(command.name);
        QuillonButton::ApplyProgramLook(command.button);
        command.button->setCaption(command.caption);
        command.button->setToolTip(command.tip);
        // The button has no size hint of its own: without a minimum the layout gives it none.
        command.button->setMinimumSize(90, 30);
    }

    // The status line: what plays, what was deleted, what changed on disk.
    lblStatus = new QLabel(this);
    lblStatus->setObjectName("lblStatus");
    lblStatus->setAccessibleName(tr("Status"));
    lblStatus->setTextInteractionFlags(Qt::TextSelectableByMouse);
    const auto small = [this](QuillonButton*& button, const char* name, const QString& caption,
                              const QString& tip) {
        button = new QuillonButton(this);
        button->setObjectName(name);
        QuillonButton::ApplyProgramLook(button);
        button->setCaption(caption);
        button->setToolTip(tip);
        button->setMinimumSize(70, 26);
    };
    small(btnStop, "btnStop", tr("&Stop"), "Stop the sound Auto Play started (Esc in the files)");
    small(btnUndo, "btnUndo", tr("&Undo"), "Put the deleted file back (Ctrl+Z)");
    btnStop->setEnabled(false);
    btnUndo->setVisible(false);
    playWatch_ = new QTimer(this);
    playWatch_->setInterval(150);
    watcher_ = new QFileSystemWatcher(this);
}

void frmMain::BuildLayout() {
    auto* browser = new QGridLayout;
    browser->addWidget(Label1, 0, 0);
    browser->addWidget(DriveList, 1, 0);
    browser->addWidget(Label8, 2, 0);
    browser->addWidget(DirectoryList, 3, 0);
    browser->addWidget(Label9, 0, 1);
    browser->addWidget(FileList, 1, 1, 3, 1);
    browser->addWidget(Label10, 4, 1);
    browser->addWidget(chkAutoPlay, 4, 0);
    auto* status = new QHBoxLayout;
    status->addWidget(lblStatus, 1);
    status->addWidget(btnUndo);
    status->addWidget(btnStop);
    browser->addLayout(status, 5, 0, 1, 2);
    browser->setColumnStretch(0, 3);
    browser->setColumnStretch(1, 2);
    browser->setRowStretch(3, 1);

    auto* panel = new QGridLayout(frameFileInfo);
    panel->addWidget(lblSelectedFile, 0, 0, 1, 2);
    const std::pair<const char*, QLabel*> rows[] = {
        {"8-bit Flag", lbl8bitFlag},    {"Internal ID #", lblInternalID},
        {"Data length", lblDataLength}, {"Sample rate", lblSampleRate},
        {"Bit depth", lblBitDepth},     {"Channels", lblChannels},
    };
    int row = 1;
    for (const auto& [caption, value] : rows) {
        auto* label = new QLabel(QString::fromLatin1(caption), frameFileInfo);
        label->setObjectName(QStringLiteral("Label%1").arg(row + 1));
        label->setBuddy(value);
        value->setAccessibleDescription(QString::fromLatin1(caption));
        panel->addWidget(label, row, 0);
        panel->addWidget(value, row, 1);
        ++row;
    }
    panel->addWidget(lblReplaced, row++, 0, 1, 2);
    panel->setRowStretch(row, 1);

    auto* buttons = new QVBoxLayout;
    for (QuillonButton* button :
         {btnRefresh, btnConvert, btnPreview, btnBatch, btnImport, btnDetails, btnAbout, btnExit})
        buttons->addWidget(button);
    buttons->addStretch();

    auto* right = new QHBoxLayout;
    right->addWidget(frameFileInfo, 1);
    right->addLayout(buttons);

    auto* top = new QHBoxLayout(this);
    top->addLayout(browser, 3);
    top->addLayout(right, 2);
    resize(880, 520);

    // Reading order: lists, auto play, then the commands.
    setTabOrder(DriveList, DirectoryList);
    setTabOrder(DirectoryList, FileList);
    setTabOrder(FileList, chkAutoPlay);
    setTabOrder(chkAutoPlay, btnUndo);
    setTabOrder(btnUndo, btnStop);
    setTabOrder(btnStop, btnRefresh);
    setTabOrder(btnRefresh, btnConvert);
    setTabOrder(btnConvert, btnPreview);
    setTabOrder(btnPreview, btnBatch);
    setTabOrder(btnBatch, btnImport);
    setTabOrder(btnImport, btnDetails);
    setTabOrder(btnDetails, btnAbout);
    setTabOrder(btnAbout, btnExit);
}

void frmMain::ConnectHandlers() {
    auto guarded = [this](auto handler) {
        return [this, handler] { zs::RunTopLevel(this, [this, handler] { (this->*handler)(); }); };
    };
    connect(DriveList, &QComboBox::currentIndexChanged, this, guarded(&frmMain::DriveList_Change));
    connect(DirectoryList->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (updatingLists_ || !current.isValid()) return;
                const QString folder = folderModel_->filePath(current);
                zs::RunTopLevel(this, [this, folder] { DirectoryList_Change(folder); });
            });
    // A mouse press makes the item current before it selects it: only the
    // selection change sees the clicked name. A double click or Enter on the
    // file (activation) selects nothing new, so it inspects and plays nothing again.
    connect(FileList, &QListWidget::itemSelectionChanged, this, [this] {
        if (!updatingLists_ && !SelectedFileName().isEmpty())
            zs::RunTopLevel(this, [this] { FileList_Click(); });
    });
    connect(btnRefresh, &QuillonButton::Click, this, guarded(&frmMain::btnRefresh_Click));
    connect(btnConvert, &QuillonButton::Click, this, guarded(&frmMain::ShowConvert));
    connect(btnBatch, &QuillonButton::Click, this, guarded(&frmMain::ShowBatch));
    connect(btnAbout, &QuillonButton::Click, this, guarded(&frmMain::ShowAbout));
    connect(btnDetails, &QuillonButton::Click, this, guarded(&frmMain::ShowDetails));
    auto* details = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_D), this);
    connect(details, &QShortcut::activated, this, guarded(&frmMain::ShowDetails));
    connect(btnExit, &QuillonButton::Click, this, &QWidget::close);
    auto* replaceKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_R), this);
    connect(replaceKey, &QShortcut::activated, this, [this] {
        zs::RunTopLevel(this, [this] {
            if (!SelectedFileName().isEmpty()) RunReplaceCommand(QStringLiteral("Replace"));
        });
    });
    const auto askImport = [this] {
        zs::RunTopLevel(this, [this] {
            const QString path = frmImport::AskSourceFile(this, dirPath_);
            if (!path.isEmpty()) ShowImport(path);
        });
    };
    auto* importKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_I), this);
    connect(importKey, &QShortcut::activated, this, askImport);
    connect(btnImport, &QuillonButton::Click, this, askImport);
    connect(btnPreview, &QuillonButton::Click, this,
            [this] { zs::RunTopLevel(this, [this] { OpenPreview(SoundInfo.SourcePath()); }); });
    connect(chkAutoPlay, &QCheckBox::toggled, this, [this](bool on) {
        if (!on) StopSound();
    });
    connect(btnStop, &QuillonButton::Click, this, &frmMain::StopSound);
    connect(playWatch_, &QTimer::timeout, this, [this] {
        if (!PlaySoundApi::IsPlaying()) StopSound();
    });
    connect(btnUndo, &QuillonButton::Click, this, guarded(&frmMain::UndoDelete));
    auto* undoKey = new QShortcut(QKeySequence::Undo, this);
    connect(undoKey, &QShortcut::activated, this, guarded(&frmMain::UndoDelete));
    // A folder changes in bursts (a batch writes thousands of files): the list
    // follows once the burst has settled.
    auto* settle = new QTimer(this);
    settle->setSingleShot(true);
    settle->setInterval(250);
    connect(watcher_, &QFileSystemWatcher::directoryChanged, settle, qOverload<>(&QTimer::start));
    connect(settle, &QTimer::timeout, this, guarded(&frmMain::FolderChangedOnDisk));
}

void frmMain::Form_Load() {
    try {
        FillDriveList();
        const MainSettings settings = MainSettings::Read();
        // Auto Play first: a file given at the start is clicked with it.
        if (!settings.AutoPlay.isEmpty())
            chkAutoPlay->setChecked(static_cast<qint16>(settings.AutoPlay.toInt()) != 0);
        const QString start = std::exchange(startPath_, QString());
        // A sound of another type opens in Import, over the lists of its folder.
        const QString importSource =
            IsImportSource(LocalPath(start)) ? LocalPath(start) : QString();
        // A start folder is listed in the background, so the window takes input
        // at once however many files it holds; a file given is selected at once.
        listInBackground_ =
            !importSource.isEmpty() || start.isEmpty() || QFileInfo(LocalPath(start)).isDir();
        QString problem;
        if (!importSource.isEmpty())
            problem = OpenPath(QFileInfo(importSource).absolutePath());
        else if (!start.isEmpty())
            problem = OpenPath(start);
        if (!problem.isEmpty()) listInBackground_ = true;  // the folder listed instead
        if (start.isEmpty() || !problem.isEmpty()) {
            QString saved = settings.LastDirectory;
            // One listing only: the saved folder when it can still be listed, else the start
            // folder.
            const bool useSaved = !saved.isEmpty() && FileSystem().FolderExists(saved) &&
                                  ::access(NativeName::Encode(saved).constData(), R_OK | X_OK) == 0;
            SetDirectoryPath(useSaved ? saved : QDir::currentPath());
        }
        listInBackground_ = false;
        // The first arrow key moves in the files, not to another drive.
        FileList->setFocus(Qt::OtherFocusReason);
        if (!problem.isEmpty()) MsgBox::Show(this, QMessageBox::Warning, Caption, problem);
        if (!importSource.isEmpty() && problem.isEmpty())
            QTimer::singleShot(0, this, [this, importSource] {
                zs::RunTopLevel(this, [this, importSource] { ShowImport(importSource); });
            });
        const QString notice = MainSettings::TakeRecoveryNotice();
        if (!notice.isEmpty()) MsgBox::Show(this, QMessageBox::Warning, Caption, notice);
    }
    ZS_TRAP("frmMain.Form_Load")
}

void frmMain::FillDriveList() {
    const QSignalBlocker block(DriveList);
    DriveList->clear();
    volumes_ = Volumes::RealVolumes();
    for (const QString& root : volumes_) DriveList->addItem(root, root);
}

void frmMain::SelectDriveOf(const QString& folder) {
    const QString root = Volumes::RootOf(folder, volumes_);
    int index = DriveList->findData(root);
    if (index < 0) {
        DriveList->addItem(root, root);
        index = DriveList->count() - 1;
    }
    const QSignalBlocker block(DriveList);
    DriveList->setCurrentIndex(index);
}

void frmMain::DriveList_Change() {
    // A volume that cannot be read leaves the lists where they were.
    if (!SetDirectoryPath(DriveList->currentData().toString())) SelectDriveOf(dirPath_);
}

bool frmMain::SetDirectoryPath(const QString& folder) {
    QString clean = QDir::cleanPath(folder);
    const QDir dir(clean);
    if (!dir.exists() || !dir.isReadable()) {
        MsgBox::Show(this, QMessageBox::Warning, Caption,
                     tr("The folder \"%1\" cannot be read.").arg(QDir::toNativeSeparators(clean)));
        return false;
    }
    followFolder_ = true;
    DirectoryList_Change(clean);
    return true;
}

void frmMain::DirectoryList_Change(const QString& folder) {
    const QString previous = dirPath_;
    const QDir dir(folder);
    if (!dir.isReadable()) {
        MsgBox::Show(this, QMessageBox::Warning, Caption,
                     tr("The folder \"%1\" cannot be read.").arg(QDir::toNativeSeparators(folder)));
        if (!previous.isEmpty() && previous != folder) DirectoryList_Change(previous);
        return;
    }
    if (folder != previous) {
        // Nothing of the previous folder's file may stay to act on.
        SetCommandsEnabled(false);
        ClearPanel();
        if (!watcher_->directories().isEmpty()) watcher_->removePaths(watcher_->directories());
        // A folder listed in the background is watched when its listing starts.
        if (!listInBackground_) watcher_->addPath(folder);
        if (details_ && details_->isVisible()) details_->ShowFolder(folder);
    }
    dirPath_ = folder;
    updatingLists_ = true;
    SelectDriveOf(folder);
    const QString root = Volumes::RootOf(folder, volumes_);
    if (folderModel_->rootPath() != root) {
        folderModel_->setRootPath(root);
        DirectoryList->setRootIndex(folderModel_->index(root));
    }
    // The current folder is unfolded, so its sub-folders are one click away.
    const QModelIndex index = folderModel_->index(folder);
    DirectoryList->setCurrentIndex(index);
    ExpandCurrentFolder();
    DirectoryList->scrollTo(index, followFolder_ ? QAbstractItemView::PositionAtCenter
                                                 : QAbstractItemView::EnsureVisible);
    updatingLists_ = false;
    FillFileList();
}

// Unfolding a folder lists all its entries, files too, and a start folder of
// thousands of sounds would hold up the window's first paint: until then the
// folder waits, and is unfolded once the list has been painted.
void frmMain::ExpandCurrentFolder() {
    if (isVisible() && !listPainted_) return;
    DirectoryList->expand(DirectoryList->currentIndex());
}

void frmMain::FillFileList() {
    if (std::exchange(listInBackground_, false)) return FillFileListInBackground();
    ++listing_;
    ShowFileNames(SoundFilesIn(dirPath_));
}

void frmMain::FillFileListInBackground() {
    pressedSelected_ = nullptr;
    updatingLists_ = true;
    FileList->clear();
    updatingLists_ = false;
    if (lister_) lister_->wait();
    delete std::exchange(lister_, nullptr);
    awaited_ = ++listing_;
    StartListing(listing_);
}

void frmMain::StartListing(quint64 listing) {
    // Watching a folder costs a moment per thousand files: that and the
    // listing begin once the window is painted.
    if (!listPainted_) {
        listingAfterPaint_ = listing;
        return;
    }
    if (watcher_->directories().isEmpty()) watcher_->addPath(dirPath_);
    if (listing != listing_) return;  // listed at once since
    lister_ = QThread::create([this, folder = dirPath_, listing] {
        QStringList names;
        try {
            names = SoundFilesIn(folder);
        } catch (...) {
            // Out of memory: the list stays empty, as Refresh would leave it.
        }
        QMetaObject::invokeMethod(
            this,
            [this, names, listing] {
                if (listing != listing_) return;  // listed again since
                awaited_ = 0;
                ShowFileNames(names);
            },
            Qt::QueuedConnection);
    });
    lister_->start();
}

void frmMain::ShowFileNames(const QStringList& names) {
    pressedSelected_ = nullptr;
    updatingLists_ = true;
    FileList->clear();
    FileList->addItems(names);
    ReplaceActions::MarkReplaced(FileList, dirPath_);
    FileList->setCurrentRow(-1);
    updatingLists_ = false;
}

QString frmMain::SelectedFileName() const {
    // The selection, not the current item: assistive technology selects an
    // item without making it current.
    const QList<QListWidgetItem*> selected = FileList->selectedItems();
    return selected.isEmpty() ? QString() : selected.first()->text();
}

bool frmMain::ClickFile(const QString& name) {
    const auto items = FileList->findItems(name, Qt::MatchExactly);
    if (items.isEmpty()) return false;
    updatingLists_ = true;
    FileList->setCurrentItem(items.first());
    updatingLists_ = false;
    zs::RunTopLevel(this, [this] { FileList_Click(); });
    return true;
}

QString frmMain::OpenPath(const QString& given) {
    const QString path = LocalPath(given);
    const QString shown = path;
    // By the name's bytes: a name need not be valid UTF-8.
    struct stat st {};
    if (::stat(NativeName::Encode(path).constData(), &st) != 0)
        return tr("The file or folder \"%1\" was not found.").arg(shown);
    const bool isDir = S_ISDIR(st.st_mode);
    const QString absolute =
        QDir::cleanPath(QDir::isAbsolutePath(path) ? path : QDir::currentPath() + '/' + path);
    QString folder = absolute, name;
    if (!isDir) mUtility::SplitPath(absolute, folder, name);
    if (!isDir && !IsSoundFileName(name))
        return tr("\"%1\" is not a .SND, .WSD or .WAV file.").arg(shown);
    const QString unreadable = tr("The folder \"%1\" cannot be read.").arg(folder);
    if (::access(NativeName::Encode(folder).constData(), R_OK | X_OK) != 0 ||
        !SetDirectoryPath(folder))
        return unreadable;
    if (isDir || ClickFile(name)) return {};
    return tr("The file \"%1\" cannot be read.").arg(shown);
}

void frmMain::ShowDetails() {
    if (!details_) {
        details_ = new frmDetails(this);
        details_->setWindowFlag(Qt::Window);
        connect(details_, &frmDetails::FileChosen, this, [this](const QString& path) {
            zs::RunTopLevel(this, [this, path] { ChooseFile(path); });
            activateWindow();
            FileList->setFocus();
        });
    }
    if (details_->Folder() != dirPath_ || !details_->isVisible()) details_->ShowFolder(dirPath_);
    details_->show();
    details_->raise();
    details_->activateWindow();
}

bool frmMain::ChooseFile(const QString& path) {
    QString folder, name;
    mUtility::SplitPath(path, folder, name);
    folder = QDir::cleanPath(folder);
    if (folder != dirPath_) {
        if (!SetDirectoryPath(folder)) return false;
    } else if (FileList->findItems(name, Qt::MatchExactly).isEmpty()) {
        FillFileList();  // a file made since the listing
    }
    if (ClickFile(name)) return true;
    MsgBox::Show(
        this, QMessageBox::Warning, Caption,
        tr("%1 is no longer in the folder \"%2\".").arg(name, QDir::toNativeSeparators(folder)));
    return false;
}

void frmMain::FileList_Click() {
    try {
        const QString name = SelectedFileName();
        if (name.isEmpty()) return;
        mUtility::InspectionResult result;
        try {
            unreadable_ = false;
            result = mUtility::InspectFile(dirPath_, name, SoundInfo);
        } catch (const AppError& error) {
            // The record now names this file but still holds the previous file's
            // header: nothing may act on that pair.
            ForgetHeader();
            // Two everyday causes get a plain sentence rather than a report.
            if (error.Number == ErrNo::FileNotFound) {
                // Out of the list once the click (or selection change) that got
                // here has been handled by the list itself.
                QTimer::singleShot(0, this, [this, name] {
                    updatingLists_ = true;
                    delete FileList->findItems(name, Qt::MatchExactly).value(0);
                    FileList->setCurrentRow(-1);
                    updatingLists_ = false;
                });
                MsgBox::Show(this, QMessageBox::Warning, Caption,
                             tr("%1 is no longer in this folder.").arg(name));
                return;
            }
            if (error.Number == ErrNo::PermissionDenied) {
                lblSelectedFile->setText(name);
                MsgBox::Show(this, QMessageBox::Warning, Caption,
                             tr("%1 cannot be read: permission denied.").arg(name));
                return;
            }
            throw;
        } catch (...) {
            ForgetHeader();
            throw;
        }
        ApplyInspection(result);
        if (result.Outcome != mUtility::InspectionOutcome::Valid) return;
        if (!chkAutoPlay->isChecked()) {
            mUtility::AutoPlaying = false;
            return;
        }
        mUtility::AutoPlaying = true;
        struct ResetFlag {
            ~ResetFlag() { mUtility::AutoPlaying = false; }
        } reset;
        mUtility::Preview(SoundInfo.SourcePath());
        WatchPlaying(name);
    }
    ZS_TRAP("frmMain.FileList_Click")
}

void frmMain::ApplyInspection(const mUtility::InspectionResult& result) {
    const mUtility::InfoPanelTexts& panel = result.Panel;
    lblSelectedFile->setText(panel.FileName);
    if (result.Outcome == mUtility::InspectionOutcome::MalformedWav) {
        MsgBox::Show(this, BoxIcon(result.Icon), result.MessageTitle, result.MessageText);
        btnRefresh_Click();
        return;
    }
    lbl8bitFlag->setText(panel.EightBitFlag);
    lblInternalID->setText(panel.InternalID);
    lblDataLength->setText(panel.DataLength);
    lblSampleRate->setText(panel.SampleRate);
    lblBitDepth->setText(panel.BitDepth);
    lblChannels->setText(panel.Channels);
    lblReplaced->setText(ReplaceActions::ReplacedTextOf(dirPath_, SoundInfo.DiskName));
    const bool valid = result.Outcome == mUtility::InspectionOutcome::Valid;
    SetCommandsEnabled(valid);
    if (!valid) MsgBox::Show(this, BoxIcon(result.Icon), result.MessageTitle, result.MessageText);
}

void frmMain::ForgetHeader() {
    unreadable_ = true;
    SetCommandsEnabled(false);
    ClearPanel();
    const mUtility::SoundInfoRecord file = SoundInfo;
    SoundInfo = mUtility::SoundInfoRecord();
    mUtility::SelectFile(SoundInfo, file.Folder, file.DiskName);
}

void frmMain::SetCommandsEnabled(bool enabled) {
    btnConvert->setEnabled(enabled);
    btnPreview->setEnabled(enabled);
    btnBatch->setEnabled(enabled);
}

void frmMain::ClearPanel() {
    for (QLabel* label : {lblSelectedFile, lbl8bitFlag, lblInternalID, lblDataLength, lblSampleRate,
                          lblBitDepth, lblChannels, lblReplaced})
        label->clear();
}

void frmMain::btnRefresh_Click() {
    try {
        SetCommandsEnabled(false);
        ClearPanel();
        FillFileList();
    }
    ZS_TRAP("frmMain.btnRefresh_Click")
}

void frmMain::ShowConvert() {
    QWidget* opener = focusWidget();
    std::optional<ImportTarget> import;
    {
        frmConvert dialog(this);
        dialog.exec();
        import = dialog.ImportInstead();
    }
    // The dialog relabelled SoundInfo in place: nothing may act on that.
    const QString source = SoundInfo.SourcePath();
    btnRefresh_Click();
    if (import) {
        ShowImport(source, &*import);
        return;
    }
    // The refresh disables the button that opened the dialog; choosing the
    // next file is what comes next.
    if (opener && !opener->isEnabled()) FileList->setFocus(Qt::OtherFocusReason);
}

void frmMain::ShowImport(const QString& sourcePath, const ImportTarget* target) {
    QString created;
    {
        frmImport dialog(sourcePath, dirPath_, this);
        if (target) dialog.SetTarget(*target);
        dialog.exec();
        created = dialog.CreatedFile();
    }
    if (!created.isEmpty()) ChooseFile(created);
}

void frmMain::dragEnterEvent(QDragEnterEvent* event) {
    if (!DroppedFile(event->mimeData()).path.isEmpty()) event->acceptProposedAction();
}

void frmMain::dropEvent(QDropEvent* event) {
    const Dropped dropped = DroppedFile(event->mimeData());
    if (dropped.path.isEmpty()) return;
    event->acceptProposedAction();
    // A sound dropped on a file's row replaces that file.
    const QPoint at = FileList->viewport()->mapFrom(this, event->position().toPoint());
    const QListWidgetItem* row =
        FileList->viewport()->rect().contains(at) ? FileList->itemAt(at) : nullptr;
    const QString target = dropped.import && row ? row->text() : QString();
    // The drag source waits for the drop to end: the dialog, the inspection,
    // its messages and an Auto Play preview come afterwards.
    QTimer::singleShot(0, this, [this, dropped, target] {
        zs::RunTopLevel(this, [this, dropped, target] {
            if (!target.isEmpty() && ClickFile(target)) {
                RunReplaceCommand(QStringLiteral("Replace"), dropped.path);
                return;
            }
            if (dropped.import) {
                ShowImport(dropped.path);
                return;
            }
            const QString problem = OpenPath(dropped.path);
            if (!problem.isEmpty()) MsgBox::Show(this, QMessageBox::Warning, Caption, problem);
        });
    });
}

void frmMain::ShowBatch() {
    frmBatch dialog(this);
    dialog.exec();
}

void frmMain::ShowAbout() {
    frmAbout dialog(this);
    dialog.exec();
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == DirectoryList || watched == DirectoryList->viewport()) {
        switch (event->type()) {
            case QEvent::Paint:
                if (!std::exchange(listPainted_, true)) {
                    QTimer::singleShot(0, this, [this] {
                        ExpandCurrentFolder();
                        if (listingAfterPaint_ != 0)
                            StartListing(std::exchange(listingAfterPaint_, 0));
                    });
                }
                break;
            case QEvent::MouseButtonPress:
            case QEvent::Wheel:
            case QEvent::KeyPress:
                followFolder_ = false;  // the user takes the list over
                break;
            default:
                break;
        }
        return QWidget::eventFilter(watched, event);
    }
    if (watched == FileList->viewport()) TrackClickOnSelected(event);
    if (watched == FileList->viewport() && event->type() == QEvent::MouseButtonPress) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::RightButton) {
            // The menu acts on the file already selected: a right press must not
            // change the selection (and so must not inspect or play another file).
            const QPoint at = mouse->position().toPoint();
            const int shift = zs::ShiftCode(mouse->modifiers());
            zs::RunTopLevel(this,
                            [this, at, shift] { FileList_MouseDown(2, shift, at.x(), at.y()); });
            return true;
        }
    }
    // The keyboard's menu requests: the Menu key arrives as a context-menu event,
    // Shift+F10 as itself. A pointer's request was served on its press.
    if (watched == FileList && event->type() == QEvent::ContextMenu) {
        auto* request = static_cast<QContextMenuEvent*>(event);
        if (request->reason() == QContextMenuEvent::Keyboard)
            OpenMenuAtSelectedRow(request->modifiers());
        return true;
    }
    if (watched == FileList && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier) {
            OpenMenuAtSelectedRow(key->modifiers());
            return true;
        }
        if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier) {
            StopSound();
            return true;
        }
        // The list makes its first row current, unselected, when it takes the
        // focus: the first arrow key chooses that row rather than the next.
        const bool arrow = key->key() == Qt::Key_Down || key->key() == Qt::Key_Up;
        if (arrow && key->modifiers() == Qt::NoModifier && SelectedFileName().isEmpty() &&
            FileList->currentItem() != nullptr) {
            FileList->currentItem()->setSelected(true);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmMain::TrackClickOnSelected(QEvent* event) {
    // A press on the row already selected changes no selection; its release on
    // the same row is still a click, which inspects (and plays) the file again.
    // The second press of a double click is not.
    switch (event->type()) {
        case QEvent::MouseButtonPress: {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            QListWidgetItem* item = FileList->itemAt(mouse->position().toPoint());
            const bool plain =
                mouse->button() == Qt::LeftButton && mouse->modifiers() == Qt::NoModifier;
            pressedSelected_ = plain && item && item->isSelected() ? item : nullptr;
            break;
        }
        case QEvent::MouseButtonDblClick:
            pressedSelected_ = nullptr;
            break;
        case QEvent::MouseButtonRelease: {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            QListWidgetItem* pressed = std::exchange(pressedSelected_, nullptr);
            if (mouse->button() == Qt::LeftButton && pressed &&
                FileList->itemAt(mouse->position().toPoint()) == pressed && pressed->isSelected())
                QTimer::singleShot(0, this,
                                   [this] { zs::RunTopLevel(this, [this] { FileList_Click(); }); });
            break;
        }
        default:
            break;
    }
}

void frmMain::OpenMenuAtSelectedRow(Qt::KeyboardModifiers modifiers) {
    // As a right press at the middle of the row would open it.
    const QList<QListWidgetItem*> selected = FileList->selectedItems();
    if (selected.isEmpty()) return;
    FileList->scrollToItem(selected.first());
    const QPoint at = FileList->visualItemRect(selected.first()).center();
    const int shift = zs::ShiftCode(modifiers);
    zs::RunTopLevel(this, [this, at, shift] { FileList_MouseDown(2, shift, at.x(), at.y()); });
}

void frmMain::FileList_MouseDown(int button, int shift, int x, int y) {
    try {
        if (button != 2 || SelectedFileName().isEmpty()) return;
        cPopupMenu menu;
        FileContextMenu::Build(menu, imlMain, this);
        AddReplaceItems(menu);
        // A file whose header could not be read has nothing to preview, convert or replace.
        if (unreadable_)
            for (const char* key : {"Preview", "ConvertSingle", "ConvertBatch", "Replace"})
                menu.setEnabled(menu.IndexForKey(QLatin1String(key)), false);
        const QPoint at = FileList->viewport()->mapTo(this, QPoint(x, y));
        const int chosen = menu.ShowPopupMenu(zs::PixelsToTwips(at.x()), zs::PixelsToTwips(at.y()),
                                              0, 0, 0, 0, true);
        if (chosen > 0) RunMenuCommand(menu.ItemKey(chosen));
    }
    ZS_TRAP("frmMain.FileList_MouseDown(Button,Shift,x,y)", button, shift, x, y)
}

void frmMain::OpenPreview(const QString& path) {
    mUtility::AutoPlaying = false;
    mUtility::Preview(path);
    const QString name = SelectedFileName();
    if (name.isEmpty()) return;
    try {
        ApplyInspection(mUtility::InspectFile(dirPath_, name, SoundInfo));
    } catch (...) {
        ForgetHeader();
        throw;
    }
}

void frmMain::RunMenuCommand(const QString& key) {
    if (key == "Preview") {
        OpenPreview(mUtility::JoinPath(SoundInfo.Folder, SelectedFileName()));
    } else if (key == "ConvertSingle") {
        ShowConvert();
    } else if (key == "ConvertBatch") {
        ShowBatch();
    } else if (key == "Delete") {
        DeleteSelectedFile();
    } else {
        RunReplaceCommand(key);
    }
}

void frmMain::AddReplaceItems(cPopupMenu& menu) {
    const Replace::ReplaceManifest manifest = Replace::ManifestOf(dirPath_);
    const bool replaced = manifest.Find(SelectedFileName()) != nullptr;
    const bool any = !manifest.IsEmpty();
    menu.AddItem("-", "", 0, 0, -1, false, true, "");
    menu.AddItem("&Replace...\tCtrl+R", "", 0, 0, -1, false, true, "Replace");
    menu.AddItem("Restore &Original", "", 0, 0, -1, false, replaced, "RestoreOriginal");
    menu.AddItem("Restore A&ll Originals", "", 0, 0, -1, false, any, "RestoreAll");
    menu.AddItem("-", "", 0, 0, -1, false, true, "");
    menu.AddItem("&Export Sound Pack...", "", 0, 0, -1, false, any, "ExportPack");
    menu.AddItem("&Apply Sound Pack...", "", 0, 0, -1, false, true, "ApplyPack");
}

bool frmMain::RunReplaceCommand(const QString& key, const QString& source) {
    const QString name = SelectedFileName();
    bool changed = false;
    if (key == "Replace") {
        const QString chosen = source.isEmpty() ? frmImport::AskSourceFile(this, dirPath_) : source;
        changed = ReplaceActions::ReplaceFile(this, dirPath_, name, chosen, !source.isEmpty());
    } else if (key == "RestoreOriginal") {
        changed = ReplaceActions::RestoreOriginals(this, dirPath_, {name});
    } else if (key == "RestoreAll") {
        changed = ReplaceActions::RestoreOriginals(this, dirPath_, {});
    } else if (key == "ExportPack") {
        ReplaceActions::ExportPack(this, dirPath_);
    } else if (key == "ApplyPack") {
        changed = ReplaceActions::ApplyPack(this, dirPath_);
    } else {
        return false;
    }
    if (changed) {
        btnRefresh_Click();
        if (!name.isEmpty()) ClickFile(name);
    }
    return true;
}

void frmMain::DeleteSelectedFile() {
    const QString name = SelectedFileName();
    const auto answer = MsgBox::Show(this, QMessageBox::Question, "Delete File",
                                     "Are you sure that you want to delete " + name + "?",
                                     QMessageBox::Yes | QMessageBox::No);
    if (answer != QMessageBox::Yes) return;
    const QString path = mUtility::JoinPath(SoundInfo.Folder, name);
    // The desktop trash keeps a slip of the finger recoverable. Where none can be
    // used (a volume without a trash folder that we may create) the file goes for good.
    const QString inTrash = Trash::MoveToTrash(path);
    if (inTrash.isEmpty()) {
        if (::unlink(NativeName::Encode(path).constData()) != 0)
            throw AppError::fromErrno(errno, path);
        btnRefresh_Click();
        MsgBox::Show(this, QMessageBox::Information, "File deleted",
                     name + " deleted for good: its disk has no Trash.");
        return;
    }
    trashed_.append({path, inTrash});
    btnRefresh_Click();
    ShowStatus(tr("%1 moved to the Trash.").arg(name));
    btnUndo->setVisible(true);
    MsgBox::Show(this, QMessageBox::Information, "File deleted",
                 name + " moved to the Trash. Undo (Ctrl+Z) puts it back.");
}

void frmMain::UndoDelete() {
    if (trashed_.isEmpty()) return;
    const Trashed last = trashed_.takeLast();
    btnUndo->setVisible(!trashed_.isEmpty());
    Trash::Restore(last.inTrash, last.original);
    QString folder, name;
    mUtility::SplitPath(last.original, folder, name);
    ShowStatus(tr("%1 is back from the Trash.").arg(name));
    if (QDir::cleanPath(folder) == dirPath_) FillFileList();
}

void frmMain::StopSound() {
    playWatch_->stop();
    if (PlaySoundApi::IsPlaying()) PlaySoundApi::PlaySound(QString(), 0);
    btnStop->setEnabled(false);
    if (lblStatus->property("playing").toBool()) ShowStatus(QString());
}

void frmMain::WatchPlaying(const QString& name) {
    if (!PlaySoundApi::IsPlaying()) return;
    ShowStatus(tr("Playing %1\u2026").arg(name));
    lblStatus->setProperty("playing", true);
    btnStop->setEnabled(true);
    playWatch_->start();
}

void frmMain::ShowStatus(const QString& text) {
    lblStatus->setProperty("playing", false);
    lblStatus->setText(text);
}

void frmMain::FolderChangedOnDisk() {
    const QStringList names = SoundFilesIn(dirPath_);
    QStringList shown;
    for (int i = 0; i < FileList->count(); ++i) shown << FileList->item(i)->text();
    if (names == shown) return;
    const QString selected = SelectedFileName();
    const int scrolled = FileList->verticalScrollBar()->value();
    updatingLists_ = true;
    pressedSelected_ = nullptr;
    FileList->clear();
    FileList->addItems(names);
    if (const auto kept = FileList->findItems(selected, Qt::MatchExactly); !kept.isEmpty())
        FileList->setCurrentItem(kept.first());
    else
        FileList->setCurrentRow(-1);
    FileList->verticalScrollBar()->setValue(scrolled);
    updatingLists_ = false;
    if (selected.isEmpty() || names.contains(selected)) return;
    SetCommandsEnabled(false);
    ClearPanel();
    ShowStatus(tr("%1 is no longer in this folder.").arg(selected));
}

void frmMain::Form_QueryUnload(bool& close) {
    try {
        close =
            !askOnClose_ || MsgBox::Show(this, QMessageBox::Question, "Exit Application",
                                         "Are you sure that you want to exit?",
                                         QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
        MainSettings::Save(dirPath_, chkAutoPlay->isChecked() ? 1 : 0);
        fileSystem_.reset();
    }
    ZS_TRAP("frmMain.Form_QueryUnload(Cancel,UnloadMode)", close ? 0 : 1, 0)
}

void frmMain::CloseWithoutAsking() {
    askOnClose_ = false;
    close();
}

void frmMain::closeEvent(QCloseEvent* event) {
    // A Yes closes the window even when the settings could not be written: the
    // report has been shown, and keeping the user from leaving helps no one.
    bool close = false;
    zs::RunTopLevel(this, [this, &close] { Form_QueryUnload(close); });
    if (close)
        event->accept();
    else
        event->ignore();
}
