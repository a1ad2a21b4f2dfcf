#include "ChangeJournal.h"

#include <QJsonArray>

#include "AppError.h"
#include "ReplaceManifest.h"

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
    ChangeJournal journal;
    journal.Operation = json.value("operation").toString();
    journal.Detail = json.value("detail").toString();
    journal.Started = QDateTime::fromString(json.value("started").toString(), Qt::ISODate);
    journal.ManifestBefore = json.value("manifest_before").toObject();
    for (const QJsonValue& value : json.value("changes").toArray()) {
        const QJsonObject o = value.toObject();
        FileChange c{o.value("name").toString(), o.value("before").toString().toLatin1(),
                     o.value("after").toString().toLatin1()};
        if (!IsPlainName(c.Name) || (!c.Before.isEmpty() && !IsSha256(c.Before)) ||
            !IsSha256(c.After))
            throw AppError::Standard(ErrNo::InvalidFileFormat,
                                     QStringLiteral("%1 is damaged").arg(origin));
        journal.Changes << c;
    }
    // The manifest it would put back must itself be sound.
    ReplaceManifest::FromJson(journal.ManifestBefore, origin);
    return journal;
}

}  // namespace Replace
