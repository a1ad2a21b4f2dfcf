#include "ChangeJournal.h"

#include <QJsonArray>
#include <QSet>

#include "AppError.h"
#include "StrictJson.h"

namespace Replace {

QJsonObject ChangeJournal::ToJson() const {
    QJsonArray changes;
    for (const FileChange& c : Changes)
        changes.append(QJsonObject{{"name", c.Name},
                                   {"before", QString::fromLatin1(c.Before)},
                                   {"after", QString::fromLatin1(c.After)}});
    QJsonObject json{{"operation", Operation},
                     {"detail", Detail},
                     {"started", Started.toUTC().toString(Qt::ISODate)},
                     {"changes", changes}};
    if (WholeManifest) {
        json.insert("manifest_before", Before.ToJson());
    } else {
        json.insert("touched", QJsonArray::fromStringList(Touched));
        json.insert("records_before", Before.ToJson());
    }
    return json;
}

ChangeJournal ChangeJournal::FromJson(const QJsonObject& json, const QString& origin) {
    const StrictJson top(json, {}, [&](const QString& what) {
        throw AppError::Standard(ErrNo::InvalidFileFormat,
                                 QStringLiteral("%1 is damaged (%2)").arg(origin, what));
    });
    ChangeJournal journal;
    journal.Operation = top.Text("operation");
    journal.Detail = top.Text("detail");
    journal.Started = top.Time("started");
    top.ForEach("changes", [&](const StrictJson& o) {
        journal.Changes << FileChange{o.Name("name"), o.ShaOrEmpty("before"), o.Sha("after")};
    });
    journal.WholeManifest = json.contains("manifest_before");
    if (journal.WholeManifest) {
        journal.Before = ReplaceManifest::FromJson(top.Object("manifest_before"), origin);
        return journal;
    }
    for (const QJsonValue& name : top.Array("touched")) {
        if (!name.isString() || !IsPlainName(name.toString()))
            throw AppError::Standard(
                ErrNo::InvalidFileFormat,
                QStringLiteral("%1 is damaged (\"touched\" holds a name that is not one)")
                    .arg(origin));
        journal.Touched << name.toString();
    }
    journal.Before = ReplaceManifest::FromJson(top.Object("records_before"), origin);
    const QSet<QString> touched(journal.Touched.begin(), journal.Touched.end());
    for (const ReplacedFile& f : journal.Before.Files())
        if (!touched.contains(f.Name))
            throw AppError::Standard(
                ErrNo::InvalidFileFormat,
                QStringLiteral("%1 is damaged (%2 is kept but not touched)").arg(origin, f.Name));
    return journal;
}

}  // namespace Replace
