#include "cRegistry.h"

#include <QtEndian>

#include "AppError.h"
#include "RegistryStore.h"
#include "TrapERR.h"

using namespace reg;

namespace {

constexpr quint32 EnumKeyRoom = MaxKeyNameLength + 1;

// An open key of the shared store, closed when it goes out of scope.
struct KeyHandle {
    HKEY handle = 0;
    bool open = false;

    KeyHandle() = default;
    KeyHandle(const KeyHandle&) = delete;
    KeyHandle& operator=(const KeyHandle&) = delete;
    ~KeyHandle() {
        if (open) RegistryStore::Shared().CloseKey(handle);
    }
    qint32 Open(qint32 root, const QString& section, quint32 access) {
        const qint32 rc = RegistryStore::Shared().OpenKey(root, section, access, &handle);
        open = rc == ERROR_SUCCESS;
        return rc;
    }
    qint32 Create(qint32 root, const QString& section) {
        const qint32 rc = RegistryStore::Shared().CreateKey(root, section, KEY_ALL_RIGHTS, &handle);
        open = rc == ERROR_SUCCESS;
        return rc;
    }
};

QString Source() {
    return TrapERR::AppName() + QStringLiteral(".cRegistry");
}

[[noreturn]] void Raise(qint32 number, const QString& description) {
    throw AppError(number, description, Source());
}

QString TextForm(const QVariant& value) {
    if (value.typeId() == QMetaType::Bool)
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    if (value.typeId() == QMetaType::QByteArray) return QString::fromUtf8(value.toByteArray());
    return value.toString();
}

// A "%" with another "%" at least two characters further on: "%%" is no reference.
bool HasReference(const QString& text) {
    const qsizetype first = text.indexOf(QLatin1Char('%'));
    return first >= 0 && text.indexOf(QLatin1Char('%'), first + 2) >= 0;
}

// The value as a 32-bit pattern, when it is an integer that fits.
std::optional<quint32> AsDword(const QVariant& value) {
    switch (value.typeId()) {
        case QMetaType::Short:
        case QMetaType::Int:
        case QMetaType::Long:
        case QMetaType::LongLong: {
            const qint64 n = value.toLongLong();
            if (n < INT32_MIN || n > INT32_MAX) return std::nullopt;
            return static_cast<quint32>(static_cast<qint32>(n));
        }
        case QMetaType::UShort:
        case QMetaType::UInt:
        case QMetaType::ULong:
        case QMetaType::ULongLong: {
            const quint64 n = value.toULongLong();
            if (n > UINT32_MAX) return std::nullopt;
            return static_cast<quint32>(n);
        }
        default:
            return std::nullopt;
    }
}

// Text as stored: one terminating NUL is dropped when present.
QString StoredText(QByteArray data) {
    if (data.endsWith('\0')) data.chop(1);
    return QString::fromUtf8(data);
}

QString Expand(const QString& text) {
    const quint32 needed = RegistryStore::ExpandEnvironmentStrings(text, nullptr, 0);
    QString expanded;
    RegistryStore::ExpandEnvironmentStrings(text, &expanded, needed);
    return expanded;
}

QVariant Convert(quint32 type, const QByteArray& data, const QVariant& fallback) {
    switch (type) {
        case REG_SZ:
        case REG_MULTI_SZ:
            return StoredText(data);
        case REG_EXPAND_SZ:
            return Expand(StoredText(data));
        case REG_DWORD:
        case REG_DWORD_BIG_ENDIAN: {
            if (data.size() > 4) return fallback;
            QByteArray bytes = data;
            bytes.append(QByteArray(4 - data.size(), '\0'));
            const auto* raw = bytes.constData();
            return type == REG_DWORD ? qFromLittleEndian<qint32>(raw) : qFromBigEndian<qint32>(raw);
        }
        default:
            return data;
    }
}

QString Quoted(const QString& path) {
    QString quoted = path.trimmed();
    if (!quoted.startsWith(QLatin1Char('"'))) quoted.prepend(QLatin1Char('"'));
    if (!quoted.endsWith(QLatin1Char('"')) || quoted.size() == 1) quoted.append(QLatin1Char('"'));
    return quoted;
}

}  // namespace

bool cRegistry::KeyExists() const {
    KeyHandle key;
    return key.Open(classKey_, sectionKey_, KEY_QUERY_VALUE) == ERROR_SUCCESS;
}

bool cRegistry::CreateKey() {
    KeyHandle key;
    if (key.Create(classKey_, sectionKey_) != ERROR_SUCCESS)
        Raise(ErrKeyOperation, QStringLiteral("Failed to create registry Key: '") + sectionKey_);
    return true;
}

