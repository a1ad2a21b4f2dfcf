#pragma once

#include <QPointer>
#include <QString>
#include <memory>

#include "GCommonDialog.h"

class QWidget;

// What one of the program's own save questions shows: a title, a filter in
// cCommonDialog's form, the default extension, the folder it opens in and the
// proposed name.
struct SaveQuestion {
    QString Title;
    QString Filter;
    QString DefaultExt;
    QString InitDir;
    QString FileName;
};

// The save-file dialog as an object with properties: set title, owner, filter,
// default extension, starting folder and proposed name, call ShowSave, read
// back Filename. Cancelling raises AppError 20001 "User selected cancel." with
// the source "<program>.cCommonDialog" when CancelError is true.
class cCommonDialog {
public:
    static constexpr qint32 ErrCancel = 20001;
    static constexpr quint32 OFN_OVERWRITEPROMPT = 0x2;
    static constexpr quint32 OFN_HIDEREADONLY = 0x4;
    static constexpr quint32 OFN_EXTENSIONDIFFERENT = 0x400;

    cCommonDialog();
    ~cCommonDialog();
    cCommonDialog(const cCommonDialog&) = delete;
    cCommonDialog& operator=(const cCommonDialog&) = delete;

    // Lets tests answer every save dialog of the process without a window;
    // an empty function brings the real dialog back.
    static void SetChooser(GCommonDialog::Chooser chooser);

    QString DialogTitle() const { return dialogTitle_; }
    void setDialogTitle(const QString& value) { dialogTitle_ = value; }
    bool CancelError() const { return cancelError_; }
    void setCancelError(bool value) { cancelError_ = value; }
    // The owner window; null for none.
    QWidget* hwnd() const { return hwnd_; }
    void setHwnd(QWidget* value) { hwnd_ = value; }
    // OFN_OVERWRITEPROMPT asks before an existing file is replaced. After
    // ShowSave: the flags the dialog ran with, plus OFN_EXTENSIONDIFFERENT when
    // the chosen extension is not DefaultExt; 0 after a cancel.
    quint32 Flags() const { return flags_; }
    void setFlags(quint32 value) { flags_ = value; }
    QString InitDir() const { return initDir_; }
    void setInitDir(const QString& value) { initDir_ = value; }
    // "Text|Pattern|Text|Pattern..."; ":" separates like "|".
    QString Filter() const { return filter_; }
    void setFilter(const QString& value) { filter_ = value; }
    // 1-based; after ShowSave the pair the user left selected (0 after a cancel).
    qint32 FilterIndex() const { return filterIndex_; }
    void setFilterIndex(qint32 value) { filterIndex_ = value; }
    // With or without its leading dot (".SND" and "SND" both give "name.SND").
    QString DefaultExt() const { return defaultExt_; }
    void setDefaultExt(const QString& value) { defaultExt_ = value; }
    // Before ShowSave the proposed name; after it the full chosen path ("" on cancel).
    QString Filename() const { return filename_; }
    void setFilename(const QString& value) { filename_ = value; }
    // After ShowSave the chosen file's name without its folder.
    QString FileTitle() const { return fileTitle_; }
    void setFileTitle(const QString& value) { fileTitle_ = value; }

    // Centres the next dialogs over `form`; `owner` becomes the owner when none is set.
    void CentreDialog(QWidget* owner, QWidget* form);

    // Shows the modal save dialog and updates Filename, FileTitle, Flags and
    // FilterIndex. Raises 20001 on cancel when CancelError is true.
    void ShowSave();

    // Asks `question` over `owner`, with the question before an existing file
    // is replaced; the chosen full path, or "" when the user cancels.
    static QString AskSavePath(QWidget* owner, const SaveQuestion& question);

    // The companion that ran the last dialog (APIReturn, ExtendedError).
    const GCommonDialog& Companion();

private:
    SaveRequest Request() const;

    QString dialogTitle_;
    bool cancelError_ = false;
    QPointer<QWidget> hwnd_;
    QPointer<QWidget> centreOver_;
    quint32 flags_ = 0;
    QString initDir_;
    QString filter_;
    qint32 filterIndex_ = 1;
    QString defaultExt_;
    QString filename_;
    QString fileTitle_;
    std::unique_ptr<GCommonDialog> companion_;
};
