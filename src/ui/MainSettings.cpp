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

namespace {

QString SizeValueName(const QString& window) {
    return window + QStringLiteral("Size");
}

}  // namespace

QSize MainSettings::WindowSize(const QString& window) {
    cRegistry registry;
    PointAt(registry, SizeValueName(window));
    const QStringList parts = registry.Value().toString().split(QLatin1Char('x'));
    if (parts.size() != 2) return {};
    bool wide = false, high = false;
    const QSize size(parts[0].toInt(&wide), parts[1].toInt(&high));
    return wide && high && size.width() > 0 && size.height() > 0 ? size : QSize();
}

void MainSettings::SaveWindowSize(const QString& window, QSize size) {
    const QString text = QStringLiteral("%1x%2").arg(size.width()).arg(size.height());
    cRegistry registry;
    PointAt(registry, SizeValueName(window));
    if (registry.Value().toString() == text) return;
    registry.setValueType(reg::REG_SZ);
    registry.setValue(text);
}

QString MainSettings::TakeRecoveryNotice() {
    return RegistryStore::TakeRecoveryNotice();
}
