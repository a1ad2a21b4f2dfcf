#pragma once

#include <QDialog>
#include <QString>
#include <atomic>
#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QTableView;
class QThread;
class QTimer;
class QuillonButton;
class FolderDetailsModel;
class FolderDetailsFilter;
namespace mUtility {
struct ListedFile;
}

// The Folder details window: every sound file of one folder in a sortable
// table with its header values, filters by type, validity and name, and the
// table as CSV. The headers are read on a worker thread and the loudness is
// measured on every core meanwhile, so the window answers while a large folder
// fills in. Choosing a row (double-click or Enter) asks
// the main window to select that file, in the folder it lies in.
class frmDetails : public QDialog {
    Q_OBJECT

public:
    explicit frmDetails(QWidget* parent = nullptr);
    ~frmDetails() override;

    // Lists `folder` afresh; rows arrive as their headers are read.
    void ShowFolder(const QString& folder);
    QString Folder() const { return folder_; }
    // True until every header of the folder has been read.
    bool Reading() const { return reading_; }
    // True until the loudness of every valid file has been measured too.
    bool Measuring() const { return reader_ != nullptr; }

    // Writes the rows shown, in the order shown, as CSV to a file chosen in
    // the save dialog.
    void btnExport_Click();

signals:
    // The full path of the file chosen in the table.
    void FileChosen(const QString& path);
    // Every header of the folder has been read.
    void ReadingFinished();
    // Every valid file's loudness has been measured, after ReadingFinished.
    void LoudnessFinished();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildWidgets();
    void BuildLayout();
    void ConnectHandlers();
    void StopReading();
    void ShowProgress(qint64 done, qint64 total);
    void Finish(qint64 total, const QString& problem);
    struct Listing;
    void ReadHeaders(Listing& listing);
    void MeasureLoudness(Listing& listing);
    // Puts what the workers found since the last call into the table.
    void TakeResults();
    void FinishLoudness();
    QString LoudestAndQuietest() const;
    void ApplyFilters();
    void ShowStatus();

    FolderDetailsModel* model_ = nullptr;
    FolderDetailsFilter* filter_ = nullptr;
    QLabel* lblFolder = nullptr;
    QLabel* lblType = nullptr;
    QLabel* lblValidity = nullptr;
    QLabel* lblSearch = nullptr;
    QComboBox* cboType = nullptr;
    QComboBox* cboValidity = nullptr;
    QLineEdit* txtSearch = nullptr;
    QTableView* tblFiles = nullptr;
    QLabel* lblProgress = nullptr;
    QProgressBar* prgProgress = nullptr;
    QuillonButton* btnExport = nullptr;
    QuillonButton* btnClose = nullptr;

    QString folder_;
    QString problem_;  // why the folder could not be listed, if it could not
    QThread* reader_ = nullptr;
    std::shared_ptr<Listing> listing_;  // what the workers share with the window
    QTimer* take_ = nullptr;            // takes their results in, while they run
    std::atomic<bool> stop_{false};
    bool reading_ = false;
};
