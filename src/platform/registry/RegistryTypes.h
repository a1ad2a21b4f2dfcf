#pragma once

#include <QtGlobal>

// The settings store's vocabulary: root handles, value types, access rights and
// result codes, numbered as the desktop registry numbers them so that stored
// values and error reports stay comparable.
namespace reg {

using HKEY = qint32;

// Predefined roots. Each is always open and never needs closing.
constexpr HKEY HKEY_CLASSES_ROOT = static_cast<HKEY>(0x80000000u);
constexpr HKEY HKEY_CURRENT_USER = static_cast<HKEY>(0x80000001u);
constexpr HKEY HKEY_LOCAL_MACHINE = static_cast<HKEY>(0x80000002u);
constexpr HKEY HKEY_USERS = static_cast<HKEY>(0x80000003u);
constexpr HKEY HKEY_PERFORMANCE_DATA = static_cast<HKEY>(0x80000004u);
constexpr HKEY HKEY_CURRENT_CONFIG = static_cast<HKEY>(0x80000005u);
constexpr HKEY HKEY_DYN_DATA = static_cast<HKEY>(0x80000006u);
constexpr int RootCount = 7;

// Value types. Any other number is stored and returned as plain bytes.
constexpr quint32 REG_NONE = 0;
constexpr quint32 REG_SZ = 1;
constexpr quint32 REG_EXPAND_SZ = 2;
constexpr quint32 REG_BINARY = 3;
constexpr quint32 REG_DWORD = 4;
constexpr quint32 REG_DWORD_BIG_ENDIAN = 5;
constexpr quint32 REG_MULTI_SZ = 7;

// Access rights of an open key.
constexpr quint32 KEY_QUERY_VALUE = 0x0001;
constexpr quint32 KEY_SET_VALUE = 0x0002;
constexpr quint32 KEY_CREATE_SUB_KEY = 0x0004;
constexpr quint32 KEY_ENUMERATE_SUB_KEYS = 0x0008;
constexpr quint32 KEY_NOTIFY = 0x0010;
constexpr quint32 KEY_CREATE_LINK = 0x0020;
constexpr quint32 KEY_ALL_RIGHTS = 0x003F;

// Dispositions reported by CreateKey.
constexpr quint32 REG_CREATED_NEW_KEY = 1;
constexpr quint32 REG_OPENED_EXISTING_KEY = 2;

// Result codes.
constexpr qint32 ERROR_SUCCESS = 0;
constexpr qint32 ERROR_FILE_NOT_FOUND = 2;
constexpr qint32 ERROR_ACCESS_DENIED = 5;
constexpr qint32 ERROR_INVALID_HANDLE = 6;
constexpr qint32 ERROR_INVALID_DATA = 13;
constexpr qint32 ERROR_INVALID_PARAMETER = 87;
constexpr qint32 ERROR_DISK_FULL = 112;
constexpr qint32 ERROR_BUSY = 170;
constexpr qint32 ERROR_MORE_DATA = 234;
constexpr qint32 ERROR_NO_MORE_ITEMS = 259;
constexpr qint32 ERROR_BADDB = 1009;
constexpr qint32 ERROR_REGISTRY_IO_FAILED = 1016;
constexpr qint32 ERROR_KEY_DELETED = 1018;

// Longest key name, in characters (the platform's limit).
constexpr int MaxKeyNameLength = 255;

// What QueryInfoKey reports about a key.
struct KeyInfo {
    quint32 SubKeys = 0;
    quint32 MaxSubKeyLen = 0;  // characters, without the terminating NUL
    quint32 Values = 0;
    quint32 MaxValueNameLen = 0;  // characters, without the terminating NUL
    quint32 MaxValueLen = 0;      // bytes
};

}  // namespace reg
