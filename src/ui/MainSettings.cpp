#include "MainSettings.h"

#include "RegistryStore.h"
#include "RegistryTypes.h"
#include "cRegistry.h"

namespace {

const QString SettingsKey = QStringLiteral("Software\\Brellin Software\\Zephyra Sound Utility");
const QString LastDirectoryValue = QStringLiteral("LastDirectory");
const QString AutoPlayValue = QStringLiteral("AutoPlay");

void PointAt(cRegistry& registry, const QString& valueName) {
    registry.setClassKey(reg::HKEY_LOCAL_MACHINE);
    registry.setSectionKey(SettingsKey);
    registry.setValueKey(valueName);
    registry.setValueType(reg::REG_SZ);
}

}  // namespace

MainSettings MainSettings::Read() {
    cRegistry registry;
    MainSettings settings;
    PointAt(registry, LastDirectoryValue);
    settings.LastDirectory = registry.Value().toString();
    PointAt(registry, AutoPlayValue);
    settings.AutoPlay = registry.Value().toString();
    return settings;
}

void MainSettings::Save(const QString& directory, int autoPlay) {
    cRegistry registry;
    PointAt(registry, LastDirectoryValue);
    if (registry.Value().toString() != directory) {
        registry.setValueType(reg::REG_SZ);
        registry.setValue(directory);
    }
    PointAt(registry, AutoPlayValue);
    if (static_cast<qint16>(registry.Value().toString().toInt()) != autoPlay) {
        registry.setValueType(reg::REG_SZ);
        registry.setValue(autoPlay);
    }
}

QString MainSettings::TakeRecoveryNotice() {
    return RegistryStore::TakeRecoveryNotice();
}
