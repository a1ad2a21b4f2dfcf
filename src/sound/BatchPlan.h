#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// What a batch will write, worked out in full before the first file is
// touched, so a run that would lose data is refused rather than started.
namespace mUtility {

struct BatchStep {
    QString Entry;   // the source's name in the folder
    QString Output;  // the name it is converted to, beside it
};

// The steps converting `entries` of `folder` from `fromType` to `toType`
// (BatchOutputName for each), each file once however often it is named.
// Throws AppError 58 naming every problem, with
// nothing written: two entries that would give one output, and an output that
// is one of the sources as a file (same device and inode, so a link or a
// case-insensitive disk cannot hide it). Also throws what BatchOutputName does.
QList<BatchStep> PlanBatch(const QString& folder, const QStringList& entries,
                           const QString& fromType, const QString& toType);

}  // namespace mUtility