bool cRegistry::DeleteKey() {
    if (RegistryStore::Shared().DeleteKey(classKey_, sectionKey_) != ERROR_SUCCESS)
        Raise(ErrKeyOperation, QStringLiteral("Failed to delete registry Key: '%1',Section: '%2")
                                   .arg(classKey_)
                                   .arg(sectionKey_));
    return true;
}

bool cRegistry::DeleteValue() {
    KeyHandle key;
    if (key.Open(classKey_, sectionKey_, KEY_ALL_RIGHTS) != ERROR_SUCCESS)
        Raise(ErrKeyOperation, QStringLiteral("Failed to open key '%1',Section: '%2' for delete "
                                              "access")
                                   .arg(classKey_)
                                   .arg(sectionKey_));
    if (RegistryStore::Shared().DeleteValue(key.handle, valueKey_) != ERROR_SUCCESS)
        Raise(ErrKeyOperation,
              QStringLiteral("Failed to delete registry Key: '%1',Section: '%2',Key: '%3")
                  .arg(classKey_)
                  .arg(sectionKey_, valueKey_));
    return true;
}

QVariant cRegistry::Value() {
    KeyHandle key;
    if (key.Open(classKey_, sectionKey_, KEY_QUERY_VALUE) != ERROR_SUCCESS) return default_;
    RegistryStore& store = RegistryStore::Shared();
    quint32 type = 0;
    quint32 size = 0;
    QByteArray data;
    const qint32 rc = store.QueryValue(key.handle, valueKey_, &type, &data, &size);
    if (rc != ERROR_SUCCESS && rc != ERROR_MORE_DATA) return default_;
    if (rc == ERROR_MORE_DATA &&
        store.QueryValue(key.handle, valueKey_, &type, &data, &size) != ERROR_SUCCESS)
        return default_;
    valueType_ = static_cast<qint32>(type);
    return Convert(type, data, default_);
}

void cRegistry::setValue(const QVariant& vValue) {
    KeyHandle key;
    if (key.Create(classKey_, sectionKey_) != ERROR_SUCCESS)
        RaiseSetFailure(ErrKeyOperation, vValue);
    RegistryStore& store = RegistryStore::Shared();
    qint32 rc = ERROR_INVALID_DATA;
    switch (valueType_) {
        case REG_SZ:
        case REG_EXPAND_SZ: {
            // Only a caller that asks for an expandable text gets one: plain
            // text (a folder called "%HOME%stuff") must read back as written.
            const QString text = TextForm(vValue);
            const quint32 type =
                valueType_ == REG_EXPAND_SZ && HasReference(text) ? REG_EXPAND_SZ : REG_SZ;
            rc = store.SetValue(key.handle, valueKey_, type, text.toUtf8().append('\0'));
            break;
        }
        case REG_BINARY:
            if (vValue.typeId() != QMetaType::QByteArray)
                Raise(ErrKeyOperation, AppError::StandardDescription(ErrKeyOperation));
            rc = store.SetValue(key.handle, valueKey_, REG_BINARY, vValue.toByteArray());
            break;
        case REG_DWORD:
        case REG_DWORD_BIG_ENDIAN:
            if (const auto dword = AsDword(vValue)) {
                QByteArray bytes(4, '\0');
                qToLittleEndian(*dword, bytes.data());
                rc = store.SetValue(key.handle, valueKey_, REG_DWORD, bytes);
            }
            break;
        default:
            break;
    }
    if (rc != ERROR_SUCCESS) RaiseSetFailure(ErrSetFailed, vValue);
    lastWritten_ = vValue;
}

void cRegistry::RaiseSetFailure(qint32 number, const QVariant& vValue) const {
    Raise(number, QStringLiteral("Failed to set registry value Key: '%1',Section: '%2',Key: "
                                 "'%3' to value: '%4'")
                      .arg(classKey_)
                      .arg(sectionKey_, valueKey_, TextForm(vValue)));
}

bool cRegistry::EnumerateValues(QStringList& sKeyNames, qint32& iKeyCount) const {
    sKeyNames.clear();
    iKeyCount = 0;
    KeyHandle key;
    if (key.Open(classKey_, sectionKey_, KEY_QUERY_VALUE) != ERROR_SUCCESS) return true;
    RegistryStore& store = RegistryStore::Shared();
    KeyInfo info;
    store.QueryInfoKey(key.handle, &info);
    QString name;
    for (quint32 index = 0;; ++index) {
        quint32 room = info.MaxValueNameLen + 1;
        if (store.EnumValue(key.handle, index, &name, &room) != ERROR_SUCCESS) break;
        sKeyNames << name;
        ++iKeyCount;
    }
    return true;
}

