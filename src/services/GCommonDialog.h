#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "SaveRequest.h"

// Runs the save-file chooser for cCommonDialog: the real dialog, or the
// chooser installed with SetChooser. Keeps the result of the last call.
class GCommonDialog {
public:
    // Stands in for the whole dialog (overwrite question included): sees the
    // request and returns the chosen path, or nothing for cancel.
    using Chooser = std::function<std::optional<QString>(const SaveRequest&)>;

    struct Outcome {
        QString Path;         // full path of the chosen file; "" on cancel
        int FilterIndex = 0;  // 1-based pair left selected; 0 on cancel
    };

    // Installs (or, with an empty function, removes) the process-wide chooser.
    static void SetChooser(Chooser chooser);

    // Shows the chooser; a relative answer is taken inside InitDir and a name
    // without extension gets DefaultExt.
    Outcome ShowSave(const SaveRequest& request);

    // 1 when the last call chose a file, 0 when it was cancelled.
    qint32 APIReturn() const { return apiReturn_; }
    // The chooser reports no failures of its own beyond cancel: always 0.
    qint32 ExtendedError() const { return extendedError_; }

    // Splits "Text|Pattern|Text|Pattern" at every "|" and every ":"; an empty
    // part ends the list, and a description without pattern is dropped.
    static QList<FilterPair> ParseFilter(const QString& filter);
    // The pairs as the file dialog's name filters ("Text (*.a *.b)").
    static QStringList NameFilters(const QList<FilterPair>& filters);
    // `path` completed as the dialog completes a typed name.
    static QString CompletePath(const QString& path, const SaveRequest& request);

private:
    static Outcome RunFileDialog(const SaveRequest& request);

    qint32 apiReturn_ = 0;
    qint32 extendedError_ = 0;
};
