#include "ChangeJournal.h"

#include <QJsonArray>

#include "AppError.h"
#include "ReplaceManifest.h"
#include "StrictJson.h"

namespace Replace {

QJsonObject ChangeJournal::ToJson() const {
    QJsonArray changes;
    for (const FileChange& c : Changes)
        changes.append(QJsonObject{{"name", c.Name},
                                   {"before", QString::fromLatin1(c.Before)},
                                   {"after", QString::fromLatin1(c.After)}});
    return QJsonObject{{"operation", Operation},
                       {"detail", Detail},
                       {"started", Started.toUTC().toString(Qt::ISODate)},
                       {"changes", changes},
                       {"manifest_before", ManifestBefore}};
}

ChangeJournal ChangeJournal::FromJson(const QJsonObject& json, const QString& origin) {
    const StrictJson top(json, {}, [&](const QString& what) {
        throw AppError::Standard(ErrNo::InvalidFileFormat,
                                 QStringLiteral("%1 is damaged (%2)").arg(origin, what));
    });
    ChangeJournal journal{top.Text("operation"),
                          top.Text("detail"),
                          top.Time("started"),
                          {},
                          top.Object("manifest_before")};
    top.ForEach("changes", [&](const StrictJson& o) {
        journal.Changes << FileChange{o.Name("name"), o.ShaOrEmpty("before"), o.Sha("after")};
    });
    // The manifest it would put back must itself be sound.
    ReplaceManifest::FromJson(journal.ManifestBefore, origin);
    return journal;
}

}  // namespace Replace
