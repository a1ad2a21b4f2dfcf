#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>

#include "RegistryTypes.h"

// A small object over the settings store: point it at a place (root, key path,
// value name, value type) through its properties, then read or write `Value`
// or call one of the key operations. Root and type numbers are those of
// RegistryTypes.h (reg::HKEY_LOCAL_MACHINE, reg::REG_SZ, ...).
//
// Failures are raised as AppError with the source "<program>.cRegistry":
// 26001 for failed create/delete/open and for a binary write of a value that
// is no byte array, ErrSetFailed, ErrEnumFailed, ErrBadItemList and
// ErrClassUndefined as documented on each operation. A failed read is no
// error: it yields `Default`. Every key handle an operation opens is closed
// before it returns or raises. For one thread at a time.
class cRegistry {
public:
    static constexpr qint32 ErrKeyOperation = 26001;
    static constexpr qint32 ErrSetFailed = static_cast<qint32>(0x800469A9u);
    static constexpr qint32 ErrEnumFailed = static_cast<qint32>(0x800469AAu);
    static constexpr qint32 ErrBadItemList = static_cast<qint32>(0x800469ACu);
    static constexpr qint32 ErrClassUndefined = static_cast<qint32>(0x800469ADu);

    qint32 ClassKey() const { return classKey_; }
    void setClassKey(qint32 eKey) { classKey_ = eKey; }
    QString SectionKey() const { return sectionKey_; }
    void setSectionKey(const QString& sSectionKey) { sectionKey_ = sSectionKey; }
    // "" names the key's default value.
    QString ValueKey() const { return valueKey_; }
    void setValueKey(const QString& sValueKey) { valueKey_ = sValueKey; }
    // The type used for writing; every successful read sets it to the stored type.
    qint32 ValueType() const { return valueType_; }
    void setValueType(qint32 eValueType) { valueType_ = eValueType; }
    // What a read returns when the value cannot be read (invalid QVariant unless set).
    QVariant Default() const { return default_; }
    void setDefault(const QVariant& vDefault) { default_ = vDefault; }

    // True when the key can be opened for query.
    bool KeyExists() const;
    // Creates the key with any missing parents; raises 26001 on failure.
    bool CreateKey();
    // Deletes the key (a key with subkeys cannot be); raises 26001 on failure.
    bool DeleteKey();
    // Deletes the value `ValueKey`; raises 26001 on failure.
    bool DeleteValue();

    // Reads `ValueKey`: text for REG_SZ and REG_MULTI_SZ (the NULs between
    // strings kept, the final one dropped), expanded text for REG_EXPAND_SZ,
    // qint32 for REG_DWORD and REG_DWORD_BIG_ENDIAN, QByteArray for the rest.
    QVariant Value();
    // Writes by `ValueType`:
    //  - REG_SZ: the value's text, stored as REG_SZ, so it reads back as written;
    //  - REG_EXPAND_SZ: the value's text; stored as REG_EXPAND_SZ (expanded on
    //    reading) when it holds a "%" followed at least two characters later by
    //    another "%", else as REG_SZ;
    //  - REG_BINARY: the value must be a QByteArray (else 26001);
    //  - REG_DWORD/REG_DWORD_BIG_ENDIAN: an integer that fits 32 bits, stored
    //    little-endian as REG_DWORD;
    //  - anything else, or a value that does not suit the type: nothing is
    //    written and ErrSetFailed is raised.
    // A failed write (ErrSetFailed, or 26001 when the key cannot be created)
    // leaves the stored value as it was.
    void setValue(const QVariant& vValue);

    // The names of the key's values (entries 1..count are sKeyNames[0..count-1]);
    // a key that cannot be opened gives none. Always returns true.
    bool EnumerateValues(QStringList& sKeyNames, qint32& iKeyCount) const;
    // The names of the key's subkeys, likewise; raises ErrEnumFailed when the
    // listing itself fails.
    bool EnumerateSections(QStringList& sSect, qint32& iSectCount) const;

    // Registers the file type `sAssociation` (without its dot) as class
    // `sClassName` opened by `sExePath`, with optional print, new and install
    // verbs and a default icon (index < 0: none). Each text goes to
    // HKEY_CLASSES_ROOT and to HKEY_LOCAL_MACHINE "SOFTWARE\Classes"; afterwards
    // ClassKey is HKEY_LOCAL_MACHINE, ValueKey "" and ValueType REG_SZ.
    void CreateEXEAssociation(const QString& sExePath, const QString& sClassName,
                              const QString& sClassDescription, const QString& sAssociation,
                              const QString& sOpenMenuText = {}, bool bSupportPrint = false,
                              const QString& sPrintMenuText = {}, bool bSupportNew = false,
                              const QString& sNewMenuText = {}, bool bSupportInstall = false,
                              const QString& sInstallMenuText = {}, qint32 lDefaultIconIndex = -1);
    // Adds verbs to a registered class: `vItems` holds triples of verb name,
    // menu text and command. Raises ErrBadItemList when the count is not a
    // multiple of 3, ErrClassUndefined when the class is not registered under
    // HKEY_CLASSES_ROOT. Leaves SectionKey at `sClassName`.
    void CreateAdditionalEXEAssociations(const QString& sClassName, const QVariantList& vItems);

private:
    [[noreturn]] void RaiseSetFailure(qint32 number, const QVariant& vValue) const;
    void WriteClassRegistration(const QString& sSection, const QString& sText);

    qint32 classKey_ = 0;
    QString sectionKey_;
    QString valueKey_;
    qint32 valueType_ = 0;
    QVariant default_;
    QVariant lastWritten_;
};
