#include "RestoreCommand.h"

#include <sys/stat.h>

#include <QHash>
#include <QMap>

#include "AppError.h"
#include "Console.h"
#include "FileIdentity.h"
#include "NativeName.h"
#include "Replacement.h"

namespace RestoreCommand {

const char kUsage[] =
    "  zsnd restore [--force] PATH...\n"
    "      Puts back the original of each replaced file named; a folder PATH\n"
    "      stands for all of its replaced files. All or nothing per folder, byte\n"
    "      for byte; a change that was interrupted there is undone first. A file\n"
    "      changed by something else since it was replaced is refused (exit 1)\n"
    "      unless --force. --force also gets past an interrupted change that\n"
    "      cannot be undone (its journal damaged, or a file's earlier copy gone):\n"
    "      those files stay as they are on disk, and each loss is named.\n";

namespace {

bool IsFolder(const QString& path) {
    struct stat st {};
    return ::stat(NativeName::Encode(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

// One folder's part of the command line: all its replaced files, or some.
struct Request {
    bool all = false;
    QStringList names;
};

ExitCode RestoreIn(const QString& folder, const Request& request, bool force) {
    const Replace::RestoreOutcome outcome =
        Replace::RestoreFiles(folder, request.all ? QStringList() : request.names, force);
    if (outcome.RolledBack)
        Console::Out(QStringLiteral("%1: the interrupted %2 of %3 file(s) was undone\n")
                         .arg(Console::Shown(folder), outcome.RolledBack->Operation)
                         .arg(outcome.RolledBack->Changes.size()));
    for (const QString& loss : outcome.Losses)
        Console::Err(QStringLiteral("zsnd: %1: %2\n").arg(Console::Shown(folder), loss));
    for (const Replace::Refusal& refusal : outcome.Refused)
        Console::Err(
            QStringLiteral("zsnd: %1: %2%3\n")
                .arg(Console::Shown(Replace::OriginalsStore(folder).FileInFolder(refusal.Name)),
                     refusal.Reason,
                     refusal.Forceable ? QStringLiteral(" (--force restores it anyway)")
                                       : QString()));
    if (!outcome.Refused.isEmpty()) {
        Console::Err(
            QStringLiteral("zsnd: nothing in %1 was restored\n").arg(Console::Shown(folder)));
        return ExitCode::Refused;
    }
    for (const QString& name : outcome.Restored)
        Console::Out(QStringLiteral("%1 restored\n")
                         .arg(Console::Shown(Replace::OriginalsStore(folder).FileInFolder(name))));
    if (outcome.Restored.isEmpty() && request.all)
        Console::Out(
            QStringLiteral("%1: no replaced file to restore\n").arg(Console::Shown(folder)));
    return ExitCode::Ok;
}

}  // namespace

ExitCode Run(const QStringList& args) {
    const CommandLine line(args, {}, {"force"});
    if (line.Operands().isEmpty()) throw UsageError(QStringLiteral("restore needs a PATH"));
    QMap<QString, Request> requests;
    QStringList order;
    // Each file and each folder once, however it is spelled or reached.
    QHash<mUtility::FileIdentity, QString> folders;
    for (const QString& path : mUtility::DistinctFiles(line.Operands())) {
        QString folder = path, name;
        if (!IsFolder(path)) Replace::SplitFolder(path, folder, name);
        if (const auto id = mUtility::IdentityOf(folder))
            folder = *folders.insert(*id, folders.value(*id, folder));
        if (!requests.contains(folder)) order << folder;
        Request& request = requests[folder];
        if (name.isEmpty())
            request.all = true;
        else
            request.names << name;
    }
    ExitCode worst = ExitCode::Ok;
    for (const QString& folder : order) {
        try {
            const ExitCode code = RestoreIn(folder, requests[folder], line.Has("force"));
            if (code != ExitCode::Ok && worst == ExitCode::Ok) worst = code;
        } catch (const AppError& e) {
            Console::Report(e);
            worst = ExitCode::Failed;
        }
    }
    return worst;
}

}  // namespace RestoreCommand