bool cRegistry::EnumerateSections(QStringList& sSect, qint32& iSectCount) const {
    sSect.clear();
    iSectCount = 0;
    KeyHandle key;
    try {
        key.Open(classKey_, sectionKey_, KEY_ENUMERATE_SUB_KEYS);
        RegistryStore& store = RegistryStore::Shared();
        QString name;
        for (quint32 index = 0;
             store.EnumKey(key.handle, index, &name, EnumKeyRoom) == ERROR_SUCCESS; ++index) {
            sSect << name;
            ++iSectCount;
        }
    } catch (const std::exception& e) {
        Raise(ErrEnumFailed, QString::fromUtf8(e.what()));
    }
    return true;
}

void cRegistry::WriteClassRegistration(const QString& sSection, const QString& sText) {
    const QString saved = sectionKey_;
    valueType_ = REG_SZ;
    try {
        classKey_ = HKEY_CLASSES_ROOT;
        sectionKey_ = sSection;
        setValue(sText);
        classKey_ = HKEY_LOCAL_MACHINE;
        sectionKey_ = QStringLiteral("SOFTWARE\\Classes\\") + sSection;
        setValue(sText);
    } catch (...) {
        sectionKey_ = saved;
        throw;
    }
    sectionKey_ = saved;
}

void cRegistry::CreateEXEAssociation(const QString& sExePath, const QString& sClassName,
                                     const QString& sClassDescription, const QString& sAssociation,
                                     const QString& sOpenMenuText, bool bSupportPrint,
                                     const QString& sPrintMenuText, bool bSupportNew,
                                     const QString& sNewMenuText, bool bSupportInstall,
                                     const QString& sInstallMenuText, qint32 lDefaultIconIndex) {
    const QString exe = Quoted(sExePath);
    const QString shell = sClassName + QStringLiteral("\\shell\\");
    const auto verb = [&](const QString& name, const QString& text, const QString& fallback,
                          const QString& option) {
        WriteClassRegistration(shell + name, text.isEmpty() ? fallback : text);
        WriteClassRegistration(shell + name + QStringLiteral("\\command"),
                               exe + option + QStringLiteral("\"%1\""));
    };
    valueKey_.clear();
    WriteClassRegistration(QLatin1Char('.') + sAssociation, sClassName);
    WriteClassRegistration(sClassName, sClassDescription);
    verb(QStringLiteral("open"), sOpenMenuText, QStringLiteral("&Open"), QStringLiteral(" "));
    if (bSupportPrint)
        verb(QStringLiteral("print"), sPrintMenuText, QStringLiteral("&Print"),
             QStringLiteral(" /p "));
    if (bSupportInstall)
        verb(QStringLiteral("add"), sInstallMenuText, QStringLiteral("&Install ") + sAssociation,
             QStringLiteral(" /a "));
    if (bSupportNew)
        verb(QStringLiteral("new"), sNewMenuText, QStringLiteral("&New"), QStringLiteral(" /n "));
    if (lDefaultIconIndex >= 0)
        WriteClassRegistration(sClassName + QStringLiteral("\\DefaultIcon"),
                               exe + QLatin1Char(',') + QString::number(lDefaultIconIndex));
}

void cRegistry::CreateAdditionalEXEAssociations(const QString& sClassName,
                                                const QVariantList& vItems) {
    if (vItems.size() % 3 != 0)
        Raise(ErrBadItemList, QStringLiteral("Invalid parameter list passed to "
                                             "CreateAdditionalEXEAssociations - expected "
                                             "Name/Text/Command"));
    sectionKey_ = sClassName;
    KeyHandle registered;
    if (registered.Open(HKEY_CLASSES_ROOT, sClassName, KEY_QUERY_VALUE) != ERROR_SUCCESS)
        Raise(ErrClassUndefined, QStringLiteral("Error - attempt to create additional "
                                                "associations before class defined."));
    valueKey_.clear();
    for (qsizetype i = 0; i < vItems.size(); i += 3) {
        const QString key = sClassName + QStringLiteral("\\shell\\") + vItems.at(i).toString();
        WriteClassRegistration(key, vItems.at(i + 1).toString());
        WriteClassRegistration(key + QStringLiteral("\\command"), vItems.at(i + 2).toString());
    }
}
