// Saving and restoring the items, in this object or in a file.
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include "cPopupMenu.h"

namespace {

constexpr char kFormat[] = "zephyra-popup-menu";
constexpr int kVersion = 1;
constexpr qint64 kMaxFileSize = 4 * 1024 * 1024;

QJsonObject ToJson(const cPopupMenuItem& item) {
    return {{"caption", item.RawCaption},
            {"help", item.HelpText},
            {"data", qint64(item.ItemData)},
            {"parent", item.ParentIndex},
            {"icon", item.IconIndex},
            {"checked", item.Checked},
            {"enabled", item.Enabled},
            {"key", item.Key},
            {"default", item.Default},
            {"ownerDraw", item.OwnerDraw},
            {"visible", item.Visible},
            {"infrequent", item.InfrequentlyUsed},
            {"redisplay", item.RedisplayOnClick},
            {"checkAndIcon", item.ShowCheckAndIcon},
            {"radio", item.RadioCheck}};
}

// Every item must name an earlier item (or none) as its parent.
bool ValidItems(const QJsonArray& items) {
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (!items[i].isObject()) return false;
        const QJsonObject item = items[i].toObject();
        const QJsonValue parent = item.value("parent");
        if (!item.value("caption").isString() || !parent.isDouble()) return false;
        if (parent.toInt(-1) < 0 || parent.toInt(-1) > i) return false;
    }
    return true;
}

}  // namespace

QByteArray cPopupMenu::Serialize() const {
    QJsonArray items;
    for (const cPopupMenuItem& item : items_) items.append(ToJson(item));
    const QJsonObject root{{"format", kFormat}, {"version", kVersion}, {"items", items}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

bool cPopupMenu::Deserialize(const QByteArray& data) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(data, &error);
    const QJsonObject root = document.object();
    const QJsonArray items = root.value("items").toArray();
    if (error.error != QJsonParseError::NoError || root.value("format") != kFormat ||
        root.value("version").toInt() != kVersion || !ValidItems(items)) {
        return false;
    }
    Clear();
    for (const QJsonValue& value : items) {
        const QJsonObject o = value.toObject();
        const int index = AddItem(o.value("caption").toString(), o.value("help").toString(),
                                  qintptr(o.value("data").toInteger()), o.value("parent").toInt(),
                                  o.value("icon").toInt(-1), o.value("checked").toBool(),
                                  o.value("enabled").toBool(true), o.value("key").toString());
        setDefault(index, o.value("default").toBool());
        setOwnerDraw(index, o.value("ownerDraw").toBool());
        setVisible(index, o.value("visible").toBool(true));
        setItemInfrequentlyUsed(index, o.value("infrequent").toBool());
        setRedisplayMenuOnClick(index, o.value("redisplay").toBool());
        setShowCheckAndIcon(index, o.value("checkAndIcon").toBool());
        setRadioCheck(index, o.value("radio").toBool());
    }
    return true;
}

bool cPopupMenu::Store(const QString& sKey) {
    stored_.insert(sKey, Serialize());
    return true;
}

bool cPopupMenu::Restore(const QString& sKey) {
    if (!stored_.contains(sKey) || !Deserialize(stored_.value(sKey))) return false;
    restoredKey_ = sKey;
    return true;
}

bool cPopupMenu::StoreToFile(const QString& sFileName) const {
    QSaveFile file(sFileName);
    if (!file.open(QIODevice::WriteOnly)) return false;
    const QByteArray data = Serialize();
    // A short write (a full disk) is not noticed by commit(): check the count.
    if (file.write(data) != data.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

bool cPopupMenu::RestoreFromFile(const QString& sFileName) {
    QFile file(sFileName);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxFileSize) return false;
    return Deserialize(file.readAll());
}
