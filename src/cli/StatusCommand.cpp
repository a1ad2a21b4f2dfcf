#include "StatusCommand.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "AppError.h"
#include "Console.h"
#include "Replacement.h"

namespace StatusCommand {

const char kUsage[] =
    "  zsnd status [--json] FOLDER\n"
    "      Lists the replaced files of FOLDER: replaced, changed since replaced,\n"
    "      or original missing, and a change that was interrupted. Exit 0 when\n"
    "      all is as recorded, 1 when a file is changed or missing or a change\n"
    "      was interrupted. --json prints the same as a JSON object.\n";

namespace {

using Replace::FileState;

QString StateText(FileState state) {
    switch (state) {
        case FileState::Replaced:
            return QStringLiteral("replaced");
        case FileState::Changed:
            return QStringLiteral("changed since replaced");
        case FileState::OriginalMissing:
            break;
    }
    return QStringLiteral("original missing");
}

QString LocalTime(const QDateTime& utc) {
    return utc.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"));
}

QString SourceName(const QString& source) {
    return source.section(QLatin1Char('/'), -1);
}

QString AsText(const QString& folder, const Replace::FolderStatus& status) {
    QString text;
    for (const Replace::FileStatus& f : status.Files) {
        text += QStringLiteral("%1: %2").arg(Console::Shown(f.Record.Name), StateText(f.State));
        if (f.State == FileState::Replaced)
            text += QStringLiteral(" (from %1, %2)")
                        .arg(Console::Shown(SourceName(f.Record.Source)),
                             LocalTime(f.Record.ReplacedAt));
        text += QLatin1Char('\n');
    }
    if (status.Files.isEmpty())
        text += QStringLiteral("%1: no replaced file\n").arg(Console::Shown(folder));
    if (status.Busy) text += QStringLiteral("another program is changing these sounds now\n");
    if (status.Interrupted) {
        const Replace::ChangeJournal& j = *status.Interrupted;
        text += QStringLiteral(
                    "interrupted: a %1%2 of %3 file(s), started %4, did not finish; "
                    "\"zsnd restore %5\" undoes it and restores the originals\n")
                    .arg(j.Operation,
                         j.Detail.isEmpty()
                             ? QString()
                             : QStringLiteral(" from %1").arg(Console::Shown(SourceName(j.Detail))))
                    .arg(j.Changes.size())
                    .arg(LocalTime(j.Started), Console::Shown(folder));
    }
    return text;
}

QJsonObject AsJson(const QString& folder, const Replace::FolderStatus& status) {
    QJsonArray files;
    for (const Replace::FileStatus& f : status.Files) {
        QJsonObject o = Replace::RecordJson(f.Record);
        o.insert("state", StateText(f.State));
        files.append(o);
    }
    QJsonValue interrupted;
    if (status.Interrupted) {
        const Replace::ChangeJournal& j = *status.Interrupted;
        QJsonArray names;
        for (const Replace::FileChange& c : j.Changes) names.append(c.Name);
        interrupted = QJsonObject{{"operation", j.Operation},
                                  {"source", j.Detail},
                                  {"started", j.Started.toUTC().toString(Qt::ISODate)},
                                  {"files", names}};
    }
    return {
        {"folder", folder}, {"busy", status.Busy}, {"interrupted", interrupted}, {"files", files}};
}

}  // namespace

ExitCode Run(const QStringList& args) {
    const CommandLine line(args, {}, {"json"});
    if (line.Operands().size() != 1) throw UsageError(QStringLiteral("status needs one FOLDER"));
    const QString folder = line.Operands()[0];
    try {
        const Replace::FolderStatus status = Replace::StatusOf(folder);
        if (line.Has("json"))
            Console::OutVerbatim(QString::fromUtf8(
                QJsonDocument(AsJson(folder, status)).toJson(QJsonDocument::Indented)));
        else
            Console::Out(AsText(folder, status));
        return status.Sound() ? ExitCode::Ok : ExitCode::Refused;
    } catch (const AppError& e) {
        Console::Report(e);
        return ExitCode::Failed;
    }
}

}  // namespace StatusCommand
