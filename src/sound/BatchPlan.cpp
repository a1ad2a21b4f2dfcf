#include "BatchPlan.h"

#include <QHash>

#include "AppError.h"
#include "FileIdentity.h"
#include "SoundInfo.h"

namespace mUtility {

namespace {

QStringList JoinEach(const QString& folder, const QStringList& names) {
    QStringList paths;
    for (const QString& name : names) paths << JoinPath(folder, name);
    return paths;
}

}  // namespace

QList<BatchStep> PlanBatch(const QString& folder, const QStringList& entries,
                           const QString& fromType, const QString& toType) {
    QList<BatchStep> steps;
    QHash<FileIdentity, QString> sources;
    // A file named twice, or by two names, is converted once.
    for (const QString& entry : DistinctFiles(JoinEach(folder, entries))) {
        QString unused, name;
        SplitPath(entry, unused, name);
        steps.append({name, BatchOutputName(name, fromType, toType)});
        if (const auto key = IdentityOf(entry)) sources.insert(*key, name);
    }
    QStringList problems;
    QHash<QString, QString> outputs;
    for (const BatchStep& step : steps) {
        const auto first = outputs.constFind(step.Output);
        if (first != outputs.cend() && *first != step.Entry)
            problems << QStringLiteral("%1 and %2 would both be converted to %3")
                            .arg(*first, step.Entry, step.Output);
        outputs.insert(step.Output, step.Entry);
        const auto key = IdentityOf(JoinPath(folder, step.Output));
        if (key && sources.contains(*key))
            problems << QStringLiteral("%1 would be written over %2, which is the same file")
                            .arg(step.Output, sources.value(*key));
    }
    if (!problems.isEmpty())
        throw AppError::Standard(
            ErrNo::FileAlreadyExists,
            problems.join(QStringLiteral("; ")) + QStringLiteral("; nothing was converted"));
    return steps;
}

}  // namespace mUtility
