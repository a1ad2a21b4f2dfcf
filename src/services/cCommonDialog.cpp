#include "cCommonDialog.h"

#include <QFileInfo>
#include <QWidget>

#include "AppError.h"
#include "TrapERR.h"

cCommonDialog::cCommonDialog() = default;
cCommonDialog::~cCommonDialog() = default;

void cCommonDialog::SetChooser(GCommonDialog::Chooser chooser) {
    GCommonDialog::SetChooser(std::move(chooser));
}

void cCommonDialog::CentreDialog(QWidget* owner, QWidget* form) {
    centreOver_ = form;
    if (!hwnd_) hwnd_ = owner;
}

QString cCommonDialog::AskSavePath(QWidget* owner, const SaveQuestion& question) {
    cCommonDialog dialog;
    dialog.setDialogTitle(question.Title);
    dialog.setFlags(OFN_OVERWRITEPROMPT);
    dialog.setFilter(question.Filter);
    dialog.setDefaultExt(question.DefaultExt);
    dialog.setInitDir(question.InitDir);
    dialog.setFilename(question.FileName);
    dialog.CentreDialog(owner, owner);
    dialog.ShowSave();
    return dialog.Filename();
}

const GCommonDialog& cCommonDialog::Companion() {
    if (!companion_) companion_ = std::make_unique<GCommonDialog>();
    return *companion_;
}

SaveRequest cCommonDialog::Request() const {
    SaveRequest request;
    request.Title = dialogTitle_;
    request.Owner = hwnd_;
    request.CentreOver = centreOver_;
    request.InitDir = initDir_;
    request.Filters = GCommonDialog::ParseFilter(filter_);
    request.FilterIndex = filterIndex_;
    request.DefaultExt = defaultExt_;
    request.FileName = filename_;
    request.OverwritePrompt = (flags_ & OFN_OVERWRITEPROMPT) != 0;
    return request;
}

void cCommonDialog::ShowSave() {
    Companion();
    const SaveRequest request = Request();
    const GCommonDialog::Outcome outcome = companion_->ShowSave(request);
    if (companion_->APIReturn() == 1) {
        filename_ = outcome.Path;
        fileTitle_ = QFileInfo(outcome.Path).fileName();
        filterIndex_ = outcome.FilterIndex;
        flags_ = OFN_HIDEREADONLY | (flags_ & OFN_OVERWRITEPROMPT);
        const QString wanted = request.DefaultExt.startsWith(QLatin1Char('.'))
                                   ? request.DefaultExt.mid(1)
                                   : request.DefaultExt;
        if (!wanted.isEmpty() &&
            QFileInfo(outcome.Path).suffix().compare(wanted, Qt::CaseInsensitive) != 0)
            flags_ |= OFN_EXTENSIONDIFFERENT;
        return;
    }
    filename_.clear();
    fileTitle_.clear();
    flags_ = 0;
    filterIndex_ = 0;
    if (cancelError_)
        throw AppError(ErrCancel, QStringLiteral("User selected cancel."),
                       TrapERR::AppName() + QStringLiteral(".cCommonDialog"));
}
