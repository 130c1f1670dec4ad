#pragma once
// The registry: the INI file "registry.ini" in the application folder, read
// through QSettings and never created or written. A section names a key by its
// root and path, a line holds one value:
//
//   [HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Shared Tools\MSINFO]
//   PATH=/usr/local/bin/msinfo32
//
// Roots, key paths and value names match without regard to letter case. A
// value is text, a double word written "dword:" and one to eight hexadecimal
// digits, or of another type: "hex:" data, a list, a byte array.
#include <QString>
#include <QtGlobal>
#include <optional>

namespace Registry {

inline constexpr quint32 HKEY_CLASSES_ROOT = 0x80000000;
inline constexpr quint32 HKEY_CURRENT_USER = 0x80000001;
inline constexpr quint32 HKEY_LOCAL_MACHINE = 0x80000002;
inline constexpr quint32 HKEY_USERS = 0x80000003;
inline constexpr quint32 HKEY_CURRENT_CONFIG = 0x80000005;

enum class ValueType { Text, DoubleWord, Other };

struct Value {
    ValueType type = ValueType::Other;
    QString text;       // for Text
    quint32 number = 0; // for DoubleWord
};

// The file's path, in the spelling it has on disk.
QString RegistryFile();

// The value, or nothing when the file, the key or the value is missing or the
// file cannot be read.
std::optional<Value> QueryValue(quint32 root, const QString& keyPath, const QString& valueName);

} // namespace Registry
