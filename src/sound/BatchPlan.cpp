#include "BatchPlan.h"

#include <sys/stat.h>

#include <QHash>
#include <optional>

#include "AppError.h"
#include "FileIdentity.h"
#include "NativeName.h"
#include "SoundInfo.h"

namespace mUtility {

namespace {

// The file a path reaches, links followed; none when nothing is there yet.
std::optional<FileIdentity> FileOf(const QString& path) {
    struct stat st {};
    if (::stat(NativeName::Encode(path).constData(), &st) != 0) return std::nullopt;
    return FileIdentity{st.st_dev, st.st_ino};
}

}  // namespace

QList<BatchStep> PlanBatch(const QString& folder, const QStringList& entries,
                           const QString& fromType, const QString& toType) {
    QList<BatchStep> steps;
    QHash<FileIdentity, QString> sources;
    for (const QString& entry : entries) {
        steps.append({entry, BatchOutputName(entry, fromType, toType)});
        if (const auto key = FileOf(JoinPath(folder, entry))) sources.insert(*key, entry);
    }
    QStringList problems;
    QHash<QString, QString> outputs;
    for (const BatchStep& step : steps) {
        const auto first = outputs.constFind(step.Output);
        if (first != outputs.cend() && *first != step.Entry)
            problems << QStringLiteral("%1 and %2 would both be converted to %3")
                            .arg(*first, step.Entry, step.Output);
        outputs.insert(step.Output, step.Entry);
        const auto key = FileOf(JoinPath(folder, step.Output));
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
